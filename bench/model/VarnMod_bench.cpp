// Reading, linking and releasing the large generated model
// (examples/large.vrn, 2,000 attributes).
#include <benchmark/benchmark.h>

#include <string>

#include "model/VarnMod.h"

namespace {

const std::string LargeModel = std::string(VT_SOURCE_DIR) + "/examples/large.vrn";

void BM_LoadLargeModel(benchmark::State& State) {
  for (auto _ : State) {
    vt::TVarnModel Model;
    Model.LoadFromFile(LargeModel);
    benchmark::DoNotOptimize(Model.First());
  }
}
BENCHMARK(BM_LoadLargeModel)->Unit(benchmark::kMillisecond);

void BM_LinkLargeModel(benchmark::State& State) {
  vt::TVarnModel Model;
  Model.LoadFromFile(LargeModel);
  for (auto _ : State) Model.LinkAttributes();
}
BENCHMARK(BM_LinkLargeModel)->Unit(benchmark::kMillisecond);

void BM_BuildAndReleaseDeepTree(benchmark::State& State) {
  for (auto _ : State) {
    auto Top = std::make_unique<vt::TVarnAttribute>("top");
    vt::TVarnAttribute* Leaf = Top.get();
    for (int I = 0; I < State.range(0); I++) {
      auto* A = new vt::TVarnAttribute("n");
      Leaf->AddAttribute(A);
      Leaf = A;
    }
    Top.reset();
  }
}
BENCHMARK(BM_BuildAndReleaseDeepTree)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
