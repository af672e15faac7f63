// Our pictures judged from outside: the program exports every bundled sample
// as a user would, independent programs show the files, and each showing is
// compared with our own PNG (PictureJudge.h). Three EMF readers (emf2svg,
// Inkscape, LibreOffice), and our SVG and PDF through librsvg and poppler.
//
// VT_READERS_KEEP=folder keeps every file, rendering and a side-by-side sheet
// per rendering there (ours, theirs, and the differences in red and blue).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "PictureJudge.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

const fs::path SourceDir = VT_SOURCE_DIR;

// Longest any one outside program may run; the whole test stays far below
// the limit of its test entry.
constexpr int CommandSeconds = 60;

// Every example model with the default formats, the gallery of formats, and
// a tree of dashed outlines and lines (tests/app/data/dashes.vrt, judged for
// its dashes too). examples/large.vrn is judged in tiles
// (LargePictureInTiles).
const std::vector<std::string> Samples = {"holiday", "supplier", "employee", "windfarm", "gallery", "dashes"};

fs::path SampleSource(const std::string& Name) {
  if (Name == "dashes") return fs::path(VT_TEST_DATA_DIR) / "dashes.vrt";
  return SourceDir / "examples" / (Name + (Name == "gallery" ? ".vrt" : ".vrn"));
}

// The ink of a part of a picture: the sum of darkness, which antialiasing
// spreads over more pixels but keeps.
double InkIn(const TGreyImage& Image, int X0, int Y0, int X1, int Y1) {
  double ink = 0;
  for (int y = Y0; y < Y1; ++y)
    for (int x = X0; x < X1; ++x) ink += 255 - Image.At(x, y);
  return ink / 255;
}

// The parts of the dashes picture judged one by one: the root's level, the
// lines between the levels, and each of the five nodes of the lower level
// (each in a fifth of the width). Every part holds outlines or lines of one
// or a few dash styles only. Its pens are one pixel wide: the round ends of
// wide dashes leave too little between dashed and solid to judge.
struct TInkPart {
  std::string Name;
  int X0, Y0, X1, Y1;
};

std::vector<TInkPart> DashParts(int W, int H) {
  constexpr int Level = 58;  // border, node height and a little
  std::vector<TInkPart> parts = {{"root", 0, 0, W, Level}, {"lines", 0, Level, W, H - Level}};
  for (int i = 0; i < 5; ++i)
    parts.push_back({"node " + std::to_string(i + 1), i * W / 5, H - Level, (i + 1) * W / 5, H});
  return parts;
}

// How far each showing may be from our PNG: the longest run of edge
// positions whose outline it lacks, and the differing pixels per thousand
// inked pixels of ours.
struct TLimits {
  int MaxGap;
  double MaxPerMille;
};

// Dash patterns differ between readers, so one dash of ours may fall into a
// gap of theirs: runs of a dash's length pass, a lost outline is a run as long
// as its node. The differences left by correct readers are those of text
// rasterisers (hinting, the fallback glyphs): up to 2.5 per mille so far.
// These limits are what the judge's own test holds the judge to.
constexpr TLimits DefaultLimits = {5, 3.0};

const std::map<std::string, TLimits> Limits = {
    {"emf2svg", DefaultLimits}, {"Inkscape", {5, 4.0}},     {"LibreOffice", DefaultLimits},
    {"our SVG", DefaultLimits}, {"our PDF", DefaultLimits},
};

// --- the judge on pictures drawn here --------------------------------------

constexpr int SampleW = 160, SampleH = 60;

QImage Paper(int W = SampleW, int H = SampleH) {
  QImage image(W, H, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

// A node from (20, 10) to (Right, Bottom) as the classic surface draws
// Rectangle: right and bottom excluded, so by default its right and bottom
// sides lie on the picture's edges. Three lines of short thick strokes stand
// for its text, the first with its top at TextTop.
QImage Node(int Right = SampleW, int Bottom = SampleH, int TextTop = 18, int TextLeft = 30,
            Qt::BrushStyle Fill = Qt::NoBrush) {
  QImage image = Paper();
  QPainter painter(&image);
  painter.fillRect(QRect(QPoint(21, 11), QPoint(Right - 2, Bottom - 2)), QBrush(QColor(40, 60, 200), Fill));
  painter.setPen(Qt::black);
  painter.drawRect(QRect(QPoint(20, 10), QPoint(Right - 2, Bottom - 2)));
  for (int line = 0; line < 3; ++line)
    for (int x = TextLeft; x < 140; x += 5) painter.fillRect(x, TextTop + 12 * line, 2, 9, Qt::black);
  return image;
}

QImage Shifted(const QImage& Image, int DX, int DY) {
  QImage image = Paper(Image.width(), Image.height());
  QPainter(&image).drawImage(DX, DY, Image);
  return image;
}

// A line along the bottom edge, in dashes of On pixels and gaps of Off.
QImage Dashes(int On, int Off) {
  QImage image = Paper();
  for (int x = 0; x < SampleW; ++x)
    if (x % (On + Off) < On) image.setPixel(x, SampleH - 1, qRgb(0, 0, 0));
  return image;
}

// Antialiasing of a line between two rows: two light grey lines.
QImage Smeared(const QImage& Image) {
  QImage image = Image;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(Image.pixel(x, y)) < 128 || qGray(Image.pixel(x, std::min(y + 1, Image.height() - 1))) < 128)
        image.setPixel(x, y, qRgb(150, 150, 150));
  return image;
}

// The limits of the readers judge these pictures: the faults known from
// EMF readers must fail, the harmless deviations of rasterisers must pass.
TEST(PictureJudgeTest, TellsFaultsFromHarmlessDeviations) {
  const QImage inner = Node(SampleW - 10, SampleH - 6);
  struct Case {
    const char* Name;
    QImage Ours, Theirs;
    bool EdgeFault;
    std::optional<bool> DifferenceFault;  // none: either, the edge check decides
  };
  const Case cases[] = {
      {"the same picture", Node(), Node(), false, false},
      {"moved right by one pixel", inner, Shifted(inner, 1, 0), false, false},
      {"moved down by one pixel", inner, Shifted(inner, 0, 1), false, false},
      {"lines shown as two light grey ones", Node(), Smeared(Node()), false, false},
      {"a rendering one pixel smaller, its edge sides one pixel in", Node(),
       Node(SampleW - 1, SampleH - 1).copy(0, 0, SampleW - 1, SampleH - 1), false, false},
      {"dashes of another length", Dashes(4, 2), Dashes(18, 6), false, false},
      {"a rectangle one pixel larger, its edge sides lost", Node(), Node(SampleW + 1, SampleH + 1), true,
       std::nullopt},
      {"a line along the edge lost", Dashes(SampleW, 0), Paper(), true, false},
      {"a hatched fill shown solid", Node(SampleW, SampleH, 18, 30, Qt::CrossPattern),
       Node(SampleW, SampleH, 18, 30, Qt::SolidPattern), false, true},
      {"a text one ascent too high", Node(), Node(SampleW, SampleH, 8), false, true},
      {"a text running 20 pixels further left", Node(), Node(SampleW, SampleH, 18, 10), false, true},
  };
  for (const Case& c : cases) {
    const TJudgement j = Judge(TGreyImage::OnWhite(c.Ours), TGreyImage::OnWhite(c.Theirs), AllEdges);
    EXPECT_EQ(j.LongestGap() > DefaultLimits.MaxGap, c.EdgeFault) << c.Name << ": " << j.EdgeSummary();
    if (c.DifferenceFault) {
      EXPECT_EQ(j.Difference.PerMille() > DefaultLimits.MaxPerMille, *c.DifferenceFault)
          << c.Name << ": " << j.Difference.PerMille() << " per mille";
    }
  }
}

TEST(PictureJudgeTest, ATilesCutSidesAreNoEdges) {
  const TJudgement j = Judge(TGreyImage::OnWhite(Node()), TGreyImage::OnWhite(Node(SampleW + 1, SampleH + 1)),
                             {true, false, true, false});
  EXPECT_FALSE(j.Edges[eBottom].Checked);
  EXPECT_FALSE(j.Edges[eRight].Checked);
  EXPECT_EQ(j.LongestGap(), 0) << j.EdgeSummary();
}

// --- outside programs ------------------------------------------------------

QString Q(const fs::path& P) {
  return QString::fromStdString(P.string());
}

// Runs Command under coreutils' timeout, which kills its whole process group.
testing::AssertionResult RunProgram(
    const QStringList& Command,
    const QProcessEnvironment& Environment = QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.setProcessEnvironment(Environment);
  process.start("timeout", QStringList{"--kill-after=5", QString::number(CommandSeconds)} + Command);
  const std::string line = Command.join(' ').toStdString();
  if (!process.waitForStarted(10000)) return testing::AssertionFailure() << "cannot start: " << line;
  if (!process.waitForFinished((CommandSeconds + 10) * 1000)) {
    process.kill();
    process.waitForFinished(5000);
    return testing::AssertionFailure() << "did not end: " << line;
  }
  const std::string output = process.readAll().toStdString();
  if (process.exitStatus() != QProcess::NormalExit)
    return testing::AssertionFailure() << "crashed: " << line << "\n" << output;
  if (process.exitCode() == 124)
    return testing::AssertionFailure() << "timed out after " << CommandSeconds << " s: " << line;
  if (process.exitCode() != 0)
    return testing::AssertionFailure() << "exit code " << process.exitCode() << ": " << line << "\n"
                                       << output;
  return testing::AssertionSuccess();
}

std::string Capture(const QStringList& Command) {
  QProcess process;
  process.start("timeout", QStringList{"--kill-after=5", QString::number(CommandSeconds)} + Command);
  process.waitForFinished((CommandSeconds + 10) * 1000);
  return process.readAllStandardOutput().toStdString();
}

// The project installs every reader (tools/packages.txt): a missing one is a
// broken machine, not a reason to skip.
testing::AssertionResult Installed(const QString& Program, const char* Package) {
  if (!QStandardPaths::findExecutable(Program).isEmpty()) return testing::AssertionSuccess();
  return testing::AssertionFailure() << Program.toStdString() << " is missing: install the Debian package "
                                     << Package << " (make test installs tools/packages.txt)";
}

// --- the pictures and the comparison ---------------------------------------

QImage Load(const fs::path& P) {
  QImageReader reader(Q(P));
  QImage image = reader.read();
  if (image.isNull()) ADD_FAILURE() << "cannot read " << P << ": " << reader.errorString().toStdString();
  return image;
}

std::string SizeText(const QImage& Image) {
  return std::to_string(Image.width()) + "x" + std::to_string(Image.height());
}

// A folder for the files of one test program run, kept when VT_READERS_KEEP
// names one.
class TWorkFolder {
 public:
  TWorkFolder() {
    const char* keep = std::getenv("VT_READERS_KEEP");
    FKeep = keep && *keep;
    FPath = FKeep ? fs::absolute(keep)
                  : fs::temp_directory_path() /
                        ("vt-readers-" + std::to_string(QCoreApplication::applicationPid()));
    fs::create_directories(FPath);
    FScratch =
        fs::temp_directory_path() / ("vt-readers-home-" + std::to_string(QCoreApplication::applicationPid()));
    fs::create_directories(FScratch);
  }
  ~TWorkFolder() {
    std::error_code ignored;
    if (!FKeep) fs::remove_all(FPath, ignored);
    fs::remove_all(FScratch, ignored);
  }
  bool Keep() const { return FKeep; }
  fs::path operator/(const std::string& Name) const { return FPath / Name; }
  // A writable home for programs that keep settings there.
  const fs::path& Home() const { return FScratch; }

 private:
  bool FKeep = false;
  fs::path FPath, FScratch;
};

struct TRow {
  std::string Reader, Picture, Sizes, Edges;
  int Gap;
  double PerMille;
};

class ReadersTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    QImageReader::setAllocationLimit(0);  // the large example's PNG is 333 MB
    Work = std::make_unique<TWorkFolder>();
  }
  static void TearDownTestSuite() { Work.reset(); }

  void TearDown() override { PrintTable(); }

  static fs::path File(const std::string& Picture, const std::string& Suffix) {
    return *Work / (Picture + Suffix);
  }

  // Exports a sample with the program as a user would; our PNG is the
  // reference for every showing of the other files.
  static testing::AssertionResult Export(const std::string& Picture, const fs::path& Source) {
    QStringList command{VT_VARNTREE_EXE, Q(Source)};
    for (const char* suffix : {".emf", ".png", ".svg", ".pdf"})
      command << "--export" << Q(File(Picture, suffix));
    return RunProgram(command);
  }

  // Compares one showing of Picture with our PNG of it (or the tile of our
  // PNG given), records the numbers and checks them against the reader's
  // limits.
  void Check(const std::string& Reader, const std::string& Picture, const fs::path& Rendering,
             const QImage& Ours, const TEdgeSet& Edges = AllEdges) {
    SCOPED_TRACE(Reader + " showing " + Picture);
    const QImage theirs = Load(Rendering);
    if (Ours.isNull() || theirs.isNull()) return;
    const std::string sizes =
        SizeText(Ours) + (theirs.size() == Ours.size() ? "" : " vs " + SizeText(theirs));
    EXPECT_LE(std::abs(theirs.width() - Ours.width()), 1) << sizes;
    EXPECT_LE(std::abs(theirs.height() - Ours.height()), 1) << sizes;

    const TJudgement j = Judge(TGreyImage::OnWhite(Ours), TGreyImage::OnWhite(theirs), Edges);
    const TLimits& limits = Limits.at(Reader);
    const std::string hint = Work->Keep() ? "" : " (VT_READERS_KEEP=folder keeps the renderings)";
    EXPECT_LE(j.LongestGap(), limits.MaxGap)
        << "outlines on the picture's edges are missing: " << j.EdgeSummary() << hint;
    // Dash patterns of other lengths differ everywhere in a picture of
    // dashes: that one is judged by its ink instead (CheckDashes).
    if (Picture != "dashes") {
      EXPECT_LE(j.Difference.PerMille(), limits.MaxPerMille)
          << j.Difference.Differing << " pixels differ, of " << j.Difference.OurInked << " inked" << hint;
    }

    Rows.push_back({Reader, Picture, sizes, j.EdgeSummary(), j.LongestGap(), j.Difference.PerMille()});
    std::string key = Reader + "_" + Picture;
    std::replace(key.begin(), key.end(), ' ', '_');
    RecordProperty(key + "_diff_per_mille", std::to_string(j.Difference.PerMille()));
    RecordProperty(key + "_edge_gap", j.LongestGap());
    if (Work->Keep()) {
      fs::path sheet = Rendering;
      sheet.replace_extension(".compare.png");
      SideBySide(Ours, theirs, Edges).save(Q(sheet));
    }
  }

  void CheckAll(const std::string& Reader, const std::string& Suffix) {
    for (const std::string& picture : Samples) Check(Reader, picture, File(picture, Suffix), Ours(picture));
    CheckDashes(Reader, File("dashes", Suffix));
  }

  // Readers draw dash patterns of their own lengths, which the blurred
  // comparison lets pass, but a dashed line drawn solid carries half as much
  // ink again or more. Each part of a reader's showing must carry less ink
  // than halfway between our dashed picture and the same picture drawn with
  // solid pens, and its dashes must not fade away.
  void CheckDashes(const std::string& Reader, const fs::path& Rendering) {
    SCOPED_TRACE(Reader + " showing dashes");
    const TGreyImage ours = TGreyImage::OnWhite(Ours("dashes"));
    const TGreyImage solid = TGreyImage::OnWhite(Ours("dashes-solid"));
    const TGreyImage theirs = TGreyImage::OnWhite(Load(Rendering));
    std::string summary;
    for (const TInkPart& part : DashParts(ours.Width(), ours.Height())) {
      const double dashed = InkIn(ours, part.X0, part.Y0, part.X1, part.Y1);
      const double full = InkIn(solid, part.X0, part.Y0, part.X1, part.Y1);
      const double shown = InkIn(theirs, part.X0, part.Y0, part.X1, part.Y1);
      ASSERT_GT(full, dashed * 1.2) << part.Name << ": the dashes picture has no dashes there";
      EXPECT_LT(shown, (dashed + full) / 2)
          << part.Name << " is drawn solid: ink " << shown << ", ours " << dashed << ", solid " << full;
      EXPECT_GT(shown, dashed * 0.6) << part.Name << " lost its dashes: ink " << shown << ", ours " << dashed;
      char ratio[32];
      std::snprintf(ratio, sizeof ratio, "%s%s %.2f", summary.empty() ? "" : ", ", part.Name.c_str(),
                    shown / dashed);
      summary += ratio;
    }
    Rows.push_back({Reader, "dashes: ink", "", summary, 0, 0});
  }

  // Our PNG of a sample, exported on first use. "dashes-solid" is the
  // dashes picture with every pen solid.
  static const QImage& Ours(const std::string& Picture) {
    static std::map<std::string, QImage> cache;
    auto found = cache.find(Picture);
    if (found == cache.end()) {
      fs::path source = SampleSource(Picture);
      if (Picture == "dashes-solid") {
        source = File(Picture, ".vrt");
        std::ifstream in(SampleSource("dashes"), std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        static const std::regex dashed(R"re(style="(Dash|Dot|DastDot|DashDotDot)")re");
        std::ofstream(source, std::ios::binary) << std::regex_replace(text, dashed, R"re(style="Solid")re");
      }
      const testing::AssertionResult exported = Export(Picture, source);
      EXPECT_TRUE(exported);
      found = cache.emplace(Picture, exported ? Load(File(Picture, ".png")) : QImage()).first;
    }
    return found->second;
  }

  void PrintTable() {
    if (Rows.empty()) return;
    double worst = 0;
    std::printf("\n%-12s %-22s %-22s %6s %8s  %s\n", "reader", "picture", "size", "gap", "diff ‰",
                "edges: missed/inked");
    for (const TRow& r : Rows) {
      std::printf("%-12s %-22s %-22s %6d %8.2f  %s\n", r.Reader.c_str(), r.Picture.c_str(), r.Sizes.c_str(),
                  r.Gap, r.PerMille, r.Edges.c_str());
      worst = std::max(worst, r.PerMille);
    }
    std::fflush(stdout);
    RecordProperty("worst_diff_per_mille", std::to_string(worst));
  }

  static std::unique_ptr<TWorkFolder> Work;
  std::vector<TRow> Rows;
};

std::unique_ptr<TWorkFolder> ReadersTest::Work;

// The gallery shows how readers draw outlines on the picture's edges only
// while it has them on all four: a change of its layout must keep them.
TEST_F(ReadersTest, TheGalleryHasOutlinesOnAllFourEdges) {
  const TGreyImage gallery = TGreyImage::OnWhite(Ours("gallery"));
  const TJudgement j = Judge(gallery, gallery, AllEdges);
  for (int e = 0; e < 4; ++e) EXPECT_GT(j.Edges[e].Inked, 20) << EdgeNames[e] << " edge";
}

TEST_F(ReadersTest, Emf2svg) {
  ASSERT_TRUE(Installed("emf2svg-conv", "emf2svg"));
  ASSERT_TRUE(Installed("rsvg-convert", "librsvg2-bin"));
  for (const std::string& picture : Samples) {
    Ours(picture);
    ASSERT_TRUE(
        RunProgram({"emf2svg-conv", "-i", Q(File(picture, ".emf")), "-o", Q(File(picture, ".emf2svg.svg"))}));
    ASSERT_TRUE(RunProgram(
        {"rsvg-convert", Q(File(picture, ".emf2svg.svg")), "-o", Q(File(picture, ".emf2svg.png"))}));
  }
  CheckAll("emf2svg", ".emf2svg.png");
}

QProcessEnvironment InkscapeEnvironment(const fs::path& Home) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("HOME", Q(Home));
  environment.insert("XDG_CONFIG_HOME", Q(Home / ".config"));
  environment.insert("XDG_CACHE_HOME", Q(Home / ".cache"));
  environment.remove("DISPLAY");
  return environment;
}

TEST_F(ReadersTest, Inkscape) {
  ASSERT_TRUE(Installed("inkscape", "inkscape"));
  for (const std::string& picture : Samples) {
    Ours(picture);
    ASSERT_TRUE(RunProgram({"inkscape", Q(File(picture, ".emf")), "--export-type=png",
                            "--export-filename=" + Q(File(picture, ".inkscape.png"))},
                           InkscapeEnvironment(Work->Home())));
  }
  CheckAll("Inkscape", ".inkscape.png");
}

// One LibreOffice for all pictures: starting it costs seconds.
TEST_F(ReadersTest, LibreOffice) {
  ASSERT_TRUE(Installed("soffice", "libreoffice-draw-nogui"));
  QStringList command{Q(SourceDir / "tools" / "render-libreoffice"), "--timeout",
                      QString::number(CommandSeconds - 10)};
  for (const std::string& picture : Samples) {
    Ours(picture);
    command << Q(File(picture, ".emf")) << Q(File(picture, ".libreoffice.png"));
  }
  ASSERT_TRUE(RunProgram(command));
  CheckAll("LibreOffice", ".libreoffice.png");
}

// The SVG is as large as the picture in pixels whatever the viewer's
// resolution: sized in pixels, not in a physical unit.
TEST_F(ReadersTest, OurSvg) {
  ASSERT_TRUE(Installed("rsvg-convert", "librsvg2-bin"));
  for (const std::string& picture : Samples) {
    const QImage& ours = Ours(picture);
    ASSERT_TRUE(RunProgram({"rsvg-convert", Q(File(picture, ".svg")), "-o", Q(File(picture, ".svg.png"))}));
    ASSERT_TRUE(RunProgram({"rsvg-convert", "--dpi-x=72", "--dpi-y=72", Q(File(picture, ".svg")), "-o",
                            Q(File(picture, ".svg-72dpi.png"))}));
    EXPECT_EQ(SizeText(Load(File(picture, ".svg.png"))), SizeText(ours)) << picture;
    EXPECT_EQ(SizeText(Load(File(picture, ".svg-72dpi.png"))), SizeText(ours)) << picture << " at 72 dpi";
  }
  CheckAll("our SVG", ".svg.png");
}

// The page's size in points, from pdfinfo's MediaBox, which it prints with
// two decimals (its "Page size" line rounds large pages).
std::pair<double, double> PdfPageSize(const fs::path& Pdf) {
  const std::string info = Capture({"pdfinfo", "-box", Q(Pdf)});
  const QRegularExpression box(R"(MediaBox:\s+([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s+([-\d.]+))");
  const QRegularExpressionMatch m = box.match(QString::fromStdString(info));
  if (!m.hasMatch()) {
    ADD_FAILURE() << "pdfinfo shows no MediaBox for " << Pdf << ":\n" << info;
    return {0, 0};
  }
  return {m.captured(3).toDouble() - m.captured(1).toDouble(),
          m.captured(4).toDouble() - m.captured(2).toDouble()};
}

// A page of exactly the picture's size: a pixel is 0.75 point at 96 dpi.
void ExpectPageOfPicture(const fs::path& Pdf, const QSize& Picture) {
  const auto [width, height] = PdfPageSize(Pdf);
  EXPECT_NEAR(width, Picture.width() * 0.75, 0.005) << Pdf << " for " << Picture.width() << " pixels";
  EXPECT_NEAR(height, Picture.height() * 0.75, 0.005) << Pdf << " for " << Picture.height() << " pixels";
}

TEST_F(ReadersTest, OurPdf) {
  ASSERT_TRUE(Installed("pdftoppm", "poppler-utils"));
  ASSERT_TRUE(Installed("pdfinfo", "poppler-utils"));
  for (const std::string& picture : Samples) {
    const QImage& ours = Ours(picture);
    ExpectPageOfPicture(File(picture, ".pdf"), ours.size());
    ASSERT_TRUE(RunProgram({"pdftoppm", "-r", "96", "-png", "-singlefile", Q(File(picture, ".pdf")),
                            Q(File(picture, ".pdf"))}));  // writes .pdf.png
  }
  CheckAll("our PDF", ".pdf.png");
}

// The size of an SVG picture in pixels at 96 dpi, from its root element.
QSizeF SvgPixelSize(const fs::path& Svg) {
  std::ifstream in(Svg);
  std::string start(4096, '\0');
  in.read(start.data(), std::streamsize(start.size()));
  const QString text = QString::fromStdString(start);
  const qsizetype from = text.indexOf("<svg");
  const QString root = text.mid(from, text.indexOf('>', from) - from + 1);
  auto length = [&](const char* Name) {
    const QRegularExpression attribute(QString(R"(\s%1="([\d.]+)\s*(px|mm|cm|in|pt)?")").arg(Name));
    const QRegularExpressionMatch m = attribute.match(root);
    if (!m.hasMatch()) {
      ADD_FAILURE() << Svg << " has no " << Name;
      return 0.0;
    }
    const std::map<QString, double> pixels = {{"", 1},           {"px", 1},  {"mm", 96 / 25.4},
                                              {"cm", 96 / 2.54}, {"in", 96}, {"pt", 96 / 72.0}};
    return m.captured(1).toDouble() * pixels.at(m.captured(2));
  };
  return {length("width"), length("height")};
}

// The large example is 218,299 x 382 pixels: too wide for cairo (librsvg,
// Inkscape's whole-page export) and for LibreOffice's raster, which is
// therefore not asked. Three tiles of it are judged: the left edge, the
// root, the right edge; a tile's cut sides are no edges of the picture.
TEST_F(ReadersTest, LargePictureInTiles) {
  ASSERT_TRUE(Installed("emf2svg-conv", "emf2svg"));
  ASSERT_TRUE(Installed("rsvg-convert", "librsvg2-bin"));
  ASSERT_TRUE(Installed("inkscape", "inkscape"));
  ASSERT_TRUE(Installed("pdftoppm", "poppler-utils"));
  const std::string large = "large";
  ASSERT_TRUE(Export(large, SourceDir / "examples" / "large.vrn"));
  const QImage whole = Load(File(large, ".png"));
  ASSERT_FALSE(whole.isNull());
  constexpr int TileWidth = 1600;
  const int W = whole.width(), H = whole.height();
  ASSERT_GT(W, 3 * TileWidth);

  int rootX = 0;
  const TGreyImage topRow = TGreyImage::OnWhite(whole.copy(0, 0, W, 1));
  while (rootX < W && topRow.At(rootX, 0) >= TJudgeSettings{}.OurInk) ++rootX;
  const std::vector<int> tiles = {0, std::clamp(rootX - TileWidth / 2, 0, W - TileWidth), W - TileWidth};

  ExpectPageOfPicture(File(large, ".pdf"), whole.size());
  ASSERT_TRUE(
      RunProgram({"emf2svg-conv", "-i", Q(File(large, ".emf")), "-o", Q(File(large, ".emf2svg.svg"))}));
  QStringList inkscapeActions;
  for (const int x : tiles) {
    const std::string tile = large + "-x" + std::to_string(x);
    inkscapeActions << QString("export-area:%1:0:%2:%3").arg(x).arg(x + TileWidth).arg(H)
                    << "export-filename:" + Q(File(tile, ".inkscape.png")) << "export-do";
    // librsvg draws a page of the tile's size, or what is left of the
    // picture's own size, with the picture moved left.
    for (const auto& [svg, png] :
         {std::pair{".emf2svg.svg", ".emf2svg.png"}, std::pair{".svg", ".svg.png"}}) {
      const QSizeF size = SvgPixelSize(File(large, svg));
      const int pageWidth = std::min(TileWidth, int(std::lround(size.width())) - x);
      const int pageHeight = std::min(H, int(std::lround(size.height())));
      ASSERT_TRUE(RunProgram({"rsvg-convert", "--page-width=" + QString::number(pageWidth),
                              "--page-height=" + QString::number(pageHeight), "--left=" + QString::number(-x),
                              "--top=0", Q(File(large, svg)), "-o", Q(File(tile, png))}));
    }
    ASSERT_TRUE(RunProgram({"pdftoppm", "-r", "96", "-x", QString::number(x), "-y", "0", "-W",
                            QString::number(TileWidth), "-H", QString::number(H), "-png", "-singlefile",
                            Q(File(large, ".pdf")), Q(File(tile, ".pdf"))}));
  }
  ASSERT_TRUE(RunProgram(
      {"inkscape", Q(File(large, ".emf")), "--actions=export-type:png;" + inkscapeActions.join(';')},
      InkscapeEnvironment(Work->Home())));

  for (const int x : tiles) {
    const std::string tile = large + "-x" + std::to_string(x);
    const QImage ours = whole.copy(x, 0, TileWidth, H);
    if (Work->Keep()) ours.save(Q(File(tile, ".png")));
    const TEdgeSet edges = {true, true, x == 0, x + TileWidth == W};
    Check("emf2svg", tile, File(tile, ".emf2svg.png"), ours, edges);
    Check("Inkscape", tile, File(tile, ".inkscape.png"), ours, edges);
    Check("our SVG", tile, File(tile, ".svg.png"), ours, edges);
    Check("our PDF", tile, File(tile, ".pdf.png"), ours, edges);
  }
}

}  // namespace
}  // namespace vt::test
