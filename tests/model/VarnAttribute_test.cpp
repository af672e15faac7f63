#include <climits>

#include "ModelTestUtils.h"

namespace vt {
namespace {

using test::ErrorOf;
using test::MakeAttr;
using test::MakeScale;
using test::RegistryCheck;
using test::Rule;

// Root
//   A
//     A1
//       A11
//     A2
//   B
//     B1
//       B11
//       B12
class TreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Root = std::make_unique<TVarnAttribute>("Root");
    A = MakeAttr("A", 3, Root.get());
    A1 = MakeAttr("A1", 2, A);
    A11 = MakeAttr("A11", 2, A1);
    A2 = MakeAttr("A2", 2, A);
    B = MakeAttr("B", 2, Root.get());
    B1 = MakeAttr("B1", 2, B);
    B11 = MakeAttr("B11", 2, B1);
    B12 = MakeAttr("B12", 2, B1);
  }
  RegistryCheck Check;
  std::unique_ptr<TVarnAttribute> Root;
  TVarnAttribute *A, *A1, *A11, *A2, *B, *B1, *B11, *B12;
};

TEST_F(TreeTest, Structure) {
  EXPECT_EQ(Root->InpCount(), 2);
  EXPECT_EQ(A->Parent(), Root.get());
  EXPECT_EQ(A->InpIndex(A2), 1);
  EXPECT_EQ(A->InpIndex(B1), -1);
  EXPECT_EQ(A11->InpIndex(A), -1);
  EXPECT_EQ(B12->Level(), 3);
  EXPECT_EQ(Root->Level(), 0);
  EXPECT_TRUE(Root->IsRoot());
  EXPECT_TRUE(A11->IsBasic());
  EXPECT_TRUE(A1->IsAggregate());
  EXPECT_EQ(A->ParentPath(), "\\Root\\A");
  EXPECT_EQ(B12->ParentPath(), "\\Root\\B\\B1\\B12");
  EXPECT_TRUE(A11->Affects(A));
  EXPECT_TRUE(A11->Affects(Root.get()));
  EXPECT_FALSE(A->Affects(A11));
  EXPECT_FALSE(A->Affects(A));
  EXPECT_TRUE(A->Depends(A11));
  EXPECT_FALSE(A11->Depends(A));
  EXPECT_THROW(A11->Inputs(0), EListError);
  EXPECT_THROW(A->Inputs(2), EListError);
}

TEST_F(TreeTest, RightIsTheNextAttributeOnTheSameLevel) {
  EXPECT_EQ(A1->Right(), A2);
  EXPECT_EQ(A2->Right(), B1);
  EXPECT_EQ(A11->Right(), B11);
  EXPECT_EQ(B11->Right(), B12);
  EXPECT_EQ(B12->Right(), nullptr);
  EXPECT_EQ(A->Right(), B);
  EXPECT_EQ(Root->Right(), nullptr);
}

TEST_F(TreeTest, Collect) {
  TVarnAttributeList L(false, false, dupAccept);
  L.Add(A);
  Root->CollectInputs(L);
  std::string Names;
  for (int I = 0; I < L.Count(); I++) Names += L.Names(I) + " ";
  EXPECT_EQ(Names, "A A1 A11 A2 B B1 B11 B12 ");
  A2->SetLink(B12);
  Root->CollectBasic(L);
  EXPECT_EQ(L.Count(), 4);
  Root->CollectNonLinkedBasic(L);
  ASSERT_EQ(L.Count(), 3);
  EXPECT_EQ(L.Objects(1), B11);
  B->CollectInputs(L, [](const TVarnAttribute* X) { return X->Name().size() == 3; });
  EXPECT_EQ(L.Count(), 2);
}

TEST_F(TreeTest, RemoveDeleteAndMoveChildren) {
  A->MoveChildDown(A1);
  EXPECT_EQ(A->Inputs(0), A2);
  A->MoveChildUp(1);
  EXPECT_EQ(A->Inputs(0), A1);
  EXPECT_THROW(A->MoveChildUp(0), EListError);
  EXPECT_THROW(A->DeleteChild(B1), EListError);

  std::unique_ptr<TVarnAttribute> Taken(B->RemoveChild(B1));
  EXPECT_EQ(Taken->Parent(), nullptr);
  EXPECT_EQ(Taken->ParentPath(), "\\B1");
  EXPECT_EQ(B->InpCount(), 0);
  EXPECT_TRUE(B->IsBasic());

  A->DeleteChild(0);
  EXPECT_EQ(A->InpCount(), 1);
  A->DeleteChild(A2);
  EXPECT_EQ(A->InpCount(), 0);
  Root->DeleteChildren();
  EXPECT_EQ(Root->InpCount(), 0);
}

TEST_F(TreeTest, AddingAnInputOfAnotherAttributeMovesIt) {
  A11->SetLink(B12);
  B->AddAttribute(A1);
  EXPECT_EQ(A->InpCount(), 1);
  EXPECT_EQ(A->Inputs(0), A2);
  EXPECT_EQ(B->InpCount(), 2);
  EXPECT_EQ(B->Inputs(1), A1);
  EXPECT_EQ(A1->Parent(), B);
  EXPECT_EQ(A11->ParentPath(), "\\Root\\B\\A1\\A11");
  EXPECT_EQ(A11->Link(), nullptr);  // the link crossed the cut while A1 moved
  A->AddAttribute(A2);              // an input added again goes to the end
  EXPECT_EQ(A->InpCount(), 1);
  EXPECT_EQ(A2->Parent(), A);
}

TEST_F(TreeTest, AnAttributeCannotBecomeItsOwnInput) {
  for (TVarnAttribute* Ancestor : {B11, B1, B, Root.get()}) {
    EXPECT_EQ(ErrorOf([&] { B11->AddAttribute(Ancestor); }),
              "Attribute \"" + Ancestor->Name() + "\" cannot become an input of itself or of one of its inputs");
  }
  EXPECT_EQ(B1->InpCount(), 2);
  EXPECT_EQ(B11->Parent(), B1);
  EXPECT_TRUE(B11->IsBasic());
}

TEST_F(TreeTest, LinksAcrossRemovedOrReleasedInputsAreCleared) {
  A11->SetLink(B11);
  B12->SetLink(B11);
  B11->SetLink(A2);
  A2->SetLink(A11);
  B->SetLink(A1);
  std::unique_ptr<TVarnAttribute> Taken(B->RemoveChild(B1));
  EXPECT_EQ(A11->Link(), nullptr);  // into the removed subtree
  EXPECT_EQ(B11->Link(), nullptr);  // out of it
  EXPECT_EQ(B12->Link(), B11);      // inside it
  EXPECT_EQ(A2->Link(), A11);       // elsewhere
  A1->DeleteChildren();
  EXPECT_EQ(A2->Link(), nullptr);
  A2->SetLink(A1);
  A->DeleteChild(A1);
  EXPECT_EQ(A2->Link(), nullptr);
  EXPECT_EQ(B->Link(), nullptr);
  B->SetLink(A2);
  A->Clear();
  EXPECT_EQ(B->Link(), nullptr);
}

TEST(VarnFunction, RulesOfTwoAndThreeValues) {
  RegistryCheck Check;
  TVarnAttribute A("A");
  A.SetScale(MakeScale(3));
  MakeAttr("X", 2, &A);
  MakeAttr("Y", 3, &A);
  ASSERT_TRUE(A.CanCreateFunction());
  EXPECT_EQ(A.FunctionSize(), 6);
  auto* F = new TVarnFunction;
  A.SetFunct(F);
  F->SetAttribute(&A);
  EXPECT_EQ(F->Attribute(), &A);
  ASSERT_EQ(F->Count(), 6);
  EXPECT_EQ(F->ArgCount(), 2);
  const char* Expected[] = {"0002-", "0102-", "0202-", "1002-", "1102-", "1202-"};
  for (int K = 0; K < 6; K++) EXPECT_EQ(Rule(*F, K), Expected[K]);
  EXPECT_EQ(F->RequiredWeights(), (floatarray{50, 50}));
  EXPECT_EQ(F->ActualWeights(), (floatarray{0, 0}));
  EXPECT_EQ(F->WeightFactors().size(), 3u);
  EXPECT_EQ(F->EntCount(), 0);
  EXPECT_EQ(F->ArgVal(1, 5), 2);
  EXPECT_EQ(F->RuleValLow(5), 0);
  EXPECT_EQ(F->RuleValHigh(5), 2);
  F->SetRuleVal(5, 1);
  F->SetRuleEntered(5, true);
  EXPECT_EQ(Rule(*F, 5), "1211+");
  EXPECT_TRUE(F->RuleEntered(5));
  EXPECT_EQ(F->EntCount(), 1);
  EXPECT_EQ(ErrorOf([&] { F->RuleValLow(6); }), "List index \"6\" is out of bounds [0,5]");

  TVarnFunction Copy;
  F->SetDescription("by hand");
  F->SetUseWeights(true);
  Copy.AssignFunction(*F);
  EXPECT_EQ(Copy.Attribute(), &A);
  EXPECT_EQ(Copy.Description(), "by hand");
  EXPECT_EQ(Copy.List(), F->List());
  EXPECT_TRUE(Copy.UseWeights());
  EXPECT_TRUE(A.AffectsFunction());
  EXPECT_TRUE(A.Inputs(0)->AffectsFunction());
}

TEST(VarnFunction, AttributesThatCannotHaveAFunction) {
  RegistryCheck Check;
  struct Case {
    const char* What;
    int Own;
    std::vector<int> Inputs;
  };
  const Case Cases[] = {
      {"own scale of one value", 1, {2, 2}}, {"no own scale", 0, {2}}, {"input without scale", 3, {2, 0}},
      {"input of one value", 3, {2, 1}},     {"no inputs", 3, {}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.What);
    TVarnAttribute A("A");
    if (C.Own > 0) A.SetScale(MakeScale(C.Own));
    for (int N : C.Inputs) MakeAttr("in", N, &A);
    EXPECT_FALSE(A.CanCreateFunction());
    EXPECT_EQ(A.FunctionSize(), -1);
    TVarnFunction F;
    F.RequiredWeights() = {30, 70};
    F.SetAttribute(&A);
    EXPECT_EQ(F.Attribute(), nullptr);
    EXPECT_EQ(F.Count(), 0);
    EXPECT_EQ(F.RequiredWeights(), (floatarray{30, 70}));
  }
}

TEST(VarnFunction, OversizedRuleTablesAreNotBuilt) {
  RegistryCheck Check;
  TVarnAttribute A("A");
  A.SetScale(MakeScale(2));
  // 10 * 10 * ... (7 inputs) = 10^7 rules, and with more inputs an overflow.
  for (int I = 0; I < 7; I++) MakeAttr("in", 10, &A);
  EXPECT_EQ(A.FunctionSize(), 10000000);
  EXPECT_TRUE(A.CanCreateFunction());
  TVarnFunction F;
  EXPECT_FALSE(F.CanSetAttribute(&A));
  F.SetAttribute(&A);
  EXPECT_EQ(F.Attribute(), nullptr);
  EXPECT_EQ(F.Count(), 0);
  for (int I = 0; I < 5; I++) MakeAttr("in", 100, &A);
  EXPECT_EQ(A.FunctionSize(), INT_MAX);

  TVarnAttribute Limit("L");
  Limit.SetScale(MakeScale(2));
  for (int I = 0; I < 6; I++) MakeAttr("in", 10, &Limit);
  EXPECT_TRUE(F.CanSetAttribute(&Limit));  // exactly VarnMaxFunctionRules
  EXPECT_EQ(Limit.FunctionSize(), VarnMaxFunctionRules);
}

TEST(VarnFunction, RuleCharactersAreExactForLargeScales) {
  RegistryCheck Check;
  TVarnAttribute A("A");
  A.SetScale(MakeScale(300));
  MakeAttr("X", 300, &A);
  TVarnFunction F;
  F.SetAttribute(&A);
  ASSERT_EQ(F.Count(), 300);
  EXPECT_EQ(F.List()[299], (std::u32string{char32_t(48 + 299), U'0', char32_t(48 + 299), U'-'}));
  EXPECT_EQ(F.ArgVal(0, 299), 299);
  EXPECT_EQ(F.RuleValHigh(0), 299);
  F.SetRuleValLow(7, 250);
  EXPECT_EQ(F.RuleValLow(7), 250);
}

TEST(VarnAttribute, OptionValues) {
  RegistryCheck Check;
  TVarnAttribute A("A");
  EXPECT_EQ(A.OptVal(3), "");
  A.SetOptVal(2, "");
  EXPECT_EQ(A.Options().Count(), 0);
  A.SetOptVal(2, "x");
  ASSERT_EQ(A.Options().Count(), 3);
  EXPECT_EQ(A.Options().Text(), "\r\n\r\nx\r\n");
  A.SetOptVal(0, ":");
  EXPECT_EQ(A.OptValue(0), -1);  // no scale
  A.SetScale(MakeScale(11));
  EXPECT_EQ(A.OptValue(0), 10);
  A.SetScale(MakeScale(10));
  EXPECT_EQ(A.OptValue(0), -1);
  EXPECT_EQ(A.OptValue(1), -1);  // empty text
  A.SetOptVal(1, "/");
  EXPECT_EQ(A.OptValue(1), -1);  // below "0"
  A.SetOptValue(1, 9);
  EXPECT_EQ(A.OptVal(1), "9");
  A.SetOptValue(1, 10);
  EXPECT_EQ(A.OptVal(1), "");
  A.SetScale(MakeScale(300));
  A.SetOptValue(4, 299);
  EXPECT_EQ(A.OptValue(4), 299);
  A.InsertOption(0);
  EXPECT_EQ(A.OptValue(5), 299);
  A.InsertOption(6);
  A.InsertOption(9);
  EXPECT_EQ(A.Options().Count(), 7);
  A.DeleteOption(0);
  A.DeleteOption(9);
  EXPECT_EQ(A.OptVal(0), ":");
}

TEST(VarnAttribute, DeepTreesAreReleasedWithoutRecursion) {
  RegistryCheck Check;
  auto Top = std::make_unique<TVarnAttribute>("top");
  TVarnAttribute* Leaf = Top.get();
  for (int I = 0; I < 100000; I++) Leaf = MakeAttr("n", I % 2 == 0 ? 2 : 0, Leaf);
  EXPECT_EQ(Leaf->Level(), 100000);
  EXPECT_EQ(Leaf->Right(), nullptr);
  TVarnAttributeList All(false, false, dupAccept);
  Top->CollectInputs(All);
  EXPECT_EQ(All.Count(), 100000);
  Top.reset();
}

TEST(VarnModel, NewModel) {
  RegistryCheck Check;
  TVarnModel M;
  EXPECT_EQ(M.Root()->Name(), "Root");
  EXPECT_EQ(M.Root()->InpCount(), 0);
  EXPECT_EQ(M.First(), nullptr);
  EXPECT_EQ(M.ModelName(), "");
  EXPECT_TRUE(M.Modified());
  EXPECT_FALSE(M.Evaluate());
  EXPECT_FALSE(M.LoadedFromLegacy());
  EXPECT_EQ(M.Groups(), 1);
  EXPECT_EQ(VarnVersionString(), "4.01");
  MakeAttr("Car", 2, M.Root());
  EXPECT_EQ(M.ModelName(), "Car");
  M.Clear();
  EXPECT_EQ(M.First(), nullptr);
}

TEST(VarnModel, SettingsDefaults) {
  TVarnSettings S;
  EXPECT_FALSE(S.Linking);
  EXPECT_TRUE(S.Undoing);
  EXPECT_FALSE(S.RptHtml);
  EXPECT_FALSE(S.DefBrowser);
  EXPECT_TRUE(S.SelectedReports.all());
  EXPECT_TRUE(S.SelectedWeights.all());
  EXPECT_FALSE(S.PageBreak);
  EXPECT_EQ(S.BadColor, 255);
  EXPECT_EQ(S.GoodColor, 32768);
  EXPECT_EQ(S.BadFontStyle, TFontStyles{fsBold});
  EXPECT_EQ(S.GoodFontStyle, (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(S.WeightDec, 0);
  EXPECT_EQ(S.EvalTrim, 0);
  EXPECT_TRUE(S.FncShowWeights);
  EXPECT_TRUE(S.FncShowNum);
  EXPECT_TRUE(S.FncComplex);
  EXPECT_FALSE(S.FncEntered);
  EXPECT_EQ(S.FontSize, 10);
  EXPECT_EQ(S.FontName, "Arial");
  EXPECT_EQ(S.OptDataType, odtOne);
  EXPECT_TRUE(S.OptDataAll);
  EXPECT_FALSE(S.OptTranspose);
  EXPECT_TRUE(S.OptLevels);
  EXPECT_EQ(S.FncDataType, odtOne);
  EXPECT_TRUE(S.FncDataAll);
  EXPECT_EQ(S.FncFormatType, fftCol);
  EXPECT_FALSE(S.FncStatus);
  for (auto [Stored, Read] : {std::pair{0, 5}, {-3, 5}, {7, 7}}) {
    S.SetEvalColumns(Stored);
    EXPECT_EQ(S.EvalColumns(), Read);
  }
}

TEST(VarnModel, OptionsStayParallel) {
  RegistryCheck Check;
  TVarnModel M;
  TVarnAttribute* A = MakeAttr("A", 3, M.Root());
  TVarnAttribute* B = MakeAttr("B", 3, A);
  for (const char* O : {"o0", "o1", "o2"}) M.AddOption(O);
  A->Options().SetText("0\r\n1\r\n2\r\n");
  B->SetOptVal(0, "2");
  EXPECT_TRUE(M.Selected(0));
  EXPECT_TRUE(M.Selected(7));
  M.SetSelected(2, false);
  EXPECT_EQ(M.SelectedText(), "110");

  M.InsertOption(1, "new");
  EXPECT_EQ(M.Options().Text(), "o0\r\nnew\r\no1\r\no2\r\n");
  EXPECT_EQ(A->Options().Text(), "0\r\n\r\n1\r\n2\r\n");
  EXPECT_EQ(B->Options().Text(), "2\r\n\r\n");
  EXPECT_EQ(M.SelectedText(), "1110");

  M.ExchangeOption(0, 3);
  EXPECT_EQ(M.Options().Text(), "o2\r\nnew\r\no1\r\no0\r\n");
  EXPECT_EQ(A->Options().Text(), "2\r\n\r\n1\r\n0\r\n");
  EXPECT_EQ(B->Options().Text(), "\r\n\r\n\r\n2\r\n");
  EXPECT_EQ(M.SelectedText(), "0111");

  M.CopyOption(3, 1);
  EXPECT_EQ(A->OptVal(1), "0");
  M.MoveOptionUp(0);
  M.MoveOptionDown(3);
  EXPECT_EQ(M.Options().Strings(0), "o2");
  M.MoveOptionDown(0);
  EXPECT_EQ(M.Options().Strings(1), "o2");
  EXPECT_EQ(A->OptVal(1), "2");
  EXPECT_EQ(M.SelectedText(), "1011");

  M.DeleteOption(1);
  EXPECT_EQ(M.Options().Text(), "new\r\no1\r\no0\r\n");
  EXPECT_EQ(A->Options().Text(), "0\r\n1\r\n0\r\n");
  EXPECT_EQ(M.SelectedText(), "111");
}

TEST(VarnModel, DefaultScaleIsForgottenOnceReleased) {
  RegistryCheck Check;
  TVarnModel M;
  TVarnAttribute* A = MakeAttr("A", 3, M.Root());
  auto* S = static_cast<TVarnDiscreteScale*>(A->Scale());
  M.SetDefaultScale(S);
  EXPECT_EQ(M.DefaultScale(), S);
  A->SetScale(nullptr);
  // A new scale often takes the released one's address; it is not the
  // default scale all the same.
  A->SetScale(new TVarnDiscreteScale);
  EXPECT_EQ(M.DefaultScale(), nullptr);
  M.SetDefaultScale(static_cast<TVarnDiscreteScale*>(A->Scale()));
  EXPECT_EQ(M.DefaultScale(), A->Scale());
}

TEST(VarnModel, ReleasingAModelRestoresTheRegistry) {
  const int Before = VarnRegistry::Count();
  {
    TVarnModel M;
    TVarnAttribute* A = MakeAttr("A", 3, M.Root());
    MakeAttr("B", 2, A);
    MakeAttr("C", 2, A);
    A->SetFunct(new TVarnFunction);
    A->Funct()->SetAttribute(A);
    EXPECT_GT(VarnRegistry::Count(), Before + 10);
  }
  EXPECT_EQ(VarnRegistry::Count(), Before);
}

}  // namespace
}  // namespace vt
