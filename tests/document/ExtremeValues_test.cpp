// Tree documents with values at the ends of their ranges: every placement in
// every orientation draws a picture that stays within the range the outputs
// take (the sanitizer build checks the arithmetic on the way there), and a
// line spacing that is no finite number is refused as the conversion's
// error.
#include <cmath>
#include <string>

#include "DocumentTestUtil.h"
#include "graphics/EmfWriter.h"
#include "graphics/SvgWriter.h"

namespace vt::test {
namespace {

constexpr const char* Big = "2147483647";
constexpr const char* Small = "-2147483648";

std::string Replace(std::string Text, const std::string& What, const std::string& By) {
  for (size_t at = Text.find(What); at != std::string::npos; at = Text.find(What, at + By.size()))
    Text.replace(at, What.size(), By);
  return Text;
}

// A small tree with a node of each kind, the tree parameters and the "all"
// format given.
std::vector<std::string> ExtremeDocument(const std::string& TreeFormat, const std::string& Format) {
  return {"<VarnTree>",
          "<treeformat>" + TreeFormat + "</treeformat>",
          "<nodeformat class=\"all\">" + Format +
              "<nodeformat class=\"basic\"/><nodeformat class=\"aggregate\"/></nodeformat>",
          "<node class=\"aggregate\"><text>Root node text</text>",
          "<node class=\"basic\"><text>Left child with a long text</text></node>",
          "<node><text>Own</text><nodeformat parent=\"basic\"><font name=\"Arial\" size=\"12\"/></nodeformat></node>",
          "<node class=\"aggregate\"><text>Mid</text><node class=\"basic\"><text>Leaf</text></node></node>",
          "</node>",
          "</VarnTree>"};
}

struct TExtremeCase {
  const char* Name;
  std::string TreeFormat;  // V stands for the extreme value
  std::string Format;
};

const TExtremeCase ExtremeCases[] = {
    {"borders", "<border top=\"V\" left=\"V\" bottom=\"V\" right=\"V\"/>", ""},
    {"separations", "<place node=\"V\" level=\"V\" minlevel=\"V\"/>", ""},
    {"stretch", "<stretch X=\"V\" Y=\"V\"/>", ""},
    {"sizes", "", "<width min=\"V\" max=\"V\"/><height min=\"V\" max=\"V\"/>"},
    {"anchors", "", "<up X=\"V\" Xunit=\"Pix\" Y=\"V\" Yunit=\"Perc\"/><down X=\"V\" Xunit=\"Perc\" Y=\"V\" Yunit=\"Pix\"/>"},
    {"rounding", "", "<node shape=\"RoundRect\" align=\"LeftJustify\"/><round X=\"V\" Xunit=\"Pix\" Y=\"V\" Yunit=\"Perc\"/>"},
    {"font", "", "<font name=\"Arial\" size=\"V\" color=\"000000\" style=\"BIU\"/>"},
    {"pens", "", "<linepen color=\"000000\" width=\"V\" style=\"Dash\"/><nodepen color=\"000000\" width=\"V\"/>"},
    {"text borders", "", "<textborder top=\"V\" left=\"V\" bottom=\"V\" right=\"V\"/>"},
    {"trim", "", "<text wrap=\"True\" clip=\"True\" trim=\"V\" line=\"1\"/>"},
};

bool InRange(std::int64_t V) {
  return V >= -MaxPictureCoord && V <= MaxPictureCoord;
}

class ExtremeValuesTest : public TTempDirTest {
 protected:
  // Draws the document with every method in every orientation and checks
  // what comes out.
  void DrawEveryWay(TVarnTreeDocument& ADocument, const std::string& What) {
    struct TMethod {
      TTreeDrawMethod Method;
      bool AlignTerminals;
    };
    for (TMethod m : {TMethod{dmWalker, false}, {dmBottomUp, false}, {dmBottomUp, true}, {dmQP, false}}) {
      for (TTreeOrientation o : {oTopDown, oLeftRight, oBottomUp, oRightLeft}) {
        SCOPED_TRACE(What + ", method " + std::to_string(m.Method) + (m.AlignTerminals ? " aligned" : "") +
                     ", orientation " + std::to_string(o));
        ADocument.TreeDrawer().SetDrawMethod(m.Method);
        ADocument.TreeDrawer().SetAlignTerminals(m.AlignTerminals);
        ADocument.TreeDrawer().SetOrientation(o);
        ADocument.DrawTree();
        ASSERT_TRUE(ADocument.HasPicture());
        // Rounding would hide a position that is no number.
        std::vector<const TTreeDrawNode*> nodes{ADocument.VarnRoot()};
        while (!nodes.empty()) {
          const TTreeDrawNode* node = nodes.back();
          nodes.pop_back();
          EXPECT_TRUE(std::isfinite(node->FltX()) && std::isfinite(node->FltY())) << node->Text();
          for (int i = 0; i < node->Count(); ++i) nodes.push_back(node->Item(i));
        }
        const TMetafile& picture = *ADocument.MetaFile();
        EXPECT_TRUE(InRange(picture.Width()) && InRange(picture.Height()));
        for (const TMetaRecord& r : picture.Records()) {
          ASSERT_TRUE(InRange(r.Rect.Left) && InRange(r.Rect.Top) && InRange(r.Rect.Right) &&
                      InRange(r.Rect.Bottom) && InRange(r.Point.X) && InRange(r.Point.Y) &&
                      InRange(r.Corner.X) && InRange(r.Corner.Y))
              << "record " << static_cast<int>(r.Op);
        }
        for (int i = 0; i < picture.FontCount(); ++i)
          EXPECT_LE(std::abs(picture.Fonts(i).Height()), MaxFontHeight);
        EXPECT_FALSE(EmfBytes(picture, FMeasurer).empty());
        const std::string svg = SvgDocument(picture, FMeasurer);
        EXPECT_EQ(svg.find("nan"), std::string::npos);
        EXPECT_EQ(svg.find("inf"), std::string::npos);
      }
    }
  }

  TFakeMeasurer FMeasurer;
};

TEST_F(ExtremeValuesTest, ValuesAtTheEndsOfTheirRangesDrawWithinThePicturesRange) {
  for (const TExtremeCase& c : ExtremeCases) {
    for (const char* v : {Big, Small}) {
      const std::string what = std::string(c.Name) + " " + v;
      TVarnTreeDocument document(&FMeasurer);
      document.LoadVarnTreeFile(
          WriteDocument("extreme.vrt", ExtremeDocument(Replace(c.TreeFormat, "V", v), Replace(c.Format, "V", v))));
      DrawEveryWay(document, what);
    }
  }
}

// Maximal borders are kept, as far as a picture reaches, rather than lost
// to a sum that wraps around.
TEST_F(ExtremeValuesTest, MaximalBordersGiveTheLargestPicture) {
  TVarnTreeDocument document(&FMeasurer);
  document.LoadVarnTreeFile(WriteDocument(
      "borders.vrt", ExtremeDocument(Replace(ExtremeCases[0].TreeFormat, "V", Big), "")));
  document.DrawTree();
  EXPECT_EQ(document.MetaFile()->Width(), MaxPictureCoord);
  EXPECT_EQ(document.MetaFile()->Height(), MaxPictureCoord);
}

TEST_F(ExtremeValuesTest, ALineSpacingThatIsNoFiniteNumberIsRefused) {
  for (const char* text : {"NAN", "nan", "INF", "-INF", "+inf"}) {
    TVarnTreeDocument document(&FMeasurer);
    const std::string path = WriteDocument(
        "spacing.vrt",
        ExtremeDocument("", std::string("<text wrap=\"True\" clip=\"False\" trim=\"-1\" line=\"") + text + "\"/>"));
    EXPECT_THROW_MSG(document.LoadVarnTreeFile(path), EConvertError,
                     std::string("'") + text + "' is not a valid floating point value");
  }
  // Huge spacings are numbers: the picture holds them to its range.
  for (const char* text : {"1E300", "-1E300", "1.7976931348623157E308"}) {
    TVarnTreeDocument document(&FMeasurer);
    document.LoadVarnTreeFile(WriteDocument(
        "spacing.vrt",
        ExtremeDocument("", std::string("<text wrap=\"True\" clip=\"False\" trim=\"-1\" line=\"") + text + "\"/>")));
    DrawEveryWay(document, std::string("line spacing ") + text);
  }
}

}  // namespace
}  // namespace vt::test
