// Rendering of the placed picture tree into a recorded metafile: a measuring
// pass that clears, measures and places every node, then a drawing pass that
// records the background, every parent line and then every node's shape and
// text. Lines come first so that every line lies under every shape.
#pragma once

#include <memory>
#include <string>

#include "graphics/Canvas.h"
#include "graphics/Graphics.h"
#include "graphics/Metafile.h"
#include "graphics/TextMeasurer.h"
#include "picture/VarnNode.h"
#include "picture/VarnTreeDrawer.h"

namespace vt {

// The background that is not painted at all.
inline constexpr TColor NoBackgroundColor = clWhite;

// Measures, places and draws the tree of Drawer. Measuring and drawing both
// use Measurer: the drawer's context measurer is Measurer while this runs
// and what it was before afterwards. The picture is BoxWidth x BoxHeight
// pixels with the description "VarnTree" and PictureName. Without a root
// there is nothing to draw: nil. Any error of placing or drawing propagates
// and no picture comes out.
std::unique_ptr<TMetafile> RenderTree(TVarnTreeDrawer& Drawer, const TTextMeasurer& Measurer,
                                      const std::string& PictureName, TColor Background = NoBackgroundColor);

// The owner's drawing: without a root the previous Picture stays; otherwise
// the previous one is released before placing, and Picture holds the new
// one only when placing and drawing both succeeded (nil after an error,
// which propagates).
void DrawTree(TVarnTreeDrawer& Drawer, const TTextMeasurer& Measurer, const std::string& PictureName,
              TColor Background, std::unique_ptr<TMetafile>& Picture);

// The drawing pass on any canvas, for a tree that is already placed.
void DrawBackground(const TVarnTreeDrawer& Drawer, TCanvas& Canvas, TColor Background);
// Each node's line to its parent, in pre-order; the root draws none.
void DrawParentLines(TVarnTreeDrawer& Drawer, TCanvas& Canvas);
// Each node's shape and then its text, in pre-order.
void DrawNodes(const TVarnTreeDrawer& Drawer, TCanvas& Canvas);
void DrawNodeShape(const TVarnNode& Node, TCanvas& Canvas);
void DrawNodeText(const TVarnNode& Node, TCanvas& Canvas);

// Width and height of the corner ellipse of a rounded node rectangle R.
TPoint RoundCorner(const TAnchor& RoundEdge, const TRect& R);
// The text area: R shrunk by the text borders.
TRect TextArea(const TRect& R, const TRect& Border);

}  // namespace vt
