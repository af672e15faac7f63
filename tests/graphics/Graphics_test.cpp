#include "graphics/Graphics.h"

#include <gtest/gtest.h>

#include "graphics/TextMeasurer.h"

namespace vt {
namespace {

// The stored numbers are part of the tree documents.
static_assert(taLeftJustify == 0 && taRightJustify == 1 && taCenter == 2);
static_assert(stRectangle == 0 && stSquare == 1 && stRoundRect == 2 && stRoundSquare == 3 && stEllipse == 4 &&
              stCircle == 5);
static_assert(psSolid == 0 && psDash == 1 && psDot == 2 && psDashDot == 3 && psDashDotDot == 4 &&
              psClear == 5 && psInsideFrame == 6);
static_assert(bsSolid == 0 && bsClear == 1 && bsHorizontal == 2 && bsVertical == 3 && bsFDiagonal == 4 &&
              bsBDiagonal == 5 && bsCross == 6 && bsDiagCross == 7);
static_assert(clWindowText == static_cast<TColor>(0xFF000008u));
static_assert(clRed == 0x0000FF && clWhite == 0xFFFFFF && clBlack == 0);

TEST(ColorToRGB, ResolvesSystemColoursToTheClassicScheme) {
  struct Case {
    TColor Color;
    TColor Expected;
  };
  const Case Cases[] = {
      {clWindowText, clBlack},     {clWindow, clWhite},        {clBtnFace, 0xC0C0C0},
      {clBtnShadow, 0x808080},     {clHighlight, 0x800000},    {clInfoBk, 0xE1FFFF},
      {clMenuBar, 0xC0C0C0},       {SystemColor(25), clBlack},  // unused index
      {SystemColor(200), clBlack},                              // beyond the table
      {0x123456, 0x123456},                                     // plain colours pass unchanged
      {clWhite, clWhite},          {0x02123456, 0x123456},      // bits above RGB are dropped
      {clNone, clWhite},
  };
  for (const Case& C : Cases) EXPECT_EQ(ColorToRGB(C.Color), C.Expected) << std::hex << C.Color;
}

TEST(TFont, HeightIsTheNegativePixelEmHeightAt96Dpi) {
  struct Case {
    int Size;
    int Height;
  };
  // 7.5 px rounds to 8 (even), 10.5 to 10, 13.333 to 13.
  const Case Cases[] = {{10, -13}, {8, -11}, {9, -12}, {12, -16}, {0, 0}, {72, -96}, {6, -8}};
  for (const Case& C : Cases) {
    TFont F;
    F.SetSize(C.Size);
    EXPECT_EQ(F.Height(), C.Height) << C.Size;
  }
  TFont F;
  F.SetHeight(-13);
  EXPECT_EQ(F.Size(), 10);
  F.SetHeight(16);
  EXPECT_EQ(F.Size(), 12);
}

TEST(TFont, DefaultsAndEquality) {
  const TFont F;
  EXPECT_EQ(F.Name(), "Arial");
  EXPECT_EQ(F.Size(), 10);
  EXPECT_EQ(F.Color(), clWindowText);
  EXPECT_TRUE(F.Style().Empty());
  EXPECT_EQ(F.Charset(), DEFAULT_CHARSET);

  TFont G = F;
  EXPECT_EQ(F, G);
  G.SetStyle({fsBold});
  EXPECT_NE(F, G);
  G = F;
  G.SetCharset(EASTEUROPE_CHARSET);
  EXPECT_NE(F, G);
  G = F;
  G.SetName("arial");
  EXPECT_NE(F, G);
}

TEST(TPenAndBrush, DefaultsEqualityAndWidthGuard) {
  TPen P;
  EXPECT_EQ(P, TPen(clBlack, 1, psSolid));
  P.SetWidth(-3);  // ignored, as on the classic surface
  EXPECT_EQ(P.Width(), 1);
  P.SetWidth(0);
  EXPECT_EQ(P.Width(), 0);
  EXPECT_NE(P, TPen());
  EXPECT_EQ(TPen(clRed, -2).Width(), 0);

  EXPECT_EQ(TBrush(), TBrush(clWhite, bsSolid));
  EXPECT_NE(TBrush(), TBrush(clWhite, bsClear));
}

TEST(TRect, SizesAndEmptiness) {
  EXPECT_EQ(TRect(10, 20, 110, 60).Width(), 100);
  EXPECT_EQ(TRect(10, 20, 110, 60).Height(), 40);
  EXPECT_FALSE(TRect(0, 0, 1, 1).IsEmpty());
  EXPECT_TRUE(TRect(0, 0, 0, 5).IsEmpty());
  EXPECT_TRUE(TRect(5, 5, 4, 9).IsEmpty());
  // No overflow at the edges of the range.
  EXPECT_EQ(TRect(INT32_MIN, 0, INT32_MAX, 0).Width(), 4294967295LL);
}

// ---------------------------------------------------------------------------

TEST(Utf8ToUtf16, EncodesPairsAndReplacesBadBytes) {
  EXPECT_EQ(Utf8ToUtf16("Aš"), u"Aš");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\xD83D\xDE00");
  EXPECT_EQ(Utf8ToUtf16("a\xFF"
                        "b"),
            u"a\xFFFD"
            "b");
  EXPECT_EQ(Utf8ToUtf16(""), u"");
}

TEST(TFakeMeasurer, CountsCodePointsAndScalesWithSize) {
  const TFakeMeasurer M;  // 8 px per character, 16 px per line at 10 pt
  TFont F;
  EXPECT_EQ(M.TextWidth(F, "Tj"), 16);
  EXPECT_EQ(M.TextWidth(F, "čšž"), 24);  // code points, not bytes
  EXPECT_EQ(M.TextWidth(F, ""), 0);
  EXPECT_EQ(M.TextHeight(F, "Tj"), 16);
  EXPECT_EQ(M.TextHeight(F, ""), 16);
  F.SetSize(20);
  EXPECT_EQ(M.TextWidth(F, "Tj"), 32);
  EXPECT_EQ(M.TextHeight(F, "Tj"), 32);
  F.SetSize(15);
  EXPECT_EQ(M.CharAdvance(F), 12);

  const TFakeMeasurer Fixed(7, 15, false);
  EXPECT_EQ(Fixed.TextWidth(F, "abc"), 21);
  EXPECT_EQ(Fixed.TextHeight(F, "abc"), 15);
}

TEST(TFakeMeasurer, AdvancesPerUtf16CodeUnit) {
  const TFakeMeasurer M(5, 10, false);
  const TFont F;
  EXPECT_EQ(M.CharAdvances(F, "ab"), (std::vector<int>{5, 5}));
  EXPECT_EQ(M.CharAdvances(F, "a\xF0\x9F\x98\x80"), (std::vector<int>{5, 5, 0}));
  EXPECT_TRUE(M.CharAdvances(F, "").empty());
}

// A measurer with pair kerning, to see that the default advances keep the
// total width.
class TKerningMeasurer : public TTextMeasurer {
 public:
  int TextWidth(const TFont&, std::string_view Text) const override {
    int W = 0;
    for (std::size_t I = 0; I < Text.size(); ++I) {
      W += 7;
      if (I > 0 && Text[I - 1] == 'A' && Text[I] == 'V') W -= 2;
    }
    return W;
  }
  int TextHeight(const TFont&, std::string_view) const override { return 12; }
};

TEST(TTextMeasurer, DefaultAdvancesAreDifferencesOfPrefixWidths) {
  const TKerningMeasurer M;
  const std::vector<int> A = M.CharAdvances(TFont(), "AVA");
  EXPECT_EQ(A, (std::vector<int>{7, 5, 7}));
  EXPECT_EQ(A[0] + A[1] + A[2], M.TextWidth(TFont(), "AVA"));
}

}  // namespace
}  // namespace vt
