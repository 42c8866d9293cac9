#pragma once
// Small fixed-size vectors of the scene-graph layer: positions, directions,
// colours, extents and index tuples. Values, laid out as N packed elements so
// that arrays of them can be handed to the device as vertex data.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <type_traits>

template <typename T, size_t N>
class XMathVector {
    static_assert(N >= 2 && N <= 4, "vectors have 2 to 4 elements");

public:
    constexpr XMathVector() : itsValues{} {}
    constexpr XMathVector(T inX, T inY) requires(N == 2) : itsValues{inX, inY} {}
    constexpr XMathVector(T inX, T inY, T inZ) requires(N == 3) : itsValues{inX, inY, inZ} {}
    constexpr XMathVector(T inX, T inY, T inZ, T inW) requires(N == 4) : itsValues{inX, inY, inZ, inW} {}
    // Widens a 3-vector to homogeneous form: (x, y, z, w).
    constexpr XMathVector(const XMathVector<T, 3>& inXYZ, T inW) requires(N == 4)
        : itsValues{inXYZ[0], inXYZ[1], inXYZ[2], inW} {}
    // Every element inValue.
    static constexpr XMathVector MakeFilled(T inValue)
    {
        XMathVector v;
        for (size_t i = 0; i < N; ++i)
            v.itsValues[i] = inValue;
        return v;
    }

    static constexpr size_t kSize = N;

    constexpr T& operator[](size_t inIndex) { return itsValues[inIndex]; }
    constexpr const T& operator[](size_t inIndex) const { return itsValues[inIndex]; }
    constexpr T GetX() const { return itsValues[0]; }
    constexpr T GetY() const { return itsValues[1]; }
    constexpr T GetZ() const requires(N >= 3) { return itsValues[2]; }
    constexpr T GetW() const requires(N == 4) { return itsValues[3]; }
    constexpr void SetX(T inValue) { itsValues[0] = inValue; }
    constexpr void SetY(T inValue) { itsValues[1] = inValue; }
    constexpr void SetZ(T inValue) requires(N >= 3) { itsValues[2] = inValue; }
    constexpr void SetW(T inValue) requires(N == 4) { itsValues[3] = inValue; }
    const T* GetData() const { return itsValues; }
    T* GetData() { return itsValues; }
    // The first three elements.
    constexpr XMathVector<T, 3> GetXYZ() const requires(N == 4) { return {itsValues[0], itsValues[1], itsValues[2]}; }

    constexpr XMathVector& operator+=(const XMathVector& inOther)
    {
        for (size_t i = 0; i < N; ++i)
            itsValues[i] += inOther.itsValues[i];
        return *this;
    }
    constexpr XMathVector& operator-=(const XMathVector& inOther)
    {
        for (size_t i = 0; i < N; ++i)
            itsValues[i] -= inOther.itsValues[i];
        return *this;
    }
    constexpr XMathVector& operator*=(T inScale)
    {
        for (size_t i = 0; i < N; ++i)
            itsValues[i] *= inScale;
        return *this;
    }
    constexpr XMathVector& operator/=(T inScale)
    {
        for (size_t i = 0; i < N; ++i)
            itsValues[i] /= inScale;
        return *this;
    }
    friend constexpr XMathVector operator+(XMathVector a, const XMathVector& b) { return a += b; }
    friend constexpr XMathVector operator-(XMathVector a, const XMathVector& b) { return a -= b; }
    friend constexpr XMathVector operator*(XMathVector a, T s) { return a *= s; }
    friend constexpr XMathVector operator*(T s, XMathVector a) { return a *= s; }
    friend constexpr XMathVector operator/(XMathVector a, T s) { return a /= s; }
    constexpr XMathVector operator-() const requires std::is_signed_v<T>
    {
        XMathVector v;
        for (size_t i = 0; i < N; ++i)
            v.itsValues[i] = -itsValues[i];
        return v;
    }
    friend constexpr bool operator==(const XMathVector& a, const XMathVector& b)
    {
        for (size_t i = 0; i < N; ++i)
            if (!(a.itsValues[i] == b.itsValues[i]))
                return false;
        return true;
    }

    // Element by element product.
    constexpr XMathVector Multiply(const XMathVector& inOther) const
    {
        XMathVector v;
        for (size_t i = 0; i < N; ++i)
            v.itsValues[i] = itsValues[i] * inOther.itsValues[i];
        return v;
    }
    constexpr T Dot(const XMathVector& inOther) const
    {
        T sum = T(0);
        for (size_t i = 0; i < N; ++i)
            sum += itsValues[i] * inOther.itsValues[i];
        return sum;
    }
    constexpr XMathVector Cross(const XMathVector& inOther) const requires(N == 3)
    {
        const T* a = itsValues;
        const T* b = inOther.itsValues;
        return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    }
    constexpr T GetLengthSquared() const { return Dot(*this); }
    T GetLength() const requires std::is_floating_point_v<T> { return std::sqrt(GetLengthSquared()); }
    // Scales to length 1; a zero (or non-finite) vector is left as it is rather than turned to NaN.
    void Normalise() requires std::is_floating_point_v<T>
    {
        const T length = GetLength();
        if (length > T(0) && std::isfinite(length))
            *this /= length;
    }
    XMathVector GetNormalised() const requires std::is_floating_point_v<T>
    {
        XMathVector v(*this);
        v.Normalise();
        return v;
    }
    bool IsFinite() const requires std::is_floating_point_v<T>
    {
        for (size_t i = 0; i < N; ++i)
            if (!std::isfinite(itsValues[i]))
                return false;
        return true;
    }
    bool IsNearlyEqual(const XMathVector& inOther, T inTolerance) const requires std::is_floating_point_v<T>
    {
        for (size_t i = 0; i < N; ++i)
            if (!(std::abs(itsValues[i] - inOther.itsValues[i]) <= inTolerance))
                return false;
        return true;
    }
    // Element-wise minimum and maximum, for bounding boxes.
    static constexpr XMathVector Min(const XMathVector& a, const XMathVector& b)
    {
        XMathVector v;
        for (size_t i = 0; i < N; ++i)
            v.itsValues[i] = b.itsValues[i] < a.itsValues[i] ? b.itsValues[i] : a.itsValues[i];
        return v;
    }
    static constexpr XMathVector Max(const XMathVector& a, const XMathVector& b)
    {
        XMathVector v;
        for (size_t i = 0; i < N; ++i)
            v.itsValues[i] = a.itsValues[i] < b.itsValues[i] ? b.itsValues[i] : a.itsValues[i];
        return v;
    }

private:
    T itsValues[N];
};

using XMathVectorF2 = XMathVector<float, 2>;
using XMathVectorF3 = XMathVector<float, 3>;
using XMathVectorF4 = XMathVector<float, 4>;
using XMathVectorD3 = XMathVector<double, 3>;
using XMathVectorU3 = XMathVector<uint32_t, 3>;
using XMathVectorU4 = XMathVector<uint32_t, 4>;

static_assert(sizeof(XMathVectorF3) == 3 * sizeof(float), "vectors are packed for vertex data");
static_assert(std::is_trivially_copyable_v<XMathVectorF3>);
