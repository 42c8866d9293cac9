#include "DecorationTestSupport.h"

#include "XARGB32Volume.h"

#include <cstdint>
#include <sstream>
#include <tuple>

std::unique_ptr<XVolume> DecorationTest::Picture(WGLWnd& inWindow, XGLRenderable& inNode)
{
    inWindow.AddChild(inNode);
    std::unique_ptr<XVolume> picture(inWindow.RenderToVolume());
    inWindow.RemoveChild(inNode);
    return picture;
}

namespace {
// Switches and client arrays, read with glIsEnabled.
const std::pair<const char*, GLenum> kSwitches[] = {
    {"lighting", GL_LIGHTING},         {"texturing", GL_TEXTURE_2D},         {"culling", GL_CULL_FACE},
    {"blending", GL_BLEND},            {"depth test", GL_DEPTH_TEST},        {"colour material", GL_COLOR_MATERIAL},
    {"scissor test", GL_SCISSOR_TEST}, {"alpha test", GL_ALPHA_TEST},        {"line smoothing", GL_LINE_SMOOTH},
    {"normalize", GL_NORMALIZE},       {"vertex array", GL_VERTEX_ARRAY},    {"normal array", GL_NORMAL_ARRAY},
    {"colour array", GL_COLOR_ARRAY},  {"edge-flag array", GL_EDGE_FLAG_ARRAY}, {"index array", GL_INDEX_ARRAY},
    {"texture-coordinate array", GL_TEXTURE_COORD_ARRAY},
};
// Values, read with glGetDoublev: the name, the query and how many values it gives.
const std::tuple<const char*, GLenum, size_t> kValues[] = {
    {"current colour", GL_CURRENT_COLOR, 4},
    {"current normal", GL_CURRENT_NORMAL, 3},
    {"viewport", GL_VIEWPORT, 4},
    {"scissor box", GL_SCISSOR_BOX, 4},
    {"polygon mode", GL_POLYGON_MODE, 2},
    {"blend source", GL_BLEND_SRC, 1},
    {"blend destination", GL_BLEND_DST, 1},
    {"unpack alignment", GL_UNPACK_ALIGNMENT, 1},
    {"unpack row length", GL_UNPACK_ROW_LENGTH, 1},
    {"unpack skipped rows", GL_UNPACK_SKIP_ROWS, 1},
    {"unpack skipped pixels", GL_UNPACK_SKIP_PIXELS, 1},
    {"matrix mode", GL_MATRIX_MODE, 1},
    {"model-view stack depth", GL_MODELVIEW_STACK_DEPTH, 1},
    {"projection stack depth", GL_PROJECTION_STACK_DEPTH, 1},
    {"texture binding", GL_TEXTURE_BINDING_2D, 1},
    {"client attribute stack", GL_CLIENT_ATTRIB_STACK_DEPTH, 1},
    {"line width", GL_LINE_WIDTH, 1},
    {"model-view matrix", GL_MODELVIEW_MATRIX, 16},
    {"projection matrix", GL_PROJECTION_MATRIX, 16},
};
const std::pair<const char*, GLenum> kMaterials[] = {
    {"material ambient", GL_AMBIENT}, {"material diffuse", GL_DIFFUSE}, {"material specular", GL_SPECULAR}};
} // namespace

DecorationTest::XGLStateSnapshot DecorationTest::XGLStateSnapshot::Take()
{
    XGLStateSnapshot s;
    for (const auto& [name, capability] : kSwitches)
        s.parts.push_back({name, {double(glIsEnabled(capability))}});
    for (const auto& [name, query, count] : kValues) {
        std::vector<double> values(count);
        glGetDoublev(query, values.data());
        s.parts.push_back({name, values});
    }
    for (const auto& [name, property] : kMaterials) {
        GLfloat m[4] = {};
        glGetMaterialfv(GL_FRONT, property, m);
        s.parts.push_back({name, {m[0], m[1], m[2], m[3]}});
    }
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    s.parts.push_back({"texture environment", {double(mode)}});
    GLvoid* pointer = nullptr;
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
    s.parts.push_back({"vertex pointer", {double(reinterpret_cast<uintptr_t>(pointer))}});
    return s;
}

std::string DecorationTest::XGLStateSnapshot::Difference(const XGLStateSnapshot& inOther) const
{
    std::ostringstream out;
    for (size_t i = 0; i < parts.size(); ++i)
        if (parts[i] != inOther.parts[i])
            out << parts[i].first << "; ";
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
