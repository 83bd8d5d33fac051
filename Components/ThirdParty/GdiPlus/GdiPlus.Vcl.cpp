// Bitmaps from the framework's pictures.
#include "GdiPlus.hpp"

#include <Vcl.Graphics.hpp>
#include <Vcl.Imaging.pngimage.hpp>

#include <vector>

namespace GdiPlus {

std::shared_ptr<IGPBitmap> TGPBitmap::FromBitmap(Vcl::TBitmap* Bitmap, bool WithAlpha)
{
  if (!Bitmap || Bitmap->Empty())
    GdipCheck(InvalidParameter);
  if (!WithAlpha || Bitmap->AlphaFormat() == Vcl::afPremultiplied)
    return FromHBITMAP(Bitmap->Handle(), WithAlpha);
  // Straight alpha: the surface words are 0xAARRGGBB already.
  int w = Bitmap->Width(), h = Bitmap->Height();
  Win::HBITMAP handle = Bitmap->Handle();
  return FromArgb(w, h, Win::BitmapBits(handle), w * 4);
}

std::shared_ptr<IGPBitmap> TGPBitmap::FromPngImage(const Vcl::TPngImage* Png)
{
  if (!Png || Png->Empty())
    GdipCheck(InvalidParameter);
  // A copy with an alpha plane carries every kind of PNG transparency.
  Vcl::TPngImage copy;
  copy.Assign(Png);
  copy.CreateAlpha();
  int w = copy.Width(), h = copy.Height();
  std::vector<std::uint32_t> pixels(std::size_t(w) * std::size_t(h));
  for (int y = 0; y < h; ++y) {
    const Vcl::Byte* alpha = copy.AlphaScanline(y);
    for (int x = 0; x < w; ++x) {
      Vcl::TColor c = copy.Pixels(x, y);
      std::uint32_t a = alpha ? alpha[x] : 255;
      pixels[std::size_t(y) * w + x] =
        (a << 24) | (std::uint32_t(c & 0xFF) << 16) | (std::uint32_t(c) & 0xFF00) | ((std::uint32_t(c) >> 16) & 0xFF);
    }
  }
  return FromArgb(w, h, pixels.data(), w * 4);
}

} // namespace GdiPlus
