#pragma once
// Raised when matrix operands do not fit an operation (sizes, squareness, singularity).
#include "XException.h"

class XMatrixException : public XException {
public:
    explicit XMatrixException(XString inDetail) : XException(kMatrixSize, std::move(inDetail)) {}

    static constexpr const char* kProductText = "matrixT::operator*: Inconsistent matrix size in multiplication!";
    static constexpr const char* kSumText = "matrixT::operator+: Inconsistent matrix size in addition!";
    static constexpr const char* kDifferenceText = "matrixT::operator-: Inconsistent matrix size in subtraction!";
    static constexpr const char* kNotSquareText = "matrixT::operator!: Inversion of a non-square matrix!";
    static constexpr const char* kSingularText = "matrixT::operator!: Inversion of a singular matrix!";
};
