#include "graphics/qt/QtMeasurer.h"

#include <algorithm>

#include "foundation/Base.h"
#include "graphics/qt/QtApplication.h"

namespace vt {

QFont ToQFont(const TFont& Font) {
  QFont F(QString::fromStdString(Font.Name()));
  F.setPixelSize(std::max(1, -Font.Height()));
  const TFontStyles S = Font.Style();
  F.setBold(S.Contains(fsBold));
  F.setItalic(S.Contains(fsItalic));
  F.setUnderline(S.Contains(fsUnderline));
  F.setStrikeOut(S.Contains(fsStrikeOut));
  // Unhinted advances scale with the drawing, so a zoomed picture keeps the
  // text inside the boxes measured at 100 %.
  F.setHintingPreference(QFont::PreferNoHinting);
  F.setKerning(false);
  return F;
}

QString ToQString(std::string_view Text) {
  const std::u16string U = Utf8ToUtf16(Text);
  return QString(reinterpret_cast<const QChar*>(U.data()), static_cast<qsizetype>(U.size()));
}

TQtMeasurer::TQtMeasurer() {
  EnsureGuiApplication();
}

TQtMeasurer::TFontCache& TQtMeasurer::Cache(const TFont& Font) const {
  if (!FCache || !(FCache->Font == Font)) {
    const QFont Q = ToQFont(Font);
    FCache.reset();
    FCache.emplace(TFontCache{Font, QFontMetrics(Q), QFontMetricsF(Q), {}});
  }
  return *FCache;
}

// Measuring every prefix of a text through Qt would cost the square of its
// length; the advances of single characters are cached instead and summed.
const std::vector<double>& TQtMeasurer::Positions(const TFont& Font, std::string_view Text) const {
  TFontCache& C = Cache(Font);
  const QString S = ToQString(Text);
  FPositions.clear();
  FPositions.reserve(static_cast<std::size_t>(S.size()));
  double X = 0;
  for (qsizetype I = 0; I < S.size(); ++I) {
    const bool Pair = S[I].isHighSurrogate() && I + 1 < S.size() && S[I + 1].isLowSurrogate();
    const char32_t Code = Pair ? QChar::surrogateToUcs4(S[I], S[I + 1]) : S[I].unicode();
    auto [It, Added] = C.Advances.try_emplace(Code, 0.0);
    if (Added) It->second = C.MetricsF.horizontalAdvance(S.mid(I, Pair ? 2 : 1));
    X += It->second;
    FPositions.push_back(X);
    if (Pair) {
      FPositions.push_back(X);
      ++I;
    }
  }
  return FPositions;
}

int TQtMeasurer::TextWidth(const TFont& Font, std::string_view Text) const {
  const std::vector<double>& P = Positions(Font, Text);
  return P.empty() ? 0 : RoundHalfEven(P.back());
}

int TQtMeasurer::TextHeight(const TFont& Font, std::string_view) const {
  const QFontMetrics& M = Cache(Font).Metrics;
  return M.ascent() + M.descent();
}

int TQtMeasurer::Ascent(const TFont& Font) const {
  return Cache(Font).Metrics.ascent();
}

std::vector<int> TQtMeasurer::CharAdvances(const TFont& Font, std::string_view Text) const {
  // Differences of the rounded positions: every running sum is the width of
  // that prefix, and all of them add up to TextWidth.
  const std::vector<double>& P = Positions(Font, Text);
  std::vector<int> Result(P.size());
  int Previous = 0;
  for (std::size_t I = 0; I < P.size(); ++I) {
    const int Here = RoundHalfEven(P[I]);
    Result[I] = Here - Previous;
    Previous = Here;
  }
  return Result;
}

}  // namespace vt
