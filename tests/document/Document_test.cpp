// The document itself: its state at start, replacing the format classes
// under a tree, placing with a measurer, and releasing everything in an
// order the formats survive.
#include <gtest/gtest.h>

#include "DocumentTestUtil.h"

namespace vt::test {
namespace {

TEST(DocumentTest, ANewDocumentDrawsAsTheWindowDoesAtStart) {
  TVarnTreeDocument document;
  EXPECT_EQ(DescribeParameters(document),
            "method 1 orientation 0 border 0 0 0 0 stretch 1 1 sep 20 60 20 mirror 0 0 levels 1 parents 1 "
            "terminals 0 offset 0 0 background FFFFFF");
  const TNodeFormat& all = *document.Formats();
  ASSERT_EQ(all.ChildCount(), 3);
  EXPECT_EQ(all.FormatClass(), "all");
  EXPECT_EQ(all.GetChild(0)->FormatClass(), "basic");
  EXPECT_EQ(all.GetChild(1)->FormatClass(), "aggregate");
  EXPECT_EQ(all.GetChild(2)->FormatClass(), "link");
  EXPECT_EQ(document.GetClassFormat("Aggregate"), &all);
  EXPECT_EQ(document.FindFormat("aggregate"), all.GetChild(1));
  EXPECT_EQ(all.Font(), TNodeFormat::StartupFont());
  EXPECT_EQ(document.VarnRoot(), nullptr);
  EXPECT_FALSE(document.HasPicture());
  EXPECT_EQ(document.LoadFileName() + document.SaveFileName(), "");
  EXPECT_FALSE(document.FileModified());
}

TEST(DocumentTest, NewParentlessFormatsTakeTheDefaultNodeFont) {
  TVarnTreeDocument document;
  const TFont font("Tahoma", 11, clWindowText, {}, EASTEUROPE_CHARSET);
  document.SetDefaultNodeFont(font);
  document.SetDefaultFormats();
  EXPECT_EQ(document.Formats()->Font(), font);
  document.CreateSampleTree();
  document.VarnRoot()->SetNodeClass("");
  EXPECT_EQ(document.VarnRoot()->Font(), font);
}

// The tree moves over to the new classes before the old ones go: class
// nodes share the new classes, individual formats hang below them.
TEST(DocumentTest, DefaultFormatsReplaceTheClassesUnderATree) {
  TVarnTreeDocument document;
  document.LoadVarnFile(DataFile("car.vrn"));
  document.FindFormat("basic")->SetMaxWidth(77);
  auto* own = static_cast<TVarnNode*>(document.VarnRoot()->AddChild(new TVarnNode("Own")));
  own->SetNodeClass("basic");
  own->SetNodeClass("");
  document.SetDefaultFormats();
  const TVarnNode* price = static_cast<TVarnNode*>(document.VarnRoot()->Item(0));
  EXPECT_EQ(price->NodeFormat(), document.FindFormat("basic"));
  EXPECT_EQ(own->NodeFormat()->Parent(), document.FindFormat("basic"));
  EXPECT_EQ(own->MaxWidth(), 150);
  EXPECT_EQ(document.FindFormat("basic")->ChildCount(), 1);
}

TEST(DocumentTest, TheTreePlacesWithTheDocumentsMeasurer) {
  TFakeMeasurer measurer(8, 16, false);
  TVarnTreeDocument document(&measurer);
  EXPECT_EQ(document.Measurer(), &measurer);
  document.LoadVarnFile(DataFile("car.vrn"));
  document.TreeDrawer().Place();
  // Two nodes of the minimum width 50 and 16 + 3 + 3 high, their level
  // lines 60 apart.
  EXPECT_EQ(document.TreeDrawer().BoxWidth(), 50);
  EXPECT_EQ(document.TreeDrawer().BoxHeight(), 11 + 60 + 11);
}

// The picture follows the tree: none before a tree exists, the box of the
// placed tree with the load name as its description, the previous picture
// kept without a tree, and none after a failed placement.
TEST(DocumentTest, DrawTreeKeepsTheLastGoodPicture) {
  TFakeMeasurer measurer(8, 16, false);
  TVarnTreeDocument document(&measurer);
  document.DrawTree();
  EXPECT_FALSE(document.HasPicture());

  document.LoadVarnFile(DataFile("car.vrn"));
  document.DrawTree();
  ASSERT_TRUE(document.HasPicture());
  EXPECT_EQ(document.MetaFile()->Width(), 50);
  EXPECT_EQ(document.MetaFile()->Height(), 11 + 60 + 11);
  EXPECT_EQ(document.MetaFile()->PictureName(), document.LoadFileName());

  document.SetMeasurer(nullptr);
  EXPECT_THROW(document.DrawTree(), EDocumentError);
  EXPECT_FALSE(document.HasPicture());
}

// Loading over a tree with individual formats, regenerating and destroying
// the document leave nothing behind (the sanitizer build checks).
TEST(DocumentTest, TreesAndFormatsAreReleasedInEveryOrder) {
  auto document = std::make_unique<TVarnTreeDocument>();
  document->LoadVarnFile(DataFile("car.vrn"));
  static_cast<TVarnNode*>(document->VarnRoot()->Item(0))->SetNodeClass("");
  document->CreateSampleTree();
  document->VarnRoot()->SetNodeClass("");
  document->SetDefaultFormats();
  document->VarnRoot()->Item(0)->AddChild(new TVarnNode("extra"));
  static_cast<TVarnNode*>(document->VarnRoot()->Item(0)->Item(2))->SetNodeClass("");
  document.reset();
}

}  // namespace
}  // namespace vt::test
