// The tree of format classes that a document owns: the root class "all" with
// the classes below it, the lookups by class name, and the font that new
// parentless formats take.
#pragma once

#include <memory>
#include <string>

#include "picture/NodeFormat.h"

namespace vt {

class TFormatClasses {
 public:
  // Starts with the default classes (SetDefaultFormats).
  TFormatClasses();
  TFormatClasses(const TFormatClasses&) = delete;
  TFormatClasses& operator=(const TFormatClasses&) = delete;
  ~TFormatClasses();

  // The root format, class "all"; nil only after SetFormats(nullptr).
  TNodeFormat* Formats() const { return FFormats.get(); }
  // Frees the current tree and creates "all" with the defaults and "basic",
  // "aggregate", "link" below it, in this order. Individual formats that
  // nodes own are released from the old tree (they keep their values); a
  // node that shares a class of the old tree must be re-bound first.
  void SetDefaultFormats();
  // Takes over ARoot as the new tree and frees the old one (same caveat).
  void SetFormats(std::unique_ptr<TNodeFormat> ARoot);
  // Find on Formats; nil when no class has that name.
  TNodeFormat* FindFormat(const std::string& AClass) const;
  // FindFormat, or Formats itself when no class has that name.
  TNodeFormat* GetClassFormat(const std::string& AClass) const;

  // The font that parentless formats start with: the node text box's font
  // in the window, StartupFont until the owner sets another one.
  const TFont& DefaultFont() const { return FDefaultFont; }
  void SetDefaultFont(const TFont& Value) { FDefaultFont = Value; }
  // A new format with class AClass below AParent (a copy of it), or without
  // a parent with the defaults and DefaultFont. Owned by AParent when given,
  // otherwise by the caller.
  TNodeFormat* CreateFormat(const std::string& AClass, TNodeFormat* AParent) const;

 private:
  std::unique_ptr<TNodeFormat> FFormats;
  TFont FDefaultFont = TNodeFormat::StartupFont();
};

}  // namespace vt
