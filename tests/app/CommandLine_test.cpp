#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "../graphics/EmfWalker.h"
#include "document/Document.h"
#include "graphics/EmfWriter.h"
#include "graphics/qt/QtMeasurer.h"
#include "picture/TreeRender.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

const std::string DataDir = VT_TEST_DATA_DIR;
const std::string Bicycle = DataDir + "/bicycle.vrn";
const std::vector<std::string> BicycleTexts = {"Bicycle", "Price",  "Ride",
                                               "Comfort", "Weight", "Čas dostave"};

std::vector<std::uint8_t> ReadBytes(const fs::path& P) {
  std::ifstream in(P, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const fs::path& P) {
  const std::vector<std::uint8_t> bytes = ReadBytes(P);
  return std::string(bytes.begin(), bytes.end());
}

std::uint32_t U32At(const std::vector<std::uint8_t>& B, std::size_t At) {
  return B[At] | (B[At + 1] << 8) | (B[At + 2] << 16) | (std::uint32_t(B[At + 3]) << 24);
}

// A fresh folder per test, removed afterwards.
class CommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() /
          ("vt-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }

  std::string Path(const std::string& Name) const { return (Dir / Name).string(); }

  int Run(const std::vector<std::string>& Args) {
    std::ostringstream out, err;
    const int code = RunCommandLine(Args, out, err);
    Out = out.str();
    Err = err.str();
    return code;
  }

  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(Dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path Dir;
  std::string Out, Err;
};

TEST(CommandLineNamesTest, PlacementsAndOrientationsByName) {
  EXPECT_EQ(PlacementOfName("Walker"), TPlacementChoice::Walker);
  EXPECT_EQ(PlacementOfName("distribute"), TPlacementChoice::Distribute);
  EXPECT_EQ(PlacementOfName("BottomUp"), TPlacementChoice::Distribute);
  EXPECT_EQ(PlacementOfName("ALIGN"), TPlacementChoice::Align);
  EXPECT_EQ(PlacementOfName("QP"), TPlacementChoice::QP);
  EXPECT_EQ(PlacementOfName("Walkers"), std::nullopt);
  EXPECT_EQ(OrientationOfName("TopDown"), oTopDown);
  EXPECT_EQ(OrientationOfName("Left-Right"), oLeftRight);
  EXPECT_EQ(OrientationOfName("bottomup"), oBottomUp);
  EXPECT_EQ(OrientationOfName("Right-Left"), oRightLeft);
  EXPECT_EQ(OrientationOfName("Up"), std::nullopt);

  struct Case {
    TPlacementChoice Choice;
    TTreeDrawMethod Method;
    bool AlignTerminals;
  };
  const Case cases[] = {{TPlacementChoice::Walker, dmWalker, false},
                        {TPlacementChoice::Distribute, dmBottomUp, false},
                        {TPlacementChoice::Align, dmBottomUp, true},
                        {TPlacementChoice::QP, dmQP, false}};
  for (const Case& c : cases) {
    TTreeDrawer drawer;
    drawer.SetAlignTerminals(!c.AlignTerminals);
    ApplyPlacement(drawer, c.Choice);
    EXPECT_EQ(drawer.DrawMethod(), c.Method);
    EXPECT_EQ(drawer.AlignTerminals(), c.AlignTerminals);
  }
}

TEST(CommandLineParseTest, OptionsInBothSpellings) {
  const TCommandLineOptions o =
      ParseCommandLine({"--method=Align", "m.VRN", "--export", "a.png", "--export=b.EMF", "--orientation",
                        "Left-Right", "--formats", "s.vrt", "--scale=250"});
  EXPECT_EQ(o.FileName, "m.VRN");
  EXPECT_EQ(o.Exports, (std::vector<std::string>{"a.png", "b.EMF"}));
  EXPECT_EQ(o.Method, TPlacementChoice::Align);
  EXPECT_EQ(o.Orientation, oLeftRight);
  EXPECT_EQ(o.FormatsFile, "s.vrt");
  EXPECT_EQ(o.ScalePercent, 250);
  EXPECT_EQ(ParseCommandLine({"--", "-odd.vrn"}).FileName, "-odd.vrn");
  EXPECT_TRUE(ParseCommandLine({"--help"}).Help);
  EXPECT_TRUE(ParseCommandLine({"--version", "--export", "a.png"}).Version);
}

TEST_F(CommandLineTest, BadUsageExitsWithTwoAndNamesTheProblem) {
  struct Case {
    std::vector<std::string> Args;
    std::string Message;
  };
  const Case cases[] = {
      {{"m.vrn", "--zoom", "2"}, "unknown option \"--zoom\""},
      {{"m.vrn", "--export"}, "option --export needs a value"},
      {{"m.vrn", "--export="}, "option --export needs a value"},
      {{"m.vrn", "--help=yes"}, "option --help takes no value"},
      {{"m.vrn", "--method", "Radial", "--export", "a.png"},
       "unknown placement method \"Radial\" (expected Walker, Distribute, Align or QP)"},
      {{"m.vrn", "--orientation", "Up"},
       "unknown orientation \"Up\" (expected TopDown, LeftRight, BottomUp or RightLeft)"},
      {{"m.vrn", "--scale", "0"}, "invalid scale \"0\" (expected a whole percentage from 1 to 10000)"},
      {{"m.vrn", "--scale", "12x"}, "invalid scale \"12x\" (expected a whole percentage from 1 to 10000)"},
      {{"m.vrn", "--scale", "10001"},
       "invalid scale \"10001\" (expected a whole percentage from 1 to 10000)"},
      {{"m.vrn", "--export", "a.gif"},
       "cannot tell the format of \"a.gif\" (expected .emf, .bmp, .png, .svg, .pdf or .vrt)"},
      {{"m.vrn", "--export", "picture"},
       "cannot tell the format of \"picture\" (expected .emf, .bmp, .png, .svg, .pdf or .vrt)"},
      {{"a.vrn", "b.vrn"}, "only one FILE can be opened, but \"b.vrn\" follows \"a.vrn\""},
      {{"--export", "a.png"}, "--export needs a FILE to draw"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.Args), ExitUsage) << c.Message;
    EXPECT_EQ(Err, "varntree: " + c.Message + "\nTry 'varntree --help' for more information.\n");
    EXPECT_EQ(Out, "");
  }
  // A bad output name stops the command before anything is written.
  EXPECT_EQ(Run({Bicycle, "--export", Path("a.png"), "--export", Path("a.jpg")}), ExitUsage);
  EXPECT_TRUE(Files().empty());
}

TEST_F(CommandLineTest, HelpVersionAndTheMissingWindow) {
  EXPECT_EQ(Run({"--help"}), ExitOk);
  EXPECT_EQ(Out, SUsageText);
  EXPECT_EQ(Err, "");
  EXPECT_EQ(Run({"--version"}), ExitOk);
  EXPECT_EQ(Out, "VarnTree 0.94\n");
  EXPECT_EQ(Run({}), ExitOk);
  EXPECT_EQ(Out,
            "The VarnTree window is not part of this build yet; use --export OUT to write pictures (see "
            "--help).\n");
  EXPECT_EQ(Run({"car.vrn"}), ExitOk);
  EXPECT_EQ(
      Out,
      "The VarnTree window is not part of this build yet, so \"car.vrn\" is not shown; use --export OUT to "
      "write it (see --help).\n");
}

// What the tree of bicycle.vrn draws to, for comparing the outputs with.
std::unique_ptr<TMetafile> ExpectedPicture(const TTextMeasurer& Measurer) {
  TVarnTreeDocument document(&Measurer);
  document.LoadVarnFile(Bicycle);
  return RenderTree(document.TreeDrawer(), Measurer, document.LoadFileName(), document.BackgroundColor());
}

TEST_F(CommandLineTest, ExportsEveryFormatFromOnePicture) {
  ASSERT_EQ(Run({Bicycle, "--export", Path("b.emf"), "--export", Path("b.bmp"), "--export", Path("b.png"),
                 "--export", Path("b.svg"), "--export", Path("b.pdf"), "--export", Path("b.vrt")}),
            ExitOk)
      << Err;
  EXPECT_EQ(Err, "");
  EXPECT_EQ(Out, "");
  EXPECT_EQ(Files(), (std::vector<std::string>{"b.bmp", "b.emf", "b.pdf", "b.png", "b.svg", "b.vrt"}));

  TQtMeasurer measurer;
  const auto picture = ExpectedPicture(measurer);
  ASSERT_TRUE(picture);
  const int w = picture->Width(), h = picture->Height();

  // The metafile: sound structure, the picture's size, every node's text.
  const std::vector<std::uint8_t> emf = ReadBytes(Dir / "b.emf");
  EXPECT_EQ(emf, EmfBytes(*picture, measurer));
  const TEmfFile walked = WalkEmf(emf);
  EXPECT_TRUE(walked.Problems.empty()) << walked.Problems.front();
  EXPECT_EQ(walked.Header().Rect(8), (std::vector<std::int32_t>{0, 0, w - 1, h - 1}));
  std::vector<std::u16string> texts;
  for (const TEmfRecord& r : walked.OfType(emr::ExtTextOutW)) texts.push_back(r.Utf16(r.U32(48), r.U32(44)));
  std::vector<std::u16string> expected;
  for (const std::string& t : BicycleTexts) expected.push_back(Utf8ToUtf16(t));
  EXPECT_EQ(texts, expected);
  // Every node box is a closed path, never a rectangle record.
  EXPECT_EQ(walked.OfType(emr::StrokeAndFillPath).size(), BicycleTexts.size());
  EXPECT_TRUE(walked.OfType(emr::Rectangle).empty());

  // The bitmap: the picture's size at 24 bits per pixel.
  const std::vector<std::uint8_t> bmp = ReadBytes(Dir / "b.bmp");
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(static_cast<int>(U32At(bmp, 18)), w);
  EXPECT_EQ(static_cast<int>(U32At(bmp, 22)), h);
  EXPECT_EQ(bmp[28], 24);

  const std::vector<std::uint8_t> png = ReadBytes(Dir / "b.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
  const auto be32 = [&](std::size_t at) {
    return static_cast<int>((png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3]);
  };
  EXPECT_EQ(be32(16), w);
  EXPECT_EQ(be32(20), h);

  const std::string svg = ReadText(Dir / "b.svg");
  for (const std::string& t : BicycleTexts) EXPECT_NE(svg.find(">" + t + "<"), std::string::npos) << t;
  EXPECT_EQ(ReadText(Dir / "b.pdf").substr(0, 5), "%PDF-");

  // Opened again as a tree document, and as a model named in capitals, the
  // file draws the same picture (only the description names another file).
  const auto body = [](const std::vector<std::uint8_t>& Bytes) {
    return std::vector<std::uint8_t>(Bytes.begin() + U32At(Bytes, 4), Bytes.end());
  };
  fs::copy_file(Bicycle, Dir / "BIKE.VRN");
  for (const std::string& file : {Path("b.vrt"), Path("BIKE.VRN")}) {
    ASSERT_EQ(Run({file, "--export", Path("again.emf")}), ExitOk) << Err;
    EXPECT_EQ(body(ReadBytes(Dir / "again.emf")), body(emf)) << file;
  }

  // The tree document reads back as the same tree.
  TVarnTreeDocument reread(&measurer);
  reread.LoadVarnTreeFile(Path("b.vrt"));
  const auto again = RenderTree(reread.TreeDrawer(), measurer, "", clWhite);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->Records(), picture->Records());
}

TEST_F(CommandLineTest, MethodOrientationFormatsAndScaleTakeEffect) {
  // A style: ellipses, and the tree parameters Right-Left.
  {
    TQtMeasurer measurer;
    TVarnTreeDocument style(&measurer);
    style.LoadVarnFile(Bicycle);
    style.Formats()->SetShape(stEllipse);
    style.TreeDrawer().SetOrientation(oRightLeft);
    style.SaveVarnTreeFile(Path("style.vrt"), true, false);
  }
  ASSERT_EQ(
      Run({Bicycle, "--formats", Path("style.vrt"), "--export", Path("s.emf"), "--export", Path("s.vrt")}),
      ExitOk)
      << Err;
  const TEmfFile styled = WalkEmf(ReadBytes(Dir / "s.emf"));
  // Ellipses: a path of four quarters each.
  EXPECT_EQ(styled.OfType(emr::StrokeAndFillPath).size(), BicycleTexts.size());
  EXPECT_EQ(styled.OfType(emr::PolyBezierTo16).size(), 4 * BicycleTexts.size());
  EXPECT_NE(ReadText(Dir / "s.vrt").find("orientation=\"RightLeft\""), std::string::npos);

  // The options win over the style's parameters.
  ASSERT_EQ(Run({Bicycle, "--formats", Path("style.vrt"), "--method", "Align", "--orientation", "Bottom-Up",
                 "--export", Path("m.vrt"), "--export", Path("m.png"), "--scale", "200"}),
            ExitOk)
      << Err;
  TQtMeasurer measurer;
  TVarnTreeDocument document(&measurer);
  document.LoadVarnTreeFile(Path("m.vrt"));
  EXPECT_EQ(document.TreeDrawer().Orientation(), oBottomUp);
  EXPECT_EQ(document.TreeDrawer().DrawMethod(), dmBottomUp);
  EXPECT_EQ(document.Formats()->Shape(), stEllipse);
  // Tree documents keep no terminal alignment: Align is applied again.
  ApplyPlacement(document.TreeDrawer(), TPlacementChoice::Align);
  const auto picture =
      RenderTree(document.TreeDrawer(), measurer, document.LoadFileName(), document.BackgroundColor());
  const std::vector<std::uint8_t> png = ReadBytes(Dir / "m.png");
  const auto be32 = [&](std::size_t at) {
    return static_cast<int>((png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3]);
  };
  EXPECT_EQ(be32(16), 2 * picture->Width());
  EXPECT_EQ(be32(20), 2 * picture->Height());
}

TEST_F(CommandLineTest, ErrorsExitWithOneAndKeepWhatIsSound) {
  // A raster beyond the limit is refused; the vector picture before it was
  // written, and no half raster is left.
  const auto picture = ExpectedPicture(TQtMeasurer());
  const int w = RoundHalfEven(picture->Width() * 100.0), h = RoundHalfEven(picture->Height() * 100.0);
  ASSERT_GT(static_cast<long long>(w) * h, 100'000'000LL);
  EXPECT_EQ(Run({Bicycle, "--scale", "10000", "--export", Path("big.svg"), "--export", Path("big.bmp")}),
            ExitError);
  EXPECT_EQ(Err, Fmt("varntree: Cannot create a bitmap of %d x %d pixels\n", w, h));
  EXPECT_EQ(Files(), (std::vector<std::string>{"big.svg"}));

  // A file that cannot be read.
  const std::string missing = Path("missing.vrn");
  EXPECT_EQ(Run({missing, "--export", Path("m.png")}), ExitError);
  EXPECT_EQ(Err.rfind("varntree: ", 0), 0u) << Err;
  EXPECT_NE(Err.find("missing.vrn"), std::string::npos) << Err;
  EXPECT_EQ(Err.back(), '\n');

  // A tree document with formats only has no tree to draw.
  {
    TQtMeasurer measurer;
    TVarnTreeDocument style(&measurer);
    style.SaveVarnTreeFile(Path("style.vrt"), true, false);
  }
  EXPECT_EQ(Run({Path("style.vrt"), "--export", Path("s.png")}), ExitError);
  EXPECT_EQ(Err, "varntree: \"" + Path("style.vrt") + "\" holds no tree to draw, so \"" + Path("s.png") +
                     "\" cannot be written\n");
  fs::remove(Dir / "style.vrt");

  // A folder that does not exist.
  const std::string nowhere = Path("no/such/dir/a.png");
  EXPECT_EQ(Run({Bicycle, "--export", nowhere}), ExitError);
  EXPECT_EQ(Err.rfind("varntree: Cannot create file \"" + nowhere + "\".", 0), 0u) << Err;
  EXPECT_EQ(Files(), (std::vector<std::string>{"big.svg"}));
}

// Hostile tree documents end in a message or a picture, never in a crash:
// a top format without a class restyled by another document, and a 10 MB
// unterminated tag, quoted only in part.
TEST_F(CommandLineTest, HostileDocumentsEndInAMessageOrAPicture) {
  const std::string classless = Path("classless.vrt");
  std::ofstream(classless) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<VarnTree><nodeformat/><node class=\"all\"><text>A</text></node></VarnTree>\n";
  {
    TQtMeasurer measurer;
    TVarnTreeDocument style(&measurer);
    style.SaveVarnTreeFile(Path("style.vrt"), true, false);
  }
  EXPECT_EQ(Run({classless, "--formats", Path("style.vrt"), "--export", Path("a.svg"), "--export", Path("a.vrt")}),
            ExitOk)
      << Err;
  EXPECT_NE(ReadText(Path("a.vrt")).find("<node class=\"all\">"), std::string::npos);
  EXPECT_EQ(Run({Path("a.vrt"), "--formats", classless, "--export", Path("b.svg")}), ExitOk) << Err;

  const std::string unterminated = Path("unterminated.vrt");
  std::ofstream(unterminated) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<VarnTree x=\""
                              << std::string(10 << 20, 'x');
  EXPECT_EQ(Run({unterminated, "--export", Path("u.svg")}), ExitError);
  EXPECT_EQ(Err, "varntree: Error reading XML around line 3: Unterminated tag \"<VarnTree x=\"" +
                     std::string(67, 'x') + "\u2026\"\n");
}

// Only ".vrn", in any letter case, names a model; any other name is read as
// a tree document, by its full path however it was given.
TEST_F(CommandLineTest, AnyOtherExtensionIsReadAsATreeDocument) {
  fs::copy_file(Bicycle, Dir / "bike.txt");
  ASSERT_EQ(Run({Bicycle, "--export", Path("tree.xml.vrt")}), ExitOk) << Err;
  fs::rename(Dir / "tree.xml.vrt", Dir / "tree.xml");
  struct Case {
    std::string File;
    int Code;
    std::string Err;
  };
  const Case cases[] = {
      {"bike.txt", ExitError, "varntree: Unsupported file format: \"" + Path("bike.txt") + "\"\n"},
      {"tree.xml", ExitOk, ""},
  };
  for (const Case& c : cases) {
    const std::string relative = fs::relative(Dir / c.File).string();
    ASSERT_NE(relative, Path(c.File));
    EXPECT_EQ(Run({relative, "--export", Path(c.File + ".svg")}), c.Code) << c.File;
    EXPECT_EQ(Err, c.Err) << c.File;
    EXPECT_EQ(fs::exists(Dir / (c.File + ".svg")), c.Code == ExitOk) << c.File;
  }
  // A style named relatively is read by its full path too.
  const std::string style = fs::relative(Dir / "bike.txt").string();
  EXPECT_EQ(Run({Bicycle, "--formats", style, "--export", Path("s.svg")}), ExitError);
  EXPECT_EQ(Err, "varntree: Unsupported file format: \"" + Path("bike.txt") + "\"\n");
}

// Every placement in every orientation writes a sound metafile; the half
// turn keeps the picture's size, and so does the quarter turn the other way.
TEST_F(CommandLineTest, EveryMethodInEveryOrientation) {
  const std::string model = std::string(VT_SOURCE_DIR) + "/examples/holiday.vrn";
  for (const char* method : {"Walker", "Distribute", "Align", "QP"}) {
    std::vector<std::vector<std::int32_t>> bounds;
    for (const char* orientation : {"TopDown", "BottomUp", "LeftRight", "RightLeft"}) {
      const std::string out = Path(std::string(method) + orientation + ".emf");
      ASSERT_EQ(Run({model, "--method", method, "--orientation", orientation, "--export", out}), ExitOk)
          << Err;
      const std::vector<std::uint8_t> bytes = ReadBytes(out);
      const TEmfFile emf = WalkEmf(bytes);
      EXPECT_TRUE(emf.Problems.empty()) << method << " " << orientation << ": " << emf.Problems.front();
      bounds.push_back(emf.Header().Rect(8));
    }
    EXPECT_EQ(bounds[0], bounds[1]) << method;
    EXPECT_EQ(bounds[2], bounds[3]) << method;
    EXPECT_NE(bounds[0], bounds[2]) << method;
  }
}

// The built program, without a display, as `make run` uses it.
int RunProgram(const std::string& Args) {
  const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" VT_VARNTREE_EXE "' " +
                              Args + " >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(CommandLineTest, TheProgramRunsWithoutADisplay) {
  EXPECT_EQ(RunProgram("--version"), ExitOk);
  EXPECT_EQ(RunProgram("--nonsense"), ExitUsage);
  EXPECT_EQ(RunProgram("'" + Path("missing.vrn") + "' --export '" + Path("a.png") + "'"), ExitError);
  EXPECT_EQ(RunProgram("'" + Bicycle + "' --export '" + Path("a.png") + "' --export '" + Path("a.emf") + "'"),
            ExitOk);
  EXPECT_EQ(Files(), (std::vector<std::string>{"a.emf", "a.png"}));
}

// An independent reader: emf2svg converts every example's metafile, and the
// result holds every node's text and a shape per node.
TEST_F(CommandLineTest, AnIndependentReaderShowsEveryNode) {
  if (std::system("command -v emf2svg-conv >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "emf2svg-conv is not installed";
  TQtMeasurer measurer;
  for (const char* example : {"holiday", "supplier", "employee", "windfarm"}) {
    const std::string model = std::string(VT_SOURCE_DIR) + "/examples/" + example + ".vrn";
    const std::string emf = Path(std::string(example) + ".emf");
    const std::string svg = Path(std::string(example) + ".svg");
    ASSERT_EQ(Run({model, "--method", "Align", "--export", emf}), ExitOk) << Err;
    ASSERT_EQ(std::system(("emf2svg-conv -i '" + emf + "' -o '" + svg + "' >/dev/null 2>&1").c_str()), 0);
    const std::string text = ReadText(svg);

    TVarnTreeDocument document(&measurer);
    document.LoadVarnFile(model);
    ApplyPlacement(document.TreeDrawer(), TPlacementChoice::Align);
    const auto picture = RenderTree(document.TreeDrawer(), measurer, "", clWhite);
    ASSERT_TRUE(picture);
    std::vector<std::string> lines;
    int shapes = 0;
    for (const TMetaRecord& r : picture->Records()) {
      if (r.Op == TMetaOp::TextOut || r.Op == TMetaOp::TextRect) lines.push_back(r.Text);
      if (r.Op == TMetaOp::Rectangle) ++shapes;
    }
    const std::regex textElement("<text[^>]*>(?:<!\\[CDATA\\[)?([^<\\]]*)(?:\\]\\]>)?</text>");
    std::vector<std::string> shown;
    for (std::sregex_iterator it(text.begin(), text.end(), textElement), end; it != end; ++it)
      shown.push_back((*it)[1]);
    EXPECT_EQ(shown, lines) << example;
    const std::regex closedPath("<path d=\"[^\"]*Z");
    EXPECT_EQ(std::distance(std::sregex_iterator(text.begin(), text.end(), closedPath), std::sregex_iterator()),
              shapes)
        << example;
  }
}

}  // namespace
}  // namespace vt::test
