#include "picture/NodeFormat.h"

#include <vector>

namespace vt {

bool AnchorEqual(const TAnchor& A, const TAnchor& B) {
  return A.X == B.X && A.UnitX == B.UnitX && A.Y == B.Y && A.UnitY == B.UnitY;
}

bool RectEqual(const TRect& A, const TRect& B) {
  return A.Top == B.Top && A.Bottom == B.Bottom && A.Left == B.Left && A.Right == B.Right;
}

bool FontEqual(const TFont& A, const TFont& B) {
  return A.Name() == B.Name() && A.Size() == B.Size() && A.Color() == B.Color() && A.Style() == B.Style();
}

bool PenEqual(const TPen& A, const TPen& B) {
  return A.Color() == B.Color() && A.Width() == B.Width() && A.Style() == B.Style();
}

bool BrushEqual(const TBrush& A, const TBrush& B) {
  return A.Color() == B.Color() && A.Style() == B.Style();
}

// ---------------------------------------------------------------------------

TFont TNodeFormat::StartupFont() {
  return TFont("Arial", 10, clWindowText, {}, EASTEUROPE_CHARSET);
}

TNodeFormat::TNodeFormat(std::string AClass, TNodeFormat* AParent, const TFont& ADefaultFont)
    : FFormatClass(std::move(AClass)), FFont(ADefaultFont) {
  if (AParent) SetParent(AParent);
}

TNodeFormat::~TNodeFormat() {
  if (FChildren.Count() > 0) DestroyChildren();
  if (FParent) FParent->DeleteChild(this);
}

void TNodeFormat::DestroyChildren() {
  // The formats this one owns, in pre-order, without descending into
  // node-owned formats: those stay with their nodes and only lose their
  // parent. Freeing the list backwards frees children before their parents
  // and later siblings first, each unregistering from a parent that still
  // exists, without recursion however deep the formats nest.
  std::vector<TNodeFormat*> owned;
  std::vector<TNodeFormat*> pending{this};
  while (!pending.empty()) {
    TNodeFormat* format = pending.back();
    pending.pop_back();
    for (int i = format->ChildCount() - 1; i >= 0; --i) {
      TNodeFormat* child = format->ChildAt(i);
      if (child->FOwnedByNode)
        format->DeleteChild(child);
      else
        pending.push_back(child);
    }
    if (format != this) owned.push_back(format);
  }
  // Reverse pre-order: the last child's subtree first, every format after
  // all of its descendants.
  for (auto it = owned.rbegin(); it != owned.rend(); ++it) delete *it;
}

void TNodeFormat::SetParent(TNodeFormat* Value) {
  if (Value && Contains(Value)) throw EPictureError(Fmt(SFormatCircularParent, FFormatClass));
  if (FParent) FParent->DeleteChild(this);
  FParent = Value;
  if (Value) {
    Assign(*Value);
    Value->FChildren.Add(this);
  }
}

int TNodeFormat::ChildCount() const {
  return FChildren.Count();
}

TNodeFormat* TNodeFormat::GetChild(int Idx) const {
  return ChildAt(Idx);
}

void TNodeFormat::AddChild(TNodeFormat* ANodeFormat) {
  if (!ANodeFormat || ANodeFormat->FParent == this) return;
  if (ANodeFormat->Contains(this)) throw EPictureError(Fmt(SFormatCircularParent, ANodeFormat->FFormatClass));
  if (ANodeFormat->FParent) ANodeFormat->FParent->DeleteChild(ANodeFormat);
  ANodeFormat->FParent = this;
  FChildren.Add(ANodeFormat);
}

void TNodeFormat::DeleteChild(TNodeFormat* ANodeFormat) {
  if (!ANodeFormat) return;
  // Formats leave from either end (a picture tree is freed in pre-order,
  // formats free their own children backwards), so search from both.
  for (int lo = 0, hi = FChildren.Count() - 1; lo <= hi; ++lo, --hi) {
    const int found = FChildren.Items(lo) == ANodeFormat ? lo : FChildren.Items(hi) == ANodeFormat ? hi : -1;
    if (found >= 0) {
      FChildren.Delete(found);
      ANodeFormat->FParent = nullptr;
      return;
    }
  }
}

bool TNodeFormat::Contains(const TNodeFormat* AFormat) const {
  // A format without children (every new one) holds only itself.
  if (FChildren.Count() == 0) return AFormat == this;
  for (const TNodeFormat* format = AFormat; format; format = format->FParent)
    if (format == this) return true;
  return false;
}

TNodeFormat* TNodeFormat::Find(const std::string& AClass) {
  std::vector<TNodeFormat*> pending{this};
  while (!pending.empty()) {
    TNodeFormat* format = pending.back();
    pending.pop_back();
    if (format->FFormatClass == AClass) return format;
    for (int i = format->ChildCount() - 1; i >= 0; --i) pending.push_back(format->ChildAt(i));
  }
  return nullptr;
}

template <typename TSetter>
void TNodeFormat::PushDown(TSetter Set) {
  Set(*this);
  if (FChildren.Count() == 0) return;
  std::vector<TNodeFormat*> pending;
  for (int i = ChildCount() - 1; i >= 0; --i) pending.push_back(ChildAt(i));
  while (!pending.empty()) {
    TNodeFormat* format = pending.back();
    pending.pop_back();
    Set(*format);
    for (int i = format->ChildCount() - 1; i >= 0; --i) pending.push_back(format->ChildAt(i));
  }
}

// Each setter captures its value by copy: the value may be a field of a
// format that the walk overwrites.

void TNodeFormat::SetMinWidth(int Value) {
  PushDown([Value](TNodeFormat& format) { format.FMinWidth = Value; });
}

void TNodeFormat::SetMaxWidth(int Value) {
  PushDown([Value](TNodeFormat& format) { format.FMaxWidth = Value; });
}

void TNodeFormat::SetMinHeight(int Value) {
  PushDown([Value](TNodeFormat& format) { format.FMinHeight = Value; });
}

void TNodeFormat::SetMaxHeight(int Value) {
  PushDown([Value](TNodeFormat& format) { format.FMaxHeight = Value; });
}

void TNodeFormat::SetUpAnchor(const TAnchor& Value) {
  PushDown([Value](TNodeFormat& format) { format.FUpAnchor = Value; });
}

void TNodeFormat::SetDownAnchor(const TAnchor& Value) {
  PushDown([Value](TNodeFormat& format) { format.FDownAnchor = Value; });
}

void TNodeFormat::SetFont(const TFont& Value) {
  PushDown([Value](TNodeFormat& format) { format.FFont = Value; });
}

void TNodeFormat::SetLinePen(const TPen& Value) {
  PushDown([Value](TNodeFormat& format) { format.FLinePen = Value; });
}

void TNodeFormat::SetNodePen(const TPen& Value) {
  PushDown([Value](TNodeFormat& format) { format.FNodePen = Value; });
}

void TNodeFormat::SetNodeBrush(const TBrush& Value) {
  PushDown([Value](TNodeFormat& format) { format.FNodeBrush = Value; });
}

void TNodeFormat::SetNodeAlign(TAlignment Value) {
  PushDown([Value](TNodeFormat& format) { format.FNodeAlign = Value; });
}

void TNodeFormat::SetShape(TShapeType Value) {
  PushDown([Value](TNodeFormat& format) { format.FShape = Value; });
}

void TNodeFormat::SetRoundEdge(const TAnchor& Value) {
  PushDown([Value](TNodeFormat& format) { format.FRoundEdge = Value; });
}

void TNodeFormat::SetTextBorder(const TRect& Value) {
  PushDown([Value](TNodeFormat& format) { format.FTextBorder = Value; });
}

void TNodeFormat::SetTextBorderTop(int Value) {
  PushDown([Value](TNodeFormat& format) { format.FTextBorder.Top = Value; });
}

void TNodeFormat::SetTextBorderBottom(int Value) {
  PushDown([Value](TNodeFormat& format) { format.FTextBorder.Bottom = Value; });
}

void TNodeFormat::SetTextBorderLeft(int Value) {
  PushDown([Value](TNodeFormat& format) { format.FTextBorder.Left = Value; });
}

void TNodeFormat::SetTextBorderRight(int Value) {
  PushDown([Value](TNodeFormat& format) { format.FTextBorder.Right = Value; });
}

void TNodeFormat::SetTextWrap(bool Value) {
  PushDown([Value](TNodeFormat& format) { format.FTextWrap = Value; });
}

void TNodeFormat::SetTextClip(bool Value) {
  PushDown([Value](TNodeFormat& format) { format.FTextClip = Value; });
}

void TNodeFormat::SetTextTrim(int Value) {
  PushDown([Value](TNodeFormat& format) { format.FTextTrim = Value; });
}

void TNodeFormat::SetTextXAlign(TAlignment Value) {
  PushDown([Value](TNodeFormat& format) { format.FTextXAlign = Value; });
}

void TNodeFormat::SetTextYAlign(TAlignment Value) {
  PushDown([Value](TNodeFormat& format) { format.FTextYAlign = Value; });
}

void TNodeFormat::SetLineSpacing(double Value) {
  PushDown([Value](TNodeFormat& format) { format.FLineSpacing = Value; });
}

void TNodeFormat::Assign(const TNodeFormat& ANodeFormat) {
  FMinWidth = ANodeFormat.FMinWidth;
  FMaxWidth = ANodeFormat.FMaxWidth;
  FMinHeight = ANodeFormat.FMinHeight;
  FMaxHeight = ANodeFormat.FMaxHeight;
  FUpAnchor = ANodeFormat.FUpAnchor;
  FDownAnchor = ANodeFormat.FDownAnchor;
  FFont = ANodeFormat.FFont;
  FLinePen = ANodeFormat.FLinePen;
  FNodePen = ANodeFormat.FNodePen;
  FNodeBrush = ANodeFormat.FNodeBrush;
  FNodeAlign = ANodeFormat.FNodeAlign;
  FShape = ANodeFormat.FShape;
  FRoundEdge = ANodeFormat.FRoundEdge;
  FTextBorder = ANodeFormat.FTextBorder;
  FTextWrap = ANodeFormat.FTextWrap;
  FTextClip = ANodeFormat.FTextClip;
  FTextTrim = ANodeFormat.FTextTrim;
  FTextXAlign = ANodeFormat.FTextXAlign;
  FTextYAlign = ANodeFormat.FTextYAlign;
  FLineSpacing = ANodeFormat.FLineSpacing;
}

}  // namespace vt
