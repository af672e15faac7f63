// Shared pieces of the picture tests: a document-like owner of format classes,
// measurer and drawer, and a measurer with a width per character.
#pragma once

#include <gtest/gtest.h>

#include "support/ExpectThrow.h"

#include <map>
#include <memory>
#include <string>

#include "foundation/Utils.h"
#include "graphics/TextMeasurer.h"
#include "picture/NodeFormats.h"
#include "picture/VarnNode.h"
#include "picture/VarnTreeDrawer.h"

namespace vt::test {


// Characters listed in Widths advance by their own width, all others by
// DefaultWidth; lines are LineHeight high. Uses the base class's advances
// (differences of prefix widths).
class TTableMeasurer : public TTextMeasurer {
 public:
  std::map<char32_t, int> Widths;
  int DefaultWidth = 8;
  int LineHeight = 16;

  int TextWidth(const TFont&, std::string_view Text) const override {
    int width = 0;
    for (char32_t ch : Utf8ToUtf32(Text)) {
      auto it = Widths.find(ch);
      width += it == Widths.end() ? DefaultWidth : it->second;
    }
    return width;
  }
  int TextHeight(const TFont&, std::string_view) const override { return LineHeight; }
};

// Owns what the document will own, in the document's order of destruction:
// the drawer (with its tree) goes before the format classes.
struct TPictureOwner {
  std::unique_ptr<TFormatClasses> Classes = std::make_unique<TFormatClasses>();
  TFakeMeasurer Measurer{8, 16, false};
  std::unique_ptr<TVarnTreeDrawer> Drawer = std::make_unique<TVarnTreeDrawer>();

  TPictureOwner() { Drawer->SetContext({Classes.get(), &Measurer}); }
  ~TPictureOwner() { Drawer.reset(); }

  TNodeFormat* Format(const std::string& AClass) const { return Classes->FindFormat(AClass); }
  TVarnNode* NewNode(const std::string& AText, const std::string& AClass = "all") {
    auto* node = new TVarnNode(AText, Drawer.get());
    if (AClass != "all") node->SetNodeClass(AClass);
    return node;
  }
  TVarnNode* SetRoot(const std::string& AText, const std::string& AClass = "all") {
    TVarnNode* node = NewNode(AText, AClass);
    Drawer->SetRoot(node);
    return node;
  }
  TVarnNode* Add(TTreeDrawNode* AParent, const std::string& AText, const std::string& AClass = "all") {
    return static_cast<TVarnNode*>(AParent->AddChild(NewNode(AText, AClass)));
  }
};

}  // namespace vt::test
