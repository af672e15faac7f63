#include "foundation/XUtils.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

namespace vt {
namespace {

#define EXPECT_CONVERT_ERROR(Statement, Message)              \
  do {                                                        \
    try {                                                     \
      Statement;                                              \
      ADD_FAILURE() << "no EConvertError from " #Statement;   \
    } catch (const EConvertError& E) {                        \
      EXPECT_EQ(std::string(E.what()), std::string(Message)); \
    }                                                         \
  } while (false)

TEST(StrToBool, AcceptsTheKnownWordsInAnyCase) {
  struct Case {
    const char* Text;
    bool Value;
  };
  for (const Case& C :
       {Case{"1", true}, Case{"t", true}, Case{"T", true}, Case{"true", true}, Case{"True", true},
        Case{"yes", true}, Case{"Yes", true}, Case{"YES", true}, Case{"0", false}, Case{"f", false},
        Case{"FALSE", false}, Case{"False", false}, Case{"no", false}, Case{"No", false}})
    EXPECT_EQ(StrToBool(C.Text), C.Value) << C.Text;
  EXPECT_EQ(BoolToText(true), "True");
  EXPECT_EQ(BoolToText(false), "False");
}

TEST(StrToBool, RaisesWithTheTextAsPassed) {
  for (const char* Text : {"n", "", " TRUE", "TRUE ", "2", "yess", "Ja"})
    EXPECT_CONVERT_ERROR(StrToBool(Text), "\"" + std::string(Text) + "\" is not a valid Boolean value");
}

TEST(StrToInt, DecimalAndDollarHexadecimal) {
  struct Case {
    const char* Text;
    int Value;
  };
  for (const Case& C :
       {Case{"0", 0}, Case{"12", 12}, Case{"-7", -7}, Case{"+3", 3}, Case{"007", 7},
        Case{"2147483647", 2147483647}, Case{"-2147483648", -2147483647 - 1}, Case{"$FF", 255},
        Case{"$ff", 255}, Case{"-$10", -16}, Case{"$7FFFFFFF", 2147483647}, Case{"$FFFFFFFF", -1},
        Case{"$FF000008", static_cast<int>(0xFF000008u)}, Case{" 42 ", 42}, Case{"\t-5", -5}}) {
    EXPECT_EQ(StrToInt(C.Text), C.Value) << C.Text;
    int V = 0;
    EXPECT_TRUE(TryStrToInt(C.Text, V));
  }
  for (const char* Text : {"", " ", "abc", "1.5", "1e3", "2147483648", "-2147483649", "$", "$1FFFFFFFF",
                           "1 2", "- 5", "0x10", "$G", "++1"}) {
    EXPECT_CONVERT_ERROR(StrToInt(Text), "'" + std::string(Text) + "' is not a valid integer value");
    int V = 0;
    EXPECT_FALSE(TryStrToInt(Text, V)) << Text;
  }
  EXPECT_EQ(IntToStr(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(IntToStr(123), "123");
}

TEST(ColorText, SixHexDigitsInBgrLayout) {
  EXPECT_EQ(ColorToText(255), "0000FF");    // red
  EXPECT_EQ(ColorToText(32768), "008000");  // green
  EXPECT_EQ(ColorToText(0xFFFFFF), "FFFFFF");
  EXPECT_EQ(ColorToText(0), "000000");
  EXPECT_EQ(ColorToText(static_cast<int>(0xFF000008u)), "FF000008");  // system colour keeps all digits
  EXPECT_EQ(TextToColor("FF0000"), 0xFF0000);                         // blue
  EXPECT_EQ(TextToColor("00ff00"), 0x00FF00);
  EXPECT_EQ(TextToColor("FF000008"), static_cast<int>(0xFF000008u));
  EXPECT_CONVERT_ERROR(TextToColor("GG0000"), "'$GG0000' is not a valid integer value");
  EXPECT_CONVERT_ERROR(TextToColor(""), "'$' is not a valid integer value");
  EXPECT_EQ(IntToHex(10, 1), "A");
  EXPECT_EQ(IntToHex(10, 4), "000A");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
}

// ---------------------------------------------------------------------------
// Floating point

TEST(TextToFloat, ReadsDocumentNumbers) {
  struct Case {
    const char* Text;
    double Value;
  };
  for (const Case& C : {Case{"1.5", 1.5}, Case{"-2.25e3", -2250}, Case{"+4", 4}, Case{" 3 ", 3},
                        Case{".5", 0.5}, Case{"5.", 5}, Case{"1E20", 1e20}, Case{"1.5E-7", 1.5e-7},
                        Case{"0", 0}, Case{"1e-400", 0}, Case{"0.1", 0.1}})
    EXPECT_EQ(TextToFloat(C.Text), C.Value) << C.Text;
  for (const char* Text : {"", " ", "abc", "1,5", "1e", "1.5.3", "e5", "--1", "0x10", "1 2", "1e400",
                           "1.8E308", "INFINITY", "."})
    EXPECT_CONVERT_ERROR(TextToFloat(Text),
                         "'" + std::string(Text) + "' is not a valid floating point value");
}

// Values that become sizes take no "NAN" or infinity; the written forms of
// the largest values are still numbers.
TEST(TextToFiniteFloat, RefusesWhatIsNoFiniteNumber) {
  for (const char* Text : {"NAN", "nan", "INF", "-inf", "+INF", "1e400", "x"})
    EXPECT_CONVERT_ERROR(TextToFiniteFloat(Text),
                         "'" + std::string(Text) + "' is not a valid floating point value");
  EXPECT_EQ(TextToFiniteFloat("1.5"), 1.5);
  EXPECT_EQ(TextToFiniteFloat("1.79769313486232E308"), std::numeric_limits<double>::max());
}

// A huge text that does not convert is quoted only in part.
TEST(Conversions, QuoteAtMostALineOfTheText) {
  const std::string Huge(1 << 20, '7');
  const std::string Quoted = std::string(79, '7') + "x\u2026";
  EXPECT_CONVERT_ERROR(StrToInt(Huge.substr(0, 79) + "x" + Huge), "'" + Quoted + "' is not a valid integer value");
  EXPECT_CONVERT_ERROR(TextToFloat(Huge.substr(0, 79) + "x" + Huge),
                       "'" + Quoted + "' is not a valid floating point value");
  EXPECT_CONVERT_ERROR(StrToBool(Huge.substr(0, 79) + "x" + Huge), "\"" + Quoted + "\" is not a valid Boolean value");
}

TEST(TextToFloat, AcceptsTheLocaleSeparatorToo) {
  TLocaleDecimalSeparatorGuard Comma(',');
  EXPECT_EQ(LocaleDecimalSeparator(), ',');
  EXPECT_EQ(TextToFloat("1.5"), 1.5);
  EXPECT_EQ(TextToFloat("1,5"), 1.5);
  EXPECT_EQ(TextToFloat("-0,25E2"), -25);
  EXPECT_CONVERT_ERROR(TextToFloat("1,5.3"), "'1,5.3' is not a valid floating point value");
  EXPECT_EQ(FloatToText(0.5), "0.5");
  EXPECT_EQ(FloatToFixedText(0.5, 2), "0.50");
}

TEST(TextToFloat, ReadsBackEveryWrittenValue) {
  const double Max = std::numeric_limits<double>::max();
  EXPECT_EQ(FloatToText(-Max), "-1.79769313486232E308");
  // The 15 written digits of the largest Double round beyond it: still read.
  EXPECT_EQ(TextToFloat(FloatToText(Max)), Max);
  EXPECT_EQ(TextToFloat(FloatToText(-Max)), -Max);
  EXPECT_TRUE(std::isnan(TextToFloat(FloatToText(std::nan("")))));
  EXPECT_EQ(TextToFloat(FloatToText(HUGE_VAL)), HUGE_VAL);
  EXPECT_EQ(TextToFloat(FloatToText(-HUGE_VAL)), -HUGE_VAL);
  EXPECT_EQ(TextToFloat("inf"), HUGE_VAL);
  const double Tiny = std::numeric_limits<double>::denorm_min();
  EXPECT_NEAR(TextToFloat(FloatToText(Tiny)), Tiny, Tiny);
  std::mt19937_64 Rng(11);
  std::uniform_real_distribution<double> Mantissa(-10, 10);
  std::uniform_int_distribution<int> Exponent(-300, 300);
  for (int I = 0; I < 2000; ++I) {
    const double V = Mantissa(Rng) * std::pow(10.0, Exponent(Rng));
    const double Back = TextToFloat(FloatToText(V));
    EXPECT_LE(std::fabs(Back - V), std::fabs(V) * 1e-14) << FloatToText(V);
    const double Fixed = TextToFloat(FloatToFixedText(V, 3));
    if (std::fabs(V) < 1e15) {
      EXPECT_LE(std::fabs(Fixed - V), 5e-4 + std::fabs(V) * 1e-15);
    }
  }
}

TEST(FloatToText, ShortestGeneralFormWithPoint) {
  struct Case {
    double Value;
    const char* Text;
  };
  for (const Case& C :
       {Case{0.5, "0.5"}, Case{100, "100"}, Case{1e20, "1E20"}, Case{0, "0"}, Case{-0.0, "0"},
        Case{-2.5, "-2.5"}, Case{1.5e-7, "1.5E-7"}, Case{0.0001, "0.0001"}, Case{0.00001, "1E-5"},
        Case{0.00012, "0.00012"}, Case{123456789012345.0, "123456789012345"}, Case{1e15, "1E15"},
        Case{1234567890123456.0, "1.23456789012346E15"}, Case{0.1 + 0.2, "0.3"},
        Case{1.0 / 3, "0.333333333333333"}, Case{2.0 / 3, "0.666666666666667"}, Case{-1e-300, "-1E-300"},
        Case{1e100, "1E100"}, Case{12.5e10, "125000000000"}})
    EXPECT_EQ(FloatToText(C.Value), C.Text) << C.Value;
  EXPECT_EQ(FloatToText(std::nan("")), "NAN");
  EXPECT_EQ(FloatToText(HUGE_VAL), "INF");
  EXPECT_EQ(FloatToText(-HUGE_VAL), "-INF");
}

TEST(FloatToFixedText, ExactDecimalsAtMostEighteenDigits) {
  struct Case {
    double Value;
    int Decimals;
    const char* Text;
  };
  for (const Case& C :
       {Case{1.5, 2, "1.50"}, Case{123.456, 0, "123"}, Case{-1.25, 1, "-1.2"}, Case{0.125, 2, "0.12"},
        Case{0.375, 2, "0.38"}, Case{2.675, 2, "2.67"}, Case{-0.001, 2, "0.00"}, Case{0, 3, "0.000"},
        Case{1, -2, "1"}, Case{1, 25, "1.000000000000000000"}, Case{0.1, 18, "0.100000000000000006"},
        Case{123456789.123456789, 15, "123456789.123456791000000"}, Case{1e20, 2, "1E20"},
        Case{99.999, 2, "100.00"}})
    EXPECT_EQ(FloatToFixedText(C.Value, C.Decimals), C.Text) << C.Value << " " << C.Decimals;
  EXPECT_EQ(FloatToFixedText(HUGE_VAL, 2), "INF");
}

TEST(FloatToText, IgnoresACommaDecimalProcessLocale) {
  const char* Old = std::setlocale(LC_ALL, nullptr);
  const std::string Saved = Old ? Old : "C";
  const char* Comma = nullptr;
  for (const char* Name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "sl_SI.UTF-8", "de_DE", "nl_NL.UTF-8"})
    if ((Comma = std::setlocale(LC_ALL, Name)) != nullptr) break;
#ifdef VT_TEST_LOCALES
  if (Comma == nullptr) {
    // The build generates a German locale of its own for this test.
    setenv("LOCPATH", VT_TEST_LOCALES, 1);
    Comma = std::setlocale(LC_ALL, "de_DE.UTF-8");
  }
#endif
  if (Comma == nullptr) GTEST_SKIP() << "no comma-decimal locale installed";
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  EXPECT_EQ(FloatToText(0.5), "0.5");
  EXPECT_EQ(FloatToText(1.5e-7), "1.5E-7");
  EXPECT_EQ(FloatToFixedText(2.25, 1), "2.2");
  EXPECT_EQ(FloatArrayToText({1.5, 2}), "1.5;2");
  EXPECT_EQ(TextToFloat("1.5"), 1.5);
  EXPECT_EQ(Fmt("%g|%.2f", 0.5, 1.25), "0.5|1.25");
  std::setlocale(LC_ALL, Saved.c_str());
}

// ---------------------------------------------------------------------------
// Lists

TEST(ByteSet, TextBothWays) {
  TByteSet S;
  EXPECT_EQ(ByteSetToText(S), "");
  S.set(255).set(0).set(7);
  EXPECT_EQ(ByteSetToText(S), "0;7;255");
  EXPECT_EQ(TextToByteSet("0;7;255"), S);
  TByteSet Five;
  Five.set(5);
  EXPECT_EQ(TextToByteSet("300;-1;5"), Five);
  TByteSet OneTwo;
  OneTwo.set(1).set(2);
  EXPECT_EQ(TextToByteSet("1;2;"), OneTwo);
  EXPECT_EQ(TextToByteSet(""), TByteSet());
  EXPECT_CONVERT_ERROR(TextToByteSet("1;;2"), "'' is not a valid integer value");
  EXPECT_CONVERT_ERROR(TextToByteSet("1;x"), "'x' is not a valid integer value");
}

TEST(FloatArray, TextBothWays) {
  EXPECT_EQ(FloatArrayToText({}), "");
  EXPECT_EQ(FloatArrayToText({1.5, 2, -0.25}), "1.5;2;-0.25");
  EXPECT_EQ(FloatArrayToFixedText({1, 2.5}, 1), "1.0;2.5");
  EXPECT_EQ(TextToFloatArray("1.5;2;-0.25"), (floatarray{1.5, 2, -0.25}));
  EXPECT_EQ(TextToFloatArray("7"), (floatarray{7}));
  EXPECT_TRUE(TextToFloatArray("").empty());
  EXPECT_CONVERT_ERROR(TextToFloatArray("1;2;"), "'' is not a valid floating point value");
  EXPECT_CONVERT_ERROR(TextToFloatArray("1;a;2"), "'a' is not a valid floating point value");
}

TEST(FontStyle, Letters) {
  EXPECT_EQ(FontStyleToLetters({}), "");
  EXPECT_EQ(FontStyleToLetters({fsItalic}), "I");
  EXPECT_EQ(FontStyleToLetters({fsStrikeOut, fsUnderline, fsItalic, fsBold}), "BIU");
  EXPECT_EQ(LettersToFontStyle("bu"), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(LettersToFontStyle("x"), TFontStyles());
  EXPECT_EQ(LettersToFontStyle("S"), TFontStyles());
  EXPECT_EQ(LettersToFontStyle("iIiB "), (TFontStyles{fsItalic, fsBold}));
  TFontStyles S{fsBold, fsItalic};
  EXPECT_TRUE(S.Contains(fsBold));
  EXPECT_FALSE((S - TFontStyles{fsBold}).Contains(fsBold));
  EXPECT_EQ(S * (TFontStyles{fsItalic, fsUnderline}), (TFontStyles{fsItalic}));
  EXPECT_EQ(TFontStyles::FromBits(0xFF).Bits(), 0x0F);
}

TEST(DateTimeToText, IsoPatternWith24Hours) {
  std::tm T{};
  T.tm_year = 121;
  T.tm_mon = 2;
  T.tm_mday = 5;
  T.tm_hour = 14;
  T.tm_min = 7;
  T.tm_sec = 9;
  EXPECT_EQ(DateTimeToText(T), "2021-03-05T14:07:09");
  T.tm_hour = 0;
  EXPECT_EQ(DateTimeToText(T), "2021-03-05T00:07:09");
  EXPECT_EQ(DateTimeToText(std::chrono::system_clock::now()).size(), 19u);
}

}  // namespace
}  // namespace vt
