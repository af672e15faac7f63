#include "graphics/EmfWriter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <map>
#include <optional>

#include "graphics/FileWriter.h"
#include "graphics/Geometry.h"

namespace vt {

namespace {

// GDI values written into records.
constexpr std::uint32_t MM_TEXT = 1;
constexpr std::uint32_t BK_TRANSPARENT = 1;
constexpr std::uint32_t TA_BASELINE_LEFT_NOUPDATECP = 24;
constexpr std::uint32_t GM_COMPATIBLE = 1;
constexpr std::uint32_t ETO_CLIPPED = 0x4;
constexpr std::uint32_t PS_GEOMETRIC = 0x00010000;
constexpr std::uint32_t PS_ENDCAP_FLAT = 0x00000200;
constexpr std::uint32_t PS_JOIN_MITER = 0x00002000;
constexpr std::uint32_t BS_SOLID = 0;
constexpr std::int32_t FW_NORMAL = 400;
constexpr std::int32_t FW_BOLD = 700;
constexpr std::size_t LogFontFaceChars = 32;

constexpr std::uint32_t HeaderSize = 108;  // with both header extensions

std::int32_t Saturate(long long V) {
  return static_cast<std::int32_t>(std::clamp<long long>(V, std::numeric_limits<std::int32_t>::min(),
                                                         std::numeric_limits<std::int32_t>::max()));
}

std::uint32_t ColorRef(TColor C) {
  return static_cast<std::uint32_t>(ColorToRGB(C)) & 0x00FFFFFFu;
}

// Little-endian record bytes.
class TRecordBytes {
 public:
  void U8(std::uint8_t V) { FBytes.push_back(V); }
  void U16(std::uint16_t V) {
    const std::uint8_t B[2] = {static_cast<std::uint8_t>(V), static_cast<std::uint8_t>(V >> 8)};
    FBytes.insert(FBytes.end(), B, B + 2);
  }
  void U32(std::uint32_t V) {
    const std::uint8_t B[4] = {static_cast<std::uint8_t>(V), static_cast<std::uint8_t>(V >> 8),
                               static_cast<std::uint8_t>(V >> 16), static_cast<std::uint8_t>(V >> 24)};
    FBytes.insert(FBytes.end(), B, B + 4);
  }
  void Reserve(std::size_t N) { FBytes.reserve(N); }
  void I16(std::int16_t V) { U16(static_cast<std::uint16_t>(V)); }
  void I32(std::int32_t V) { U32(static_cast<std::uint32_t>(V)); }
  void F32(float V) { U32(std::bit_cast<std::uint32_t>(V)); }
  void Point(TPoint P) {
    I32(P.X);
    I32(P.Y);
  }
  void Rect(const TRect& R) {
    I32(R.Left);
    I32(R.Top);
    I32(R.Right);
    I32(R.Bottom);
  }
  void Utf16(std::u16string_view S) {
    for (char16_t C : S) U16(static_cast<std::uint16_t>(C));
  }
  void PadTo4() {
    while (FBytes.size() % 4 != 0) U8(0);
  }
  std::size_t Size() const { return FBytes.size(); }
  void Patch32(std::size_t At, std::uint32_t V) {
    for (int I = 0; I < 4; ++I) FBytes[At + I] = static_cast<std::uint8_t>(V >> (8 * I));
  }
  void Patch16(std::size_t At, std::uint16_t V) {
    FBytes[At] = static_cast<std::uint8_t>(V);
    FBytes[At + 1] = static_cast<std::uint8_t>(V >> 8);
  }
  const std::vector<std::uint8_t>& Bytes() const { return FBytes; }
  std::vector<std::uint8_t> Take() { return std::move(FBytes); }

 private:
  std::vector<std::uint8_t> FBytes;
};

enum class TObjectKind { Pen, Brush, Font };

class TEmfBuilder {
 public:
  TEmfBuilder(const TMetafile& AMetafile, const TTextMeasurer& AMeasurer)
      : FMetafile(AMetafile), FMeasurer(AMeasurer) {}

  std::vector<std::uint8_t> Build();

 private:
  // Records.
  void Begin(std::uint32_t Type);
  void End();
  void Simple(std::uint32_t Type, std::optional<std::uint32_t> Value = std::nullopt);

  void WriteHeader();
  void WritePreamble();
  void WriteRecord(const TMetaRecord& R);
  void WriteEnd();

  // Objects.
  void SelectState(const TMetaRecord& R);
  // Selects the object of state Index of the metafile's table of Kind.
  void SelectStateObject(TObjectKind Kind, int Index);
  // The handles of the objects (stock or created) for a state.
  std::uint32_t PenHandle(const TPen& Pen);
  std::uint32_t BrushHandle(const TBrush& Brush);
  std::uint32_t FontHandle(const TFont& Font);
  void Select(TObjectKind Kind, std::uint32_t Handle);
  // The handle of the object with this creation body, creating it if needed.
  std::uint32_t ObjectFor(TObjectKind Kind, std::uint32_t CreateType, const TRecordBytes& Body);
  std::uint32_t AllocateHandle();
  void Evict();

  // Drawing.
  void MoveTo(TPoint P);
  void LineTo(TPoint P);
  void BoxRecord(std::uint32_t Type, const TRect& R);
  // A shape as an explicit path, hatched first when its brush is.
  void Shape(const TMetaRecord& R);
  void OutlinePath(const TShapeOutline& Outline, const TMetaRecord& R);
  // The closed figure as a path, drawn by the path record Draw.
  void FigurePath(const TShapeOutline& Outline, std::uint32_t Draw);
  void Hatch(const TShapeOutline& Outline, const TBrush& Brush);
  void FillRectPath(const TMetaRecord& R);
  void BezierTo(const std::array<TPoint, 3>& Points);
  void Text(const TMetaRecord& R, bool Clipped);
  void TextRun(const TMetaRecord& R, const TTextRun& Run, int Ascent, bool Clipped);

  struct TLiveObject {
    TObjectKind Kind;
    std::vector<std::uint8_t> Body;
    std::uint64_t LastUse;
  };

  const TMetafile& FMetafile;
  const TTextMeasurer& FMeasurer;
  TRecordBytes FOut;
  std::size_t FRecordStart = 0;
  std::uint32_t FRecordCount = 0;
  std::uint32_t FMaxHandle = 0;
  std::uint64_t FUseClock = 0;

  // Live created objects by handle, and handles by kind and creation body.
  std::map<std::uint32_t, TLiveObject> FLive;
  std::map<std::pair<TObjectKind, std::vector<std::uint8_t>>, std::uint32_t> FHandles;
  std::vector<std::uint32_t> FFreeHandles;
  std::uint32_t FSelected[3] = {0, 0, 0};
  // Handle by metafile state index, per kind (0: not made yet), so unchanged
  // state costs no lookup by value.
  std::vector<std::uint32_t> FStateHandles[3];

  std::optional<std::uint32_t> FTextColor;
  // The pen position of the canvas, and whether the device's current
  // position has been moved away from it by a path.
  TPoint FPenPos;
  bool FPositionMoved = false;
};

void TEmfBuilder::Begin(std::uint32_t Type) {
  FRecordStart = FOut.Size();
  FOut.U32(Type);
  FOut.U32(0);
}

void TEmfBuilder::End() {
  FOut.PadTo4();
  FOut.Patch32(FRecordStart + 4, static_cast<std::uint32_t>(FOut.Size() - FRecordStart));
  ++FRecordCount;
}

void TEmfBuilder::Simple(std::uint32_t Type, std::optional<std::uint32_t> Value) {
  Begin(Type);
  if (Value) FOut.U32(*Value);
  End();
}

std::vector<std::uint8_t> TEmfBuilder::Build() {
  FOut.Reserve(256 + FMetafile.Records().size() * 64);
  WriteHeader();
  WritePreamble();
  for (const TMetaRecord& R : FMetafile.Records()) WriteRecord(R);
  WriteEnd();
  FOut.Patch32(48, static_cast<std::uint32_t>(FOut.Size()));     // nBytes
  FOut.Patch32(52, FRecordCount);                                // nRecords
  FOut.Patch16(56, static_cast<std::uint16_t>(FMaxHandle + 1));  // nHandles
  return FOut.Take();
}

void TEmfBuilder::WriteHeader() {
  const int W = std::max(FMetafile.Width(), 1);
  const int H = std::max(FMetafile.Height(), 1);
  const auto Hundredths = [](int Pixels) {
    return Saturate(RoundHalfEven64(double(Pixels) * 2540.0 / ScreenPixelsPerInch) - 1);
  };
  std::u16string Description = Utf8ToUtf16(FMetafile.AppName());
  Description.push_back(0);
  Description += Utf8ToUtf16(FMetafile.PictureName());
  Description.push_back(0);
  Description.push_back(0);

  Begin(emr::Header);
  FOut.Rect(TRect(0, 0, W - 1, H - 1));                      // rclBounds, device pixels
  FOut.Rect(TRect(0, 0, Hundredths(W), Hundredths(H)));      // rclFrame, 0.01 mm
  FOut.U32(0x464D4520);                                      // " EMF"
  FOut.U32(0x00010000);                                      // nVersion
  FOut.U32(0);                                               // nBytes, patched
  FOut.U32(0);                                               // nRecords, patched
  FOut.U16(0);                                               // nHandles, patched
  FOut.U16(0);                                               // reserved
  FOut.U32(static_cast<std::uint32_t>(Description.size()));  // nDescription
  FOut.U32(HeaderSize);                                      // offDescription
  FOut.U32(0);                                               // nPalEntries
  FOut.I32(EmfDevicePixelsX);
  FOut.I32(EmfDevicePixelsY);
  FOut.I32(EmfDeviceMillimetersX);
  FOut.I32(EmfDeviceMillimetersY);
  FOut.U32(0);  // cbPixelFormat
  FOut.U32(0);  // offPixelFormat
  FOut.U32(0);  // bOpenGL
  FOut.I32(EmfDeviceMillimetersX * 1000);
  FOut.I32(EmfDeviceMillimetersY * 1000);
  FOut.Utf16(Description);
  End();
}

void TEmfBuilder::WritePreamble() {
  Simple(emr::SetMapMode, MM_TEXT);
  Simple(emr::SetBkMode, BK_TRANSPARENT);
  // Text is placed by its baseline: the reference point is the top of the
  // line moved down by the font's ascent.
  Simple(emr::SetTextAlign, TA_BASELINE_LEFT_NOUPDATECP);
}

void TEmfBuilder::WriteEnd() {
  const std::uint32_t Stock[3] = {StockBlackPen, StockWhiteBrush, StockDeviceDefaultFont};
  for (int K = 0; K < 3; ++K)
    if (FLive.count(FSelected[K])) Select(static_cast<TObjectKind>(K), Stock[K]);
  for (const auto& [Handle, Object] : FLive) Simple(emr::DeleteObject, Handle);
  FLive.clear();
  FHandles.clear();
  Begin(emr::Eof);
  FOut.U32(0);   // nPalEntries
  FOut.U32(16);  // offPalEntries
  FOut.U32(20);  // nSizeLast
  End();
}

// ---------------------------------------------------------------------------
// Objects

void TEmfBuilder::Select(TObjectKind Kind, std::uint32_t Handle) {
  std::uint32_t& Current = FSelected[static_cast<int>(Kind)];
  auto It = FLive.find(Handle);
  if (It != FLive.end()) It->second.LastUse = ++FUseClock;
  if (Current == Handle) return;
  Simple(emr::SelectObject, Handle);
  Current = Handle;
}

std::uint32_t TEmfBuilder::AllocateHandle() {
  if (static_cast<int>(FLive.size()) >= EmfMaxLiveObjects) Evict();
  std::uint32_t Handle;
  if (!FFreeHandles.empty()) {
    auto Lowest = std::min_element(FFreeHandles.begin(), FFreeHandles.end());
    Handle = *Lowest;
    FFreeHandles.erase(Lowest);
  } else {
    Handle = FMaxHandle + 1;
  }
  FMaxHandle = std::max(FMaxHandle, Handle);
  return Handle;
}

void TEmfBuilder::Evict() {
  auto Victim = FLive.end();
  for (auto It = FLive.begin(); It != FLive.end(); ++It) {
    const bool Selected = FSelected[static_cast<int>(It->second.Kind)] == It->first;
    if (!Selected && (Victim == FLive.end() || It->second.LastUse < Victim->second.LastUse)) Victim = It;
  }
  if (Victim == FLive.end()) return;
  // Not selected, so it may be deleted as it stands.
  Simple(emr::DeleteObject, Victim->first);
  FHandles.erase({Victim->second.Kind, Victim->second.Body});
  for (std::uint32_t& H : FStateHandles[static_cast<int>(Victim->second.Kind)])
    if (H == Victim->first) H = 0;
  FFreeHandles.push_back(Victim->first);
  FLive.erase(Victim);
}

std::uint32_t TEmfBuilder::ObjectFor(TObjectKind Kind, std::uint32_t CreateType, const TRecordBytes& Body) {
  auto Key = std::make_pair(Kind, Body.Bytes());
  auto Found = FHandles.find(Key);
  if (Found != FHandles.end()) return Found->second;
  const std::uint32_t Handle = AllocateHandle();
  Begin(CreateType);
  FOut.U32(Handle);
  for (std::uint8_t B : Body.Bytes()) FOut.U8(B);
  End();
  FLive[Handle] = TLiveObject{Kind, Body.Bytes(), ++FUseClock};
  FHandles.emplace(std::move(Key), Handle);
  return Handle;
}

std::uint32_t TEmfBuilder::PenHandle(const TPen& Pen) {
  if (Pen.Style() == psClear) return StockNullPen;
  TRecordBytes Body;
  std::uint32_t Type;
  if (Pen.Width() <= 1 && !IsDashed(Pen.Style())) {
    Type = emr::CreatePen;
    Body.U32(Pen.Style());
    Body.Point(TPoint(Pen.Width(), 0));
    Body.U32(ColorRef(Pen.Color()));
  } else {
    // Readers ignore the width of a plain pen, and Inkscape and emf2svg its
    // dashes on lines; a geometric pen keeps both. Wide lines end and join
    // round, hairlines flat, as on the screen.
    const std::uint32_t Ends = Pen.Width() > 1 ? 0 : PS_ENDCAP_FLAT | PS_JOIN_MITER;
    Type = emr::ExtCreatePen;
    Body.U32(0);  // offBmi
    Body.U32(0);  // cbBmi
    Body.U32(0);  // offBits
    Body.U32(0);  // cbBits
    Body.U32(PS_GEOMETRIC | Ends | Pen.Style());
    Body.U32(static_cast<std::uint32_t>(Pen.DrawnWidth()));
    Body.U32(BS_SOLID);
    Body.U32(ColorRef(Pen.Color()));
    Body.U32(0);  // hatch
    Body.U32(0);  // no style entries
  }
  return ObjectFor(TObjectKind::Pen, Type, Body);
}

std::uint32_t TEmfBuilder::BrushHandle(const TBrush& Brush) {
  // Most readers fill a hatched brush solid: hatching is drawn as lines
  // under the outline instead, and the shape itself is not filled.
  if (Brush.Style() != bsSolid) return StockNullBrush;
  TRecordBytes Body;
  Body.U32(BS_SOLID);
  Body.U32(ColorRef(Brush.Color()));
  Body.U32(0);
  return ObjectFor(TObjectKind::Brush, emr::CreateBrushIndirect, Body);
}

std::uint32_t TEmfBuilder::FontHandle(const TFont& Font) {
  std::u16string Face = Utf8ToUtf16(Font.Name());
  if (Face.size() > LogFontFaceChars - 1) {
    Face.resize(LogFontFaceChars - 1);
    if (Face.back() >= 0xD800 && Face.back() < 0xDC00) Face.pop_back();  // half a pair
  }
  Face.resize(LogFontFaceChars, u'\0');
  const TFontStyles Style = Font.Style();
  TRecordBytes Body;
  Body.I32(Font.Height());  // negative: the em height in pixels
  Body.I32(0);              // width
  Body.I32(0);              // escapement
  Body.I32(0);              // orientation
  Body.I32(Style.Contains(fsBold) ? FW_BOLD : FW_NORMAL);
  Body.U8(Style.Contains(fsItalic) ? 1 : 0);
  Body.U8(Style.Contains(fsUnderline) ? 1 : 0);
  Body.U8(Style.Contains(fsStrikeOut) ? 1 : 0);
  Body.U8(Font.Charset());
  Body.U8(0);  // out precision
  Body.U8(0);  // clip precision
  Body.U8(0);  // quality
  Body.U8(0);  // pitch and family
  Body.Utf16(Face);
  return ObjectFor(TObjectKind::Font, emr::ExtCreateFontIndirectW, Body);
}

void TEmfBuilder::SelectStateObject(TObjectKind Kind, int Index) {
  std::vector<std::uint32_t>& Handles = FStateHandles[static_cast<int>(Kind)];
  if (Handles.size() <= static_cast<std::size_t>(Index))
    Handles.resize(static_cast<std::size_t>(Index) + 1, 0);
  std::uint32_t Handle = Handles[static_cast<std::size_t>(Index)];
  if (Handle == 0) {
    switch (Kind) {
      case TObjectKind::Pen:
        Handle = PenHandle(FMetafile.Pens(Index));
        break;
      case TObjectKind::Brush:
        Handle = BrushHandle(FMetafile.Brushes(Index));
        break;
      case TObjectKind::Font:
        Handle = FontHandle(FMetafile.Fonts(Index));
        break;
    }
    FStateHandles[static_cast<int>(Kind)][static_cast<std::size_t>(Index)] = Handle;
  }
  Select(Kind, Handle);
}

void TEmfBuilder::SelectState(const TMetaRecord& R) {
  SelectStateObject(TObjectKind::Pen, R.Pen);
  SelectStateObject(TObjectKind::Brush, R.Brush);
  SelectStateObject(TObjectKind::Font, R.Font);
}

// ---------------------------------------------------------------------------
// Drawing

void TEmfBuilder::MoveTo(TPoint P) {
  Begin(emr::MoveToEx);
  FOut.Point(P);
  End();
}

void TEmfBuilder::LineTo(TPoint P) {
  Begin(emr::LineTo);
  FOut.Point(P);
  End();
}

void TEmfBuilder::BoxRecord(std::uint32_t Type, const TRect& R) {
  Begin(Type);
  FOut.Rect(R);
  End();
}

void TEmfBuilder::BezierTo(const std::array<TPoint, 3>& Points) {
  TRect Bounds(Points[0].X, Points[0].Y, Points[0].X, Points[0].Y);
  bool Fits16 = true;
  for (TPoint P : Points) {
    Bounds.Left = std::min(Bounds.Left, P.X);
    Bounds.Top = std::min(Bounds.Top, P.Y);
    Bounds.Right = std::max(Bounds.Right, P.X);
    Bounds.Bottom = std::max(Bounds.Bottom, P.Y);
    for (std::int32_t V : {P.X, P.Y})
      Fits16 = Fits16 && V >= std::numeric_limits<std::int16_t>::min() &&
               V <= std::numeric_limits<std::int16_t>::max();
  }
  Begin(Fits16 ? emr::PolyBezierTo16 : emr::PolyBezierTo);
  FOut.Rect(Bounds);
  FOut.U32(static_cast<std::uint32_t>(Points.size()));
  for (TPoint P : Points) {
    if (Fits16) {
      FOut.I16(static_cast<std::int16_t>(P.X));
      FOut.I16(static_cast<std::int16_t>(P.Y));
    } else {
      FOut.Point(P);
    }
  }
  End();
}

TPoint PixelPoint(TPointF P) {
  return TPoint(Saturate(RoundHalfEven64(P.X)), Saturate(RoundHalfEven64(P.Y)));
}

// Readers draw the rectangle and ellipse records one pixel larger than the
// classic surface does; a path with explicit points is drawn alike by all of
// them. A dashed outline is filled and stroked as two paths: LibreOffice
// strokes the path of a combined stroke and fill solid.
void TEmfBuilder::OutlinePath(const TShapeOutline& Outline, const TMetaRecord& R) {
  if (!IsDashed(FMetafile.PenOf(R).Style())) {
    FigurePath(Outline, emr::StrokeAndFillPath);
  } else {
    if (FMetafile.BrushOf(R).Style() == bsSolid) FigurePath(Outline, emr::FillPath);
    FigurePath(Outline, emr::StrokePath);
  }
}

void TEmfBuilder::FigurePath(const TShapeOutline& Outline, std::uint32_t Draw) {
  const TPoint Start = PixelPoint(Outline.Start);
  TRect Bounds(Start.X, Start.Y, Start.X, Start.Y);
  const auto Extend = [&](TPoint P) {
    Bounds = TRect(std::min(Bounds.Left, P.X), std::min(Bounds.Top, P.Y), std::max(Bounds.Right, P.X),
                   std::max(Bounds.Bottom, P.Y));
  };
  Simple(emr::BeginPath);
  MoveTo(Start);
  for (const TPathSegment& S : Outline.Segments) {
    const TPoint To = PixelPoint(S.To);
    if (S.Bezier) {
      BezierTo({PixelPoint(S.C1), PixelPoint(S.C2), To});
    } else {
      LineTo(To);
    }
    Extend(To);
  }
  Simple(emr::CloseFigure);
  Simple(emr::EndPath);
  BoxRecord(Draw, Bounds);
  FPositionMoved = true;
}

void TEmfBuilder::Hatch(const TShapeOutline& Outline, const TBrush& Brush) {
  const std::vector<TSegmentF> Lines = HatchLines(Outline, Brush.Style());
  if (Lines.empty()) return;
  Select(TObjectKind::Pen, PenHandle(TPen(Brush.Color(), 1, psSolid)));
  for (const TSegmentF& L : Lines) {
    MoveTo(PixelPoint(L.A));
    LineTo(PixelPoint(L.B));
  }
  FPositionMoved = true;
}

void TEmfBuilder::Shape(const TMetaRecord& R) {
  const TShapeOutline Outline = RecordOutline(R);
  const TBrush& Brush = FMetafile.BrushOf(R);
  if (IsHatched(Brush.Style())) {
    Hatch(Outline, Brush);
    SelectStateObject(TObjectKind::Pen, R.Pen);
  }
  OutlinePath(Outline, R);
}

void TEmfBuilder::FillRectPath(const TMetaRecord& Record) {
  const TRect& R = Record.Rect;
  const TBrush& Brush = FMetafile.BrushOf(Record);
  if (IsHatched(Brush.Style())) {
    Hatch(ShapeOutline(TShapeKind::Rectangle, R), Brush);
    return;
  }
  // A filled path covers exactly the pixels of [Left, Right) x [Top, Bottom)
  // in every reader, unlike a rectangle drawn with a null pen.
  Simple(emr::BeginPath);
  MoveTo(TPoint(R.Left, R.Top));
  LineTo(TPoint(R.Right, R.Top));
  LineTo(TPoint(R.Right, R.Bottom));
  LineTo(TPoint(R.Left, R.Bottom));
  Simple(emr::CloseFigure);
  Simple(emr::EndPath);
  BoxRecord(emr::FillPath, TRect(R.Left, R.Top, R.Right - 1, R.Bottom - 1));
  FPositionMoved = true;
}

void TEmfBuilder::Text(const TMetaRecord& R, bool Clipped) {
  const TFont& Font = FMetafile.FontOf(R);
  const std::vector<TTextRun> Runs = TextRuns(FMeasurer, Font, R.Text);
  if (Runs.empty()) return;
  const std::uint32_t Color = ColorRef(Font.Color());
  if (FTextColor != Color) {
    Simple(emr::SetTextColor, Color);
    FTextColor = Color;
  }
  if (Clipped) {
    Simple(emr::SaveDC);
    BoxRecord(emr::IntersectClipRect, R.Rect);
  }
  const int Ascent = FMeasurer.Ascent(Font);
  for (const TTextRun& Run : Runs) TextRun(R, Run, Ascent, Clipped);
  if (Clipped) Simple(emr::RestoreDC, static_cast<std::uint32_t>(-1));
}

// One run of a line of text; readers that ignore the advances array still
// start each run where it was measured.
void TEmfBuilder::TextRun(const TMetaRecord& R, const TTextRun& Run, int Ascent, bool Clipped) {
  const TFont& Font = FMetafile.FontOf(R);
  const std::u16string Chars = Utf8ToUtf16(Run.Text);
  std::vector<int> Advances = Run.Advances;
  Advances.resize(Chars.size(), 0);
  long long Width = 0;
  for (int A : Advances) Width += A;
  const int Height = FMeasurer.TextHeight(Font, Run.Text);
  const long long X = (long long)R.Point.X + Run.Offset;
  TRect Bounds(Saturate(X), R.Point.Y, Saturate(X + Width - 1), Saturate(R.Point.Y + (long long)Height - 1));
  if (Clipped) {
    Bounds.Left = std::max(Bounds.Left, R.Rect.Left);
    Bounds.Top = std::max(Bounds.Top, R.Rect.Top);
    Bounds.Right = std::min(Bounds.Right, R.Rect.Right - 1);
    Bounds.Bottom = std::min(Bounds.Bottom, R.Rect.Bottom - 1);
  }
  const std::uint32_t N = static_cast<std::uint32_t>(Chars.size());
  const std::uint32_t OffString = 76;
  const std::uint32_t OffDx = OffString + ((2 * N + 3) / 4) * 4;
  Begin(emr::ExtTextOutW);
  FOut.Rect(Bounds);
  FOut.U32(GM_COMPATIBLE);
  FOut.F32(1.0f);
  FOut.F32(1.0f);
  FOut.Point(TPoint(Saturate(X), Saturate((long long)R.Point.Y + Ascent)));  // on the baseline
  FOut.U32(N);
  FOut.U32(OffString);
  FOut.U32(Clipped ? ETO_CLIPPED : 0);
  FOut.Rect(Clipped ? R.Rect : TRect());
  FOut.U32(OffDx);
  FOut.Utf16(Chars);
  FOut.PadTo4();
  for (int A : Advances) FOut.I32(A);
  End();
}

void TEmfBuilder::WriteRecord(const TMetaRecord& R) {
  const TBrush& Brush = FMetafile.BrushOf(R);
  // Operations that cannot show anything are left out altogether.
  switch (R.Op) {
    case TMetaOp::FillRect:
      if (Brush.Style() == bsClear || R.Rect.IsEmpty()) return;
      break;
    case TMetaOp::TextOut:
      if (R.Text.empty()) return;
      break;
    case TMetaOp::TextRect:
      if (R.Text.empty() || R.Rect.IsEmpty()) return;
      break;
    default:
      break;
  }
  SelectState(R);
  switch (R.Op) {
    case TMetaOp::MoveTo:
      MoveTo(R.Point);
      FPenPos = R.Point;
      FPositionMoved = false;
      break;
    case TMetaOp::LineTo:
      if (FPositionMoved) MoveTo(FPenPos);
      LineTo(R.Point);
      FPenPos = R.Point;
      FPositionMoved = false;
      break;
    case TMetaOp::Rectangle:
    case TMetaOp::Ellipse:
    case TMetaOp::RoundRect:
      Shape(R);
      break;
    case TMetaOp::FillRect:
      FillRectPath(R);
      break;
    case TMetaOp::TextOut:
      Text(R, false);
      break;
    case TMetaOp::TextRect:
      Text(R, true);
      break;
  }
}

}  // namespace

std::vector<std::uint8_t> EmfBytes(const TMetafile& Metafile, const TTextMeasurer& Measurer) {
  return TEmfBuilder(Metafile, Measurer).Build();
}

void SaveEmf(const TMetafile& Metafile, const TTextMeasurer& Measurer, const std::string& FileName) {
  const std::vector<std::uint8_t> Bytes = EmfBytes(Metafile, Measurer);
  WriteFileReplacing(FileName, Bytes);
}

}  // namespace vt
