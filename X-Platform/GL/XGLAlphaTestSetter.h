#pragma once
// Turns the alpha test on with a function and reference for a scope.
class XGLAlphaTestSetter {
public:
    XGLAlphaTestSetter(int inFunction, float inReference);
    ~XGLAlphaTestSetter();
    XGLAlphaTestSetter(const XGLAlphaTestSetter&) = delete;
    XGLAlphaTestSetter& operator=(const XGLAlphaTestSetter&) = delete;

private:
    bool itsWasOn = false;
    int itsFunction = 0;
    float itsReference = 0.0f;
    bool itsChanged = false;
};
