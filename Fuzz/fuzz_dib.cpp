// Device-independent bitmaps as a BMP reader hands them to the GDI: a header,
// its colour table or masks, and the pixel rows. Drawing them (stretched,
// mirrored, offset) and reading a bitmap back in the same format must never
// read or write outside the buffers the header describes.
#include <Winapi.Windows.hpp>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace Win;

namespace {

// The largest header (124 bytes) and room for the largest colour table.
constexpr std::size_t kMaxHeader = 124;
constexpr std::size_t kInfoSize = kMaxHeader + 256 * 4;
// Keeps each case small; the limits of the GDI itself are tested elsewhere.
constexpr std::int64_t kMaxPixels = 1 << 16;

int Small(const std::uint8_t* p)
{
  return int(std::int8_t(*p));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  constexpr std::size_t kRects = 8;
  if (Size < kRects + kInfoSize)
    return 0;
  const std::uint8_t* rect = Data;
  std::vector<std::uint8_t> info(Data + kRects, Data + kRects + kInfoSize);
  BITMAPINFOHEADER h;
  std::memcpy(&h, info.data(), sizeof h);
  if (h.biSize > kMaxHeader || h.biWidth <= 0 || h.biHeight == 0 || h.biHeight < -65536 || h.biHeight > 65536 ||
      std::int64_t(h.biWidth) * std::abs(h.biHeight) > kMaxPixels)
    return 0;
  // The caller's side of the contract: as many rows as the header says.
  std::int64_t need = std::int64_t(Win::DibStride(h.biWidth, h.biBitCount)) * std::abs(h.biHeight);
  const std::uint8_t* pixels = Data + kRects + kInfoSize;
  std::size_t have = Size - kRects - kInfoSize;
  if (need <= 0 || std::int64_t(have) < need)
    return 0;
  std::vector<std::uint8_t> bits(pixels, pixels + need);

  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP canvas = CreateBitmap32(16, 16);
  HGDIOBJ old = SelectObject(dc, canvas);
  SetStretchBltMode(dc, (rect[0] & 1) ? HALFTONE : COLORONCOLOR);
  auto* bi = reinterpret_cast<BITMAPINFO*>(info.data());
  StretchDIBits(dc, Small(rect), Small(rect + 1), Small(rect + 2), Small(rect + 3), Small(rect + 4),
                Small(rect + 5), Small(rect + 6), Small(rect + 7), bits.data(), bi, DIB_RGB_COLORS, SRCCOPY);

  // Reading a bitmap of the header's size back in the header's format.
  HBITMAP source = CreateBitmap32(h.biWidth, std::abs(h.biHeight));
  if (source) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(need));
    GetDIBits(dc, source, 0, UINT(std::abs(h.biHeight)), out.data(), bi, DIB_RGB_COLORS);
    DeleteObject(source);
  }
  SelectObject(dc, old);
  DeleteObject(canvas);
  DeleteDC(dc);
  return 0;
}
