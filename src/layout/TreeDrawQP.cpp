#include "layout/TreeDrawQP.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace vt {

namespace {

// Scratch of one PlaceQP run: the nodes in pre-order (so that node k has
// variable k - 1) with their extents, asked for once each, and the number of
// constraints of each kind.
struct TQPRun {
  std::vector<TTreeDrawNode*> nodes;
  std::vector<double> before;
  std::vector<double> after;
  int equalities = 0;
  int inequalities = 0;
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

}  // namespace

void TTreeDrawerQP::PlaceNodes() {
  if (FAlignTerminals)
    PlaceBottomUp();
  else if (FDrawMethod == dmQP)
    PlaceQP();
  else
    TTreeDrawer::PlaceNodes();
}

void TTreeDrawerQP::PlaceQP() {
  if (!FRoot) return;

  // 1. Number the variables in pre-order and count the constraints.
  TQPRun run;
  int counter = -1;
  for (TTreeDrawNode* node = FRoot; node; node = NextInPreOrder(node, FRoot)) {
    NodeIdx(node) = counter++;
    run.nodes.push_back(node);
    run.before.push_back(node->Before());
    run.after.push_back(node->After());
    if (node->RightNode()) ++(IsTerminalPair(node) ? run.equalities : run.inequalities);
  }
  const int n = counter;

  // 2. Solve. Without constraints the minimum is where every node sits on
  // its parent's line, x = 0 (g0 is 0), which is also what the solver would
  // give; a chain of any length is placed without building its n x n matrix.
  TFloatArray x;
  if (n > 0 && run.equalities + run.inequalities == 0) {
    InitFloatArray(n, x, 0.0);
  } else if (n > 0) {
    if (n + 1 > QPMaxNodes) throw EQPError(Fmt(SQPTooManyNodes, n + 1, QPMaxNodes));
    TQPMatrix G, CE, CI;
    TFloatArray g0, ce0, ci0;
    InitMatrix(n, n, G);
    InitMatrix(n, run.equalities, CE);
    InitMatrix(n, run.inequalities, CI);
    InitFloatArray(n, g0, 0.0);
    InitFloatArray(run.equalities, ce0, 0.0);
    InitFloatArray(run.inequalities, ci0, 0.0);

    // SetUpProblem, in pre-order with running column numbers.
    std::size_t ce = 0;
    std::size_t ci = 0;
    for (std::size_t k = 0; k < run.nodes.size(); ++k) {
      TTreeDrawNode* node = run.nodes[k];
      const int i = NodeIdx(node);
      if (i >= 0) {
        G[i][i] = 2.0 * (node->ChildCount() + 1);
        const int pi = NodeIdx(node->Parent());
        if (pi >= 0) G[i][pi] = G[pi][i] = -2.0;
      }
      TTreeDrawNode* right = node->RightNode();
      if (!right) continue;
      const int ri = NodeIdx(right);
      const double gap = run.after[k] + FNodeSeparation + run.before[static_cast<std::size_t>(ri + 1)];
      TQPMatrix& C = IsTerminalPair(node) ? CE : CI;
      TFloatArray& c0 = IsTerminalPair(node) ? ce0 : ci0;
      std::size_t& column = IsTerminalPair(node) ? ce : ci;
      C[i][column] = -1.0;
      C[ri][column] = 1.0;
      c0[column] = -gap;
      ++column;
    }

    double f = 0.0;
    TFloatArray u;
    TIntArray A;
    int iq = 0;
    // An infeasible stop cannot happen for a tree (each level can be spread
    // on its own); should it, the last point is used all the same.
    SolveQP(G, CI, CE, g0, ci0, ce0, f, x, u, A, iq);
  }

  // 3. MeasureSolution: the extent of all boxes, the root at 0.
  double lo = 0.0;
  double hi = 0.0;
  for (std::size_t k = 0; k < run.nodes.size(); ++k) {
    const double p = k == 0 ? 0.0 : x[k - 1];
    lo = std::min(lo, p - run.before[k]);
    hi = std::max(hi, p + run.after[k]);
  }

  // 4. Move everything right so that the leftmost edge is at 0, and store.
  NodeXPos(FRoot) = -lo;
  AddToFloatArray(x, -lo);
  FWidth = hi - lo;
  for (std::size_t k = 1; k < run.nodes.size(); ++k) NodeXPos(run.nodes[k]) = x[k - 1];
}

}  // namespace vt
