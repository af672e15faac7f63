// A canvas painting on a QPainter: the screen, raster images and PDF.
// Geometry follows the classic surface: an outline runs through the outer
// pixels inside the rectangle (right and bottom exclusive), fills cover
// exactly [Left, Right) x [Top, Bottom), text is anchored at its top-left.
#pragma once

#include <QPainter>

#include "graphics/Canvas.h"
#include "graphics/Geometry.h"
#include "graphics/TextMeasurer.h"

namespace vt {

QColor ToQColor(TColor Color);

class TQPainterCanvas : public TCanvas {
 public:
  // Paints in picture pixels scaled by ScaleX and ScaleY (1.0 draws a
  // metafile at its size, 2.0 at 200 %). Painter and Measurer must outlive
  // the canvas; the painter's state is restored when the canvas goes.
  TQPainterCanvas(QPainter& APainter, const TTextMeasurer& AMeasurer, double AScaleX = 1.0,
                  double AScaleY = 1.0);
  ~TQPainterCanvas() override;

  int TextWidth(std::string_view Text) const override;
  int TextHeight(std::string_view Text) const override;

 protected:
  void DoMoveTo(int X, int Y) override;
  void DoLineTo(int X, int Y) override;
  void DoRectangle(const TRect& R) override;
  void DoEllipse(const TRect& R) override;
  void DoRoundRect(const TRect& R, int CornerW, int CornerH) override;
  void DoFillRect(const TRect& R) override;
  void DoTextOut(int X, int Y, std::string_view Text) override;
  void DoTextRect(const TRect& Clip, int X, int Y, std::string_view Text) override;

 private:
  // Sets the painter's pen from the canvas's.
  void ApplyPen();
  void DrawHatch(const TShapeOutline& Outline);
  void DrawShape(TShapeKind Kind, const TRect& R, int CornerW, int CornerH);
  void DrawText(int X, int Y, std::string_view Text);

  QPainter& FPainter;
  const TTextMeasurer& FMeasurer;
};

}  // namespace vt
