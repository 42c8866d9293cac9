#include "DecorationTestSupport.h"

#include "XARGB32Volume.h"

#include <cstring>
#include <sstream>

std::unique_ptr<XVolume> DecorationTest::Picture(WGLWnd& inWindow)
{
    return std::unique_ptr<XVolume>(inWindow.RenderToVolume());
}

namespace {
constexpr GLenum kCapabilities[10] = {GL_LIGHTING,      GL_TEXTURE_2D, GL_CULL_FACE,  GL_BLEND,        GL_DEPTH_TEST,
                                      GL_COLOR_MATERIAL, GL_SCISSOR_TEST, GL_ALPHA_TEST, GL_LINE_SMOOTH, GL_NORMALIZE};
constexpr GLenum kClientArrays[6] = {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY,
                                     GL_EDGE_FLAG_ARRAY, GL_INDEX_ARRAY, GL_TEXTURE_COORD_ARRAY};
} // namespace

DecorationTest::XGLStateSnapshot DecorationTest::XGLStateSnapshot::Take()
{
    XGLStateSnapshot s;
    for (size_t i = 0; i < s.enabled.size(); ++i)
        s.enabled[i] = glIsEnabled(kCapabilities[i]);
    for (size_t i = 0; i < s.clientArrays.size(); ++i)
        s.clientArrays[i] = glIsEnabled(kClientArrays[i]);
    glGetFloatv(GL_CURRENT_COLOR, s.colour.data());
    glGetFloatv(GL_CURRENT_NORMAL, s.normal.data());
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, s.ambient.data());
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, s.diffuse.data());
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, s.specular.data());
    glGetIntegerv(GL_VIEWPORT, s.viewport.data());
    glGetIntegerv(GL_SCISSOR_BOX, s.scissor.data());
    glGetIntegerv(GL_POLYGON_MODE, s.polygonMode.data());
    glGetIntegerv(GL_BLEND_SRC, &s.blendFunction[0]);
    glGetIntegerv(GL_BLEND_DST, &s.blendFunction[1]);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &s.unpack[0]);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &s.unpack[1]);
    glGetIntegerv(GL_UNPACK_SKIP_ROWS, &s.unpack[2]);
    glGetIntegerv(GL_UNPACK_SKIP_PIXELS, &s.unpack[3]);
    glGetIntegerv(GL_MATRIX_MODE, &s.matrixMode);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.modelViewDepth);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &s.projectionDepth);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.textureBinding);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &s.textureEnvMode);
    glGetIntegerv(GL_CLIENT_ATTRIB_STACK_DEPTH, &s.clientStackDepth);
    glGetFloatv(GL_LINE_WIDTH, &s.lineWidth);
    GLvoid* pointer = nullptr;
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
    s.vertexPointer = pointer;
    glGetDoublev(GL_MODELVIEW_MATRIX, s.modelView.data());
    glGetDoublev(GL_PROJECTION_MATRIX, s.projection.data());
    return s;
}

std::string DecorationTest::XGLStateSnapshot::Difference(const XGLStateSnapshot& o) const
{
    static const char* kCapabilityNames[10] = {"lighting", "texturing",   "culling",  "blending",      "depth test",
                                               "colour material", "scissor test", "alpha test", "line smoothing", "normalize"};
    static const char* kArrayNames[6] = {"vertex array", "normal array", "colour array",
                                         "edge-flag array", "index array", "texture-coordinate array"};
    std::ostringstream out;
    for (size_t i = 0; i < enabled.size(); ++i)
        if (enabled[i] != o.enabled[i])
            out << kCapabilityNames[i] << "; ";
    for (size_t i = 0; i < clientArrays.size(); ++i)
        if (clientArrays[i] != o.clientArrays[i])
            out << kArrayNames[i] << "; ";
    auto check = [&out](bool inSame, const char* inName) {
        if (!inSame)
            out << inName << "; ";
    };
    check(colour == o.colour, "current colour");
    check(normal == o.normal, "current normal");
    check(ambient == o.ambient, "material ambient");
    check(diffuse == o.diffuse, "material diffuse");
    check(specular == o.specular, "material specular");
    check(viewport == o.viewport, "viewport");
    check(scissor == o.scissor, "scissor box");
    check(polygonMode == o.polygonMode, "polygon mode");
    check(blendFunction == o.blendFunction, "blend function");
    check(unpack == o.unpack, "unpack state");
    check(matrixMode == o.matrixMode, "matrix mode");
    check(modelViewDepth == o.modelViewDepth, "model-view stack depth");
    check(projectionDepth == o.projectionDepth, "projection stack depth");
    check(textureBinding == o.textureBinding, "texture binding");
    check(textureEnvMode == o.textureEnvMode, "texture environment");
    check(clientStackDepth == o.clientStackDepth, "client attribute stack");
    check(lineWidth == o.lineWidth, "line width");
    check(vertexPointer == o.vertexPointer, "vertex pointer");
    check(modelView == o.modelView, "model-view matrix");
    check(projection == o.projection, "projection matrix");
    return out.str();
}

void DecorationTest::SetUnusualState(bool inColourMaterial)
{
    static const GLfloat kVertexData[3] = {0.0f, 0.0f, 0.0f};
    if (inColourMaterial)
        glEnable(GL_COLOR_MATERIAL);
    else
        glDisable(GL_COLOR_MATERIAL);
    glColor4f(0.25f, 0.5f, 0.75f, 0.5f);
    glNormal3f(0.0f, 0.0f, -1.0f);
    const GLfloat ambient[] = {0.3f, 0.1f, 0.1f, 1.0f};
    const GLfloat diffuse[] = {0.1f, 0.6f, 0.1f, 1.0f};
    const GLfloat specular[] = {0.4f, 0.4f, 0.9f, 1.0f};
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glColor4f(0.25f, 0.5f, 0.75f, 0.5f);
    glPolygonMode(GL_FRONT, GL_LINE);
    glPolygonMode(GL_BACK, GL_POINT);
    glBlendFunc(GL_ONE, GL_ONE);
    glLineWidth(3.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, kVertexData);
}
