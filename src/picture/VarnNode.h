// The node of the picture tree: a placeable node that carries a text and a
// node format, answers the layout engine's size questions by wrapping and
// measuring its text, and gives the renderer its rectangle and anchor points
// in picture pixels.
//
// A node reaches the format classes and the text measurer through the
// context of its drawer (a TVarnTreeDrawer). A node may be given that drawer
// when it is created, before it is attached, so that its class can be set
// first; nodes are measured only while their drawer places them.
#pragma once

#include <string>
#include <vector>

#include "graphics/Graphics.h"
#include "layout/TreeDraw.h"
#include "picture/NodeFormat.h"

namespace vt {

class TVarnTreeDrawer;

class TVarnNode : public TTreeDrawNode {
 public:
  explicit TVarnNode(std::string AText = "", TVarnTreeDrawer* ADrawer = nullptr);
  // Destroys the node's individual format, then the whole subtree.
  ~TVarnNode() override;

  // Slot 0: the text as shown, cut to TextTrim characters when it trims.
  // Without any format to read the trim from, the whole text.
  std::string Text() const override;
  // Slots 3 to 8; each measures first.
  double Width() const override;
  double LeftWidth() const override;
  double RightWidth() const override;
  double Height() const override;
  double TopHeight() const override;
  double BottomHeight() const override;

  // Slots 9 onwards.
  // "all" without a format of its own; empty for an individual format.
  virtual std::string NodeClass() const;
  // The empty name gives the node an individual format (a copy of its
  // current class format, or the defaults when it had none or had an
  // individual one); any other name shares that class of the drawer's
  // format classes, or "all" for an unknown name. A class name on a node
  // without format classes raises SNodeNoFormats.
  virtual void SetNodeClass(const std::string& Value);
  // The node's own format, else the drawer's "all"; SNodeNoFormat when there
  // is neither.
  virtual TNodeFormat* NodeFormat() const;
  virtual double MinWidth() const;
  virtual double MaxWidth() const;
  virtual double MinHeight() const;
  virtual double MaxHeight() const;
  virtual TAnchor UpAnchor() const;
  virtual TAnchor DownAnchor() const;
  virtual const TFont& Font() const;
  virtual const TPen& LinePen() const;
  virtual const TPen& NodePen() const;
  virtual const TBrush& NodeBrush() const;
  virtual TAlignment NodeAlign() const;
  virtual TShapeType Shape() const;
  virtual TAnchor RoundEdge() const;
  virtual TRect TextBorder() const;
  virtual bool TextWrap() const;
  virtual bool TextClip() const;
  virtual int TextTrim() const;
  virtual TAlignment TextXAlign() const;
  virtual TAlignment TextYAlign() const;
  virtual double LineSpacing() const;
  // Measures first.
  virtual int LineCount() const;
  // Measures first; the list's index error outside 0..LineCount-1.
  virtual std::string GetLine(int i) const;
  // Wraps and measures the text once; the results stay until Clear.
  virtual void MeasureText() const;

  // The drawer as a picture drawer; EInvalidCast for another drawer class,
  // nil without drawer.
  TVarnTreeDrawer* VarnDrawer() const;

  // The full text; writing it does not clear the measurement.
  const std::string& FullText() const { return FText; }
  void SetText(std::string Value) { FText = std::move(Value); }

  // Shares AClassFormat (nil: the drawer's "all"), freeing the node's
  // individual format if it has one. For re-binding a tree to new classes.
  void SetClassFormat(TNodeFormat* AClassFormat);
  // Makes AFormat the node's individual format, which the node then owns,
  // freeing the one it had. AFormat may be registered below a class format,
  // but nothing else may own it.
  void AdoptNodeFormat(TNodeFormat* AFormat);
  // The node's format is its own (individual), not a shared class format.
  bool OwnsNodeFormat() const { return FOwnsFormat; }

  // Forgets the measurement: the next size query measures again.
  void Clear();
  bool Measured() const { return FMeasured; }
  int TextWidth() const { return FTextWidth; }
  int TextHeight() const { return FTextHeight; }
  int LineHeight() const { return FLineHeight; }
  // Width of AText in the node's font.
  int MeasureWidth(const std::string& AText) const;

  // The reference point, the rectangle and the anchor points in picture
  // pixels.
  void NodePoint(int& PX, int& PY) const;
  TPoint NodePoint() const;
  void NodeRect(int& PX0, int& PY0, int& PX1, int& PY1) const;
  TRect NodeRect() const;
  void AnchorPoint(const TAnchor& A, int& AX, int& AY) const;
  TPoint AnchorPoint(const TAnchor& A) const;
  void UpPoint(int& AX, int& AY) const;
  TPoint UpPoint() const;
  void DownPoint(int& AX, int& AY) const;
  TPoint DownPoint() const;

 private:
  const TPictureContext* Context() const;
  const TTextMeasurer& Measurer() const;
  TTreeOrientation DrawOrientation() const;
  void ReleaseNodeFormat();
  void WrapText(const std::u32string& AText) const;

  std::string FText;
  // The measurement, filled lazily by the const size queries.
  mutable std::vector<std::string> FLines;
  mutable int FTextWidth = -1;
  mutable int FTextHeight = -1;
  mutable int FLineHeight = -1;
  TNodeFormat* FNodeFormat = nullptr;
  // FLines holds the laid-out text (an empty list is a measured empty text).
  mutable bool FMeasured = false;
  // The node owns FNodeFormat; kept here rather than read from the format,
  // which may already be gone when a shared class is freed first.
  bool FOwnsFormat = false;
};

}  // namespace vt
