// The drawer class that offers the QP method: the in-level placement posed as
// a convex quadratic program and solved by SolveQP (DualQP.h).
#pragma once

#include <string_view>

#include "layout/DualQP.h"
#include "layout/TreeDraw.h"

namespace vt {

// The dense solver needs memory in the square of the node count and time in
// its cube; beyond this many nodes (with at least one constraint) PlaceQP
// refuses instead of exhausting the machine.
inline constexpr int QPMaxNodes = 5000;
inline constexpr std::string_view SQPTooManyNodes = "Too many nodes for the QP placement: %d (at most %d)";

// Every node but the root has its in-level coordinate as a variable; the
// objective is the sum of the squared in-level distances between each node
// and its parent (the root fixed at 0); neighbours on a level keep at least
// NodeSeparation of clear space between them, neighbouring terminal siblings
// exactly NodeSeparation.
class TTreeDrawerQP : public TTreeDrawer {
 public:
  // Bottom-up with AlignTerminals; else PlaceQP for dmQP; else the inherited
  // choice.
  void PlaceNodes() override;
  // Quadratic-programming in-level placement (virtual slot 7). Numbers the
  // nodes in pre-order (the root -1, then 0, 1, ...) in their FIdx, solves,
  // and moves the result so that the leftmost box edge is at 0. An EQPError
  // of the solver passes out with no position written.
  virtual void PlaceQP();
};

}  // namespace vt
