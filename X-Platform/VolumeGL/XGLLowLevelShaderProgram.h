#pragma once
// An ARB assembly program (vertex or fragment) kept as text and loaded into the GL
// on demand; Bind reloads it when its context has lost it.
#include "XString.h"
#include "XVector.h"

#include <cstdint>

class XGLLowLevelShaderProgram {
public:
    explicit XGLLowLevelShaderProgram(unsigned int inTarget);
    virtual ~XGLLowLevelShaderProgram() = default;
    XGLLowLevelShaderProgram(const XGLLowLevelShaderProgram&) = default;
    XGLLowLevelShaderProgram& operator=(const XGLLowLevelShaderProgram&) = default;

    virtual void SetProgram(const XVector<XString>& inLines);
    virtual void SetProgram(const XString& inText);
    virtual const XString& GetProgram() const { return itsText; }
    virtual bool IsLoaded() const;
    virtual int32_t GetInstructionCount() const;
    virtual unsigned int GetID() const { return itsID; }
    // These need the program's GL context current.
    virtual void Load();
    virtual void Bind();
    virtual void Unload();
    virtual void ProgramParamaters();
    unsigned int GetTarget() const { return itsTarget; }

protected:
    // Derived programs set their parameters here, with the program bound.
    virtual void SetParameters() {}
    // Runs after the text is handed to the GL; throws when the GL refused it.
    virtual void CheckProgram();
    virtual void BuildProgramString(const XVector<XString>& inLines, XString& outText);

    unsigned int itsTarget;
    unsigned int itsID = 0;
    XString itsText;
    bool itsLoaded = false;
};
