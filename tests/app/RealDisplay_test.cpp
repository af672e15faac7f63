// The window on a real X server with a window manager (tools/with-xserver
// starts both), worked with input that arrives as a user's does: xdotool
// moves the pointer, clicks and types through the window system, and the
// keys reach whichever widget has the keyboard focus.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "WindowFixture.h"
#include "app/TreeMain.h"

namespace vt {
namespace {

const std::string Holiday = VT_SOURCE_DIR "/examples/holiday.vrn";

class RealDisplayTest : public WindowTest {
 protected:
  void SetUp() override {
    // What a test printed survives a test run that is stopped for taking
    // too long.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run through tools/with-xserver";
    WindowTest::SetUp();
    Form->resize(1100, 800);
    Form->show();
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
  }

  // Runs xdotool with Args while the window goes on handling events, then
  // lets it handle what the input caused.
  void Xdo(const QStringList& Args) {
    // After one stuck input the rest of the test would only wait as well.
    ASSERT_FALSE(FXdoStuck) << "skipped after a stuck xdotool: " << Args.join(' ').toStdString();
    QProcess xdo;
    xdo.start("xdotool", Args);
    ASSERT_TRUE(xdo.waitForStarted(5000));
    // The window may be slow to answer on a loaded machine (the sanitizer
    // build beside other heavy tests): only an xdotool still running after
    // the window has handled its events for a long while counts as stuck.
    // (A loaded virtual X server now and then leaves it waiting for good.)
    QElapsedTimer waited;
    waited.start();
    while (!xdo.waitForFinished(10)) {
      QApplication::processEvents();
      if (waited.elapsed() > 15000 && xdo.state() != QProcess::NotRunning) {
        xdo.kill();
        xdo.waitForFinished(1000);
        FXdoStuck = true;
        FAIL() << "xdotool did not end: " << Args.join(' ').toStdString();
      }
    }
    ASSERT_EQ(xdo.exitCode(), 0) << xdo.readAllStandardError().toStdString();
    QTest::qWait(150);
  }
  void ClickAt(QWidget* W, QPoint At) {
    const QPoint p = W->mapToGlobal(At);
    // Not --sync: it waits for a motion that never comes when the pointer
    // is there already.
    Xdo({"mousemove", QString::number(p.x()), QString::number(p.y()), "sleep", "0.05", "click", "1"});
  }
  void Click(QWidget* W) { ClickAt(W, W->rect().center()); }
  void Keys(const QStringList& Keys) { Xdo(QStringList{"key", "--delay", "20"} + Keys); }
  void Type(const QString& Text) { Xdo({"type", "--delay", "20", Text}); }

  bool FXdoStuck = false;

  QComboBox* ZoomBox() { return Find<QComboBox>("ZoomBox"); }
  // The visible middle of the picture area, whatever the picture's size.
  void ClickPictureArea() { Click(Find<QScrollArea>("ScrollBox")->viewport()); }

  // Opens a file as the command line does and lets the window lay out the
  // controls that a picture shows.
  void Open(const std::string& FileName) {
    Form->OpenCommandLineFile(FileName);
    ASSERT_TRUE(Form->HasPicture());
    QTest::qWait(200);
  }
};

// Enter, Tab and a click elsewhere all apply a typed zoom, whether or not it
// is one of the list's items; "0" gives 1 %.
TEST_F(RealDisplayTest, ATypedZoomIsAppliedByEnterTabOrAClickElsewhere) {
  Open(Holiday);
  struct Case {
    const char* Text;
    const char* Leave;  // "Return", "Tab" or "click"
    int Zoom;
  };
  const Case Cases[] = {
      {"33", "Return", 33},     {"0", "Tab", 1},        {"1000", "click", 1000},
      {"300 %", "Return", 300}, {"150", "Return", 150}, {"75%", "Tab", 75},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.Text) + " then " + C.Leave);
    Click(ZoomBox()->lineEdit());
    ASSERT_TRUE(ZoomBox()->lineEdit()->hasFocus());
    Keys({"ctrl+a"});
    Type(C.Text);
    if (std::string(C.Leave) == "click")
      ClickPictureArea();
    else
      Keys({C.Leave});
    EXPECT_EQ(Form->ZoomPercent(), C.Zoom);
    EXPECT_EQ(Panel(2), std::to_string(C.Zoom) + "%");
  }
  EXPECT_TRUE(Dialogs->Errors.empty());
}

// A text that is no number is reported once, and the box shows the zoom in
// force again.
TEST_F(RealDisplayTest, ATypedZoomThatIsNoNumberIsReportedOnce) {
  Open(Holiday);
  Click(ZoomBox()->lineEdit());
  Keys({"ctrl+a"});
  Type("abc");
  Keys({"Return"});
  EXPECT_EQ(Dialogs->Errors.size(), 1u);
  EXPECT_EQ(Form->ZoomPercent(), 100);
  EXPECT_EQ(ZoomBox()->currentText().toStdString(), "100%");
  ClickPictureArea();
  EXPECT_EQ(Dialogs->Errors.size(), 1u);
}

// A fitted picture fits the room the scroll bars it brings leave: fitted to
// the width, a tall picture gets a vertical scroll bar and no horizontal one.
TEST_F(RealDisplayTest, FitToWidthAndHeightLeaveRoomForTheOtherScrollBar) {
  Open(Holiday);
  struct Case {
    int Orientation;  // index in the orientation box
    int Item;         // zoom list item
    bool Width;       // fitted to the width
    bool Height;      // fitted to the height
  };
  // Left-Right makes the picture tall and narrow, Top-Down wide and low.
  const Case Cases[] = {{1, ZoomFitWidth, true, false},
                        {0, ZoomFitHeight, false, true},
                        {1, ZoomFit, true, true},
                        {0, ZoomFit, true, true}};
  auto* scroll = Find<QScrollArea>("ScrollBox");
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Item);
    Find<QComboBox>("OrientationBox")->setCurrentIndex(C.Orientation);
    QTest::qWait(100);
    // The item picked from the open list with the pointer.
    QComboBox* box = ZoomBox();
    ClickAt(box, QPoint(box->width() - 6, box->height() / 2));
    QAbstractItemView* list = box->view();
    ASSERT_TRUE(list->isVisible());
    // The list shows ten of its eleven items: scrolled as a user would.
    list->scrollTo(box->model()->index(C.Item, 0));
    QTest::qWait(50);
    const QRect item = list->visualRect(box->model()->index(C.Item, 0));
    ClickAt(list->viewport(), item.center());
    ASSERT_EQ(box->currentIndex(), C.Item);
    QTest::qWait(100);
    auto* image = Find<QWidget>("DrawImage");
    const QSize room = scroll->viewport()->size();
    if (C.Width) {
      EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
      EXPECT_LE(image->width(), room.width());
    }
    if (C.Height) {
      EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
      EXPECT_LE(image->height(), room.height());
    }
    // One percent more would not fit: the fitted side is filled.
    if (C.Width && !C.Height) {
      EXPECT_GT(Form->TreeDrawer().BoxWidth() * (Form->ZoomPercent() + 1) / 100.0, room.width());
    }
  }
}

// A tree wider than the window opens with its root in view, in the middle.
TEST_F(RealDisplayTest, AWideTreeOpensWithItsRootInView) {
  Open(Holiday);
  auto* scroll = Find<QScrollArea>("ScrollBox");
  auto* image = Find<QWidget>("DrawImage");
  ASSERT_GT(image->width(), scroll->viewport()->width());
  const TRect r = Form->TreeDrawer().VarnRoot()->NodeRect();
  const QPoint root =
      image->mapTo(scroll->viewport(), QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
  EXPECT_LE(std::abs(root.x() - scroll->viewport()->width() / 2), 1) << root.x();
  EXPECT_TRUE(scroll->viewport()->rect().contains(root));
}

// Alt and a menu's letter opens it; Alt+N shows the Node page, not the field
// of the node separation on the Tree page.
TEST_F(RealDisplayTest, AcceleratorsReachMenusAndPages) {
  Open(Holiday);
  ClickPictureArea();
  for (const char* key : {"alt+f", "alt+e", "alt+h"}) {
    SCOPED_TRACE(key);
    Keys({key});
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName().toStdString().substr(0, 1), std::string(1, char(std::toupper(key[4]))));
    Keys({"Escape"});
    Keys({"Escape"});
  }
  auto* pages = Find<QTabWidget>("MainPageControl");
  ASSERT_EQ(pages->currentIndex(), 0);
  Keys({"alt+n"});
  EXPECT_EQ(pages->currentIndex(), 1);
  Keys({"alt+t"});
  EXPECT_EQ(pages->currentIndex(), 0);
  Keys({"alt+o"});
  EXPECT_TRUE(Find<QSpinBox>("NodeSep")->hasFocus());
}

// Ctrl+Plus, Ctrl+Minus and Ctrl+0 zoom in, out and to 100 %, as does the
// mouse wheel with Ctrl held; Ctrl+Shift+S saves under a new name.
TEST_F(RealDisplayTest, ZoomAndSaveShortcuts) {
  Open(Holiday);
  ClickPictureArea();
  struct Case {
    QStringList Input;
    int Zoom;
  };
  const Case Cases[] = {
      {{"key", "ctrl+plus"}, 125},
      {{"key", "ctrl+equal"}, 150},
      {{"key", "ctrl+minus"}, 125},
      {{"key", "ctrl+0"}, 100},
      {{"key", "ctrl+minus"}, 75},
      {{"key", "ctrl+minus"}, 50},
      {{"key", "ctrl+minus"}, 40},
      {{"key", "ctrl+0"}, 100},
      {{"keydown", "ctrl", "click", "4", "keyup", "ctrl"}, 125},
      {{"keydown", "ctrl", "click", "5", "keyup", "ctrl"}, 100},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Input.join(' ').toStdString());
    if (C.Input.front() == "keydown") {
      const QWidget* view = Find<QScrollArea>("ScrollBox")->viewport();
      const QPoint p = view->mapToGlobal(view->rect().center());
      Xdo({"mousemove", QString::number(p.x()), QString::number(p.y())});
    }
    Xdo(C.Input);
    EXPECT_EQ(Form->ZoomPercent(), C.Zoom);
    EXPECT_EQ(ZoomBox()->currentText().toStdString(), std::to_string(C.Zoom) + "%");
  }
  Dialogs->FileAnswers.push_back({true, Path("holiday.vrt"), 1});
  Keys({"ctrl+shift+s"});
  ASSERT_EQ(Dialogs->FileRequests.size(), 1u);
  EXPECT_TRUE(fs::exists(Path("holiday.vrt")));
}

// A number typed into a field draws the tree once, on Enter or when the
// typing pauses, not at every key.
TEST_F(RealDisplayTest, TypingInAFieldDrawsOnceOnEnterOrAPause) {
  Open(Holiday);
  auto* field = Find<QSpinBox>("NodeSep");
  Click(field);
  ASSERT_TRUE(field->hasFocus());
  int drawings = Form->DrawingCount();
  Keys({"ctrl+a"});
  Type("30");
  EXPECT_EQ(Form->DrawingCount(), drawings);
  Keys({"Return"});
  EXPECT_EQ(Form->DrawingCount(), drawings + 1);
  EXPECT_EQ(Form->TreeDrawer().NodeSeparation(), 30);

  drawings = Form->DrawingCount();
  Keys({"ctrl+a"});
  Type("45");
  QTest::qWait(TypingPauseMilliseconds + 400);
  EXPECT_EQ(Form->DrawingCount(), drawings + 1);
  EXPECT_EQ(Form->TreeDrawer().NodeSeparation(), 45);
  // Leaving the field after the pause draws nothing more.
  ClickPictureArea();
  EXPECT_EQ(Form->DrawingCount(), drawings + 1);
}

// On a large model the open node list is as wide as its longest entry, and
// typing a name jumps to it.
TEST_F(RealDisplayTest, TheNodeListShowsWholeNamesAndTypingFindsOne) {
  Open(VT_SOURCE_DIR "/examples/large.vrn");
  ClickPictureArea();
  Keys({"alt+n"});
  auto* nodes = Find<QComboBox>("NodesBox");
  Click(nodes);
  QAbstractItemView* list = nodes->view();
  ASSERT_TRUE(list->isVisible());
  EXPECT_GE(list->viewport()->width(), list->sizeHintForColumn(0));
  Type("Criterion 1344");
  Keys({"Return"});
  EXPECT_EQ(nodes->currentText().toStdString().substr(0, 14), "Criterion 1344");
  EXPECT_EQ(Form->EditedNode()->Text().substr(0, 14), "Criterion 1344");
}

// Records what a label shows each time it is painted, with the cursor and
// whether a list is open then.
class TPaintWatch : public QObject {
 public:
  struct TPaint {
    QString Text;
    bool Busy;
    bool ListOpen;
  };
  std::vector<TPaint> Paints;
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() == QEvent::Paint)
      Paints.push_back(
          {static_cast<QLabel*>(Watched)->text(),
           QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor,
           QApplication::activePopupWidget() != nullptr});
    return false;
  }
};

// Choosing the QP placement of a large tree shows, before the work starts,
// a busy cursor and a message, with the method list closed.
TEST_F(RealDisplayTest, ALongDrawingShowsABusyCursorAndAMessageFirst) {
  std::ofstream tree(Path("star.vrt"), std::ios::binary);
  tree << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<VarnTree>\r\n  <node>\r\n    <text>Root</text>\r\n";
  for (int i = 0; i < SlowQPNodes; ++i)
    tree << "    <node>\r\n      <text>N" << i << "</text>\r\n    </node>\r\n";
  tree << "  </node>\r\n</VarnTree>\r\n";
  tree.close();
  Open(Path("star.vrt"));
  TPaintWatch watch;
  QLabel* panel = Find<QLabel>("StatusPanel4");
  panel->installEventFilter(&watch);
  QComboBox* methods = Find<QComboBox>("MethodBox");
  Click(methods);
  QAbstractItemView* list = methods->view();
  ASSERT_TRUE(list->isVisible());
  ClickAt(list->viewport(), list->visualRect(methods->model()->index(3, 0)).center());
  ASSERT_EQ(methods->currentText(), "QP");
  panel->removeEventFilter(&watch);
  const auto shown = std::find_if(watch.Paints.begin(), watch.Paints.end(),
                                  [](const TPaintWatch::TPaint& P) { return P.Text == SStatusDrawing; });
  ASSERT_NE(shown, watch.Paints.end());
  EXPECT_TRUE(shown->Busy);
  EXPECT_FALSE(shown->ListOpen);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_NE(panel->text(), SStatusDrawing);
}

// A file named on the command line that cannot be read is reported in a
// message box centred on the main window, which is on the screen first.
TEST_F(RealDisplayTest, AMessageAtStartUpIsCentredOnTheWindow) {
  Form.reset();
  TVarnTreeForm form;  // with the real message boxes
  form.resize(900, 640);
  form.show();
  form.OpenWhenShown(Path("missing.vrn"));
  QRect message, window;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible() || !message.isNull()) return;
    QTest::qWait(300);  // where the window manager puts it
    message = box->frameGeometry();
    window = form.frameGeometry();
    box->done(QMessageBox::Ok);
  });
  poll.start(50);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !message.isNull(); }, 10000)) << "no message box";
  const QPoint offset = message.center() - window.center();
  EXPECT_LE(offset.manhattanLength(), 40) << "message at " << message.x() << "," << message.y()
                                          << ", window at " << window.x() << "," << window.y();
  EXPECT_TRUE(window.contains(message));
}

}  // namespace
}  // namespace vt
