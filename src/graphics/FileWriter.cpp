#include "graphics/FileWriter.h"

#include <string_view>

#include "foundation/ReplacingFile.h"

namespace vt {

void WriteFileReplacing(const std::string& FileName, std::span<const std::uint8_t> Bytes) {
  try {
    TReplacingFile File(FileName);
    File.Write(std::string_view(reinterpret_cast<const char*>(Bytes.data()), Bytes.size()));
    File.Commit();
  } catch (const EReplacingFileError& E) {
    throw EFileWriteError(Fmt(E.Creating() ? SFileCreateError : SFileWriteError, FileName, E.Reason()));
  }
}

}  // namespace vt
