#pragma once
// The uniforms a GLSL source declares for one compilation, in declaration order. The
// driver reports only the uniforms a program uses, and not in source order; the
// runtime's parameters are every declared uniform, so this follows the preprocessor's
// conditionals far enough to know which declarations the compilation sees.
#include <set>
#include <string>
#include <vector>

namespace XCgDeclarations {
struct XUniform {
    std::string name;
    std::string typeName; // as written, e.g. "vec4", "sampler2D"
    int arraySize = 1;
    size_t offset = 0; // where the name stands in the source
    // False when a conditional around it could not be decided (an expression on
    // macro values): the driver's answer then decides whether it exists.
    bool certain = true;
};

// inDefined: the macros defined before the source (the stage's, the arguments').
std::vector<XUniform> Scan(const std::string& inSource, std::set<std::string> inDefined);
} // namespace XCgDeclarations
