// The window's answer to a change on the large sample model (about 2,000
// nodes): from a changed tree parameter through the redraw to the painted
// part of the picture area in view, as the user waits for it. Run with
// QT_QPA_PLATFORM=offscreen when there is no display.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QPixmap>
#include <QScrollArea>
#include <QSpinBox>
#include <memory>
#include <string>

#include "app/TreeMain.h"

namespace {

using namespace vt;

const std::string LargeModel = std::string(VT_SOURCE_DIR) + "/examples/large.vrn";

struct TWindow {
  std::unique_ptr<QApplication> Application;
  std::unique_ptr<TVarnTreeForm> Form;
  QScrollArea* ScrollBox = nullptr;
  QSpinBox* NodeSep = nullptr;
  TWindow() {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
      qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "window_bench";
    static char* argv[] = {name, nullptr};
    Application = std::make_unique<QApplication>(argc, argv);
    Form = std::make_unique<TVarnTreeForm>();
    Form->show();
    Form->OpenCommandLineFile(LargeModel);
    ScrollBox = Form->findChild<QScrollArea*>(QStringLiteral("ScrollBox"));
    NodeSep = Form->findChild<QSpinBox*>(QStringLiteral("NodeSep"));
  }
};

TWindow& Window() {
  static TWindow window;
  return window;
}

// Paints what the picture area shows, as the next screen update would.
void Paint(TWindow& W, benchmark::State& State) {
  const QPixmap shown = W.ScrollBox->viewport()->grab();
  benchmark::DoNotOptimize(shown.cacheKey());
  if (shown.isNull()) State.SkipWithError("nothing painted");
}

// A separation changed: placement, drawing and painting the part in view.
void BM_ParameterChangeToPaintedPicture(benchmark::State& state) {
  TWindow& w = Window();
  if (!w.Form->HasPicture()) {
    state.SkipWithError("the large model did not draw");
    return;
  }
  const int zoom = static_cast<int>(state.range(0));
  w.Form->findChild<QComboBox*>(QStringLiteral("ZoomBox"))->setEditText(QString::number(zoom));
  w.Form->ZoomBoxExit();
  int step = 0;
  for (auto _ : state) {
    w.NodeSep->setValue(20 + (++step % 2));
    Paint(w, state);
  }
  w.NodeSep->setValue(20);
  state.SetLabel(std::to_string(w.Form->TreeDrawer().BoxWidth()) + " x " +
                 std::to_string(w.Form->TreeDrawer().BoxHeight()) + " at " + std::to_string(zoom) + "%");
}
BENCHMARK(BM_ParameterChangeToPaintedPicture)->Arg(100)->Arg(25)->Unit(benchmark::kMillisecond);

// A format change on "all": the push-down to every class and the redraw.
void BM_FormatChangeToPaintedPicture(benchmark::State& state) {
  TWindow& w = Window();
  auto* maxWidth = w.Form->findChild<QSpinBox*>(QStringLiteral("NodeMaxWidth"));
  auto* nodes = w.Form->findChild<QComboBox*>(QStringLiteral("NodesBox"));
  nodes->setCurrentIndex(0);
  int step = 0;
  for (auto _ : state) {
    w.Form->NodeDimEnter(maxWidth);
    maxWidth->setValue(150 + (++step % 2));
    w.Form->NodeDimExit(maxWidth);
    Paint(w, state);
  }
}
BENCHMARK(BM_FormatChangeToPaintedPicture)->Unit(benchmark::kMillisecond);

// Refilling the class lists with every node of the tree, as after loading.
void BM_FillNodeBoxes(benchmark::State& state) {
  TWindow& w = Window();
  for (auto _ : state) w.Form->FillNodeBoxes();
  state.SetLabel(std::to_string(w.Form->findChild<QComboBox*>(QStringLiteral("NodesBox"))->count()) + " items");
}
BENCHMARK(BM_FillNodeBoxes)->Unit(benchmark::kMillisecond);

// Painting alone, as when scrolling or uncovering the window.
void BM_PaintInView(benchmark::State& state) {
  TWindow& w = Window();
  for (auto _ : state) Paint(w, state);
}
BENCHMARK(BM_PaintInView)->Unit(benchmark::kMillisecond);

}  // namespace
