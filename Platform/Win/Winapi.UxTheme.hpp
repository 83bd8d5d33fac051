// A window's own visual-style class. Kept out of the theme header that the
// framework includes everywhere: only code that re-styles a window needs it.
#pragma once

#include "Win.Themes.hpp"

#include <string>

namespace Win {

constexpr UINT WM_THEMECHANGED = 0x031A;

// Gives the window a sub-application name (nullptr or "" takes it away);
// theme data opened on the window afterwards use that application's variant
// of a class where the engine has one ("explorer": Explorer-style tree
// glyphs). The window is sent WM_THEMECHANGED and invalidated. The id list
// is ignored: the engine has one class per name.
HRESULT SetWindowTheme(HWND hwnd, const char* pszSubAppName, const char* pszSubIdList);
// The name SetWindowTheme gave the window; empty when none or not a window.
std::string GetWindowThemeSubAppName(HWND hwnd);

} // namespace Win
