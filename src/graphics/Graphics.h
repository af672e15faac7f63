// Value types of the drawing platform: colour numbers, fonts, pens, brushes,
// rectangles and points, and the enumerations with their stored numbers.
// Everything here is copied by value.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "foundation/XUtils.h"

namespace vt {

// Messages of the drawing layer.
inline constexpr const char* SGraphicsIndexError = "%s index out of bounds (%d)";
inline constexpr const char* SGraphicsUnknownState = "Metafile record refers to an unknown %s (%d)";

// Errors of the drawing layer.
class EGraphicsError : public Exception {
 public:
  using Exception::Exception;
};

// ---------------------------------------------------------------------------
// Colour numbers: an RGB colour is $00BBGGRR (red in the low byte); a system
// colour is $FF000000 plus the index of the system colour.

using TColor = std::int32_t;

constexpr TColor SystemColor(std::uint8_t Index) {
  return static_cast<TColor>(0xFF000000u | Index);
}
constexpr TColor RGB(std::uint8_t R, std::uint8_t G, std::uint8_t B) {
  return static_cast<TColor>(R | (G << 8) | (B << 16));
}
constexpr std::uint8_t GetRValue(TColor C) {
  return static_cast<std::uint8_t>(C & 0xFF);
}
constexpr std::uint8_t GetGValue(TColor C) {
  return static_cast<std::uint8_t>((C >> 8) & 0xFF);
}
constexpr std::uint8_t GetBValue(TColor C) {
  return static_cast<std::uint8_t>((C >> 16) & 0xFF);
}
constexpr bool IsSystemColor(TColor C) {
  return C < 0;
}

inline constexpr TColor clScrollBar = SystemColor(0);
inline constexpr TColor clBackground = SystemColor(1);
inline constexpr TColor clActiveCaption = SystemColor(2);
inline constexpr TColor clInactiveCaption = SystemColor(3);
inline constexpr TColor clMenu = SystemColor(4);
inline constexpr TColor clWindow = SystemColor(5);
inline constexpr TColor clWindowFrame = SystemColor(6);
inline constexpr TColor clMenuText = SystemColor(7);
inline constexpr TColor clWindowText = SystemColor(8);
inline constexpr TColor clCaptionText = SystemColor(9);
inline constexpr TColor clActiveBorder = SystemColor(10);
inline constexpr TColor clInactiveBorder = SystemColor(11);
inline constexpr TColor clAppWorkSpace = SystemColor(12);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clHighlightText = SystemColor(14);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clBtnShadow = SystemColor(16);
inline constexpr TColor clGrayText = SystemColor(17);
inline constexpr TColor clBtnText = SystemColor(18);
inline constexpr TColor clInactiveCaptionText = SystemColor(19);
inline constexpr TColor clBtnHighlight = SystemColor(20);
inline constexpr TColor cl3DDkShadow = SystemColor(21);
inline constexpr TColor cl3DLight = SystemColor(22);
inline constexpr TColor clInfoText = SystemColor(23);
inline constexpr TColor clInfoBk = SystemColor(24);
inline constexpr TColor clHotLight = SystemColor(26);
inline constexpr TColor clGradientActiveCaption = SystemColor(27);
inline constexpr TColor clGradientInactiveCaption = SystemColor(28);
inline constexpr TColor clMenuHighlight = SystemColor(29);
inline constexpr TColor clMenuBar = SystemColor(30);

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clLtGray = 0xC0C0C0;
inline constexpr TColor clDkGray = 0x808080;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The plain RGB value ($00BBGGRR) of a colour number. System colours resolve
// to the fixed colours of the classic desktop scheme (window text black,
// window white, button face $C0C0C0, ...), never to the running desktop's
// theme, so a picture looks the same on every machine; an unknown system
// colour index gives black. Bits above the RGB part of other colours are
// dropped.
TColor ColorToRGB(TColor Color);

// ---------------------------------------------------------------------------
// Enumerations, by their stored numbers.

enum TAlignment : std::uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

enum TShapeType : std::uint8_t {
  stRectangle = 0,
  stSquare = 1,
  stRoundRect = 2,
  stRoundSquare = 3,
  stEllipse = 4,
  stCircle = 5
};

enum TPenStyle : std::uint8_t {
  psSolid = 0,
  psDash = 1,
  psDot = 2,
  psDashDot = 3,
  psDashDotDot = 4,
  psClear = 5,
  psInsideFrame = 6
};

enum TBrushStyle : std::uint8_t {
  bsSolid = 0,
  bsClear = 1,
  bsHorizontal = 2,
  bsVertical = 3,
  bsFDiagonal = 4,
  bsBDiagonal = 5,
  bsCross = 6,
  bsDiagCross = 7
};

// True for the pen styles that draw a dash pattern (psDash .. psDashDotDot).
constexpr bool IsDashed(TPenStyle Style) {
  return Style >= psDash && Style <= psDashDotDot;
}

// True for the hatched brush styles (bsHorizontal .. bsDiagCross).
constexpr bool IsHatched(TBrushStyle Style) {
  return Style >= bsHorizontal && Style <= bsDiagCross;
}

// Character sets of fonts (the classic numbers).
using TFontCharset = std::uint8_t;
inline constexpr TFontCharset ANSI_CHARSET = 0;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;
inline constexpr TFontCharset SYMBOL_CHARSET = 2;
inline constexpr TFontCharset EASTEUROPE_CHARSET = 238;

// Screen resolution of every picture: sizes in points become pixels at this.
inline constexpr int ScreenPixelsPerInch = 96;

// ---------------------------------------------------------------------------
// Points and rectangles. In drawing, the right and bottom edges of a
// rectangle are exclusive.

// Picture coordinates and sizes are held to ±MaxPictureCoord, whatever the
// sizes, borders, separations or stretches they come from: the sum or the
// difference of any two of them then stays within 32 bits, and every
// output can take them.
inline constexpr std::int32_t MaxPictureCoord = (1 << 30) - 1;
constexpr std::int32_t ClampPictureCoord(std::int64_t Value) {
  return Value > MaxPictureCoord ? MaxPictureCoord
                                 : Value < -MaxPictureCoord ? -MaxPictureCoord : static_cast<std::int32_t>(Value);
}

struct TPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  constexpr TPoint() = default;
  constexpr TPoint(std::int32_t AX, std::int32_t AY) : X(AX), Y(AY) {}
  friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  constexpr TRect() = default;
  constexpr TRect(std::int32_t ALeft, std::int32_t ATop, std::int32_t ARight, std::int32_t ABottom)
      : Left(ALeft), Top(ATop), Right(ARight), Bottom(ABottom) {}
  constexpr std::int64_t Width() const { return std::int64_t(Right) - Left; }
  constexpr std::int64_t Height() const { return std::int64_t(Bottom) - Top; }
  // True when the rectangle covers no pixel.
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

// ---------------------------------------------------------------------------
// Font, pen and brush.

// The largest font height and pen width in pixels that every output draws
// right: font engines give wrong metrics beyond the one, and Qt refuses
// wider pens than the other.
inline constexpr int MaxFontHeight = 8192;
inline constexpr int MaxPenWidth = 32767;

class TFont {
 public:
  TFont() = default;
  TFont(std::string AName, int ASize, TColor AColor = clWindowText, TFontStyles AStyle = {},
        TFontCharset ACharset = DEFAULT_CHARSET)
      : FName(std::move(AName)), FSize(ASize), FColor(AColor), FStyle(AStyle), FCharset(ACharset) {}

  const std::string& Name() const { return FName; }
  void SetName(std::string Value) { FName = std::move(Value); }
  // Size in points.
  int Size() const { return FSize; }
  void SetSize(int Value) { FSize = Value; }
  // Height in pixels at 96 dpi, negative as an em height: -round(Size*96/72),
  // so 10 points give -13. Its magnitude is held to MaxFontHeight.
  int Height() const;
  // Sets the size from a pixel height (its magnitude, at 96 dpi).
  void SetHeight(int Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value) { FStyle = Value; }
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value) { FCharset = Value; }

  friend bool operator==(const TFont&, const TFont&) = default;

 private:
  std::string FName = "Arial";
  int FSize = 10;
  TColor FColor = clWindowText;
  TFontStyles FStyle;
  TFontCharset FCharset = DEFAULT_CHARSET;
};

class TPen {
 public:
  TPen() = default;
  TPen(TColor AColor, int AWidth = 1, TPenStyle AStyle = psSolid)
      : FColor(AColor), FWidth(AWidth < 0 ? 0 : AWidth), FStyle(AStyle) {}

  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  // Width in pixels; 0 and 1 both draw one pixel wide. Negative widths are
  // ignored.
  int Width() const { return FWidth; }
  void SetWidth(int Value) {
    if (Value >= 0) FWidth = Value;
  }
  // The width every output draws: at least one pixel, at most MaxPenWidth.
  int DrawnWidth() const { return FWidth < 1 ? 1 : FWidth > MaxPenWidth ? MaxPenWidth : FWidth; }
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value) { FStyle = Value; }

  friend bool operator==(const TPen&, const TPen&) = default;

 private:
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
};

class TBrush {
 public:
  TBrush() = default;
  TBrush(TColor AColor, TBrushStyle AStyle = bsSolid) : FColor(AColor), FStyle(AStyle) {}

  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value) { FStyle = Value; }

  friend bool operator==(const TBrush&, const TBrush&) = default;

 private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};

}  // namespace vt
