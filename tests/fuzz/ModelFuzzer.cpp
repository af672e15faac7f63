// The model file reader (.vrn) and the picture tree built from what it read.
#include <cstddef>
#include <cstdint>

#include "document/ModelTree.h"
#include "fuzz/FuzzSupport.h"
#include "model/VarnMod.h"
#include "picture/NodeFormats.h"

using namespace vt;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string path = fuzz::WriteScratchFile("input.vrn", Data, Size);
  TVarnModel model;
  if (!fuzz::Succeeds([&] { model.LoadFromFile(path); })) return 0;

  // Reading has linked the attributes; build the picture tree of the result.
  TFormatClasses classes;
  std::unique_ptr<TVarnNode> tree;
  fuzz::Succeeds([&] { tree = BuildModelTree(model, classes); });
  return 0;
}
