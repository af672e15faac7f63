// Text metrics from Qt's fonts at 96 dpi: a font of 10 points is 13 pixels
// high, "Arial" resolves to the metric-compatible face the system has
// (Liberation Sans on Debian).
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <optional>
#include <string_view>

#include "graphics/TextMeasurer.h"

namespace vt {

// The Qt font used for both measuring and drawing: pixel size
// round(Size*96/72) (at least 1), bold, italic, underline, strike-out.
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

 private:
  const QFontMetrics& Metrics(const TFont& Font) const;

  // Metrics of the font asked last; pictures use few fonts in long runs.
  mutable std::optional<TFont> FCachedFont;
  mutable std::optional<QFontMetrics> FCachedMetrics;
};

}  // namespace vt
