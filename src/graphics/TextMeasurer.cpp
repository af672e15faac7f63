#include "graphics/TextMeasurer.h"

#include <cstdlib>

#include "foundation/Utils.h"

namespace vt {

namespace {

void AppendUtf16(std::u16string& Out, char32_t Ch) {
  if (Ch >= 0x10000) {
    Ch -= 0x10000;
    Out.push_back(static_cast<char16_t>(0xD800 + (Ch >> 10)));
    Out.push_back(static_cast<char16_t>(0xDC00 + (Ch & 0x3FF)));
  } else {
    Out.push_back(static_cast<char16_t>(Ch));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view Text) {
  std::u16string Out;
  Out.reserve(Text.size());
  for (char32_t Ch : Utf8ToUtf32(Text)) AppendUtf16(Out, Ch);
  return Out;
}

std::vector<int> TTextMeasurer::CharAdvances(const TFont& Font, std::string_view Text) const {
  // Differences of prefix widths keep kerning and rounding inside the total.
  const std::u32string Chars = Utf8ToUtf32(Text);
  std::vector<int> Result;
  Result.reserve(Chars.size());
  std::u32string Prefix;
  int Previous = 0;
  for (char32_t Ch : Chars) {
    Prefix.push_back(Ch);
    const int Width = TextWidth(Font, Utf32ToUtf8(Prefix));
    Result.push_back(Width - Previous);
    if (Ch >= 0x10000) Result.push_back(0);
    Previous = Width;
  }
  return Result;
}

int TTextMeasurer::Ascent(const TFont& Font) const {
  return RoundHalfEven(TextHeight(Font, {}) * 0.8);
}

std::vector<TTextRun> TextRuns(const TTextMeasurer& Measurer, const TFont& Font, std::string_view Text) {
  const std::u32string Chars = Utf8ToUtf32(Text);
  std::vector<int> Advances = Measurer.CharAdvances(Font, Text);
  std::vector<TTextRun> Runs;
  std::u32string Run;
  TTextRun Current;
  int X = 0;
  std::size_t Unit = 0;  // index of the code point's first UTF-16 unit
  const auto Flush = [&] {
    if (!Run.empty()) {
      Current.Text = Utf32ToUtf8(Run);
      Runs.push_back(std::move(Current));
    }
    Current = TTextRun();
    Run.clear();
  };
  for (char32_t Ch : Chars) {
    const std::size_t Units = Ch >= 0x10000 ? 2 : 1;
    int Advance = 0;
    for (std::size_t I = Unit; I < Unit + Units; ++I) Advance += I < Advances.size() ? Advances[I] : 0;
    if (IsControlChar(Ch)) {
      Flush();
    } else {
      if (Run.empty()) Current.Offset = X;
      Run.push_back(Ch);
      for (std::size_t I = Unit; I < Unit + Units; ++I)
        Current.Advances.push_back(I < Advances.size() ? Advances[I] : 0);
    }
    X += Advance;
    Unit += Units;
  }
  Flush();
  return Runs;
}

int TFakeMeasurer::Scaled(const TFont& Font, int Value) const {
  if (!FScaleWithSize) return Value;
  // The size's magnitude, held as the font's height is.
  constexpr int MaxSize = MaxFontHeight * 72 / ScreenPixelsPerInch;
  const int size = Font.Size() < -MaxSize || Font.Size() > MaxSize ? MaxSize : std::abs(Font.Size());
  return RoundHalfEven(double(Value) * size / 10.0);
}

int TFakeMeasurer::CharAdvance(const TFont& Font) const {
  return Scaled(Font, FCharWidth);
}

int TFakeMeasurer::TextWidth(const TFont& Font, std::string_view Text) const {
  return RoundHalfEven(double(CharAdvance(Font)) * double(Utf8Length(Text)));
}

int TFakeMeasurer::TextHeight(const TFont& Font, std::string_view) const {
  return Scaled(Font, FLineHeight);
}

std::vector<int> TFakeMeasurer::CharAdvances(const TFont& Font, std::string_view Text) const {
  const int Advance = CharAdvance(Font);
  std::vector<int> Result;
  for (char32_t Ch : Utf8ToUtf32(Text)) {
    Result.push_back(Advance);
    if (Ch >= 0x10000) Result.push_back(0);
  }
  return Result;
}

}  // namespace vt
