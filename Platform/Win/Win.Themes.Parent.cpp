// The parent's background under a partly transparent themed part.
#include "Win.Themes.hpp"

#include "Win.User.hpp"

namespace Win {

HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* prc)
{
  HWND parent = GetParent(hwnd);
  if (!parent || !IsChild(parent, hwnd))
    return E_INVALIDARG;
  POINT origin(0, 0);
  MapWindowPoints(hwnd, parent, &origin, 1);
  int saved = SaveDC(hdc);
  if (saved == 0)
    return E_INVALIDARG;
  if (prc)
    IntersectClipRect(hdc, prc->Left, prc->Top, prc->Right, prc->Bottom);
  OffsetWindowOrgEx(hdc, origin.X, origin.Y, nullptr);
  auto dc = reinterpret_cast<WPARAM>(hdc);
  SendMessage(parent, WM_ERASEBKGND, dc, 0);
  SendMessage(parent, WM_PRINTCLIENT, dc, PRF_CLIENT);
  RestoreDC(hdc, saved);
  return S_OK;
}

} // namespace Win
