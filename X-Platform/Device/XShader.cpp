#include "XShader.h"

#include "X3DGC.h"
#include "XAssert.h"
#include "XCgException.h"
#include "XException.h"

XShader::XShader(X3DGC& inDevice, const XString& inSource, const XString& inEntry, XShaderType inType)
    : itsType(inType), itsProgram(nullptr), itsOwnsProgram(true)
{
    CGprofile profile = CG_PROFILE_UNKNOWN;
    switch (inType) {
    case kVertexShader: profile = inDevice.GetVertexProfile(); break;
    case kFragmentShader: profile = inDevice.GetFragmentProfile(); break;
    default: X_ASSERT(false); break;
    }
    if (profile == CG_PROFILE_UNKNOWN)
        throw XException(XException::kNoShaderProfile,
            XString("the graphics device cannot run %1 programs (entry point %2); it needs OpenGL 4.1 or "
                    "separate shader objects in a compatibility profile")
                .Replace(XString(inType == kVertexShader ? "vertex" : "fragment"))
                .Replace(inEntry));

    _CGcontext* context = inDevice.GetCgContext();
    itsProgram = cgCreateProgram(context, CG_SOURCE, inSource.GetCString(), profile, inEntry.GetCString(), nullptr);
    XCgException::ThrowIfError(context);

    for (_CGparameter* p = cgGetFirstParameter(itsProgram, CG_PROGRAM); p != nullptr; p = cgGetNextParameter(p)) {
        XParameter parameter{XString(cgGetParameterName(p)), p, cgGetParameterClass(p)};
        const CGerror error = cgGetError();
        if (error != CG_NO_ERROR) {
            itsParameters.clear();
            itsProgramOrder.clear();
            cgDestroyProgram(itsProgram);
            cgGetError();
            throw XCgException(error);
        }
        itsParameters[parameter.name] = p;
        itsProgramOrder.push_back(parameter);
    }
}

XShader::XShader(XShaderType inType, _CGprogram* inProgram, std::vector<XParameter> inParameters)
    : itsType(inType), itsProgram(inProgram), itsProgramOrder(std::move(inParameters))
{
    for (const XParameter& p : itsProgramOrder)
        itsParameters[p.name] = p.parameter;
}

XShader::~XShader()
{
    itsParameters.clear();
    itsProgramOrder.clear();
    if (itsOwnsProgram && itsProgram != nullptr) {
        cgDestroyProgram(itsProgram);
        cgGetError(); // a destructor cannot report; the program goes either way
    }
}

_CGparameter* XShader::GetParameter(const XString& inName) const
{
    auto iter = itsParameters.find(inName);
    X_ASSERT(iter != itsParameters.end());
    if (iter == itsParameters.end())
        throw XException(XException::kBadArgument,
            XString("the %1 program has no parameter named \"%2\"; check the name against the uniforms its source "
                    "declares for this stage")
                .Replace(XString(itsType == kVertexShader ? "vertex" : "fragment"))
                .Replace(inName));
    return iter->second;
}

std::vector<_CGparameter*> XShader::GetParametersByClass(CGparameterclass inClass) const
{
    std::vector<_CGparameter*> found;
    for (const XParameter& p : itsProgramOrder)
        if (p.parameterClass == inClass)
            found.push_back(p.parameter);
    return found;
}

void XShader::SetMatrixParameter(const XString& inName, const XMatrix_4x4<float>& inMatrix)
{
    // Our matrices are stored row by row.
    cgSetMatrixParameterfr(cgGetNamedParameter(itsProgram, inName.GetCString()), inMatrix.GetData());
    XCgException::ThrowIfError();
}
