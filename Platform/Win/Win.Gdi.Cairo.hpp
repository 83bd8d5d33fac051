// Anti-aliased drawing with Cairo straight onto the pixels of a device
// context, for the parts that draw more than GDI offers (the visual-style
// engine, the graphics object layer). Cairo's header stays out of this one,
// as Cairo itself declares its context.
#pragma once

#include "Win.Gdi.hpp"

struct _cairo;
typedef struct _cairo cairo_t;

namespace Win {

// A Cairo context on a DC's surface for as long as it lives. Its user space
// is the DC's logical space (the window origin and the place of the DC on its
// surface applied), its clip the DC's effective clip, narrowed to `clip`
// (logical coordinates) when one is given. The drawing is flushed to the
// surface when the object ends; the DC must outlive it.
class TCairoDC {
public:
  explicit TCairoDC(HDC dc, const RECT* clip = nullptr);
  ~TCairoDC();
  TCairoDC(const TCairoDC&) = delete;
  TCairoDC& operator=(const TCairoDC&) = delete;

  // nullptr when the DC has no pixels (a stale handle, the screen DC, an
  // empty bitmap); otherwise a context whose cairo_status tells whether
  // Cairo could take the surface.
  cairo_t* Context() const { return FContext; }
  // True when the clip leaves no pixel to draw on.
  bool ClipEmpty() const { return FClipEmpty; }

private:
  cairo_t* FContext = nullptr;
  bool FClipEmpty = true;
};

} // namespace Win
