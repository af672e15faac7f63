// Test helpers of the QP placement: the optimality conditions of a placed
// tree, seeded random trees of many shapes, and the dense solver's answer to
// compare with.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "SizedNode.h"
#include "layout/TreeDrawQP.h"

namespace vt::test {

// Whether the placed tree of ADrawer (placed by whatever method) is the
// optimum of the QP placement's program: every neighbour pair on a level
// keeps its clear space (exactly NodeSeparation for terminal siblings, at
// least that for the others) to within ATolerance pixels, and the gradient
// of the objective is balanced by multipliers of the constraints that are
// non-negative for inequalities and zero where a constraint has room
// (stationarity and complementarity), to within AMultiplierTolerance of the
// level's total absolute gradient plus 1e-12 of the coordinates it is made
// of (their rounding).
testing::AssertionResult IsOptimalPlacement(TTreeDrawer& ADrawer, double ATolerance = 1e-9,
                                            double AMultiplierTolerance = 1e-9);

// The largest shortfall of clear space between level neighbours (0 when
// every constraint holds).
double WorstViolation(TTreeDrawer& ADrawer);

// Each node's position relative to the root, in pre-order.
std::vector<double> RelativePositions(TTreeDrawer& ADrawer);

// The dense solver's coordinates of the drawer's program, in pre-order
// (root 0), for trees small enough for it.
std::vector<double> DensePositions(TTreeDrawerQP& ADrawer);

// Tree shapes of the random trees.
enum class TShape { Recent, Uniform, Chains, Bushy, Caterpillar };
// Node sizes: unit squares, picture-sized symmetric boxes, picture-sized
// boxes with unequal sides, and boxes from nothing to very wide.
enum class TSizes { Bare, Picture, Lopsided, Wild };

// A seeded random tree of ANodes nodes set as ADrawer's root.
TTreeDrawNode* GrowTree(TTreeDrawer& ADrawer, std::mt19937& ARandom, int ANodes, TShape AShape,
                        TSizes ASizes);
// A balanced tree of the given fan-out and depth.
TTreeDrawNode* GrowBalanced(TTreeDrawer& ADrawer, std::mt19937& ARandom, int AFanOut, int ADepth,
                            TSizes ASizes);

std::string ToString(TShape AShape);
std::string ToString(TSizes ASizes);

}  // namespace vt::test
