// A layout node with its own extents on the four sides of its reference
// point, for the placement tests.
#pragma once

#include "layout/TreeDraw.h"

namespace vt::test {

class TSizedNode : public TTreeDrawNode {
 public:
  TSizedNode(double left = 0.5, double right = 0.5, double top = 0.5, double bottom = 0.5)
      : FLeft(left), FRight(right), FTop(top), FBottom(bottom) {}
  double LeftWidth() const override { return FLeft; }
  double RightWidth() const override { return FRight; }
  double TopHeight() const override { return FTop; }
  double BottomHeight() const override { return FBottom; }

 private:
  double FLeft, FRight, FTop, FBottom;
};

}  // namespace vt::test
