// The "&Tree" page of the side panel: the controls of the tree parameters.
// The page only lays the controls out; the window moves values between them
// and the drawer and handles their changes.
#pragma once

#include <QWidget>

class QCheckBox;
class QGridLayout;
class QLabel;
class QPixmap;
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
// A check box named Name.
QCheckBox* NewCheck(const char* Name, const char* Caption, QWidget* Parent);
// A label showing Picture centred.
QLabel* NewPictureLabel(const QPixmap& Picture, QWidget* Parent);
// Places four fields above, left of, right of and below a picture.
void PlaceAround(QGridLayout* Grid, QWidget* Top, QWidget* Left, QWidget* Centre, QWidget* Right,
                 QWidget* Bottom);

}  // namespace vt
