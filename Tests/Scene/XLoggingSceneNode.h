#pragma once
// Nodes and attachments that write what happens to them into one shared journal, so
// that a test sees the order of a frame: "a pre", "b self 0", "a post".
#include "X3DSceneNode.h"
#include "X3DSceneNodeAttachment.h"
#include "XException.h"
#include "XRecordingRenderSystem.h"
#include "XThread.h"

#include <string>
#include <vector>

// The journal is the recording render system's call log: it is thread-safe.
using XJournal = XCallLog;

class XLoggingAttachment : public X3DSceneNodeAttachment {
public:
    XLoggingAttachment(XJournal& inJournal, std::string inName) : itsJournal(inJournal), itsName(std::move(inName)) {}
    void PreRender(X3DGC&, X3DSceneNode&) override { itsJournal.Add(itsName + " pre"); }
    void PostRender(X3DGC&, X3DSceneNode&) override { itsJournal.Add(itsName + " post"); }

private:
    XJournal& itsJournal;
    std::string itsName;
};

class XLoggingSceneNode : public X3DSceneNode {
public:
    XLoggingSceneNode(XJournal& inJournal, std::string inName, uint32_t inPasses = 1)
        : itsJournal(inJournal), itsName(std::move(inName)), itsPasses(inPasses) {}

    uint32_t GetMaxRenderPassCount() const override { return itsPasses; }
    void RefreshScene(bool inImmediate) override
    {
        if (HasParent())
            X3DSceneNode::RefreshScene(inImmediate);
        else
            itsJournal.Add(itsName + " refresh " + std::to_string(inImmediate));
    }
    bool itsThrows = false;
    bool itsStopsItsThread = false; // asks the drawing thread to stop, as a user closing the view would

protected:
    void RenderSelf(X3DGC&, const XSceneRenderState& inState) override
    {
        itsJournal.Add(itsName + " self " + std::to_string(inState.GetRenderPass()));
        if (itsStopsItsThread)
            XThread::GetCurrentThread()->RequestStop();
        if (itsThrows)
            throw XException(XException::kBadArgument, "drawing failed on purpose");
    }

private:
    XJournal& itsJournal;
    std::string itsName;
    uint32_t itsPasses;
};
