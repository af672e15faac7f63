// The main window, offscreen, with its dialogs and questions answered by the
// test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <deque>
#include <filesystem>
#include <fstream>

#include "Mnemonics.h"
#include "WindowFixture.h"
#include "app/PictureView.h"
#include "graphics/qt/QtMeasurer.h"
#include "layout/TreeDrawQP.h"

namespace vt {
namespace {

TEST_F(WindowTest, StartsWithoutPictureTabsOrCommands) {
  EXPECT_EQ(Form->windowTitle(), "VarnTree");
  EXPECT_EQ(Form->objectName(), "VarnTreeForm");
  auto* pages = Find<QTabWidget>("MainPageControl");
  ASSERT_EQ(pages->count(), 3);
  EXPECT_EQ(pages->tabText(0), "&Tree");
  EXPECT_EQ(pages->tabText(1), "&Node");
  EXPECT_EQ(pages->tabText(2), "Debug");
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(pages->isTabVisible(i)) << i;
  for (const char* item : {"SaveItem", "SaveAsItem", "CopyItem"})
    EXPECT_FALSE(Action(item)->isEnabled()) << item;
  EXPECT_TRUE(Action("OpenItem")->isEnabled());
  EXPECT_TRUE(Action("OpenButton")->isVisible());
  for (const char* button : {"SaveButton", "CopyButton"}) EXPECT_FALSE(Action(button)->isVisible()) << button;
  for (const char* box : {"ZoomBoxAction", "OrientationBoxAction", "MethodBoxAction"})
    EXPECT_FALSE(Action(box)->isVisible()) << box;
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(Panel(i), "") << i;
  EXPECT_EQ(Form->ZoomPercent(), 100);
  EXPECT_EQ(Action("OpenItem")->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_EQ(Action("SaveItem")->shortcut(), QKeySequence("Ctrl+S"));
  EXPECT_EQ(Action("CopyItem")->shortcut(), QKeySequence("Ctrl+C"));

  auto* zoom = Find<QComboBox>("ZoomBox");
  QStringList items;
  for (int i = 0; i < zoom->count(); ++i) items << zoom->itemText(i);
  EXPECT_EQ(items, QStringList({"500%", "200%", "175%", "150%", "125%", "100%", "75%", "50%", "Fit to width",
                                "Fit to height", "Fit"}));
  EXPECT_EQ(zoom->currentText(), "100%");
  EXPECT_EQ(zoom->maxVisibleItems(), 10);
  EXPECT_EQ(Find<QScrollArea>("ScrollBox")->minimumSize(), QSize(300, 550));
  for (const char* name : {"OrientationBox", "MethodBox"}) {
    auto* box = Find<QComboBox>(name);
    for (int i = 0; i < box->count(); ++i) EXPECT_FALSE(box->itemIcon(i).isNull()) << name << i;
  }
}

TEST_F(WindowTest, TreePageHoldsTheDrawerDefaults) {
  for (auto [name, value] : std::vector<std::pair<const char*, int>>{{"StretchX", 100},
                                                                     {"StretchY", 100},
                                                                     {"LeftBorder", 0},
                                                                     {"TopBorder", 0},
                                                                     {"RightBorder", 0},
                                                                     {"BottomBorder", 0},
                                                                     {"NodeSep", 20},
                                                                     {"LevelSep", 60},
                                                                     {"MinLevelSep", 20}})
    EXPECT_EQ(Find<QSpinBox>(name)->value(), value) << name;
  EXPECT_TRUE(Find<QCheckBox>("AlignLevelsCheck")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>("AlignParentsCheck")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>("MirrorCheck")->isChecked());
  EXPECT_EQ(Find<QCheckBox>("AlignLevelsCheck")->text(), "Appl&y Min.level");
  EXPECT_EQ(Find<QPushButton>("ColorButton")->text(), "Background &color...");
  EXPECT_EQ(Find<QComboBox>("OrientationBox")->currentText(), "Top-Down");
  EXPECT_EQ(Find<QComboBox>("MethodBox")->currentText(), "Walker");
}

TEST_F(WindowTest, OpensAModelFromTheCommandLineAndShowsItsState) {
  OpenBicycle();
  auto* pages = Find<QTabWidget>("MainPageControl");
  EXPECT_TRUE(pages->isTabVisible(0));
  EXPECT_TRUE(pages->isTabVisible(1));
  EXPECT_FALSE(pages->isTabVisible(2));
  for (const char* item : {"SaveItem", "SaveAsItem", "CopyItem"})
    EXPECT_TRUE(Action(item)->isEnabled()) << item;
  for (const char* button :
       {"SaveButton", "CopyButton", "ZoomBoxAction", "OrientationBoxAction", "MethodBoxAction"})
    EXPECT_TRUE(Action(button)->isVisible()) << button;
  const TVarnTreeDrawer& drawer = Form->TreeDrawer();
  EXPECT_EQ(Panel(1), Fmt("%d x %d", drawer.BoxWidth(), drawer.BoxHeight()));
  EXPECT_EQ(Panel(2), "100%");
  EXPECT_EQ(Panel(3), "");
  EXPECT_EQ(Panel(4), "Loaded: " + ExpandFileName(Bicycle));

  // Any change of the page marks the document modified.
  Find<QCheckBox>("MirrorCheck")->setChecked(true);
  EXPECT_TRUE(Form->TreeDrawer().XMirror());
  EXPECT_EQ(Panel(3), "Modified");

  Dialogs->FileAnswers.push_back({true, Path("bike"), sfTreeDocument});
  ASSERT_TRUE(Form->SaveFile(true));
  EXPECT_EQ(Panel(3), "");
  EXPECT_EQ(Panel(4), Path("bike.vrt"));

  Dialogs->FileAnswers.push_back({true, Path("bike"), sfPng});
  Form->SaveAsClick();
  EXPECT_EQ(Panel(4), Path("bike.png") + " (Loaded from: " + Path("bike.vrt") + ")");
}

TEST_F(WindowTest, ModelNamesInAnyCaseAndOtherFilesAsTreeDocuments) {
  fs::copy_file(Bicycle, Path("BIKE.VrN"));
  Form->OpenCommandLineFile(Path("BIKE.VrN"));
  EXPECT_TRUE(Dialogs->Errors.empty());
  EXPECT_TRUE(Form->HasPicture());
  fs::copy_file(Bicycle, Path("bike.xml"));
  Form->OpenCommandLineFile(Path("bike.xml"));
  ASSERT_EQ(Dialogs->Errors.size(), 1u);
  EXPECT_EQ(Dialogs->Errors[0], "Unsupported file format: \"" + Path("bike.xml") + "\"");
  // The window keeps the model it had.
  EXPECT_TRUE(Form->HasPicture());
  EXPECT_EQ(Panel(4), "Loaded: " + Path("BIKE.VrN"));
}

// Hostile files in the window: a tree document whose top format has no
// class is restyled by formats opened after it, and a file that quotes
// megabytes in its error gives a message of a line's worth.
TEST_F(WindowTest, HostileFilesEndInAPictureOrAShortMessage) {
  const std::string classless = Path("classless.vrt");
  std::ofstream(classless) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<VarnTree><nodeformat/><node class=\"all\"><text>A</text></node></VarnTree>\n";
  Form->OpenCommandLineFile(Bicycle);
  Dialogs->FileAnswers.push_back({true, Path("bike.vrt")});
  Form->SaveAsClick();
  Form->OpenCommandLineFile(classless);
  ASSERT_TRUE(Form->HasPicture());
  Dialogs->FileAnswers.push_back({true, Path("bike.vrt"), ofFormatsOnly});
  Action("OpenItem")->trigger();
  EXPECT_TRUE(Form->HasPicture());
  EXPECT_EQ(Form->Document().VarnRoot()->NodeFormat(), Form->Document().Formats());
  EXPECT_TRUE(Dialogs->Errors.empty());

  const std::string unterminated = Path("unterminated.vrt");
  std::ofstream(unterminated) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<VarnTree x=\""
                              << std::string(10 << 20, 'x');
  Form->OpenCommandLineFile(unterminated);
  ASSERT_EQ(Dialogs->Errors.size(), 1u);
  EXPECT_LT(Dialogs->Errors[0].size(), 200u);
  EXPECT_TRUE(Form->HasPicture());
}

TEST_F(WindowTest, OrientationAloneDoesNotMarkModified) {
  OpenBicycle();
  Find<QComboBox>("OrientationBox")->setCurrentIndex(1);
  EXPECT_EQ(Form->TreeDrawer().Orientation(), TTreeOrientation::oLeftRight);
  EXPECT_FALSE(Form->Document().FileModified());
  EXPECT_TRUE(Form->close());

  auto form2 = std::make_unique<TVarnTreeForm>(std::make_unique<TScriptedDialogs>());
  form2->OpenCommandLineFile(Bicycle);
  form2->findChild<QComboBox*>("MethodBox")->setCurrentIndex(0);
  EXPECT_EQ(form2->TreeDrawer().DrawMethod(), TTreeDrawMethod::dmBottomUp);
  EXPECT_FALSE(form2->TreeDrawer().AlignTerminals());
  EXPECT_TRUE(form2->Document().FileModified());
}

TEST_F(WindowTest, MethodBoxMapsToMethodAndTerminalAlignment) {
  OpenBicycle();
  auto* box = Find<QComboBox>("MethodBox");
  const std::vector<std::pair<TTreeDrawMethod, bool>> expected = {{TTreeDrawMethod::dmBottomUp, false},
                                                                  {TTreeDrawMethod::dmBottomUp, true},
                                                                  {TTreeDrawMethod::dmWalker, false},
                                                                  {TTreeDrawMethod::dmQP, false}};
  for (int i : {1, 3, 0, 2}) {
    box->setCurrentIndex(i);
    EXPECT_EQ(Form->TreeDrawer().DrawMethod(), expected[static_cast<std::size_t>(i)].first) << i;
    EXPECT_EQ(Form->TreeDrawer().AlignTerminals(), expected[static_cast<std::size_t>(i)].second) << i;
  }
  // "Distribute" stays when another model comes in.
  box->setCurrentIndex(0);
  Find<QCheckBox>("AlignLevelsCheck")->setChecked(false);
  Find<QCheckBox>("AlignLevelsCheck")->setChecked(true);
  Form->OpenCommandLineFile(Bicycle);
  EXPECT_EQ(box->currentText(), "Distribute");
}

// A picture node whose first measurement fails.
class TFailingNode : public TVarnNode {
 public:
  using TVarnNode::TVarnNode;
  double LeftWidth() const override {
    if (FFailures > 0) {
      --FFailures;
      throw ETreeDrawError("Measuring failed");
    }
    return TVarnNode::LeftWidth();
  }

 private:
  mutable int FFailures = 1;
};

TEST_F(WindowTest, AFailedPlacementIsReportedAndLeavesTheControlsToMendIt) {
  OpenBicycle();
  Form->TreeDrawer().Root()->AddChild(new TFailingNode("n"));
  Form->findChild<QComboBox*>("MethodBox")->setCurrentIndex(3);
  ASSERT_EQ(Dialogs->Errors.size(), 1u);
  EXPECT_EQ(Dialogs->Errors[0], "Measuring failed");
  EXPECT_FALSE(Form->HasPicture());
  EXPECT_FALSE(Action("SaveItem")->isEnabled());
  EXPECT_FALSE(Action("CopyButton")->isVisible());
  EXPECT_TRUE(Find<QTabWidget>("MainPageControl")->isTabVisible(0));
  EXPECT_TRUE(Action("MethodBoxAction")->isVisible());
  Find<QComboBox>("MethodBox")->setCurrentIndex(2);
  EXPECT_TRUE(Form->HasPicture());
  EXPECT_EQ(Dialogs->Errors.size(), 1u);
}

TEST_F(WindowTest, StretchOfZeroBecomesTwoPercent) {
  OpenBicycle();
  auto* stretch = Find<QSpinBox>("StretchX");
  stretch->setValue(0);
  EXPECT_EQ(stretch->value(), 2);
  EXPECT_DOUBLE_EQ(Form->TreeDrawer().XStretch(), 0.02);
  Find<QSpinBox>("StretchY")->setValue(-5);
  EXPECT_EQ(Find<QSpinBox>("StretchY")->value(), 2);
  EXPECT_DOUBLE_EQ(Form->TreeDrawer().YStretch(), 0.02);
  EXPECT_TRUE(Form->Document().FileModified());
}

TEST_F(WindowTest, TreeDocumentParametersReachThePageAndSurviveRedraws) {
  OpenBicycle();
  Find<QSpinBox>("StretchX")->setValue(150);
  Find<QSpinBox>("LeftBorder")->setValue(7);
  Find<QSpinBox>("NodeSep")->setValue(33);
  Find<QComboBox>("OrientationBox")->setCurrentIndex(2);
  Find<QCheckBox>("AlignParentsCheck")->setChecked(false);
  Form->Document().SaveVarnTreeFile(Path("style.vrt"));

  auto form2 = std::make_unique<TVarnTreeForm>(std::make_unique<TScriptedDialogs>());
  form2->OpenCommandLineFile(Path("style.vrt"));
  EXPECT_EQ(form2->findChild<QSpinBox*>("StretchX")->value(), 150);
  EXPECT_EQ(form2->findChild<QSpinBox*>("LeftBorder")->value(), 7);
  EXPECT_EQ(form2->findChild<QSpinBox*>("NodeSep")->value(), 33);
  EXPECT_EQ(form2->findChild<QComboBox*>("OrientationBox")->currentIndex(), 2);
  EXPECT_FALSE(form2->findChild<QCheckBox*>("AlignParentsCheck")->isChecked());
  EXPECT_FALSE(form2->Document().FileModified());
  form2->UpdateForm(false, true);
  EXPECT_DOUBLE_EQ(form2->TreeDrawer().XStretch(), 1.5);
  EXPECT_EQ(form2->TreeDrawer().Border().Left, 7);
  EXPECT_EQ(form2->TreeDrawer().AlignParents(), TTreeAlignParents::apDescendants);
}

TEST_F(WindowTest, ZoomTexts) {
  OpenBicycle();
  struct TCase {
    const char* Text;
    int Zoom;
  };
  for (const TCase& c :
       {TCase{"150", 150}, {"150%", 150}, {" 75 % ", 75}, {"0", 1}, {"-20", 1}, {"100", 100}}) {
    TypeZoom(QString::fromUtf8(c.Text));
    EXPECT_EQ(Form->ZoomPercent(), c.Zoom) << c.Text;
    EXPECT_EQ(Panel(2), Fmt("%d%%", c.Zoom)) << c.Text;
  }
  const QSize size = TPictureView::ZoomedSize(*Form->Document().MetaFile(), 100);
  TypeZoom("50");
  const QSize half = Find<QWidget>("DrawImage")->size();
  EXPECT_EQ(half, TPictureView::ZoomedSize(*Form->Document().MetaFile(), 50));
  EXPECT_EQ(half.width(), RoundHalfEven(size.width() / 2.0));
  EXPECT_TRUE(Dialogs->Errors.empty());
}

TEST_F(WindowTest, AZoomTextThatIsNoNumberIsReportedOnce) {
  OpenBicycle();
  TypeZoom("150");
  TypeZoom("big");
  ASSERT_EQ(Dialogs->Errors.size(), 1u);
  EXPECT_EQ(Dialogs->Errors[0], "'big' is not a valid integer value");
  EXPECT_EQ(Find<QComboBox>("ZoomBox")->currentText(), "150%");
  EXPECT_EQ(Form->ZoomPercent(), 150);
  Find<QCheckBox>("MirrorCheck")->setChecked(true);
  Form->UpdateForm(false, true);
  EXPECT_EQ(Dialogs->Errors.size(), 1u);
}

TEST_F(WindowTest, FitZooms) {
  OpenBicycle();
  Form->resize(900, 700);
  Form->show();
  QApplication::processEvents();
  auto* scroll = Find<QScrollArea>("ScrollBox");
  auto* box = Find<QComboBox>("ZoomBox");
  const QSize client = scroll->maximumViewportSize();
  const int w = Form->TreeDrawer().BoxWidth(), h = Form->TreeDrawer().BoxHeight();
  const int byWidth = client.width() * 100 / w, byHeight = client.height() * 100 / h;
  // The bicycle is wide and low: fitted to its height it overflows the
  // width, whose scroll bar leaves less height.
  const int bar = scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll);
  ASSERT_GT(w * byHeight / 100, client.width());
  for (auto [index, zoom] :
       std::vector<std::pair<int, int>>{{ZoomFitWidth, byWidth},
                                        {ZoomFitHeight, (client.height() - bar) * 100 / h},
                                        {ZoomFit, std::min(byWidth, byHeight)}}) {
    box->setCurrentIndex(index);
    Form->ZoomBoxClick();
    EXPECT_EQ(Form->ZoomPercent(), zoom) << index;
  }
  // A fitted picture follows the window.
  const int before = Form->ZoomPercent();
  Form->resize(1400, 900);
  QApplication::processEvents();
  EXPECT_NE(Form->ZoomPercent(), before);
  EXPECT_EQ(Form->ZoomPercent(), std::min(scroll->maximumViewportSize().width() * 100 / w,
                                          scroll->maximumViewportSize().height() * 100 / h));
  EXPECT_EQ(Panel(2), Fmt("%d%%", Form->ZoomPercent()));
  // Negative borders can leave no box to fit: the zoom stays usable.
  Find<QSpinBox>("LeftBorder")->setValue(-100000);
  EXPECT_GE(Form->ZoomPercent(), 1);
  EXPECT_TRUE(Dialogs->Errors.empty());
}

TEST_F(WindowTest, ASmallPictureIsCentredALargeOneStartsTopLeft) {
  OpenBicycle();
  Form->resize(1200, 900);
  Form->show();
  QApplication::processEvents();
  auto* scroll = Find<QScrollArea>("ScrollBox");
  QWidget* image = Find<QWidget>("DrawImage");
  TypeZoom("50");
  QApplication::processEvents();
  const QSize client = scroll->viewport()->size();
  EXPECT_EQ(image->pos(),
            QPoint((client.width() - image->width()) / 2, (client.height() - image->height()) / 2));
  TypeZoom("3000");
  QApplication::processEvents();
  EXPECT_EQ(image->pos(), QPoint(0, 0));
  EXPECT_EQ(image->size(), TPictureView::ZoomedSize(*Form->Document().MetaFile(), 3000));
}

TEST_F(WindowTest, SaveAsAppendsTheFilterExtensionAndAsksAboutTheRealName) {
  OpenBicycle();
  Dialogs->FileAnswers.push_back({true, Path("tree"), sfEmf});
  EXPECT_TRUE(Form->SaveFile(true));
  EXPECT_TRUE(fs::exists(Path("tree.emf")));
  EXPECT_TRUE(Dialogs->Questions.empty());
  const auto written = fs::last_write_time(Path("tree.emf"));

  // "tree" would overwrite tree.emf: asked, and No keeps it.
  Dialogs->FileAnswers.push_back({true, Path("tree"), sfEmf});
  Dialogs->Answers.push_back(TAnswer::No);
  Find<QCheckBox>("MirrorCheck")->setChecked(true);
  EXPECT_FALSE(Form->SaveFile(true));
  ASSERT_EQ(Dialogs->Questions.size(), 1u);
  EXPECT_EQ(Dialogs->Questions[0],
            "Datoteka \"" + Path("tree.emf") + "\" že obstaja. Ali jo želite prepisati?");
  EXPECT_EQ(fs::last_write_time(Path("tree.emf")), written);
  EXPECT_TRUE(Form->Document().FileModified());

  // A name of another offered format is written in that format.
  Dialogs->FileAnswers.push_back({true, Path("tree.png"), sfEmf});
  EXPECT_TRUE(Form->SaveFile(true));
  EXPECT_EQ(Head(Path("tree.png"), 4), "\x89PNG");
  Dialogs->FileAnswers.push_back({true, Path("doc.vrt"), sfEmf});
  EXPECT_TRUE(Form->SaveFile(true));
  EXPECT_EQ(Head(Path("doc.vrt"), 5), "<?xml");
  EXPECT_EQ(Form->Document().LoadFileName(), Path("doc.vrt"));
  // An unknown extension follows the filter.
  Dialogs->FileAnswers.push_back({true, Path("tree.pic"), sfBmp});
  EXPECT_TRUE(Form->SaveFile(true));
  EXPECT_EQ(Head(Path("tree.pic"), 2), "BM");
  EXPECT_EQ(Form->SaveFilterIndex(), sfBmp);
}

TEST_F(WindowTest, SaveWritesTheLastPictureAgainWithoutADialog) {
  OpenBicycle();
  // The first save proposes the model's name without its extension.
  Dialogs->FileAnswers.push_back({true, Path("bike"), sfBmp});
  EXPECT_TRUE(Form->SaveFile(false));
  ASSERT_EQ(Dialogs->FileRequests.size(), 1u);
  EXPECT_EQ(Dialogs->FileRequests[0].FileName,
            fs::path(ExpandFileName(Bicycle)).replace_extension().string());
  EXPECT_EQ(Dialogs->FileRequests[0].Title, "Save Picture to File");
  EXPECT_EQ(Dialogs->FileRequests[0].FilterIndex, sfTreeDocument);
  fs::remove(Path("bike.bmp"));
  Find<QCheckBox>("MirrorCheck")->setChecked(true);
  Action("SaveItem")->trigger();
  EXPECT_EQ(Dialogs->FileRequests.size(), 1u);
  EXPECT_EQ(Head(Path("bike.bmp"), 2), "BM");
  EXPECT_FALSE(Form->Document().FileModified());
  EXPECT_EQ(Panel(4), Path("bike.bmp") + " (Loaded from: " + ExpandFileName(Bicycle) + ")");
}

TEST_F(WindowTest, WithoutAPictureSaveAndCopyDoNothing) {
  EXPECT_FALSE(Form->SaveFile(true));
  EXPECT_FALSE(Form->SaveFile(false));
  Form->CopyClick();
  EXPECT_TRUE(Dialogs->FileRequests.empty());
}

TEST_F(WindowTest, AFailedSaveIsReportedAndChangesNothing) {
  OpenBicycle();
  Find<QCheckBox>("MirrorCheck")->setChecked(true);
  const std::string target = Path("missing/tree.emf");
  Dialogs->FileAnswers.push_back({true, target, sfEmf});
  Action("SaveAsItem")->trigger();
  ASSERT_EQ(Dialogs->Errors.size(), 1u);
  EXPECT_EQ(Dialogs->Errors[0], "Cannot create file \"" + target + "\". No such file or directory");
  EXPECT_TRUE(Form->Document().FileModified());
  EXPECT_EQ(Form->Document().SaveFileName(), "");
  EXPECT_EQ(Panel(3), "Modified");
}

TEST_F(WindowTest, SavingATreeDocumentAndOpeningItAgain) {
  OpenBicycle();
  Find<QSpinBox>("LevelSep")->setValue(90);
  Dialogs->FileAnswers.push_back({true, Path("bike"), sfTreeDocument});
  Action("SaveAsItem")->trigger();
  ASSERT_TRUE(fs::exists(Path("bike.vrt")));
  Dialogs->FileAnswers.push_back({true, Path("bike.vrt"), ofTreeDocument});
  Action("OpenItem")->trigger();
  EXPECT_TRUE(Dialogs->Errors.empty());
  EXPECT_EQ(Dialogs->FileRequests.back().Title, "Open File");
  EXPECT_EQ(Dialogs->FileRequests.back().Filter, SOpenFilter);
  EXPECT_EQ(Dialogs->FileRequests.back().DefaultExt, "vrn");
  EXPECT_EQ(Dialogs->FileRequests.back().FileName, Path("bike.vrt"));
  EXPECT_EQ(Find<QSpinBox>("LevelSep")->value(), 90);
  EXPECT_EQ(Panel(4), Path("bike.vrt"));
  // Tree only: Save then asks for a name.
  Dialogs->FileAnswers.push_back({true, Path("bike.vrt"), ofTreeOnly});
  Action("OpenItem")->trigger();
  EXPECT_EQ(Form->Document().SaveFileName(), "");
  EXPECT_EQ(Form->OpenFilterIndex(), ofTreeOnly);
}

// A tree document kept under a name of no offered extension stays a tree
// document on Save, even after a picture was last saved with the dialog; a
// picture saved under such a name is written again in its own format.
TEST_F(WindowTest, SaveWritesEachNameInTheFormatItWasLastWrittenIn) {
  OpenBicycle();
  Dialogs->FileAnswers.push_back({true, Path("tree.xml"), sfTreeDocument});
  Action("SaveAsItem")->trigger();
  Dialogs->FileAnswers.push_back({true, Path("pic.foo"), sfEmf});
  Action("SaveAsItem")->trigger();
  Dialogs->FileAnswers.push_back({true, Path("tree.xml"), ofTreeDocument});
  Action("OpenItem")->trigger();
  ASSERT_EQ(Form->Document().SaveFileName(), Path("tree.xml"));
  Find<QCheckBox>("MirrorCheck")->setChecked(true);
  const std::size_t asked = Dialogs->FileRequests.size();
  Action("SaveItem")->trigger();
  EXPECT_EQ(Dialogs->FileRequests.size(), asked);
  EXPECT_EQ(Head(Path("tree.xml"), 5), "<?xml");

  fs::remove(Path("pic.foo"));
  Dialogs->FileAnswers.push_back({true, Path("pic.foo"), sfEmf});
  Action("SaveAsItem")->trigger();
  ASSERT_EQ(Form->Document().SaveFileName(), Path("pic.foo"));
  fs::remove(Path("pic.foo"));
  Find<QCheckBox>("MirrorCheck")->setChecked(false);
  Action("SaveItem")->trigger();
  EXPECT_EQ(Head(Path("pic.foo"), 4), std::string("\x01\0\0\0", 4));  // EMR_HEADER
  EXPECT_TRUE(Dialogs->Errors.empty());
}

TEST_F(WindowTest, ClosingWithUnsavedChanges) {
  OpenBicycle();
  Find<QCheckBox>("MirrorCheck")->setChecked(true);
  // Cancel keeps the window.
  Dialogs->Answers.push_back(TAnswer::Cancel);
  EXPECT_FALSE(Form->close());
  EXPECT_EQ(Dialogs->Questions.back(), "Tree not saved. Do you want to save it to file?");
  // Yes and then a cancelled save dialog keeps the window and the changes.
  Dialogs->Answers.push_back(TAnswer::Yes);
  Dialogs->FileAnswers.push_back({false, {}, 0});
  EXPECT_FALSE(Form->close());
  EXPECT_TRUE(Form->Document().FileModified());
  EXPECT_TRUE(Dialogs->Errors.empty());
  // Yes and a name saves, then closes.
  Dialogs->Answers.push_back(TAnswer::Yes);
  Dialogs->FileAnswers.push_back({true, Path("kept"), sfTreeDocument});
  EXPECT_TRUE(Form->close());
  EXPECT_TRUE(fs::exists(Path("kept.vrt")));
}

TEST_F(WindowTest, ClosingAsksWithTheKnownNameAndNoLetsGo) {
  OpenBicycle();
  Dialogs->FileAnswers.push_back({true, Path("bike"), sfTreeDocument});
  Form->SaveAsClick();
  Find<QSpinBox>("NodeSep")->setValue(5);
  Dialogs->Answers.push_back(TAnswer::No);
  EXPECT_TRUE(Form->close());
  EXPECT_EQ(Dialogs->Questions.back(),
            "Tree not saved. Do you want to save it to \"" + Path("bike.vrt") + "\"?");
}

TEST_F(WindowTest, OpenAsksToSaveFirstAndCancelEndsIt) {
  OpenBicycle();
  Find<QCheckBox>("MirrorCheck")->setChecked(true);
  Dialogs->Answers.push_back(TAnswer::Cancel);
  Action("OpenItem")->trigger();
  EXPECT_TRUE(Dialogs->FileRequests.empty());
  // Yes and a cancelled save dialog: the changes stay and nothing is opened.
  Dialogs->Answers.push_back(TAnswer::Yes);
  Dialogs->FileAnswers.push_back({false, {}, 0});
  Action("OpenItem")->trigger();
  ASSERT_EQ(Dialogs->FileRequests.size(), 1u);
  EXPECT_EQ(Dialogs->FileRequests[0].Title, "Save Picture to File");
  EXPECT_TRUE(Form->Document().FileModified());
  EXPECT_TRUE(Dialogs->Errors.empty());
}

TEST_F(WindowTest, BackgroundColourMarksModifiedCancelChangesNothing) {
  OpenBicycle();
  Find<QPushButton>("ColorButton")->click();
  EXPECT_FALSE(Form->Document().FileModified());
  Dialogs->Colors.push_back(0x00FF00);
  Find<QPushButton>("ColorButton")->click();
  EXPECT_EQ(Form->Document().BackgroundColor(), 0x00FF00);
  EXPECT_TRUE(Form->Document().FileModified());
}

TEST_F(WindowTest, CopyPutsTheZoomedBitmapAndTheVectorPicture) {
  Action("CopyItem")->trigger();  // nothing to copy yet
  OpenBicycle();
  TypeZoom("200");
  Action("CopyItem")->trigger();
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  const QImage image = qvariant_cast<QImage>(data->imageData());
  EXPECT_EQ(image.size(), TPictureView::ZoomedSize(*Form->Document().MetaFile(), 200));
  EXPECT_TRUE(data->data("image/svg+xml").startsWith("<?xml"));
  // An EMF starts with its header record, type 1.
  EXPECT_TRUE(data->data("image/x-emf").startsWith(QByteArray("\x01\x00\x00\x00", 4)));
}

TEST_F(WindowTest, DebugPageGeneratesTrees) {
  OpenBicycle();
  for (const char* name : {"SampleTreeBtn", "BalTreeBtn", "RandTreeBtn"}) {
    Find<QPushButton>(name)->click();
    EXPECT_TRUE(Form->HasPicture()) << name;
    EXPECT_EQ(Panel(3), "Modified") << name;
    EXPECT_EQ(Panel(4), "Loaded: " + ExpandFileName(Bicycle)) << name;
  }
  EXPECT_EQ(Find<QPushButton>("ReDrawButton")->text(), "Redraw");
}

TEST(DialogFilters, PipeListsBecomeQtNameFilters) {
  EXPECT_EQ(QtNameFilters(SOpenFilter),
            QStringList({"Varn file (*.vrn)", "VarnTree file (*.vrt)", "VarnTree file [format only] (*.vrt)",
                         "VarnTree file [tree only] (*.vrt)"}));
  EXPECT_EQ(QtNameFilters("Pictures|*.png;*.bmp|Odd"), QStringList({"Pictures (*.png *.bmp)"}));
  EXPECT_EQ(QtNameFilters(SSaveFilter).size(), 6);
}

TEST(PictureView, PlaysOnlyWhatReachesTheVisiblePart) {
  TQtMeasurer measurer;
  TMetafile picture(1000, 1000);
  {
    TMetafileCanvas canvas(picture, measurer);
    canvas.Rectangle(TRect(10, 10, 50, 50));
    canvas.Rectangle(TRect(900, 900, 950, 950));
    canvas.MoveTo(20, 20);
    canvas.LineTo(980, 980);  // crosses the view
    canvas.MoveTo(900, 10);
    canvas.LineTo(950, 10);  // outside
    canvas.LineTo(50, 60);   // back in view, from where the hidden line ended
    canvas.TextOut(600, 100, "right of the view");
    canvas.TextOut(5, 30, "starts inside");
  }
  TMetafile played(1000, 1000);
  TMetafileCanvas target(played, measurer);
  PlayVisible(picture, target, TRect(0, 0, 100, 100));
  std::vector<TMetaOp> ops;
  for (const TMetaRecord& r : played.Records()) ops.push_back(r.Op);
  EXPECT_EQ(ops, (std::vector<TMetaOp>{TMetaOp::Rectangle, TMetaOp::MoveTo, TMetaOp::LineTo, TMetaOp::MoveTo,
                                       TMetaOp::MoveTo, TMetaOp::LineTo, TMetaOp::TextOut}));
  EXPECT_EQ(played.Record(4).Point, TPoint(950, 10));
  EXPECT_EQ(played.Records().back().Text, "starts inside");
}

// Every accelerator a user can reach at once is unique: on the Tree page, and
// on the Node page with either of its inner pages.
TEST_F(WindowTest, AcceleratorsAreUniqueInEveryViewOfTheWindow) {
  OpenBicycle();
  Form->show();
  auto* pages = Find<QTabWidget>("MainPageControl");
  auto* nodePages = Find<QTabWidget>("NodePageControl");
  struct View {
    const char* Name;
    int Page, NodePage;
  };
  for (const View& v :
       {View{"Tree page", 0, 0}, View{"Node page, Graphic", 1, 0}, View{"Node page, Text", 1, 1}}) {
    pages->setCurrentIndex(v.Page);
    nodePages->setCurrentIndex(v.NodePage);
    QApplication::processEvents();
    EXPECT_EQ(test::MnemonicClashes(*Form), std::vector<std::string>{}) << v.Name;
  }
  // Every menu has one.
  for (QAction* menu : Form->menuBar()->actions())
    EXPECT_FALSE(test::Mnemonic(menu->text()).isNull()) << menu->text().toStdString();
}

}  // namespace
}  // namespace vt
