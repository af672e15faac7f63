// A sample shape: a shape kind outlined with a pen and filled with a brush,
// filling the control. The node format editor and its dialogs show the
// outline and the parent line of a format with it, and keep the edited
// values in it.
#pragma once

#include <QWidget>
#include <functional>

#include "graphics/Graphics.h"

class QComboBox;

namespace vt {

// Chooses a colour: true on OK with Color the choice. The dialogs that edit
// colours are given one by the window, which owns the colour dialog.
using TColorChooser = std::function<bool(TColor& Color)>;

class TShapeControl : public QWidget {
 public:
  explicit TShapeControl(QWidget* AParent = nullptr);

  // Each setter repaints the control.
  TShapeType Shape() const { return FShape; }
  void SetShape(TShapeType Value);
  const TPen& Pen() const { return FPen; }
  void SetPen(const TPen& Value);
  const TBrush& Brush() const { return FBrush; }
  void SetBrush(const TBrush& Value);

  QSize sizeHint() const override;

  // The rectangle the shape is drawn in, in control pixels (right and bottom
  // exclusive): the control inset by half the pen width, so that a wide
  // outline stays inside; the square kinds take the smaller side, centred.
  TRect ShapeRect() const;

 protected:
  void paintEvent(QPaintEvent* Event) override;

 private:
  TShapeType FShape = stRectangle;
  TPen FPen;
  TBrush FBrush;
};

// The style lists of the dialogs that edit shapes, named Name. Their items
// stand for the enumeration values by position: the pen styles psSolid to
// psClear (psInsideFrame has no item), and all brush styles.
QComboBox* NewPenStyleBox(const char* Name, QWidget* Parent);
QComboBox* NewBrushStyleBox(const char* Name, QWidget* Parent);
// The list position of a pen style, -1 for a style without an item.
int PenStyleIndex(TPenStyle Style);

}  // namespace vt
