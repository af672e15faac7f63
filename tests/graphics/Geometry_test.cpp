#include "graphics/Geometry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/TextMeasurer.h"

namespace vt {
namespace {

using ::testing::ElementsAre;

TEST(ShapeOutline, RunsThroughTheOuterPixelsOfTheBox) {
  const TShapeOutline R = ShapeOutline(TShapeKind::Rectangle, TRect(10, 20, 0, 0));
  EXPECT_EQ(R.Start, (TPointF{0, 0}));
  ASSERT_EQ(R.Segments.size(), 4u);
  EXPECT_EQ(R.Segments[1].To, (TPointF{9, 19}));
  EXPECT_EQ(R.Segments[3].To, R.Start);

  // Corner ellipses larger than the box are limited to it: 200 x 6 in a
  // 100 x 40 box gives radii 49.5 (the outline's half width) and 3.
  const TShapeOutline Round = ShapeOutline(TShapeKind::RoundRect, TRect(0, 0, 100, 40), 200, 6);
  EXPECT_EQ(Round.Start, (TPointF{49.5, 0}));
  EXPECT_EQ(Round.Segments[0].To, (TPointF{49.5, 0}));
  EXPECT_EQ(Round.Segments[1].To, (TPointF{99, 3}));
  // Without a corner it is the rectangle.
  EXPECT_EQ(ShapeOutline(TShapeKind::RoundRect, TRect(0, 0, 10, 10), 0, 6).Segments.size(), 4u);

  // An ellipse starts at its rightmost point and runs clockwise on screen.
  const TShapeOutline E = ShapeOutline(TShapeKind::Ellipse, TRect(0, 0, 101, 41));
  EXPECT_EQ(E.Start, (TPointF{100, 20}));
  ASSERT_EQ(E.Segments.size(), 4u);
  EXPECT_EQ(E.Segments[0].To, (TPointF{50, 40}));
  EXPECT_EQ(E.Segments[3].To, E.Start);
  TPointF Min, Max;
  OutlineBounds(E, Min, Max);
  EXPECT_EQ(Min, (TPointF{0, 0}));
  EXPECT_EQ(Max, (TPointF{100, 40}));

  // An empty box is a point, never an inverted outline.
  OutlineBounds(ShapeOutline(TShapeKind::Ellipse, TRect(5, 5, 5, 5)), Min, Max);
  EXPECT_EQ(Min, Max);
}

TEST(HatchLines, ExactLinesOfARectangle) {
  // The outline spans x 0..32 and y 0..16.
  const TShapeOutline R = ShapeOutline(TShapeKind::Rectangle, TRect(0, 0, 33, 17));
  using S = std::vector<std::vector<double>>;
  const auto Lines = [&](TBrushStyle Style) {
    S Out;
    for (const TSegmentF& L : HatchLines(R, Style)) Out.push_back({L.A.X, L.A.Y, L.B.X, L.B.Y});
    return Out;
  };
  EXPECT_EQ(Lines(bsHorizontal), (S{{0, 4, 32, 4}, {0, 12, 32, 12}}));
  EXPECT_EQ(Lines(bsVertical), (S{{4, 0, 4, 16}, {12, 0, 12, 16}, {20, 0, 20, 16}, {28, 0, 28, 16}}));
  // Forward diagonals x - y = 8k, backward x + y = 8k.
  EXPECT_EQ(Lines(bsFDiagonal),
            (S{{0, 8, 8, 16}, {0, 0, 16, 16}, {8, 0, 24, 16}, {16, 0, 32, 16}, {24, 0, 32, 8}}));
  EXPECT_EQ(Lines(bsBDiagonal),
            (S{{0, 8, 8, 0}, {0, 16, 16, 0}, {8, 16, 24, 0}, {16, 16, 32, 0}, {24, 16, 32, 8}}));
  EXPECT_EQ(Lines(bsCross).size(), 6u);
  EXPECT_EQ(Lines(bsDiagCross).size(), 10u);
  EXPECT_TRUE(Lines(bsSolid).empty());
  EXPECT_TRUE(Lines(bsClear).empty());
  // Lines on the outline itself are left out: y = 4 is the top edge here.
  EXPECT_THAT(Lines(bsHorizontal).size(), 2u);
  const TShapeOutline Top = ShapeOutline(TShapeKind::Rectangle, TRect(0, 4, 10, 13));
  ASSERT_EQ(HatchLines(Top, bsHorizontal).size(), 0u);
}

// Every line lies on the picture's grid, on whole pixels, inside the shape,
// and ends on its outline.
TEST(HatchLines, StayOnTheGridAndInsideEveryShape) {
  struct Shape {
    TShapeKind Kind;
    TRect R;
    int Cw, Ch;
  };
  const Shape Shapes[] = {
      {TShapeKind::Ellipse, TRect(13, 7, 114, 48), 0, 0},
      {TShapeKind::Ellipse, TRect(3, 3, 9, 60), 0, 0},
      {TShapeKind::RoundRect, TRect(21, 5, 170, 44), 30, 20},
      {TShapeKind::Rectangle, TRect(-20, -9, 7, 31), 0, 0},
  };
  for (const Shape& Sh : Shapes) {
    const TShapeOutline O = ShapeOutline(Sh.Kind, Sh.R, Sh.Cw, Sh.Ch);
    const double L = Sh.R.Left, T = Sh.R.Top, R = Sh.R.Right - 1.0, B = Sh.R.Bottom - 1.0;
    for (TBrushStyle Style : {bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal}) {
      SCOPED_TRACE(testing::Message() << int(Sh.Kind) << " " << int(Style));
      const std::vector<TSegmentF> Lines = HatchLines(O, Style);
      EXPECT_FALSE(Lines.empty());
      const auto InEllipse = [&](TPointF P) {
        const double Nx = (P.X - (L + R) / 2) / ((R - L) / 2), Ny = (P.Y - (T + B) / 2) / ((B - T) / 2);
        return Nx * Nx + Ny * Ny <= 1.0 + 1e-6;
      };
      for (const TSegmentF& S : Lines) {
        const double Len = std::hypot(S.B.X - S.A.X, S.B.Y - S.A.Y);
        for (TPointF P : {S.A, S.B}) {
          EXPECT_EQ(P.X, std::round(P.X));
          EXPECT_EQ(P.Y, std::round(P.Y));
          EXPECT_GE(P.X, L);
          EXPECT_LE(P.X, R);
          EXPECT_GE(P.Y, T);
          EXPECT_LE(P.Y, B);
          if (Sh.Kind == TShapeKind::Ellipse) {
            EXPECT_TRUE(InEllipse(P));
          }
        }
        // A pixel and a half further on, each end is outside the ellipse.
        if (Sh.Kind == TShapeKind::Ellipse && Len > 0) {
          const double Ux = (S.B.X - S.A.X) / Len * 1.5, Uy = (S.B.Y - S.A.Y) / Len * 1.5;
          EXPECT_FALSE(InEllipse({S.A.X - Ux, S.A.Y - Uy}));
          EXPECT_FALSE(InEllipse({S.B.X + Ux, S.B.Y + Uy}));
        }
        const auto Mod8 = [](double V) { return ((int(V) % 8) + 8) % 8; };
        switch (Style) {
          case bsHorizontal:
            EXPECT_EQ(S.A.Y, S.B.Y);
            EXPECT_EQ(Mod8(S.A.Y), 4);
            break;
          case bsVertical:
            EXPECT_EQ(S.A.X, S.B.X);
            EXPECT_EQ(Mod8(S.A.X), 4);
            break;
          case bsFDiagonal:
            EXPECT_EQ(S.A.X - S.A.Y, S.B.X - S.B.Y);
            EXPECT_EQ(Mod8(S.A.X - S.A.Y), 0);
            break;
          default:
            EXPECT_EQ(S.A.X + S.A.Y, S.B.X + S.B.Y);
            EXPECT_EQ(Mod8(S.A.X + S.A.Y), 0);
        }
      }
    }
  }
}

TEST(TextRuns, SplitAtControlCharactersKeepingTheirAdvance) {
  const TFakeMeasurer M;  // 8 px a character
  const TFont F;
  struct Case {
    const char* Text;
    std::vector<TTextRun> Runs;
  };
  const Case Cases[] = {
      {"", {}},
      {"\t\r", {}},
      {"Car", {{0, "Car", {8, 8, 8}}}},
      {"a\tb", {{0, "a", {8}}, {16, "b", {8}}}},
      {"\tab\t", {{8, "ab", {8, 8}}}},
      {"x\x7F\xC2\x85y", {{0, "x", {8}}, {24, "y", {8}}}},  // DEL and a C1 control
      {"\xF0\x9F\x98\x80\tš", {{0, "\xF0\x9F\x98\x80", {8, 0}}, {16, "š", {8}}}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    EXPECT_EQ(TextRuns(M, F, C.Text), C.Runs);
  }
}

}  // namespace
}  // namespace vt
