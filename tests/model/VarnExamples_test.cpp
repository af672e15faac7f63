// The sample models in examples/ read back as their files state.
#include <map>

#include "ModelTestUtils.h"

namespace vt {
namespace {

using test::RegistryCheck;

std::string Example(const std::string& Name) {
  return std::string(VT_SOURCE_DIR) + "/examples/" + Name;
}

struct Shape {
  int Attributes = 0;
  int Depth = 0;
  int Links = 0;
};

Shape ShapeOf(const TVarnModel& M) {
  Shape S;
  TVarnAttributeList All(false, false, dupAccept);
  M.Root()->CollectInputs(All);
  S.Attributes = All.Count();
  for (int I = 0; I < All.Count(); I++) {
    TVarnAttribute* A = All.Objects(I);
    S.Depth = std::max(S.Depth, A->Level());
    if (A->Link() != nullptr) {
      S.Links++;
      EXPECT_EQ(A->Link()->Name(), A->Name());
      EXPECT_TRUE(A->Scale()->Equal(A->Link()->Scale())) << A->ParentPath();
    }
    EXPECT_EQ(A->Options().Count(), M.Options().Count()) << A->ParentPath();
    if (A->IsAggregate()) {
      // Every aggregate of the samples has a complete decision table.
      EXPECT_NE(A->Funct(), nullptr) << A->ParentPath();
      if (A->Funct() != nullptr) {
        EXPECT_EQ(A->Funct()->Count(), A->FunctionSize()) << A->ParentPath();
      }
    }
  }
  return S;
}

TVarnAttribute* Find(const TVarnModel& M, const std::string& Path) {
  TVarnAttributeList All(false, false, dupAccept);
  M.Root()->CollectInputs(All);
  for (int I = 0; I < All.Count(); I++)
    if (All.Objects(I)->ParentPath() == Path) return All.Objects(I);
  ADD_FAILURE() << "no attribute " << Path;
  return nullptr;
}

TEST(Examples, Shapes) {
  struct Case {
    const char* File;
    const char* Name;
    int TopLevel, Attributes, Depth, Links, Options;
  };
  const Case Cases[] = {
      {"holiday.vrn", "Summer holiday 2025", 1, 33, 4, 3, 4},
      {"supplier.vrn", "Warehouse management system supplier", 1, 36, 5, 2, 3},
      {"employee.vrn", "Izbira vodje računovodstva", 1, 21, 5, 0, 5},
      {"windfarm.vrn", "Standortwahl Windpark Nordhang", 3, 22, 3, 0, 4},
      {"large.vrn", "Large generated model", 1, 2000, 7, -1, 5},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.File);
    RegistryCheck Check;
    TVarnModel M;
    M.LoadFromFile(Example(C.File));
    EXPECT_EQ(M.Name(), C.Name);
    EXPECT_EQ(M.Root()->InpCount(), C.TopLevel);
    EXPECT_EQ(M.Options().Count(), C.Options);
    EXPECT_FALSE(M.Modified());
    Shape S = ShapeOf(M);
    EXPECT_EQ(S.Attributes, C.Attributes);
    EXPECT_EQ(S.Depth, C.Depth);
    if (C.Links >= 0)
      EXPECT_EQ(S.Links, C.Links);
    else
      EXPECT_GT(S.Links, 10);
  }
}

TEST(Examples, Holiday) {
  RegistryCheck Check;
  TVarnModel M;
  M.LoadFromFile(Example("holiday.vrn"));
  EXPECT_EQ(M.Description(),
            "Choosing a summer holiday for a family with two children (8 and 12).\r\n"
            "Four destinations shortlisted after the first round.\r\n\r\n"
            "Linked attributes repeat criteria that serve more than one aggregate.");
  EXPECT_EQ(M.Options().Strings(3), "Zürich and the Alps");
  EXPECT_TRUE(M.Linking());
  EXPECT_EQ(M.Settings().SelectedReports, TByteSet().set(0).set(1).set(2).set(4));
  EXPECT_EQ(M.Settings().FontName, "Tahoma");
  EXPECT_EQ(M.Settings().WeightDec, 1);

  TVarnAttribute* Top = M.First();
  EXPECT_EQ(Top->Description(), "Overall appeal of a summer holiday for a family of four");
  EXPECT_EQ(Top->Scale()->ScaleString(), "+ poor(-);fair;good;excellent(+)");
  TVarnFunction* F = Top->Funct();
  EXPECT_EQ(F->Count(), 432);
  EXPECT_TRUE(F->UseWeights());
  EXPECT_EQ(F->RequiredWeights(), (floatarray{30, 15, 20, 20, 15}));
  EXPECT_EQ(F->NormActualWeights(), (floatarray{30, 15, 20, 20, 15}));
  EXPECT_EQ(Utf32ToUtf8(F->List()[0]), "0000000+");
  EXPECT_EQ(Utf32ToUtf8(F->List()[1]), "0000101-");
  EXPECT_EQ(Utf32ToUtf8(F->List()[2]), "0000211+");
  EXPECT_EQ(F->EntCount(), 432 - 62);
  EXPECT_EQ(Top->OptValue(0), 3);  // Piran: excellent

  TVarnAttribute* Transport =
      Find(M, "\\Root\\Holiday\\Travel\\Availability of public transport at the destination");
  ASSERT_NE(Transport, nullptr);
  EXPECT_EQ(Transport->Description(), "Buses, trains and boats to the sights without a car");
  EXPECT_TRUE(Transport->IsBasic());

  const char* Linked[][2] = {
      {"\\Root\\Holiday\\Destination\\Attractions\\Activities for children",
       "\\Root\\Holiday\\Family suitability\\Activities for children"},
      {"\\Root\\Holiday\\Destination\\Safety and health",
       "\\Root\\Holiday\\Family suitability\\Safety and health"},
      {"\\Root\\Holiday\\Accommodation\\Location\\Quiet surroundings",
       "\\Root\\Holiday\\Family suitability\\Quiet surroundings"},
  };
  for (auto& L : Linked) EXPECT_EQ(Find(M, L[0])->Link(), Find(M, L[1])) << L[0];

  TVarnAttribute* Costs = Find(M, "\\Root\\Holiday\\Costs");
  EXPECT_EQ(Costs->Scale()->Order(), ordDescending);
  EXPECT_TRUE(Costs->Scale()->IsGood(0));
  EXPECT_TRUE(Costs->Scale()->IsBad(2));
  EXPECT_EQ(Find(M, "\\Root\\Holiday\\Destination\\Climate\\Temperature")->Scale()->Order(), ordNone);
  TVarnScale* Kitchen =
      Find(M, "\\Root\\Holiday\\Accommodation\\Comfort\\Kitchen for self-catering")->Scale();
  EXPECT_FALSE(Kitchen->IsInterval());
  EXPECT_EQ(
      static_cast<TVarnDiscreteScale*>(Find(M, "\\Root\\Holiday\\Destination\\Climate\\Temperature")->Scale())
          ->Descriptions(0),
      "below 20 °C");
}

TEST(Examples, Supplier) {
  RegistryCheck Check;
  TVarnModel M;
  M.LoadFromFile(Example("supplier.vrn"));
  EXPECT_TRUE(M.Settings().RptHtml);
  EXPECT_EQ(M.Settings().BadColor, 0xC0);  // 0000C0: dark red
  EXPECT_EQ(M.Settings().GoodFontStyle, TFontStyles{fsBold});
  EXPECT_EQ(M.Settings().EvalTrim, 2);
  TVarnAttribute* Price = Find(M, "\\Root\\Supplier\\Costs\\Price");
  EXPECT_EQ(Price->Link(), Find(M, "\\Root\\Supplier\\Project\\Price"));
  EXPECT_EQ(Price->Scale()->ScaleString(), "- under 80k(+);80k-120k;over 120k(-)");
  EXPECT_EQ(Find(M, "\\Root\\Supplier\\Product\\Quality\\Usability\\Languages")->Link(),
            Find(M, "\\Root\\Supplier\\Supplier company\\Support\\Languages"));
  EXPECT_EQ(Find(M, "\\Root\\Supplier\\Costs\\Licence model")->Scale()->Order(), ordNone);
  EXPECT_EQ(Find(M, "\\Root\\Supplier\\Product\\Functionality\\Core warehouse processes\\Picking and packing")
                ->Level(),
            5);
}

TEST(Examples, EmployeeAndWindfarm) {
  RegistryCheck Check;
  TVarnModel M;
  M.LoadFromFile(Example("employee.vrn"));
  EXPECT_EQ(M.Options().Strings(0), "Mojca Žagar");
  EXPECT_EQ(M.Options().Strings(4), "Ana Šuštar");
  EXPECT_FALSE(M.Settings().FncShowWeights);
  EXPECT_EQ(M.Settings().FontSize, 9);
  EXPECT_EQ(M.Settings().OptDataType, odtText);
  TVarnAttribute* Start = Find(M, "\\Root\\Zaposlitev\\Pogoji zaposlitve\\Čas do začetka dela");
  EXPECT_FALSE(Start->Scale()->IsInterval());
  EXPECT_EQ(Start->Scale()->Order(), ordDescending);
  EXPECT_EQ(Find(M, "\\Root\\Zaposlitev\\Strokovnost\\Izobrazba")->Scale()->ScaleString(),
            "+ srednja šola(-);višja šola;univerza(+);magisterij(+)");

  M.LoadFromFile(Example("windfarm.vrn"));
  EXPECT_EQ(M.ModelName(), "Technische Eignung");
  EXPECT_EQ(M.Root()->Inputs(2)->Name(), "Soziale Akzeptanz");
  EXPECT_FALSE(M.Undoing());
  EXPECT_EQ(M.Settings().GoodColor, 0x008000);
  EXPECT_TRUE(M.Settings().PageBreak);
  EXPECT_EQ(M.Settings().FncFormatType, fftTab);
  TVarnAttribute* Wind = Find(M, "\\Root\\Technische Eignung\\Windhöffigkeit");
  EXPECT_EQ(Wind->InpCount(), 2);
  EXPECT_EQ(static_cast<TVarnDiscreteScale*>(Wind->Inputs(0)->Scale())->Names(2), "über 6,5 m/s");
  EXPECT_EQ(Wind->Inputs(0)->OptVal(1).size(), 1u);
}

}  // namespace
}  // namespace vt
