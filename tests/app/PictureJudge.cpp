#include "PictureJudge.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace vt::test {

namespace {

struct TPixel {
  int X, Y;
};

// The pixel at distance Depth from edge E, at position P along it.
TPixel EdgePixel(TEdge E, int P, int Depth, int W, int H) {
  switch (E) {
    case eTop:
      return {P, Depth};
    case eBottom:
      return {P, H - 1 - Depth};
    case eLeft:
      return {Depth, P};
    case eRight:
      return {W - 1 - Depth, P};
  }
  return {P, Depth};
}

bool InkedNear(const TGreyImage& Image, TPixel At, int Ink) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (Image.At(At.X + dx, At.Y + dy) < Ink) return true;
  return false;
}

// Checks one edge; Missed gets every pixel of ours that the rendering lacks.
TEdgeResult CheckEdge(const TGreyImage& Ours, const TGreyImage& Theirs, TEdge E, const TJudgeSettings& S,
                      std::vector<TPixel>* Missed) {
  TEdgeResult r;
  r.Checked = true;
  const int W = Ours.Width(), H = Ours.Height();
  const int length = E == eTop || E == eBottom ? W : H;
  const int depth = std::min(2, E == eTop || E == eBottom ? H : W);
  int gap = 0;
  for (int p = 0; p < length; ++p) {
    bool missedHere = false;
    for (int d = 0; d < depth; ++d) {
      const TPixel px = EdgePixel(E, p, d, W, H);
      if (Ours.At(px.X, px.Y) >= S.OurInk) continue;
      ++r.Inked;
      if (InkedNear(Theirs, px, S.TheirInk)) continue;
      ++r.Missed;
      missedHere = true;
      if (Missed) Missed->push_back(px);
    }
    gap = missedHere ? gap + 1 : 0;
    if (gap > r.LongestGap) {
      r.LongestGap = gap;
      r.GapStart = p - gap + 1;
    }
  }
  return r;
}

// Their picture on our picture's area: cut off or padded with paper.
TGreyImage FittedTo(const TGreyImage& Theirs, int W, int H) {
  TGreyImage fitted(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) fitted.Set(x, y, Theirs.At(x, y));
  return fitted;
}

template <typename F>
void ForEachDifference(const TGreyImage& Ours, const TGreyImage& Theirs, const TJudgeSettings& S, F Visit) {
  const TGreyImage a = BoxBlur(Ours, S.BlurRadius);
  const TGreyImage b = BoxBlur(FittedTo(Theirs, Ours.Width(), Ours.Height()), S.BlurRadius);
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (std::abs(a.At(x, y) - b.At(x, y)) > S.Threshold) Visit(x, y);
}

}  // namespace

TGreyImage::TGreyImage(int AWidth, int AHeight, int AFill)
    : FWidth(AWidth), FHeight(AHeight), FPixels(std::size_t(AWidth) * AHeight, std::uint8_t(AFill)) {}

QImage OnWhite(const QImage& Image) {
  QImage paper(Image.size(), QImage::Format_RGB32);
  paper.fill(Qt::white);
  QPainter painter(&paper);
  painter.drawImage(0, 0, Image);
  return paper;
}

TGreyImage TGreyImage::OnWhite(const QImage& Image) {
  const QImage paper = vt::test::OnWhite(Image);
  TGreyImage grey(paper.width(), paper.height());
  for (int y = 0; y < paper.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(paper.constScanLine(y));
    for (int x = 0; x < paper.width(); ++x)
      grey.Set(x, y, (qRed(line[x]) * 299 + qGreen(line[x]) * 587 + qBlue(line[x]) * 114 + 500) / 1000);
  }
  return grey;
}

TGreyImage BoxBlur(const TGreyImage& Image, int Radius) {
  const int W = Image.Width(), H = Image.Height();
  // Sums of the darkness (255 - grey) over the rectangle above and left of
  // each point; paper outside the image adds nothing.
  std::vector<long long> sums(std::size_t(W + 1) * (H + 1), 0);
  auto sum = [&](int X, int Y) -> long long& { return sums[std::size_t(Y) * (W + 1) + X]; };
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      sum(x + 1, y + 1) = (255 - Image.At(x, y)) + sum(x, y + 1) + sum(x + 1, y) - sum(x, y);
  const int side = 2 * Radius + 1;
  TGreyImage blurred(W, H);
  for (int y = 0; y < H; ++y) {
    const int y0 = std::max(0, y - Radius), y1 = std::min(H, y + Radius + 1);
    for (int x = 0; x < W; ++x) {
      const int x0 = std::max(0, x - Radius), x1 = std::min(W, x + Radius + 1);
      const long long dark = sum(x1, y1) - sum(x0, y1) - sum(x1, y0) + sum(x0, y0);
      blurred.Set(x, y, int(255 - (dark + side * side / 2) / (side * side)));
    }
  }
  return blurred;
}

int TJudgement::LongestGap() const {
  int longest = 0;
  for (const TEdgeResult& e : Edges) longest = std::max(longest, e.LongestGap);
  return longest;
}

std::string TJudgement::EdgeSummary() const {
  std::ostringstream out;
  const char* separator = "";
  for (int e = 0; e < 4; ++e) {
    const TEdgeResult& r = Edges[e];
    if (!r.Checked) continue;
    out << separator << EdgeNames[e] << " " << r.Missed << "/" << r.Inked;
    if (r.LongestGap > 0) out << " (gap " << r.LongestGap << " at " << r.GapStart << ")";
    separator = ", ";
  }
  return out.str();
}

TJudgement Judge(const TGreyImage& Ours, const TGreyImage& Theirs, const TEdgeSet& Edges,
                 const TJudgeSettings& Settings) {
  TJudgement j;
  for (int e = 0; e < 4; ++e)
    if (Edges[e]) j.Edges[e] = CheckEdge(Ours, Theirs, TEdge(e), Settings, nullptr);
  for (int y = 0; y < Ours.Height(); ++y)
    for (int x = 0; x < Ours.Width(); ++x)
      if (Ours.At(x, y) < Settings.OurInk) ++j.Difference.OurInked;
  ForEachDifference(Ours, Theirs, Settings, [&](int, int) { ++j.Difference.Differing; });
  return j;
}

QImage SideBySide(const QImage& Ours, const QImage& Theirs, const TEdgeSet& Edges,
                  const TJudgeSettings& Settings) {
  const TGreyImage ours = TGreyImage::OnWhite(Ours);
  const TGreyImage theirs = TGreyImage::OnWhite(Theirs);
  QImage map(Ours.size(), QImage::Format_RGB32);
  for (int y = 0; y < ours.Height(); ++y)
    for (int x = 0; x < ours.Width(); ++x) {
      const int light = 255 - (255 - ours.At(x, y)) / 3;
      map.setPixel(x, y, qRgb(light, light, light));
    }
  ForEachDifference(ours, theirs, Settings, [&](int X, int Y) { map.setPixel(X, Y, qRgb(230, 0, 0)); });
  std::vector<TPixel> missed;
  for (int e = 0; e < 4; ++e)
    if (Edges[e]) CheckEdge(ours, theirs, TEdge(e), Settings, &missed);
  for (const TPixel& p : missed) map.setPixel(p.X, p.Y, qRgb(0, 0, 255));

  constexpr int Gap = 6;
  const int width = std::max(Ours.width(), Theirs.width());
  QImage sheet(width, Ours.height() + Theirs.height() + map.height() + 2 * Gap, QImage::Format_RGB32);
  sheet.fill(QColor(128, 128, 128));
  QPainter painter(&sheet);
  int top = 0;
  for (const QImage& part : {OnWhite(Ours), OnWhite(Theirs), map}) {
    painter.fillRect(0, top, width, part.height(), Qt::white);
    painter.drawImage(0, top, part);
    top += part.height() + Gap;
  }
  return sheet;
}

}  // namespace vt::test
