#include "X3DGeometryGenerator.h"

#include <cmath>
#include <numbers>

X3DGeometryGenerator::XFrame X3DGeometryGenerator::MakeFrame(const XMathVectorF3& inAxis)
{
    XFrame frame;
    frame.w = inAxis.GetNormalised();
    if (!frame.w.IsFinite() || !(std::abs(frame.w.GetLength() - 1.0f) < 1e-3f))
        frame.w = XMathVectorF3(0.0f, 0.0f, 1.0f);
    frame.u = frame.w.Cross(XMathVectorF3(1.0f, 0.0f, 0.0f));
    if (frame.u.GetLength() < 1e-6f)
        frame.u = frame.w.Cross(XMathVectorF3(0.0f, 1.0f, 0.0f));
    frame.u.Normalise();
    frame.v = frame.w.Cross(frame.u);
    return frame;
}

XMathVectorF3 X3DGeometryGenerator::XFrame::Around(uint32_t inSector) const
{
    // From the sector's index, so that neighbouring sectors share rim points exactly
    // and the last meets the first.
    const double a = 2.0 * std::numbers::pi * double(inSector % kSectors) / double(kSectors);
    return u * float(std::cos(a)) + v * float(std::sin(a));
}

void X3DGeometryGenerator::GenerateCone(XVertices& outVertices, float inRadius, float inHeight, const XMathVectorF3& inCentre,
    const XMathVectorF3& inAxis, const XARGB32Colour& inColour)
{
    const XFrame f = MakeFrame(inAxis);
    const XMathVectorF3 apex = inCentre + f.w * (0.5f * inHeight);
    const XMathVectorF3 base = inCentre - f.w * (0.5f * inHeight);
    const XVertexTypes::XVertexColour colour(inColour);
    // Smooth sides: the normal at a rim point leans from the radial direction towards
    // the axis by the cone's slope; at the apex, that of the sector's middle.
    const auto sideNormal = [&](const XMathVectorF3& inRadial) {
        return (inRadial * inHeight + f.w * inRadius).GetNormalised();
    };
    for (uint32_t i = 0; i < kSectors; ++i) {
        const XMathVectorF3 a = f.Around(i), b = f.Around(i + 1);
        const XMathVectorF3 middle = (a + b).GetNormalised();
        outVertices.push_back({apex, colour, sideNormal(middle)});
        outVertices.push_back({base + a * inRadius, colour, sideNormal(a)});
        outVertices.push_back({base + b * inRadius, colour, sideNormal(b)});
    }
    const XMathVectorF3 down = -f.w;
    for (uint32_t i = 0; i < kSectors; ++i) {
        outVertices.push_back({base, colour, down});
        outVertices.push_back({base + f.Around(i + 1) * inRadius, colour, down});
        outVertices.push_back({base + f.Around(i) * inRadius, colour, down});
    }
}

void X3DGeometryGenerator::GenerateCylinder(XVertices& outVertices, float inRadius, float inHeight,
    const XMathVectorF3& inCentre, const XMathVectorF3& inAxis, const XARGB32Colour& inColour)
{
    const XFrame f = MakeFrame(inAxis);
    const XMathVectorF3 top = inCentre + f.w * (0.5f * inHeight);
    const XMathVectorF3 bottom = inCentre - f.w * (0.5f * inHeight);
    const XVertexTypes::XVertexColour colour(inColour);
    const XMathVectorF3 up = f.w, down = -f.w;
    for (uint32_t i = 0; i < kSectors; ++i) {
        const XMathVectorF3 a = f.Around(i), b = f.Around(i + 1);
        const XMathVectorF3 ba = bottom + a * inRadius, bb = bottom + b * inRadius;
        const XMathVectorF3 ta = top + a * inRadius, tb = top + b * inRadius;
        outVertices.push_back({ba, colour, a});
        outVertices.push_back({bb, colour, b});
        outVertices.push_back({tb, colour, b});
        outVertices.push_back({ba, colour, a});
        outVertices.push_back({tb, colour, b});
        outVertices.push_back({ta, colour, a});
        outVertices.push_back({top, colour, up});
        outVertices.push_back({ta, colour, up});
        outVertices.push_back({tb, colour, up});
        outVertices.push_back({bottom, colour, down});
        outVertices.push_back({bb, colour, down});
        outVertices.push_back({ba, colour, down});
    }
}

void X3DGeometryGenerator::GenerateBox(XVertices& outVertices, XVector<uint32_t>& outIndices, const XMathRectF3& inBox,
    const XARGB32Colour& inColour)
{
    const XMathVectorF3 lo = inBox.GetMin(), hi = inBox.GetMax();
    const XVertexTypes::XVertexColour colour(inColour);
    for (int axis = 0; axis < 3; ++axis)
        for (float sign : {1.0f, -1.0f}) {
            XMathVectorF3 normal;
            normal[axis] = sign;
            // u and v span the face with u x v = normal.
            XMathVectorF3 u;
            u[(axis + 1) % 3] = 1.0f;
            const XMathVectorF3 v = normal.Cross(u);
            const auto corner = [&](float inU, float inV) {
                XMathVectorF3 p;
                for (int i = 0; i < 3; ++i) {
                    const float t = 0.5f + 0.5f * (normal[i] + inU * u[i] + inV * v[i]);
                    p[i] = lo[i] + t * (hi[i] - lo[i]);
                }
                return p;
            };
            const uint32_t first = uint32_t(outVertices.size());
            for (const auto& [cu, cv] : {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}})
                outVertices.push_back({corner(cu, cv), colour, normal});
            outIndices.insert(outIndices.end(), {first, first + 1, first + 2, first, first + 2, first + 3});
        }
}
