#pragma once
// A program of the shader runtime as the device sees it: its kind, the program, and
// its top-level parameters in program order (texture units pair with the sampler
// parameters in that order).
#include "XMap.h"
#include "XMatrix_4x4.h"
#include "XString.h"
#include "cg.h"

#include <cstdint>
#include <vector>

class X3DGC;

class XShader {
public:
    enum XShaderType : uint32_t { kVertexShader = 0, kFragmentShader = 1 };
    struct XParameter {
        XString name;
        _CGparameter* parameter = nullptr;
        CGparameterclass parameterClass = CG_PARAMETERCLASS_UNKNOWN;
    };

    // Compiles inSource's entry point inEntry for the device's profile of that kind,
    // with the device locked. Throws XException kNoShaderProfile when the device has
    // no such profile, XCgException when the runtime fails (compile errors carry the
    // listing). The program lives in the device's shader context; loading it into the
    // driver waits for the device's AttachShader.
    XShader(X3DGC& inDevice, const XString& inSource, const XString& inEntry, XShaderType inType);
    // A program the runtime has compiled, with its parameters in program order; not owned.
    XShader(XShaderType inType, _CGprogram* inProgram, std::vector<XParameter> inParameters);
    virtual ~XShader();
    XShader(const XShader&) = delete;
    XShader& operator=(const XShader&) = delete;

    XShaderType GetType() const { return itsType; }
    operator _CGprogram*() const { return itsProgram; }
    bool HasParameter(const XString& inName) const { return itsParameters.Contains(inName); }
    // A name the program does not have is reported, then thrown as kBadArgument.
    _CGparameter* GetParameter(const XString& inName) const;
    std::vector<_CGparameter*> GetParametersByClass(CGparameterclass inClass) const;
    // The matrix's rows become the program matrix's rows (row vectors: mul(v, M)).
    void SetMatrixParameter(const XString& inName, const XMatrix_4x4<float>& inMatrix);

private:
    XShaderType itsType;
    _CGprogram* itsProgram;
    bool itsOwnsProgram = false;
    XMap<XString, _CGparameter*> itsParameters;
    std::vector<XParameter> itsProgramOrder;
};
