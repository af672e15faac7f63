// The parent-line dialog: edits the pen of the line that joins a node to its
// parent, over a sample node with the line rising from its top. The dialog
// works on the pen held by ParentShape; the caller copies values in before
// showing it and takes them back after OK.
#pragma once

#include <QDialog>
#include <utility>

#include "app/ShapeControl.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace vt {

class TEditParentLine : public QDialog {
 public:
  explicit TEditParentLine(QWidget* AParent = nullptr);

  // Without a chooser the colour button does nothing.
  void SetColorChooser(TColorChooser Chooser) { FChooseColor = std::move(Chooser); }

  // The on-show step: StyleBox and LineWidth from ParentShape's pen. The
  // change handlers write nothing while the controls are filled.
  void ShowValues();

  TShapeControl* NodeShape;    // the sample node
  TShapeControl* ParentShape;  // invisible; its pen is the edited line pen
  QGroupBox* LineGroup;
  QLabel* StyleLabel;
  QComboBox* StyleBox;
  QLabel* WidthLabel;
  QSpinBox* LineWidth;
  QPushButton* ColorButton;
  QPushButton* OKButton;
  QPushButton* CancelButton;

  void StyleBoxChange();
  void LineWidthChange();
  void ColorButtonClick();

 protected:
  void showEvent(QShowEvent* Event) override;
  // The sample parent line, drawn with ParentShape's pen.
  void paintEvent(QPaintEvent* Event) override;

 private:
  QGroupBox* CreateLineGroup();
  QLayout* CreateSample();
  QLayout* CreateButtons();
  void ChangePen(const std::function<void(TPen&)>& Change);

  TColorChooser FChooseColor;
  bool FShowing = false;
};

}  // namespace vt
