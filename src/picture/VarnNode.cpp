#include "picture/VarnNode.h"

#include <algorithm>
#include <cstdint>

#include "foundation/Lists.h"
#include "foundation/Utils.h"
#include "graphics/TextMeasurer.h"
#include "picture/NodeFormats.h"
#include "picture/VarnTreeDrawer.h"

namespace vt {

namespace {

// Widths of every prefix of AText (Result[i] for the first i characters)
// from one measurement of its advances. A measurer whose advances do not
// line up with the characters is asked for every prefix instead.
std::vector<int> PrefixWidths(const TTextMeasurer& AMeasurer, const TFont& AFont, std::u32string_view AText,
                              const std::string& AUtf8) {
  std::vector<int> result(AText.size() + 1, 0);
  const std::vector<int> advances = AMeasurer.CharAdvances(AFont, AUtf8);
  size_t units = AText.size();
  for (char32_t ch : AText)
    if (ch >= 0x10000) ++units;
  if (advances.size() == units) {
    size_t k = 0;
    for (size_t i = 0; i < AText.size(); ++i) {
      int advance = advances[k++];
      if (AText[i] >= 0x10000) advance += advances[k++];
      result[i + 1] = result[i] + advance;
    }
  } else {
    for (size_t i = 1; i <= AText.size(); ++i)
      result[i] = AMeasurer.TextWidth(AFont, Utf32ToUtf8(AText.substr(0, i)));
  }
  return result;
}

// The rule of AnchorPoint for one axis: a position between the edges lo and
// hi, measured from lo or (reversed) from hi.
int AnchorPos(int lo, int hi, std::int32_t v, TUnit unit, bool reversed) {
  if (unit == Upix) return ClampPictureCoord(reversed ? std::int64_t(hi) - v : std::int64_t(lo) + v);
  const std::int64_t extent = std::int64_t(hi) - lo;
  const std::int64_t share = reversed ? 100 - std::int64_t(v) : v;
  return ClampPictureCoord(lo + RoundHalfEven64(double(extent * share) / 100.0));
}

}  // namespace

TVarnNode::TVarnNode(std::string AText, TVarnTreeDrawer* ADrawer) : FText(std::move(AText)) {
  FDrawer = ADrawer;
}

TVarnNode::~TVarnNode() {
  ReleaseNodeFormat();
}

void TVarnNode::ReleaseNodeFormat() {
  if (FOwnsFormat) delete FNodeFormat;
  FNodeFormat = nullptr;
  FOwnsFormat = false;
}

// ---------------------------------------------------------------------------
// Context

TVarnTreeDrawer* TVarnNode::VarnDrawer() const {
  if (!FDrawer) return nullptr;
  auto* drawer = dynamic_cast<TVarnTreeDrawer*>(FDrawer);
  if (!drawer) throw EInvalidCast();
  return drawer;
}

const TPictureContext* TVarnNode::Context() const {
  const auto* drawer = dynamic_cast<const TVarnTreeDrawer*>(FDrawer);
  return drawer ? &drawer->Context() : nullptr;
}

const TTextMeasurer& TVarnNode::Measurer() const {
  const TPictureContext* context = Context();
  if (!context || !context->Measurer) throw EPictureError(Fmt(SNodeNoMeasurer, FText));
  return *context->Measurer;
}

TTreeOrientation TVarnNode::DrawOrientation() const {
  return FDrawer ? FDrawer->Orientation() : oTopDown;
}

// ---------------------------------------------------------------------------
// Class and format

std::string TVarnNode::NodeClass() const {
  return FNodeFormat ? FNodeFormat->FormatClass() : AllClass;
}

void TVarnNode::SetNodeClass(const std::string& Value) {
  const TPictureContext* context = Context();
  TFormatClasses* classes = context ? context->FormatClasses : nullptr;
  if (!Value.empty() && !classes) throw EPictureError(Fmt(SNodeNoFormats, FText, Value));
  TNodeFormat* parent = FOwnsFormat ? nullptr : FNodeFormat;
  ReleaseNodeFormat();
  if (Value.empty()) {
    const TFont font = classes ? classes->DefaultFont() : TNodeFormat::StartupFont();
    AdoptNodeFormat(new TNodeFormat("", parent, font));
  } else {
    FNodeFormat = classes->GetClassFormat(Value);
  }
}

void TVarnNode::SetClassFormat(TNodeFormat* AClassFormat) {
  if (AClassFormat == FNodeFormat) return;
  ReleaseNodeFormat();
  FNodeFormat = AClassFormat;
}

void TVarnNode::AdoptNodeFormat(TNodeFormat* AFormat) {
  if (AFormat == FNodeFormat) {
    if (AFormat) AFormat->FOwnedByNode = FOwnsFormat = true;
    return;
  }
  ReleaseNodeFormat();
  FNodeFormat = AFormat;
  if (AFormat) AFormat->FOwnedByNode = FOwnsFormat = true;
}

TNodeFormat* TVarnNode::NodeFormat() const {
  if (FNodeFormat) return FNodeFormat;
  const TPictureContext* context = Context();
  TNodeFormat* all = context && context->FormatClasses ? context->FormatClasses->Formats() : nullptr;
  if (!all) throw EPictureError(Fmt(SNodeNoFormat, FText));
  return all;
}

double TVarnNode::MinWidth() const {
  return NodeFormat()->MinWidth();
}
double TVarnNode::MaxWidth() const {
  return NodeFormat()->MaxWidth();
}
double TVarnNode::MinHeight() const {
  return NodeFormat()->MinHeight();
}
double TVarnNode::MaxHeight() const {
  return NodeFormat()->MaxHeight();
}
TAnchor TVarnNode::UpAnchor() const {
  return NodeFormat()->UpAnchor();
}
TAnchor TVarnNode::DownAnchor() const {
  return NodeFormat()->DownAnchor();
}
const TFont& TVarnNode::Font() const {
  return NodeFormat()->Font();
}
const TPen& TVarnNode::LinePen() const {
  return NodeFormat()->LinePen();
}
const TPen& TVarnNode::NodePen() const {
  return NodeFormat()->NodePen();
}
const TBrush& TVarnNode::NodeBrush() const {
  return NodeFormat()->NodeBrush();
}
TAlignment TVarnNode::NodeAlign() const {
  return NodeFormat()->NodeAlign();
}
TShapeType TVarnNode::Shape() const {
  return NodeFormat()->Shape();
}
TAnchor TVarnNode::RoundEdge() const {
  return NodeFormat()->RoundEdge();
}
TRect TVarnNode::TextBorder() const {
  return NodeFormat()->TextBorder();
}
bool TVarnNode::TextWrap() const {
  return NodeFormat()->TextWrap();
}
bool TVarnNode::TextClip() const {
  return NodeFormat()->TextClip();
}
int TVarnNode::TextTrim() const {
  return NodeFormat()->TextTrim();
}
TAlignment TVarnNode::TextXAlign() const {
  return NodeFormat()->TextXAlign();
}
TAlignment TVarnNode::TextYAlign() const {
  return NodeFormat()->TextYAlign();
}
double TVarnNode::LineSpacing() const {
  return NodeFormat()->LineSpacing();
}

// ---------------------------------------------------------------------------
// Text and measurement

std::string TVarnNode::Text() const {
  // The layout engine names nodes in its messages, also nodes that have no
  // drawer yet: those show their whole text.
  int trim = -1;
  if (FNodeFormat) {
    trim = FNodeFormat->TextTrim();
  } else if (const TPictureContext* context = Context();
             context && context->FormatClasses && context->FormatClasses->Formats()) {
    trim = context->FormatClasses->Formats()->TextTrim();
  }
  return trim >= 0 ? LeftStr(FText, trim) : FText;
}

void TVarnNode::Clear() {
  FLines.clear();
  FMeasured = false;
  FTextWidth = -1;
  FTextHeight = -1;
  FLineHeight = -1;
}

int TVarnNode::MeasureWidth(const std::string& AText) const {
  return Measurer().TextWidth(Font(), AText);
}

void TVarnNode::MeasureText() const {
  if (FMeasured) return;
  const TTextMeasurer& measurer = Measurer();
  const TNodeFormat& format = *NodeFormat();
  FLines.clear();
  if (format.TextWrap()) {
    WrapText(Utf8ToUtf32(Text()));
  } else {
    FLines.push_back(Text());
    FTextWidth = measurer.TextWidth(format.Font(), FLines.back());
  }
  FLineHeight = measurer.TextHeight(format.Font(), "Tj");
  // Without lines (an empty wrapped text) the block is empty whatever the
  // spacing: the pitch formula alone would give it a height of
  // LineHeight x (1 - LineSpacing), negative for spacings above 1.
  const std::int64_t spaced = (std::int64_t(FLines.size()) - 1) * FLineHeight;
  FTextHeight = FLines.empty() ? 0 : RoundHalfEven(format.LineSpacing() * double(spaced) + FLineHeight + 0.5);
  FMeasured = true;
}

// Breaks at the last space up to the first prefix that no longer fits, else
// one character before that prefix; position 1 is never a break point.
void TVarnNode::WrapText(const std::u32string& AText) const {
  // Widths are running sums of character advances, so the width of a prefix
  // does not depend on what follows it: each line measures only a window of
  // the rest, doubled until the line's break lies inside it, and a long text
  // costs time in proportion to its length rather than its square.
  constexpr size_t FirstWindow = 256;
  const TTextMeasurer& measurer = Measurer();
  const TFont& font = Font();
  const double maxWidth = MaxWidth();
  FTextWidth = 0;
  size_t start = 0;
  std::vector<int> prefix;
  while (start < AText.size()) {
    const std::u32string_view rest(AText.data() + start, AText.size() - start);
    const size_t length = rest.size();
    size_t space = 0;  // 1-based positions; 0 for none
    size_t fit = 0;
    bool overflows = false;  // some prefix is wider than maxWidth
    size_t window = std::min(length, FirstWindow);
    for (size_t i = 2;;) {
      const std::u32string_view part = rest.substr(0, window);
      prefix = PrefixWidths(measurer, font, part, Utf32ToUtf8(part));
      for (; i <= window; ++i) {
        if (rest[i - 1] == U' ') space = i;
        if (prefix[i] > maxWidth) {
          overflows = true;
          break;
        }
        fit = i;
      }
      if (overflows || window == length) break;
      window = std::min(length, window * 2);
    }
    // A rest that fits is one line, whatever spaces it holds.
    size_t lineLength = length;
    size_t taken = length;
    if (overflows && space > 1) {
      lineLength = space - 1;
      taken = space;
    } else if (overflows && fit > 1) {
      lineLength = fit - 1;
      taken = fit - 1;
    }
    FLines.push_back(Utf32ToUtf8(rest.substr(0, lineLength)));
    FTextWidth = std::max(FTextWidth, measurer.TextWidth(font, FLines.back()));
    start += taken;
  }
}

int TVarnNode::LineCount() const {
  MeasureText();
  return static_cast<int>(FLines.size());
}

std::string TVarnNode::GetLine(int i) const {
  MeasureText();
  if (i < 0 || i >= static_cast<int>(FLines.size())) throw EListError(Fmt(SListIndexError, i));
  return FLines[static_cast<size_t>(i)];
}

// ---------------------------------------------------------------------------
// Sizes

double TVarnNode::Width() const {
  MeasureText();
  const TNodeFormat& format = *NodeFormat();
  const double w = double(format.TextBorder().Left) + FTextWidth + format.TextBorder().Right;
  if (format.MinWidth() > w) return format.MinWidth();
  if (format.MaxWidth() < w) return format.MaxWidth();
  return w;
}

double TVarnNode::Height() const {
  MeasureText();
  const TNodeFormat& format = *NodeFormat();
  const double h = double(format.TextBorder().Top) + FTextHeight + format.TextBorder().Bottom;
  if (format.MinHeight() > h) return format.MinHeight();
  if (format.MaxHeight() < h) return format.MaxHeight();
  return h;
}

double TVarnNode::TopHeight() const {
  const TTreeOrientation orientation = DrawOrientation();
  if (orientation == oLeftRight || orientation == oRightLeft) return Height() / 2;
  switch (NodeAlign()) {
    case taLeftJustify:
      return 0;
    case taRightJustify:
      return Height();
    default:
      return Height() / 2;
  }
}

double TVarnNode::BottomHeight() const {
  return Height() - TopHeight();
}

double TVarnNode::LeftWidth() const {
  const TTreeOrientation orientation = DrawOrientation();
  if (orientation != oLeftRight && orientation != oRightLeft) return Width() / 2;
  switch (NodeAlign()) {
    case taLeftJustify:
      return 0;
    case taRightJustify:
      return Width();
    default:
      return Width() / 2;
  }
}

double TVarnNode::RightWidth() const {
  return Width() - LeftWidth();
}

// ---------------------------------------------------------------------------
// Picture geometry

void TVarnNode::NodePoint(int& PX, int& PY) const {
  const TVarnTreeDrawer* drawer = VarnDrawer();
  if (drawer) {
    drawer->PosPoint(X(), Y(), PX, PY);
  } else {
    PX = X();
    PY = Y();
  }
}

TPoint TVarnNode::NodePoint() const {
  TPoint p;
  NodePoint(p.X, p.Y);
  return p;
}

void TVarnNode::NodeRect(int& PX0, int& PY0, int& PX1, int& PY1) const {
  int px = 0;
  int py = 0;
  NodePoint(px, py);
  PX0 = ClampPictureCoord(px - RoundHalfEven64(LeftWidth()));
  PX1 = ClampPictureCoord(px + RoundHalfEven64(RightWidth()));
  PY0 = ClampPictureCoord(py - RoundHalfEven64(TopHeight()));
  PY1 = ClampPictureCoord(py + RoundHalfEven64(BottomHeight()));
}

TRect TVarnNode::NodeRect() const {
  TRect r;
  NodeRect(r.Left, r.Top, r.Right, r.Bottom);
  return r;
}

// X runs along the level and Y across it, in the top-down picture turned
// into the orientation: Y from the side facing the parent, X from the side
// that is the left one when top-down.
void TVarnNode::AnchorPoint(const TAnchor& A, int& AX, int& AY) const {
  const TRect r = NodeRect();
  switch (DrawOrientation()) {
    case oLeftRight:
      AX = AnchorPos(r.Left, r.Right, A.Y, A.UnitY, false);
      AY = AnchorPos(r.Top, r.Bottom, A.X, A.UnitX, true);
      break;
    case oBottomUp:
      AX = AnchorPos(r.Left, r.Right, A.X, A.UnitX, true);
      AY = AnchorPos(r.Top, r.Bottom, A.Y, A.UnitY, true);
      break;
    case oRightLeft:
      AX = AnchorPos(r.Left, r.Right, A.Y, A.UnitY, true);
      AY = AnchorPos(r.Top, r.Bottom, A.X, A.UnitX, false);
      break;
    default:
      AX = AnchorPos(r.Left, r.Right, A.X, A.UnitX, false);
      AY = AnchorPos(r.Top, r.Bottom, A.Y, A.UnitY, false);
  }
}

TPoint TVarnNode::AnchorPoint(const TAnchor& A) const {
  TPoint p;
  AnchorPoint(A, p.X, p.Y);
  return p;
}

void TVarnNode::UpPoint(int& AX, int& AY) const {
  AnchorPoint(UpAnchor(), AX, AY);
}
TPoint TVarnNode::UpPoint() const {
  return AnchorPoint(UpAnchor());
}
void TVarnNode::DownPoint(int& AX, int& AY) const {
  AnchorPoint(DownAnchor(), AX, AY);
}
TPoint TVarnNode::DownPoint() const {
  return AnchorPoint(DownAnchor());
}

}  // namespace vt
