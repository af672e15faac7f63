// The command line: `varntree [FILE]` opens the window; with --export it
// works headless, opening FILE as the window would (a ".vrn" name in any
// letter case is a model, anything else a whole tree document), drawing it
// and writing each output in the format of its extension.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Base.h"
#include "layout/Placements.h"
#include "layout/TreeDraw.h"

namespace vt {

inline constexpr const char* SVarnTreeVersion = "0.94";
inline constexpr const char* SVersionText = "VarnTree %s\n";
inline constexpr const char* SUsageText =
    "Usage: varntree [FILE]\n"
    "       varntree FILE --export OUT [--export OUT ...] [options]\n"
    "\n"
    "Draws the attribute tree of a Varn model (.vrn) or a VarnTree document (.vrt).\n"
    "Without --export, FILE is opened in the window.\n"
    "\n"
    "Options:\n"
    "  --export OUT           write the picture or the tree document to OUT; the\n"
    "                         extension decides the format: .emf, .bmp, .png, .svg,\n"
    "                         .pdf or .vrt (may be given several times)\n"
    "  --method METHOD        placement: Walker, Distribute, Align or QP\n"
    "  --orientation ORIENT   TopDown, LeftRight, BottomUp or RightLeft\n"
    "  --formats STYLE.vrt    use the formats and tree parameters of a tree document\n"
    "  --scale PERCENT        size of .bmp and .png pictures (default 100)\n"
    "  --help                 show this help and exit\n"
    "  --version              show the version and exit\n";
inline constexpr const char* SUsageHint = "Try 'varntree --help' for more information.\n";
inline constexpr const char* SErrorLine = "varntree: %s\n";
inline constexpr const char* SUnknownOption = "unknown option \"%s\"";
inline constexpr const char* SMissingValue = "option %s needs a value";
inline constexpr const char* SNoValueWanted = "option %s takes no value";
inline constexpr const char* SUnknownMethod =
    "unknown placement method \"%s\" (expected Walker, Distribute, Align or QP)";
inline constexpr const char* SUnknownOrientation =
    "unknown orientation \"%s\" (expected TopDown, LeftRight, BottomUp or RightLeft)";
inline constexpr const char* SInvalidScaleOption =
    "invalid scale \"%s\" (expected a whole percentage from 1 to %d)";
inline constexpr const char* SUnknownExportFormat =
    "cannot tell the format of \"%s\" (expected .emf, .bmp, .png, .svg, .pdf or .vrt)";
inline constexpr const char* SSecondFile = "only one FILE can be opened, but \"%s\" follows \"%s\"";
inline constexpr const char* SExportWithoutFile = "--export needs a FILE to draw";
inline constexpr const char* SNoTreeToDraw = "\"%s\" holds no tree to draw, so \"%s\" cannot be written";
inline constexpr const char* SWindowMissing =
    "The VarnTree window is not part of this build yet; use --export OUT to write pictures (see --help).\n";
inline constexpr const char* SWindowMissingFile =
    "The VarnTree window is not part of this build yet, so \"%s\" is not shown; use --export OUT to write it "
    "(see --help).\n";

// Largest --scale, so that raster sizes stay within integers.
inline constexpr int MaxScalePercent = 10000;

// Exit codes.
inline constexpr int ExitOk = 0;
inline constexpr int ExitError = 1;
inline constexpr int ExitUsage = 2;

// Bad usage of the command line.
class ECommandLineError : public Exception {
 public:
  using Exception::Exception;
};

// A command that could not be carried out.
class EExportError : public Exception {
 public:
  using Exception::Exception;
};

// Names in any letter case; orientations also with a hyphen ("Top-Down").
// Nothing for an unknown name.
std::optional<TPlacementChoice> PlacementOfName(const std::string& Name);
std::optional<TTreeOrientation> OrientationOfName(const std::string& Name);

struct TCommandLineOptions {
  std::string FileName;
  std::vector<std::string> Exports;
  std::optional<TPlacementChoice> Method;
  std::optional<TTreeOrientation> Orientation;
  std::string FormatsFile;
  int ScalePercent = 100;
  bool Help = false;
  bool Version = false;
};

// The arguments after the program name; ECommandLineError for bad usage,
// including an output whose format its extension does not tell.
TCommandLineOptions ParseCommandLine(const std::vector<std::string>& Args);

// Opens the file, applies the options, draws and writes every output, in
// order; the first error propagates (outputs written before it stay).
void ExportPictures(const TCommandLineOptions& Options);

// The whole command: help, version, export or the window. Messages go to
// Out, errors to Err; returns the exit code.
int RunCommandLine(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err);
int RunCommandLine(int argc, char** argv);

}  // namespace vt
