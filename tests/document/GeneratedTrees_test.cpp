// Generated trees: the sample tree, random and balanced trees with a fixed
// or scripted random source, and what generating does to the document.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <set>

#include "DocumentTestUtil.h"

namespace vt::test {
namespace {

struct TShape {
  int Nodes = 0;
  int Levels = 0;
  std::vector<std::string> Leaves;
  std::set<std::string> Texts;
  std::set<std::string> Classes;
};

TShape ShapeOf(const TTreeDrawNode* ARoot) {
  TShape shape;
  std::vector<std::pair<const TTreeDrawNode*, int>> open{{ARoot, 1}};
  while (!open.empty()) {
    auto [node, level] = open.back();
    open.pop_back();
    const auto& varn = dynamic_cast<const TVarnNode&>(*node);
    ++shape.Nodes;
    shape.Levels = std::max(shape.Levels, level);
    shape.Texts.insert(varn.FullText());
    shape.Classes.insert(varn.NodeClass());
    if (!node->FirstChild()) shape.Leaves.push_back(varn.FullText());
    std::vector<const TTreeDrawNode*> children;
    for (const TTreeDrawNode* c = node->FirstChild(); c; c = c->NextChild()) children.push_back(c);
    for (auto it = children.rbegin(); it != children.rend(); ++it) open.push_back({*it, level + 1});
  }
  return shape;
}

// Answers the draws in the order given, checking the range each one asks
// for.
TRandomFunction Script(std::vector<std::pair<int, int>> ADraws) {
  auto draws = std::make_shared<std::deque<std::pair<int, int>>>(ADraws.begin(), ADraws.end());
  return [draws](int N) {
    if (draws->empty()) {
      ADD_FAILURE() << "unexpected draw of " << N;
      return 0;
    }
    auto [range, value] = draws->front();
    draws->pop_front();
    EXPECT_EQ(N, range);
    return value;
  };
}

TEST(GeneratedTreesTest, TheSampleTree) {
  TVarnTreeDocument document;
  document.CreateSampleTree();
  const TShape shape = ShapeOf(document.VarnRoot());
  EXPECT_EQ(shape.Nodes, 15);
  EXPECT_EQ(shape.Levels, 4);
  EXPECT_EQ(shape.Leaves, (std::vector<std::string>{"A", "B", "C", "F", "G", "H", "I", "J", "K", "L"}));
  EXPECT_EQ(shape.Classes, std::set<std::string>{"all"});
  EXPECT_EQ(document.VarnRoot()->FullText(), "Root");
  EXPECT_EQ(document.VarnRoot()->Item(0)->Text(), "E a bb ccc dddd eeeee ggggggggggg g x");
}

TEST(GeneratedTreesTest, BalancedTreesAreComplete) {
  struct TCase {
    int Letters, FanOut, Depth, Nodes;
  };
  for (const TCase& c : {TCase{3, 3, 6, 1093}, TCase{1, 2, 1, 3}, TCase{4, 2, 6, 127}}) {
    auto root = BuildBalancedTree(Script({{4, c.Letters - 1}, {2, c.FanOut - 2}, {6, c.Depth - 1}}));
    const TShape shape = ShapeOf(root.get());
    EXPECT_EQ(shape.Nodes, c.Nodes);
    EXPECT_EQ(shape.Levels, c.Depth + 1);
    EXPECT_EQ(int(shape.Leaves.size()), int(std::pow(c.FanOut, c.Depth)));
    EXPECT_EQ(shape.Texts, std::set<std::string>{std::string(size_t(c.Letters), 'x')});
  }
}

// The root's draw r = R(100) + 1 picks its number of children by the
// limits 50, 55, 90, 95, 100; none becomes two at the root.
TEST(GeneratedTreesTest, RandomTreesDrawLettersAndChildCounts) {
  struct TCase {
    int Draw;
    int Children;
  };
  for (const TCase& c :
       {TCase{0, 2}, {49, 2}, {50, 1}, {54, 1}, {55, 2}, {89, 2}, {90, 3}, {94, 3}, {95, 4}, {99, 4}}) {
    std::vector<std::pair<int, int>> draws = {{26, 25}, {100, c.Draw}};
    for (int i = 0; i < c.Children; ++i) draws.insert(draws.end(), {{26, i}, {100, 0}});
    auto root = BuildRandomTree(Script(draws));
    EXPECT_EQ(root->FullText(), "Z");
    ASSERT_EQ(root->ChildCount(), c.Children) << c.Draw;
    for (int i = 0; i < c.Children; ++i) EXPECT_EQ(root->Item(i)->Text(), std::string(1, char('A' + i)));
  }
  // Every node with one child: a chain ten edges long.
  auto chain = BuildRandomTree([](int N) { return N == 100 ? 50 : 2; });
  EXPECT_EQ(ShapeOf(chain.get()).Levels, RandomTreeMaxDepth + 1);
  EXPECT_EQ(ShapeOf(chain.get()).Texts, std::set<std::string>{"C"});
}

TEST(GeneratedTreesTest, SeededRandomTreesKeepTheirBounds) {
  for (std::uint32_t seed = 1; seed <= 200; ++seed) {
    auto root = BuildRandomTree(SeededRandom(seed));
    EXPECT_GE(root->ChildCount(), 1);
    EXPECT_LE(root->ChildCount(), 4);
    const TShape shape = ShapeOf(root.get());
    EXPECT_LE(shape.Levels, RandomTreeMaxDepth + 1);
    for (const std::string& text : shape.Texts) {
      ASSERT_EQ(text.size(), 1u);
      EXPECT_TRUE(text[0] >= 'A' && text[0] <= 'Z') << text;
    }
  }
  auto a = BuildRandomTree(SeededRandom(7));
  auto b = BuildRandomTree(SeededRandom(7));
  EXPECT_EQ(ShapeOf(a.get()).Leaves, ShapeOf(b.get()).Leaves);
  EXPECT_EQ(ShapeOf(a.get()).Nodes, ShapeOf(b.get()).Nodes);
}

TEST(GeneratedTreesTest, GeneratingMarksTheDocumentAndKeepsEverythingElse) {
  TVarnTreeDocument document;
  document.LoadVarnFile(DataFile("car.vrn"));
  document.TreeDrawer().SetOrientation(oRightLeft);
  document.FindFormat("basic")->SetMaxWidth(99);
  const std::string kept = DescribeParameters(document) + DescribeClasses(*document.Formats()) +
                           document.LoadFileName() + "|" + document.SaveFileName();
  document.SetRandom(SeededRandom(3));
  for (auto create : {&TVarnTreeDocument::CreateSampleTree, &TVarnTreeDocument::CreateRandomTree,
                      &TVarnTreeDocument::CreateBalancedTree}) {
    document.SetFileModified(false);
    (document.*create)();
    EXPECT_TRUE(document.FileModified());
    EXPECT_EQ(DescribeParameters(document) + DescribeClasses(*document.Formats()) + document.LoadFileName() +
                  "|" + document.SaveFileName(),
              kept);
    EXPECT_EQ(ShapeOf(document.VarnRoot()).Classes, std::set<std::string>{"all"});
    EXPECT_EQ(document.VarnRoot()->Drawer(), &document.TreeDrawer());
  }
}

}  // namespace
}  // namespace vt::test
