#include "app/NodePanel.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/ShapeControl.h"
#include "app/TreePanel.h"
#include "graphics/qt/QtMeasurer.h"
#include "picture/NodeFormat.h"

namespace vt {

namespace {

constexpr int IndentStep = 12;
constexpr int ImageCount = 6;

// Draws the six class images, 16 x 16 at twice the resolution.
QIcon DrawClassImage(int Index) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  if (Index == ImageNone) return QIcon(pixmap);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(2, 2);
  const QPen outline(QColor(60, 60, 60), 0.8);
  auto box = [&](const QRectF& R, const QColor& Fill) {
    p.setPen(outline);
    p.setBrush(Fill);
    p.drawRect(R);
  };
  auto line = [&](QPointF A, QPointF B) {
    p.setPen(outline);
    p.drawLine(A, B);
  };
  switch (Index) {
    case ImageIndividual: {
      // One node with a pencil stroke: a format of its own.
      box(QRectF(1.5, 5.5, 9, 6), QColor(255, 250, 200));
      p.setPen(QPen(QColor(200, 60, 40), 1.6, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(9.5, 13), QPointF(14.5, 3));
      break;
    }
    case ImageAll:
      // Three stacked formats.
      box(QRectF(5.5, 1.5, 9, 6), QColor(200, 215, 240));
      box(QRectF(3.5, 4.5, 9, 6), QColor(200, 215, 240));
      box(QRectF(1.5, 7.5, 9, 6), QColor(120, 160, 220));
      break;
    case ImageBasic:
      // A leaf: a node under the end of a line.
      line(QPointF(8, 1), QPointF(8, 6));
      box(QRectF(3.5, 6.5, 9, 6), QColor(170, 220, 160));
      break;
    case ImageAggregate:
      // A node with two inputs below it.
      line(QPointF(8, 6), QPointF(4, 10));
      line(QPointF(8, 6), QPointF(12, 10));
      box(QRectF(4.5, 1.5, 7, 5), QColor(240, 190, 120));
      box(QRectF(0.5, 10.5, 6, 4), QColor(240, 230, 200));
      box(QRectF(9.5, 10.5, 6, 4), QColor(240, 230, 200));
      break;
    case ImageLink: {
      // Two nodes joined by a dashed arc.
      box(QRectF(0.5, 9.5, 6, 5), QColor(210, 190, 235));
      box(QRectF(9.5, 9.5, 6, 5), QColor(210, 190, 235));
      QPainterPath arc(QPointF(3.5, 9.5));
      arc.cubicTo(QPointF(3.5, 1), QPointF(12.5, 1), QPointF(12.5, 9.5));
      p.setPen(QPen(QColor(110, 60, 160), 1, Qt::DashLine));
      p.setBrush(Qt::NoBrush);
      p.drawPath(arc);
      break;
    }
    default:
      break;
  }
  return QIcon(pixmap);
}

const QIcon& ClassImage(int Index) {
  static const std::vector<QIcon> images = [] {
    std::vector<QIcon> list;
    for (int i = 0; i < ImageCount; ++i) list.push_back(DrawClassImage(i));
    return list;
  }();
  return images[static_cast<std::size_t>(Index >= 0 && Index < ImageCount ? Index : ImageNone)];
}

// Indents the items of a drop-down list by their indent role.
class TIndentDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    QStyleOptionViewItem option(Option);
    option.rect.setLeft(option.rect.left() + Indent(Index));
    QStyledItemDelegate::paint(Painter, option, Index);
  }
  QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    return QStyledItemDelegate::sizeHint(Option, Index) + QSize(Indent(Index), 0);
  }

 private:
  static int Indent(const QModelIndex& Index) { return Index.data(ItemIndentRole).toInt() * IndentStep; }
};

QComboBox* NewClassList(const char* Name, const char* Hint, QWidget* Parent) {
  auto* box = new QComboBox(Parent);
  box->setObjectName(QString::fromUtf8(Name));
  if (Hint) box->setToolTip(QString::fromUtf8(Hint));
  box->setIconSize(QSize(16, 16));
  box->setMaxVisibleItems(20);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  box->setMinimumContentsLength(8);
  box->setItemDelegate(new TIndentDelegate(box));
  return box;
}

// Group boxes of the narrow page keep their margins small.
QGridLayout* NewGrid(QGroupBox* Group) {
  auto* grid = new QGridLayout(Group);
  grid->setContentsMargins(6, 2, 6, 2);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(2);
  return grid;
}

QComboBox* NewUnitList(const char* Name, QWidget* Parent) {
  auto* box = new QComboBox(Parent);
  box->setObjectName(QString::fromUtf8(Name));
  // Positions 0 and 1 are the units pixels and percent.
  box->addItem(QStringLiteral("pix"));
  box->addItem(QStringLiteral("%"));
  box->setFixedWidth(52);
  return box;
}

QSpinBox* NewField(const char* Name, QWidget* Parent) {
  QSpinBox* field = NewIntegerField(Name, Parent);
  field->setMinimumWidth(48);
  field->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  return field;
}

QLabel* NewLabel(const char* Caption, QWidget* Parent, QWidget* Buddy = nullptr) {
  auto* label = new QLabel(QString::fromUtf8(Caption), Parent);
  if (Buddy) label->setBuddy(Buddy);
  return label;
}

// A text in a frame, for the text borders.
QLabel* NewTextGlyph(QWidget* Parent) {
  QPixmap pixmap(56, 40);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(QColor(255, 255, 210));
  p.drawRect(QRectF(0.5, 0.5, 55, 39));
  p.setPen(QPen(QColor(150, 150, 150), 1, Qt::DotLine));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(8.5, 8.5, 39, 23));
  p.setPen(QPen(QColor(60, 60, 60), 2));
  for (int y : {15, 20, 25}) p.drawLine(QPointF(12, y), QPointF(y == 25 ? 32 : 44, y));
  p.end();
  return NewPictureLabel(pixmap, Parent);
}

// A tab page that scrolls when the panel is shorter than its controls.
QWidget* Scrolled(QWidget* Content, const char* Name, QWidget* Parent) {
  auto* area = new QScrollArea(Parent);
  area->setObjectName(QString::fromUtf8(Name));
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  area->setWidget(Content);
  return area;
}

// The nine position buttons by tag: names and their places in the 3 x 3
// grid (row by vertical, column by horizontal alignment).
struct TPosButton {
  const char* Name;
  int Row;
  int Column;
};
const TPosButton PosButtonInfo[9] = {
    {"PosTL", 0, 0}, {"PosTR", 0, 2}, {"PosTC", 0, 1}, {"PosBL", 2, 0}, {"PosBR", 2, 2},
    {"PosBC", 2, 1}, {"PosML", 1, 0}, {"PosMR", 1, 2}, {"PosMC", 1, 1},
};

}  // namespace

int ClassImageIndex(const TNodeFormat* Format, const TNodeFormat* Formats) {
  if (!Format) return ImageNone;
  if (Format == Formats) return ImageAll;
  const std::string& name = Format->FormatClass();
  if (name.empty()) return ImageIndividual;
  if (name == "basic") return ImageBasic;
  if (name == "aggregate") return ImageAggregate;
  if (name == "link") return ImageLink;
  return ImageNone;
}

void FitListToItems(QComboBox* Box) {
  QAbstractItemView* list = Box->view();
  const int bar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
  int width = list->sizeHintForColumn(0) + bar + 2 * list->frameWidth() + 8;
  if (const QScreen* screen = Box->screen()) width = std::min(width, screen->availableGeometry().width());
  list->setMinimumWidth(std::max(width, Box->width()));
}

void AddClassListItem(QComboBox* Box, const QString& Caption, int Image, int Indent, void* Data) {
  Box->addItem(ClassImage(Image), Caption, QVariant::fromValue(Data));
  const int index = Box->count() - 1;
  Box->setItemData(index, Indent, ItemIndentRole);
  Box->setItemData(index, Image, ItemImageRole);
}

void SetClassListImage(QComboBox* Box, int Index, int Image) {
  Box->setItemIcon(Index, ClassImage(Image));
  Box->setItemData(Index, Image, ItemImageRole);
}

TNodePanel::TNodePanel(QWidget* AParent) : QWidget(AParent) {
  setObjectName(QStringLiteral("NodePage"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 6, 4, 4);
  NodesBox = NewClassList("NodesBox", "Nodes", this);
  layout->addWidget(NodesBox);
  auto* classRow = new QHBoxLayout;
  ClassesBox = NewClassList("ClassesBox", nullptr, this);
  ClassLabel = NewLabel("&Class", this, ClassesBox);
  ClassLabel->setObjectName(QStringLiteral("ClassLabel"));
  classRow->addWidget(ClassLabel);
  classRow->addWidget(ClassesBox, 1);
  layout->addLayout(classRow);
  NodePageControl = new QTabWidget(this);
  NodePageControl->setObjectName(QStringLiteral("NodePageControl"));
  NodePageControl->addTab(CreateGraphicPage(), QStringLiteral("&Graphic"));
  NodePageControl->addTab(CreateTextPage(), QStringLiteral("Te&xt"));
  layout->addWidget(NodePageControl, 1);
}

int TNodePanel::NodeAlignIndex() const {
  return NodeAlignButtons->checkedId();
}

void TNodePanel::SetNodeAlignIndex(int Index) {
  if (QAbstractButton* button = NodeAlignButtons->button(Index)) button->setChecked(true);
}

QWidget* TNodePanel::CreateGraphicPage() {
  auto* content = new QWidget;
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(CreateDimensionGroup(content));
  layout->addWidget(CreateShapeRow(content));
  layout->addWidget(CreateAlignGroup(content));
  layout->addWidget(CreateRoundedGroup(content));
  layout->addWidget(
      CreateAnchorGroup(content, "Top &anchor", "Top", TopHoriz, TopHorizUnit, TopVert, TopVertUnit));
  layout->addWidget(
      CreateAnchorGroup(content, "Bottom anchor", "Bot", BotHoriz, BotHorizUnit, BotVert, BotVertUnit));
  layout->addStretch(1);
  GraphicPage = Scrolled(content, "GraphicPage", this);
  return GraphicPage;
}

QWidget* TNodePanel::CreateDimensionGroup(QWidget* Parent) {
  auto* group = new QGroupBox(QStringLiteral("&Dimensions"), Parent);
  auto* grid = NewGrid(group);
  NodeMinWidth = NewField("NodeMinWidth", group);
  NodeMaxWidth = NewField("NodeMaxWidth", group);
  NodeMinHeight = NewField("NodeMinHeight", group);
  NodeMaxHeight = NewField("NodeMaxHeight", group);
  grid->addWidget(NewLabel("min", group), 0, 1, Qt::AlignHCenter);
  grid->addWidget(NewLabel("max", group), 0, 2, Qt::AlignHCenter);
  grid->addWidget(NewLabel("&Width", group, NodeMinWidth), 1, 0);
  grid->addWidget(NodeMinWidth, 1, 1);
  grid->addWidget(NodeMaxWidth, 1, 2);
  grid->addWidget(NewLabel("He&ight", group, NodeMinHeight), 2, 0);
  grid->addWidget(NodeMinHeight, 2, 1);
  grid->addWidget(NodeMaxHeight, 2, 2);
  return group;
}

QWidget* TNodePanel::CreateShapeRow(QWidget* Parent) {
  auto* row = new QWidget(Parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(4, 0, 0, 0);
  NodeShape = new TShapeControl(row);
  NodeShape->setObjectName(QStringLiteral("NodeShape"));
  NodeShape->setFixedSize(64, 40);
  ParentShape = new TShapeControl(row);
  ParentShape->setObjectName(QStringLiteral("ParentShape"));
  ParentShape->setVisible(false);
  auto* buttons = new QVBoxLayout;
  ParentLineButton = new QPushButton(QStringLiteral("Parent &line..."), row);
  ParentLineButton->setObjectName(QStringLiteral("ParentLineButton"));
  ShapeButton = new QPushButton(QStringLiteral("&Shape..."), row);
  ShapeButton->setObjectName(QStringLiteral("ShapeButton"));
  buttons->addWidget(ParentLineButton);
  buttons->addWidget(ShapeButton);
  layout->addWidget(NodeShape, 0, Qt::AlignVCenter);
  layout->addLayout(buttons, 1);
  return row;
}

QWidget* TNodePanel::CreateAlignGroup(QWidget* Parent) {
  NodeAlignCheck = new QGroupBox(QStringLiteral("Node alignment"), Parent);
  NodeAlignCheck->setObjectName(QStringLiteral("NodeAlignCheck"));
  NodeAlignButtons = new QButtonGroup(NodeAlignCheck);
  auto* layout = new QHBoxLayout(NodeAlignCheck);
  layout->setContentsMargins(6, 2, 4, 2);
  layout->setSpacing(2);
  const char* const items[] = {"t&op", "&middle", "&bottom"};
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(QString::fromUtf8(items[i]), NodeAlignCheck);
    radio->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    NodeAlignButtons->addButton(radio, i);
    layout->addWidget(radio);
  }
  return NodeAlignCheck;
}

QWidget* TNodePanel::CreateRoundedGroup(QWidget* Parent) {
  auto* group = new QGroupBox(QStringLiteral("Rounded edges"), Parent);
  auto* grid = NewGrid(group);
  RoundedX = NewField("RoundedX", group);
  RoundedUnitX = NewUnitList("RoundedUnitX", group);
  RoundedY = NewField("RoundedY", group);
  RoundedUnitY = NewUnitList("RoundedUnitY", group);
  grid->addWidget(NewLabel("Hori&zontal", group, RoundedX), 0, 0);
  grid->addWidget(RoundedX, 0, 1);
  grid->addWidget(RoundedUnitX, 0, 2);
  grid->addWidget(NewLabel("&Vertical", group, RoundedY), 1, 0);
  grid->addWidget(RoundedY, 1, 1);
  grid->addWidget(RoundedUnitY, 1, 2);
  return group;
}

QWidget* TNodePanel::CreateAnchorGroup(QWidget* Parent, const char* Caption, const char* Prefix,
                                       QSpinBox*& Horiz, QComboBox*& HorizUnit, QSpinBox*& Vert,
                                       QComboBox*& VertUnit) {
  auto* group = new QGroupBox(QString::fromUtf8(Caption), Parent);
  auto* grid = NewGrid(group);
  const std::string prefix(Prefix);
  Horiz = NewField((prefix + "Horiz").c_str(), group);
  HorizUnit = NewUnitList((prefix + "HorizUnit").c_str(), group);
  Vert = NewField((prefix + "Vert").c_str(), group);
  VertUnit = NewUnitList((prefix + "VertUnit").c_str(), group);
  Horiz->setToolTip(QStringLiteral("Along the level"));
  Vert->setToolTip(QStringLiteral("Across the level"));
  grid->addWidget(NewLabel("X", group), 0, 0);
  grid->addWidget(Horiz, 0, 1);
  grid->addWidget(HorizUnit, 0, 2);
  grid->addWidget(NewLabel("Y", group), 1, 0);
  grid->addWidget(Vert, 1, 1);
  grid->addWidget(VertUnit, 1, 2);
  return group;
}

QWidget* TNodePanel::CreateTextPage() {
  auto* content = new QWidget;
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(2, 4, 2, 2);
  layout->setSpacing(4);
  layout->addWidget(CreateBorderGroup(content));
  layout->addWidget(CreateFormatGroup(content));
  layout->addWidget(CreatePositionGroup(content));
  FontButton = new QPushButton(QStringLiteral("F&ont..."), content);
  FontButton->setObjectName(QStringLiteral("FontButton"));
  layout->addWidget(FontButton);
  TextEdit = new QLineEdit(content);
  TextEdit->setObjectName(QStringLiteral("TextEdit"));
  TextEdit->setFont(ToQFont(TNodeFormat::StartupFont()));
  layout->addWidget(TextEdit);
  layout->addStretch(1);
  TextPage = Scrolled(content, "TextPage", this);
  return TextPage;
}

QWidget* TNodePanel::CreateBorderGroup(QWidget* Parent) {
  auto* group = new QGroupBox(QStringLiteral("Text &borders"), Parent);
  auto* grid = NewGrid(group);
  TextTopBorder = NewField("TextTopBorder", group);
  TextLeftBorder = NewField("TextLeftBorder", group);
  TextRightBorder = NewField("TextRightBorder", group);
  TextBottomBorder = NewField("TextBottomBorder", group);
  PlaceAround(grid, TextTopBorder, TextLeftBorder, NewTextGlyph(group), TextRightBorder, TextBottomBorder);
  return group;
}

QWidget* TNodePanel::CreateFormatGroup(QWidget* Parent) {
  auto* group = new QGroupBox(QStringLiteral("Fo&rmat"), Parent);
  auto* grid = NewGrid(group);
  WrapCheck = NewCheck("WrapCheck", "&Wrap", group);
  ClipCheck = NewCheck("ClipCheck", "&Clip", group);
  TrimCheck = NewCheck("TrimCheck", "Tri&m to", group);
  TrimChar = NewField("TrimChar", group);
  LineSpace = NewField("LineSpace", group);
  LineSpaceLabel = NewLabel("&Line space", group, LineSpace);
  LineSpaceLabel->setObjectName(QStringLiteral("LineSpaceLabel"));
  grid->addWidget(WrapCheck, 0, 0);
  grid->addWidget(ClipCheck, 0, 1, 1, 2);
  grid->addWidget(TrimCheck, 1, 0);
  grid->addWidget(TrimChar, 1, 1);
  grid->addWidget(NewLabel("characters", group), 2, 1, 1, 2);
  grid->addWidget(LineSpaceLabel, 3, 0);
  grid->addWidget(LineSpace, 3, 1);
  grid->addWidget(NewLabel("%", group), 3, 2);
  return group;
}

QWidget* TNodePanel::CreatePositionGroup(QWidget* Parent) {
  auto* group = new QGroupBox(QStringLiteral("&Position"), Parent);
  auto* grid = NewGrid(group);
  grid->setSpacing(0);
  for (int tag = 0; tag < 9; ++tag) {
    auto* button = new QPushButton(QStringLiteral("-"), group);
    button->setObjectName(QString::fromUtf8(PosButtonInfo[tag].Name));
    button->setFlat(true);
    button->setProperty("tag", tag);
    button->setMinimumWidth(48);
    grid->addWidget(button, PosButtonInfo[tag].Row, PosButtonInfo[tag].Column);
    PosButtons[tag] = button;
  }
  return group;
}

}  // namespace vt
