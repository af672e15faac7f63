// Geometry that every output of a picture draws alike: the outlines of the
// shapes and the hatch lines of hatched brushes. Outputs differ in how they
// take rectangles, ellipses and hatch brushes (readers of metafiles draw a
// rectangle one pixel larger than the classic surface, and most of them fill
// a hatched shape solid), so each output draws these explicit figures
// instead.
//
// Coordinates are in pixel indices: the point (x, y) is the centre of the
// pixel in column x and row y. An outline of the rectangle [Left, Right) x
// [Top, Bottom) runs through the centres of its outer pixels, from Left to
// Right - 1 and from Top to Bottom - 1, as the classic surface draws it.
#pragma once

#include <vector>

#include "graphics/Graphics.h"

namespace vt {

struct TPointF {
  double X = 0;
  double Y = 0;
  friend bool operator==(const TPointF&, const TPointF&) = default;
};

// One piece of a closed figure: a straight line to To, or a cubic Bézier
// curve through the control points C1 and C2 to To.
struct TPathSegment {
  bool Bezier = false;
  TPointF C1;
  TPointF C2;
  TPointF To;
};

// A closed figure: from Start along the segments, the last of which ends at
// Start again.
struct TShapeOutline {
  TPointF Start;
  std::vector<TPathSegment> Segments;
};

enum class TShapeKind { Rectangle, Ellipse, RoundRect };

// The outline of a shape in R (right and bottom exclusive, corners in any
// order). A round rectangle's corners are quarters of an ellipse CornerW wide
// and CornerH high, limited to the rectangle's size; with a corner size of 0
// it is a rectangle. An ellipse is four Bézier quarters. Rectangles start
// at the top-left corner, round rectangles at the left end of the top edge,
// ellipses at the rightmost point, and all run clockwise on the screen, as
// the SVG rect and ellipse do, so dash patterns start alike everywhere.
TShapeOutline ShapeOutline(TShapeKind Kind, const TRect& R, int CornerW = 0, int CornerH = 0);

// The radii of a round rectangle's corners in R as ShapeOutline takes them:
// half the corner ellipse, at most half the outline's width and height; both
// 0 when the corners are square (a corner size of 0).
TPointF CornerRadii(const TRect& R, int CornerW, int CornerH);

// The bounding box of an outline's points (control points included).
void OutlineBounds(const TShapeOutline& Outline, TPointF& Min, TPointF& Max);

struct TSegmentF {
  TPointF A;
  TPointF B;
};

// Distance between neighbouring hatch lines, in pixels.
inline constexpr int HatchSpacing = 8;

// The hatch lines of Style inside Outline, each ending on the outline. The
// lines lie on one grid for the whole picture, HatchSpacing apart, at pixel
// centres: horizontal ones on the rows y = 8k + 4, vertical ones on the
// columns x = 8k + 4, forward diagonals (top left to bottom right) on
// x - y = 8k, backward diagonals on x + y = 8k, so neighbouring shapes hatch
// in step and the ends of diagonals fall on whole pixels along each line.
// Lines that would lie on the outline itself are left out. Empty for the
// solid and clear styles.
std::vector<TSegmentF> HatchLines(const TShapeOutline& Outline, TBrushStyle Style);

}  // namespace vt
