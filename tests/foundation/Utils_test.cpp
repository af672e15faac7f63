#include "foundation/Utils.h"

#include <new>
#include <stdexcept>

#include "foundation/XUtils.h"

#include <gtest/gtest.h>

#include <string>

namespace vt {
namespace {

TEST(FloatCompare, ToleranceRules) {
  EXPECT_EQ(GetFloatTolerance(), 1e-12);
  EXPECT_TRUE(FloatEqual(1, 1 + 1e-13));
  EXPECT_FALSE(FloatEqual(0, 1e-12));
  EXPECT_TRUE(SameFloat(0, 1e-12));
  EXPECT_FALSE(SameFloat(0, 2e-12));
  EXPECT_TRUE(SameFloat(1e6, 1e6 + 1e-7));  // relative to the smaller magnitude
  EXPECT_FALSE(SameFloat(1e6, 1e6 + 1e-5));
  EXPECT_FALSE(SameFloat(-1, 1));
}

// ---------------------------------------------------------------------------
// UTF-8

TEST(Utf8, InvalidBytesDecodeToOneReplacementEach) {
  struct Case {
    const char* Bytes;
    std::u32string Chars;
  };
  for (const Case& C :
       {Case{"a\xC3\xA9", U"a\u00E9"}, Case{"\xE2\x82\xAC", U"\u20AC"},
        Case{"\xF0\x9F\x8C\xB3", U"\U0001F333"}, Case{"\xC3", U"\uFFFD"}, Case{"\xC3z", U"\uFFFDz"},
        Case{"\xC0\xAF", U"\uFFFD\uFFFD"}, Case{"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
        Case{"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"}, Case{"\xFF", U"\uFFFD"},
        Case{"\x80x", U"\uFFFDx"}})
    EXPECT_EQ(Utf8ToUtf32(C.Bytes), C.Chars) << C.Bytes;
  EXPECT_EQ(Utf32ToUtf8(U"a\u00E9\u20AC\U0001F333"), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8C\xB3");
  EXPECT_EQ(Utf32ToUtf8(std::u32string(1, char32_t(0xD800))), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf32ToUtf8(std::u32string(1, char32_t(0x110000))), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf8Length("čšž\xFF"), 4);
}

// ---------------------------------------------------------------------------
// Case rules

TEST(LocaleCase, LatinLettersFoldTheSameEverywhere) {
  EXPECT_EQ(AnsiUpperCase("čšžćđ äöüé ÿ ab"), "ČŠŽĆĐ ÄÖÜÉ Ÿ AB");
  EXPECT_EQ(AnsiLowerCase("ČŠŽĆĐ ÄÖÜÉ Ÿ AB"), "čšžćđ äöüé ÿ ab");
  EXPECT_EQ(AnsiUpperCase("ß×÷ łńőŕ"), "ß×÷ ŁŃŐŔ");
  EXPECT_EQ(AnsiUpperCase("αβγ жя"), "ΑΒΓ ЖЯ");
  EXPECT_EQ(AnsiUpperCase("a\xFF"
                          "b"),
            "A\xFF"
            "B");  // invalid bytes kept
  EXPECT_EQ(UpperCase("abč"), "ABč");
  EXPECT_EQ(LowerCase("ABČ"), "abČ");
}

TEST(LocaleCase, CompareTextIgnoresCaseOnly) {
  EXPECT_EQ(AnsiCompareText("ČAS", "čas"), 0);
  EXPECT_TRUE(AnsiSameText("Ärger", "äRGER"));
  EXPECT_LT(AnsiCompareText("a", "B"), 0);
  EXPECT_GT(AnsiCompareText("b", "A"), 0);
  EXPECT_LT(AnsiCompareText("abc", "ABCD"), 0);
  EXPECT_GT(AnsiCompareText("abcd", "ABC"), 0);
  EXPECT_LT(AnsiCompareText("c", "č"), 0);
  EXPECT_NE(AnsiCompareText("\xFE", "\xFF"), 0);
  EXPECT_EQ(AnsiCompareText("", ""), 0);
  EXPECT_LT(AnsiCompareStr("A", "a"), 0);
  EXPECT_EQ(AnsiCompareStr("č", "č"), 0);
}

TEST(Trim, RemovesControlCharactersAndBlanks) {
  EXPECT_EQ(Trim(" \t\r\n\x01 a b \x1F"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(Trim("   "), "");
}

// ---------------------------------------------------------------------------
// Pieces

TEST(Pieces, PositionsCountCharacters) {
  EXPECT_EQ(LeftStr("abc", 2), "ab");
  EXPECT_EQ(LeftStr("abc", 5), "abc");
  EXPECT_EQ(LeftStr("abc", 0), "");
  EXPECT_EQ(LeftStr("abc", -1), "");
  EXPECT_EQ(LeftStr("čšž", 2), "čš");
  EXPECT_EQ(LeftStr("a\xFF"
                    "b",
                    2),
            "a\xFF");
  EXPECT_EQ(RestStr("abcd", 3), "cd");
  EXPECT_EQ(RestStr("abcd", 0), "abcd");
  EXPECT_EQ(RestStr("abcd", 9), "");
  EXPECT_EQ(RestStr("čšž", 2), "šž");
  EXPECT_EQ(MidStr("abcdef", 2, 4), "bcd");
  EXPECT_EQ(MidStr("abcdef", 4, 2), "");
  EXPECT_EQ(MidStr("abcdef", 5, 99), "ef");
  EXPECT_EQ(MidStr("čšžđ", 2, 3), "šž");
  EXPECT_EQ(CharAt("abc", 0), U'\0');
  EXPECT_EQ(CharAt("abc", 4), U'\0');
  EXPECT_EQ(CharAt("abc", 2), U'b');
  EXPECT_EQ(CharAt("ačc", 2), U'č');
}

TEST(Pieces, CountRepeatReplace) {
  EXPECT_EQ(CountChar("a;b;;c", ';'), 3);
  EXPECT_EQ(CountChar("ščš", U'š'), 2);
  EXPECT_EQ(RepeatChar('-', 3), "---");
  EXPECT_EQ(RepeatChar(U'ž', 2), "žž");
  EXPECT_EQ(RepeatChar('x', 0), "");
  EXPECT_EQ(RepeatChar('x', -4), "");
  EXPECT_EQ(ReplaceChar("a.b.c", '.', ','), "a,b,c");
  EXPECT_EQ(ReplaceChar("čač", U'č', 'c'), "cac");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("a&b&c", "&", "&amp;"), "a&amp;b&amp;c");
  EXPECT_EQ(ReplaceAll("abc", "x", "y"), "abc");
  EXPECT_EQ(ReplaceAll("abc", "", "y"), "abc");
  EXPECT_EQ(BeforeStr("key=value=x", "="), "key");
  EXPECT_EQ(AfterStr("key=value=x", "="), "value=x");
  EXPECT_EQ(BeforeStr("abc", "="), "abc");
  EXPECT_EQ(AfterStr("abc", "="), "abc");
}

TEST(Excerpt, QuotesAtMostTheCharactersGiven) {
  EXPECT_EQ(Excerpt("short"), "short");
  EXPECT_EQ(Excerpt(std::string(80, 'a')), std::string(80, 'a'));
  EXPECT_EQ(Excerpt(std::string(81, 'a')), std::string(80, 'a') + "\u2026");
  EXPECT_EQ(Excerpt("čččč", 2), "čč\u2026");
  EXPECT_EQ(Excerpt("abc", 0), "\u2026");
  EXPECT_EQ(Excerpt(std::string(50 << 20, 'z')).size(), 80u + 3u);
}

// What the user is told: our own messages as they stand, the library's in
// words, and no line longer than a screen's worth.
TEST(UserMessage, NamesNoBareLibraryException) {
  EXPECT_EQ(UserMessage(std::bad_alloc()), "Out of memory");
  EXPECT_EQ(UserMessage(EConvertError("'x' is not a valid integer value")), "'x' is not a valid integer value");
  EXPECT_EQ(UserMessage(std::length_error("basic_string::_M_create")), "Internal error: basic_string::_M_create");
  const std::string message = UserMessage(Exception(std::string(5000, 'm') + "\nsecond line"));
  EXPECT_EQ(message, std::string(1000, 'm') + "\u2026\nsecond line");
}

TEST(DefaultExt, AppendsOnlyWithoutExtension) {
  struct Case {
    const char* Name;
    const char* Result;
  };
  for (const Case& C :
       {Case{"tree", "tree.emf"}, Case{"tree.x", "tree.x"}, Case{"dir.d/tree", "dir.d/tree.emf"},
        Case{"C:\\a.b\\tree", "C:\\a.b\\tree.emf"}, Case{"dir/t.vrt", "dir/t.vrt"}, Case{"", ".emf"}})
    EXPECT_EQ(DefaultExt(C.Name, ".emf"), C.Result) << C.Name;
}

TEST(Split, FirstWordFirstAndNext) {
  struct Case {
    const char* Input;
    const char* Sep;
    const char* First;
    const char* Rest;
  };
  for (const Case& C : {Case{"a;b", ";", "a", "b"}, Case{"ab", ";", "ab", ""}, Case{";b", ";", "", "b"},
                        Case{"a;", ";", "a", ""}, Case{"a::b::c", "::", "a", "b::c"},
                        Case{"  one two  three ", "", "one", "two  three"}, Case{"  one  ", "", "one", ""},
                        Case{"   ", "", "", ""}, Case{"", ";", "", ""}}) {
    std::string S = C.Input;
    std::string First = "junk";
    SplitFirst(S, C.Sep, First);
    EXPECT_EQ(First, C.First) << C.Input;
    EXPECT_EQ(S, C.Rest) << C.Input;
  }
  std::string S = "x;y;z";
  std::string First;
  SplitNext(S, ';', First);
  EXPECT_EQ(First, "x");
  EXPECT_EQ(S, "y;z");
  S = "ačb";
  SplitNext(S, U'č', First);
  EXPECT_EQ(First, "a");
  EXPECT_EQ(S, "b");
  S = " w1 w2";
  SplitFirstWord(S, First);
  EXPECT_EQ(First, "w1");
  EXPECT_EQ(S, "w2");
  int A = 1, B = 2;
  SwapInt(A, B);
  EXPECT_EQ(A, 2);
  EXPECT_EQ(B, 1);
}

}  // namespace
}  // namespace vt
