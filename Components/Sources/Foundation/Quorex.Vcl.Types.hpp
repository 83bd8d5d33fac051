// Visual states shared by the drawing primitives and the UI elements. The
// ordinals are fixed: arrays of colours and images are indexed by them.
#pragma once

namespace Quorex {

enum TUIControlState { uicsNormal = 0, uicsDisabled = 1, uicsHot = 2, uicsPressed = 3 };

enum TListItemSelectionState { lissHot = 0, lissSelected = 1, lissSelectedNotFocused = 2 };

enum TTreeViewExpanderState { tvesOpened = 0, tvesClosed = 1 };

} // namespace Quorex
