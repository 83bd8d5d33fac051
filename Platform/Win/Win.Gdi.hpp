// Device contexts. A DC either stands for the screen or draws on a surface.
#pragma once

#include "Win.Kernel.hpp"

namespace Win {

struct TDC;
using HDC = TDC*;
using HWND = struct TWindow*;

// GetDeviceCaps indexes.
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

// GetDC(nullptr) is the screen's DC; release every DC it hands out.
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
int GetDeviceCaps(HDC hDC, int index);

} // namespace Win
