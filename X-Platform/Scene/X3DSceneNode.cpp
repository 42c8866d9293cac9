#include "X3DSceneNode.h"

#include "X3DGC.h"
#include "X3DGeometryStateSaver.h"
#include "X3DSceneNodeAttachment.h"
#include "XAssert.h"
#include "XFrustum.h"
#include "XShader.h"
#include "XThread.h"
#include "XThreadLock.h"

#include <algorithm>
#include <cmath>
#include <exception>

namespace {
// The box around a box after an affine transform, from its centre and half extents:
// the same box as around its eight transformed corners, for a quarter of the work
// (this runs for every node in every frame).
XBoundingBox TransformBox(const XBoundingBox& inBox, const XMatrix_4x4<float>& inTransform)
{
    if (inBox.IsEmpty())
        return inBox;
    const XMathVectorF3 half = (inBox.GetMax() - inBox.GetMin()) * 0.5f;
    const XMathVectorF3 centre = inTransform.TransformPoint(inBox.GetCentre());
    XMathVectorF3 extent;
    for (size_t j = 0; j < 3; ++j)
        extent[j] = std::abs(inTransform(0, j)) * half[0] + std::abs(inTransform(1, j)) * half[1]
            + std::abs(inTransform(2, j)) * half[2];
    return XBoundingBox(centre - extent, centre + extent);
}
} // namespace

X3DSceneNode::X3DSceneNode() { UpdateTransform(); }

X3DSceneNode::X3DSceneNode(const X3DSceneNode& inOther)
{
    *this = inOther;
}

X3DSceneNode& X3DSceneNode::operator=(const X3DSceneNode& inOther)
{
    if (this == &inOther)
        return *this;
    XMathVectorF3 position, scale;
    XQuaternion rotation;
    bool visible, cull;
    XBoundingBox localBounds;
    {
        XThreadLock lock(inOther.itsMutex);
        position = inOther.itsPosition;
        scale = inOther.itsScale;
        rotation = inOther.itsRotation;
        visible = inOther.itsVisible;
        cull = inOther.itsCullChildrenAgainstFrustum;
        localBounds = inOther.itsLocalBounds;
    }
    // The copy keeps its own place in the tree, its children and its attachments.
    XThreadLock lock(itsMutex);
    itsPosition = position;
    itsScale = scale;
    itsRotation = rotation;
    itsVisible = visible;
    itsCullChildrenAgainstFrustum = cull;
    itsLocalBounds = localBounds;
    UpdateTransform();
    return *this;
}

X3DSceneNode::~X3DSceneNode()
{
    if (X3DSceneNode* parent = GetParent())
        parent->RemoveChild(*this);
    XThreadLock lock(itsMutex);
    for (X3DSceneNode* child : itsChildren) {
        XThreadLock childLock(child->itsMutex);
        child->itsParent = nullptr;
    }
    itsChildren.clear();
    itsAttachments.DeleteAll();
}

void X3DSceneNode::UpdateTransform()
{
    XThreadLock lock(itsMutex);
    itsLocalTransform = XMatrix_4x4<float>::MakeScale(itsScale) * itsRotation.ToMatrix()
        * XMatrix_4x4<float>::MakeTranslation(itsPosition);
}

void X3DSceneNode::UpdateGeometry(const XMatrix_4x4<float>& inParentWorld, const XSceneRenderState& inState)
{
    XThreadLock lock(itsMutex);
    itsWorldTransform = itsLocalTransform * inParentWorld;
    itsLocalBounds = UpdateLocalBounds();
    itsWorldBounds = TransformBox(itsLocalBounds, itsWorldTransform);
    for (X3DSceneNode* child : itsChildren) {
        child->UpdateGeometry(itsWorldTransform, inState);
        itsWorldBounds = XBoundingBox::MakeSurroundingBox(itsWorldBounds, child->GetWorldBounds());
    }
    itsRenderedSinceUpdate = false;
}

void X3DSceneNode::Render(X3DGC& inGC, const XSceneRenderState& inState)
{
    XThread::TestCancelCurrentThread();
    XThreadLock lock(itsMutex);
    if (!itsVisible)
        return;
    const XMatrix_4x4<float> savedWorld = inGC.GetWorld();
    inGC.SetWorld(itsWorldTransform);
    auto restoreWorld = [&]() noexcept {
        try {
            inGC.SetWorld(savedWorld);
        } catch (...) {
            // The failure being unwound is the one reported.
        }
    };
    try {
        PreRender(inGC, inState);
    } catch (...) {
        restoreWorld();
        throw;
    }
    try {
        if (!itsCullChildrenAgainstFrustum || inState.GetViewFrustum().Contains(itsWorldBounds)) {
            for (X3DSceneNode* child : itsChildren)
                child->Render(inGC, inState);
            if (inState.GetRenderPass() < GetMaxRenderPassCount())
                RenderSelf(inGC, inState);
            itsRenderedSinceUpdate = true;
        }
    } catch (...) {
        try {
            PostRender(inGC, inState);
        } catch (...) {
        }
        restoreWorld();
        throw;
    }
    try {
        PostRender(inGC, inState);
    } catch (...) {
        restoreWorld();
        throw;
    }
    inGC.SetWorld(savedWorld);
}

void X3DSceneNode::PreRender(X3DGC& inGC, const XSceneRenderState&)
{
    XThreadLock lock(itsMutex);
    size_t done = 0;
    try {
        for (; done < itsAttachments.size(); ++done)
            itsAttachments[done]->PreRender(inGC, *this);
    } catch (...) {
        UnwindAttachments(inGC, done);
        throw;
    }
}

void X3DSceneNode::PostRender(X3DGC& inGC, const XSceneRenderState&)
{
    XThreadLock lock(itsMutex);
    // Every attachment gets to put its state back, even after one of them failed.
    std::exception_ptr failure;
    for (size_t i = itsAttachments.size(); i-- > 0;) {
        try {
            itsAttachments[i]->PostRender(inGC, *this);
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

void X3DSceneNode::UnwindAttachments(X3DGC& inGC, size_t inCount) noexcept
{
    for (size_t i = inCount; i-- > 0;) {
        try {
            itsAttachments[i]->PostRender(inGC, *this);
        } catch (...) {
        }
    }
}

void X3DSceneNode::RenderSelf(X3DGC&, const XSceneRenderState&) {}

XBoundingBox X3DSceneNode::UpdateLocalBounds()
{
    return XBoundingBox(XMathVectorF3(-0.5f, -0.5f, -0.5f), XMathVectorF3(0.5f, 0.5f, 0.5f));
}

void X3DSceneNode::RefreshScene(bool inImmediate)
{
    // Forwarded without this node's lock: taking the parent's while holding a child's
    // would invert the top-down order a rendering thread locks in.
    if (X3DSceneNode* parent = GetParent())
        parent->RefreshScene(inImmediate);
}

uint32_t X3DSceneNode::GetMaxRenderPassCount() const { return 1; }

void X3DSceneNode::ProgramShaders(XShader& inVertex, XShader&, const XSceneRenderState& inState)
{
    if (!inVertex.HasParameter("ModelViewProj"))
        return;
    const X3DCamera& camera = inState.GetCamera();
    inVertex.SetMatrixParameter("ModelViewProj",
        GetWorldTransform() * camera.GetViewMatrix() * camera.GetProjectionMatrix());
}

// Tree -------------------------------------------------------------------------

bool X3DSceneNode::IsSelfOrAncestor(const X3DSceneNode& inNode) const
{
    const X3DSceneNode* node = this;
    while (node) {
        if (node == &inNode)
            return true;
        XThreadLock lock(node->itsMutex);
        node = node->itsParent;
    }
    return false;
}

void X3DSceneNode::AddChild(X3DSceneNode& inNode)
{
    // A node under itself would make every walk of the tree endless.
    if (IsSelfOrAncestor(inNode)) {
        X_REPORT("!IsSelfOrAncestor( inNode )");
        return;
    }
    XThreadLock lock(itsMutex);
    XThreadLock childLock(inNode.itsMutex);
    const bool hasParent = inNode.itsParent != nullptr;
    const bool isChild = itsChildren.DoesContain(&inNode);
    X_ASSERT_TEXT(!hasParent, "!inNode.HasParent()");
    X_ASSERT_TEXT(!isChild, "!itsChildren.DoesContain( &inNode )");
    if (hasParent || isChild)
        return;
    inNode.itsParent = this;
    itsChildren.push_back(&inNode);
}

void X3DSceneNode::RemoveChild(X3DSceneNode& inNode)
{
    XThreadLock lock(itsMutex);
    auto iter = std::find(itsChildren.begin(), itsChildren.end(), &inNode);
    X_ASSERT_TEXT(iter != itsChildren.end(), "iter != itsChildren.end()");
    if (iter == itsChildren.end())
        return;
    itsChildren.erase(iter);
    XThreadLock childLock(inNode.itsMutex);
    inNode.itsParent = nullptr;
}

XPtrVector<X3DSceneNode> X3DSceneNode::GetChildren() const
{
    XThreadLock lock(itsMutex);
    return itsChildren;
}

bool X3DSceneNode::HasChildren() const
{
    XThreadLock lock(itsMutex);
    return !itsChildren.empty();
}

X3DSceneNode* X3DSceneNode::GetParent() const
{
    XThreadLock lock(itsMutex);
    return itsParent;
}

bool X3DSceneNode::HasParent() const { return GetParent() != nullptr; }

XPtrVector<X3DSceneNode> X3DSceneNode::GetLeafNodes() const
{
    XPtrVector<X3DSceneNode> leaves;
    CollectLeaves(leaves);
    return leaves;
}

void X3DSceneNode::CollectLeaves(XPtrVector<X3DSceneNode>& outLeaves) const
{
    XThreadLock lock(itsMutex);
    for (X3DSceneNode* child : itsChildren) {
        if (child->HasChildren())
            child->CollectLeaves(outLeaves);
        else
            outLeaves.push_back(child);
    }
}

// Transform, bounds, flags -----------------------------------------------------

void X3DSceneNode::SetPosition(const XMathVectorF3& inPosition)
{
    XThreadLock lock(itsMutex);
    itsPosition = inPosition;
    UpdateTransform();
}

XMathVectorF3 X3DSceneNode::GetPosition() const
{
    XThreadLock lock(itsMutex);
    return itsPosition;
}

void X3DSceneNode::SetScale(const XMathVectorF3& inScale)
{
    XThreadLock lock(itsMutex);
    itsScale = inScale;
    UpdateTransform();
}

XMathVectorF3 X3DSceneNode::GetScale() const
{
    XThreadLock lock(itsMutex);
    return itsScale;
}

void X3DSceneNode::SetRotation(const XQuaternion& inRotation)
{
    XThreadLock lock(itsMutex);
    itsRotation = inRotation;
    UpdateTransform();
}

XQuaternion X3DSceneNode::GetRotation() const
{
    XThreadLock lock(itsMutex);
    return itsRotation;
}

XMatrix_4x4<float> X3DSceneNode::GetLocalTransform() const
{
    XThreadLock lock(itsMutex);
    return itsLocalTransform;
}

XMatrix_4x4<float> X3DSceneNode::GetWorldTransform() const
{
    XThreadLock lock(itsMutex);
    return itsWorldTransform;
}

XBoundingBox X3DSceneNode::GetLocalBounds() const
{
    XThreadLock lock(itsMutex);
    return itsLocalBounds;
}

XBoundingBox X3DSceneNode::GetWorldBounds() const
{
    XThreadLock lock(itsMutex);
    return itsWorldBounds;
}

void X3DSceneNode::SetVisible(bool inVisible)
{
    XThreadLock lock(itsMutex);
    itsVisible = inVisible;
}

bool X3DSceneNode::IsVisible() const
{
    XThreadLock lock(itsMutex);
    return itsVisible;
}

void X3DSceneNode::SetCullChildrenAgainstFrustum(bool inCull)
{
    XThreadLock lock(itsMutex);
    itsCullChildrenAgainstFrustum = inCull;
}

bool X3DSceneNode::IsCullChildrenAgainstFrustum() const
{
    XThreadLock lock(itsMutex);
    return itsCullChildrenAgainstFrustum;
}

bool X3DSceneNode::HasRenderedSinceUpdate() const
{
    XThreadLock lock(itsMutex);
    return itsRenderedSinceUpdate;
}

// Attachments ------------------------------------------------------------------

void X3DSceneNode::AddAttachment(X3DSceneNodeAttachment& inAttachment)
{
    XThreadLock lock(itsMutex);
    const bool isHere = itsAttachments.DoesContain(&inAttachment);
    X_ASSERT_TEXT(!isHere, "!itsAttachments.DoesContain( &inAttachment )");
    if (isHere)
        return;
    // One owner only: an attachment of another node stays there.
    X_ASSERT_TEXT(inAttachment.itsHost == nullptr, "itsHost == 0");
    if (inAttachment.itsHost)
        return;
    itsAttachments.push_back(&inAttachment);
    inAttachment.itsHost = this;
}

void X3DSceneNode::RemoveAttachment(X3DSceneNodeAttachment& inAttachment)
{
    XThreadLock lock(itsMutex);
    auto iter = std::find(itsAttachments.begin(), itsAttachments.end(), &inAttachment);
    X_ASSERT_TEXT(iter != itsAttachments.end(), "iter != itsAttachments.end()");
    if (iter == itsAttachments.end())
        return;
    itsAttachments.erase(iter);
    inAttachment.itsHost = nullptr;
}

size_t X3DSceneNode::GetAttachmentCount() const
{
    XThreadLock lock(itsMutex);
    return itsAttachments.size();
}

// Frame ------------------------------------------------------------------------

uint32_t X3DSceneNode::GetSceneRenderPassCount() const
{
    XThreadLock lock(itsMutex);
    uint32_t count = GetMaxRenderPassCount();
    for (const X3DSceneNode* child : itsChildren)
        count = std::max(count, child->GetSceneRenderPassCount());
    return count;
}

void X3DSceneNode::LoadGraphicsResources(X3DGC& inGC)
{
    XThreadLock lock(itsMutex);
    LoadGraphicsResourcesSelf(inGC);
    for (X3DSceneNode* child : itsChildren)
        child->LoadGraphicsResources(inGC);
}

void X3DSceneNode::UnloadGraphicsResources(X3DGC& inGC)
{
    XThreadLock lock(itsMutex);
    for (X3DSceneNode* child : itsChildren)
        child->UnloadGraphicsResources(inGC);
    UnloadGraphicsResourcesSelf(inGC);
}

void X3DSceneNode::LoadGraphicsResourcesSelf(X3DGC&) {}

void X3DSceneNode::UnloadGraphicsResourcesSelf(X3DGC&) {}

void X3DSceneNode::LockSubtree(std::vector<X3DSceneNode*>& outLocked)
{
    itsMutex.Lock();
    outLocked.push_back(this);
    for (X3DSceneNode* child : itsChildren)
        child->LockSubtree(outLocked);
}

void X3DSceneNode::Lock()
{
    std::vector<X3DSceneNode*> locked;
    LockSubtree(locked);
    // This node's mutex is held from here to the matching Unlock, which guards the record.
    itsSubtreeLocks.push_back(std::move(locked));
}

void X3DSceneNode::Unlock()
{
    const bool held = itsMutex.IsLockedByCurrentThread() && !itsSubtreeLocks.empty();
    X_ASSERT_TEXT(held, "Unlock() after Lock()");
    if (!held)
        return;
    // Children added since Lock were never locked by it, and children removed since still are.
    std::vector<X3DSceneNode*> locked = std::move(itsSubtreeLocks.back());
    itsSubtreeLocks.pop_back();
    for (size_t i = locked.size(); i-- > 0;)
        locked[i]->itsMutex.Unlock();
}

// Boxes ------------------------------------------------------------------------

void X3DSceneNode::AddBoxVerticies(const XBoundingBox& inBox, const XARGB32Colour& inColour,
    XVector<XVertexTypes::XVertexPositionColour>& outVertices)
{
    if (inBox.IsEmpty())
        return;
    const auto corners = inBox.GetCorners();
    const XVertexTypes::XVertexColour colour(inColour);
    // The twelve edges join corners whose indices differ in one bit (one axis).
    for (size_t corner = 0; corner < 8; ++corner)
        for (size_t axisBit = 1; axisBit < 8; axisBit <<= 1)
            if (!(corner & axisBit)) {
                outVertices.push_back({corners[corner], colour});
                outVertices.push_back({corners[corner | axisBit], colour});
            }
}

void X3DSceneNode::BatchRenderBoxes(X3DGC& inGC, const XVector<XBoundingBox>& inBoxes, const XVector<XARGB32Colour>& inColours)
{
    XVector<XVertexTypes::XVertexPositionColour> vertices;
    vertices.reserve(inBoxes.size() * 24);
    for (size_t i = 0; i < inBoxes.size(); ++i) {
        const XARGB32Colour colour = inColours.empty() ? XARGB32Colour::kWhite
            : inColours[std::min(i, inColours.size() - 1)];
        AddBoxVerticies(inBoxes[i], colour, vertices);
    }
    if (vertices.empty())
        return;
    X3DGeometryStateSaver saver(inGC, X3DGeometryStateSaver::kDefinition);
    inGC.SetVertexDefinition(XVertexTypes::XVertexPositionColour::GetDefinition());
    inGC.DrawUserPrimitives(X3DGC::kLineList, vertices.data(), 0, uint32_t(vertices.size() / 2));
    saver.Restore();
}

void X3DSceneNode::RenderBox(X3DGC& inGC, const XBoundingBox& inBox)
{
    BatchRenderBoxes(inGC, XVector<XBoundingBox>{inBox}, XVector<XARGB32Colour>());
}
