// Shared pieces of the fuzz targets: the input as a file for the readers that
// read files, the outcome of a call (the project's own exceptions are what
// malformed input is expected to give), checks of the promises the code makes
// about what it read, and the pieces the targets start from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "document/Document.h"
#include "graphics/TextMeasurer.h"
#include "layout/Placements.h"
#include "layout/TreeDraw.h"
#include "model/VarnModel.h"

namespace vt::fuzz {

// Writes Size bytes of Data to the file Name in the folder this process
// keeps for its inputs (removed when the process ends) and returns its path.
std::string WriteScratchFile(const std::string& Name, const std::uint8_t* Data, std::size_t Size);
std::string WriteScratchFile(const std::string& Name, std::string_view Text);

// Runs Action. An exception of the project (vt::Exception and its
// descendants) is a normal outcome for malformed input: false. Any other
// exception passes on, so that libFuzzer reports it.
template <typename TAction>
bool Succeeds(TAction&& Action) {
  try {
    Action();
    return true;
  } catch (const Exception&) {
    return false;
  }
}

// Reports a broken promise of the code under test and aborts, which
// libFuzzer records as a crash with this input.
[[noreturn]] void Fail(std::string_view What, std::string_view Detail = {});
inline void Check(bool Condition, std::string_view What, std::string_view Detail = {}) {
  if (!Condition) Fail(What, Detail);
}
// Fails with the first line where the two texts differ.
void CheckSameText(std::string_view What, const std::string& Expected, const std::string& Actual);

// Number of nodes in the tree below ARoot (none for nil), counted without
// recursion.
int NodeCount(const TTreeDrawNode* ARoot);

// The measurer of every target: a fixed advance per character that scales
// with the font size, so that no fonts are needed and font sizes matter.
const TTextMeasurer& Measurer();

// The model the document targets start from: a small tree with aggregates,
// basic attributes and a link, read once.
const TVarnModel& BaseModel();

// The document's tree document as the file it would save: its lines.
std::string TreeDocumentText(const TVarnTreeDocument& ADocument);
// Everything a reading of a tree document may change: the tree document,
// the file names, the modified flag and whether there is a picture.
std::string DocumentState(const TVarnTreeDocument& ADocument);

// Placements of the window's method list.
using TPlacement = TPlacementChoice;
inline constexpr TPlacement AllPlacements[] = {TPlacement::Walker, TPlacement::Distribute, TPlacement::Align,
                                               TPlacement::QP};
inline constexpr TTreeOrientation AllOrientations[] = {oTopDown, oLeftRight, oBottomUp, oRightLeft};

// Trees up to this size are also placed by QP; larger ones would make a
// single run take seconds.
inline constexpr int QPMaxNodes = 60;

}  // namespace vt::fuzz
