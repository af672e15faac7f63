#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "XmlTestUtil.h"
#include "foundation/Utils.h"
#include "foundation/XUtils.h"
#include "xml/Xml.h"

namespace vt {
namespace {

using ::testing::ElementsAre;
using testing::kUtf8Header;
using testing::SavedLines;

// ---------------------------------------------------------------------------
// Entity coding.

struct CodingCase {
  const char* Plain;
  const char* Keep;
  const char* Encoded;
};

TEST(XmlEncodeTest, ReplacesEveryRowUnlessKept) {
  const CodingCase Cases[] = {
      {"", "", ""},
      {"a&b<c>d'e\"f", "", "a&amp;b&lt;c&gt;d&apos;e&quot;f"},
      {"x\r\ny z\tw", "", "x&cr;&lf;y&nbsp;z&tab;w"},
      {"x\r\ny z\tw", " \t", "x&cr;&lf;y z\tw"},
      // A kept ampersand stays raw while the entities after it are inserted.
      {"&<", "&", "&&lt;"},
      {"&lt;", "", "&amp;lt;"},
      {"\xC3\xA9", "", "\xC3\xA9"},
  };
  for (const CodingCase& C : Cases) EXPECT_EQ(XmlEncode(C.Plain, C.Keep), C.Encoded) << C.Plain;
}

TEST(XmlDecodeTest, RestoresAmpersandLastAndLeavesUnknownEntities) {
  const std::pair<const char*, const char*> Cases[] = {
      {"a&amp;b&lt;c&gt;d&apos;e&quot;f", "a&b<c>d'e\"f"},
      {"&cr;&lf;&nbsp;&tab;", "\r\n \t"},
      {"&amp;lt;", "&lt;"},  // decoded once, not further
      {"&amp;amp;", "&amp;"},
      {"&#65;&#x41;&foo;&", "&#65;&#x41;&foo;&"},
      {"&AMP;", "&AMP;"},  // entities are case-sensitive
  };
  for (const auto& [Encoded, Plain] : Cases) EXPECT_EQ(XmlDecode(Encoded), Plain) << Encoded;
}

// Decoding is one pass per entity row, from the last row to the first; texts
// made of the entities' letters are compared with exactly that.
TEST(XmlDecodeTest, MatchesOnePassPerRow) {
  const std::pair<char, const char*> Rows[] = {{'\t', "&tab;"}, {' ', "&nbsp;"}, {'\n', "&lf;"},
                                               {'\r', "&cr;"},  {'"', "&quot;"}, {'\'', "&apos;"},
                                               {'>', "&gt;"},   {'<', "&lt;"},   {'&', "&amp;"}};
  const std::string Alphabet = "&&&;;amplgtqubsncrf";
  std::mt19937 Random(7);
  for (int Case = 0; Case < 20000; ++Case) {
    std::string S;
    const int Len = static_cast<int>(Random() % 16);
    for (int I = 0; I < Len; ++I) S += Alphabet[Random() % Alphabet.size()];
    std::string Expected = S;
    for (const auto& [Char, Entity] : Rows) Expected = ReplaceAll(Expected, Entity, std::string(1, Char));
    ASSERT_EQ(XmlDecode(S), Expected) << S;
  }
  for (const char* S : {"&&amp;;", "&lt&gt;;", "&amp;&amp;lt;;", "&nbsp&nbsp;;"}) {
    std::string Expected = S;
    for (const auto& [Char, Entity] : Rows) Expected = ReplaceAll(Expected, Entity, std::string(1, Char));
    EXPECT_EQ(XmlDecode(S), Expected) << S;
  }
}

TEST(XmlDecodeTest, EncodeThenDecodeGivesTheText) {
  const std::string Text = "&lt; <tag a=\"1\"> it's\r\n\t &amp; done ";
  EXPECT_EQ(XmlDecode(XmlEncode(Text, "")), Text);
  EXPECT_EQ(XmlDecode(XmlEncode(Text, " \t")), Text);
}

// ---------------------------------------------------------------------------
// Properties and accessors.

TEST(XmlItemTest, EncodedStringsProtectOnlyTheOuterBlanks) {
  const std::pair<const char*, const char*> Cases[] = {
      {" a  b ", "&nbsp;a  b&nbsp;"},
      {"\t x\t", "&tab;&nbsp;x&tab;"},
      {"   ", "&nbsp;&nbsp;&nbsp;"},
      {"a<b", "a&lt;b"},
      {"", ""},
  };
  for (const auto& [Text, Encoded] : Cases) {
    TXmlItem Item("t", Text);
    EXPECT_EQ(Item.AsXmlEncodedString(), Encoded) << '"' << Text << '"';
  }
  TXmlItem Item("t", " a  b ");
  EXPECT_EQ(Item.AsXmlString(), " a  b ");
  Item.SetAsXmlString("&nbsp;x&amp;y");
  EXPECT_EQ(Item.Text(), " x&y");
  EXPECT_EQ(Item.AsString(), " x&y");
}

TEST(XmlItemTest, IntegerAndBooleanTexts) {
  TXmlItem Item("n");
  Item.SetAsInteger(-42);
  EXPECT_EQ(Item.Text(), "-42");
  EXPECT_EQ(Item.AsInteger(), -42);
  Item.SetAsBoolean(true);
  EXPECT_EQ(Item.Text(), "True");
  Item.SetAsBoolean(false);
  EXPECT_EQ(Item.Text(), "False");

  struct Case {
    const char* Text;
    bool HasInt;
    bool HasBool;
  };
  const Case Cases[] = {
      {"12", true, false},   {"1", true, true},    {"0", true, true},   {"$1F", true, false},
      {"12a", false, false}, {"yes", false, true}, {"No", false, true}, {"", false, false},
  };
  for (const Case& C : Cases) {
    TXmlItem I("v", C.Text);
    EXPECT_EQ(I.HasInteger(), C.HasInt) << C.Text;
    EXPECT_EQ(I.HasBoolean(), C.HasBool) << C.Text;
  }
}

TEST(XmlItemTest, ConversionErrorsComeFromTheReadersOnly) {
  TXmlItem Root("r");
  Root.AddTextItem("n", "12a");
  Root.AddAttribute("b", "maybe");
  EXPECT_EQ(Root.GetItemAsInt("n"), 0);
  EXPECT_FALSE(Root.GetAttributeAsBool("b"));
  try {
    (void)Root.GetItemByName("n")->AsInteger();
    FAIL() << "no error";
  } catch (const EConvertError& E) {
    EXPECT_STREQ(E.what(), "'12a' is not a valid integer value");
  }
  try {
    (void)Root.GetAttributeByName("b")->AsBoolean();
    FAIL() << "no error";
  } catch (const EConvertError& E) {
    EXPECT_STREQ(E.what(), "\"maybe\" is not a valid Boolean value");
  }
}

TEST(XmlItemTest, AccessorsGiveDefaultsForAbsentNamesAndIndexes) {
  TXmlItem Empty("e");
  EXPECT_EQ(Empty.AttributeCount(), 0);
  EXPECT_EQ(Empty.ItemCount(), 0);
  EXPECT_EQ(Empty.GetAttribute(0), nullptr);
  EXPECT_EQ(Empty.GetItem(0), nullptr);
  EXPECT_EQ(Empty.GetItemByName("x"), nullptr);
  EXPECT_EQ(Empty.GetAttributeAsString("x"), "");
  EXPECT_EQ(Empty.GetAttributeAsInt("x"), 0);
  EXPECT_FALSE(Empty.GetItemAsBool("x"));

  TXmlItem Root("r");
  Root.AddAttribute("a", "1");
  Root.AddAttribute("a", "2");
  Root.AddAttribute("flag", "T");
  Root.AddTextItem("c", "7");
  Root.AddTextItem("c", "8");
  EXPECT_EQ(Root.GetAttribute(-1), nullptr);
  EXPECT_EQ(Root.GetAttribute(3), nullptr);
  EXPECT_EQ(Root.GetAttribute(1)->Text(), "2");
  EXPECT_EQ(Root.GetAttributeAsString("a"), "1");  // the first of equal names
  EXPECT_EQ(Root.GetAttributeAsInt("a"), 1);
  EXPECT_TRUE(Root.GetAttributeAsBool("flag"));
  EXPECT_EQ(Root.GetAttributeAsString("A"), "");  // names are case-sensitive
  EXPECT_EQ(Root.GetItemAsInt("c"), 7);
  EXPECT_EQ(Root.GetItemAsString("c"), "7");
  EXPECT_EQ(Root.GetItem(2), nullptr);
  EXPECT_EQ(Root.Items()->ItemByName("c"), Root.GetItem(0));
  EXPECT_EQ(Root.Attributes()->Objects(2)->Name(), "flag");
}

TEST(XmlItemTest, ConstructionCreatesListsOnFirstUse) {
  TXmlItem Root("r");
  EXPECT_TRUE(Root.IsText());
  EXPECT_TRUE(Root.IsEmpty());
  EXPECT_EQ(Root.Attributes(), nullptr);
  Root.AddAttribute("a", "1");
  EXPECT_TRUE(Root.IsEmpty());  // attributes do not count
  TXmlItem* Child = Root.NewItem("c");
  EXPECT_FALSE(Root.IsText());
  EXPECT_EQ(Root.GetItem(0), Child);
  EXPECT_EQ(Child->Text(), "");
  Root.AddItem(static_cast<TXmlItem*>(nullptr));
  EXPECT_EQ(Root.ItemCount(), 1);

  // Five strings: two attributes, the unpaired fifth is ignored.
  Root.AddTextItem("t", "txt", {"x", "1", "y", "2", "z"});
  const TXmlItem* T = Root.GetItem(1);
  EXPECT_EQ(T->Text(), "txt");
  ASSERT_EQ(T->AttributeCount(), 2);
  EXPECT_EQ(T->GetAttributeAsString("y"), "2");
  EXPECT_EQ(T->GetAttributeByName("z"), nullptr);
}

// ---------------------------------------------------------------------------
// Writing.

TEST(XmlWriterTest, WritesTheDocumentExample) {
  TXmlItem Doc("doc");
  Doc.AddTextItem("size", "", {"X", "100", "Y", "50"});
  Doc.AddTextItem("text", "A & B");
  EXPECT_THAT(SavedLines(Doc), ElementsAre(kUtf8Header, "<doc>", "  <size X=\"100\" Y=\"50\"/>",
                                           "  <text>A &amp; B</text>", "</doc>"));
}

TEST(XmlWriterTest, WritesEveryKindOfElement) {
  TXmlItem Root("r");
  Root.AddTextItem("", "");                                        // empty text item: blanks only
  Root.AddTextItem("", " mixed\r\n");                              // text item: outer blanks encoded
  Root.AddTextItem("blanks", " a  b ");                            // text-only: blanks raw
  Root.AddTextItem("q", "", {"v", "say \"hi\" <now>", "v", "2"});  // attribute values are encoded
  Root.NewItem("emptied")->NewItem("gone");
  Root.GetItem(4)->Items()->Clear();  // a child list that is empty
  TXmlItem* Own = Root.NewItem("own");
  Own->NewItem("c");
  Own->SetText(" a  b ");  // own text after the children
  EXPECT_THAT(SavedLines(Root),
              ElementsAre(kUtf8Header, "<r>", "  ", "  &nbsp;mixed&cr;&lf;", "  <blanks> a  b </blanks>",
                          "  <q v=\"say &quot;hi&quot; &lt;now&gt;\" v=\"2\"/>", "  <emptied>",
                          "  </emptied>", "  <own>", "    <c/>", "    &nbsp;a  b&nbsp;", "  </own>", "</r>"));
}

TEST(XmlWriterTest, FollowsTheSettings) {
  testing::XmlSettingsGuard Guard;
  TXmlItem Root("r");
  Root.NewItem("c")->NewItem("d");
  XmlIndent = 4;
  XmlHeader = "";
  EXPECT_THAT(SavedLines(Root), ElementsAre("<r>", "    <c>", "        <d/>", "    </c>", "</r>"));
  TStringList List;
  List.Add("before");
  Root.GetItem(0)->AppendToStringList(List, 3);
  EXPECT_THAT(testing::ToVector(List), ElementsAre("before", "   <c>", "       <d/>", "   </c>"));
}

// Deep trees are written and destroyed without recursion. Indentation keeps
// growing by two spaces a level; the very deep chain is written without
// indentation so that the test stays small.
TEST(XmlWriterTest, DeepTreesAreWrittenAndDestroyed) {
  auto Shallow = testing::DeepChain(100);
  TStringList Lines;
  Shallow->SaveToStringList(Lines);
  EXPECT_EQ(Lines.Strings(100), std::string(2 * 99, ' ') + "<e/>");
  EXPECT_EQ(Lines.Strings(101), std::string(2 * 98, ' ') + "</e>");

  constexpr int Depth = 100000;
  auto Root = testing::DeepChain(Depth);
  Root->GetItem(0)->SetText("t");  // own text below children at level 2
  testing::XmlSettingsGuard Guard;
  XmlIndent = 0;
  TStringList List;
  Root->SaveToStringList(List);
  // The header, two lines per element but the innermost, and the own text.
  ASSERT_EQ(List.Count(), 2 * Depth + 1);
  EXPECT_EQ(List.Strings(1), "<e>");
  EXPECT_EQ(List.Strings(Depth), "<e/>");
  EXPECT_EQ(List.Strings(Depth + 1), "</e>");
  EXPECT_EQ(List.Strings(List.Count() - 3), "t");
  EXPECT_EQ(List.Strings(List.Count() - 1), "</e>");
  Root.reset();
}

TEST(XmlWriterTest, DestroysWideAndDeepMixtures) {
  auto Root = std::make_unique<TXmlItem>("r");
  TXmlItem* Cur = Root.get();
  for (int I = 0; I < 50000; ++I) {
    Cur->AddAttribute("a", "v");
    Cur->AddTextItem("", "t");
    Cur->NewItem("leaf");
    Cur = Cur->NewItem("n");
  }
  // An attribute that was given children of its own is released with them.
  Root->GetAttribute(0)->NewItem("x")->NewItem("y");
  Root.reset();
  SUCCEED();
}

}  // namespace
}  // namespace vt
