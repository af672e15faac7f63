#include "graphics/PictureWriter.h"

#include "foundation/Utils.h"
#include "graphics/EmfWriter.h"

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
  return Format == TPictureFormat::Emf;
}

void TPictureWriter::Save(const TMetafile& Metafile, const TTextMeasurer& Measurer,
                          const std::string& FileName, TPictureFormat Format, int) const {
  if (Format != TPictureFormat::Emf)
    throw EGraphicsError(Fmt(SPictureFormatUnavailable, PictureFormatName(Format)));
  SaveEmf(Metafile, Measurer, FileName);
}

}  // namespace vt
