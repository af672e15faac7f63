#include "app/ShapeControl.h"

#include <QComboBox>
#include <QPainter>
#include <algorithm>
#include <initializer_list>

#include "graphics/qt/QPainterCanvas.h"

namespace vt {

namespace {

QComboBox* NewStyleBox(const char* Name, std::initializer_list<const char*> Items, QWidget* Parent) {
  auto* box = new QComboBox(Parent);
  box->setObjectName(QString::fromUtf8(Name));
  for (const char* item : Items) box->addItem(QString::fromUtf8(item));
  return box;
}

bool IsSquareKind(TShapeType Shape) {
  return Shape == stSquare || Shape == stRoundSquare || Shape == stCircle;
}

}  // namespace

QComboBox* NewPenStyleBox(const char* Name, QWidget* Parent) {
  return NewStyleBox(Name, {"Solid", "Dash ", "Dot", "Dash-Dot", "Dash-Dot-Dot ", "Clear"}, Parent);
}

QComboBox* NewBrushStyleBox(const char* Name, QWidget* Parent) {
  return NewStyleBox(
      Name, {"Solid", "Clear", "Horizontal", "Vertical", "FDiagonal", "BDiagonal", "Cross", "DiagCross"},
      Parent);
}

int PenStyleIndex(TPenStyle Style) {
  return Style <= psClear ? static_cast<int>(Style) : -1;
}

TShapeControl::TShapeControl(QWidget* AParent) : QWidget(AParent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TShapeControl::SetShape(TShapeType Value) {
  FShape = Value;
  update();
}

void TShapeControl::SetPen(const TPen& Value) {
  FPen = Value;
  update();
}

void TShapeControl::SetBrush(const TBrush& Value) {
  FBrush = Value;
  update();
}

QSize TShapeControl::sizeHint() const {
  return QSize(65, 41);
}

TRect TShapeControl::ShapeRect() const {
  const int penWidth = FPen.Width();
  int x = penWidth / 2, y = penWidth / 2;
  // A pen of width 0 still draws one pixel, which the rectangle's
  // exclusive edges already leave room for.
  int w = width() - std::max(penWidth, 1) + 1, h = height() - std::max(penWidth, 1) + 1;
  if (IsSquareKind(FShape)) {
    const int side = std::min(w, h);
    x += (w - side) / 2;
    y += (h - side) / 2;
    w = h = side;
  }
  return TRect(x, y, x + w, y + h);
}

void TShapeControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // Shapes carry no text; the measurer is never asked.
  const TFakeMeasurer measurer;
  TQPainterCanvas canvas(painter, measurer);
  canvas.SetPen(FPen);
  canvas.SetBrush(FBrush);
  const TRect r = ShapeRect();
  if (r.IsEmpty()) return;
  switch (FShape) {
    case stRoundRect:
    case stRoundSquare: {
      const int corner = static_cast<int>(std::min(r.Width(), r.Height()) / 4);
      canvas.RoundRect(r, corner, corner);
      break;
    }
    case stEllipse:
    case stCircle:
      canvas.Ellipse(r);
      break;
    case stRectangle:
    case stSquare:
      canvas.Rectangle(r);
      break;
  }
}

}  // namespace vt
