// Interactive sizing of a top-level window: the user takes its frame, drags
// it through a few sizes and lets go. The window hears WM_ENTERSIZEMOVE when
// the frame is taken, an ordinary resize (WM_WINDOWPOSCHANGED, WM_SIZE) for
// every step of the drag, and WM_EXITSIZEMOVE when it is let go. The message
// loop keeps running in between, so timers fire and windows paint while the
// frame is held. Tests and demos play the user through these calls.
#pragma once

#include "Win.User.hpp"

namespace Win {

constexpr UINT WM_ENTERSIZEMOVE = 0x0231, WM_EXITSIZEMOVE = 0x0232;

// Takes the frame of hWnd (a top-level window); a frame already held is let
// go first. False, and nothing sent, when hWnd is not a top-level window.
bool InjectSizeMoveStart(HWND hWnd);
// Drags the held frame so that the window is width x height (at least 1 x 1);
// nothing when no frame is held or its window is gone.
void InjectSizeMoveDrag(int width, int height);
// Lets the held frame go; nothing when none is held or its window is gone.
void InjectSizeMoveEnd();
// The window whose frame is held, or nullptr.
HWND SizeMoveWindow();
// Forgets a held frame without a message (a fresh desktop).
void ResetSizeMove();

} // namespace Win
