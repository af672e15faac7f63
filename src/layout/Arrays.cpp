#include "layout/Arrays.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace vt {

namespace {

std::size_t Count(int n) {
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

}  // namespace

void InitIntArray(int ALength, std::int32_t AValue, TIntArray& A) {
  A.assign(Count(ALength), AValue);
}

void InitFloatArray(int ALength, TFloatArray& A, double AValue) {
  A.assign(Count(ALength), AValue);
}

void AddToFloatArray(TFloatArray& A, double AValue) {
  for (double& v : A) v += AValue;
}

void InitMatrix(int ARows, int ACols, TQPMatrix& M) {
  M.assign(Count(ARows), TFloatArray(Count(ACols), 0.0));
}

void ClearMatrix(TQPMatrix& M) {
  for (TFloatArray& row : M) std::fill(row.begin(), row.end(), 0.0);
}

int MatrixColumns(const TQPMatrix& M) {
  if (M.empty()) return 0;
  std::size_t cols = M.front().size();
  for (const TFloatArray& row : M) cols = std::min(cols, row.size());
  return static_cast<int>(cols);
}

void CheckMatrixDim(const TQPMatrix& M, int ARows, int ACols, std::string_view AName) {
  const int rows = static_cast<int>(M.size());
  const int cols = MatrixColumns(M);
  if (rows != ARows || cols != ACols)
    throw EQPError(Fmt(SQPInvalidDimension, AName, rows, cols, ARows, ACols));
}

double DotProduct(const TFloatArray& A, const TFloatArray& B) {
  const std::size_t n = std::min(A.size(), B.size());
  double sum = 0.0;
  for (std::size_t i = 0; i < n; ++i) sum += A[i] * B[i];
  return sum;
}

double Distance(double A, double B) {
  const double a = std::fabs(A);
  const double b = std::fabs(B);
  if (a > b) {
    const double q = b / a;
    return a * std::sqrt(1.0 + q * q);
  }
  if (b > a) {
    const double q = a / b;
    return b * std::sqrt(1.0 + q * q);
  }
  return a * std::sqrt(2.0);
}

}  // namespace vt
