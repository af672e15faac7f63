// The bottom-up and Walker placements at three levels: hand-computed cases,
// golden trees written as data, and invariants on seeded random trees, with
// a plain recursive transcription of both methods as the reference. Also the
// deep and wide trees that must lay out without exhausting the stack.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SizedNode.h"
#include "layout/TreeDraw.h"

namespace vt {
namespace {

using test::TSizedNode;

std::vector<TTreeDrawNode*> PreOrder(TTreeDrawNode* root) {
  std::vector<TTreeDrawNode*> out;
  std::vector<TTreeDrawNode*> stack{root};
  while (!stack.empty()) {
    TTreeDrawNode* n = stack.back();
    stack.pop_back();
    out.push_back(n);
    std::vector<TTreeDrawNode*> kids;
    for (TTreeDrawNode* c = n->FirstChild(); c; c = c->NextChild()) kids.push_back(c);
    stack.insert(stack.end(), kids.rbegin(), kids.rend());
  }
  return out;
}

// ---------------------------------------------------------------------------
// Golden trees: each node with its extents and its expected in-level position.

struct TGold {
  double left, right;  // LeftWidth, RightWidth (top and bottom are 0.5)
  double x;            // expected XPos
  std::vector<TGold> kids;
};

TGold B(double x, std::vector<TGold> kids = {}) {
  return TGold{0.5, 0.5, x, std::move(kids)};
}
TGold N(double width, double x, std::vector<TGold> kids = {}) {
  return TGold{width / 2, width / 2, x, std::move(kids)};
}
TGold L(double left, double right, double x, std::vector<TGold> kids = {}) {
  return TGold{left, right, x, std::move(kids)};
}

TTreeDrawNode* Build(const TGold& g) {
  auto* node = new TSizedNode(g.left, g.right);
  for (const TGold& k : g.kids) node->AddChild(Build(k));
  return node;
}

void ExpectPositions(TTreeDrawNode* node, const TGold& g, const std::string& path) {
  EXPECT_EQ(node->XPos(), g.x) << path;
  TTreeDrawNode* child = node->FirstChild();
  for (size_t i = 0; i < g.kids.size(); ++i, child = child->NextChild())
    ExpectPositions(child, g.kids[i], path + "/" + std::to_string(i));
}

struct TGoldCase {
  const char* name;
  TTreeDrawMethod method;
  TTreeAlignParents align;
  TGold tree;
  double width;
};

// Test lists show the case by its name, not as raw bytes.
void PrintTo(const TGoldCase& c, std::ostream* os) { *os << c.name; }

class GoldenTrees : public ::testing::TestWithParam<TGoldCase> {};

TEST_P(GoldenTrees, PlaceAsExpected) {
  const TGoldCase& c = GetParam();
  TTreeDrawer d;
  d.SetDrawMethod(c.method);
  d.SetAlignParents(c.align);
  d.SetNodeSeparation(20);
  d.SetLevelSeparation(60);
  d.SetRoot(Build(c.tree));
  ExpectPositions(d.Root(), c.tree, "root");
  EXPECT_EQ(d.Width(), c.width);
  // Placing again without a change gives the same result.
  d.Place();
  ExpectPositions(d.Root(), c.tree, "again");
}

const TGoldCase kGoldCases[] = {
    // Bottom-up.
    {"BottomUpSingle", dmBottomUp, apSubtree, B(0.5), 1},
    {"BottomUpThreeTerminals", dmBottomUp, apSubtree, B(21.5, {B(0.5), B(21.5), B(42.5)}), 43},
    {"BottomUpThreeTerminalsDescendants", dmBottomUp, apDescendants, B(21.5, {B(0.5), B(21.5), B(42.5)}), 43},
    {"BottomUpWideParent", dmBottomUp, apSubtree, N(100, 50, {B(39.5), B(60.5)}), 100},
    {"BottomUpSubtreeCentring", dmBottomUp, apSubtree, B(32, {B(0.5), B(42.5, {B(21.5), B(42.5), B(63.5)})}),
     64},
    {"BottomUpDescendantsCentring", dmBottomUp, apDescendants,
     B(21.5, {B(0.5), B(42.5, {B(21.5), B(42.5), B(63.5)})}), 64},
    {"BottomUpZeroWidthFirstTerminal", dmBottomUp, apSubtree, B(0.5, {L(0, 0, 0), B(0.5)}), 1},
    // Widened A (e = 38) inside a widened root (e = 19): the shifts add up.
    {"BottomUpNestedWidening", dmBottomUp, apSubtree, N(100, 50, {N(60, 39.5, {B(29), B(50)}), B(90)}), 100},
    // A lopsided parent reaching left of the terminals: everything moves
    // right until its box starts at 0.
    {"BottomUpLopsidedParent", dmBottomUp, apSubtree, L(15, 1, 15, {B(4.5), B(25.5)}), 26},
    // Symmetric boxes, none widened: a parent centred between off-centre
    // children (26.75 and 16.25) reaches past the terminals' span 0..43. The
    // extent holds its box, on the right by growing, on the left by moving
    // everything right.
    {"BottomUpDescendantsParentPastTheRight", dmBottomUp, apDescendants,
     N(40, 26.75, {B(11, {B(0.5), B(21.5)}), B(42.5)}), 46.75},
    {"BottomUpDescendantsParentPastTheLeft", dmBottomUp, apDescendants,
     N(40, 20, {B(4.25), B(35.75, {B(25.25), B(46.25)})}), 46.75},
    // Walker.
    {"WalkerSingle", dmWalker, apSubtree, B(0.5), 1},
    {"WalkerThreeTerminals", dmWalker, apSubtree, B(21.5, {B(0.5), B(21.5), B(42.5)}), 43},
    // b1 is first placed after its cousin a2; B's apportion pushes B by 10.5.
    {"WalkerCousinSubtree", dmWalker, apSubtree, B(21.5, {B(11, {B(0.5), B(21.5)}), B(42.5, {B(42.5)})}), 43},
    {"WalkerCousinDescendants", dmWalker, apDescendants,
     B(26.75, {B(11, {B(0.5), B(21.5)}), B(42.5, {B(42.5)})}), 43},
    // B's apportion ends after depth 1: B's subtree is no deeper.
    {"WalkerChainsAroundFamily", dmWalker, apSubtree,
     B(32, {B(0.5, {B(0.5, {B(0.5)})}), B(32, {B(21.5), B(42.5)}), B(63.5, {B(63.5, {B(63.5)})})}), 64},
    // Boxes of their own widths, edge to edge plus one separation.
    {"WalkerSizedSubtree", dmWalker, apSubtree, B(38, {N(40, 20), N(10, 65, {B(54.5), B(75.5)})}), 76},
    {"WalkerSizedDescendants", dmWalker, apDescendants, B(42.5, {N(40, 20), N(10, 65, {B(54.5), B(75.5)})}),
     76},
    // B's push is spread over M, its left neighbour of another family, which
    // moves by half of it.
    {"WalkerSpreadOverCousin", dmWalker, apSubtree,
     B(42.5, {B(32, {B(32, {B(0.5), B(21.5), B(42.5), B(63.5)}), B(58.25)}), B(84.5, {B(84.5, {B(84.5)})})}),
     85},
    {"WalkerSpreadOverSibling", dmWalker, apDescendants,
     B(58.25, {B(32, {B(0.5), B(21.5), B(42.5), B(63.5)}), B(58.25), B(84.5, {B(84.5)})}), 85},
};

INSTANTIATE_TEST_SUITE_P(Layout, GoldenTrees, ::testing::ValuesIn(kGoldCases),
                         [](const ::testing::TestParamInfo<TGoldCase>& info) { return info.param.name; });

TEST(Placement, OrientationEntersThroughTheExtents) {
  // LeftWidth 10, RightWidth 20, TopHeight 3, BottomHeight 4 in Left-Right:
  // Before 4, After 3, Above 10, Below 20.
  for (TTreeDrawMethod method : {dmBottomUp, dmWalker}) {
    TTreeDrawer d;
    d.SetDrawMethod(method);
    d.SetOrientation(oLeftRight);
    d.SetNodeSeparation(20);
    d.SetLevelSeparation(60);
    d.SetRoot(new TSizedNode(10, 20, 3, 4));
    TTreeDrawNode* a = d.Root()->AddChild(new TSizedNode(10, 20, 3, 4));
    TTreeDrawNode* b = d.Root()->AddChild(new TSizedNode(10, 20, 3, 4));
    EXPECT_EQ(a->XPos(), 4.0);
    EXPECT_EQ(b->XPos(), 31.0);
    EXPECT_EQ(d.Root()->XPos(), 17.0);
    EXPECT_EQ(d.Width(), 34.0);
    EXPECT_EQ(d.Root()->YPos(), 10.0);
    EXPECT_EQ(a->YPos(), 70.0);
    EXPECT_EQ(d.Height(), 90.0);
  }
}

TEST(Placement, AlignedTerminalsPlaceBottomUpForEveryMethod) {
  // root(A(A1), B): the terminals A1 and B side by side on the last level.
  for (TTreeDrawMethod method : {dmBottomUp, dmWalker, dmQP}) {
    TTreeDrawer d;
    d.SetDrawMethod(method);
    d.SetAlignTerminals(true);
    d.SetNodeSeparation(20);
    d.SetRoot(new TSizedNode);
    TTreeDrawNode* a = d.Root()->AddChild(new TSizedNode);
    TTreeDrawNode* a1 = a->AddChild(new TSizedNode);
    TTreeDrawNode* b = d.Root()->AddChild(new TSizedNode);
    EXPECT_EQ(a1->XPos(), 0.5);
    EXPECT_EQ(b->XPos(), 21.5);
    EXPECT_EQ(a->XPos(), 0.5);
    EXPECT_EQ(d.Root()->XPos(), 11.0);
    EXPECT_EQ(d.Width(), 22.0);
    // Called directly, the Walker method does the same.
    d.PlaceWalker();
    EXPECT_EQ(b->XPos(), 21.5);
  }
}

// A node that decides for itself whether it is terminal.
class TClaimingNode : public TSizedNode {
 public:
  explicit TClaimingNode(bool terminal) : FTerminal(terminal) {}
  bool IsTerminal() const override { return FTerminal; }

 private:
  bool FTerminal;
};

TEST(Placement, NodesThatClaimTheirOwnKind) {
  // A collapsed node (terminal with children) is placed as a terminal (its
  // children, which no walk reaches, sit on it: see below); a node claiming
  // children it does not have is placed as a terminal too.
  for (TTreeDrawMethod method : {dmBottomUp, dmWalker}) {
    TTreeDrawer d;
    d.SetDrawMethod(method);
    d.SetNodeSeparation(20);
    d.SetRoot(new TSizedNode);
    TTreeDrawNode* collapsed = d.Root()->AddChild(new TClaimingNode(true));
    collapsed->AddChild(new TSizedNode)->AddChild(new TSizedNode);
    TTreeDrawNode* empty = d.Root()->AddChild(new TClaimingNode(false));
    EXPECT_EQ(collapsed->Count(), 0);
    EXPECT_EQ(empty->XPos() - collapsed->XPos(), 21.0);
    EXPECT_EQ(d.Root()->XPos() - collapsed->XPos(), 10.5);
  }
}

TEST(Placement, NodesBelowACollapsedNodeSitOnIt) {
  // No walk reaches them, so they take the collapsed node's place each time:
  // nothing from an earlier placement (or from their construction) moves
  // the rest of the tree, and placing again gives the same positions.
  for (TTreeDrawMethod method : {dmBottomUp, dmWalker})
    for (TTreeAlignParents align : {apSubtree, apDescendants}) {
      SCOPED_TRACE(TreeDrawMethodToString(method) + (align == apSubtree ? " subtree" : " descendants"));
      TTreeDrawer d;
      d.SetDrawMethod(method);
      d.SetAlignParents(align);
      d.SetNodeSeparation(20);
      d.SetRoot(new TSizedNode);
      TTreeDrawNode* a = d.Root()->AddChild(new TSizedNode);
      a->AddChild(new TSizedNode);
      a->AddChild(new TSizedNode);
      TTreeDrawNode* collapsed = d.Root()->AddChild(new TClaimingNode(true));
      TTreeDrawNode* hidden = collapsed->AddChild(new TSizedNode);
      TTreeDrawNode* deeper = hidden->AddChild(new TSizedNode);
      // a's leaves at 0.5 and 21.5, a at 11; the collapsed node after a
      // (Walker) or after a's last leaf (bottom-up); the root over both.
      const bool walker = method == dmWalker;
      const double x = walker ? 32 : 42.5;
      const double root = align == apSubtree ? (walker ? 16.25 : 21.5) : (11 + x) / 2;
      const double width = x + 0.5;
      for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(collapsed->XPos(), x) << round;
        EXPECT_EQ(hidden->XPos(), x) << round;
        EXPECT_EQ(deeper->XPos(), x) << round;
        EXPECT_EQ(d.Root()->XPos(), root) << round;
        EXPECT_EQ(d.Width(), width) << round;
        d.Place();
      }
      // A family to the right has the hidden nodes as its level neighbours.
      TTreeDrawer e;
      e.SetDrawMethod(method);
      e.SetAlignParents(align);
      e.SetNodeSeparation(20);
      e.SetRoot(new TSizedNode);
      e.Root()->AddChild(new TClaimingNode(true))->AddChild(new TSizedNode)->AddChild(new TSizedNode);
      e.Root()->AddChild(new TSizedNode)->AddChild(new TSizedNode)->AddChild(new TSizedNode);
      std::vector<double> first;
      for (TTreeDrawNode* n : PreOrder(e.Root())) first.push_back(n->XPos());
      for (int round = 0; round < 2; ++round) {
        e.Place();
        std::vector<double> again;
        for (TTreeDrawNode* n : PreOrder(e.Root())) again.push_back(n->XPos());
        EXPECT_EQ(again, first) << round;
      }
    }
}

// ---------------------------------------------------------------------------
// The reference: both methods transcribed plainly (recursive, linear walks),
// on a mirror of the tree that holds each node's layout-frame extents.

struct TRefNode {
  double before = 0, after = 0;
  std::vector<TRefNode*> kids;
  TRefNode* parent = nullptr;
  TRefNode* left = nullptr;
  double x = 0, mod = 0;
  bool Terminal() const { return kids.empty(); }
};

class TReference {
 public:
  TReference(TTreeDrawNode* root, double sep, bool subtree) : FSep(sep), FSubtree(subtree) {
    FRoot = Mirror(root, nullptr, 0);
  }

  std::vector<double> Walker() {
    FirstWalk(FRoot);
    FinalPass();
    return Positions();
  }

  std::vector<double> BottomUp() {
    FCursor = 0;
    auto [lo, hi] = BottomUpWalk(FRoot);
    FWidth = hi - lo;
    FinalPass();  // the engine measures every box, widened or not
    return Positions();
  }

  double Width() const { return FWidth; }

 private:
  double FSep;
  bool FSubtree;
  TRefNode* FRoot = nullptr;
  std::vector<std::unique_ptr<TRefNode>> FAll;
  std::vector<TRefNode*> FLast;  // rightmost node so far on each depth
  double FCursor = 0, FWidth = 0, FLeft = 0;

  TRefNode* Mirror(TTreeDrawNode* node, TRefNode* parent, size_t depth) {
    FAll.push_back(std::make_unique<TRefNode>());
    TRefNode* r = FAll.back().get();
    r->before = node->Before();
    r->after = node->After();
    r->parent = parent;
    if (FLast.size() <= depth) FLast.resize(depth + 1, nullptr);
    r->left = FLast[depth];
    FLast[depth] = r;
    for (TTreeDrawNode* c = node->FirstChild(); c; c = c->NextChild())
      r->kids.push_back(Mirror(c, r, depth + 1));
    return r;
  }

  std::vector<double> Positions() const {
    std::vector<double> out;
    for (const auto& n : FAll) out.push_back(n->x);  // FAll is in pre-order
    return out;
  }

  void FirstWalk(TRefNode* n) {
    n->mod = 0;
    if (n->Terminal()) {
      n->x = n->left ? n->left->x + n->left->after + FSep + n->before : n->before;
      return;
    }
    for (TRefNode* k : n->kids) FirstWalk(k);
    double first = n->kids.front()->x, last = n->kids.back()->x;
    if (FSubtree) std::tie(first, last) = Span(n, 0);
    double mid = (first + last) / 2;
    if (!n->left) {
      n->x = mid;
    } else {
      n->x = n->left->x + n->left->after + FSep + n->before;
      n->mod = n->x - mid;
      Apportion(n);
    }
  }

  std::pair<double, double> Span(TRefNode* n, double d) {
    double p = n->x + d;
    if (n->Terminal()) return {p - n->before, p + n->after};
    double lo = 0, hi = 0;
    bool first = true;
    for (TRefNode* k : n->kids) {
      auto [l, h] = Span(k, d + n->mod);
      double w = (k->before + k->after - (h - l)) / 2;
      if (w > 0) l -= w, h += w;
      lo = first ? l : std::min(lo, l);
      hi = first ? h : std::max(hi, h);
      first = false;
    }
    return {lo, hi};
  }

  void Apportion(TRefNode* n) {
    TRefNode* cur = n->kids.front();
    int i = 1;
    TRefNode* left = cur->left;
    while (cur && left) {
      double sumL = 0, sumR = 0;
      TRefNode* a = left;
      TRefNode* c = cur;
      for (int j = 0; j < i; ++j) {
        a = a->parent;
        sumL += a->mod;
        c = c->parent;
        sumR += c->mod;
      }
      double overlap = (left->x + sumL) + left->after + FSep + cur->before - (cur->x + sumR);
      if (overlap > 0) {
        int count = 0;
        TRefNode* y = n;
        while (y && y != a) y = y->left, ++count;
        if (!y) return;
        double m = overlap, q = overlap / count;
        for (y = n; y != a; y = y->left) y->x += m, y->mod += m, m -= q;
      }
      ++i;
      cur = cur->Terminal() ? LeftmostAtDepth(n, i) : cur->kids.front();
      if (cur) left = cur->left;
    }
  }

  TRefNode* LeftmostAtDepth(TRefNode* v, int k) {
    if (k == 0) return v;
    if (v->Terminal()) return nullptr;
    for (TRefNode* c : v->kids)
      if (TRefNode* r = LeftmostAtDepth(c, k - 1)) return r;
    return nullptr;
  }

  std::pair<double, double> BottomUpWalk(TRefNode* n) {
    n->mod = 0;
    if (n->Terminal()) {
      if (FCursor > 0) FCursor += FSep;
      double lo = FCursor;
      FCursor += n->before;
      n->x = FCursor;
      FCursor += n->after;
      return {lo, FCursor};
    }
    double lo = 0, hi = 0, first = 0, last = 0;
    for (TRefNode* k : n->kids) {
      auto [l, h] = BottomUpWalk(k);
      if (k == n->kids.front()) lo = l, hi = h, first = k->x;
      lo = std::min(lo, l), hi = std::max(hi, h), last = k->x;
    }
    n->x = FSubtree ? (lo + hi) / 2 : (first + last) / 2;
    double e = n->before + n->after - (hi - lo);
    if (e > 0) FCursor += e, hi += e, n->x += e / 2, n->mod += e / 2;
    return {lo, hi};
  }

  void FinalPass() {
    FLeft = 0;
    Apply(FRoot, 0);
    if (FLeft < 0) {
      for (auto& n : FAll) n->x -= FLeft;
      FWidth -= FLeft;
    }
  }

  void Apply(TRefNode* n, double d) {
    n->x += d;
    FWidth = std::max(FWidth, n->x + n->after);
    FLeft = std::min(FLeft, n->x - n->before);
    for (TRefNode* k : n->kids) Apply(k, d + n->mod);
  }
};

// ---------------------------------------------------------------------------
// Seeded random trees.

class TRandom {
 public:
  explicit TRandom(uint64_t seed) : FState(seed * 2654435761u + 1) {}
  uint32_t Next() {
    FState = FState * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(FState >> 33);
  }
  double Uniform(double lo, double hi) { return lo + (hi - lo) * (Next() / 2147483648.0); }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

 private:
  uint64_t FState;
};

TSizedNode* RandomNode(TRandom& rnd) {
  // Picture-like boxes, the reference point not always in the middle.
  double w = rnd.Uniform(50, 150), h = rnd.Uniform(10, 30);
  double l = w * rnd.Uniform(0.3, 0.7), t = h * rnd.Uniform(0.3, 0.7);
  return new TSizedNode(l, w - l, t, h - t);
}

// Children drawn per node: 0..4 with 50/5/35/5/5 %, breadth first, or depth
// first (which grows long, lopsided branches), until there are n nodes.
TTreeDrawNode* RandomTree(TRandom& rnd, int n, bool depthFirst) {
  TTreeDrawNode* root = RandomNode(rnd);
  std::vector<TTreeDrawNode*> open{root};
  int count = 1;
  size_t head = 0;
  while (count < n) {
    if (head >= open.size()) {  // died out: grow again from a random node
      open.push_back(open[static_cast<size_t>(rnd.Below(static_cast<int>(open.size())))]);
    }
    TTreeDrawNode* node;
    if (depthFirst) {
      node = open.back();
      open.pop_back();
      if (open.empty()) head = 0;
    } else {
      node = open[head++];
    }
    int r = rnd.Below(100);
    int kids = r < 50 ? 0 : r < 55 ? 1 : r < 90 ? 2 : r < 95 ? 3 : 4;
    if (node == root && kids == 0) kids = 2;
    for (int k = 0; k < kids && count < n; ++k, ++count) open.push_back(node->AddChild(RandomNode(rnd)));
    if (depthFirst && open.empty()) open.push_back(node);
  }
  return root;
}

struct TRandomSetup {
  TTreeDrawMethod method;
  TTreeAlignParents align;
  TTreeOrientation orientation;
  double sep;
  bool depthFirst;
};

std::string Describe(const TRandomSetup& s, int seed) {
  return TreeDrawMethodToString(s.method) + (s.align == apSubtree ? " subtree " : " descendants ") +
         TreeOrientationToString(s.orientation) + " sep " + std::to_string(s.sep) +
         (s.depthFirst ? " depth-first" : " breadth-first") + " seed " + std::to_string(seed);
}

std::vector<TRandomSetup> RandomSetups() {
  std::vector<TRandomSetup> out;
  for (TTreeDrawMethod m : {dmWalker, dmBottomUp})
    for (TTreeAlignParents a : {apSubtree, apDescendants})
      for (bool df : {false, true}) {
        out.push_back({m, a, oTopDown, 20, df});
        out.push_back({m, a, oLeftRight, 5, df});
      }
  return out;
}

TEST(Placement, AgreesWithThePlainTranscription) {
  for (const TRandomSetup& s : RandomSetups())
    for (int seed = 1; seed <= 12; ++seed) {
      TRandom rnd(static_cast<uint64_t>(seed));
      TTreeDrawer d;
      d.SetDrawMethod(s.method);
      d.SetAlignParents(s.align);
      d.SetOrientation(s.orientation);
      d.SetNodeSeparation(s.sep);
      d.SetRoot(RandomTree(rnd, 20 + 25 * seed, s.depthFirst));
      TReference ref(d.Root(), s.sep, s.align == apSubtree);
      std::vector<double> expected = s.method == dmWalker ? ref.Walker() : ref.BottomUp();
      std::vector<TTreeDrawNode*> nodes = PreOrder(d.Root());
      ASSERT_EQ(nodes.size(), expected.size());
      double width = d.Width();
      EXPECT_NEAR(width, ref.Width(), 1e-9 * ref.Width()) << Describe(s, seed);
      int wrong = 0;
      for (size_t i = 0; i < nodes.size(); ++i)
        if (std::fabs(nodes[i]->XPos() - expected[i]) > 1e-9 * (1 + width) && wrong++ < 3)
          ADD_FAILURE() << Describe(s, seed) << " node " << i << ": " << nodes[i]->XPos() << " against "
                        << expected[i];
    }
}

// What the methods guarantee on any tree: every box inside 0..Width (with
// Walker also reaching it); with Walker, neighbours on a level at least
// NodeSeparation apart; bottom-up, neighbouring terminal siblings exactly
// NodeSeparation apart; and placing again gives identical positions.
TEST(Placement, InvariantsOnRandomTrees) {
  for (const TRandomSetup& s : RandomSetups())
    for (int seed = 100; seed < 103; ++seed) {
      TRandom rnd(static_cast<uint64_t>(seed));
      TTreeDrawer d;
      d.SetDrawMethod(s.method);
      d.SetAlignParents(s.align);
      d.SetOrientation(s.orientation);
      d.SetNodeSeparation(s.sep);
      d.SetRoot(RandomTree(rnd, 1500, s.depthFirst));
      std::vector<TTreeDrawNode*> nodes = PreOrder(d.Root());
      double width = d.Width();
      double eps = 1e-9 * width;
      double lo = width, hi = 0;
      for (TTreeDrawNode* n : nodes) {
        lo = std::min(lo, n->XPos() - n->Before());
        hi = std::max(hi, n->XPos() + n->After());
      }
      EXPECT_GE(lo, -eps) << Describe(s, seed);
      // Bottom-up may keep room that a widened lopsided parent left free.
      if (s.method == dmWalker)
        EXPECT_NEAR(hi, width, eps) << Describe(s, seed);
      else
        EXPECT_LE(hi, width + eps) << Describe(s, seed);
      int faults = 0;
      for (TTreeDrawNode* n : nodes) {
        TTreeDrawNode* r = n->RightNode();
        if (!r) continue;
        double gap = (r->XPos() - r->Before()) - (n->XPos() + n->After());
        bool siblings = n->NextChild() == r && n->IsTerminal() && r->IsTerminal();
        if (s.method == dmWalker && gap < s.sep - eps && faults++ < 3)
          ADD_FAILURE() << Describe(s, seed) << ": gap " << gap << " on level " << n->Level();
        if (s.method == dmBottomUp && siblings && std::fabs(gap - s.sep) > eps && faults++ < 3)
          ADD_FAILURE() << Describe(s, seed) << ": terminal siblings " << gap << " apart";
      }
      std::vector<double> first;
      for (TTreeDrawNode* n : nodes) first.push_back(n->XPos());
      d.SetAlignParents(s.align == apSubtree ? apDescendants : apSubtree);
      d.Width();
      d.SetAlignParents(s.align);
      for (size_t i = 0; i < nodes.size(); ++i) {
        ASSERT_EQ(nodes[i]->XPos(), first[i]) << Describe(s, seed) << " node " << i;
      }
    }
}

// ---------------------------------------------------------------------------
// Deep and wide trees.

struct TShapeSetup {
  TTreeDrawMethod method;
  TTreeAlignParents align;
};

const TShapeSetup kShapeSetups[] = {
    {dmWalker, apSubtree}, {dmWalker, apDescendants}, {dmBottomUp, apSubtree}, {dmBottomUp, apDescendants}};

TEST(Placement, ChainOfAHundredThousandNodes) {
  constexpr int kNodes = 100000;
  for (const TShapeSetup& s : kShapeSetups) {
    TTreeDrawer d;
    d.SetDrawMethod(s.method);
    d.SetAlignParents(s.align);
    d.SetNodeSeparation(20);
    d.SetLevelSeparation(60);
    d.SetRoot(new TSizedNode);
    TTreeDrawNode* bottom = d.Root();
    for (int i = 1; i < kNodes; ++i) bottom = bottom->AddChild(new TSizedNode);
    EXPECT_EQ(d.Levels(), kNodes);
    EXPECT_EQ(d.Width(), 1.0);
    EXPECT_EQ(d.Height(), 60.0 * (kNodes - 1) + 1);
    EXPECT_EQ(bottom->XPos(), 0.5);
    EXPECT_EQ(d.Root()->XPos(), 0.5);
    // Re-placed after a change at the bottom: a second leaf widens it all.
    bottom->Parent()->AddChild(new TSizedNode);
    EXPECT_EQ(d.Width(), 22.0);
    EXPECT_EQ(d.Root()->XPos(), 11.0);
    EXPECT_EQ(bottom->XPos(), 0.5);
    d.SetRoot(nullptr);
    EXPECT_EQ(d.Levels(), 0);
  }
  // Freed by its own destructor, detached from any drawer.
  auto* top = new TSizedNode;
  TTreeDrawNode* node = top;
  for (int i = 1; i < kNodes; ++i) node = node->AddChild(new TSizedNode);
  delete top;
}

TEST(Placement, RootWithAHundredThousandTerminals) {
  constexpr int kNodes = 100000;
  for (const TShapeSetup& s : kShapeSetups) {
    TTreeDrawer d;
    d.SetDrawMethod(s.method);
    d.SetAlignParents(s.align);
    d.SetNodeSeparation(20);
    d.SetRoot(new TSizedNode);
    TTreeDrawNode* last = nullptr;
    for (int i = 0; i < kNodes; ++i) last = d.Root()->AddChild(new TSizedNode);
    EXPECT_EQ(d.Width(), 21.0 * kNodes - 20);
    EXPECT_EQ(last->XPos(), 21.0 * (kNodes - 1) + 0.5);
    EXPECT_EQ(d.Root()->XPos(), (21.0 * kNodes - 20) / 2);
    // Going through the children by position is linear.
    int wrong = 0;
    for (int i = 0; i < kNodes; ++i) wrong += d.Root()->Item(i)->Index() != i;
    EXPECT_EQ(wrong, 0);
    delete last;
    EXPECT_EQ(d.Width(), 21.0 * (kNodes - 1) - 20);
    d.SetRoot(nullptr);
  }
}

TEST(Placement, TwoDeepChainsSideBySide) {
  // Every node of the right chain is compared with the left chain at every
  // depth below it, so this shape costs the square of its depth.
  constexpr int kDepth = 1000;
  TTreeDrawer d;
  d.SetDrawMethod(dmWalker);
  d.SetNodeSeparation(20);
  d.SetRoot(new TSizedNode);
  TTreeDrawNode* left = d.Root();
  TTreeDrawNode* right = d.Root();
  for (int i = 0; i < kDepth; ++i) {
    left = left->AddChild(new TSizedNode);
    right = right->AddChild(new TSizedNode(5, 5));
  }
  // The right chain's boxes are 10 wide; its first box clears the left chain.
  EXPECT_EQ(left->XPos(), 0.5);
  EXPECT_EQ(right->XPos(), 1 + 20 + 5);
  EXPECT_EQ(d.Root()->XPos(), (0 + 31) / 2.0);
  EXPECT_EQ(d.Width(), 31.0);
}

TEST(Placement, CaterpillarsLayOut) {
  // A chain with two leaves on every node, the chain child first, in the
  // middle and last.
  for (int where : {0, 1, 2})
    for (TTreeDrawMethod method : {dmWalker, dmBottomUp}) {
      TTreeDrawer d;
      d.SetDrawMethod(method);
      d.SetNodeSeparation(20);
      d.SetRoot(new TSizedNode);
      TTreeDrawNode* spine = d.Root();
      for (int i = 0; i < 10000; ++i) {
        TTreeDrawNode* next = nullptr;
        for (int k = 0; k < 3; ++k) {
          TTreeDrawNode* c = spine->AddChild(new TSizedNode);
          if (k == where) next = c;
        }
        spine = next;
      }
      double width = d.Width();
      EXPECT_GT(width, 0.0);
      std::vector<TTreeDrawNode*> nodes = PreOrder(d.Root());
      for (TTreeDrawNode* n : nodes) ASSERT_GE(n->XPos(), 0.5 - 1e-9);
      if (method == dmWalker) {
        // Leaves of one spine node are 21 apart around the spine child.
        TTreeDrawNode* p = d.Root();
        EXPECT_EQ(p->Item(1)->XPos() - p->Item(0)->XPos(), 21.0);
      }
    }
}

}  // namespace
}  // namespace vt
