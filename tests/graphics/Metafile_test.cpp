#include "graphics/Metafile.h"

#include <gtest/gtest.h>

namespace vt {
namespace {

// Draws a small picture the way the renderer does: lines, then a shape with
// its pen and brush, then clear-brush text, clipped and unclipped.
void DrawSample(TCanvas& C) {
  C.SetPen(TPen(clBlue, 2, psDash));
  C.MoveTo(10, 20);
  C.LineTo(30, 40);
  C.SetPen(TPen(clBlack));
  C.SetBrush(TBrush(clYellow));
  C.RoundRect(TRect(5, 6, 105, 46), 50, 20);
  C.Ellipse(TRect(1, 2, 3, 4));
  TFont F("Arial", 12, clRed, {fsBold});
  C.SetFont(F);
  TBrush Clear = C.Brush();
  Clear.SetStyle(bsClear);
  C.SetBrush(Clear);
  C.TextOut(7, 8, "Car");
  C.TextRect(TRect(0, 0, 20, 20), 1, 2, "Price");
  C.SetBrush(TBrush(clLime));
  C.FillRect(TRect(0, 0, 302, 202));
  C.Rectangle(1, 1, 9, 9);
}

TEST(TMetafileCanvas, RecordsOperationsInOrderWithTheirState) {
  TMetafile M(300, 200, "car.vrn");
  const TFakeMeasurer Measurer;
  TMetafileCanvas C(M, Measurer);
  DrawSample(C);

  EXPECT_EQ(M.Width(), 300);
  EXPECT_EQ(M.Height(), 200);
  EXPECT_EQ(M.AppName(), "VarnTree");
  EXPECT_EQ(M.PictureName(), "car.vrn");
  ASSERT_EQ(M.RecordCount(), 8);

  struct Expected {
    TMetaOp Op;
    TPen Pen;
    TBrush Brush;
  };
  const TPen Blue(clBlue, 2, psDash);
  const Expected E[] = {
      {TMetaOp::MoveTo, Blue, TBrush()},
      {TMetaOp::LineTo, Blue, TBrush()},
      {TMetaOp::RoundRect, TPen(), TBrush(clYellow)},
      {TMetaOp::Ellipse, TPen(), TBrush(clYellow)},
      {TMetaOp::TextOut, TPen(), TBrush(clYellow, bsClear)},
      {TMetaOp::TextRect, TPen(), TBrush(clYellow, bsClear)},
      {TMetaOp::FillRect, TPen(), TBrush(clLime)},
      {TMetaOp::Rectangle, TPen(), TBrush(clLime)},
  };
  for (std::size_t I = 0; I < std::size(E); ++I) {
    const TMetaRecord& R = M.Record(static_cast<int>(I));
    EXPECT_EQ(R.Op, E[I].Op) << I;
    EXPECT_EQ(M.PenOf(R), E[I].Pen) << I;
    EXPECT_EQ(M.BrushOf(R), E[I].Brush) << I;
  }
  EXPECT_EQ(M.Record(1).Point, TPoint(30, 40));
  EXPECT_EQ(M.Record(2).Rect, TRect(5, 6, 105, 46));
  EXPECT_EQ(M.Record(2).Corner, TPoint(50, 20));
  EXPECT_EQ(M.Record(4).Text, "Car");
  EXPECT_EQ(M.Record(4).Point, TPoint(7, 8));
  EXPECT_EQ(M.FontOf(M.Record(4)), TFont("Arial", 12, clRed, {fsBold}));
  EXPECT_EQ(M.FontOf(M.Record(0)), TFont());
  EXPECT_EQ(M.Record(5).Rect, TRect(0, 0, 20, 20));
  EXPECT_EQ(M.Record(7).Rect, TRect(1, 1, 9, 9));

  // Each distinct state is kept once.
  EXPECT_EQ(M.PenCount(), 2);
  EXPECT_EQ(M.BrushCount(), 4);
  EXPECT_EQ(M.FontCount(), 2);
}

TEST(TMetafileCanvas, MeasuresWithItsMeasurerInTheCurrentFont) {
  TMetafile M;
  const TFakeMeasurer Measurer;
  TMetafileCanvas C(M, Measurer);
  EXPECT_EQ(C.TextWidth("Tj"), 16);
  EXPECT_EQ(C.TextHeight("Tj"), 16);
  C.SetFont(TFont("Arial", 20));
  EXPECT_EQ(C.TextWidth("Tj"), 32);
  EXPECT_EQ(C.TextHeight("Tj"), 32);
  EXPECT_EQ(M.RecordCount(), 0);  // measuring records nothing
}

TEST(TMetafileCanvas, PenPositionFollowsMoveAndLine) {
  TMetafile M;
  const TFakeMeasurer Measurer;
  TMetafileCanvas C(M, Measurer);
  C.MoveTo(3, 4);
  EXPECT_EQ(C.PenPos(), TPoint(3, 4));
  C.LineTo(5, 6);
  C.TextOut(50, 60, "x");
  EXPECT_EQ(C.PenPos(), TPoint(5, 6));
}

TEST(Play, ReproducesTheRecordingOnAnotherCanvas) {
  TMetafile Original(300, 200);
  const TFakeMeasurer Measurer;
  {
    TMetafileCanvas C(Original, Measurer);
    DrawSample(C);
  }
  TMetafile Copy(300, 200);
  TMetafileCanvas C(Copy, Measurer);
  Play(Original, C);

  ASSERT_EQ(Copy.RecordCount(), Original.RecordCount());
  for (int I = 0; I < Original.RecordCount(); ++I) {
    const TMetaRecord& A = Original.Record(I);
    const TMetaRecord& B = Copy.Record(I);
    EXPECT_EQ(A, B) << I;
    EXPECT_EQ(Original.PenOf(A), Copy.PenOf(B)) << I;
    EXPECT_EQ(Original.BrushOf(A), Copy.BrushOf(B)) << I;
    EXPECT_EQ(Original.FontOf(A), Copy.FontOf(B)) << I;
  }
  EXPECT_EQ(C.Brush(), TBrush(clLime));
}

TEST(TMetafile, ClearKeepsSizeAndDescription) {
  TMetafile M(10, 20, "x");
  const TFakeMeasurer Measurer;
  TMetafileCanvas C(M, Measurer);
  C.Rectangle(0, 0, 5, 5);
  M.Clear();
  EXPECT_EQ(M.RecordCount(), 0);
  EXPECT_EQ(M.PenCount(), 0);
  EXPECT_EQ(M.Width(), 10);
  EXPECT_EQ(M.PictureName(), "x");
}

TEST(TMetafile, IndexErrors) {
  TMetafile M;
  const auto Message = [](auto F) {
    try {
      F();
    } catch (const EGraphicsError& E) {
      return E.Message();
    }
    return std::string("no error");
  };
  EXPECT_EQ(Message([&] { M.Record(0); }), "Record index out of bounds (0)");
  EXPECT_EQ(Message([&] { M.Pens(-1); }), "Pen index out of bounds (-1)");
  EXPECT_EQ(Message([&] { M.Brushes(2); }), "Brush index out of bounds (2)");
  EXPECT_EQ(Message([&] { M.Fonts(1); }), "Font index out of bounds (1)");

  TMetaRecord R;
  R.Pen = M.AddPen(TPen());
  R.Brush = M.AddBrush(TBrush());
  R.Font = 3;
  EXPECT_EQ(Message([&] { M.Add(R); }), "Metafile record refers to an unknown font (3)");
  R.Font = M.AddFont(TFont());
  R.Brush = -1;
  EXPECT_EQ(Message([&] { M.Add(R); }), "Metafile record refers to an unknown brush (-1)");
  R.Brush = 0;
  R.Pen = 1;
  EXPECT_EQ(Message([&] { M.Add(R); }), "Metafile record refers to an unknown pen (1)");
  EXPECT_EQ(M.RecordCount(), 0);
}

}  // namespace
}  // namespace vt
