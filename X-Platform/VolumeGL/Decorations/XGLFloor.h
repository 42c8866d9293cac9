#pragma once
// The floor under the volume: a horizontal square at a given height, plain or a
// checkerboard. Lit, so it shades with the scene's lights.
#include "XARGB32Colour.h"
#include "XGLRenderable.h"

class XGLFloor : public XGLRenderable {
public:
    XGLFloor(double inWidth, double inDepth, double inLevel, double inSquareSize);
    XGLFloor(double inWidth, double inDepth, double inLevel, double inSquareSize, const XARGB32Colour& inColour1,
             const XARGB32Colour& inColour2, bool inChecked);

    void SetLevel(double inLevel);
    double GetLevel() const;
    void SetColour1(const XARGB32Colour& inColour);
    XARGB32Colour GetColour1() const;
    void SetColour2(const XARGB32Colour& inColour);
    XARGB32Colour GetColour2() const;
    void SetChecked(bool inChecked);
    bool IsChecked() const;
    double GetWidth() const { return itsWidth; }
    double GetDepth() const { return itsDepth; }
    double GetSquareSize() const { return itsSquareSize; }

    // Squares drawn along x and z; a remainder smaller than one square is left out.
    // Zero when the floor cannot be checked (see kMaxSquares).
    unsigned long GetSquareCountX() const;
    unsigned long GetSquareCountZ() const;
    // A checkerboard of more squares than this (a tiny or invalid square size) is
    // drawn plain instead: it could not be seen and would stall the frame.
    static constexpr double kMaxSquares = 1.0e6;

protected:
    void RenderSelf(XGLRenderable& inFrom) override;

private:
    bool CanDrawChecked() const;
    // With the lock held.
    void DrawQuads() const;

    double itsWidth;
    double itsDepth;
    double itsSquareSize;
    double itsLevel;
    bool itsChecked = true;
    XARGB32Colour itsColour1{255, 51, 51, 51};
    XARGB32Colour itsColour2{255, 12, 12, 12};
};
