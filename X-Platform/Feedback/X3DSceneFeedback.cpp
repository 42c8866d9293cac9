#include "X3DSceneFeedback.h"

#include "X3DGC.h"
#include "X3DGeometryStateSaver.h"
#include "X3DNodePrograms.h"
#include "X3DShaderScope.h"
#include "XShader.h"
#include "XThreadLock.h"

class X3DSceneFeedback::XNode : public X3DSceneNode {
public:
    explicit XNode(const X3DSceneFeedback& inOwner) : itsOwner(inOwner) {}

protected:
    void LoadGraphicsResourcesSelf(X3DGC& inGC) override
    {
        XThreadLock lock(GetNodeMutex());
        if (!itsShader)
            itsShader = std::make_unique<XShader>(inGC, XString(GetNodeProgramSource(XNodeProgram::kUniformColour)),
                XString(GetNodeProgramEntry(XNodeProgram::kUniformColour, XShader::kVertexShader)),
                XShader::kVertexShader);
    }
    void UnloadGraphicsResourcesSelf(X3DGC&) override
    {
        XThreadLock lock(GetNodeMutex());
        itsShader.reset();
    }
    void RenderSelf(X3DGC& inGC, const XSceneRenderState& inState) override
    {
        if (inState.IsFinalRender() || !itsOwner.GetDisplayOptions().visible)
            return;
        XThreadLock lock(GetNodeMutex());
        const XVector<XMathVectorF3> lines = itsOwner.MakeLines(inState.GetTimepoint());
        if (lines.size() < 2)
            return;
        LoadGraphicsResourcesSelf(inGC);
        static const X3DGC::XVertexDefinition kPositions{{X3DGC::XVertexElement{0, X3DGC::kElementFloat3, X3DGC::kUsagePosition}},
            sizeof(XMathVectorF3)};
        X3DGeometryStateSaver saver(inGC, X3DGeometryStateSaver::kDefinition);
        inGC.SetVertexDefinition(kPositions);
        {
            X3DShaderScope shaders(inGC, itsShader.get(), nullptr);
            if (itsShader->HasParameter("ModelViewProj"))
                itsShader->SetMatrixParameter("ModelViewProj", inGC.GetWorldViewProjection());
            const XARGB32Colour colour = itsOwner.GetDisplayOptions().colour;
            if (itsShader->HasParameter("inColour"))
                cgSetParameter4f(itsShader->GetParameter("inColour"), colour.red / 255.0f, colour.green / 255.0f,
                    colour.blue / 255.0f, colour.alpha / 255.0f);
            inGC.DrawUserPrimitives(X3DGC::kLineList, lines.data(), 0, uint32_t(lines.size() / 2));
            shaders.End();
        }
        saver.Restore();
    }

private:
    const X3DSceneFeedback& itsOwner;
    std::unique_ptr<XShader> itsShader;
};

X3DSceneFeedback::X3DSceneFeedback(const XMeasurementsFeedbackHelper::XDisplayOptions& inOptions)
    : itsOptions(inOptions), itsNode(std::make_unique<XNode>(*this))
{
}

X3DSceneFeedback::~X3DSceneFeedback() = default;

X3DSceneNode& X3DSceneFeedback::GetSceneNode() { return *itsNode; }

XVector<XMathVectorF3> X3DSceneFeedback::MakeLines(uint32_t inTimepoint) const
{
    XVector<XMathVectorF3> lines;
    for (const XMeasurementObject& object : GetObjectList())
        if (IsShownAt(object, inTimepoint))
            AddObjectLines(object, inTimepoint, lines);
    return lines;
}

bool X3DSceneFeedback::IsShownAt(const XMeasurementObject& inObject, uint32_t inTimepoint) const
{
    return inObject.timepoint == 0 || inObject.timepoint == inTimepoint;
}

void X3DSceneFeedback::AddCross(const XMeasurementObject::XPoint3& inCentre, XVector<XMathVectorF3>& outLines) const
{
    const float half = float(itsOptions.size) / 2.0f;
    const XMathVectorF3 centre = ToVector(inCentre);
    for (int axis = 0; axis < 3; ++axis) {
        XMathVectorF3 offset(0, 0, 0);
        offset[axis] = half;
        outLines.push_back(centre - offset);
        outLines.push_back(centre + offset);
    }
}

XMathVectorF3 X3DSceneFeedback::ToVector(const XMeasurementObject::XPoint3& inPoint)
{
    return XMathVectorF3(float(inPoint.x), float(inPoint.y), float(inPoint.z));
}

void X3DSceneFeedback::ObjectListChangedSelf() { itsNode->RefreshScene(false); }
