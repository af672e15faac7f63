#include "layout/Arrays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace vt {
namespace {

std::string DimensionError(const TQPMatrix& M, int ARows, int ACols, const char* AName) {
  try {
    CheckMatrixDim(M, ARows, ACols, AName);
  } catch (const EQPError& e) {
    return e.what();
  }
  return "<no error>";
}

TEST(Arrays, InitialisersSetLengthAndValue) {
  TIntArray ints{9, 9, 9, 9, 9};
  InitIntArray(3, 7, ints);
  EXPECT_EQ(ints, (TIntArray{7, 7, 7}));
  InitIntArray(-2, 7, ints);
  EXPECT_TRUE(ints.empty());

  TFloatArray floats{1.0};
  InitFloatArray(2, floats, 0.5);
  EXPECT_EQ(floats, (TFloatArray{0.5, 0.5}));
  AddToFloatArray(floats, 1.25);
  EXPECT_EQ(floats, (TFloatArray{1.75, 1.75}));
  InitFloatArray(-1, floats, 3.0);
  EXPECT_TRUE(floats.empty());
}

TEST(Arrays, MatricesAreRowsOfZeros) {
  TQPMatrix m{{5.0}};
  InitMatrix(2, 3, m);
  EXPECT_EQ(m, (TQPMatrix{{0, 0, 0}, {0, 0, 0}}));
  m[1][2] = 4.0;
  ClearMatrix(m);
  EXPECT_EQ(m, (TQPMatrix{{0, 0, 0}, {0, 0, 0}}));
  InitMatrix(3, -1, m);
  EXPECT_EQ(m, (TQPMatrix{{}, {}, {}}));
}

TEST(Arrays, MatrixColumnsIsTheShortestRow) {
  EXPECT_EQ(MatrixColumns(TQPMatrix{}), 0);
  EXPECT_EQ(MatrixColumns(TQPMatrix{{1, 2, 3}, {1, 2}, {1, 2, 3, 4}}), 2);
  EXPECT_EQ(MatrixColumns(TQPMatrix{{}, {1}}), 0);
}

TEST(Arrays, CheckMatrixDimReportsRowsAndShortestRow) {
  const TQPMatrix ragged{{1, 2}, {1}};
  EXPECT_EQ(DimensionError(ragged, 2, 1, "CI"), "<no error>");
  EXPECT_EQ(DimensionError(ragged, 2, 2, "CI"), "Invalid dimension of matrix \"CI\": [2,1] (expected [2,2])");
  EXPECT_EQ(DimensionError(TQPMatrix{}, 3, 0, "CE"),
            "Invalid dimension of matrix \"CE\": [0,0] (expected [3,0])");
  EXPECT_EQ(DimensionError(TQPMatrix{{1, 2}, {3, 4}, {5, 6}}, 2, 2, "G"),
            "Invalid dimension of matrix \"G\": [3,2] (expected [2,2])");
}

TEST(Arrays, DotProductStopsAtTheShorterVector) {
  EXPECT_EQ(DotProduct({1, 2, 3}, {4, 5}), 14.0);
  EXPECT_EQ(DotProduct({}, {4, 5}), 0.0);
}

TEST(Arrays, DistanceIsTheHypotenuseWithoutOverflow) {
  struct Case {
    double a, b, expected;
  };
  for (const Case& c : {Case{3, 4, 5}, Case{-3, 4, 5}, Case{4, -3, 5}, Case{0, 0, 0}, Case{0, -2, 2},
                        Case{2, 2, 2 * std::sqrt(2.0)}, Case{1e200, 1e200, 1e200 * std::sqrt(2.0)},
                        Case{3e-200, 4e-200, 5e-200}})
    EXPECT_DOUBLE_EQ(Distance(c.a, c.b), c.expected) << c.a << ", " << c.b;
}

}  // namespace
}  // namespace vt
