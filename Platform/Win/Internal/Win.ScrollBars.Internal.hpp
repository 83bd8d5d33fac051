// The scroll bars' state and geometry, shared by their input and their
// drawing.
#pragma once

#include "Win.ScrollBars.hpp"
#include "Win.User.Internal.hpp"

namespace Win {

struct TScrollBarState {
  int Min = 0;
  int Max = 100;
  UINT Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  UINT DisabledArrows = ESB_ENABLE_BOTH;
};

// Where the parts of one bar lie along it, from its top (left) edge.
struct TScrollBarLayout {
  RECT Bar;            // window coordinates; empty when the bar is hidden
  bool Vertical = true;
  int Length = 0;      // along the bar
  int Arrow = 0;       // each arrow button
  bool HasThumb = false;
  int ThumbTop = 0;
  int ThumbBottom = 0;
  bool Enabled = false;
};

// The bar's state (the defaults for a window that never set one).
const TScrollBarState& ScrollBarState(HWND hWnd, int nBar);
TScrollBarLayout ScrollBarLayoutOf(HWND hWnd, int nBar);
// The part of the bar at an offset along it (SBI_LINEUP ... SBI_LINEDOWN),
// SBI_SELF where no part answers (a bar too short for a thumb).
int ScrollBarPartAt(const TScrollBarLayout& layout, int offset);
// The part being held down on this bar, or -1.
int PressedScrollBarPart(HWND hWnd, int nBar);
// The bar as the user sees it: in the window's non-client strip.
void DrawScrollBar(HDC dc, const TScrollBarLayout& layout, int pressedPart);
void DrawScrollBarCorner(HDC dc, const RECT& corner);

} // namespace Win
