// Decodes arbitrary bytes as PNG; whatever loads must survive a save and a
// reload unchanged and the alpha conversions. Chunk CRCs are repaired before
// decoding, or almost every mutation would stop at the first checksum.
#include <Vcl.Imaging.pngimage.hpp>

#include <cstdlib>
#include <cstring>

using namespace Vcl;

namespace {

std::uint32_t Crc32(const std::uint8_t* data, size_t size)
{
  std::uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k)
      crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

void RepairCrcs(TBytes& bytes)
{
  size_t p = 8;
  while (p + 12 <= bytes.size()) {
    size_t length = size_t(bytes[p]) << 24 | size_t(bytes[p + 1]) << 16 | size_t(bytes[p + 2]) << 8 | bytes[p + 3];
    if (length > bytes.size() - p - 12)
      return;
    std::uint32_t crc = Crc32(bytes.data() + p + 4, length + 4);
    for (int i = 0; i < 4; ++i)
      bytes[p + 8 + length + size_t(i)] = std::uint8_t(crc >> (24 - 8 * i));
    p += length + 12;
  }
}

bool SamePixels(const TPngImage& a, const TPngImage& b)
{
  if (a.Header() != b.Header() || a.Palette() != b.Palette() ||
      a.TransparencyMode() != b.TransparencyMode() || a.TransparentColor() != b.TransparentColor())
    return false;
  const TChunkIHDR& h = a.Header();
  Integer bitsPerPixel = h.ColorType == COLOR_RGB || h.ColorType == COLOR_RGBALPHA ? 24 : h.BitDepth;
  size_t rowBytes = (size_t(h.Width) * size_t(bitsPerPixel) + 7) / 8;
  for (Integer y = 0; y < a.Height(); ++y) {
    if (std::memcmp(a.Scanline(y), b.Scanline(y), rowBytes) != 0)
      return false;
    for (Integer x = 0; x < a.Width(); ++x)
      if (a.Pixels(x, y) != b.Pixels(x, y))
        return false;
    if (a.AlphaScanline(y) && std::memcmp(a.AlphaScanline(y), b.AlphaScanline(y), size_t(a.Width())) != 0)
      return false;
  }
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
  TPngImage png;
  try {
    TBytes bytes(data, data + size);
    RepairCrcs(bytes);
    TBytesStream in(bytes);
    png.LoadFromStream(&in);
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  TBytesStream out;
  png.SaveToStream(&out);
  out.SetPosition(0);
  TPngImage copy;
  copy.LoadFromStream(&out);
  if (!SamePixels(png, copy))
    std::abort();
  if (Int64(png.Width()) * png.Height() <= 65536) {
    TBitmap sheet(8, 8);
    sheet.Canvas()->StretchDraw(TRect(0, 0, 8, 8), &png);
    TBitmap bitmap;
    bitmap.Assign(&png);
    copy.Assign(&bitmap);
  }
  copy.CreateAlpha();
  copy.Resize((copy.Width() + 1) / 2, 1);
  png.RemoveTransparency();
  return 0;
}
