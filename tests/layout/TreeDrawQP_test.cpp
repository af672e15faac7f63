#include "layout/TreeDrawQP.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "layout/QPPlacementCheck.h"

namespace vt {
namespace {

// A named node with given extents in the picture's directions.
class TBox : public TTreeDrawNode {
 public:
  explicit TBox(std::string AName, double ALeft = 0.5, double ARight = 0.5, double ATop = 0.5,
                double ABottom = 0.5)
      : FName(std::move(AName)), FLeft(ALeft), FRight(ARight), FTop(ATop), FBottom(ABottom) {}
  std::string Text() const override { return FName; }
  double LeftWidth() const override { return FLeft; }
  double RightWidth() const override { return FRight; }
  double TopHeight() const override { return FTop; }
  double BottomHeight() const override { return FBottom; }

 private:
  std::string FName;
  double FLeft, FRight, FTop, FBottom;
};

// Counts the solver's calls through its trace, which every solve begins
// with "Unconstrained solution".
class SolverCalls {
 public:
  SolverCalls() {
    QPTrace = [this](const std::string& ALine) { FCount += ALine == "Unconstrained solution"; };
  }
  ~SolverCalls() { QPTrace = nullptr; }
  int Count() const { return FCount; }

 private:
  int FCount = 0;
};

// Builds bare nodes from a compact notation: "r(A(a1 a2) B(b1))".
class TTreeText {
 public:
  explicit TTreeText(const std::string& AText) : FText(AText) {}

  TTreeDrawNode* Build(TTreeDrawer& ADrawer) {
    FPos = 0;
    auto* root = new TBox(Name());
    ADrawer.SetRoot(root);
    Children(root);
    return root;
  }

 private:
  std::string FText;
  std::size_t FPos = 0;

  void Skip() {
    while (FPos < FText.size() && FText[FPos] == ' ') ++FPos;
  }
  std::string Name() {
    Skip();
    const std::size_t start = FPos;
    while (FPos < FText.size() && std::string("() ").find(FText[FPos]) == std::string::npos) ++FPos;
    return FText.substr(start, FPos - start);
  }
  void Children(TTreeDrawNode* ANode) {
    Skip();
    if (FPos >= FText.size() || FText[FPos] != '(') return;
    ++FPos;
    for (Skip(); FPos < FText.size() && FText[FPos] != ')'; Skip()) {
      TTreeDrawNode* child = ANode->AddChild(new TBox(Name()));
      Children(child);
    }
    ++FPos;
  }
};

void CollectPositions(TTreeDrawNode* ANode, std::map<std::string, double>& APositions) {
  APositions[ANode->Text()] = ANode->XPos();
  for (TTreeDrawNode* c = ANode->FirstChild(); c; c = c->NextChild()) CollectPositions(c, APositions);
}

std::map<std::string, double> Positions(TTreeDrawer& ADrawer) {
  std::map<std::string, double> positions;
  if (ADrawer.Root()) CollectPositions(ADrawer.Root(), positions);
  return positions;
}

void ExpectPositions(const std::map<std::string, double>& AActual,
                     const std::map<std::string, double>& AExpected) {
  ASSERT_EQ(AActual.size(), AExpected.size());
  for (const auto& [name, x] : AExpected) {
    ASSERT_EQ(AActual.count(name), 1u) << name;
    EXPECT_NEAR(AActual.at(name), x, 1e-9) << name;
  }
}

void UseQP(TTreeDrawer& ADrawer) {
  ADrawer.SetDrawMethod(dmQP);
  ADrawer.SetNodeSeparation(20);
  ADrawer.SetLevelSeparation(60);
}

struct TGolden {
  const char* tree;
  std::map<std::string, double> positions;
  double width;
};

TEST(PlaceQP, GoldenTreesOfBareNodes) {
  const TGolden cases[] = {
      {"r", {{"r", 0.5}}, 1},
      {"r(a)", {{"r", 0.5}, {"a", 0.5}}, 1},
      {"r(a b c)", {{"r", 21.5}, {"a", 0.5}, {"b", 21.5}, {"c", 42.5}}, 43},
      // A is pulled right of its children's midpoint (11) by its own parent.
      {"r(A(a1 a2) B(b1))",
       {{"r", 25}, {"A", 14.5}, {"a1", 0.5}, {"a2", 21.5}, {"B", 35.5}, {"b1", 42.5}},
       43},
  };
  for (const TGolden& c : cases) {
    SCOPED_TRACE(c.tree);
    TTreeDrawerQP drawer;
    UseQP(drawer);
    TTreeText(c.tree).Build(drawer);
    ExpectPositions(Positions(drawer), c.positions);
    EXPECT_NEAR(drawer.Width(), c.width, 1e-9);
    EXPECT_TRUE(test::IsOptimalPlacement(drawer));
    const std::vector<double> placed = test::RelativePositions(drawer);
    const std::vector<double> dense = test::DensePositions(drawer);
    ASSERT_EQ(placed.size(), dense.size());
    for (std::size_t k = 0; k < placed.size(); ++k) EXPECT_NEAR(placed[k], dense[k], 1e-6) << k;
  }
}

TEST(PlaceQP, DrawerWithoutRootPlacesNothing) {
  TTreeDrawerQP drawer;
  UseQP(drawer);
  drawer.Place();
  EXPECT_EQ(drawer.Width(), 0);
  EXPECT_EQ(drawer.Levels(), 0);
}

TEST(PlaceQP, NumbersTheVariablesInPreOrder) {
  TTreeDrawerQP drawer;
  UseQP(drawer);
  TTreeDrawNode* root = TTreeText("r(A(a1 a2) B(b1))").Build(drawer);
  drawer.Width();
  std::vector<int> numbers;
  for (TTreeDrawNode* a = root->FirstChild(); a; a = a->NextChild()) {
    numbers.push_back(a->Idx());
    for (TTreeDrawNode* b = a->FirstChild(); b; b = b->NextChild()) numbers.push_back(b->Idx());
  }
  EXPECT_EQ(root->Idx(), -1);
  EXPECT_EQ(numbers, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(PlaceQP, SingleNodeNeedsNoSolver) {
  SolverCalls calls;
  TTreeDrawerQP drawer;
  UseQP(drawer);
  TTreeText("r").Build(drawer);
  EXPECT_EQ(drawer.Root()->XPos(), 0.5);
  EXPECT_EQ(drawer.Width(), 1);
  EXPECT_EQ(calls.Count(), 0);
}

// Extents enter through the layout frame: in oLeftRight the in-level extents
// are the heights (Before = BottomHeight, After = TopHeight).
TEST(PlaceQP, GapsComeFromTheExtentsInTheLayoutFrame) {
  struct Case {
    TTreeOrientation orientation;
    double first, second, root, width;
  };
  for (const Case& c : {Case{oTopDown, 10, 60, 35, 80}, Case{oLeftRight, 4, 31, 17.5, 34}}) {
    SCOPED_TRACE(TreeOrientationToString(c.orientation));
    TTreeDrawerQP drawer;
    UseQP(drawer);
    drawer.SetOrientation(c.orientation);
    auto* root = new TBox("r");
    drawer.SetRoot(root);
    // Left 10, right 20, top 3, bottom 4.
    TTreeDrawNode* first = root->AddChild(new TBox("a", 10, 20, 3, 4));
    TTreeDrawNode* second = root->AddChild(new TBox("b", 10, 20, 3, 4));
    EXPECT_NEAR(first->XPos(), c.first, 1e-9);
    EXPECT_NEAR(second->XPos(), c.second, 1e-9);
    EXPECT_NEAR(root->XPos(), c.root, 1e-9);
    EXPECT_NEAR(drawer.Width(), c.width, 1e-9);
  }
}

TEST(PlaceNodes, AlignTerminalsPlacesBottomUpWithoutTheSolver) {
  const char* tree = "r(A(a1 a2) b C(c1(x y)))";
  TTreeDrawer reference;
  UseQP(reference);
  reference.SetDrawMethod(dmBottomUp);
  reference.SetAlignTerminals(true);
  TTreeText(tree).Build(reference);

  SolverCalls calls;
  TTreeDrawerQP drawer;
  UseQP(drawer);
  drawer.SetAlignTerminals(true);
  TTreeText(tree).Build(drawer);
  EXPECT_EQ(Positions(drawer), Positions(reference));
  EXPECT_EQ(drawer.Width(), reference.Width());
  EXPECT_EQ(calls.Count(), 0);
}

TEST(PlaceNodes, OtherMethodsAreTheInheritedOnes) {
  const char* tree = "r(A(a1 a2) B(b1) C(c1(x y)))";
  for (TTreeDrawMethod method : {dmBottomUp, dmWalker}) {
    SCOPED_TRACE(TreeDrawMethodToString(method));
    TTreeDrawer reference;
    UseQP(reference);
    reference.SetDrawMethod(method);
    TTreeText(tree).Build(reference);
    SolverCalls calls;
    TTreeDrawerQP drawer;
    UseQP(drawer);
    drawer.SetDrawMethod(method);
    TTreeText(tree).Build(drawer);
    EXPECT_EQ(Positions(drawer), Positions(reference));
    EXPECT_EQ(calls.Count(), 0);
  }
}

// --- Seeded random trees of picture-sized nodes -----------------------------

// Boxes 50 to 150 wide and 10 to 30 high, lopsided unless ASymmetric.
TTreeDrawNode* RandomTree(TTreeDrawer& ADrawer, std::mt19937& ARandom, int ANodes, bool ASymmetric = false) {
  std::uniform_real_distribution<double> half(25, 75);
  std::uniform_real_distribution<double> halfHeight(5, 15);
  auto box = [&](int k) {
    const double left = half(ARandom);
    const double right = ASymmetric ? left : half(ARandom);
    const double top = halfHeight(ARandom);
    const double bottom = ASymmetric ? top : halfHeight(ARandom);
    return new TBox(std::to_string(k), left, right, top, bottom);
  };
  std::vector<TTreeDrawNode*> nodes{box(0)};
  ADrawer.SetRoot(nodes[0]);
  for (int k = 1; k < ANodes; ++k) {
    // Lean towards recent nodes so that the trees get deep as well as wide.
    const std::size_t from = nodes.size() > 8 ? nodes.size() - 8 : 0;
    const std::size_t parent =
        ARandom() % 3 == 0 ? ARandom() % nodes.size() : from + ARandom() % (nodes.size() - from);
    nodes.push_back(nodes[parent]->AddChild(box(k)));
  }
  return nodes[0];
}

// No two neighbours on a level closer than NodeSeparation, terminal siblings
// exactly NodeSeparation apart, and the boxes spanning exactly 0 to Width.
void ExpectSoundPlacement(TTreeDrawer& ADrawer) {
  const double separation = ADrawer.NodeSeparation();
  double lo = 1e300, hi = -1e300;
  for (int lev = 0; lev < ADrawer.Levels(); ++lev) {
    for (TTreeDrawNode* node = ADrawer.LevelFirst(lev); node; node = node->RightNode()) {
      lo = std::min(lo, node->XPos() - node->Before());
      hi = std::max(hi, node->XPos() + node->After());
      TTreeDrawNode* right = node->RightNode();
      if (!right) continue;
      const double clear = (right->XPos() - right->Before()) - (node->XPos() + node->After());
      if (node->IsTerminal() && right->IsTerminal() && right->Parent() == node->Parent())
        EXPECT_NEAR(clear, separation, 1e-9) << node->Text() << " | " << right->Text();
      else
        EXPECT_GE(clear, separation - 1e-9) << node->Text() << " | " << right->Text();
    }
  }
  EXPECT_NEAR(lo, 0, 1e-9);
  EXPECT_NEAR(hi, ADrawer.Width(), 1e-9);
}

TEST(PlaceQP, SeededRandomTreesArePlacedSoundlyAndTheSameEveryTime) {
  std::mt19937 random(1093);
  for (int round = 0; round < 25; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    TTreeDrawerQP drawer;
    UseQP(drawer);
    drawer.SetOrientation(static_cast<TTreeOrientation>(round % 4));
    RandomTree(drawer, random, 2 + static_cast<int>(random() % 120));
    ExpectSoundPlacement(drawer);
    const auto first = Positions(drawer);
    const double width = drawer.Width();
    // Another parameter value and back: placed twice more from scratch.
    drawer.SetNodeSeparation(35);
    drawer.Width();
    drawer.SetNodeSeparation(20);
    EXPECT_EQ(Positions(drawer), first);
    EXPECT_EQ(drawer.Width(), width);
    if (HasFailure()) break;
  }
}

// The objective, the sum of squared distances between parents and children,
// is convex and the constraints are linear, so the result is optimal exactly
// when no feasible placement lies in a descending direction: the gradient
// at the result times the step to any feasible placement is not negative.
// The bottom-up placement of the same tree is feasible when every box is
// symmetric (each parent then stays within its subtree's span).
void CollectNodes(TTreeDrawNode* ANode, std::vector<TTreeDrawNode*>& ANodes) {
  std::vector<TTreeDrawNode*> stack{ANode};
  while (!stack.empty()) {
    TTreeDrawNode* node = stack.back();
    stack.pop_back();
    ANodes.push_back(node);
    for (TTreeDrawNode* c = node->FirstChild(); c; c = c->NextChild()) stack.push_back(c);
  }
}

TEST(PlaceQP, NoFeasiblePlacementLiesDownhill) {
  std::mt19937 random(365);
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    const int count = 2 + static_cast<int>(random() % 150);
    std::mt19937 shape = random;
    TTreeDrawerQP qp;
    UseQP(qp);
    RandomTree(qp, random, count, true);
    TTreeDrawer bottomUp;
    UseQP(bottomUp);
    bottomUp.SetDrawMethod(dmBottomUp);
    RandomTree(bottomUp, shape, count, true);
    ExpectSoundPlacement(bottomUp);

    std::vector<TTreeDrawNode*> nodes, others;
    CollectNodes(qp.Root(), nodes);
    CollectNodes(bottomUp.Root(), others);
    ASSERT_EQ(nodes.size(), others.size());
    // Coordinates relative to the root, which the program keeps fixed.
    std::map<const TTreeDrawNode*, double> x, y;
    for (std::size_t k = 0; k < nodes.size(); ++k) {
      x[nodes[k]] = nodes[k]->XPos() - qp.Root()->XPos();
      y[nodes[k]] = others[k]->XPos() - bottomUp.Root()->XPos();
    }
    double slope = 0, scale = 0;
    for (TTreeDrawNode* node : nodes)
      if (TTreeDrawNode* parent = node->Parent()) {
        const double gradient = 2 * (x[node] - x[parent]);  // d/dx(node); minus that for the parent
        slope += gradient * ((y[node] - x[node]) - (y[parent] - x[parent]));
        scale += std::fabs(gradient) * (std::fabs(y[node] - x[node]) + std::fabs(y[parent] - x[parent]));
      }
    EXPECT_GE(slope, -1e-9 * std::max(1.0, scale));
    if (HasFailure()) break;
  }
}

// --- Large and deep trees ---------------------------------------------------

TEST(PlaceQP, LongChainIsPlacedWithoutRecursionOrDenseMatrices) {
  TTreeDrawerQP drawer;
  UseQP(drawer);
  TTreeDrawNode* node = new TBox("r");
  drawer.SetRoot(node);
  for (int k = 1; k < 100000; ++k) node = node->AddChild(new TBox("c"));
  EXPECT_EQ(drawer.Width(), 1);
  EXPECT_EQ(node->XPos(), 0.5);
  EXPECT_EQ(node->Idx(), 99998);
}

}  // namespace
}  // namespace vt
