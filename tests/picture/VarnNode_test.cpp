#include "picture/VarnNode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "PictureFixture.h"
#include "foundation/Lists.h"

namespace vt::test {
namespace {

std::vector<std::string> Lines(const TVarnNode& N) {
  std::vector<std::string> lines;
  for (int i = 0; i < N.LineCount(); ++i) lines.push_back(N.GetLine(i));
  return lines;
}

class VarnNodeTest : public ::testing::Test {
 protected:
  TPictureOwner Owner;
  TNodeFormat* All() const { return Owner.Classes->Formats(); }
};

// ---------------------------------------------------------------------------
// Wrapping

struct WrapCase {
  const char* Text;
  int MaxWidth;
  std::vector<std::string> Lines;
  int TextWidth;
};

// Every character 8 pixels wide.
TEST_F(VarnNodeTest, WrapsAtTheLastSpaceOrBeforeTheLastCharacterThatFits) {
  const WrapCase cases[] = {
      // fits: one line however many spaces
      {"a b c d", 150, {"a b c d"}, 56},
      {"exactly", 56, {"exactly"}, 56},
      // "Price of" (64) fits, "Price of c" (80) does not
      {"Price of car", 70, {"Price of", "car"}, 64},
      {"Price of car", 75, {"Price of", "car"}, 64},
      // a long word: one character fewer than the longest prefix that fits
      {"abcdefghij", 30, {"ab", "cd", "ef", "gh", "ij"}, 16},
      {"abcdefghij", 24, {"ab", "cd", "ef", "gh", "ij"}, 16},
      {"abcdefghij", 16, {"a", "b", "c", "d", "e", "f", "g", "h", "ij"}, 16},  // "ij" fits
      // the first two characters do not fit: no break at all
      {"abc def", 10, {"abc def"}, 56},
      {"abc def", -5, {"abc def"}, 56},
      // a space at the second position still counts where nothing fits
      {"a bcd", 10, {"a", "bcd"}, 24},
      // only the space at the break is dropped
      {"ab  cd", 20, {"ab", " ", "cd"}, 16},
      {"ab  cd", 32, {"ab ", "cd"}, 24},
      // characters, not bytes: each of these is 8 pixels
      {"ščž ščž", 40, {"ščž", "ščž"}, 24},
      {"Äöü Čebula", 48, {"Äöü", "Čebula"}, 48},
      {"a😀b😀c😀d", 24, {"a😀", "b😀", "c😀d"}, 24},
      // empty text: no lines
      {"", 150, {}, 0},
  };
  TVarnNode* node = Owner.SetRoot("");
  for (const WrapCase& c : cases) {
    All()->SetMaxWidth(c.MaxWidth);
    node->SetText(c.Text);
    node->Clear();
    EXPECT_EQ(Lines(*node), c.Lines) << c.Text << " in " << c.MaxWidth;
    EXPECT_EQ(node->TextWidth(), c.TextWidth) << c.Text << " in " << c.MaxWidth;
  }
}

TEST_F(VarnNodeTest, WrapsWithCharactersOfTheirOwnWidths) {
  // a and b wide, the rest narrow: "ab " does not fit where " cd" does.
  TTableMeasurer table;
  table.Widths = {{U'a', 10}, {U'b', 10}, {U' ', 5}, {U'c', 5}, {U'd', 5}};
  Owner.Drawer->SetMeasurer(&table);
  TVarnNode* node = Owner.SetRoot("ab  cd");
  const std::pair<int, std::vector<std::string>> cases[] = {
      {22, {"ab", " cd"}},  // "ab" fits, "ab " does not
      {32, {"ab ", "cd"}},  // "ab  " fits, "ab  c" does not
  };
  for (const auto& [maxWidth, lines] : cases) {
    All()->SetMaxWidth(maxWidth);
    node->Clear();
    EXPECT_EQ(Lines(*node), lines) << maxWidth;
  }
}

// A measurer whose advances do not line up with the characters.
class TBrokenAdvances : public TFakeMeasurer {
 public:
  using TFakeMeasurer::TFakeMeasurer;
  std::vector<int> CharAdvances(const TFont&, std::string_view) const override { return {}; }
};

TEST_F(VarnNodeTest, WrapsTheSameWhenAdvancesAreUnusable) {
  TBrokenAdvances broken(8, 16, false);
  Owner.Drawer->SetMeasurer(&broken);
  All()->SetMaxWidth(70);
  TVarnNode* node = Owner.SetRoot("Price of car");
  EXPECT_EQ(Lines(*node), (std::vector<std::string>{"Price of", "car"}));
}

// The wrapping loop as written, measuring every prefix as a string of its
// own.
std::vector<std::string> ReferenceWrap(const TTextMeasurer& M, const TFont& F, const std::string& Text,
                                       double MaxWidth, int& TextWidth) {
  std::vector<std::string> lines;
  TextWidth = 0;
  std::u32string s = Utf8ToUtf32(Text);
  while (!s.empty()) {
    const int w = M.TextWidth(F, Utf32ToUtf8(s));
    int space = -1;
    int fit = -1;
    if (w > MaxWidth) {
      for (int i = 2; i <= static_cast<int>(s.size()); ++i) {
        if (s[static_cast<size_t>(i - 1)] == U' ') space = i;
        if (M.TextWidth(F, Utf32ToUtf8(s.substr(0, static_cast<size_t>(i)))) > MaxWidth) break;
        fit = i;
      }
    }
    std::u32string line;
    if (space > 1) {
      line = s.substr(0, static_cast<size_t>(space - 1));
      s = s.substr(static_cast<size_t>(space));
    } else if (fit > 1) {
      line = s.substr(0, static_cast<size_t>(fit - 1));
      s = s.substr(static_cast<size_t>(fit - 1));
    } else {
      line = s;
      s.clear();
    }
    lines.push_back(Utf32ToUtf8(line));
    TextWidth = std::max(TextWidth, M.TextWidth(F, lines.back()));
  }
  return lines;
}

TEST_F(VarnNodeTest, WrapsLikeMeasuringEveryPrefixOnRandomTexts) {
  TTableMeasurer table;
  table.Widths = {{U' ', 3}, {U'i', 2}, {U'm', 12}, {U'č', 7}, {U'😀', 16}, {U'W', 14}};
  Owner.Drawer->SetMeasurer(&table);
  const std::u32string alphabet = U"  aimčW😀x";
  std::mt19937 random(20261210);
  TVarnNode* node = Owner.SetRoot("");
  // Every fifth text is long, with lines up to a few thousand pixels, so
  // that a line's break lies beyond the first stretch of the text measured.
  for (int round = 0; round < 600; ++round) {
    const bool longText = round % 5 == 0;
    std::u32string text;
    const size_t length = random() % (longText ? 3000 : 40);
    for (size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    const int maxWidth = static_cast<int>(random() % (longText ? 8000 : 120)) - 5;
    All()->SetMaxWidth(maxWidth);
    node->SetText(Utf32ToUtf8(text));
    node->Clear();
    int width = 0;
    const auto expected = ReferenceWrap(table, node->Font(), node->FullText(), maxWidth, width);
    ASSERT_EQ(Lines(*node), expected) << node->FullText() << " in " << maxWidth;
    ASSERT_EQ(node->TextWidth(), width) << node->FullText() << " in " << maxWidth;
  }
}

TEST_F(VarnNodeTest, WithoutWrappingTheTextIsOneLine) {
  All()->SetTextWrap(false);
  All()->SetMaxWidth(20);
  TVarnNode* node = Owner.SetRoot("Price of car");
  EXPECT_EQ(Lines(*node), (std::vector<std::string>{"Price of car"}));
  EXPECT_EQ(node->TextWidth(), 96);
  node->SetText("");
  node->Clear();
  EXPECT_EQ(Lines(*node), (std::vector<std::string>{""}));
  EXPECT_EQ(node->TextWidth(), 0);
}

TEST_F(VarnNodeTest, MeasuresOnceUntilCleared) {
  TVarnNode* node = Owner.SetRoot("abc");
  EXPECT_FALSE(node->Measured());
  EXPECT_EQ(node->TextWidth(), -1);
  EXPECT_EQ(node->TextHeight(), -1);
  EXPECT_EQ(node->LineHeight(), -1);
  EXPECT_EQ(node->LineCount(), 1);
  EXPECT_EQ(node->TextWidth(), 24);
  node->SetText("abcdef");  // not re-measured until cleared
  EXPECT_EQ(node->Width(), 50);
  EXPECT_EQ(node->TextWidth(), 24);
  node->Clear();
  EXPECT_FALSE(node->Measured());
  EXPECT_EQ(node->TextWidth(), -1);
  EXPECT_EQ(node->LineCount(), 1);
  EXPECT_EQ(node->TextWidth(), 48);
}

TEST_F(VarnNodeTest, GetLineOutsideTheLinesIsAListIndexError) {
  TVarnNode* node = Owner.SetRoot("abc");
  EXPECT_EQ(node->GetLine(0), "abc");
  EXPECT_THROW_MSG(node->GetLine(1), EListError, "List index out of bounds (1)");
  EXPECT_THROW_MSG(node->GetLine(-1), EListError, "List index out of bounds (-1)");
}

struct HeightCase {
  const char* Text;
  bool Wrap;
  int LineHeight;
  double LineSpacing;
  int Lines;
  int TextHeight;
};

TEST_F(VarnNodeTest, TextHeightFromLinesSpacingAndLineHeight) {
  const HeightCase cases[] = {
      {"", true, 16, 1.0, 0, 0},      // -16 + 16 + 0.5
      {"", true, 16, 1.5, 0, 0},      // no lines, no height, not -24 + 16 + 0.5
      {"", true, 16, 0.5, 0, 0},      // nor -8 + 16 + 0.5
      {"", false, 16, 1.5, 1, 16},    // one empty line
      {"", false, 16, 1.0, 1, 16},    // 16.5
      {"abc", true, 15, 1.0, 1, 16},  // 15.5
      {"abc", true, 16, 1.0, 1, 16},
      {"aaaa bbbb cccc", true, 16, 1.5, 3, 64},  // 48 + 16 + 0.5
      {"aaaa bbbb cccc", true, 16, 1.0, 3, 48},  // 48.5
      {"aaaa bbbb", true, 15, 1.1, 2, 32},       // 16.5 + 15 + 0.5
  };
  All()->SetMaxWidth(40);
  TVarnNode* node = Owner.SetRoot("");
  for (const HeightCase& c : cases) {
    All()->SetTextWrap(c.Wrap);
    All()->SetLineSpacing(c.LineSpacing);
    Owner.Measurer.SetLineHeight(c.LineHeight);
    node->SetText(c.Text);
    node->Clear();
    EXPECT_EQ(node->LineCount(), c.Lines) << c.Text;
    EXPECT_EQ(node->LineHeight(), c.LineHeight) << c.Text;
    EXPECT_EQ(node->TextHeight(), c.TextHeight) << c.Text << " " << c.LineSpacing;
  }
}

TEST_F(VarnNodeTest, MeasuresInTheNodesFont) {
  Owner.Measurer.SetScaleWithSize(true);
  TVarnNode* node = Owner.SetRoot("abcd", "basic");
  TFont big = node->Font();
  big.SetSize(20);
  Owner.Format("basic")->SetFont(big);
  EXPECT_EQ(node->LineCount(), 1);
  EXPECT_EQ(node->TextWidth(), 64);
  EXPECT_EQ(node->LineHeight(), 32);
  EXPECT_EQ(node->MeasureWidth("ab"), 32);
}

// ---------------------------------------------------------------------------
// Text and trimming

TEST_F(VarnNodeTest, TextIsCutToTheTrimLength) {
  const std::pair<int, const char*> cases[] = {
      {-1, "Quality"}, {0, ""}, {5, "Quali"}, {7, "Quality"}, {20, "Quality"}};
  TVarnNode* node = Owner.SetRoot("Quality");
  for (const auto& [trim, text] : cases) {
    All()->SetTextTrim(trim);
    EXPECT_EQ(node->Text(), text) << trim;
    EXPECT_EQ(node->FullText(), "Quality");
  }
  node->SetText("Čebelarstvo");
  All()->SetTextTrim(3);
  EXPECT_EQ(node->Text(), "Čeb");
  node->Clear();
  EXPECT_EQ(node->TextWidth(), -1);
  EXPECT_EQ(Lines(*node), (std::vector<std::string>{"Čeb"}));
}

TEST_F(VarnNodeTest, NodeWithoutFormatClassesShowsItsWholeText) {
  TVarnNode node("Quality");
  EXPECT_EQ(node.Text(), "Quality");
  EXPECT_EQ(node.NodeClass(), "all");
}

// ---------------------------------------------------------------------------
// Sizes

struct WidthCase {
  int MinWidth;
  int MaxWidth;
  int Characters;  // 10 pixels each
  double Width;
};

TEST_F(VarnNodeTest, WidthIsTheBorderedTextWidthWithinTheLimits) {
  const WidthCase cases[] = {
      {50, 150, 2, 50},                         // 5 + 20 + 5 below the minimum
      {50, 150, 20, 150},                       // 210 above the maximum
      {50, 150, 9, 100},   {300, 100, 2, 300},  // the minimum is tested first
      {300, 100, 40, 100},
  };
  Owner.Measurer.SetCharWidth(10);
  All()->SetTextWrap(false);
  TVarnNode* node = Owner.SetRoot("");
  for (const WidthCase& c : cases) {
    All()->SetMinWidth(c.MinWidth);
    All()->SetMaxWidth(c.MaxWidth);
    node->SetText(std::string(static_cast<size_t>(c.Characters), 'x'));
    node->Clear();
    EXPECT_EQ(node->Width(), c.Width) << c.MinWidth << " " << c.MaxWidth << " " << c.Characters;
  }
}

TEST_F(VarnNodeTest, HeightIsTheBorderedTextHeightWithinTheLimits) {
  TVarnNode* node = Owner.SetRoot("abc");
  EXPECT_EQ(node->Height(), 22);  // 3 + 16 + 3
  All()->SetMinHeight(40);
  node->Clear();
  EXPECT_EQ(node->Height(), 40);
  All()->SetMinHeight(10);
  All()->SetMaxHeight(20);
  EXPECT_EQ(node->Height(), 20);
}

struct SideCase {
  TTreeOrientation Orientation;
  TAlignment Align;
  double LeftWidth;
  double TopHeight;
};

TEST_F(VarnNodeTest, NodeAlignPlacesTheReferencePointAcrossTheLevel) {
  const SideCase cases[] = {
      {oTopDown, taLeftJustify, 30, 0},     {oTopDown, taRightJustify, 30, 30},
      {oTopDown, taCenter, 30, 15},         {oBottomUp, taLeftJustify, 30, 0},
      {oBottomUp, taRightJustify, 30, 30},  {oBottomUp, taCenter, 30, 15},
      {oLeftRight, taLeftJustify, 0, 15},   {oLeftRight, taRightJustify, 60, 15},
      {oLeftRight, taCenter, 30, 15},       {oRightLeft, taLeftJustify, 0, 15},
      {oRightLeft, taRightJustify, 60, 15}, {oRightLeft, taCenter, 30, 15},
  };
  All()->SetMinWidth(60);
  All()->SetMaxWidth(60);
  All()->SetMinHeight(30);
  All()->SetMaxHeight(30);
  TVarnNode* node = Owner.SetRoot("abc");
  for (const SideCase& c : cases) {
    Owner.Drawer->SetOrientation(c.Orientation);
    All()->SetNodeAlign(c.Align);
    EXPECT_EQ(node->LeftWidth(), c.LeftWidth) << c.Orientation << " " << int(c.Align);
    EXPECT_EQ(node->RightWidth(), 60 - c.LeftWidth) << c.Orientation << " " << int(c.Align);
    EXPECT_EQ(node->TopHeight(), c.TopHeight) << c.Orientation << " " << int(c.Align);
    EXPECT_EQ(node->BottomHeight(), 30 - c.TopHeight) << c.Orientation << " " << int(c.Align);
  }
}

// ---------------------------------------------------------------------------
// Rectangle and anchors

// A root of the given size, placed so that its rectangle starts at the
// drawer's border in every orientation. Even sizes keep the extents exact.
TVarnNode* PlacedRoot(TPictureOwner& AOwner, TTreeOrientation AOrientation, int AWidth, int AHeight) {
  TNodeFormat* all = AOwner.Classes->Formats();
  all->SetMinWidth(AWidth);
  all->SetMaxWidth(AWidth);
  all->SetMinHeight(AHeight);
  all->SetMaxHeight(AHeight);
  TVarnNode* root = AOwner.SetRoot("node");
  AOwner.Drawer->SetOrientation(AOrientation);
  AOwner.Drawer->SetBorder(TRect(100, 40, 7, 9));
  AOwner.Drawer->Place();
  return root;
}

TEST_F(VarnNodeTest, NodeRectRoundsEachExtentOnItsOwn) {
  const std::pair<int, TRect> cases[] = {
      {101, TRect(150, 0, 250, 30)},  // 50.5 and 50.5 both become 50
      {103, TRect(148, 0, 252, 30)},  // 51.5 becomes 52
      {100, TRect(150, 0, 250, 30)},
  };
  for (const auto& [width, rect] : cases) {
    All()->SetMinWidth(width);
    All()->SetMaxWidth(width);
    All()->SetMinHeight(30);
    All()->SetMaxHeight(30);
    TVarnNode* root = Owner.SetRoot("node");
    Owner.Drawer->SetXOffset(200 - width / 2.0);  // the reference point at x 200
    EXPECT_EQ(root->X(), 200) << width;
    EXPECT_EQ(root->NodePoint(), TPoint(200, 15)) << width;
    EXPECT_EQ(root->NodeRect(), rect) << width;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    root->NodeRect(x0, y0, x1, y1);
    EXPECT_EQ(TRect(x0, y0, x1, y1), rect);
  }
}

struct AnchorCase {
  TTreeOrientation Orientation;
  TAnchor Anchor;
  TPoint Point;
};

TEST_F(VarnNodeTest, AnchorPointsInEveryOrientation) {
  // Node rectangle (100, 40)-(160, 70) in every orientation.
  const AnchorCase cases[] = {
      {oTopDown, {50, 0, Uperc, Uperc}, {130, 40}},
      {oTopDown, {50, 100, Uperc, Uperc}, {130, 70}},
      {oTopDown, {7, 4, Upix, Upix}, {107, 44}},
      {oTopDown, {50, 15, Uperc, Uperc}, {130, 44}},  // 4.5 gives 4
      {oTopDown, {50, 5, Uperc, Uperc}, {130, 42}},   // 1.5 gives 2
      {oLeftRight, {50, 0, Uperc, Uperc}, {100, 55}},
      {oLeftRight, {50, 100, Uperc, Uperc}, {160, 55}},
      {oLeftRight, {7, 4, Upix, Upix}, {104, 63}},
      {oBottomUp, {50, 0, Uperc, Uperc}, {130, 70}},
      {oBottomUp, {50, 100, Uperc, Uperc}, {130, 40}},
      {oBottomUp, {7, 4, Upix, Upix}, {153, 66}},
      {oBottomUp, {50, 15, Uperc, Uperc}, {130, 66}},  // 40 + 25.5 gives 66
      {oRightLeft, {50, 0, Uperc, Uperc}, {160, 55}},
      {oRightLeft, {50, 100, Uperc, Uperc}, {100, 55}},
      {oRightLeft, {0, 10, Upix, Upix}, {150, 40}},  // 10 inside the right edge
      {oRightLeft, {7, 4, Upix, Uperc}, {158, 47}},  // mixed units
  };
  for (const AnchorCase& c : cases) {
    const bool across = c.Orientation == oLeftRight || c.Orientation == oRightLeft;
    TVarnNode* root = PlacedRoot(Owner, c.Orientation, 60, 30);
    ASSERT_EQ(root->NodeRect(), TRect(100, 40, 160, 70)) << c.Orientation << (across ? " across" : "");
    EXPECT_EQ(root->AnchorPoint(c.Anchor), c.Point)
        << c.Orientation << " " << c.Anchor.X << "," << c.Anchor.Y;
    int ax = 0, ay = 0;
    root->AnchorPoint(c.Anchor, ax, ay);
    EXPECT_EQ(TPoint(ax, ay), c.Point);
  }
}

struct OddAnchorCase {
  TTreeOrientation Orientation;
  int Width, Height;
  TRect Rect;
  TPoint Point;  // of the anchor (50 %, 50 %)
};

TEST_F(VarnNodeTest, ReversedPercentagesRoundTheShareFromTheLowEdge) {
  // Nodes hanging from their level line have odd extents across the level:
  // 31 x 50 % = 15.5 gives 16 from the top or left edge, reversed or not.
  // (The tree's extent of 31.5 gives 32, so the turned pictures start a
  // pixel further in.)
  const OddAnchorCase cases[] = {
      {oTopDown, 60, 31, TRect(100, 40, 160, 71), {130, 56}},
      {oBottomUp, 60, 31, TRect(100, 41, 160, 72), {130, 57}},
      {oLeftRight, 31, 30, TRect(100, 40, 131, 70), {116, 55}},
      {oRightLeft, 31, 30, TRect(101, 40, 132, 70), {117, 55}},
  };
  All()->SetNodeAlign(taLeftJustify);
  for (const OddAnchorCase& c : cases) {
    TVarnNode* root = PlacedRoot(Owner, c.Orientation, c.Width, c.Height);
    ASSERT_EQ(root->NodeRect(), c.Rect) << c.Orientation;
    EXPECT_EQ(root->AnchorPoint({50, 50, Uperc, Uperc}), c.Point) << c.Orientation;
  }
}

TEST_F(VarnNodeTest, DefaultAnchorsMeetTheSidesFacingParentAndChildren) {
  const std::tuple<TTreeOrientation, TPoint, TPoint> cases[] = {
      {oTopDown, {130, 40}, {130, 70}},
      {oLeftRight, {100, 55}, {160, 55}},
      {oBottomUp, {130, 70}, {130, 40}},
      {oRightLeft, {160, 55}, {100, 55}},
  };
  for (const auto& [orientation, up, down] : cases) {
    TVarnNode* root = PlacedRoot(Owner, orientation, 60, 30);
    EXPECT_EQ(root->UpPoint(), up) << orientation;
    EXPECT_EQ(root->DownPoint(), down) << orientation;
    int x = 0, y = 0;
    root->UpPoint(x, y);
    EXPECT_EQ(TPoint(x, y), up);
    root->DownPoint(x, y);
    EXPECT_EQ(TPoint(x, y), down);
  }
}

TEST_F(VarnNodeTest, TopAlignedNodeHangsBelowItsLevelLine) {
  All()->SetNodeAlign(taLeftJustify);
  TVarnNode* root = PlacedRoot(Owner, oTopDown, 60, 30);
  EXPECT_EQ(root->TopHeight(), 0);
  EXPECT_EQ(root->NodePoint(), TPoint(130, 40));
  EXPECT_EQ(root->NodeRect(), TRect(100, 40, 160, 70));
  root = PlacedRoot(Owner, oLeftRight, 60, 30);
  EXPECT_EQ(root->LeftWidth(), 0);
  EXPECT_EQ(root->NodePoint(), TPoint(100, 55));
  EXPECT_EQ(root->NodeRect(), TRect(100, 40, 160, 70));
}

// ---------------------------------------------------------------------------
// Node classes and formats

TEST_F(VarnNodeTest, NodeClassSharesOrCopiesClassFormats) {
  TNodeFormat* basic = Owner.Format("basic");
  TNodeFormat* link = Owner.Format("link");
  basic->SetMaxWidth(123);
  TVarnNode* node = Owner.SetRoot("n");
  EXPECT_EQ(node->NodeClass(), "all");
  EXPECT_EQ(node->NodeFormat(), All());

  node->SetNodeClass("basic");
  EXPECT_EQ(node->NodeClass(), "basic");
  EXPECT_EQ(node->NodeFormat(), basic);

  node->SetNodeClass("");  // an individual copy of "basic"
  TNodeFormat* own = node->NodeFormat();
  EXPECT_EQ(node->NodeClass(), "");
  EXPECT_EQ(own->Parent(), basic);
  EXPECT_EQ(own->MaxWidth(), 123);
  EXPECT_TRUE(own->OwnedByNode());
  basic->SetMaxWidth(124);
  EXPECT_EQ(node->MaxWidth(), 124);

  node->SetNodeClass("");  // a fresh format with the defaults and no parent
  EXPECT_EQ(basic->ChildCount(), 0);
  EXPECT_EQ(node->NodeFormat()->Parent(), nullptr);
  EXPECT_EQ(node->MaxWidth(), 150);

  node->SetNodeClass("link");
  EXPECT_EQ(node->NodeFormat(), link);

  node->SetNodeClass("no such class");
  EXPECT_EQ(node->NodeFormat(), All());
  EXPECT_EQ(node->NodeClass(), "all");
}

TEST_F(VarnNodeTest, FreshIndividualFormatTakesTheDefaultFont) {
  const TFont font("Tahoma", 12);
  Owner.Classes->SetDefaultFont(font);
  TVarnNode* node = Owner.SetRoot("n");
  node->SetNodeClass("");
  EXPECT_EQ(node->Font(), font);
  EXPECT_EQ(node->NodeFormat()->Parent(), nullptr);
}

TEST_F(VarnNodeTest, FormatValuesComeFromTheNodeFormat) {
  TNodeFormat* basic = Owner.Format("basic");
  basic->SetUpAnchor({1, 2, Upix, Upix});
  basic->SetDownAnchor({3, 4, Upix, Uperc});
  basic->SetRoundEdge({5, 6, Uperc, Upix});
  basic->SetLinePen(TPen(clRed, 2));
  basic->SetNodePen(TPen(clBlue, 3));
  basic->SetNodeBrush(TBrush(clLime, bsCross));
  basic->SetShape(stEllipse);
  basic->SetTextBorder(TRect(1, 2, 3, 4));
  basic->SetTextClip(true);
  basic->SetTextXAlign(taLeftJustify);
  basic->SetTextYAlign(taRightJustify);
  basic->SetMinHeight(7);
  basic->SetMaxHeight(8);
  TVarnNode* node = Owner.SetRoot("n", "basic");
  EXPECT_TRUE(AnchorEqual(node->UpAnchor(), basic->UpAnchor()));
  EXPECT_TRUE(AnchorEqual(node->DownAnchor(), basic->DownAnchor()));
  EXPECT_TRUE(AnchorEqual(node->RoundEdge(), basic->RoundEdge()));
  EXPECT_EQ(&node->LinePen(), &basic->LinePen());
  EXPECT_EQ(&node->NodePen(), &basic->NodePen());
  EXPECT_EQ(&node->NodeBrush(), &basic->NodeBrush());
  EXPECT_EQ(&node->Font(), &basic->Font());
  EXPECT_EQ(node->Shape(), stEllipse);
  EXPECT_EQ(node->TextBorder(), TRect(1, 2, 3, 4));
  EXPECT_TRUE(node->TextClip());
  EXPECT_EQ(node->TextXAlign(), taLeftJustify);
  EXPECT_EQ(node->TextYAlign(), taRightJustify);
  EXPECT_EQ(node->MinHeight(), 7);
  EXPECT_EQ(node->MaxHeight(), 8);
}

TEST_F(VarnNodeTest, ClassFormatsCanBeReboundAndFormatsAdopted) {
  TVarnNode* node = Owner.SetRoot("n", "basic");
  node->SetNodeClass("");
  EXPECT_EQ(Owner.Format("basic")->ChildCount(), 1);
  TNodeFormat replacement("other");
  node->SetClassFormat(&replacement);  // frees the individual format
  EXPECT_EQ(Owner.Format("basic")->ChildCount(), 0);
  EXPECT_EQ(node->NodeFormat(), &replacement);
  node->SetClassFormat(nullptr);
  EXPECT_EQ(node->NodeFormat(), All());

  auto* adopted = new TNodeFormat("", Owner.Format("link"));
  adopted->SetMaxWidth(99);
  node->AdoptNodeFormat(adopted);
  EXPECT_TRUE(adopted->OwnedByNode());
  EXPECT_EQ(node->MaxWidth(), 99);
  node->AdoptNodeFormat(new TNodeFormat(""));  // frees the one adopted before
  EXPECT_EQ(Owner.Format("link")->ChildCount(), 0);
}

TEST_F(VarnNodeTest, ErrorsWithoutContext) {
  TVarnNode lonely("Quality");
  EXPECT_THROW_MSG(lonely.SetNodeClass("basic"), EPictureError,
                   "Picture node \"Quality\" has no format classes to take class \"basic\" from");
  EXPECT_EQ(lonely.NodeClass(), "all");
  EXPECT_THROW_MSG(lonely.MaxWidth(), EPictureError, "Picture node \"Quality\" has no node format");
  lonely.SetNodeClass("");  // an individual format needs no classes
  EXPECT_EQ(lonely.MaxWidth(), 150);
  EXPECT_THROW_MSG(lonely.Width(), EPictureError,
                   "Picture node \"Quality\" cannot be measured without a text measurer");
  EXPECT_EQ(lonely.VarnDrawer(), nullptr);
  EXPECT_EQ(lonely.NodePoint(), TPoint(0, 0));
}

TEST_F(VarnNodeTest, ADrawerOfAnotherClassIsAnInvalidCast) {
  TTreeDrawer plain;
  auto* node = new TVarnNode("n");
  plain.SetRoot(node);
  EXPECT_THROW_MSG(node->VarnDrawer(), EInvalidCast, "Invalid class typecast");
  EXPECT_THROW_MSG(node->NodePoint(), EInvalidCast, "Invalid class typecast");
  EXPECT_EQ(node->Text(), "n");
}

// ---------------------------------------------------------------------------
// Destruction in either order

TEST(VarnNodeLifetimeTest, TreeFreedBeforeTheFormats) {
  TPictureOwner owner;
  TVarnNode* root = owner.SetRoot("root", "aggregate");
  owner.Add(root, "a", "aggregate")->SetNodeClass("");
  owner.Add(root, "b", "basic");
  owner.Add(root, "c", "basic")->SetNodeClass("");
  EXPECT_EQ(owner.Format("aggregate")->ChildCount(), 1);
  EXPECT_EQ(owner.Format("basic")->ChildCount(), 1);
  owner.Drawer->SetRoot(nullptr);
  EXPECT_EQ(owner.Format("aggregate")->ChildCount(), 0);
  EXPECT_EQ(owner.Format("basic")->ChildCount(), 0);
}

TEST(VarnNodeLifetimeTest, FormatsFreedBeforeTheTree) {
  TPictureOwner owner;
  TVarnNode* root = owner.SetRoot("root", "aggregate");
  TVarnNode* own = owner.Add(root, "a", "aggregate");
  own->SetNodeClass("");
  owner.Add(root, "b", "basic");
  owner.Format("aggregate")->SetMaxWidth(111);
  owner.Drawer->SetFormatClasses(nullptr);
  owner.Classes.reset();
  // The individual format stays with its node, keeping its values.
  EXPECT_EQ(own->NodeFormat()->Parent(), nullptr);
  EXPECT_EQ(own->MaxWidth(), 111);
  owner.Drawer.reset();  // the sanitizer build checks the rest
}

TEST(VarnNodeLifetimeTest, ClassFreedUnderItsIndividualFormats) {
  TPictureOwner owner;
  TVarnNode* root = owner.SetRoot("root");
  TVarnNode* own = owner.Add(root, "a", "basic");
  own->SetNodeClass("");
  delete owner.Format("basic");
  EXPECT_EQ(own->NodeClass(), "");
  EXPECT_EQ(own->NodeFormat()->Parent(), nullptr);
  EXPECT_EQ(owner.Classes->Formats()->ChildCount(), 2);
}

TEST(VarnNodeLifetimeTest, DeepTreesArePlacedClearedAndFreedWithoutRecursion) {
  TPictureOwner owner;
  owner.Drawer->SetDrawMethod(dmWalker);
  TVarnNode* last = owner.SetRoot("root", "aggregate");
  for (int i = 0; i < 100000; ++i) {
    last = owner.Add(last, "node", "basic");
    if (i % 1000 == 0) last->SetNodeClass("");
  }
  EXPECT_EQ(owner.Format("basic")->ChildCount(), 100);
  owner.Drawer->Place();
  EXPECT_TRUE(last->Measured());
  EXPECT_EQ(owner.Drawer->HS(), 50);
  owner.Drawer->Place();  // clears and measures the whole chain again
  EXPECT_TRUE(last->Measured());
  owner.Drawer->SetRoot(nullptr);
  EXPECT_EQ(owner.Format("basic")->ChildCount(), 0);
}

}  // namespace
}  // namespace vt::test
