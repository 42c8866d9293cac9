#include "X3DMatrix.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {
// Far beyond any transform or scene value; stops a bad stored size from exhausting memory.
constexpr size_t kMaxElements = size_t(1) << 26;

XString SizeText(size_t inRows, size_t inColumns)
{
    return XString("%1 x %2").Replace(static_cast<int64_t>(inRows)).Replace(static_cast<int64_t>(inColumns));
}
} // namespace

X3DMatrix::X3DMatrix(size_t inRows, size_t inColumns, double inFill)
{
    if (inRows != 0 && inColumns > kMaxElements / inRows)
        throw XException(XException::kBadArgument,
            XString("a matrix of %1 is too large; use at most %2 elements").Replace(SizeText(inRows, inColumns))
                .Replace(static_cast<int64_t>(kMaxElements)));
    itsRows = inRows;
    itsColumns = inColumns;
    itsElements.assign(inRows * inColumns, inFill);
}

size_t X3DMatrix::IndexOf(size_t inRow, size_t inColumn) const
{
    if (inRow >= itsRows || inColumn >= itsColumns)
        throw XException(XException::kBadArgument,
            XString("element (%1, %2) lies outside a matrix of %3")
                .Replace(static_cast<int64_t>(inRow)).Replace(static_cast<int64_t>(inColumn))
                .Replace(SizeText(itsRows, itsColumns)));
    return inRow * itsColumns + inColumn;
}

X3DMatrix X3DMatrix::UnitMatrix(size_t inOrder)
{
    X3DMatrix m(inOrder, inOrder);
    for (size_t i = 0; i < inOrder; ++i)
        m.itsElements[i * inOrder + i] = 1.0;
    return m;
}

X3DMatrix X3DMatrix::ZeroMatrix(size_t inRows, size_t inColumns)
{
    return X3DMatrix(inRows, inColumns);
}

X3DMatrix X3DMatrix::RotationMatrix(const X3DMatrix& inAxis, double inRadians, size_t inOrder)
{
    if (inOrder != 3 && inOrder != 4)
        throw XException(XException::kBadArgument,
            XString("a rotation matrix is of order 3 or 4, not %1").Replace(static_cast<int64_t>(inOrder)));
    X3DMatrix r = UnitMatrix(inOrder);
    if (inAxis.itsColumns != 1 || inAxis.itsRows < 3)
        throw XMatrixException(XString("a rotation axis must be a column vector of three elements, not a matrix of %1")
                                   .Replace(SizeText(inAxis.itsRows, inAxis.itsColumns)));
    double x = inAxis.itsElements[0], y = inAxis.itsElements[1], z = inAxis.itsElements[2];
    const double length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0.0) || !std::isfinite(length))
        return r;
    x /= length;
    y /= length;
    z /= length;
    // Rodrigues: R = cI + s[a]x + (1 - c) a a^T, counter-clockwise looking down the axis.
    const double c = std::cos(inRadians), s = std::sin(inRadians), t = 1.0 - c;
    r(0, 0) = t * x * x + c;
    r(0, 1) = t * x * y - s * z;
    r(0, 2) = t * x * z + s * y;
    r(1, 0) = t * x * y + s * z;
    r(1, 1) = t * y * y + c;
    r(1, 2) = t * y * z - s * x;
    r(2, 0) = t * x * z - s * y;
    r(2, 1) = t * y * z + s * x;
    r(2, 2) = t * z * z + c;
    return r;
}

X3DMatrix X3DMatrix::ColumnVector(double inX, double inY, double inZ)
{
    return ColumnVector({inX, inY, inZ});
}

X3DMatrix X3DMatrix::ColumnVector(std::initializer_list<double> inValues)
{
    return ColumnVector(inValues.begin(), inValues.size());
}

X3DMatrix X3DMatrix::ColumnVector(const double* inValues, size_t inCount)
{
    X3DMatrix v(inCount, 1);
    std::copy(inValues, inValues + inCount, v.itsElements.begin());
    return v;
}

bool X3DMatrix::IsColumnVector(size_t inRows) const
{
    return itsColumns == 1 && itsRows > 0 && (inRows == 0 || itsRows == inRows);
}

bool X3DMatrix::IsSquare(size_t inOrder) const
{
    return itsRows == itsColumns && (inOrder == 0 || itsRows == inOrder);
}

X3DMatrix X3DMatrix::GetSubMatrix(size_t inRow, size_t inColumn, size_t inRows, size_t inColumns) const
{
    if (inRow > itsRows || inRows > itsRows - inRow || inColumn > itsColumns || inColumns > itsColumns - inColumn)
        throw XException(XException::kBadArgument,
            XString("a block of %1 at (%2, %3) does not lie inside a matrix of %4")
                .Replace(SizeText(inRows, inColumns)).Replace(static_cast<int64_t>(inRow))
                .Replace(static_cast<int64_t>(inColumn)).Replace(SizeText(itsRows, itsColumns)));
    X3DMatrix block(inRows, inColumns);
    for (size_t r = 0; r < inRows; ++r)
        for (size_t c = 0; c < inColumns; ++c)
            block.itsElements[r * inColumns + c] = itsElements[(inRow + r) * itsColumns + inColumn + c];
    return block;
}

void X3DMatrix::SetSubMatrix(size_t inRow, size_t inColumn, const X3DMatrix& inBlock)
{
    if (inRow > itsRows || inBlock.itsRows > itsRows - inRow || inColumn > itsColumns ||
        inBlock.itsColumns > itsColumns - inColumn)
        throw XException(XException::kBadArgument,
            XString("a block of %1 at (%2, %3) does not fit into a matrix of %4")
                .Replace(SizeText(inBlock.itsRows, inBlock.itsColumns)).Replace(static_cast<int64_t>(inRow))
                .Replace(static_cast<int64_t>(inColumn)).Replace(SizeText(itsRows, itsColumns)));
    for (size_t r = 0; r < inBlock.itsRows; ++r)
        for (size_t c = 0; c < inBlock.itsColumns; ++c)
            itsElements[(inRow + r) * itsColumns + inColumn + c] = inBlock.itsElements[r * inBlock.itsColumns + c];
}

X3DMatrix X3DMatrix::GetTranspose() const
{
    X3DMatrix t(itsColumns, itsRows);
    for (size_t r = 0; r < itsRows; ++r)
        for (size_t c = 0; c < itsColumns; ++c)
            t.itsElements[c * itsRows + r] = itsElements[r * itsColumns + c];
    return t;
}

X3DMatrix X3DMatrix::CrossProduct(const X3DMatrix& inOther) const
{
    if (!IsColumnVector(3) || !inOther.IsColumnVector(3))
        throw XMatrixException(XString("a cross product needs two column vectors of three elements, not %1 and %2")
                                   .Replace(SizeText(itsRows, itsColumns))
                                   .Replace(SizeText(inOther.itsRows, inOther.itsColumns)));
    const double* a = itsElements.data();
    const double* b = inOther.itsElements.data();
    return ColumnVector(a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]);
}

double X3DMatrix::DotProduct(const X3DMatrix& inOther) const
{
    if (itsRows != inOther.itsRows || itsColumns != inOther.itsColumns)
        throw XMatrixException(XString("a dot product needs two matrices of one size, not %1 and %2")
                                   .Replace(SizeText(itsRows, itsColumns))
                                   .Replace(SizeText(inOther.itsRows, inOther.itsColumns)));
    double sum = 0.0;
    for (size_t i = 0; i < itsElements.size(); ++i)
        sum += itsElements[i] * inOther.itsElements[i];
    return sum;
}

double X3DMatrix::L2Length() const
{
    double sum = 0.0;
    for (double e : itsElements)
        sum += e * e;
    return std::sqrt(sum);
}

void X3DMatrix::L2Norm()
{
    const double length = L2Length();
    if (length > 0.0 && std::isfinite(length))
        for (double& e : itsElements)
            e /= length;
}

X3DMatrix X3DMatrix::GetL2Norm() const
{
    X3DMatrix m(*this);
    m.L2Norm();
    return m;
}

void X3DMatrix::OrthoNormalise()
{
    const size_t n = itsRows;
    size_t done = 0; // columns already orthonormal
    auto column = [&](size_t c) {
        std::vector<double> v(n);
        for (size_t r = 0; r < n; ++r)
            v[r] = itsElements[r * itsColumns + c];
        return v;
    };
    // Removes the components along the first `done` columns; returns the remaining length.
    auto reduce = [&](std::vector<double>& v) {
        for (size_t k = 0; k < done; ++k) {
            double d = 0.0;
            for (size_t r = 0; r < n; ++r)
                d += v[r] * itsElements[r * itsColumns + k];
            for (size_t r = 0; r < n; ++r)
                v[r] -= d * itsElements[r * itsColumns + k];
        }
        double s = 0.0;
        for (double e : v)
            s += e * e;
        return std::sqrt(s);
    };
    for (size_t c = 0; c < itsColumns; ++c) {
        std::vector<double> v = column(c);
        double scale = std::sqrt(std::inner_product(v.begin(), v.end(), v.begin(), 0.0));
        double length = reduce(v);
        if (!(length > 1e-12 * std::max(scale, 1.0)) || !std::isfinite(length)) {
            // Dependent column: take the unit axis that keeps most after the reduction.
            length = 0.0;
            for (size_t axis = 0; axis < n; ++axis) {
                std::vector<double> e(n, 0.0);
                e[axis] = 1.0;
                const double l = reduce(e);
                if (l > length) {
                    length = l;
                    v = e;
                }
            }
        }
        if (length > 0.0) {
            for (size_t r = 0; r < n; ++r)
                itsElements[r * itsColumns + c] = v[r] / length;
            ++done;
        }
        // More columns than rows: the surplus ones have nothing left and stay zero.
        else
            for (size_t r = 0; r < n; ++r)
                itsElements[r * itsColumns + c] = 0.0;
    }
}

X3DMatrix X3DMatrix::GetOrthoNormalised() const
{
    X3DMatrix m(*this);
    m.OrthoNormalise();
    return m;
}

X3DMatrix X3DMatrix::GetDehomogonisedMatrix() const
{
    if (itsRows < 2)
        throw XMatrixException(XString("a homogeneous matrix needs at least two rows, not %1")
                                   .Replace(SizeText(itsRows, itsColumns)));
    X3DMatrix m(itsRows - 1, itsColumns);
    for (size_t c = 0; c < itsColumns; ++c) {
        const double w = itsElements[(itsRows - 1) * itsColumns + c];
        if (w == 0.0 || !std::isfinite(w))
            throw XException(XException::kBadArgument,
                "a homogeneous point with a last coordinate of 0 lies at infinity and has no position");
        for (size_t r = 0; r + 1 < itsRows; ++r)
            m.itsElements[r * itsColumns + c] = itsElements[r * itsColumns + c] / w;
    }
    return m;
}

X3DMatrix X3DMatrix::operator!() const
{
    if (!IsSquare() || IsEmpty())
        throw XMatrixException(XMatrixException::kNotSquareText);
    const size_t n = itsRows;
    X3DMatrix a(*this);
    X3DMatrix inv = UnitMatrix(n);
    double scale = 0.0;
    for (double e : itsElements)
        scale = std::max(scale, std::abs(e));
    if (!(scale > 0.0) || !std::isfinite(scale))
        throw XMatrixException(XMatrixException::kSingularText);
    // Gauss-Jordan with partial pivoting.
    const double tiny = scale * 1e-14 * static_cast<double>(n);
    for (size_t col = 0; col < n; ++col) {
        size_t pivot = col;
        for (size_t r = col + 1; r < n; ++r)
            if (std::abs(a(r, col)) > std::abs(a(pivot, col)))
                pivot = r;
        if (!(std::abs(a(pivot, col)) > tiny))
            throw XMatrixException(XMatrixException::kSingularText);
        if (pivot != col)
            for (size_t c = 0; c < n; ++c) {
                std::swap(a.itsElements[pivot * n + c], a.itsElements[col * n + c]);
                std::swap(inv.itsElements[pivot * n + c], inv.itsElements[col * n + c]);
            }
        const double p = a.itsElements[col * n + col];
        for (size_t c = 0; c < n; ++c) {
            a.itsElements[col * n + c] /= p;
            inv.itsElements[col * n + c] /= p;
        }
        for (size_t r = 0; r < n; ++r) {
            if (r == col)
                continue;
            const double f = a.itsElements[r * n + col];
            if (f == 0.0)
                continue;
            for (size_t c = 0; c < n; ++c) {
                a.itsElements[r * n + c] -= f * a.itsElements[col * n + c];
                inv.itsElements[r * n + c] -= f * inv.itsElements[col * n + c];
            }
        }
    }
    return inv;
}

X3DMatrix X3DMatrix::operator*(const X3DMatrix& inOther) const
{
    if (itsColumns != inOther.itsRows)
        throw XMatrixException(XMatrixException::kProductText);
    X3DMatrix p(itsRows, inOther.itsColumns);
    const size_t inner = itsColumns, width = inOther.itsColumns;
    for (size_t i = 0; i < itsRows; ++i)
        for (size_t j = 0; j < width; ++j) {
            // Accumulated from k = 0 upwards so results are reproducible to the bit.
            double sum = 0.0;
            for (size_t k = 0; k < inner; ++k)
                sum += itsElements[i * inner + k] * inOther.itsElements[k * width + j];
            p.itsElements[i * width + j] = sum;
        }
    return p;
}

X3DMatrix X3DMatrix::operator+(const X3DMatrix& inOther) const
{
    if (itsRows != inOther.itsRows || itsColumns != inOther.itsColumns)
        throw XMatrixException(XMatrixException::kSumText);
    X3DMatrix s(*this);
    for (size_t i = 0; i < itsElements.size(); ++i)
        s.itsElements[i] += inOther.itsElements[i];
    return s;
}

X3DMatrix X3DMatrix::operator-(const X3DMatrix& inOther) const
{
    if (itsRows != inOther.itsRows || itsColumns != inOther.itsColumns)
        throw XMatrixException(XMatrixException::kDifferenceText);
    X3DMatrix d(*this);
    for (size_t i = 0; i < itsElements.size(); ++i)
        d.itsElements[i] -= inOther.itsElements[i];
    return d;
}

X3DMatrix X3DMatrix::operator-() const
{
    return *this * -1.0;
}

X3DMatrix X3DMatrix::operator*(double inScale) const
{
    X3DMatrix m(*this);
    m *= inScale;
    return m;
}

X3DMatrix& X3DMatrix::operator*=(double inScale)
{
    for (double& e : itsElements)
        e *= inScale;
    return *this;
}

bool X3DMatrix::operator==(const X3DMatrix& inOther) const
{
    return itsRows == inOther.itsRows && itsColumns == inOther.itsColumns && itsElements == inOther.itsElements;
}

bool X3DMatrix::IsNearlyEqual(const X3DMatrix& inOther, double inTolerance) const
{
    if (itsRows != inOther.itsRows || itsColumns != inOther.itsColumns)
        return false;
    for (size_t i = 0; i < itsElements.size(); ++i)
        if (!(std::abs(itsElements[i] - inOther.itsElements[i]) <= inTolerance))
            return false;
    return true;
}
