#pragma once
// A program of the shader runtime as the device sees it: its kind, the program, and
// its top-level parameters in program order (texture units pair with the sampler
// parameters in that order). Compiling from source arrives with the shader runtime.
#include "XMap.h"
#include "XString.h"
#include "cg.h"

#include <cstdint>
#include <vector>

class XShader {
public:
    enum XShaderType : uint32_t { kVertexShader = 0, kFragmentShader = 1 };
    struct XParameter {
        XString name;
        _CGparameter* parameter = nullptr;
        CGparameterclass parameterClass = CG_PARAMETERCLASS_UNKNOWN;
    };

    // A program the runtime has compiled, with its parameters in program order.
    XShader(XShaderType inType, _CGprogram* inProgram, std::vector<XParameter> inParameters);
    virtual ~XShader() = default;
    XShader(const XShader&) = delete;
    XShader& operator=(const XShader&) = delete;

    XShaderType GetType() const { return itsType; }
    operator _CGprogram*() const { return itsProgram; }
    bool HasParameter(const XString& inName) const { return itsParameters.Contains(inName); }
    // Null, reported, for a name the program does not have.
    _CGparameter* GetParameter(const XString& inName) const;
    std::vector<_CGparameter*> GetParametersByClass(CGparameterclass inClass) const;

private:
    XShaderType itsType;
    _CGprogram* itsProgram;
    XMap<XString, _CGparameter*> itsParameters;
    std::vector<XParameter> itsProgramOrder;
};
