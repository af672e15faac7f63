// The node format editor of the main window: the class lists, the controls
// and their handlers, and the dialogs it opens.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <sstream>

#include "WindowFixture.h"
#include "app/FAbout.h"
#include "app/FLine.h"
#include "app/FShape.h"
#include "app/NodePanel.h"
#include "app/ShapeControl.h"
#include "picture/VarnNode.h"

namespace vt {
namespace {

// The values of a format that the editor can change, as one comparable text.
std::string Snapshot(const TNodeFormat& F) {
  std::ostringstream s;
  const TAnchor* anchors[] = {&F.UpAnchor(), &F.DownAnchor(), &F.RoundEdge()};
  s << F.MinWidth() << ' ' << F.MaxWidth() << ' ' << F.MinHeight() << ' ' << F.MaxHeight() << " |";
  for (const TAnchor* a : anchors) s << ' ' << a->X << ' ' << a->Y << ' ' << int(a->UnitX) << ' ' << int(a->UnitY);
  s << " | " << int(F.NodeAlign()) << ' ' << int(F.Shape()) << ' ' << F.TextBorder().Left << ' '
    << F.TextBorder().Top << ' ' << F.TextBorder().Right << ' ' << F.TextBorder().Bottom << ' ' << F.TextWrap()
    << F.TextClip() << ' ' << F.TextTrim() << ' ' << int(F.TextXAlign()) << int(F.TextYAlign()) << ' '
    << F.LineSpacing() << " | " << F.Font().Name() << ' ' << F.Font().Size() << ' ' << F.Font().Color() << ' '
    << int(F.Font().Style().Bits()) << " | ";
  for (const TPen* pen : {&F.LinePen(), &F.NodePen()})
    s << pen->Color() << ' ' << pen->Width() << ' ' << int(pen->Style()) << ' ';
  s << F.NodeBrush().Color() << ' ' << int(F.NodeBrush().Style());
  return s.str();
}

class NodePageTest : public WindowTest {
 protected:
  QComboBox* NodesBox() { return Find<QComboBox>("NodesBox"); }
  QComboBox* ClassesBox() { return Find<QComboBox>("ClassesBox"); }
  QSpinBox* Field(const char* Name) { return Find<QSpinBox>(Name); }
  TNodeFormat* Class(const char* Name) { return Form->Formats()->Find(Name); }
  void Pick(const char* Caption) {
    const int index = NodesBox()->findText(QString::fromUtf8(Caption));
    ASSERT_GE(index, 0) << Caption;
    NodesBox()->setCurrentIndex(index);
  }
  void PickClass(const char* Caption) {
    const int index = ClassesBox()->findText(QString::fromUtf8(Caption));
    ASSERT_GE(index, 0) << Caption;
    ClassesBox()->setCurrentIndex(index);
  }
  // Types a value into a dimension field the way the user does: entering
  // it, changing it, leaving it.
  void TypeDim(const char* Name, std::initializer_list<int> Values) {
    QSpinBox* field = Field(Name);
    Form->NodeDimEnter(field);
    for (int v : Values) field->setValue(v);
    Form->NodeDimExit(field);
  }
  TVarnNode* NodeOf(const char* Caption) {
    const int index = NodesBox()->findText(QString::fromUtf8(Caption));
    return index < 0 ? nullptr : static_cast<TVarnNode*>(NodesBox()->itemData(index, ItemDataRole).value<void*>());
  }
  // Every format of the document: the classes and the nodes' individual
  // formats.
  std::vector<TNodeFormat*> AllFormats() {
    std::vector<TNodeFormat*> all;
    std::vector<TNodeFormat*> stack{Form->Formats()};
    while (!stack.empty()) {
      TNodeFormat* f = stack.back();
      stack.pop_back();
      all.push_back(f);
      for (int i = 0; i < f->ChildCount(); ++i) stack.push_back(f->GetChild(i));
    }
    return all;
  }
  std::vector<std::string> Snapshots() {
    std::vector<std::string> all;
    for (TNodeFormat* f : AllFormats()) all.push_back(f->FormatClass() + ": " + Snapshot(*f));
    return all;
  }
};

TEST_F(NodePageTest, ListsAfterLoadingAModelWriteNothing) {
  const std::vector<std::string> before = Snapshots();
  OpenBicycle();
  QComboBox* nodes = NodesBox();
  struct TItem {
    const char* Caption;
    int Indent;
    int Image;
  };
  const TItem expected[] = {
      {"all", 0, ImageAll},           {"basic", 1, ImageBasic},    {"aggregate", 1, ImageAggregate},
      {"link", 1, ImageLink},         {"Bicycle", 0, ImageAggregate}, {"Price", 1, ImageBasic},
      {"Ride", 1, ImageAggregate},    {"Comfort", 2, ImageBasic},  {"Weight", 2, ImageBasic},
      {"Čas dostave", 1, ImageBasic},
  };
  ASSERT_EQ(nodes->count(), int(std::size(expected)));
  for (int i = 0; i < nodes->count(); ++i) {
    EXPECT_EQ(nodes->itemText(i).toStdString(), expected[i].Caption) << i;
    EXPECT_EQ(nodes->itemData(i, ItemIndentRole).toInt(), expected[i].Indent) << i;
    EXPECT_EQ(nodes->itemData(i, ItemImageRole).toInt(), expected[i].Image) << i;
    EXPECT_FALSE(nodes->itemIcon(i).isNull()) << i;
  }
  EXPECT_EQ(Form->ClassesCount(), 4);
  EXPECT_EQ(nodes->currentIndex(), 0);
  EXPECT_TRUE(Form->IsClassSelected());
  EXPECT_EQ(Form->EditedClass(), Form->Formats());
  EXPECT_EQ(Form->NodeData(), Form->Formats());
  EXPECT_EQ(nodes->toolTip(), "Nodes");

  QComboBox* classes = ClassesBox();
  QStringList classItems;
  for (int i = 0; i < classes->count(); ++i) classItems << classes->itemText(i);
  EXPECT_EQ(classItems, QStringList({"all", "basic", "aggregate", "link", "individual"}));
  EXPECT_EQ(classes->itemData(4, ItemImageRole).toInt(), ImageIndividual);
  EXPECT_TRUE(classes->isHidden());
  EXPECT_TRUE(Find<QLabel>("ClassLabel")->isHidden());
  auto* text = Find<QLineEdit>("TextEdit");
  EXPECT_EQ(text->text(), "Class: all");
  EXPECT_FALSE(text->isEnabled());

  // Filling the lists and the controls wrote into no format.
  EXPECT_EQ(Snapshots(), before);
  EXPECT_FALSE(Form->Document().FileModified());
  EXPECT_EQ(Field("NodeMaxWidth")->value(), 150);
  EXPECT_EQ(Find<QLabel>("StatusPanel3")->text(), "");
}

TEST_F(NodePageTest, PickingANodeShowsItsClassAndText) {
  OpenBicycle();
  Pick("Price");
  EXPECT_TRUE(Form->IsNodeSelected());
  EXPECT_EQ(Form->EditedNode(), NodeOf("Price"));
  EXPECT_EQ(Form->EditedClass(), Class("basic"));
  EXPECT_FALSE(ClassesBox()->isHidden());
  EXPECT_EQ(ClassesBox()->currentText(), "basic");
  auto* text = Find<QLineEdit>("TextEdit");
  EXPECT_EQ(text->text(), "Price");
  EXPECT_TRUE(text->isEnabled());
  EXPECT_FALSE(Form->Document().FileModified());
  Pick("basic");
  EXPECT_TRUE(ClassesBox()->isHidden());
  EXPECT_EQ(text->text(), "Class: basic");
}

TEST_F(NodePageTest, IndividualFormatFollowsItsClass) {
  OpenBicycle();
  Pick("Price");
  const std::string basicBefore = Snapshot(*Class("basic"));
  PickClass("individual");
  TVarnNode* price = NodeOf("Price");
  TNodeFormat* own = price->NodeFormat();
  EXPECT_TRUE(own->FormatClass().empty());
  EXPECT_NE(own, Class("basic"));
  EXPECT_EQ(own->Parent(), Class("basic"));
  EXPECT_EQ(Snapshot(*own), basicBefore);
  EXPECT_EQ(NodesBox()->itemData(NodesBox()->currentIndex(), ItemImageRole).toInt(), ImageIndividual);
  EXPECT_EQ(Form->NodeData(), own);
  EXPECT_TRUE(Form->Document().FileModified());

  // The node's own format takes changes of its own ...
  TypeDim("NodeMaxWidth", {120});
  EXPECT_EQ(own->MaxWidth(), 120);
  EXPECT_EQ(Class("basic")->MaxWidth(), 150);
  // ... and still those of its class.
  Pick("basic");
  TypeDim("NodeMaxWidth", {175});
  EXPECT_EQ(own->MaxWidth(), 175);
}

TEST_F(NodePageTest, ChangeOnAllReachesEveryFormatAndItsTrimming) {
  OpenBicycle();
  Pick("Price");
  PickClass("individual");
  Class("basic")->SetTextTrim(4);
  Class("link")->SetTextTrim(2);
  Pick("all");
  TypeDim("NodeMaxWidth", {200});
  const std::vector<TNodeFormat*> all = AllFormats();
  EXPECT_EQ(all.size(), 5u);
  for (TNodeFormat* f : all) {
    EXPECT_EQ(f->MaxWidth(), 200) << f->FormatClass();
    EXPECT_EQ(f->MinWidth(), 50) << f->FormatClass();
    EXPECT_EQ(f->TextTrim(), -1) << f->FormatClass();
  }
  EXPECT_TRUE(Form->Document().FileModified());
}

TEST_F(NodePageTest, TrimmingIsWrittenOnEveryApply) {
  OpenBicycle();
  Class("basic")->SetTextTrim(0);
  Pick("basic");
  auto* trim = Find<QCheckBox>("TrimCheck");
  EXPECT_FALSE(trim->isChecked());
  EXPECT_FALSE(Field("TrimChar")->isEnabled());
  EXPECT_EQ(Class("basic")->TextTrim(), 0);
  Find<QCheckBox>("ClipCheck")->setChecked(true);
  EXPECT_EQ(Class("basic")->TextTrim(), -1);
  EXPECT_TRUE(Class("basic")->TextClip());

  // Ticking the box trims to the field's value and enables it.
  Field("TrimChar")->setValue(3);
  trim->setChecked(true);
  EXPECT_TRUE(Field("TrimChar")->isEnabled());
  EXPECT_EQ(Class("basic")->TextTrim(), 3);
  EXPECT_EQ(NodeOf("Price")->Text(), "Pri");
  Field("TrimChar")->setValue(4);
  EXPECT_EQ(NodeOf("Price")->Text(), "Pric");
}

TEST_F(NodePageTest, DimensionPartnerIsPushedAlongAndSpringsBack) {
  OpenBicycle();
  TNodeFormat* all = Form->Formats();
  ASSERT_EQ(all->MinWidth(), 50);
  QSpinBox* max = Field("NodeMaxWidth");
  QSpinBox* min = Field("NodeMinWidth");
  Form->NodeDimEnter(max);
  max->setValue(30);
  EXPECT_EQ(min->value(), 30);
  EXPECT_EQ(all->MinWidth(), 30);
  EXPECT_EQ(all->MaxWidth(), 30);
  max->setValue(80);
  EXPECT_EQ(min->value(), 50);
  EXPECT_EQ(all->MinWidth(), 50);
  EXPECT_EQ(all->MaxWidth(), 80);
  Form->NodeDimExit(max);

  // The same between the heights, from the minimum's side.
  QSpinBox* minH = Field("NodeMinHeight");
  QSpinBox* maxH = Field("NodeMaxHeight");
  Form->NodeDimEnter(minH);
  minH->setValue(45);
  EXPECT_EQ(maxH->value(), 45);
  minH->setValue(12);
  EXPECT_EQ(maxH->value(), 30);
  EXPECT_EQ(all->MinHeight(), 12);
  EXPECT_EQ(all->MaxHeight(), 30);
}

TEST_F(NodePageTest, LeavingAFieldBelowOneSetsOne) {
  OpenBicycle();
  QSpinBox* minH = Field("NodeMinHeight");
  Form->NodeDimEnter(minH);
  minH->setValue(-5);
  Form->NodeDimExit(minH);
  EXPECT_EQ(minH->value(), 1);
  EXPECT_FALSE(Form->Document().Formats()->MinHeight() == 1);
  // The correction reaches the format with the next applied change.
  Find<QCheckBox>("WrapCheck")->setChecked(false);
  EXPECT_EQ(Form->Formats()->MinHeight(), 1);
  EXPECT_FALSE(Form->Formats()->TextWrap());
}

TEST_F(NodePageTest, PositionButtonsSetTheTextAlignment) {
  OpenBicycle();
  Pick("aggregate");
  struct TCase {
    const char* Button;
    TAlignment X;
    TAlignment Y;
  };
  const TCase cases[] = {
      {"PosTL", taLeftJustify, taLeftJustify}, {"PosTR", taRightJustify, taLeftJustify},
      {"PosTC", taCenter, taLeftJustify},      {"PosBL", taLeftJustify, taRightJustify},
      {"PosBR", taRightJustify, taRightJustify}, {"PosBC", taCenter, taRightJustify},
      {"PosML", taLeftJustify, taCenter},      {"PosMR", taRightJustify, taCenter},
      {"PosMC", taCenter, taCenter},
  };
  for (const TCase& c : cases) {
    Find<QPushButton>(c.Button)->click();
    EXPECT_EQ(Class("aggregate")->TextXAlign(), c.X) << c.Button;
    EXPECT_EQ(Class("aggregate")->TextYAlign(), c.Y) << c.Button;
    EXPECT_EQ(NodeOf("Ride")->TextYAlign(), c.Y) << c.Button;
    for (const TCase& other : cases)
      EXPECT_EQ(Find<QPushButton>(other.Button)->text(), &other == &c ? "TEXT" : "-") << c.Button << other.Button;
  }
  EXPECT_EQ(Form->Formats()->TextYAlign(), taCenter);
}

TEST_F(NodePageTest, LineSpaceInPercent) {
  OpenBicycle();
  Field("LineSpace")->setValue(150);
  EXPECT_DOUBLE_EQ(Form->Formats()->LineSpacing(), 1.5);
  EXPECT_DOUBLE_EQ(Class("basic")->LineSpacing(), 1.5);
  for (auto [spacing, shown] : {std::pair{1.125, 112}, {1.375, 138}, {0.875, 88}, {1.0, 100}}) {
    Class("link")->SetLineSpacing(spacing);
    Pick("basic");
    Pick("link");
    EXPECT_EQ(Field("LineSpace")->value(), shown) << spacing;
  }
  // An apply with the shown value unchanged keeps a spacing it shows
  // exactly.
  Class("link")->SetLineSpacing(1.1);
  Pick("basic");
  Pick("link");
  Find<QCheckBox>("WrapCheck")->toggle();
  EXPECT_EQ(Class("link")->LineSpacing(), 1.1);
}

TEST_F(NodePageTest, ClassSwitchLeavesBothClassesUnchanged) {
  OpenBicycle();
  Class("aggregate")->SetMaxWidth(190);
  Class("aggregate")->SetShape(stEllipse);
  Class("basic")->SetTextTrim(6);
  const std::string basic = Snapshot(*Class("basic"));
  const std::string aggregate = Snapshot(*Class("aggregate"));
  Pick("Price");
  PickClass("aggregate");
  EXPECT_EQ(NodeOf("Price")->NodeFormat(), Class("aggregate"));
  EXPECT_EQ(Snapshot(*Class("basic")), basic);
  EXPECT_EQ(Snapshot(*Class("aggregate")), aggregate);
  EXPECT_EQ(NodesBox()->itemData(NodesBox()->currentIndex(), ItemImageRole).toInt(), ImageAggregate);
  EXPECT_EQ(Field("NodeMaxWidth")->value(), 190);
  EXPECT_TRUE(NodesBox()->isEnabled());
}

TEST_F(NodePageTest, RoundingFieldsFollowTheShape) {
  OpenBicycle();
  for (const char* name : {"RoundedX", "RoundedY"}) EXPECT_FALSE(Field(name)->isEnabled()) << name;
  Dialogs->OnExecute = [](QDialog& D) {
    auto& shape = dynamic_cast<TEditShape&>(D);
    shape.SetShapeIndex(2);
    return true;
  };
  Find<QPushButton>("ShapeButton")->click();
  EXPECT_EQ(Form->Formats()->Shape(), stRoundRect);
  EXPECT_EQ(Class("basic")->Shape(), stRoundRect);
  for (const char* name : {"RoundedX", "RoundedY"}) EXPECT_TRUE(Field(name)->isEnabled()) << name;
  for (const char* name : {"RoundedUnitX", "RoundedUnitY"})
    EXPECT_TRUE(Find<QComboBox>(name)->isEnabled()) << name;
  Field("RoundedX")->setValue(25);
  Find<QComboBox>("RoundedUnitY")->setCurrentIndex(1);
  EXPECT_EQ(Class("link")->RoundEdge().X, 25);
  EXPECT_EQ(Class("link")->RoundEdge().UnitY, Uperc);
}

TEST_F(NodePageTest, DialogsApplyOnOkAndChangeNothingOnCancel) {
  OpenBicycle();
  Pick("basic");
  const std::vector<std::string> before = Snapshots();
  // Cancel in each dialog, after changing its controls.
  Dialogs->OnExecute = [](QDialog& D) {
    if (auto* line = dynamic_cast<TEditParentLine*>(&D)) line->StyleBox->setCurrentIndex(5);
    if (auto* shape = dynamic_cast<TEditShape*>(&D)) {
      shape->PenStyleBox->setCurrentIndex(2);
      shape->SetShapeIndex(1);
    }
    return false;
  };
  Find<QPushButton>("ParentLineButton")->click();
  Find<QPushButton>("ShapeButton")->click();
  Find<QPushButton>("FontButton")->click();
  EXPECT_EQ(Dialogs->Executed, std::vector<std::string>({"EditParentLine", "EditShape"}));
  ASSERT_EQ(Dialogs->FontRequests.size(), 1u);
  EXPECT_EQ(Dialogs->FontRequests[0], Class("basic")->Font());
  EXPECT_EQ(Snapshots(), before);
  EXPECT_FALSE(Form->Document().FileModified());
  EXPECT_EQ(Find<TShapeControl>("NodeShape")->Shape(), stRectangle);

  // OK applies to the class and everything below it, not to its siblings.
  Dialogs->OnExecute = [](QDialog& D) {
    if (auto* line = dynamic_cast<TEditParentLine*>(&D)) {
      EXPECT_EQ(line->StyleBox->currentIndex(), 0);
      line->StyleBox->setCurrentIndex(5);
      line->LineWidth->setValue(3);
    }
    if (auto* shape = dynamic_cast<TEditShape*>(&D)) {
      shape->BrushStyleBox->setCurrentIndex(1);
      shape->SetShapeIndex(1);
    }
    return true;
  };
  Find<QPushButton>("ParentLineButton")->click();
  EXPECT_EQ(Class("basic")->LinePen().Style(), psClear);
  EXPECT_EQ(Class("basic")->LinePen().Width(), 3);
  EXPECT_EQ(NodeOf("Price")->LinePen().Style(), psClear);
  EXPECT_EQ(Class("aggregate")->LinePen().Style(), psSolid);
  EXPECT_EQ(Find<TShapeControl>("ParentShape")->Pen().Style(), psClear);
  Find<QPushButton>("ShapeButton")->click();
  EXPECT_EQ(Class("basic")->Shape(), stEllipse);
  EXPECT_EQ(Class("basic")->NodeBrush().Style(), bsClear);
  EXPECT_EQ(Class("aggregate")->Shape(), stRectangle);
  TFont font("Liberation Serif", 14, clWindowText, {fsBold});
  Dialogs->Fonts.push_back(font);
  Find<QPushButton>("FontButton")->click();
  EXPECT_EQ(Class("basic")->Font(), font);
  EXPECT_EQ(Find<QLineEdit>("TextEdit")->font().family(), "Liberation Serif");
  EXPECT_TRUE(Form->Document().FileModified());
}

TEST_F(NodePageTest, AboutBoxIsOneBoxShownForEveryUse) {
  std::vector<QDialog*> shown;
  Dialogs->OnExecute = [&shown](QDialog& D) {
    shown.push_back(&D);
    EXPECT_EQ(dynamic_cast<TAboutBox&>(D).Version->text(), "Version 0.94");
    EXPECT_EQ(D.windowTitle(), "About VarnTree");
    return true;
  };
  Form->AboutClick();
  Form->AboutClick();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], shown[1]);
  EXPECT_EQ(Dialogs->Executed, std::vector<std::string>({"AboutBox", "AboutBox"}));
}

TEST_F(NodePageTest, TextEditReplacesTheWholeNodeText) {
  OpenBicycle();
  Class("basic")->SetTextTrim(3);
  Pick("Price");
  auto* text = Find<QLineEdit>("TextEdit");
  // The box shows the whole text, so editing it loses nothing that the
  // trimming hides.
  EXPECT_EQ(text->text(), "Price");
  text->setText("Price level");
  TVarnNode* price = NodeOf("Price");
  EXPECT_EQ(price->FullText(), "Price level");
  EXPECT_EQ(price->Text(), "Pri");
  EXPECT_TRUE(Form->Document().FileModified());
  // The list keeps the caption until it is filled again.
  EXPECT_EQ(NodesBox()->currentText(), "Price");

  // The picture follows the new text at once.
  Class("basic")->SetTextTrim(-1);
  Pick("Comfort");
  Pick("Price");
  const int before = price->TextWidth();
  text->setText("Price level and much more besides");
  EXPECT_GT(price->TextWidth(), before);
}

TEST_F(NodePageTest, RestyledTreeReadsBackTheSame) {
  OpenBicycle();
  Pick("aggregate");
  TypeDim("NodeMaxWidth", {220});
  Field("TextTopBorder")->setValue(7);
  Find<QPushButton>("PosTL")->click();
  Pick("Weight");
  PickClass("individual");
  Find<QComboBox>("TopVertUnit")->setCurrentIndex(0);
  Field("TopVert")->setValue(-4);
  Find<QLineEdit>("TextEdit")->setText("Weight (kg)");
  const std::string saved = Path("restyled.vrt");
  Dialogs->FileAnswers.push_back({true, saved, sfTreeDocument});
  Form->SaveAsClick();
  ASSERT_TRUE(fs::exists(saved));
  const std::vector<std::string> styled = Snapshots();

  TVarnTreeForm reopened(std::make_unique<TScriptedDialogs>());
  reopened.OpenCommandLineFile(saved);
  ASSERT_TRUE(reopened.HasPicture());
  std::vector<std::string> read;
  std::vector<TNodeFormat*> stack{reopened.Formats()};
  while (!stack.empty()) {
    TNodeFormat* f = stack.back();
    stack.pop_back();
    read.push_back(f->FormatClass() + ": " + Snapshot(*f));
    for (int i = 0; i < f->ChildCount(); ++i) stack.push_back(f->GetChild(i));
  }
  EXPECT_EQ(read, styled);
  auto* nodes = reopened.findChild<QComboBox*>("NodesBox");
  const int weight = nodes->findText("Weight (kg)");
  ASSERT_GE(weight, 0);
  EXPECT_EQ(nodes->itemData(weight, ItemImageRole).toInt(), ImageIndividual);
}

}  // namespace
}  // namespace vt
