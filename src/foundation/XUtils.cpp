#include "foundation/XUtils.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

#include "foundation/Utils.h"

namespace vt {

namespace {

char GDecimalSeparator = '.';

bool IsBlank(char C) {
  return static_cast<unsigned char>(C) <= 32;
}

std::string_view TrimBlanks(std::string_view S) {
  while (!S.empty() && IsBlank(S.front())) S.remove_prefix(1);
  while (!S.empty() && IsBlank(S.back())) S.remove_suffix(1);
  return S;
}

int HexValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

bool ParseInt(std::string_view S, int& Value) {
  S = TrimBlanks(S);
  bool Negative = false;
  if (!S.empty() && (S.front() == '+' || S.front() == '-')) {
    Negative = S.front() == '-';
    S.remove_prefix(1);
  }
  std::uint64_t Magnitude = 0;
  if (!S.empty() && S.front() == '$') {
    S.remove_prefix(1);
    if (S.empty()) return false;
    for (char C : S) {
      const int D = HexValue(C);
      if (D < 0) return false;
      Magnitude = Magnitude * 16 + static_cast<unsigned>(D);
      if (Magnitude > 0xFFFFFFFFu) return false;
    }
    // Hexadecimal gives the 32-bit pattern.
    const auto Pattern = static_cast<std::uint32_t>(Magnitude);
    Value = static_cast<std::int32_t>(Negative ? 0u - Pattern : Pattern);
    return true;
  }
  if (S.empty()) return false;
  const std::uint64_t Limit = Negative ? 2147483648u : 2147483647u;
  for (char C : S) {
    if (C < '0' || C > '9') return false;
    Magnitude = Magnitude * 10 + static_cast<unsigned>(C - '0');
    if (Magnitude > Limit) return false;
  }
  Value = static_cast<int>(Negative ? -static_cast<std::int64_t>(Magnitude)
                                    : static_cast<std::int64_t>(Magnitude));
  return true;
}

// The largest Double as written with 15 significant digits; texts up to it
// come from rounding the largest Double and read back as that value.
constexpr long double MaxWrittenDouble = 1.79769313486232E308L;

// Checks the grammar [sign] digits [. digits] [(E|e) [sign] digits], with at
// least one mantissa digit, on a text whose decimal point is already ".".
bool IsDecimalNumber(std::string_view S) {
  size_t I = 0;
  if (I < S.size() && (S[I] == '+' || S[I] == '-')) ++I;
  size_t Digits = 0;
  while (I < S.size() && S[I] >= '0' && S[I] <= '9') ++I, ++Digits;
  if (I < S.size() && S[I] == '.') {
    ++I;
    while (I < S.size() && S[I] >= '0' && S[I] <= '9') ++I, ++Digits;
  }
  if (Digits == 0) return false;
  if (I < S.size() && (S[I] == 'E' || S[I] == 'e')) {
    ++I;
    if (I < S.size() && (S[I] == '+' || S[I] == '-')) ++I;
    size_t ExpDigits = 0;
    while (I < S.size() && S[I] >= '0' && S[I] <= '9') ++I, ++ExpDigits;
    if (ExpDigits == 0) return false;
  }
  return I == S.size();
}

bool ParseFloat(std::string_view Text, double& Value) {
  std::string S(TrimBlanks(Text));
  const char Sep = GDecimalSeparator;
  for (char& C : S)
    if (C == Sep || C == '.') C = '.';
  const std::string Upper = UpperCase(S);
  if (Upper == "NAN") {
    Value = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  if (Upper == "INF" || Upper == "+INF" || Upper == "-INF") {
    Value =
        Upper[0] == '-' ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    return true;
  }
  if (!IsDecimalNumber(S)) return false;
  const bool Negative = S[0] == '-';
  std::string_view Body(S);
  if (Body[0] == '+' || Body[0] == '-') Body.remove_prefix(1);
  double V = 0;
  auto [End, Ec] = std::from_chars(Body.data(), Body.data() + Body.size(), V);
  if (Ec == std::errc() && End == Body.data() + Body.size()) {
    Value = Negative ? -V : V;
    return true;
  }
  if (Ec != std::errc::result_out_of_range) return false;
  // Out of range: tiny values become zero; huge ones fail unless they are the
  // written form of the largest Double.
  long double L = 0;
  auto [EndL, EcL] = std::from_chars(Body.data(), Body.data() + Body.size(), L);
  if (EcL == std::errc() && EndL == Body.data() + Body.size()) {
    if (L < 1) {
      V = 0;
    } else if (L <= MaxWrittenDouble) {
      V = std::numeric_limits<double>::max();
    } else {
      return false;
    }
  } else if (EcL == std::errc::result_out_of_range) {
    // Beyond even the wider type: decide by the sign of the decimal exponent.
    const size_t EPos = Body.find_first_of("Ee");
    if (EPos == std::string_view::npos || Body[EPos + 1] != '-') return false;
    V = 0;
  } else {
    return false;
  }
  Value = Negative ? -V : V;
  return true;
}

// The decimal digits (without trailing zeros, at least one) and the decimal
// exponent of |Value| rounded to Precision significant digits, so that
// |Value| ~ 0.D1D2... * 10^Exponent. Value must be finite and non-zero.
void DecimalDigits(double Value, int Precision, std::string& Digits, int& Exponent) {
  char Buf[64];
  auto [End, Ec] =
      std::to_chars(Buf, Buf + sizeof Buf, std::fabs(Value), std::chars_format::scientific, Precision - 1);
  (void)Ec;
  const std::string_view Sci(Buf, static_cast<size_t>(End - Buf));
  const size_t EPos = Sci.find('e');
  Digits.clear();
  for (char C : Sci.substr(0, EPos))
    if (C != '.') Digits += C;
  while (Digits.size() > 1 && Digits.back() == '0') Digits.pop_back();
  int Exp = 0;
  std::string_view ExpText = Sci.substr(EPos + 1);
  if (!ExpText.empty() && ExpText[0] == '+') ExpText.remove_prefix(1);
  std::from_chars(ExpText.data(), ExpText.data() + ExpText.size(), Exp);
  Exponent = Exp + 1;
}

std::string NonFinite(double Value) {
  if (std::isnan(Value)) return "NAN";
  return Value < 0 ? "-INF" : "INF";
}

bool AllZeroDigits(std::string_view S) {
  for (char C : S)
    if (C >= '1' && C <= '9') return false;
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Locale.

char LocaleDecimalSeparator() {
  return GDecimalSeparator;
}

void SetLocaleDecimalSeparator(char Separator) {
  GDecimalSeparator = Separator;
}

TLocaleDecimalSeparatorGuard::TLocaleDecimalSeparatorGuard(char Separator) : FSaved(GDecimalSeparator) {
  GDecimalSeparator = Separator;
}

TLocaleDecimalSeparatorGuard::~TLocaleDecimalSeparatorGuard() {
  GDecimalSeparator = FSaved;
}

// ---------------------------------------------------------------------------
// Booleans.

bool StrToBool(const std::string& S) {
  const std::string U = AnsiUpperCase(S);
  if (U == "1" || U == "T" || U == "TRUE" || U == "YES") return true;
  if (U == "0" || U == "F" || U == "FALSE" || U == "NO") return false;
  throw EConvertError(Fmt(SInvalidBoolean, Excerpt(S)));
}

std::string BoolToText(bool B) {
  return B ? "True" : "False";
}

// ---------------------------------------------------------------------------
// Integers.

std::string IntToStr(long long Value) {
  return std::to_string(Value);
}

int StrToInt(const std::string& S) {
  int Value = 0;
  if (!ParseInt(S, Value)) throw EConvertError(Fmt(SInvalidInteger, Excerpt(S)));
  return Value;
}

bool TryStrToInt(const std::string& S, int& Value) {
  return ParseInt(S, Value);
}

std::string IntToHex(int Value, int Digits) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  auto Pattern = static_cast<std::uint32_t>(Value);
  std::string Out;
  do {
    Out.insert(Out.begin(), Hex[Pattern & 0xF]);
    Pattern >>= 4;
  } while (Pattern != 0);
  if (Digits > 32) Digits = 32;
  if (static_cast<int>(Out.size()) < Digits) Out.insert(0, static_cast<size_t>(Digits) - Out.size(), '0');
  return Out;
}

std::string ColorToText(int Color) {
  return IntToHex(Color, 6);
}

int TextToColor(const std::string& S) {
  return StrToInt("$" + S);
}

// ---------------------------------------------------------------------------
// Floating point.

double TextToFloat(const std::string& S) {
  double Value = 0;
  if (!ParseFloat(S, Value)) throw EConvertError(Fmt(SInvalidFloat, Excerpt(S)));
  return Value;
}

double TextToFiniteFloat(const std::string& S) {
  double Value = 0;
  if (!ParseFloat(S, Value) || !std::isfinite(Value)) throw EConvertError(Fmt(SInvalidFloat, Excerpt(S)));
  return Value;
}

std::string FloatToText(double Value) {
  if (!std::isfinite(Value)) return NonFinite(Value);
  if (Value == 0) return "0";
  constexpr int Precision = 15;
  std::string Digits;
  int Exponent = 0;
  DecimalDigits(Value, Precision, Digits, Exponent);
  std::string Out = Value < 0 ? "-" : "";
  if (Exponent > Precision || Exponent < -3) {
    Out += Digits[0];
    if (Digits.size() > 1) Out += "." + Digits.substr(1);
    Out += "E" + std::to_string(Exponent - 1);
  } else if (Exponent <= 0) {
    Out += "0." + std::string(static_cast<size_t>(-Exponent), '0') + Digits;
  } else {
    const auto IntDigits = static_cast<size_t>(Exponent);
    if (Digits.size() <= IntDigits) {
      Out += Digits + std::string(IntDigits - Digits.size(), '0');
    } else {
      Out += Digits.substr(0, IntDigits) + "." + Digits.substr(IntDigits);
    }
  }
  return Out;
}

std::string FloatToFixedText(double Value, int Decimals) {
  if (!std::isfinite(Value)) return NonFinite(Value);
  constexpr int Precision = 18;
  if (Decimals < 0) Decimals = 0;
  if (Decimals > Precision) Decimals = Precision;
  std::string Out;
  int Exponent = 0;
  if (Value != 0) {
    std::string Digits;
    DecimalDigits(Value, Precision, Digits, Exponent);
    if (Exponent > Precision) return FloatToText(Value);
    if (Exponent + Decimals > Precision) {
      // Only the first 18 significant digits are shown; the rest are zeros.
      Digits.resize(static_cast<size_t>(Exponent + Decimals), '0');
      if (Exponent <= 0) {
        Out = "0." + std::string(static_cast<size_t>(-Exponent), '0') + Digits;
      } else {
        Out = Digits.substr(0, static_cast<size_t>(Exponent));
        if (Decimals > 0) Out += "." + Digits.substr(static_cast<size_t>(Exponent));
      }
      if (Value < 0) Out.insert(0, "-");
      return Out;
    }
  }
  char Buf[400];
  auto [End, Ec] = std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::fixed, Decimals);
  (void)Ec;
  Out.assign(Buf, static_cast<size_t>(End - Buf));
  // A negative value rounded to zero is written without its sign.
  if (!Out.empty() && Out[0] == '-' && AllZeroDigits(Out)) Out.erase(0, 1);
  return Out;
}

// ---------------------------------------------------------------------------
// Lists.

std::string ByteSetToText(const TByteSet& Set) {
  std::string Out;
  for (size_t I = 0; I < Set.size(); ++I) {
    if (!Set.test(I)) continue;
    if (!Out.empty()) Out += ';';
    Out += std::to_string(I);
  }
  return Out;
}

TByteSet TextToByteSet(const std::string& S) {
  TByteSet Set;
  std::string Rest = S;
  std::string Piece;
  while (!Rest.empty()) {
    SplitNext(Rest, ';', Piece);
    const int V = StrToInt(Piece);
    if (V >= 0 && V <= 255) Set.set(static_cast<size_t>(V));
  }
  return Set;
}

std::string FloatArrayToText(const floatarray& A) {
  std::string Out;
  for (size_t I = 0; I < A.size(); ++I) {
    if (I > 0) Out += ';';
    Out += FloatToText(A[I]);
  }
  return Out;
}

std::string FloatArrayToFixedText(const floatarray& A, int Decimals) {
  std::string Out;
  for (size_t I = 0; I < A.size(); ++I) {
    if (I > 0) Out += ';';
    Out += FloatToFixedText(A[I], Decimals);
  }
  return Out;
}

floatarray TextToFloatArray(const std::string& S) {
  floatarray A;
  if (S.empty()) return A;
  A.resize(static_cast<size_t>(CountChar(S, ';')) + 1);
  std::string Rest = S;
  std::string Piece;
  for (double& V : A) {
    SplitNext(Rest, ';', Piece);
    V = TextToFloat(Piece);
  }
  return A;
}

// ---------------------------------------------------------------------------
// Font styles.

std::string FontStyleToLetters(TFontStyles Styles) {
  std::string Out;
  if (Styles.Contains(fsBold)) Out += 'B';
  if (Styles.Contains(fsItalic)) Out += 'I';
  if (Styles.Contains(fsUnderline)) Out += 'U';
  return Out;
}

TFontStyles LettersToFontStyle(const std::string& S) {
  TFontStyles Styles;
  for (char C : S) {
    if (C == 'B' || C == 'b')
      Styles.Include(fsBold);
    else if (C == 'I' || C == 'i')
      Styles.Include(fsItalic);
    else if (C == 'U' || C == 'u')
      Styles.Include(fsUnderline);
  }
  return Styles;
}

// ---------------------------------------------------------------------------
// Date and time.

std::string DateTimeToText(const std::tm& DateTime) {
  return Fmt("%04d-%02d-%02dT%02d:%02d:%02d", DateTime.tm_year + 1900, DateTime.tm_mon + 1, DateTime.tm_mday,
             DateTime.tm_hour, DateTime.tm_min, DateTime.tm_sec);
}

std::string DateTimeToText(std::chrono::system_clock::time_point DateTime) {
  const std::time_t T = std::chrono::system_clock::to_time_t(DateTime);
  std::tm Local{};
  localtime_r(&T, &Local);
  return DateTimeToText(Local);
}

}  // namespace vt
