#include "XGLLowLevelShaderProgram.h"

#include "XAssert.h"
#include "XGLException.h"
#include "XOpenGL.h"

XGLLowLevelShaderProgram::XGLLowLevelShaderProgram(unsigned int inTarget) : itsTarget(inTarget) {}

void XGLLowLevelShaderProgram::SetProgram(const XVector<XString>& inLines)
{
    BuildProgramString(inLines, itsText);
    itsLoaded = false;
}

void XGLLowLevelShaderProgram::SetProgram(const XString& inText)
{
    itsText = inText;
    itsLoaded = false;
}

void XGLLowLevelShaderProgram::BuildProgramString(const XVector<XString>& inLines, XString& outText)
{
    X_ASSERT_TEXT(!inLines.empty(), "!iProgVec.empty()");
    std::string text;
    for (const XString& line : inLines) {
        std::string s = line.GetCString();
        text += s;
        if (s.empty() || s.back() != '\n')
            text += '\n';
    }
    outText = XString(text);
}

bool XGLLowLevelShaderProgram::IsLoaded() const { return itsID != 0 && itsLoaded; }

int32_t XGLLowLevelShaderProgram::GetInstructionCount() const
{
    X_ASSERT_TEXT(itsID > 0, "id > 0");
    if (itsID == 0)
        return 0;
    GLint count = 0;
    glBindProgramARB(itsTarget, itsID);
    glGetProgramivARB(itsTarget, GL_PROGRAM_INSTRUCTIONS_ARB, &count);
    ThrowIfGLErr();
    return count;
}

void XGLLowLevelShaderProgram::Load()
{
    X_ASSERT_TEXT(itsID == 0, "id == 0");
    X_ASSERT_TEXT(!itsText.IsEmpty(), "isStringValid == false");
    GLuint id = 0;
    glGenProgramsARB(1, &id);
    ThrowIfGLErr();
    itsID = id;
    glBindProgramARB(itsTarget, itsID);
    ThrowIfGLErr();
    const std::string text = itsText.GetCString();
    glProgramStringARB(itsTarget, GL_PROGRAM_FORMAT_ASCII_ARB, GLsizei(text.size()), text.data());
    CheckProgram();
    SetParameters();
    itsLoaded = true;
}

void XGLLowLevelShaderProgram::CheckProgram() { ThrowIfGLErr(); }

void XGLLowLevelShaderProgram::Bind()
{
    if (itsID != 0 && itsLoaded && glIsProgramARB(itsID)) {
        try {
            glBindProgramARB(itsTarget, itsID);
            ThrowIfGLErr();
            SetParameters();
            return;
        } catch (const XGLException&) {
            // The name survived but the program did not: load it afresh below.
        }
    }
    if (itsID != 0)
        Unload();
    Load();
}

void XGLLowLevelShaderProgram::Unload()
{
    X_ASSERT_TEXT(itsID > 0, "id > 0");
    if (itsID != 0 && glIsProgramARB(itsID)) {
        GLuint id = itsID;
        glDeleteProgramsARB(1, &id);
    }
    itsID = 0;
    itsLoaded = false;
    ThrowIfGLErr();
}

void XGLLowLevelShaderProgram::ProgramParamaters()
{
    X_ASSERT_TEXT(IsLoaded(), "IsLoaded()");
    SetParameters();
}
