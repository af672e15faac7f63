#include "picture/TreeRender.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "PictureFixture.h"

namespace vt::test {
namespace {

std::vector<TMetaRecord> OfOp(const TMetafile& M, TMetaOp Op) {
  std::vector<TMetaRecord> out;
  for (const TMetaRecord& r : M.Records())
    if (r.Op == Op) out.push_back(r);
  return out;
}

bool IsLine(TMetaOp Op) {
  return Op == TMetaOp::MoveTo || Op == TMetaOp::LineTo;
}

std::unique_ptr<TMetafile> Render(TPictureOwner& Owner, TColor Background = clWhite) {
  return RenderTree(*Owner.Drawer, Owner.Measurer, "car.vrn", Background);
}

// A node of exactly Width x Height pixels whatever its text.
void FixSize(TNodeFormat* F, int Width, int Height) {
  F->SetMinWidth(Width);
  F->SetMaxWidth(Width);
  F->SetMinHeight(Height);
  F->SetMaxHeight(Height);
}

TEST(TreeRenderTest, PictureSizeDescriptionAndLinesUnderShapes) {
  TPictureOwner owner;
  owner.Drawer->SetBorder(TRect(7, 8, 9, 10));
  TVarnNode* root = owner.SetRoot("Car");
  TVarnNode* a = owner.Add(root, "Price");
  TVarnNode* b = owner.Add(root, "Safety");
  auto picture = Render(owner);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Width(), owner.Drawer->BoxWidth());
  EXPECT_EQ(picture->Height(), owner.Drawer->BoxHeight());
  EXPECT_GT(picture->Width(), 7 + 9);
  EXPECT_EQ(picture->AppName(), "VarnTree");
  EXPECT_EQ(picture->PictureName(), "car.vrn");

  // Two lines, each from the child's top middle to the root's bottom middle,
  // before every shape; none starts at the root.
  const TRect rr = root->NodeRect();
  const TPoint rootDown((rr.Left + rr.Right) / 2, rr.Bottom);
  std::vector<TMetaRecord> lines;
  for (const TMetaRecord& r : picture->Records()) {
    if (!IsLine(r.Op)) break;
    lines.push_back(r);
  }
  ASSERT_EQ(lines.size(), 4u);
  for (int i = 0; i < 2; ++i) {
    const TRect cr = (i == 0 ? a : b)->NodeRect();
    EXPECT_EQ(lines[2 * i].Op, TMetaOp::MoveTo);
    EXPECT_EQ(lines[2 * i].Point, TPoint((cr.Left + cr.Right) / 2, cr.Top)) << i;
    EXPECT_EQ(lines[2 * i + 1].Op, TMetaOp::LineTo);
    EXPECT_EQ(lines[2 * i + 1].Point, rootDown) << i;
  }
  EXPECT_EQ(OfOp(*picture, TMetaOp::MoveTo).size(), 2u);
  // Then shape and text of each node in pre-order.
  const std::vector<TMetaRecord> shapes = OfOp(*picture, TMetaOp::Rectangle);
  ASSERT_EQ(shapes.size(), 3u);
  EXPECT_EQ(shapes[0].Rect, rr);
  EXPECT_EQ(shapes[1].Rect, a->NodeRect());
  EXPECT_EQ(shapes[2].Rect, b->NodeRect());
  std::vector<std::string> texts;
  for (const TMetaRecord& r : OfOp(*picture, TMetaOp::TextOut)) texts.push_back(r.Text);
  EXPECT_EQ(texts, (std::vector<std::string>{"Car", "Price", "Safety"}));
  EXPECT_EQ(picture->Record(4).Op, TMetaOp::Rectangle);
  EXPECT_EQ(picture->Record(5).Op, TMetaOp::TextOut);
  EXPECT_EQ(picture->Record(6).Op, TMetaOp::Rectangle);
}

TEST(TreeRenderTest, EachLineTakesTheChildsLinePenAndShapesTheirOwnPenAndBrush) {
  TPictureOwner owner;
  owner.Format("basic")->SetLinePen(TPen(clRed, 3, psDash));
  owner.Format("basic")->SetNodePen(TPen(clBlue, 2));
  owner.Format("basic")->SetNodeBrush(TBrush(clYellow, bsCross));
  TVarnNode* root = owner.SetRoot("Car", "aggregate");
  owner.Add(root, "Price", "basic");
  auto picture = Render(owner);
  ASSERT_TRUE(picture);
  const std::vector<TMetaRecord> lines = OfOp(*picture, TMetaOp::LineTo);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(picture->PenOf(lines[0]), TPen(clRed, 3, psDash));
  const std::vector<TMetaRecord> shapes = OfOp(*picture, TMetaOp::Rectangle);
  ASSERT_EQ(shapes.size(), 2u);
  EXPECT_EQ(picture->PenOf(shapes[0]), TPen());
  EXPECT_EQ(picture->PenOf(shapes[1]), TPen(clBlue, 2));
  EXPECT_EQ(picture->BrushOf(shapes[1]), TBrush(clYellow, bsCross));
  // Text never paints a background: the brush is clear, its colour kept.
  const std::vector<TMetaRecord> texts = OfOp(*picture, TMetaOp::TextOut);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(picture->BrushOf(texts[1]), TBrush(clYellow, bsClear));
  EXPECT_EQ(picture->FontOf(texts[1]), owner.Format("basic")->Font());
}

// Root, an aggregate A on level 1 with a child on level 2, and a terminal T
// on level 1. With the terminals aligned, T stands on level 2 and its line
// bends at level 1's line.
TEST(TreeRenderTest, AlignedTerminalLineBendsAtItsOwnLevel) {
  const TTreeOrientation orientations[] = {oTopDown, oLeftRight, oBottomUp, oRightLeft};
  for (TTreeOrientation o : orientations) {
    for (bool align : {false, true}) {
      TPictureOwner owner;
      owner.Drawer->SetOrientation(o);
      owner.Drawer->SetAlignTerminals(align);
      owner.Drawer->SetLevelSeparation(30);
      TVarnNode* root = owner.SetRoot("Root");
      TVarnNode* a = owner.Add(root, "A");
      owner.Add(a, "A1");
      TVarnNode* t = owner.Add(root, "T");
      auto picture = Render(owner);
      ASSERT_TRUE(picture);
      // T's line is the last one: MoveTo, [bend,] LineTo.
      std::vector<TMetaRecord> lines;
      for (const TMetaRecord& r : picture->Records())
        if (IsLine(r.Op)) lines.push_back(r);
      ASSERT_EQ(lines.size(), align ? 7u : 6u) << o;
      const TMetaRecord& start = lines[lines.size() - (align ? 3 : 2)];
      EXPECT_EQ(start.Op, TMetaOp::MoveTo);
      EXPECT_EQ(start.Point, t->UpPoint()) << o;
      EXPECT_EQ(lines.back().Point, root->DownPoint()) << o;
      EXPECT_EQ(t->Y() != a->Y(), align) << o;
      if (align) {
        const TMetaRecord& bend = lines[lines.size() - 2];
        EXPECT_EQ(bend.Op, TMetaOp::LineTo);
        EXPECT_EQ(bend.Point, owner.Drawer->PosPoint(t->X(), a->Y())) << o;
        // The bend runs straight along the level axis from T's anchor.
        const bool across = o == oLeftRight || o == oRightLeft;
        EXPECT_EQ(across ? bend.Point.Y : bend.Point.X, across ? start.Point.Y : start.Point.X) << o;
      }
    }
  }
}

TEST(TreeRenderTest, BackgroundFillsTheBoxInclusiveUnlessWhite) {
  for (TColor background : {clWhite, clLime, clWindow}) {
    TPictureOwner owner;
    owner.Drawer->SetBorder(TRect(5, 5, 5, 5));
    owner.SetRoot("Car");
    auto picture = Render(owner, background);
    ASSERT_TRUE(picture);
    const std::vector<TMetaRecord> fills = OfOp(*picture, TMetaOp::FillRect);
    if (background == clWhite) {
      EXPECT_TRUE(fills.empty());
      continue;
    }
    ASSERT_EQ(fills.size(), 1u) << background;
    EXPECT_EQ(picture->Record(0).Op, TMetaOp::FillRect);
    EXPECT_EQ(fills[0].Rect, TRect(0, 0, picture->Width() + 1, picture->Height() + 1));
    EXPECT_EQ(picture->BrushOf(fills[0]), TBrush(background, bsSolid));
  }
}

TEST(TreeRenderTest, ShapesByShapeValue) {
  struct Case {
    TShapeType Shape;
    TMetaOp Op;
  };
  const Case cases[] = {{stRectangle, TMetaOp::Rectangle}, {stSquare, TMetaOp::Rectangle},
                        {stRoundRect, TMetaOp::RoundRect}, {stRoundSquare, TMetaOp::Rectangle},
                        {stEllipse, TMetaOp::Ellipse},     {stCircle, TMetaOp::Rectangle}};
  for (const Case& c : cases) {
    TPictureOwner owner;
    owner.Classes->Formats()->SetShape(c.Shape);
    FixSize(owner.Classes->Formats(), 100, 40);
    owner.Classes->Formats()->SetRoundEdge(TAnchor{50, 50, Uperc, Uperc});
    TVarnNode* root = owner.SetRoot("Car");
    auto picture = Render(owner);
    ASSERT_TRUE(picture);
    const std::vector<TMetaRecord> shapes = OfOp(*picture, c.Op);
    ASSERT_EQ(shapes.size(), 1u) << int(c.Shape);
    EXPECT_EQ(shapes[0].Rect, root->NodeRect());
    if (c.Op == TMetaOp::RoundRect) {
      EXPECT_EQ(shapes[0].Corner, TPoint(50, 20));
    }
  }
}

TEST(TreeRenderTest, RoundCornerInPixelsAndPercent) {
  struct Case {
    TAnchor Edge;
    TRect R;
    TPoint Corner;
  };
  const Case cases[] = {
      {{50, 50, Uperc, Uperc}, TRect(0, 0, 100, 40), {50, 20}},
      {{10, 12, Upix, Upix}, TRect(0, 0, 100, 40), {10, 12}},
      {{7, 25, Upix, Uperc}, TRect(10, 10, 110, 20), {7, 2}},  // 2.5 gives 2
      {{25, 10, Uperc, Upix}, TRect(0, 0, 14, 20), {4, 10}},   // 3.5 gives 4
  };
  for (const Case& c : cases) EXPECT_EQ(RoundCorner(c.Edge, c.R), c.Corner);
}

std::vector<TMetaRecord> TextRecords(const TMetafile& M) {
  std::vector<TMetaRecord> out;
  for (const TMetaRecord& r : M.Records())
    if (r.Op == TMetaOp::TextOut || r.Op == TMetaOp::TextRect) out.push_back(r);
  return out;
}

// Three lines in a root node of fixed size with its top-left corner at (0,
// 0); unless a case says otherwise "aaa" / "bb" / "c", 8 pixels a character,
// 16 high.
struct TTextCase {
  TAlignment XAlign, YAlign;
  double Spacing;
  std::vector<TPoint> At;
  int Width = 122;
  int Height = 106;
  TRect Border = TRect(10, 3, 9, 3);
  int CharWidth = 8;
  const char* Text = "aaa bb c";
  int WrapWidth = 28;  // text wider than this wraps
};

TEST(TreeRenderTest, TextLinesPlacedByAlignmentAndSpacing) {
  // Unless a case says otherwise: text area 10..113 x 3..103 (node 122 x 106,
  // borders 10, 3, 9, 3).
  const TTextCase cases[] = {
      // Top: 0, 16 x 1.5 = 24, 48.
      {taLeftJustify, taLeftJustify, 1.5, {{10, 3}, {10, 27}, {10, 51}}},
      // Bottom: text height 1.5 x 32 + 16 + 0.5 = 64.5 gives 64; 103 - 64.
      {taRightJustify, taRightJustify, 1.5, {{89, 39}, {97, 63}, {105, 87}}},
      // Middle: text height 48.5 gives 48, 53 - 24 = 29; centred x:
      // 61.5 - 12 = 49.5 gives 50, 53.5 gives 54, 57.5 gives 58.
      {taCenter, taCenter, 1.0, {{50, 29}, {54, 45}, {58, 61}}},
      // 1.25 x 16 = 20, 1.25 x 32 = 40; text height 40 + 16 + 0.5 = 56.5
      // gives 56; 53 - 28 = 25.
      {taLeftJustify, taCenter, 1.25, {{10, 25}, {10, 45}, {10, 65}}},
      // 10 pixels a character: 61.5 - 15 = 46.5 gives 46, 51.5 gives 52,
      // 56.5 gives 56.
      {taCenter,
       taCenter,
       1.0,
       {{46, 29}, {52, 45}, {56, 61}},
       122,
       106,
       TRect(10, 3, 9, 3),
       10,
       "aaa bb c",
       35},
      // Text area 10..111 x 100..197, lines 50 wide: centred x 60.5 - 25 =
      // 35.5 gives 36; top lines at 100, 124 and 148.
      {taCenter,
       taLeftJustify,
       1.5,
       {{36, 100}, {36, 124}, {36, 148}},
       116,
       200,
       TRect(10, 100, 5, 3),
       10,
       "xxxxx xxxxx xxxxx",
       60},
  };
  for (const TTextCase& c : cases) {
    TPictureOwner owner;
    owner.Measurer.SetCharWidth(c.CharWidth);
    TNodeFormat* all = owner.Classes->Formats();
    FixSize(all, c.Width, c.Height);
    all->SetTextBorder(c.Border);
    all->SetTextXAlign(c.XAlign);
    all->SetTextYAlign(c.YAlign);
    all->SetLineSpacing(c.Spacing);
    // The minimum keeps the node at its width.
    all->SetMaxWidth(c.WrapWidth);
    TVarnNode* root = owner.SetRoot(c.Text);
    auto picture = Render(owner);
    ASSERT_TRUE(picture);
    ASSERT_EQ(root->LineCount(), 3) << c.Text;
    // Halves round in picture pixels, so the points are taken there.
    ASSERT_EQ(root->NodeRect(), TRect(0, 0, c.Width, c.Height)) << c.Text;
    const std::vector<TMetaRecord> texts = TextRecords(*picture);
    ASSERT_EQ(texts.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
      EXPECT_EQ(texts[k].Op, TMetaOp::TextOut);
      EXPECT_EQ(texts[k].Text, root->GetLine(static_cast<int>(k)));
      EXPECT_EQ(texts[k].Point, c.At[k])
          << "line " << k << " align " << int(c.XAlign) << "/" << int(c.YAlign) << " " << c.Text;
    }
  }
}

TEST(TreeRenderTest, ClippedTextIsWrittenIntoTheTextArea) {
  for (bool clip : {false, true}) {
    TPictureOwner owner;
    TNodeFormat* all = owner.Classes->Formats();
    all->SetTextWrap(false);
    all->SetTextClip(clip);
    all->SetMaxWidth(60);
    TVarnNode* root = owner.SetRoot("A text far wider than its node");
    auto picture = Render(owner);
    ASSERT_TRUE(picture);
    const std::vector<TMetaRecord> texts = TextRecords(*picture);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Text, "A text far wider than its node");
    const TRect r = root->NodeRect();
    ASSERT_EQ(r.Right - r.Left, 60);
    // Centred: the line overhangs on both sides.
    EXPECT_EQ(texts[0].Point.X, r.Left + 30 - 120);
    if (clip) {
      EXPECT_EQ(texts[0].Op, TMetaOp::TextRect);
      EXPECT_EQ(texts[0].Rect, TRect(r.Left + 5, r.Top + 3, r.Right - 5, r.Bottom - 3));
    } else {
      EXPECT_EQ(texts[0].Op, TMetaOp::TextOut);
    }
  }
}

TEST(TreeRenderTest, NoRootNoPictureAndThePreviousOneStays) {
  TPictureOwner owner;
  EXPECT_EQ(Render(owner), nullptr);
  auto previous = std::make_unique<TMetafile>(10, 10);
  TMetafile* kept = previous.get();
  DrawTree(*owner.Drawer, owner.Measurer, "x", clWhite, previous);
  EXPECT_EQ(previous.get(), kept);

  owner.SetRoot("Car");
  DrawTree(*owner.Drawer, owner.Measurer, "x", clWhite, previous);
  ASSERT_TRUE(previous);
  EXPECT_NE(previous->RecordCount(), 0);
  EXPECT_EQ(previous->Width(), owner.Drawer->BoxWidth());
}

// Fails every TextWidth call from the given one on; counts them all.
class TFailingMeasurer : public TFakeMeasurer {
 public:
  int FailFrom = -1;
  mutable int Calls = 0;
  TFailingMeasurer() : TFakeMeasurer(8, 16, false) {}
  int TextWidth(const TFont& Font, std::string_view Text) const override {
    if (FailFrom >= 0 && Calls >= FailFrom) throw std::runtime_error("measuring failed");
    ++Calls;
    return TFakeMeasurer::TextWidth(Font, Text);
  }
};

TEST(TreeRenderTest, AnErrorInPlacingOrDrawingLeavesNoPictureAndRestoresTheMeasurer) {
  // Placing: a node with neither format nor format classes.
  {
    TVarnTreeDrawer drawer;
    drawer.SetRoot(new TVarnNode("Root", &drawer));
    TFakeMeasurer measurer;
    auto picture = std::make_unique<TMetafile>(10, 10);
    EXPECT_THROW_MSG(DrawTree(drawer, measurer, "x", clWhite, picture), EPictureError,
                     "Picture node \"Root\" has no node format");
    EXPECT_EQ(picture, nullptr);
    EXPECT_EQ(drawer.Context().Measurer, nullptr);
  }
  // Drawing: the measurer fails on the first width the drawing pass asks for
  // (the centred text), after placing went through.
  {
    TPictureOwner owner;
    TVarnNode* root = owner.SetRoot("Car");
    owner.Add(root, "Price");
    ASSERT_TRUE(RenderTree(*owner.Drawer, owner.Measurer, "x"));
    TFailingMeasurer counting;
    ASSERT_TRUE(RenderTree(*owner.Drawer, counting, "x"));
    const int all = counting.Calls;
    TFailingMeasurer failing;
    failing.FailFrom = all - 2;  // the drawing pass measures each centred line once
    auto picture = std::make_unique<TMetafile>(10, 10);
    EXPECT_THROW_MSG(DrawTree(*owner.Drawer, failing, "x", clWhite, picture), std::runtime_error,
                     "measuring failed");
    EXPECT_EQ(picture, nullptr);
    EXPECT_EQ(owner.Drawer->Context().Measurer, &owner.Measurer);
    EXPECT_TRUE(owner.Drawer->VarnRoot()->Measured());
  }
}

TEST(TreeRenderTest, MeasuresWithTheGivenMeasurerOnly) {
  TPictureOwner owner;
  owner.SetRoot("Car");
  TFakeMeasurer wide(20, 30, false);
  auto picture = RenderTree(*owner.Drawer, wide, "");
  ASSERT_TRUE(picture);
  EXPECT_EQ(owner.Drawer->VarnRoot()->TextWidth(), 60);
  EXPECT_EQ(owner.Drawer->VarnRoot()->LineHeight(), 30);
  EXPECT_EQ(owner.Drawer->Context().Measurer, &owner.Measurer);
}

TEST(TreeRenderTest, DeepAndWideTreesDraw) {
  TPictureOwner owner;
  TVarnNode* node = owner.SetRoot("r");
  for (int i = 0; i < 5000; ++i) node = owner.Add(node, "n");
  TVarnNode* wide = owner.Add(owner.Drawer->VarnRoot(), "w");
  for (int i = 0; i < 5000; ++i) owner.Add(wide, "l");
  auto picture = Render(owner);
  ASSERT_TRUE(picture);
  EXPECT_EQ(OfOp(*picture, TMetaOp::Rectangle).size(), 10002u);
  EXPECT_EQ(OfOp(*picture, TMetaOp::MoveTo).size(), 10001u);
}

}  // namespace
}  // namespace vt::test
