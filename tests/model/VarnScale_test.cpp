#include <limits>

#include "ModelTestUtils.h"

namespace vt {
namespace {

using test::MakeScale;
using test::RegistryCheck;

constexpr double Max = std::numeric_limits<double>::max();

TEST(VarnScale, NewScaleHasNoCategories) {
  RegistryCheck Check;
  TVarnDiscreteScale S;
  EXPECT_EQ(S.Order(), ordAscending);
  EXPECT_TRUE(S.IsInterval());
  EXPECT_EQ(S.BGLow(), -Max);
  EXPECT_EQ(S.BGHigh(), Max);
  EXPECT_EQ(S.Count(), 0);
  EXPECT_EQ(S.High(), -1);
}

TEST(VarnScale, AddingValuesMakesTheEndsBadAndGood) {
  RegistryCheck Check;
  std::unique_ptr<TVarnDiscreteScale> S(MakeScale({"x"}));
  EXPECT_FALSE(S->IsBad(0));
  EXPECT_FALSE(S->IsGood(0));
  S->AddValue("y");
  S->AddValue("z");
  EXPECT_DOUBLE_EQ(S->BGLow(), 0.5);
  EXPECT_DOUBLE_EQ(S->BGHigh(), 1.5);
  EXPECT_TRUE(S->IsBad(0));
  EXPECT_FALSE(S->IsBad(1));
  EXPECT_FALSE(S->IsGood(1));
  EXPECT_TRUE(S->IsGood(2));
  EXPECT_EQ(S->CountBads(), 1);
  EXPECT_EQ(S->CountGoods(), 1);
  S->SetName("S");
  EXPECT_EQ(S->ScaleString(), "S+ x(-);y;z(+)");
  S->SetScaleUnit("EUR");
  S->SetOrder(ordDescending);
  // Descending: BGLow is the good bound, BGHigh the bad one.
  EXPECT_EQ(S->ScaleString(), "S-[EUR] x(+);y;z(-)");
  S->SetOrder(ordNone);
  S->SetName("");
  S->SetScaleUnit("");
  EXPECT_EQ(S->ScaleString(), "x;y;z");
}

TEST(VarnScale, InsertAndDeleteKeepTheCategoriesOnTheirValues) {
  RegistryCheck Check;
  std::unique_ptr<TVarnDiscreteScale> S(MakeScale({"a", "b", "c", "d"}));
  EXPECT_DOUBLE_EQ(S->BGLow(), 0.5);
  EXPECT_DOUBLE_EQ(S->BGHigh(), 2.5);
  S->InsertValue(0, "new");  // below the bad bound: both bounds move up
  EXPECT_EQ(S->Names(0), "new");
  EXPECT_DOUBLE_EQ(S->BGLow(), 1.5);
  EXPECT_DOUBLE_EQ(S->BGHigh(), 3.5);
  S->InsertValue(5, "top");  // at the end, as AddValue
  EXPECT_EQ(S->Names(5), "top");
  EXPECT_DOUBLE_EQ(S->BGHigh(), 4.5);
  S->DeleteValue(0);
  EXPECT_DOUBLE_EQ(S->BGLow(), 0.5);
  EXPECT_DOUBLE_EQ(S->BGHigh(), 3.5);
  S->DeleteValue(4);  // the top value
  EXPECT_DOUBLE_EQ(S->BGHigh(), 2.5);
  S->DeleteValue(0);  // the bad value goes, and with it the bad category
  EXPECT_DOUBLE_EQ(S->BGLow(), -0.5);
  EXPECT_EQ(S->CountBads(), 0);
  S->DeleteValue(0);
  S->DeleteValue(0);  // one value left: no categories
  EXPECT_EQ(S->BGLow(), -Max);
  EXPECT_EQ(S->BGHigh(), Max);
}

TEST(VarnScale, MoveValues) {
  RegistryCheck Check;
  std::unique_ptr<TVarnDiscreteScale> S(MakeScale({"a", "b", "c"}));
  S->MoveDown(0);
  EXPECT_EQ(S->Names(0), "b");
  EXPECT_EQ(S->Names(1), "a");
  S->MoveUp(2);
  EXPECT_EQ(S->Names(1), "c");
  EXPECT_DOUBLE_EQ(S->BGLow(), 0.5);
  EXPECT_THROW(S->MoveUp(0), EListError);
  EXPECT_THROW(S->MoveDown(2), EListError);
}

TEST(VarnScale, UnorderedScaleComparesNothing) {
  RegistryCheck Check;
  std::unique_ptr<TVarnDiscreteScale> S(MakeScale({"a", "b", "c"}, ordNone));
  EXPECT_FALSE(S->IsBetterEq(1, 1));
  EXPECT_FALSE(S->IsBetterEq(1.0, 1.0));
  EXPECT_FALSE(S->IsWorseEq(1, 1));
  EXPECT_FALSE(S->IsBetter(2, 1));
  EXPECT_FALSE(S->IsWorse(1.0, 2.0));
  EXPECT_DOUBLE_EQ(S->Bad(), -1e-12);
  EXPECT_DOUBLE_EQ(S->Good(), 2 + 1e-12);
  EXPECT_FALSE(S->IsBad(0));
  EXPECT_FALSE(S->IsGood(2));
}

TEST(VarnScale, ComparisonsFollowTheOrder) {
  RegistryCheck Check;
  std::unique_ptr<TVarnDiscreteScale> S(MakeScale({"a", "b", "c"}));
  EXPECT_TRUE(S->IsBetter(2, 1));
  EXPECT_TRUE(S->IsWorse(0.5, 1.0));
  EXPECT_TRUE(S->IsBetterEq(1.0, 1.0 + 1e-13));
  EXPECT_FALSE(S->IsBetter(1.0, 1.0 + 1e-13));
  S->SetOrder(ordDescending);
  EXPECT_TRUE(S->IsBetter(1, 2));
  EXPECT_TRUE(S->IsWorseEq(2, 2));
  EXPECT_TRUE(S->IsWorseEq(2.0, 1.0));
}

TEST(VarnScale, CategoryWrites) {
  RegistryCheck Check;
  std::unique_ptr<TVarnDiscreteScale> S(MakeScale({"a", "b", "c"}));
  S->SetBad(3);  // beyond the good bound 1.5: both move
  EXPECT_EQ(S->BGLow(), 3);
  EXPECT_EQ(S->BGHigh(), 3);
  S->DefaultCategory();
  S->SetGood(0);
  EXPECT_EQ(S->BGLow(), 0);
  EXPECT_EQ(S->BGHigh(), 0);
  S->SetOrder(ordDescending);
  S->DefaultCategory();
  S->SetBad(1);  // descending: Bad is BGHigh
  EXPECT_DOUBLE_EQ(S->BGLow(), 0.5);
  EXPECT_EQ(S->BGHigh(), 1);
  EXPECT_EQ(S->Bad(), 1);
  EXPECT_DOUBLE_EQ(S->Good(), 0.5);
  S->SetGood(2);  // descending: Good is BGLow, which pushes BGHigh
  EXPECT_EQ(S->BGLow(), 2);
  EXPECT_EQ(S->BGHigh(), 2);
}

TEST(VarnScale, Bounds) {
  RegistryCheck Check;
  std::unique_ptr<TVarnDiscreteScale> S(MakeScale({"a", "b", "c"}));
  EXPECT_DOUBLE_EQ(S->LowFloat(), -0.5 + 1e-12);
  EXPECT_DOUBLE_EQ(S->HighFloat(), 2.5 - 1e-12);
  EXPECT_TRUE(S->InBounds(-0.49));
  EXPECT_FALSE(S->InBounds(-0.5));
  EXPECT_FALSE(S->InBounds(3));
  EXPECT_TRUE(S->InBounds(2));
  EXPECT_EQ(S->IntoBounds(7), 2);
  EXPECT_EQ(S->IntoBounds(-7), 0);
  EXPECT_DOUBLE_EQ(S->IntoBounds(7.0), 2.5 - 1e-12);
}

TEST(VarnScale, CompatibleAndEqual) {
  RegistryCheck Check;
  std::unique_ptr<TVarnDiscreteScale> A(MakeScale({"a", "b", "c"}));
  std::unique_ptr<TVarnDiscreteScale> B(MakeScale({"a", "b", "c"}));
  EXPECT_TRUE(A->Equal(B.get()));
  EXPECT_FALSE(A->Compatible(nullptr));
  B->SetDescriptions(1, "middle");
  EXPECT_TRUE(A->Compatible(B.get()));
  EXPECT_FALSE(A->Equal(B.get()));
  B->SetDescriptions(1, "");
  B->SetNames(2, "C");
  EXPECT_FALSE(A->Equal(B.get()));
  B->SetNames(2, "c");
  B->SetScaleUnit("m");
  EXPECT_FALSE(A->Equal(B.get()));
  B->SetScaleUnit("");
  B->SetGood(1);
  EXPECT_FALSE(A->Equal(B.get()));
  B->DefaultCategory();
  B->SetOrder(ordDescending);
  EXPECT_FALSE(A->Compatible(B.get()));
  std::unique_ptr<TVarnDiscreteScale> Short(MakeScale({"a", "b"}));
  EXPECT_FALSE(A->Compatible(Short.get()));
}

TEST(VarnScale, AssignAppendsCopiesOfTheValues) {
  RegistryCheck Check;
  std::unique_ptr<TVarnDiscreteScale> A(MakeScale({"a", "b", "c"}, ordDescending));
  A->SetScaleUnit("km");
  A->SetInterval(false);
  A->SetDescriptions(0, "first");
  std::unique_ptr<TVarnDiscreteScale> B(MakeScale({"old"}));
  B->AssignScale(A.get());
  ASSERT_EQ(B->Count(), 4);
  EXPECT_EQ(B->Names(0), "old");
  EXPECT_EQ(B->Names(1), "a");
  EXPECT_EQ(B->Descriptions(1), "first");
  EXPECT_NE(B->Values().Objects(1), A->Values().Objects(0));
  EXPECT_EQ(B->Order(), ordDescending);
  EXPECT_EQ(B->ScaleUnit(), "km");
  EXPECT_FALSE(B->IsInterval());
  EXPECT_EQ(B->BGLow(), A->BGLow());
  EXPECT_EQ(B->BGHigh(), A->BGHigh());
  B->AssignScale(nullptr);
  EXPECT_EQ(B->Count(), 4);
  TStringList Names;
  B->GetNameStrings(Names);
  EXPECT_EQ(Names.Text(), "old\r\na\r\nb\r\nc\r\n");
}

}  // namespace
}  // namespace vt
