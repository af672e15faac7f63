#include "picture/VarnTreeDrawer.h"

#include <gtest/gtest.h>

#include "PictureFixture.h"

namespace vt::test {
namespace {

struct OrientationCase {
  TTreeOrientation Orientation;
  int HS, VS, BoxWidth, BoxHeight;
  TPoint Origin;  // PosPoint (0, 0)
  TPoint Corner;  // PosPoint (200, 100)
};

// A placed tree of XS 200 and YS 100 inside the border (10, 20, 30, 40).
TEST(VarnTreeDrawerTest, BoxAndPicturePointsInEveryOrientation) {
  const OrientationCase cases[] = {
      {oTopDown, 200, 100, 240, 160, {10, 20}, {210, 120}},
      {oLeftRight, 100, 200, 140, 260, {10, 220}, {110, 20}},
      {oBottomUp, 200, 100, 240, 160, {210, 120}, {10, 20}},
      {oRightLeft, 100, 200, 140, 260, {110, 20}, {10, 220}},
  };
  for (const OrientationCase& c : cases) {
    TPictureOwner owner;
    const bool across = c.Orientation == oLeftRight || c.Orientation == oRightLeft;
    TNodeFormat* all = owner.Classes->Formats();
    const int width = across ? 100 : 200;
    const int height = across ? 200 : 100;
    all->SetMinWidth(width);
    all->SetMaxWidth(width);
    all->SetMinHeight(height);
    all->SetMaxHeight(height);
    owner.SetRoot("root");
    owner.Drawer->SetOrientation(c.Orientation);
    owner.Drawer->SetBorder(TRect(10, 20, 30, 40));
    owner.Drawer->Place();
    ASSERT_EQ(owner.Drawer->XS(), 200) << c.Orientation;
    ASSERT_EQ(owner.Drawer->YS(), 100) << c.Orientation;
    EXPECT_EQ(owner.Drawer->HS(), c.HS) << c.Orientation;
    EXPECT_EQ(owner.Drawer->VS(), c.VS) << c.Orientation;
    EXPECT_EQ(owner.Drawer->BoxWidth(), c.BoxWidth) << c.Orientation;
    EXPECT_EQ(owner.Drawer->BoxHeight(), c.BoxHeight) << c.Orientation;
    EXPECT_EQ(owner.Drawer->PosPoint(0, 0), c.Origin) << c.Orientation;
    EXPECT_EQ(owner.Drawer->PosPoint(200, 100), c.Corner) << c.Orientation;
    int px = 0, py = 0;
    owner.Drawer->PosPoint(200, 100, px, py);
    EXPECT_EQ(TPoint(px, py), c.Corner);
    // The single node fills the box inside the border.
    EXPECT_EQ(owner.Drawer->VarnRoot()->NodeRect(), TRect(10, 20, 10 + c.HS, 20 + c.VS)) << c.Orientation;
  }
}

TEST(VarnTreeDrawerTest, DefaultsAndAnOrientationOutsideTheEnumeration) {
  TVarnTreeDrawer drawer;
  EXPECT_EQ(drawer.Border(), TRect());
  EXPECT_EQ(drawer.HS(), 0);
  EXPECT_EQ(drawer.VS(), 0);
  EXPECT_EQ(drawer.Context().FormatClasses, nullptr);
  EXPECT_EQ(drawer.Context().Measurer, nullptr);
  drawer.SetBorder(TRect(3, 4, 5, 6));
  EXPECT_FALSE(drawer.ModifiedNodes());
  EXPECT_FALSE(drawer.ModifiedStructure());
  drawer.SetOrientation(static_cast<TTreeOrientation>(7));
  EXPECT_EQ(drawer.PosPoint(50, 60), TPoint(3, 4));
}

TEST(VarnTreeDrawerTest, EmptyDrawerPlacesNothing) {
  TPictureOwner owner;
  owner.Drawer->SetBorder(TRect(1, 2, 3, 4));
  owner.Drawer->Place();
  EXPECT_EQ(owner.Drawer->VarnRoot(), nullptr);
  EXPECT_EQ(owner.Drawer->HS(), 0);
  EXPECT_EQ(owner.Drawer->VS(), 0);
  EXPECT_EQ(owner.Drawer->BoxWidth(), 4);
  EXPECT_EQ(owner.Drawer->BoxHeight(), 6);
}

TEST(VarnTreeDrawerTest, PlaceMeasuresEveryNodeAfresh) {
  TPictureOwner owner;
  owner.Classes->Formats()->SetTextWrap(false);
  TVarnNode* root = owner.SetRoot("root", "aggregate");
  TVarnNode* a = owner.Add(root, "a", "aggregate");
  TVarnNode* a1 = owner.Add(a, "a1", "basic");
  TVarnNode* b = owner.Add(root, "b", "basic");
  owner.Drawer->Place();
  for (TVarnNode* node : {root, a, a1, b}) EXPECT_TRUE(node->Measured());
  EXPECT_EQ(a1->Width(), 50);

  // Text and formats changed after placing: the stored sizes stay until the
  // next placement, which measures every node again.
  for (TVarnNode* node : {root, a, a1, b}) node->SetText(std::string(20, 'x'));
  owner.Format("basic")->SetMaxWidth(100);
  EXPECT_EQ(a1->TextWidth(), 16);
  owner.Drawer->Place();
  for (TVarnNode* node : {root, a, a1, b}) EXPECT_EQ(node->TextWidth(), 160);
  EXPECT_EQ(a1->Width(), 100);
  EXPECT_EQ(b->Width(), 100);
  EXPECT_EQ(root->Width(), 150);
}

TEST(VarnTreeDrawerTest, PlacesWithEveryMethod) {
  // Two terminal children of 50 pixels, 20 apart, centred under the root.
  for (TTreeDrawMethod method : {dmBottomUp, dmWalker, dmQP}) {
    TPictureOwner owner;
    owner.Drawer->SetDrawMethod(method);
    owner.Drawer->SetNodeSeparation(20);
    owner.Drawer->SetLevelSeparation(60);
    TVarnNode* root = owner.SetRoot("root");
    TVarnNode* a = owner.Add(root, "a");
    TVarnNode* b = owner.Add(root, "b");
    owner.Drawer->Place();
    EXPECT_EQ(owner.Drawer->HS(), 120) << method;
    EXPECT_EQ(owner.Drawer->VS(), 82) << method;  // 11 + 60 + 11
    EXPECT_EQ(a->NodeRect(), TRect(0, 60, 50, 82)) << method;
    EXPECT_EQ(b->NodeRect(), TRect(70, 60, 120, 82)) << method;
    EXPECT_EQ(root->NodeRect(), TRect(35, 0, 85, 22)) << method;
    EXPECT_EQ(a->UpPoint(), TPoint(25, 60)) << method;
    EXPECT_EQ(root->DownPoint(), TPoint(60, 22)) << method;
  }
}

TEST(VarnTreeDrawerTest, RootOfAnotherClassIsAnInvalidCast) {
  TPictureOwner owner;
  owner.Drawer->SetRoot(new TTreeDrawNode());
  EXPECT_THROW_MSG(owner.Drawer->VarnRoot(), EInvalidCast, "Invalid class typecast");
  // Placing does not need the conversion: bare nodes are placed as they are.
  owner.Drawer->Root()->AddChild(new TVarnNode("picture", owner.Drawer.get()));
  owner.Drawer->Place();
  EXPECT_EQ(owner.Drawer->HS(), 66);  // 5 + 56 + 5
}

}  // namespace
}  // namespace vt::test
