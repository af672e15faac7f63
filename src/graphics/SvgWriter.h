// The .svg writer: turns a recorded metafile into an SVG picture that shows
// what the QPainter canvas draws. The picture is W x H user units (pixels)
// with the outlines through the centres of their outer pixels, hatched
// brushes as explicit lines, every character of a text at the position the
// measurer gave it, and clipped text clipped by a clip path. Text stays text,
// so editors can select and change it.
#pragma once

#include <string>

#include "graphics/Metafile.h"
#include "graphics/TextMeasurer.h"

namespace vt {

inline constexpr const char* SvgNamespace = "http://www.w3.org/2000/svg";

// The whole .svg file of Metafile, UTF-8. Text positions come from Measurer,
// which must be the one the picture was measured with. A picture narrower or
// lower than one pixel is written as one pixel wide or high, as the other
// outputs do.
std::string SvgDocument(const TMetafile& Metafile, const TTextMeasurer& Measurer);

// Writes SvgDocument to FileName, replacing it only when complete
// (EFileWriteError on failure).
void SaveSvg(const TMetafile& Metafile, const TTextMeasurer& Measurer, const std::string& FileName);

}  // namespace vt
