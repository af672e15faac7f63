// Speed of the QP solver on random strictly convex problems, and of the QP
// placement, structured and dense (the general solver, where it finishes in
// seconds), on balanced, random and caterpillar trees of picture-sized nodes
// and on the picture tree of the large sample model. Counters: nodes, the
// block systems factored, the worst constraint violation of the result (in
// pixels), and the heap the peak of one placement adds, per node
// (bytes_per_node for the whole Place, solver_bytes_per_node for the solve
// alone).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "graphics/TextMeasurer.h"
#include "layout/DualQP.h"
#include "layout/QPPlacement.h"
#include "layout/TreeDrawQP.h"
#include "model/VarnAttribute.h"
#include "model/VarnModel.h"
#include "picture/NodeFormats.h"
#include "picture/VarnNode.h"
#include "picture/VarnTreeDrawer.h"

// --- Heap use: every allocation of the process counted by its usable size --

namespace {
std::atomic<long long> HeapNow{0};
std::atomic<long long> HeapPeak{0};

void* Counted(void* p) {
  if (p) {
    const long long now = HeapNow += static_cast<long long>(malloc_usable_size(p));
    long long peak = HeapPeak.load();
    while (now > peak && !HeapPeak.compare_exchange_weak(peak, now)) {
    }
  }
  return p;
}
void Uncounted(void* p) {
  if (p) HeapNow -= static_cast<long long>(malloc_usable_size(p));
}
}  // namespace

extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);

void* malloc(std::size_t n) noexcept {
  return Counted(__libc_malloc(n));
}
void* calloc(std::size_t n, std::size_t m) noexcept {
  return Counted(__libc_calloc(n, m));
}
void free(void* p) noexcept {
  Uncounted(p);
  __libc_free(p);
}
void* realloc(void* p, std::size_t n) noexcept {
  const long long before = p ? static_cast<long long>(malloc_usable_size(p)) : 0;
  HeapNow -= before;
  void* q = __libc_realloc(p, n);
  if (!q && n > 0) HeapNow += before;  // the old block stays
  return Counted(q);
}
void* memalign(std::size_t a, std::size_t n) noexcept {
  return Counted(__libc_memalign(a, n));
}
void* aligned_alloc(std::size_t a, std::size_t n) noexcept {
  return Counted(__libc_memalign(a, n));
}
int posix_memalign(void** r, std::size_t a, std::size_t n) noexcept {
  void* p = Counted(__libc_memalign(a, n));
  if (!p) return ENOMEM;
  *r = p;
  return 0;
}
}

namespace vt {
namespace {

// Bytes the heap grew by at its peak while AWork ran.
template <class F>
double PeakHeapOf(F AWork) {
  const long long base = HeapNow.load();
  HeapPeak = base;
  AWork();
  return static_cast<double>(HeapPeak.load() - base);
}

// --- The general solver ------------------------------------------------------

struct TProblem {
  TQPMatrix G, CI, CE;
  TFloatArray g0, ci0, ce0;
};

// G = M'M + I/2; mE = n / 10 equalities and mI = 2n inequalities through a
// random point, half of them tight there.
TProblem RandomProblem(std::size_t n, unsigned ASeed) {
  std::mt19937 random(ASeed);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  const std::size_t mE = n / 10;
  const std::size_t mI = 2 * n;
  TProblem p;
  TQPMatrix M(n, TFloatArray(n));
  for (auto& row : M)
    for (double& v : row) v = value(random);
  InitMatrix(static_cast<int>(n), static_cast<int>(n), p.G);
  for (std::size_t k = 0; k < n; ++k)
    for (std::size_t i = 0; i < n; ++i) {
      const double mki = M[k][i];
      for (std::size_t j = 0; j < n; ++j) p.G[i][j] += mki * M[k][j];
    }
  for (std::size_t i = 0; i < n; ++i) p.G[i][i] += 0.5;
  TFloatArray point(n);
  for (double& v : point) v = value(random);
  p.g0.resize(n);
  for (double& v : p.g0) v = 5.0 * value(random);
  auto constraints = [&](std::size_t m, TQPMatrix& C, TFloatArray& c0, bool slack) {
    InitMatrix(static_cast<int>(n), static_cast<int>(m), C);
    c0.assign(m, 0.0);
    for (std::size_t j = 0; j < m; ++j) {
      double at = 0.0;
      for (std::size_t i = 0; i < n; ++i) {
        C[i][j] = value(random);
        at += C[i][j] * point[i];
      }
      c0[j] = -at + (slack && j % 2 == 1 ? 0.5 * (value(random) + 1.0) : 0.0);
    }
  };
  constraints(mE, p.CE, p.ce0, false);
  constraints(mI, p.CI, p.ci0, true);
  return p;
}

void BM_SolveQP(benchmark::State& state) {
  const TProblem p = RandomProblem(static_cast<std::size_t>(state.range(0)), 42);
  int active = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TQPMatrix G = p.G;
    state.ResumeTiming();
    double f = 0;
    TFloatArray x, u;
    TIntArray A;
    int iq = 0;
    SolveQP(G, p.CI, p.CE, p.g0, p.ci0, p.ce0, f, x, u, A, iq);
    benchmark::DoNotOptimize(x.data());
    active = iq;
  }
  state.counters["active"] = active;
}
BENCHMARK(BM_SolveQP)->Arg(50)->Arg(200)->Arg(1000)->Unit(benchmark::kMillisecond);

// --- Trees -------------------------------------------------------------------

// A node of picture size: width 50 to 150, height 10 to 30.
class TPictureNode : public TTreeDrawNode {
 public:
  TPictureNode(double AWidth, double AHeight) : FWidth(AWidth), FHeight(AHeight) {}
  double LeftWidth() const override { return FWidth / 2; }
  double RightWidth() const override { return FWidth / 2; }
  double TopHeight() const override { return FHeight / 2; }
  double BottomHeight() const override { return FHeight / 2; }

 private:
  double FWidth, FHeight;
};

class TNodeMaker {
 public:
  explicit TNodeMaker(unsigned ASeed) : FRandom(ASeed) {}
  TTreeDrawNode* operator()() { return new TPictureNode(FWidth(FRandom), FHeight(FRandom)); }
  std::mt19937& Random() { return FRandom; }

 private:
  std::mt19937 FRandom;
  std::uniform_real_distribution<double> FWidth{50, 150};
  std::uniform_real_distribution<double> FHeight{10, 30};
};

enum TShape { kBalanced, kRandom, kCaterpillar };
enum TSolver { kStructured, kDense };

// Balanced: fan-out 3, AArg levels below the root. Random: AArg nodes, each
// under one of the last few nodes or, now and then, under any earlier node.
// Caterpillar: AArg nodes, a chain with two leaves on every node.
TTreeDrawNode* Grow(TShape AShape, int AArg, int& ANodes) {
  TNodeMaker make(7);
  std::vector<TTreeDrawNode*> nodes{make()};
  if (AShape == kBalanced) {
    std::vector<TTreeDrawNode*> level{nodes[0]};
    for (int d = 0; d < AArg; ++d) {
      std::vector<TTreeDrawNode*> next;
      for (TTreeDrawNode* n : level)
        for (int k = 0; k < 3; ++k) next.push_back(n->AddChild(make()));
      nodes.insert(nodes.end(), next.begin(), next.end());
      level.swap(next);
    }
  } else if (AShape == kRandom) {
    std::mt19937& random = make.Random();
    for (int k = 1; k < AArg; ++k) {
      const std::size_t from = nodes.size() > 8 ? nodes.size() - 8 : 0;
      const std::size_t parent =
          random() % 3 == 0 ? random() % nodes.size() : from + random() % (nodes.size() - from);
      nodes.push_back(nodes[parent]->AddChild(make()));
    }
  } else {
    TTreeDrawNode* spine = nodes[0];
    for (int count = 1; count + 3 <= AArg; count += 3) {
      nodes.push_back(spine->AddChild(make()));
      TTreeDrawNode* next = spine->AddChild(make());
      nodes.push_back(next);
      nodes.push_back(spine->AddChild(make()));
      spine = next;
    }
  }
  ANodes = static_cast<int>(nodes.size());
  return nodes[0];
}

// The worst shortfall of a constraint at X (pixels).
double WorstViolation(const TPlacementQP& AProblem, const std::vector<double>& X) {
  double worst = 0.0;
  for (std::size_t k = 0; k < X.size(); ++k) {
    const int r = AProblem.Right[k];
    if (r < 0) continue;
    const double shortfall = AProblem.Gap[k] - (X[static_cast<std::size_t>(r)] - X[k]);
    worst = std::max(worst, AProblem.Equal[k] ? std::fabs(shortfall) : shortfall);
  }
  return worst;
}

// Places ADrawer's tree repeatedly with the structured placement (Place) or
// poses and solves its program densely; then reports the counters.
void PlaceRepeatedly(benchmark::State& state, TTreeDrawerQP& ADrawer, int ANodes, TSolver ASolver) {
  ADrawer.Levels();
  std::vector<double> x;
  for (auto _ : state) {
    if (ASolver == kStructured) {
      ADrawer.Place();
      benchmark::DoNotOptimize(ADrawer.Root());
    } else {
      SolvePlacementQPDense(ADrawer.PlacementProblem(), x);
      benchmark::DoNotOptimize(x.data());
    }
  }
  const TPlacementQP problem = ADrawer.PlacementProblem();
  TPlacementStats stats;
  if (ASolver == kStructured) {
    state.counters["bytes_per_node"] = PeakHeapOf([&] { ADrawer.Place(); }) / ANodes;
    state.counters["solver_bytes_per_node"] =
        PeakHeapOf([&] { SolvePlacementQP(problem, x, {}, &stats); }) / ANodes;
    state.counters["solves"] = stats.ExchangeSolves + stats.ActiveSetSolves;
  }
  state.counters["nodes"] = ANodes;
  state.counters["violation"] = WorstViolation(problem, x);
}

void BM_PlaceQP(benchmark::State& state, TShape AShape, TSolver ASolver) {
  static std::unique_ptr<TTreeDrawerQP> drawer;  // the tree of the last run, rebuilt for another
  static TShape shape;
  static int arg = -1, nodes = 0;
  if (!drawer || shape != AShape || arg != state.range(0)) {
    drawer = std::make_unique<TTreeDrawerQP>();
    drawer->SetDrawMethod(dmQP);
    drawer->SetNodeSeparation(20);
    drawer->SetLevelSeparation(60);
    drawer->SetRoot(Grow(AShape, static_cast<int>(state.range(0)), nodes));
    shape = AShape;
    arg = static_cast<int>(state.range(0));
  }
  PlaceRepeatedly(state, *drawer, nodes, ASolver);
}

BENCHMARK_CAPTURE(BM_PlaceQP, balanced, kBalanced, kStructured)
    ->Arg(6)
    ->Arg(7)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PlaceQP, balanced_dense, kBalanced, kDense)->Arg(6)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PlaceQP, random, kRandom, kStructured)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PlaceQP, random_dense, kRandom, kDense)
    ->Arg(1000)
    ->Arg(2000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PlaceQP, caterpillar, kCaterpillar, kStructured)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PlaceQP, caterpillar_dense, kCaterpillar, kDense)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond);

// --- The large sample --------------------------------------------------------

// The picture tree of examples/large.vrn with the default formats, measured
// by the fake measurer; each iteration is a full Place (every node cleared,
// measured and placed), as the window does it.
struct TPicture {
  TFormatClasses Classes;
  TFakeMeasurer Measurer;
  TVarnTreeDrawer Drawer;
  int Nodes = 0;
};

const char* ClassOf(const TVarnAttribute& A) {
  if (!A.IsBasic()) return "aggregate";
  return A.Link() ? "link" : "basic";
}

void AddAttributes(TPicture& P, const TVarnAttribute& ATop) {
  std::vector<std::pair<TTreeDrawNode*, const TVarnAttribute*>> stack{{nullptr, &ATop}};
  std::vector<std::pair<TTreeDrawNode*, const TVarnAttribute*>> children;
  while (!stack.empty()) {
    auto [parent, a] = stack.back();
    stack.pop_back();
    auto* node = new TVarnNode(a->Name(), &P.Drawer);
    node->SetNodeClass(ClassOf(*a));
    ++P.Nodes;
    if (parent)
      parent->AddChild(node);
    else
      P.Drawer.SetRoot(node);
    for (int i = a->InpCount() - 1; i >= 0; --i) stack.push_back({node, a->Inputs(i)});
  }
}

TPicture* LargeSample() {
  static std::unique_ptr<TPicture> picture = []() -> std::unique_ptr<TPicture> {
    auto p = std::make_unique<TPicture>();
    p->Drawer.SetContext({&p->Classes, &p->Measurer});
    p->Drawer.SetDrawMethod(dmQP);
    p->Drawer.SetLevelSeparation(60);
    p->Drawer.SetMinLevelSeparation(20);
    p->Drawer.SetNodeSeparation(20);
    try {
      TVarnModel model;
      model.LoadFromFile(std::string(VT_SOURCE_DIR) + "/examples/large.vrn");
      const TVarnAttribute* top = model.Root()->InpCount() == 1 ? model.Root()->Inputs(0) : model.Root();
      AddAttributes(*p, *top);
    } catch (const std::exception&) {
      return nullptr;
    }
    return p;
  }();
  return picture.get();
}

void BM_PlaceQPLargeSample(benchmark::State& state, TSolver ASolver) {
  TPicture* p = LargeSample();
  if (!p) {
    state.SkipWithError("examples/large.vrn cannot be read");
    return;
  }
  PlaceRepeatedly(state, p->Drawer, p->Nodes, ASolver);
}
BENCHMARK_CAPTURE(BM_PlaceQPLargeSample, structured, kStructured)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PlaceQPLargeSample, dense, kDense)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vt
