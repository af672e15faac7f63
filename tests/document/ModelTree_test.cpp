// Picture trees from models, and what opening a model does to the document.
#include "document/ModelTree.h"

#include <gtest/gtest.h>

#include "DocumentTestUtil.h"
#include "model/VarnObjects.h"

namespace vt::test {
namespace {

// The tree as "Text:class(children ...)".
std::string Compact(const TTreeDrawNode* ANode) {
  const auto& node = dynamic_cast<const TVarnNode&>(*ANode);
  std::string out = node.FullText() + ":" + node.NodeClass();
  if (!node.FirstChild()) return out;
  out += "(";
  for (const TTreeDrawNode* c = node.FirstChild(); c; c = c->NextChild())
    out += Compact(c) + (c->NextChild() ? " " : "");
  return out + ")";
}

std::string Attribute(const std::string& Name, const std::string& Inputs = "") {
  return "<ATTRIBUTE><NAME>" + Name + "</NAME>" + Inputs + "</ATTRIBUTE>";
}

class ModelTreeTest : public TTempDirTest {
 protected:
  std::string WriteModel(const std::string& Name, const std::string& Body) const {
    return WriteDocument(Name, {"<Varn>", Body, "</Varn>"});
  }
};

TEST_F(ModelTreeTest, NodesFollowTheAttributesAndTheirKinds) {
  const std::string linking = "<SETTINGS><LINKING>True</LINKING></SETTINGS>";
  struct TCase {
    std::string Body;
    std::string Tree;
  };
  const std::vector<TCase> cases = {
      {Attribute("Car", Attribute("Price")), "Car:aggregate(Price:basic)"},
      {Attribute("A") + Attribute("B", Attribute("C")), "Root:aggregate(A:basic B:aggregate(C:basic))"},
      {"", "Root:basic"},
      {Attribute("Single"), "Single:basic"},
      // A basic attribute that repeats another one is a link; an aggregate
      // never is, and nothing is linked without the setting.
      {linking + Attribute("Car", Attribute("Cost", Attribute("Price") + Attribute("Tax")) +
                                      Attribute("Safety", Attribute("Cost") + Attribute("Price"))),
       "Car:aggregate(Cost:aggregate(Price:link Tax:basic) Safety:aggregate(Cost:link Price:basic))"},
      {Attribute("Car", Attribute("Cost", Attribute("Price")) + Attribute("Cost")),
       "Car:aggregate(Cost:aggregate(Price:basic) Cost:basic)"},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    TVarnTreeDocument document;
    document.LoadVarnFile(WriteModel("m" + std::to_string(i) + ".vrn", cases[i].Body));
    EXPECT_EQ(Compact(document.VarnRoot()), cases[i].Tree) << "case " << i;
  }
}

TEST_F(ModelTreeTest, NodesShareTheCurrentClassesAndKeepTheirLook) {
  TVarnTreeDocument document;
  document.FindFormat("link")->SetNodeBrush(TBrush(clAqua, bsCross));
  document.TreeDrawer().SetOrientation(oBottomUp);
  const std::string before = DescribeParameters(document) + DescribeClasses(*document.Formats());
  document.LoadVarnFile(WriteModel(
      "link.vrn",
      "<LINKING>True</LINKING>" + Attribute("Car", Attribute("Price") + Attribute("X", Attribute("Price")))));
  EXPECT_EQ(DescribeParameters(document) + DescribeClasses(*document.Formats()), before);
  const auto* link = static_cast<TVarnNode*>(document.VarnRoot()->Item(0));
  ASSERT_EQ(link->NodeClass(), "link");
  EXPECT_EQ(link->NodeFormat(), document.FindFormat("link"));
  EXPECT_EQ(link->NodeBrush().Color(), clAqua);
  EXPECT_EQ(static_cast<TVarnNode*>(document.VarnRoot())->NodeFormat(), document.FindFormat("aggregate"));
}

TEST_F(ModelTreeTest, AClassTheFormatsLackGivesAll) {
  const std::string formats = WriteDocument(
      "few.vrt",
      {"<VarnTree><nodeformat class=\"all\">", "<nodeformat class=\"basic\"/></nodeformat></VarnTree>"});
  TVarnTreeDocument document;
  document.LoadVarnTreeFile(formats, true, false);
  document.LoadVarnFile(WriteModel("m.vrn", Attribute("Car", Attribute("Price"))));
  EXPECT_EQ(Compact(document.VarnRoot()), "Car:all(Price:basic)");
  EXPECT_EQ(document.VarnRoot()->NodeFormat(), document.Formats());
}

TEST_F(ModelTreeTest, OpeningAModelSetsTheNamesAndClearsTheFlag) {
  TVarnTreeDocument document;
  document.SetSaveFileName("/elsewhere/old.vrt");
  document.SetFileModified(true);
  const std::string path = WriteModel("car.vrn", Attribute("Car"));
  const std::string relative = fs::relative(path).string();
  ASSERT_NE(relative, path);
  document.LoadVarnFile(relative);
  EXPECT_EQ(document.LoadFileName(), path);
  EXPECT_EQ(document.SaveFileName(), "");
  EXPECT_FALSE(document.FileModified());

  // CreateVarnTree alone touches nothing but the tree.
  document.SetFileModified(true);
  TVarnModel model;
  model.LoadFromFile(WriteModel("two.vrn", Attribute("A") + Attribute("B")));
  document.CreateVarnTree(model);
  EXPECT_EQ(Compact(document.VarnRoot()), "Root:aggregate(A:basic B:basic)");
  EXPECT_EQ(document.LoadFileName(), path);
  EXPECT_TRUE(document.FileModified());
}

TEST_F(ModelTreeTest, AModelThatCannotBeReadChangesNothing) {
  TVarnTreeDocument document;
  document.LoadVarnFile(DataFile("car.vrn"));
  document.SetSaveFileName("/elsewhere/saved.vrt");
  document.SetFileModified(true);
  const std::string before = FullState(document);

  const std::string foreign = WriteDocument("foreign.vrn", {"<VarnTree/>"});
  EXPECT_THROW_MSG(document.LoadVarnFile(foreign), EVarnError,
                   "Nepoznan format datoteke \"" + foreign + "\"");
  const std::string broken = WriteModel("broken.vrn", "<ATTRIBUTE><NAME>Car</NAME>");
  EXPECT_THROW_MSG(document.LoadVarnFile(broken), EXmlError,
                   "Error reading XML around line 5: Expecting terminating tag \"</ATTRIBUTE>\" instead of "
                   "\"</Varn>\"");
  const std::string missing = PathOf("missing.vrn");
  EXPECT_THROW_MSG(document.LoadVarnFile(missing), EXmlFileError,
                   "Cannot open file \"" + missing + "\". No such file or directory");
  EXPECT_EQ(FullState(document), before);
}

// Deep models are built without recursion along their depth.
TEST_F(ModelTreeTest, ADeepModelGivesADeepTree) {
  const int depth = 900;
  std::string body;
  for (int i = 0; i < depth; ++i) body += "<ATTRIBUTE><NAME>a" + std::to_string(i) + "</NAME>";
  for (int i = 0; i < depth; ++i) body += "</ATTRIBUTE>";
  TVarnTreeDocument document;
  document.LoadVarnFile(WriteModel("deep.vrn", body));
  int levels = 0;
  for (const TTreeDrawNode* node = document.VarnRoot(); node; node = node->FirstChild()) ++levels;
  EXPECT_EQ(levels, depth);
  EXPECT_EQ(static_cast<const TVarnNode*>(document.VarnRoot()->FirstChild())->NodeClass(), "aggregate");
}

}  // namespace
}  // namespace vt::test
