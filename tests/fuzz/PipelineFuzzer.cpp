// The whole way from a file to the picture files: a model (.vrn, root
// "Varn") or a tree document (any other root) is opened as the window opens
// it, placed by every method in every orientation, drawn into the recorded
// picture, and written as .emf and .svg (into memory) and as a tree document.
//
// Small files of trees up to QPMaxNodes nodes go through every combination.
// Any other is placed once, by the method and in the orientation that the
// input's size picks (QP only for trees up to QPMaxNodes nodes), so that
// every run stays short: a file of a few long texts costs as much as a
// large tree.
#include <cstddef>
#include <cstdint>
#include <string>

#include "document/Document.h"
#include "foundation/Lists.h"
#include "fuzz/FuzzSupport.h"
#include "graphics/EmfWriter.h"
#include "graphics/SvgWriter.h"
#include "xml/Xml.h"

using namespace vt;

namespace {

constexpr std::size_t EveryCombinationMaxSize = 8192;

bool IsModelFile(const std::string& APath) {
  TXmlItem root;
  return fuzz::Succeeds([&] { root.LoadFromFile(APath); }) && root.Name() == "Varn";
}

void DrawAndWrite(TVarnTreeDocument& ADocument, fuzz::TPlacement APlacement, TTreeOrientation AOrientation) {
  TVarnTreeDrawer& drawer = ADocument.TreeDrawer();
  ApplyPlacement(drawer, APlacement);
  drawer.SetOrientation(AOrientation);
  if (!fuzz::Succeeds([&] { ADocument.DrawTree(); }) || !ADocument.MetaFile()) return;
  const TMetafile& picture = *ADocument.MetaFile();
  fuzz::Succeeds([&] { EmfBytes(picture, fuzz::Measurer()); });
  fuzz::Succeeds([&] { SvgDocument(picture, fuzz::Measurer()); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string path = fuzz::WriteScratchFile("input", Data, Size);
  TVarnTreeDocument document(&fuzz::Measurer());
  const bool opened = IsModelFile(path)
                          ? fuzz::Succeeds([&] { document.LoadVarnFile(path); })
                          : fuzz::Succeeds([&] { document.LoadVarnTreeFile(path, true, true); });
  if (!opened || !document.VarnRoot()) return 0;

  const int nodes = fuzz::NodeCount(document.VarnRoot());
  if (nodes <= fuzz::QPMaxNodes && Size <= EveryCombinationMaxSize) {
    for (fuzz::TPlacement placement : fuzz::AllPlacements)
      for (TTreeOrientation orientation : fuzz::AllOrientations)
        DrawAndWrite(document, placement, orientation);
  } else {
    const std::size_t placements = nodes <= fuzz::QPMaxNodes ? 4 : 3;
    DrawAndWrite(document, fuzz::AllPlacements[Size % placements],
                 fuzz::AllOrientations[Size / placements % 4]);
  }
  TStringList saved;
  fuzz::Succeeds([&] { document.BuildTreeDocument(true, true)->SaveToStringList(saved); });
  return 0;
}
