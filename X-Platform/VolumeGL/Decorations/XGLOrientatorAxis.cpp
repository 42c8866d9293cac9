#include "XGLOrientatorAxis.h"

#include "XGLCapabilitySetter.h"
#include "XOpenGL.h"

#include <cmath>

namespace {
constexpr double kShaftLength = 0.78;
constexpr double kHeadRadius = 0.08;
constexpr int kHeadSides = 12;
constexpr double kLetterDistance = 1.22;
constexpr double kLetterHalfSize = 0.13;

// Strokes of the letters in a square from (-1, -1) to (1, 1), y growing downwards.
struct XStroke {
    double x0, y0, x1, y1;
};
constexpr XStroke kLetterX[] = {{-1, -1, 1, 1}, {-1, 1, 1, -1}};
constexpr XStroke kLetterY[] = {{-1, -1, 0, 0}, {1, -1, 0, 0}, {0, 0, 0, 1}};
constexpr XStroke kLetterZ[] = {{-1, -1, 1, -1}, {1, -1, -1, 1}, {-1, 1, 1, 1}};
} // namespace

XGLOrientatorAxis::XGLOrientatorAxis(char inLetter) : itsLetter(inLetter) {}

void XGLOrientatorAxis::RenderSelf(XGLRenderable&)
{
    GLfloat lineWidth = 1.0f;
    glGetFloatv(GL_LINE_WIDTH, &lineWidth);
    {
        const XGLCapabilitySetter lighting(GL_LIGHTING, false), culling(GL_CULL_FACE, false),
            texturing(GL_TEXTURE_2D, false);
        glLineWidth(2.0f);
        DrawArrow();
        DrawLetter();
    }
    glLineWidth(lineWidth);
}

void XGLOrientatorAxis::DrawArrow()
{
    glBegin(GL_LINES);
    glVertex3d(0.0, 0.0, 0.0);
    glVertex3d(kShaftLength, 0.0, 0.0);
    glEnd();
    // The head: a cone closed by a disc.
    for (double apex : {1.0, kShaftLength}) {
        glBegin(GL_TRIANGLE_FAN);
        glVertex3d(apex, 0.0, 0.0);
        for (int i = 0; i <= kHeadSides; ++i) {
            const double a = 2.0 * M_PI * i / kHeadSides;
            glVertex3d(kShaftLength, kHeadRadius * std::cos(a), kHeadRadius * std::sin(a));
        }
        glEnd();
    }
}

void XGLOrientatorAxis::DrawLetter() const
{
    const XStroke* strokes = nullptr;
    size_t count = 0;
    switch (itsLetter) {
    case 'X': strokes = kLetterX; count = std::size(kLetterX); break;
    case 'Y': strokes = kLetterY; count = std::size(kLetterY); break;
    case 'Z': strokes = kLetterZ; count = std::size(kLetterZ); break;
    default: return;
    }
    // The letter faces the viewer: drawn in eye space at the projected tip, upright
    // and unmirrored whichever way the projection flips the axes.
    GLdouble modelView[16], projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const double ex = modelView[0] * kLetterDistance + modelView[12];
    const double ey = modelView[1] * kLetterDistance + modelView[13];
    const double ez = modelView[2] * kLetterDistance + modelView[14];
    const double flipX = projection[0] < 0.0 ? -1.0 : 1.0;
    const double downY = projection[5] < 0.0 ? 1.0 : -1.0;
    glPushMatrix();
    glLoadIdentity();
    glTranslated(ex, ey, ez);
    glScaled(flipX * kLetterHalfSize * 0.7, downY * kLetterHalfSize, 1.0);
    glBegin(GL_LINES);
    for (size_t i = 0; i < count; ++i) {
        glVertex3d(strokes[i].x0, strokes[i].y0, 0.0);
        glVertex3d(strokes[i].x1, strokes[i].y1, 0.0);
    }
    glEnd();
    glPopMatrix();
}
