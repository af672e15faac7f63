#include "layout/TreeDrawQP.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace vt {

namespace {

// Scratch of one PlaceQP run: the nodes in pre-order (so that node k has
// variable k - 1) with their extents, asked for once each, and the program.
struct TQPRun {
  std::vector<TTreeDrawNode*> nodes;
  std::vector<double> before;
  std::vector<double> after;
  TPlacementQP problem;
};

// The next node in pre-order within ARoot's subtree, without recursion.
TTreeDrawNode* NextInPreOrder(TTreeDrawNode* ANode, const TTreeDrawNode* ARoot) {
  if (ANode->FirstChild()) return ANode->FirstChild();
  while (ANode != ARoot) {
    if (ANode->NextChild()) return ANode->NextChild();
    ANode = ANode->Parent();
  }
  return nullptr;
}

// Two neighbouring terminal siblings, which are packed exactly.
bool IsTerminalPair(const TTreeDrawNode* ANode) {
  const TTreeDrawNode* next = ANode->NextChild();
  return ANode->IsTerminal() && next && next->IsTerminal();
}

// NumberVariables and SetUpProblem: the numbers (AIdx gives a node's FIdx)
// in one pre-order pass, then the constraints, whose gaps need the right
// neighbour's extent.
void PoseProblem(TTreeDrawNode* ARoot, double ASeparation, TQPRun& ARun,
                 int& (*AIdx)(TTreeDrawNode*)) {
  TPlacementQP& p = ARun.problem;
  std::size_t count = 0;
  for (TTreeDrawNode* node = ARoot; node; node = NextInPreOrder(node, ARoot)) ++count;
  ARun.nodes.reserve(count);
  ARun.before.reserve(count);
  ARun.after.reserve(count);
  p.Parent.reserve(count);
  int counter = -1;
  for (TTreeDrawNode* node = ARoot; node; node = NextInPreOrder(node, ARoot)) {
    AIdx(node) = counter++;
    ARun.nodes.push_back(node);
    ARun.before.push_back(node->Before());
    ARun.after.push_back(node->After());
    p.Parent.push_back(node == ARoot ? -1 : AIdx(node->Parent()) + 1);
  }
  const std::size_t size = ARun.nodes.size();
  p.Right.assign(size, -1);
  p.Gap.assign(size, 0.0);
  p.Equal.assign(size, 0);
  for (std::size_t k = 0; k < size; ++k) {
    TTreeDrawNode* node = ARun.nodes[k];
    TTreeDrawNode* right = node->RightNode();
    if (!right) continue;
    const int r = AIdx(right) + 1;
    p.Right[k] = r;
    p.Gap[k] = ARun.after[k] + ASeparation + ARun.before[static_cast<std::size_t>(r)];
    p.Equal[k] = IsTerminalPair(node);
  }
}

}  // namespace

void TTreeDrawerQP::PlaceNodes() {
  if (FAlignTerminals)
    PlaceBottomUp();
  else if (FDrawMethod == dmQP)
    PlaceQP();
  else
    TTreeDrawer::PlaceNodes();
}

TPlacementQP TTreeDrawerQP::PlacementProblem() {
  TQPRun run;
  if (FRoot) PoseProblem(FRoot, FNodeSeparation, run, NodeIdx);
  return std::move(run.problem);
}

void TTreeDrawerQP::PlaceQP() {
  if (!FRoot) return;

  // 1. Number the variables in pre-order and pose the program.
  TQPRun run;
  PoseProblem(FRoot, FNodeSeparation, run, NodeIdx);

  // 2. Solve; x[k] is node k's coordinate, the root's 0.
  std::vector<double> x;
  SolvePlacementQP(run.problem, x);
  run.problem = {};

  // 3. MeasureSolution: the extent of all boxes, the root at 0.
  double lo = 0.0;
  double hi = 0.0;
  for (std::size_t k = 0; k < run.nodes.size(); ++k) {
    lo = std::min(lo, x[k] - run.before[k]);
    hi = std::max(hi, x[k] + run.after[k]);
  }

  // 4. StoreSolution: everything moved right so that the leftmost edge is
  // at 0.
  FWidth = hi - lo;
  for (std::size_t k = 0; k < run.nodes.size(); ++k) NodeXPos(run.nodes[k]) = x[k] - lo;
}

}  // namespace vt
