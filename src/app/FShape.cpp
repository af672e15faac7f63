#include "app/FShape.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <iterator>

#include "app/TreePanel.h"

namespace vt {

namespace {

// ShapeCheck's items and the shape each one gives.
struct TShapeItem {
  const char* Name;
  const char* Caption;
  TShapeType Shape;
};
constexpr TShapeItem ShapeItems[] = {
    {"RectangleItem", "&Rectangle", stRectangle},
    {"EllipseItem", "&Ellipse", stEllipse},
    {"RoundedItem", "Ro&unded", stRoundRect},
};
constexpr int ShapeItemCount = static_cast<int>(std::size(ShapeItems));

// The item that shows a shape: the rectangle item for every kind without an
// item of its own.
int ShapeItemIndex(TShapeType Shape) {
  for (int i = 0; i < ShapeItemCount; ++i)
    if (ShapeItems[i].Shape == Shape) return i;
  return 0;
}

QPushButton* NewButton(const char* Name, const char* Caption, QWidget* Parent) {
  auto* button = new QPushButton(QString::fromUtf8(Caption), Parent);
  button->setObjectName(QString::fromUtf8(Name));
  button->setAutoDefault(false);
  return button;
}

QLabel* NewLabel(const char* Name, const char* Caption, QWidget* Buddy, QWidget* Parent) {
  auto* label = new QLabel(QString::fromUtf8(Caption), Parent);
  label->setObjectName(QString::fromUtf8(Name));
  label->setBuddy(Buddy);
  return label;
}

}  // namespace

TEditShape::TEditShape(QWidget* AParent) : QDialog(AParent) {
  setObjectName(QStringLiteral("EditShape"));
  setWindowTitle(QStringLiteral("Edit Shape"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);

  auto* left = new QVBoxLayout;
  left->addWidget(CreateBorderGroup());
  left->addWidget(CreateFillGroup());
  left->addStretch(1);

  NodeShape = new TShapeControl(this);
  NodeShape->setObjectName(QStringLiteral("NodeShape"));
  auto* right = new QVBoxLayout;
  right->addWidget(NodeShape, 0, Qt::AlignHCenter);
  right->addWidget(CreateShapeCheck());
  right->addStretch(1);

  auto* top = new QHBoxLayout;
  top->addLayout(left);
  top->addLayout(right);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(CreateButtons());
  // A fixed dialog frame: the size the controls need, not resizable.
  layout->setSizeConstraint(QLayout::SetFixedSize);
  ConnectHandlers();
}

QGroupBox* TEditShape::CreateBorderGroup() {
  BorderGroup = new QGroupBox(QStringLiteral("&Border line"), this);
  BorderGroup->setObjectName(QStringLiteral("BorderGroup"));
  PenStyleBox = NewPenStyleBox("PenStyleBox", BorderGroup);
  StyleLabel = NewLabel("StyleLabel", "&Style", PenStyleBox, BorderGroup);
  LineWidth = NewIntegerField("LineWidth", BorderGroup);
  WidthLabel = NewLabel("WidthLabel", "Line &width", LineWidth, BorderGroup);
  PenColorButton = NewButton("PenColorButton", "&Color...", BorderGroup);
  auto* grid = new QGridLayout(BorderGroup);
  grid->addWidget(StyleLabel, 0, 0);
  grid->addWidget(PenStyleBox, 0, 1);
  grid->addWidget(WidthLabel, 1, 0);
  grid->addWidget(LineWidth, 1, 1);
  grid->addWidget(PenColorButton, 2, 1);
  grid->setColumnStretch(1, 1);
  return BorderGroup;
}

QGroupBox* TEditShape::CreateFillGroup() {
  FillGroup = new QGroupBox(QStringLiteral("&Fill"), this);
  FillGroup->setObjectName(QStringLiteral("FillGroup"));
  BrushStyleBox = NewBrushStyleBox("BrushStyleBox", FillGroup);
  Label2 = NewLabel("Label2", "S&tyle", BrushStyleBox, FillGroup);
  BrushColorButton = NewButton("BrushColorButton", "Co&lor...", FillGroup);
  auto* grid = new QGridLayout(FillGroup);
  grid->addWidget(Label2, 0, 0);
  grid->addWidget(BrushStyleBox, 0, 1);
  grid->addWidget(BrushColorButton, 1, 1);
  grid->setColumnStretch(1, 1);
  // The fill's columns line up with the border line's.
  grid->setColumnMinimumWidth(0, std::max(StyleLabel->sizeHint().width(), WidthLabel->sizeHint().width()));
  return FillGroup;
}

QGroupBox* TEditShape::CreateShapeCheck() {
  ShapeCheck = new QGroupBox(QStringLiteral("S&hape"), this);
  ShapeCheck->setObjectName(QStringLiteral("ShapeCheck"));
  FShapeItems = new QButtonGroup(ShapeCheck);
  auto* column = new QVBoxLayout(ShapeCheck);
  for (int i = 0; i < ShapeItemCount; ++i) {
    auto* item = new QRadioButton(QString::fromUtf8(ShapeItems[i].Caption), ShapeCheck);
    item->setObjectName(QString::fromUtf8(ShapeItems[i].Name));
    FShapeItems->addButton(item, i);
    column->addWidget(item);
  }
  return ShapeCheck;
}

QLayout* TEditShape::CreateButtons() {
  OKButton = NewButton("OKButton", "&OK", this);
  OKButton->setDefault(true);
  CancelButton = NewButton("CancelButton", "Cancel", this);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(OKButton);
  row->addWidget(CancelButton);
  return row;
}

void TEditShape::ConnectHandlers() {
  connect(PenStyleBox, &QComboBox::currentIndexChanged, this, &TEditShape::PenStyleBoxChange);
  connect(LineWidth, &QSpinBox::valueChanged, this, &TEditShape::LineWidthChange);
  connect(BrushStyleBox, &QComboBox::currentIndexChanged, this, &TEditShape::BrushStyleBoxChange);
  connect(PenColorButton, &QPushButton::clicked, this, &TEditShape::PenColorButtonClick);
  connect(BrushColorButton, &QPushButton::clicked, this, &TEditShape::BrushColorButtonClick);
  connect(FShapeItems, &QButtonGroup::idToggled, this, [this](int, bool Checked) {
    if (Checked) ShapeCheckClick();
  });
  // A click on the item already picked still applies it: a square picked
  // as "&Rectangle" becomes a rectangle.
  connect(FShapeItems, &QButtonGroup::idClicked, this, &TEditShape::ShapeCheckClick);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

int TEditShape::ShapeIndex() const {
  return FShapeItems->checkedId();
}

void TEditShape::SetShapeIndex(int Index) {
  if (QRadioButton* item = ShapeItem(Index)) item->setChecked(true);
}

QRadioButton* TEditShape::ShapeItem(int Index) const {
  return qobject_cast<QRadioButton*>(FShapeItems->button(Index));
}

void TEditShape::ShowValues() {
  FShowing = true;
  const TPen& pen = NodeShape->Pen();
  PenStyleBox->setCurrentIndex(PenStyleIndex(pen.Style()));
  LineWidth->setValue(pen.Width());
  BrushStyleBox->setCurrentIndex(static_cast<int>(NodeShape->Brush().Style()));
  SetShapeIndex(ShapeItemIndex(NodeShape->Shape()));
  FShowing = false;
}

void TEditShape::ChangePen(const std::function<void(TPen&)>& Change) {
  TPen pen = NodeShape->Pen();
  Change(pen);
  NodeShape->SetPen(pen);
}

void TEditShape::ChangeBrush(const std::function<void(TBrush&)>& Change) {
  TBrush brush = NodeShape->Brush();
  Change(brush);
  NodeShape->SetBrush(brush);
}

void TEditShape::PenStyleBoxChange() {
  const int index = PenStyleBox->currentIndex();
  if (FShowing || index < 0) return;
  ChangePen([index](TPen& pen) { pen.SetStyle(static_cast<TPenStyle>(index)); });
}

void TEditShape::LineWidthChange() {
  if (FShowing) return;
  const int width = LineWidth->value();
  ChangePen([width](TPen& pen) { pen.SetWidth(width); });
}

void TEditShape::BrushStyleBoxChange() {
  const int index = BrushStyleBox->currentIndex();
  if (FShowing || index < 0) return;
  ChangeBrush([index](TBrush& brush) { brush.SetStyle(static_cast<TBrushStyle>(index)); });
}

void TEditShape::PenColorButtonClick() {
  TColor color = NodeShape->Pen().Color();
  if (FChooseColor && FChooseColor(color)) ChangePen([color](TPen& pen) { pen.SetColor(color); });
}

void TEditShape::BrushColorButtonClick() {
  TColor color = NodeShape->Brush().Color();
  if (FChooseColor && FChooseColor(color)) ChangeBrush([color](TBrush& brush) { brush.SetColor(color); });
}

void TEditShape::ShapeCheckClick() {
  if (FShowing) return;
  const int index = ShapeIndex();
  NodeShape->SetShape(index >= 0 && index < ShapeItemCount ? ShapeItems[index].Shape : stRectangle);
}

void TEditShape::showEvent(QShowEvent* Event) {
  ShowValues();
  QDialog::showEvent(Event);
}

}  // namespace vt
