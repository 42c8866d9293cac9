#pragma once
// Small scene pieces shared by the GL tests.
#include "TestPicture.h"
#include "XARGB32Colour.h"
#include "XGLAttachment.h"
#include "XGLRenderable.h"
#include "XOpenGL.h"
#include "XVolume.h"

#include <memory>
#include <string>
#include <vector>

// A flat, unlit rectangle of the given half-size around the node's origin at z = 0.
class XQuadRenderable : public XGLRenderable {
public:
    XQuadRenderable(XARGB32Colour inColour, double inHalfWidth, double inHalfHeight)
        : itsColour(inColour), itsHalfWidth(inHalfWidth), itsHalfHeight(inHalfHeight) {}

protected:
    void RenderSelf(XGLRenderable&) override
    {
        const GLboolean lighting = glIsEnabled(GL_LIGHTING);
        glDisable(GL_LIGHTING);
        glColor4ub(itsColour.red, itsColour.green, itsColour.blue, itsColour.alpha);
        glBegin(GL_QUADS);
        glVertex3d(-itsHalfWidth, -itsHalfHeight, 0);
        glVertex3d(itsHalfWidth, -itsHalfHeight, 0);
        glVertex3d(itsHalfWidth, itsHalfHeight, 0);
        glVertex3d(-itsHalfWidth, itsHalfHeight, 0);
        glEnd();
        if (lighting)
            glEnable(GL_LIGHTING);
    }

private:
    XARGB32Colour itsColour;
    double itsHalfWidth, itsHalfHeight;
};

// Writes what happens to a shared log.
class XRecordingAttachment : public XGLAttachment {
public:
    XRecordingAttachment(std::vector<std::string>& inLog, std::string inName) : itsLog(inLog), itsName(std::move(inName)) {}
    void PreRender() override { itsLog.push_back(itsName + ".Pre"); }
    void PostRender() override { itsLog.push_back(itsName + ".Post"); }

private:
    std::vector<std::string>& itsLog;
    std::string itsName;
};

class XRecordingRenderable : public XGLRenderable {
public:
    XRecordingRenderable(std::vector<std::string>& inLog, std::string inName) : itsLog(inLog), itsName(std::move(inName)) {}

protected:
    void RenderSelf(XGLRenderable&) override { itsLog.push_back(itsName + ".Self"); }

private:
    std::vector<std::string>& itsLog;
    std::string itsName;
};
