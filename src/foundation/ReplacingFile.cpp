#include "foundation/ReplacingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace vt {

namespace {

namespace fs = std::filesystem;

// The longest part of the target's name kept in the temporary name: with
// the dot, ".tmp", a process number and an attempt number it stays well
// within the usual limit of 255 bytes.
constexpr size_t KeptNameBytes = 128;

// The first bytes of Name, not cutting a UTF-8 sequence in two.
std::string NamePrefix(const std::string& Name) {
  size_t Cut = std::min(Name.size(), KeptNameBytes);
  while (Cut > 0 && Cut < Name.size() && (static_cast<unsigned char>(Name[Cut]) & 0xC0) == 0x80) --Cut;
  return Name.substr(0, Cut);
}

}  // namespace

TReplacingFile::TReplacingFile(const std::string& FileName) {
  std::error_code Ec;
  fs::path Target = FileName;
  if (fs::is_symlink(Target, Ec)) {
    fs::path Resolved = fs::canonical(Target, Ec);
    if (!Ec) Target = Resolved;
  }
  if (fs::is_directory(Target, Ec)) throw EReplacingFileError(true, std::strerror(EISDIR));
  FTarget = Target.string();
  const fs::path Dir = Target.has_parent_path() ? Target.parent_path() : fs::path(".");
  const std::string Base = "." + NamePrefix(Target.filename().string()) + ".tmp" + std::to_string(::getpid());
  for (int Attempt = 0; FHandle < 0; ++Attempt) {
    FTemp = (Dir / (Base + "-" + std::to_string(Attempt))).string();
    FHandle = ::open(FTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (FHandle < 0 && (errno != EEXIST || Attempt >= 100)) throw EReplacingFileError(true, std::strerror(errno));
  }
  struct stat Old;
  if (::stat(FTarget.c_str(), &Old) == 0) ::fchmod(FHandle, Old.st_mode & 07777);
}

TReplacingFile::~TReplacingFile() {
  if (FHandle >= 0) ::close(FHandle);
  if (!FCommitted) ::unlink(FTemp.c_str());
}

void TReplacingFile::Write(std::string_view Data) {
  while (!Data.empty()) {
    const ssize_t N = ::write(FHandle, Data.data(), Data.size());
    if (N < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    Data.remove_prefix(static_cast<size_t>(N));
  }
}

void TReplacingFile::Commit() {
  if (::fsync(FHandle) != 0) Fail(errno);
  const int Handle = FHandle;
  FHandle = -1;
  if (::close(Handle) != 0) Fail(errno);
  if (::rename(FTemp.c_str(), FTarget.c_str()) != 0) Fail(errno);
  FCommitted = true;
}

void TReplacingFile::Fail(int Error) const {
  throw EReplacingFileError(false, std::strerror(Error));
}

}  // namespace vt
