#include "X3DVolumeScale.h"

#include "X3DGeometryStateSaver.h"
#include "X3DNodePrograms.h"
#include "X3DShaderScope.h"
#include "XThreadLock.h"

#include <limits>

namespace {
const X3DGC::XVertexDefinition& GetPositionDefinition()
{
    static const X3DGC::XVertexDefinition sDefinition{{{0, X3DGC::kElementFloat3, X3DGC::kUsagePosition}}, 12};
    return sDefinition;
}
} // namespace

X3DVolumeScale::X3DVolumeScale() = default;

X3DVolumeScale::X3DVolumeScale(const X3DVolumeScale& inOther)
    : X3DSceneNode(inOther), itsGrid(inOther.GetGrid()), itsColour(inOther.GetColour())
{
}

X3DVolumeScale& X3DVolumeScale::operator=(const X3DVolumeScale& inOther)
{
    if (this == &inOther)
        return *this;
    X3DSceneNode::operator=(inOther);
    X3DVolumeScaleGrid grid = inOther.GetGrid();
    const XARGB32Colour colour = inOther.GetColour();
    XThreadLock lock(GetNodeMutex());
    itsGrid = std::move(grid);
    itsColour = colour;
    return *this;
}

X3DVolumeScale::~X3DVolumeScale() = default;

void X3DVolumeScale::CalibrateForDimension(unsigned long inIntervals, double inVoxelSizeX, double inVoxelSizeY,
    double inVoxelSizeZ, const X3DRect& inBounds, XMathVectorF3& outSpacing)
{
    // Counts past 32 bits are refused like any other count past the grid's limit.
    const uint32_t intervals = inIntervals > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                                                   : uint32_t(inIntervals);
    // Calibrated on a copy, so that a refusal leaves the drawn grid untouched.
    X3DVolumeScaleGrid grid = GetGrid();
    const float spacing = grid.Calibrate(intervals, inVoxelSizeX, inVoxelSizeY, inVoxelSizeZ, inBounds);
    XThreadLock lock(GetNodeMutex());
    itsGrid = std::move(grid);
    outSpacing = XMathVectorF3(spacing, spacing, spacing);
}

X3DVolumeScaleGrid X3DVolumeScale::GetGrid() const
{
    XThreadLock lock(GetNodeMutex());
    return itsGrid;
}

void X3DVolumeScale::SetColour(const XARGB32Colour& inColour)
{
    XThreadLock lock(GetNodeMutex());
    itsColour = inColour;
}

XARGB32Colour X3DVolumeScale::GetColour() const
{
    XThreadLock lock(GetNodeMutex());
    return itsColour;
}

XMathVectorF3 X3DVolumeScale::GetViewInNodeSpace(const XMathVectorF3& inLook, const XMatrix_4x4<float>& inWorld)
{
    XMatrix_4x4<float> rotation = inWorld;
    rotation(3, 0) = rotation(3, 1) = rotation(3, 2) = 0.0f;
    return rotation.GetInverse().TransformVector(inLook).GetNormalised();
}

void X3DVolumeScale::LoadGraphicsResourcesSelf(X3DGC& inGC)
{
    XThreadLock lock(GetNodeMutex());
    if (!itsShader)
        itsShader = std::make_unique<XShader>(inGC, XString(GetNodeProgramSource(XNodeProgram::kUniformColour)),
            XString(GetNodeProgramEntry(XNodeProgram::kUniformColour, XShader::kVertexShader)), XShader::kVertexShader);
}

void X3DVolumeScale::UnloadGraphicsResourcesSelf(X3DGC&)
{
    XThreadLock lock(GetNodeMutex());
    itsShader.reset();
}

void X3DVolumeScale::RenderFace(X3DGC& inGC, const XFaceState& inFace, const XVector<XLineElement>& inLines)
{
    const float alpha = X3DVolumeScaleGrid::GetFaceAlpha(inFace.visibility);
    if (!(alpha > 0.0f) || inLines.empty())
        return;
    if (itsShader->HasParameter("inColour"))
        cgSetParameter4f(itsShader->GetParameter("inColour"), itsColour.red / 255.0f, itsColour.green / 255.0f,
            itsColour.blue / 255.0f, alpha);
    inGC.DrawUserPrimitives(X3DGC::kLineList, inLines.data(), 0, uint32_t(inLines.size()));
}

void X3DVolumeScale::RenderSelf(X3DGC& inGC, const XSceneRenderState& inState)
{
    if (inState.IsFinalRender())
        return;
    XThreadLock lock(GetNodeMutex());
    if (itsGrid.GetLineCount() == 0)
        return;
    LoadGraphicsResourcesSelf(inGC);
    const XMathVectorF3 view = GetViewInNodeSpace(inState.GetCamera().GetLookVector(), inGC.GetWorld());
    const XVector<X3DVolumeScaleGrid::XFaceDrawing> faces = itsGrid.GetFaceDrawings(view);
    if (faces.empty())
        return;

    X3DGeometryStateSaver geometry(inGC, X3DGeometryStateSaver::kDefinition);
    inGC.SetVertexDefinition(GetPositionDefinition());
    X3DShaderScope shaders(inGC, itsShader.get(), nullptr);
    if (itsShader->HasParameter("ModelViewProj"))
        itsShader->SetMatrixParameter("ModelViewProj", inGC.GetWorldViewProjection());
    for (const auto& face : faces)
        RenderFace(inGC, face.state, face.lines);
    shaders.End();
    geometry.Restore();
}
