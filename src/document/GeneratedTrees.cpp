#include "document/GeneratedTrees.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <random>
#include <string>

namespace vt {

namespace {

int Draw(const TRandomFunction& R, int N) {
  return std::clamp(R(N), 0, N - 1);
}

TVarnNode* Add(TVarnNode* AParent, const std::string& AText) {
  return static_cast<TVarnNode*>(AParent->AddChild(new TVarnNode(AText)));
}

std::string RandomLetter(const TRandomFunction& R) {
  return std::string(1, char('A' + Draw(R, 26)));
}

// Cumulative percentages of 0 to 4 children.
constexpr std::array<int, 5> ChildCountLimits = {50, 55, 90, 95, 100};

void GrowRandom(TVarnNode* ANode, int ADepth, const TRandomFunction& R) {
  if (ADepth > RandomTreeMaxDepth) return;
  const int r = Draw(R, 100) + 1;
  int k = 0;
  while (k + 1 < int(ChildCountLimits.size()) && r > ChildCountLimits[size_t(k)]) ++k;
  if (ADepth == 1 && k == 0) k = 2;
  for (int i = 0; i < k; ++i) GrowRandom(Add(ANode, RandomLetter(R)), ADepth + 1, R);
}

void GrowBalanced(TVarnNode* ANode, int ALevel, int AFanOut, int ADepth, const std::string& AText) {
  if (ALevel > ADepth) return;
  for (int i = 0; i < AFanOut; ++i) GrowBalanced(Add(ANode, AText), ALevel + 1, AFanOut, ADepth, AText);
}

TRandomFunction EngineRandom(std::mt19937 AEngine) {
  return [engine = std::move(AEngine)](int N) mutable {
    if (N <= 1) return 0;
    return std::uniform_int_distribution<int>(0, N - 1)(engine);
  };
}

}  // namespace

TRandomFunction SeededRandom(std::uint32_t Seed) {
  return EngineRandom(std::mt19937(Seed));
}

TRandomFunction ClockRandom() {
  const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  return EngineRandom(std::mt19937(static_cast<std::uint32_t>(ticks ^ (ticks >> 32))));
}

std::unique_ptr<TVarnNode> BuildSampleTree() {
  auto root = std::make_unique<TVarnNode>("Root");
  TVarnNode* e = Add(root.get(), "E a bb ccc dddd eeeee ggggggggggg g x");
  Add(e, "A");
  TVarnNode* x = Add(e, "X");
  Add(x, "B");
  Add(x, "C");
  Add(root.get(), "F");
  TVarnNode* n = Add(root.get(), "N");
  Add(n, "G");
  TVarnNode* m = Add(n, "M");
  for (const char* text : {"H", "I", "J", "K", "L"}) Add(m, text);
  return root;
}

std::unique_ptr<TVarnNode> BuildRandomTree(const TRandomFunction& R) {
  auto root = std::make_unique<TVarnNode>(RandomLetter(R));
  GrowRandom(root.get(), 1, R);
  return root;
}

std::unique_ptr<TVarnNode> BuildBalancedTree(const TRandomFunction& R) {
  const std::string text(size_t(Draw(R, 4) + 1), 'x');
  auto root = std::make_unique<TVarnNode>(text);
  const int fanOut = Draw(R, 2) + 2;
  const int depth = Draw(R, 6) + 1;
  GrowBalanced(root.get(), 1, fanOut, depth, text);
  return root;
}

}  // namespace vt
