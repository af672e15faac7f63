#include "document/TreeFile.h"

#include <array>
#include <utility>
#include <vector>

#include "foundation/Utils.h"
#include "foundation/XUtils.h"
#include "model/VarnObjects.h"

namespace vt {

namespace {

constexpr std::array<const char*, 7> PenStyleNames = {"Solid",      "Dash",  "Dot",        "DastDot",
                                                      "DashDotDot", "Clear", "InsideFrame"};
constexpr std::array<const char*, 8> BrushStyleNames = {"Solid",     "Clear",     "Horizontal", "Vertical",
                                                        "FDiagonal", "BDiagonal", "Cross",      "DiagCross"};
constexpr std::array<std::pair<TFontStyle, char>, 4> FontStyleLetters = {
    {{fsBold, 'B'}, {fsItalic, 'I'}, {fsUnderline, 'U'}, {fsStrikeOut, 'S'}}};

// The picture node behind a layout node of a picture tree.
const TVarnNode& AsVarnNode(const TTreeDrawNode* ANode) {
  const auto* node = dynamic_cast<const TVarnNode*>(ANode);
  if (!node) throw EInvalidCast();
  return *node;
}
TVarnNode& AsVarnNode(TTreeDrawNode* ANode) {
  auto* node = dynamic_cast<TVarnNode*>(ANode);
  if (!node) throw EInvalidCast();
  return *node;
}

// Calls Visit on ARoot and every node below it, in pre-order, without
// recursion along the depth.
template <typename TVisit>
void ForEachNode(TTreeDrawNode* ARoot, TVisit Visit) {
  TTreeDrawNode* node = ARoot;
  while (node) {
    Visit(node);
    if (node->FirstChild()) {
      node = node->FirstChild();
      continue;
    }
    while (node != ARoot && !node->NextChild()) node = node->Parent();
    node = node == ARoot ? nullptr : node->NextChild();
  }
}

// ---------------------------------------------------------------------------
// Writing

void AddEmptyElement(TXmlItem& AParent, const std::string& AName,
                     const std::vector<std::string>& AAttributes) {
  AParent.AddTextItem(AName, "", AAttributes);
}

std::vector<std::string> AnchorAttributes(const TAnchor& A) {
  return {"X", IntToStr(A.X), "Xunit", UnitToDocText(A.UnitX),
          "Y", IntToStr(A.Y), "Yunit", UnitToDocText(A.UnitY)};
}

std::vector<std::string> PenAttributes(const TPen& APen) {
  return {"color", ColorToDocText(APen.Color()),   "width", IntToStr(APen.Width()),
          "style", PenStyleToDocText(APen.Style())};
}

void WriteTreeFormat(const TVarnTreeDrawer& ADrawer, TColor ABackgroundColor, TXmlItem& ADocument) {
  TXmlItem* element = ADocument.NewItem("treeformat");
  AddEmptyElement(*element, "config",
                  {"method", TreeDrawMethodToString(ADrawer.DrawMethod()), "orientation",
                   TreeOrientationToString(ADrawer.Orientation())});
  const TRect& border = ADrawer.Border();
  AddEmptyElement(*element, "border",
                  {"top", IntToStr(border.Top), "left", IntToStr(border.Left), "bottom",
                   IntToStr(border.Bottom), "right", IntToStr(border.Right)});
  AddEmptyElement(*element, "stretch",
                  {"X", IntToStr(RoundHalfEven(ADrawer.XStretch() * 100)), "Y",
                   IntToStr(RoundHalfEven(ADrawer.YStretch() * 100))});
  AddEmptyElement(
      *element, "place",
      {"node", IntToStr(RoundHalfEven(ADrawer.NodeSeparation())), "level",
       IntToStr(RoundHalfEven(ADrawer.LevelSeparation())), "minlevel",
       IntToStr(RoundHalfEven(ADrawer.MinLevelSeparation())), "mirror", BoolToText(ADrawer.XMirror()),
       "alignlevels", BoolToText(ADrawer.AlignLevels()), "alignparents",
       BoolToText(ADrawer.AlignParents() == apSubtree), "color", ColorToDocText(ABackgroundColor)});
}

// The element of one node without its children. The whole text is stored:
// a trim only shortens what is shown, and a text stored cut would be lost
// for good once the trim is lifted.
void FillNodeElement(const TVarnNode& ANode, TXmlItem& AElement) {
  const std::string& text = ANode.FullText();
  if (!text.empty()) AElement.AddTextItem("text", text);
  // A shared format is named by its class; the top format is "all"
  // whatever it was called.
  if (!ANode.OwnsNodeFormat()) {
    const std::string nodeClass = ANode.NodeClass();
    AElement.AddAttribute("class", nodeClass.empty() ? AllClass : nodeClass);
  } else {
    WriteNodeFormat(*ANode.NodeFormat(), AElement);
  }
}

// ---------------------------------------------------------------------------
// Reading formats

// Applies Set to AFormat alone, not to the formats registered below it: the
// children step aside while it runs.
template <typename TSet>
void SetAlone(TNodeFormat& AFormat, TSet Set) {
  std::vector<TNodeFormat*> children;
  for (int i = 0; i < AFormat.ChildCount(); ++i) children.push_back(AFormat.GetChild(i));
  for (TNodeFormat* child : children) AFormat.DeleteChild(child);
  Set();
  for (TNodeFormat* child : children) AFormat.AddChild(child);
}

// An anchor with the element's X, Xunit, Y and Yunit over AValue.
TAnchor ReadAnchor(const TXmlItem& AElement, TAnchor AValue) {
  for (int i = 0; i < AElement.AttributeCount(); ++i) {
    const TXmlItem& a = *AElement.GetAttribute(i);
    if (a.Name() == "X")
      AValue.X = a.AsInteger();
    else if (a.Name() == "Xunit")
      AValue.UnitX = DocTextToUnit(a.Text());
    else if (a.Name() == "Y")
      AValue.Y = a.AsInteger();
    else if (a.Name() == "Yunit")
      AValue.UnitY = DocTextToUnit(a.Text());
  }
  return AValue;
}

TPen ReadPen(const TXmlItem& AElement, TPen AValue) {
  for (int i = 0; i < AElement.AttributeCount(); ++i) {
    const TXmlItem& a = *AElement.GetAttribute(i);
    if (a.Name() == "color")
      AValue.SetColor(DocTextToColor(a.Text()));
    else if (a.Name() == "width")
      AValue.SetWidth(a.AsInteger());
    else if (a.Name() == "style")
      AValue.SetStyle(DocTextToPenStyle(a.Text()));
  }
  return AValue;
}

TFont ReadFont(const TXmlItem& AElement, TFont AValue) {
  for (int i = 0; i < AElement.AttributeCount(); ++i) {
    const TXmlItem& a = *AElement.GetAttribute(i);
    if (a.Name() == "name")
      AValue.SetName(a.Text());
    else if (a.Name() == "size")
      AValue.SetSize(a.AsInteger());
    else if (a.Name() == "color")
      AValue.SetColor(DocTextToColor(a.Text()));
    else if (a.Name() == "style")
      AValue.SetStyle(DocTextToFontStyle(a.Text()));
  }
  return AValue;
}

TBrush ReadBrush(const TXmlItem& AElement, TBrush AValue) {
  for (int i = 0; i < AElement.AttributeCount(); ++i) {
    const TXmlItem& a = *AElement.GetAttribute(i);
    if (a.Name() == "color")
      AValue.SetColor(DocTextToColor(a.Text()));
    else if (a.Name() == "style")
      AValue.SetStyle(DocTextToBrushStyle(a.Text()));
  }
  return AValue;
}

TRect ReadTextBorder(const TXmlItem& AElement, TRect AValue) {
  for (int i = 0; i < AElement.AttributeCount(); ++i) {
    const TXmlItem& a = *AElement.GetAttribute(i);
    if (a.Name() == "top")
      AValue.Top = a.AsInteger();
    else if (a.Name() == "left")
      AValue.Left = a.AsInteger();
    else if (a.Name() == "bottom")
      AValue.Bottom = a.AsInteger();
    else if (a.Name() == "right")
      AValue.Right = a.AsInteger();
  }
  return AValue;
}

// The values of the elements that go through the push-down setters, applied
// attribute by attribute in document order.
void ReadCascading(const TXmlItem& AElement, TNodeFormat& F) {
  const std::string& kind = AElement.Name();
  for (int i = 0; i < AElement.AttributeCount(); ++i) {
    const TXmlItem& a = *AElement.GetAttribute(i);
    const std::string& name = a.Name();
    if (kind == "width") {
      if (name == "min") F.SetMinWidth(a.AsInteger());
      if (name == "max") F.SetMaxWidth(a.AsInteger());
    } else if (kind == "height") {
      if (name == "min") F.SetMinHeight(a.AsInteger());
      if (name == "max") F.SetMaxHeight(a.AsInteger());
    } else if (kind == "node") {
      if (name == "shape") F.SetShape(DocTextToShape(a.Text()));
      if (name == "align") F.SetNodeAlign(DocTextToAlignment(a.Text()));
    } else if (kind == "text") {
      if (name == "wrap") F.SetTextWrap(a.AsBoolean());
      if (name == "clip") F.SetTextClip(a.AsBoolean());
      if (name == "trim") F.SetTextTrim(a.AsInteger());
      if (name == "line") F.SetLineSpacing(TextToFiniteFloat(a.Text()));
    } else if (kind == "textalign") {
      if (name == "X") F.SetTextXAlign(DocTextToAlignment(a.Text()));
      if (name == "Y") F.SetTextYAlign(DocTextToAlignment(a.Text()));
    }
  }
}

// One difference element; unknown elements are skipped. Anchors, font,
// pens, brush and text border are written into the format alone.
void ReadDifference(const TXmlItem& AElement, TNodeFormat& F) {
  const std::string& kind = AElement.Name();
  if (kind == "width" || kind == "height" || kind == "node" || kind == "text" || kind == "textalign") {
    ReadCascading(AElement, F);
  } else if (kind == "up") {
    const TAnchor value = ReadAnchor(AElement, F.UpAnchor());
    SetAlone(F, [&] { F.SetUpAnchor(value); });
  } else if (kind == "down") {
    const TAnchor value = ReadAnchor(AElement, F.DownAnchor());
    SetAlone(F, [&] { F.SetDownAnchor(value); });
  } else if (kind == "round") {
    const TAnchor value = ReadAnchor(AElement, F.RoundEdge());
    SetAlone(F, [&] { F.SetRoundEdge(value); });
  } else if (kind == "font") {
    const TFont value = ReadFont(AElement, F.Font());
    SetAlone(F, [&] { F.SetFont(value); });
  } else if (kind == "linepen") {
    const TPen value = ReadPen(AElement, F.LinePen());
    SetAlone(F, [&] { F.SetLinePen(value); });
  } else if (kind == "nodepen") {
    const TPen value = ReadPen(AElement, F.NodePen());
    SetAlone(F, [&] { F.SetNodePen(value); });
  } else if (kind == "nodebrush") {
    const TBrush value = ReadBrush(AElement, F.NodeBrush());
    SetAlone(F, [&] { F.SetNodeBrush(value); });
  } else if (kind == "textborder") {
    const TRect value = ReadTextBorder(AElement, F.TextBorder());
    SetAlone(F, [&] { F.SetTextBorder(value); });
  }
}

// The individual format of a node: registered below the class its "parent"
// attribute names in AFormats (a copy of it), else parentless with the
// defaults. An individual format has no class name and no formats of its
// own below it, so a "class" attribute and nested "nodeformat" elements are
// ignored here: a class hidden inside one node's format could otherwise be
// shared by other nodes and freed with its node.
std::unique_ptr<TNodeFormat> ReadNodeOwnFormat(const TXmlItem& AElement, TNodeFormat* AFormats,
                                               const TFont& ADefaultFont) {
  auto format = std::make_unique<TNodeFormat>("", nullptr, ADefaultFont);
  const std::string parentClass = AElement.GetAttributeAsString("parent");
  if (!parentClass.empty() && AFormats) {
    if (TNodeFormat* parent = AFormats->Find(parentClass)) format->SetParent(parent);
  }
  for (int i = 0; i < AElement.ItemCount(); ++i) {
    const TXmlItem& child = *AElement.GetItem(i);
    if (child.Name() != "nodeformat") ReadDifference(child, *format);
  }
  return format;
}

// ---------------------------------------------------------------------------
// Reading nodes

// A node from its element, without its children: its text and its class
// (looked up in AFormats), or a fresh individual format for the empty class.
std::unique_ptr<TVarnNode> MakeNode(const TXmlItem& AElement, TNodeFormat* AFormats,
                                    const TFont& ADefaultFont) {
  const TXmlItem* text = AElement.GetItemByName("text");
  auto node = std::make_unique<TVarnNode>(text ? text->Text() : std::string());
  const std::string nodeClass = AElement.GetAttributeAsString("class");
  if (nodeClass.empty()) {
    node->AdoptNodeFormat(new TNodeFormat("", nullptr, ADefaultFont));
  } else if (AFormats) {
    TNodeFormat* format = AFormats->Find(nodeClass);
    node->SetClassFormat(format ? format : AFormats);
  }
  return node;
}

// The subtree of a "node" element, without recursion along its depth.
std::unique_ptr<TVarnNode> ReadNodeTree(const TXmlItem& AElement, TNodeFormat* AFormats,
                                        const TFont& ADefaultFont) {
  struct TFrame {
    const TXmlItem* Element;
    TVarnNode* Node;
    int Next;
  };
  std::unique_ptr<TVarnNode> root = MakeNode(AElement, AFormats, ADefaultFont);
  std::vector<TFrame> open{{&AElement, root.get(), 0}};
  while (!open.empty()) {
    TFrame& top = open.back();
    if (top.Next >= top.Element->ItemCount()) {
      open.pop_back();
      continue;
    }
    const TXmlItem& child = *top.Element->GetItem(top.Next++);
    TVarnNode* node = top.Node;
    if (child.Name() == "node") {
      auto made = MakeNode(child, AFormats, ADefaultFont);
      TVarnNode* added = made.get();
      node->AddChild(made.release());
      open.push_back({&child, added, 0});
    } else if (child.Name() == "nodeformat") {
      node->AdoptNodeFormat(ReadNodeOwnFormat(child, AFormats, ADefaultFont).release());
    }
  }
  return root;
}

}  // namespace

// ---------------------------------------------------------------------------
// Value encodings

std::string ColorToDocText(TColor Value) {
  return IntToHex(Value, 6);
}

TColor DocTextToColor(const std::string& Text) {
  return StrToInt("$" + Text);
}

std::string UnitToDocText(TUnit Value) {
  return Value == Upix ? "Pix" : "Perc";
}

TUnit DocTextToUnit(const std::string& Text) {
  return Text == "Pix" ? Upix : Uperc;
}

std::string FontStyleToDocText(TFontStyles Value) {
  std::string text;
  for (auto [style, letter] : FontStyleLetters)
    if (Value.Contains(style)) text += letter;
  return text;
}

TFontStyles DocTextToFontStyle(const std::string& Text) {
  TFontStyles styles;
  for (auto [style, letter] : FontStyleLetters)
    if (Text.find(letter) != std::string::npos) styles.Include(style);
  return styles;
}

std::string PenStyleToDocText(TPenStyle Value) {
  return Value < PenStyleNames.size() ? PenStyleNames[Value] : "";
}

TPenStyle DocTextToPenStyle(const std::string& Text) {
  for (size_t i = 0; i < PenStyleNames.size(); ++i)
    if (Text == PenStyleNames[i]) return static_cast<TPenStyle>(i);
  return psSolid;
}

std::string BrushStyleToDocText(TBrushStyle Value) {
  return Value < BrushStyleNames.size() ? BrushStyleNames[Value] : "";
}

TBrushStyle DocTextToBrushStyle(const std::string& Text) {
  for (size_t i = 0; i < BrushStyleNames.size(); ++i)
    if (Text == BrushStyleNames[i]) return static_cast<TBrushStyle>(i);
  return bsSolid;
}

std::string AlignmentToDocText(TAlignment Value) {
  switch (Value) {
    case taLeftJustify:
      return "LeftJustify";
    case taRightJustify:
      return "RightJustify";
    case taCenter:
      return "Center";
  }
  return "Center";
}

TAlignment DocTextToAlignment(const std::string& Text) {
  if (Text == "LeftJustify") return taLeftJustify;
  if (Text == "RightJustify") return taRightJustify;
  return taCenter;
}

std::string ShapeToDocText(TShapeType Value) {
  switch (Value) {
    case stRectangle:
      return "Rectangle";
    case stRoundRect:
      return "RoundRect";
    case stEllipse:
      return "Ellipse";
    default:
      return "";
  }
}

TShapeType DocTextToShape(const std::string& Text) {
  if (Text == "Ellipse") return stEllipse;
  if (Text == "RoundRect") return stRoundRect;
  return stRectangle;
}

// ---------------------------------------------------------------------------
// Tree parameters

void TTreeParameters::Read(const TXmlItem& ATreeFormat) {
  for (int i = 0; i < ATreeFormat.ItemCount(); ++i) {
    const TXmlItem& element = *ATreeFormat.GetItem(i);
    const std::string& kind = element.Name();
    for (int j = 0; j < element.AttributeCount(); ++j) {
      const TXmlItem& a = *element.GetAttribute(j);
      const std::string& name = a.Name();
      if (kind == "config") {
        if (name == "method") DrawMethod = StringToTreeDrawMethod(a.Text());
        if (name == "orientation") Orientation = StringToTreeOrientation(a.Text());
      } else if (kind == "border") {
        if (name == "top") BorderTop = a.AsInteger();
        if (name == "left") BorderLeft = a.AsInteger();
        if (name == "bottom") BorderBottom = a.AsInteger();
        if (name == "right") BorderRight = a.AsInteger();
      } else if (kind == "stretch") {
        if (name == "X") XStretch = a.AsInteger() / 100.0;
        if (name == "Y") YStretch = a.AsInteger() / 100.0;
      } else if (kind == "place") {
        if (name == "node") NodeSeparation = a.AsInteger();
        if (name == "level") LevelSeparation = a.AsInteger();
        if (name == "minlevel") MinLevelSeparation = a.AsInteger();
        if (name == "mirror") XMirror = a.AsBoolean();
        if (name == "alignlevels") AlignLevels = a.AsBoolean();
        if (name == "alignparents") AlignParents = a.AsBoolean() ? apSubtree : apDescendants;
        if (name == "color") BackgroundColor = DocTextToColor(a.Text());
      }
    }
  }
}

void TTreeParameters::ApplyTo(TVarnTreeDrawer& ADrawer, TColor& ABackgroundColor) const {
  if (DrawMethod) ADrawer.SetDrawMethod(*DrawMethod);
  if (Orientation) ADrawer.SetOrientation(*Orientation);
  TRect border = ADrawer.Border();
  if (BorderTop) border.Top = *BorderTop;
  if (BorderLeft) border.Left = *BorderLeft;
  if (BorderBottom) border.Bottom = *BorderBottom;
  if (BorderRight) border.Right = *BorderRight;
  ADrawer.SetBorder(border);
  if (XStretch) ADrawer.SetXStretch(*XStretch);
  if (YStretch) ADrawer.SetYStretch(*YStretch);
  if (NodeSeparation) ADrawer.SetNodeSeparation(*NodeSeparation);
  if (LevelSeparation) ADrawer.SetLevelSeparation(*LevelSeparation);
  if (MinLevelSeparation) ADrawer.SetMinLevelSeparation(*MinLevelSeparation);
  if (XMirror) ADrawer.SetXMirror(*XMirror);
  if (AlignLevels) ADrawer.SetAlignLevels(*AlignLevels);
  if (AlignParents) ADrawer.SetAlignParents(*AlignParents);
  if (BackgroundColor) ABackgroundColor = *BackgroundColor;
}

// ---------------------------------------------------------------------------
// Writing

void WriteNodeFormat(const TNodeFormat& F, TXmlItem& AParent) {
  TXmlItem& element = *AParent.NewItem("nodeformat");
  const TNodeFormat* P = F.Parent();
  if (!F.FormatClass().empty())
    element.AddAttribute("class", F.FormatClass());
  else if (P)
    element.AddAttribute("parent", P->FormatClass().empty() ? AllClass : P->FormatClass());
  else if (!F.OwnedByNode())
    element.AddAttribute("class", AllClass);

  if (!P || F.MinWidth() != P->MinWidth() || F.MaxWidth() != P->MaxWidth())
    AddEmptyElement(element, "width", {"min", IntToStr(F.MinWidth()), "max", IntToStr(F.MaxWidth())});
  if (!P || F.MinHeight() != P->MinHeight() || F.MaxHeight() != P->MaxHeight())
    AddEmptyElement(element, "height", {"min", IntToStr(F.MinHeight()), "max", IntToStr(F.MaxHeight())});
  if (!P || !AnchorEqual(F.UpAnchor(), P->UpAnchor()))
    AddEmptyElement(element, "up", AnchorAttributes(F.UpAnchor()));
  if (!P || !AnchorEqual(F.DownAnchor(), P->DownAnchor()))
    AddEmptyElement(element, "down", AnchorAttributes(F.DownAnchor()));
  if (!P || !FontEqual(F.Font(), P->Font())) {
    const TFont& font = F.Font();
    AddEmptyElement(element, "font",
                    {"name", font.Name(), "size", IntToStr(font.Size()), "color",
                     ColorToDocText(font.Color()), "style", FontStyleToDocText(font.Style())});
  }
  if (!P || !PenEqual(F.LinePen(), P->LinePen()))
    AddEmptyElement(element, "linepen", PenAttributes(F.LinePen()));
  if (!P || !PenEqual(F.NodePen(), P->NodePen()))
    AddEmptyElement(element, "nodepen", PenAttributes(F.NodePen()));
  if (!P || !BrushEqual(F.NodeBrush(), P->NodeBrush()))
    AddEmptyElement(element, "nodebrush",
                    {"color", ColorToDocText(F.NodeBrush().Color()), "style",
                     BrushStyleToDocText(F.NodeBrush().Style())});
  if (!P || F.Shape() != P->Shape() || F.NodeAlign() != P->NodeAlign())
    AddEmptyElement(element, "node",
                    {"shape", ShapeToDocText(F.Shape()), "align", AlignmentToDocText(F.NodeAlign())});
  if (!P || !AnchorEqual(F.RoundEdge(), P->RoundEdge()))
    AddEmptyElement(element, "round", AnchorAttributes(F.RoundEdge()));
  if (!P || F.TextWrap() != P->TextWrap() || F.TextClip() != P->TextClip() || F.TextTrim() != P->TextTrim() ||
      !SameFloat(F.LineSpacing(), P->LineSpacing()))
    AddEmptyElement(element, "text",
                    {"wrap", BoolToText(F.TextWrap()), "clip", BoolToText(F.TextClip()), "trim",
                     IntToStr(F.TextTrim()), "line", FloatToText(F.LineSpacing())});
  if (!P || F.TextXAlign() != P->TextXAlign() || F.TextYAlign() != P->TextYAlign())
    AddEmptyElement(element, "textalign",
                    {"X", AlignmentToDocText(F.TextXAlign()), "Y", AlignmentToDocText(F.TextYAlign())});
  if (!P || !RectEqual(F.TextBorder(), P->TextBorder())) {
    const TRect& border = F.TextBorder();
    AddEmptyElement(element, "textborder",
                    {"top", IntToStr(border.Top), "left", IntToStr(border.Left), "bottom",
                     IntToStr(border.Bottom), "right", IntToStr(border.Right)});
  }

  // Individual formats below a class are written with their nodes.
  for (int i = 0; i < F.ChildCount(); ++i) {
    const TNodeFormat& child = *F.GetChild(i);
    if (!child.FormatClass().empty()) WriteNodeFormat(child, element);
  }
}

void CheckReadableDepth(const TXmlItem& ADocument) {
  std::vector<std::pair<const TXmlItem*, int>> open{{&ADocument, 1}};
  while (!open.empty()) {
    auto [element, depth] = open.back();
    open.pop_back();
    if (depth > XmlMaxDepth) throw EDocumentError(Fmt(STreeTooDeep, XmlMaxDepth));
    for (int i = 0; i < element->ItemCount(); ++i) open.push_back({element->GetItem(i), depth + 1});
  }
}

void WriteNode(const TVarnNode& ANode, TXmlItem& AParent) {
  struct TFrame {
    const TTreeDrawNode* Next;
    TXmlItem* Element;
  };
  TXmlItem* element = AParent.NewItem("node");
  FillNodeElement(ANode, *element);
  std::vector<TFrame> open{{ANode.FirstChild(), element}};
  while (!open.empty()) {
    TFrame& top = open.back();
    const TTreeDrawNode* child = top.Next;
    if (!child) {
      open.pop_back();
      continue;
    }
    top.Next = child->NextChild();
    TXmlItem* childElement = top.Element->NewItem("node");
    FillNodeElement(AsVarnNode(child), *childElement);
    open.push_back({child->FirstChild(), childElement});
  }
}

std::unique_ptr<TXmlItem> BuildTreeDocument(const TVarnTreeDrawer& ADrawer, const TNodeFormat* AFormats,
                                            TColor ABackgroundColor, bool SaveFormat, bool SaveTree) {
  auto document = std::make_unique<TXmlItem>("VarnTree");
  if (SaveFormat) {
    WriteTreeFormat(ADrawer, ABackgroundColor, *document);
    if (AFormats) WriteNodeFormat(*AFormats, *document);
  }
  if (SaveTree && ADrawer.Root()) WriteNode(AsVarnNode(ADrawer.Root()), *document);
  return document;
}

// ---------------------------------------------------------------------------
// Reading

TNodeFormat* ReadNodeFormat(const TXmlItem& AElement, TNodeFormat* AParent, const TFont& ADefaultFont) {
  // The top of a format tree is the class "all" whatever its element says:
  // nodes share it by that name, and only a node's own format is nameless.
  const std::string formatClass = AParent ? AElement.GetAttributeAsString("class") : AllClass;
  // Below a parent the parent owns the new format at once; a parentless one
  // is the caller's only when it is complete.
  std::unique_ptr<TNodeFormat> own;
  TNodeFormat* format;
  if (AParent) {
    format = new TNodeFormat(formatClass, AParent);
  } else {
    own = std::make_unique<TNodeFormat>(formatClass, nullptr, ADefaultFont);
    format = own.get();
  }
  for (int i = 0; i < AElement.ItemCount(); ++i) {
    const TXmlItem& child = *AElement.GetItem(i);
    if (child.Name() == "nodeformat")
      ReadNodeFormat(child, format, ADefaultFont);
    else
      ReadDifference(child, *format);
  }
  (void)own.release();
  return format;
}

TTreeDocumentContent ReadTreeDocument(const TXmlItem& ADocument, const std::string& FileName, bool LoadFormat,
                                      bool LoadTree, TNodeFormat* ACurrentFormats,
                                      const TFont& ADefaultFont) {
  if (ADocument.Name() != "VarnTree") throw EVarnError(Fmt(SUnsupportedFileFormat, FileName));
  TTreeDocumentContent content;
  if (LoadFormat) {
    for (int i = 0; i < ADocument.ItemCount(); ++i) {
      const TXmlItem& element = *ADocument.GetItem(i);
      if (element.Name() == "nodeformat") {
        content.Formats.reset(ReadNodeFormat(element, nullptr, ADefaultFont));
      } else if (element.Name() == "treeformat") {
        content.Parameters.Read(element);
        content.HasParameters = true;
      }
    }
  }
  if (LoadTree) {
    TNodeFormat* formats = content.Formats ? content.Formats.get() : ACurrentFormats;
    for (int i = 0; i < ADocument.ItemCount(); ++i) {
      const TXmlItem& element = *ADocument.GetItem(i);
      if (element.Name() != "node") continue;
      std::unique_ptr<TVarnNode> node = ReadNodeTree(element, formats, ADefaultFont);
      if (!content.Root)
        content.Root = std::move(node);
      else
        content.Root->AddChild(node.release());
    }
  }
  return content;
}

void RebindTree(TVarnNode* ARoot, TNodeFormat* ANewFormats) {
  if (!ARoot || !ANewFormats) return;
  ForEachNode(ARoot, [ANewFormats](TTreeDrawNode* ANode) {
    TVarnNode* node = &AsVarnNode(ANode);
    // Whether the node shares a class or has a format of its own is a
    // matter of ownership: a shared format may have any name, even none.
    if (!node->OwnsNodeFormat()) {
      const std::string nodeClass = node->NodeClass();
      TNodeFormat* format = nodeClass.empty() ? nullptr : ANewFormats->Find(nodeClass);
      node->SetClassFormat(format ? format : ANewFormats);
      return;
    }
    TNodeFormat* own = node->NodeFormat();
    const std::string parentClass = own->Parent() ? own->Parent()->FormatClass() : std::string();
    TNodeFormat* parent = parentClass.empty() ? nullptr : ANewFormats->Find(parentClass);
    own->SetParent(parent ? parent : ANewFormats);
  });
}

}  // namespace vt
