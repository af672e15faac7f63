// The quadratic program of the QP placement and its structured solver.
//
// Nodes are numbered 0 .. n - 1, node 0 being the root, whose coordinate is
// fixed at 0. The program is
//
//   minimise  sum over the nodes c but the root of (x[c] - x[Parent[c]])^2
//   subject to, for every node k with a level neighbour Right[k] >= 0,
//             x[Right[k]] - x[k] >= Gap[k]   (= Gap[k] when Equal[k]).
//
// The Right links form one chain per level, left to right; the root is alone
// on its level. The objective is strictly convex in the free coordinates and
// the constraints of a chain can always be met, so the optimum is unique.
#pragma once

#include <vector>

namespace vt {

struct TPlacementQP {
  std::vector<int> Parent;           // -1 for the root (node 0)
  std::vector<int> Right;            // the level neighbour to the right, or -1
  std::vector<double> Gap;           // least (or exact) distance to Right
  std::vector<unsigned char> Equal;  // the distance to Right is exactly Gap

  int Size() const { return static_cast<int>(Parent.size()); }
};

struct TPlacementOptions {
  // Most solves of the exchange phase before the primal active-set method
  // takes over (0: the primal method from the start); it also hands over
  // when the exchanges stop making progress.
  int ExchangeSolves = 200;
};

// What one solve did: the block systems factored in each phase.
struct TPlacementStats {
  int ExchangeSolves = 0;
  int ActiveSetSolves = 0;
  bool ExchangeConverged = false;
};

// The exact optimum of the program, X[k] the coordinate of node k (X[0] = 0).
//
// Constraints that hold with equality join their nodes into rigid blocks;
// for a given set of them the program becomes a sparse positive definite
// system over the blocks, and the multipliers of a block's constraints are
// prefix sums of the objective's gradient along it. The active set is found
// by exchange steps (drop the constraints whose multipliers are negative,
// add the violated ones, all at once), which usually settle in a few dozen
// solves even on 100,000 nodes; should they not, a primal active-set method
// finishes from a feasible point made of the last solution, which
// terminates.
void SolvePlacementQP(const TPlacementQP& AProblem, std::vector<double>& X,
                      const TPlacementOptions& AOptions = {}, TPlacementStats* AStats = nullptr);

// The same program handed to the general dense solver SolveQP (DualQP.h),
// with every node but the root a variable in the numbering given: O(n^2)
// memory and O(n^3) time. Should SolveQP stop without a feasible point, its
// last point is returned.
void SolvePlacementQPDense(const TPlacementQP& AProblem, std::vector<double>& X);

}  // namespace vt
