#include "Win.MenuBar.hpp"
#include "Win.User.Internal.hpp"

namespace Win {

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
  RECT strip(0, -hWnd->MenuBar, hWnd->Rect.Width(), 0);
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
  TRegion strip = NonClientVisibleRegion(hWnd).Intersect(TRegion(RECT(0, -hWnd->MenuBar, hWnd->Rect.Width(), 0)));
  strip.Offset(0, hWnd->MenuBar);
  HDC dc = MakeWindowDC(hWnd, strip);
  dc->SurfaceOffset.Offset(0, -hWnd->MenuBar);
  return dc;
}

} // namespace Win
