#include "app/FLine.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/TreePanel.h"
#include "graphics/qt/QPainterCanvas.h"

namespace vt {

TEditParentLine::TEditParentLine(QWidget* AParent) : QDialog(AParent) {
  setObjectName(QStringLiteral("EditParentLine"));
  setWindowTitle(QStringLiteral("Edit Parent Line"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  ParentShape = new TShapeControl(this);
  ParentShape->setObjectName(QStringLiteral("ParentShape"));
  ParentShape->hide();

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(CreateLineGroup());
  top->addSpacing(12);
  top->addLayout(CreateSample());
  layout->addLayout(top);
  layout->addLayout(CreateButtons());
  // A fixed dialog frame: the size the controls need, not resizable.
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(StyleBox, &QComboBox::currentIndexChanged, this, &TEditParentLine::StyleBoxChange);
  connect(LineWidth, &QSpinBox::valueChanged, this, &TEditParentLine::LineWidthChange);
  connect(ColorButton, &QPushButton::clicked, this, &TEditParentLine::ColorButtonClick);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QGroupBox* TEditParentLine::CreateLineGroup() {
  LineGroup = new QGroupBox(QStringLiteral("Line"), this);
  LineGroup->setObjectName(QStringLiteral("LineGroup"));
  auto* grid = new QGridLayout(LineGroup);
  StyleLabel = new QLabel(QStringLiteral("&Style"), LineGroup);
  StyleLabel->setObjectName(QStringLiteral("StyleLabel"));
  StyleBox = NewPenStyleBox("StyleBox", LineGroup);
  StyleLabel->setBuddy(StyleBox);
  WidthLabel = new QLabel(QStringLiteral("Line &width"), LineGroup);
  WidthLabel->setObjectName(QStringLiteral("WidthLabel"));
  LineWidth = NewIntegerField("LineWidth", LineGroup);
  WidthLabel->setBuddy(LineWidth);
  ColorButton = new QPushButton(QStringLiteral("&Color..."), LineGroup);
  ColorButton->setObjectName(QStringLiteral("ColorButton"));
  ColorButton->setAutoDefault(false);
  grid->addWidget(StyleLabel, 0, 0);
  grid->addWidget(StyleBox, 0, 1);
  grid->addWidget(WidthLabel, 1, 0);
  grid->addWidget(LineWidth, 1, 1);
  grid->addWidget(ColorButton, 2, 1);
  return LineGroup;
}

QLayout* TEditParentLine::CreateSample() {
  // The sample node sits below the top of the "Line" group, so that the
  // painted parent line has room to rise from it.
  NodeShape = new TShapeControl(this);
  NodeShape->setObjectName(QStringLiteral("NodeShape"));
  auto* column = new QVBoxLayout;
  column->addSpacing(48);
  column->addWidget(NodeShape);
  column->addStretch(1);
  return column;
}

QLayout* TEditParentLine::CreateButtons() {
  OKButton = new QPushButton(QStringLiteral("&OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);
  CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  CancelButton->setAutoDefault(false);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(OKButton);
  row->addWidget(CancelButton);
  return row;
}

void TEditParentLine::ShowValues() {
  FShowing = true;
  const TPen& pen = ParentShape->Pen();
  StyleBox->setCurrentIndex(PenStyleIndex(pen.Style()));
  LineWidth->setValue(pen.Width());
  FShowing = false;
  update();
}

void TEditParentLine::ChangePen(const std::function<void(TPen&)>& Change) {
  TPen pen = ParentShape->Pen();
  Change(pen);
  ParentShape->SetPen(pen);
  update();
}

void TEditParentLine::StyleBoxChange() {
  const int index = StyleBox->currentIndex();
  if (FShowing || index < 0) return;
  ChangePen([index](TPen& pen) { pen.SetStyle(static_cast<TPenStyle>(index)); });
}

void TEditParentLine::LineWidthChange() {
  if (FShowing) return;
  const int width = LineWidth->value();
  ChangePen([width](TPen& pen) { pen.SetWidth(width); });
}

void TEditParentLine::ColorButtonClick() {
  if (!FChooseColor) return;
  TColor color = ParentShape->Pen().Color();
  if (FChooseColor(color)) {
    ChangePen([color](TPen& pen) { pen.SetColor(color); });
  } else {
    update();
  }
}

void TEditParentLine::showEvent(QShowEvent* Event) {
  ShowValues();
  QDialog::showEvent(Event);
}

void TEditParentLine::paintEvent(QPaintEvent* Event) {
  QDialog::paintEvent(Event);
  const QPoint node = NodeShape->mapTo(this, QPoint(0, 0));
  const int groupTop = LineGroup->mapTo(this, QPoint(0, 0)).y();
  QPainter painter(this);
  const TFakeMeasurer measurer;  // a line needs no text metrics
  TQPainterCanvas canvas(painter, measurer);
  canvas.SetPen(ParentShape->Pen());
  canvas.MoveTo(node.x() + NodeShape->width() / 2 - ParentShape->Pen().Width() / 2, node.y());
  canvas.LineTo(node.x(), groupTop);
}

}  // namespace vt
