#pragma once
// A matrix of doubles of any height and width, held by value. Vectors are column
// vectors (n x 1). Elements are addressed (row, column) from 0; an index outside
// the matrix throws XException kBadArgument rather than touching memory, since
// indices often come from stored or computed data.
#include "XMatrixException.h"

#include <cstddef>
#include <initializer_list>
#include <vector>

class X3DMatrix {
public:
    // An empty (0 x 0) matrix.
    X3DMatrix() = default;
    X3DMatrix(size_t inRows, size_t inColumns, double inFill = 0.0);

    static X3DMatrix UnitMatrix(size_t inOrder);
    static X3DMatrix ZeroMatrix(size_t inRows, size_t inColumns);
    // Right-handed rotation by inRadians about inAxis (a column vector of at least
    // three elements; only its direction counts). The result is square of order
    // inOrder, 3 or 4: the default 4 is the homogeneous form whose upper-left 3x3
    // block is the rotation, as the 4x4 transform matrices wrap it directly.
    // A zero axis gives the identity.
    static X3DMatrix RotationMatrix(const X3DMatrix& inAxis, double inRadians, size_t inOrder = 4);
    static X3DMatrix ColumnVector(double inX, double inY, double inZ);
    static X3DMatrix ColumnVector(std::initializer_list<double> inValues);
    static X3DMatrix ColumnVector(const double* inValues, size_t inCount);

    size_t GetRows() const { return itsRows; }
    size_t GetColumns() const { return itsColumns; }
    bool IsEmpty() const { return itsRows == 0 || itsColumns == 0; }
    // A single column; with inRows non-zero, also exactly that many rows.
    bool IsColumnVector(size_t inRows = 0) const;
    // Square; with inOrder non-zero, also of exactly that order.
    bool IsSquare(size_t inOrder = 0) const;

    double GetElement(size_t inRow, size_t inColumn) const { return itsElements[IndexOf(inRow, inColumn)]; }
    void SetElement(size_t inRow, size_t inColumn, double inValue) { itsElements[IndexOf(inRow, inColumn)] = inValue; }
    double operator()(size_t inRow, size_t inColumn) const { return itsElements[IndexOf(inRow, inColumn)]; }
    double& operator()(size_t inRow, size_t inColumn) { return itsElements[IndexOf(inRow, inColumn)]; }
    // Row-major elements, GetRows() * GetColumns() of them.
    const double* GetData() const { return itsElements.data(); }

    // The block of inRows x inColumns starting at (inRow, inColumn); it must lie inside.
    X3DMatrix GetSubMatrix(size_t inRow, size_t inColumn, size_t inRows, size_t inColumns) const;
    // Copies inBlock into this matrix with its (0, 0) at (inRow, inColumn); it must fit.
    void SetSubMatrix(size_t inRow, size_t inColumn, const X3DMatrix& inBlock);
    X3DMatrix GetTranspose() const;

    // Vector operations on column vectors (cross product: three elements each).
    X3DMatrix CrossProduct(const X3DMatrix& inOther) const;
    static X3DMatrix CrossProduct(const X3DMatrix& inA, const X3DMatrix& inB) { return inA.CrossProduct(inB); }
    double DotProduct(const X3DMatrix& inOther) const;
    static double DotProduct(const X3DMatrix& inA, const X3DMatrix& inB) { return inA.DotProduct(inB); }
    // Euclidean length of all elements (the Frobenius norm for a general matrix).
    double L2Length() const;
    double GetL2Length() const { return L2Length(); }
    static double L2Length(const X3DMatrix& inMatrix) { return inMatrix.L2Length(); }
    // Scales to length 1 in place; a zero matrix stays zero rather than turning to NaN.
    void L2Norm();
    X3DMatrix GetL2Norm() const;
    static X3DMatrix L2Norm(const X3DMatrix& inMatrix) { return inMatrix.GetL2Norm(); }
    // Gram-Schmidt of the columns, in column order. A column that depends on the
    // earlier ones is replaced by a unit vector orthogonal to them, so a square
    // matrix always comes out orthonormal.
    void OrthoNormalise();
    X3DMatrix GetOrthoNormalised() const;
    static X3DMatrix OrthoNormalise(const X3DMatrix& inMatrix) { return inMatrix.GetOrthoNormalised(); }
    // Each column divided by its last element, with the last row dropped
    // ((x, y, z, w) -> (x/w, y/w, z/w)). A zero last element throws kBadArgument.
    X3DMatrix GetDehomogonisedMatrix() const;

    // The inverse; throws XMatrixException when not square or singular.
    X3DMatrix operator!() const;

    // Size mismatches throw XMatrixException with the operation's text.
    X3DMatrix operator*(const X3DMatrix& inOther) const;
    X3DMatrix operator+(const X3DMatrix& inOther) const;
    X3DMatrix operator-(const X3DMatrix& inOther) const;
    X3DMatrix operator-() const;
    X3DMatrix operator*(double inScale) const;
    X3DMatrix operator/(double inScale) const { return *this * (1.0 / inScale); }
    friend X3DMatrix operator*(double inScale, const X3DMatrix& inMatrix) { return inMatrix * inScale; }
    // The compound forms leave the target unchanged when they throw.
    X3DMatrix& operator*=(const X3DMatrix& inOther) { return *this = *this * inOther; }
    X3DMatrix& operator+=(const X3DMatrix& inOther) { return *this = *this + inOther; }
    X3DMatrix& operator-=(const X3DMatrix& inOther) { return *this = *this - inOther; }
    X3DMatrix& operator*=(double inScale);

    // Same size and exactly equal elements.
    bool operator==(const X3DMatrix& inOther) const;
    bool operator!=(const X3DMatrix& inOther) const { return !(*this == inOther); }
    // Same size and every element within inTolerance of the other's.
    bool IsNearlyEqual(const X3DMatrix& inOther, double inTolerance = 1e-9) const;

private:
    size_t IndexOf(size_t inRow, size_t inColumn) const;

    size_t itsRows = 0;
    size_t itsColumns = 0;
    std::vector<double> itsElements; // row-major
};
