// The menu bar strip of a window: SM_CYMENU pixels along the top of its
// non-client area, above the client area, which shrinks by it. The window
// system reserves the strip, answers HTMENU for it and speaks the
// non-client mouse messages there; the window draws it on WM_NCPAINT and
// runs its menus, which belong to the framework.
#pragma once

#include "Win.Metrics.hpp"
#include "Win.ScrollBars.hpp"

namespace Win {

constexpr LRESULT HTMENU = 5;
// TrackMouseEvent with TME_NONCLIENT watches the window's non-client area
// and posts WM_NCMOUSELEAVE when the pointer leaves it.
constexpr DWORD TME_NONCLIENT = 0x10;
constexpr UINT WM_NCMOUSELEAVE = 0x02A2;

// Reserves or gives back the strip of a top-level window (FALSE for a
// child); the window hears of its new client area as of a resize.
BOOL SetMenuBar(HWND hWnd, BOOL show);
// Repaints the strip (its menu changed).
BOOL DrawMenuBar(HWND hWnd);
// The strip on the screen; FALSE when the window has none.
BOOL GetMenuBarRect(HWND hWnd, RECT* rect);
// A DC for drawing the strip, its origin at the strip's top left and
// clipped to what of it shows; nullptr when the window has none. Released
// with ReleaseDC.
HDC GetMenuBarDC(HWND hWnd);

} // namespace Win
