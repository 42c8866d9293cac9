// Which uniforms a source declares for one compilation, and in what order.
#include "XCgDeclarations.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
struct XCase {
    const char* name;
    const char* source;
    std::vector<std::string> expected; // "name:type[:size]", a trailing '?' when undecided
};

std::string Describe(const XCgDeclarations::XUniform& inUniform)
{
    std::string text = inUniform.name;
    text.append(":").append(inUniform.typeName);
    if (inUniform.arraySize != 1)
        text.append(":").append(std::to_string(inUniform.arraySize));
    if (!inUniform.certain)
        text.append("?");
    return text;
}

TEST(CgDeclarations, FollowsConditionalsCommentsAndDeclaratorsWithOffsetsAtTheNames)
{
    const XCase cases[] = {
        {"order kept", "uniform vec4 b;\nuniform float a;\n", {"b:vec4", "a:float"}},
        {"several names", "uniform float a, b[3], c = 1.0;\n", {"a:float", "b:float:3", "c:float"}},
        {"qualifiers", "layout(location = 2) uniform highp mat4 m;\n", {"m:mat4"}},
        {"comments", "// uniform float x;\n/* uniform float y;\n*/ uniform float z;\n", {"z:float"}},
        {"other stage", "#ifdef KESTRIN_FRAGMENT_PROGRAM\nuniform vec4 f;\n#else\nuniform mat4 v;\n#endif\n", {"v:mat4"}},
        {"ifndef", "#ifndef KESTRIN_VERTEX_PROGRAM\nuniform vec4 f;\n#endif\nuniform float all;\n", {"all:float"}},
        {"expression", "#if defined(KESTRIN_VERTEX_PROGRAM) && !defined(X)\nuniform float a;\n#elif 1\nuniform float b;\n#endif\n",
         {"a:float"}},
        {"elif taken", "#if 0\nuniform float a;\n#elif defined vsMain\nuniform float b;\n#else\nuniform float c;\n#endif\n",
         {"b:float"}},
        {"source defines", "#define LIT\n#ifdef LIT\nuniform vec3 light;\n#endif\n#undef LIT\n#ifdef LIT\nuniform float no;\n#endif\n",
         {"light:vec3"}},
        {"undecided", "#if LEVEL > 2\nuniform float a;\n#else\nuniform float b;\n#endif\n", {"a:float?", "b:float?"}},
        {"nested in a dead branch", "#if 0\n#ifdef KESTRIN_VERTEX_PROGRAM\nuniform float a;\n#endif\n#endif\n", {}},
        {"not uniforms", "in vec2 t;\nvoid vsMain() { float uniformity = 1.0; }\nuniform sampler2D s;\n", {"s:sampler2D"}},
    };
    for (const XCase& c : cases) {
        std::vector<std::string> got;
        const std::string source = c.source;
        for (const auto& uniform : XCgDeclarations::Scan(source, {"KESTRIN_VERTEX_PROGRAM", "vsMain"})) {
            got.push_back(Describe(uniform));
            EXPECT_EQ(source.substr(uniform.offset, uniform.name.size()), uniform.name) << c.name << ": offset";
        }
        EXPECT_EQ(got, c.expected) << c.name;
    }
}
} // namespace
