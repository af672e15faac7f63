// Values and their text in documents. Files are the same whatever the user's
// locale: decimal numbers carry "." as decimal separator, Booleans are written
// "True"/"False" and read leniently, colours are six hexadecimal digits, lists
// are joined by ";".
//
// Every failure to read a value from text is an EConvertError and nothing
// else, so that callers can ask "does this text hold a value" by catching it.
#pragma once

#include <bitset>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <initializer_list>
#include <string>
#include <vector>

#include "foundation/Base.h"

namespace vt {

// Messages of this unit.
inline constexpr const char* SInvalidBoolean = "\"%s\" is not a valid Boolean value";
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* SInvalidFloat = "'%s' is not a valid floating point value";

class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// ---------------------------------------------------------------------------
// Value types of the conversions.

// A set of integers 0..255.
using TByteSet = std::bitset<256>;
using floatarray = std::vector<double>;
using intarray = std::vector<int>;

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles, one bit per TFontStyle.
class TFontStyles {
 public:
  constexpr TFontStyles() = default;
  constexpr TFontStyles(std::initializer_list<TFontStyle> Styles) {
    for (TFontStyle S : Styles) Include(S);
  }
  static constexpr TFontStyles FromBits(std::uint8_t Bits) {
    TFontStyles R;
    R.FBits = static_cast<std::uint8_t>(Bits & 0x0F);
    return R;
  }
  constexpr std::uint8_t Bits() const { return FBits; }
  constexpr bool Contains(TFontStyle S) const { return (FBits & Bit(S)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr TFontStyles& Include(TFontStyle S) {
    FBits = static_cast<std::uint8_t>(FBits | Bit(S));
    return *this;
  }
  constexpr TFontStyles& Exclude(TFontStyle S) {
    FBits = static_cast<std::uint8_t>(FBits & ~Bit(S));
    return *this;
  }
  friend constexpr bool operator==(TFontStyles A, TFontStyles B) { return A.FBits == B.FBits; }
  // Union, difference and intersection.
  friend constexpr TFontStyles operator+(TFontStyles A, TFontStyles B) {
    return FromBits(static_cast<std::uint8_t>(A.FBits | B.FBits));
  }
  friend constexpr TFontStyles operator-(TFontStyles A, TFontStyles B) {
    return FromBits(static_cast<std::uint8_t>(A.FBits & ~B.FBits));
  }
  friend constexpr TFontStyles operator*(TFontStyles A, TFontStyles B) {
    return FromBits(static_cast<std::uint8_t>(A.FBits & B.FBits));
  }

 private:
  static constexpr std::uint8_t Bit(TFontStyle S) { return static_cast<std::uint8_t>(1u << S); }
  std::uint8_t FBits = 0;
};

// ---------------------------------------------------------------------------
// The user's locale as far as reading numbers goes. Documents always use ".";
// the locale's separator is additionally accepted by TextToFloat. The default
// is "." (set it from the platform at start-up if wanted).
char LocaleDecimalSeparator();
void SetLocaleDecimalSeparator(char Separator);

// Sets the locale decimal separator for a scope and restores the old one.
class TLocaleDecimalSeparatorGuard {
 public:
  explicit TLocaleDecimalSeparatorGuard(char Separator);
  ~TLocaleDecimalSeparatorGuard();
  TLocaleDecimalSeparatorGuard(const TLocaleDecimalSeparatorGuard&) = delete;
  TLocaleDecimalSeparatorGuard& operator=(const TLocaleDecimalSeparatorGuard&) = delete;

 private:
  char FSaved;
};

// ---------------------------------------------------------------------------
// Booleans.

// Upper-cased and compared whole: "1", "T", "TRUE", "YES" are True; "0", "F",
// "FALSE", "NO" are False; anything else raises SInvalidBoolean. No trimming.
bool StrToBool(const std::string& S);
// "True" or "False".
std::string BoolToText(bool B);

// ---------------------------------------------------------------------------
// Integers.

// Decimal.
std::string IntToStr(long long Value);
// Optional sign, then decimal digits or "$" and hexadecimal digits (up to
// eight; with the top bit set they give the negative 32-bit value). Blanks
// around the number are accepted. Raises SInvalidInteger.
int StrToInt(const std::string& S);
// As StrToInt, answering instead of raising.
bool TryStrToInt(const std::string& S, int& Value);
// Upper-case hexadecimal of the 32-bit pattern of Value, at least Digits
// digits (zero-padded), no prefix.
std::string IntToHex(int Value, int Digits);

// Colours 0x00BBGGRR: six upper-case hexadecimal digits (red is 0000FF);
// read as the hexadecimal integer of the text (raises SInvalidInteger).
std::string ColorToText(int Color);
int TextToColor(const std::string& S);

// ---------------------------------------------------------------------------
// Floating point.

// "." and the locale's separator are both taken as the decimal point; blanks
// around the number are accepted, as are "INF", "-INF" and "NAN" (any case)
// written for non-finite values. Raises SInvalidFloat, also when the value is
// beyond the Double range (a value that is beyond only by the rounding of its
// 15 written digits gives the largest Double).
double TextToFloat(const std::string& S);
// TextToFloat for values that become sizes or positions: "NAN" and the
// infinities raise SInvalidFloat too.
double TextToFiniteFloat(const std::string& S);
// Shortest general format with at most 15 significant digits and "."; the
// scientific form ("1E20", "1.5E-7") beyond 15 digits before the point or
// below 0.0001; non-finite values as "INF", "-INF", "NAN".
std::string FloatToText(double Value);
// Fixed notation with exactly Decimals decimals (0..18), at most 18
// significant digits (further digits are zeros); values with more than 18
// digits before the point are written as by FloatToText.
std::string FloatToFixedText(double Value, int Decimals);

// ---------------------------------------------------------------------------
// Lists joined by ";".

// Members ascending, in decimal; the empty set gives the empty text.
std::string ByteSetToText(const TByteSet& Set);
// Pieces are read by StrToInt (raises SInvalidInteger); values outside 0..255
// are ignored; a trailing ";" is harmless.
TByteSet TextToByteSet(const std::string& S);
std::string FloatArrayToText(const floatarray& A);
std::string FloatArrayToFixedText(const floatarray& A, int Decimals);
// Every piece is read by TextToFloat; a trailing ";" gives an empty final
// piece, which raises SInvalidFloat. The empty text gives an empty array.
floatarray TextToFloatArray(const std::string& S);

// ---------------------------------------------------------------------------
// Font styles as letters.

// "B", "I", "U" in this order for bold, italic, underline (strike-out has no
// letter).
std::string FontStyleToLetters(TFontStyles Styles);
// "B"/"b", "I"/"i", "U"/"u" add their style; other characters are ignored.
TFontStyles LettersToFontStyle(const std::string& S);

// ---------------------------------------------------------------------------
// Date and time as yyyy-mm-ddThh:mm:ss, hours 00..23.
std::string DateTimeToText(const std::tm& DateTime);
// The time point in local time.
std::string DateTimeToText(std::chrono::system_clock::time_point DateTime);

}  // namespace vt
