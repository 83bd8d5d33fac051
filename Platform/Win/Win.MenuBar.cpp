#include "Win.MenuBar.hpp"
#include "Win.User.Internal.hpp"

namespace Win {

namespace {

// The strip in client coordinates: the top of the whole window.
RECT StripOf(HWND hWnd)
{
  RECT whole = WholeRectOf(hWnd);
  return RECT(whole.Left, whole.Top, whole.Right, whole.Top + hWnd->MenuBar);
}

} // namespace

BOOL SetMenuBar(HWND hWnd, BOOL show)
{
  if (!IsLive(hWnd) || !IsTopLevel(hWnd))
    return FALSE;
  int height = show ? GetSystemMetrics(SM_CYMENU) : 0;
  if (hWnd->MenuBar == height)
    return TRUE;
  hWnd->MenuBar = height;
  FrameChanged(hWnd);
  return TRUE;
}

BOOL DrawMenuBar(HWND hWnd)
{
  if (!IsLive(hWnd) || !hWnd->MenuBar)
    return FALSE;
  RECT strip = StripOf(hWnd);
  return RedrawWindow(hWnd, &strip, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

BOOL GetMenuBarRect(HWND hWnd, RECT* rect)
{
  if (!IsLive(hWnd) || !hWnd->MenuBar || !rect)
    return FALSE;
  GetWindowRect(hWnd, rect);
  rect->Bottom = rect->Top + hWnd->MenuBar;
  return TRUE;
}

HDC GetMenuBarDC(HWND hWnd)
{
  if (!IsLive(hWnd) || !hWnd->MenuBar)
    return nullptr;
  // Window coordinates, as GetWindowDC's: the strip is the window's top.
  TRegion strip = NonClientVisibleRegion(hWnd).Intersect(TRegion(StripOf(hWnd)));
  strip.Offset(hWnd->Frame.Left, hWnd->Frame.Top);
  HDC dc = MakeWindowDC(hWnd, strip);
  dc->SurfaceOffset.Offset(-hWnd->Frame.Left, -hWnd->Frame.Top);
  return dc;
}

} // namespace Win
