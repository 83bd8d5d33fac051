#include "Win.Gdi.hpp"

#include "Win.Screen.hpp"

namespace Win {

struct TDC {
  bool IsScreen = true;
};

HDC GetDC(HWND hWnd)
{
  (void)hWnd;
  return new TDC{};
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
