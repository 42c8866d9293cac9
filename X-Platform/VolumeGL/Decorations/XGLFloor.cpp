#include "XGLFloor.h"

#include "XGLCapabilitySetter.h"
#include "XLock.h"
#include "XOpenGL.h"

#include <cmath>

XGLFloor::XGLFloor(double inWidth, double inDepth, double inLevel, double inSquareSize)
    : itsWidth(inWidth), itsDepth(inDepth), itsSquareSize(inSquareSize), itsLevel(inLevel)
{
}

XGLFloor::XGLFloor(double inWidth, double inDepth, double inLevel, double inSquareSize,
                   const XARGB32Colour& inColour1, const XARGB32Colour& inColour2, bool inChecked)
    : itsWidth(inWidth), itsDepth(inDepth), itsSquareSize(inSquareSize), itsLevel(inLevel), itsChecked(inChecked),
      itsColour1(inColour1), itsColour2(inColour2)
{
}

void XGLFloor::SetLevel(double inLevel)
{
    XLock lock(itsMutex);
    itsLevel = inLevel;
}

double XGLFloor::GetLevel() const
{
    XLock lock(itsMutex);
    return itsLevel;
}

void XGLFloor::SetColour1(const XARGB32Colour& inColour)
{
    XLock lock(itsMutex);
    itsColour1 = inColour;
}

XARGB32Colour XGLFloor::GetColour1() const
{
    XLock lock(itsMutex);
    return itsColour1;
}

void XGLFloor::SetColour2(const XARGB32Colour& inColour)
{
    XLock lock(itsMutex);
    itsColour2 = inColour;
}

XARGB32Colour XGLFloor::GetColour2() const
{
    XLock lock(itsMutex);
    return itsColour2;
}

void XGLFloor::SetChecked(bool inChecked)
{
    XLock lock(itsMutex);
    itsChecked = inChecked;
}

bool XGLFloor::IsChecked() const
{
    XLock lock(itsMutex);
    return itsChecked;
}

bool XGLFloor::CanDrawChecked() const
{
    // Written so that NaN fails every test.
    if (!(itsSquareSize > 0.0) || !(itsWidth >= 0.0) || !(itsDepth >= 0.0))
        return false;
    const double nx = std::trunc(itsWidth / itsSquareSize);
    const double nz = std::trunc(itsDepth / itsSquareSize);
    return std::isfinite(nx) && std::isfinite(nz) && nx * nz <= kMaxSquares;
}

unsigned long XGLFloor::GetSquareCountX() const
{
    XLock lock(itsMutex);
    return CanDrawChecked() ? (unsigned long)(itsWidth / itsSquareSize) : 0;
}

unsigned long XGLFloor::GetSquareCountZ() const
{
    XLock lock(itsMutex);
    return CanDrawChecked() ? (unsigned long)(itsDepth / itsSquareSize) : 0;
}

namespace {
void ColourOf(const XARGB32Colour& inColour)
{
    glColor3f(inColour.red / 255.0f, inColour.green / 255.0f, inColour.blue / 255.0f);
}
} // namespace

void XGLFloor::RenderSelf(XGLRenderable&)
{
    XLock lock(itsMutex);
    const XGLCapabilitySetter lighting(GL_LIGHTING, true), texturing(GL_TEXTURE_2D, false);
    GLfloat specular[4], diffuse[4], ambient[4];
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    const GLfloat floorSpecular[] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat floorDiffuse[] = {0.8f, 0.8f, 0.8f, 1.0f};
    const GLfloat floorAmbient[] = {0.2f, 0.2f, 0.2f, 1.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, floorSpecular);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, floorDiffuse);
    glMaterialfv(GL_FRONT, GL_AMBIENT, floorAmbient);
    GLint polygonMode[2] = {GL_FILL, GL_FILL};
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    glPolygonMode(GL_FRONT, GL_FILL);
    GLfloat colour[4], normal[3];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glGetFloatv(GL_CURRENT_NORMAL, normal);

    DrawQuads();

    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glColor4fv(colour);
    glNormal3fv(normal);
    glPolygonMode(GL_FRONT, GLenum(polygonMode[0]));
    glPolygonMode(GL_BACK, GLenum(polygonMode[1]));
}

void XGLFloor::DrawQuads() const
{
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 1.0f, 0.0f);
    if (itsChecked && CanDrawChecked()) {
        const long nx = long(itsWidth / itsSquareSize);
        const long nz = long(itsDepth / itsSquareSize);
        const double s = itsSquareSize;
        for (long i = 0; i < nx; ++i) {
            for (long j = 0; j < nz; ++j) {
                glNormal3f(0.0f, 1.0f, 0.0f);
                ColourOf((i + j) % 2 == 0 ? itsColour1 : itsColour2);
                const double x0 = s * double(i) - 0.5 * itsWidth;
                const double z0 = s * double(j) - 0.5 * itsDepth;
                glVertex3d(x0, itsLevel, z0);
                glVertex3d(x0, itsLevel, z0 + s);
                glVertex3d(x0 + s, itsLevel, z0 + s);
                glVertex3d(x0 + s, itsLevel, z0);
            }
        }
    } else {
        ColourOf(itsColour1);
        glVertex3d(-0.5 * itsWidth, itsLevel, -0.5 * itsDepth);
        glVertex3d(0.5 * itsWidth, itsLevel, -0.5 * itsDepth);
        glVertex3d(0.5 * itsWidth, itsLevel, 0.5 * itsDepth);
        glVertex3d(-0.5 * itsWidth, itsLevel, 0.5 * itsDepth);
    }
    glEnd();
}
