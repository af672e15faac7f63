// The tree document reader (.vrt) in its three modes: the whole document,
// its formats and tree parameters only, and its tree only, each opened in a
// document that already shows the base model's tree.
//
// Besides not crashing, the document keeps two promises that are checked:
// - a reading that fails leaves the document exactly as it was;
// - a document that was read saves a tree document that opens again and
//   saves the same lines.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "document/Document.h"
#include "document/TreeFile.h"
#include "foundation/Lists.h"
#include "fuzz/FuzzSupport.h"

using namespace vt;

namespace {

struct TMode {
  const char* Name;
  bool LoadFormat;
  bool LoadTree;
};

constexpr TMode Modes[] = {{"whole", true, true}, {"formats only", true, false}, {"tree only", false, true}};

// Draws with the document's own parameters; QP only for small trees.
void Draw(TVarnTreeDocument& ADocument) {
  TVarnTreeDrawer& drawer = ADocument.TreeDrawer();
  if (drawer.DrawMethod() == dmQP && fuzz::NodeCount(drawer.Root()) > fuzz::QPMaxNodes)
    drawer.SetDrawMethod(dmWalker);
  fuzz::Succeeds([&] { ADocument.DrawTree(); });
}

void CheckSavesAndReopens(const TVarnTreeDocument& ADocument, const TMode& AMode) {
  const auto document = ADocument.BuildTreeDocument(true, true);
  // Trees deeper than the reader accepts are refused before saving.
  if (!fuzz::Succeeds([&] { CheckReadableDepth(*document); })) return;
  TStringList lines;
  document->SaveToStringList(lines);
  const std::string saved = lines.Text();
  const std::string path = fuzz::WriteScratchFile("saved.vrt", saved);
  TVarnTreeDocument reopened(&fuzz::Measurer());
  if (!fuzz::Succeeds([&] { reopened.LoadVarnTreeFile(path, true, true); }))
    fuzz::Fail(std::string("a saved document does not open again (read ") + AMode.Name + ")", saved);
  fuzz::CheckSameText(std::string("a reopened document saves differently (read ") + AMode.Name + ")", saved,
                      fuzz::TreeDocumentText(reopened));
}

// A document showing the base model's tree, as every reading starts from.
std::unique_ptr<TVarnTreeDocument> NewBaseDocument() {
  auto document = std::make_unique<TVarnTreeDocument>(&fuzz::Measurer());
  document->CreateVarnTree(fuzz::BaseModel());
  return document;
}

void ReadInMode(const std::string& APath, const TMode& AMode) {
  static const std::string baseState = fuzz::DocumentState(*NewBaseDocument());
  const auto document = NewBaseDocument();
  if (!fuzz::Succeeds([&] { document->LoadVarnTreeFile(APath, AMode.LoadFormat, AMode.LoadTree); })) {
    fuzz::CheckSameText(std::string("a failed reading changed the document (read ") + AMode.Name + ")",
                        baseState, fuzz::DocumentState(*document));
    return;
  }
  Draw(*document);
  CheckSavesAndReopens(*document, AMode);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string path = fuzz::WriteScratchFile("input.vrt", Data, Size);
  for (const TMode& mode : Modes) ReadInMode(path, mode);
  return 0;
}
