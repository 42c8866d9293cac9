#pragma once
// The 3D scale: a measuring grid on the faces of a box around the volume, evenly
// spaced so that a chosen number of intervals spans the longest side and every side
// is a whole number of them. Faces fade with the angle they are seen at; a line two
// faces share is drawn once. Not drawn in final renders. Works in the volume node's
// voxel units.
#include "X3DRect.h"
#include "X3DSceneNode.h"
#include "X3DVolumeScaleGrid.h"
#include "XShader.h"

#include <memory>

class X3DVolumeScale : public X3DSceneNode {
public:
    using XLineElement = X3DVolumeScaleGrid::XLineElement;
    using XFaceState = X3DVolumeScaleGrid::XFaceState;

    X3DVolumeScale();
    // A copy takes the grid and colour, not the program (made when it is drawn).
    X3DVolumeScale(const X3DVolumeScale& inOther);
    X3DVolumeScale& operator=(const X3DVolumeScale& inOther);
    ~X3DVolumeScale() override;

    // Chooses the grid for a volume of inBounds voxels (see X3DVolumeScaleGrid::Calibrate)
    // and returns the spacing, the same on all three axes, in physical units. Bad
    // values throw XException kBadArgument and leave the grid as it was.
    void CalibrateForDimension(unsigned long inIntervals, double inVoxelSizeX, double inVoxelSizeY, double inVoxelSizeZ,
        const X3DRect& inBounds, XMathVectorF3& outSpacing);
    X3DVolumeScaleGrid GetGrid() const;

    void SetColour(const XARGB32Colour& inColour);
    XARGB32Colour GetColour() const;

    // The direction the camera looks along, in node space (the inverse of the world
    // matrix, which may scale each axis differently), normalised.
    static XMathVectorF3 GetViewInNodeSpace(const XMathVectorF3& inLook, const XMatrix_4x4<float>& inWorld);

protected:
    static XFaceState GetFaceVisibilityState(int32_t inFace, const XMathVectorF3& inNormal, const XMathVectorF3& inView)
    {
        return X3DVolumeScaleGrid::GetFaceVisibilityState(inFace, inNormal, inView);
    }
    void RenderFace(X3DGC& inGC, const XFaceState& inFace, const XVector<XLineElement>& inLines);

    void LoadGraphicsResourcesSelf(X3DGC& inGC) override;
    void UnloadGraphicsResourcesSelf(X3DGC& inGC) override;
    void RenderSelf(X3DGC& inGC, const XSceneRenderState& inState) override;

private:
    X3DVolumeScaleGrid itsGrid;
    XARGB32Colour itsColour = XARGB32Colour::kWhite;
    std::unique_ptr<XShader> itsShader;
};
