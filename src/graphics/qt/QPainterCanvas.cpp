#include "graphics/qt/QPainterCanvas.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "graphics/Geometry.h"
#include "graphics/qt/QtMeasurer.h"

namespace vt {

namespace {

Qt::PenStyle ToQtPenStyle(TPenStyle S) {
  switch (S) {
    case psDash:
      return Qt::DashLine;
    case psDot:
      return Qt::DotLine;
    case psDashDot:
      return Qt::DashDotLine;
    case psDashDotDot:
      return Qt::DashDotDotLine;
    case psClear:
      return Qt::NoPen;
    case psSolid:
    case psInsideFrame:
      break;
  }
  return Qt::SolidLine;
}

// Pixel indices to painter coordinates: the centre of pixel (x, y).
QPointF PixelCentre(TPointF P) {
  return QPointF(P.X + 0.5, P.Y + 0.5);
}

QPainterPath OutlinePath(const TShapeOutline& Outline) {
  QPainterPath Path(PixelCentre(Outline.Start));
  for (const TPathSegment& S : Outline.Segments) {
    if (S.Bezier)
      Path.cubicTo(PixelCentre(S.C1), PixelCentre(S.C2), PixelCentre(S.To));
    else
      Path.lineTo(PixelCentre(S.To));
  }
  Path.closeSubpath();
  return Path;
}

}  // namespace

QColor ToQColor(TColor Color) {
  const TColor C = ColorToRGB(Color);
  return QColor(GetRValue(C), GetGValue(C), GetBValue(C));
}

TQPainterCanvas::TQPainterCanvas(QPainter& APainter, const TTextMeasurer& AMeasurer, double AScaleX,
                                 double AScaleY)
    : FPainter(APainter), FMeasurer(AMeasurer) {
  FPainter.save();
  FPainter.scale(AScaleX, AScaleY);
  FPainter.setRenderHint(QPainter::Antialiasing, true);
  FPainter.setRenderHint(QPainter::TextAntialiasing, true);
  FPainter.setBackgroundMode(Qt::TransparentMode);
}

TQPainterCanvas::~TQPainterCanvas() {
  FPainter.restore();
}

int TQPainterCanvas::TextWidth(std::string_view Text) const {
  return FMeasurer.TextWidth(Font(), Text);
}

int TQPainterCanvas::TextHeight(std::string_view Text) const {
  return FMeasurer.TextHeight(Font(), Text);
}

void TQPainterCanvas::ApplyPen() {
  const TPen& P = Pen();
  if (P.Style() == psClear) {
    FPainter.setPen(Qt::NoPen);
  } else {
    QPen Q(ToQColor(P.Color()));
    Q.setWidthF(P.DrawnWidth());
    Q.setStyle(ToQtPenStyle(P.Style()));
    // Wide lines end and join round, as geometric pens do; hairlines stay
    // within their end pixels.
    Q.setCapStyle(P.Width() > 1 ? Qt::RoundCap : Qt::FlatCap);
    Q.setJoinStyle(P.Width() > 1 ? Qt::RoundJoin : Qt::MiterJoin);
    FPainter.setPen(Q);
  }
}

void TQPainterCanvas::DrawHatch(const TShapeOutline& Outline) {
  const std::vector<TSegmentF> Lines = HatchLines(Outline, Brush().Style());
  if (Lines.empty()) return;
  QPen Q(ToQColor(Brush().Color()));
  Q.setWidthF(1);
  Q.setCapStyle(Qt::FlatCap);
  FPainter.setPen(Q);
  for (const TSegmentF& L : Lines) FPainter.drawLine(PixelCentre(L.A), PixelCentre(L.B));
}

void TQPainterCanvas::DrawShape(TShapeKind Kind, const TRect& R, int CornerW, int CornerH) {
  // The outline every output draws; hatching as lines under it, as in the
  // metafile, instead of Qt's own pattern brushes.
  const TShapeOutline Outline = ShapeOutline(Kind, R, CornerW, CornerH);
  const TBrush& B = Brush();
  if (IsHatched(B.Style())) DrawHatch(Outline);
  ApplyPen();
  if (B.Style() == bsSolid)
    FPainter.setBrush(QBrush(ToQColor(B.Color())));
  else
    FPainter.setBrush(Qt::NoBrush);
  FPainter.drawPath(OutlinePath(Outline));
}

void TQPainterCanvas::DoMoveTo(int, int) {}

void TQPainterCanvas::DoLineTo(int X, int Y) {
  ApplyPen();
  const TPoint From = PenPos();
  FPainter.drawLine(QPointF(From.X + 0.5, From.Y + 0.5), QPointF(X + 0.5, Y + 0.5));
}

void TQPainterCanvas::DoRectangle(const TRect& R) {
  DrawShape(TShapeKind::Rectangle, R, 0, 0);
}

void TQPainterCanvas::DoEllipse(const TRect& R) {
  DrawShape(TShapeKind::Ellipse, R, 0, 0);
}

void TQPainterCanvas::DoRoundRect(const TRect& R, int CornerW, int CornerH) {
  DrawShape(TShapeKind::RoundRect, R, CornerW, CornerH);
}

void TQPainterCanvas::DoFillRect(const TRect& R) {
  const TBrush& B = Brush();
  if (B.Style() == bsClear || R.IsEmpty()) return;
  if (IsHatched(B.Style())) {
    DrawHatch(ShapeOutline(TShapeKind::Rectangle, R));
    return;
  }
  FPainter.fillRect(QRectF(R.Left, R.Top, double(R.Width()), double(R.Height())), ToQColor(B.Color()));
}

void TQPainterCanvas::DrawText(int X, int Y, std::string_view Text) {
  // Qt would expand a tab to a tab stop and show other control characters:
  // each run starts where the measurer put it.
  const std::vector<TTextRun> Runs = TextRuns(FMeasurer, Font(), Text);
  if (Runs.empty()) return;
  FPainter.setFont(ToQFont(Font()));
  FPainter.setPen(ToQColor(Font().Color()));
  const double Baseline = double(Y) + FMeasurer.Ascent(Font());
  for (const TTextRun& Run : Runs)
    FPainter.drawText(QPointF(double(X) + Run.Offset, Baseline), ToQString(Run.Text));
}

void TQPainterCanvas::DoTextOut(int X, int Y, std::string_view Text) {
  DrawText(X, Y, Text);
}

void TQPainterCanvas::DoTextRect(const TRect& Clip, int X, int Y, std::string_view Text) {
  if (Clip.IsEmpty()) return;
  FPainter.save();
  FPainter.setClipRect(QRectF(Clip.Left, Clip.Top, double(Clip.Width()), double(Clip.Height())),
                       Qt::IntersectClip);
  DrawText(X, Y, Text);
  FPainter.restore();
}

}  // namespace vt
