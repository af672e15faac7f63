#include "graphics/Metafile.h"

#include <functional>

namespace vt {

namespace {

std::size_t Combine(std::size_t Seed, std::size_t Value) {
  return Seed ^ (Value + 0x9E3779B97F4A7C15ull + (Seed << 6) + (Seed >> 2));
}

template <typename T, typename Map>
int Intern(const T& Value, std::vector<T>& Table, Map& Index) {
  auto [It, Inserted] = Index.try_emplace(Value, static_cast<int>(Table.size()));
  if (Inserted) Table.push_back(Value);
  return It->second;
}

}  // namespace

std::size_t TMetafile::TPenHash::operator()(const TPen& P) const {
  std::size_t H = std::hash<int>()(P.Color());
  H = Combine(H, std::hash<int>()(P.Width()));
  return Combine(H, P.Style());
}

std::size_t TMetafile::TBrushHash::operator()(const TBrush& B) const {
  return Combine(std::hash<int>()(B.Color()), B.Style());
}

std::size_t TMetafile::TFontHash::operator()(const TFont& F) const {
  std::size_t H = std::hash<std::string>()(F.Name());
  H = Combine(H, std::hash<int>()(F.Size()));
  H = Combine(H, std::hash<int>()(F.Color()));
  H = Combine(H, F.Style().Bits());
  return Combine(H, F.Charset());
}

TMetafile::TMetafile(int AWidth, int AHeight, std::string APictureName)
    : FWidth(AWidth), FHeight(AHeight), FPictureName(std::move(APictureName)) {}

int TMetafile::AddPen(const TPen& Pen) {
  return Intern(Pen, FPens, FPenIndex);
}
int TMetafile::AddBrush(const TBrush& Brush) {
  return Intern(Brush, FBrushes, FBrushIndex);
}
int TMetafile::AddFont(const TFont& Font) {
  return Intern(Font, FFonts, FFontIndex);
}

void TMetafile::Add(TMetaRecord Record) {
  if (Record.Pen < 0 || Record.Pen >= PenCount())
    throw EGraphicsError(Fmt(SGraphicsUnknownState, "pen", Record.Pen));
  if (Record.Brush < 0 || Record.Brush >= BrushCount())
    throw EGraphicsError(Fmt(SGraphicsUnknownState, "brush", Record.Brush));
  if (Record.Font < 0 || Record.Font >= FontCount())
    throw EGraphicsError(Fmt(SGraphicsUnknownState, "font", Record.Font));
  FRecords.push_back(std::move(Record));
}

void TMetafile::Clear() {
  FRecords.clear();
  FPens.clear();
  FBrushes.clear();
  FFonts.clear();
  FPenIndex.clear();
  FBrushIndex.clear();
  FFontIndex.clear();
}

// ---------------------------------------------------------------------------

TMetaRecord TMetafileCanvas::NewRecord(TMetaOp Op) {
  if (FLastPenIndex < 0 || !(Pen() == FLastPen)) {
    FLastPen = Pen();
    FLastPenIndex = FMetafile.AddPen(FLastPen);
  }
  if (FLastBrushIndex < 0 || !(Brush() == FLastBrush)) {
    FLastBrush = Brush();
    FLastBrushIndex = FMetafile.AddBrush(FLastBrush);
  }
  if (FLastFontIndex < 0 || !(Font() == FLastFont)) {
    FLastFont = Font();
    FLastFontIndex = FMetafile.AddFont(FLastFont);
  }
  TMetaRecord R;
  R.Op = Op;
  R.Pen = FLastPenIndex;
  R.Brush = FLastBrushIndex;
  R.Font = FLastFontIndex;
  return R;
}

int TMetafileCanvas::TextWidth(std::string_view Text) const {
  return FMeasurer.TextWidth(Font(), Text);
}

int TMetafileCanvas::TextHeight(std::string_view Text) const {
  return FMeasurer.TextHeight(Font(), Text);
}

void TMetafileCanvas::DoMoveTo(int X, int Y) {
  TMetaRecord R = NewRecord(TMetaOp::MoveTo);
  R.Point = TPoint(X, Y);
  FMetafile.Add(std::move(R));
}

void TMetafileCanvas::DoLineTo(int X, int Y) {
  TMetaRecord R = NewRecord(TMetaOp::LineTo);
  R.Point = TPoint(X, Y);
  FMetafile.Add(std::move(R));
}

void TMetafileCanvas::DoRectangle(const TRect& Rect) {
  TMetaRecord R = NewRecord(TMetaOp::Rectangle);
  R.Rect = Rect;
  FMetafile.Add(std::move(R));
}

void TMetafileCanvas::DoEllipse(const TRect& Rect) {
  TMetaRecord R = NewRecord(TMetaOp::Ellipse);
  R.Rect = Rect;
  FMetafile.Add(std::move(R));
}

void TMetafileCanvas::DoRoundRect(const TRect& Rect, int CornerW, int CornerH) {
  TMetaRecord R = NewRecord(TMetaOp::RoundRect);
  R.Rect = Rect;
  R.Corner = TPoint(CornerW, CornerH);
  FMetafile.Add(std::move(R));
}

void TMetafileCanvas::DoFillRect(const TRect& Rect) {
  TMetaRecord R = NewRecord(TMetaOp::FillRect);
  R.Rect = Rect;
  FMetafile.Add(std::move(R));
}

void TMetafileCanvas::DoTextOut(int X, int Y, std::string_view Text) {
  TMetaRecord R = NewRecord(TMetaOp::TextOut);
  R.Point = TPoint(X, Y);
  R.Text = std::string(Text);
  FMetafile.Add(std::move(R));
}

void TMetafileCanvas::DoTextRect(const TRect& Clip, int X, int Y, std::string_view Text) {
  TMetaRecord R = NewRecord(TMetaOp::TextRect);
  R.Rect = Clip;
  R.Point = TPoint(X, Y);
  R.Text = std::string(Text);
  FMetafile.Add(std::move(R));
}

// ---------------------------------------------------------------------------

TShapeKind ShapeKindOf(TMetaOp Op) {
  switch (Op) {
    case TMetaOp::Ellipse:
      return TShapeKind::Ellipse;
    case TMetaOp::RoundRect:
      return TShapeKind::RoundRect;
    default:
      return TShapeKind::Rectangle;
  }
}

TShapeOutline RecordOutline(const TMetaRecord& Record) {
  return ShapeOutline(ShapeKindOf(Record.Op), Record.Rect, Record.Corner.X, Record.Corner.Y);
}

void Play(const TMetafile& Metafile, TCanvas& Canvas) {
  for (const TMetaRecord& R : Metafile.Records()) {
    Canvas.SetPen(Metafile.PenOf(R));
    Canvas.SetBrush(Metafile.BrushOf(R));
    Canvas.SetFont(Metafile.FontOf(R));
    switch (R.Op) {
      case TMetaOp::MoveTo:
        Canvas.MoveTo(R.Point.X, R.Point.Y);
        break;
      case TMetaOp::LineTo:
        Canvas.LineTo(R.Point.X, R.Point.Y);
        break;
      case TMetaOp::Rectangle:
        Canvas.Rectangle(R.Rect);
        break;
      case TMetaOp::Ellipse:
        Canvas.Ellipse(R.Rect);
        break;
      case TMetaOp::RoundRect:
        Canvas.RoundRect(R.Rect, R.Corner.X, R.Corner.Y);
        break;
      case TMetaOp::FillRect:
        Canvas.FillRect(R.Rect);
        break;
      case TMetaOp::TextOut:
        Canvas.TextOut(R.Point.X, R.Point.Y, R.Text);
        break;
      case TMetaOp::TextRect:
        Canvas.TextRect(R.Rect, R.Point.X, R.Point.Y, R.Text);
        break;
    }
  }
}

}  // namespace vt
