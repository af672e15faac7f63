// Speed of the QP solver on random strictly convex problems, and of the QP
// placement on balanced and random trees of picture-sized nodes.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "layout/DualQP.h"
#include "layout/TreeDrawQP.h"

namespace vt {
namespace {

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

void Configure(TTreeDrawer& ADrawer) {
  ADrawer.SetDrawMethod(dmQP);
  ADrawer.SetNodeSeparation(20);
  ADrawer.SetLevelSeparation(60);
}

void AddBalanced(TTreeDrawNode* ANode, int AFanOut, int ADepth, TNodeMaker& AMake) {
  if (ADepth == 0) return;
  for (int k = 0; k < AFanOut; ++k) AddBalanced(ANode->AddChild(AMake()), AFanOut, ADepth - 1, AMake);
}

void PlaceRepeatedly(benchmark::State& state, TTreeDrawerQP& ADrawer) {
  int nodes = 0;
  for (TTreeDrawNode* n = ADrawer.Root(); n;) {  // count in pre-order
    ++nodes;
    if (n->FirstChild()) {
      n = n->FirstChild();
      continue;
    }
    while (n && !n->NextChild()) n = n->Parent();
    if (n) n = n->NextChild();
  }
  for (auto _ : state) {
    ADrawer.Place();
    benchmark::DoNotOptimize(ADrawer.Root());
  }
  state.counters["nodes"] = nodes;
}

// Args: fan-out, depth.
void BM_PlaceQPBalanced(benchmark::State& state) {
  TNodeMaker make(1);
  TTreeDrawerQP drawer;
  Configure(drawer);
  TTreeDrawNode* root = make();
  drawer.SetRoot(root);
  AddBalanced(root, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), make);
  PlaceRepeatedly(state, drawer);
}
BENCHMARK(BM_PlaceQPBalanced)
    ->Args({3, 4})   // 121 nodes
    ->Args({3, 5})   // 364
    ->Args({3, 6})   // 1,093
    ->Args({2, 10})  // 2,047
    ->Args({7, 4})   // 2,801
    ->Unit(benchmark::kMillisecond);

// A random tree: each node goes under one of the last few nodes or, now and
// then, under any earlier node.
void BM_PlaceQPRandom(benchmark::State& state) {
  TNodeMaker make(7);
  TTreeDrawerQP drawer;
  Configure(drawer);
  std::vector<TTreeDrawNode*> nodes{make()};
  drawer.SetRoot(nodes[0]);
  std::mt19937& random = make.Random();
  for (int k = 1; k < state.range(0); ++k) {
    const std::size_t from = nodes.size() > 8 ? nodes.size() - 8 : 0;
    const std::size_t parent =
        random() % 3 == 0 ? random() % nodes.size() : from + random() % (nodes.size() - from);
    nodes.push_back(nodes[parent]->AddChild(make()));
  }
  PlaceRepeatedly(state, drawer);
}
BENCHMARK(BM_PlaceQPRandom)->Arg(100)->Arg(300)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);

void BM_PlaceQPChain(benchmark::State& state) {
  TNodeMaker make(3);
  TTreeDrawerQP drawer;
  Configure(drawer);
  TTreeDrawNode* node = make();
  drawer.SetRoot(node);
  for (int k = 1; k < state.range(0); ++k) node = node->AddChild(make());
  PlaceRepeatedly(state, drawer);
}
BENCHMARK(BM_PlaceQPChain)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vt
