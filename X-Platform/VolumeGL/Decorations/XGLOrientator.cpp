#include "XGLOrientator.h"

#include "XGLCapabilitySetter.h"
#include "XGLColourAttachment.h"
#include "XGLOrthoProjection.h"
#include "XLock.h"
#include "XOpenGL.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kHalfExtent = 1.5;   // of the marker's view, in arrow lengths
constexpr double kEyeDistance = 5.0;
constexpr int kMinimumSize = 32;
constexpr int kMaximumSize = 160;
} // namespace

XGLOrientator::XGLOrientator() : itsAxes{XGLOrientatorAxis('X'), XGLOrientatorAxis('Y'), XGLOrientatorAxis('Z')}
{
    Build();
}

XGLOrientator::XGLOrientator(const XGLOrientator& inOther)
    : XGLRenderable(inOther), itsAxes{XGLOrientatorAxis('X'), XGLOrientatorAxis('Y'), XGLOrientatorAxis('Z')}
{
    Build();
}

XGLOrientator& XGLOrientator::operator=(const XGLOrientator& inOther)
{
    XGLRenderable::operator=(inOther);
    return *this;
}

XGLOrientator::~XGLOrientator()
{
    for (XGLOrientatorAxis& axis : itsAxes)
        RemoveChild(axis);
}

void XGLOrientator::Build()
{
    static const double kColours[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i) {
        X3DMatrix direction = X3DMatrix::ColumnVector(i == 0, i == 1, i == 2);
        itsAxes[i].SetRotation(XGLMatrix(XGLMatrix::GetMatrixWhereXIs(direction)));
        itsAxes[i].AddAttachment(new XGLColourAttachment(kColours[i][0], kColours[i][1], kColours[i][2], 1.0));
        AddChild(itsAxes[i]);
    }
}

namespace {
// Puts the viewport back when the marker's drawing ends, however it ends.
class XViewportRestorer {
public:
    explicit XViewportRestorer(const GLint inViewport[4]) { std::copy(inViewport, inViewport + 4, itsViewport); }
    ~XViewportRestorer() { glViewport(itsViewport[0], itsViewport[1], itsViewport[2], itsViewport[3]); }
    XViewportRestorer(const XViewportRestorer&) = delete;
    XViewportRestorer& operator=(const XViewportRestorer&) = delete;

private:
    GLint itsViewport[4];
};

// Clears the depth buffer in the marker's square only.
void ClearDepth(GLint inX, GLint inY, GLsizei inSize)
{
    GLint scissor[4] = {};
    glGetIntegerv(GL_SCISSOR_BOX, scissor);
    const XGLCapabilitySetter scissoring(GL_SCISSOR_TEST, true);
    glScissor(inX, inY, inSize, inSize);
    glClear(GL_DEPTH_BUFFER_BIT);
    glScissor(scissor[0], scissor[1], scissor[2], scissor[3]);
}
} // namespace

int XGLOrientator::GetMarkerSize(int inWindowWidth, int inWindowHeight)
{
    const int size = std::min(kMaximumSize, std::min(inWindowWidth, inWindowHeight) / 4);
    return size < kMinimumSize ? 0 : size;
}

void XGLOrientator::Render(XGLRenderable& inFrom)
{
    XLock lock(itsMutex);
    if (!IsVisible())
        return;
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int size = GetMarkerSize(viewport[2], viewport[3]);
    if (size == 0)
        return;

    // Only the turn of the frame the marker hangs in counts: its columns without
    // scale or translation.
    const XGLMatrix modelView = XGLMatrix::GetMatrix(GL_MODELVIEW_MATRIX);
    const XGLMatrix projection = XGLMatrix::GetMatrix(GL_PROJECTION_MATRIX);
    XGLMatrix turn;
    for (size_t c = 0; c < 3; ++c) {
        double length = 0.0;
        for (size_t r = 0; r < 3; ++r)
            length += modelView(r, c) * modelView(r, c);
        length = std::sqrt(length);
        for (size_t r = 0; r < 3; ++r)
            turn(r, c) = length > 0.0 ? modelView(r, c) / length : (r == c ? 1.0 : 0.0);
    }
    // Keep the scene's mirroring of the screen axes, so the marker turns as the scene does.
    const double flipX = projection(0, 0) < 0.0 ? -1.0 : 1.0;
    const double flipY = projection(1, 1) < 0.0 ? -1.0 : 1.0;

    // Drawn over the scene in a square of its own, with its own depth.
    const XViewportRestorer viewportRestorer(viewport);
    glViewport(viewport[0], viewport[1], size, size);
    ClearDepth(viewport[0], viewport[1], size);
    const XGLOrthoProjection view(-kHalfExtent * flipX, kHalfExtent * flipX, -kHalfExtent * flipY,
                                  kHalfExtent * flipY, kEyeDistance - 2.0 * kHalfExtent,
                                  kEyeDistance + 2.0 * kHalfExtent);
    glTranslated(0.0, 0.0, -kEyeDistance);
    turn.ApplyToGL();
    XGLRenderable::Render(inFrom);
}
