#include "graphics/qt/QPainterCanvas.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

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

Qt::BrushStyle ToQtBrushStyle(TBrushStyle S) {
  switch (S) {
    case bsClear:
      return Qt::NoBrush;
    case bsHorizontal:
      return Qt::HorPattern;
    case bsVertical:
      return Qt::VerPattern;
    case bsFDiagonal:
      return Qt::FDiagPattern;
    case bsBDiagonal:
      return Qt::BDiagPattern;
    case bsCross:
      return Qt::CrossPattern;
    case bsDiagCross:
      return Qt::DiagCrossPattern;
    case bsSolid:
      break;
  }
  return Qt::SolidPattern;
}

// The outline of a rectangle through the centres of its outer pixels.
QRectF OutlineRect(const TRect& R) {
  const double L = std::min(R.Left, R.Right), T = std::min(R.Top, R.Bottom);
  const double W = std::abs(double(R.Width())), H = std::abs(double(R.Height()));
  return QRectF(L + 0.5, T + 0.5, std::max(W - 1.0, 0.0), std::max(H - 1.0, 0.0));
}

QPointF PixelCentre(int X, int Y) {
  return QPointF(X + 0.5, Y + 0.5);
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

void TQPainterCanvas::ApplyShapeState() {
  const TPen& P = Pen();
  if (P.Style() == psClear) {
    FPainter.setPen(Qt::NoPen);
  } else {
    QPen Q(ToQColor(P.Color()));
    Q.setWidthF(std::max(P.Width(), 1));
    Q.setStyle(ToQtPenStyle(P.Style()));
    // Wide lines end and join round, as geometric pens do; hairlines stay
    // within their end pixels.
    Q.setCapStyle(P.Width() > 1 ? Qt::RoundCap : Qt::FlatCap);
    Q.setJoinStyle(P.Width() > 1 ? Qt::RoundJoin : Qt::MiterJoin);
    FPainter.setPen(Q);
  }
  const TBrush& B = Brush();
  FPainter.setBrush(QBrush(ToQColor(B.Color()), ToQtBrushStyle(B.Style())));
}

void TQPainterCanvas::DoMoveTo(int, int) {}

void TQPainterCanvas::DoLineTo(int X, int Y) {
  ApplyShapeState();
  const TPoint From = PenPos();
  FPainter.drawLine(PixelCentre(From.X, From.Y), PixelCentre(X, Y));
}

void TQPainterCanvas::DoRectangle(const TRect& R) {
  ApplyShapeState();
  FPainter.drawRect(OutlineRect(R));
}

void TQPainterCanvas::DoEllipse(const TRect& R) {
  ApplyShapeState();
  FPainter.drawEllipse(OutlineRect(R));
}

void TQPainterCanvas::DoRoundRect(const TRect& R, int CornerW, int CornerH) {
  ApplyShapeState();
  const double Rx = std::min(std::abs(double(CornerW)), std::abs(double(R.Width()))) / 2.0;
  const double Ry = std::min(std::abs(double(CornerH)), std::abs(double(R.Height()))) / 2.0;
  if (Rx <= 0 || Ry <= 0)
    FPainter.drawRect(OutlineRect(R));
  else
    FPainter.drawRoundedRect(OutlineRect(R), Rx, Ry, Qt::AbsoluteSize);
}

void TQPainterCanvas::DoFillRect(const TRect& R) {
  const TBrush& B = Brush();
  if (B.Style() == bsClear || R.IsEmpty()) return;
  FPainter.fillRect(QRectF(R.Left, R.Top, double(R.Width()), double(R.Height())),
                    QBrush(ToQColor(B.Color()), ToQtBrushStyle(B.Style())));
}

void TQPainterCanvas::DrawText(int X, int Y, std::string_view Text) {
  if (Text.empty()) return;
  const QFont F = ToQFont(Font());
  FPainter.setFont(F);
  FPainter.setPen(ToQColor(Font().Color()));
  FPainter.drawText(QPointF(X, Y + QFontMetrics(F).ascent()), ToQString(Text));
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
