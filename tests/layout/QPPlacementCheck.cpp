#include "layout/QPPlacementCheck.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace vt::test {

namespace {

std::vector<TTreeDrawNode*> PreOrder(TTreeDrawNode* ARoot) {
  std::vector<TTreeDrawNode*> order;
  std::vector<TTreeDrawNode*> stack;
  if (ARoot) stack.push_back(ARoot);
  while (!stack.empty()) {
    TTreeDrawNode* node = stack.back();
    stack.pop_back();
    order.push_back(node);
    std::size_t first = stack.size();
    for (TTreeDrawNode* c = node->FirstChild(); c; c = c->NextChild()) stack.push_back(c);
    std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(first), stack.end());
  }
  return order;
}

bool IsTerminalPair(const TTreeDrawNode* ALeft, const TTreeDrawNode* ARight) {
  return ALeft->IsTerminal() && ARight->IsTerminal() && ALeft->Parent() == ARight->Parent();
}

// Clear space between a node and its right neighbour.
double Clear(const TTreeDrawNode* ALeft, const TTreeDrawNode* ARight) {
  return (ARight->XPos() - ARight->Before()) - (ALeft->XPos() + ALeft->After());
}

TTreeDrawNode* RandomBox(std::mt19937& ARandom, TSizes ASizes) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  switch (ASizes) {
    case TSizes::Bare:
      return new TSizedNode(0.5, 0.5, 0.5, 0.5);
    case TSizes::Picture: {
      const double w = 25 + 50 * unit(ARandom), h = 5 + 10 * unit(ARandom);
      return new TSizedNode(w, w, h, h);
    }
    case TSizes::Lopsided: {
      const double wide = 100 * unit(ARandom), narrow = 10 * unit(ARandom);
      const double high = 30 * unit(ARandom), low = 3 * unit(ARandom);
      return unit(ARandom) < 0.5 ? new TSizedNode(wide, narrow, high, low) : new TSizedNode(narrow, wide, low, high);
    }
    case TSizes::Wild:
      break;
  }
  auto side = [&] { return unit(ARandom) < 0.2 ? 0.0 : 300 * unit(ARandom) * unit(ARandom); };
  const double l = side(), r = side(), t = side(), b = side();
  return new TSizedNode(l, r, t, b);
}

}  // namespace

testing::AssertionResult IsOptimalPlacement(TTreeDrawer& ADrawer, double ATolerance,
                                            double AMultiplierTolerance) {
  const int levels = ADrawer.Levels();
  TTreeDrawNode* root = ADrawer.Root();
  if (!root) return testing::AssertionSuccess();
  const double origin = root->XPos();
  // Half the objective's gradient, taken by a node.
  auto gradient = [origin](const TTreeDrawNode* ANode) {
    const double x = ANode->XPos() - origin;
    double g = ANode->Parent() ? x - (ANode->Parent()->XPos() - origin) : 0.0;
    for (const TTreeDrawNode* c = ANode->FirstChild(); c; c = c->NextChild()) g += x - (c->XPos() - origin);
    return g;
  };
  const double separation = ADrawer.NodeSeparation();
  // The root's level holds the fixed root alone.
  for (int lev = 1; lev < levels; ++lev) {
    // The gradient's own size, and what rounding of the positions leaves in
    // it (each term a difference of two coordinates).
    double total = 0.0;
    double rounding = 0.0;
    for (TTreeDrawNode* node = ADrawer.LevelFirst(lev); node; node = node->RightNode()) {
      total += std::fabs(gradient(node));
      rounding += (node->ChildCount() + 1) * std::fabs(node->XPos() - origin);
    }
    const double allowance = AMultiplierTolerance * (1.0 + total) + 1e-12 * rounding;
    // Stationarity along the chain makes the multiplier of each constraint
    // the negated sum of the gradients to its left.
    double multiplier = 0.0;
    int position = 0;
    for (TTreeDrawNode* node = ADrawer.LevelFirst(lev); node; node = node->RightNode(), ++position) {
      multiplier -= gradient(node);
      TTreeDrawNode* right = node->RightNode();
      auto failure = [&](const char* AWhat) {
        return testing::AssertionFailure()
               << AWhat << " on level " << lev << " at position " << position << ": multiplier " << multiplier
               << ", clear space " << (right ? Clear(node, right) : 0.0) << ", allowance " << allowance;
      };
      if (!right) {
        if (std::fabs(multiplier) > allowance) return failure("unbalanced gradient");
        break;
      }
      const double slack = Clear(node, right) - separation;
      if (IsTerminalPair(node, right)) {
        if (std::fabs(slack) > ATolerance) return failure("terminal siblings not exactly separated");
      } else {
        if (slack < -ATolerance) return failure("neighbours too close");
        if (multiplier < -allowance) return failure("negative multiplier");
        if (slack > ATolerance && std::fabs(multiplier) > allowance)
          return failure("multiplier of a slack constraint");
      }
    }
  }
  return testing::AssertionSuccess();
}

double WorstViolation(TTreeDrawer& ADrawer) {
  const int levels = ADrawer.Levels();
  const double separation = ADrawer.NodeSeparation();
  double worst = 0.0;
  for (int lev = 0; lev < levels; ++lev)
    for (TTreeDrawNode* node = ADrawer.LevelFirst(lev); node; node = node->RightNode())
      if (TTreeDrawNode* right = node->RightNode()) {
        const double shortfall = separation - Clear(node, right);
        worst = std::max(worst, IsTerminalPair(node, right) ? std::fabs(shortfall) : shortfall);
      }
  return worst;
}

std::vector<double> RelativePositions(TTreeDrawer& ADrawer) {
  ADrawer.Levels();
  std::vector<double> x;
  if (!ADrawer.Root()) return x;
  const double origin = ADrawer.Root()->XPos();
  for (TTreeDrawNode* node : PreOrder(ADrawer.Root())) x.push_back(node->XPos() - origin);
  return x;
}

std::vector<double> DensePositions(TTreeDrawerQP& ADrawer) {
  ADrawer.Levels();
  std::vector<double> x;
  SolvePlacementQPDense(ADrawer.PlacementProblem(), x);
  return x;
}

TTreeDrawNode* GrowTree(TTreeDrawer& ADrawer, std::mt19937& ARandom, int ANodes, TShape AShape,
                        TSizes ASizes) {
  auto box = [&] { return RandomBox(ARandom, ASizes); };
  std::vector<TTreeDrawNode*> nodes{box()};
  ADrawer.SetRoot(nodes[0]);
  std::size_t spine = 0;
  for (int k = 1; k < ANodes; ++k) {
    const std::size_t size = nodes.size();
    std::size_t parent = 0;
    switch (AShape) {
      case TShape::Recent: {
        // Towards the last few nodes, so that the trees get deep as well as wide.
        const std::size_t from = size > 8 ? size - 8 : 0;
        parent = ARandom() % 3 == 0 ? ARandom() % size : from + ARandom() % (size - from);
        break;
      }
      case TShape::Uniform:
        parent = ARandom() % size;
        break;
      case TShape::Chains:
        parent = ARandom() % 10 < 7 ? size - 1 : ARandom() % size;
        break;
      case TShape::Bushy:
        parent = ARandom() % std::max<std::size_t>(1, size / 4);
        break;
      case TShape::Caterpillar:
        parent = spine;
        break;
    }
    nodes.push_back(nodes[parent]->AddChild(box()));
    if (AShape == TShape::Caterpillar && ARandom() % 3 == 0) spine = nodes.size() - 1;
  }
  return nodes[0];
}

TTreeDrawNode* GrowBalanced(TTreeDrawer& ADrawer, std::mt19937& ARandom, int AFanOut, int ADepth,
                            TSizes ASizes) {
  TTreeDrawNode* root = RandomBox(ARandom, ASizes);
  ADrawer.SetRoot(root);
  std::vector<TTreeDrawNode*> level{root};
  for (int d = 0; d < ADepth; ++d) {
    std::vector<TTreeDrawNode*> next;
    for (TTreeDrawNode* node : level)
      for (int k = 0; k < AFanOut; ++k) next.push_back(node->AddChild(RandomBox(ARandom, ASizes)));
    level.swap(next);
  }
  return root;
}

std::string ToString(TShape AShape) {
  switch (AShape) {
    case TShape::Recent:
      return "recent";
    case TShape::Uniform:
      return "uniform";
    case TShape::Chains:
      return "chains";
    case TShape::Bushy:
      return "bushy";
    case TShape::Caterpillar:
      return "caterpillar";
  }
  return "?";
}

std::string ToString(TSizes ASizes) {
  switch (ASizes) {
    case TSizes::Bare:
      return "bare";
    case TSizes::Picture:
      return "picture";
    case TSizes::Lopsided:
      return "lopsided";
    case TSizes::Wild:
      return "wild";
  }
  return "?";
}

}  // namespace vt::test
