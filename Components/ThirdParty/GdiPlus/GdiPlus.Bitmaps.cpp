// Bitmaps: premultiplied ARGB32 surfaces, their pixels, locks and copies.
#include "GdiPlus.Cairo.Internal.hpp"

#include <algorithm>
#include <vector>

namespace GdiPlus {

using namespace Internal;

namespace {

std::uint8_t Premultiply(std::uint8_t Value, std::uint8_t Alpha)
{
  return std::uint8_t((Value * Alpha + 127) / 255);
}

std::uint8_t Unpremultiply(std::uint8_t Value, std::uint8_t Alpha)
{
  return Alpha == 0 ? 0 : std::uint8_t(std::min(255, (Value * 255 + Alpha / 2) / Alpha));
}

// Larger requests are refused before Cairo is asked for the memory.
constexpr std::int64_t kMaxBitmapPixels = std::int64_t(1) << 27;

class TCairoBitmap final : public IGPBitmap {
public:
  TCairoBitmap(int AWidth, int AHeight, TGPPixelFormat AFormat = PixelFormat32bppARGB)
    : FSurface(NewSurface(AWidth, AHeight)), FFormat(AFormat)
  {
  }
  int Width() const override { return cairo_image_surface_get_width(FSurface.get()); }
  int Height() const override { return cairo_image_surface_get_height(FSurface.get()); }
  TGPPixelFormat PixelFormat() const override { return FFormat; }

  TGPColor GetPixel(int X, int Y) const override
  {
    cairo_surface_flush(FSurface.get());
    return TGPColor(UnpremultiplyArgb(*Pixel(X, Y)));
  }
  void SetPixel(int X, int Y, TGPColor Color) override
  {
    cairo_surface_flush(FSurface.get());
    *Pixel(X, Y) = PremultiplyArgb(Color.Argb());
    cairo_surface_mark_dirty(FSurface.get());
  }

  TGPBitmapData LockBits(const TGPRectF& Rect, unsigned Flags, TGPPixelFormat Format) override
  {
    if (FLocked)
      GdipCheck(WrongState);
    TRect area = LockArea(Rect);
    if (Format != PixelFormat32bppARGB && Format != PixelFormat32bppPARGB && Format != PixelFormat32bppRGB)
      GdipCheck(NotImplemented);
    cairo_surface_flush(FSurface.get());
    FLockRect = area;
    FLockFlags = Flags;
    FLockFormat = Format;
    FLockBuffer.assign(std::size_t(area.W) * std::size_t(area.H), 0);
    for (int y = 0; y < area.H; ++y)
      for (int x = 0; x < area.W; ++x)
        FLockBuffer[std::size_t(y) * area.W + x] = FromSurface(Row(FSurface.get(), area.Y + y)[area.X + x]);
    FLocked = true;
    return {area.W, area.H, area.W * 4, Format, FLockBuffer.data()};
  }

  void UnlockBits(const TGPBitmapData& Data) override
  {
    if (!FLocked || Data.Scan0 != FLockBuffer.data())
      GdipCheck(WrongState);
    FLocked = false;
    if (!(FLockFlags & ImageLockModeWrite))
      return;
    for (int y = 0; y < FLockRect.H; ++y)
      for (int x = 0; x < FLockRect.W; ++x)
        Row(FSurface.get(), FLockRect.Y + y)[FLockRect.X + x] = ToSurface(FLockBuffer[std::size_t(y) * FLockRect.W + x]);
    cairo_surface_mark_dirty(FSurface.get());
  }

  Win::HBITMAP GetHBITMAP(TGPColor Background) const override
  {
    cairo_surface_flush(FSurface.get());
    Win::HBITMAP bitmap = Win::CreateBitmap32(Width(), Height());
    if (!bitmap)
      GdipCheck(OutOfMemory);
    std::uint32_t* bits = Win::BitmapBits(bitmap);
    std::uint32_t back = PremultiplyArgb(Background.Argb());
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x)
        bits[std::size_t(y) * Width() + x] = Over(Row(FSurface.get(), y)[x], back);
    return bitmap;
  }

  cairo_surface_t* Surface() const { return FSurface.get(); }

private:
  struct TRect {
    int X, Y, W, H;
  };

  // Whole pixels inside the bitmap; anything else is an invalid parameter.
  TRect LockArea(const TGPRectF& Rect) const
  {
    CheckRect(Rect);
    TRect r{int(Rect.X), int(Rect.Y), int(Rect.Width), int(Rect.Height)};
    if (r.X != Rect.X || r.Y != Rect.Y || r.W != Rect.Width || r.H != Rect.Height || r.X < 0 || r.Y < 0 ||
        r.W <= 0 || r.H <= 0 || r.X + r.W > Width() || r.Y + r.H > Height())
      GdipCheck(InvalidParameter);
    return r;
  }

  std::uint32_t FromSurface(std::uint32_t Pixel) const
  {
    switch (FLockFormat) {
    case PixelFormat32bppPARGB: return Pixel;
    case PixelFormat32bppRGB: return UnpremultiplyArgb(Pixel) | 0xFF000000u;
    default: return UnpremultiplyArgb(Pixel);
    }
  }

  std::uint32_t ToSurface(std::uint32_t Pixel) const
  {
    switch (FLockFormat) {
    case PixelFormat32bppPARGB: {
      // Premultiplied colour never exceeds its alpha.
      TGPColor c(Pixel);
      return TGPColor::Create(c.A(), std::min(c.R(), c.A()), std::min(c.G(), c.A()), std::min(c.B(), c.A())).Argb();
    }
    case PixelFormat32bppRGB: return Pixel | 0xFF000000u;
    default: return PremultiplyArgb(Pixel);
    }
  }

  static std::uint32_t Over(std::uint32_t Src, std::uint32_t Dst)
  {
    unsigned inverse = 255 - (Src >> 24);
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      unsigned s = (Src >> shift) & 0xFF, d = (Dst >> shift) & 0xFF;
      out |= std::uint32_t(std::min(255u, s + (d * inverse + 127) / 255)) << shift;
    }
    return out;
  }

  std::uint32_t* Pixel(int X, int Y) const
  {
    if (X < 0 || Y < 0 || X >= Width() || Y >= Height())
      GdipCheck(InvalidParameter);
    return Row(FSurface.get(), Y) + X;
  }

  TSurfacePtr FSurface;
  TGPPixelFormat FFormat;
  bool FLocked = false;
  TRect FLockRect{};
  unsigned FLockFlags = 0;
  TGPPixelFormat FLockFormat = PixelFormat32bppARGB;
  std::vector<std::uint32_t> FLockBuffer;
};

} // namespace

namespace Internal {

std::uint32_t PremultiplyArgb(std::uint32_t Argb)
{
  TGPColor c(Argb);
  return TGPColor::Create(c.A(), Premultiply(c.R(), c.A()), Premultiply(c.G(), c.A()), Premultiply(c.B(), c.A()))
    .Argb();
}

std::uint32_t UnpremultiplyArgb(std::uint32_t Argb)
{
  TGPColor c(Argb);
  return TGPColor::Create(c.A(), Unpremultiply(c.R(), c.A()), Unpremultiply(c.G(), c.A()),
                          Unpremultiply(c.B(), c.A()))
    .Argb();
}

TSurfacePtr NewSurface(int Width, int Height)
{
  if (Width <= 0 || Height <= 0 || std::int64_t(Width) * Height > kMaxBitmapPixels)
    GdipCheck(InvalidParameter);
  TSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, Width, Height));
  CairoCheck(cairo_surface_status(surface.get()));
  return surface;
}

std::uint32_t* Row(cairo_surface_t* Surface, int Y)
{
  return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(Surface) +
                                          std::ptrdiff_t(Y) * cairo_image_surface_get_stride(Surface));
}

cairo_surface_t* ImageSurface(const std::shared_ptr<IGPImage>& Image)
{
  auto* bitmap = dynamic_cast<const TCairoBitmap*>(Image.get());
  if (!bitmap)
    GdipCheck(InvalidParameter);
  return bitmap->Surface();
}

} // namespace Internal

std::shared_ptr<IGPBitmap> TGPBitmap::Create(int Width, int Height)
{
  return std::make_shared<TCairoBitmap>(Width, Height);
}

std::shared_ptr<IGPBitmap> TGPBitmap::FromHBITMAP(Win::HBITMAP Bitmap, bool WithAlpha)
{
  const std::uint32_t* bits = Win::BitmapBits(Bitmap);
  if (!bits)
    GdipCheck(InvalidParameter);
  int w = Win::BitmapWidth(Bitmap), h = Win::BitmapHeight(Bitmap);
  auto bitmap = std::make_shared<TCairoBitmap>(w, h, WithAlpha ? PixelFormat32bppARGB : PixelFormat32bppRGB);
  cairo_surface_t* surface = bitmap->Surface();
  cairo_surface_flush(surface);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t p = bits[std::size_t(y) * w + x];
      if (!WithAlpha) {
        p |= 0xFF000000u;
      } else { // premultiplied colour never exceeds its alpha
        TGPColor c(p);
        p = TGPColor::Create(c.A(), std::min(c.R(), c.A()), std::min(c.G(), c.A()), std::min(c.B(), c.A())).Argb();
      }
      Row(surface, y)[x] = p;
    }
  cairo_surface_mark_dirty(surface);
  return bitmap;
}

std::shared_ptr<IGPBitmap> TGPBitmap::FromArgb(int Width, int Height, const std::uint32_t* Pixels, int Stride)
{
  if (!Pixels || Stride < Width * 4)
    GdipCheck(InvalidParameter);
  auto bitmap = std::make_shared<TCairoBitmap>(Width, Height);
  cairo_surface_t* surface = bitmap->Surface();
  cairo_surface_flush(surface);
  for (int y = 0; y < Height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(Pixels) +
                                                             std::ptrdiff_t(y) * Stride);
    for (int x = 0; x < Width; ++x)
      Row(surface, y)[x] = PremultiplyArgb(row[x]);
  }
  cairo_surface_mark_dirty(surface);
  return bitmap;
}

} // namespace GdiPlus
