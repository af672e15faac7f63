// Measuring and placing a picture tree of the large sample model's shape
// (about 2,000 nodes) with the default formats, for every placement method but
// QP in every orientation. Each iteration is one full Place: every node
// cleared, measured and placed. Built twice: with the fake measurer, and with
// the real Qt measurer (VT_REAL_MEASURER).
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "graphics/TextMeasurer.h"
#ifdef VT_REAL_MEASURER
#include "graphics/qt/QtMeasurer.h"
#endif
#include "model/VarnAttribute.h"
#include "model/VarnModel.h"
#include "picture/NodeFormats.h"
#include "picture/VarnNode.h"
#include "picture/VarnTreeDrawer.h"

namespace {

using namespace vt;

struct TPicture {
  TFormatClasses Classes;
#ifdef VT_REAL_MEASURER
  TQtMeasurer Measurer;
#else
  TFakeMeasurer Measurer;
#endif
  TVarnTreeDrawer Drawer;
  int Nodes = 0;
  const char* Source = "examples/large.vrn";
  TPicture() {
    Drawer.SetContext({&Classes, &Measurer});
    Drawer.SetDrawMethod(dmWalker);
    Drawer.SetLevelSeparation(60);
    Drawer.SetMinLevelSeparation(20);
    Drawer.SetNodeSeparation(20);
  }
};

const char* ClassOf(const TVarnAttribute& A) {
  if (!A.IsBasic()) return "aggregate";
  return A.Link() ? "link" : "basic";
}

void AddAttribute(TPicture& P, TTreeDrawNode* AParent, const TVarnAttribute& A) {
  auto* node = new TVarnNode(A.Name(), &P.Drawer);
  node->SetNodeClass(ClassOf(A));
  ++P.Nodes;
  if (AParent)
    AParent->AddChild(node);
  else
    P.Drawer.SetRoot(node);
  for (int i = 0; i < A.InpCount(); ++i) AddAttribute(P, node, *A.Inputs(i));
}

bool LoadLargeModel(TPicture& P) {
  try {
    TVarnModel model;
    model.LoadFromFile(std::string(VT_SOURCE_DIR) + "/examples/large.vrn");
    const TVarnAttribute* top = model.Root()->InpCount() == 1 ? model.Root()->Inputs(0) : model.Root();
    AddAttribute(P, nullptr, *top);
    return P.Nodes > 1;
  } catch (const std::exception&) {
    return false;
  }
}

// 2,000 nodes, up to 6 levels, names of 5 to 60 characters in words.
void GenerateTree(TPicture& P) {
  std::mt19937 random(4011);
  const char* words[] = {"Quality", "price", "of",      "maintenance", "Čas",          "dostave",
                         "service", "and",   "support", "safety",      "Umweltschutz", "für",
                         "energy",  "costs", "ščit",    "comfort"};
  auto name = [&] {
    const size_t length = 5 + random() % 56;
    std::string text;
    while (text.size() < length) text += std::string(text.empty() ? "" : " ") + words[random() % 16];
    return text;
  };
  std::vector<std::pair<TVarnNode*, int>> open;
  auto* root = new TVarnNode(name(), &P.Drawer);
  root->SetNodeClass("aggregate");
  P.Drawer.SetRoot(root);
  open.push_back({root, 0});
  P.Nodes = 1;
  while (P.Nodes < 2000) {
    auto [parent, depth] = open[random() % open.size()];
    auto* node = new TVarnNode(name(), &P.Drawer);
    node->SetNodeClass(depth >= 4 || random() % 3 == 0 ? "basic" : "aggregate");
    parent->AddChild(node);
    ++P.Nodes;
    if (node->NodeClass() == "aggregate") open.push_back({node, depth + 1});
  }
}

TPicture& Picture() {
  static std::unique_ptr<TPicture> picture = [] {
    auto p = std::make_unique<TPicture>();
    if (!LoadLargeModel(*p)) {
      p->Drawer.SetRoot(nullptr);
      p->Nodes = 0;
      p->Source = "generated";
      GenerateTree(*p);
    }
    return p;
  }();
  return *picture;
}

// Arguments: method (0 Distribute, 1 Align, 2 Walker) and orientation.
void BM_MeasureAndPlace(benchmark::State& state) {
  TPicture& p = Picture();
  const int method = static_cast<int>(state.range(0));
  p.Drawer.SetDrawMethod(method == 2 ? dmWalker : dmBottomUp);
  p.Drawer.SetAlignTerminals(method == 1);
  p.Drawer.SetOrientation(static_cast<TTreeOrientation>(state.range(1)));
  for (auto _ : state) {
    p.Drawer.Place();
    benchmark::DoNotOptimize(p.Drawer.BoxWidth());
  }
  static const char* methods[] = {"Distribute", "Align", "Walker"};
  static const char* orientations[] = {"TopDown", "LeftRight", "BottomUp", "RightLeft"};
  state.SetLabel(std::string(methods[method]) + " " + orientations[state.range(1)] + ", " +
                 std::to_string(p.Nodes) + " nodes of " + p.Source);
}
BENCHMARK(BM_MeasureAndPlace)->ArgsProduct({{0, 1, 2}, {0, 1, 2, 3}})->Unit(benchmark::kMillisecond);

// The wrapping loop on one long text. Arguments: the text's length in bytes
// and the format's maximal width (150 is the default; 20000 gives lines of
// some thousand characters).
void BM_WrapLongText(benchmark::State& state) {
  TPicture p;
  std::string text;
  while (text.size() < static_cast<size_t>(state.range(0))) text += "Kakovost storitev in čas dostave ";
  p.Classes.Formats()->SetMaxWidth(static_cast<int>(state.range(1)));
  auto* node = new TVarnNode(text, &p.Drawer);
  p.Drawer.SetRoot(node);
  for (auto _ : state) {
    node->Clear();
    benchmark::DoNotOptimize(node->LineCount());
  }
  state.SetLabel(std::to_string(node->LineCount()) + " lines");
}
BENCHMARK(BM_WrapLongText)
    ->ArgsProduct({{60, 1000, 10000, 1 << 20}, {150}})
    ->Args({1 << 20, 20000})
    ->Unit(benchmark::kMillisecond);

}  // namespace
