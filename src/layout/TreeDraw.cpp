#include "layout/TreeDraw.h"

#include <algorithm>
#include <utility>

namespace vt {

namespace {

const char* const kInsertNearRoot = "Cannot insert new node \"%s\" near to root";
const char* const kCircularMove = "Attempted a circular move of node \"%s\"";
const char* const kNodeInTree = "Node \"%s\" already belongs to a tree";
const char* const kLevelIndex = "List index out of bounds (%d)";

// A node is placed as a terminal when it says so, and also when it claims
// children it does not have (there is nothing to centre it over).
bool IsLeaf(const TTreeDrawNode* node) { return node->IsTerminal() || node->FirstChild() == nullptr; }

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
    case oTopDown: return "TopDown";
    case oLeftRight: return "LeftRight";
    case oBottomUp: return "BottomUp";
    case oRightLeft: return "RightLeft";
  }
  return "";
}

std::string TreeDrawMethodToString(TTreeDrawMethod value) {
  switch (value) {
    case dmBottomUp: return "BottomUp";
    case dmWalker: return "Walker";
    case dmQP: return "QP";
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

std::string TTreeDrawNode::Text() const { return ""; }
int TTreeDrawNode::Count() const { return IsTerminal() ? 0 : FChildCount; }
bool TTreeDrawNode::IsTerminal() const { return FChildCount == 0; }
double TTreeDrawNode::Width() const { return LeftWidth() + RightWidth(); }
double TTreeDrawNode::LeftWidth() const { return 0.5; }
double TTreeDrawNode::RightWidth() const { return 0.5; }
double TTreeDrawNode::Height() const { return TopHeight() + BottomHeight(); }
double TTreeDrawNode::TopHeight() const { return 0.5; }
double TTreeDrawNode::BottomHeight() const { return 0.5; }

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
  int index = 0;
  for (const TTreeDrawNode* node = FParent->FFirstChild; node && node != this; node = node->FNextChild) ++index;
  return index;
}

TTreeDrawNode* TTreeDrawNode::GetItem(int Idx) const {
  if (Idx < 0) return nullptr;
  TTreeDrawNode* node = FFirstChild;
  for (int i = 0; node && i < Idx; ++i) node = node->FNextChild;
  return node;
}

double TTreeDrawNode::Before() const {
  switch (FDrawer ? FDrawer->Orientation() : oTopDown) {
    case oTopDown: return LeftWidth();
    case oLeftRight: return BottomHeight();
    case oBottomUp: return RightWidth();
    case oRightLeft: return TopHeight();
  }
  return 0.0;
}

double TTreeDrawNode::After() const {
  switch (FDrawer ? FDrawer->Orientation() : oTopDown) {
    case oTopDown: return RightWidth();
    case oLeftRight: return TopHeight();
    case oBottomUp: return LeftWidth();
    case oRightLeft: return BottomHeight();
  }
  return 0.0;
}

double TTreeDrawNode::Above() const {
  switch (FDrawer ? FDrawer->Orientation() : oTopDown) {
    case oTopDown: return TopHeight();
    case oLeftRight: return LeftWidth();
    case oBottomUp: return BottomHeight();
    case oRightLeft: return RightWidth();
  }
  return 0.0;
}

double TTreeDrawNode::Below() const {
  switch (FDrawer ? FDrawer->Orientation() : oTopDown) {
    case oTopDown: return BottomHeight();
    case oLeftRight: return RightWidth();
    case oBottomUp: return TopHeight();
    case oRightLeft: return LeftWidth();
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

double TTreeDrawNode::FltX() const { return FDrawer ? FDrawer->MapX(XPos()) : XPos(); }
double TTreeDrawNode::FltY() const { return FDrawer ? FDrawer->MapY(YPos()) : YPos(); }
double TTreeDrawNode::FltX0() const { return FltX() - LeftWidth(); }
double TTreeDrawNode::FltX1() const { return FltX() + RightWidth(); }
double TTreeDrawNode::FltY0() const { return FltY() - TopHeight(); }
double TTreeDrawNode::FltY1() const { return FltY() + BottomHeight(); }
int TTreeDrawNode::X() const { return RoundHalfEven(FltX()); }
int TTreeDrawNode::Y() const { return RoundHalfEven(FltY()); }
int TTreeDrawNode::X0() const { return RoundHalfEven(FltX0()); }
int TTreeDrawNode::Y0() const { return RoundHalfEven(FltY0()); }
int TTreeDrawNode::X1() const { return RoundHalfEven(FltX1()); }
int TTreeDrawNode::Y1() const { return RoundHalfEven(FltY1()); }

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

TTreeDrawer::~TTreeDrawer() { SetRoot(nullptr); }

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

int TTreeDrawer::W() { return RoundHalfEven(Width() + 0.5); }
int TTreeDrawer::H() { return RoundHalfEven(Height() + 0.5); }
int TTreeDrawer::XS() const { return RoundHalfEven(FXSize + 0.5); }
int TTreeDrawer::YS() const { return RoundHalfEven(FYSize + 0.5); }
int TTreeDrawer::X0() const { return RoundHalfEven(FXOffset); }
int TTreeDrawer::Y0() const { return RoundHalfEven(FYOffset); }
int TTreeDrawer::X1() const { return X0() + RoundHalfEven(FXSize); }
int TTreeDrawer::Y1() const { return Y0() + RoundHalfEven(FYSize); }

double TTreeDrawer::MapX(double x) const { return (FXMirror ? FWidth - x : x) * FXStretch + FXOffset; }
double TTreeDrawer::MapY(double y) const { return (FYMirror ? FHeight - y : y) * FYStretch + FYOffset; }

void TTreeDrawer::CheckLevel(int ALev) const {
  if (ALev < 0 || static_cast<size_t>(ALev) >= FLevelFirst.size()) throw ETreeDrawError(Fmt(kLevelIndex, ALev));
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
    for (TTreeDrawNode* node = FLevelFirst[static_cast<size_t>(lev)]; node; node = node->FRightNode) node->FYPos = y;
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
  auto enter = [&](TTreeDrawNode* node) {
    node->FXMod = 0.0;
    if (IsLeaf(node))
      walkTerminal(node);
    else
      open.push_back(TFrame{node, node->FFirstChild, 0.0, 0.0, 0.0, 0.0});
    return !IsLeaf(node);
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

// Scratch of one Walker placement. The algorithm works on the nodes' own
// FXPos and FXMod exactly as it is written; what is kept here only makes its
// look-ups cheap, so that the cost grows about linearly with the tree:
// - every node's number in pre-order (its slot, also stored in the node),
//   its parent, depth, the end of its subtree's slots, its place on its
//   level and its extents, asked for once;
// - the visible nodes (those the first walk reaches) of each depth in
//   pre-order, so that the leftmost node of a subtree at some depth is one
//   binary search;
// - per Apportion call, the sums of the modifiers from a contour node up to
//   the apportioned level, so that a climb stops where an earlier climb of
//   the same call passed (only that level's modifiers change during a call,
//   and they are read fresh);
// - for centring over the whole subtree (apSubtree), the span of each
//   parent's children, kept until an Apportion moves a node inside it.
class TPlacementRun {
public:
  TPlacementRun(TTreeDrawNode* root, const std::vector<TTreeDrawNode*>& levelFirst, double nodeSeparation,
                bool subtreeSpans);
  // The post-order first pass: preliminary positions and modifiers.
  void FirstWalk();

private:
  struct TSpan {
    double lo, hi;
  };
  struct TFrame {
    TTreeDrawNode* node;
    TTreeDrawNode* next;
  };
  enum : unsigned char { kSpanNone, kSpanClean, kSpanDirty };

  double FSep;
  bool FSubtree;
  TTreeDrawNode* FRoot;

  std::vector<TTreeDrawNode*> FNode;
  std::vector<int> FParent;
  std::vector<int> FDepth;
  std::vector<int> FEnd;
  std::vector<int> FLevelPos;
  std::vector<unsigned char> FTerminal;  // IsTerminal
  std::vector<unsigned char> FLeaf;      // placed as a terminal
  std::vector<double> FBefore;
  std::vector<double> FAfter;
  std::vector<int> FDepthStart;    // visible slots of depth d: FDepthStart[d] ...
  std::vector<int> FDepthVisible;  // ... FDepthStart[d + 1] - 1, ascending

  int FCall = 0;
  std::vector<int> FStamp;     // Apportion call that filled FInner and FTop
  std::vector<double> FInner;  // sum of modifiers strictly below the level
  std::vector<int> FTop;       // the ancestor on the apportioned level
  std::vector<int> FPath;

  std::vector<unsigned char> FSpanState;
  std::vector<TSpan> FSpan;  // span of the children, on their own scale
  std::vector<TFrame> FSpanStack;

  void Number(const std::vector<TTreeDrawNode*>& levelFirst);
  void PlaceTerminal(TTreeDrawNode* node);
  void PlaceParent(TTreeDrawNode* node);
  void Apportion(TTreeDrawNode* node);
  void ClimbToLevel(int slot, int level);
  TTreeDrawNode* LeftmostAtDepth(int slot, int k) const;
  void Spread(TTreeDrawNode* node, int count, double overlap);
  void SpanMoved(int parent);
  void UpdateSpan(int slot);
  TSpan ChildrenSpan(int slot) const;
  TSpan WidenedSpan(const TTreeDrawNode* child) const;
};

TPlacementRun::TPlacementRun(TTreeDrawNode* root, const std::vector<TTreeDrawNode*>& levelFirst,
                             double nodeSeparation, bool subtreeSpans)
    : FSep(nodeSeparation), FSubtree(subtreeSpans), FRoot(root) {
  Number(levelFirst);
}

void TPlacementRun::Number(const std::vector<TTreeDrawNode*>& levelFirst) {
  int count = 0;
  ForEachPreOrder(FRoot, [&](TTreeDrawNode* node, int depth) {
    node->FSlot = count++;
    FNode.push_back(node);
    FParent.push_back(depth == 0 ? -1 : node->FParent->FSlot);
    FDepth.push_back(depth);
    bool terminal = node->IsTerminal();
    FTerminal.push_back(terminal);
    FLeaf.push_back(terminal || !node->FFirstChild);
    FBefore.push_back(node->Before());
    FAfter.push_back(node->After());
    return true;
  });
  size_t n = FNode.size();

  std::vector<int> size(n, 1);
  for (size_t s = n; s-- > 1;) size[static_cast<size_t>(FParent[s])] += size[s];
  FEnd.resize(n);
  for (size_t s = 0; s < n; ++s) FEnd[s] = static_cast<int>(s) + size[s];

  FLevelPos.assign(n, -1);
  for (TTreeDrawNode* first : levelFirst) {
    int pos = 0;
    for (TTreeDrawNode* node = first; node; node = node->FRightNode) FLevelPos[static_cast<size_t>(node->FSlot)] = pos++;
  }

  std::vector<unsigned char> visible(n, 1);
  int depths = 0;
  for (size_t s = 0; s < n; ++s) {
    if (s > 0) {
      size_t p = static_cast<size_t>(FParent[s]);
      visible[s] = visible[p] && !FLeaf[p];
    }
    depths = std::max(depths, FDepth[s] + 1);
  }
  FDepthStart.assign(static_cast<size_t>(depths) + 1, 0);
  for (size_t s = 0; s < n; ++s)
    if (visible[s]) ++FDepthStart[static_cast<size_t>(FDepth[s]) + 1];
  for (size_t d = 1; d < FDepthStart.size(); ++d) FDepthStart[d] += FDepthStart[d - 1];
  FDepthVisible.resize(static_cast<size_t>(FDepthStart.back()));
  std::vector<int> fill(FDepthStart.begin(), FDepthStart.end() - 1);
  for (size_t s = 0; s < n; ++s)
    if (visible[s]) FDepthVisible[static_cast<size_t>(fill[static_cast<size_t>(FDepth[s])]++)] = static_cast<int>(s);

  FStamp.assign(n, 0);
  FInner.assign(n, 0.0);
  FTop.assign(n, -1);
  if (FSubtree) {
    FSpanState.assign(n, kSpanNone);
    FSpan.assign(n, TSpan{0.0, 0.0});
  }
}

void TPlacementRun::FirstWalk() {
  std::vector<TFrame> open;
  auto enter = [&](TTreeDrawNode* node) {
    node->FXMod = 0.0;
    if (FLeaf[static_cast<size_t>(node->FSlot)])
      PlaceTerminal(node);
    else
      open.push_back(TFrame{node, node->FFirstChild});
  };
  enter(FRoot);
  while (!open.empty()) {
    TFrame& f = open.back();
    if (TTreeDrawNode* child = f.next) {
      f.next = child->FNextChild;
      enter(child);
      continue;
    }
    TTreeDrawNode* node = f.node;
    open.pop_back();
    PlaceParent(node);
  }
}

void TPlacementRun::PlaceTerminal(TTreeDrawNode* node) {
  size_t s = static_cast<size_t>(node->FSlot);
  if (TTreeDrawNode* left = node->FLeftNode)
    node->FXPos = left->FXPos + FAfter[static_cast<size_t>(left->FSlot)] + FSep + FBefore[s];
  else
    node->FXPos = FBefore[s];
}

void TPlacementRun::PlaceParent(TTreeDrawNode* node) {
  size_t s = static_cast<size_t>(node->FSlot);
  double first = node->FFirstChild->FXPos;
  double last = node->FLastChild->FXPos;
  if (FSubtree) {
    UpdateSpan(node->FSlot);
    first = FSpan[s].lo;
    last = FSpan[s].hi;
  }
  double mid = (first + last) / 2;
  if (TTreeDrawNode* left = node->FLeftNode) {
    node->FXPos = left->FXPos + FAfter[static_cast<size_t>(left->FSlot)] + FSep + FBefore[s];
    node->FXMod = node->FXPos - mid;
    Apportion(node);
  } else {
    node->FXPos = mid;
  }
}

// Pushes the node's subtree right until, at every depth below it, its
// leftmost node clears its left neighbour on the level.
void TPlacementRun::Apportion(TTreeDrawNode* node) {
  ++FCall;
  const int s = node->FSlot;
  const int level = FDepth[static_cast<size_t>(s)];
  TTreeDrawNode* cur = node->FFirstChild;
  int i = 1;
  TTreeDrawNode* left = cur->FLeftNode;
  while (cur && left) {
    const size_t sl = static_cast<size_t>(left->FSlot);
    const size_t sc = static_cast<size_t>(cur->FSlot);
    ClimbToLevel(left->FSlot, level);
    ClimbToLevel(cur->FSlot, level);
    TTreeDrawNode* a = FNode[static_cast<size_t>(FTop[sl])];
    double sumL = FInner[sl] + a->FXMod;
    double sumR = FInner[sc] + node->FXMod;
    double overlap = (left->FXPos + sumL) + FAfter[sl] + FSep + FBefore[sc] - (cur->FXPos + sumR);
    if (overlap > 0) {
      const size_t sa = static_cast<size_t>(a->FSlot);
      if (FDepth[sa] != level || FLevelPos[sa] < 0 || FLevelPos[sa] >= FLevelPos[static_cast<size_t>(s)]) return;
      Spread(node, FLevelPos[static_cast<size_t>(s)] - FLevelPos[sa], overlap);
    }
    ++i;
    if (FTerminal[sc])
      cur = LeftmostAtDepth(s, i);
    else
      cur = cur->FFirstChild;
    if (cur) left = cur->FLeftNode;
  }
}

// Fills FInner and FTop of a node below the given level, climbing only as
// far as the first node this Apportion call has resolved already.
void TPlacementRun::ClimbToLevel(int slot, int level) {
  size_t y = static_cast<size_t>(slot);
  FPath.clear();
  while (FStamp[y] != FCall && FDepth[y] > level + 1) {
    FPath.push_back(static_cast<int>(y));
    y = static_cast<size_t>(FParent[y]);
  }
  if (FStamp[y] != FCall) {
    FStamp[y] = FCall;
    FInner[y] = 0.0;
    FTop[y] = FParent[y];
  }
  for (auto it = FPath.rbegin(); it != FPath.rend(); ++it) {
    size_t z = static_cast<size_t>(*it);
    size_t p = static_cast<size_t>(FParent[z]);
    FInner[z] = FInner[p] + FNode[p]->FXMod;
    FTop[z] = FTop[p];
    FStamp[z] = FCall;
  }
}

// The leftmost node exactly k levels below the node in its subtree, reached
// through non-terminal nodes only; nil when the subtree is not that deep.
TTreeDrawNode* TPlacementRun::LeftmostAtDepth(int slot, int k) const {
  size_t d = static_cast<size_t>(FDepth[static_cast<size_t>(slot)] + k);
  if (d + 1 >= FDepthStart.size()) return nullptr;
  auto begin = FDepthVisible.begin() + FDepthStart[d];
  auto end = FDepthVisible.begin() + FDepthStart[d + 1];
  auto it = std::upper_bound(begin, end, slot);
  if (it == end || *it >= FEnd[static_cast<size_t>(slot)]) return nullptr;
  return FNode[static_cast<size_t>(*it)];
}

// Moves the node by the whole overlap and the count - 1 level neighbours to
// its left by evenly decreasing shares.
void TPlacementRun::Spread(TTreeDrawNode* node, int count, double overlap) {
  double step = overlap / count;
  double m = overlap;
  TTreeDrawNode* x = node;
  for (int k = 0; k < count && x; ++k) {
    x->FXPos = x->FXPos + m;
    x->FXMod = x->FXMod + m;
    if (FSubtree) SpanMoved(FParent[static_cast<size_t>(x->FSlot)]);
    m = m - step;
    x = x->FLeftNode;
  }
}

// A child of the given node moved: the spans kept for it and its finished
// ancestors are out of date.
void TPlacementRun::SpanMoved(int parent) {
  while (parent >= 0 && FSpanState[static_cast<size_t>(parent)] == kSpanClean) {
    FSpanState[static_cast<size_t>(parent)] = kSpanDirty;
    parent = FParent[static_cast<size_t>(parent)];
  }
}

// Brings the span of a parent's children up to date, recomputing first the
// out-of-date spans below it (without recursion).
void TPlacementRun::UpdateSpan(int slot) {
  if (FSpanState[static_cast<size_t>(slot)] == kSpanClean) return;
  FSpanStack.clear();
  FSpanStack.push_back(TFrame{FNode[static_cast<size_t>(slot)], FNode[static_cast<size_t>(slot)]->FFirstChild});
  while (!FSpanStack.empty()) {
    TFrame& f = FSpanStack.back();
    TTreeDrawNode* child = f.next;
    while (child && (FLeaf[static_cast<size_t>(child->FSlot)] ||
                     FSpanState[static_cast<size_t>(child->FSlot)] == kSpanClean))
      child = child->FNextChild;
    if (child) {
      f.next = child->FNextChild;
      FSpanStack.push_back(TFrame{child, child->FFirstChild});
      continue;
    }
    size_t t = static_cast<size_t>(f.node->FSlot);
    FSpanStack.pop_back();
    FSpan[t] = ChildrenSpan(static_cast<int>(t));
    FSpanState[t] = kSpanClean;
  }
}

// The span of a parent's subtree without its own box, on the scale of its
// children's positions.
TPlacementRun::TSpan TPlacementRun::ChildrenSpan(int slot) const {
  const TTreeDrawNode* node = FNode[static_cast<size_t>(slot)];
  TSpan span = WidenedSpan(node->FFirstChild);
  for (const TTreeDrawNode* child = node->FFirstChild->FNextChild; child; child = child->FNextChild) {
    TSpan w = WidenedSpan(child);
    span.lo = std::min(span.lo, w.lo);
    span.hi = std::max(span.hi, w.hi);
  }
  return span;
}

// A child's subtree span on its parent's children scale; a child wider than
// the span counts with its full width, centred on it.
TPlacementRun::TSpan TPlacementRun::WidenedSpan(const TTreeDrawNode* child) const {
  size_t k = static_cast<size_t>(child->FSlot);
  TSpan span;
  if (FLeaf[k]) {
    span = TSpan{child->FXPos - FBefore[k], child->FXPos + FAfter[k]};
  } else {
    span = TSpan{FSpan[k].lo + child->FXMod, FSpan[k].hi + child->FXMod};
  }
  double w = (FBefore[k] + FAfter[k] - (span.hi - span.lo)) / 2;
  if (w > 0) {
    span.lo = span.lo - w;
    span.hi = span.hi + w;
  }
  return span;
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
  {
    detail::TPlacementRun run(FRoot, FLevelFirst, FNodeSeparation, FAlignParents == apSubtree);
    run.FirstWalk();
  }
  FinalPass();
}

}  // namespace vt
