#include "X3DVolumeNode.h"

#include "XAssert.h"
#include "XImageDataSource.h"
#include "XThreadLock.h"

#include <algorithm>
#include <cmath>

X3DVolumeNode::X3DVolumeNode() = default;

X3DVolumeNode::~X3DVolumeNode()
{
    for (X3DIsosurfaceMeshBase* mesh : itsIsosurfaceData)
        mesh->SetOwner(nullptr);
}

XMatrix_4x4<float> X3DVolumeNode::GetVoxelTransform() const
{
    XThreadLock lock(GetNodeMutex());
    // Sizes that cannot measure anything count as 1, so that a source without
    // calibration still fills the unit diagonal.
    double size[3];
    for (int axis = 0; axis < 3; ++axis)
        size[axis] = std::isfinite(itsCalibration[axis]) && itsCalibration[axis] > 0.0 ? itsCalibration[axis] : 1.0;
    const double extent[3] = {double(itsBounds.GetWidth()), double(itsBounds.GetHeight()), double(itsBounds.GetDepth())};
    double diagonal = std::sqrt(std::pow(extent[0] * size[0], 2) + std::pow(extent[1] * size[1], 2)
        + std::pow(extent[2] * size[2], 2));
    if (!std::isfinite(diagonal) || diagonal <= 0.0)
        diagonal = 1.0;
    const XMathVectorF3 centre(float(itsBounds.GetLeft() + extent[0] / 2), float(itsBounds.GetTop() + extent[1] / 2),
        float(itsBounds.GetFront() + extent[2] / 2));
    return XMatrix_4x4<float>::MakeTranslation(-centre[0], -centre[1], -centre[2])
        * XMatrix_4x4<float>::MakeScale(float(size[0] / diagonal), float(size[1] / diagonal), float(size[2] / diagonal));
}

void X3DVolumeNode::UpdateGeometry(const XMatrix_4x4<float>& inParentWorld, const XSceneRenderState& inState)
{
    XThreadLock lock(GetNodeMutex());
    // The base makes world = local x parent; the voxel mapping must come before the
    // local transform, so the parent handed down is local^-1 x voxel x local x parent.
    const XMatrix_4x4<float> local = GetLocalTransform();
    bool invertible = false;
    const XMatrix_4x4<float> inverse = local.GetInverse(&invertible);
    if (!invertible) {
        // A node scaled to nothing shows nothing; its children keep the plain transform.
        X3DSceneNode::UpdateGeometry(inParentWorld, inState);
        return;
    }
    X3DSceneNode::UpdateGeometry(inverse * GetVoxelTransform() * local * inParentWorld, inState);
}

void X3DVolumeNode::SetDataSource(const XImageDataSource& inSource, const X3DGC& inGC)
{
    XThreadLock lock(GetNodeMutex());
    itsDataSource = &inSource;
    itsCalibration[0] = inSource.GetCalibrationX();
    itsCalibration[1] = inSource.GetCalibrationY();
    itsCalibration[2] = inSource.GetCalibrationZ();
    itsBounds = inSource.GetBounds();
    SetDataSourceSelf(inSource, inGC);
}

const XImageDataSource& X3DVolumeNode::GetDataSource() const
{
    XThreadLock lock(GetNodeMutex());
    X_ASSERT(itsDataSource);
    return *itsDataSource;
}

bool X3DVolumeNode::HasDataSource() const
{
    XThreadLock lock(GetNodeMutex());
    return itsDataSource != nullptr;
}

void X3DVolumeNode::SetCurrentTimepoint(unsigned long inTimepoint, const X3DGC& inGC)
{
    XThreadLock lock(GetNodeMutex());
    if (inTimepoint == itsCurrentTimepoint)
        return;
    itsCurrentTimepoint = uint32_t(inTimepoint);
    if (itsDataSource)
        SetDataSourceSelf(*itsDataSource, inGC);
}

uint32_t X3DVolumeNode::GetCurrentTimepoint() const
{
    XThreadLock lock(GetNodeMutex());
    return itsCurrentTimepoint;
}

X3DRect X3DVolumeNode::GetBounds() const
{
    XThreadLock lock(GetNodeMutex());
    return itsBounds;
}

double X3DVolumeNode::GetCalibrationX() const
{
    XThreadLock lock(GetNodeMutex());
    return itsCalibration[0];
}

double X3DVolumeNode::GetCalibrationY() const
{
    XThreadLock lock(GetNodeMutex());
    return itsCalibration[1];
}

double X3DVolumeNode::GetCalibrationZ() const
{
    XThreadLock lock(GetNodeMutex());
    return itsCalibration[2];
}

void X3DVolumeNode::SetQuality(XRenderQuality inQuality)
{
    XThreadLock lock(GetNodeMutex());
    itsQuality = inQuality;
}

X3DVolumeNode::XRenderQuality X3DVolumeNode::GetQuality() const
{
    XThreadLock lock(GetNodeMutex());
    return itsQuality;
}

void X3DVolumeNode::SetBoundsVisible(bool inVisible)
{
    XThreadLock lock(GetNodeMutex());
    itsBoundsVisible = inVisible;
}

bool X3DVolumeNode::GetBoundsVisible() const
{
    XThreadLock lock(GetNodeMutex());
    return itsBoundsVisible;
}

void X3DVolumeNode::RemoveIsoData(X3DIsosurfaceMeshBase* inMesh)
{
    XThreadLock lock(GetNodeMutex());
    const auto removeIter = std::find(itsIsosurfaceData.begin(), itsIsosurfaceData.end(), inMesh);
    X_ASSERT(removeIter != itsIsosurfaceData.end());
    if (removeIter == itsIsosurfaceData.end())
        return;
    itsIsosurfaceData.erase(removeIter);
    inMesh->SetOwner(nullptr);
}

void X3DVolumeNode::AddIsoData(X3DIsosurfaceMeshBase* inMesh)
{
    XThreadLock lock(GetNodeMutex());
    const auto removeIter = std::find(itsIsosurfaceData.begin(), itsIsosurfaceData.end(), inMesh);
    X_ASSERT(removeIter == itsIsosurfaceData.end());
    if (removeIter != itsIsosurfaceData.end() || inMesh == nullptr)
        return;
    itsIsosurfaceData.push_back(inMesh);
    inMesh->SetOwner(this);
}

void X3DVolumeNode::SetIsoData(XPtrVector<X3DIsosurfaceMeshBase>& inMeshes)
{
    XThreadLock lock(GetNodeMutex());
    for (X3DIsosurfaceMeshBase* mesh : itsIsosurfaceData)
        if (!inMeshes.DoesContain(mesh))
            mesh->SetOwner(nullptr);
    itsIsosurfaceData.clear();
    for (X3DIsosurfaceMeshBase* mesh : inMeshes)
        if (mesh && !itsIsosurfaceData.DoesContain(mesh)) {
            itsIsosurfaceData.push_back(mesh);
            mesh->SetOwner(this);
        }
}

XPtrVector<X3DIsosurfaceMeshBase> X3DVolumeNode::GetIsoData() const
{
    XThreadLock lock(GetNodeMutex());
    return itsIsosurfaceData;
}

void X3DVolumeNode::LoadGraphicsResourcesSelf(X3DGC&) {}

void X3DVolumeNode::UnloadGraphicsResourcesSelf(X3DGC& inGC)
{
    XThreadLock lock(GetNodeMutex());
    for (X3DIsosurfaceMeshBase* mesh : itsIsosurfaceData) {
        mesh->SetOwner(nullptr);
        mesh->UnloadGraphicsResources(inGC);
    }
    itsIsosurfaceData.clear();
}

void X3DVolumeNode::RenderSelf(X3DGC& inGC, const XSceneRenderState& inState)
{
    XThreadLock lock(GetNodeMutex());
    for (X3DIsosurfaceMeshBase* mesh : itsIsosurfaceData)
        if (mesh->ShouldRenderForFrameState(inState))
            mesh->RenderInVolume(inGC, inState);
    if (itsBoundsVisible && !itsBounds.IsEmpty())
        RenderBox(inGC, UpdateLocalBounds());
}

XBoundingBox X3DVolumeNode::UpdateLocalBounds()
{
    XThreadLock lock(GetNodeMutex());
    if (itsBounds.IsEmpty())
        return XBoundingBox();
    return XBoundingBox(XMathVectorF3(float(itsBounds.GetLeft()), float(itsBounds.GetTop()), float(itsBounds.GetFront())),
        XMathVectorF3(float(itsBounds.GetRight()), float(itsBounds.GetBottom()), float(itsBounds.GetBack())));
}

void X3DVolumeNode::SetDataSourceSelf(const XImageDataSource&, const X3DGC&) {}
