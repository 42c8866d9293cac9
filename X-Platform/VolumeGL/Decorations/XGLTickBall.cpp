#include "XGLTickBall.h"

#include "XAssert.h"
#include "XGLContext.h"
#include "XOpenGL.h"

XVector<XGLTickBall::XPoint3f> XGLTickBall::sVertices;
XVector<XGLTickBall::XPoint3f> XGLTickBall::sNormals;
std::mutex XGLTickBall::sVerticesMutex;

namespace {
X3DMatrix Point(double inX, double inY, double inZ)
{
    return X3DMatrix::ColumnVector(inX, inY, inZ);
}
} // namespace

void XGLTickBall::GenerateVertices()
{
    sVertices.clear();
    sNormals.clear();
    sVertices.reserve(1536);
    sNormals.reserve(1536);
    const unsigned int depth = 2;
    TickSquare(Point(-1, -1, -1), Point(1, -1, -1), Point(1, 1, -1), Point(-1, 1, -1), depth);
    TickSquare(Point(-1, 1, 1), Point(1, 1, 1), Point(1, -1, 1), Point(-1, -1, 1), depth);
    TickSquare(Point(-1, -1, 1), Point(-1, -1, -1), Point(-1, 1, -1), Point(-1, 1, 1), depth);
    TickSquare(Point(1, 1, 1), Point(1, 1, -1), Point(1, -1, -1), Point(1, -1, 1), depth);
    TickSquare(Point(-1, -1, 1), Point(1, -1, 1), Point(1, -1, -1), Point(-1, -1, -1), depth);
    TickSquare(Point(1, 1, 1), Point(-1, 1, 1), Point(-1, 1, -1), Point(1, 1, -1), depth);
}

void XGLTickBall::TickSquare(X3DMatrix a, X3DMatrix b, X3DMatrix c, X3DMatrix d, unsigned int depth)
{
    a.L2Norm();
    b.L2Norm();
    c.L2Norm();
    d.L2Norm();
    if (depth > 0) {
        const X3DMatrix mab = X3DMatrix::L2Norm(a + b);
        const X3DMatrix mdc = X3DMatrix::L2Norm(d + c);
        const X3DMatrix mad = X3DMatrix::L2Norm(a + d);
        const X3DMatrix mbc = X3DMatrix::L2Norm(b + c);
        const X3DMatrix e = X3DMatrix::L2Norm(mad + mbc);
        TickSquare(a, mab, e, mad, depth - 1);
        TickSquare(mab, b, mbc, e, depth - 1);
        TickSquare(mad, e, mdc, d, depth - 1);
        TickSquare(e, mbc, c, mdc, depth - 1);
        return;
    }
    // Each tick runs from a corner a tenth of the way towards a neighbour.
    LoadVectorIntoArray(0.9 * a + 0.1 * d, a);
    LoadVectorIntoArray(a, 0.9 * a + 0.1 * b);
    LoadVectorIntoArray(0.9 * b + 0.1 * a, b);
    LoadVectorIntoArray(b, 0.9 * b + 0.1 * c);
    LoadVectorIntoArray(0.9 * d + 0.1 * a, d);
    LoadVectorIntoArray(d, 0.9 * d + 0.1 * c);
    LoadVectorIntoArray(0.9 * c + 0.1 * d, c);
    LoadVectorIntoArray(c, 0.9 * c + 0.1 * b);
}

void XGLTickBall::LoadVectorIntoArray(const X3DMatrix& from, const X3DMatrix& to)
{
    const XPoint3f f = {float(from(0, 0)), float(from(1, 0)), float(from(2, 0))};
    const XPoint3f t = {float(to(0, 0)), float(to(1, 0)), float(to(2, 0))};
    // On the unit sphere a point is its own normal.
    sVertices.push_back(f);
    sVertices.push_back(t);
    sNormals.push_back(f);
    sNormals.push_back(t);
}

void XGLTickBall::EnsureVertices()
{
    std::lock_guard lock(sVerticesMutex);
    if (sVertices.empty() || sNormals.empty())
        GenerateVertices();
}

const XVector<XGLTickBall::XPoint3f>& XGLTickBall::GetVertices()
{
    EnsureVertices();
    return sVertices;
}

const XVector<XGLTickBall::XPoint3f>& XGLTickBall::GetNormals()
{
    EnsureVertices();
    return sNormals;
}

void XGLTickBall::RenderSelf(XGLRenderable&)
{
    const XGLContext* context = XGLContext::GetCurrentContext();
    if (context && context->GetQualityMode() == 2)
        return;
    EnsureVertices();
    X_ASSERT(sVertices.size() == sNormals.size());
    if (sVertices.size() != sNormals.size())
        return; // reported; drawing would read past the shorter list
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    glVertexPointer(3, GL_FLOAT, 0, sVertices.data());
    glNormalPointer(GL_FLOAT, 0, sNormals.data());
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDrawArrays(GL_LINES, 0, GLsizei(sVertices.size()));
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glPopClientAttrib();
}
