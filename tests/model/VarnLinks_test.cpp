#include "ModelFiles.h"
#include "ModelTestUtils.h"

namespace vt {
namespace {

using test::LoadBody;
using test::RegistryCheck;
using test::ScaleXml;

const std::string Yes = "<SETTINGS><LINKING>True</LINKING></SETTINGS>";
const std::string LH = ScaleXml({"low", "high"});

std::string Basic(const std::string& Name, const std::string& Scale = LH) {
  return "<ATTRIBUTE><NAME>" + Name + "</NAME>" + Scale + "</ATTRIBUTE>";
}

std::string Aggregate(const std::string& Name, const std::string& Inputs) {
  return "<ATTRIBUTE><NAME>" + Name + "</NAME>" + LH + Inputs + "</ATTRIBUTE>";
}

class LinkTest : public ::testing::Test {
 protected:
  TVarnAttribute* At(const std::string& Path) {
    TVarnAttribute* A = M.Root();
    for (char C : Path) A = A->Inputs(C - '0');
    return A;
  }
  RegistryCheck Check;
  TVarnModel M;
};

TEST_F(LinkTest, LinkingOffLinksNothing) {
  LoadBody(M, Aggregate("A", Basic("Price")) + Aggregate("B", Basic("Price")));
  EXPECT_FALSE(M.Linking());
  EXPECT_EQ(At("00")->Link(), nullptr);
  EXPECT_EQ(At("10")->Link(), nullptr);
  EXPECT_EQ(M.LinkAttributeByName("Price"), At("10"));
}

TEST_F(LinkTest, EqualBasicAttributesLinkToTheLast) {
  LoadBody(M, Yes + Aggregate("A", Basic("Price") + Basic("price")) + Aggregate("B", Basic("Price")) +
                  Aggregate("C", Basic("Price")));
  EXPECT_EQ(At("00")->Link(), At("20"));
  EXPECT_EQ(At("10")->Link(), At("20"));
  EXPECT_EQ(At("20")->Link(), nullptr);
  EXPECT_EQ(At("01")->Link(), nullptr);  // names differ in case
  EXPECT_EQ(M.InputAttributeByName("Price"), At("20"));
  EXPECT_EQ(M.AttributeByName("Price"), At("00"));
  EXPECT_EQ(M.AttributeByName("PRICE"), nullptr);
  M.LinkAttributes();  // once more: the same links
  EXPECT_EQ(At("00")->Link(), At("20"));
  EXPECT_EQ(At("10")->Link(), At("20"));
  EXPECT_EQ(At("20")->Link(), nullptr);
  M.Settings().Linking = false;
  M.Modify();
  EXPECT_EQ(At("00")->Link(), nullptr);
}

TEST_F(LinkTest, ScalesMustBeEqual) {
  const std::string Described =
      "<SCALE><SCALEVALUE><NAME>low</NAME><DESCRIPTION>cheap</DESCRIPTION></SCALEVALUE>"
      "<SCALEVALUE><NAME>high</NAME></SCALEVALUE></SCALE>";
  LoadBody(M, Yes + Aggregate("A", Basic("Price")) + Aggregate("B", Basic("Price", Described)) +
                  Aggregate("C", Basic("Q", "") + Basic("Q", "") + Basic("R", "") + Basic("R")));
  EXPECT_EQ(At("00")->Link(), nullptr);
  EXPECT_EQ(At("10")->Link(), nullptr);
  EXPECT_EQ(At("20")->Link(), At("21"));  // neither has a scale
  EXPECT_EQ(At("22")->Link(), nullptr);   // the candidate has a scale, this one none
}

TEST_F(LinkTest, OneAggregateOfTheNameIsTheTarget) {
  LoadBody(M, Yes + Aggregate("Cost", Basic("Cost") + Basic("Cost")) + Aggregate("B", Basic("Cost")) +
                  Basic("Root"));
  EXPECT_EQ(At("00")->Link(), nullptr);  // inside the aggregate's own subtree
  EXPECT_EQ(At("01")->Link(), nullptr);
  EXPECT_EQ(At("10")->Link(), At("0"));
  EXPECT_EQ(At("0")->Link(), nullptr);
  EXPECT_EQ(At("2")->Link(), nullptr);  // never linked to the model's root
  EXPECT_EQ(M.InputAttributeByName("Cost"), At("01"));
  EXPECT_EQ(M.InputAttributeByName("Nothing"), nullptr);
}

TEST_F(LinkTest, TwoAggregatesOfTheNameAreNeverTargets) {
  LoadBody(
      M, Yes + Aggregate("Cost", Basic("x")) + Aggregate("Cost", Basic("y")) + Basic("Cost") + Basic("Cost"));
  EXPECT_EQ(At("2")->Link(), At("3"));
  EXPECT_EQ(At("3")->Link(), nullptr);
  EXPECT_EQ(M.InputAttributeByName("Cost"), At("3"));
}

TEST_F(LinkTest, LinkingSettingAfterTheAttributesStillLinks) {
  LoadBody(M, Basic("P") + Basic("P") + "<LINKING>yes</LINKING>");
  EXPECT_TRUE(M.Linking());
  EXPECT_EQ(At("0")->Link(), At("1"));
}

}  // namespace
}  // namespace vt
