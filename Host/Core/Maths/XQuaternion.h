#pragma once
// A rotation as a unit quaternion (x, y, z, w), w the scalar part. Rotations are
// right-handed; a product a x b applies b first, then a (as matrices do on
// column vectors). ToMatrix gives the row-vector matrix of the scene-graph layer
// (p x M); ToX3DMatrix the column-vector matrix of X3DMatrix (M p). Both describe
// the same rotation, and MakeFromRotationMatrix accepts either form back.
#include "X3DMatrix.h"
#include "XMathVector.h"
#include "XMatrix_4x4.h"

class XQuaternion {
public:
    constexpr XQuaternion() = default; // the identity
    constexpr XQuaternion(double inX, double inY, double inZ, double inW) : itsX(inX), itsY(inY), itsZ(inZ), itsW(inW) {}

    static const XQuaternion kIdentity;

    // A turn of inRadians about inAxis (normalised here); a zero axis gives the identity.
    static XQuaternion MakeFromAxisAngle(const XMathVectorF3& inAxis, double inRadians);
    static XQuaternion MakeFromAxisAngle(const X3DMatrix& inAxis, double inRadians);
    // From the upper-left 3 x 3 block of a column-vector rotation (3 x 3 or 4 x 4).
    // Robust at every angle including half turns; a block that is not quite
    // orthonormal gives the nearest rotation's quaternion well enough for drift.
    // Throws XMatrixException when the matrix is smaller than 3 x 3.
    static XQuaternion MakeFromRotationMatrix(const X3DMatrix& inMatrix);
    // From the upper-left 3 x 3 block of a row-vector rotation.
    static XQuaternion MakeFromRotationMatrix(const XMatrix_4x4<float>& inMatrix);

    double GetX() const { return itsX; }
    double GetY() const { return itsY; }
    double GetZ() const { return itsZ; }
    double GetW() const { return itsW; }
    double GetLengthSquared() const { return itsX * itsX + itsY * itsY + itsZ * itsZ + itsW * itsW; }
    double GetLength() const;
    // Whether the length is non-zero and finite, i.e. the quaternion names a rotation.
    bool IsValid() const;
    // Scales to unit length; a zero or non-finite quaternion becomes the identity.
    void Normalise();
    XQuaternion GetNormalised() const;
    XQuaternion Conjugate() const { return XQuaternion(-itsX, -itsY, -itsZ, itsW); }
    // The rotation's axis (unit length; x when there is no turn) and angle in 0..2 pi.
    void GetAxisAngle(XMathVectorF3& outAxis, double& outRadians) const;

    XMathVectorF3 Rotate(const XMathVectorF3& inVector) const;
    // A column vector of three elements.
    X3DMatrix Rotate(const X3DMatrix& inVector) const;
    XMatrix_4x4<float> ToMatrix() const;
    // The 3 x 3 column-vector rotation (inOrder 4: its homogeneous 4 x 4 form).
    X3DMatrix ToX3DMatrix(size_t inOrder = 3) const;

    // Spherical interpolation from inFrom (t = 0) to inTo (t = 1) along the shorter
    // arc, with unit-length results.
    static XQuaternion Slerp(const XQuaternion& inFrom, const XQuaternion& inTo, double inT);

    friend XQuaternion operator*(const XQuaternion& a, const XQuaternion& b);
    friend bool operator==(const XQuaternion& a, const XQuaternion& b)
    {
        return a.itsX == b.itsX && a.itsY == b.itsY && a.itsZ == b.itsZ && a.itsW == b.itsW;
    }
    // Whether both name the same rotation (q and -q do) within inTolerance per component.
    bool IsSameRotation(const XQuaternion& inOther, double inTolerance = 1e-9) const;

private:
    // Row-major 3 x 3 column-vector rotation.
    static XQuaternion FromRotation(const double inM[3][3]);

    double itsX = 0.0;
    double itsY = 0.0;
    double itsZ = 0.0;
    double itsW = 1.0;
};
