// Judging a rendering of one of our pictures by another program against our
// own PNG of it: are the outlines on the picture's edges there, and how much
// of the picture looks different once small shifts are blurred away.
#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vt::test {

// Grey values of a picture laid on white paper, 0 black to 255 white. Reading
// outside the image gives white, so a rendering one pixel smaller than ours
// counts as blank paper there.
class TGreyImage {
 public:
  TGreyImage() = default;
  TGreyImage(int AWidth, int AHeight, int AFill = 255);
  // Transparent parts become white; colours become their luminance.
  static TGreyImage OnWhite(const QImage& Image);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  int At(int X, int Y) const {
    return X < 0 || Y < 0 || X >= FWidth || Y >= FHeight ? 255 : FPixels[std::size_t(Y) * FWidth + X];
  }
  void Set(int X, int Y, int V) { FPixels[std::size_t(Y) * FWidth + X] = std::uint8_t(V); }

 private:
  int FWidth = 0;
  int FHeight = 0;
  std::vector<std::uint8_t> FPixels;
};

// Mean of the (2 Radius + 1)² square around every pixel, paper outside.
TGreyImage BoxBlur(const TGreyImage& Image, int Radius);

// What counts as ink and as a difference. Our own picture is judged strictly
// (dark pixels only), a rendering leniently, since antialiasing spreads a
// one-pixel line over two lighter pixels.
struct TJudgeSettings {
  int OurInk = 128;    // our pixel is inked below this grey
  int TheirInk = 192;  // a rendering's pixel is inked below this grey
  int BlurRadius = 2;  // 5 x 5 box
  int Threshold = 64;  // blurred greys further apart than this differ; a
                       // one-pixel shift of a black line changes them by 51
};

enum TEdge { eTop, eBottom, eLeft, eRight };
inline constexpr std::array<const char*, 4> EdgeNames = {"top", "bottom", "left", "right"};

// The two outermost rows (columns) of one edge of our picture: every inked
// pixel there needs an inked pixel of the rendering within one pixel.
struct TEdgeResult {
  bool Checked = false;  // a tile's cut side is no edge of the picture
  int Inked = 0;         // inked pixels of ours in the two outermost lines
  int Missed = 0;        // of them, those the rendering lacks
  int LongestGap = 0;    // longest run of consecutive positions with a miss
  int GapStart = -1;     // where it starts along the edge (x or y)
};

struct TDifference {
  long long OurInked = 0;   // inked pixels of our picture
  long long Differing = 0;  // pixels whose blurred greys differ
  double PerMille() const { return OurInked ? 1000.0 * double(Differing) / double(OurInked) : 0.0; }
};

struct TJudgement {
  std::array<TEdgeResult, 4> Edges;
  TDifference Difference;
  int LongestGap() const;
  std::string EdgeSummary() const;  // "top 0/812, bottom 140/1520 (gap 52 at 1200), …"
};

// Which edges of the picture the image has: all four for a whole picture,
// fewer for a tile cut out of it.
using TEdgeSet = std::array<bool, 4>;
inline constexpr TEdgeSet AllEdges = {true, true, true, true};

TJudgement Judge(const TGreyImage& Ours, const TGreyImage& Theirs, const TEdgeSet& Edges,
                 const TJudgeSettings& Settings = {});

// A picture on white paper, as the eye sees it.
QImage OnWhite(const QImage& Image);

// Ours above, theirs in the middle, and below a map of ours in light grey with
// the differing pixels in red and the missed edge pixels in blue.
QImage SideBySide(const QImage& Ours, const QImage& Theirs, const TEdgeSet& Edges,
                  const TJudgeSettings& Settings = {});

}  // namespace vt::test
