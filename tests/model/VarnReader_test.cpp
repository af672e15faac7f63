#include <limits>

#include "ModelFiles.h"
#include "ModelTestUtils.h"
#include "xml/Xml.h"

namespace vt {
namespace {

using test::ErrorOf;
using test::LoadBody;
using test::RegistryCheck;
using test::Rule;
using test::ScaleXml;
using test::VarnFile;
using test::WriteTempFile;

class ReaderTest : public ::testing::Test {
 protected:
  RegistryCheck Check;
  TVarnModel M;
};

TEST_F(ReaderTest, RootMustBeVarn) {
  std::string Name =
      WriteTempFile("lower.vrn", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<varn>\r\n</varn>\r\n");
  EXPECT_THROW(M.LoadFromFile(Name), EVarnError);
  EXPECT_EQ(ErrorOf([&] { M.LoadFromFile(Name); }), "Nepoznan format datoteke \"" + Name + "\"");
  EXPECT_EQ(M.First(), nullptr);
  std::string HeaderOnly = WriteTempFile("header.vrn", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
  EXPECT_EQ(ErrorOf([&] { M.LoadFromFile(HeaderOnly); }), "Nepoznan format datoteke \"" + HeaderOnly + "\"");
}

TEST_F(ReaderTest, XmlErrorsPassThrough) {
  std::string Name =
      WriteTempFile("broken.vrn", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Varn>\r\n<NAME>x\r\n");
  EXPECT_THROW(M.LoadFromFile(Name), EXmlError);
  EXPECT_EQ(ErrorOf([&] { M.LoadFromFile(Name); }),
            "Error reading XML around line 4: Missing tag \"</NAME>\"");
  EXPECT_EQ(M.First(), nullptr);
}

TEST_F(ReaderTest, EmptyModel) {
  LoadBody(M, "");
  EXPECT_EQ(M.Root()->InpCount(), 0);
  EXPECT_FALSE(M.Modified());
  EXPECT_TRUE(M.Evaluate());
  EXPECT_EQ(M.Settings().FontName, "Arial");
  EXPECT_EQ(M.Settings().EvalColumns(), 5);
}

TEST_F(ReaderTest, ModelElements) {
  LoadBody(
      M,
      "<VERSION>4.01</VERSION><CREATED>2020-01-01T00:00:00</CREATED>"
      "<NAME>first</NAME><NAME>Car &amp; van</NAME>"
      "<DESCRIPTION><LINE></LINE><LINE>one</LINE><OTHER>x</OTHER><LINE></LINE><LINE>two</LINE></DESCRIPTION>"
      "<OPTION>A</OPTION><OPTION>A</OPTION><OPTION>C</OPTION>"
      "<EVALCOL>7</EVALCOL><UNKNOWN><NAME>z</NAME></UNKNOWN>"
      "<ATTRIBUTE><NAME>T1</NAME></ATTRIBUTE><ATTRIBUTE><NAME>T2</NAME></ATTRIBUTE>");
  EXPECT_EQ(M.Name(), "Car & van");
  EXPECT_EQ(M.Description(), "one\r\n\r\ntwo");
  EXPECT_EQ(M.Options().Text(), "A\r\nA\r\nC\r\n");
  EXPECT_EQ(M.Settings().EvalColumns(), 7);
  ASSERT_EQ(M.Root()->InpCount(), 2);
  EXPECT_EQ(M.Root()->Inputs(1)->Name(), "T2");
  EXPECT_EQ(M.ModelName(), "T1");
}

TEST_F(ReaderTest, PlainDescription) {
  LoadBody(M, "<DESCRIPTION>just text</DESCRIPTION>");
  EXPECT_EQ(M.Description(), "just text");
}

TEST_F(ReaderTest, AttributeElements) {
  LoadBody(M,
           "<ATTRIBUTE><NAME>A</NAME><NAME>B</NAME><DESCRIPTION><LINE>x</LINE></DESCRIPTION>"
           "<OPTION>1</OPTION><OPTION></OPTION><ZZZ/>"
           "<ATTRIBUTE><DESCRIPTION>nameless</DESCRIPTION></ATTRIBUTE></ATTRIBUTE>");
  TVarnAttribute* A = M.First();
  EXPECT_EQ(A->Name(), "A");
  EXPECT_EQ(A->Description(), "");  // LINE children are not assembled for attributes
  EXPECT_EQ(A->Options().Text(), "1\r\n\r\n");
  ASSERT_EQ(A->InpCount(), 1);
  EXPECT_EQ(A->Inputs(0)->Name(), "");
  EXPECT_EQ(A->Inputs(0)->Description(), "nameless");
  EXPECT_EQ(A->Inputs(0)->Parent(), A);
  EXPECT_EQ(A->Scale(), nullptr);
}

TEST_F(ReaderTest, Scales) {
  LoadBody(
      M,
      "<ATTRIBUTE><SCALE><ORDER>desc</ORDER><INTERVAL>no</INTERVAL>"
      "<SCALEVALUE><NAME>v0</NAME><DESCRIPTION>d0</DESCRIPTION><GROUP>BAD</GROUP></SCALEVALUE>"
      "<SCALEVALUE><NAME>v1</NAME><GROUP>BAD</GROUP></SCALEVALUE>"
      "<SCALEVALUE><GROUP>bad</GROUP></SCALEVALUE><OTHER/>"
      "<SCALEVALUE><NAME>v3</NAME></SCALEVALUE>"
      "<SCALEVALUE><NAME>v4</NAME><GROUP>GOOD</GROUP></SCALEVALUE></SCALE></ATTRIBUTE>"
      "<ATTRIBUTE><SCALE><ORDER>DESC</ORDER>"
      "<SCALEVALUE><GROUP>GOOD</GROUP></SCALEVALUE><SCALEVALUE/><SCALEVALUE><GROUP>BAD</GROUP></SCALEVALUE>"
      "</SCALE></ATTRIBUTE>"
      "<ATTRIBUTE><SCALE><ORDER>NONE</ORDER><SCALEVALUE/><SCALEVALUE/></SCALE></ATTRIBUTE>");
  auto* S = dynamic_cast<TVarnDiscreteScale*>(M.Root()->Inputs(0)->Scale());
  ASSERT_NE(S, nullptr);
  EXPECT_EQ(S->Order(), ordAscending);
  EXPECT_FALSE(S->IsInterval());
  ASSERT_EQ(S->Count(), 5);
  EXPECT_EQ(S->Names(0), "v0");
  EXPECT_EQ(S->Descriptions(0), "d0");
  EXPECT_EQ(S->Names(2), "");
  EXPECT_EQ(S->BGLow(), 1);
  EXPECT_EQ(S->BGHigh(), 4);
  auto* D = M.Root()->Inputs(1)->Scale();
  EXPECT_EQ(D->Order(), ordDescending);
  EXPECT_EQ(D->Good(), 0);
  EXPECT_EQ(D->Bad(), 2);
  EXPECT_TRUE(D->IsGood(0));
  EXPECT_FALSE(D->IsBad(1));
  EXPECT_TRUE(D->IsBad(2));
  auto* N = M.Root()->Inputs(2)->Scale();
  EXPECT_EQ(N->Order(), ordNone);
  EXPECT_EQ(N->BGLow(), std::numeric_limits<double>::lowest());
  EXPECT_EQ(N->BGHigh(), std::numeric_limits<double>::max());
}

TEST_F(ReaderTest, LaterScaleAndFunctionReplaceEarlierOnes) {
  const int Before = VarnRegistry::Count();
  LoadBody(M, "<ATTRIBUTE>" + ScaleXml({"a", "b"}) + "<FUNCTION><LOW>00</LOW></FUNCTION>" +
                  ScaleXml({"a", "b", "c"}) + "<FUNCTION><LOW>1</LOW></FUNCTION>" + "<ATTRIBUTE>" +
                  ScaleXml({"x", "y"}) + "</ATTRIBUTE></ATTRIBUTE>");
  TVarnAttribute* A = M.First();
  EXPECT_EQ(A->Scale()->Count(), 3);
  ASSERT_EQ(A->Funct()->Count(), 2);
  EXPECT_EQ(Rule(*A->Funct(), 0), "011+");
  EXPECT_EQ(Rule(*A->Funct(), 1), "102-");
  // Root, two attributes, two scales with five values, one function.
  EXPECT_EQ(VarnRegistry::Count(), Before + 10);
}

class FunctionTest : public ReaderTest {
 protected:
  // An attribute with scale a,b,c over inputs of 2 and 3 values; the
  // function element comes first.
  TVarnFunction* Load(const std::string& Function) {
    LoadBody(M, "<ATTRIBUTE><NAME>F</NAME><FUNCTION>" + Function + "</FUNCTION>" + ScaleXml({"a", "b", "c"}) +
                    "<ATTRIBUTE>" + ScaleXml({"0", "1"}) + "</ATTRIBUTE>" + "<ATTRIBUTE>" +
                    ScaleXml({"0", "1", "2"}) + "</ATTRIBUTE></ATTRIBUTE>");
    return M.First()->Funct();
  }
  static std::string Rules(const TVarnFunction* F) {
    std::string S;
    for (int K = 0; K < F->Count(); K++) S += Rule(*F, K) + " ";
    return S;
  }
};

TEST_F(FunctionTest, RulesFromLowHighAndEntered) {
  struct Case {
    const char* Function;
    const char* Rules;
  };
  const Case Cases[] = {
      {"", "0002- 0102- 0202- 1002- 1102- 1202- "},
      {"<LOW>012012</LOW>", "0000+ 0111+ 0222+ 1000+ 1111+ 1222+ "},
      {"<LOW>01</LOW>", "0000+ 0111+ 0202- 1002- 1102- 1202- "},
      {"<LOW>0000000</LOW><HIGH>12</HIGH><ENTERED>-+</ENTERED>", "0001- 0102+ 0200+ 1000+ 1100+ 1200+ "},
      {"<LOW>9</LOW><LOW>1</LOW><HIGH></HIGH><ENTERED>x</ENTERED>", "0011x 0102- 0202- 1002- 1102- 1202- "},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Function);
    TVarnFunction* F = Load(C.Function);
    ASSERT_NE(F, nullptr);
    EXPECT_EQ(F->Attribute(), M.First());
    EXPECT_EQ(Rules(F), C.Rules);
  }
}

TEST_F(FunctionTest, WeightsAndFlags) {
  TVarnFunction* F = Load(
      "<DESCRIPTION><LINE>a</LINE><LINE>b</LINE></DESCRIPTION><WEIGHTS>30;70</WEIGHTS>"
      "<LOCWEIGHTS>31.50;68.50</LOCWEIGHTS><NORMLOCWEIGHTS>30.00;70.00</NORMLOCWEIGHTS>"
      "<CONSIST>False</CONSIST><ROUNDING>2</ROUNDING>");
  EXPECT_TRUE(F->UseWeights());
  EXPECT_EQ(F->RequiredWeights(), (floatarray{30, 70}));
  EXPECT_EQ(F->ActualWeights(), (floatarray{31.5, 68.5}));
  EXPECT_EQ(F->NormActualWeights(), (floatarray{30, 70}));
  EXPECT_FALSE(F->UseConsist());
  EXPECT_EQ(F->Rounding(), 2);
  EXPECT_EQ(F->Description(), "a\r\nb");
  F = Load("");
  EXPECT_FALSE(F->UseWeights());
  EXPECT_TRUE(F->UseConsist());
  EXPECT_EQ(F->RequiredWeights(), (floatarray{50, 50}));
}

TEST_F(ReaderTest, FunctionWithoutPossibleRules) {
  LoadBody(M, "<ATTRIBUTE>" + ScaleXml({"a", "b"}) + "<FUNCTION><LOW>0101</LOW></FUNCTION>" + "<ATTRIBUTE>" +
                  ScaleXml({"a", "b"}) + "</ATTRIBUTE><ATTRIBUTE/></ATTRIBUTE>");
  TVarnFunction* F = M.First()->Funct();
  ASSERT_NE(F, nullptr);
  EXPECT_EQ(F->Attribute(), nullptr);
  EXPECT_EQ(F->Count(), 0);
}

TEST_F(ReaderTest, HugeRuleTableIsAttachedWithoutRules) {
  std::string Inputs;
  std::string Ten = ScaleXml({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
  for (int I = 0; I < 9; I++) Inputs += "<ATTRIBUTE>" + Ten + "</ATTRIBUTE>";
  LoadBody(M, "<ATTRIBUTE><NAME>Big</NAME>" + ScaleXml({"a", "b"}) + "<FUNCTION><LOW>1</LOW></FUNCTION>" +
                  Inputs + "</ATTRIBUTE><ATTRIBUTE><NAME>After</NAME></ATTRIBUTE>");
  TVarnAttribute* Big = M.First();
  EXPECT_EQ(Big->FunctionSize(), 1000000000);
  ASSERT_NE(Big->Funct(), nullptr);
  EXPECT_EQ(Big->Funct()->Count(), 0);
  EXPECT_EQ(Big->InpCount(), 9);
  EXPECT_EQ(M.Root()->Inputs(1)->Name(), "After");
}

TEST_F(ReaderTest, RuleCharactersBeyondNine) {
  // 300 values: rule characters up to code 347, written in UTF-8.
  std::string Values;
  for (int I = 0; I < 300; I++) Values += "<SCALEVALUE/>";
  std::string Scale = "<SCALE>" + Values + "</SCALE>";
  std::u32string Low = {char32_t(48 + 299), U'<', U'0', char32_t(48 + 255)};
  std::string LowText = ReplaceAll(Utf32ToUtf8(Low), "<", "&lt;");
  LoadBody(M, "<ATTRIBUTE>" + Scale + "<FUNCTION><LOW>" + LowText + "</LOW></FUNCTION><ATTRIBUTE>" + Scale +
                  "</ATTRIBUTE><OPTION>" + CharToUtf8(char32_t(48 + 280)) + "</OPTION></ATTRIBUTE>");
  TVarnFunction* F = M.First()->Funct();
  ASSERT_EQ(F->Count(), 300);
  EXPECT_EQ(F->RuleValLow(0), 299);
  EXPECT_EQ(F->RuleValHigh(0), 299);
  EXPECT_EQ(F->RuleValLow(1), 12);
  EXPECT_EQ(F->RuleValLow(3), 255);
  EXPECT_EQ(F->ArgVal(0, 299), 299);
  EXPECT_EQ(F->RuleValHigh(299), 299);
  EXPECT_EQ(M.First()->OptValue(0), 280);
}

TEST(ReaderSettings, EveryKey) {
  RegistryCheck Check;
  TVarnModel M;
  LoadBody(
      M,
      "<SETTINGS><LINKING>1</LINKING><UNDOING>F</UNDOING><REPORTS>1;3</REPORTS><HTML>yes</HTML>"
      "<DEFBROWSER>TRUE</DEFBROWSER><WEIGHTS>0;7;255;300</WEIGHTS><PAGEBREAK>t</PAGEBREAK>"
      "<BADCOLOR>FF0000</BADCOLOR><GOODCOLOR>00ff00</GOODCOLOR><BADFONTSTYLE>iu</BADFONTSTYLE>"
      "<GOODFONTSTYLE>x</GOODFONTSTYLE><WEIGHTDEC>2</WEIGHTDEC><EVALCOL>-1</EVALCOL><EVALTRIM>3</EVALTRIM>"
      "<SHOWWEIGHTS>no</SHOWWEIGHTS><SHOWNUM>0</SHOWNUM><COMPLEX>false</COMPLEX><ENTERED>true</ENTERED>"
      "<FONTSIZE>12</FONTSIZE><FONTNAME> Times New Roman</FONTNAME><OPTDATATYPE>Zero</OPTDATATYPE>"
      "<OPTDATAALL>no</OPTDATAALL><OPTTRANSPOSE>yes</OPTTRANSPOSE><OPTLEVELS>F</OPTLEVELS>"
      "<FNCDATATYPE>Text</FNCDATATYPE><FNCDATAALL>0</FNCDATAALL><FNCFORMATTYPE>Tab</FNCFORMATTYPE>"
      "<FNCSTATUS>1</FNCSTATUS><BOGUS>zz</BOGUS></SETTINGS>");
  const TVarnSettings& S = M.Settings();
  EXPECT_TRUE(S.Linking);
  EXPECT_FALSE(S.Undoing);
  EXPECT_EQ(S.SelectedReports, TByteSet().set(1).set(3));
  EXPECT_TRUE(S.RptHtml);
  EXPECT_TRUE(S.DefBrowser);
  EXPECT_EQ(S.SelectedWeights, TByteSet().set(0).set(7).set(255));
  EXPECT_TRUE(S.PageBreak);
  EXPECT_EQ(S.BadColor, 0xFF0000);
  EXPECT_EQ(S.GoodColor, 0x00FF00);
  EXPECT_EQ(S.BadFontStyle, (TFontStyles{fsItalic, fsUnderline}));
  EXPECT_EQ(S.GoodFontStyle, TFontStyles{});
  EXPECT_EQ(S.WeightDec, 2);
  EXPECT_EQ(S.EvalColumns(), 5);
  EXPECT_EQ(S.EvalTrim, 3);
  EXPECT_FALSE(S.FncShowWeights);
  EXPECT_FALSE(S.FncShowNum);
  EXPECT_FALSE(S.FncComplex);
  EXPECT_TRUE(S.FncEntered);
  EXPECT_EQ(S.FontSize, 12);
  EXPECT_EQ(S.FontName, " Times New Roman");
  EXPECT_EQ(S.OptDataType, odtZero);
  EXPECT_FALSE(S.OptDataAll);
  EXPECT_TRUE(S.OptTranspose);
  EXPECT_FALSE(S.OptLevels);
  EXPECT_EQ(S.FncDataType, odtText);
  EXPECT_FALSE(S.FncDataAll);
  EXPECT_EQ(S.FncFormatType, fftTab);
  EXPECT_TRUE(S.FncStatus);

  LoadBody(M, "<SETTINGS><OPTDATATYPE>zero</OPTDATATYPE><FNCFORMATTYPE>Col</FNCFORMATTYPE></SETTINGS>");
  EXPECT_EQ(M.Settings().OptDataType, odtOne);
  EXPECT_EQ(M.Settings().FncFormatType, fftCol);
  LoadBody(M, "<SETTINGS><FNCFORMATTYPE>tab</FNCFORMATTYPE></SETTINGS>");
  EXPECT_EQ(M.Settings().FncFormatType, fftSgn);
}

// Bad values stop reading with the conversion's message; what was read so far
// stays in the model, and releasing the model releases all of it.
TEST(ReaderErrors, BadValues) {
  struct Case {
    std::string Body;
    std::string Message;
  };
  const std::string Fn =
      "<ATTRIBUTE>" + ScaleXml({"a", "b"}) + "<ATTRIBUTE>" + ScaleXml({"a", "b"}) + "</ATTRIBUTE><FUNCTION>";
  const Case Cases[] = {
      {"<ATTRIBUTE><SCALE><INTERVAL>maybe</INTERVAL></SCALE></ATTRIBUTE>",
       "\"maybe\" is not a valid Boolean value"},
      {"<ATTRIBUTE><SCALE><INTERVAL> True</INTERVAL></SCALE></ATTRIBUTE>",
       "\" True\" is not a valid Boolean value"},
      {"<LINKING>on</LINKING>", "\"on\" is not a valid Boolean value"},
      {"<EVALCOL>5x</EVALCOL>", "'5x' is not a valid integer value"},
      {"<SETTINGS><FONTSIZE>big</FONTSIZE></SETTINGS>", "'big' is not a valid integer value"},
      {"<SETTINGS><REPORTS>1;;2</REPORTS></SETTINGS>", "'' is not a valid integer value"},
      {"<SETTINGS><BADCOLOR>zz</BADCOLOR></SETTINGS>", "'$zz' is not a valid integer value"},
      {Fn + "<WEIGHTS>30;70;</WEIGHTS></FUNCTION></ATTRIBUTE>", "'' is not a valid floating point value"},
      {Fn + "<LOCWEIGHTS>3,5</LOCWEIGHTS></FUNCTION></ATTRIBUTE>",
       "'3,5' is not a valid floating point value"},
      {Fn + "<ROUNDING>1.5</ROUNDING></FUNCTION></ATTRIBUTE>", "'1.5' is not a valid integer value"},
      {Fn + "<CONSIST>-</CONSIST></FUNCTION></ATTRIBUTE>", "\"-\" is not a valid Boolean value"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Body);
    RegistryCheck Check;
    auto M = std::make_unique<TVarnModel>();
    std::string Name =
        WriteTempFile("bad.vrn", VarnFile("<ATTRIBUTE><NAME>before</NAME></ATTRIBUTE>" + C.Body +
                                          "<ATTRIBUTE><NAME>after</NAME></ATTRIBUTE>"));
    try {
      M->LoadFromFile(Name);
      ADD_FAILURE() << "no exception";
    } catch (const EConvertError& E) {
      EXPECT_EQ(std::string(E.what()), C.Message);
    }
    EXPECT_EQ(M->First()->Name(), "before");
    EXPECT_NE(M->Root()->Inputs(M->Root()->InpCount() - 1)->Name(), "after");
    M.reset();
  }
}

}  // namespace
}  // namespace vt

namespace vt {
namespace {

// A file in the tool's layout under the plain header, whose bytes are
// Windows-1250 text.
TEST(ReaderFixtures, PlainHeaderFile) {
  test::RegistryCheck Check;
  TVarnModel M;
  M.LoadFromFile(std::string(VT_TEST_DATA_DIR) + "/car-cp1250.vrn");
  EXPECT_EQ(M.Name(), "Nakup avtomobila");
  EXPECT_EQ(M.Description(), "Izbira družinskega avtomobila.\r\nCene & stroški v evrih.");
  EXPECT_EQ(M.Options().Text(), "Škoda\r\nRenault\r\n");
  EXPECT_EQ(M.Settings().BadFontStyle, (TFontStyles{fsBold, fsUnderline}));
  TVarnAttribute* Car = M.First();
  ASSERT_EQ(Car->InpCount(), 2);
  EXPECT_EQ(Car->Inputs(1)->Name(), "Varnost & udobje");
  EXPECT_EQ(Car->Inputs(0)->Description(), "Nakupna cena z davkom");
  EXPECT_EQ(Car->Inputs(1)->Scale()->ScaleString(), "+ slabše(-);boljše(+)");
  EXPECT_EQ(Car->Inputs(0)->Scale()->ScaleString(), "- nizka(+);visoka(-)");
  EXPECT_FALSE(Car->Inputs(1)->Scale()->IsInterval());
  TVarnFunction* F = Car->Funct();
  EXPECT_EQ(F->Description(), "Cena < 20.000 je pogoj.");
  ASSERT_EQ(F->Count(), 4);
  EXPECT_EQ(Utf32ToUtf8(F->List()[2]), "1000-");
  EXPECT_EQ(Utf32ToUtf8(F->List()[3]), "1111+");
  EXPECT_EQ(F->RequiredWeights(), (floatarray{60, 40}));
  EXPECT_EQ(F->ActualWeights(), (floatarray{58.33, 41.67}));
  EXPECT_FALSE(F->UseConsist());
  EXPECT_EQ(F->Rounding(), 1);
  EXPECT_EQ(Car->OptValue(0), 1);
  EXPECT_EQ(Car->Inputs(0)->OptValue(1), 1);
  EXPECT_EQ(Car->Inputs(0)->Link(), nullptr);
}

}  // namespace
}  // namespace vt
