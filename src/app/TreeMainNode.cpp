// The node format editor of the main window: the "&Node" page's lists,
// controls and handlers, and the dialogs it opens.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <cmath>
#include <vector>

#include "app/FAbout.h"
#include "app/FLine.h"
#include "app/FShape.h"
#include "app/NodePanel.h"
#include "app/ShapeControl.h"
#include "app/TreeMain.h"
#include "foundation/Utils.h"
#include "graphics/qt/QtMeasurer.h"
#include "picture/VarnNode.h"

namespace vt {

namespace {

TUnit UnitOf(const QComboBox* Box) {
  return Box->currentIndex() == 1 ? Uperc : Upix;
}

void ShowAnchor(const TAnchor& A, QSpinBox* X, QComboBox* UnitX, QSpinBox* Y, QComboBox* UnitY) {
  X->setValue(A.X);
  UnitX->setCurrentIndex(A.UnitX);
  Y->setValue(A.Y);
  UnitY->setCurrentIndex(A.UnitY);
}

TAnchor AnchorOf(const QSpinBox* X, const QComboBox* UnitX, const QSpinBox* Y, const QComboBox* UnitY) {
  return TAnchor{X->value(), Y->value(), UnitOf(UnitX), UnitOf(UnitY)};
}

// Equal within a relative tolerance of 1e-12, at least 1e-12.
bool SameSpacing(double A, double B) {
  return std::fabs(A - B) <= std::max(1e-12, std::min(std::fabs(A), std::fabs(B)) * 1e-12);
}

template <typename TItem>
void* ItemData(TItem* Item) {
  return static_cast<void*>(Item);
}

// The class formats below Formats in pre-order with their depth; a format
// without class name (an individual format) is skipped with what lies below
// it.
void AddClassItems(QComboBox* Box, TNodeFormat* Formats) {
  if (!Formats) return;
  std::vector<std::pair<TNodeFormat*, int>> stack{{Formats, 0}};
  while (!stack.empty()) {
    auto [format, depth] = stack.back();
    stack.pop_back();
    if (format->FormatClass().empty()) continue;
    AddClassListItem(Box, QString::fromStdString(format->FormatClass()), ClassImageIndex(format, Formats),
                     depth, ItemData(format));
    for (int i = format->ChildCount() - 1; i >= 0; --i) stack.emplace_back(format->GetChild(i), depth + 1);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Building.

void TVarnTreeForm::CreateDialogs() {
  EditShape = new TEditShape(this);
  EditParentLine = new TEditParentLine(this);
  // Centred on the screen, not on the window.
  AboutBox = std::make_unique<TAboutBox>();
  const TColorChooser chooser = [this](TColor& Color) { return FDialogs->ChooseColor(Color); };
  EditShape->SetColorChooser(chooser);
  EditParentLine->SetColorChooser(chooser);
}

void TVarnTreeForm::ConnectNodeHandlers() {
  TNodePanel* p = NodePage;
  auto run = [this](void (TVarnTreeForm::*Handler)()) {
    return [this, Handler] { RunCommand([this, Handler] { (this->*Handler)(); }); };
  };
  for (QSpinBox* field :
       {p->RoundedX, p->RoundedY, p->TopHoriz, p->TopVert, p->BotHoriz, p->BotVert, p->TextTopBorder,
        p->TextLeftBorder, p->TextRightBorder, p->TextBottomBorder, p->TrimChar, p->LineSpace})
    connect(field, &QSpinBox::valueChanged, this, run(&TVarnTreeForm::VarnNodeClick));
  for (QComboBox* unit :
       {p->RoundedUnitX, p->RoundedUnitY, p->TopHorizUnit, p->TopVertUnit, p->BotHorizUnit, p->BotVertUnit})
    connect(unit, &QComboBox::currentIndexChanged, this, run(&TVarnTreeForm::VarnNodeClick));
  for (QCheckBox* check : {p->WrapCheck, p->ClipCheck, p->TrimCheck})
    connect(check, &QCheckBox::toggled, this, run(&TVarnTreeForm::VarnNodeClick));
  connect(p->NodeAlignButtons, &QButtonGroup::idToggled, this, [this](int, bool Checked) {
    if (Checked) RunCommand([this] { VarnNodeClick(); });
  });
  connect(p->NodesBox, &QComboBox::currentIndexChanged, this, run(&TVarnTreeForm::NodesBoxChange));
  connect(p->ClassesBox, &QComboBox::currentIndexChanged, this, run(&TVarnTreeForm::ClassesBoxChange));
  for (QSpinBox* field : {p->NodeMinWidth, p->NodeMaxWidth, p->NodeMinHeight, p->NodeMaxHeight}) {
    field->installEventFilter(this);
    connect(field, &QSpinBox::valueChanged, this,
            [this, field] { RunCommand([this, field] { NodeDimChange(field); }); });
  }
  connect(p->ParentLineButton, &QPushButton::clicked, this, run(&TVarnTreeForm::ParentLineButtonClick));
  connect(p->ShapeButton, &QPushButton::clicked, this, run(&TVarnTreeForm::ShapeButtonClick));
  for (int tag = 0; tag < 9; ++tag)
    connect(p->PosButtons[tag], &QPushButton::clicked, this,
            [this, tag] { RunCommand([this, tag] { PosClick(tag); }); });
  connect(p->FontButton, &QPushButton::clicked, this, run(&TVarnTreeForm::FontButtonClick));
  connect(p->TextEdit, &QLineEdit::textChanged, this, run(&TVarnTreeForm::TextEditChange));
}

void TVarnTreeForm::AboutClick() {
  FDialogs->Execute(*AboutBox);
}

// ---------------------------------------------------------------------------
// Selection.

bool TVarnTreeForm::IsClassSelected() const {
  const int index = NodePage->NodesBox->currentIndex();
  return index >= 0 && index < FClassesCount;
}

bool TVarnTreeForm::IsNodeSelected() const {
  return NodePage->NodesBox->currentIndex() >= FClassesCount;
}

TVarnNode* TVarnTreeForm::EditedNode() const {
  if (!IsNodeSelected()) return nullptr;
  return static_cast<TVarnNode*>(NodePage->NodesBox->currentData(ItemDataRole).value<void*>());
}

TNodeFormat* TVarnTreeForm::EditedClass() const {
  if (IsClassSelected())
    return static_cast<TNodeFormat*>(NodePage->NodesBox->currentData(ItemDataRole).value<void*>());
  if (TVarnNode* node = EditedNode()) return node->NodeFormat();
  return nullptr;
}

// ---------------------------------------------------------------------------
// Filling.

void TVarnTreeForm::FillNodeBoxes() {
  TNodePanel* p = NodePage;
  WithoutUpdate([&] {
    if (!FDocument->VarnRoot()) {
      // Nothing to edit; the lists must not keep items of a tree or of
      // classes that are gone.
      p->NodesBox->clear();
      p->ClassesBox->clear();
      FClassesCount = 0;
      FNodeData = nullptr;
      TreeDrawerToData(TreeDrawer());
      return;
    }
    TNodeFormat* formats = Formats();
    p->NodesBox->clear();
    AddClassItems(p->NodesBox, formats);
    FClassesCount = p->NodesBox->count();
    std::vector<std::pair<TTreeDrawNode*, int>> stack{{FDocument->VarnRoot(), 0}};
    while (!stack.empty()) {
      auto [node, level] = stack.back();
      stack.pop_back();
      // The picture tree may hold nodes of other kinds; they are not listed.
      if (auto* varn = dynamic_cast<TVarnNode*>(node))
        AddClassListItem(p->NodesBox, QString::fromStdString(varn->Text()),
                         ClassImageIndex(varn->NodeFormat(), formats), level, ItemData(varn));
      std::vector<TTreeDrawNode*> children;
      for (TTreeDrawNode* child = node->FirstChild(); child; child = child->NextChild())
        children.push_back(child);
      for (auto it = children.rbegin(); it != children.rend(); ++it) stack.emplace_back(*it, level + 1);
    }
    p->NodesBox->setCurrentIndex(0);
    p->ClassesBox->clear();
    AddClassItems(p->ClassesBox, formats);
    AddClassListItem(p->ClassesBox, QString::fromUtf8(SIndividualClass), ImageIndividual, 0, nullptr);
    FitListToItems(p->NodesBox);
    FitListToItems(p->ClassesBox);
    SelectEditedClass();
    TreeDrawerToData(TreeDrawer());
    TreeNodeToData(EditedClass());
  });
}

void TVarnTreeForm::SelectEditedClass() {
  QComboBox* box = NodePage->ClassesBox;
  const TNodeFormat* edited = EditedClass();
  const std::string name =
      edited && !edited->FormatClass().empty() ? edited->FormatClass() : SIndividualClass;
  const int found = box->findText(QString::fromStdString(name), Qt::MatchExactly | Qt::MatchCaseSensitive);
  box->setCurrentIndex(found >= 0 ? found : box->count() - 1);
}

void TVarnTreeForm::TreeNodeToData(TNodeFormat* AFormat) {
  FNodeData = AFormat;
  if (!AFormat) return;
  TNodePanel& p = *NodePage;
  const TNodeFormat& f = *AFormat;
  p.NodeMinWidth->setValue(f.MinWidth());
  p.NodeMaxWidth->setValue(f.MaxWidth());
  p.NodeMinHeight->setValue(f.MinHeight());
  p.NodeMaxHeight->setValue(f.MaxHeight());
  ShowAnchor(f.UpAnchor(), p.TopHoriz, p.TopHorizUnit, p.TopVert, p.TopVertUnit);
  ShowAnchor(f.DownAnchor(), p.BotHoriz, p.BotHorizUnit, p.BotVert, p.BotVertUnit);
  p.ParentShape->SetPen(f.LinePen());
  p.NodeShape->SetPen(f.NodePen());
  p.NodeShape->SetBrush(f.NodeBrush());
  p.SetNodeAlignIndex(f.NodeAlign() == taLeftJustify ? 0 : f.NodeAlign() == taRightJustify ? 2 : 1);
  p.NodeShape->SetShape(f.Shape());
  ShowAnchor(f.RoundEdge(), p.RoundedX, p.RoundedUnitX, p.RoundedY, p.RoundedUnitY);
  p.TextTopBorder->setValue(f.TextBorder().Top);
  p.TextLeftBorder->setValue(f.TextBorder().Left);
  p.TextRightBorder->setValue(f.TextBorder().Right);
  p.TextBottomBorder->setValue(f.TextBorder().Bottom);
  p.WrapCheck->setChecked(f.TextWrap());
  p.ClipCheck->setChecked(f.TextClip());
  p.TrimCheck->setChecked(f.TextTrim() > 0);
  p.TrimChar->setEnabled(p.TrimCheck->isChecked());
  if (p.TrimCheck->isChecked()) p.TrimChar->setValue(f.TextTrim());
  const int position = 3 * f.TextYAlign() + f.TextXAlign();
  for (int tag = 0; tag < 9; ++tag)
    p.PosButtons[tag]->setText(tag == position ? QStringLiteral("TEXT") : QStringLiteral("-"));
  p.LineSpace->setValue(RoundHalfEven(100 * f.LineSpacing()));
  FTextEditFont = f.Font();
  p.TextEdit->setFont(ToQFont(FTextEditFont));
  // The whole text, not the trimmed one: what the box shows replaces the
  // node's text when it is edited.
  if (TVarnNode* node = EditedNode())
    p.TextEdit->setText(QString::fromStdString(node->FullText()));
  else
    p.TextEdit->setText(QString::fromUtf8(SClassCaption) + QString::fromStdString(f.FormatClass()));
}

void TVarnTreeForm::TreeDataToNode(TNodeFormat* AFormat) {
  if (!AFormat) return;
  TNodePanel& p = *NodePage;
  TNodeFormat& f = *AFormat;
  if (p.NodeMinWidth->value() != f.MinWidth()) f.SetMinWidth(p.NodeMinWidth->value());
  if (p.NodeMaxWidth->value() != f.MaxWidth()) f.SetMaxWidth(p.NodeMaxWidth->value());
  if (p.NodeMinHeight->value() != f.MinHeight()) f.SetMinHeight(p.NodeMinHeight->value());
  if (p.NodeMaxHeight->value() != f.MaxHeight()) f.SetMaxHeight(p.NodeMaxHeight->value());
  const TAnchor up = AnchorOf(p.TopHoriz, p.TopHorizUnit, p.TopVert, p.TopVertUnit);
  if (!AnchorEqual(up, f.UpAnchor())) f.SetUpAnchor(up);
  const TAnchor down = AnchorOf(p.BotHoriz, p.BotHorizUnit, p.BotVert, p.BotVertUnit);
  if (!AnchorEqual(down, f.DownAnchor())) f.SetDownAnchor(down);
  const int align = p.NodeAlignIndex();
  const TAlignment nodeAlign = align == 0 ? taLeftJustify : align == 2 ? taRightJustify : taCenter;
  if (nodeAlign != f.NodeAlign()) f.SetNodeAlign(nodeAlign);
  if (p.NodeShape->Shape() != f.Shape()) f.SetShape(p.NodeShape->Shape());
  const TAnchor round = AnchorOf(p.RoundedX, p.RoundedUnitX, p.RoundedY, p.RoundedUnitY);
  if (!AnchorEqual(round, f.RoundEdge())) f.SetRoundEdge(round);
  if (p.TextTopBorder->value() != f.TextBorder().Top) f.SetTextBorderTop(p.TextTopBorder->value());
  if (p.TextBottomBorder->value() != f.TextBorder().Bottom)
    f.SetTextBorderBottom(p.TextBottomBorder->value());
  if (p.TextLeftBorder->value() != f.TextBorder().Left) f.SetTextBorderLeft(p.TextLeftBorder->value());
  if (p.TextRightBorder->value() != f.TextBorder().Right) f.SetTextBorderRight(p.TextRightBorder->value());
  if (p.WrapCheck->isChecked() != f.TextWrap()) f.SetTextWrap(p.WrapCheck->isChecked());
  if (p.ClipCheck->isChecked() != f.TextClip()) f.SetTextClip(p.ClipCheck->isChecked());
  // Written on every apply, so the edited format's trimming reaches every
  // format below it.
  f.SetTextTrim(p.TrimCheck->isChecked() ? p.TrimChar->value() : -1);
  const double spacing = p.LineSpace->value() / 100.0;
  if (!SameSpacing(spacing, f.LineSpacing())) f.SetLineSpacing(spacing);
}

// ---------------------------------------------------------------------------
// Handlers.

void TVarnTreeForm::VarnNodeClick() {
  if (!FUpdate) return;
  TreeDataToNode(FNodeData);
  UpdateForm(true, true);
}

void TVarnTreeForm::NodesBoxChange() {
  if (!FUpdate) return;
  WithoutUpdate([this] {
    SelectEditedClass();
    TreeNodeToData(EditedClass());
  });
  UpdateForm(false, true);
}

void TVarnTreeForm::ClassesBoxChange() {
  if (!FUpdate) return;
  TreeDataToNode(FNodeData);
  UpdateForm(true, true);
  TVarnNode* node = EditedNode();
  QComboBox* classes = NodePage->ClassesBox;
  if (!node || classes->currentIndex() < 0) return;
  const bool individual = classes->currentIndex() == classes->count() - 1;
  node->SetNodeClass(individual ? std::string() : classes->currentText().toStdString());
  WithoutUpdate([this] { TreeNodeToData(EditedClass()); });
  QComboBox* nodes = NodePage->NodesBox;
  SetClassListImage(nodes, nodes->currentIndex(), ClassImageIndex(node->NodeFormat(), Formats()));
  nodes->setEnabled(false);
  nodes->setEnabled(true);
  UpdateForm(true, true);
}

int TVarnTreeForm::DimSlot(const QSpinBox* Field) const {
  if (!Field) return -1;
  const TNodePanel& p = *NodePage;
  const QSpinBox* fields[4] = {p.NodeMinWidth, p.NodeMaxWidth, p.NodeMinHeight, p.NodeMaxHeight};
  for (int i = 0; i < 4; ++i)
    if (fields[i] == Field) return i;
  return -1;
}

namespace {

// The partner of a dimension slot: min width <-> max width, min height <->
// max height.
int PartnerSlot(int Slot) {
  return Slot ^ 1;
}

bool IsMaximumSlot(int Slot) {
  return (Slot & 1) != 0;
}

}  // namespace

void TVarnTreeForm::NodeDimEnter(QSpinBox* Sender) {
  const int slot = DimSlot(Sender);
  if (slot < 0) return;
  const TNodePanel& p = *NodePage;
  const QSpinBox* fields[4] = {p.NodeMinWidth, p.NodeMaxWidth, p.NodeMinHeight, p.NodeMaxHeight};
  FDimTags[static_cast<std::size_t>(slot)] = fields[PartnerSlot(slot)]->value();
}

void TVarnTreeForm::NodeDimChange(QSpinBox* Sender) {
  const int slot = DimSlot(Sender);
  if (slot < 0 || !FUpdate) return;
  const int remembered = FDimTags[static_cast<std::size_t>(slot)];
  if (remembered <= 0) return;
  TNodePanel& p = *NodePage;
  QSpinBox* fields[4] = {p.NodeMinWidth, p.NodeMaxWidth, p.NodeMinHeight, p.NodeMaxHeight};
  QSpinBox* partner = fields[PartnerSlot(slot)];
  const int v = Sender->value();
  WithoutUpdate([&] {
    if (IsMaximumSlot(slot))
      partner->setValue(v < remembered ? v : remembered);
    else
      partner->setValue(v > remembered ? v : remembered);
  });
  VarnNodeClick();
}

void TVarnTreeForm::NodeDimExit(QSpinBox* Sender) {
  const int slot = DimSlot(Sender);
  if (slot < 0) return;
  FDimTags[static_cast<std::size_t>(slot)] = 0;
  TNodePanel& p = *NodePage;
  WithoutUpdate([&] {
    for (QSpinBox* field : {p.NodeMinWidth, p.NodeMaxWidth, p.NodeMinHeight, p.NodeMaxHeight})
      if (field->value() <= 0) field->setValue(1);
  });
}

void TVarnTreeForm::ParentLineButtonClick() {
  if (!FNodeData) return;
  const TNodePanel& p = *NodePage;
  EditParentLine->NodeShape->SetPen(p.NodeShape->Pen());
  EditParentLine->NodeShape->SetBrush(p.NodeShape->Brush());
  EditParentLine->NodeShape->SetShape(p.NodeShape->Shape());
  EditParentLine->ParentShape->SetPen(p.ParentShape->Pen());
  if (!FDialogs->Execute(*EditParentLine)) return;
  const TPen pen = EditParentLine->ParentShape->Pen();
  NodePage->ParentShape->SetPen(pen);
  FNodeData->SetLinePen(pen);
  UpdateForm(true, true);
}

void TVarnTreeForm::ShapeButtonClick() {
  if (!FNodeData) return;
  TNodePanel& p = *NodePage;
  EditShape->NodeShape->SetShape(p.NodeShape->Shape());
  EditShape->NodeShape->SetPen(p.NodeShape->Pen());
  EditShape->NodeShape->SetBrush(p.NodeShape->Brush());
  if (!FDialogs->Execute(*EditShape)) return;
  p.NodeShape->SetShape(EditShape->NodeShape->Shape());
  p.NodeShape->SetPen(EditShape->NodeShape->Pen());
  p.NodeShape->SetBrush(EditShape->NodeShape->Brush());
  FNodeData->SetNodePen(p.NodeShape->Pen());
  FNodeData->SetNodeBrush(p.NodeShape->Brush());
  VarnNodeClick();
}

void TVarnTreeForm::PosClick(int Tag) {
  if (!FNodeData || Tag < 0 || Tag > 8) return;
  FNodeData->SetTextXAlign(static_cast<TAlignment>(Tag % 3));
  FNodeData->SetTextYAlign(static_cast<TAlignment>(Tag / 3));
  WithoutUpdate([this] { TreeNodeToData(EditedClass()); });
  UpdateForm(true, true);
}

void TVarnTreeForm::FontButtonClick() {
  if (!FNodeData) return;
  TFont font = FTextEditFont;
  if (!FDialogs->ChooseFont(font)) return;
  FTextEditFont = font;
  NodePage->TextEdit->setFont(ToQFont(font));
  FNodeData->SetFont(font);
  UpdateForm(true, true);
}

void TVarnTreeForm::TextEditChange() {
  if (!FUpdate) return;
  if (TVarnNode* node = EditedNode()) node->SetText(NodePage->TextEdit->text().toStdString());
  UpdateForm(true, true);
}

// ---------------------------------------------------------------------------
// Enabling.

void TVarnTreeForm::UpdateNodeControls() {
  TNodePanel& p = *NodePage;
  const bool node = IsNodeSelected();
  p.ClassesBox->setVisible(node);
  p.ClassLabel->setVisible(node);
  p.TextEdit->setEnabled(node);
  p.TrimChar->setEnabled(p.TrimCheck->isChecked());
  const bool rounded = p.NodeShape->Shape() == stRoundRect;
  for (QWidget* w : std::initializer_list<QWidget*>{p.RoundedX, p.RoundedUnitX, p.RoundedY, p.RoundedUnitY})
    w->setEnabled(rounded);
  const bool picture = HasPicture();
  for (int i = 0; i < p.NodePageControl->count(); ++i) {
    p.NodePageControl->setTabVisible(i, picture);
    p.NodePageControl->setTabEnabled(i, picture);
  }
}

}  // namespace vt
