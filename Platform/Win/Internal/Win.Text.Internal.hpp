// Single-run text drawing shared by ExtTextOut and DrawText. Internal to the
// stand-in.
#pragma once

#include "Win.Gdi.hpp"

#include <string_view>

namespace Win {

// One line of UTF-8 text whose cell's top-left corner is at device (X, Y),
// drawn with the DC's font and text colour.
struct TTextRun {
  int X = 0;
  int Y = 0;
  int Width = 0; // the run's advance (the cell, underline and strike-out span it)
  std::string_view Text;
  const int* Dx = nullptr; // per code point advances instead of the font's
  bool Opaque = false;     // fill the cell with the background colour first
  const RECT* Clip = nullptr; // device coordinates, on top of the DC's clip
};

void DrawTextRun(HDC dc, const TTextRun& run);
// The underline DrawText puts under a prefixed character, device coordinates;
// y is the top of the character's cell.
void DrawPrefixUnderline(HDC dc, int x, int y, int width, const RECT* clip);
// Fills a device rectangle in the DC's clip and the optional extra clip.
void FillDeviceRectClipped(HDC dc, const RECT& rect, const RECT* clip, COLORREF color);
// Within the text calls' coordinate space (CoordLimit).
POINT ClampPoint(POINT p);
RECT ClampRect(const RECT& r);
// Logical to device for a rectangle, clamped.
RECT DeviceRect(HDC dc, const RECT& rect);

} // namespace Win
