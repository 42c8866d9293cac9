#pragma once
// Measurement feedback shown in a scene renderer: the measured objects drawn as lines
// by a scene node of the item's own, in voxel coordinates of the volume, in the
// colour the display options give. Interaction aids like these are left out of final
// renders, and objects of other timepoints are not shown.
#include "X3DSceneNode.h"
#include "XMeasurementFeedback.h"
#include "XMeasurementsFeedbackHelper.h"

#include <memory>

class XShader;

class X3DSceneFeedback : public XMeasurementFeedback {
public:
    explicit X3DSceneFeedback(const XMeasurementsFeedbackHelper::XDisplayOptions& inOptions);
    ~X3DSceneFeedback() override;

    // The node the renderer hangs below its feedback parent.
    X3DSceneNode& GetSceneNode();
    const XMeasurementsFeedbackHelper::XDisplayOptions& GetDisplayOptions() const { return itsOptions; }

    // Line-list vertices (pairs) for the objects shown at inTimepoint.
    XVector<XMathVectorF3> MakeLines(uint32_t inTimepoint) const;

protected:
    // Appends the pairs of one object; inTimepoint is the frame's.
    virtual void AddObjectLines(const XMeasurementObject& inObject, uint32_t inTimepoint,
        XVector<XMathVectorF3>& outLines) const = 0;
    // Whether an object appears at inTimepoint (those of timepoint 0 always do).
    virtual bool IsShownAt(const XMeasurementObject& inObject, uint32_t inTimepoint) const;
    // A cross of three lines of the display size through inCentre.
    void AddCross(const XMeasurementObject::XPoint3& inCentre, XVector<XMathVectorF3>& outLines) const;
    static XMathVectorF3 ToVector(const XMeasurementObject::XPoint3& inPoint);
    void ObjectListChangedSelf() override;

private:
    class XNode;
    XMeasurementsFeedbackHelper::XDisplayOptions itsOptions;
    std::unique_ptr<XNode> itsNode;
};
