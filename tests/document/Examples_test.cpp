// Every sample model opens, saves as a tree document and reads back to the
// same tree, formats and parameters, plain and with a look of its own.
#include <gtest/gtest.h>

#include <algorithm>

#include "DocumentTestUtil.h"

namespace vt::test {
namespace {

std::vector<std::string> ExampleModels() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(std::string(VT_SOURCE_DIR) + "/examples"))
    if (entry.path().extension() == ".vrn") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Class looks, tree parameters and individual formats on every seventh node
// (some below their class, some without parent), alternating with nodes
// moved to another class.
void Style(TVarnTreeDocument& ADocument) {
  ADocument.FindFormat("link")->SetFont(TFont("Courier New", 8, clMaroon, {fsItalic}, EASTEUROPE_CHARSET));
  ADocument.FindFormat("basic")->SetShape(stEllipse);
  ADocument.FindFormat("aggregate")->SetNodeBrush(TBrush(clSilver, bsBDiagonal));
  ADocument.Formats()->SetLineSpacing(1.1);
  ADocument.TreeDrawer().SetOrientation(oLeftRight);
  ADocument.TreeDrawer().SetBorder({4, 3, 2, 1});
  ADocument.SetBackgroundColor(clBtnFace);
  int count = 0;
  std::vector<TTreeDrawNode*> open{ADocument.VarnRoot()};
  while (!open.empty()) {
    auto* node = static_cast<TVarnNode*>(open.back());
    open.pop_back();
    for (TTreeDrawNode* c = node->FirstChild(); c; c = c->NextChild()) open.push_back(c);
    if (++count % 7 == 0) {
      node->SetNodeClass("");
      if (count % 14 == 0) node->SetNodeClass("");
      node->NodeFormat()->SetTextBorderLeft(count % 11);
    } else if (count % 5 == 0) {
      node->SetNodeClass("link");
    }
  }
}

class ExamplesTest : public TTempDirTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(ExamplesTest, RoundTrips) {
  for (bool styled : {false, true}) {
    TVarnTreeDocument document;
    document.LoadVarnFile(std::string(VT_SOURCE_DIR) + "/examples/" + GetParam());
    ASSERT_NE(document.VarnRoot(), nullptr);
    if (styled) Style(document);
    const std::string path = PathOf("example.vrt");
    document.SaveTreeDocument(path);

    TVarnTreeDocument loaded;
    loaded.LoadVarnTreeFile(path);
    EXPECT_EQ(Describe(loaded), Describe(document)) << (styled ? "styled" : "plain");
    EXPECT_EQ(SavedLines(loaded), SavedLines(document)) << (styled ? "styled" : "plain");
  }
}

INSTANTIATE_TEST_SUITE_P(Models, ExamplesTest, ::testing::ValuesIn(ExampleModels()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return fs::path(info.param).stem().string();
                         });

}  // namespace
}  // namespace vt::test
