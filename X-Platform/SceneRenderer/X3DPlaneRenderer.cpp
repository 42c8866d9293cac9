#include "X3DPlaneRenderer.h"

#include "X3DGCScopedLock.h"
#include "XImageDataSource.h"
#include "XLock.h"

X3DPlaneRenderer::X3DPlaneRenderer(const boost::shared_ptr<XImageDataSource>& inSource) : X3DBaseRenderer(inSource) {}

X3DPlaneRenderer::~X3DPlaneRenderer()
{
    // The plane node's textures and buffers go with the scene, while the node still exists.
    ReleaseGraphicsResources();
}

XVector<uint32_t> X3DPlaneRenderer::GetSupportedChannelModes(uint32_t inChannel) const
{
    const boost::shared_ptr<XImageDataSource>& source = GetDataSource();
    const bool onePlane = source && source->GetChannelBounds(inChannel).GetDepth() == 1;
    XVector<uint32_t> modes;
    modes.push_back(onePlane ? kChannelModeReferencePlane : kChannelModeSliced);
    return modes;
}

void X3DPlaneRenderer::InitialiseSceneGraphSelf(X3DGC& inGC, ::X3DSceneNode&, ::X3DSceneNode& inWorld)
{
    const boost::shared_ptr<XImageDataSource>& source = GetDataSource();
    if (source) {
        itsPlaneNode.SetCurrentTimepoint(GetCurrentTimepoint(), inGC);
        itsContent.TakeData(inGC, *source, *this);
        itsHasContent = true;
    }
    inWorld.AddChild(itsPlaneNode);
}

void X3DPlaneRenderer::RebuildRendererNode()
{
    const boost::shared_ptr<XImageDataSource>& source = GetDataSource();
    if (!source || !itsHasContent)
        return;
    XLock lock(GetRenderMutex());
    itsContent.RebuildRendererNode(Get3DGC(), *source, *this);
}

void X3DPlaneRenderer::BuildReferencePlanes()
{
    const boost::shared_ptr<XImageDataSource>& source = GetDataSource();
    if (!source || !itsHasContent)
        return;
    XLock lock(GetRenderMutex());
    itsContent.BuildReferencePlanes(Get3DGC(), *source, *this);
}

void X3DPlaneRenderer::SetCurrentTimepointSelf(uint32_t inTimepoint)
{
    X3DBaseRenderer::SetCurrentTimepointSelf(inTimepoint);
    {
        XLock lock(GetRenderMutex());
        itsPlaneNode.SetCurrentTimepoint(inTimepoint, Get3DGC());
    }
    RebuildRendererNode();
    BuildReferencePlanes();
    RefreshRenderer();
}

void X3DPlaneRenderer::HandleImageDataChangedSelf()
{
    X3DBaseRenderer::HandleImageDataChangedSelf();
    const boost::shared_ptr<XImageDataSource>& source = GetDataSource();
    if (source && itsHasContent) {
        XLock lock(GetRenderMutex());
        // Channels may have come or gone: the settings, slices and reference planes all
        // follow the new data, none of the old planes stays.
        itsContent.TakeData(Get3DGC(), *source, *this);
    }
    RefreshRenderer();
}

void X3DPlaneRenderer::SetSceneStateSelf(const XRendererSceneState& inState)
{
    X3DBaseRenderer::SetSceneStateSelf(inState);
    const boost::shared_ptr<XImageDataSource>& source = GetDataSource();
    if (!source || !itsHasContent)
        return;
    {
        XLock lock(GetRenderMutex());
        itsContent.ApplySceneState(Get3DGC(), *source, *this, inState);
    }
    RefreshRenderer();
}

bool X3DPlaneRenderer::IsSceneStateSupportedSelf(XRendererStateName inName) const
{
    return inName == kSceneStatePlanes || inName == kSceneStateChannelMergeMode
        || X3DBaseRenderer::IsSceneStateSupportedSelf(inName);
}

void X3DPlaneRenderer::SetVolumeQualitySelf(uint32_t inQuality)
{
    itsPlaneNode.SetQuality(X3DVolumeNode::XRenderQuality(inQuality));
}
