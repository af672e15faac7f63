// The tree document (.vrt): a picture tree with everything that decides its
// look, as an XML document of the system's dialect. Formats are stored as
// differences from their parent format; reading rebuilds a format by copying
// its parent and applying the stored differences.
//
// Reading never touches the document it is meant for: it produces new
// objects (TTreeDocumentContent) that the document takes over only when the
// whole file has been read, so a broken file changes nothing.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "graphics/Graphics.h"
#include "picture/NodeFormat.h"
#include "picture/VarnNode.h"
#include "picture/VarnTreeDrawer.h"
#include "xml/Xml.h"

namespace vt {

// Messages of the tree document reader (raised as EVarnError, the error of
// files that are not what they claim to be).
inline constexpr std::string_view SUnsupportedFileFormat = "Unsupported file format: \"%s\"";
// Drawing needs a measurer for the text of the nodes.
inline constexpr std::string_view SDocumentNoMeasurer = "The document has no text measurer to draw with";
// Messages of the tree document writer.
inline constexpr std::string_view STreeTooDeep =
    "The tree is nested too deeply to be saved (more than %d levels)";

// Errors of the documents' own (the reader's errors are those of the XML
// layer, the conversions and the model library).
class EDocumentError : public Exception {
 public:
  using Exception::Exception;
};

// ---------------------------------------------------------------------------
// Value encodings of the document.

// Upper-case hexadecimal of the 32-bit value, at least six digits.
std::string ColorToDocText(TColor Value);
// The text as a hexadecimal integer (raises EConvertError); eight digits
// with the top bit set give the negative value of a system colour.
TColor DocTextToColor(const std::string& Text);
// "Pix" or "Perc"; any text other than "Pix" reads as percent.
std::string UnitToDocText(TUnit Value);
TUnit DocTextToUnit(const std::string& Text);
// "B", "I", "U", "S" in this order; reading takes those upper-case letters
// anywhere in the text and ignores everything else.
std::string FontStyleToDocText(TFontStyles Value);
TFontStyles DocTextToFontStyle(const std::string& Text);
// Pen styles by name (psDashDot is stored as "DastDot"); unknown texts read
// as psSolid.
std::string PenStyleToDocText(TPenStyle Value);
TPenStyle DocTextToPenStyle(const std::string& Text);
// Brush styles by name; unknown texts read as bsSolid.
std::string BrushStyleToDocText(TBrushStyle Value);
TBrushStyle DocTextToBrushStyle(const std::string& Text);
// "LeftJustify", "RightJustify", "Center"; unknown texts read as taCenter.
std::string AlignmentToDocText(TAlignment Value);
TAlignment DocTextToAlignment(const std::string& Text);
// "Rectangle", "RoundRect", "Ellipse", and the empty text for the shapes
// that are drawn as rectangles; unknown texts read as stRectangle.
std::string ShapeToDocText(TShapeType Value);
TShapeType DocTextToShape(const std::string& Text);

// ---------------------------------------------------------------------------
// Tree parameters as read from "treeformat" elements: only what the file
// holds; everything absent leaves the drawer's value as it is.
struct TTreeParameters {
  std::optional<TTreeDrawMethod> DrawMethod;
  std::optional<TTreeOrientation> Orientation;
  std::optional<int> BorderTop, BorderLeft, BorderBottom, BorderRight;
  std::optional<double> XStretch, YStretch;
  std::optional<int> NodeSeparation, LevelSeparation, MinLevelSeparation;
  std::optional<bool> XMirror, AlignLevels;
  std::optional<TTreeAlignParents> AlignParents;
  std::optional<TColor> BackgroundColor;

  // Reads one "treeformat" element over the values read so far (a later
  // element overrides an earlier one attribute by attribute).
  void Read(const TXmlItem& ATreeFormat);
  // Sets the drawer's parameters through its setters (XMirror and Border
  // directly) and the background colour.
  void ApplyTo(TVarnTreeDrawer& ADrawer, TColor& ABackgroundColor) const;
};

// What one reading of a tree document produced. Nothing here belongs to a
// document yet. Formats is set when the document's formats were read, Root
// when its tree was; the tree's nodes refer to Formats when that is set,
// otherwise to the format classes the reader was given, and have no drawer.
struct TTreeDocumentContent {
  TTreeParameters Parameters;
  bool HasParameters = false;
  std::unique_ptr<TNodeFormat> Formats;
  std::unique_ptr<TVarnNode> Root;

  TTreeDocumentContent() = default;
  TTreeDocumentContent(TTreeDocumentContent&&) = default;
  TTreeDocumentContent& operator=(TTreeDocumentContent&&) = default;
  // The tree goes before the formats it refers to.
  ~TTreeDocumentContent() { Root.reset(); }
};

// ---------------------------------------------------------------------------
// Writing.

// The document element "VarnTree": with SaveFormat the tree parameters of
// ADrawer, ABackgroundColor and the format classes below AFormats; with
// SaveTree the drawer's tree (nothing when it has none).
std::unique_ptr<TXmlItem> BuildTreeDocument(const TVarnTreeDrawer& ADrawer, const TNodeFormat* AFormats,
                                            TColor ABackgroundColor, bool SaveFormat, bool SaveTree);
// Raises STreeTooDeep when ADocument nests its elements deeper than the XML
// reader accepts (XmlMaxDepth): such a file could be written but never read
// again.
void CheckReadableDepth(const TXmlItem& ADocument);
// Appends the "nodeformat" element of AFormat to AParent: its differences
// from its parent format (all values without one), then its child classes.
void WriteNodeFormat(const TNodeFormat& AFormat, TXmlItem& AParent);
// Appends the "node" element of ANode and its subtree to AParent.
void WriteNode(const TVarnNode& ANode, TXmlItem& AParent);

// ---------------------------------------------------------------------------
// Reading.

// Reads the document element ADocument (FileName names it in the error of a
// root other than "VarnTree"). With LoadFormat the tree parameters and the
// last format tree; with LoadTree the tree (the first "node", with further
// top-level "node" elements appended below it). Class names of the tree are
// looked up in the formats just read, or in ACurrentFormats when the
// document has none or they were not asked for; new parentless formats take
// ADefaultFont. Raises the conversion's EConvertError for bad values.
TTreeDocumentContent ReadTreeDocument(const TXmlItem& ADocument, const std::string& FileName, bool LoadFormat,
                                      bool LoadTree, TNodeFormat* ACurrentFormats, const TFont& ADefaultFont);
// Reads a "nodeformat" element into a new format below AParent (owned by
// it), or without AParent a new parentless format that the caller owns.
TNodeFormat* ReadNodeFormat(const TXmlItem& AElement, TNodeFormat* AParent, const TFont& ADefaultFont);

// Binds every node of the tree below ARoot to the format tree ANewFormats:
// a node of a class takes that class of ANewFormats ("all", the root, when
// it has no such class); an individual format is registered below the class
// its old parent had (or the root), taking all of its values.
void RebindTree(TVarnNode* ARoot, TNodeFormat* ANewFormats);

}  // namespace vt
