// Moving several child windows of one parent as one step: the positions are
// gathered, then every window is asked (WM_WINDOWPOSCHANGING), moved, and
// only then told (WM_WINDOWPOSCHANGED), so no window's handler sees its
// siblings half way through the batch.
#pragma once

#include "Win.User.hpp"

namespace Win {

struct TDeferPosObject;
using HDWP = TDeferPosObject*;

// nullptr for a negative count.
HDWP BeginDeferWindowPos(int numWindows);
// Adds (or, for a window already in it, replaces) one SetWindowPos. A dead
// batch, a window that is not a live child, or a child of another parent
// than the batch's ends the batch unapplied and answers nullptr.
HDWP DeferWindowPos(HDWP batch, HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
// Applies the batch and frees it; FALSE for a batch that is not live.
BOOL EndDeferWindowPos(HDWP batch);

} // namespace Win
