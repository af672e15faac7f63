// Generated picture trees for trying the layout methods without a model: a
// fixed sample tree, a random tree and a random balanced tree. Their nodes
// have a text and no format of their own, so they are drawn with "all".
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "picture/VarnNode.h"

namespace vt {

// R(n): a uniformly distributed integer in 0 .. n-1. Values outside that
// range are clamped into it.
using TRandomFunction = std::function<int(int)>;

// A pseudo-random source with a fixed seed (the same trees on every run)
// and one seeded from the clock.
TRandomFunction SeededRandom(std::uint32_t Seed);
TRandomFunction ClockRandom();

// The fixed tree of 15 nodes on four levels below "Root".
std::unique_ptr<TVarnNode> BuildSampleTree();
// Nodes of one random capital letter; the root has one to four children and
// no path is longer than RandomTreeMaxDepth edges.
inline constexpr int RandomTreeMaxDepth = 10;
std::unique_ptr<TVarnNode> BuildRandomTree(const TRandomFunction& R);
// A complete tree: every node the same text of one to four "x", two or
// three children per inner node, one to six levels below the root.
std::unique_ptr<TVarnNode> BuildBalancedTree(const TRandomFunction& R);

}  // namespace vt
