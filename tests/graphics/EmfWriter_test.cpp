#include "graphics/EmfWriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "EmfWalker.h"
#include "graphics/FileWriter.h"

namespace vt {
namespace {

using test::TEmfFile;
using test::TEmfRecord;
using test::WalkEmf;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// Records a picture with Draw and walks its .emf bytes; the file must pass
// the walker's checks.
template <typename DrawFn>
TEmfFile Emf(DrawFn Draw, int W = 300, int H = 200, std::string Name = "car",
             std::vector<std::uint8_t>* Keep = nullptr) {
  static std::vector<std::vector<std::uint8_t>> Store;  // keeps record data alive
  TMetafile M(W, H, std::move(Name));
  const TFakeMeasurer Measurer;
  {
    TMetafileCanvas C(M, Measurer);
    Draw(C);
  }
  Store.push_back(EmfBytes(M, Measurer));
  if (Keep) *Keep = Store.back();
  TEmfFile F = WalkEmf(Store.back());
  EXPECT_THAT(F.Problems, ElementsAre());
  return F;
}

std::vector<std::int32_t> Points(const TEmfRecord& R) {
  return {R.I32(8), R.I32(12)};
}

TEST(EmfWriter, HeaderDescribesThePictureAtScreenResolution) {
  std::vector<std::uint8_t> Bytes;
  const TEmfFile F = Emf([](TCanvas& C) { C.Rectangle(0, 0, 10, 10); }, 300, 200, "car", &Bytes);
  const TEmfRecord& H = F.Header();
  EXPECT_EQ(H.Rect(8), (std::vector<std::int32_t>{0, 0, 299, 199}));  // bounds, pixels
  // 300 px = 7937.5 hundredths of a millimetre, which rounds to 7938.
  EXPECT_EQ(H.Rect(24), (std::vector<std::int32_t>{0, 0, 7937, 5291}));
  EXPECT_EQ(H.U32(44), 0x00010000u);
  EXPECT_EQ(H.U32(48), Bytes.size());
  EXPECT_EQ(H.U32(52), F.Records.size());
  EXPECT_EQ(H.U16(56), 4u);  // pen, brush, font + the reserved index 0
  EXPECT_EQ(H.U32(60), 14u);
  EXPECT_EQ(H.U32(64), 108u);
  EXPECT_EQ(H.U32(68), 0u);
  EXPECT_EQ(H.Rect(72), (std::vector<std::int32_t>{1920, 1440, 508, 381}));
  EXPECT_EQ(H.I32(100), 508000);
  EXPECT_EQ(H.I32(104), 381000);
  EXPECT_EQ(H.Utf16(108, 14), std::u16string(u"VarnTree\0car\0\0", 14));
  EXPECT_EQ(H.Size, 108u + 28u);  // description padded to 4 bytes

  const TEmfRecord& Eof = F.Records.back();
  EXPECT_EQ(Eof.Size, 20u);
  EXPECT_EQ(Eof.U32(8), 0u);
  EXPECT_EQ(Eof.U32(12), 16u);
  EXPECT_EQ(Eof.U32(16), 20u);
}

TEST(EmfWriter, EmptyPictureNameAndEmptySize) {
  // A picture of no pixels still has a frame readers accept.
  const TEmfFile F = Emf([](TCanvas&) {}, 0, 0, "");
  const TEmfRecord& H = F.Header();
  EXPECT_EQ(H.Rect(8), (std::vector<std::int32_t>{0, 0, 0, 0}));
  EXPECT_EQ(H.Rect(24), (std::vector<std::int32_t>{0, 0, 25, 25}));
  EXPECT_EQ(H.U32(60), 11u);
  EXPECT_EQ(H.Utf16(108, 11), std::u16string(u"VarnTree\0\0\0", 11));
  EXPECT_EQ(H.U16(56), 1u);  // no objects
  EXPECT_THAT(F.Types(),
              ElementsAre(emr::Header, emr::SetMapMode, emr::SetBkMode, emr::SetTextAlign, emr::Eof));
}

TEST(EmfWriter, RecordSequenceOfASmallPicture) {
  const TEmfFile F = Emf([](TCanvas& C) {
    C.SetBrush(TBrush(clYellow));
    C.MoveTo(10, 20);
    C.LineTo(30, 40);
    C.Rectangle(5, 6, 105, 46);
    C.SetFont(TFont("Arial", 10, clRed, {fsBold}));
    C.SetBrush(TBrush(clYellow, bsClear));
    C.TextRect(TRect(5, 6, 105, 46), 7, 8, "Car");
  });
  using namespace emr;
  EXPECT_THAT(F.Types(),
              ElementsAre(Header, SetMapMode, SetBkMode, SetTextAlign,  //
                          CreatePen, SelectObject, CreateBrushIndirect, SelectObject, ExtCreateFontIndirectW,
                          SelectObject,      //
                          MoveToEx, LineTo,  //
                          BeginPath, MoveToEx, LineTo, LineTo, LineTo, LineTo, CloseFigure, EndPath,
                          StrokeAndFillPath,                                   //
                          SelectObject, ExtCreateFontIndirectW, SelectObject,  // clear brush, font
                          SetTextColor, SaveDC, IntersectClipRect, ExtTextOutW, RestoreDC, SelectObject,
                          SelectObject,  // stock pen and font before deleting
                          DeleteObject, DeleteObject, DeleteObject, DeleteObject, Eof));
  EXPECT_EQ(F.Records[3].U32(8), 24u);  // TA_BASELINE
  EXPECT_EQ(F.Records[4].U32(8), 1u);   // first object gets handle 1
  EXPECT_EQ(Points(F.Records[10]), (std::vector<std::int32_t>{10, 20}));
  EXPECT_EQ(Points(F.Records[11]), (std::vector<std::int32_t>{30, 40}));
  EXPECT_EQ(Points(F.Records[13]), (std::vector<std::int32_t>{5, 6}));
  EXPECT_EQ(Points(F.Records[15]), (std::vector<std::int32_t>{104, 45}));
  EXPECT_EQ(F.Records[20].Rect(8), (std::vector<std::int32_t>{5, 6, 104, 45}));
  EXPECT_EQ(F.Records[21].U32(8), StockNullBrush);
  EXPECT_EQ(F.Records[24].U32(8), 0x0000FFu);  // text colour red
  EXPECT_EQ(F.Records[26].Rect(8), (std::vector<std::int32_t>{5, 6, 105, 46}));
  EXPECT_EQ(F.Records[28].I32(8), -1);  // restore the saved state
  EXPECT_EQ(F.Records[29].U32(8), StockBlackPen);
  EXPECT_EQ(F.Records[30].U32(8), StockDeviceDefaultFont);
}

// The points of the path from its MoveToEx up to its CloseFigure; a Bézier
// gives its three points.
std::vector<std::vector<std::int32_t>> PathPoints(const TEmfFile& F, int From = 0) {
  std::vector<std::vector<std::int32_t>> Out;
  for (int I = F.First(emr::BeginPath, From) + 1; I > 0 && F.Records[I].Type != emr::CloseFigure; ++I) {
    const TEmfRecord& R = F.Records[I];
    if (R.Type == emr::PolyBezierTo16) {
      for (std::uint32_t K = 0; K < R.U32(24); ++K) Out.push_back({R.I16(28 + 4 * K), R.I16(30 + 4 * K)});
    } else {
      Out.push_back(Points(R));
    }
  }
  return Out;
}

// Readers draw the rectangle and ellipse records one pixel larger than the
// classic surface; explicit paths through the last pixel inside the box are
// drawn alike everywhere.
TEST(EmfWriter, RectanglesAndEllipsesArePathsThroughTheirOuterPixels) {
  using V = std::vector<std::vector<std::int32_t>>;
  struct Case {
    const char* Name;
    void (*Draw)(TCanvas&);
    V Points;
  };
  const Case Cases[] = {
      {"rectangle", [](TCanvas& C) { C.Rectangle(5, 6, 105, 46); },
       V{{5, 6}, {104, 6}, {104, 45}, {5, 45}, {5, 6}}},
      {"corners in any order", [](TCanvas& C) { C.Rectangle(105, 46, 5, 6); },
       V{{5, 6}, {104, 6}, {104, 45}, {5, 45}, {5, 6}}},
      {"round rectangle without a corner", [](TCanvas& C) { C.RoundRect(TRect(0, 0, 50, 50), 0, 10); },
       V{{0, 0}, {49, 0}, {49, 49}, {0, 49}, {0, 0}}},
      // Centre (50, 20), radii 50 and 20; the control points lie 0.5523 of a
      // radius from the ends.
      {"ellipse", [](TCanvas& C) { C.Ellipse(TRect(0, 0, 101, 41)); },
       V{{100, 20},
         {100, 31},
         {78, 40},
         {50, 40},
         {22, 40},
         {0, 31},
         {0, 20},
         {0, 9},
         {22, 0},
         {50, 0},
         {78, 0},
         {100, 9},
         {100, 20}}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TEmfFile F = Emf(C.Draw);
    EXPECT_TRUE(F.OfType(emr::Rectangle).empty());
    EXPECT_TRUE(F.OfType(emr::Ellipse).empty());
    EXPECT_EQ(PathPoints(F), C.Points);
    ASSERT_EQ(F.OfType(emr::StrokeAndFillPath).size(), 1u);
  }
}

// Most readers fill a hatched brush solid: the hatching is drawn as lines of
// the brush's colour inside the shape, before its outline, which is then
// stroked with no fill.
TEST(EmfWriter, HatchedShapesAreLinesUnderAnOutlineWithoutFill) {
  const TEmfFile F = Emf([](TCanvas& C) {
    C.SetPen(TPen(clNavy, 1));
    C.SetBrush(TBrush(clTeal, bsCross));
    C.Rectangle(0, 0, 33, 17);
  });
  EXPECT_TRUE(F.OfType(emr::CreateBrushIndirect).empty());
  const auto Pens = F.OfType(emr::CreatePen);
  ASSERT_EQ(Pens.size(), 2u);
  EXPECT_EQ(Pens[0].U32(24), 0x800000u);  // the outline's navy, selected with the state
  EXPECT_EQ(Pens[1].U32(24), 0x808000u);  // teal hatch lines
  // Two horizontal and four vertical lines, each a move and a line.
  const int Path = F.First(emr::BeginPath);
  std::vector<std::vector<std::int32_t>> Lines;
  for (int I = F.First(emr::SelectObject, F.First(emr::CreatePen, 5)); I < Path; ++I)
    if (F.Records[I].Type == emr::MoveToEx || F.Records[I].Type == emr::LineTo)
      Lines.push_back(Points(F.Records[I]));
  EXPECT_EQ(Lines, (std::vector<std::vector<std::int32_t>>{{0, 4},
                                                           {32, 4},
                                                           {0, 12},
                                                           {32, 12},
                                                           {4, 0},
                                                           {4, 16},
                                                           {12, 0},
                                                           {12, 16},
                                                           {20, 0},
                                                           {20, 16},
                                                           {28, 0},
                                                           {28, 16}}));
  // The outline pen again, and no brush, for the path.
  EXPECT_EQ(F.Records[Path - 1].Type, emr::SelectObject);
  EXPECT_EQ(F.Records[Path - 1].U32(8), Pens[0].U32(8));
  EXPECT_EQ(F.First(emr::StrokeAndFillPath), Path + 8);
  int Brush = -1;
  for (int I = 0; I < Path; ++I)
    if (F.Records[I].Type == emr::SelectObject && test::KindOfStock(F.Records[I].U32(8)) == 1 &&
        (F.Records[I].U32(8) & 0x80000000u))
      Brush = I;
  ASSERT_GE(Brush, 0);
  EXPECT_EQ(F.Records[Brush].U32(8), StockNullBrush);

  // A hatched fill is its lines alone.
  const TEmfFile Fill = Emf([](TCanvas& C) {
    C.SetBrush(TBrush(clRed, bsHorizontal));
    C.FillRect(TRect(0, 0, 33, 17));
  });
  EXPECT_EQ(Fill.First(emr::BeginPath), -1);
  EXPECT_EQ(Fill.OfType(emr::LineTo).size(), 2u);
}

TEST(EmfWriter, PensByStyleAndWidth) {
  struct Case {
    TPen Pen;
    std::uint32_t CreateType;  // 0: a stock object is selected
    std::uint32_t Style;
    std::uint32_t Width;
    std::uint32_t Color;
  };
  const Case Cases[] = {
      {TPen(clRed, 1, psSolid), emr::CreatePen, 0, 1, 0x0000FF},
      {TPen(clRed, 0, psSolid), emr::CreatePen, 0, 0, 0x0000FF},
      {TPen(clBlue, 1, psInsideFrame), emr::CreatePen, 6, 1, 0xFF0000},
      // Dashed hairlines are geometric pens one pixel wide with flat ends
      // and mitred joins, or two readers draw them solid.
      {TPen(clRed, 0, psDot), emr::ExtCreatePen, 0x12202, 1, 0x0000FF},
      {TPen(clWindowText, 1, psDashDotDot), emr::ExtCreatePen, 0x12204, 1, 0},
      {TPen(clBlue, 3, psDash), emr::ExtCreatePen, 0x10001, 3, 0xFF0000},
      {TPen(clGreen, 2, psSolid), emr::ExtCreatePen, 0x10000, 2, 0x008000},
      {TPen(clGreen, 5, psDashDot), emr::ExtCreatePen, 0x10003, 5, 0x008000},
      {TPen(clGreen, 4, psClear), 0, 0, 0, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(int(C.Pen.Style()) * 100 + C.Pen.Width());
    const TEmfFile F = Emf([&](TCanvas& Cv) {
      Cv.SetPen(C.Pen);
      Cv.Rectangle(0, 0, 10, 10);
    });
    const auto Plain = F.OfType(emr::CreatePen);
    const auto Ext = F.OfType(emr::ExtCreatePen);
    if (C.CreateType == 0) {
      EXPECT_TRUE(Plain.empty() && Ext.empty());
      EXPECT_EQ(F.Records[F.First(emr::SelectObject)].U32(8), StockNullPen);
    } else if (C.CreateType == emr::CreatePen) {
      ASSERT_EQ(Plain.size(), 1u);
      EXPECT_EQ(Plain[0].Size, 28u);
      EXPECT_EQ(Plain[0].U32(12), C.Style);
      EXPECT_EQ(Plain[0].U32(16), C.Width);
      EXPECT_EQ(Plain[0].U32(20), 0u);
      EXPECT_EQ(Plain[0].U32(24), C.Color);
    } else {
      ASSERT_EQ(Ext.size(), 1u);
      EXPECT_EQ(Ext[0].Size, 52u);
      EXPECT_EQ(Ext[0].U32(28), C.Style);
      EXPECT_EQ(Ext[0].U32(32), C.Width);
      EXPECT_EQ(Ext[0].U32(36), 0u);  // solid brush
      EXPECT_EQ(Ext[0].U32(40), C.Color);
      EXPECT_EQ(Ext[0].U32(48), 0u);  // no style entries
    }
  }
}

TEST(EmfWriter, BrushesByStyle) {
  struct Case {
    TBrushStyle Style;
    bool Solid;      // a solid brush object; otherwise the stock NULL_BRUSH
    int HatchLines;  // across a 33 x 17 ellipse
  };
  const Case Cases[] = {
      {bsSolid, true, 0},      {bsClear, false, 0},     {bsHorizontal, false, 2}, {bsVertical, false, 4},
      {bsFDiagonal, false, 5}, {bsBDiagonal, false, 5}, {bsCross, false, 6},      {bsDiagCross, false, 10},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(int(C.Style));
    const TEmfFile F = Emf([&](TCanvas& Cv) {
      Cv.SetBrush(TBrush(clTeal, C.Style));
      Cv.Ellipse(TRect(0, 0, 33, 17));
    });
    const auto Brushes = F.OfType(emr::CreateBrushIndirect);
    EXPECT_EQ(int(F.OfType(emr::LineTo).size()), C.HatchLines);
    if (!C.Solid) {
      EXPECT_TRUE(Brushes.empty());
      EXPECT_EQ(F.Records[F.First(emr::SelectObject) + 1].U32(8), StockNullBrush);
      continue;
    }
    ASSERT_EQ(Brushes.size(), 1u);
    EXPECT_EQ(Brushes[0].Size, 24u);
    EXPECT_EQ(Brushes[0].U32(12), 0u);  // BS_SOLID
    EXPECT_EQ(Brushes[0].U32(16), 0x808000u);
    EXPECT_EQ(Brushes[0].U32(20), 0u);
  }
}

TEST(EmfWriter, FontRecordCarriesHeightWeightStylesCharsetAndFace) {
  struct Case {
    TFont Font;
    std::int32_t Height;
    std::int32_t Weight;
    std::uint8_t Italic, Underline, StrikeOut, Charset;
    std::u16string Face;
  };
  const std::string LongName(40, 'N');
  const Case Cases[] = {
      {TFont("Arial", 10), -13, 400, 0, 0, 0, 1, u"Arial"},
      {TFont("Arial", 10, clBlack, {fsBold}, EASTEUROPE_CHARSET), -13, 700, 0, 0, 0, 238, u"Arial"},
      {TFont("Times New Roman", 12, clBlack, {fsItalic, fsUnderline, fsStrikeOut}), -16, 400, 1, 1, 1, 1,
       u"Times New Roman"},
      {TFont("Čopič", 8), -11, 400, 0, 0, 0, 1, u"Čopič"},
      {TFont(LongName, 10), -13, 400, 0, 0, 0, 1, std::u16string(31, u'N')},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Font.Name());
    const TEmfFile F = Emf([&](TCanvas& Cv) {
      Cv.SetFont(C.Font);
      Cv.TextOut(0, 0, "x");
    });
    const auto Fonts = F.OfType(emr::ExtCreateFontIndirectW);
    ASSERT_EQ(Fonts.size(), 1u);
    const TEmfRecord& R = Fonts[0];
    EXPECT_EQ(R.Size, 104u);
    EXPECT_EQ(R.I32(12), C.Height);
    EXPECT_EQ(R.I32(16), 0);
    EXPECT_EQ(R.I32(28), C.Weight);
    EXPECT_EQ(R.U8(32), C.Italic);
    EXPECT_EQ(R.U8(33), C.Underline);
    EXPECT_EQ(R.U8(34), C.StrikeOut);
    EXPECT_EQ(R.U8(35), C.Charset);
    std::u16string Face = C.Face;
    Face.resize(32, u'\0');
    EXPECT_EQ(R.Utf16(40, 32), Face);
  }
}

TEST(EmfWriter, TextIsUtf16WithTheMeasurersAdvances) {
  const TEmfFile F = Emf([](TCanvas& C) {
    C.SetFont(TFont("Arial", 10, clBlue));
    C.TextOut(7, 8, "Cena š\xF0\x9F\x98\x80");
  });
  const auto Texts = F.OfType(emr::ExtTextOutW);
  ASSERT_EQ(Texts.size(), 1u);
  const TEmfRecord& R = Texts[0];
  EXPECT_EQ(R.Rect(8), (std::vector<std::int32_t>{7, 8, 62, 23}));  // 7 characters of 8 px
  EXPECT_EQ(R.U32(24), 1u);                                         // compatible mode
  EXPECT_EQ(R.F32(28), 1.0f);
  EXPECT_EQ(R.F32(32), 1.0f);
  EXPECT_EQ(R.I32(36), 7);
  EXPECT_EQ(R.I32(40), 8 + 13);  // on the baseline, the ascent below the top
  const std::uint32_t N = R.U32(44);
  EXPECT_EQ(N, 8u);  // the emoji takes two code units
  EXPECT_EQ(R.U32(48), 76u);
  EXPECT_EQ(R.U32(52), 0u);  // no options, ETO_NO_RECT never
  EXPECT_EQ(R.Rect(56), (std::vector<std::int32_t>{0, 0, 0, 0}));
  EXPECT_EQ(R.U32(72), 92u);
  EXPECT_EQ(R.Utf16(76, N), u"Cena š\xD83D\xDE00");
  std::vector<std::int32_t> Dx;
  for (std::uint32_t I = 0; I < N; ++I) Dx.push_back(R.I32(92 + 4 * I));
  EXPECT_THAT(Dx, ElementsAre(8, 8, 8, 8, 8, 8, 8, 0));
  EXPECT_EQ(R.Size, 92u + 32u);
  EXPECT_EQ(F.Records[F.First(emr::SetTextColor)].U32(8), 0xFF0000u);
}

// A dashed outline is filled and stroked as two paths: one reader strokes a
// combined stroke and fill solid.
TEST(EmfWriter, DashedOutlinesAreFilledAndStrokedApart) {
  const auto DrawTypes = [](TPenStyle Pen, TBrushStyle Brush) {
    const TEmfFile F = Emf([&](TCanvas& C) {
      C.SetPen(TPen(clRed, 1, Pen));
      C.SetBrush(TBrush(clYellow, Brush));
      C.Ellipse(TRect(0, 0, 40, 20));
    });
    std::vector<std::uint32_t> Types;
    for (std::uint32_t T : F.Types())
      if (T == emr::FillPath || T == emr::StrokePath || T == emr::StrokeAndFillPath) Types.push_back(T);
    EXPECT_EQ(F.OfType(emr::BeginPath).size(), Types.size());
    return Types;
  };
  using namespace emr;
  EXPECT_THAT(DrawTypes(psSolid, bsSolid), ElementsAre(StrokeAndFillPath));
  EXPECT_THAT(DrawTypes(psDash, bsSolid), ElementsAre(FillPath, StrokePath));
  EXPECT_THAT(DrawTypes(psDot, bsClear), ElementsAre(StrokePath));
  EXPECT_THAT(DrawTypes(psDashDot, bsCross), ElementsAre(StrokePath));
}

// Readers expand a tab their own way, or ignore the advances: every run
// between control characters starts where it was measured.
TEST(EmfWriter, ControlCharactersSplitTextIntoRunsAtTheirMeasuredPlaces) {
  const TEmfFile F = Emf([](TCanvas& C) {
    C.TextOut(7, 8,
              "ab\tc\x01\x02"
              "de");
  });
  const auto Texts = F.OfType(emr::ExtTextOutW);
  ASSERT_EQ(Texts.size(), 3u);
  const std::pair<std::int32_t, std::u16string> Expected[] = {{7, u"ab"}, {7 + 24, u"c"}, {7 + 48, u"de"}};
  for (int I = 0; I < 3; ++I) {
    EXPECT_EQ(Texts[I].I32(36), Expected[I].first);
    EXPECT_EQ(Texts[I].Utf16(76, Texts[I].U32(44)), Expected[I].second);
    EXPECT_EQ(Texts[I].Rect(8)[0], Expected[I].first);
  }
  // Nothing but control characters draws nothing.
  EXPECT_TRUE(Emf([](TCanvas& C) { C.TextOut(0, 0, "\t"); }).OfType(emr::ExtTextOutW).empty());
}

TEST(EmfWriter, ClippedTextIsBracketedAndMarked) {
  const TEmfFile F = Emf([](TCanvas& C) { C.TextRect(TRect(10, 10, 30, 30), 5, 12, "Price"); });
  const int Text = F.First(emr::ExtTextOutW);
  ASSERT_GE(Text, 2);
  EXPECT_EQ(F.Records[Text - 2].Type, emr::SaveDC);
  EXPECT_EQ(F.Records[Text - 1].Type, emr::IntersectClipRect);
  EXPECT_EQ(F.Records[Text + 1].Type, emr::RestoreDC);
  const TEmfRecord& R = F.Records[Text];
  EXPECT_EQ(R.U32(52), 4u);  // ETO_CLIPPED
  EXPECT_EQ(R.Rect(56), (std::vector<std::int32_t>{10, 10, 30, 30}));
  EXPECT_EQ(R.Rect(8), (std::vector<std::int32_t>{10, 12, 29, 27}));
}

TEST(EmfWriter, TextColourIsSetOnlyWhenItChanges) {
  const TEmfFile F = Emf([](TCanvas& C) {
    C.TextOut(0, 0, "a");
    C.TextOut(0, 20, "b");
    C.SetFont(TFont("Arial", 12));  // another font, the same colour
    C.TextOut(0, 40, "c");
    C.SetFont(TFont("Arial", 12, clRed));
    C.TextOut(0, 60, "d");
  });
  const auto Colors = F.OfType(emr::SetTextColor);
  ASSERT_EQ(Colors.size(), 2u);
  EXPECT_EQ(Colors[0].U32(8), 0u);
  EXPECT_EQ(Colors[1].U32(8), 0x0000FFu);
}

TEST(EmfWriter, OperationsThatShowNothingAreLeftOut) {
  const TEmfFile F = Emf([](TCanvas& C) {
    C.TextOut(1, 1, "");
    C.TextRect(TRect(0, 0, 10, 10), 1, 1, "");
    C.TextRect(TRect(10, 10, 10, 30), 1, 1, "hidden");  // empty clip
    C.SetBrush(TBrush(clRed, bsClear));
    C.FillRect(TRect(0, 0, 10, 10));
    C.SetBrush(TBrush(clRed));
    C.FillRect(TRect(5, 5, 5, 10));
  });
  EXPECT_THAT(F.Types(),
              ElementsAre(emr::Header, emr::SetMapMode, emr::SetBkMode, emr::SetTextAlign, emr::Eof));
}

TEST(EmfWriter, RoundedRectangleIsAPathOfQuarterEllipses) {
  const TEmfFile F = Emf([](TCanvas& C) { C.RoundRect(TRect(0, 0, 101, 41), 50, 20); });
  const int Begin = F.First(emr::BeginPath);
  ASSERT_GE(Begin, 0);
  using namespace emr;
  std::vector<std::uint32_t> PathTypes;
  for (std::size_t I = Begin; I < F.Records.size() && PathTypes.size() < 14; ++I)
    PathTypes.push_back(F.Records[I].Type);
  EXPECT_THAT(PathTypes, ElementsAre(BeginPath, MoveToEx, LineTo, PolyBezierTo16, LineTo, PolyBezierTo16,
                                     LineTo, PolyBezierTo16, LineTo, PolyBezierTo16, CloseFigure, EndPath,
                                     StrokeAndFillPath, SelectObject));
  // The outline runs through the last pixel inside the rectangle (100, 40);
  // the corner ellipse is 50 x 20.
  EXPECT_EQ(Points(F.Records[Begin + 1]), (std::vector<std::int32_t>{25, 0}));
  EXPECT_EQ(Points(F.Records[Begin + 2]), (std::vector<std::int32_t>{75, 0}));
  const TEmfRecord& Bz = F.Records[Begin + 3];
  EXPECT_EQ(Bz.U32(24), 3u);
  std::vector<int> P;
  for (int I = 0; I < 6; ++I) P.push_back(Bz.I16(28 + 2 * I));
  EXPECT_THAT(P, ElementsAre(89, 0, 100, 4, 100, 10));
  EXPECT_EQ(Bz.Rect(8), (std::vector<std::int32_t>{89, 0, 100, 10}));
  EXPECT_EQ(Points(F.Records[Begin + 4]), (std::vector<std::int32_t>{100, 30}));
  EXPECT_EQ(Points(F.Records[Begin + 6]), (std::vector<std::int32_t>{25, 40}));
  EXPECT_EQ(Points(F.Records[Begin + 8]), (std::vector<std::int32_t>{0, 10}));
  const TEmfRecord& Last = F.Records[Begin + 9];
  EXPECT_EQ(Last.I16(36), 25);
  EXPECT_EQ(Last.I16(38), 0);
  EXPECT_EQ(F.Records[Begin + 12].Rect(8), (std::vector<std::int32_t>{0, 0, 100, 40}));
}

TEST(EmfWriter, RoundedRectangleEdgeCases) {
  // Beyond the 16-bit range the curves take 32-bit points.
  TEmfFile F = Emf([](TCanvas& C) { C.RoundRect(TRect(40000, 0, 40101, 41), 50, 20); }, 50000, 100);
  EXPECT_EQ(F.OfType(emr::PolyBezierTo16).size(), 0u);
  const auto Curves = F.OfType(emr::PolyBezierTo);
  ASSERT_EQ(Curves.size(), 4u);
  EXPECT_EQ(Curves[0].Size, 28u + 24u);
  EXPECT_EQ(Curves[0].I32(28), 40089);

  // A path moves the device position; the next line starts where the
  // canvas's pen is.
  F = Emf([](TCanvas& C) {
    C.MoveTo(1, 2);
    C.RoundRect(TRect(10, 10, 50, 50), 8, 8);
    C.LineTo(5, 6);
  });
  const int Line = F.First(emr::LineTo, F.First(emr::StrokeAndFillPath));
  ASSERT_GT(Line, 0);
  EXPECT_EQ(F.Records[Line - 1].Type, emr::MoveToEx);
  EXPECT_EQ(Points(F.Records[Line - 1]), (std::vector<std::int32_t>{1, 2}));
}

TEST(EmfWriter, FillRectIsAFilledPathOverExactlyItsPixels) {
  const TEmfFile F = Emf([](TCanvas& C) {
    C.SetBrush(TBrush(clLime));
    C.FillRect(TRect(0, 0, 302, 202));
  });
  const int Begin = F.First(emr::BeginPath);
  ASSERT_GE(Begin, 0);
  using namespace emr;
  EXPECT_EQ(Points(F.Records[Begin + 1]), (std::vector<std::int32_t>{0, 0}));
  EXPECT_EQ(Points(F.Records[Begin + 2]), (std::vector<std::int32_t>{302, 0}));
  EXPECT_EQ(Points(F.Records[Begin + 3]), (std::vector<std::int32_t>{302, 202}));
  EXPECT_EQ(Points(F.Records[Begin + 4]), (std::vector<std::int32_t>{0, 202}));
  EXPECT_EQ(F.Records[Begin + 5].Type, CloseFigure);
  EXPECT_EQ(F.Records[Begin + 6].Type, EndPath);
  EXPECT_EQ(F.Records[Begin + 7].Type, FillPath);
  EXPECT_EQ(F.Records[Begin + 7].Rect(8), (std::vector<std::int32_t>{0, 0, 301, 201}));
}

TEST(EmfWriter, ObjectsAreCreatedOncePerDistinctValue) {
  const TEmfFile F = Emf([](TCanvas& C) {
    for (int I = 0; I < 10; ++I) {
      C.SetPen(TPen(I % 2 ? clRed : clBlue));
      C.Rectangle(I, I, I + 5, I + 5);
    }
    C.SetPen(TPen(clWindowText));  // the same black as ...
    C.Rectangle(0, 0, 1, 1);
    C.SetPen(TPen(clBlack));  // ... this one
    C.Rectangle(0, 0, 1, 1);
  });
  EXPECT_EQ(F.OfType(emr::CreatePen).size(), 3u);
  EXPECT_EQ(F.OfType(emr::CreateBrushIndirect).size(), 1u);
  // Selected at each change only: 10 alternations, black, the final stock pen.
  std::set<std::uint32_t> Pens = {StockBlackPen};
  for (const TEmfRecord& R : F.OfType(emr::CreatePen)) Pens.insert(R.U32(8));
  int PenSelections = 0;
  for (const TEmfRecord& R : F.OfType(emr::SelectObject)) PenSelections += int(Pens.count(R.U32(8)));
  EXPECT_EQ(PenSelections, 12);
}

TEST(EmfWriter, ManyDistinctObjectsReuseHandles) {
  std::vector<std::uint8_t> Bytes;
  const TEmfFile F = Emf(
      [](TCanvas& C) {
        for (int I = 0; I < 600; ++I) {
          C.SetPen(TPen(TColor(I)));
          C.LineTo(I, I);
        }
        C.SetPen(TPen(TColor(0)));  // long evicted: made again
        C.LineTo(0, 0);
        C.SetPen(TPen(TColor(599)));  // still alive
        C.LineTo(1, 1);
      },
      300, 200, "car", &Bytes);
  EXPECT_EQ(F.OfType(emr::CreatePen).size(), 601u);
  EXPECT_LE(F.Header().U16(56), EmfMaxLiveObjects + 1);
}

TEST(SaveEmf, WritesTheFileAndReportsFailures) {
  const std::filesystem::path Dir = std::filesystem::temp_directory_path() / "vt_graphics_emf";
  std::filesystem::create_directories(Dir);
  const std::string Path = (Dir / "tree.emf").string();
  TMetafile M(20, 10);
  const TFakeMeasurer Measurer;
  {
    TMetafileCanvas C(M, Measurer);
    C.Rectangle(0, 0, 20, 10);
  }
  SaveEmf(M, Measurer, Path);
  std::ifstream In(Path, std::ios::binary);
  const std::vector<std::uint8_t> Bytes((std::istreambuf_iterator<char>(In)), {});
  EXPECT_EQ(Bytes, EmfBytes(M, Measurer));
  EXPECT_THAT(WalkEmf(Bytes).Problems, ElementsAre());

  const std::string Missing = (Dir / "no-such-dir" / "tree.emf").string();
  try {
    SaveEmf(M, Measurer, Missing);
    ADD_FAILURE() << "no error";
  } catch (const EFileWriteError& E) {
    EXPECT_EQ(E.Message(), "Cannot create file \"" + Missing + "\". No such file or directory");
  }
  std::filesystem::remove_all(Dir);
}

}  // namespace
}  // namespace vt
