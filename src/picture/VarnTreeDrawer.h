// The drawer of picture trees: every placement method of the layout engine,
// a margin around the picture, a placement that makes every picture node
// measure afresh, and the mapping from the layout frame to picture pixels in
// the four orientations (each the top-down picture turned, not mirrored).
#pragma once

#include "graphics/Graphics.h"
#include "layout/TreeDrawQP.h"
#include "picture/PictureContext.h"

namespace vt {

class TVarnNode;

class TVarnTreeDrawer : public TTreeDrawerQP {
 public:
  TVarnTreeDrawer() = default;
  explicit TVarnTreeDrawer(const TPictureContext& AContext) : FContext(AContext) {}

  // Slot 6: clears every picture node, places, and takes the extents in
  // picture directions.
  void Place() override;

  // Root as a picture node; EInvalidCast for a root of another class.
  TVarnNode* VarnRoot() const;

  // Where the nodes find the format classes and the measurer.
  const TPictureContext& Context() const { return FContext; }
  void SetContext(const TPictureContext& Value) { FContext = Value; }
  void SetFormatClasses(TFormatClasses* Value) { FContext.FormatClasses = Value; }
  void SetMeasurer(const TTextMeasurer* Value) { FContext.Measurer = Value; }

  // Margins in pixels; writing them marks nothing.
  const TRect& Border() const { return FBorder; }
  void SetBorder(const TRect& Value) { FBorder = Value; }
  // Extents of the last placement in picture directions, without margins.
  int HS() const { return FHS; }
  int VS() const { return FVS; }
  // Held to MaxPictureCoord.
  int BoxWidth() const { return ClampPictureCoord(std::int64_t(FHS) + FBorder.Left + FBorder.Right); }
  int BoxHeight() const { return ClampPictureCoord(std::int64_t(FVS) + FBorder.Top + FBorder.Bottom); }

  // A point of the layout frame (X along the level, Y across levels, both
  // mapped and rounded) in picture pixels.
  void PosPoint(int X, int Y, int& PX, int& PY) const;
  TPoint PosPoint(int X, int Y) const;

 private:
  TRect FBorder;
  int FHS = 0;
  int FVS = 0;
  TPictureContext FContext;
};

}  // namespace vt
