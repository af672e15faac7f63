#include "fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "foundation/Lists.h"
#include "xml/Xml.h"

namespace vt::fuzz {

namespace {

namespace fs = std::filesystem;

// The folder of this process's input files; it goes when the process ends
// normally (a crashed run leaves it, small, in the temporary folder).
class TScratchDir {
 public:
  TScratchDir() : FPath(fs::temp_directory_path() / ("vt-fuzz-" + std::to_string(::getpid()))) {
    fs::create_directories(FPath);
  }
  ~TScratchDir() {
    std::error_code ec;
    fs::remove_all(FPath, ec);
  }
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;
  const fs::path& Path() const { return FPath; }

 private:
  fs::path FPath;
};

const fs::path& ScratchDir() {
  static TScratchDir dir;
  return dir.Path();
}

// Long texts (whole documents) are cut in reports; the input reproduces them.
std::string_view Shortened(std::string_view Text) {
  constexpr std::size_t Limit = 2000;
  return Text.size() > Limit ? Text.substr(0, Limit) : Text;
}

}  // namespace

std::string WriteScratchFile(const std::string& Name, const std::uint8_t* Data, std::size_t Size) {
  return WriteScratchFile(Name, std::string_view(reinterpret_cast<const char*>(Data), Size));
}

std::string WriteScratchFile(const std::string& Name, std::string_view Text) {
  const std::string path = (ScratchDir() / Name).string();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(Text.data(), static_cast<std::streamsize>(Text.size()));
  out.close();
  if (!out) Fail("cannot write the scratch file", path);
  return path;
}

void Fail(std::string_view What, std::string_view Detail) {
  std::fprintf(stderr, "\n==VarnTree fuzz check failed: %.*s\n", static_cast<int>(What.size()), What.data());
  const std::string_view shown = Shortened(Detail);
  if (!shown.empty()) std::fprintf(stderr, "%.*s\n", static_cast<int>(shown.size()), shown.data());
  std::fflush(stderr);
  std::abort();
}

void CheckSameText(std::string_view What, const std::string& Expected, const std::string& Actual) {
  if (Expected == Actual) return;
  std::size_t at = 0;
  while (at < Expected.size() && at < Actual.size() && Expected[at] == Actual[at]) ++at;
  // The line where they part and the next one, control bytes made visible.
  const auto around = [at](const std::string& Text) {
    std::size_t start = at == 0 ? std::string::npos : Text.rfind('\n', at - 1);
    start = start == std::string::npos ? 0 : start + 1;
    std::size_t end = Text.find('\n', at);
    if (end != std::string::npos) end = Text.find('\n', end + 1);
    std::string shown;
    for (char c : Text.substr(start, end == std::string::npos ? std::string::npos : end - start)) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte == '\n')
        shown += "\n    ";
      else if (byte < 0x20 || byte == 0x7F)
        shown += "\\x" + std::string(1, "0123456789ABCDEF"[byte >> 4]) + "0123456789ABCDEF"[byte & 15];
      else
        shown += c;
    }
    return shown;
  };
  Fail(What, "first difference at byte " + std::to_string(at) + "\n  expected:\n    " + around(Expected) +
                 "\n  actual:\n    " + around(Actual));
}

int NodeCount(const TTreeDrawNode* ARoot) {
  int count = 0;
  std::vector<const TTreeDrawNode*> pending;
  if (ARoot) pending.push_back(ARoot);
  while (!pending.empty()) {
    const TTreeDrawNode* node = pending.back();
    pending.pop_back();
    ++count;
    for (const TTreeDrawNode* child = node->FirstChild(); child; child = child->NextChild())
      pending.push_back(child);
  }
  return count;
}

const TTextMeasurer& Measurer() {
  static const TFakeMeasurer measurer(7, 15, true);
  return measurer;
}

// Small, so that every input costs little beyond its own work, yet with
// every class of node: aggregates, basic attributes and a link.
constexpr std::string_view BaseModelFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<Varn>
  <NAME>Trip</NAME>
  <SETTINGS><LINKING>True</LINKING></SETTINGS>
  <ATTRIBUTE><NAME>Trip</NAME>
    <ATTRIBUTE><NAME>Cost</NAME>
      <ATTRIBUTE><NAME>Travel</NAME></ATTRIBUTE>
      <ATTRIBUTE><NAME>Stay</NAME></ATTRIBUTE>
    </ATTRIBUTE>
    <ATTRIBUTE><NAME>Comfort of the journey and of the stay</NAME>
      <ATTRIBUTE><NAME>Travel</NAME></ATTRIBUTE>
      <ATTRIBUTE><NAME>Rooms</NAME></ATTRIBUTE>
    </ATTRIBUTE>
  </ATTRIBUTE>
</Varn>
)";

const TVarnModel& BaseModel() {
  static const std::unique_ptr<TVarnModel> model = [] {
    auto m = std::make_unique<TVarnModel>();
    const std::string path = WriteScratchFile("base.vrn", BaseModelFile);
    if (!Succeeds([&] { m->LoadFromFile(path); })) Fail("cannot read the base model", BaseModelFile);
    return m;
  }();
  return *model;
}

std::string TreeDocumentText(const TVarnTreeDocument& ADocument) {
  TStringList lines;
  ADocument.BuildTreeDocument(true, true)->SaveToStringList(lines);
  return lines.Text();
}

std::string DocumentState(const TVarnTreeDocument& ADocument) {
  return TreeDocumentText(ADocument) + "load name: " + ADocument.LoadFileName() +
         "\nsave name: " + ADocument.SaveFileName() +
         "\nmodified: " + (ADocument.FileModified() ? "yes" : "no") +
         "\npicture: " + (ADocument.HasPicture() ? "yes" : "no") + "\n";
}

}  // namespace vt::fuzz
