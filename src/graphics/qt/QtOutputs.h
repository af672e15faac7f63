// Pictures written by playing a recorded metafile through Qt: raster images
// (.png, .bmp) at a scale, and .pdf at its size in pixels at 96 dpi; .svg
// comes from the SVG writer. Every file is replaced only when complete.
#pragma once

#include <QByteArray>
#include <QImage>
#include <string>

#include "graphics/Metafile.h"
#include "graphics/PictureWriter.h"
#include "graphics/SvgWriter.h"
#include "graphics/TextMeasurer.h"

namespace vt {

inline constexpr const char* SInvalidScale = "Invalid picture scale: %d%%";
inline constexpr const char* SImageTooLarge = "Cannot create a bitmap of %d x %d pixels";
inline constexpr const char* SImageEncodeError = "Cannot encode the picture as %s";
inline constexpr const char* SPaintError = "Cannot draw the picture as %s";

// The size of the raster picture at ScalePercent: each side rounded, halves
// to even, and at least one pixel. EGraphicsError for a scale below 1 %.
QSize ScaledImageSize(const TMetafile& Metafile, int ScalePercent);

// Largest raster picture, in pixels (1 GiB of 32-bit pixels); a larger one
// raises SImageTooLarge instead of exhausting the memory.
inline constexpr long long MaxImagePixels = 1LL << 28;

// The picture on a white 24-bit image of ScaledImageSize, stretched to it.
QImage RenderImage(const TMetafile& Metafile, const TTextMeasurer& Measurer, int ScalePercent = 100);

void SavePng(const TMetafile& Metafile, const TTextMeasurer& Measurer, const std::string& FileName,
             int ScalePercent = 100);
void SaveBmp(const TMetafile& Metafile, const TTextMeasurer& Measurer, const std::string& FileName,
             int ScalePercent = 100);
// The vector pictures as bytes (for the clipboard, where there is no EMF
// format), and written to files. The SVG comes from the SVG writer
// (graphics/SvgWriter.h, which also has SaveSvg), the PDF from Qt.
QByteArray SvgBytes(const TMetafile& Metafile, const TTextMeasurer& Measurer);
QByteArray PdfBytes(const TMetafile& Metafile, const TTextMeasurer& Measurer);
void SavePdf(const TMetafile& Metafile, const TTextMeasurer& Measurer, const std::string& FileName);

// Every picture format: .emf and .svg by the base writer, the rest through Qt.
class TQtPictureWriter : public TPictureWriter {
 public:
  bool Supports(TPictureFormat Format) const override;
  void Save(const TMetafile& Metafile, const TTextMeasurer& Measurer, const std::string& FileName,
            TPictureFormat Format, int ScalePercent = 100) const override;
};

}  // namespace vt
