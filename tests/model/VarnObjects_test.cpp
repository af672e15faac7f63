#include <memory>
#include <string>
#include <vector>

#include "ModelTestUtils.h"

namespace vt {
namespace {

using test::ErrorOf;
using test::RegistryCheck;

std::vector<std::string> GReported;
void Capture(const std::string& Message) {
  GReported.push_back(Message);
}

class ConsistencyCapture {
 public:
  ConsistencyCapture() : FOld(VarnRegistry::SetConsistencyHandler(Capture)) { GReported.clear(); }
  ~ConsistencyCapture() { VarnRegistry::SetConsistencyHandler(FOld); }

 private:
  VarnRegistry::THandler FOld;
};

TEST(VarnObject, RegistryHoldsLiveObjectsInOrderOfCreation) {
  RegistryCheck Check;
  const int Before = VarnRegistry::Count();
  {
    TVarnScaleValue A("a");
    TVarnAttribute B("b");
    TVarnModel M;  // the model and its root attribute
    EXPECT_EQ(VarnRegistry::Count(), Before + 4);
    EXPECT_EQ(VarnRegistry::Object(Before), &A);
    EXPECT_EQ(VarnRegistry::Object(Before + 1), &B);
    EXPECT_EQ(VarnRegistry::Object(Before + 2), &M);
    EXPECT_TRUE(VarnRegistry::IsAlive(&B));
  }
  EXPECT_EQ(VarnRegistry::Count(), Before);
}

TEST(VarnObject, DestroyingAnUnregisteredObjectIsReported) {
  ConsistencyCapture Capture;
  {
    TVarnAttribute A("Price");
    VarnRegistry::Unregister(&A);
    EXPECT_TRUE(GReported.empty());
  }
  ASSERT_EQ(GReported.size(), 1u);
  EXPECT_EQ(GReported[0],
            "Trying to destroy an already destroyed object \"Class=\"TVarnAttribute\", Name=\"Price\"\"");
}

TEST(VarnObject, ObjectStringAndAssign) {
  RegistryCheck Check;
  TVarnDiscreteScale S;
  S.SetName("Quality");
  EXPECT_EQ(S.ObjectString(), "Class=\"TVarnDiscreteScale\", Name=\"Quality\"");
  TVarnFunction F;
  F.SetDescription("d");
  TVarnScaleValue V;
  V.AssignObject(F);
  EXPECT_EQ(V.Name(), "");
  EXPECT_EQ(V.Description(), "d");
  EXPECT_EQ(V.ObjectString(), "Class=\"TVarnScaleValue\", Name=\"\"");
}

TEST(VarnObject, ShutdownMessage) {
  EXPECT_EQ(Fmt(SVarnPending, 3), "3 pending objects upon exit");
}

class VarnListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* N : {"price", "Price", "Price", "quality"})
      List.Add(new TVarnScaleValue(N, std::string("about ") + N));
  }
  RegistryCheck Check;
  TVarnScaleValueList List{true, false, dupAccept};
};

TEST_F(VarnListTest, ObjectByNameIsCaseSensitiveAndFirst) {
  EXPECT_EQ(List.ObjectByName("Price"), List.Objects(1));
  EXPECT_EQ(List.ObjectByName("price"), List.Objects(0));
  EXPECT_EQ(List.ObjectByName("PRICE"), nullptr);
}

TEST_F(VarnListTest, ValidateIndex) {
  EXPECT_NO_THROW(List.ValidateIndex(3));
  EXPECT_THROW(List.ValidateIndex(4), EVarnIndexError);
  EXPECT_EQ(ErrorOf([&] { List.ValidateIndex(5); }), "List index \"5\" is out of bounds [0,3]");
  EXPECT_EQ(ErrorOf([&] { List.ValidateIndex(-1); }), "List index \"-1\" is out of bounds [0,3]");
  TVarnList Empty;
  EXPECT_EQ(ErrorOf([&] { Empty.ValidateIndex(0); }), "List index \"0\" is out of bounds [0,-1]");
}

TEST_F(VarnListTest, StringsCarryTheirObjects) {
  TStringList Target;
  Target.Add("old");
  List.GetNameStrings(Target, true);
  ASSERT_EQ(Target.Count(), 5);
  EXPECT_EQ(Target.Strings(0), "old");
  EXPECT_EQ(Target.Strings(2), "Price");
  EXPECT_EQ(Target.Objects(2), List.Objects(1));
  List.GetDescriptionStrings(Target);
  ASSERT_EQ(Target.Count(), 4);
  EXPECT_EQ(Target.Strings(3), "about quality");
  List.GetObjectStrings(Target);
  EXPECT_EQ(Target.Strings(0), "Class=\"TVarnScaleValue\", Name=\"price\"");
  List.SetNames(0, "cost");
  List.SetDescriptions(0, "");
  EXPECT_EQ(List.Names(0), "cost");
  EXPECT_EQ(List.Descriptions(0), "");
}

TEST_F(VarnListTest, EmptyEntriesHaveEmptyTexts) {
  std::unique_ptr<TVarnObject> Pulled(static_cast<TVarnObject*>(List.Pull(1)));
  List.DeleteObject(2);
  TStringList Target;
  List.GetNameStrings(Target);
  ASSERT_EQ(Target.Count(), 4);
  EXPECT_EQ(Target.Text(), "price\r\n\r\n\r\nquality\r\n");
  EXPECT_EQ(Target.Objects(1), nullptr);
  List.GetDescriptionStrings(Target);
  EXPECT_EQ(Target.Strings(2), "");
  List.GetObjectStrings(Target);
  EXPECT_EQ(Target.Strings(1), "");
  List.SetNames(1, "x");
  List.SetDescriptions(2, "y");
  EXPECT_EQ(List.Names(1), "");
  EXPECT_EQ(List.Descriptions(2), "");
  EXPECT_EQ(List.ObjectByName("Price"), nullptr);
  EXPECT_EQ(Pulled->Name(), "Price");
}

}  // namespace
}  // namespace vt
