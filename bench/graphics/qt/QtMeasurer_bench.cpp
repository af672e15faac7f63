// Cost of the real text measurer on attribute-name-sized texts: the width of
// a whole text and the advances that answer every prefix of it.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "graphics/qt/QtMeasurer.h"

namespace vt {
namespace {

std::vector<std::string> Names(int Count, int Length) {
  static const char* Words[] = {"Price", "of", "the", "car", "Availability", "public", "transport", "site",
                                "Kakovost", "storitev", "Größe", "Umweltverträglichkeit", "čas", "šola"};
  std::mt19937 Random(7);
  std::vector<std::string> Result;
  for (int I = 0; I < Count; ++I) {
    std::string S;
    while (static_cast<int>(S.size()) < Length) {
      if (!S.empty()) S += ' ';
      S += Words[Random() % std::size(Words)];
    }
    Result.push_back(S);
  }
  return Result;
}

void BM_TextWidth(benchmark::State& State) {
  const TQtMeasurer M;
  const TFont F;
  const auto Texts = Names(2000, static_cast<int>(State.range(0)));
  for (auto _ : State)
    for (const auto& T : Texts) benchmark::DoNotOptimize(M.TextWidth(F, T));
  State.SetItemsProcessed(State.iterations() * static_cast<long long>(Texts.size()));
}
BENCHMARK(BM_TextWidth)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);

void BM_CharAdvances(benchmark::State& State) {
  const TQtMeasurer M;
  const TFont F;
  const auto Texts = Names(2000, static_cast<int>(State.range(0)));
  for (auto _ : State)
    for (const auto& T : Texts) benchmark::DoNotOptimize(M.CharAdvances(F, T));
  State.SetItemsProcessed(State.iterations() * static_cast<long long>(Texts.size()));
}
BENCHMARK(BM_CharAdvances)->Arg(20)->Arg(60)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vt
