// The placements the window, the command line and the tests offer:
// Distribute and Align are the bottom-up placement with the terminals on
// their own levels or on the deepest one.
#pragma once

#include "layout/TreeDraw.h"

namespace vt {

enum class TPlacementChoice { Walker, Distribute, Align, QP };

// Sets the drawer's method and terminal alignment for the placement.
inline void ApplyPlacement(TTreeDrawer& Drawer, TPlacementChoice Placement) {
  switch (Placement) {
    case TPlacementChoice::Walker:
      Drawer.SetDrawMethod(dmWalker);
      break;
    case TPlacementChoice::Distribute:
    case TPlacementChoice::Align:
      Drawer.SetDrawMethod(dmBottomUp);
      break;
    case TPlacementChoice::QP:
      Drawer.SetDrawMethod(dmQP);
      break;
  }
  Drawer.SetAlignTerminals(Placement == TPlacementChoice::Align);
}

}  // namespace vt
