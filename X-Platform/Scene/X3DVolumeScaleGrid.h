#pragma once
// The measuring grid of the volume scale, without any drawing: the calibration of
// a box around the volume whose every side is a whole number of one spacing, the
// grid lines on each of the box's six faces, and which faces show, how strongly, and
// with which lines, for a view direction.
#include "X3DRect.h"
#include "XMathRectF3.h"
#include "XMathVector.h"
#include "XVector.h"

#include <array>
#include <cstdint>

class X3DVolumeScaleGrid {
public:
    // Faces by index: 0 +y, 1 -y, 2 +x, 3 -x, 4 +z, 5 -z.
    static constexpr int32_t kFaceCount = 6;
    // More intervals than this on an axis would be a grid too dense to read.
    static constexpr uint32_t kMaxIntervals = 1000;
    // Faces at or below this visibility are not drawn; above kOpaqueVisibility they are opaque.
    static constexpr float kHiddenVisibility = 0.51f;
    static constexpr float kOpaqueVisibility = 0.75f;

    // A segment whose endpoints are kept in canonical order (the smaller first,
    // comparing z, then y, then x), so that equal segments compare equal.
    struct XLineElement {
        XMathVectorF3 first;
        XMathVectorF3 second;

        XLineElement() = default;
        XLineElement(const XMathVectorF3& inA, const XMathVectorF3& inB);
        friend bool operator==(const XLineElement&, const XLineElement&) = default;
        // Orders segments for searching: by first point, then second, each z, y, x.
        friend bool operator<(const XLineElement& a, const XLineElement& b);
    };
    static_assert(sizeof(XLineElement) == 6 * sizeof(float), "two points, drawn as a line list");

    struct XFaceState {
        int32_t face = 0;
        float visibility = 0.0f;
        XMathVectorF3 normal;
    };

    // A face to draw: its state, its opacity and its lines less those a face drawn
    // after it (more visible) also has.
    struct XFaceDrawing {
        XFaceState state;
        float alpha = 0.0f;
        XVector<XLineElement> lines;
    };

    static const std::array<XMathVectorF3, kFaceCount> kFaceNormals;

    // Chooses the grid for a volume of inBounds voxels of the given physical sizes:
    // inIntervals intervals span the longest side (by voxel count; x, then y, then z
    // on ties), each side padded by two voxels and rounded up to whole intervals.
    // Returns the spacing in physical units. Throws XException kBadArgument, leaving
    // the grid unchanged, for no intervals or more than kMaxIntervals on some axis,
    // voxel sizes that are not positive and finite, or empty bounds.
    float Calibrate(uint32_t inIntervals, double inVoxelSizeX, double inVoxelSizeY, double inVoxelSizeZ,
        const X3DRect& inBounds);

    // In voxels, centred on the calibrated bounds.
    const XMathRectF3& GetBox() const { return itsBox; }
    // Intervals along x, y and z.
    const XMathVectorU3& GetTickCounts() const { return itsTickCounts; }
    const XVector<XLineElement>& GetFaceLines(int32_t inFace) const { return itsFaceLines[size_t(inFace)]; }
    size_t GetLineCount() const;

    // Rebuilds every face's lines from the box and tick counts.
    void Generate();
    // The cross-sections at inCount + 1 evenly spaced positions along one axis, each
    // edge appended to the list of the face it lies on.
    void GenerateInX(const XMathRectF3& inBox, uint32_t inCount);
    void GenerateInY(const XMathRectF3& inBox, uint32_t inCount);
    void GenerateInZ(const XMathRectF3& inBox, uint32_t inCount);

    // visibility = (1 - normal . view) / 2, for a unit view direction in the grid's space.
    static XFaceState GetFaceVisibilityState(int32_t inFace, const XMathVectorF3& inNormal, const XMathVectorF3& inView);
    // 0 for a hidden face, 1 above kOpaqueVisibility, linear between.
    static float GetFaceAlpha(float inVisibility);
    // The faces that show for the view, least visible first. A line shared by two
    // faces goes with the one drawn later, so an edge between a drawn face and a
    // hidden one still shows, and no line is drawn twice.
    XVector<XFaceDrawing> GetFaceDrawings(const XMathVectorF3& inView) const;

private:
    void AddCrossSections(int inAxis, const XMathRectF3& inBox, uint32_t inCount);

    std::array<XVector<XLineElement>, kFaceCount> itsFaceLines;
    XMathRectF3 itsBox;
    XMathVectorU3 itsTickCounts;
};
