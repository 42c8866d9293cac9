#include "XMeshTessellator.h"

#include "XException.h"
#include "XOpenGL.h"

#include <algorithm>
#include <unordered_map>

namespace {

uint64_t EdgeKey(uint32_t inFrom, uint32_t inTo) { return (uint64_t(inFrom) << 32) | inTo; }

// What the tessellator hands back through its callbacks.
struct XTessellation {
    XVector<uint32_t>& itsIndices;
    bool itsFailed = false;
};

// Vertex data is the vertex index plus one, so that vertex 0 is not a null pointer.
void* IndexToData(uint32_t inIndex) { return reinterpret_cast<void*>(uintptr_t(inIndex) + 1); }
uint32_t DataToIndex(void* inData) { return uint32_t(reinterpret_cast<uintptr_t>(inData) - 1); }

void EdgeFlagCallback(GLboolean)
{
    // Registered only so that the tessellator emits independent triangles.
}

void VertexDataCallback(void* inVertexData, void* inPolygonData)
{
    static_cast<XTessellation*>(inPolygonData)->itsIndices.push_back(DataToIndex(inVertexData));
}

void ErrorDataCallback(GLenum, void* inPolygonData) { static_cast<XTessellation*>(inPolygonData)->itsFailed = true; }

// The tessellator asks for a vertex where contours meet or cross. A vertex of the
// surface met twice (a loop touching itself) is taken as it is; a new vertex cannot be
// indexed, so the tessellation fails.
void CombineDataCallback(GLdouble[3], void* inVertexData[4], GLfloat inWeights[4], void** outData,
                         void* inPolygonData)
{
    *outData = inVertexData[0];
    for (int i = 1; i < 4; ++i)
        if (inVertexData[i] && inWeights[i] != 0.0f && inVertexData[i] != inVertexData[0])
            static_cast<XTessellation*>(inPolygonData)->itsFailed = true;
}

} // namespace

XMeshTessellator::XMeshTessellator(XVector<XMathVectorD3>& inPositions) : itsPositions(inPositions)
{
    if (OpenGLInit() != 0) {
        OpenGLUnInit(); // the load is counted whatever its result
        throw XException(XException::kOpenGLError,
                         XString("the surface cannot be simplified because the OpenGL and GLU libraries could not "
                                 "be loaded; install them"));
    }
    try {
        itsTessellator = gluNewTess();
    } catch (...) {
        OpenGLUnInit();
        throw;
    }
}

XMeshTessellator::~XMeshTessellator()
{
    if (itsTessellator)
        gluDeleteTess(static_cast<GLUtesselator*>(itsTessellator));
    OpenGLUnInit();
}

bool XMeshTessellator::Tessellate(const XVector<XVector<uint32_t>>& inLoops, const XMathVectorD3& inNormal,
                                  XVector<uint32_t>& outIndices)
{
    // One tessellator serves many regions; one that failed is replaced, as its state
    // after an error is not to be trusted.
    if (!itsTessellator)
        itsTessellator = gluNewTess();
    GLUtesselator* tessellator = static_cast<GLUtesselator*>(itsTessellator);
    if (!tessellator)
        return false;
    XTessellation result{outIndices};
    gluTessCallback(tessellator, GLU_TESS_EDGE_FLAG, reinterpret_cast<_GLUfuncptr>(&EdgeFlagCallback));
    gluTessCallback(tessellator, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(&VertexDataCallback));
    gluTessCallback(tessellator, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(&ErrorDataCallback));
    gluTessCallback(tessellator, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&CombineDataCallback));
    gluTessNormal(tessellator, inNormal[0], inNormal[1], inNormal[2]);
    gluTessBeginPolygon(tessellator, &result);
    for (const XVector<uint32_t>& loop : inLoops) {
        gluTessBeginContour(tessellator);
        for (uint32_t v : loop)
            gluTessVertex(tessellator, itsPositions[v].GetData(), IndexToData(v));
        gluTessEndContour(tessellator);
    }
    gluTessEndPolygon(tessellator);
    if (result.itsFailed) {
        gluDeleteTess(tessellator);
        itsTessellator = nullptr;
    }
    return !result.itsFailed;
}

// The tessellator may join three vertices of one straight outline edge into a triangle
// of no area. Such a triangle has no normal, so the vertex in its middle could not be
// judged later: its long edge is flipped with the triangle beyond it instead.
void XMeshTessellator::RemoveSlivers(XVector<XMathVectorU3>& inOutTriangles) const
{
    auto middle = [this](const XMathVectorU3& t) -> int {
        const XMathVectorD3 &a = itsPositions[t[0]], &b = itsPositions[t[1]], &c = itsPositions[t[2]];
        const double lengths[3] = {(b - a).GetLengthSquared(), (c - b).GetLengthSquared(), (a - c).GetLengthSquared()};
        const int longest = int(std::max_element(lengths, lengths + 3) - lengths);
        if (!((b - a).Cross(c - a).GetLengthSquared() <= 1e-20 * lengths[longest] * lengths[longest]))
            return -1;
        return (longest + 2) % 3; // the corner opposite edge k runs k -> k + 1
    };
    // Each triangle by its directed edges, built only when there is a sliver to mend.
    std::unordered_map<uint64_t, size_t> triangleOfEdge;
    auto enter = [&](size_t inTriangle) {
        const XMathVectorU3& t = inOutTriangles[inTriangle];
        for (int k = 0; k < 3; ++k)
            triangleOfEdge[EdgeKey(t[k], t[(k + 1) % 3])] = inTriangle;
    };
    for (size_t pass = 0; pass < inOutTriangles.size(); ++pass) {
        bool flipped = false;
        for (size_t i = 0; i < inOutTriangles.size(); ++i) {
            const int m = middle(inOutTriangles[i]);
            if (m < 0)
                continue;
            if (triangleOfEdge.empty())
                for (size_t j = 0; j < inOutTriangles.size(); ++j)
                    enter(j);
            // Triangle (b, c, a) with b in the middle of edge c -> a; the one beyond holds a -> c.
            const XMathVectorU3 sliver = inOutTriangles[i];
            const uint32_t b = sliver[m], c = sliver[(m + 1) % 3], a = sliver[(m + 2) % 3];
            const auto beyond = triangleOfEdge.find(EdgeKey(a, c));
            if (beyond == triangleOfEdge.end() || beyond->second == i)
                continue;
            const size_t j = beyond->second;
            const XMathVectorU3& t = inOutTriangles[j];
            const uint32_t d = t[0] != a && t[0] != c ? t[0] : (t[1] != a && t[1] != c ? t[1] : t[2]);
            for (const XMathVectorU3& old : {sliver, inOutTriangles[j]})
                for (int k = 0; k < 3; ++k)
                    triangleOfEdge.erase(EdgeKey(old[k], old[(k + 1) % 3]));
            inOutTriangles[i] = XMathVectorU3(a, b, d);
            inOutTriangles[j] = XMathVectorU3(b, c, d);
            enter(i);
            enter(j);
            flipped = true;
        }
        if (!flipped)
            break;
    }
}
