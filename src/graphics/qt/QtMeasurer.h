// Text metrics from Qt's fonts at 96 dpi: a font of 10 points is 13 pixels
// high, "Arial" resolves to the metric-compatible face the system has
// (Liberation Sans on Debian).
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "graphics/TextMeasurer.h"

namespace vt {

// The Qt font used for both measuring and drawing: pixel size
// round(Size*96/72) (at least 1), bold, italic, underline, strike-out, and no
// kerning, as on the classic drawing surface: every character then advances
// by its own width, so the width of a text is the sum of its characters'.
QFont ToQFont(const TFont& Font);
// The UTF-16 text, with invalid UTF-8 replaced exactly as Utf8ToUtf16 does,
// so the characters match the advances of the measurer.
QString ToQString(std::string_view Text);

class TQtMeasurer : public TTextMeasurer {
 public:
  // Ensures a QGuiApplication exists.
  TQtMeasurer();

  int TextWidth(const TFont& Font, std::string_view Text) const override;
  int TextHeight(const TFont& Font, std::string_view Text) const override;
  std::vector<int> CharAdvances(const TFont& Font, std::string_view Text) const override;
  int Ascent(const TFont& Font) const override;

 private:
  // Metrics of the font asked last; pictures use few fonts in long runs.
  struct TFontCache {
    TFont Font;
    QFontMetrics Metrics;
    QFontMetricsF MetricsF;
    std::unordered_map<char32_t, double> Advances;  // unrounded, per code point
  };
  TFontCache& Cache(const TFont& Font) const;
  // The unrounded positions after each code point of Text (one entry per
  // UTF-16 unit, the second unit of a pair repeating the first's).
  const std::vector<double>& Positions(const TFont& Font, std::string_view Text) const;

  mutable std::optional<TFontCache> FCache;
  mutable std::vector<double> FPositions;  // scratch of Positions
};

}  // namespace vt
