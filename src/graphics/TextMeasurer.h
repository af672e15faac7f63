// Text metrics in integer pixels at 96 dpi. Measuring and drawing must use the
// same measurer, so every output of a picture lines its text up the same way.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "graphics/Graphics.h"

namespace vt {

// UTF-16 form of a UTF-8 string; bytes that are not valid UTF-8 each become
// U+FFFD, as in the rest of the system.
std::u16string Utf8ToUtf16(std::string_view Text);

class TTextMeasurer {
 public:
  virtual ~TTextMeasurer() = default;
  // Advance width of the whole string.
  virtual int TextWidth(const TFont& Font, std::string_view Text) const = 0;
  // Height of a line of text in the font: ascent plus descent. It does not
  // depend on the characters.
  virtual int TextHeight(const TFont& Font, std::string_view Text) const = 0;
  // The advance of each UTF-16 code unit of the string (a surrogate pair
  // carries its character's advance on the first unit and 0 on the second);
  // the advances add up to TextWidth. The default measures growing prefixes.
  virtual std::vector<int> CharAdvances(const TFont& Font, std::string_view Text) const;
  // Distance from the top of a line to its baseline. The default is four
  // fifths of TextHeight, rounded, halves to even.
  virtual int Ascent(const TFont& Font) const;
};

// A piece of a line of text that is drawn in one go: Offset pixels from the
// start of the line, with the measurer's advance of each of its UTF-16 code
// units.
struct TTextRun {
  int Offset = 0;
  std::string Text;
  std::vector<int> Advances;
  friend bool operator==(const TTextRun&, const TTextRun&) = default;
};

// True for the characters that take their measured advance but draw nothing:
// the control characters (the tab among them).
constexpr bool IsControlChar(char32_t Ch) {
  return Ch < 0x20 || (Ch >= 0x7F && Ch < 0xA0);
}

// Text split into the runs an output draws. Outputs expand a tab to the next
// tab stop or show a control character as a box; split at them, every
// character is drawn where the measurer put it, and the control characters
// leave a gap of their measured advance. A text without control characters
// is one run at offset 0; an empty text, or one of control characters only,
// has no runs.
std::vector<TTextRun> TextRuns(const TTextMeasurer& Measurer, const TFont& Font, std::string_view Text);

// A measurer independent of installed fonts, for tests: every character
// (code point) advances CharWidth pixels and a line is LineHeight pixels
// high. With ScaleWithSize both are scaled by the font size relative to 10
// points (rounded, halves to even), so a change of font shows in the numbers.
class TFakeMeasurer : public TTextMeasurer {
 public:
  explicit TFakeMeasurer(int ACharWidth = 8, int ALineHeight = 16, bool AScaleWithSize = true)
      : FCharWidth(ACharWidth), FLineHeight(ALineHeight), FScaleWithSize(AScaleWithSize) {}

  int CharWidth() const { return FCharWidth; }
  void SetCharWidth(int Value) { FCharWidth = Value; }
  int LineHeight() const { return FLineHeight; }
  void SetLineHeight(int Value) { FLineHeight = Value; }
  bool ScaleWithSize() const { return FScaleWithSize; }
  void SetScaleWithSize(bool Value) { FScaleWithSize = Value; }

  // The advance of one character in Font.
  int CharAdvance(const TFont& Font) const;

  int TextWidth(const TFont& Font, std::string_view Text) const override;
  int TextHeight(const TFont& Font, std::string_view Text) const override;
  std::vector<int> CharAdvances(const TFont& Font, std::string_view Text) const override;

 private:
  int Scaled(const TFont& Font, int Value) const;

  int FCharWidth;
  int FLineHeight;
  bool FScaleWithSize;
};

}  // namespace vt
