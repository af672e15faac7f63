#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "graphics/FileWriter.h"
#include "graphics/Metafile.h"
#include "graphics/qt/QPainterCanvas.h"
#include "graphics/qt/QtApplication.h"
#include "graphics/qt/QtMeasurer.h"
#include "graphics/qt/QtOutputs.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

TEST(TQtMeasurer, TenPointArialIsThirteenPixelsOfLiberationSans) {
  const TQtMeasurer M;
  const QFont F = ToQFont(TFont("Arial", 10));
  EXPECT_EQ(F.pixelSize(), 13);
  EXPECT_EQ(QFontInfo(F).family(), "Liberation Sans");
  EXPECT_EQ(ToQFont(TFont("Arial", 12)).pixelSize(), 16);
  EXPECT_EQ(ToQFont(TFont("Arial", 0)).pixelSize(), 1);  // never an invalid size

  const QFontMetrics Q(F);
  EXPECT_EQ(M.TextHeight(TFont("Arial", 10), "Tj"), Q.ascent() + Q.descent());
  EXPECT_EQ(M.TextHeight(TFont("Arial", 10), "Tj"), 15);  // 12 above + 3 below the baseline
}

TEST(TQtMeasurer, WidthsAreTheAdvances) {
  const TQtMeasurer M;
  const TFont Regular("Arial", 10);
  const std::string Text = "Price of car";
  EXPECT_EQ(M.TextWidth(Regular, Text), QFontMetrics(ToQFont(Regular)).horizontalAdvance("Price of car"));
  EXPECT_EQ(M.TextWidth(Regular, ""), 0);

  TFont Bold = Regular;
  Bold.SetStyle({fsBold});
  EXPECT_GT(M.TextWidth(Bold, Text), M.TextWidth(Regular, Text));
  EXPECT_GT(M.TextWidth(TFont("Arial", 20), Text), M.TextWidth(Regular, Text));

  for (const std::string S : {"Price of car", "Aš 😀 AV",
                              "\xFF"
                              "bad"}) {
    const std::vector<int> A = M.CharAdvances(Regular, S);
    EXPECT_EQ(A.size(), Utf8ToUtf16(S).size()) << S;
    int Sum = 0;
    for (int V : A) Sum += V;
    EXPECT_EQ(Sum, M.TextWidth(Regular, S)) << S;
  }
}

// A 100 x 60 picture: a red fill, a black-outlined white box and some text.
TMetafile SamplePicture(const TTextMeasurer& Measurer) {
  TMetafile M(100, 60, "sample");
  TMetafileCanvas C(M, Measurer);
  C.SetBrush(TBrush(clRed));
  C.FillRect(TRect(10, 10, 50, 30));
  C.SetBrush(TBrush(clWhite));
  C.SetPen(TPen(clBlack));
  C.Rectangle(60, 10, 90, 40);
  C.SetFont(TFont("Arial", 10, clBlack));
  C.SetBrush(TBrush(clWhite, bsClear));
  C.TextRect(TRect(0, 40, 30, 60), 2, 42, "WWWWWWWW");
  return M;
}

bool IsColor(const QImage& I, int X, int Y, QRgb C) {
  return (I.pixel(X, Y) & 0xFFFFFF) == (C & 0xFFFFFF);
}

bool AnyDark(const QImage& I, const QRect& R) {
  for (int Y = R.top(); Y <= R.bottom(); ++Y)
    for (int X = R.left(); X <= R.right(); ++X)
      if (qGray(I.pixel(X, Y)) < 128) return true;
  return false;
}

class QtOutputsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = fs::temp_directory_path() /
           ("vt_qt_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(FDir);
    fs::create_directories(FDir);
  }
  void TearDown() override {
    if (!std::getenv("VT_KEEP")) fs::remove_all(FDir);
  }
  std::string Path(const char* Name) const { return (FDir / Name).string(); }
  static std::string Read(const std::string& P) {
    std::ifstream In(P, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(In)), {});
  }

  TQtMeasurer FMeasurer;
  fs::path FDir;
};

TEST_F(QtOutputsTest, PngHasThePictureSizeAndItsPixels) {
  const TMetafile M = SamplePicture(FMeasurer);
  SavePng(M, FMeasurer, Path("p.png"));
  QImage I(QString::fromStdString(Path("p.png")));
  ASSERT_EQ(I.size(), QSize(100, 60));
  EXPECT_TRUE(IsColor(I, 10, 10, qRgb(255, 0, 0)));
  EXPECT_TRUE(IsColor(I, 49, 29, qRgb(255, 0, 0)));
  EXPECT_TRUE(IsColor(I, 50, 29, qRgb(255, 255, 255)));  // right edge exclusive
  EXPECT_TRUE(IsColor(I, 49, 30, qRgb(255, 255, 255)));  // bottom edge exclusive
  EXPECT_TRUE(IsColor(I, 95, 5, qRgb(255, 255, 255)));
  // The outline runs through the outer pixels inside the rectangle.
  EXPECT_TRUE(IsColor(I, 60, 20, qRgb(0, 0, 0)));
  EXPECT_TRUE(IsColor(I, 89, 20, qRgb(0, 0, 0)));
  EXPECT_TRUE(IsColor(I, 75, 39, qRgb(0, 0, 0)));
  EXPECT_TRUE(IsColor(I, 90, 20, qRgb(255, 255, 255)));
  EXPECT_TRUE(IsColor(I, 75, 25, qRgb(255, 255, 255)));
  // Text shows inside its clip rectangle and nowhere beyond it.
  EXPECT_TRUE(AnyDark(I, QRect(0, 40, 30, 20)));
  EXPECT_FALSE(AnyDark(I, QRect(30, 41, 29, 19)));
}

// Pens and fonts beyond what Qt takes are held to what it draws: no
// warning, and the text is still measured and drawn.
TEST_F(QtOutputsTest, ExtremePensAndFontsReachQtWithoutWarnings) {
  static std::vector<std::string> Warnings;
  Warnings.clear();
  const QtMessageHandler Previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& Message) { Warnings.push_back(Message.toStdString()); });
  TMetafile M(200, 100);
  {
    TMetafileCanvas C(M, FMeasurer);
    for (int Width : {std::numeric_limits<int>::max(), 40000}) {
      C.SetPen(TPen(clBlack, Width, psSolid));
      C.MoveTo(10, 10);
      C.LineTo(190, 90);
    }
    for (int Size : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min(), 100000}) {
      C.SetFont(TFont("Arial", Size));
      C.TextOut(0, 0, "W");
    }
  }
  RenderImage(M, FMeasurer);
  SvgBytes(M, FMeasurer);
  PdfBytes(M, FMeasurer);
  qInstallMessageHandler(Previous);
  EXPECT_EQ(Warnings, std::vector<std::string>{});
  const TFont Huge("Arial", std::numeric_limits<int>::max());
  EXPECT_EQ(Huge.Height(), -MaxFontHeight);
  EXPECT_GT(FMeasurer.TextWidth(Huge, "W"), MaxFontHeight / 2);
  EXPECT_GT(FMeasurer.Ascent(Huge), MaxFontHeight / 2);
}

TEST_F(QtOutputsTest, ScaledRasterStretchesThePicture) {
  const TMetafile M = SamplePicture(FMeasurer);
  SaveBmp(M, FMeasurer, Path("p.bmp"), 200);
  QImage I(QString::fromStdString(Path("p.bmp")));
  ASSERT_EQ(I.size(), QSize(200, 120));
  EXPECT_TRUE(IsColor(I, 20, 20, qRgb(255, 0, 0)));
  EXPECT_TRUE(IsColor(I, 99, 59, qRgb(255, 0, 0)));
  EXPECT_TRUE(IsColor(I, 100, 60, qRgb(255, 255, 255)));

  // 301 x 201 at 50 %: 150.5 and 100.5 round to even.
  EXPECT_EQ(ScaledImageSize(TMetafile(301, 201), 50), QSize(150, 100));
  EXPECT_EQ(ScaledImageSize(TMetafile(0, 0), 100), QSize(1, 1));
  try {
    RenderImage(TMetafile(20000, 15000), FMeasurer, 100);
    ADD_FAILURE() << "no error";
  } catch (const EGraphicsError& E) {
    EXPECT_EQ(E.Message(), "Cannot create a bitmap of 20000 x 15000 pixels");
  }
  try {
    ScaledImageSize(M, 0);
    ADD_FAILURE() << "no error";
  } catch (const EGraphicsError& E) {
    EXPECT_EQ(E.Message(), "Invalid picture scale: 0%");
  }
}

TEST_F(QtOutputsTest, SvgAndPdfAreWrittenAtThePictureSize) {
  const TMetafile M = SamplePicture(FMeasurer);
  SaveSvg(M, FMeasurer, Path("p.svg"));
  SavePdf(M, FMeasurer, Path("p.pdf"));
  const std::string Svg = Read(Path("p.svg"));
  EXPECT_NE(Svg.find("<svg"), std::string::npos);
  EXPECT_NE(Svg.find("viewBox=\"0 0 100 60\""), std::string::npos);
  EXPECT_NE(Svg.find("<title>sample</title>"), std::string::npos);
  const std::string Pdf = Read(Path("p.pdf"));
  EXPECT_EQ(Pdf.rfind("%PDF", 0), 0u);
  EXPECT_NE(Pdf.find("/MediaBox [0 0 75 45 "), std::string::npos);  // 100 x 60 px in points
  EXPECT_EQ(std::distance(fs::directory_iterator(FDir), fs::directory_iterator()), 2);
}

// Qt makes pages of whole points; the page box is set to the exact size
// without moving anything in the file, keeping the top edge Qt drew from.
TEST_F(QtOutputsTest, PdfPageIsExactlyThePicturesSize) {
  struct Case {
    int W, H;
    const char* Box;
  };
  const Case Cases[] = {
      {101, 61, "/MediaBox [0 0.25 75.75 46 "},  // Qt's page: 76 x 46 points
      {2469, 202, "/MediaBox [0 0.5 1851.75 152 "},
      {1, 1, "/MediaBox [0 0.25 0.75 1 "},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Box);
    TMetafile M(C.W, C.H, "sized");
    const QByteArray Pdf = PdfBytes(M, FMeasurer);
    EXPECT_NE(Pdf.indexOf(C.Box), -1) << Pdf.mid(Pdf.indexOf("/MediaBox"), 50).toStdString();
    // The cross-reference table still points at every object.
    const qsizetype Xref = Pdf.lastIndexOf("xref");
    ASSERT_GT(Xref, 0);
    const QList<QByteArray> Entries = Pdf.mid(Xref).split('\n');
    for (const QByteArray& E : Entries) {
      if (E.size() < 18 || !E.contains(" 00000 n")) continue;
      const qsizetype At = E.left(10).toLongLong();
      EXPECT_TRUE(Pdf.mid(At).contains(" 0 obj")) << At;
      EXPECT_EQ(Pdf.mid(At, 20).split(' ').value(1), "0");
    }
  }
}

TEST_F(QtOutputsTest, PictureWriterWritesEveryFormat) {
  const TMetafile M = SamplePicture(FMeasurer);
  const TQtPictureWriter W;
  struct Case {
    TPictureFormat Format;
    const char* Name;
    std::size_t MagicAt;
    std::string Magic;
  };
  const Case Cases[] = {
      {TPictureFormat::Emf, "p.emf", 40, " EMF"}, {TPictureFormat::Bmp, "p.bmp", 0, "BM"},
      {TPictureFormat::Png, "p.png", 1, "PNG"},   {TPictureFormat::Svg, "p.svg", 0, "<?xml"},
      {TPictureFormat::Pdf, "p.pdf", 0, "%PDF"},
  };
  for (const Case& C : Cases) {
    EXPECT_TRUE(W.Supports(C.Format));
    W.Save(M, FMeasurer, Path(C.Name), C.Format);
    EXPECT_EQ(Read(Path(C.Name)).substr(C.MagicAt, C.Magic.size()), C.Magic) << C.Name;
  }
}

TEST_F(QtOutputsTest, FailedSaveReportsTheFile) {
  const TMetafile M = SamplePicture(FMeasurer);
  const std::string Missing = Path("none/p.png");
  try {
    SavePng(M, FMeasurer, Missing);
    ADD_FAILURE() << "no error";
  } catch (const EFileWriteError& E) {
    EXPECT_EQ(E.Message(), "Cannot create file \"" + Missing + "\". No such file or directory");
  }
}

}  // namespace
}  // namespace vt
