// Node formats: how a picture node looks. Formats form a tree of format
// classes ("all" above "basic", "aggregate", "link", ...) with "individual"
// formats of single nodes registered below them. Inheritance works by copying
// and pushing down, never by looking up: a format given a parent copies all
// of the parent's values, and a value set on a format is set on every format
// below it as well.
//
// Ownership: a format owns its child formats, except the individual formats
// that picture nodes own (OwnedByNode). Destroying a format destroys the
// formats it owns and releases the node-owned ones (they lose their parent
// and keep their values), so class formats and picture trees may be
// destroyed in either order.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/Lists.h"
#include "graphics/Graphics.h"
#include "picture/PictureContext.h"

namespace vt {

// The class at the top of every format tree.
inline constexpr char AllClass[] = "all";

enum TUnit : std::uint8_t { Upix = 0, Uperc = 1 };

// An anchor offset (X along the node's in-level axis, Y along the level
// axis) or, for corner rounding, the corner ellipse's width and height.
struct TAnchor {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  TUnit UnitX = Upix;
  TUnit UnitY = Upix;
};

bool AnchorEqual(const TAnchor& A, const TAnchor& B);
bool RectEqual(const TRect& A, const TRect& B);
// Name (case-sensitive), size, colour and style; not the character set.
bool FontEqual(const TFont& A, const TFont& B);
bool PenEqual(const TPen& A, const TPen& B);
bool BrushEqual(const TBrush& A, const TBrush& B);

class TNodeFormat : public TObject {
 public:
  // The font of new parentless formats until the owner says otherwise:
  // Arial, 10 points (-13 pixels), East European, window text, no style.
  static TFont StartupFont();

  // With AParent the format is registered below it and starts as a copy of
  // it; without, it takes the defaults, with ADefaultFont as its font.
  explicit TNodeFormat(std::string AClass = "", TNodeFormat* AParent = nullptr,
                       const TFont& ADefaultFont = StartupFont());
  TNodeFormat(const TNodeFormat&) = delete;
  TNodeFormat& operator=(const TNodeFormat&) = delete;
  ~TNodeFormat() override;

  const std::string& FormatClass() const { return FFormatClass; }
  void SetFormatClass(std::string Value) { FFormatClass = std::move(Value); }
  TNodeFormat* Parent() const { return FParent; }
  // True while a picture node owns this format as its individual format.
  bool OwnedByNode() const { return FOwnedByNode; }

  // Virtual operations, in slot order.
  // Unregisters from the old parent; with a new parent, copies all of its
  // values and registers below it. A parent inside this format's own
  // subtree is refused with SFormatCircularParent.
  virtual void SetParent(TNodeFormat* Value);
  virtual int ChildCount() const;
  // Raises the list's index error outside 0..ChildCount-1.
  virtual TNodeFormat* GetChild(int Idx) const;
  // Push-down setters: each stores the value and sets it on every format
  // below, in pre-order.
  virtual void SetMinWidth(int Value);
  virtual void SetMaxWidth(int Value);
  virtual void SetMinHeight(int Value);
  virtual void SetMaxHeight(int Value);
  virtual void SetUpAnchor(const TAnchor& Value);
  virtual void SetDownAnchor(const TAnchor& Value);
  virtual void SetFont(const TFont& Value);
  virtual void SetLinePen(const TPen& Value);
  virtual void SetNodePen(const TPen& Value);
  virtual void SetNodeBrush(const TBrush& Value);
  virtual void SetNodeAlign(TAlignment Value);
  virtual void SetShape(TShapeType Value);
  virtual void SetRoundEdge(const TAnchor& Value);
  virtual void SetTextBorder(const TRect& Value);
  virtual void SetTextBorderTop(int Value);
  virtual void SetTextBorderBottom(int Value);
  virtual void SetTextBorderLeft(int Value);
  virtual void SetTextBorderRight(int Value);
  virtual void SetTextWrap(bool Value);
  virtual void SetTextClip(bool Value);
  virtual void SetTextTrim(int Value);
  virtual void SetTextXAlign(TAlignment Value);
  virtual void SetTextYAlign(TAlignment Value);
  virtual void SetLineSpacing(double Value);
  // Copies every value property (not the class name, parent or children);
  // pushes nothing down.
  virtual void Assign(const TNodeFormat& ANodeFormat);

  // Registers ANodeFormat as the last child unless it is nil or registered
  // here already. A format registered elsewhere moves here (a format has one
  // parent); its values are not copied. Refuses an ancestor of this format
  // or the format itself (SFormatCircularParent).
  void AddChild(TNodeFormat* ANodeFormat);
  // Unregisters ANodeFormat (which then has no parent) without freeing it;
  // nil or an absent format is ignored.
  void DeleteChild(TNodeFormat* ANodeFormat);
  // This format when its class name is AClass (case-sensitive), else the
  // first match below it in pre-order; nil when none matches.
  TNodeFormat* Find(const std::string& AClass);

  int MinWidth() const { return FMinWidth; }
  int MaxWidth() const { return FMaxWidth; }
  int MinHeight() const { return FMinHeight; }
  int MaxHeight() const { return FMaxHeight; }
  const TAnchor& UpAnchor() const { return FUpAnchor; }
  const TAnchor& DownAnchor() const { return FDownAnchor; }
  const TFont& Font() const { return FFont; }
  const TPen& LinePen() const { return FLinePen; }
  const TPen& NodePen() const { return FNodePen; }
  const TBrush& NodeBrush() const { return FNodeBrush; }
  TAlignment NodeAlign() const { return FNodeAlign; }
  TShapeType Shape() const { return FShape; }
  const TAnchor& RoundEdge() const { return FRoundEdge; }
  const TRect& TextBorder() const { return FTextBorder; }
  bool TextWrap() const { return FTextWrap; }
  bool TextClip() const { return FTextClip; }
  int TextTrim() const { return FTextTrim; }
  TAlignment TextXAlign() const { return FTextXAlign; }
  TAlignment TextYAlign() const { return FTextYAlign; }
  double LineSpacing() const { return FLineSpacing; }

 private:
  friend class TVarnNode;

  // Applies Set to this format and every format registered below it, in
  // pre-order (a format, then its children in registration order).
  template <typename TSetter>
  void PushDown(TSetter Set);
  // Frees the owned formats below this one and releases the node-owned
  // ones.
  void DestroyChildren();
  // True when AFormat is this format or lies below it.
  bool Contains(const TNodeFormat* AFormat) const;
  TNodeFormat* ChildAt(int Idx) const { return static_cast<TNodeFormat*>(FChildren.Items(Idx)); }

  std::string FFormatClass;
  TNodeFormat* FParent = nullptr;
  TObjList FChildren{false};
  int FMinWidth = 50;
  int FMaxWidth = 150;
  int FMinHeight = 10;
  int FMaxHeight = 30;
  TAnchor FUpAnchor{50, 0, Uperc, Uperc};
  TAnchor FDownAnchor{50, 100, Uperc, Uperc};
  TFont FFont;
  TPen FLinePen;
  TPen FNodePen;
  TBrush FNodeBrush;
  TAlignment FNodeAlign = taCenter;
  TShapeType FShape = stRectangle;
  TAnchor FRoundEdge{10, 10, Upix, Upix};
  TRect FTextBorder{5, 3, 5, 3};
  bool FTextWrap = true;
  bool FTextClip = false;
  int FTextTrim = -1;
  TAlignment FTextXAlign = taCenter;
  TAlignment FTextYAlign = taCenter;
  double FLineSpacing = 1.0;
  // Set by the picture node that owns this format.
  bool FOwnedByNode = false;
};

}  // namespace vt
