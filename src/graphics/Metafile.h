// The recorded picture: its size, its description and the ordered drawing
// operations, each with the pen, brush and font in force when it was drawn,
// in picture pixels. One recording feeds every output (the .emf and .svg
// writers and the Qt canvas for screen, raster and PDF), so they all show the
// same picture.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "graphics/Canvas.h"
#include "graphics/Geometry.h"
#include "graphics/TextMeasurer.h"

namespace vt {

inline constexpr const char* MetafileAppName = "VarnTree";

enum class TMetaOp : std::uint8_t {
  MoveTo,
  LineTo,
  Rectangle,
  Ellipse,
  RoundRect,
  FillRect,
  TextOut,
  TextRect
};

// One drawing operation. Which members matter depends on Op: MoveTo/LineTo
// use Point; Rectangle, Ellipse and FillRect use Rect; RoundRect uses Rect
// and Corner (the corner ellipse's width and height); TextOut uses Point and
// Text; TextRect uses Rect (the clip), Point and Text. Pen, Brush and Font are
// indices into the metafile's state tables.
struct TMetaRecord {
  TMetaOp Op = TMetaOp::MoveTo;
  TRect Rect;
  TPoint Point;
  TPoint Corner;
  std::string Text;
  int Pen = 0;
  int Brush = 0;
  int Font = 0;
  friend bool operator==(const TMetaRecord&, const TMetaRecord&) = default;
};

class TMetafile {
 public:
  TMetafile() = default;
  TMetafile(int AWidth, int AHeight, std::string APictureName = {});

  // Size of the picture in pixels.
  int Width() const { return FWidth; }
  void SetWidth(int Value) { FWidth = Value; }
  int Height() const { return FHeight; }
  void SetHeight(int Value) { FHeight = Value; }
  // The description: the application name ("VarnTree") and the picture name.
  const std::string& AppName() const { return FAppName; }
  void SetAppName(std::string Value) { FAppName = std::move(Value); }
  const std::string& PictureName() const { return FPictureName; }
  void SetPictureName(std::string Value) { FPictureName = std::move(Value); }

  int RecordCount() const { return static_cast<int>(FRecords.size()); }
  const TMetaRecord& Record(int Index) const { return FRecords[Checked(Index, FRecords, "Record")]; }
  const std::vector<TMetaRecord>& Records() const { return FRecords; }
  // The state tables; every distinct pen, brush and font appears once.
  int PenCount() const { return static_cast<int>(FPens.size()); }
  const TPen& Pens(int Index) const { return FPens[Checked(Index, FPens, "Pen")]; }
  int BrushCount() const { return static_cast<int>(FBrushes.size()); }
  const TBrush& Brushes(int Index) const { return FBrushes[Checked(Index, FBrushes, "Brush")]; }
  int FontCount() const { return static_cast<int>(FFonts.size()); }
  const TFont& Fonts(int Index) const { return FFonts[Checked(Index, FFonts, "Font")]; }
  // The state of a record.
  const TPen& PenOf(const TMetaRecord& R) const { return Pens(R.Pen); }
  const TBrush& BrushOf(const TMetaRecord& R) const { return Brushes(R.Brush); }
  const TFont& FontOf(const TMetaRecord& R) const { return Fonts(R.Font); }

  // The index of a state in its table, adding it when new.
  int AddPen(const TPen& Pen);
  int AddBrush(const TBrush& Brush);
  int AddFont(const TFont& Font);
  // Appends a record; its state indices must come from AddPen, AddBrush and
  // AddFont of this metafile (EGraphicsError otherwise).
  void Add(TMetaRecord Record);
  // Removes every record and state; size and description stay.
  void Clear();

 private:
  // Index as a position in Table; EGraphicsError when outside it.
  template <typename T>
  static std::size_t Checked(int Index, const std::vector<T>& Table, const char* What) {
    if (Index < 0 || static_cast<std::size_t>(Index) >= Table.size())
      throw EGraphicsError(Fmt(SGraphicsIndexError, What, Index));
    return static_cast<std::size_t>(Index);
  }

  struct TPenHash {
    std::size_t operator()(const TPen& P) const;
  };
  struct TBrushHash {
    std::size_t operator()(const TBrush& B) const;
  };
  struct TFontHash {
    std::size_t operator()(const TFont& F) const;
  };

  int FWidth = 0;
  int FHeight = 0;
  std::string FAppName = MetafileAppName;
  std::string FPictureName;
  std::vector<TMetaRecord> FRecords;
  std::vector<TPen> FPens;
  std::vector<TBrush> FBrushes;
  std::vector<TFont> FFonts;
  std::unordered_map<TPen, int, TPenHash> FPenIndex;
  std::unordered_map<TBrush, int, TBrushHash> FBrushIndex;
  std::unordered_map<TFont, int, TFontHash> FFontIndex;
};

// A canvas that records into a metafile and measures text with a measurer.
// Both must outlive the canvas.
class TMetafileCanvas : public TCanvas {
 public:
  TMetafileCanvas(TMetafile& AMetafile, const TTextMeasurer& AMeasurer)
      : FMetafile(AMetafile), FMeasurer(AMeasurer) {}

  TMetafile& Metafile() const { return FMetafile; }
  const TTextMeasurer& Measurer() const { return FMeasurer; }

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
  // A record carrying the current state.
  TMetaRecord NewRecord(TMetaOp Op);

  TMetafile& FMetafile;
  const TTextMeasurer& FMeasurer;
  // The canvas state last added to the tables, so unchanged state is not
  // looked up again for every record.
  TPen FLastPen;
  TBrush FLastBrush;
  TFont FLastFont;
  int FLastPenIndex = -1;
  int FLastBrushIndex = -1;
  int FLastFontIndex = -1;
};

// The shape of a Rectangle, Ellipse or RoundRect record, and its outline
// (every other record is drawn as a rectangle).
TShapeKind ShapeKindOf(TMetaOp Op);
TShapeOutline RecordOutline(const TMetaRecord& Record);

// Draws the recorded operations, in order and with their state, on Canvas.
// The canvas's pen, brush and font are those of the last record afterwards.
void Play(const TMetafile& Metafile, TCanvas& Canvas);

}  // namespace vt
