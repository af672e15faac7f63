#include "layout/TreeDraw.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace vt {

namespace {

const char* const kInsertNearRoot = "Cannot insert new node \"%s\" near to root";
const char* const kCircularMove = "Attempted a circular move of node \"%s\"";
const char* const kNodeInTree = "Node \"%s\" already belongs to a tree";
const char* const kLevelIndex = "List index out of bounds (%d)";

// A node is placed as a terminal when it says so, and also when it claims
// children it does not have (there is nothing to centre it over).
bool IsLeaf(const TTreeDrawNode* node) {
  return node->IsTerminal() || node->FirstChild() == nullptr;
}

// Visits the subtree of top in pre-order without recursion, using the parent
// links to climb back. visit(node, depth) returns whether to enter the
// node's children; depth is counted from top.
template <typename Visit>
void ForEachPreOrder(TTreeDrawNode* top, Visit visit) {
  TTreeDrawNode* node = top;
  int depth = 0;
  for (;;) {
    if (visit(node, depth) && node->FirstChild()) {
      node = node->FirstChild();
      ++depth;
      continue;
    }
    while (node != top && node->NextChild() == nullptr) {
      node = node->Parent();
      --depth;
    }
    if (node == top) return;
    node = node->NextChild();
  }
}

// Restores a flag when a scope ends, also through an exception.
class TFlagGuard {
 public:
  explicit TFlagGuard(bool& flag) : FFlag(flag), FOld(flag) { flag = true; }
  ~TFlagGuard() { FFlag = FOld; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

 private:
  bool& FFlag;
  bool FOld;
};

}  // namespace

// ---------------------------------------------------------------------------
// Name conversions

std::string TreeOrientationToString(TTreeOrientation value) {
  switch (value) {
    case oTopDown:
      return "TopDown";
    case oLeftRight:
      return "LeftRight";
    case oBottomUp:
      return "BottomUp";
    case oRightLeft:
      return "RightLeft";
  }
  return "";
}

std::string TreeDrawMethodToString(TTreeDrawMethod value) {
  switch (value) {
    case dmBottomUp:
      return "BottomUp";
    case dmWalker:
      return "Walker";
    case dmQP:
      return "QP";
  }
  return "";
}

TTreeOrientation StringToTreeOrientation(const std::string& text) {
  if (text == "LeftRight") return oLeftRight;
  if (text == "BottomUp") return oBottomUp;
  if (text == "RightLeft") return oRightLeft;
  return oTopDown;
}

TTreeDrawMethod StringToTreeDrawMethod(const std::string& text) {
  if (text == "BottomUp") return dmBottomUp;
  if (text == "QP") return dmQP;
  return dmWalker;
}

// ---------------------------------------------------------------------------
// TTreeDrawNode

TTreeDrawNode::~TTreeDrawNode() {
  if (FParent) Pull();
  DeleteChildren();
}

std::string TTreeDrawNode::Text() const {
  return "";
}
int TTreeDrawNode::Count() const {
  return IsTerminal() ? 0 : FChildCount;
}
bool TTreeDrawNode::IsTerminal() const {
  return FChildCount == 0;
}
double TTreeDrawNode::Width() const {
  return LeftWidth() + RightWidth();
}
double TTreeDrawNode::LeftWidth() const {
  return 0.5;
}
double TTreeDrawNode::RightWidth() const {
  return 0.5;
}
double TTreeDrawNode::Height() const {
  return TopHeight() + BottomHeight();
}
double TTreeDrawNode::TopHeight() const {
  return 0.5;
}
double TTreeDrawNode::BottomHeight() const {
  return 0.5;
}

TTreeDrawNode* TTreeDrawNode::PrevChild() const {
  if (FDrawer) FDrawer->UpdateStructure();
  return FPrevChild;
}

TTreeDrawNode* TTreeDrawNode::LeftNode() const {
  if (FDrawer) FDrawer->UpdateStructure();
  return FLeftNode;
}

TTreeDrawNode* TTreeDrawNode::RightNode() const {
  if (FDrawer) FDrawer->UpdateStructure();
  return FRightNode;
}

int TTreeDrawNode::Level() const {
  int level = 0;
  for (const TTreeDrawNode* node = FParent; node; node = node->FParent) ++level;
  return level;
}

int TTreeDrawNode::Index() const {
  if (!FParent) return -1;
  const TTreeDrawNode* parent = FParent;
  if (parent->FCursorNode == this) return parent->FCursorIdx;
  int index = -1;
  if (parent->FCursorNode) {
    int i = parent->FCursorIdx;
    for (const TTreeDrawNode* node = parent->FCursorNode; node; node = node->FNextChild, ++i)
      if (node == this) {
        index = i;
        break;
      }
  }
  if (index < 0) {
    index = 0;
    for (const TTreeDrawNode* node = parent->FFirstChild; node && node != this; node = node->FNextChild)
      ++index;
  }
  parent->FCursorIdx = index;
  parent->FCursorNode = const_cast<TTreeDrawNode*>(this);
  return index;
}

TTreeDrawNode* TTreeDrawNode::GetItem(int Idx) const {
  if (Idx < 0 || Idx >= FChildCount) return nullptr;
  if (Idx == FChildCount - 1) return FLastChild;
  TTreeDrawNode* node = FFirstChild;
  int i = 0;
  if (FCursorNode && FCursorIdx <= Idx) {
    node = FCursorNode;
    i = FCursorIdx;
  }
  for (; node && i < Idx; ++i) node = node->FNextChild;
  if (node) {
    FCursorIdx = i;
    FCursorNode = node;
  }
  return node;
}

double TTreeDrawNode::Before() const {
  switch (FDrawer ? FDrawer->Orientation() : oTopDown) {
    case oTopDown:
      return LeftWidth();
    case oLeftRight:
      return BottomHeight();
    case oBottomUp:
      return RightWidth();
    case oRightLeft:
      return TopHeight();
  }
  return 0.0;
}

double TTreeDrawNode::After() const {
  switch (FDrawer ? FDrawer->Orientation() : oTopDown) {
    case oTopDown:
      return RightWidth();
    case oLeftRight:
      return TopHeight();
    case oBottomUp:
      return LeftWidth();
    case oRightLeft:
      return BottomHeight();
  }
  return 0.0;
}

double TTreeDrawNode::Above() const {
  switch (FDrawer ? FDrawer->Orientation() : oTopDown) {
    case oTopDown:
      return TopHeight();
    case oLeftRight:
      return LeftWidth();
    case oBottomUp:
      return BottomHeight();
    case oRightLeft:
      return RightWidth();
  }
  return 0.0;
}

double TTreeDrawNode::Below() const {
  switch (FDrawer ? FDrawer->Orientation() : oTopDown) {
    case oTopDown:
      return BottomHeight();
    case oLeftRight:
      return RightWidth();
    case oBottomUp:
      return TopHeight();
    case oRightLeft:
      return LeftWidth();
  }
  return 0.0;
}

double TTreeDrawNode::XPos() const {
  if (FDrawer) FDrawer->UpdatePlacement();
  return FXPos;
}

double TTreeDrawNode::YPos() const {
  if (FDrawer) FDrawer->UpdatePlacement();
  return FYPos;
}

double TTreeDrawNode::FltX() const {
  return FDrawer ? FDrawer->MapX(XPos()) : XPos();
}
double TTreeDrawNode::FltY() const {
  return FDrawer ? FDrawer->MapY(YPos()) : YPos();
}
double TTreeDrawNode::FltX0() const {
  return FltX() - LeftWidth();
}
double TTreeDrawNode::FltX1() const {
  return FltX() + RightWidth();
}
double TTreeDrawNode::FltY0() const {
  return FltY() - TopHeight();
}
double TTreeDrawNode::FltY1() const {
  return FltY() + BottomHeight();
}
int TTreeDrawNode::X() const {
  return RoundHalfEven(FltX());
}
int TTreeDrawNode::Y() const {
  return RoundHalfEven(FltY());
}
int TTreeDrawNode::X0() const {
  return RoundHalfEven(FltX0());
}
int TTreeDrawNode::Y0() const {
  return RoundHalfEven(FltY0());
}
int TTreeDrawNode::X1() const {
  return RoundHalfEven(FltX1());
}
int TTreeDrawNode::Y1() const {
  return RoundHalfEven(FltY1());
}

void TTreeDrawNode::StructureModified() const {
  if (FDrawer) FDrawer->StructureModified();
}

void TTreeDrawNode::Modified() {
  if (FDrawer) FDrawer->Modified();
}

TTreeDrawNode* TTreeDrawNode::PreviousSibling() const {
  if (!FParent || FParent->FFirstChild == this) return nullptr;
  if (FPrevChild && FPrevChild->FParent == FParent && FPrevChild->FNextChild == this) return FPrevChild;
  TTreeDrawNode* node = FParent->FFirstChild;
  while (node && node->FNextChild != this) node = node->FNextChild;
  return node;
}

// Adding a node that is still linked elsewhere would leave two owners (or a
// cycle, for an ancestor), so only detached nodes are taken.
void TTreeDrawNode::CheckDetached(const TTreeDrawNode* ANode) const {
  bool inTree = ANode == this || ANode->FParent != nullptr ||
                (ANode->FDrawer && ANode->FDrawer->Root() == ANode) ||
                (ANode->FFirstChild && DescendantOf(ANode));
  if (inTree) throw ETreeDrawError(Fmt(kNodeInTree, ANode->Text()));
}

// Links ANode under AParent's drawer: the whole subtree follows, so that
// every node of a tree reaches the drawer that places it.
void TTreeDrawNode::Adopt(TTreeDrawNode* ANode, TTreeDrawNode* AParent) {
  ANode->FParent = AParent;
  TTreeDrawer* drawer = AParent->FDrawer;
  if (ANode->FDrawer == drawer) return;
  ForEachPreOrder(ANode, [drawer](TTreeDrawNode* node, int) {
    node->FDrawer = drawer;
    return true;
  });
}

TTreeDrawNode* TTreeDrawNode::AddChild(TTreeDrawNode* ANode) {
  if (!ANode) return nullptr;
  CheckDetached(ANode);
  Adopt(ANode, this);
  ANode->FNextChild = nullptr;
  ANode->FPrevChild = FLastChild;
  if (FLastChild)
    FLastChild->FNextChild = ANode;
  else
    FFirstChild = ANode;
  FLastChild = ANode;
  ++FChildCount;
  ChildrenChanged();
  StructureModified();
  return ANode;
}

TTreeDrawNode* TTreeDrawNode::InsertLeft(TTreeDrawNode* ANode) {
  if (!ANode) return nullptr;
  if (!FParent) throw ETreeDrawError(Fmt(kInsertNearRoot, ANode->Text()));
  CheckDetached(ANode);
  TTreeDrawNode* prev = PreviousSibling();
  Adopt(ANode, FParent);
  ANode->FNextChild = this;
  ANode->FPrevChild = prev;
  if (prev)
    prev->FNextChild = ANode;
  else
    FParent->FFirstChild = ANode;
  FPrevChild = ANode;
  ++FParent->FChildCount;
  FParent->ChildrenChanged();
  StructureModified();
  return ANode;
}

TTreeDrawNode* TTreeDrawNode::InsertRight(TTreeDrawNode* ANode) {
  if (!ANode) return nullptr;
  if (!FParent) throw ETreeDrawError(Fmt(kInsertNearRoot, ANode->Text()));
  CheckDetached(ANode);
  Adopt(ANode, FParent);
  ANode->FNextChild = FNextChild;
  ANode->FPrevChild = this;
  if (FNextChild)
    FNextChild->FPrevChild = ANode;
  else
    FParent->FLastChild = ANode;
  FNextChild = ANode;
  ++FParent->FChildCount;
  FParent->ChildrenChanged();
  StructureModified();
  return ANode;
}

TTreeDrawNode* TTreeDrawNode::MoveToLeft(TTreeDrawNode* ANode) {
  if (!ANode || ANode == this) return ANode;
  if (DescendantOf(ANode)) throw ETreeDrawError(Fmt(kCircularMove, ANode->Text()));
  // Checked before the pull, so that a refused move leaves the tree intact.
  if (!FParent) throw ETreeDrawError(Fmt(kInsertNearRoot, ANode->Text()));
  if (!ANode->FParent && ANode->FDrawer && ANode->FDrawer->Root() == ANode)
    throw ETreeDrawError(Fmt(kNodeInTree, ANode->Text()));
  ANode->Pull();
  return InsertLeft(ANode);
}

TTreeDrawNode* TTreeDrawNode::MoveToRight(TTreeDrawNode* ANode) {
  if (!ANode || ANode == this) return ANode;
  if (DescendantOf(ANode)) throw ETreeDrawError(Fmt(kCircularMove, ANode->Text()));
  if (!FParent) throw ETreeDrawError(Fmt(kInsertNearRoot, ANode->Text()));
  if (!ANode->FParent && ANode->FDrawer && ANode->FDrawer->Root() == ANode)
    throw ETreeDrawError(Fmt(kNodeInTree, ANode->Text()));
  ANode->Pull();
  return InsertRight(ANode);
}

TTreeDrawNode* TTreeDrawNode::Pull() {
  if (TTreeDrawNode* parent = FParent) {
    TTreeDrawNode* prev = PreviousSibling();
    if (parent->FChildCount == 1) {
      parent->FFirstChild = nullptr;
      parent->FLastChild = nullptr;
    } else if (parent->FFirstChild == this) {
      parent->FFirstChild = FNextChild;
    } else {
      prev->FNextChild = FNextChild;
      if (parent->FLastChild == this) parent->FLastChild = prev;
    }
    if (FNextChild) FNextChild->FPrevChild = prev;
    --parent->FChildCount;
    parent->ChildrenChanged();
    FParent = nullptr;
    FPrevChild = nullptr;
    StructureModified();
  }
  FNextChild = nullptr;
  return this;
}

// Frees the subtree in pre-order without recursion: each node's children
// are taken over before it is freed, so its own destructor finds none.
void TTreeDrawNode::DeleteChildren() {
  std::vector<TTreeDrawNode*> pending;
  auto takeChildren = [&pending](TTreeDrawNode* node) {
    size_t base = pending.size();
    for (TTreeDrawNode* child = node->FFirstChild; child; child = child->FNextChild) pending.push_back(child);
    std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(base), pending.end());
    node->FFirstChild = nullptr;
    node->FLastChild = nullptr;
    node->FChildCount = 0;
    node->ChildrenChanged();
  };
  takeChildren(this);
  while (!pending.empty()) {
    TTreeDrawNode* node = pending.back();
    pending.pop_back();
    takeChildren(node);
    node->FParent = nullptr;
    node->FNextChild = nullptr;
    node->FPrevChild = nullptr;
    delete node;
  }
}

void TTreeDrawNode::Prune() {
  if (!FFirstChild) return;
  DeleteChildren();
  StructureModified();
}

bool TTreeDrawNode::DescendantOf(const TTreeDrawNode* ANode) const {
  if (!ANode) return false;
  for (const TTreeDrawNode* node = FParent; node; node = node->FParent)
    if (node == ANode) return true;
  return false;
}

// ---------------------------------------------------------------------------
// TTreeDrawer

TTreeDrawer::TTreeDrawer() = default;

TTreeDrawer::~TTreeDrawer() {
  SetRoot(nullptr);
}

void TTreeDrawer::SetRoot(TTreeDrawNode* ANode) {
  if (ANode == FRoot) return;
  if (ANode) {
    if (ANode->FParent)
      ANode->Pull();  // out of whatever tree held it, this one included
    else if (ANode->FDrawer && ANode->FDrawer->FRoot == ANode)
      throw ETreeDrawError(Fmt(kNodeInTree, ANode->Text()));
  }
  TTreeDrawNode* old = FRoot;
  FRoot = nullptr;
  delete old;
  FLevelFirst.clear();
  FLevelLast.clear();
  FRoot = ANode;
  if (ANode) {
    ForEachPreOrder(ANode, [this](TTreeDrawNode* node, int) {
      node->FDrawer = this;
      return true;
    });
    ANode->FNextChild = nullptr;
    ANode->FPrevChild = nullptr;
  }
  StructureModified();
}

void TTreeDrawer::SetDrawMethod(TTreeDrawMethod value) {
  bool changed = value != FDrawMethod;
  FDrawMethod = value;
  if (changed) Modified();
}

void TTreeDrawer::SetOrientation(TTreeOrientation value) {
  bool changed = value != FOrientation;
  FOrientation = value;
  if (changed) Modified();
}

void TTreeDrawer::SetLevelSeparation(double value) {
  bool changed = value != FLevelSeparation;
  FLevelSeparation = value;
  if (changed) Modified();
}

void TTreeDrawer::SetMinLevelSeparation(double value) {
  bool changed = value != FMinLevelSeparation;
  FMinLevelSeparation = value;
  if (changed) Modified();
}

void TTreeDrawer::SetNodeSeparation(double value) {
  bool changed = value != FNodeSeparation;
  FNodeSeparation = value;
  if (changed) Modified();
}

void TTreeDrawer::SetAlignTerminals(bool value) {
  bool changed = value != FAlignTerminals;
  FAlignTerminals = value;
  if (changed) StructureModified();
}

void TTreeDrawer::SetAlignLevels(bool value) {
  bool changed = value != FAlignLevels;
  FAlignLevels = value;
  if (changed) Modified();
}

void TTreeDrawer::SetAlignParents(TTreeAlignParents value) {
  bool changed = value != FAlignParents;
  FAlignParents = value;
  if (changed) Modified();
}

void TTreeDrawer::SetXStretch(double value) {
  FXStretch = value;
  FXSize = value * FWidth;
}

void TTreeDrawer::SetYStretch(double value) {
  FYStretch = value;
  FYSize = value * FHeight;
}

void TTreeDrawer::SetXSize(double value) {
  FXSize = value;
  if (FWidth != 0.0) FXStretch = value / FWidth;
}

void TTreeDrawer::SetYSize(double value) {
  FYSize = value;
  if (FHeight != 0.0) FYStretch = value / FHeight;
}

int TTreeDrawer::Levels() {
  UpdateStructure();
  return static_cast<int>(FLevelFirst.size());
}

double TTreeDrawer::Width() {
  UpdatePlacement();
  return FWidth;
}

double TTreeDrawer::Height() {
  UpdatePlacement();
  return FHeight;
}

int TTreeDrawer::W() {
  return RoundHalfEven(Width() + 0.5);
}
int TTreeDrawer::H() {
  return RoundHalfEven(Height() + 0.5);
}
int TTreeDrawer::XS() const {
  return RoundHalfEven(FXSize + 0.5);
}
int TTreeDrawer::YS() const {
  return RoundHalfEven(FYSize + 0.5);
}
int TTreeDrawer::X0() const {
  return RoundHalfEven(FXOffset);
}
int TTreeDrawer::Y0() const {
  return RoundHalfEven(FYOffset);
}

// The corner as the sum of two rounded values, held to the integer range
// like every rounded coordinate instead of overflowing.
static int RoundedSum(double AOffset, double ASize) {
  const long long sum = static_cast<long long>(RoundHalfEven(AOffset)) + RoundHalfEven(ASize);
  return static_cast<int>(
      std::clamp<long long>(sum, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int TTreeDrawer::X1() const {
  return RoundedSum(FXOffset, FXSize);
}
int TTreeDrawer::Y1() const {
  return RoundedSum(FYOffset, FYSize);
}

double TTreeDrawer::MapX(double x) const {
  return (FXMirror ? FWidth - x : x) * FXStretch + FXOffset;
}
double TTreeDrawer::MapY(double y) const {
  return (FYMirror ? FHeight - y : y) * FYStretch + FYOffset;
}

void TTreeDrawer::CheckLevel(int ALev) const {
  if (ALev < 0 || static_cast<size_t>(ALev) >= FLevelFirst.size())
    throw ETreeDrawError(Fmt(kLevelIndex, ALev));
}

// The level lists hold plain node references, so they are brought up to
// date before they are read: after a structure change they may name nodes
// that no longer exist.
void TTreeDrawer::LevelSize(int ALev, double& AAbove, double& ABelow) {
  UpdateStructure();
  CheckLevel(ALev);
  AAbove = 0.0;
  ABelow = 0.0;
  for (TTreeDrawNode* node = FLevelFirst[static_cast<size_t>(ALev)]; node; node = node->FRightNode) {
    AAbove = std::max(AAbove, node->Above());
    ABelow = std::max(ABelow, node->Below());
  }
}

double TTreeDrawer::GetLevelAbove(int ALev) {
  double above = 0.0, below = 0.0;
  LevelSize(ALev, above, below);
  return above;
}

double TTreeDrawer::GetLevelBelow(int ALev) {
  double above = 0.0, below = 0.0;
  LevelSize(ALev, above, below);
  return below;
}

double TTreeDrawer::GetLevelY(int ALev) {
  UpdateStructure();
  CheckLevel(ALev);
  TTreeDrawNode* first = FLevelFirst[static_cast<size_t>(ALev)];
  return first ? static_cast<double>(first->Y()) : 0.0;
}

TTreeDrawNode* TTreeDrawer::LevelFirst(int ALev) {
  UpdateStructure();
  CheckLevel(ALev);
  return FLevelFirst[static_cast<size_t>(ALev)];
}

TTreeDrawNode* TTreeDrawer::LevelLast(int ALev) {
  UpdateStructure();
  CheckLevel(ALev);
  return FLevelLast[static_cast<size_t>(ALev)];
}

void TTreeDrawer::UpdateStructure() {
  if (!FRoot) {
    FLevelFirst.clear();
    FLevelLast.clear();
    return;
  }
  if (!FModifiedStructure) return;
  BuildLevelChains();
  FModifiedStructure = false;
  Modified();
}

void TTreeDrawer::BuildLevelChains() {
  FLevelFirst.clear();
  FLevelLast.clear();
  TTreeDrawNode* firstTerminal = nullptr;
  TTreeDrawNode* lastTerminal = nullptr;
  FRoot->FPrevChild = nullptr;
  ForEachPreOrder(FRoot, [&](TTreeDrawNode* node, int depth) {
    size_t lev = static_cast<size_t>(depth);
    if (FLevelFirst.size() <= lev) FLevelFirst.push_back(nullptr);
    if (FLevelLast.size() <= lev) FLevelLast.push_back(nullptr);
    bool aligned = FAlignTerminals && node->IsTerminal();
    TTreeDrawNode* left;
    if (aligned) {
      if (!firstTerminal) firstTerminal = node;
      left = lastTerminal;
    } else {
      if (!FLevelFirst[lev]) FLevelFirst[lev] = node;
      left = FLevelLast[lev];
    }
    node->FLeftNode = left;
    if (left) left->FRightNode = node;
    node->FRightNode = nullptr;
    if (aligned)
      lastTerminal = node;
    else
      FLevelLast[lev] = node;
    TTreeDrawNode* prev = nullptr;
    for (TTreeDrawNode* child = node->FFirstChild; child; child = child->FNextChild) {
      child->FPrevChild = prev;
      prev = child;
    }
    return true;
  });
  if (FAlignTerminals && !FLevelFirst.empty() && firstTerminal) {
    FLevelFirst.back() = firstTerminal;
    FLevelLast.back() = lastTerminal;
  }
}

void TTreeDrawer::UpdatePlacement() {
  if (FPlacing) return;
  UpdateStructure();
  if (FModifiedNodes) Place();
  FModifiedNodes = false;
}

void TTreeDrawer::Place() {
  TFlagGuard placing(FPlacing);
  UpdateStructure();
  FWidth = 0.0;
  FHeight = 0.0;
  PlaceLevels();
  PlaceNodes();
  FXSize = FXStretch * FWidth;
  FYSize = FYStretch * FHeight;
}

void TTreeDrawer::PlaceNodes() {
  if (FAlignTerminals || FDrawMethod != dmWalker)
    PlaceBottomUp();
  else
    PlaceWalker();
}

void TTreeDrawer::PlaceLevels() {
  int n = Levels();
  if (n < 1) return;
  auto setLevelY = [this](int lev, double y) {
    for (TTreeDrawNode* node = FLevelFirst[static_cast<size_t>(lev)]; node; node = node->FRightNode)
      node->FYPos = y;
  };
  double above = 0.0, below = 0.0;
  LevelSize(0, above, below);
  double y = above;
  setLevelY(0, y);
  for (int i = 1; i < n; ++i) {
    double belowPrev = below;
    LevelSize(i, above, below);
    double s = FLevelSeparation;
    if (FAlignLevels) {
      double g = FLevelSeparation - belowPrev - above;
      if (g < FMinLevelSeparation) s = s + FMinLevelSeparation - g;
    }
    y = y + s;
    setLevelY(i, y);
  }
  FHeight = y + below;
}

void TTreeDrawer::FinalPass() {
  FLeft = 0.0;
  if (!FRoot) return;
  // shiftAt[k]: the sum of the modifiers above a node at depth k.
  std::vector<double> shiftAt(1, 0.0);
  ForEachPreOrder(FRoot, [&](TTreeDrawNode* node, int depth) {
    size_t k = static_cast<size_t>(depth);
    node->FXPos = node->FXPos + shiftAt[k];
    FWidth = std::max(FWidth, node->FXPos + node->After());
    FLeft = std::min(FLeft, node->FXPos - node->Before());
    if (shiftAt.size() <= k + 1) shiftAt.resize(k + 2);
    shiftAt[k + 1] = shiftAt[k] + node->FXMod;
    return true;
  });
  if (FLeft < 0.0) {
    double shift = -FLeft;
    ForEachPreOrder(FRoot, [shift](TTreeDrawNode* node, int) {
      node->FXPos += shift;
      return true;
    });
    FWidth = FWidth - FLeft;
  }
}

// ---------------------------------------------------------------------------
// Bottom-up placement

void TTreeDrawer::PlaceBottomUp() {
  double cursor = 0.0;
  if (!FRoot) return;

  // One open node of the walk: its next child to walk and the span and
  // child positions gathered so far.
  struct TFrame {
    TTreeDrawNode* node;
    TTreeDrawNode* next;
    double lo, hi, first, last;
  };
  std::vector<TFrame> open;
  double lo = 0.0, hi = 0.0;  // span of the subtree walked last

  auto walkTerminal = [&](TTreeDrawNode* node) {
    if (cursor > 0.0) cursor = cursor + FNodeSeparation;
    lo = cursor;
    cursor = cursor + node->Before();
    node->FXPos = cursor;
    cursor = cursor + node->After();
    hi = cursor;
  };
  auto finishParent = [&](TFrame& f) {
    TTreeDrawNode* node = f.node;
    node->FXPos = FAlignParents == apDescendants ? (f.first + f.last) / 2 : (f.lo + f.hi) / 2;
    double e = node->Before() + node->After() - (f.hi - f.lo);
    if (e > 0.0) {
      cursor = cursor + e;
      f.hi = f.hi + e;
      node->FXPos = node->FXPos + e / 2;
      node->FXMod = node->FXMod + e / 2;
    }
    lo = f.lo;
    hi = f.hi;
  };
  // The nodes below a node placed as a terminal (one that says so although
  // it has children) are reached by no walk. They are put on its reference
  // point with no modifier, so that the final pass takes them along with it
  // and nothing left from an earlier placement (or from their construction)
  // enters the extent or moves the tree.
  auto sitBelow = [](TTreeDrawNode* top) {
    const double x = top->FXPos;
    ForEachPreOrder(top, [top, x](TTreeDrawNode* node, int) {
      if (node != top) {
        node->FXPos = x;
        node->FXMod = 0.0;
      }
      return true;
    });
  };
  // Hands the span just walked to the open parent.
  auto report = [&](TTreeDrawNode* child) {
    TFrame& f = open.back();
    if (child == f.node->FFirstChild) {
      f.lo = lo;
      f.hi = hi;
      f.first = child->FXPos;
    } else {
      f.lo = std::min(f.lo, lo);
      f.hi = std::max(f.hi, hi);
    }
    f.last = child->FXPos;
  };
  // Walks a terminal at once, or opens a parent; true for a parent.
  auto enter = [&](TTreeDrawNode* node) {
    node->FXMod = 0.0;
    if (IsLeaf(node)) {
      walkTerminal(node);
      if (node->FFirstChild) sitBelow(node);
      return false;
    }
    open.push_back(TFrame{node, node->FFirstChild, 0.0, 0.0, 0.0, 0.0});
    return true;
  };

  if (enter(FRoot)) {
    while (!open.empty()) {
      TFrame& f = open.back();
      if (TTreeDrawNode* child = f.next) {
        f.next = child->FNextChild;
        if (!enter(child)) report(child);
        continue;
      }
      TFrame done = f;
      open.pop_back();
      finishParent(done);
      if (!open.empty()) report(done.node);
    }
  }
  FWidth = hi - lo;
  // The final pass runs even when no parent was widened: a lopsided parent
  // box, or a parent centred between off-centre children, may reach beyond
  // the terminals' span, and the extent must hold every box. Without such
  // boxes it changes nothing.
  FinalPass();
}

// ---------------------------------------------------------------------------
// Walker placement

namespace detail {

// Scratch of one Walker placement, one entry per node in pre-order (the
// node's slot, also stored in the node). The algorithm runs exactly as it is
// written, on working copies of FXPos and FXMod that the final pass writes
// back; what is kept besides only makes its look-ups cheap, so that the cost
// grows about linearly with the tree:
// - the tree and level links as slots, and the extents, asked for once;
// - for each visible node (one the first walk reaches), the first visible
//   node one depth below it and further right, so that the leftmost node of
//   a subtree at the next depth is one look-up (LeftmostAtDepth);
// - per Apportion call, the sums of the modifiers from a contour node up to
//   the apportioned level, so that a climb stops where an earlier climb of
//   the same call passed (only that level's modifiers change during a call,
//   and they are read fresh);
// - for centring over the whole subtree (apSubtree), the span of each
//   parent's children, kept until an Apportion moves a node inside it.
class TPlacementRun {
 public:
  TPlacementRun(TTreeDrawNode* root, double nodeSeparation, bool subtreeSpans);
  // The post-order first pass: preliminary positions and modifiers.
  void FirstWalk();
  // The final pass of the drawer (modifiers added down the tree, boxes
  // measured into width and left, everything shifted right when a box
  // reaches below 0), then the results written back to the nodes.
  void FinalPass(double& width, double& left);

 private:
  struct TSlot {
    double x;       // FXPos
    double mod;     // FXMod
    double before;  // extents in the layout frame
    double after;
    double inner;   // climb: sum of the modifiers strictly below the level
    int parent;     // -1 for the root
    int end;        // one past the last slot of the subtree
    int lastChild;  // -1 without children; the first child is slot + 1
    int left;       // left neighbour on the level, -1 without
    int depth;
    int levelPos;   // position on the level
    int top;        // climb: the ancestor on the apportioned level
    int stamp;      // the Apportion call that filled inner and top
    bool terminal;  // IsTerminal
    bool leaf;      // placed as a terminal
  };
  struct TSpan {
    double lo, hi;
  };
  enum : unsigned char { kSpanNone, kSpanClean, kSpanDirty };

  double FSep;
  bool FSubtree;
  std::vector<TTreeDrawNode*> FNode;
  std::vector<TSlot> FSlots;
  std::vector<int> FNextBelow;
  int FCall = 0;
  std::vector<int> FPath;
  std::vector<unsigned char> FSpanState;
  std::vector<TSpan> FSpan;
  std::vector<std::pair<int, int>> FOpen;  // a walk's open slots, each with its next child

  void Number(TTreeDrawNode* root);
  void LinkLevels();
  void PlaceTerminal(int s);
  void SitBelow(int s);
  void PlaceParent(int s);
  void Apportion(int s);
  void ClimbToLevel(int s, int level);
  int NextContour(int v, int cur) const;
  void Spread(int s, int count, double overlap);
  void SpanMoved(int parent);
  void UpdateSpan(int s);
  TSpan ChildrenSpan(int s) const;
  TSpan WidenedSpan(int k) const;
};

TPlacementRun::TPlacementRun(TTreeDrawNode* root, double nodeSeparation, bool subtreeSpans)
    : FSep(nodeSeparation), FSubtree(subtreeSpans) {
  Number(root);
  LinkLevels();
  if (FSubtree) {
    FSpanState.assign(FSlots.size(), kSpanNone);
    FSpan.assign(FSlots.size(), TSpan{0.0, 0.0});
  }
}

void TPlacementRun::Number(TTreeDrawNode* root) {
  ForEachPreOrder(root, [this](TTreeDrawNode* node, int) {
    node->FSlot = static_cast<int>(FNode.size());
    FNode.push_back(node);
    return true;
  });
  FSlots.resize(FNode.size());
  for (size_t s = 0; s < FNode.size(); ++s) {
    const TTreeDrawNode* node = FNode[s];
    TSlot& t = FSlots[s];
    t.x = node->FXPos;
    t.mod = node->FXMod;
    t.before = node->Before();
    t.after = node->After();
    t.inner = 0.0;
    t.parent = s == 0 ? -1 : node->FParent->FSlot;
    t.end = static_cast<int>(s) + 1;
    t.lastChild = node->FLastChild ? node->FLastChild->FSlot : -1;
    t.left = node->FLeftNode ? node->FLeftNode->FSlot : -1;
    t.depth = s == 0 ? 0 : FSlots[static_cast<size_t>(t.parent)].depth + 1;
    t.levelPos = 0;
    t.top = -1;
    t.stamp = 0;
    t.terminal = node->IsTerminal();
    t.leaf = t.terminal || !node->FFirstChild;
  }
  for (size_t s = FSlots.size(); s-- > 1;) {
    TSlot& p = FSlots[static_cast<size_t>(FSlots[s].parent)];
    p.end = std::max(p.end, FSlots[s].end);
  }
}

// Levels are the depths here, each in pre-order, as the level chains are.
void TPlacementRun::LinkLevels() {
  size_t n = FSlots.size();
  std::vector<unsigned char> visible(n, 1);
  std::vector<int> onDepth;  // nodes on each depth so far
  std::vector<int> start;    // visible slots of depth d: start[d] .. start[d + 1] - 1
  for (size_t s = 0; s < n; ++s) {
    TSlot& t = FSlots[s];
    size_t d = static_cast<size_t>(t.depth);
    if (onDepth.size() <= d) onDepth.resize(d + 1, 0), start.resize(d + 2, 0);
    t.levelPos = onDepth[d]++;
    if (s > 0) {
      size_t p = static_cast<size_t>(t.parent);
      visible[s] = visible[p] && !FSlots[p].leaf;
    }
    if (visible[s]) ++start[d + 1];
  }
  for (size_t d = 1; d < start.size(); ++d) start[d] += start[d - 1];
  std::vector<int> byDepth(static_cast<size_t>(start.back()));
  std::vector<int> fill(start.begin(), start.end() - 1);
  for (size_t s = 0; s < n; ++s)
    if (visible[s])
      byDepth[static_cast<size_t>(fill[static_cast<size_t>(FSlots[s].depth)]++)] = static_cast<int>(s);
  FNextBelow.assign(n, -1);
  for (size_t d = 0; d + 2 < start.size(); ++d) {
    int j = start[d + 1];
    const int jEnd = start[d + 2];
    for (int i = start[d]; i < start[d + 1]; ++i) {
      int x = byDepth[static_cast<size_t>(i)];
      while (j < jEnd && byDepth[static_cast<size_t>(j)] < x) ++j;
      if (j < jEnd) FNextBelow[static_cast<size_t>(x)] = byDepth[static_cast<size_t>(j)];
    }
  }
}

void TPlacementRun::FirstWalk() {
  auto enter = [this](int s) {
    TSlot& t = FSlots[static_cast<size_t>(s)];
    t.mod = 0.0;
    if (t.leaf) {
      PlaceTerminal(s);
      SitBelow(s);
    } else {
      FOpen.emplace_back(s, s + 1);
    }
  };
  FOpen.clear();
  enter(0);
  while (!FOpen.empty()) {
    auto [s, child] = FOpen.back();
    if (child < FSlots[static_cast<size_t>(s)].end) {
      FOpen.back().second = FSlots[static_cast<size_t>(child)].end;
      enter(child);
      continue;
    }
    FOpen.pop_back();
    PlaceParent(s);
  }
}

// The nodes below a node placed as a terminal (one that says so although it
// has children) are reached by no walk. They are put on its reference point
// with no modifier, so that whatever moves it later (an Apportion share, the
// final pass) takes them along, and nothing left from an earlier placement
// enters the extent or moves the tree.
void TPlacementRun::SitBelow(int s) {
  const TSlot& t = FSlots[static_cast<size_t>(s)];
  for (int k = s + 1; k < t.end; ++k) {
    FSlots[static_cast<size_t>(k)].x = t.x;
    FSlots[static_cast<size_t>(k)].mod = 0.0;
  }
}

void TPlacementRun::PlaceTerminal(int s) {
  TSlot& t = FSlots[static_cast<size_t>(s)];
  if (t.left >= 0) {
    const TSlot& l = FSlots[static_cast<size_t>(t.left)];
    t.x = l.x + l.after + FSep + t.before;
  } else {
    t.x = t.before;
  }
}

void TPlacementRun::PlaceParent(int s) {
  double first = FSlots[static_cast<size_t>(s) + 1].x;
  double last = FSlots[static_cast<size_t>(FSlots[static_cast<size_t>(s)].lastChild)].x;
  if (FSubtree) {
    UpdateSpan(s);
    first = FSpan[static_cast<size_t>(s)].lo;
    last = FSpan[static_cast<size_t>(s)].hi;
  }
  double mid = (first + last) / 2;
  TSlot& t = FSlots[static_cast<size_t>(s)];
  if (t.left >= 0) {
    const TSlot& l = FSlots[static_cast<size_t>(t.left)];
    t.x = l.x + l.after + FSep + t.before;
    t.mod = t.x - mid;
    Apportion(s);
  } else {
    t.x = mid;
  }
}

// Pushes the subtree of slot s right until, at every depth below it, its
// leftmost node clears its left neighbour on the level.
void TPlacementRun::Apportion(int s) {
  ++FCall;
  const int level = FSlots[static_cast<size_t>(s)].depth;
  int cur = s + 1;
  int left = FSlots[static_cast<size_t>(cur)].left;
  while (cur >= 0 && left >= 0) {
    ClimbToLevel(left, level);
    ClimbToLevel(cur, level);
    const TSlot& l = FSlots[static_cast<size_t>(left)];
    const TSlot& c = FSlots[static_cast<size_t>(cur)];
    const TSlot& a = FSlots[static_cast<size_t>(l.top)];
    const TSlot& v = FSlots[static_cast<size_t>(s)];
    double sumL = l.inner + a.mod;
    double sumR = c.inner + v.mod;
    double overlap = (l.x + sumL) + l.after + FSep + c.before - (c.x + sumR);
    if (overlap > 0) {
      if (a.depth != level || a.levelPos >= v.levelPos) return;
      Spread(s, v.levelPos - a.levelPos, overlap);
    }
    cur = NextContour(s, cur);
    if (cur >= 0) left = FSlots[static_cast<size_t>(cur)].left;
  }
}

// Fills inner and top of a node below the given level, climbing only as far
// as the first node this Apportion call has resolved already.
void TPlacementRun::ClimbToLevel(int s, int level) {
  int y = s;
  FPath.clear();
  while (FSlots[static_cast<size_t>(y)].stamp != FCall && FSlots[static_cast<size_t>(y)].depth > level + 1) {
    FPath.push_back(y);
    y = FSlots[static_cast<size_t>(y)].parent;
  }
  TSlot& base = FSlots[static_cast<size_t>(y)];
  if (base.stamp != FCall) {
    base.stamp = FCall;
    base.inner = 0.0;
    base.top = base.parent;
  }
  for (auto it = FPath.rbegin(); it != FPath.rend(); ++it) {
    TSlot& z = FSlots[static_cast<size_t>(*it)];
    const TSlot& p = FSlots[static_cast<size_t>(z.parent)];
    z.inner = p.inner + p.mod;
    z.top = p.top;
    z.stamp = FCall;
  }
}

// The contour node one depth below cur in the subtree of v: cur's first
// child, or for a terminal cur the leftmost node of v's subtree at that
// depth (LeftmostAtDepth), which is the first visible node of that depth
// after cur; -1 when there is none.
int TPlacementRun::NextContour(int v, int cur) const {
  const TSlot& c = FSlots[static_cast<size_t>(cur)];
  if (!c.terminal) return c.leaf ? -1 : cur + 1;
  int next = FNextBelow[static_cast<size_t>(cur)];
  return next >= 0 && next < FSlots[static_cast<size_t>(v)].end ? next : -1;
}

// Moves slot s by the whole overlap and the count - 1 level neighbours to
// its left by evenly decreasing shares.
void TPlacementRun::Spread(int s, int count, double overlap) {
  double step = overlap / count;
  double m = overlap;
  int x = s;
  for (int k = 0; k < count && x >= 0; ++k) {
    TSlot& t = FSlots[static_cast<size_t>(x)];
    t.x = t.x + m;
    t.mod = t.mod + m;
    if (FSubtree) SpanMoved(t.parent);
    m = m - step;
    x = t.left;
  }
}

// A child of the given slot moved: the spans kept for it and its finished
// ancestors are out of date.
void TPlacementRun::SpanMoved(int parent) {
  while (parent >= 0 && FSpanState[static_cast<size_t>(parent)] == kSpanClean) {
    FSpanState[static_cast<size_t>(parent)] = kSpanDirty;
    parent = FSlots[static_cast<size_t>(parent)].parent;
  }
}

// Brings the span of a parent's children up to date, recomputing first the
// out-of-date spans below it (without recursion).
void TPlacementRun::UpdateSpan(int s) {
  if (FSpanState[static_cast<size_t>(s)] == kSpanClean) return;
  FOpen.emplace_back(s, s + 1);
  const size_t base = FOpen.size() - 1;
  while (FOpen.size() > base) {
    auto [t, child] = FOpen.back();
    const int end = FSlots[static_cast<size_t>(t)].end;
    while (child < end &&
           (FSlots[static_cast<size_t>(child)].leaf || FSpanState[static_cast<size_t>(child)] == kSpanClean))
      child = FSlots[static_cast<size_t>(child)].end;
    if (child < end) {
      FOpen.back().second = FSlots[static_cast<size_t>(child)].end;
      FOpen.emplace_back(child, child + 1);
      continue;
    }
    FOpen.pop_back();
    FSpan[static_cast<size_t>(t)] = ChildrenSpan(t);
    FSpanState[static_cast<size_t>(t)] = kSpanClean;
  }
}

// The span of a parent's subtree without its own box, on the scale of its
// children's positions.
TPlacementRun::TSpan TPlacementRun::ChildrenSpan(int s) const {
  const int end = FSlots[static_cast<size_t>(s)].end;
  TSpan span = WidenedSpan(s + 1);
  for (int c = FSlots[static_cast<size_t>(s) + 1].end; c < end; c = FSlots[static_cast<size_t>(c)].end) {
    TSpan w = WidenedSpan(c);
    span.lo = std::min(span.lo, w.lo);
    span.hi = std::max(span.hi, w.hi);
  }
  return span;
}

// A child's subtree span on its parent's children scale; a child wider than
// the span counts with its full width, centred on it.
TPlacementRun::TSpan TPlacementRun::WidenedSpan(int k) const {
  const TSlot& t = FSlots[static_cast<size_t>(k)];
  TSpan span;
  if (t.leaf)
    span = TSpan{t.x - t.before, t.x + t.after};
  else
    span = TSpan{FSpan[static_cast<size_t>(k)].lo + t.mod, FSpan[static_cast<size_t>(k)].hi + t.mod};
  double w = (t.before + t.after - (span.hi - span.lo)) / 2;
  if (w > 0) {
    span.lo = span.lo - w;
    span.hi = span.hi + w;
  }
  return span;
}

void TPlacementRun::FinalPass(double& width, double& left) {
  left = 0.0;
  // inner now holds the sum of the modifiers above each node.
  for (size_t s = 0; s < FSlots.size(); ++s) {
    TSlot& t = FSlots[s];
    if (s == 0) {
      t.inner = 0.0;
    } else {
      const TSlot& p = FSlots[static_cast<size_t>(t.parent)];
      t.inner = p.inner + p.mod;
    }
    t.x = t.x + t.inner;
    width = std::max(width, t.x + t.after);
    left = std::min(left, t.x - t.before);
  }
  if (left < 0.0) {
    for (TSlot& t : FSlots) t.x += -left;
    width = width - left;
  }
  for (size_t s = 0; s < FSlots.size(); ++s) {
    FNode[s]->FXPos = FSlots[s].x;
    FNode[s]->FXMod = FSlots[s].mod;
  }
}

}  // namespace detail

void TTreeDrawer::PlaceWalker() {
  if (!FRoot) return;
  // The method relies on every level being one depth of the tree; with the
  // terminals aligned the drawer places bottom-up instead.
  if (FAlignTerminals) {
    PlaceBottomUp();
    return;
  }
  UpdateStructure();
  detail::TPlacementRun run(FRoot, FNodeSeparation, FAlignParents == apSubtree);
  run.FirstWalk();
  run.FinalPass(FWidth, FLeft);
}

}  // namespace vt
