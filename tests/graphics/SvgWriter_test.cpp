#include "graphics/SvgWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>

#include "foundation/Utils.h"
#include "graphics/FileWriter.h"
#include "graphics/Geometry.h"
#include "support/ExpectThrow.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

// Every character advances by its own width, so a position that skips or
// repeats a character shows.
class TWidthByCharMeasurer : public TTextMeasurer {
 public:
  static int Width(char32_t C) { return C == 'i' ? 3 : C == 'W' ? 12 : 7; }
  int TextWidth(const TFont&, std::string_view Text) const override {
    int W = 0;
    for (char32_t C : Utf8ToUtf32(Text)) W += Width(C);
    return W;
  }
  int TextHeight(const TFont&, std::string_view) const override { return 20; }  // ascent 16
};

// An element of a written picture, found by a loose scan of the tags.
struct TElement {
  std::string Name;
  std::map<std::string, std::string> Attributes;
  std::string Content;  // raw, up to the next tag

  bool Has(const std::string& A) const { return Attributes.count(A) > 0; }
  std::string operator[](const std::string& A) const {
    const auto It = Attributes.find(A);
    return It == Attributes.end() ? "<none>" : It->second;
  }
};

std::vector<TElement> Elements(const std::string& Svg) {
  static const std::regex Tag(R"re(<([A-Za-z]+)((?:\s+[\w:-]+="[^"]*")*)\s*/?>([^<]*))re");
  static const std::regex Attribute(R"re(([\w:-]+)="([^"]*)")re");
  std::vector<TElement> Result;
  for (std::sregex_iterator It(Svg.begin(), Svg.end(), Tag), End; It != End; ++It) {
    TElement E{(*It)[1], {}, (*It)[3]};
    const std::string Attributes = (*It)[2];
    for (std::sregex_iterator A(Attributes.begin(), Attributes.end(), Attribute); A != End; ++A)
      E.Attributes[(*A)[1]] = (*A)[2];
    Result.push_back(std::move(E));
  }
  return Result;
}

// The drawing elements (what follows <desc>), clip paths left out.
std::vector<TElement> Drawing(const std::string& Svg) {
  static const std::regex Definitions("<defs>.*?</defs>");
  std::vector<TElement> Result;
  for (TElement& E : Elements(std::regex_replace(Svg, Definitions, "")))
    if (E.Name != "svg" && E.Name != "title" && E.Name != "desc") Result.push_back(std::move(E));
  return Result;
}

std::vector<TElement> Named(const std::string& Svg, const std::string& Name) {
  std::vector<TElement> Result;
  for (TElement& E : Elements(Svg))
    if (E.Name == Name) Result.push_back(std::move(E));
  return Result;
}

template <typename DrawFn>
std::string Svg(DrawFn Draw, int W = 200, int H = 100, const TTextMeasurer& Measurer = TFakeMeasurer()) {
  TMetafile M(W, H, "car");
  {
    TMetafileCanvas C(M, Measurer);
    Draw(C);
  }
  return SvgDocument(M, Measurer);
}

// The commands of path data, and its numbers.
std::string Commands(const std::string& D) {
  std::string C;
  for (char Ch : D)
    if (std::isalpha(static_cast<unsigned char>(Ch))) C += Ch;
  return C;
}

std::vector<double> Numbers(const std::string& D) {
  static const std::regex Number(R"(-?[0-9]+(\.[0-9]+)?)");
  std::vector<double> Result;
  for (std::sregex_iterator It(D.begin(), D.end(), Number), End; It != End; ++It)
    Result.push_back(std::stod(It->str()));
  return Result;
}

// M/L pairs of hatch lines at pixel centres.
std::vector<double> HatchNumbers(const TShapeOutline& Outline, TBrushStyle Style) {
  std::vector<double> Result;
  for (const TSegmentF& L : HatchLines(Outline, Style))
    for (double V : {L.A.X, L.A.Y, L.B.X, L.B.Y}) Result.push_back(V + 0.5);
  return Result;
}

TEST(SvgWriter, RootIsThePictureInPixels) {
  struct Case {
    int W, H;
    std::string Width, Height;
  };
  const Case Cases[] = {{300, 120, "300", "120"}, {0, 0, "1", "1"}, {-4, 7, "1", "7"}};
  for (const Case& C : Cases) {
    const std::string S = Svg([](TCanvas&) {}, C.W, C.H);
    EXPECT_EQ(S.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u) << S;
    const std::vector<TElement> Root = Named(S, "svg");
    ASSERT_EQ(Root.size(), 1u);
    EXPECT_EQ(Root[0]["xmlns"], "http://www.w3.org/2000/svg");
    EXPECT_EQ(Root[0]["width"], C.Width);
    EXPECT_EQ(Root[0]["height"], C.Height);
    EXPECT_EQ(Root[0]["viewBox"], "0 0 " + C.Width + " " + C.Height);
    EXPECT_EQ(Root[0]["xml:space"], "preserve");
    EXPECT_EQ(Named(S, "title")[0].Content, "car");
    EXPECT_EQ(Named(S, "desc")[0].Content, "VarnTree");
    EXPECT_TRUE(Drawing(S).empty());
    EXPECT_EQ(S.substr(S.size() - 7), "</svg>\n");
  }
}

TEST(SvgWriter, ShapesRunThroughTheCentresOfTheirOuterPixels) {
  struct Case {
    TMetaOp Op;
    TRect R;
    TPoint Corner;
    const char* Element;
    std::map<std::string, std::string> Geometry;  // "<none>": must be absent
  };
  const std::map<std::string, std::string> Box{
      {"x", "10.5"}, {"y", "20.5"}, {"width", "39"}, {"height", "19"}};
  const auto With = [&](std::map<std::string, std::string> Extra) {
    std::map<std::string, std::string> G = Box;
    for (auto& [K, V] : Extra) G[K] = V;
    return G;
  };
  const Case Cases[] = {
      {TMetaOp::Rectangle, {10, 20, 50, 40}, {}, "rect", With({{"rx", "<none>"}})},
      {TMetaOp::Rectangle, {50, 40, 10, 20}, {}, "rect", Box},  // corners in any order
      {TMetaOp::Ellipse,
       {10, 20, 50, 40},
       {},
       "ellipse",
       {{"cx", "30"}, {"cy", "30"}, {"rx", "19.5"}, {"ry", "9.5"}}},
      {TMetaOp::Ellipse,
       {10, 20, 51, 41},
       {},
       "ellipse",
       {{"cx", "30.5"}, {"cy", "30.5"}, {"rx", "20"}, {"ry", "10"}}},
      {TMetaOp::RoundRect, {10, 20, 50, 40}, {10, 6}, "rect", With({{"rx", "5"}, {"ry", "3"}})},
      {TMetaOp::RoundRect, {10, 20, 50, 40}, {-9, -7}, "rect", With({{"rx", "4.5"}, {"ry", "3.5"}})},
      // Corners larger than the box are limited to half of it.
      {TMetaOp::RoundRect, {10, 20, 50, 40}, {100, 100}, "rect", With({{"rx", "19.5"}, {"ry", "9.5"}})},
      {TMetaOp::RoundRect, {10, 20, 50, 40}, {10, 0}, "rect", With({{"rx", "<none>"}, {"ry", "<none>"}})},
  };
  for (const Case& C : Cases) {
    const std::string S = Svg([&](TCanvas& Canvas) {
      if (C.Op == TMetaOp::Rectangle) Canvas.Rectangle(C.R);
      if (C.Op == TMetaOp::Ellipse) Canvas.Ellipse(C.R);
      if (C.Op == TMetaOp::RoundRect) Canvas.RoundRect(C.R, C.Corner.X, C.Corner.Y);
    });
    const std::vector<TElement> D = Drawing(S);
    ASSERT_EQ(D.size(), 1u) << S;
    EXPECT_EQ(D[0].Name, C.Element) << S;
    for (const auto& [Name, Value] : C.Geometry) EXPECT_EQ(D[0][Name], Value) << Name << " in " << S;
    if (C.Op == TMetaOp::RoundRect && D[0].Has("rx")) {
      // The corners are the outline's: it starts where the top edge does.
      const TShapeOutline O = ShapeOutline(TShapeKind::RoundRect, C.R, C.Corner.X, C.Corner.Y);
      EXPECT_EQ(std::stod(D[0]["x"]) + std::stod(D[0]["rx"]), O.Start.X + 0.5) << S;
    }
  }
}

TEST(SvgWriter, ShapesOnePixelThinAreClosedPathsOfTheirOutline) {
  // A rect or ellipse element with a side of 0 would not be drawn at all.
  for (const TShapeKind Kind : {TShapeKind::Rectangle, TShapeKind::Ellipse, TShapeKind::RoundRect}) {
    const TRect R(10, 20, 11, 40);
    const std::string S = Svg([&](TCanvas& C) {
      if (Kind == TShapeKind::Rectangle) C.Rectangle(R);
      if (Kind == TShapeKind::Ellipse) C.Ellipse(R);
      if (Kind == TShapeKind::RoundRect) C.RoundRect(R, 8, 8);
    });
    const std::vector<TElement> D = Drawing(S);
    ASSERT_EQ(D.size(), 1u) << S;
    EXPECT_EQ(D[0].Name, "path") << S;
    const std::string Path = D[0]["d"];
    EXPECT_EQ(Path.back(), 'Z') << S;
    std::vector<double> Xs, Ys;
    const std::vector<double> N = Numbers(Path);
    for (std::size_t I = 0; I + 1 < N.size(); I += 2) {
      Xs.push_back(N[I]);
      Ys.push_back(N[I + 1]);
    }
    EXPECT_EQ(*std::min_element(Xs.begin(), Xs.end()), 10.5) << S;
    EXPECT_EQ(*std::max_element(Xs.begin(), Xs.end()), 10.5) << S;
    EXPECT_EQ(*std::min_element(Ys.begin(), Ys.end()), 20.5) << S;
    EXPECT_EQ(*std::max_element(Ys.begin(), Ys.end()), 39.5) << S;
  }
}

TEST(SvgWriter, PensByStyleAndWidth) {
  struct Case {
    TPen Pen;
    std::map<std::string, std::string> Stroke;  // "<none>": must be absent
  };
  const std::string None = "<none>";
  const Case Cases[] = {
      {TPen(RGB(0x12, 0x34, 0x56)),
       {{"stroke", "#123456"}, {"stroke-width", None}, {"stroke-dasharray", None}, {"stroke-linecap", None}}},
      {TPen(clBtnFace, 0), {{"stroke", "#c0c0c0"}, {"stroke-width", None}}},
      {TPen(clBlack, 1, psDash), {{"stroke-dasharray", "4,2"}, {"stroke-linecap", None}}},
      {TPen(clBlack, 1, psDashDotDot), {{"stroke-dasharray", "4,2,1,2,1,2"}}},
      // Patterns scale with the width; wide pens end and join round.
      {TPen(clBlack, 3, psDot),
       {{"stroke-width", "3"},
        {"stroke-dasharray", "3,6"},
        {"stroke-linecap", "round"},
        {"stroke-linejoin", "round"}}},
      {TPen(clBlack, 2, psDashDot), {{"stroke-dasharray", "8,4,2,4"}}},
      {TPen(clBlack, 2, psInsideFrame),
       {{"stroke-width", "2"}, {"stroke-dasharray", None}, {"stroke-linecap", "round"}}},
      {TPen(clRed, 4, psClear), {{"stroke", None}, {"stroke-width", None}, {"stroke-dasharray", None}}},
  };
  for (const Case& C : Cases) {
    const std::string S = Svg([&](TCanvas& Canvas) {
      Canvas.SetPen(C.Pen);
      Canvas.Rectangle(0, 0, 10, 10);
      Canvas.MoveTo(0, 20);
      Canvas.LineTo(30, 20);
    });
    const std::vector<TElement> D = Drawing(S);
    ASSERT_EQ(D.size(), C.Pen.Style() == psClear ? 1u : 2u) << S;  // a clear pen draws no line
    for (const TElement& E : D)
      for (const auto& [Name, Value] : C.Stroke) EXPECT_EQ(E[Name], Value) << Name << " in " << S;
  }
}

TEST(SvgWriter, BrushesFillOrHatchUnderTheOutline) {
  const TRect R(3, 5, 60, 40);
  struct Case {
    TBrush Brush;
    std::string Fill;
    bool Drawn;
  };
  const Case Cases[] = {
      {TBrush(RGB(1, 2, 3)), "#010203", true},
      {TBrush(clRed, bsClear), "none", true},
      {TBrush(clRed, bsHorizontal), "none", true},
      {TBrush(clRed, bsDiagCross), "none", true},
  };
  for (const Case& C : Cases) {
    const std::string S = Svg([&](TCanvas& Canvas) {
      Canvas.SetBrush(C.Brush);
      Canvas.Rectangle(R);
    });
    const std::vector<TElement> D = Drawing(S);
    const bool Hatched = IsHatched(C.Brush.Style());
    ASSERT_EQ(D.size(), Hatched ? 2u : 1u) << S;
    EXPECT_EQ(D.back().Name, "rect");
    EXPECT_EQ(D.back()["fill"], C.Fill);
    EXPECT_EQ(D.back()["stroke"], "#000000");
    if (!Hatched) continue;
    const TElement& Lines = D.front();
    EXPECT_EQ(Lines.Name, "path");
    EXPECT_EQ(Lines["stroke"], "#ff0000");
    EXPECT_EQ(Lines["fill"], "none");
    EXPECT_FALSE(Lines.Has("stroke-width"));
    EXPECT_FALSE(Lines.Has("stroke-linecap"));
    const std::vector<double> Expected =
        HatchNumbers(ShapeOutline(TShapeKind::Rectangle, R), C.Brush.Style());
    ASSERT_FALSE(Expected.empty());
    EXPECT_EQ(Numbers(Lines["d"]), Expected);
    std::string Pairs;
    for (std::size_t I = 0; I < Expected.size() / 4; ++I) Pairs += "ML";
    EXPECT_EQ(Commands(Lines["d"]), Pairs);
  }

  // Hatching follows the shape, and a clear pen leaves the lines alone.
  const std::string S = Svg([](TCanvas& C) {
    C.SetBrush(TBrush(clBlack, bsFDiagonal));
    C.SetPen(TPen(clBlack, 1, psClear));
    C.Ellipse(TRect(0, 0, 41, 41));
  });
  const std::vector<TElement> D = Drawing(S);
  ASSERT_EQ(D.size(), 2u) << S;
  EXPECT_EQ(Numbers(D[0]["d"]),
            HatchNumbers(ShapeOutline(TShapeKind::Ellipse, TRect(0, 0, 41, 41)), bsFDiagonal));
  EXPECT_EQ(D[1].Name, "ellipse");
  EXPECT_FALSE(D[1].Has("stroke"));

  // Neither pen nor brush: nothing to draw.
  EXPECT_TRUE(Drawing(Svg([](TCanvas& C) {
                C.SetBrush(TBrush(clBlack, bsClear));
                C.SetPen(TPen(clBlack, 1, psClear));
                C.Rectangle(0, 0, 10, 10);
              })).empty());
}

TEST(SvgWriter, LinesRunBetweenPixelCentresFromThePenPosition) {
  const std::string S = Svg([](TCanvas& C) {
    C.LineTo(4, 0);  // from the initial position (0, 0)
    C.MoveTo(10, 10);
    C.LineTo(20, 10);
    C.LineTo(20, 30);
    C.SetPen(TPen(clBlack, 1, psClear));
    C.LineTo(40, 40);  // not drawn, but moves the pen
    C.SetPen(TPen(clBlack));
    C.LineTo(50, 40);
    C.SetPen(TPen(clRed, 2));
    C.LineTo(50, 60);
    C.Rectangle(0, 0, 5, 5);
    C.LineTo(0, 60);
  });
  const std::vector<TElement> D = Drawing(S);
  ASSERT_EQ(D.size(), 4u) << S;
  // Every line a subpath of its own: dashes start afresh on each, as the
  // canvas draws them.
  EXPECT_EQ(D[0]["d"], "M0.5 0.5L4.5 0.5M10.5 10.5L20.5 10.5M20.5 10.5L20.5 30.5M40.5 40.5L50.5 40.5");
  EXPECT_EQ(D[0]["fill"], "none");
  EXPECT_EQ(D[1]["d"], "M50.5 40.5L50.5 60.5");
  EXPECT_EQ(D[1]["stroke"], "#ff0000");
  EXPECT_EQ(D[2].Name, "rect");
  EXPECT_EQ(D[3]["d"], "M50.5 60.5L0.5 60.5");
}

TEST(SvgWriter, FillRectCoversExactlyItsPixels) {
  struct Case {
    TBrush Brush;
    TRect R;
    const char* Expected;  // the element drawn, or "" for none
  };
  const Case Cases[] = {
      {TBrush(clYellow), {2, 3, 12, 8}, "rect"},
      {TBrush(clYellow, bsClear), {2, 3, 12, 8}, ""},
      {TBrush(clYellow), {5, 5, 5, 9}, ""},
      {TBrush(clYellow), {12, 8, 2, 3}, ""},
      {TBrush(clYellow, bsVertical), {2, 3, 42, 8}, "path"},
  };
  for (const Case& C : Cases) {
    const std::string S = Svg([&](TCanvas& Canvas) {
      Canvas.SetPen(TPen(clRed, 3));  // a fill has no outline
      Canvas.SetBrush(C.Brush);
      Canvas.FillRect(C.R);
    });
    const std::vector<TElement> D = Drawing(S);
    if (std::string(C.Expected).empty()) {
      EXPECT_TRUE(D.empty()) << S;
      continue;
    }
    ASSERT_EQ(D.size(), 1u) << S;
    EXPECT_EQ(D[0].Name, C.Expected);
    if (D[0].Name == "rect") {
      EXPECT_EQ(D[0]["x"], "2");
      EXPECT_EQ(D[0]["y"], "3");
      EXPECT_EQ(D[0]["width"], "10");
      EXPECT_EQ(D[0]["height"], "5");
      EXPECT_EQ(D[0]["fill"], "#ffff00");
      EXPECT_FALSE(D[0].Has("stroke"));
    } else {
      EXPECT_EQ(D[0]["stroke"], "#ffff00");
      EXPECT_EQ(Numbers(D[0]["d"]), HatchNumbers(ShapeOutline(TShapeKind::Rectangle, C.R), bsVertical));
    }
  }
}

TEST(SvgWriter, EveryCharacterSitsWhereTheMeasurerPutIt) {
  const TWidthByCharMeasurer Measurer;
  struct Case {
    std::string Text;
    std::vector<std::string> Xs;       // per run
    std::vector<std::string> Content;  // per run
  };
  const Case Cases[] = {
      {"iWa", {"10 13 25"}, {"iWa"}},
      {"a i", {"10 17 24"}, {"a i"}},  // spaces keep their place
      // A tab takes its measured advance and is not drawn.
      {"i\tWa", {"10", "20 32"}, {"i", "Wa"}},
      {"\t\ta", {"24"}, {"a"}},
      // A character outside the BMP is one character of two UTF-16 units.
      {"a\xF0\x9F\x98\x80iW", {"10 17 24 27"}, {"a\xF0\x9F\x98\x80iW"}},
  };
  for (const Case& C : Cases) {
    const std::string S = Svg([&](TCanvas& Canvas) { Canvas.TextOut(10, 30, C.Text); }, 200, 100, Measurer);
    const std::vector<TElement> Texts = Named(S, "text");
    ASSERT_EQ(Texts.size(), 1u) << S;
    EXPECT_EQ(Texts[0]["y"], "46") << S;  // 30 + the ascent of 16
    std::vector<TElement> Runs = Named(S, "tspan");
    if (Runs.empty()) Runs = Texts;
    ASSERT_EQ(Runs.size(), C.Xs.size()) << S;
    for (std::size_t I = 0; I < Runs.size(); ++I) {
      EXPECT_EQ(Runs[I]["x"], C.Xs[I]) << S;
      EXPECT_EQ(Runs[I].Content, C.Content[I]) << S;
    }
    // Nothing between the spans, where it would be drawn.
    EXPECT_EQ(S.find("</tspan> "), std::string::npos);
  }
  // No runs, no element.
  EXPECT_TRUE(Drawing(Svg([](TCanvas& C) {
                C.TextOut(0, 0, "");
                C.TextOut(0, 0, "\t");
              })).empty());
}

TEST(SvgWriter, FontsAsTextAttributes) {
  struct Case {
    TFont Font;
    std::map<std::string, std::string> Attributes;  // "<none>": must be absent
  };
  const std::string None = "<none>";
  const Case Cases[] = {
      {TFont("Arial", 10),
       {{"font-family", "'Arial'"},
        {"font-size", "13"},
        {"fill", "#000000"},
        {"font-weight", None},
        {"font-style", None},
        {"text-decoration", None},
        {"y", "33"}}},  // 20 + four fifths of the fake line height of 16
      {TFont("Times New Roman", 15, RGB(0xAB, 0, 0x10), {fsBold, fsItalic}),
       {{"font-family", "'Times New Roman'"},
        {"font-size", "20"},
        {"fill", "#ab0010"},
        {"font-weight", "bold"},
        {"font-style", "italic"},
        {"y", "39"}}},  // 20 + round(24 * 0.8)
      {TFont("Arial", 10, clBlack, {fsUnderline}), {{"text-decoration", "underline"}}},
      {TFont("Arial", 10, clBlack, {fsStrikeOut}), {{"text-decoration", "line-through"}}},
      {TFont("Arial", 10, clBlack, {fsUnderline, fsStrikeOut}),
       {{"text-decoration", "underline line-through"}}},
      // A quote or backslash in the name is escaped for CSS, then for XML.
      {TFont("O'Neil\\<Sans>", 10), {{"font-family", "'O\\&apos;Neil\\\\&lt;Sans&gt;'"}}},
      {TFont("Arial", 0), {{"font-size", "1"}}},
  };
  for (const Case& C : Cases) {
    const std::string S = Svg([&](TCanvas& Canvas) {
      Canvas.SetFont(C.Font);
      Canvas.TextOut(5, 20, "Car");
    });
    const std::vector<TElement> Texts = Named(S, "text");
    ASSERT_EQ(Texts.size(), 1u) << S;
    for (const auto& [Name, Value] : C.Attributes) EXPECT_EQ(Texts[0][Name], Value) << Name << " in " << S;
  }
}

TEST(SvgWriter, ClippedTextHasAClipPathOfItsRectangle) {
  const std::string S = Svg([](TCanvas& C) {
    C.TextOut(0, 0, "free");
    C.TextRect(TRect(10, 20, 60, 35), 12, 21, "one");
    C.TextRect(TRect(10, 20, 60, 35), 12, 27, "two");  // the same clip
    C.TextRect(TRect(10, 40, 60, 55), 12, 41, "three");
    C.TextRect(TRect(10, 60, 10, 75), 12, 61, "hidden");  // empty clip
    C.TextRect(TRect(10, 80, 60, 95), 12, 81, "");        // nothing to clip
  });
  const std::vector<TElement> Clips = Named(S, "clipPath");
  ASSERT_EQ(Clips.size(), 2u) << S;
  const std::vector<TElement> Texts = Named(S, "text");
  ASSERT_EQ(Texts.size(), 4u) << S;
  EXPECT_FALSE(Texts[0].Has("clip-path"));
  EXPECT_EQ(Texts[1]["clip-path"], "url(#" + Clips[0]["id"] + ")");
  EXPECT_EQ(Texts[2]["clip-path"], "url(#" + Clips[0]["id"] + ")");
  EXPECT_EQ(Texts[3]["clip-path"], "url(#" + Clips[1]["id"] + ")");
  EXPECT_NE(Clips[0]["id"], Clips[1]["id"]);
  EXPECT_EQ(S.find("hidden"), std::string::npos);
  // Each clip path is the exact pixel rectangle, defined before its use.
  const std::vector<TElement> All = Elements(S);
  for (std::size_t I = 0; I < All.size(); ++I) {
    if (All[I].Name != "clipPath") continue;
    ASSERT_LT(I + 2, All.size());
    const TElement& Box = All[I + 1];
    EXPECT_EQ(Box.Name, "rect");
    EXPECT_EQ(Box["x"], "10");
    EXPECT_EQ(Box["y"], Clips[0]["id"] == All[I]["id"] ? "20" : "40");
    EXPECT_EQ(Box["width"], "50");
    EXPECT_EQ(Box["height"], "15");
    EXPECT_EQ(All[I + 2].Name, "text");
  }
}

TEST(SvgWriter, MarkupIsEscapedAndForbiddenCharactersReplaced) {
  TMetafile M(50, 50, "<a & 'b'>\"\x01\tc\r");
  const TFakeMeasurer Measurer;
  {
    TMetafileCanvas C(M, Measurer);
    C.TextOut(0, 0, "x<y&z\xEF\xBF\xBE\xFF");  // U+FFFE and a byte that is no UTF-8
  }
  const std::string S = SvgDocument(M, Measurer);
  EXPECT_NE(S.find("<title>&lt;a &amp; &apos;b&apos;&gt;&quot;\xEF\xBF\xBD\tc&#13;</title>"),
            std::string::npos)
      << S;
  const std::vector<TElement> Texts = Named(S, "text");
  ASSERT_EQ(Texts.size(), 1u);
  EXPECT_EQ(Texts[0].Content, "x&lt;y&amp;z\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(Texts[0]["x"], "0 8 16 24 32 40 48");  // one position per character, escaped or not
}

// rsvg reads the picture and draws it at exactly its size; xmllint finds the
// document well-formed.
TEST(SvgWriter, AnIndependentReaderTakesThePicture) {
  if (std::system("command -v rsvg-convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "rsvg-convert is missing";
  TMetafile M(123, 45, "a & b");
  const TFakeMeasurer Measurer;
  {
    TMetafileCanvas C(M, Measurer);
    C.SetBrush(TBrush(clAqua, bsCross));
    C.SetPen(TPen(clNavy, 2, psDash));
    C.RoundRect(TRect(2, 2, 60, 40), 10, 10);
    C.SetBrush(TBrush(clWhite));
    C.Ellipse(TRect(62, 2, 120, 40));
    C.FillRect(TRect(0, 41, 123, 45));
    C.MoveTo(0, 0);
    C.LineTo(122, 44);
    C.TextRect(TRect(4, 4, 40, 20), 4, 4, "<a\t\"b\" & \xF0\x9F\x98\x80\x02>");
  }
  const fs::path Dir = fs::temp_directory_path() / "vt_svg_reader";
  fs::remove_all(Dir);
  fs::create_directories(Dir);
  const std::string File = (Dir / "p.svg").string(), Png = (Dir / "p.png").string();
  SaveSvg(M, Measurer, File);
  ASSERT_EQ(std::system(("rsvg-convert -o '" + Png + "' '" + File + "' 2>&1").c_str()), 0);
  std::ifstream In(Png, std::ios::binary);
  const std::string Bytes((std::istreambuf_iterator<char>(In)), {});
  ASSERT_GT(Bytes.size(), 24u);
  const auto Be32 = [&](std::size_t At) {
    std::uint32_t V = 0;
    for (std::size_t I = At; I < At + 4; ++I) V = (V << 8) | std::uint8_t(Bytes[I]);
    return V;
  };
  EXPECT_EQ(Be32(16), 123u);
  EXPECT_EQ(Be32(20), 45u);
  if (std::system("command -v xmllint >/dev/null 2>&1") == 0) {
    EXPECT_EQ(std::system(("xmllint --noout '" + File + "'").c_str()), 0);
  }
  fs::remove_all(Dir);
}

TEST(SaveSvg, WritesTheDocumentAndReportsFailures) {
  const TMetafile M(20, 10, "p");
  const TFakeMeasurer Measurer;
  const fs::path File = fs::temp_directory_path() / "vt_save_svg.svg";
  SaveSvg(M, Measurer, File.string());
  std::ifstream In(File, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(In)), {}), SvgDocument(M, Measurer));
  fs::remove(File);

  const std::string Missing = (fs::temp_directory_path() / "vt_no_such_dir" / "p.svg").string();
  EXPECT_THROW_MSG(SaveSvg(M, Measurer, Missing), EFileWriteError,
                   "Cannot create file \"" + Missing + "\". No such file or directory");
}

}  // namespace
}  // namespace vt
