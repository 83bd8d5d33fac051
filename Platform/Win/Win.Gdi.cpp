#include "Win.Gdi.Internal.hpp"
#include "Win.Screen.hpp"

namespace Win {

HDC GetDC(HWND hWnd)
{
  (void)hWnd;
  auto* dc = new TDC{};
  dc->IsScreen = true;
  return dc;
}

int ReleaseDC(HWND hWnd, HDC hDC)
{
  (void)hWnd;
  if (!hDC)
    return 0;
  delete hDC;
  return 1;
}

int GetDeviceCaps(HDC hDC, int index)
{
  (void)hDC;
  const TScreenSettings& s = ScreenSettings();
  switch (index) {
  case LOGPIXELSX:
  case LOGPIXELSY:
    return s.LogPixels;
  case HORZRES:
    return s.Width;
  case VERTRES:
    return s.Height;
  case BITSPIXEL:
    return 32;
  default:
    return 0;
  }
}

} // namespace Win
