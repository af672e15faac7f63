// Drawing the large sample model (about 2,000 nodes) and writing it in every
// format, as the command line does. The drawing is timed with the real Qt
// measurer and with the fake one (which leaves out Qt's font metrics); each
// writer reports the size of its file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "document/Document.h"
#include "graphics/Canvas.h"
#include "graphics/qt/QtMeasurer.h"
#include "graphics/qt/QtOutputs.h"
#include "picture/TreeRender.h"

namespace {

using namespace vt;

const std::string LargeModel = std::string(VT_SOURCE_DIR) + "/examples/large.vrn";

struct TLarge {
  TQtMeasurer Measurer;
  TVarnTreeDocument Document{&Measurer};
  std::unique_ptr<TMetafile> Picture;
  int Nodes = 0;
  TLarge() {
    Document.LoadVarnFile(LargeModel);
    Picture =
        RenderTree(Document.TreeDrawer(), Measurer, Document.LoadFileName(), Document.BackgroundColor());
    for (const TMetaRecord& r : Picture->Records())
      if (r.Op == TMetaOp::Rectangle) ++Nodes;
  }
};

TLarge& Large() {
  static TLarge large;
  return large;
}

// Measuring, placing and drawing: the whole of DrawTree.
void BM_DrawTree(benchmark::State& state) {
  TLarge& l = Large();
  TFakeMeasurer fake;
  const bool real = state.range(0) == 1;
  const TTextMeasurer& measurer = real ? static_cast<const TTextMeasurer&>(l.Measurer) : fake;
  for (auto _ : state) {
    auto picture = RenderTree(l.Document.TreeDrawer(), measurer, "large.vrn", clWhite);
    benchmark::DoNotOptimize(picture->RecordCount());
  }
  state.SetLabel(std::string(real ? "Qt" : "fake") + " measurer, " + std::to_string(l.Nodes) + " nodes");
}
BENCHMARK(BM_DrawTree)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The drawing pass alone, on the placed tree.
void BM_DrawingPass(benchmark::State& state) {
  TLarge& l = Large();
  TVarnTreeDrawer& drawer = l.Document.TreeDrawer();
  RenderTree(drawer, l.Measurer, "", clWhite);
  for (auto _ : state) {
    TMetafile picture(drawer.BoxWidth(), drawer.BoxHeight());
    TMetafileCanvas canvas(picture, l.Measurer);
    DrawParentLines(drawer, canvas);
    DrawNodes(drawer, canvas);
    benchmark::DoNotOptimize(picture.RecordCount());
  }
  state.SetLabel(std::to_string(drawer.BoxWidth()) + " x " + std::to_string(drawer.BoxHeight()) + " pixels");
}
BENCHMARK(BM_DrawingPass)->Unit(benchmark::kMillisecond);

void BM_Write(benchmark::State& state) {
  TLarge& l = Large();
  const auto format = static_cast<TPictureFormat>(state.range(0));
  const std::string name = PictureFormatName(format);
  const std::filesystem::path file = std::filesystem::temp_directory_path() / ("vt-render-bench." + name);
  const TQtPictureWriter writer;
  for (auto _ : state) writer.Save(*l.Picture, l.Measurer, file.string(), format);
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  state.SetLabel(name + ", " + std::to_string(l.Picture->Width()) + " x " +
                 std::to_string(l.Picture->Height()));
  std::filesystem::remove(file);
}
BENCHMARK(BM_Write)
    ->Arg(static_cast<int>(TPictureFormat::Emf))
    ->Arg(static_cast<int>(TPictureFormat::Bmp))
    ->Arg(static_cast<int>(TPictureFormat::Png))
    ->Arg(static_cast<int>(TPictureFormat::Svg))
    ->Arg(static_cast<int>(TPictureFormat::Pdf))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

void BM_WriteTreeDocument(benchmark::State& state) {
  TLarge& l = Large();
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "vt-render-bench.vrt";
  for (auto _ : state) l.Document.SaveVarnTreeFile(file.string());
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  std::filesystem::remove(file);
}
BENCHMARK(BM_WriteTreeDocument)->Unit(benchmark::kMillisecond);

}  // namespace
