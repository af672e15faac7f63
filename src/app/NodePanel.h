// The "&Node" page of the side panel: the controls of the node format
// editor. The page only lays the controls out and draws the class images;
// the window moves values between them and the formats and handles their
// changes.
#pragma once

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace vt {

class TNodeFormat;
class TShapeControl;

// Item roles of the two class lists: the item's format or node, its indent
// (the depth in the class tree or the node's level) and its image index.
inline constexpr int ItemDataRole = 0x0100;  // Qt::UserRole
inline constexpr int ItemIndentRole = ItemDataRole + 1;
inline constexpr int ItemImageRole = ItemDataRole + 2;

// Images of the class lists.
inline constexpr int ImageNone = 0;
inline constexpr int ImageIndividual = 1;
inline constexpr int ImageAll = 2;
inline constexpr int ImageBasic = 3;
inline constexpr int ImageAggregate = 4;
inline constexpr int ImageLink = 5;

// The image of a format in the class lists; Formats is the root ("all").
int ClassImageIndex(const TNodeFormat* Format, const TNodeFormat* Formats);

// Appends an item with an image and an indent; Data is the item's format or
// node (nil for none).
void AddClassListItem(QComboBox* Box, const QString& Caption, int Image, int Indent, void* Data);
// Makes the open list of Box as wide as its widest item, indent and image
// included, within the screen, so no entry is cut short.
void FitListToItems(QComboBox* Box);
// Shows Image for the item at Index.
void SetClassListImage(QComboBox* Box, int Index, int Image);

class TNodePanel : public QWidget {
 public:
  explicit TNodePanel(QWidget* AParent = nullptr);

  // The alignment on the level: 0 "t&op", 1 "&middle", 2 "&bottom"; -1 for
  // none picked.
  int NodeAlignIndex() const;
  void SetNodeAlignIndex(int Index);

  QComboBox* NodesBox;
  QLabel* ClassLabel;
  QComboBox* ClassesBox;
  QTabWidget* NodePageControl;
  QWidget* GraphicPage;
  QWidget* TextPage;

  // "&Graphic"
  QSpinBox* NodeMinWidth;
  QSpinBox* NodeMaxWidth;
  QSpinBox* NodeMinHeight;
  QSpinBox* NodeMaxHeight;
  TShapeControl* NodeShape;
  TShapeControl* ParentShape;
  QPushButton* ParentLineButton;
  QPushButton* ShapeButton;
  QGroupBox* NodeAlignCheck;
  QButtonGroup* NodeAlignButtons;
  QSpinBox* RoundedX;
  QComboBox* RoundedUnitX;
  QSpinBox* RoundedY;
  QComboBox* RoundedUnitY;
  QSpinBox* TopHoriz;
  QComboBox* TopHorizUnit;
  QSpinBox* TopVert;
  QComboBox* TopVertUnit;
  QSpinBox* BotHoriz;
  QComboBox* BotHorizUnit;
  QSpinBox* BotVert;
  QComboBox* BotVertUnit;

  // "Te&xt"
  QSpinBox* TextTopBorder;
  QSpinBox* TextLeftBorder;
  QSpinBox* TextRightBorder;
  QSpinBox* TextBottomBorder;
  QCheckBox* WrapCheck;
  QCheckBox* ClipCheck;
  QCheckBox* TrimCheck;
  QSpinBox* TrimChar;
  QLabel* LineSpaceLabel;
  QSpinBox* LineSpace;
  // By tag: 3 x vertical alignment + horizontal alignment.
  QPushButton* PosButtons[9];
  QPushButton* FontButton;
  QLineEdit* TextEdit;

 private:
  QWidget* CreateGraphicPage();
  QWidget* CreateTextPage();
  QWidget* CreateDimensionGroup(QWidget* Parent);
  QWidget* CreateShapeRow(QWidget* Parent);
  QWidget* CreateAlignGroup(QWidget* Parent);
  QWidget* CreateRoundedGroup(QWidget* Parent);
  QWidget* CreateAnchorGroup(QWidget* Parent, const char* Caption, const char* Prefix, QSpinBox*& Horiz,
                             QComboBox*& HorizUnit, QSpinBox*& Vert, QComboBox*& VertUnit);
  QWidget* CreateBorderGroup(QWidget* Parent);
  QWidget* CreateFormatGroup(QWidget* Parent);
  QWidget* CreatePositionGroup(QWidget* Parent);
};

}  // namespace vt
