#include "XGLCameraAttachment.h"
#include "XOpenGL.h"

void XGLCameraAttachment::PreRender()
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const XMathVectorF3& eye = itsCamera.GetEye();
    const XMathVectorF3& at = itsCamera.GetLookAt();
    const XMathVectorF3& up = itsCamera.GetUp();
    gluLookAt(eye[0], eye[1], eye[2], at[0], at[1], at[2], up[0], up[1], up[2]);
    glScalef(1.0f, 1.0f, -1.0f);
}

void XGLCameraAttachment::PostRender()
{
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}
