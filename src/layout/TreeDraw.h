// The layout engine's tree: placeable nodes (TTreeDrawNode) and the drawer
// (TTreeDrawer) that sorts them into levels and places them lazily with the
// bottom-up or the Walker method. The QP method lives in TreeDrawQP.h.
//
// Ownership: the drawer owns its Root, every node owns its children. The
// child chain, the sibling and level-neighbour links are raw pointers into
// that one owned tree; the level lists refer to nodes without owning them.
// Nodes handed to AddChild, InsertLeft, InsertRight and SetRoot pass into the
// tree's ownership.
#pragma once

#include <string>
#include <vector>

#include "foundation/Base.h"

namespace vt {

class TTreeDrawer;

namespace detail {
class TPlacementRun;  // scratch of one Walker run, TreeDraw.cpp
}

enum TTreeDrawMethod : int { dmBottomUp, dmWalker, dmQP };
enum TTreeOrientation : int { oTopDown, oLeftRight, oBottomUp, oRightLeft };
enum TTreeAlignParents : int { apDescendants, apSubtree };

// The engine's exception, raised by the structure operations of the nodes
// and by level-indexed reads with an index outside the levels.
class ETreeDrawError : public Exception {
 public:
  using Exception::Exception;
};

// Names of methods and orientations as the tree documents store them.
std::string TreeOrientationToString(TTreeOrientation value);
std::string TreeDrawMethodToString(TTreeDrawMethod value);
TTreeOrientation StringToTreeOrientation(const std::string& text);
TTreeDrawMethod StringToTreeDrawMethod(const std::string& text);

// A node that the drawer places. The engine never measures: it asks each
// node how far it extends from its reference point (the virtual size
// operations), and a subclass answers. A bare node is a unit square centred
// on its reference point. The placements ask IsTerminal: a node that claims
// to be terminal although it has children is placed as a terminal, and its
// descendants by the bottom-up and Walker methods on its reference point.
class TTreeDrawNode : public TObject {
 public:
  TTreeDrawNode() = default;
  TTreeDrawNode(const TTreeDrawNode&) = delete;
  TTreeDrawNode& operator=(const TTreeDrawNode&) = delete;
  // Pulls the node out of its parent and frees its whole subtree (without
  // recursion, so trees of any depth can be freed).
  ~TTreeDrawNode() override;

  // Virtual operations, in their slot order 0..8.
  virtual std::string Text() const;
  virtual int Count() const;
  virtual bool IsTerminal() const;
  virtual double Width() const;
  virtual double LeftWidth() const;
  virtual double RightWidth() const;
  virtual double Height() const;
  virtual double TopHeight() const;
  virtual double BottomHeight() const;

  // The tree links as stored.
  TTreeDrawer* Drawer() const { return FDrawer; }
  TTreeDrawNode* Parent() const { return FParent; }
  TTreeDrawNode* FirstChild() const { return FFirstChild; }
  TTreeDrawNode* LastChild() const { return FLastChild; }
  TTreeDrawNode* NextChild() const { return FNextChild; }
  int ChildCount() const { return FChildCount; }

  // Derived links, brought up to date by the drawer's UpdateStructure first.
  TTreeDrawNode* PrevChild() const;
  TTreeDrawNode* LeftNode() const;
  TTreeDrawNode* RightNode() const;

  // Number of ancestors; the root has level 0.
  int Level() const;
  // Position among the parent's children from 0; -1 without parent.
  int Index() const;
  // The child at position Idx from 0, nil when Idx is outside the children.
  // Both walk the sibling chain, from the child met last when that is
  // nearer, so reading all children in order is linear.
  TTreeDrawNode* GetItem(int Idx) const;
  TTreeDrawNode* Item(int Idx) const { return GetItem(Idx); }

  // The node's extents in the layout frame of the drawer's orientation
  // (oTopDown for a node without drawer).
  double Before() const;
  double After() const;
  double Above() const;
  double Below() const;

  // Placement results, read after the drawer's UpdatePlacement.
  double XPos() const;
  double YPos() const;
  // Raw placement scratch: the modifier and the QP variable index.
  double XMod() const { return FXMod; }
  int Idx() const { return FIdx; }

  // Mapped coordinates (mirroring, stretch, offset) and the box edges.
  double FltX() const;
  double FltY() const;
  double FltX0() const;
  double FltX1() const;
  double FltY0() const;
  double FltY1() const;
  // The same rounded to integers, halves to even.
  int X() const;
  int Y() const;
  int X0() const;
  int Y0() const;
  int X1() const;
  int Y1() const;

  // Structure operations. Each marks the drawer's structure modified; none
  // places anything. A node handed in must be detached (no parent, not a
  // drawer's root, not an ancestor of this node); the tree takes it over.
  TTreeDrawNode* AddChild(TTreeDrawNode* ANode);
  TTreeDrawNode* InsertLeft(TTreeDrawNode* ANode);
  TTreeDrawNode* InsertRight(TTreeDrawNode* ANode);
  // Move ANode with its subtree next to this node. On any error nothing
  // changes; moving a node next to itself does nothing.
  TTreeDrawNode* MoveToLeft(TTreeDrawNode* ANode);
  TTreeDrawNode* MoveToRight(TTreeDrawNode* ANode);
  // Detaches the node with its subtree from its parent; the caller owns it
  // afterwards. The node keeps its drawer.
  TTreeDrawNode* Pull();
  // Frees all children with their subtrees.
  void Prune();
  // True when ANode is a proper ancestor of this node.
  bool DescendantOf(const TTreeDrawNode* ANode) const;
  // The node's size changed: the drawer must place again.
  void Modified();

 protected:
  TTreeDrawer* FDrawer = nullptr;
  TTreeDrawNode* FParent = nullptr;
  TTreeDrawNode* FFirstChild = nullptr;
  TTreeDrawNode* FLastChild = nullptr;
  TTreeDrawNode* FNextChild = nullptr;
  int FChildCount = 0;
  // Derived links, rebuilt by the drawer. FPrevChild is also kept current by
  // the structure operations, which use it (after checking it) to find a
  // previous sibling without walking the chain.
  TTreeDrawNode* FPrevChild = nullptr;
  TTreeDrawNode* FLeftNode = nullptr;
  TTreeDrawNode* FRightNode = nullptr;
  double FXPos = 0.0;
  double FXMod = 0.0;
  double FYPos = 0.0;
  int FIdx = 0;

 private:
  friend class TTreeDrawer;
  friend class detail::TPlacementRun;

  // Number of the node within the placement run in progress (pre-order);
  // meaningless outside a run.
  int FSlot = 0;
  // The child that Item or Index met last, with its position, so that going
  // through the children by position costs one step per child. Forgotten
  // whenever the child list changes.
  mutable int FCursorIdx = -1;
  mutable TTreeDrawNode* FCursorNode = nullptr;

  void ChildrenChanged() {
    FCursorIdx = -1;
    FCursorNode = nullptr;
  }
  void StructureModified() const;
  TTreeDrawNode* PreviousSibling() const;
  void CheckDetached(const TTreeDrawNode* ANode) const;
  void Adopt(TTreeDrawNode* ANode, TTreeDrawNode* AParent);
  void DeleteChildren();
};

// Owns a tree of nodes and computes where every node goes. Placement is
// lazy: changing the tree or a parameter only sets a flag, and the next read
// of a position, an extent or the level count brings everything up to date.
class TTreeDrawer : public TObject {
 public:
  TTreeDrawer();
  TTreeDrawer(const TTreeDrawer&) = delete;
  TTreeDrawer& operator=(const TTreeDrawer&) = delete;
  ~TTreeDrawer() override;

  // Virtual operations, in their slot order 0..6.
  //
  // Terminals packed left to right in depth-first order, parents centred
  // over their children; every box ends inside 0..FWidth. Linear.
  virtual void PlaceBottomUp();
  // The level-neighbour Walker variant (with AlignTerminals on it places
  // bottom-up, as PlaceNodes would). About linear for real trees: the
  // contour comparison goes down to the bottom of every apportioned subtree,
  // so only long branches side by side (two deep chains, say) cost up to the
  // square of their depth.
  virtual void PlaceWalker();
  // Bottom-up with AlignTerminals or any method but dmWalker, else Walker.
  virtual void PlaceNodes();
  // YPos of every level and FHeight.
  virtual void PlaceLevels();
  virtual double MapX(double x) const;
  virtual double MapY(double y) const;
  // UpdateStructure, levels, in-level positions, stretched sizes. Leaves
  // FModifiedNodes as it was (only UpdatePlacement clears it).
  virtual void Place();

  // The tree. Setting a new root frees the old tree; a node that belonged to
  // some tree is pulled out of it first. Nil is allowed.
  TTreeDrawNode* Root() const { return FRoot; }
  void SetRoot(TTreeDrawNode* ANode);

  // Parameters (the fields below list what a change of each one marks).
  TTreeDrawMethod DrawMethod() const { return FDrawMethod; }
  void SetDrawMethod(TTreeDrawMethod value);
  TTreeOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TTreeOrientation value);
  double LevelSeparation() const { return FLevelSeparation; }
  void SetLevelSeparation(double value);
  double MinLevelSeparation() const { return FMinLevelSeparation; }
  void SetMinLevelSeparation(double value);
  double NodeSeparation() const { return FNodeSeparation; }
  void SetNodeSeparation(double value);
  bool AlignTerminals() const { return FAlignTerminals; }
  void SetAlignTerminals(bool value);
  bool AlignLevels() const { return FAlignLevels; }
  void SetAlignLevels(bool value);
  TTreeAlignParents AlignParents() const { return FAlignParents; }
  void SetAlignParents(TTreeAlignParents value);
  bool XMirror() const { return FXMirror; }
  void SetXMirror(bool value) { FXMirror = value; }
  bool YMirror() const { return FYMirror; }
  void SetYMirror(bool value) { FYMirror = value; }
  double XOffset() const { return FXOffset; }
  void SetXOffset(double value) { FXOffset = value; }
  double YOffset() const { return FYOffset; }
  void SetYOffset(double value) { FYOffset = value; }
  double XStretch() const { return FXStretch; }
  void SetXStretch(double value);
  double YStretch() const { return FYStretch; }
  void SetYStretch(double value);
  double XSize() const { return FXSize; }
  // Sets the stretch that gives this size; with an empty extent the stretch
  // cannot be derived and stays as it is.
  void SetXSize(double value);
  double YSize() const { return FYSize; }
  void SetYSize(double value);

  // Extents, brought up to date first.
  int Levels();
  double Width();
  double Height();
  int W();
  int H();
  // Stretched extents and the picture corners, as they stand.
  int XS() const;
  int YS() const;
  int X0() const;
  int Y0() const;
  int X1() const;
  int Y1() const;

  // Per-level reads; an index outside 0..Levels-1 raises ETreeDrawError.
  double GetLevelAbove(int ALev);
  double GetLevelBelow(int ALev);
  double GetLevelY(int ALev);
  double LevelAbove(int ALev) { return GetLevelAbove(ALev); }
  double LevelBelow(int ALev) { return GetLevelBelow(ALev); }
  double LevelY(int ALev) { return GetLevelY(ALev); }
  void LevelSize(int ALev, double& AAbove, double& ABelow);
  // Leftmost and rightmost node of a level.
  TTreeDrawNode* LevelFirst(int ALev);
  TTreeDrawNode* LevelLast(int ALev);

  void Modified() { FModifiedNodes = true; }
  void StructureModified() { FModifiedStructure = true; }
  bool ModifiedStructure() const { return FModifiedStructure; }
  bool ModifiedNodes() const { return FModifiedNodes; }
  void UpdateStructure();
  void UpdatePlacement();

 protected:
  // The final pass of the placements: adds the modifiers down the tree,
  // measures FWidth and FLeft, and shifts every node right when some box
  // reaches below 0. (The Walker run does the same on its own arrays.)
  void FinalPass();

  // Access to a node's placement fields for the placement methods of
  // drawer subclasses.
  static double& NodeXPos(TTreeDrawNode* ANode) { return ANode->FXPos; }
  static double& NodeXMod(TTreeDrawNode* ANode) { return ANode->FXMod; }
  static double& NodeYPos(TTreeDrawNode* ANode) { return ANode->FYPos; }
  static int& NodeIdx(TTreeDrawNode* ANode) { return ANode->FIdx; }

  // The drawer's state in its given order. Parameters show their initial
  // value and what a change marks: "structure" (StructureModified, levels
  // rebuilt), "nodes" (Modified, placed again) or "no mark" (acting through
  // MapX/MapY, or updating the sizes at once).
  TTreeDrawNode* FRoot = nullptr;               // owned; a new root marks structure
  bool FModifiedStructure = false;              // level chains must be rebuilt
  bool FModifiedNodes = false;                  // nodes must be placed again
  TTreeDrawMethod FDrawMethod = dmBottomUp;     // nodes
  TTreeOrientation FOrientation = oTopDown;     // nodes
  double FLevelSeparation = 1.0;                // nodes
  double FMinLevelSeparation = 0.0;             // nodes
  double FNodeSeparation = 1.0;                 // nodes
  bool FAlignTerminals = false;                 // structure
  bool FAlignLevels = false;                    // nodes
  TTreeAlignParents FAlignParents = apSubtree;  // nodes
  double FWidth = 0.0;                          // extents of the placed tree
  double FLeft = 0.0;                           // scratch of the final pass
  double FHeight = 0.0;
  std::vector<TTreeDrawNode*> FLevelFirst;  // leftmost node of each level (not owned)
  std::vector<TTreeDrawNode*> FLevelLast;   // rightmost node of each level (not owned)
  bool FXMirror = false;                    // no mark
  bool FYMirror = false;                    // no mark
  double FXOffset = 0.0;                    // no mark
  double FYOffset = 0.0;                    // no mark
  double FXStretch = 1.0;                   // no mark; sets FXSize
  double FYStretch = 1.0;                   // no mark; sets FYSize
  double FXSize = 0.0;                      // FXStretch * FWidth
  double FYSize = 0.0;                      // FYStretch * FHeight

 private:
  // Set while Place runs, so that a position read from inside a placement
  // (a subclass's size operation, say) cannot start another one.
  bool FPlacing = false;

  void BuildLevelChains();
  void CheckLevel(int ALev) const;
};

}  // namespace vt
