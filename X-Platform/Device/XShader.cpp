#include "XShader.h"

#include "XAssert.h"

XShader::XShader(XShaderType inType, _CGprogram* inProgram, std::vector<XParameter> inParameters)
    : itsType(inType), itsProgram(inProgram), itsProgramOrder(std::move(inParameters))
{
    for (const XParameter& p : itsProgramOrder)
        itsParameters[p.name] = p.parameter;
}

_CGparameter* XShader::GetParameter(const XString& inName) const
{
    auto iter = itsParameters.find(inName);
    X_ASSERT(iter != itsParameters.end());
    return iter == itsParameters.end() ? nullptr : iter->second;
}

std::vector<_CGparameter*> XShader::GetParametersByClass(CGparameterclass inClass) const
{
    std::vector<_CGparameter*> found;
    for (const XParameter& p : itsProgramOrder)
        if (p.parameterClass == inClass)
            found.push_back(p.parameter);
    return found;
}
