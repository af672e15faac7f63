// The drawing surface the picture is drawn on: current pen, brush and font,
// lines, shapes, fills and text, and text metrics. Implementations record a
// metafile (TMetafileCanvas) or paint on a real device (the Qt canvas).
//
// Conventions of the classic surface: the right and bottom edges of every
// rectangle are exclusive; shapes are outlined with the pen and filled with
// the brush; text is anchored at its top-left corner and never paints a
// background; TextOut does not move the pen position.
#pragma once

#include <string_view>

#include "graphics/Graphics.h"

namespace vt {

class TCanvas {
 public:
  TCanvas() = default;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  virtual ~TCanvas() = default;

  const TPen& Pen() const { return FPen; }
  void SetPen(const TPen& Value) { FPen = Value; }
  const TBrush& Brush() const { return FBrush; }
  void SetBrush(const TBrush& Value) { FBrush = Value; }
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& Value) { FFont = Value; }
  // Where the next LineTo starts.
  TPoint PenPos() const { return FPenPos; }

  void MoveTo(int X, int Y);
  // A line from the pen position to (X, Y), which becomes the pen position.
  void LineTo(int X, int Y);
  void Rectangle(const TRect& R) { DoRectangle(R); }
  void Rectangle(int X1, int Y1, int X2, int Y2) { DoRectangle(TRect(X1, Y1, X2, Y2)); }
  // The ellipse inscribed in R.
  void Ellipse(const TRect& R) { DoEllipse(R); }
  // R with rounded corners; each corner is a quarter of an ellipse CornerW
  // wide and CornerH high (limited to the rectangle's size).
  void RoundRect(const TRect& R, int CornerW, int CornerH) { DoRoundRect(R, CornerW, CornerH); }
  // Fills R with the brush, without outline; a clear brush fills nothing.
  void FillRect(const TRect& R) { DoFillRect(R); }
  // Text with its top-left corner at (X, Y) in the current font.
  void TextOut(int X, int Y, std::string_view Text) { DoTextOut(X, Y, Text); }
  // The same, clipped to Clip.
  void TextRect(const TRect& Clip, int X, int Y, std::string_view Text) { DoTextRect(Clip, X, Y, Text); }
  virtual int TextWidth(std::string_view Text) const = 0;
  virtual int TextHeight(std::string_view Text) const = 0;

 protected:
  virtual void DoMoveTo(int X, int Y) = 0;
  virtual void DoLineTo(int X, int Y) = 0;
  virtual void DoRectangle(const TRect& R) = 0;
  virtual void DoEllipse(const TRect& R) = 0;
  virtual void DoRoundRect(const TRect& R, int CornerW, int CornerH) = 0;
  virtual void DoFillRect(const TRect& R) = 0;
  virtual void DoTextOut(int X, int Y, std::string_view Text) = 0;
  virtual void DoTextRect(const TRect& Clip, int X, int Y, std::string_view Text) = 0;

 private:
  TPen FPen;
  TBrush FBrush;
  TFont FFont;
  TPoint FPenPos;
};

inline void TCanvas::MoveTo(int X, int Y) {
  DoMoveTo(X, Y);
  FPenPos = TPoint(X, Y);
}

inline void TCanvas::LineTo(int X, int Y) {
  DoLineTo(X, Y);
  FPenPos = TPoint(X, Y);
}

}  // namespace vt
