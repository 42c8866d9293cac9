#include "VolumeSceneTestSupport.h"

#include "WGLWnd.h"
#include "XGLContextLock.h"
#include "XOpenGL.h"

#include <cstring>

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

WGLWnd& WindowOf(XGLVolumeRenderer& inRenderer) { return dynamic_cast<WGLWnd&>(inRenderer.GetWindow()); }

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
