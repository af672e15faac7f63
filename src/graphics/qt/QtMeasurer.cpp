#include "graphics/qt/QtMeasurer.h"

#include <algorithm>

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
  return F;
}

QString ToQString(std::string_view Text) {
  const std::u16string U = Utf8ToUtf16(Text);
  return QString(reinterpret_cast<const QChar*>(U.data()), static_cast<qsizetype>(U.size()));
}

TQtMeasurer::TQtMeasurer() {
  EnsureGuiApplication();
}

const QFontMetrics& TQtMeasurer::Metrics(const TFont& Font) const {
  if (!FCachedFont || !(*FCachedFont == Font)) {
    FCachedMetrics.emplace(ToQFont(Font));
    FCachedFont = Font;
  }
  return *FCachedMetrics;
}

int TQtMeasurer::TextWidth(const TFont& Font, std::string_view Text) const {
  return Metrics(Font).horizontalAdvance(ToQString(Text));
}

int TQtMeasurer::TextHeight(const TFont& Font, std::string_view) const {
  const QFontMetrics& M = Metrics(Font);
  return M.ascent() + M.descent();
}

std::vector<int> TQtMeasurer::CharAdvances(const TFont& Font, std::string_view Text) const {
  // Differences of prefix widths: they add up to TextWidth and keep kerning.
  const QFontMetrics& M = Metrics(Font);
  const QString S = ToQString(Text);
  std::vector<int> Result;
  Result.reserve(static_cast<std::size_t>(S.size()));
  int Previous = 0;
  for (qsizetype I = 0; I < S.size(); ++I) {
    if (S[I].isHighSurrogate() && I + 1 < S.size()) {
      const int Width = M.horizontalAdvance(S.left(I + 2));
      Result.push_back(Width - Previous);
      Result.push_back(0);
      Previous = Width;
      ++I;
      continue;
    }
    const int Width = M.horizontalAdvance(S.left(I + 1));
    Result.push_back(Width - Previous);
    Previous = Width;
  }
  return Result;
}

}  // namespace vt
