#pragma once
// Scales and centres a box of voxels so that it fits the unit cube (longest side) or
// the unit sphere (diagonal); children draw in the box's voxel coordinates.
#include "X3DRect.h"
#include "XGLMatrix.h"
#include "XGLRenderable.h"
#include "XMathVector.h"

class XGLFitVolumeToUnitCube : public XGLRenderable {
public:
    // 0 fits the diagonal, any other value the longest side.
    using XFitStyle = uint32_t;

    XGLFitVolumeToUnitCube(const X3DRect& inRect, XFitStyle inStyle);

    void Render(XGLRenderable& inFrom) override;

    void SetFitRect(const X3DRect& inRect);
    X3DRect GetFitRect() const;
    void SetFitStyle(XFitStyle inStyle);
    XFitStyle GetFitStyle() const;
    // The voxel calibration; each must be finite and above 0 (else reported and ignored).
    void SetSecondaryXScaling(double inScale);
    void SetSecondaryYScaling(double inScale);
    void SetSecondaryZScaling(double inScale);
    double GetSecondaryXScaling() const;
    double GetSecondaryYScaling() const;
    double GetSecondaryZScaling() const;
    void ShowVolumeFrame();
    void HideVolumeFrame();
    bool IsVolumeFrameVisible() const;
    // The secondary scaling normalised to length 1.
    XMathVectorF3 GetScalingVector() const;
    // Identity scaled by the reciprocal secondary scaling.
    XGLMatrix GetScalingCorrectionMatrix() const;

protected:
    void RenderSelf(XGLRenderable& inFrom) override;
    // The fit itself, inside the node's own transform.
    void TransformSelf() override;

private:
    void SetSecondaryScaling(int inAxis, double inScale);

    X3DRect itsFitRect;
    XFitStyle itsFitStyle = 1;
    double itsSecondaryScaling[3] = {1.0, 1.0, 1.0};
    bool itsFrameVisible = false;
};
