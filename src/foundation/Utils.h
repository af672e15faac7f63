// String utilities shared by the XML reader and writer, the picture nodes and
// the main window, the locale's case rules, UTF-8 decoding, and the
// floating-point tolerance of the model library.
//
// Strings are UTF-8. Positions and lengths count characters (code points),
// 1-based; a byte that is not part of a valid UTF-8 sequence counts as one
// character and is kept as it is. No function here fails.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace vt {

// ---------------------------------------------------------------------------
// Floating-point tolerance.

inline constexpr double FloatTolerance = 1e-12;
// FloatTolerance, for callers that take the tolerance from a function.
double GetFloatTolerance();
// |A - B| < FloatTolerance.
bool FloatEqual(double A, double B);
// |A - B| <= max(min(|A|, |B|) * 1e-12, 1e-12).
bool SameFloat(double A, double B);

// ---------------------------------------------------------------------------
// UTF-8.

// Every byte that does not begin a valid sequence (overlong forms, surrogates
// and values beyond U+10FFFF included) decodes to one U+FFFD.
std::u32string Utf8ToUtf32(std::string_view S);
// Code points that cannot be encoded (surrogates, beyond U+10FFFF) become U+FFFD.
std::string Utf32ToUtf8(std::u32string_view S);
// Appends the UTF-8 bytes of one code point; surrogates and values beyond
// U+10FFFF become U+FFFD.
void AppendUtf8(std::string& Out, char32_t Cp);
std::string CharToUtf8(char32_t Ch);
// Number of characters.
int Utf8Length(std::string_view S);

// ---------------------------------------------------------------------------
// The user's locale: case rules for ASCII, Latin-1 Supplement, Latin
// Extended-A, basic Greek and Cyrillic, the same on every machine.

char32_t AnsiUpperChar(char32_t Ch);
char32_t AnsiLowerChar(char32_t Ch);
std::string AnsiUpperCase(std::string_view S);
std::string AnsiLowerCase(std::string_view S);
// Case-insensitive: characters are compared by code point after upper-casing.
int AnsiCompareText(std::string_view S1, std::string_view S2);
bool AnsiSameText(std::string_view S1, std::string_view S2);
// Case-sensitive, by code point.
int AnsiCompareStr(std::string_view S1, std::string_view S2);
// ASCII letters only.
std::string UpperCase(std::string_view S);
std::string LowerCase(std::string_view S);

// ---------------------------------------------------------------------------
// Trimming removes the characters with codes 0 to 32.

std::string Trim(std::string_view S);
std::string TrimLeft(std::string_view S);
std::string TrimRight(std::string_view S);

// ---------------------------------------------------------------------------
// Pieces of strings (positions 1-based, in characters).

// The first N characters (all of S when shorter; empty when N <= 0).
std::string LeftStr(std::string_view S, int N);
// From position P to the end (all of S when P < 1).
std::string RestStr(std::string_view S, int P);
// Positions P to Q inclusive.
std::string MidStr(std::string_view S, int P, int Q);
// The character at P, or 0 when P < 1 or P > length.
char32_t CharAt(std::string_view S, int P);
// S for quoting in a message: at most MaxChars characters, the rest left
// out as "…". Only the beginning of S is looked at, however long it is.
std::string Excerpt(std::string_view S, int MaxChars = 80);
int CountChar(std::string_view S, char32_t Ch);
// N copies of Ch (empty when N <= 0).
std::string RepeatChar(char32_t Ch, int N);
std::string ReplaceChar(std::string_view S, char32_t Ch1, char32_t Ch2);
// Every occurrence of Old, left to right without overlaps (S unchanged when
// Old is empty or absent).
std::string ReplaceAll(std::string_view S, std::string_view Old, std::string_view New);
// The text before / after the first occurrence of Sub; all of S when absent.
std::string BeforeStr(std::string_view S, std::string_view Sub);
std::string AfterStr(std::string_view S, std::string_view Sub);

// ---------------------------------------------------------------------------
// File names.

// The name unchanged when it has an extension (a "." after the last "/" or
// "\"); otherwise the name with Ext (which includes its dot) appended.
std::string DefaultExt(std::string_view FileName, std::string_view Ext);

// ---------------------------------------------------------------------------
// Splitting.

// S is trimmed; First takes the text before the first blank and S keeps the
// text after it; without a blank First takes all of S and S becomes empty.
void SplitFirstWord(std::string& S, std::string& First);
// With an empty Sep, SplitFirstWord; otherwise First takes the text before the
// first Sep and S loses everything up to and including it; without Sep First
// takes all of S and S becomes empty.
void SplitFirst(std::string& S, std::string_view Sep, std::string& First);
// SplitFirst with a one-character separator.
void SplitNext(std::string& S, char32_t Sep, std::string& First);

void SwapInt(int& A, int& B);

// ---------------------------------------------------------------------------
// Messages.

// What a user is told of a failure: this system's own messages as they
// stand, the standard library's in words rather than by a type or function
// name ("Out of memory" for std::bad_alloc). Lines beyond a screen's width
// are cut short.
std::string UserMessage(const std::exception& E);

}  // namespace vt
