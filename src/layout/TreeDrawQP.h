// The drawer class that offers the QP method: the in-level placement posed as
// a convex quadratic program and solved exactly by the structured solver of
// QPPlacement.h (the program is the one SolveQP of DualQP.h would be given).
#pragma once

#include "layout/DualQP.h"
#include "layout/QPPlacement.h"
#include "layout/TreeDraw.h"

namespace vt {

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
  // nodes in pre-order (the root -1, then 0, 1, ...) in their FIdx, solves
  // with SolvePlacementQP (QPPlacement.h), and moves the result so that the
  // leftmost box edge is at 0. An EQPError of the solver passes out with no
  // position written.
  virtual void PlaceQP();
  // PlaceQP's first step on the current level chains: numbers the nodes and
  // poses their program, node k of it being the node with FIdx k - 1. Public
  // so that the same program can be handed to other solvers.
  TPlacementQP PlacementProblem();
};

}  // namespace vt
