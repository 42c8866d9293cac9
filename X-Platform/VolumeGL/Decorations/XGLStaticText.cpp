#include "XGLStaticText.h"

#include "XGC.h"
#include "XGLBlendFunctionSaver.h"
#include "XGLCapabilitySetter.h"
#include "XGLTextureBindSaver.h"
#include "XGLWindowPixelProjection.h"
#include "XLock.h"
#include "XGLPackedPixelStore.h"
#include "XOpenGL.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// Beyond this the text is cut off: textures this wide are not portable.
constexpr int kMaxImageWidth = 4096;
constexpr int kMaxImageHeight = 1024;
// One pixel of clear border keeps linear sampling and anti-aliased edges intact.
constexpr int kBorder = 1;

int NextPowerOfTwo(int inValue)
{
    int p = 1;
    while (p < inValue)
        p <<= 1;
    return p;
}

XGCFont MakeFont(double inPointSize, int inFontID, int inStyle)
{
    XGCFont font = XGCFont::MakeStandard(inFontID);
    // Points at the usual 96 pixels per inch; the font clamps what is out of range.
    font.SetSize(inPointSize * 96.0 / 72.0);
    font.SetBold((inStyle & XGLStaticText::kStyleBold) != 0);
    font.SetItalic((inStyle & XGLStaticText::kStyleItalic) != 0);
    return font;
}
} // namespace

XGLStaticText::XGLStaticText(double inPointSize, int inFontID, int inStyle)
    : itsFont(MakeFont(inPointSize, inFontID, inStyle))
{
}

XGLStaticText::XGLStaticText(const XGLStaticText& inOther) : XGLRenderable(inOther)
{
    XLock lock(inOther.itsMutex);
    itsText = inOther.itsText;
    itsColour = inOther.itsColour;
    std::copy(inOther.itsPosition, inOther.itsPosition + 3, itsPosition);
    itsFont = inOther.itsFont;
    itsAlign = inOther.itsAlign;
    itsPixelOffset = inOther.itsPixelOffset;
}

XGLStaticText& XGLStaticText::operator=(const XGLStaticText& inOther)
{
    if (this == &inOther)
        return *this;
    XGLRenderable::operator=(inOther);
    XLock lock(itsMutex);
    XLock otherLock(inOther.itsMutex);
    itsText = inOther.itsText;
    itsColour = inOther.itsColour;
    std::copy(inOther.itsPosition, inOther.itsPosition + 3, itsPosition);
    itsFont = inOther.itsFont;
    itsAlign = inOther.itsAlign;
    itsPixelOffset = inOther.itsPixelOffset;
    itsImage.reset();
    itsImageValid = false;
    return *this;
}

XGLStaticText::~XGLStaticText() = default;

void XGLStaticText::SetText(const XString& inText)
{
    XLock lock(itsMutex);
    if (inText == itsText)
        return;
    itsText = inText;
    itsImageValid = false;
}

XString XGLStaticText::GetText() const
{
    XLock lock(itsMutex);
    return itsText;
}

void XGLStaticText::SetColour(const XARGB32Colour& inColour)
{
    XLock lock(itsMutex);
    itsColour = inColour;
}

XARGB32Colour XGLStaticText::GetColour() const
{
    XLock lock(itsMutex);
    return itsColour;
}

void XGLStaticText::SetPosition(double inX, double inY, double inZ)
{
    XLock lock(itsMutex);
    itsPosition[0] = inX;
    itsPosition[1] = inY;
    itsPosition[2] = inZ;
}

double XGLStaticText::GetXPosition() const
{
    XLock lock(itsMutex);
    return itsPosition[0];
}

double XGLStaticText::GetYPosition() const
{
    XLock lock(itsMutex);
    return itsPosition[1];
}

double XGLStaticText::GetZPosition() const
{
    XLock lock(itsMutex);
    return itsPosition[2];
}

void XGLStaticText::SetFont(double inPointSize, int inFontID, int inStyle)
{
    XLock lock(itsMutex);
    const XGCFont font = MakeFont(inPointSize, inFontID, inStyle);
    if (font == itsFont)
        return;
    itsFont = font;
    itsImageValid = false;
}

XGCFont XGLStaticText::GetFont() const
{
    XLock lock(itsMutex);
    return itsFont;
}

void XGLStaticText::SetAlignment(int inAlign, int inPixelOffset)
{
    XLock lock(itsMutex);
    itsAlign = std::clamp(inAlign, int(kAlignLeft), int(kAlignRight));
    itsPixelOffset = inPixelOffset;
}

int XGLStaticText::GetAlignment() const
{
    XLock lock(itsMutex);
    return itsAlign;
}

int XGLStaticText::GetPixelOffset() const
{
    XLock lock(itsMutex);
    return itsPixelOffset;
}

const XARGB32Volume* XGLStaticText::GetTextImage()
{
    XLock lock(itsMutex);
    if (!itsImageValid)
        MakeTextImage();
    return itsImage.get();
}

void XGLStaticText::MakeTextImage()
{
    itsImage.reset();
    itsImageValid = true;
    if (itsText.IsEmpty())
        return;
    XARGB32Volume scratch(1, 1, 1);
    XGC::XTextSize size;
    {
        XGC measure(scratch);
        measure.SetFont(itsFont);
        size = measure.MeasureText(itsText);
    }
    const int width = std::clamp(int(std::ceil(size.width)) + 2 * kBorder, 1, kMaxImageWidth);
    const int height = std::clamp(int(std::ceil(size.height)) + 2 * kBorder, 1, kMaxImageHeight);
    auto image = std::make_unique<XARGB32Volume>(width, height, 1);
    {
        XGC gc(*image);
        gc.Clear(XARGB32Colour(0, 0, 0, 0));
        gc.SetFont(itsFont);
        // White glyphs: the colour is applied when drawing, so a colour change needs no new image.
        gc.SetFillColour(XARGB32Colour::kWhite);
        gc.DrawTextA(itsText, kBorder, kBorder, XGC::kAlignLeft | XGC::kAlignTop);
        gc.Flush();
    }
    itsImage = std::move(image);
}

bool XGLStaticText::FindAnchor(double& outX, double& outY, double& outZ) const
{
    // Where the anchor lands in the window; nowhere when it is behind the eye or
    // outside the depth range.
    const XGLMatrix toScreen = XGLMatrix::GetWorldToScreenMatrix();
    const X3DMatrix anchor = toScreen * X3DMatrix::ColumnVector({itsPosition[0], itsPosition[1], itsPosition[2], 1.0});
    const double w = anchor(3, 0);
    if (!(w > 0.0))
        return false;
    outX = anchor(0, 0) / w;
    outY = anchor(1, 0) / w;
    // The screen matrices carry depth as near + z·(far − near) of the normalised z.
    GLfloat depthRange[2] = {0.0f, 1.0f};
    glGetFloatv(GL_DEPTH_RANGE, depthRange);
    const double rangeSpan = double(depthRange[1]) - double(depthRange[0]);
    outZ = (anchor(2, 0) / w - depthRange[0]) / (rangeSpan != 0.0 ? rangeSpan : 1.0);
    return std::isfinite(outX) && std::isfinite(outY) && outZ >= -1.0 && outZ <= 1.0;
}

namespace {
// The image's rows top first, bytes red, green, blue, alpha, padded with clear
// pixels to the texture's size.
std::vector<uint8_t> TexturePixels(const XARGB32Volume& inImage, int inTextureWidth, int inTextureHeight)
{
    std::vector<uint8_t> pixels(size_t(inTextureWidth) * size_t(inTextureHeight) * 4, 0);
    for (int y = 0; y < inImage.GetHeight(); ++y) {
        const uint8_t* in = inImage.GetRowPtr(y, 0);
        uint8_t* out = pixels.data() + size_t(y) * size_t(inTextureWidth) * 4;
        for (int x = 0; x < inImage.GetWidth(); ++x, in += 4, out += 4) {
            out[0] = in[1];
            out[1] = in[2];
            out[2] = in[3];
            out[3] = in[0];
        }
    }
    return pixels;
}

// A texture of its own for each drawing: the text may be shown by several contexts,
// and the picture is small. Deleted when the drawing ends, however it ends.
class XTextTexture {
public:
    XTextTexture(const std::vector<uint8_t>& inPixels, int inWidth, int inHeight)
    {
        glGenTextures(1, &itsName);
        glBindTexture(GL_TEXTURE_2D, itsName);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        try {
            XGLPackedPixelStore packed;
            exceptglTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, inWidth, inHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                               inPixels.data());
        } catch (...) {
            glDeleteTextures(1, &itsName);
            throw;
        }
    }
    ~XTextTexture() { glDeleteTextures(1, &itsName); }
    XTextTexture(const XTextTexture&) = delete;
    XTextTexture& operator=(const XTextTexture&) = delete;

private:
    GLuint itsName = 0;
};
} // namespace

void XGLStaticText::RenderSelf(XGLRenderable&)
{
    XLock lock(itsMutex);
    if (!itsImageValid)
        MakeTextImage();
    double wx = 0.0, wy = 0.0, ndcZ = 0.0;
    if (!itsImage || !FindAnchor(wx, wy, ndcZ))
        return;

    const int imageWidth = itsImage->GetWidth(), imageHeight = itsImage->GetHeight();
    const int textureWidth = NextPowerOfTwo(imageWidth), textureHeight = NextPowerOfTwo(imageHeight);
    // Whole pixels keep the glyphs sharp.
    double left = wx;
    if (itsAlign == kAlignCentre)
        left -= 0.5 * imageWidth;
    else if (itsAlign == kAlignRight)
        left -= imageWidth;
    left = std::round(left);
    // GL window y grows upwards; the offset moves the text down the window.
    const double bottom = std::round(wy - 0.5 * imageHeight - itsPixelOffset);
    const double s = double(imageWidth) / textureWidth, t = double(imageHeight) / textureHeight;
    const XTextQuad quad{left, bottom, left + imageWidth, bottom + imageHeight, -ndcZ, s, t};

    XGLBlendFunctionSaver blendFunction;
    XGLTextureBindSaver textureBinding;
    const XTextTexture texture(TexturePixels(*itsImage, textureWidth, textureHeight), textureWidth, textureHeight);
    DrawQuad(quad);
}

void XGLStaticText::DrawQuad(const XTextQuad& inQuad) const
{
    GLint textureEnvMode = GL_MODULATE;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &textureEnvMode);
    GLfloat savedColour[4];
    glGetFloatv(GL_CURRENT_COLOR, savedColour);
    {
        const XGLCapabilitySetter texturing(GL_TEXTURE_2D, true), lighting(GL_LIGHTING, false),
            culling(GL_CULL_FACE, false), blending(GL_BLEND, true);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glColor4f(itsColour.red / 255.0f, itsColour.green / 255.0f, itsColour.blue / 255.0f, 1.0f);
        // With near −1 and far 1 an eye z of −ndcZ puts the quad at the anchor's own depth.
        const XGLWindowPixelProjection pixels(XGLWindowPixelProjection::kWindowBottomLeft);
        glBegin(GL_QUADS);
        glTexCoord2d(0.0, inQuad.t);
        glVertex3d(inQuad.left, inQuad.bottom, inQuad.z);
        glTexCoord2d(inQuad.s, inQuad.t);
        glVertex3d(inQuad.right, inQuad.bottom, inQuad.z);
        glTexCoord2d(inQuad.s, 0.0);
        glVertex3d(inQuad.right, inQuad.top, inQuad.z);
        glTexCoord2d(0.0, 0.0);
        glVertex3d(inQuad.left, inQuad.top, inQuad.z);
        glEnd();
    }
    glColor4fv(savedColour);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, textureEnvMode);
}
