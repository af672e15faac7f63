// The shape dialog: edits a node's outline shape, outline pen and fill
// brush, all held by the sample NodeShape, which shows every change at once.
// The caller copies values in before showing it and takes them back after
// OK.
#pragma once

#include <QDialog>
#include <utility>

#include "app/ShapeControl.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace vt {

class TEditShape : public QDialog {
 public:
  explicit TEditShape(QWidget* AParent = nullptr);

  // Without a chooser the colour buttons do nothing.
  void SetColorChooser(TColorChooser Chooser) { FChooseColor = std::move(Chooser); }

  // The on-show step: the style lists, the width and the shape item from
  // NodeShape. The change handlers write nothing while the controls are
  // filled, so a shape kind without an item (square, rounded square,
  // circle) stays as it is until the user picks an item.
  void ShowValues();

  // The picked item of ShapeCheck: 0 "&Rectangle", 1 "&Ellipse",
  // 2 "Ro&unded", -1 none.
  int ShapeIndex() const;
  // Picks an item as a click on it does: NodeShape takes its shape.
  void SetShapeIndex(int Index);
  QRadioButton* ShapeItem(int Index) const;

  TShapeControl* NodeShape;
  QGroupBox* BorderGroup;
  QLabel* StyleLabel;
  QComboBox* PenStyleBox;
  QLabel* WidthLabel;
  QSpinBox* LineWidth;
  QPushButton* PenColorButton;
  QGroupBox* FillGroup;
  QLabel* Label2;
  QComboBox* BrushStyleBox;
  QPushButton* BrushColorButton;
  QGroupBox* ShapeCheck;
  QPushButton* OKButton;
  QPushButton* CancelButton;

  void PenStyleBoxChange();
  void LineWidthChange();
  void BrushStyleBoxChange();
  void PenColorButtonClick();
  void BrushColorButtonClick();
  void ShapeCheckClick();

 protected:
  void showEvent(QShowEvent* Event) override;

 private:
  QGroupBox* CreateBorderGroup();
  QGroupBox* CreateFillGroup();
  QGroupBox* CreateShapeCheck();
  QLayout* CreateButtons();
  void ConnectHandlers();
  void ChangePen(const std::function<void(TPen&)>& Change);
  void ChangeBrush(const std::function<void(TBrush&)>& Change);

  QButtonGroup* FShapeItems;
  TColorChooser FChooseColor;
  bool FShowing = false;
};

}  // namespace vt
