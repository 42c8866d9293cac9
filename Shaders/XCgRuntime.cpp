// The shader runtime's core calls over GLSL separable programs.
#include "XCgDeclarations.h"
#include "XCgRuntimeImp.h"
#include "XOpenGL.h"
#include "cgGL.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <unordered_set>

namespace {
std::atomic<int> sError{CG_NO_ERROR};

// Live handles, so that stale ones are reported instead of followed.
std::mutex sHandleMutex;
std::unordered_set<const void*> sLiveHandles;

void AddHandle(const void* inHandle)
{
    std::lock_guard<std::mutex> lock(sHandleMutex);
    sLiveHandles.insert(inHandle);
}

void RemoveHandle(const void* inHandle)
{
    std::lock_guard<std::mutex> lock(sHandleMutex);
    sLiveHandles.erase(inHandle);
}

bool IsLive(const void* inHandle)
{
    if (inHandle == nullptr)
        return false;
    std::lock_guard<std::mutex> lock(sHandleMutex);
    return sLiveHandles.count(inHandle) != 0;
}

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool IsIdentifier(const char* inText)
{
    if (inText == nullptr || *inText == '\0' || std::isdigit(static_cast<unsigned char>(*inText)))
        return false;
    for (const char* p = inText; *p; ++p)
        if (!IsWordChar(*p))
            return false;
    return true;
}

struct XTypeInfo {
    GLenum glType;
    CGtype type;
    CGparameterclass parameterClass;
};

constexpr XTypeInfo kTypes[] = {
    {GL_FLOAT, CG_FLOAT, CG_PARAMETERCLASS_SCALAR},
    {GL_FLOAT_VEC2, CG_FLOAT2, CG_PARAMETERCLASS_VECTOR},
    {GL_FLOAT_VEC3, CG_FLOAT3, CG_PARAMETERCLASS_VECTOR},
    {GL_FLOAT_VEC4, CG_FLOAT4, CG_PARAMETERCLASS_VECTOR},
    {GL_FLOAT_MAT2, CG_FLOAT2x2, CG_PARAMETERCLASS_MATRIX},
    {GL_FLOAT_MAT3, CG_FLOAT3x3, CG_PARAMETERCLASS_MATRIX},
    {GL_FLOAT_MAT4, CG_FLOAT4x4, CG_PARAMETERCLASS_MATRIX},
    {GL_INT, CG_INT, CG_PARAMETERCLASS_SCALAR},
    {GL_INT_VEC2, CG_INT2, CG_PARAMETERCLASS_VECTOR},
    {GL_INT_VEC3, CG_INT3, CG_PARAMETERCLASS_VECTOR},
    {GL_INT_VEC4, CG_INT4, CG_PARAMETERCLASS_VECTOR},
    {GL_BOOL, CG_BOOL, CG_PARAMETERCLASS_SCALAR},
    {GL_SAMPLER_1D, CG_SAMPLER1D, CG_PARAMETERCLASS_SAMPLER},
    {GL_SAMPLER_2D, CG_SAMPLER2D, CG_PARAMETERCLASS_SAMPLER},
    {GL_SAMPLER_3D, CG_SAMPLER3D, CG_PARAMETERCLASS_SAMPLER},
    {GL_SAMPLER_CUBE, CG_SAMPLERCUBE, CG_PARAMETERCLASS_SAMPLER},
};

// The GL type a declaration names; 0 for types we do not model.
GLenum GLTypeNamed(const std::string& inTypeName)
{
    static const std::map<std::string, GLenum> kNames = {
        {"float", GL_FLOAT}, {"vec2", GL_FLOAT_VEC2}, {"vec3", GL_FLOAT_VEC3}, {"vec4", GL_FLOAT_VEC4},
        {"mat2", GL_FLOAT_MAT2}, {"mat3", GL_FLOAT_MAT3}, {"mat4", GL_FLOAT_MAT4}, {"int", GL_INT},
        {"ivec2", GL_INT_VEC2}, {"ivec3", GL_INT_VEC3}, {"ivec4", GL_INT_VEC4}, {"bool", GL_BOOL},
        {"sampler1D", GL_SAMPLER_1D}, {"sampler2D", GL_SAMPLER_2D}, {"sampler3D", GL_SAMPLER_3D},
        {"samplerCube", GL_SAMPLER_CUBE},
    };
    auto found = kNames.find(inTypeName);
    return found == kNames.end() ? 0 : found->second;
}

XTypeInfo TypeOf(GLenum inGLType)
{
    for (const XTypeInfo& info : kTypes)
        if (info.glType == inGLType)
            return info;
    return {inGLType, CG_UNKNOWN_TYPE, CG_PARAMETERCLASS_UNKNOWN};
}

// Components a value setter writes; 0 for parameters that take no plain values.
int ComponentsOf(CGtype inType)
{
    switch (inType) {
    case CG_FLOAT: case CG_INT: case CG_BOOL: return 1;
    case CG_FLOAT2: case CG_INT2: return 2;
    case CG_FLOAT3: case CG_INT3: return 3;
    case CG_FLOAT4: case CG_INT4: return 4;
    default: return 0;
    }
}

int MatrixDimensionOf(CGtype inType)
{
    switch (inType) {
    case CG_FLOAT2x2: return 2;
    case CG_FLOAT3x3: return 3;
    case CG_FLOAT4x4: return 4;
    default: return 0;
    }
}

// The program's strings: its #version line (or ours), the stage's definitions, then
// the rest of the source with its line numbers kept.
std::vector<std::string> ProgramStrings(const std::string& inSource, CGprofile inProfile, const std::string& inEntry,
                                        const char** inArgs)
{
    std::string head = "#version 150 compatibility\n";
    std::string body = inSource;
    int firstBodyLine = 1;
    for (size_t lineStart = 0; lineStart < inSource.size();) {
        const size_t lineEnd = inSource.find('\n', lineStart);
        const size_t next = lineEnd == std::string::npos ? inSource.size() : lineEnd + 1;
        const size_t text = inSource.find_first_not_of(" \t\r", lineStart);
        if (text != std::string::npos && text < next && inSource.compare(text, 8, "#version") == 0) {
            head = inSource.substr(0, next);
            if (head.back() != '\n')
                head += '\n';
            body = inSource.substr(next);
            firstBodyLine = int(std::count(head.begin(), head.end(), '\n')) + 1;
            break;
        }
        lineStart = next;
    }
    std::string definitions = inProfile == CG_PROFILE_ARBVP1 ? "#define KESTRIN_VERTEX_PROGRAM 1\n"
                                                              : "#define KESTRIN_FRAGMENT_PROGRAM 1\n";
    if (inEntry != "main")
        definitions += "#define " + inEntry + " main\n";
    for (const char** arg = inArgs; arg && *arg; ++arg) {
        std::string definition(*arg);
        if (definition.rfind("-D", 0) != 0)
            continue;
        definition = definition.substr(2);
        const size_t equals = definition.find('=');
        if (equals != std::string::npos)
            definition[equals] = ' ';
        definitions += "#define " + definition + "\n";
    }
    definitions += "#line " + std::to_string(firstBodyLine) + "\n";
    return {head, definitions, body};
}

std::string ProgramLog(GLuint inProgram)
{
    GLint length = 0;
    glGetProgramiv(inProgram, GL_INFO_LOG_LENGTH, &length);
    std::string log(size_t(std::max(length, 1)), '\0');
    GLsizei written = 0;
    glGetProgramInfoLog(inProgram, GLsizei(log.size()), &written, log.data());
    log.resize(size_t(std::max(written, 0)));
    return log;
}

// Every uniform the compilation declares, in declaration order, with those the driver
// reports but we could not place after them; samplers take units in that order.
// Declared uniforms the program does not use stay parameters (setting them does
// nothing), so a program's parameters do not depend on how its body uses them.
void CollectParameters(_CGprogram& inOutProgram, const std::set<std::string>& inDefined)
{
    struct XActive {
        GLenum type;
        GLint size;
        bool placed = false;
    };
    const GLuint program = inOutProgram.glProgram;
    GLint count = 0, longest = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    glGetProgramiv(program, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longest);
    std::vector<std::pair<std::string, XActive>> active;
    for (GLint i = 0; i < count; ++i) {
        std::string name(size_t(std::max(longest, 1)), '\0');
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, GLuint(i), GLsizei(name.size()), &length, &size, &type, name.data());
        name.resize(size_t(std::max(length, 0)));
        if (name.size() > 3 && name.compare(name.size() - 3, 3, "[0]") == 0)
            name.resize(name.size() - 3);
        if (name.rfind("gl_", 0) != 0)
            active.push_back({name, {type, size}});
    }

    auto add = [&](const std::string& inName, GLenum inType, GLint inSize) {
        auto parameter = std::make_unique<_CGparameter>();
        const XTypeInfo info = TypeOf(inType);
        parameter->program = &inOutProgram;
        parameter->index = inOutProgram.parameters.size();
        parameter->name = inName;
        parameter->type = info.type;
        parameter->parameterClass = inSize > 1 ? CG_PARAMETERCLASS_ARRAY : info.parameterClass;
        parameter->arraySize = inSize;
        parameter->location = glGetUniformLocation(program, inName.c_str());
        AddHandle(parameter.get());
        inOutProgram.parameters.push_back(std::move(parameter));
    };
    std::set<std::string> seen;
    for (const XCgDeclarations::XUniform& declared : XCgDeclarations::Scan(inOutProgram.source, inDefined)) {
        if (!seen.insert(declared.name).second)
            continue;
        auto found = std::find_if(active.begin(), active.end(), [&](const auto& a) { return a.first == declared.name; });
        if (found != active.end()) {
            found->second.placed = true;
            add(found->first, found->second.type, found->second.size);
        } else if (declared.certain && GLTypeNamed(declared.typeName) != 0) {
            add(declared.name, GLTypeNamed(declared.typeName), declared.arraySize);
        }
    }
    for (const auto& [name, info] : active)
        if (!info.placed)
            add(name, info.type, info.size);

    int unit = 0;
    for (const auto& parameter : inOutProgram.parameters)
        if (parameter->parameterClass == CG_PARAMETERCLASS_SAMPLER) {
            parameter->unit = unit++;
            if (parameter->location >= 0)
                glProgramUniform1iv(program, parameter->location, 1, &parameter->unit);
        }
}

void DestroyProgramObject(_CGprogram& inProgram)
{
    XCgRuntime::ForgetProgram(&inProgram);
    for (const auto& parameter : inProgram.parameters)
        RemoveHandle(parameter.get());
    RemoveHandle(&inProgram);
    // Without a current context the program goes with its share group.
    if (inProgram.glProgram != 0 && XCgRuntime::HasCurrentContext())
        glDeleteProgram(inProgram.glProgram);
}

void SetValues(CGparameter inParameter, const float* inValues, int inCount)
{
    if (!XCgRuntime::CheckParameter(inParameter))
        return;
    const int components = ComponentsOf(inParameter->type);
    if (components == 0 || inParameter->parameterClass == CG_PARAMETERCLASS_ARRAY) {
        XCgRuntime::SetError(CG_INVALID_PARAMETER_ERROR);
        return;
    }
    if (inParameter->location < 0 || !XCgRuntime::HasCurrentContext())
        return;
    float values[4] = {0, 0, 0, 0};
    std::copy_n(inValues, std::min(inCount, components), values);
    const GLuint program = inParameter->program->glProgram;
    const GLint location = inParameter->location;
    if (inParameter->type == CG_FLOAT || inParameter->type == CG_FLOAT2 || inParameter->type == CG_FLOAT3 ||
        inParameter->type == CG_FLOAT4) {
        switch (components) {
        case 1: glProgramUniform1fv(program, location, 1, values); break;
        case 2: glProgramUniform2fv(program, location, 1, values); break;
        case 3: glProgramUniform3fv(program, location, 1, values); break;
        default: glProgramUniform4fv(program, location, 1, values); break;
        }
        return;
    }
    GLint ints[4];
    for (int i = 0; i < 4; ++i)
        ints[i] = GLint(values[i]);
    switch (components) {
    case 1: glProgramUniform1iv(program, location, 1, ints); break;
    case 2: glProgramUniform2iv(program, location, 1, ints); break;
    case 3: glProgramUniform3iv(program, location, 1, ints); break;
    default: glProgramUniform4iv(program, location, 1, ints); break;
    }
}

void SetMatrix(CGparameter inParameter, const float* inMatrix, bool inRowMajor)
{
    if (!XCgRuntime::CheckParameter(inParameter))
        return;
    const int dimension = MatrixDimensionOf(inParameter->type);
    if (dimension == 0 || inParameter->parameterClass != CG_PARAMETERCLASS_MATRIX) {
        XCgRuntime::SetError(CG_NOT_MATRIX_PARAM_ERROR);
        return;
    }
    if (inMatrix == nullptr) {
        XCgRuntime::SetError(CG_INVALID_PARAMETER_ERROR);
        return;
    }
    if (inParameter->location < 0 || !XCgRuntime::HasCurrentContext())
        return;
    // GLSL matrices are column-major: row-major values go in transposed.
    const GLboolean transpose = inRowMajor ? GL_TRUE : GL_FALSE;
    const GLuint program = inParameter->program->glProgram;
    switch (dimension) {
    case 2: glProgramUniformMatrix2fv(program, inParameter->location, 1, transpose, inMatrix); break;
    case 3: glProgramUniformMatrix3fv(program, inParameter->location, 1, transpose, inMatrix); break;
    default: glProgramUniformMatrix4fv(program, inParameter->location, 1, transpose, inMatrix); break;
    }
}
} // namespace

void XCgRuntime::SetError(CGerror inError) { sError = inError; }

bool XCgRuntime::CheckContext(CGcontext inContext)
{
    if (IsLive(inContext))
        return true;
    SetError(CG_INVALID_CONTEXT_HANDLE_ERROR);
    return false;
}

bool XCgRuntime::CheckProgram(CGprogram inProgram)
{
    if (IsLive(inProgram))
        return true;
    SetError(CG_INVALID_PROGRAM_HANDLE_ERROR);
    return false;
}

bool XCgRuntime::CheckParameter(CGparameter inParameter)
{
    if (IsLive(inParameter))
        return true;
    SetError(CG_INVALID_PARAM_HANDLE_ERROR);
    return false;
}

unsigned int XCgRuntime::StageOf(CGprofile inProfile)
{
    switch (inProfile) {
    case CG_PROFILE_ARBVP1: return GL_VERTEX_SHADER;
    case CG_PROFILE_ARBFP1: return GL_FRAGMENT_SHADER;
    default: return 0;
    }
}

CGcontext cgCreateContext(void)
{
    CGcontext context = new _CGcontext;
    AddHandle(context);
    return context;
}

void cgDestroyContext(CGcontext inContext)
{
    if (!XCgRuntime::CheckContext(inContext))
        return;
    for (const auto& program : inContext->programs)
        DestroyProgramObject(*program);
    RemoveHandle(inContext);
    delete inContext;
}

CGbool cgIsContext(CGcontext inContext) { return IsLive(inContext) ? CG_TRUE : CG_FALSE; }

const char* cgGetLastListing(CGcontext inContext)
{
    if (!XCgRuntime::CheckContext(inContext))
        return nullptr;
    return inContext->lastListing.c_str();
}

CGprogram cgCreateProgram(CGcontext inContext, CGenum inProgramType, const char* inProgram, CGprofile inProfile,
                          const char* inEntry, const char** inArgs)
{
    if (!XCgRuntime::CheckContext(inContext))
        return nullptr;
    inContext->lastListing.clear();
    if (inProgramType != CG_SOURCE) {
        XCgRuntime::SetError(CG_INVALID_ENUMERANT_ERROR);
        return nullptr;
    }
    const GLenum stage = XCgRuntime::StageOf(inProfile);
    if (stage == 0) {
        XCgRuntime::SetError(CG_UNKNOWN_PROFILE_ERROR);
        return nullptr;
    }
    const std::string entry = inEntry ? inEntry : "main";
    if (inProgram == nullptr || !IsIdentifier(entry.c_str())) {
        XCgRuntime::SetError(CG_INVALID_PARAMETER_ERROR);
        return nullptr;
    }
    if (!cgGLIsProfileSupported(inProfile)) {
        inContext->lastListing = "cannot compile for profile " + std::string(cgGetProfileString(inProfile)) +
                                 ": make an OpenGL context current (lock the device) that offers separable GLSL "
                                 "programs (OpenGL 4.1 or GL_ARB_separate_shader_objects) in a compatibility profile";
        XCgRuntime::SetError(CG_INVALID_PROFILE_ERROR);
        return nullptr;
    }

    auto program = std::make_unique<_CGprogram>();
    program->context = inContext;
    program->profile = inProfile;
    program->source = inProgram;
    program->entry = entry;
    const std::vector<std::string> strings = ProgramStrings(program->source, inProfile, entry, inArgs);
    const GLchar* pointers[] = {strings[0].c_str(), strings[1].c_str(), strings[2].c_str()};
    program->glProgram = glCreateShaderProgramv(stage, 3, pointers);
    GLint linked = GL_FALSE;
    if (program->glProgram != 0) {
        glGetProgramiv(program->glProgram, GL_LINK_STATUS, &linked);
        inContext->lastListing = ProgramLog(program->glProgram);
    }
    if (linked != GL_TRUE) {
        if (inContext->lastListing.empty())
            inContext->lastListing = "entry point " + entry + " did not compile for " + cgGetProfileString(inProfile);
        if (program->glProgram != 0)
            glDeleteProgram(program->glProgram);
        XCgRuntime::SetError(CG_COMPILER_ERROR);
        return nullptr;
    }
    std::set<std::string> defined = {inProfile == CG_PROFILE_ARBVP1 ? "KESTRIN_VERTEX_PROGRAM" : "KESTRIN_FRAGMENT_PROGRAM"};
    if (entry != "main")
        defined.insert(entry);
    for (const char** arg = inArgs; arg && *arg; ++arg)
        if (std::strncmp(*arg, "-D", 2) == 0)
            defined.insert(std::string(*arg + 2).substr(0, std::string(*arg + 2).find('=')));
    CollectParameters(*program, defined);
    AddHandle(program.get());
    inContext->programs.push_back(std::move(program));
    return inContext->programs.back().get();
}

void cgDestroyProgram(CGprogram inProgram)
{
    if (!XCgRuntime::CheckProgram(inProgram))
        return;
    DestroyProgramObject(*inProgram);
    auto& programs = inProgram->context->programs;
    programs.erase(std::find_if(programs.begin(), programs.end(), [&](const auto& p) { return p.get() == inProgram; }));
}

CGbool cgIsProgram(CGprogram inProgram) { return IsLive(inProgram) ? CG_TRUE : CG_FALSE; }

CGcontext cgGetProgramContext(CGprogram inProgram)
{
    return XCgRuntime::CheckProgram(inProgram) ? inProgram->context : nullptr;
}

CGprofile cgGetProgramProfile(CGprogram inProgram)
{
    return XCgRuntime::CheckProgram(inProgram) ? inProgram->profile : CG_PROFILE_UNKNOWN;
}

const char* cgGetProgramString(CGprogram inProgram, CGenum inWhich)
{
    if (!XCgRuntime::CheckProgram(inProgram))
        return nullptr;
    switch (inWhich) {
    case CG_PROGRAM_SOURCE: return inProgram->source.c_str();
    case CG_PROGRAM_ENTRY: return inProgram->entry.c_str();
    case CG_PROGRAM_PROFILE: return cgGetProfileString(inProgram->profile);
    default: XCgRuntime::SetError(CG_INVALID_ENUMERANT_ERROR); return nullptr;
    }
}

CGparameter cgGetFirstParameter(CGprogram inProgram, CGenum inNameSpace)
{
    if (!XCgRuntime::CheckProgram(inProgram))
        return nullptr;
    if (inNameSpace != CG_PROGRAM && inNameSpace != CG_GLOBAL) {
        XCgRuntime::SetError(CG_INVALID_ENUMERANT_ERROR);
        return nullptr;
    }
    return inProgram->parameters.empty() ? nullptr : inProgram->parameters.front().get();
}

CGparameter cgGetNextParameter(CGparameter inParameter)
{
    if (!XCgRuntime::CheckParameter(inParameter))
        return nullptr;
    const auto& parameters = inParameter->program->parameters;
    const size_t next = inParameter->index + 1;
    return next < parameters.size() ? parameters[next].get() : nullptr;
}

CGparameter cgGetNamedParameter(CGprogram inProgram, const char* inName)
{
    if (!XCgRuntime::CheckProgram(inProgram) || inName == nullptr)
        return nullptr;
    for (const auto& parameter : inProgram->parameters)
        if (parameter->name == inName)
            return parameter.get();
    return nullptr;
}

const char* cgGetParameterName(CGparameter inParameter)
{
    return XCgRuntime::CheckParameter(inParameter) ? inParameter->name.c_str() : nullptr;
}

CGtype cgGetParameterType(CGparameter inParameter)
{
    return XCgRuntime::CheckParameter(inParameter) ? inParameter->type : CG_UNKNOWN_TYPE;
}

CGparameterclass cgGetParameterClass(CGparameter inParameter)
{
    return XCgRuntime::CheckParameter(inParameter) ? inParameter->parameterClass : CG_PARAMETERCLASS_UNKNOWN;
}

CGprogram cgGetParameterProgram(CGparameter inParameter)
{
    return XCgRuntime::CheckParameter(inParameter) ? inParameter->program : nullptr;
}

CGbool cgIsParameter(CGparameter inParameter) { return IsLive(inParameter) ? CG_TRUE : CG_FALSE; }

void cgSetParameter1f(CGparameter inParameter, float inX) { SetValues(inParameter, &inX, 1); }

void cgSetParameter2f(CGparameter inParameter, float inX, float inY)
{
    const float values[] = {inX, inY};
    SetValues(inParameter, values, 2);
}

void cgSetParameter3f(CGparameter inParameter, float inX, float inY, float inZ)
{
    const float values[] = {inX, inY, inZ};
    SetValues(inParameter, values, 3);
}

void cgSetParameter4f(CGparameter inParameter, float inX, float inY, float inZ, float inW)
{
    const float values[] = {inX, inY, inZ, inW};
    SetValues(inParameter, values, 4);
}

void cgSetParameter1fv(CGparameter inParameter, const float* inValues) { SetValues(inParameter, inValues, inValues ? 1 : 0); }
void cgSetParameter2fv(CGparameter inParameter, const float* inValues) { SetValues(inParameter, inValues, inValues ? 2 : 0); }
void cgSetParameter3fv(CGparameter inParameter, const float* inValues) { SetValues(inParameter, inValues, inValues ? 3 : 0); }
void cgSetParameter4fv(CGparameter inParameter, const float* inValues) { SetValues(inParameter, inValues, inValues ? 4 : 0); }

void cgSetMatrixParameterfr(CGparameter inParameter, const float* inMatrix) { SetMatrix(inParameter, inMatrix, true); }
void cgSetMatrixParameterfc(CGparameter inParameter, const float* inMatrix) { SetMatrix(inParameter, inMatrix, false); }

CGerror cgGetError(void) { return CGerror(sError.exchange(CG_NO_ERROR)); }

const char* cgGetErrorString(CGerror inError)
{
    switch (inError) {
    case CG_NO_ERROR: return "no error";
    case CG_COMPILER_ERROR: return "the program did not compile (see the last listing)";
    case CG_INVALID_PARAMETER_ERROR: return "the parameter does not take that kind of value";
    case CG_INVALID_PROFILE_ERROR: return "the current OpenGL context cannot run programs of that profile";
    case CG_PROGRAM_LOAD_ERROR: return "the program could not be loaded (is an OpenGL context current?)";
    case CG_PROGRAM_BIND_ERROR: return "the program could not be bound (is an OpenGL context current?)";
    case CG_PROGRAM_NOT_LOADED_ERROR: return "the program must be loaded before it is bound";
    case CG_UNSUPPORTED_GL_EXTENSION_ERROR: return "the OpenGL context lacks an extension the runtime needs";
    case CG_INVALID_VALUE_TYPE_ERROR: return "invalid value type";
    case CG_NOT_MATRIX_PARAM_ERROR: return "the parameter is not a square float matrix";
    case CG_INVALID_ENUMERANT_ERROR: return "invalid enumerant";
    case CG_INVALID_CONTEXT_HANDLE_ERROR: return "invalid context handle";
    case CG_INVALID_PROGRAM_HANDLE_ERROR: return "invalid program handle";
    case CG_INVALID_PARAM_HANDLE_ERROR: return "invalid parameter handle";
    case CG_UNKNOWN_PROFILE_ERROR: return "unknown profile";
    }
    return "unknown error";
}

CGprofile cgGetProfile(const char* inName)
{
    if (inName == nullptr)
        return CG_PROFILE_UNKNOWN;
    if (std::strcmp(inName, "arbvp1") == 0)
        return CG_PROFILE_ARBVP1;
    if (std::strcmp(inName, "arbfp1") == 0)
        return CG_PROFILE_ARBFP1;
    return CG_PROFILE_UNKNOWN;
}

const char* cgGetProfileString(CGprofile inProfile)
{
    switch (inProfile) {
    case CG_PROFILE_ARBVP1: return "arbvp1";
    case CG_PROFILE_ARBFP1: return "arbfp1";
    default: return "unknown";
    }
}

const char* cgGetString(CGenum inWhich)
{
    if (inWhich == CG_VERSION)
        return "1.0 (Kestrin3D shader runtime, GLSL separable programs)";
    XCgRuntime::SetError(CG_INVALID_ENUMERANT_ERROR);
    return nullptr;
}
