#include "foundation/Base.h"

#include <gtest/gtest.h>

namespace vt {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double in;
    int out;
  };
  for (auto c : {Case{2.5, 2}, Case{3.5, 4}, Case{-2.5, -2}, Case{-3.5, -4}, Case{0.5, 0}, Case{1.5, 2},
                 Case{2.4999, 2}, Case{2.5001, 3}, Case{-0.4, 0}, Case{10.0, 10}, Case{1e20, 2147483647},
                 Case{-1e20, -2147483647 - 1}})
    EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(Format, PlaceholdersTakeArgumentsInOrder) {
  EXPECT_EQ(Fmt("List index out of bounds (%d)", 5), "List index out of bounds (5)");
  EXPECT_EQ(Fmt("Error reading XML around line %d: %s", 12, "bad"), "Error reading XML around line 12: bad");
  EXPECT_EQ(Fmt("%9.2g|%.2d|%9d|%10d", 1.5, 7, 42, -3), "      1.5|07|       42|        -3");
  EXPECT_EQ(Fmt("100%% of %s", std::string("x")), "100% of x");
  EXPECT_EQ(Fmt("missing %s and %d"), "missing %s and %d");
}

class TSample : public TObject {};
namespace inner {
class TNested : public TObject {};
}  // namespace inner

TEST(RunTimeClassName, DropsTheNamespaces) {
  TSample S;
  inner::TNested N;
  TObject O;
  const TObject& AsBase = N;
  EXPECT_EQ(RunTimeClassName(S), "TSample");
  EXPECT_EQ(RunTimeClassName(AsBase), "TNested");
  EXPECT_EQ(RunTimeClassName(O), "TObject");
}

}  // namespace
}  // namespace vt
