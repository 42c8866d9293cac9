#pragma once
// One arrow of the orientation marker, along its own +x from the origin to length 1,
// with its letter beside the tip facing the viewer. Its colour comes from a colour
// attachment; its rotation turns it onto its axis.
#include "XGLRenderable.h"

class XGLOrientatorAxis : public XGLRenderable {
public:
    // inLetter is 'X', 'Y' or 'Z'.
    explicit XGLOrientatorAxis(char inLetter = 'X');
    char GetLetter() const { return itsLetter; }

protected:
    void RenderSelf(XGLRenderable& inFrom) override;

private:
    static void DrawArrow();
    void DrawLetter() const;

    char itsLetter;
};
