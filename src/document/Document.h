// The document: everything the main window owns apart from its widgets. It
// holds the picture drawer with the picture tree, the format classes, the
// background colour, the default node font, the file names, the modified
// flag and the last picture, and offers the operations on them: opening a
// model, reading and writing tree documents and generating trees. The window
// and the command line both work through it.
//
// Every operation that reads a file reads and converts all of it first and
// changes the document only when that has succeeded: on any error the
// drawer, the formats, the tree, the background colour, the file names and
// the modified flag stay exactly as they were, and the error passes on.
#pragma once

#include <memory>
#include <string>

#include "document/GeneratedTrees.h"
#include "graphics/Graphics.h"
#include "graphics/Metafile.h"
#include "graphics/TextMeasurer.h"
#include "model/VarnModel.h"
#include "picture/NodeFormats.h"
#include "picture/VarnNode.h"
#include "picture/VarnTreeDrawer.h"
#include "xml/Xml.h"

namespace vt {

class TVarnTreeDocument {
 public:
  // The default format classes and the drawer defaults, so that a new
  // document draws as the window does at start. The measurer is borrowed
  // and must outlive the document's drawing (see SetMeasurer).
  explicit TVarnTreeDocument(const TTextMeasurer* AMeasurer = nullptr);
  TVarnTreeDocument(const TVarnTreeDocument&) = delete;
  TVarnTreeDocument& operator=(const TVarnTreeDocument&) = delete;
  // Releases the drawer with the picture tree, the picture and then the
  // format classes.
  ~TVarnTreeDocument();

  // ---------------------------------------------------------------------
  // State.

  TVarnTreeDrawer& TreeDrawer() const { return *FTreeDrawer; }
  // The root of the picture tree; nil when there is none.
  TVarnNode* VarnRoot() const { return FTreeDrawer->VarnRoot(); }
  TFormatClasses& FormatClasses() const { return *FFormatClasses; }
  // The root class "all" of the format classes.
  TNodeFormat* Formats() const { return FFormatClasses->Formats(); }
  // The class of that name (case-sensitive); nil when there is none.
  TNodeFormat* FindFormat(const std::string& AClass) const { return FFormatClasses->FindFormat(AClass); }
  // FindFormat, or "all" when there is no such class.
  TNodeFormat* GetClassFormat(const std::string& AClass) const {
    return FFormatClasses->GetClassFormat(AClass);
  }

  TColor BackgroundColor() const { return FBackgroundColor; }
  void SetBackgroundColor(TColor Value) { FBackgroundColor = Value; }
  // The font that new parentless formats take (the node text box's font in
  // the window).
  const TFont& DefaultNodeFont() const { return FFormatClasses->DefaultFont(); }
  void SetDefaultNodeFont(const TFont& Value) { FFormatClasses->SetDefaultFont(Value); }
  // The measurer the picture nodes measure with; borrowed.
  const TTextMeasurer* Measurer() const { return FTreeDrawer->Context().Measurer; }
  void SetMeasurer(const TTextMeasurer* Value) { FTreeDrawer->SetMeasurer(Value); }

  // Full path of the file the current tree or formats came from.
  const std::string& LoadFileName() const { return FLoadFileName; }
  void SetLoadFileName(const std::string& Value) { FLoadFileName = Value; }
  // Full path that Save writes to; empty when none is known.
  const std::string& SaveFileName() const { return FSaveFileName; }
  void SetSaveFileName(const std::string& Value) { FSaveFileName = Value; }
  // Unsaved changes exist.
  bool FileModified() const { return FFileModified; }
  void SetFileModified(bool Value) { FFileModified = Value; }

  // The last picture drawn (the recorded metafile); nil before the first
  // drawing and after a failed one.
  const TMetafile* MetaFile() const { return FMetaFile.get(); }
  bool HasPicture() const { return FMetaFile != nullptr; }

  // Measures, places and draws the tree with the document's measurer, the
  // background colour and the load name as the picture name. Without a tree
  // the previous picture stays; otherwise it is dropped first, and after an
  // error of placing or drawing (which propagates) there is no picture.
  void DrawTree();

  // ---------------------------------------------------------------------
  // Formats and tree parameters.

  // Replaces the format classes by the defaults: "all" with "basic",
  // "aggregate" and "link" below it. The current tree is re-bound to them
  // first, so no node is left with a freed format.
  void SetDefaultFormats();
  // Level separation 60, minimum level separation 20, node separation 20,
  // levels aligned, parents aligned over their subtree, method Walker, no
  // stretch and no offset. Orientation, mirroring, terminal alignment and
  // borders keep the drawer's own values.
  void SetTreeDrawerDefaults();

  // ---------------------------------------------------------------------
  // Models.

  // Reads the model FN and replaces the tree by its picture tree. The load
  // name becomes FN's full path, the save name empty, the document
  // unmodified. The formats and the tree parameters stay as they are.
  void LoadVarnFile(const std::string& FN);
  // Replaces the tree by the picture tree of AModel; nothing else changes.
  void CreateVarnTree(const TVarnModel& AModel);

  // ---------------------------------------------------------------------
  // Tree documents.

  // The document element of the tree document of this document.
  std::unique_ptr<TXmlItem> BuildTreeDocument(bool SaveFormat = true, bool SaveTree = true) const;
  // Writes the tree document (through a temporary file, so a failed write
  // leaves an existing file as it was). Names and flag stay as they are. A
  // tree too deep for the reader is refused (STreeTooDeep) before anything
  // is written.
  void SaveVarnTreeFile(const std::string& FN, bool SaveFormat = true, bool SaveTree = true) const;
  // SaveVarnTreeFile with everything, then both file names become FN's full
  // path and the document is unmodified (only when the write succeeded).
  void SaveTreeDocument(const std::string& FN);
  // Reads a tree document: whole (both True), formats and tree parameters
  // only (True, False) or the tree only (False, True). Formats read without
  // their tree restyle the current tree. Afterwards the document is
  // unmodified; the load name becomes FN's full path when it was empty or
  // the tree was read; the save name becomes that path for a whole document
  // and empty otherwise, so that Save asks for a name.
  void LoadVarnTreeFile(const std::string& FN, bool LoadFormat = true, bool LoadTree = true);

  // ---------------------------------------------------------------------
  // Generated trees: each replaces the tree and marks the document
  // modified; formats, parameters and file names stay.

  void CreateSampleTree();
  void CreateRandomTree();
  void CreateBalancedTree();
  // The random source of the generators; seeded from the clock unless
  // replaced.
  void SetRandom(TRandomFunction Value) { FRandom = std::move(Value); }

 private:
  void ReplaceTree(std::unique_ptr<TVarnNode> ARoot);

  // Declared so that they are released in the order the formats need: the
  // drawer (with the tree and its individual formats) first, then the
  // picture, then the format classes.
  std::unique_ptr<TFormatClasses> FFormatClasses;
  std::unique_ptr<TMetafile> FMetaFile;
  std::unique_ptr<TVarnTreeDrawer> FTreeDrawer;
  std::string FLoadFileName;
  std::string FSaveFileName;
  bool FFileModified = false;
  TColor FBackgroundColor = clWhite;
  TRandomFunction FRandom;
};

// FN as a full path (absolute, with "." and ".." resolved, links kept).
std::string ExpandFileName(const std::string& FN);

}  // namespace vt
