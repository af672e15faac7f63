#include "app/PictureView.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "foundation/Base.h"
#include "graphics/qt/QPainterCanvas.h"

namespace vt {

namespace {

// Whether [L, R] x [T, B], widened by Reach, meets Visible; in 64 bits, as
// the picture's coordinates may lie anywhere in the integer range.
bool Overlaps(long long L, long long T, long long R, long long B, long long Reach, const TRect& Visible) {
  return L - Reach <= Visible.Right && Visible.Left <= R + Reach && T - Reach <= Visible.Bottom &&
         Visible.Top <= B + Reach;
}

// Generous: a text may reach further than its font's em height (accents,
// descenders), and a wide pen reaches past its line.
int TextReach(const TFont& Font) {
  return 3 * std::abs(Font.Height()) + 4;
}

}  // namespace

void PlayVisible(const TMetafile& Picture, TCanvas& Canvas, const TRect& Visible) {
  TPoint pen;
  for (const TMetaRecord& R : Picture.Records()) {
    bool visible = true;
    const long long reach = static_cast<long long>(Picture.PenOf(R).Width()) + 2;
    switch (R.Op) {
      case TMetaOp::MoveTo:
        break;
      case TMetaOp::LineTo:
        visible = Overlaps(std::min(pen.X, R.Point.X), std::min(pen.Y, R.Point.Y), std::max(pen.X, R.Point.X),
                           std::max(pen.Y, R.Point.Y), reach, Visible);
        break;
      case TMetaOp::Rectangle:
      case TMetaOp::Ellipse:
      case TMetaOp::RoundRect:
      case TMetaOp::FillRect:
        visible = Overlaps(R.Rect.Left, R.Rect.Top, R.Rect.Right, R.Rect.Bottom, reach, Visible);
        break;
      case TMetaOp::TextOut: {
        // The width is unknown without measuring; a text only runs rightwards.
        const int textReach = TextReach(Picture.FontOf(R));
        visible = R.Point.X <= Visible.Right && R.Point.Y <= Visible.Bottom &&
                  static_cast<long long>(R.Point.Y) + textReach >= Visible.Top;
        break;
      }
      case TMetaOp::TextRect:
        visible = Overlaps(R.Rect.Left, R.Rect.Top, R.Rect.Right, R.Rect.Bottom, 0, Visible);
        break;
    }
    if (R.Op == TMetaOp::MoveTo || R.Op == TMetaOp::LineTo) pen = R.Point;
    if (visible) {
      Canvas.SetPen(Picture.PenOf(R));
      Canvas.SetBrush(Picture.BrushOf(R));
      Canvas.SetFont(Picture.FontOf(R));
    }
    switch (R.Op) {
      case TMetaOp::MoveTo:
        Canvas.MoveTo(R.Point.X, R.Point.Y);
        break;
      case TMetaOp::LineTo:
        if (visible)
          Canvas.LineTo(R.Point.X, R.Point.Y);
        else
          Canvas.MoveTo(R.Point.X, R.Point.Y);
        break;
      case TMetaOp::Rectangle:
        if (visible) Canvas.Rectangle(R.Rect);
        break;
      case TMetaOp::Ellipse:
        if (visible) Canvas.Ellipse(R.Rect);
        break;
      case TMetaOp::RoundRect:
        if (visible) Canvas.RoundRect(R.Rect, R.Corner.X, R.Corner.Y);
        break;
      case TMetaOp::FillRect:
        if (visible) Canvas.FillRect(R.Rect);
        break;
      case TMetaOp::TextOut:
        if (visible) Canvas.TextOut(R.Point.X, R.Point.Y, R.Text);
        break;
      case TMetaOp::TextRect:
        if (visible) Canvas.TextRect(R.Rect, R.Point.X, R.Point.Y, R.Text);
        break;
    }
  }
}

TPictureView::TPictureView(const TTextMeasurer& AMeasurer, QWidget* AParent)
    : QWidget(AParent), FMeasurer(AMeasurer) {
  setObjectName(QStringLiteral("DrawImage"));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPictureView::SetPicture(const TMetafile* Value) {
  FPicture = Value;
  update();
}

QSize TPictureView::ZoomedSize(const TMetafile& Picture, int ZoomPercent) {
  const double zoom = ZoomPercent / 100.0;
  return QSize(std::max(0, RoundHalfEven(Picture.Width() * zoom)),
               std::max(0, RoundHalfEven(Picture.Height() * zoom)));
}

void TPictureView::paintEvent(QPaintEvent* Event) {
  QPainter painter(this);
  painter.fillRect(Event->rect(), Qt::white);
  if (!FPicture || FPicture->Width() <= 0 || FPicture->Height() <= 0) return;
  const double scaleX = static_cast<double>(width()) / FPicture->Width();
  const double scaleY = static_cast<double>(height()) / FPicture->Height();
  if (scaleX <= 0 || scaleY <= 0) return;
  painter.setClipRect(Event->rect());
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const QRect r = Event->rect();
  const TRect visible(static_cast<int>(std::floor(r.left() / scaleX)) - 1,
                      static_cast<int>(std::floor(r.top() / scaleY)) - 1,
                      static_cast<int>(std::ceil((r.right() + 1) / scaleX)) + 1,
                      static_cast<int>(std::ceil((r.bottom() + 1) / scaleY)) + 1);
  TQPainterCanvas canvas(painter, FMeasurer, scaleX, scaleY);
  PlayVisible(*FPicture, canvas, visible);
}

}  // namespace vt
