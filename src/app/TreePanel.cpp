#include "app/TreePanel.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

namespace vt {

namespace {

// The small picture the stretch and border fields stand around.
QLabel* NewTreeGlyph(QWidget* Parent) {
  QPixmap pixmap(56, 40);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.drawRect(QRectF(0.5, 0.5, 55, 39));
  p.setBrush(QColor(255, 255, 210));
  const QRectF root(22, 6, 12, 8), left(8, 26, 12, 8), right(36, 26, 12, 8);
  p.drawLine(QPointF(28, 14), QPointF(14, 26));
  p.drawLine(QPointF(28, 14), QPointF(42, 26));
  for (const QRectF& r : {root, left, right}) p.drawRect(r);
  p.end();
  return NewPictureLabel(pixmap, Parent);
}

}  // namespace

QSpinBox* NewIntegerField(const char* Name, QWidget* Parent) {
  auto* field = new QSpinBox(Parent);
  field->setObjectName(QString::fromUtf8(Name));
  field->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  field->setAlignment(Qt::AlignRight);
  field->setMinimumWidth(60);
  return field;
}

QCheckBox* NewCheck(const char* Name, const char* Caption, QWidget* Parent) {
  auto* check = new QCheckBox(QString::fromUtf8(Caption), Parent);
  check->setObjectName(QString::fromUtf8(Name));
  return check;
}

QLabel* NewPictureLabel(const QPixmap& Picture, QWidget* Parent) {
  auto* label = new QLabel(Parent);
  label->setPixmap(Picture);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

void PlaceAround(QGridLayout* Grid, QWidget* Top, QWidget* Left, QWidget* Centre, QWidget* Right,
                 QWidget* Bottom) {
  Grid->addWidget(Top, 0, 1);
  Grid->addWidget(Left, 1, 0);
  Grid->addWidget(Centre, 1, 1);
  Grid->addWidget(Right, 1, 2);
  Grid->addWidget(Bottom, 2, 1);
}

TTreePanel::TTreePanel(QWidget* AParent) : QWidget(AParent) {
  setObjectName(QStringLiteral("TreePage"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CreateStretchGroup());
  layout->addWidget(CreateBorderGroup());
  layout->addWidget(CreateSeparationGroup());
  layout->addWidget(CreatePlacementGroup());
  ColorButton = new QPushButton(QStringLiteral("Background &color..."), this);
  ColorButton->setObjectName(QStringLiteral("ColorButton"));
  layout->addWidget(ColorButton);
  layout->addStretch(1);
}

QWidget* TTreePanel::CreateStretchGroup() {
  auto* group = new QGroupBox(QStringLiteral("Stretch"), this);
  auto* grid = new QGridLayout(group);
  StretchX = NewIntegerField("StretchX", group);
  StretchY = NewIntegerField("StretchY", group);
  StretchX->setSuffix(QStringLiteral(" %"));
  StretchY->setSuffix(QStringLiteral(" %"));
  StretchX->setToolTip(QStringLiteral("Stretch along the levels, in percent"));
  StretchY->setToolTip(QStringLiteral("Stretch between the levels, in percent"));
  grid->addWidget(StretchX, 0, 1);
  grid->addWidget(StretchY, 1, 0);
  grid->addWidget(NewTreeGlyph(group), 1, 1);
  return group;
}

QWidget* TTreePanel::CreateBorderGroup() {
  auto* group = new QGroupBox(QStringLiteral("Picture borders"), this);
  auto* grid = new QGridLayout(group);
  LeftBorder = NewIntegerField("LeftBorder", group);
  TopBorder = NewIntegerField("TopBorder", group);
  RightBorder = NewIntegerField("RightBorder", group);
  BottomBorder = NewIntegerField("BottomBorder", group);
  PlaceAround(grid, TopBorder, LeftBorder, NewTreeGlyph(group), RightBorder, BottomBorder);
  return group;
}

QWidget* TTreePanel::CreateSeparationGroup() {
  auto* group = new QGroupBox(QStringLiteral("Separation"), this);
  auto* form = new QFormLayout(group);
  NodeSep = NewIntegerField("NodeSep", group);
  LevelSep = NewIntegerField("LevelSep", group);
  MinLevelSep = NewIntegerField("MinLevelSep", group);
  form->addRow(QStringLiteral("N&ode"), NodeSep);
  form->addRow(QStringLiteral("&Level"), LevelSep);
  form->addRow(QStringLiteral("&Min. level"), MinLevelSep);
  AlignLevelsCheck = NewCheck("AlignLevelsCheck", "Appl&y Min.level", group);
  form->addRow(AlignLevelsCheck);
  return group;
}

QWidget* TTreePanel::CreatePlacementGroup() {
  auto* group = new QGroupBox(QStringLiteral("Placement"), this);
  auto* box = new QVBoxLayout(group);
  AlignParentsCheck = NewCheck("AlignParentsCheck", "Align &parents", group);
  MirrorCheck = NewCheck("MirrorCheck", "Mir&ror", group);
  box->addWidget(AlignParentsCheck);
  box->addWidget(MirrorCheck);
  return group;
}

}  // namespace vt
