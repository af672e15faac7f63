// Reading and writing element trees as files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "xml/Xml.h"

namespace vt {

namespace {

namespace fs = std::filesystem;

std::string Reason(int Errno) {
  return std::strerror(Errno);
}

// Splits at CR LF, LF or CR; a final line end adds no empty line.
void SplitLines(std::string_view Data, TStringList& Lines) {
  size_t Start = 0;
  while (Start < Data.size()) {
    size_t End = Start;
    while (End < Data.size() && Data[End] != '\r' && Data[End] != '\n') ++End;
    Lines.Add(std::string(Data.substr(Start, End - Start)));
    if (End + 1 < Data.size() && Data[End] == '\r' && Data[End + 1] == '\n') ++End;
    Start = End + 1;
  }
}

std::string ReadWholeFile(const std::string& FileName) {
  std::error_code Ec;
  if (fs::is_directory(FileName, Ec)) throw EXmlFileError(Fmt(SXmlOpenError, FileName, Reason(EISDIR)));
  std::FILE* F = std::fopen(FileName.c_str(), "rb");
  if (!F) throw EXmlFileError(Fmt(SXmlOpenError, FileName, Reason(errno)));
  std::string Data;
  char Buffer[1 << 16];
  size_t N;
  while ((N = std::fread(Buffer, 1, sizeof Buffer, F)) > 0) Data.append(Buffer, N);
  const bool Failed = std::ferror(F) != 0;
  const int Errno = errno;
  std::fclose(F);
  if (Failed) throw EXmlFileError(Fmt(SXmlReadFileError, FileName, Reason(Errno)));
  return Data;
}

// A file written under a fresh name beside the target and renamed over it
// only once it is complete; it is removed again if anything fails first.
class TReplacingFile {
 public:
  explicit TReplacingFile(const std::string& AFileName) : FFileName(AFileName) {
    std::error_code Ec;
    fs::path Target = AFileName;
    // Replace the file a link points to, not the link.
    if (fs::is_symlink(Target, Ec)) {
      fs::path Resolved = fs::canonical(Target, Ec);
      if (!Ec) Target = Resolved;
    }
    if (fs::is_directory(Target, Ec)) throw EXmlFileError(Fmt(SXmlCreateError, FFileName, Reason(EISDIR)));
    FTarget = Target.string();
    const fs::path Dir = Target.has_parent_path() ? Target.parent_path() : fs::path(".");
    for (int Attempt = 0; FHandle < 0; ++Attempt) {
      // Named after the target, shortened so that a target name near the
      // system's limit still leaves room for the suffix.
      FTemp = (Dir / ("." + Target.filename().string().substr(0, 128) + ".tmp" + std::to_string(::getpid()) +
                      "-" + std::to_string(Attempt)))
                  .string();
      FHandle = ::open(FTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (FHandle < 0 && (errno != EEXIST || Attempt >= 100))
        throw EXmlFileError(Fmt(SXmlCreateError, FFileName, Reason(errno)));
    }
    struct stat Old;
    if (::stat(FTarget.c_str(), &Old) == 0) ::fchmod(FHandle, Old.st_mode & 07777);
  }

  ~TReplacingFile() {
    if (FHandle >= 0) ::close(FHandle);
    if (!FCommitted) ::unlink(FTemp.c_str());
  }

  TReplacingFile(const TReplacingFile&) = delete;
  TReplacingFile& operator=(const TReplacingFile&) = delete;

  void Write(std::string_view Data) {
    while (!Data.empty()) {
      const ssize_t N = ::write(FHandle, Data.data(), Data.size());
      if (N < 0) {
        if (errno == EINTR) continue;
        Fail();
      }
      Data.remove_prefix(static_cast<size_t>(N));
    }
  }

  void Commit() {
    if (::fsync(FHandle) != 0) Fail();
    const int Handle = FHandle;
    FHandle = -1;
    if (::close(Handle) != 0) Fail();
    if (::rename(FTemp.c_str(), FTarget.c_str()) != 0) Fail();
    FCommitted = true;
  }

 private:
  [[noreturn]] void Fail() const { throw EXmlFileError(Fmt(SXmlWriteError, FFileName, Reason(errno))); }

  std::string FFileName;  // as the caller named it, for messages
  std::string FTarget;
  std::string FTemp;
  int FHandle = -1;
  bool FCommitted = false;
};

}  // namespace

void TXmlItem::SaveToFile(const std::string& AFileName) const {
  TStringList Lines;
  SaveToStringList(Lines);
  TReplacingFile File(AFileName);
  constexpr size_t ChunkSize = 1 << 20;
  std::string Chunk;
  Chunk.reserve(ChunkSize + 4096);
  for (int I = 0; I < Lines.Count(); ++I) {
    Chunk += Lines.Strings(I);
    Chunk += "\r\n";
    if (Chunk.size() >= ChunkSize) {
      File.Write(Chunk);
      Chunk.clear();
    }
  }
  File.Write(Chunk);
  File.Commit();
}

void TXmlItem::LoadFromFile(const std::string& AFileName) {
  TStringList Lines;
  SplitLines(ReadWholeFile(AFileName), Lines);
  LoadFromStringList(Lines);
}

}  // namespace vt
