#include "Win.Gdi.Cairo.hpp"

#include "Win.Gdi.Raster.hpp"

#include <cairo.h>

namespace Win {

TCairoDC::TCairoDC(HDC dc, const RECT* clip)
{
  TTarget target = MakeTarget(dc);
  TBitmapObject* bitmap = target.Surface;
  if (!bitmap || bitmap->Width <= 0 || bitmap->Height <= 0)
    return;
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
    reinterpret_cast<unsigned char*>(bitmap->Pixels.data()), CAIRO_FORMAT_ARGB32, bitmap->Width, bitmap->Height,
    bitmap->Width * 4);
  FContext = cairo_create(surface);
  cairo_surface_destroy(surface); // the context holds it
  if (clip)
    target.Clip = target.Clip.Intersect(TRegion(RectToDevice(dc, *clip)));
  for (const RECT& r : target.Clip.Rects())
    cairo_rectangle(FContext, r.Left + target.Offset.X, r.Top + target.Offset.Y, r.Width(), r.Height());
  cairo_clip(FContext);
  POINT origin = LPtoDevice(dc, POINT(0, 0));
  cairo_translate(FContext, origin.X + target.Offset.X, origin.Y + target.Offset.Y);
  FClipEmpty = target.Clip.IsEmpty();
}

TCairoDC::~TCairoDC()
{
  if (!FContext)
    return;
  cairo_surface_flush(cairo_get_target(FContext));
  cairo_destroy(FContext);
}

} // namespace Win
