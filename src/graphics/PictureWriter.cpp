#include "graphics/PictureWriter.h"

#include "foundation/Utils.h"
#include "graphics/EmfWriter.h"
#include "graphics/SvgWriter.h"

namespace vt {

std::string PictureFormatName(TPictureFormat Format) {
  switch (Format) {
    case TPictureFormat::Emf:
      return "EMF";
    case TPictureFormat::Bmp:
      return "BMP";
    case TPictureFormat::Png:
      return "PNG";
    case TPictureFormat::Svg:
      return "SVG";
    case TPictureFormat::Pdf:
      return "PDF";
  }
  return "?";
}

std::optional<TPictureFormat> PictureFormatOfFileName(std::string_view FileName) {
  const std::size_t Dot = FileName.find_last_of('.');
  if (Dot == std::string_view::npos || FileName.find_first_of("/\\", Dot) != std::string_view::npos)
    return std::nullopt;
  const std::string Extension = UpperCase(FileName.substr(Dot + 1));
  for (TPictureFormat F : {TPictureFormat::Emf, TPictureFormat::Bmp, TPictureFormat::Png, TPictureFormat::Svg,
                           TPictureFormat::Pdf})
    if (Extension == PictureFormatName(F)) return F;
  return std::nullopt;
}

bool TPictureWriter::Supports(TPictureFormat Format) const {
  return Format == TPictureFormat::Emf || Format == TPictureFormat::Svg;
}

void TPictureWriter::Save(const TMetafile& Metafile, const TTextMeasurer& Measurer,
                          const std::string& FileName, TPictureFormat Format, int) const {
  switch (Format) {
    case TPictureFormat::Emf:
      return SaveEmf(Metafile, Measurer, FileName);
    case TPictureFormat::Svg:
      return SaveSvg(Metafile, Measurer, FileName);
    default:
      throw EGraphicsError(Fmt(SPictureFormatUnavailable, PictureFormatName(Format)));
  }
}

}  // namespace vt
