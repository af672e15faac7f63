// Tree documents: the written form, the value encodings, differences from
// parent formats, the three ways of reading, and a failed read that leaves
// the document as it was.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <functional>

#include "DocumentTestUtil.h"
#include "support/FileSizeLimit.h"
#include "model/VarnObjects.h"

namespace vt::test {
namespace {

class TreeFileTest : public TTempDirTest {
 protected:
  // A document holding the Car model: Car (aggregate) with Price (basic).
  void LoadCar(TVarnTreeDocument& ADocument) const { ADocument.LoadVarnFile(DataFile("car.vrn")); }

  static TVarnNode* Child(const TVarnNode* ANode, int Idx) {
    return static_cast<TVarnNode*>(ANode->Item(Idx));
  }
};

const std::vector<std::string> CarDocument = {
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
    "<VarnTree>",
    "  <treeformat>",
    "    <config method=\"Walker\" orientation=\"TopDown\"/>",
    "    <border top=\"0\" left=\"0\" bottom=\"0\" right=\"0\"/>",
    "    <stretch X=\"100\" Y=\"100\"/>",
    "    <place node=\"20\" level=\"60\" minlevel=\"20\" mirror=\"False\" alignlevels=\"True\" "
    "alignparents=\"True\" color=\"FFFFFF\"/>",
    "  </treeformat>",
    "  <nodeformat class=\"all\">",
    "    <width min=\"50\" max=\"150\"/>",
    "    <height min=\"10\" max=\"30\"/>",
    "    <up X=\"50\" Xunit=\"Perc\" Y=\"0\" Yunit=\"Perc\"/>",
    "    <down X=\"50\" Xunit=\"Perc\" Y=\"100\" Yunit=\"Perc\"/>",
    "    <font name=\"Arial\" size=\"10\" color=\"FF000008\" style=\"\"/>",
    "    <linepen color=\"000000\" width=\"1\" style=\"Solid\"/>",
    "    <nodepen color=\"000000\" width=\"1\" style=\"Solid\"/>",
    "    <nodebrush color=\"FFFFFF\" style=\"Solid\"/>",
    "    <node shape=\"Rectangle\" align=\"Center\"/>",
    "    <round X=\"10\" Xunit=\"Pix\" Y=\"10\" Yunit=\"Pix\"/>",
    "    <text wrap=\"True\" clip=\"False\" trim=\"-1\" line=\"1\"/>",
    "    <textalign X=\"Center\" Y=\"Center\"/>",
    "    <textborder top=\"3\" left=\"5\" bottom=\"3\" right=\"5\"/>",
    "    <nodeformat class=\"basic\"/>",
    "    <nodeformat class=\"aggregate\"/>",
    "    <nodeformat class=\"link\"/>",
    "  </nodeformat>",
    "  <node class=\"aggregate\">",
    "    <text>Car</text>",
    "    <node class=\"basic\">",
    "      <text>Price</text>",
    "    </node>",
    "  </node>",
    "</VarnTree>",
};

std::string CrLfText(const std::vector<std::string>& Lines) {
  std::string text;
  for (const std::string& line : Lines) text += line + "\r\n";
  return text;
}

TEST_F(TreeFileTest, TheCarDocumentComesOutLineForLine) {
  TVarnTreeDocument document;
  LoadCar(document);
  const std::string path = PathOf("car.vrt");
  document.SaveVarnTreeFile(path);
  EXPECT_EQ(ReadBytes(path), CrLfText(CarDocument));
}

TEST_F(TreeFileTest, FormatsOnlyAndTreeOnlyWriteTheirPartsAlone) {
  TVarnTreeDocument document;
  LoadCar(document);
  std::vector<std::string> formats(CarDocument.begin(), CarDocument.begin() + 26);
  formats.push_back("</VarnTree>");
  EXPECT_EQ(SavedLines(document, true, false), formats);
  std::vector<std::string> tree = {CarDocument[0], CarDocument[1]};
  tree.insert(tree.end(), CarDocument.begin() + 26, CarDocument.end());
  EXPECT_EQ(SavedLines(document, false, true), tree);
  document.TreeDrawer().SetRoot(nullptr);
  EXPECT_EQ(SavedLines(document, false, true), (std::vector<std::string>{CarDocument[0], "<VarnTree/>"}));
}

TEST(TreeFileEncodingTest, ValuesAndTheirTexts) {
  struct TCase {
    std::string Written;
    std::string Expected;
  };
  const std::vector<TCase> cases = {
      {ColorToDocText(clWhite), "FFFFFF"},
      {ColorToDocText(clRed), "0000FF"},
      {ColorToDocText(0x123456), "123456"},
      {ColorToDocText(clWindowText), "FF000008"},
      {ColorToDocText(clBtnFace), "FF00000F"},
      {ColorToDocText(clNone), "1FFFFFFF"},
      {UnitToDocText(Upix), "Pix"},
      {UnitToDocText(Uperc), "Perc"},
      {FontStyleToDocText({}), ""},
      {FontStyleToDocText({fsStrikeOut, fsBold}), "BS"},
      {FontStyleToDocText({fsBold, fsItalic, fsUnderline, fsStrikeOut}), "BIUS"},
      {PenStyleToDocText(psSolid), "Solid"},
      {PenStyleToDocText(psDash), "Dash"},
      {PenStyleToDocText(psDot), "Dot"},
      {PenStyleToDocText(psDashDot), "DastDot"},
      {PenStyleToDocText(psDashDotDot), "DashDotDot"},
      {PenStyleToDocText(psClear), "Clear"},
      {PenStyleToDocText(psInsideFrame), "InsideFrame"},
      {PenStyleToDocText(TPenStyle(7)), ""},
      {BrushStyleToDocText(bsSolid), "Solid"},
      {BrushStyleToDocText(bsClear), "Clear"},
      {BrushStyleToDocText(bsHorizontal), "Horizontal"},
      {BrushStyleToDocText(bsVertical), "Vertical"},
      {BrushStyleToDocText(bsFDiagonal), "FDiagonal"},
      {BrushStyleToDocText(bsBDiagonal), "BDiagonal"},
      {BrushStyleToDocText(bsCross), "Cross"},
      {BrushStyleToDocText(bsDiagCross), "DiagCross"},
      {AlignmentToDocText(taLeftJustify), "LeftJustify"},
      {AlignmentToDocText(taRightJustify), "RightJustify"},
      {AlignmentToDocText(taCenter), "Center"},
      {ShapeToDocText(stRectangle), "Rectangle"},
      {ShapeToDocText(stRoundRect), "RoundRect"},
      {ShapeToDocText(stEllipse), "Ellipse"},
      {ShapeToDocText(stSquare), ""},
      {ShapeToDocText(stRoundSquare), ""},
      {ShapeToDocText(stCircle), ""},
  };
  for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(cases[i].Written, cases[i].Expected) << "case " << i;
}

TEST(TreeFileEncodingTest, TextsAndTheirValues) {
  EXPECT_EQ(DocTextToColor("FF000008"), clWindowText);
  EXPECT_EQ(DocTextToColor("FFFFFF"), clWhite);
  EXPECT_EQ(DocTextToColor("0000ff"), clRed);
  EXPECT_THROW_MSG(DocTextToColor("GGGGGG"), EConvertError, "'$GGGGGG' is not a valid integer value");
  EXPECT_THROW_MSG(DocTextToColor(""), EConvertError, "'$' is not a valid integer value");

  EXPECT_EQ(DocTextToUnit("Pix"), Upix);
  for (const char* text : {"Perc", "pix", "PIX", "", "%"}) EXPECT_EQ(DocTextToUnit(text), Uperc) << text;

  EXPECT_EQ(DocTextToFontStyle("").Bits(), 0);
  EXPECT_EQ(DocTextToFontStyle("SxIb").Bits(), TFontStyles({fsItalic, fsStrikeOut}).Bits());
  EXPECT_EQ(DocTextToFontStyle("UUB").Bits(), TFontStyles({fsBold, fsUnderline}).Bits());

  for (int s = psSolid; s <= psInsideFrame; ++s)
    EXPECT_EQ(DocTextToPenStyle(PenStyleToDocText(TPenStyle(s))), s);
  for (const char* text : {"DashDot", "dash", ""}) EXPECT_EQ(DocTextToPenStyle(text), psSolid) << text;
  for (int s = bsSolid; s <= bsDiagCross; ++s)
    EXPECT_EQ(DocTextToBrushStyle(BrushStyleToDocText(TBrushStyle(s))), s);
  EXPECT_EQ(DocTextToBrushStyle("horizontal"), bsSolid);
  EXPECT_EQ(DocTextToAlignment("LeftJustify"), taLeftJustify);
  EXPECT_EQ(DocTextToAlignment("RightJustify"), taRightJustify);
  EXPECT_EQ(DocTextToAlignment("Left"), taCenter);
  EXPECT_EQ(DocTextToShape("Ellipse"), stEllipse);
  EXPECT_EQ(DocTextToShape("RoundRect"), stRoundRect);
  EXPECT_EQ(DocTextToShape(""), stRectangle);
  EXPECT_EQ(DocTextToShape("Circle"), stRectangle);
}

// Every property of a format away from its default, written and read back.
TEST_F(TreeFileTest, EveryFormatValueSurvivesTheRoundTrip) {
  TVarnTreeDocument document;
  LoadCar(document);
  TNodeFormat& link = *document.FindFormat("link");
  link.SetMinWidth(-7);
  link.SetMaxWidth(400);
  link.SetMinHeight(0);
  link.SetMaxHeight(99);
  link.SetUpAnchor({-3, 12, Upix, Uperc});
  link.SetDownAnchor({40, 2, Uperc, Upix});
  // The character set is not stored: a font read takes the default font's.
  link.SetFont(
      TFont("Times New Roman", 13, clGrayText, {fsBold, fsUnderline, fsStrikeOut}, EASTEUROPE_CHARSET));
  link.SetLinePen(TPen(0x102030, 3, psDashDot));
  link.SetNodePen(TPen(clHighlight, 0, psInsideFrame));
  link.SetNodeBrush(TBrush(0xABCDEF, bsHorizontal));
  link.SetNodeAlign(taRightJustify);
  link.SetShape(stEllipse);
  link.SetRoundEdge({5, 50, Uperc, Upix});
  link.SetTextBorder({1, 2, 3, 4});
  link.SetTextWrap(false);
  link.SetTextClip(true);
  link.SetTextTrim(4);
  link.SetTextXAlign(taLeftJustify);
  link.SetTextYAlign(taRightJustify);
  link.SetLineSpacing(1.25);
  document.FindFormat("basic")->SetShape(stRoundRect);
  TVarnNode* price = Child(document.VarnRoot(), 0);
  price->SetNodeClass("link");
  const std::string path = PathOf("all.vrt");
  document.SaveVarnTreeFile(path);

  TVarnTreeDocument loaded;
  loaded.LoadVarnTreeFile(path);
  // The whole text is stored; the trim still cuts what is shown.
  EXPECT_EQ(static_cast<TVarnNode*>(loaded.VarnRoot()->Item(0))->FullText(), "Price");
  EXPECT_EQ(loaded.VarnRoot()->Item(0)->Text(), "Pric");
  EXPECT_EQ(Describe(loaded), Describe(document));
  EXPECT_EQ(loaded.FindFormat("link")->NodeBrush().Style(), bsHorizontal);
  EXPECT_EQ(loaded.FindFormat("link")->NodePen().Color(), clHighlight);
  EXPECT_EQ(SavedLines(loaded), SavedLines(document));
}

TEST_F(TreeFileTest, NodesOfAClassAndIndividualFormatsAreWrittenAsDifferences) {
  TVarnTreeDocument document;
  LoadCar(document);
  TVarnNode* price = Child(document.VarnRoot(), 0);
  price->SetNodeClass("");  // an individual copy of "basic"
  TFont font = price->NodeFormat()->Font();
  font.SetStyle({fsItalic});
  price->NodeFormat()->SetFont(font);
  auto* plain = static_cast<TVarnNode*>(document.VarnRoot()->AddChild(new TVarnNode("Plain")));
  plain->SetNodeClass("");
  plain->SetNodeClass("");                                 // a fresh format without parent
  document.VarnRoot()->AddChild(new TVarnNode("Safety"));  // no format of its own: "all"
  auto* trimmed = static_cast<TVarnNode*>(document.VarnRoot()->AddChild(new TVarnNode("Comfort")));
  trimmed->SetNodeClass("link");
  document.FindFormat("link")->SetTextTrim(3);

  const std::vector<std::string> lines = SavedLines(document);
  const std::vector<std::string> tree(std::find(lines.begin(), lines.end(), "  <node class=\"aggregate\">"),
                                      lines.end());
  std::vector<std::string> expected = {
      "  <node class=\"aggregate\">",
      "    <text>Car</text>",
      "    <node>",
      "      <text>Price</text>",
      "      <nodeformat parent=\"basic\">",
      "        <font name=\"Arial\" size=\"10\" color=\"FF000008\" style=\"I\"/>",
      "      </nodeformat>",
      "    </node>",
      "    <node>",
      "      <text>Plain</text>",
      "      <nodeformat>",
  };
  expected.insert(expected.end(), CarDocument.begin() + 9, CarDocument.begin() + 22);
  for (size_t i = 11; i < expected.size(); ++i) expected[i] = "    " + expected[i];
  expected.insert(expected.end(), {"      </nodeformat>", "    </node>", "    <node class=\"all\">",
                                   "      <text>Safety</text>", "    </node>", "    <node class=\"link\">",
                                   "      <text>Comfort</text>", "    </node>", "  </node>", "</VarnTree>"});
  EXPECT_EQ(tree, expected);

  const std::string path = PathOf("diff.vrt");
  document.SaveVarnTreeFile(path);
  TVarnTreeDocument loaded;
  loaded.LoadVarnTreeFile(path);
  EXPECT_EQ(Describe(loaded), Describe(document));
}

// One property of "link" changed at a time: only its element is written,
// with all its attributes; line spacings equal within the tolerance count
// as equal.
TEST_F(TreeFileTest, EachDifferenceIsWrittenAloneWithAllItsAttributes) {
  struct TCase {
    std::function<void(TNodeFormat&)> Change;
    std::string Element;  // empty: none
  };
  const std::vector<TCase> cases = {
      {[](TNodeFormat& F) { F.SetLineSpacing(1 + 5e-13); }, ""},
      {[](TNodeFormat& F) { F.SetLineSpacing(1.0001); },
       "<text wrap=\"True\" clip=\"False\" trim=\"-1\" line=\"1.0001\"/>"},
      {[](TNodeFormat& F) { F.SetTextTrim(0); },
       "<text wrap=\"True\" clip=\"False\" trim=\"0\" line=\"1\"/>"},
      {[](TNodeFormat& F) { F.SetMaxHeight(31); }, "<height min=\"10\" max=\"31\"/>"},
      {[](TNodeFormat& F) { F.SetNodeAlign(taRightJustify); },
       "<node shape=\"Rectangle\" align=\"RightJustify\"/>"},
      {[](TNodeFormat& F) { F.SetTextYAlign(taLeftJustify); }, "<textalign X=\"Center\" Y=\"LeftJustify\"/>"},
      {[](TNodeFormat& F) {
         F.SetRoundEdge({10, 10, Upix, Uperc});
       },
       "<round X=\"10\" Xunit=\"Pix\" Y=\"10\" Yunit=\"Perc\"/>"},
      {[](TNodeFormat& F) {
         F.SetDownAnchor({50, 99, Uperc, Uperc});
       },
       "<down X=\"50\" Xunit=\"Perc\" Y=\"99\" Yunit=\"Perc\"/>"},
      {[](TNodeFormat& F) { F.SetTextBorderRight(6); },
       "<textborder top=\"3\" left=\"5\" bottom=\"3\" right=\"6\"/>"},
      {[](TNodeFormat& F) { F.SetNodeBrush(TBrush(clWhite, bsDiagCross)); },
       "<nodebrush color=\"FFFFFF\" style=\"DiagCross\"/>"},
      {[](TNodeFormat& F) { F.SetLinePen(TPen(clBlack, 1, psDashDot)); },
       "<linepen color=\"000000\" width=\"1\" style=\"DastDot\"/>"},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    TVarnTreeDocument document;
    cases[i].Change(*document.FindFormat("link"));
    const std::vector<std::string> lines = SavedLines(document, true, false);
    const std::vector<std::string> expected =
        cases[i].Element.empty() ? std::vector<std::string>{"    <nodeformat class=\"link\"/>"}
                                 : std::vector<std::string>{"    <nodeformat class=\"link\">",
                                                            "      " + cases[i].Element, "    </nodeformat>"};
    const auto at = std::find(lines.begin(), lines.end(), expected[0]);
    ASSERT_GE(std::distance(at, lines.end()), std::ptrdiff_t(expected.size())) << "case " << i;
    EXPECT_EQ(std::vector<std::string>(at, at + std::ptrdiff_t(expected.size())), expected) << "case " << i;
  }
}

TEST_F(TreeFileTest, TreeParametersAndTheirEncodings) {
  TVarnTreeDocument document;
  LoadCar(document);
  TVarnTreeDrawer& drawer = document.TreeDrawer();
  drawer.SetDrawMethod(dmBottomUp);
  drawer.SetAlignTerminals(true);  // "Align": not stored
  drawer.SetOrientation(oRightLeft);
  drawer.SetBorder({-1, 2, 3, 4});
  drawer.SetXStretch(1.505);
  drawer.SetYStretch(0.025);
  drawer.SetNodeSeparation(12.5);
  drawer.SetLevelSeparation(13.5);
  drawer.SetMinLevelSeparation(-2);
  drawer.SetXMirror(true);
  drawer.SetYMirror(true);  // not stored
  drawer.SetAlignLevels(false);
  drawer.SetAlignParents(apDescendants);
  document.SetBackgroundColor(clInfoBk);
  const std::vector<std::string> lines = SavedLines(document);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.begin() + 7),
            (std::vector<std::string>{
                "    <config method=\"BottomUp\" orientation=\"RightLeft\"/>",
                "    <border top=\"2\" left=\"-1\" bottom=\"4\" right=\"3\"/>",
                "    <stretch X=\"150\" Y=\"2\"/>",
                "    <place node=\"12\" level=\"14\" minlevel=\"-2\" mirror=\"True\" alignlevels=\"False\" "
                "alignparents=\"False\" color=\"FF000018\"/>",
            }));

  const std::string path = PathOf("params.vrt");
  document.SaveVarnTreeFile(path);
  // Terminal alignment, vertical mirroring and the offsets are not stored:
  // reading leaves the reader's own values, so a bottom-up document shows
  // "Align" or "Distribute" by what the reader had.
  for (bool kept : {false, true}) {
    TVarnTreeDocument loaded;
    loaded.TreeDrawer().SetAlignTerminals(kept);
    loaded.TreeDrawer().SetYMirror(kept);
    loaded.TreeDrawer().SetXOffset(kept ? 7 : 0);
    loaded.TreeDrawer().SetYOffset(kept ? -8 : 0);
    loaded.LoadVarnTreeFile(path);
    EXPECT_EQ(DescribeParameters(loaded),
              Fmt("method 0 orientation 3 border -1 2 3 4 stretch 1.5 0.02 sep 12 14 -2 mirror 1 %d levels 0 "
                  "parents 0 terminals %d offset %s background FF000018",
                  int(kept), int(kept), kept ? "7 -8" : "0 0"));
  }
}

TEST_F(TreeFileTest, ReadingIsLenientWhereTheFormatSaysSo) {
  const std::string path =
      WriteDocument("lenient.vrt", {
                                       "<VarnTree>",
                                       "<extra/>",
                                       "<treeformat>",
                                       "<config method=\"Spiral\" orientation=\"Diagonal\" colour=\"x\"/>",
                                       "<place mirror=\"yes\" alignlevels=\"0\" level=\"$20\"/>",
                                       "<unknown node=\"x\"/>",
                                       "</treeformat>",
                                       "<nodeformat class=\"all\" parent=\"ignored\">",
                                       "<up X=\"7\" Xunit=\"pix\" Yunit=\"Pix\"/>",
                                       "<font style=\"bius\" size=\"12\"/>",
                                       "<sparkle level=\"9\"/>",
                                       "</nodeformat>",
                                       "<node class=\"all\"><text>A</text><text>B</text><stray/></node>",
                                       "</VarnTree>",
                                   });
  TVarnTreeDocument document;
  document.TreeDrawer().SetOrientation(oBottomUp);
  document.TreeDrawer().SetDrawMethod(dmQP);
  document.LoadVarnTreeFile(path);
  const TVarnTreeDrawer& drawer = document.TreeDrawer();
  EXPECT_EQ(drawer.DrawMethod(), dmWalker);
  EXPECT_EQ(drawer.Orientation(), oTopDown);
  EXPECT_TRUE(drawer.XMirror());
  EXPECT_FALSE(drawer.AlignLevels());
  EXPECT_EQ(drawer.LevelSeparation(), 32);
  EXPECT_EQ(drawer.NodeSeparation(), 20);  // absent: unchanged
  const TNodeFormat& all = *document.Formats();
  EXPECT_EQ(AnchorText(all.UpAnchor()), "7%,0px");
  EXPECT_EQ(all.Font().Size(), 12);
  EXPECT_TRUE(all.Font().Style().Empty());
  EXPECT_EQ(all.ChildCount(), 0);
  EXPECT_EQ(document.VarnRoot()->FullText(), "A");
  EXPECT_EQ(document.VarnRoot()->NodeFormat(), document.Formats());
}

// A format's nested classes come after its differences when this system
// writes them; read in another order, only the cascading values reach the
// classes already registered below.
TEST_F(TreeFileTest, DifferencesAfterNestedClassesReachThemOnlyWhenTheyCascade) {
  const std::string path = WriteDocument("order.vrt", {
                                                          "<VarnTree>",
                                                          "<nodeformat class=\"all\">",
                                                          "<nodeformat class=\"basic\"/>",
                                                          "<width min=\"1\" max=\"2\"/>",
                                                          "<font name=\"Courier\"/>",
                                                          "<textborder left=\"9\"/>",
                                                          "</nodeformat>",
                                                          "</VarnTree>",
                                                      });
  TVarnTreeDocument document;
  document.LoadVarnTreeFile(path, true, false);
  const TNodeFormat& basic = *document.FindFormat("basic");
  EXPECT_EQ(basic.MaxWidth(), 2);
  EXPECT_EQ(basic.Font().Name(), "Arial");
  EXPECT_EQ(basic.TextBorder().Left, 5);
  EXPECT_EQ(document.Formats()->Font().Name(), "Courier");
  EXPECT_EQ(document.Formats()->TextBorder().Left, 9);
  EXPECT_EQ(document.Formats()->GetChild(0), &basic);
}

// A node's individual format belongs to that node alone: a class name on it
// and classes nested inside it are not taken, so no other node can come to
// share a format that its node frees.
TEST_F(TreeFileTest, AnIndividualFormatHidesNoClassesInside) {
  const std::string path =
      WriteDocument("hidden.vrt", {
                                      "<VarnTree>",
                                      "<node>",
                                      "<text>Owner</text>",
                                      "<nodeformat class=\"hidden\" parent=\"basic\">",
                                      "<nodeformat class=\"inner\"><width max=\"77\"/></nodeformat>",
                                      "<width max=\"88\"/>",
                                      "</nodeformat>",
                                      "<node class=\"inner\"><text>A</text></node>",
                                      "<node class=\"hidden\"><text>B</text></node>",
                                      "</node>",
                                      "</VarnTree>",
                                  });
  TVarnTreeDocument document;
  document.LoadVarnTreeFile(path);
  TVarnNode* owner = document.VarnRoot();
  EXPECT_EQ(owner->NodeClass(), "");
  EXPECT_EQ(owner->NodeFormat()->Parent(), document.FindFormat("basic"));
  EXPECT_EQ(owner->NodeFormat()->MaxWidth(), 88);
  EXPECT_EQ(owner->NodeFormat()->ChildCount(), 0);
  EXPECT_EQ(document.FindFormat("inner"), nullptr);
  EXPECT_EQ(Child(owner, 0)->NodeFormat(), document.Formats());
  EXPECT_EQ(Child(owner, 1)->NodeFormat(), document.Formats());
  document.TreeDrawer().SetRoot(nullptr);
  EXPECT_EQ(document.FindFormat("basic")->ChildCount(), 0);
}

// A document styled elsewhere, with its own look of "basic" and "link" and
// a class the current formats do not have.
const std::vector<std::string> StyleDocument = {
    "<VarnTree>",
    "<treeformat><config orientation=\"LeftRight\"/><place color=\"00FF00\" node=\"33\"/></treeformat>",
    "<nodeformat class=\"all\">",
    "<nodebrush color=\"EEEEEE\" style=\"Solid\"/>",
    "<nodeformat class=\"basic\"><nodebrush color=\"0000FF\" style=\"Cross\"/></nodeformat>",
    "<nodeformat class=\"aggregate\"/>",
    "<nodeformat class=\"link\"><width min=\"70\" max=\"71\"/></nodeformat>",
    "<nodeformat class=\"extra\"/>",
    "</nodeformat>",
    "<node class=\"extra\">",
    "<text>Other</text>",
    "<node><text>Own</text><nodeformat parent=\"basic\"><font name=\"Courier\"/></nodeformat></node>",
    "<node class=\"link\"><text>Linked</text></node>",
    "</node>",
    "<node class=\"basic\"><text>Second top</text></node>",
    "</VarnTree>",
};

class TreeFileModesTest : public TreeFileTest {
 protected:
  // The Car tree with an individual format below "basic" that differs in
  // its font, one without a parent, and a node of "link", whose look is
  // custom.
  void SetUp() override {
    TreeFileTest::SetUp();
    LoadCar(FDocument);
    TVarnNode* price = Child(FDocument.VarnRoot(), 0);
    price->SetNodeClass("");
    price->NodeFormat()->SetFont(TFont("Verdana", 9));
    auto* free = static_cast<TVarnNode*>(FDocument.VarnRoot()->AddChild(new TVarnNode("Free")));
    free->SetNodeClass("");
    free->SetNodeClass("");
    free->NodeFormat()->SetMaxWidth(300);
    auto* link = static_cast<TVarnNode*>(FDocument.VarnRoot()->AddChild(new TVarnNode("Link")));
    link->SetNodeClass("link");
    FDocument.FindFormat("link")->SetLinePen(TPen(clRed, 2));
    FDocument.SetFileModified(true);
    FStylePath = WriteDocument("style.vrt", StyleDocument);
  }

  TVarnTreeDocument FDocument;
  std::string FStylePath;
};

TEST_F(TreeFileModesTest, FormatOnlyRestylesTheTreeWithTheDocumentsClasses) {
  const std::string treeBefore = SavedLines(FDocument, false, true).size() > 0 ? DescribeTree(FDocument) : "";
  FDocument.LoadVarnTreeFile(FStylePath, true, false);

  TVarnTreeDocument style;
  style.LoadVarnTreeFile(FStylePath);
  EXPECT_EQ(DescribeClasses(*FDocument.Formats()), DescribeClasses(*style.Formats()));
  EXPECT_EQ(FDocument.TreeDrawer().Orientation(), oLeftRight);
  EXPECT_EQ(FDocument.TreeDrawer().NodeSeparation(), 33);
  EXPECT_EQ(FDocument.BackgroundColor(), 0x00FF00);

  TVarnNode* car = FDocument.VarnRoot();
  EXPECT_EQ(car->FullText(), "Car");
  EXPECT_EQ(car->NodeFormat(), FDocument.FindFormat("aggregate"));
  // Individual formats take their classes' values from the document.
  TVarnNode* price = Child(car, 0);
  EXPECT_EQ(price->NodeClass(), "");
  EXPECT_EQ(price->NodeFormat()->Parent(), FDocument.FindFormat("basic"));
  EXPECT_EQ(FormatValues(*price->NodeFormat()), FormatValues(*FDocument.FindFormat("basic")));
  TVarnNode* free = Child(car, 1);
  EXPECT_EQ(free->NodeFormat()->Parent(), FDocument.Formats());
  EXPECT_EQ(free->NodeFormat()->MaxWidth(), 150);
  EXPECT_EQ(Child(car, 2)->NodeFormat(), FDocument.FindFormat("link"));
  EXPECT_EQ(Child(car, 2)->LinePen().Color(), clBlack);
  EXPECT_EQ(FDocument.FindFormat("basic")->ChildCount(), 1);
  // The format that had no parent now hangs below "all", is written with
  // parent "all" and is read back below it.
  const std::string restyled = PathOf("restyled.vrt");
  FDocument.SaveVarnTreeFile(restyled);
  TVarnTreeDocument again;
  again.LoadVarnTreeFile(restyled);
  EXPECT_EQ(Describe(again), Describe(FDocument));
  EXPECT_EQ(Child(again.VarnRoot(), 1)->NodeFormat()->Parent(), again.Formats());

  EXPECT_EQ(FDocument.LoadFileName(), ExpandFileName(DataFile("car.vrn")));
  EXPECT_EQ(FDocument.SaveFileName(), "");
  EXPECT_FALSE(FDocument.FileModified());
  EXPECT_NE(treeBefore, DescribeTree(FDocument));
}

TEST_F(TreeFileModesTest, FormatOnlyIntoAnUntitledDocumentTakesItsName) {
  TVarnTreeDocument document;
  document.LoadVarnTreeFile(FStylePath, true, false);
  EXPECT_EQ(document.VarnRoot(), nullptr);
  EXPECT_EQ(document.LoadFileName(), FStylePath);
  EXPECT_EQ(document.SaveFileName(), "");
}

// A top format without a class name is still the class "all": its nodes
// share it, are restyled with the new formats' "all" (neither adopted nor
// freed with the old formats), and it is written back with its name.
TEST_F(TreeFileModesTest, AClasslessTopFormatIsTheClassAll) {
  const std::string path = WriteDocument(
      "classless.vrt", {"<VarnTree><nodeformat/><node class=\"all\"><text>A</text>"
                        "<node><text>B</text><nodeformat parent=\"all\"><font name=\"Courier\"/></nodeformat>"
                        "</node></node></VarnTree>"});
  for (bool ThenWhole : {false, true}) {
    TVarnTreeDocument document;
    document.LoadVarnTreeFile(path);
    EXPECT_EQ(document.Formats()->FormatClass(), "all");
    TVarnNode* a = document.VarnRoot();
    EXPECT_EQ(a->NodeFormat(), document.Formats());
    EXPECT_EQ(Child(a, 0)->NodeFormat()->Parent(), document.Formats());
    if (ThenWhole) {
      document.LoadVarnTreeFile(path, true, false);
    } else {
      document.LoadVarnTreeFile(FStylePath, true, false);
      EXPECT_EQ(a->NodeBrush().Color(), static_cast<TColor>(0xEEEEEE));
    }
    EXPECT_EQ(a->NodeFormat(), document.Formats());
    EXPECT_TRUE(Child(a, 0)->OwnsNodeFormat());
    EXPECT_EQ(Child(a, 0)->NodeFormat()->Parent(), document.Formats());
    const std::vector<std::string> lines = SavedLines(document);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "  <nodeformat class=\"all\">"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "  <node class=\"all\">"), lines.end());
    // Restyled, the node's own format took all its values from "all".
    EXPECT_NE(std::find(lines.begin(), lines.end(), "      <nodeformat parent=\"all\"/>"), lines.end());
  }
}

TEST_F(TreeFileModesTest, TreeOnlyKeepsTheCurrentFormatsAndParameters) {
  const std::string classesBefore = DescribeClasses(*FDocument.Formats());
  const std::string parametersBefore = DescribeParameters(FDocument);
  FDocument.LoadVarnTreeFile(FStylePath, false, true);
  EXPECT_EQ(DescribeClasses(*FDocument.Formats()), classesBefore);
  EXPECT_EQ(DescribeParameters(FDocument), parametersBefore);

  TVarnNode* other = FDocument.VarnRoot();
  EXPECT_EQ(other->FullText(), "Other");
  EXPECT_EQ(other->NodeClass(), "all");  // "extra" is not a current class
  EXPECT_EQ(other->NodeFormat(), FDocument.Formats());
  TVarnNode* own = Child(other, 0);
  EXPECT_EQ(own->NodeFormat()->Parent(), FDocument.FindFormat("basic"));
  EXPECT_EQ(own->NodeFormat()->Font().Name(), "Courier");
  EXPECT_EQ(own->NodeFormat()->NodeBrush().Style(), bsSolid);
  TVarnNode* linked = Child(other, 1);
  EXPECT_EQ(linked->LinePen().Color(), clRed);
  // A further top-level node goes below the first.
  ASSERT_EQ(other->ChildCount(), 3);
  EXPECT_EQ(Child(other, 2)->FullText(), "Second top");

  EXPECT_EQ(FDocument.LoadFileName(), FStylePath);
  EXPECT_EQ(FDocument.SaveFileName(), "");
  EXPECT_FALSE(FDocument.FileModified());
}

TEST_F(TreeFileModesTest, WholeDocumentTakesEverythingAndBothNames) {
  FDocument.LoadVarnTreeFile(FStylePath);
  EXPECT_EQ(FDocument.VarnRoot()->NodeClass(), "extra");
  TVarnNode* own = Child(FDocument.VarnRoot(), 0);
  EXPECT_EQ(own->NodeFormat()->NodeBrush().Style(), bsCross);
  EXPECT_EQ(own->NodeFormat()->Font().Name(), "Courier");
  EXPECT_EQ(FDocument.LoadFileName(), FStylePath);
  EXPECT_EQ(FDocument.SaveFileName(), FStylePath);
  EXPECT_FALSE(FDocument.FileModified());
}

TEST_F(TreeFileModesTest, AWholeDocumentWithoutTreeKeepsTheTree) {
  TVarnTreeDocument style;
  style.LoadVarnTreeFile(FStylePath);
  const std::string path = PathOf("formats.vrt");
  style.SaveVarnTreeFile(path, true, false);
  const std::string texts = "Car Price Free Link";
  FDocument.LoadVarnTreeFile(path);
  EXPECT_EQ(DescribeClasses(*FDocument.Formats()), DescribeClasses(*style.Formats()));
  EXPECT_EQ(DescribeParameters(FDocument), DescribeParameters(style));
  ASSERT_EQ(FDocument.VarnRoot()->ChildCount(), 3);
  EXPECT_EQ(FDocument.VarnRoot()->FullText() + " " + Child(FDocument.VarnRoot(), 0)->FullText() + " " +
                Child(FDocument.VarnRoot(), 1)->FullText() + " " + Child(FDocument.VarnRoot(), 2)->FullText(),
            texts);
  EXPECT_EQ(FDocument.SaveFileName(), path);
}

// The style document with a colour that does not convert in its very last
// node: every stage before it would read fine.
TEST_F(TreeFileModesTest, ABrokenDocumentLeavesTheDocumentUntouched) {
  std::vector<std::string> broken = StyleDocument;
  broken[broken.size() - 2] =
      "<node><text>Last</text><nodeformat><nodebrush color=\"12345G\"/></nodeformat></node>";
  const std::string path = WriteDocument("broken.vrt", broken);
  FDocument.SetSaveFileName("/somewhere/saved.vrt");
  FDocument.SetBackgroundColor(clYellow);
  const std::string before = FullState(FDocument);
  // Formats only do not read the tree, so they meet no error there.
  for (auto [format, tree] : {std::pair{true, true}, {false, true}}) {
    EXPECT_THROW_MSG(FDocument.LoadVarnTreeFile(path, format, tree), EConvertError,
                     "'$12345G' is not a valid integer value");
    EXPECT_EQ(FullState(FDocument), before) << format << tree;
  }
  // A bad value among the tree parameters, read first, changes nothing too.
  broken = StyleDocument;
  broken[1] = "<treeformat><config orientation=\"LeftRight\"/><stretch X=\"wide\"/></treeformat>";
  EXPECT_THROW_MSG(FDocument.LoadVarnTreeFile(WriteDocument("broken2.vrt", broken)), EConvertError,
                   "'wide' is not a valid integer value");
  EXPECT_EQ(FullState(FDocument), before);
}

TEST_F(TreeFileModesTest, FilesThatAreNoTreeDocumentsChangeNothing) {
  const std::string before = FullState(FDocument);
  const std::string model = DataFile("car.vrn");
  const std::string empty = WriteDocument("empty.vrt", {});
  const std::string missing = PathOf("missing.vrt");
  const std::string bad = WriteDocument("bad.vrt", {"<VarnTree>", "<node>", "</VarnTree>"});
  // Read whole, for the formats only and for the tree only.
  for (auto [format, tree] : {std::pair{true, true}, {true, false}, {false, true}}) {
    SCOPED_TRACE(std::to_string(format) + std::to_string(tree));
    EXPECT_THROW_MSG(FDocument.LoadVarnTreeFile(model, format, tree), EVarnError,
                     "Unsupported file format: \"" + model + "\"");
    EXPECT_THROW_MSG(FDocument.LoadVarnTreeFile(empty, format, tree), EVarnError,
                     "Unsupported file format: \"" + empty + "\"");
    EXPECT_THROW_MSG(FDocument.LoadVarnTreeFile(missing, format, tree), EXmlFileError,
                     "Cannot open file \"" + missing + "\". No such file or directory");
    EXPECT_THROW_MSG(
        FDocument.LoadVarnTreeFile(bad, format, tree), EXmlError,
        "Error reading XML around line 5: Expecting terminating tag \"</node>\" instead of \"</VarnTree>\"");
    EXPECT_EQ(FullState(FDocument), before);
  }
  const std::string bool_ =
      WriteDocument("bool.vrt", {"<VarnTree><treeformat><place mirror=\"maybe\"/></treeformat></VarnTree>"});
  EXPECT_THROW_MSG(FDocument.LoadVarnTreeFile(bool_), EConvertError,
                   "\"maybe\" is not a valid Boolean value");
  const std::string float_ =
      WriteDocument("float.vrt", {"<VarnTree><nodeformat><text line=\"1,5x\"/></nodeformat></VarnTree>"});
  EXPECT_THROW_MSG(FDocument.LoadVarnTreeFile(float_), EConvertError,
                   "'1,5x' is not a valid floating point value");
  EXPECT_EQ(FullState(FDocument), before);
}

TEST_F(TreeFileTest, AFailedSaveKeepsThePreviousFileAndTheNames) {
  TVarnTreeDocument document;
  LoadCar(document);
  for (int i = 0; i < 300; ++i) document.VarnRoot()->AddChild(new TVarnNode("A node with a longer text"));
  const std::string path = PathOf("keep.vrt");
  const std::string old = CrLfText(CarDocument);
  WriteFile("keep.vrt", old);
  document.SetFileModified(true);

  std::string error;
  {
    TFileSizeLimit full(4096);
    ASSERT_TRUE(full.Active());
    try {
      document.SaveTreeDocument(path);
    } catch (const EXmlFileError& e) {
      error = e.what();
    }
  }

  EXPECT_EQ(error, "Cannot write file \"" + path + "\". File too large");
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_EQ(document.SaveFileName(), "");
  EXPECT_TRUE(document.FileModified());

  document.SaveTreeDocument(path);
  EXPECT_EQ(document.LoadFileName(), path);
  EXPECT_EQ(document.SaveFileName(), path);
  EXPECT_FALSE(document.FileModified());
}

}  // namespace
}  // namespace vt::test

namespace vt::test {
namespace {

// A chain of Depth nodes below the document root, each of class "basic".
void MakeChain(TVarnTreeDocument& ADocument, int Depth) {
  TTreeDrawNode* node = new TVarnNode("n");
  ADocument.TreeDrawer().SetRoot(node);
  static_cast<TVarnNode*>(node)->SetNodeClass("basic");
  for (int i = 1; i < Depth; ++i) {
    node = node->AddChild(new TVarnNode("n"));
    static_cast<TVarnNode*>(node)->SetNodeClass("basic");
  }
}

// The deepest tree that can be read back is saved; one level more would
// give a file that no reader takes, so it is refused and the old file stays.
TEST_F(TreeFileTest, TreesTooDeepToBeReadBackAreNotSaved) {
  TVarnTreeDocument document;
  const std::string path = PathOf("deep.vrt");
  MakeChain(document, XmlMaxDepth - 2);  // "VarnTree", the nodes, the text of the last
  document.SaveVarnTreeFile(path);
  TVarnTreeDocument loaded;
  loaded.LoadVarnTreeFile(path);
  EXPECT_EQ(DescribeTree(loaded), DescribeTree(document));

  const std::string saved = ReadBytes(path);
  MakeChain(document, XmlMaxDepth - 1);
  EXPECT_THROW_MSG(document.SaveTreeDocument(path), EDocumentError,
                   "The tree is nested too deeply to be saved (more than 1000 levels)");
  EXPECT_EQ(ReadBytes(path), saved);
  EXPECT_EQ(document.SaveFileName(), "");
}

}  // namespace
}  // namespace vt::test
