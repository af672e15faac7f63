// Nodes and the drawer: structure operations, derived links, lazy layout,
// parameters, extents and name conversions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/TreeDraw.h"
#include "support/ExpectThrow.h"

namespace vt {
namespace {

// A node with a name and its own extents; it records its destruction.
class TNamedNode : public TTreeDrawNode {
 public:
  explicit TNamedNode(std::string name, std::vector<std::string>* freed = nullptr)
      : FName(std::move(name)), FFreed(freed) {}
  ~TNamedNode() override {
    if (FFreed) FFreed->push_back(FName);
  }
  std::string Text() const override { return FName; }
  double LeftWidth() const override { return FLeft; }
  double RightWidth() const override { return FRight; }
  double TopHeight() const override { return FTop; }
  double BottomHeight() const override { return FBottom; }
  void SetSize(double left, double right, double top, double bottom) {
    FLeft = left;
    FRight = right;
    FTop = top;
    FBottom = bottom;
  }

 private:
  std::string FName;
  std::vector<std::string>* FFreed;
  double FLeft = 0.5, FRight = 0.5, FTop = 0.5, FBottom = 0.5;
};

TTreeDrawNode* Add(TTreeDrawNode* parent, const std::string& name,
                   std::vector<std::string>* freed = nullptr) {
  return parent->AddChild(new TNamedNode(name, freed));
}

std::string Names(const TTreeDrawNode* parent) {
  std::string s;
  for (const TTreeDrawNode* c = parent->FirstChild(); c; c = c->NextChild())
    s += (s.empty() ? "" : ",") + c->Text();
  return s;
}

// The child-list invariants every structure operation keeps.
void ExpectChildList(TTreeDrawNode* parent) {
  int count = 0;
  const TTreeDrawNode* last = nullptr;
  for (TTreeDrawNode* c = parent->FirstChild(); c; c = c->NextChild()) {
    EXPECT_EQ(c->Parent(), parent);
    EXPECT_EQ(c->PrevChild(), last) << c->Text();
    EXPECT_EQ(c->Index(), count);
    last = c;
    ++count;
  }
  EXPECT_EQ(count, parent->ChildCount());
  EXPECT_EQ(parent->LastChild(), last);
  EXPECT_EQ(parent->FirstChild() == nullptr, parent->ChildCount() == 0);
}

#define EXPECT_TREE_ERROR(stmt, text) EXPECT_THROW_MSG(stmt, ETreeDrawError, text)

class TreeFixture : public ::testing::Test {
 protected:
  TTreeDrawer drawer;
  TTreeDrawNode* root = nullptr;
  void SetUp() override {
    root = new TNamedNode("root");
    drawer.SetRoot(root);
  }
  // root(a(a1,a2), b, c)
  void BuildSmall() {
    TTreeDrawNode* a = Add(root, "a");
    Add(a, "a1");
    Add(a, "a2");
    Add(root, "b");
    Add(root, "c");
  }
};

TEST(TreeDrawNode, NewNodeIsDetachedTerminalUnitSquare) {
  TTreeDrawNode node;
  EXPECT_EQ(node.Level(), 0);
  EXPECT_EQ(node.Index(), -1);
  EXPECT_EQ(node.Count(), 0);
  EXPECT_TRUE(node.IsTerminal());
  EXPECT_EQ(node.Width(), 1.0);
  EXPECT_EQ(node.Height(), 1.0);
  EXPECT_EQ(node.Item(0), nullptr);
  EXPECT_EQ(node.Text(), "");
  EXPECT_EQ(node.Drawer(), nullptr);
  EXPECT_EQ(node.Parent(), nullptr);
  EXPECT_EQ(node.FirstChild(), nullptr);
  EXPECT_EQ(node.Idx(), 0);
  // Without a drawer the node reads its fields and the top-down frame.
  EXPECT_EQ(node.XPos(), 0.0);
  EXPECT_EQ(node.Before(), 0.5);
  EXPECT_EQ(node.X(), 0);
}

TEST_F(TreeFixture, ItemIndexLevelAndCount) {
  BuildSmall();
  TTreeDrawNode* a = root->FirstChild();
  EXPECT_EQ(root->Item(-1), nullptr);
  EXPECT_EQ(root->Item(3), nullptr);
  EXPECT_EQ(root->Item(0), root->FirstChild());
  EXPECT_EQ(root->Item(2), root->LastChild());
  EXPECT_EQ(root->Item(2)->Text(), "c");
  EXPECT_EQ(root->Count(), 3);
  EXPECT_FALSE(root->IsTerminal());
  EXPECT_EQ(a->Item(1)->Level(), 2);
  EXPECT_EQ(a->Item(1)->Index(), 1);
  EXPECT_TRUE(a->Item(1)->DescendantOf(root));
  EXPECT_FALSE(root->DescendantOf(root));
  EXPECT_FALSE(root->DescendantOf(a));
  EXPECT_EQ(a->Item(0)->Drawer(), &drawer);
}

TEST_F(TreeFixture, PositionsFollowEveryChange) {
  BuildSmall();
  TTreeDrawNode* b = root->Item(1);
  TTreeDrawNode* c = root->Item(2);
  EXPECT_EQ(c->Index(), 2);
  c->InsertLeft(new TNamedNode("x"));
  EXPECT_EQ(root->Item(2)->Text(), "x");
  EXPECT_EQ(c->Index(), 3);
  delete b;
  EXPECT_EQ(root->Item(1)->Text(), "x");
  EXPECT_EQ(c->Index(), 2);
  root->Item(0)->InsertRight(new TNamedNode("y"));
  EXPECT_EQ(Names(root), "a,y,x,c");
  for (int i = 3; i >= 0; --i) EXPECT_EQ(root->Item(i)->Index(), i);
  root->Prune();
  EXPECT_EQ(root->Item(0), nullptr);
  EXPECT_EQ(Add(root, "z")->Index(), 0);
}

TEST_F(TreeFixture, PullKeepsTheChildListWhole) {
  struct Case {
    int pulled;  // index among three children
    std::string left;
  };
  for (const Case& c : {Case{0, "b,c"}, Case{1, "a,c"}, Case{2, "a,b"}}) {
    root->Prune();
    Add(root, "a");
    Add(root, "b");
    Add(root, "c");
    TTreeDrawNode* node = root->Item(c.pulled);
    EXPECT_EQ(node->Pull(), node);
    EXPECT_EQ(node->Parent(), nullptr);
    EXPECT_EQ(node->NextChild(), nullptr);
    EXPECT_EQ(node->Drawer(), &drawer);
    EXPECT_EQ(Names(root), c.left);
    ExpectChildList(root);
    delete node;
  }
  // The last of three: the middle one becomes the last child.
  EXPECT_EQ(root->LastChild()->Text(), "b");

  root->Prune();
  TTreeDrawNode* only = Add(root, "only");
  only->Pull();
  EXPECT_EQ(root->ChildCount(), 0);
  EXPECT_EQ(root->FirstChild(), nullptr);
  EXPECT_EQ(root->LastChild(), nullptr);
  delete only;
  // A node without parent only loses its sibling link.
  EXPECT_EQ(root->Pull(), root);
  EXPECT_EQ(drawer.Root(), root);
}

TEST_F(TreeFixture, InsertNextToSiblings) {
  BuildSmall();
  TTreeDrawNode* a = root->FirstChild();
  TTreeDrawNode* c = root->LastChild();
  root->FirstChild()->InsertLeft(new TNamedNode("first"));
  c->InsertRight(new TNamedNode("last"));
  c->InsertLeft(new TNamedNode("beforeC"));
  a->InsertRight(new TNamedNode("afterA"));
  EXPECT_EQ(Names(root), "first,a,afterA,b,beforeC,c,last");
  EXPECT_EQ(root->FirstChild()->Text(), "first");
  EXPECT_EQ(root->LastChild()->Text(), "last");
  EXPECT_EQ(root->LastChild()->Drawer(), &drawer);
  ExpectChildList(root);
}

TEST_F(TreeFixture, InsertNearRootIsRefused) {
  BuildSmall();
  TNamedNode extra("extra");
  EXPECT_TREE_ERROR(root->InsertLeft(&extra), "Cannot insert new node \"extra\" near to root");
  EXPECT_TREE_ERROR(root->InsertRight(&extra), "Cannot insert new node \"extra\" near to root");
  TNamedNode detached("detached");
  EXPECT_TREE_ERROR(detached.InsertLeft(&extra), "Cannot insert new node \"extra\" near to root");
  EXPECT_EQ(extra.Parent(), nullptr);
  EXPECT_EQ(Names(root), "a,b,c");
}

TEST_F(TreeFixture, MovesWithinTheTree) {
  BuildSmall();
  TTreeDrawNode* a = root->FirstChild();
  TTreeDrawNode* a1 = a->FirstChild();
  TTreeDrawNode* b = root->Item(1);
  TTreeDrawNode* c = root->Item(2);
  // A sibling moves just before the target.
  EXPECT_EQ(a->MoveToLeft(c), c);
  EXPECT_EQ(Names(root), "c,a,b");
  // A subtree moves down next to a cousin.
  a1->MoveToRight(b);
  EXPECT_EQ(Names(root), "c,a");
  EXPECT_EQ(Names(a), "a1,b,a2");
  EXPECT_EQ(b->Level(), 2);
  ExpectChildList(root);
  ExpectChildList(a);
  // Moving a node next to itself changes nothing.
  EXPECT_EQ(b->MoveToLeft(b), b);
  EXPECT_EQ(Names(a), "a1,b,a2");
}

TEST_F(TreeFixture, RefusedMovesChangeNothing) {
  BuildSmall();
  TTreeDrawNode* a = root->FirstChild();
  TTreeDrawNode* a1 = a->FirstChild();
  TTreeDrawNode* b = root->Item(1);
  EXPECT_TREE_ERROR(a1->MoveToLeft(root), "Attempted a circular move of node \"root\"");
  EXPECT_TREE_ERROR(a1->MoveToRight(a), "Attempted a circular move of node \"a\"");
  // The root as target: refused before the moved node is pulled out.
  EXPECT_TREE_ERROR(root->MoveToLeft(b), "Cannot insert new node \"b\" near to root");
  EXPECT_TREE_ERROR(root->MoveToRight(a1), "Cannot insert new node \"a1\" near to root");
  EXPECT_EQ(Names(root), "a,b,c");
  EXPECT_EQ(Names(a), "a1,a2");
  // Another drawer's root cannot be taken over.
  TTreeDrawer other;
  auto* otherRoot = new TNamedNode("other");
  other.SetRoot(otherRoot);
  EXPECT_TREE_ERROR(a1->MoveToLeft(otherRoot), "Node \"other\" already belongs to a tree");
  EXPECT_EQ(other.Root(), otherRoot);
}

TEST_F(TreeFixture, OnlyDetachedNodesAreAdded) {
  BuildSmall();
  TTreeDrawNode* a = root->FirstChild();
  TTreeDrawNode* a1 = a->FirstChild();
  EXPECT_TREE_ERROR(root->AddChild(a1), "Node \"a1\" already belongs to a tree");
  EXPECT_TREE_ERROR(a1->AddChild(root), "Node \"root\" already belongs to a tree");
  EXPECT_TREE_ERROR(a1->AddChild(a1), "Node \"a1\" already belongs to a tree");
  EXPECT_TREE_ERROR(a->InsertLeft(a1), "Node \"a1\" already belongs to a tree");
  // The top of a detached subtree cannot go below its own descendant.
  TNamedNode top("top");
  TTreeDrawNode* below = Add(&top, "below");
  EXPECT_TREE_ERROR(below->AddChild(&top), "Node \"top\" already belongs to a tree");
  EXPECT_EQ(Names(root), "a,b,c");
  EXPECT_EQ(Names(a), "a1,a2");
  ExpectChildList(a);
}

TEST_F(TreeFixture, AttachedSubtreeFollowsTheDrawer) {
  // Built while detached, then attached: reading a deep node places it.
  auto* top = new TNamedNode("top");
  TTreeDrawNode* mid = Add(top, "mid");
  TTreeDrawNode* deep = Add(mid, "deep");
  EXPECT_EQ(deep->Drawer(), nullptr);
  root->AddChild(top);
  EXPECT_EQ(deep->Drawer(), &drawer);
  drawer.SetLevelSeparation(60);
  EXPECT_EQ(deep->YPos(), 180.5);
}

TEST_F(TreeFixture, DerivedLinksAreRebuiltOnRead) {
  BuildSmall();
  TTreeDrawNode* a = root->FirstChild();
  TTreeDrawNode* b = root->Item(1);
  TTreeDrawNode* b1 = Add(b, "b1");
  EXPECT_EQ(b1->LeftNode(), a->LastChild());
  EXPECT_EQ(a->LastChild()->RightNode(), b1);
  EXPECT_EQ(b1->RightNode(), nullptr);
  EXPECT_EQ(b->PrevChild(), a);
  EXPECT_EQ(a->PrevChild(), nullptr);
  EXPECT_EQ(root->LeftNode(), nullptr);
  EXPECT_EQ(drawer.Levels(), 3);
  EXPECT_EQ(drawer.LevelFirst(2)->Text(), "a1");
  EXPECT_EQ(drawer.LevelLast(2), b1);
}

TEST(TreeDrawNode, FreeingFreesTheSubtreeInPreOrder) {
  std::vector<std::string> freed;
  {
    TTreeDrawer drawer;
    TTreeDrawNode* root = new TNamedNode("root", &freed);
    drawer.SetRoot(root);
    TTreeDrawNode* a = Add(root, "a", &freed);
    Add(Add(a, "a1", &freed), "a11", &freed);
    Add(a, "a2", &freed);
    TTreeDrawNode* b = Add(root, "b", &freed);
    Add(b, "b1", &freed);
    b->Prune();
    EXPECT_EQ(freed, std::vector<std::string>({"b1"}));
    EXPECT_TRUE(b->IsTerminal());
    EXPECT_EQ(drawer.Levels(), 4);
    freed.clear();
    delete a;  // pulled out of root first
    EXPECT_EQ(freed, std::vector<std::string>({"a", "a1", "a11", "a2"}));
    EXPECT_EQ(Names(root), "b");
    freed.clear();
  }
  EXPECT_EQ(freed, std::vector<std::string>({"root", "b"}));
}

TEST(TreeDrawNode, SetRootReplacesTheTree) {
  std::vector<std::string> freed;
  TTreeDrawer drawer;
  TTreeDrawNode* root = new TNamedNode("root", &freed);
  drawer.SetRoot(root);
  drawer.SetRoot(root);  // the same node: nothing happens
  EXPECT_TRUE(freed.empty());
  TTreeDrawNode* a = Add(root, "a", &freed);
  Add(a, "a1", &freed);
  Add(root, "b", &freed);
  EXPECT_EQ(drawer.Levels(), 3);
  // A node of the current tree becomes the root; the rest is freed.
  drawer.SetRoot(a);
  EXPECT_EQ(freed, std::vector<std::string>({"root", "b"}));
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_EQ(drawer.Levels(), 2);
  EXPECT_EQ(drawer.Width(), 1.0);
  freed.clear();
  drawer.SetRoot(nullptr);
  EXPECT_EQ(freed, std::vector<std::string>({"a", "a1"}));
  EXPECT_EQ(drawer.Levels(), 0);
  EXPECT_EQ(drawer.Root(), nullptr);

  TTreeDrawer other;
  auto* otherRoot = new TNamedNode("other");
  other.SetRoot(otherRoot);
  EXPECT_TREE_ERROR(drawer.SetRoot(otherRoot), "Node \"other\" already belongs to a tree");
  EXPECT_EQ(drawer.Root(), nullptr);
}

TEST(TreeDrawNode, ExtentsFollowTheOrientation) {
  struct Case {
    TTreeOrientation orientation;
    double before, after, above, below;
  };
  TTreeDrawer drawer;
  auto* node = new TNamedNode("n");
  node->SetSize(10, 20, 3, 4);
  drawer.SetRoot(node);
  for (const Case& c :
       {Case{oTopDown, 10, 20, 3, 4}, Case{oLeftRight, 4, 3, 10, 20}, Case{oBottomUp, 20, 10, 4, 3},
        Case{oRightLeft, 3, 4, 20, 10}, Case{static_cast<TTreeOrientation>(7), 0, 0, 0, 0}}) {
    drawer.SetOrientation(c.orientation);
    EXPECT_EQ(node->Before(), c.before) << c.orientation;
    EXPECT_EQ(node->After(), c.after) << c.orientation;
    EXPECT_EQ(node->Above(), c.above) << c.orientation;
    EXPECT_EQ(node->Below(), c.below) << c.orientation;
  }
  // The box edges use the picture-direction extents whatever the orientation.
  drawer.SetOrientation(oLeftRight);
  EXPECT_EQ(node->FltX(), 4.0);
  EXPECT_EQ(node->FltX0(), -6.0);
  EXPECT_EQ(node->FltX1(), 24.0);
  EXPECT_EQ(node->FltY(), 10.0);
  EXPECT_EQ(node->FltY0(), 7.0);
  EXPECT_EQ(node->FltY1(), 14.0);
}

TEST(TreeDrawNode, IntegerCoordinatesRoundHalvesToEven) {
  struct Case {
    double offset;  // the bare root sits at 0.5
    int x;
  };
  TTreeDrawer drawer;
  TTreeDrawNode* node = new TTreeDrawNode;
  drawer.SetRoot(node);
  for (const Case& c : {Case{2.0, 2}, Case{3.0, 4}, Case{-1.0, 0}, Case{-2.0, -2}, Case{0.25, 1}}) {
    drawer.SetXOffset(c.offset);
    EXPECT_EQ(node->X(), c.x) << c.offset;
  }
  drawer.SetXOffset(0);
  drawer.SetYOffset(1);
  EXPECT_EQ(node->FltY(), 1.5);
  EXPECT_EQ(node->Y(), 2);
  EXPECT_EQ(node->X0(), 0);
  EXPECT_EQ(node->X1(), 1);
  EXPECT_EQ(node->Y0(), 1);
  EXPECT_EQ(node->Y1(), 2);
}

// ---------------------------------------------------------------------------
// The drawer

// Counts its placements.
class TCountingDrawer : public TTreeDrawer {
 public:
  int placed = 0;
  void Place() override {
    ++placed;
    TTreeDrawer::Place();
  }
};

TEST(TreeDrawer, Defaults) {
  TTreeDrawer d;
  EXPECT_EQ(d.DrawMethod(), dmBottomUp);
  EXPECT_EQ(d.Orientation(), oTopDown);
  EXPECT_EQ(d.LevelSeparation(), 1.0);
  EXPECT_EQ(d.MinLevelSeparation(), 0.0);
  EXPECT_EQ(d.NodeSeparation(), 1.0);
  EXPECT_FALSE(d.AlignTerminals());
  EXPECT_FALSE(d.AlignLevels());
  EXPECT_EQ(d.AlignParents(), apSubtree);
  EXPECT_EQ(d.XStretch(), 1.0);
  EXPECT_EQ(d.YStretch(), 1.0);
  EXPECT_FALSE(d.XMirror());
  EXPECT_FALSE(d.ModifiedStructure());
  EXPECT_FALSE(d.ModifiedNodes());
}

TEST(TreeDrawer, WithoutRootEverythingIsZero) {
  TTreeDrawer d;
  EXPECT_EQ(d.Levels(), 0);
  d.Place();
  EXPECT_EQ(d.Width(), 0.0);
  EXPECT_EQ(d.Height(), 0.0);
  EXPECT_EQ(d.XSize(), 0.0);
  EXPECT_EQ(d.YSize(), 0.0);
  // The same after a placed tree is dropped.
  d.SetRoot(new TTreeDrawNode);
  d.Root()->AddChild(new TTreeDrawNode);
  d.SetLevelSeparation(60);
  EXPECT_EQ(d.Height(), 61.0);
  d.SetRoot(nullptr);
  d.Place();
  EXPECT_EQ(d.Levels(), 0);
  EXPECT_EQ(d.Width(), 0.0);
  EXPECT_EQ(d.Height(), 0.0);
  EXPECT_EQ(d.XSize(), 0.0);
  EXPECT_EQ(d.YSize(), 0.0);
}

TEST(TreeDrawer, SingleNodeForEveryMethod) {
  for (TTreeDrawMethod method : {dmBottomUp, dmWalker, dmQP}) {
    TTreeDrawer d;
    d.SetDrawMethod(method);
    d.SetRoot(new TTreeDrawNode);
    EXPECT_EQ(d.Levels(), 1);
    EXPECT_EQ(d.Root()->YPos(), 0.5);
    EXPECT_EQ(d.Height(), 1.0);
    EXPECT_EQ(d.Width(), 1.0);
    EXPECT_EQ(d.Root()->XPos(), 0.5);
  }
}

TEST(TreeDrawer, LevelLinesAndMinimumSeparation) {
  TTreeDrawer d;
  d.SetLevelSeparation(60);
  d.SetRoot(new TTreeDrawNode);
  TTreeDrawNode* child = d.Root()->AddChild(new TTreeDrawNode);
  EXPECT_EQ(d.Root()->YPos(), 0.5);
  EXPECT_EQ(child->YPos(), 60.5);
  EXPECT_EQ(d.Height(), 61.0);
  d.SetAlignLevels(true);
  d.SetMinLevelSeparation(80);
  EXPECT_EQ(child->YPos(), 81.5);
  EXPECT_EQ(d.Height(), 82.0);
  // A gap already wide enough stays as it is.
  d.SetMinLevelSeparation(50);
  EXPECT_EQ(child->YPos(), 60.5);
  EXPECT_EQ(d.LevelY(1), 60.0);  // rounded Y of the level's first node, 60.5 to even
}

TEST(TreeDrawer, LevelsLineUpOnTheirTallestNodes) {
  TTreeDrawer d;
  d.SetLevelSeparation(60);
  d.SetAlignLevels(true);
  d.SetMinLevelSeparation(10);
  auto* root = new TNamedNode("root");
  root->SetSize(1, 1, 5, 15);
  d.SetRoot(root);
  auto* a = static_cast<TNamedNode*>(Add(root, "a"));
  auto* b = static_cast<TNamedNode*>(Add(root, "b"));
  a->SetSize(1, 1, 40, 2);
  b->SetSize(1, 1, 2, 7);
  EXPECT_EQ(d.LevelAbove(0), 5.0);
  EXPECT_EQ(d.LevelBelow(0), 15.0);
  EXPECT_EQ(d.LevelAbove(1), 40.0);
  EXPECT_EQ(d.LevelBelow(1), 7.0);
  // 60 - 15 - 40 = 5 < 10: the lines are 15 + 40 + 10 apart.
  EXPECT_EQ(a->YPos(), 5.0 + 65.0);
  EXPECT_EQ(b->YPos(), 70.0);
  EXPECT_EQ(d.Height(), 77.0);
}

TEST(TreeDrawer, LevelIndexOutsideTheLevels) {
  TTreeDrawer d;
  d.SetRoot(new TTreeDrawNode);
  EXPECT_TREE_ERROR(d.LevelAbove(1), "List index out of bounds (1)");
  EXPECT_TREE_ERROR(d.LevelBelow(-1), "List index out of bounds (-1)");
  EXPECT_TREE_ERROR(d.LevelY(5), "List index out of bounds (5)");
  double a = 0, b = 0;
  EXPECT_TREE_ERROR(d.LevelSize(2, a, b), "List index out of bounds (2)");
}

TEST(TreeDrawer, LevelReadsAfterAStructureChangeSeeTheNewTree) {
  TTreeDrawer d;
  d.SetRoot(new TTreeDrawNode);
  auto* child = new TNamedNode("child");
  child->SetSize(1, 1, 9, 9);
  d.Root()->AddChild(child);
  EXPECT_EQ(d.LevelAbove(1), 9.0);
  d.Root()->Prune();
  EXPECT_TREE_ERROR(d.LevelAbove(1), "List index out of bounds (1)");
  EXPECT_EQ(d.LevelAbove(0), 0.5);
}

TEST(TreeDrawer, ComparingSettersMarkOnlyChanges) {
  TCountingDrawer d;
  d.SetRoot(new TTreeDrawNode);
  d.Root()->AddChild(new TTreeDrawNode);
  d.Root()->AddChild(new TTreeDrawNode);
  d.SetNodeSeparation(20);
  EXPECT_EQ(d.Width(), 22.0);
  EXPECT_EQ(d.placed, 1);
  d.SetNodeSeparation(20);
  EXPECT_FALSE(d.ModifiedNodes());
  EXPECT_EQ(d.Width(), 22.0);
  EXPECT_EQ(d.placed, 1);
  d.SetNodeSeparation(10);
  EXPECT_TRUE(d.ModifiedNodes());
  EXPECT_EQ(d.Width(), 12.0);
  EXPECT_EQ(d.placed, 2);
  // Plain stores never place again.
  d.SetXMirror(true);
  d.SetXOffset(3);
  d.SetYOffset(4);
  d.SetXStretch(2);
  EXPECT_FALSE(d.ModifiedNodes());
  // Marking setters, one at a time.
  d.SetDrawMethod(dmWalker);
  EXPECT_TRUE(d.ModifiedNodes());
  d.Width();
  d.SetAlignTerminals(true);
  EXPECT_TRUE(d.ModifiedStructure());
  d.Width();
  EXPECT_EQ(d.placed, 4);
  // A node's own Modified reaches the drawer.
  d.Root()->FirstChild()->Modified();
  EXPECT_TRUE(d.ModifiedNodes());
}

TEST(TreeDrawer, PlaceKeepsTheNodesFlag) {
  TCountingDrawer d;
  d.SetRoot(new TTreeDrawNode);
  d.Place();
  EXPECT_TRUE(d.ModifiedNodes());  // UpdateStructure set it; only UpdatePlacement clears it
  EXPECT_EQ(d.Width(), 1.0);
  EXPECT_EQ(d.placed, 2);
  EXPECT_FALSE(d.ModifiedNodes());
}

TEST(TreeDrawer, StretchAndSize) {
  TTreeDrawer d;
  d.SetRoot(new TTreeDrawNode);
  d.Root()->AddChild(new TTreeDrawNode);
  d.Root()->AddChild(new TTreeDrawNode);
  d.SetNodeSeparation(9);
  EXPECT_EQ(d.Width(), 11.0);
  EXPECT_EQ(d.W(), 12);  // 11.5 to even
  EXPECT_EQ(d.XSize(), 11.0);
  d.SetXStretch(2);
  EXPECT_EQ(d.XSize(), 22.0);
  EXPECT_EQ(d.XS(), 22);  // 22.5 to even
  d.SetXSize(33);
  EXPECT_EQ(d.XStretch(), 3.0);
  d.SetXOffset(2.5);
  EXPECT_EQ(d.X0(), 2);
  EXPECT_EQ(d.X1(), 35);
  d.SetNodeSeparation(8);
  EXPECT_EQ(d.Width(), 10.0);
  EXPECT_EQ(d.W(), 10);  // 10.5 to even
  EXPECT_EQ(d.XSize(), 30.0);
  EXPECT_EQ(d.Height(), 2.0);
  EXPECT_EQ(d.H(), 2);  // 2.5 to even
  d.SetYStretch(10);
  EXPECT_EQ(d.YSize(), 20.0);
  EXPECT_EQ(d.YS(), 20);
  EXPECT_EQ(d.Y1(), 20);
  d.SetYSize(5);
  EXPECT_EQ(d.YStretch(), 2.5);
}

TEST(TreeDrawer, PictureCornersStayInTheIntegerRange) {
  TTreeDrawer d;
  d.SetXOffset(2e9);
  d.SetXSize(2e9);
  d.SetYOffset(-2e9);
  d.SetYSize(-2e9);
  EXPECT_EQ(d.X1(), 2147483647);
  EXPECT_EQ(d.Y1(), -2147483647 - 1);
}

TEST(TreeDrawer, SizeOfAnEmptyExtentKeepsTheStretch) {
  TTreeDrawer d;
  d.SetXStretch(2);
  d.SetXSize(100);
  d.SetYSize(100);
  EXPECT_EQ(d.XStretch(), 2.0);
  EXPECT_EQ(d.YStretch(), 1.0);
  EXPECT_EQ(d.XSize(), 100.0);
}

TEST(TreeDrawer, MirrorStretchAndOffsetMapPositions) {
  TTreeDrawer d;
  d.SetNodeSeparation(20);
  d.SetLevelSeparation(60);
  d.SetRoot(new TTreeDrawNode);
  TTreeDrawNode* a = d.Root()->AddChild(new TTreeDrawNode);
  d.Root()->AddChild(new TTreeDrawNode);
  EXPECT_EQ(a->XPos(), 0.5);
  d.SetXMirror(true);
  EXPECT_EQ(a->FltX(), 21.5);
  d.SetYMirror(true);
  EXPECT_EQ(a->FltY(), 0.5);
  EXPECT_EQ(d.Root()->FltY(), 60.5);
  d.SetXStretch(2);
  d.SetXOffset(10);
  EXPECT_EQ(a->FltX(), 53.0);
  EXPECT_EQ(d.MapX(0), 54.0);
  EXPECT_EQ(d.MapY(0), 61.0);
}

TEST(TreeDrawer, AlignedTerminalsShareTheLastLevel) {
  TTreeDrawer d;
  d.SetRoot(new TNamedNode("root"));
  TTreeDrawNode* a = Add(d.Root(), "a");
  TTreeDrawNode* a1 = Add(a, "a1");
  TTreeDrawNode* b = Add(d.Root(), "b");
  auto levels = [&d] {
    std::vector<std::string> out;
    for (int i = 0; i < d.Levels(); ++i) {
      std::string s;
      for (TTreeDrawNode* n = d.LevelFirst(i); n; n = n->RightNode()) s += (s.empty() ? "" : ",") + n->Text();
      out.push_back(s);
    }
    return out;
  };
  EXPECT_EQ(levels(), std::vector<std::string>({"root", "a,b", "a1"}));
  d.SetAlignTerminals(true);
  EXPECT_EQ(levels(), std::vector<std::string>({"root", "a", "a1,b"}));
  EXPECT_EQ(b->LeftNode(), a1);
  EXPECT_EQ(d.LevelLast(2), b);
  d.SetLevelSeparation(60);
  EXPECT_EQ(b->YPos(), a1->YPos());
  // A single node is its own last level.
  TTreeDrawer single;
  single.SetAlignTerminals(true);
  single.SetRoot(new TTreeDrawNode);
  EXPECT_EQ(single.Levels(), 1);
  EXPECT_EQ(single.Root()->YPos(), 0.5);
}

// A node whose size depends on where it was placed: a position read from
// inside the placement must not start another one.
class TSelfReadingNode : public TTreeDrawNode {
 public:
  double LeftWidth() const override { return XPos() >= 0 ? 0.5 : 1.0; }
};

TEST(TreeDrawer, PositionReadsDuringPlacementDoNotRecurse) {
  TTreeDrawer d;
  d.SetRoot(new TSelfReadingNode);
  d.Root()->AddChild(new TSelfReadingNode);
  EXPECT_EQ(d.Width(), 1.0);
}

TEST(TreeDrawer, NameConversions) {
  struct Case {
    TTreeOrientation value;
    const char* name;
  };
  for (const Case& c : {Case{oTopDown, "TopDown"}, Case{oLeftRight, "LeftRight"}, Case{oBottomUp, "BottomUp"},
                        Case{oRightLeft, "RightLeft"}}) {
    EXPECT_EQ(TreeOrientationToString(c.value), c.name);
    EXPECT_EQ(StringToTreeOrientation(c.name), c.value);
  }
  EXPECT_EQ(TreeOrientationToString(static_cast<TTreeOrientation>(4)), "");
  EXPECT_EQ(StringToTreeOrientation("leftright"), oTopDown);
  EXPECT_EQ(StringToTreeOrientation(""), oTopDown);

  struct MCase {
    TTreeDrawMethod value;
    const char* name;
  };
  for (const MCase& c : {MCase{dmBottomUp, "BottomUp"}, MCase{dmWalker, "Walker"}, MCase{dmQP, "QP"}}) {
    EXPECT_EQ(TreeDrawMethodToString(c.value), c.name);
    EXPECT_EQ(StringToTreeDrawMethod(c.name), c.value);
  }
  EXPECT_EQ(TreeDrawMethodToString(static_cast<TTreeDrawMethod>(-1)), "");
  EXPECT_EQ(StringToTreeDrawMethod(""), dmWalker);
  EXPECT_EQ(StringToTreeDrawMethod("qp"), dmWalker);
}

}  // namespace
}  // namespace vt
