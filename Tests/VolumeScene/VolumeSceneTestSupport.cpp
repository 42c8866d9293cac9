#include "VolumeSceneTestSupport.h"

#include "WGLWnd.h"
#include "XGLContextLock.h"
#include "XOpenGL.h"
#include "XPNGFile.h"

#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace VolumeSceneTest {

void XSliceRenderable::RenderSelf(XGLRenderable&)
{
    // Textures belong to the context they were made in; make them at the first drawing.
    if (!itsStack)
        itsStack = std::make_unique<XGLVolumeTextureStack>(itsVolume);
    const unsigned slice = itsStack->GetSliceCount() / 2;
    const float s = float(itsStack->GetWidth()) / float(itsStack->GetTextureWidth());
    const float t = float(itsStack->GetHeight()) / float(itsStack->GetTextureHeight());
    const float w = float(itsVolume.GetWidth()), h = float(itsVolume.GetHeight());
    const float z = float(itsVolume.GetDepth()) / 2.0f;
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    itsStack->BindSliceTexture(slice);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(0, 0, z);
    glTexCoord2f(s, 0);
    glVertex3f(w, 0, z);
    glTexCoord2f(s, t);
    glVertex3f(w, h, z);
    glTexCoord2f(0, t);
    glVertex3f(0, h, z);
    glEnd();
    glPopAttrib();
}

XSliceRenderer::XSliceRenderer(XVolumeRenderingViewProtocol& inView, const XARGB32Volume& inVolume)
    : XGLVolumeRenderer(inView), itsSlice(inVolume)
{
    GetVolumeScene().GetUnitCube().SetFitRect(inVolume.GetBounds());
    GetVolumeScene().GetUnitCube().AddChild(itsSlice);
}

XSliceRenderer::~XSliceRenderer()
{
    // The slice's textures must go while the window's context still exists.
    XGLContextLock lock(GetWindow());
    GetVolumeScene().GetUnitCube().RemoveChild(itsSlice);
    itsSlice.ReleaseTextures();
}

void XMatrixProbe::RenderSelf(XGLRenderable&)
{
    ++renderCount;
    modelView = XGLMatrix::GetMatrix(GL_MODELVIEW_MATRIX);
}

XARGB32Colour PixelAt(const XVolume& inPicture, int inX, int inY)
{
    const uint8_t* p = inPicture.GetVoxelPtr(inX, inY, 0);
    return XARGB32Colour(p[0], p[1], p[2], p[3]);
}

bool IsBackground(const XARGB32Colour& inPixel)
{
    return inPixel.red == 0 && inPixel.green == 0 && inPixel.blue == 0;
}

int CountDifferences(const XVolume& inA, const XVolume& inB)
{
    int n = 0;
    for (int y = 0; y < inA.GetHeight(); ++y)
        for (int x = 0; x < inA.GetWidth(); ++x) {
            const XARGB32Colour a = PixelAt(inA, x, y), b = PixelAt(inB, x, y);
            n += (a.red != b.red || a.green != b.green || a.blue != b.blue) ? 1 : 0;
        }
    return n;
}

int CountNonBackground(const XVolume& inPicture)
{
    int n = 0;
    for (int y = 0; y < inPicture.GetHeight(); ++y)
        for (int x = 0; x < inPicture.GetWidth(); ++x)
            n += IsBackground(PixelAt(inPicture, x, y)) ? 0 : 1;
    return n;
}

std::string SavePNG(const XVolume& inPicture, const std::string& inName)
{
    char exe[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    const std::filesystem::path dir = n > 0 ? std::filesystem::path(exe).parent_path().parent_path() / "images"
                                            : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(dir);
    XARGB32Volume opaque(inPicture.GetWidth(), inPicture.GetHeight(), 1);
    for (int y = 0; y < inPicture.GetHeight(); ++y)
        for (int x = 0; x < inPicture.GetWidth(); ++x) {
            XARGB32Colour c = PixelAt(inPicture, x, y);
            c.alpha = 255;
            std::memcpy(opaque.GetVoxelPtr(x, y, 0), &c, 4);
        }
    const std::string path = (dir / (inName + ".png")).string();
    XPNGFile::Write(path, opaque);
    return path;
}

XARGB32Volume SolidVolume(int32_t inWidth, int32_t inHeight, int32_t inDepth, const XARGB32Colour& inColour)
{
    XARGB32Volume volume(inWidth, inHeight, inDepth);
    for (int z = 0; z < inDepth; ++z)
        for (int y = 0; y < inHeight; ++y)
            for (int x = 0; x < inWidth; ++x)
                std::memcpy(volume.GetVoxelPtr(x, y, z), &inColour, 4);
    return volume;
}

void Drag(WGLWnd& inWnd, const XPoint& inFrom, const XPoint& inTo, int inSteps)
{
    WGLEvent event;
    event.kind = WGLEvent::kMouseDown;
    event.buttons = WGLEvent::kLeftButton;
    event.point = inFrom;
    inWnd.HandleEvent(event);
    event.kind = WGLEvent::kMouseMove;
    for (int i = 1; i <= inSteps; ++i) {
        event.point = XPoint(inFrom.x + (inTo.x - inFrom.x) * i / inSteps, inFrom.y + (inTo.y - inFrom.y) * i / inSteps);
        inWnd.HandleEvent(event);
    }
    event.kind = WGLEvent::kMouseUp;
    inWnd.HandleEvent(event);
}

} // namespace VolumeSceneTest
