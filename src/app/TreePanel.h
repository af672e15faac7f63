// The "&Tree" page of the side panel: the controls of the tree parameters.
// The page only lays the controls out; the window moves values between them
// and the drawer and handles their changes.
#pragma once

#include <QWidget>

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace vt {

class TTreePanel : public QWidget {
 public:
  explicit TTreePanel(QWidget* AParent = nullptr);

  QSpinBox* StretchX;
  QSpinBox* StretchY;
  QSpinBox* LeftBorder;
  QSpinBox* TopBorder;
  QSpinBox* RightBorder;
  QSpinBox* BottomBorder;
  QSpinBox* NodeSep;
  QSpinBox* LevelSep;
  QSpinBox* MinLevelSep;
  QCheckBox* AlignLevelsCheck;
  QCheckBox* AlignParentsCheck;
  QCheckBox* MirrorCheck;
  QPushButton* ColorButton;

 private:
  QWidget* CreateStretchGroup();
  QWidget* CreateBorderGroup();
  QWidget* CreateSeparationGroup();
  QWidget* CreatePlacementGroup();
};

// An integer field without bounds, named Name.
QSpinBox* NewIntegerField(const char* Name, QWidget* Parent);

}  // namespace vt
