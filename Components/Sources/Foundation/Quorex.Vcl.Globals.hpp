// Free routines shared by the whole library.
#pragma once

#include <Win.Gdi.hpp>

namespace Vcl {
class TBitmap;
class TControl;
} // namespace Vcl

namespace Quorex {

// The smaller of A and B (B when they are equal).
inline int Min(int A, int B)
{
  return A < B ? A : B;
}

// Copies the bitmap unscaled to DC with its top left at (X, Y), through a
// device-independent copy of its pixels.
void DrawBitmap(Win::HDC DC, Vcl::TBitmap* Bitmap, int X, int Y);

// Has the control's parent erase the part of its background that lies under
// the control into DC (the control's own context); returns the parent's
// answer to WM_ERASEBKGND. The control must have a parent.
Win::LRESULT qxPerformEraseBackground(Vcl::TControl* Control, Win::HDC DC);

} // namespace Quorex
