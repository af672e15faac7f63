#include "app/CommandLine.h"

#include <QtGlobal>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <iostream>
#include <memory>

#include "document/Document.h"
#include "foundation/Utils.h"
#include "graphics/PictureWriter.h"
#include "graphics/qt/QtMeasurer.h"
#include "graphics/qt/QtOutputs.h"

namespace vt {

namespace {

std::string Lower(std::string Text) {
  std::transform(Text.begin(), Text.end(), Text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return Text;
}

// The extension with its dot, in lower case; empty when the name has none.
std::string LowerExtension(const std::string& FileName) {
  const std::size_t slash = FileName.find_last_of("/\\");
  const std::size_t dot = FileName.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return Lower(FileName.substr(dot));
}

bool IsTreeDocumentName(const std::string& FileName) {
  return LowerExtension(FileName) == ".vrt";
}

int ParseScale(const std::string& Text) {
  int value = 0;
  const char* end = Text.data() + Text.size();
  const auto [at, ec] = std::from_chars(Text.data(), end, value);
  if (Text.empty() || ec != std::errc() || at != end || value < 1 || value > MaxScalePercent)
    throw ECommandLineError(Fmt(SInvalidScaleOption, Text, MaxScalePercent));
  return value;
}

// Options that take a value, as "--name VALUE" or "--name=VALUE".
bool TakesValue(const std::string& Name) {
  return Name == "--export" || Name == "--method" || Name == "--orientation" || Name == "--formats" ||
         Name == "--scale";
}

void ApplyOption(TCommandLineOptions& Options, const std::string& Name, const std::string& Value) {
  if (Name == "--export") {
    if (!PictureFormatOfFileName(Value) && !IsTreeDocumentName(Value))
      throw ECommandLineError(Fmt(SUnknownExportFormat, Value));
    Options.Exports.push_back(Value);
  } else if (Name == "--method") {
    Options.Method = PlacementOfName(Value);
    if (!Options.Method) throw ECommandLineError(Fmt(SUnknownMethod, Value));
  } else if (Name == "--orientation") {
    Options.Orientation = OrientationOfName(Value);
    if (!Options.Orientation) throw ECommandLineError(Fmt(SUnknownOrientation, Value));
  } else if (Name == "--formats") {
    Options.FormatsFile = Value;
  } else if (Name == "--scale") {
    Options.ScalePercent = ParseScale(Value);
  }
}

// Headless export prints its own errors only: Qt's note that the session has
// no runtime directory says nothing about the pictures.
QtMessageHandler PreviousQtHandler = nullptr;

void QuietQtHandler(QtMsgType Type, const QMessageLogContext& Context, const QString& Message) {
  if (Type == QtDebugMsg || Type == QtInfoMsg || Message.startsWith(QLatin1String("QStandardPaths:"))) return;
  if (PreviousQtHandler)
    PreviousQtHandler(Type, Context, Message);
  else
    std::cerr << qFormatLogMessage(Type, Context, Message).toStdString() << '\n';
}

class TQuietQt {
 public:
  TQuietQt() { PreviousQtHandler = qInstallMessageHandler(QuietQtHandler); }
  TQuietQt(const TQuietQt&) = delete;
  TQuietQt& operator=(const TQuietQt&) = delete;
  ~TQuietQt() { qInstallMessageHandler(PreviousQtHandler); }
};

// Opened by its full path, as the window opens its argument, so that every
// message names the file in full.
void OpenFile(TVarnTreeDocument& Document, const std::string& FileName) {
  const std::string path = ExpandFileName(FileName);
  if (LowerExtension(path) == ".vrn")
    Document.LoadVarnFile(path);
  else
    Document.LoadVarnTreeFile(path, true, true);
}

}  // namespace

std::optional<TPlacementChoice> PlacementOfName(const std::string& Name) {
  const std::string name = Lower(Name);
  if (name == "walker") return TPlacementChoice::Walker;
  if (name == "distribute" || name == "bottomup") return TPlacementChoice::Distribute;
  if (name == "align") return TPlacementChoice::Align;
  if (name == "qp") return TPlacementChoice::QP;
  return std::nullopt;
}

std::optional<TTreeOrientation> OrientationOfName(const std::string& Name) {
  std::string name = Lower(Name);
  name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
  for (TTreeOrientation o : {oTopDown, oLeftRight, oBottomUp, oRightLeft})
    if (name == Lower(TreeOrientationToString(o))) return o;
  return std::nullopt;
}

TCommandLineOptions ParseCommandLine(const std::vector<std::string>& Args) {
  TCommandLineOptions options;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < Args.size(); ++i) {
    const std::string& arg = Args[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      if (!options.FileName.empty()) throw ECommandLineError(Fmt(SSecondFile, arg, options.FileName));
      options.FileName = arg;
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (name == "--help" || name == "-h" || name == "--version") {
      if (equals != std::string::npos) throw ECommandLineError(Fmt(SNoValueWanted, name));
      (name == "--version" ? options.Version : options.Help) = true;
      continue;
    }
    if (!TakesValue(name)) throw ECommandLineError(Fmt(SUnknownOption, arg));
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else {
      if (i + 1 >= Args.size()) throw ECommandLineError(Fmt(SMissingValue, name));
      value = Args[++i];
    }
    if (value.empty()) throw ECommandLineError(Fmt(SMissingValue, name));
    ApplyOption(options, name, value);
  }
  if (!options.Help && !options.Version && !options.Exports.empty() && options.FileName.empty())
    throw ECommandLineError(SExportWithoutFile);
  return options;
}

void ExportPictures(const TCommandLineOptions& Options) {
  const TQuietQt quiet;
  TQtMeasurer measurer;
  TVarnTreeDocument document(&measurer);
  OpenFile(document, Options.FileName);
  if (!Options.FormatsFile.empty())
    document.LoadVarnTreeFile(ExpandFileName(Options.FormatsFile), true, false);
  TVarnTreeDrawer& drawer = document.TreeDrawer();
  if (Options.Method) ApplyPlacement(drawer, *Options.Method);
  if (Options.Orientation) drawer.SetOrientation(*Options.Orientation);

  const bool wantsPicture = std::any_of(Options.Exports.begin(), Options.Exports.end(),
                                        [](const std::string& out) { return !IsTreeDocumentName(out); });
  if (wantsPicture) document.DrawTree();
  const TMetafile* picture = document.MetaFile();

  const TQtPictureWriter writer;
  for (const std::string& out : Options.Exports) {
    if (IsTreeDocumentName(out)) {
      document.SaveVarnTreeFile(out, true, true);
      continue;
    }
    if (!picture) throw EExportError(Fmt(SNoTreeToDraw, Options.FileName, out));
    writer.Save(*picture, measurer, out, *PictureFormatOfFileName(out), Options.ScalePercent);
  }
}

int RunCommandLine(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err) {
  TCommandLineOptions options;
  try {
    options = ParseCommandLine(Args);
  } catch (const ECommandLineError& e) {
    Err << Fmt(SErrorLine, e.what()) << SUsageHint;
    return ExitUsage;
  }
  if (options.Help) {
    Out << SUsageText;
    return ExitOk;
  }
  if (options.Version) {
    Out << Fmt(SVersionText, SVarnTreeVersion);
    return ExitOk;
  }
  if (options.Exports.empty()) {
    // The window's place; until it exists, say why nothing is shown.
    if (options.FileName.empty())
      Out << SWindowMissing;
    else
      Out << Fmt(SWindowMissingFile, options.FileName);
    return ExitOk;
  }
  try {
    ExportPictures(options);
  } catch (const std::exception& e) {
    Err << Fmt(SErrorLine, UserMessage(e));
    return ExitError;
  }
  return ExitOk;
}

int RunCommandLine(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return RunCommandLine(args, std::cout, std::cerr);
}

}  // namespace vt
