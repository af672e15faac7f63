// Runs a fuzz target without libFuzzer: its LLVMFuzzerTestOneInput once on
// every file named on the command line and every file below the folders
// named there, in name order. Files longer than -max_len=N are skipped, as
// the fuzz runs never give them whole. A crash, a sanitizer report or a
// failed check ends the run as it would end a fuzz run; otherwise the exit
// status is 0, or 1 when a named file or folder is missing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> InputsBelow(const fs::path& APath) {
  std::vector<fs::path> inputs;
  if (fs::is_directory(APath)) {
    for (const auto& entry : fs::recursive_directory_iterator(APath))
      if (entry.is_regular_file()) inputs.push_back(entry.path());
  } else {
    inputs.push_back(APath);
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

std::string ReadFile(const fs::path& APath) {
  std::ifstream in(APath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  constexpr std::string_view MaxLenOption = "-max_len=";
  std::size_t maxLen = SIZE_MAX;
  int replayed = 0;
  int skipped = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.starts_with(MaxLenOption)) {
      maxLen = std::stoul(std::string(arg.substr(MaxLenOption.size())));
      continue;
    }
    if (!fs::exists(argv[i])) {
      std::fprintf(stderr, "No such file or folder: %s\n", argv[i]);
      return 1;
    }
    for (const fs::path& input : InputsBelow(argv[i])) {
      const std::string data = ReadFile(input);
      if (data.size() > maxLen) {
        ++skipped;
        continue;
      }
      std::printf("Running: %s\n", input.c_str());
      std::fflush(stdout);
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
      ++replayed;
    }
  }
  std::printf("Replayed %d inputs, skipped %d longer than the limit\n", replayed, skipped);
  return 0;
}
