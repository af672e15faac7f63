// Writing a recorded picture in a file format chosen by the caller. The
// layers without Qt save pictures through this interface: the base writer
// knows the .emf and .svg formats, the Qt one (graphics/qt) every format.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "graphics/Metafile.h"
#include "graphics/TextMeasurer.h"

namespace vt {

inline constexpr const char* SPictureFormatUnavailable = "Pictures cannot be saved as %s here";

enum class TPictureFormat { Emf, Bmp, Png, Svg, Pdf };

// "EMF", "BMP", "PNG", "SVG", "PDF".
std::string PictureFormatName(TPictureFormat Format);
// The format of a file name's extension, in any letter case (".emf",
// ".bmp", ".png", ".svg", ".pdf"); nothing for any other extension.
std::optional<TPictureFormat> PictureFormatOfFileName(std::string_view FileName);

class TPictureWriter {
 public:
  virtual ~TPictureWriter() = default;
  virtual bool Supports(TPictureFormat Format) const;
  // Writes Metafile to FileName (replaced only when complete). ScalePercent
  // sizes raster formats only. EGraphicsError with SPictureFormatUnavailable
  // for a format this writer does not support.
  virtual void Save(const TMetafile& Metafile, const TTextMeasurer& Measurer, const std::string& FileName,
                    TPictureFormat Format, int ScalePercent = 100) const;
};

}  // namespace vt
