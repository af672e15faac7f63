#include "graphics/FileWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace vt {

namespace {

std::string ErrnoText(int Error) {
  return std::strerror(Error);
}

// Opens a new temporary file beside Target; exclusive creation keeps two
// writers from sharing one.
std::FILE* OpenTemporary(const std::string& Target, std::string& TempName) {
  int LastError = 0;
  for (int Attempt = 0; Attempt < 100; ++Attempt) {
    TempName = Target + ".tmp" + std::to_string(Attempt);
    std::FILE* F = std::fopen(TempName.c_str(), "wbx");
    if (F) return F;
    LastError = errno;
    if (LastError != EEXIST) break;
  }
  throw EFileWriteError(Fmt(SFileCreateError, Target, ErrnoText(LastError)));
}

}  // namespace

void WriteFileReplacing(const std::string& FileName, std::span<const std::uint8_t> Bytes) {
  std::string TempName;
  std::FILE* F = OpenTemporary(FileName, TempName);
  errno = 0;
  bool Ok = Bytes.empty() || std::fwrite(Bytes.data(), 1, Bytes.size(), F) == Bytes.size();
  Ok = (std::fflush(F) == 0) && Ok;
  int Error = errno;
  Ok = (std::fclose(F) == 0) && Ok;
  if (Ok) {
    std::error_code RenameError;
    std::filesystem::rename(TempName, FileName, RenameError);
    if (!RenameError) return;
    std::error_code Ignored;
    std::filesystem::remove(TempName, Ignored);
    throw EFileWriteError(Fmt(SFileWriteError, FileName, RenameError.message()));
  }
  if (Error == 0) Error = errno;
  std::remove(TempName.c_str());
  throw EFileWriteError(Fmt(SFileWriteError, FileName, ErrnoText(Error)));
}

}  // namespace vt
