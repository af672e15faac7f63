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
  FHS = ClampPictureCoord(XS());
  FVS = ClampPictureCoord(YS());
  if (FOrientation == oLeftRight || FOrientation == oRightLeft) std::swap(FHS, FVS);
}

void TVarnTreeDrawer::PosPoint(int X, int Y, int& PX, int& PY) const {
  // In 64 bits, then held to the picture's range: borders, sizes and
  // positions may each be near the 32-bit limits.
  const TRect& b = FBorder;
  std::int64_t x = b.Left;
  std::int64_t y = b.Top;
  switch (FOrientation) {
    case oTopDown:
      x = std::int64_t(b.Left) + X;
      y = std::int64_t(b.Top) + Y;
      break;
    case oLeftRight:
      x = std::int64_t(b.Left) + Y;
      y = std::int64_t(BoxHeight()) - b.Bottom - X;
      break;
    case oBottomUp:
      x = std::int64_t(BoxWidth()) - b.Right - X;
      y = std::int64_t(BoxHeight()) - b.Bottom - Y;
      break;
    case oRightLeft:
      x = std::int64_t(BoxWidth()) - b.Right - Y;
      y = std::int64_t(b.Top) + X;
      break;
  }
  PX = ClampPictureCoord(x);
  PY = ClampPictureCoord(y);
}

TPoint TVarnTreeDrawer::PosPoint(int X, int Y) const {
  TPoint p;
  PosPoint(X, Y, p.X, p.Y);
  return p;
}

}  // namespace vt
