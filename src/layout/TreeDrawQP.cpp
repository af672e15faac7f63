#include "layout/TreeDrawQP.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace vt {

namespace {

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
// neighbour's number. Node k of the program is the k-th node in pre-order.
TPlacementQP PoseProblem(TTreeDrawNode* ARoot, double ASeparation, int& (*AIdx)(TTreeDrawNode*)) {
  TPlacementQP p;
  std::size_t count = 0;
  for (TTreeDrawNode* node = ARoot; node; node = NextInPreOrder(node, ARoot)) ++count;
  p.Parent.reserve(count);
  int counter = -1;
  for (TTreeDrawNode* node = ARoot; node; node = NextInPreOrder(node, ARoot)) {
    AIdx(node) = counter++;
    p.Parent.push_back(node == ARoot ? -1 : AIdx(node->Parent()) + 1);
  }
  p.Right.assign(count, -1);
  p.Gap.assign(count, 0.0);
  p.Equal.assign(count, 0);
  std::size_t k = 0;
  for (TTreeDrawNode* node = ARoot; node; node = NextInPreOrder(node, ARoot), ++k) {
    TTreeDrawNode* right = node->RightNode();
    if (!right) continue;
    p.Right[k] = AIdx(right) + 1;
    p.Gap[k] = node->After() + ASeparation + right->Before();
    p.Equal[k] = IsTerminalPair(node);
  }
  return p;
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
  return FRoot ? PoseProblem(FRoot, FNodeSeparation, NodeIdx) : TPlacementQP{};
}

// The program is held only while it is solved; the extents are asked for
// again afterwards (nodes keep their measurements), which keeps a large
// tree's scratch small.
void TTreeDrawerQP::PlaceQP() {
  if (!FRoot) return;

  // 1. Number the variables in pre-order and pose the program.
  std::vector<double> x;
  {
    const TPlacementQP problem = PoseProblem(FRoot, FNodeSeparation, NodeIdx);
    // 2. Solve; x[k] is the coordinate of the k-th node in pre-order, the
    // root's 0.
    SolvePlacementQP(problem, x);
  }

  // 3. MeasureSolution: the extent of all boxes, the root at 0.
  double lo = 0.0;
  double hi = 0.0;
  std::size_t k = 0;
  for (TTreeDrawNode* node = FRoot; node; node = NextInPreOrder(node, FRoot), ++k) {
    lo = std::min(lo, x[k] - node->Before());
    hi = std::max(hi, x[k] + node->After());
  }

  // 4. StoreSolution: everything moved right so that the leftmost edge is
  // at 0.
  FWidth = hi - lo;
  k = 0;
  for (TTreeDrawNode* node = FRoot; node; node = NextInPreOrder(node, FRoot), ++k) NodeXPos(node) = x[k] - lo;
}

}  // namespace vt
