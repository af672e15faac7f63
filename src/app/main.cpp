#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/TreeMain.h"

// Exports, help, version and bad usage are the command line's; everything
// else opens the window.
int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    const vt::TCommandLineOptions options = vt::ParseCommandLine(args);
    if (options.Exports.empty() && !options.Help && !options.Version)
      return vt::RunVarnTreeWindow(argc, argv, options.FileName);
  } catch (const vt::ECommandLineError&) {
    // Reported by the command line below.
  }
  return vt::RunCommandLine(argc, argv);
}
