#include "XGLCameraAttachment.h"
#include "XGLContext.h"
#include "XGLMatrix.h"
#include "XOpenGL.h"

void XGLCameraAttachment::PreRender()
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // In a stereo frame this camera stands in for the context's, so it takes the eye's offset.
    const XGLContext* context = XGLContext::GetCurrentContext();
    XCamera camera = itsCamera;
    if (context && context->GetEyeStrafe() != 0.0f)
        camera.Strafe(context->GetEyeStrafe());
    const XMathVectorF3& eye = camera.GetEye();
    const XMathVectorF3& at = camera.GetLookAt();
    const XMathVectorF3& up = camera.GetUp();
    gluLookAt(eye[0], eye[1], eye[2], at[0], at[1], at[2], up[0], up[1], up[2]);
    if (context)
        XGLMatrix::MulMatrix(context->GetEyeTurn());
    glScalef(1.0f, 1.0f, -1.0f);
}

void XGLCameraAttachment::PostRender()
{
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}
