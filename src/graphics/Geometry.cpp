#include "graphics/Geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vt {

namespace {

// A quarter of a circle by one cubic Bézier curve: the control points lie
// this fraction of the radius from the ends.
constexpr double BezierKappa = 0.5522847498307936;

// Pieces each Bézier curve is cut into when an outline is flattened for
// clipping; the chords then stay within a tenth of a pixel of a curve of
// a node's size.
constexpr int FlattenPieces = 16;

void LineTo(TShapeOutline& O, double X, double Y) {
  O.Segments.push_back(TPathSegment{false, {}, {}, {X, Y}});
}

void BezierTo(TShapeOutline& O, TPointF C1, TPointF C2, TPointF To) {
  O.Segments.push_back(TPathSegment{true, C1, C2, To});
}

// The centres of the outer pixels of R: columns L..Rr, rows T..B.
struct TPixelBox {
  double L, T, R, B;
};

TPixelBox PixelBox(const TRect& Rect) {
  const double L = std::min(Rect.Left, Rect.Right);
  const double T = std::min(Rect.Top, Rect.Bottom);
  const double R = std::max(L, double(std::max(Rect.Left, Rect.Right)) - 1.0);
  const double B = std::max(T, double(std::max(Rect.Top, Rect.Bottom)) - 1.0);
  return {L, T, R, B};
}

TShapeOutline RectangleOutline(const TPixelBox& P) {
  TShapeOutline O;
  O.Start = {P.L, P.T};
  LineTo(O, P.R, P.T);
  LineTo(O, P.R, P.B);
  LineTo(O, P.L, P.B);
  LineTo(O, P.L, P.T);
  return O;
}

// From the rightmost point clockwise (on the screen, y growing downwards), as
// an SVG ellipse runs, so dashes start at the same place in every output.
TShapeOutline EllipseOutline(const TPixelBox& P) {
  const double Cx = (P.L + P.R) / 2, Cy = (P.T + P.B) / 2;
  const double Kx = BezierKappa * (P.R - P.L) / 2, Ky = BezierKappa * (P.B - P.T) / 2;
  TShapeOutline O;
  O.Start = {P.R, Cy};
  BezierTo(O, {P.R, Cy + Ky}, {Cx + Kx, P.B}, {Cx, P.B});
  BezierTo(O, {Cx - Kx, P.B}, {P.L, Cy + Ky}, {P.L, Cy});
  BezierTo(O, {P.L, Cy - Ky}, {Cx - Kx, P.T}, {Cx, P.T});
  BezierTo(O, {Cx + Kx, P.T}, {P.R, Cy - Ky}, {P.R, Cy});
  return O;
}

TShapeOutline RoundRectOutline(const TPixelBox& P, double Rx, double Ry) {
  const double Kx = BezierKappa * Rx, Ky = BezierKappa * Ry;
  TShapeOutline O;
  O.Start = {P.L + Rx, P.T};
  LineTo(O, P.R - Rx, P.T);
  BezierTo(O, {P.R - Rx + Kx, P.T}, {P.R, P.T + Ry - Ky}, {P.R, P.T + Ry});
  LineTo(O, P.R, P.B - Ry);
  BezierTo(O, {P.R, P.B - Ry + Ky}, {P.R - Rx + Kx, P.B}, {P.R - Rx, P.B});
  LineTo(O, P.L + Rx, P.B);
  BezierTo(O, {P.L + Rx - Kx, P.B}, {P.L, P.B - Ry + Ky}, {P.L, P.B - Ry});
  LineTo(O, P.L, P.T + Ry);
  BezierTo(O, {P.L, P.T + Ry - Ky}, {P.L + Rx - Kx, P.T}, {P.L + Rx, P.T});
  return O;
}

TPointF BezierPoint(TPointF P0, const TPathSegment& S, double T) {
  const double U = 1 - T;
  const double A = U * U * U, B = 3 * U * U * T, C = 3 * U * T * T, D = T * T * T;
  return {A * P0.X + B * S.C1.X + C * S.C2.X + D * S.To.X, A * P0.Y + B * S.C1.Y + C * S.C2.Y + D * S.To.Y};
}

// The outline as a closed polygon (the first point is not repeated).
std::vector<TPointF> Flatten(const TShapeOutline& O) {
  std::vector<TPointF> Points{O.Start};
  TPointF From = O.Start;
  for (const TPathSegment& S : O.Segments) {
    if (S.Bezier)
      for (int I = 1; I < FlattenPieces; ++I)
        Points.push_back(BezierPoint(From, S, double(I) / FlattenPieces));
    Points.push_back(S.To);
    From = S.To;
  }
  if (Points.size() > 1 && Points.back() == Points.front()) Points.pop_back();
  return Points;
}

// One family of parallel hatch lines: the points P with N.P = Offset + k *
// HatchSpacing; along a line, points are found by their parameter U, and
// At(Offset of the line, U) gives the point.
struct THatchFamily {
  double Nx, Ny;  // normal
  double Offset;  // of the line through k = 0
  bool AlongY;    // the parameter along the line is Y (vertical lines), else X
};

TPointF FamilyPoint(const THatchFamily& F, double C, double U) {
  if (F.AlongY) return {C / F.Nx, U};
  // Nx * X + Ny * Y = C with Ny = +-1 (horizontal and diagonal lines).
  return {U, (C - F.Nx * U) / F.Ny};
}

void AddFamily(const std::vector<TPointF>& Polygon, const THatchFamily& F, std::vector<TSegmentF>& Out) {
  double Lo = std::numeric_limits<double>::infinity(), Hi = -Lo;
  for (TPointF P : Polygon) {
    const double C = F.Nx * P.X + F.Ny * P.Y;
    Lo = std::min(Lo, C);
    Hi = std::max(Hi, C);
  }
  // Lines closer than half a pixel to the extreme points would run along
  // the outline and are hidden by it.
  const double First = std::ceil((Lo + 0.5 - F.Offset) / HatchSpacing);
  const double Last = std::floor((Hi - 0.5 - F.Offset) / HatchSpacing);
  const std::size_t N = Polygon.size();
  for (double K = First; K <= Last; ++K) {
    const double C = F.Offset + K * HatchSpacing;
    double UMin = std::numeric_limits<double>::infinity(), UMax = -UMin;
    for (std::size_t I = 0; I < N; ++I) {
      const TPointF A = Polygon[I], B = Polygon[(I + 1) % N];
      const double Da = F.Nx * A.X + F.Ny * A.Y - C, Db = F.Nx * B.X + F.Ny * B.Y - C;
      if ((Da < 0 && Db < 0) || (Da > 0 && Db > 0) || Da == Db) continue;
      const double T = Da / (Da - Db);
      const TPointF P{A.X + T * (B.X - A.X), A.Y + T * (B.Y - A.Y)};
      const double U = F.AlongY ? P.Y : P.X;
      UMin = std::min(UMin, U);
      UMax = std::max(UMax, U);
    }
    // Whole pixels inward, so a line never leaves the shape.
    const double U0 = std::ceil(UMin - 1e-9), U1 = std::floor(UMax + 1e-9);
    if (!(U0 <= U1)) continue;
    Out.push_back(TSegmentF{FamilyPoint(F, C, U0), FamilyPoint(F, C, U1)});
  }
}

}  // namespace

TShapeOutline ShapeOutline(TShapeKind Kind, const TRect& R, int CornerW, int CornerH) {
  const TPixelBox P = PixelBox(R);
  switch (Kind) {
    case TShapeKind::Ellipse:
      return EllipseOutline(P);
    case TShapeKind::RoundRect: {
      const TPointF Radii = CornerRadii(R, CornerW, CornerH);
      if (Radii.X > 0 && Radii.Y > 0) return RoundRectOutline(P, Radii.X, Radii.Y);
      break;
    }
    case TShapeKind::Rectangle:
      break;
  }
  return RectangleOutline(P);
}

TPointF CornerRadii(const TRect& R, int CornerW, int CornerH) {
  const double Rx = std::min(std::abs(double(CornerW)), std::abs(double(R.Width()))) / 2.0;
  const double Ry = std::min(std::abs(double(CornerH)), std::abs(double(R.Height()))) / 2.0;
  if (Rx <= 0 || Ry <= 0) return {};
  const TPixelBox P = PixelBox(R);
  return {std::min(Rx, (P.R - P.L) / 2), std::min(Ry, (P.B - P.T) / 2)};
}

void OutlineBounds(const TShapeOutline& Outline, TPointF& Min, TPointF& Max) {
  Min = Max = Outline.Start;
  const auto Add = [&](TPointF P) {
    Min = {std::min(Min.X, P.X), std::min(Min.Y, P.Y)};
    Max = {std::max(Max.X, P.X), std::max(Max.Y, P.Y)};
  };
  for (const TPathSegment& S : Outline.Segments) {
    if (S.Bezier) {
      Add(S.C1);
      Add(S.C2);
    }
    Add(S.To);
  }
}

std::vector<TSegmentF> HatchLines(const TShapeOutline& Outline, TBrushStyle Style) {
  const THatchFamily Horizontal{0, 1, 4, false}, Vertical{1, 0, 4, true};
  const THatchFamily Forward{1, -1, 0, false}, Backward{1, 1, 0, false};
  std::vector<TSegmentF> Lines;
  const std::vector<TPointF> Polygon = Flatten(Outline);
  if (Style == bsHorizontal || Style == bsCross) AddFamily(Polygon, Horizontal, Lines);
  if (Style == bsVertical || Style == bsCross) AddFamily(Polygon, Vertical, Lines);
  if (Style == bsFDiagonal || Style == bsDiagCross) AddFamily(Polygon, Forward, Lines);
  if (Style == bsBDiagonal || Style == bsDiagCross) AddFamily(Polygon, Backward, Lines);
  return Lines;
}

}  // namespace vt
