#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <utility>

#include "XmlTestUtil.h"
#include "xml/Xml.h"

namespace vt {
namespace {

using testing::Dump;
using ::testing::ElementsAre;
using testing::FillList;
using testing::kUtf8Header;
using testing::LoadError;
using ::testing::Pair;

const std::string H = kUtf8Header;

std::vector<std::pair<std::string, std::string>> Attrs(const TXmlItem& Item) {
  std::vector<std::pair<std::string, std::string>> Out;
  for (int I = 0; I < Item.AttributeCount(); ++I)
    Out.emplace_back(Item.GetAttribute(I)->Name(), Item.GetAttribute(I)->Text());
  return Out;
}

// Loads the lines, expecting success.
std::unique_ptr<TXmlItem> Load(std::initializer_list<std::string> Lines) {
  auto Item = std::make_unique<TXmlItem>();
  const std::string Error = LoadError(*Item, Lines);
  EXPECT_EQ(Error, "");
  return Item;
}

// ---------------------------------------------------------------------------
// Errors, with their line numbers: one more than the lines consumed.

struct ErrorCase {
  const char* Title;
  std::initializer_list<std::string> Lines;
  std::string Message;
};

TEST(XmlParserTest, ErrorsNameTheLineAndTheCause) {
  const std::string E = "Error reading XML around line ";
  const ErrorCase Cases[] = {
      {"no lines", {}, E + "1: Missing or unrecognized XML header"},
      {"blank lines only", {"", "  "}, E + "3: Missing or unrecognized XML header"},
      {"single quotes",
       {"<?xml version='1.0' encoding='UTF-8'?>"},
       E + "2: Missing or unrecognized XML header"},
      {"other spacing",
       {"<?xml  version=\"1.0\" encoding=\"UTF-8\"?>"},
       E + "2: Missing or unrecognized XML header"},
      {"other encoding",
       {"<?xml version=\"1.0\" encoding=\"utf-8\"?>"},
       E + "2: Missing or unrecognized XML header"},
      {"no header", {"<a/>"}, E + "2: Missing or unrecognized XML header"},
      {"text before the header", {"hello", H}, E + "3: A tag expected instead of text \"hello \""},
      {"text before the root", {H, "text <a/>"}, E + "3: A tag expected instead of text \"text \""},
      {"text after a child", {H, "<a>", "<b/> x", "<c/>", "</a>"}, ""},
      {"unterminated", {H, "<a x=\"1\"", "y=\"2\""}, E + "4: Unterminated tag \"<a x=\"1\" y=\"2\"\""},
      {"root is an end tag", {H, "</a>"}, E + "3: Expecting an opening tag instead of \"</a>\""},
      {"crossed end tags",
       {H, "<a>", "<b>", "</a>", "</b>"},
       E + "5: Expecting terminating tag \"</b>\" instead of \"</a>\""},
      {"input ends inside", {H, "<a>", "<b/>"}, E + "4: Missing tag \"</a>\""},
      {"comment",
       {H, "<a>", "<!-- note -->", "</a>"},
       E + "5: Expecting terminating tag \"</!-->\" instead of \"</a>\""},
      {"processing instruction", {H, "<?style href=\"s\"?>", "<a/>"}, E + "4: Missing tag \"</?style>\""},
      {"> in a quoted value", {H, "<a x=\"1>2\"/>"}, E + "3: Missing tag \"</a>\""},
      // Texts from the input are quoted up to 80 characters.
      {"10 MB unterminated tag",
       {H, "<a x=\"" + std::string(10 << 20, 'x')},
       E + "3: Unterminated tag \"<a x=\"" + std::string(74, 'x') + "\u2026\""},
      {"long text before the root",
       {H, std::string(100, 'y') + "<a/>"},
       E + "3: A tag expected instead of text \"" + std::string(80, 'y') + "\u2026\""},
      {"long crossed end tag",
       {H, "<a>", "</" + std::string(200, 'b') + ">"},
       E + "4: Expecting terminating tag \"</a>\" instead of \"</" + std::string(80, 'b') + "\u2026>\""},
  };
  for (const ErrorCase& C : Cases) {
    TXmlItem Item;
    EXPECT_EQ(LoadError(Item, C.Lines), C.Message) << C.Title;
  }
}

TEST(XmlParserTest, AFailedElementKeepsWhatWasRead) {
  TXmlItem Item;
  EXPECT_EQ(LoadError(Item, {H, "<a k=\"v\">", "x", "<b/>", "<c>"}),
            "Error reading XML around line 6: Missing tag \"</c>\"");
  EXPECT_EQ(Dump(Item), "a k=v['x',b,c]");
}

TEST(XmlParserTest, RefusesAMissingList) {
  try {
    TXmlParser Parser(nullptr);
    FAIL() << "no error";
  } catch (const EXmlError& E) {
    EXPECT_STREQ(E.what(), "Error reading XML around line 1: Missing or unrecognized XML header");
  }
}

// ---------------------------------------------------------------------------
// What is read.

struct ReadCase {
  const char* Title;
  std::initializer_list<std::string> Lines;
  std::string Tree;
};

TEST(XmlParserTest, ReadsTagsAndTextsAcrossLines) {
  const ReadCase Cases[] = {
      {"attribute only", {H, "<a x=\"1\"/>"}, "a x=1"},
      {"empty element", {H, "<a></a>"}, "a"},
      {"mixed content", {H, "<a>x<b/>y</a>"}, "a {y}['x',b]"},
      {"same-line text keeps blanks", {H, "<a>  x  </a>"}, "a {  x  }"},
      {"text over lines is trimmed and joined",
       {H, "<a>", "  hello  ", "  world ", "</a>"},
       "a {hello world}"},
      {"text ending before a tag", {H, "<a>", "one", "two</a>"}, "a {one two}"},
      {"text starting after a tag", {H, "<a> x", "y </a>"}, "a {x y}"},
      {"tag over lines", {H, "<a", "x=\"1\"", "/>"}, "a x=1"},
      {"body on the header line", {H + "<a/>"}, "a"},
      {"blank lines first", {"", " \t", H, "<a/>"}, "a"},
      {"header over two lines", {"<?xml version=\"1.0\"", "encoding=\"UTF-8\"?>", "<a/>"}, "a"},
      {"references stay", {H, "<a>&#65;&foo;&amp;lt;</a>"}, "a {&#65;&foo;&lt;}"},
      {"entities", {H, "<a v=\"&quot;&nbsp;&tab;\">&cr;&lf;</a>"}, "a v=\" \t {\r\n}"},
      {"content after the root", {H, "<a/>", "</b> junk < <"}, "a"},
      {"unknown end tag of a name", {H, "<a >", "</a>"}, "a"},
  };
  for (const ReadCase& C : Cases) EXPECT_EQ(Dump(*Load(C.Lines)), C.Tree) << C.Title;
}

TEST(XmlParserTest, CutsAttributesAtBlanksAfterTheEqualsSign) {
  const struct {
    const char* Tag;
    std::vector<std::pair<std::string, std::string>> Attributes;
  } Cases[] = {
      {"<a x=1 y=2/>", {{"x", "1"}, {"y", "2"}}},
      {"<a x='1 2'/>", {{"x", "'1"}, {"2'", ""}}},
      {"<a n = \"v\"/>", {{"n ", ""}, {"\"v\"", ""}}},
      {"<a x=\"1\" flag/>", {{"x", "1"}, {"flag", ""}}},
      {"<a b c/>", {{"b c", ""}}},
      {"<a t=\"p q\"  u=\"\"/>", {{"t", "p q"}, {"u", ""}}},
      {"<a e=\"x=y\"/>", {{"e", "x=y"}}},
      {"<a d=\"1\" d=\"2\"/>", {{"d", "1"}, {"d", "2"}}},
  };
  for (const auto& C : Cases) {
    auto Item = Load({H, C.Tag});
    EXPECT_EQ(Attrs(*Item), C.Attributes) << C.Tag;
    EXPECT_TRUE(Item->IsText()) << C.Tag;
  }
}

TEST(XmlParserTest, AddsToWhatTheElementHolds) {
  TXmlItem Item("old");
  Item.AddAttribute("k", "1");
  Item.NewItem("kept");
  EXPECT_EQ(LoadError(Item, {H}), "");
  EXPECT_EQ(Dump(Item), "old k=1[kept]");
  EXPECT_EQ(LoadError(Item, {H, "<new k=\"2\"><c/></new>"}), "");
  EXPECT_EQ(Dump(Item), "new k=1 k=2[kept,c]");
}

TEST(XmlParserTest, WrittenTreesReadBackTheSame) {
  TXmlItem Root("root");
  Root.AddAttribute("quote", "say \"hi\" & <go>");
  Root.AddAttribute("blanks", "  two  ");
  Root.AddTextItem("", " lead");
  TXmlItem* Node = Root.NewItem("node");
  Node->AddTextItem("name", "A\r\nB\tC");
  Node->AddTextItem("pad", "  ");
  Node->AddTextItem("utf", "\xC4\x8D\xE2\x82\xAC");
  Node->NewItem("empty");
  Node->SetText(" own text ");
  Root.AddTextItem("", "tail ");
  Root.NewItem("deep")->NewItem("deeper")->AddTextItem("leaf", "&lt;");
  Root.SetText("\t");

  TStringList Lines;
  Root.SaveToStringList(Lines);
  TXmlItem Again;
  Again.LoadFromStringList(Lines);
  EXPECT_EQ(Dump(Again), Dump(Root));

  // Mixed content read from one line is written on separate lines.
  auto Mixed = Load({H, "<a>x<b/>y</a>"});
  EXPECT_THAT(testing::SavedLines(*Mixed), ElementsAre(H, "<a>", "  x", "  <b/>", "  y", "</a>"));
  TStringList Written;
  Mixed->SaveToStringList(Written);
  TXmlItem Reread;
  Reread.LoadFromStringList(Written);
  EXPECT_EQ(Dump(Reread), Dump(*Mixed));
}

// A document written on one line reads as the same tree as one written on
// many lines (the reader keeps its pending text in a buffer that it only
// shortens now and then).
TEST(XmlParserTest, OneLongLineReadsLikeManyLines) {
  TXmlItem Root("r");
  for (int I = 0; I < 3000; ++I) {
    TXmlItem* N = Root.NewItem("n");
    N->AddAttribute("i", std::to_string(I));
    N->AddTextItem("t", "v " + std::to_string(I));
    N->NewItem("e");
  }
  TStringList Lines;
  Root.SaveToStringList(Lines);
  std::string Body;
  for (int I = 1; I < Lines.Count(); ++I) {
    const std::string& L = Lines.Strings(I);
    Body += L.substr(L.find_first_not_of(' '));
  }
  TStringList OneLine;
  OneLine.Add(Lines.Strings(0));
  OneLine.Add(Body);
  TXmlItem FromLines, FromOneLine;
  FromLines.LoadFromStringList(Lines);
  FromOneLine.LoadFromStringList(OneLine);
  EXPECT_EQ(Dump(FromLines), Dump(Root));
  EXPECT_EQ(Dump(FromOneLine), Dump(Root));
}

// ---------------------------------------------------------------------------
// Character sets.

TEST(XmlParserTest, Utf8DocumentsReplaceBadBytes) {
  const std::string R = "\xEF\xBF\xBD";  // U+FFFD
  auto Item =
      Load({H, "<a n=\"\xC3\xA9\" bad=\"\xC0\xAF\">\xE2\x82\xAC<b\xFF/>x\xFFy\xE2\x82z\xED\xA0\x80</a>"});
  EXPECT_EQ(Item->GetAttributeAsString("n"), "\xC3\xA9");
  EXPECT_EQ(Item->GetAttributeAsString("bad"), R + R);  // an overlong form
  EXPECT_EQ(Item->GetItem(0)->Text(), "\xE2\x82\xAC");
  EXPECT_EQ(Item->GetItem(1)->Name(), "b" + R);
  EXPECT_EQ(Item->Text(), "x" + R + "y" + R + R + "z" + R + R + R);  // a surrogate: three bytes
  EXPECT_TRUE(XmlUtf8);
}

TEST(XmlParserTest, PlainDocumentsAreWindows1250) {
  testing::XmlSettingsGuard Guard;
  auto Item = Load({"<?xml version=\"1.0\"?>", "<\xC8 t=\"\xE8\">\x8A\x9A\xA3\x80\x81</\xC8>"});
  EXPECT_FALSE(XmlUtf8);
  EXPECT_EQ(Item->Name(), "\xC4\x8C");                                          // Č
  EXPECT_EQ(Item->GetAttributeAsString("t"), "\xC4\x8D");                       // č
  EXPECT_EQ(Item->Text(), "\xC5\xA0\xC5\xA1\xC5\x81\xE2\x82\xAC\xEF\xBF\xBD");  // ŠšŁ€ and an undefined byte
  EXPECT_EQ(XmlDecode("&lt;\xB9"), "<\xC4\x85");  // ą, while the setting says 8-bit

  TXmlItem Bad;
  EXPECT_EQ(LoadError(Bad, {"<?xml version=\"1.0\"?>", "<a>", "</\xC8>"}),
            "Error reading XML around line 4: Expecting terminating tag \"</a>\" instead of \"</\xC4\x8C>\"");

  Load({H, "<a/>"});
  EXPECT_TRUE(XmlUtf8);
}

TEST(XmlParserTest, SkipsAByteOrderMark) {
  EXPECT_EQ(Dump(*Load({"\xEF\xBB\xBF" + H, "<a/>"})), "a");
  EXPECT_EQ(Dump(*Load({"\xEF\xBB\xBF", H, "<b/>"})), "b");
  TXmlItem Item;
  EXPECT_EQ(LoadError(Item, {H, "\xEF\xBB\xBF<a/>"}),
            "Error reading XML around line 3: A tag expected instead of text \"\xEF\xBB\xBF\"");
}

TEST(XmlParserTest, HeaderFollowsTheSetting) {
  testing::XmlSettingsGuard Guard;
  XmlHeader = "<?doc?>";
  EXPECT_EQ(Dump(*Load({"<?doc?>", "<a/>"})), "a");
  TXmlItem Item;
  EXPECT_EQ(LoadError(Item, {H, "<a/>"}),
            "Error reading XML around line 2: Missing or unrecognized XML header");
  // Without a header the document starts with its root.
  XmlHeader = "";
  EXPECT_EQ(Dump(*Load({"<a/>"})), "a");
}

// ---------------------------------------------------------------------------
// Nesting.

std::string Repeat(const std::string& S, int N) {
  std::string Out;
  Out.reserve(S.size() * static_cast<size_t>(N));
  for (int I = 0; I < N; ++I) Out += S;
  return Out;
}

TEST(XmlParserTest, ReadsNestingUpToTheLimit) {
  auto Item = Load({H, Repeat("<e>", XmlMaxDepth) + Repeat("</e>", XmlMaxDepth)});
  int Depth = 1;
  for (const TXmlItem* I = Item.get(); I->ItemCount() > 0; I = I->GetItem(0)) ++Depth;
  EXPECT_EQ(Depth, XmlMaxDepth);
  auto Empty = Load({H, Repeat("<e>", XmlMaxDepth - 1) + "<e/>" + Repeat("</e>", XmlMaxDepth - 1)});
  EXPECT_EQ(Empty->ItemCount(), 1);
}

TEST(XmlParserTest, RefusesDeeperNesting) {
  const std::string Message = "Elements nested deeper than 1000 levels";
  TXmlItem OneLine;
  EXPECT_EQ(LoadError(OneLine, {H, Repeat("<e>", 1000000)}), "Error reading XML around line 3: " + Message);
  TXmlItem EmptyTag;
  EXPECT_EQ(LoadError(EmptyTag, {H, Repeat("<e>", XmlMaxDepth) + "<e/>"}),
            "Error reading XML around line 3: " + Message);

  // Written by the writer, one element per line: the 1001st stands on line
  // 1002, the 1002nd line consumed.
  TStringList Lines;
  testing::DeepChain(XmlMaxDepth + 1)->SaveToStringList(Lines);
  TXmlItem Written;
  try {
    Written.LoadFromStringList(Lines);
    FAIL() << "no error";
  } catch (const EXmlError& E) {
    EXPECT_EQ(E.what(), "Error reading XML around line 1003: " + Message);
  }
}

}  // namespace
}  // namespace vt
