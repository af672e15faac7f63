// Picture trees from models: one picture node per attribute, labelled with
// the attribute's name and given the format class of its kind. Only names
// and the shape of the tree are taken from the model.
#pragma once

#include <memory>
#include <string>

#include "model/VarnMod.h"
#include "picture/NodeFormats.h"
#include "picture/VarnNode.h"

namespace vt {

// "aggregate" for an attribute with inputs, "link" for a basic attribute
// that repeats another one, "basic" otherwise.
std::string ModelNodeClass(const TVarnAttribute& AAttribute);

// The picture tree of AModel, its nodes sharing the class formats of
// AClasses ("all" for a class that AClasses lacks). The top node is the
// single top-level attribute, or the model's root "Root" when there are
// none or several. The nodes have no drawer yet.
std::unique_ptr<TVarnNode> BuildModelTree(const TVarnModel& AModel, const TFormatClasses& AClasses);

}  // namespace vt
