#include "picture/TreeRender.h"

#include <utility>
#include <vector>

#include "foundation/Base.h"

namespace vt {

namespace {

// Pre-order over the picture nodes without recursion, so trees of any depth
// draw; Visit gets each node with its depth (the number of its ancestors).
// Nodes of other classes are not drawn, their children are.
template <typename F>
void ForEachPreOrder(TTreeDrawNode* Root, F Visit) {
  std::vector<std::pair<TTreeDrawNode*, int>> pending;
  if (Root) pending.emplace_back(Root, 0);
  std::vector<std::pair<TTreeDrawNode*, int>> children;
  while (!pending.empty()) {
    auto [node, depth] = pending.back();
    pending.pop_back();
    if (auto* picture = dynamic_cast<TVarnNode*>(node)) Visit(*picture, depth);
    children.clear();
    for (TTreeDrawNode* child = node->FirstChild(); child; child = child->NextChild())
      children.emplace_back(child, depth + 1);
    pending.insert(pending.end(), children.rbegin(), children.rend());
  }
}

// Lets the drawer's nodes measure with a given measurer for one rendering
// and gives the owner's setting back however the rendering ends.
class TMeasurerScope {
 public:
  TMeasurerScope(TVarnTreeDrawer& ADrawer, const TTextMeasurer& AMeasurer)
      : FDrawer(ADrawer), FPrevious(ADrawer.Context().Measurer) {
    FDrawer.SetMeasurer(&AMeasurer);
  }
  TMeasurerScope(const TMeasurerScope&) = delete;
  TMeasurerScope& operator=(const TMeasurerScope&) = delete;
  ~TMeasurerScope() { FDrawer.SetMeasurer(FPrevious); }

 private:
  TVarnTreeDrawer& FDrawer;
  const TTextMeasurer* FPrevious;
};

// Extent V of an anchor-like value: pixels as they stand, a percentage of
// Size (integer product, rounded quotient).
int UnitExtent(int V, TUnit Unit, std::int64_t Size) {
  if (Unit == Upix) return ClampPictureCoord(V);
  return ClampPictureCoord(RoundHalfEven64(static_cast<double>(Size * V) / 100.0));
}

}  // namespace

TPoint RoundCorner(const TAnchor& RoundEdge, const TRect& R) {
  return TPoint(UnitExtent(RoundEdge.X, RoundEdge.UnitX, R.Width()),
                UnitExtent(RoundEdge.Y, RoundEdge.UnitY, R.Height()));
}

TRect TextArea(const TRect& R, const TRect& Border) {
  return TRect(ClampPictureCoord(std::int64_t(R.Left) + Border.Left),
               ClampPictureCoord(std::int64_t(R.Top) + Border.Top),
               ClampPictureCoord(std::int64_t(R.Right) - Border.Right),
               ClampPictureCoord(std::int64_t(R.Bottom) - Border.Bottom));
}

void DrawBackground(const TVarnTreeDrawer& Drawer, TCanvas& Canvas, TColor Background) {
  if (Background == NoBackgroundColor) return;
  Canvas.SetBrush(TBrush(Background, bsSolid));
  Canvas.FillRect(TRect(0, 0, Drawer.BoxWidth() + 1, Drawer.BoxHeight() + 1));
}

void DrawParentLines(TVarnTreeDrawer& Drawer, TCanvas& Canvas) {
  ForEachPreOrder(Drawer.Root(), [&](const TVarnNode& Node, int Depth) {
    auto* parent = dynamic_cast<const TVarnNode*>(Node.Parent());
    if (!parent) return;
    const TPoint p1 = Node.UpPoint();
    const TPoint p2 = parent->DownPoint();
    Canvas.SetPen(Node.LinePen());
    Canvas.MoveTo(p1.X, p1.Y);
    // A terminal moved to a deeper level first runs back to its own level.
    const int levelY = static_cast<int>(Drawer.LevelY(Depth));
    if (levelY != Node.Y()) {
      const TPoint bend = Drawer.PosPoint(Node.X(), levelY);
      Canvas.LineTo(bend.X, bend.Y);
    }
    Canvas.LineTo(p2.X, p2.Y);
  });
}

void DrawNodeShape(const TVarnNode& Node, TCanvas& Canvas) {
  Canvas.SetPen(Node.NodePen());
  Canvas.SetBrush(Node.NodeBrush());
  const TRect r = Node.NodeRect();
  switch (Node.Shape()) {
    case stEllipse:
      Canvas.Ellipse(r);
      break;
    case stRoundRect: {
      const TPoint corner = RoundCorner(Node.RoundEdge(), r);
      Canvas.RoundRect(r, corner.X, corner.Y);
      break;
    }
    default:
      Canvas.Rectangle(r);
  }
}

void DrawNodeText(const TVarnNode& Node, TCanvas& Canvas) {
  Canvas.SetFont(Node.Font());
  TBrush brush = Canvas.Brush();
  brush.SetStyle(bsClear);
  Canvas.SetBrush(brush);
  const TRect t = TextArea(Node.NodeRect(), Node.TextBorder());
  // Positions in 64 bits, held to the picture's range: a text block may be
  // as high as the integers reach.
  std::int64_t y0 = t.Top;
  switch (Node.TextYAlign()) {
    case taRightJustify:
      y0 = std::int64_t(t.Bottom) - Node.TextHeight();
      break;
    case taCenter:
      y0 = RoundHalfEven64((double(t.Top) + t.Bottom) / 2 - Node.TextHeight() / 2.0);
      break;
    default:
      break;
  }
  const int count = Node.LineCount();
  const int lineHeight = Node.LineHeight();
  const double spacing = Node.LineSpacing();
  const bool clip = Node.TextClip();
  const TAlignment xAlign = Node.TextXAlign();
  for (int k = 0; k < count; ++k) {
    const std::string line = Node.GetLine(k);
    const int y = ClampPictureCoord(y0 + RoundHalfEven64(spacing * (static_cast<double>(k) * lineHeight)));
    int x = t.Left;
    if (xAlign == taRightJustify) {
      x = ClampPictureCoord(std::int64_t(t.Right) - Node.MeasureWidth(line));
    } else if (xAlign == taCenter) {
      x = ClampPictureCoord(RoundHalfEven64((double(t.Left) + t.Right) / 2 - Node.MeasureWidth(line) / 2.0));
    }
    if (clip)
      Canvas.TextRect(t, x, y, line);
    else
      Canvas.TextOut(x, y, line);
  }
}

void DrawNodes(const TVarnTreeDrawer& Drawer, TCanvas& Canvas) {
  ForEachPreOrder(Drawer.Root(), [&](const TVarnNode& Node, int) {
    DrawNodeShape(Node, Canvas);
    DrawNodeText(Node, Canvas);
  });
}

std::unique_ptr<TMetafile> RenderTree(TVarnTreeDrawer& Drawer, const TTextMeasurer& Measurer,
                                      const std::string& PictureName, TColor Background) {
  if (!Drawer.Root()) return nullptr;
  TMeasurerScope scope(Drawer, Measurer);
  // Measuring pass: every node measures afresh while the tree is placed.
  Drawer.Place();
  Drawer.UpdatePlacement();
  // Drawing pass: the stored measurements and positions only.
  auto picture = std::make_unique<TMetafile>(Drawer.BoxWidth(), Drawer.BoxHeight(), PictureName);
  picture->SetAppName(MetafileAppName);
  TMetafileCanvas canvas(*picture, Measurer);
  DrawBackground(Drawer, canvas, Background);
  DrawParentLines(Drawer, canvas);
  DrawNodes(Drawer, canvas);
  return picture;
}

void DrawTree(TVarnTreeDrawer& Drawer, const TTextMeasurer& Measurer, const std::string& PictureName,
              TColor Background, std::unique_ptr<TMetafile>& Picture) {
  if (!Drawer.Root()) return;
  Picture.reset();
  Picture = RenderTree(Drawer, Measurer, PictureName, Background);
}

}  // namespace vt
