#include "picture/VarnTreeDrawer.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "picture/VarnNode.h"

namespace vt {

namespace {

// Pre-order without recursion, so that trees of any depth are cleared.
void ClearPictureNodes(TTreeDrawNode* ARoot) {
  std::vector<TTreeDrawNode*> pending;
  if (ARoot) pending.push_back(ARoot);
  while (!pending.empty()) {
    TTreeDrawNode* node = pending.back();
    pending.pop_back();
    if (auto* picture = dynamic_cast<TVarnNode*>(node)) picture->Clear();
    const size_t first = pending.size();
    for (TTreeDrawNode* child = node->FirstChild(); child; child = child->NextChild())
      pending.push_back(child);
    std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(first), pending.end());
  }
}

}  // namespace

TVarnNode* TVarnTreeDrawer::VarnRoot() const {
  if (!FRoot) return nullptr;
  auto* root = dynamic_cast<TVarnNode*>(FRoot);
  if (!root) throw EInvalidCast();
  return root;
}

void TVarnTreeDrawer::Place() {
  // Nodes of other classes in the tree are placed as they are; only picture
  // nodes carry a measurement to forget.
  ClearPictureNodes(FRoot);
  TTreeDrawerQP::Place();
  FHS = XS();
  FVS = YS();
  if (FOrientation == oLeftRight || FOrientation == oRightLeft) std::swap(FHS, FVS);
}

void TVarnTreeDrawer::PosPoint(int X, int Y, int& PX, int& PY) const {
  switch (FOrientation) {
    case oTopDown:
      PX = FBorder.Left + X;
      PY = FBorder.Top + Y;
      break;
    case oLeftRight:
      PX = FBorder.Left + Y;
      PY = BoxHeight() - FBorder.Bottom - X;
      break;
    case oBottomUp:
      PX = BoxWidth() - FBorder.Right - X;
      PY = BoxHeight() - FBorder.Bottom - Y;
      break;
    case oRightLeft:
      PX = BoxWidth() - FBorder.Right - Y;
      PY = FBorder.Top + X;
      break;
    default:
      PX = FBorder.Left;
      PY = FBorder.Top;
  }
}

TPoint TVarnTreeDrawer::PosPoint(int X, int Y) const {
  TPoint p;
  PosPoint(X, Y, p.X, p.Y);
  return p;
}

}  // namespace vt
