#include "X3DPolyLine.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

void X3DPolyLine::RemovePoint(size_t inIndex)
{
    if (inIndex >= itsPoints.size())
        throw std::out_of_range("X3DPolyLine::RemovePoint: index past the last point");
    itsPoints.erase(itsPoints.begin() + static_cast<std::ptrdiff_t>(inIndex));
}

size_t X3DPolyLine::GetSegmentCount() const
{
    size_t n = itsPoints.size();
    if (n < 2)
        return 0;
    return (itsIsClosed && n >= 3) ? n : n - 1;
}

double X3DPolyLine::GetLength(double inScaleX, double inScaleY, double inScaleZ) const
{
    double total = 0.0;
    size_t segments = GetSegmentCount();
    for (size_t i = 0; i < segments; ++i) {
        const X3DPoint& a = itsPoints[i];
        const X3DPoint& b = itsPoints[(i + 1) % itsPoints.size()];
        double dx = (double(b.x) - a.x) * inScaleX;
        double dy = (double(b.y) - a.y) * inScaleY;
        double dz = (double(b.z) - a.z) * inScaleZ;
        total += std::sqrt(dx * dx + dy * dy + dz * dz);
    }
    return total;
}

X3DRect X3DPolyLine::GetBounds() const
{
    if (itsPoints.empty())
        return X3DRect();
    X3DRect box(itsPoints[0].x, itsPoints[0].y, itsPoints[0].z, itsPoints[0].x + 1, itsPoints[0].y + 1, itsPoints[0].z + 1);
    for (const X3DPoint& p : itsPoints)
        box = box.Union(X3DRect(p.x, p.y, p.z, p.x + 1, p.y + 1, p.z + 1));
    return box;
}
