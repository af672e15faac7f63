#include "graphics/SvgWriter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "foundation/Base.h"
#include "foundation/Utils.h"
#include "graphics/FileWriter.h"
#include "graphics/Geometry.h"

namespace vt {

namespace {

// Coordinates are written to a thousandth of a pixel, finer than any
// renderer shows; the shapes' own numbers are whole or half pixels anyway.
constexpr double NumberResolution = 1000.0;

void AppendInt(std::string& Out, long long V) {
  char Buffer[24];
  const std::to_chars_result R = std::to_chars(Buffer, Buffer + sizeof Buffer, V);
  Out.append(Buffer, R.ptr);
}

void AppendNumber(std::string& Out, double V) {
  const long long Scaled = RoundHalfEven64(V * NumberResolution);
  if (Scaled % static_cast<long long>(NumberResolution) == 0)
    return AppendInt(Out, Scaled / static_cast<long long>(NumberResolution));
  char Buffer[64];
  const std::to_chars_result R = std::to_chars(Buffer, Buffer + sizeof Buffer,
                                               double(Scaled) / NumberResolution, std::chars_format::fixed);
  Out.append(Buffer, R.ptr);
}

// ` Name="V"` with a number.
void AppendNumberAttribute(std::string& Out, const char* Name, double V) {
  Out += ' ';
  Out += Name;
  Out += "=\"";
  AppendNumber(Out, V);
  Out += '"';
}

// The characters an XML 1.0 document may contain.
constexpr bool IsXmlChar(char32_t C) {
  return C == 0x9 || C == 0xA || C == 0xD || (C >= 0x20 && C <= 0xD7FF) || (C >= 0xE000 && C <= 0xFFFD) ||
         (C >= 0x10000 && C <= 0x10FFFF);
}

constexpr char32_t ReplacementChar = 0xFFFD;

// Text content or an attribute value: the markup characters as entities, a
// carriage return as a reference (a parser would turn a literal one into a
// line feed), and the characters XML forbids as U+FFFD.
void AppendEscaped(std::string& Out, std::u32string_view Chars) {
  for (const char32_t C : Chars) {
    switch (C) {
      case '&':
        Out += "&amp;";
        break;
      case '<':
        Out += "&lt;";
        break;
      case '>':
        Out += "&gt;";
        break;
      case '"':
        Out += "&quot;";
        break;
      case '\'':
        Out += "&apos;";
        break;
      case '\r':
        Out += "&#13;";
        break;
      default:
        AppendUtf8(Out, IsXmlChar(C) ? C : ReplacementChar);
    }
  }
}

void AppendEscaped(std::string& Out, std::string_view Text) {
  AppendEscaped(Out, Utf8ToUtf32(Text));
}

std::string ColorText(TColor Color) {
  static constexpr char Hex[] = "0123456789abcdef";
  const TColor C = ColorToRGB(Color);
  std::string S = "#";
  for (const std::uint8_t B : {GetRValue(C), GetGValue(C), GetBValue(C)}) {
    S += Hex[B >> 4];
    S += Hex[B & 0xF];
  }
  return S;
}

// Qt's dash patterns, in units of the pen width: dashes, gaps, dashes, ...
std::span<const int> DashPattern(TPenStyle Style) {
  static constexpr int Dash[] = {4, 2}, Dot[] = {1, 2}, DashDot[] = {4, 2, 1, 2},
                       DashDotDot[] = {4, 2, 1, 2, 1, 2};
  switch (Style) {
    case psDash:
      return Dash;
    case psDot:
      return Dot;
    case psDashDot:
      return DashDot;
    case psDashDotDot:
      return DashDotDot;
    default:
      return {};
  }
}

// The stroke of a pen as attributes; empty for the clear pen, which draws
// nothing. Wide lines end and join round, hairlines end flat, as on the
// canvas.
std::string StrokeAttributes(const TPen& Pen) {
  if (Pen.Style() == psClear) return {};
  const int Width = Pen.DrawnWidth();
  std::string S = " stroke=\"" + ColorText(Pen.Color()) + "\"";
  if (Width > 1) {
    S += " stroke-width=\"";
    AppendInt(S, Width);
    S += "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"";
  }
  const std::span<const int> Dashes = DashPattern(Pen.Style());
  if (!Dashes.empty()) {
    S += " stroke-dasharray=\"";
    for (std::size_t I = 0; I < Dashes.size(); ++I) {
      if (I > 0) S += ',';
      AppendInt(S, (long long)Dashes[I] * Width);
    }
    S += '"';
  }
  return S;
}

// A hatched brush fills nothing itself: its lines are drawn separately.
std::string FillAttribute(const TBrush& Brush) {
  return Brush.Style() == bsSolid ? " fill=\"" + ColorText(Brush.Color()) + "\"" : " fill=\"none\"";
}

// The family as a quoted CSS name: quotes and backslashes escaped, control
// characters (which neither CSS strings nor XML take) replaced.
void AppendFontFamily(std::string& Out, std::string_view Name) {
  std::u32string Family;
  for (const char32_t C : Utf8ToUtf32(Name)) {
    if (C == '\'' || C == '\\') Family += '\\';
    Family += IsControlChar(C) ? ReplacementChar : C;
  }
  Out += '\'';
  AppendEscaped(Out, Family);
  Out += '\'';
}

std::string FontAttributes(const TFont& Font) {
  std::string S = " font-family=\"";
  AppendFontFamily(S, Font.Name());
  S += "\" font-size=\"";
  AppendInt(S, std::max(1, -Font.Height()));
  S += '"';
  const TFontStyles Style = Font.Style();
  if (Style.Contains(fsBold)) S += " font-weight=\"bold\"";
  if (Style.Contains(fsItalic)) S += " font-style=\"italic\"";
  if (Style.Contains(fsUnderline) || Style.Contains(fsStrikeOut)) {
    S += " text-decoration=\"";
    if (Style.Contains(fsUnderline)) S += "underline";
    if (Style.Contains(fsUnderline) && Style.Contains(fsStrikeOut)) S += ' ';
    if (Style.Contains(fsStrikeOut)) S += "line-through";
    S += '"';
  }
  S += " fill=\"" + ColorText(Font.Color()) + "\"";
  return S;
}

class TSvgBuilder {
 public:
  TSvgBuilder(const TMetafile& AMetafile, const TTextMeasurer& AMeasurer);

  std::string Build();

 private:
  void WriteHeader();
  void WriteRecord(const TMetaRecord& R);

  void Line(const TMetaRecord& R);
  // Closes the path of the lines drawn last, if one is open.
  void EndLines();
  void Shape(const TMetaRecord& R);
  // An outline too thin for a rect or ellipse element (which SVG does not
  // draw when a side is 0) as a closed path.
  void OutlinePath(const TShapeOutline& Outline, const std::string& Fill, const std::string& Stroke);
  void Hatch(const TShapeOutline& Outline, const TBrush& Brush);
  void FillRect(const TMetaRecord& R);
  void Text(const TMetaRecord& R, bool Clipped);
  // ` x="..."` with every character's position, then the characters.
  void TextRun(const TTextRun& Run, long long X);
  // The number of the clip path of Clip, written before its first use.
  int ClipPath(const TRect& Clip);
  // A path command with a point at the centre of pixel (X, Y).
  void PathPoint(char Command, double X, double Y);

  const TMetafile& FMetafile;
  const TTextMeasurer& FMeasurer;
  std::string FOut;
  // Attributes of every pen, brush and font of the metafile's tables, by
  // index (records refer to valid indices only).
  std::vector<std::string> FStrokes;
  std::vector<std::string> FFills;
  std::vector<std::string> FFonts;
  TPoint FPenPos;
  // Pen of the open path of lines; -1 when none is open.
  int FLinePen = -1;
  std::map<std::array<std::int32_t, 4>, int> FClips;
};

TSvgBuilder::TSvgBuilder(const TMetafile& AMetafile, const TTextMeasurer& AMeasurer)
    : FMetafile(AMetafile), FMeasurer(AMeasurer) {
  for (int I = 0; I < FMetafile.PenCount(); ++I) FStrokes.push_back(StrokeAttributes(FMetafile.Pens(I)));
  for (int I = 0; I < FMetafile.BrushCount(); ++I) FFills.push_back(FillAttribute(FMetafile.Brushes(I)));
  for (int I = 0; I < FMetafile.FontCount(); ++I) FFonts.push_back(FontAttributes(FMetafile.Fonts(I)));
}

std::string TSvgBuilder::Build() {
  FOut.reserve(512 + std::size_t(FMetafile.RecordCount()) * 96);
  WriteHeader();
  for (const TMetaRecord& R : FMetafile.Records()) WriteRecord(R);
  EndLines();
  FOut += "</svg>\n";
  return std::move(FOut);
}

void TSvgBuilder::WriteHeader() {
  const int W = std::max(FMetafile.Width(), 1), H = std::max(FMetafile.Height(), 1);
  FOut += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"";
  FOut += SvgNamespace;
  FOut += "\" version=\"1.1\"";
  AppendNumberAttribute(FOut, "width", W);
  AppendNumberAttribute(FOut, "height", H);
  FOut += " viewBox=\"0 0 ";
  AppendInt(FOut, W);
  FOut += ' ';
  AppendInt(FOut, H);
  // Every character of a text has its own position, spaces included.
  FOut += "\" xml:space=\"preserve\">\n<title>";
  AppendEscaped(FOut, FMetafile.PictureName());
  FOut += "</title>\n<desc>";
  AppendEscaped(FOut, FMetafile.AppName());
  FOut += "</desc>\n";
}

void TSvgBuilder::WriteRecord(const TMetaRecord& R) {
  if (R.Op != TMetaOp::MoveTo && R.Op != TMetaOp::LineTo) EndLines();
  switch (R.Op) {
    case TMetaOp::MoveTo:
      FPenPos = R.Point;
      break;
    case TMetaOp::LineTo:
      Line(R);
      break;
    case TMetaOp::Rectangle:
    case TMetaOp::Ellipse:
    case TMetaOp::RoundRect:
      Shape(R);
      break;
    case TMetaOp::FillRect:
      FillRect(R);
      break;
    case TMetaOp::TextOut:
      Text(R, false);
      break;
    case TMetaOp::TextRect:
      Text(R, true);
      break;
  }
}

void TSvgBuilder::PathPoint(char Command, double X, double Y) {
  FOut += Command;
  AppendNumber(FOut, X + 0.5);
  FOut += ' ';
  AppendNumber(FOut, Y + 0.5);
}

// Each line is a subpath of its own, so dashes start afresh on every line and
// its ends are capped, as the canvas draws them one by one.
void TSvgBuilder::Line(const TMetaRecord& R) {
  const TPoint From = FPenPos;
  FPenPos = R.Point;
  const std::string& Stroke = FStrokes[R.Pen];
  if (Stroke.empty()) return;
  if (FLinePen != R.Pen) {
    EndLines();
    FOut += "<path fill=\"none\"";
    FOut += Stroke;
    FOut += " d=\"";
    FLinePen = R.Pen;
  }
  PathPoint('M', From.X, From.Y);
  PathPoint('L', R.Point.X, R.Point.Y);
}

void TSvgBuilder::EndLines() {
  if (FLinePen < 0) return;
  FOut += "\"/>\n";
  FLinePen = -1;
}

void TSvgBuilder::Hatch(const TShapeOutline& Outline, const TBrush& Brush) {
  const std::vector<TSegmentF> Lines = HatchLines(Outline, Brush.Style());
  if (Lines.empty()) return;
  FOut += "<path fill=\"none\" stroke=\"" + ColorText(Brush.Color()) + "\" d=\"";
  for (const TSegmentF& L : Lines) {
    PathPoint('M', L.A.X, L.A.Y);
    PathPoint('L', L.B.X, L.B.Y);
  }
  FOut += "\"/>\n";
}

void TSvgBuilder::Shape(const TMetaRecord& R) {
  const TShapeKind Kind = ShapeKindOf(R.Op);
  const TBrush& Brush = FMetafile.BrushOf(R);
  const std::string& Stroke = FStrokes[R.Pen];
  const std::string& Fill = FFills[R.Brush];
  if (Stroke.empty() && Brush.Style() == bsClear) return;
  const TShapeOutline Outline = RecordOutline(R);
  if (IsHatched(Brush.Style())) Hatch(Outline, Brush);
  // The outline runs through the centres of the outer pixels.
  TPointF Min, Max;
  OutlineBounds(Outline, Min, Max);
  const double W = Max.X - Min.X, H = Max.Y - Min.Y;
  if (W <= 0 || H <= 0) return OutlinePath(Outline, Fill, Stroke);
  if (Kind == TShapeKind::Ellipse) {
    FOut += "<ellipse";
    AppendNumberAttribute(FOut, "cx", Min.X + W / 2 + 0.5);
    AppendNumberAttribute(FOut, "cy", Min.Y + H / 2 + 0.5);
    AppendNumberAttribute(FOut, "rx", W / 2);
    AppendNumberAttribute(FOut, "ry", H / 2);
  } else {
    FOut += "<rect";
    AppendNumberAttribute(FOut, "x", Min.X + 0.5);
    AppendNumberAttribute(FOut, "y", Min.Y + 0.5);
    AppendNumberAttribute(FOut, "width", W);
    AppendNumberAttribute(FOut, "height", H);
    const TPointF Radii =
        Kind == TShapeKind::RoundRect ? CornerRadii(R.Rect, R.Corner.X, R.Corner.Y) : TPointF();
    if (Radii.X > 0 && Radii.Y > 0) {
      AppendNumberAttribute(FOut, "rx", Radii.X);
      AppendNumberAttribute(FOut, "ry", Radii.Y);
    }
  }
  FOut += Fill;
  FOut += Stroke;
  FOut += "/>\n";
}

void TSvgBuilder::OutlinePath(const TShapeOutline& Outline, const std::string& Fill,
                              const std::string& Stroke) {
  FOut += "<path";
  FOut += Fill;
  FOut += Stroke;
  FOut += " d=\"";
  PathPoint('M', Outline.Start.X, Outline.Start.Y);
  for (const TPathSegment& S : Outline.Segments) {
    if (S.Bezier) {
      PathPoint('C', S.C1.X, S.C1.Y);
      PathPoint(' ', S.C2.X, S.C2.Y);
      PathPoint(' ', S.To.X, S.To.Y);
    } else {
      PathPoint('L', S.To.X, S.To.Y);
    }
  }
  FOut += "Z\"/>\n";
}

// Exactly the pixels of [Left, Right) x [Top, Bottom), without outline.
void TSvgBuilder::FillRect(const TMetaRecord& R) {
  const TBrush& Brush = FMetafile.BrushOf(R);
  if (Brush.Style() == bsClear || R.Rect.IsEmpty()) return;
  if (IsHatched(Brush.Style())) return Hatch(ShapeOutline(TShapeKind::Rectangle, R.Rect), Brush);
  FOut += "<rect";
  AppendNumberAttribute(FOut, "x", R.Rect.Left);
  AppendNumberAttribute(FOut, "y", R.Rect.Top);
  AppendNumberAttribute(FOut, "width", double(R.Rect.Width()));
  AppendNumberAttribute(FOut, "height", double(R.Rect.Height()));
  FOut += FFills[R.Brush];
  FOut += "/>\n";
}

int TSvgBuilder::ClipPath(const TRect& Clip) {
  const auto [It, Added] =
      FClips.try_emplace({Clip.Left, Clip.Top, Clip.Right, Clip.Bottom}, static_cast<int>(FClips.size()));
  if (Added) {
    FOut += "<defs><clipPath id=\"c";
    AppendInt(FOut, It->second);
    FOut += "\"><rect";
    AppendNumberAttribute(FOut, "x", Clip.Left);
    AppendNumberAttribute(FOut, "y", Clip.Top);
    AppendNumberAttribute(FOut, "width", double(Clip.Width()));
    AppendNumberAttribute(FOut, "height", double(Clip.Height()));
    FOut += "/></clipPath></defs>\n";
  }
  return It->second;
}

// One text element per record; runs after the first (behind control
// characters) are spans of it. No white space may come between the spans:
// it would be drawn.
void TSvgBuilder::Text(const TMetaRecord& R, bool Clipped) {
  if (Clipped && R.Rect.IsEmpty()) return;
  const TFont& Font = FMetafile.FontOf(R);
  const std::vector<TTextRun> Runs = TextRuns(FMeasurer, Font, R.Text);
  if (Runs.empty()) return;
  const int Clip = Clipped ? ClipPath(R.Rect) : -1;
  FOut += "<text";
  FOut += FFonts[R.Font];
  if (Clip >= 0) {
    FOut += " clip-path=\"url(#c";
    AppendInt(FOut, Clip);
    FOut += ")\"";
  }
  AppendNumberAttribute(FOut, "y", double(R.Point.Y) + FMeasurer.Ascent(Font));  // the baseline
  if (Runs.size() == 1) {
    TextRun(Runs.front(), R.Point.X);
  } else {
    FOut += '>';
    for (const TTextRun& Run : Runs) {
      FOut += "<tspan";
      TextRun(Run, R.Point.X);
      FOut += "</tspan>";
    }
  }
  FOut += "</text>\n";
}

void TSvgBuilder::TextRun(const TTextRun& Run, long long X) {
  const std::u32string Chars = Utf8ToUtf32(Run.Text);
  long long Position = X + Run.Offset;
  std::size_t Unit = 0;  // the first UTF-16 unit of the character
  FOut += " x=\"";
  for (std::size_t I = 0; I < Chars.size(); ++I) {
    if (I > 0) FOut += ' ';
    AppendInt(FOut, Position);
    const std::size_t Units = Chars[I] >= 0x10000 ? 2 : 1;
    for (std::size_t U = Unit; U < Unit + Units && U < Run.Advances.size(); ++U) Position += Run.Advances[U];
    Unit += Units;
  }
  FOut += "\">";
  AppendEscaped(FOut, Chars);
}

}  // namespace

std::string SvgDocument(const TMetafile& Metafile, const TTextMeasurer& Measurer) {
  return TSvgBuilder(Metafile, Measurer).Build();
}

void SaveSvg(const TMetafile& Metafile, const TTextMeasurer& Measurer, const std::string& FileName) {
  const std::string Text = SvgDocument(Metafile, Measurer);
  WriteFileReplacing(FileName, std::span<const std::uint8_t>(
                                   reinterpret_cast<const std::uint8_t*>(Text.data()), Text.size()));
}

}  // namespace vt
