// Reading and writing documents of 5 and 50 MB, laid out one element per
// line, as a single line of tags, and as one element with one huge text. The
// times of the two sizes should differ by about ten: every step is linear in
// the size of the file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "xml/Xml.h"

namespace {

namespace fs = std::filesystem;
using vt::TXmlItem;

constexpr long long MB = 1000 * 1000;

fs::path BenchDir() {
  fs::path Dir = fs::temp_directory_path() / ("vt_xml_bench_" + std::to_string(::getpid()));
  fs::create_directories(Dir);
  return Dir;
}

// A tree of nodes with attributes, texts, mixed content and entities that
// writes about Bytes bytes.
std::unique_ptr<TXmlItem> ManyElements(long long Bytes) {
  auto Root = std::make_unique<TXmlItem>("model");
  Root->AddAttribute("version", "1");
  const long long Nodes = Bytes / 200;
  for (long long I = 0; I < Nodes; ++I) {
    TXmlItem* N = Root->NewItem("attribute");
    N->AddAttribute("name", "Attribute " + std::to_string(I));
    N->AddAttribute("id", std::to_string(I));
    N->AddTextItem("description", "Price & quality \"rated\" <high>");
    TXmlItem* Scale = N->NewItem("scale");
    Scale->AddTextItem("value", "low");
    Scale->AddTextItem("value",
                       "\xC4\x8D"
                       "ast");
    N->SetText(" own ");
  }
  return Root;
}

std::unique_ptr<TXmlItem> OneHugeText(long long Bytes) {
  std::string Text;
  Text.reserve(static_cast<size_t>(Bytes));
  while (static_cast<long long>(Text.size()) < Bytes) Text += "some words & more words, ";
  auto Root = std::make_unique<TXmlItem>("text");
  Root->SetText(Text);
  return Root;
}

enum TShape { ManyLines, OneLineOfTags, OneLineOfText };

// The file of each shape and size, written once.
const std::string& FileOf(TShape Shape, long long Bytes) {
  static std::map<std::pair<int, long long>, std::string> Files;
  std::string& Path = Files[{Shape, Bytes}];
  if (!Path.empty()) return Path;
  Path = (BenchDir() / ("doc" + std::to_string(Shape) + "_" + std::to_string(Bytes) + ".xml")).string();
  if (Shape == OneLineOfText) {
    OneHugeText(Bytes)->SaveToFile(Path);
    return Path;
  }
  vt::TStringList Lines;
  ManyElements(Bytes)->SaveToStringList(Lines);
  std::ofstream Out(Path, std::ios::binary);
  if (Shape == ManyLines) {
    for (int I = 0; I < Lines.Count(); ++I) Out << Lines.Strings(I) << "\r\n";
  } else {
    Out << Lines.Strings(0) << "\r\n";
    for (int I = 1; I < Lines.Count(); ++I) {
      const std::string& L = Lines.Strings(I);
      Out << L.substr(L.find_first_not_of(' '));
    }
    Out << "\r\n";
  }
  return Path;
}

void Read(benchmark::State& State, TShape Shape) {
  const std::string& Path = FileOf(Shape, State.range(0) * MB);
  const auto Size = static_cast<long long>(fs::file_size(Path));
  for (auto _ : State) {
    TXmlItem Item;
    Item.LoadFromFile(Path);
    benchmark::DoNotOptimize(Item.ItemCount());
  }
  State.SetBytesProcessed(State.iterations() * Size);
  State.counters["MB"] = static_cast<double>(Size) / MB;
}

void Write(benchmark::State& State, TShape Shape) {
  const long long Bytes = State.range(0) * MB;
  auto Item = Shape == ManyLines ? ManyElements(Bytes) : OneHugeText(Bytes);
  const std::string Path = (BenchDir() / "written.xml").string();
  for (auto _ : State) Item->SaveToFile(Path);
  const auto Size = static_cast<long long>(fs::file_size(Path));
  State.SetBytesProcessed(State.iterations() * Size);
  State.counters["MB"] = static_cast<double>(Size) / MB;
}

void BM_ReadManyLines(benchmark::State& State) {
  Read(State, ManyLines);
}
void BM_ReadOneLineOfTags(benchmark::State& State) {
  Read(State, OneLineOfTags);
}
void BM_ReadOneLineOfText(benchmark::State& State) {
  Read(State, OneLineOfText);
}
void BM_WriteManyLines(benchmark::State& State) {
  Write(State, ManyLines);
}
void BM_WriteOneLineOfText(benchmark::State& State) {
  Write(State, OneLineOfText);
}

// A tree is built and destroyed with each reading; destroying is measured on
// its own here.
void BM_DestroyManyElements(benchmark::State& State) {
  for (auto _ : State) {
    State.PauseTiming();
    auto Item = ManyElements(State.range(0) * MB);
    State.ResumeTiming();
    Item.reset();
  }
}

#define VT_SIZES ->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(2)
BENCHMARK(BM_ReadManyLines) VT_SIZES;
BENCHMARK(BM_ReadOneLineOfTags) VT_SIZES;
BENCHMARK(BM_ReadOneLineOfText) VT_SIZES;
BENCHMARK(BM_WriteManyLines) VT_SIZES;
BENCHMARK(BM_WriteOneLineOfText) VT_SIZES;
BENCHMARK(BM_DestroyManyElements) VT_SIZES;

// Removes the files when the benchmarks are done.
struct TCleanup {
  ~TCleanup() {
    std::error_code Ec;
    fs::remove_all(BenchDir(), Ec);
  }
} Cleanup;

}  // namespace
