// Placement cost of the tree drawer on balanced trees (fan-out 3), random
// trees (0..4 children with 50/5/35/5/5 %) and caterpillars (a chain with two
// leaves on every node), with picture-like node sizes from a seeded
// generator: Walker (centring over the subtree and over the descendants),
// bottom-up, and the level chains alone (UpdateStructure).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "layout/TreeDraw.h"

namespace {

using namespace vt;

// Seeded so that every run measures the same trees.
class TRandom {
 public:
  explicit TRandom(uint64_t seed) : FState(seed * 2654435761u + 1) {}
  uint32_t Next() {
    FState = FState * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(FState >> 33);
  }
  double Uniform(double lo, double hi) { return lo + (hi - lo) * (Next() / 2147483648.0); }

 private:
  uint64_t FState;
};

// Sizes as picture nodes have them: 50 to 150 wide, 10 to 30 high.
class TBenchNode : public TTreeDrawNode {
 public:
  explicit TBenchNode(TRandom& rnd)
      : FHalfWidth(rnd.Uniform(50, 150) / 2), FHalfHeight(rnd.Uniform(10, 30) / 2) {}
  double LeftWidth() const override { return FHalfWidth; }
  double RightWidth() const override { return FHalfWidth; }
  double TopHeight() const override { return FHalfHeight; }
  double BottomHeight() const override { return FHalfHeight; }

 private:
  double FHalfWidth, FHalfHeight;
};

enum TShape { kBalanced, kRandom, kCaterpillar };
enum TWhat { kWalkerSubtree, kWalkerDescendants, kBottomUp, kStructure };

void GrowBalanced(TTreeDrawNode* root, int depth, TRandom& rnd) {
  std::vector<TTreeDrawNode*> level{root};
  for (int d = 0; d < depth; ++d) {
    std::vector<TTreeDrawNode*> next;
    for (TTreeDrawNode* n : level)
      for (int k = 0; k < 3; ++k) next.push_back(n->AddChild(new TBenchNode(rnd)));
    level.swap(next);
  }
}

// Breadth first, regrowing from the root's last descendant should it die out.
void GrowRandom(TTreeDrawNode* root, int64_t n, TRandom& rnd) {
  std::vector<TTreeDrawNode*> open{root};
  size_t head = 0;
  int64_t count = 1;
  while (count < n) {
    if (head == open.size()) open.push_back(open.back());
    TTreeDrawNode* node = open[head++];
    uint32_t r = rnd.Next() % 100;
    int kids = r < 50 ? 0 : r < 55 ? 1 : r < 90 ? 2 : r < 95 ? 3 : 4;
    for (int k = 0; k < kids && count < n; ++k, ++count) open.push_back(node->AddChild(new TBenchNode(rnd)));
  }
}

void GrowCaterpillar(TTreeDrawNode* root, int64_t n, TRandom& rnd) {
  TTreeDrawNode* spine = root;
  for (int64_t count = 1; count + 3 <= n; count += 3) {
    spine->AddChild(new TBenchNode(rnd));
    TTreeDrawNode* next = spine->AddChild(new TBenchNode(rnd));
    spine->AddChild(new TBenchNode(rnd));
    spine = next;
  }
}

int64_t CountNodes(TTreeDrawNode* node) {
  int64_t count = 0;
  std::vector<TTreeDrawNode*> stack{node};
  while (!stack.empty()) {
    TTreeDrawNode* n = stack.back();
    stack.pop_back();
    ++count;
    for (TTreeDrawNode* c = n->FirstChild(); c; c = c->NextChild()) stack.push_back(c);
  }
  return count;
}

// The tree of the last benchmark, kept while the same one runs again.
struct TCachedTree {
  TShape shape;
  int64_t arg = -1;
  std::unique_ptr<TTreeDrawer> drawer;
  int64_t nodes = 0;
};

TTreeDrawer& Tree(TShape shape, int64_t arg, int64_t& nodes) {
  static TCachedTree cache;
  if (cache.arg != arg || cache.shape != shape) {
    cache.drawer.reset();
    cache.drawer = std::make_unique<TTreeDrawer>();
    TRandom rnd(42);
    auto* root = new TBenchNode(rnd);
    cache.drawer->SetRoot(root);
    if (shape == kBalanced)
      GrowBalanced(root, static_cast<int>(arg), rnd);
    else if (shape == kRandom)
      GrowRandom(root, arg, rnd);
    else
      GrowCaterpillar(root, arg, rnd);
    cache.shape = shape;
    cache.arg = arg;
    cache.nodes = CountNodes(root);
    cache.drawer->SetNodeSeparation(20);
    cache.drawer->SetLevelSeparation(60);
    cache.drawer->UpdatePlacement();
  }
  nodes = cache.nodes;
  return *cache.drawer;
}

void BM_Tree(benchmark::State& state, TShape shape, TWhat what) {
  int64_t nodes = 0;
  TTreeDrawer& d = Tree(shape, state.range(0), nodes);
  d.SetDrawMethod(what == kBottomUp ? dmBottomUp : dmWalker);
  d.SetAlignParents(what == kWalkerDescendants ? apDescendants : apSubtree);
  for (auto _ : state) {
    if (what == kStructure) {
      d.StructureModified();
      d.UpdateStructure();
    } else {
      d.Place();
    }
    benchmark::DoNotOptimize(d.Root());
  }
  state.SetComplexityN(nodes);
  state.counters["nodes"] = static_cast<double>(nodes);
  // Seconds per node and iteration ("95n" reads 95 ns).
  state.counters["per_node"] =
      benchmark::Counter(static_cast<double>(nodes),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

#define VT_SHAPES(what)                                              \
  BENCHMARK_CAPTURE(BM_Tree, balanced_##what, kBalanced, what)       \
      ->DenseRange(6, 12, 2)                                         \
      ->Unit(benchmark::kMillisecond)                                \
      ->Complexity(benchmark::oN);                                   \
  BENCHMARK_CAPTURE(BM_Tree, random_##what, kRandom, what)           \
      ->RangeMultiplier(10)                                          \
      ->Range(1000, 1000000)                                         \
      ->Unit(benchmark::kMillisecond)                                \
      ->Complexity(benchmark::oN);                                   \
  BENCHMARK_CAPTURE(BM_Tree, caterpillar_##what, kCaterpillar, what) \
      ->RangeMultiplier(10)                                          \
      ->Range(1000, 1000000)                                         \
      ->Unit(benchmark::kMillisecond)                                \
      ->Complexity(benchmark::oN)

VT_SHAPES(kWalkerSubtree);
VT_SHAPES(kWalkerDescendants);
VT_SHAPES(kBottomUp);
VT_SHAPES(kStructure);

}  // namespace
