// Themed text: the GDI text layer in the part's colour.
#include "Win.Themes.hpp"

#include "Win.Gdi.Internal.hpp"

namespace Win {

HRESULT DrawThemeTextEx(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const char* pszText, int cchText,
                        DWORD dwTextFlags, RECT* pRect, const DTTOPTS* pOptions)
{
  COLORREF color = GetTextColor(hdc);
  // The part's colour when it has one; the DC's otherwise.
  if (GetThemeColor(hTheme, iPartId, iStateId, TMT_TEXTCOLOR, &color) == E_HANDLE)
    return E_HANDLE;
  if (!pszText || !pRect || !LiveDC(hdc))
    return E_INVALIDARG;
  DWORD options = pOptions ? pOptions->dwFlags : 0;
  if (options & DTT_TEXTCOLOR)
    color = pOptions->crText;
  UINT flags = dwTextFlags | ((options & DTT_CALCRECT) ? DT_CALCRECT : 0);
  COLORREF oldColor = SetTextColor(hdc, color);
  int oldMode = SetBkMode(hdc, TRANSPARENT);
  DrawTextEx(hdc, pszText, cchText, pRect, flags, nullptr);
  SetBkMode(hdc, oldMode);
  SetTextColor(hdc, oldColor);
  return S_OK;
}

HRESULT DrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const char* pszText, int cchText,
                      DWORD dwTextFlags, DWORD dwTextFlags2, const RECT* pRect)
{
  (void)dwTextFlags2;
  if (!pRect)
    return E_INVALIDARG;
  RECT r = *pRect;
  return DrawThemeTextEx(hTheme, hdc, iPartId, iStateId, pszText, cchText, dwTextFlags & ~DT_CALCRECT, &r,
                         nullptr);
}

} // namespace Win
