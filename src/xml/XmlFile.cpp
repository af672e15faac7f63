// Reading and writing element trees as files.
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "foundation/ReplacingFile.h"
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

// A size in the largest unit that gives a whole number: "1 GB", "64 KB".
std::string SizeText(std::size_t Bytes) {
  const char* Units[] = {"bytes", "KB", "MB", "GB"};
  int Unit = 0;
  while (Unit < 3 && Bytes >= 1024 && Bytes % 1024 == 0) {
    Bytes /= 1024;
    ++Unit;
  }
  return std::to_string(Bytes) + " " + Units[Unit];
}

std::string ReadWholeFile(const std::string& FileName) {
  std::error_code Ec;
  if (fs::is_directory(FileName, Ec)) throw EXmlFileError(Fmt(SXmlOpenError, FileName, Reason(EISDIR)));
  std::FILE* F = std::fopen(FileName.c_str(), "rb");
  if (!F) throw EXmlFileError(Fmt(SXmlOpenError, FileName, Reason(errno)));
  // A file beyond the limit is refused before it is read where its size is
  // known, else as soon as the read passes the limit (an endless stream).
  struct stat Info;
  bool TooLarge = ::fstat(::fileno(F), &Info) == 0 && S_ISREG(Info.st_mode) &&
                  static_cast<std::uintmax_t>(Info.st_size) > XmlMaxFileSize;
  std::string Data;
  char Buffer[1 << 16];
  size_t N;
  while (!TooLarge && (N = std::fread(Buffer, 1, sizeof Buffer, F)) > 0) {
    if (Data.size() + N > XmlMaxFileSize)
      TooLarge = true;
    else
      Data.append(Buffer, N);
  }
  const bool Failed = !TooLarge && std::ferror(F) != 0;
  const int Errno = errno;
  std::fclose(F);
  if (TooLarge) throw EXmlFileError(Fmt(SXmlReadFileError, FileName, Fmt(SXmlFileTooLarge, SizeText(XmlMaxFileSize))));
  if (Failed) throw EXmlFileError(Fmt(SXmlReadFileError, FileName, Reason(Errno)));
  return Data;
}

}  // namespace

void TXmlItem::SaveToFile(const std::string& AFileName) const {
  TStringList Lines;
  SaveToStringList(Lines);
  try {
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
  } catch (const EReplacingFileError& E) {
    throw EXmlFileError(Fmt(E.Creating() ? SXmlCreateError : SXmlWriteError, AFileName, E.Reason()));
  }
}

void TXmlItem::LoadFromFile(const std::string& AFileName) {
  TStringList Lines;
  SplitLines(ReadWholeFile(AFileName), Lines);
  LoadFromStringList(Lines);
}

}  // namespace vt
