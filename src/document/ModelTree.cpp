#include "document/ModelTree.h"

#include <utility>
#include <vector>

namespace vt {

namespace {

std::unique_ptr<TVarnNode> MakeAttributeNode(const TVarnAttribute& AAttribute,
                                             const TFormatClasses& AClasses) {
  auto node = std::make_unique<TVarnNode>(AAttribute.Name());
  node->SetClassFormat(AClasses.GetClassFormat(ModelNodeClass(AAttribute)));
  return node;
}

}  // namespace

std::string ModelNodeClass(const TVarnAttribute& AAttribute) {
  if (!AAttribute.IsBasic()) return "aggregate";
  return AAttribute.Link() ? "link" : "basic";
}

std::unique_ptr<TVarnNode> BuildModelTree(const TVarnModel& AModel, const TFormatClasses& AClasses) {
  const TVarnAttribute* root = AModel.Root();
  const TVarnAttribute* top = root->InpCount() == 1 ? root->Inputs(0) : root;
  std::unique_ptr<TVarnNode> tree = MakeAttributeNode(*top, AClasses);
  // Depth first without recursion: each attribute with its node and the
  // index of its next input.
  struct TFrame {
    const TVarnAttribute* Attribute;
    TVarnNode* Node;
    int Next;
  };
  std::vector<TFrame> open{{top, tree.get(), 0}};
  while (!open.empty()) {
    TFrame& frame = open.back();
    if (frame.Next >= frame.Attribute->InpCount()) {
      open.pop_back();
      continue;
    }
    const TVarnAttribute* input = frame.Attribute->Inputs(frame.Next++);
    TVarnNode* parent = frame.Node;
    auto* node = static_cast<TVarnNode*>(parent->AddChild(MakeAttributeNode(*input, AClasses).release()));
    open.push_back({input, node, 0});
  }
  return tree;
}

}  // namespace vt
