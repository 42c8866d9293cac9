#include "XMeshTessellator.h"

#include "XException.h"
#include "XOpenGL.h"

namespace {

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
