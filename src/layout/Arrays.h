// Vectors and dense matrices of the quadratic-programming solver, with the
// few routines the solver and the QP placement need on them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "foundation/Base.h"

namespace vt {

using TIntArray = std::vector<std::int32_t>;
using TFloatArray = std::vector<double>;
// Rows of columns: element [i][j] is row i, column j.
using TQPMatrix = std::vector<TFloatArray>;

// The solver's error. It is declared with the matrix routines because the
// dimension check, which the solver runs on its inputs, raises it too.
class EQPError : public Exception {
 public:
  using Exception::Exception;
};

inline constexpr std::string_view SQPInvalidDimension =
    "Invalid dimension of matrix \"%s\": [%d,%d] (expected [%d,%d])";

// Sets A to ALength elements (none when ALength is negative), all AValue.
void InitIntArray(int ALength, std::int32_t AValue, TIntArray& A);
void InitFloatArray(int ALength, TFloatArray& A, double AValue);
// Adds AValue to every element of A.
void AddToFloatArray(TFloatArray& A, double AValue);

// Gives M ARows rows of ACols columns, every element 0 (negative counts
// count as 0).
void InitMatrix(int ARows, int ACols, TQPMatrix& M);
// Sets every element of M to 0, keeping its shape.
void ClearMatrix(TQPMatrix& M);
// The length of M's shortest row; 0 for a matrix without rows.
int MatrixColumns(const TQPMatrix& M);
// Raises EQPError naming AName unless M has ARows rows and its shortest row
// has ACols columns.
void CheckMatrixDim(const TQPMatrix& M, int ARows, int ACols, std::string_view AName);

// Sum of A[i] * B[i] over the length of the shorter vector.
double DotProduct(const TFloatArray& A, const TFloatArray& B);
// sqrt(a^2 + b^2) without overflow or underflow in the squares.
double Distance(double A, double B);

}  // namespace vt
