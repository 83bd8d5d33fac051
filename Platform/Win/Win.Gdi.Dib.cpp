// Device-independent bitmaps: a bitmap's pixels read out in DIB formats
// (GetDIBits) and DIBs drawn onto a DC (StretchDIBits). Rows are padded to
// 4 bytes; positive heights store the bottom row first.
#include "Win.Gdi.Blit.hpp"

#include <bit>
#include <climits>
#include <cstring>

namespace Win {

namespace {

// Bit-field masks follow the 40 header bytes (they are part of the larger
// headers, and the first colour-table entries of the basic one).
constexpr std::size_t kMasksOffset = 40;
constexpr std::size_t kAlphaMaskEnd = 56;

struct TField {
  std::uint32_t Mask = 0;
  int Shift = 0;
  std::uint32_t Max = 0;

  explicit TField(std::uint32_t mask = 0) : Mask(mask)
  {
    if (!mask)
      return;
    Shift = std::countr_zero(mask);
    Max = (std::uint32_t(1) << std::min(std::popcount(mask >> Shift), 31)) - 1;
  }
  std::uint32_t Get(std::uint32_t word) const
  {
    return Max ? std::uint32_t((std::uint64_t((word & Mask) >> Shift) * 255 + Max / 2) / Max) : 0;
  }
  std::uint32_t Put(std::uint32_t value) const
  {
    return Max ? std::uint32_t((std::uint64_t(value) * Max + 127) / 255) << Shift & Mask : 0;
  }
};

struct TDibFormat {
  int Width = 0;
  int Height = 0;
  bool TopDown = false;
  int Bits = 0;
  std::int64_t Stride = 0;
  std::array<TField, 4> Fields; // red, green, blue, alpha
  bool Native = false;          // 32-bit words laid out like our pixels
  std::uint8_t* Table = nullptr; // colour table (1, 4 and 8 bits)
  int TableSize = 0;

  std::uint8_t* Row(void* bits, int dibLine) const
  {
    return static_cast<std::uint8_t*>(bits) + std::size_t(dibLine) * std::size_t(Stride);
  }
  int DibLine(int imageRow) const { return TopDown ? imageRow : Height - 1 - imageRow; }
};

bool SupportedDepth(int bits)
{
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::uint32_t ReadMask(const BITMAPINFO* info, std::size_t index)
{
  std::uint32_t mask;
  std::memcpy(&mask, reinterpret_cast<const std::uint8_t*>(info) + kMasksOffset + 4 * index, sizeof mask);
  return mask;
}

void WriteMask(BITMAPINFO* info, std::size_t index, std::uint32_t mask)
{
  std::memcpy(reinterpret_cast<std::uint8_t*>(info) + kMasksOffset + 4 * index, &mask, sizeof mask);
}

// Reads the header's format; `fillMasks` writes the default masks into a
// bit-field header that has none (GetDIBits does that).
bool ReadFormat(BITMAPINFO* info, TDibFormat& f, bool fillMasks)
{
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT_MIN ||
      h.biPlanes != 1 || !SupportedDepth(h.biBitCount))
    return false;
  bool bitFields = h.biCompression == BI_BITFIELDS;
  if (!(h.biCompression == BI_RGB || (bitFields && (h.biBitCount == 16 || h.biBitCount == 32))))
    return false;
  f.Width = h.biWidth;
  f.Height = std::abs(h.biHeight);
  if (std::int64_t(f.Width) * f.Height > kMaxBitmapPixels)
    return false;
  f.TopDown = h.biHeight < 0;
  f.Bits = h.biBitCount;
  f.Stride = std::int64_t(DibStride(f.Width, f.Bits));
  std::array<std::uint32_t, 3> masks = f.Bits == 16 ? std::array<std::uint32_t, 3>{0x7C00, 0x3E0, 0x1F}
                                                    : std::array<std::uint32_t, 3>{0xFF0000, 0xFF00, 0xFF};
  if (bitFields) {
    std::array<std::uint32_t, 3> given = {ReadMask(info, 0), ReadMask(info, 1), ReadMask(info, 2)};
    if (given == std::array<std::uint32_t, 3>{} && fillMasks) {
      if (f.Bits == 16)
        masks = {0xF800, 0x7E0, 0x1F};
      for (std::size_t i = 0; i < 3; ++i)
        WriteMask(info, i, masks[i]);
    } else {
      masks = given;
    }
  }
  for (std::size_t i = 0; i < 3; ++i)
    f.Fields[i] = TField(masks[i]);
  if (bitFields && h.biSize >= kAlphaMaskEnd)
    f.Fields[3] = TField(ReadMask(info, 3));
  f.Native = f.Bits == 32 && masks == std::array<std::uint32_t, 3>{0xFF0000, 0xFF00, 0xFF} &&
             (f.Fields[3].Mask == 0 || f.Fields[3].Mask == 0xFF000000u);
  if (f.Bits <= 8) {
    int full = 1 << f.Bits;
    f.TableSize = h.biClrUsed ? int(std::min<DWORD>(h.biClrUsed, DWORD(full))) : full;
    f.Table = reinterpret_cast<std::uint8_t*>(info) + h.biSize;
  }
  return true;
}

// ---- palettes ------------------------------------------------------------------

std::uint32_t Opaque(int r, int g, int b)
{
  return 0xFF000000u | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | std::uint32_t(b);
}

// The palettes GetDIBits writes: black and white; the 16 VGA colours; a
// 6 x 6 x 6 colour cube with 40 greys.
std::vector<std::uint32_t> DefaultPalette(int bits)
{
  if (bits == 1)
    return {Opaque(0, 0, 0), Opaque(255, 255, 255)};
  if (bits == 4)
    return {Opaque(0, 0, 0),     Opaque(128, 0, 0),   Opaque(0, 128, 0),   Opaque(128, 128, 0),
            Opaque(0, 0, 128),   Opaque(128, 0, 128), Opaque(0, 128, 128), Opaque(192, 192, 192),
            Opaque(128, 128, 128), Opaque(255, 0, 0), Opaque(0, 255, 0),   Opaque(255, 255, 0),
            Opaque(0, 0, 255),   Opaque(255, 0, 255), Opaque(0, 255, 255), Opaque(255, 255, 255)};
  std::vector<std::uint32_t> palette;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        palette.push_back(Opaque(r * 51, g * 51, b * 51));
  for (int i = 1; i <= 40; ++i)
    palette.push_back(Opaque(i * 255 / 41, i * 255 / 41, i * 255 / 41));
  return palette;
}

int Nearest(const std::vector<std::uint32_t>& palette, std::uint32_t pixel)
{
  int best = 0;
  std::int64_t bestDistance = INT64_MAX;
  for (std::size_t i = 0; i < palette.size(); ++i) {
    std::int64_t d = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      std::int64_t c = std::int64_t((pixel >> shift) & 0xFF) - std::int64_t((palette[i] >> shift) & 0xFF);
      d += c * c;
    }
    if (d < bestDistance) {
      bestDistance = d;
      best = int(i);
    }
  }
  return best;
}

// ---- pixels --------------------------------------------------------------------

std::uint32_t Load(const std::uint8_t* p, int bytes)
{
  std::uint32_t v = 0;
  for (int i = 0; i < bytes; ++i)
    v |= std::uint32_t(p[i]) << (8 * i);
  return v;
}

void Store(std::uint8_t* p, int bytes, std::uint32_t v)
{
  for (int i = 0; i < bytes; ++i)
    p[i] = std::uint8_t(v >> (8 * i));
}

// Palette indexes are packed from the most significant bit.
int LoadIndex(const std::uint8_t* row, int x, int bits)
{
  int bit = x * bits;
  return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1);
}

void StoreIndex(std::uint8_t* row, int x, int bits, int index)
{
  int bit = x * bits, shift = 8 - bits - bit % 8;
  std::uint8_t mask = std::uint8_t(((1 << bits) - 1) << shift);
  row[bit / 8] = std::uint8_t((row[bit / 8] & ~mask) | ((index << shift) & mask));
}

std::uint32_t DecodePixel(const TDibFormat& f, const std::uint8_t* row, int x)
{
  if (f.Bits <= 8) {
    int index = LoadIndex(row, x, f.Bits);
    if (index >= f.TableSize)
      return Opaque(0, 0, 0);
    const std::uint8_t* q = f.Table + 4 * index;
    return Opaque(q[2], q[1], q[0]);
  }
  if (f.Bits == 24)
    return Opaque(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
  std::uint32_t word = Load(row + std::ptrdiff_t(x) * (f.Bits / 8), f.Bits / 8);
  if (f.Native)
    return word | 0xFF000000u;
  return Opaque(int(f.Fields[0].Get(word)), int(f.Fields[1].Get(word)), int(f.Fields[2].Get(word)));
}

void EncodePixel(const TDibFormat& f, const std::vector<std::uint32_t>& palette, std::uint8_t* row, int x,
                 std::uint32_t pixel)
{
  if (f.Bits <= 8) {
    StoreIndex(row, x, f.Bits, Nearest(palette, pixel));
    return;
  }
  if (f.Bits == 24) {
    Store(row + 3 * x, 3, pixel & 0xFFFFFF);
    return;
  }
  std::uint32_t word = pixel;
  if (!f.Native) {
    word = 0;
    for (std::size_t c = 0; c < 4; ++c)
      word |= f.Fields[c].Put((pixel >> (c == 3 ? 24 : 16 - 8 * c)) & 0xFF);
  }
  Store(row + std::ptrdiff_t(x) * (f.Bits / 8), f.Bits / 8, word);
}

void WriteTable(const TDibFormat& f, const std::vector<std::uint32_t>& palette)
{
  for (std::size_t i = 0; i < palette.size(); ++i) {
    RGBQUAD q;
    q.rgbRed = std::uint8_t(palette[i] >> 16);
    q.rgbGreen = std::uint8_t(palette[i] >> 8);
    q.rgbBlue = std::uint8_t(palette[i]);
    std::memcpy(f.Table + 4 * i, &q, sizeof q);
  }
}

} // namespace

int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage)
{
  (void)dc; // every bitmap here is device-independent already
  auto* bm = LiveObjectOf<TBitmapObject>(bitmap);
  if (!bm || !info || usage != DIB_RGB_COLORS || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER))
    return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (!bits && h.biBitCount == 0) {
    h.biWidth = bm->Width;
    h.biHeight = bm->Height;
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(std::size_t(bm->Width) * std::size_t(bm->Height) * 4);
    h.biClrUsed = 0;
    h.biClrImportant = 0;
    return bm->Height;
  }
  TDibFormat f;
  if (!ReadFormat(info, f, true) || f.Width != bm->Width || f.Height != bm->Height)
    return 0;
  h.biSizeImage = DWORD(f.Stride * f.Height);
  std::vector<std::uint32_t> palette;
  if (f.Bits <= 8) {
    palette = DefaultPalette(f.Bits);
    h.biClrUsed = 0;
    f.TableSize = int(palette.size());
    WriteTable(f, palette);
  }
  if (!bits)
    return f.Height;
  if (start >= UINT(f.Height))
    return 0;
  int count = int(std::min<UINT>(lines, UINT(f.Height) - start));
  for (int i = 0; i < count; ++i) {
    int dibLine = int(start) + i;
    int imageRow = f.DibLine(dibLine);
    std::uint8_t* row = f.Row(bits, i);
    const std::uint32_t* src = &bm->Pixels[std::size_t(imageRow) * std::size_t(f.Width)];
    std::memset(row, 0, std::size_t(f.Stride));
    for (int x = 0; x < f.Width; ++x)
      EncodePixel(f, palette, row, x, src[x]);
  }
  return count;
}

int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop)
{
  if (!LiveDC(dc) || !bits || !info || usage != DIB_RGB_COLORS)
    return 0;
  // The format reader only writes when asked to fill masks.
  TDibFormat f;
  if (!ReadFormat(const_cast<BITMAPINFO*>(info), f, false))
    return 0;
  TSourceImage image;
  try {
    image.Copy.resize(std::size_t(f.Width) * std::size_t(f.Height));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  image.Pixels = image.Copy.data();
  image.Width = f.Width;
  image.Height = f.Height;
  void* dib = const_cast<void*>(bits);
  for (int y = 0; y < f.Height; ++y) {
    const std::uint8_t* row = f.Row(dib, f.DibLine(y));
    for (int x = 0; x < f.Width; ++x)
      image.Copy[std::size_t(y) * std::size_t(f.Width) + std::size_t(x)] = DecodePixel(f, row, x);
  }
  // The source origin of a bottom-up DIB is its lower left corner.
  std::int64_t top = f.TopDown ? ySrc : std::int64_t(f.Height) - ySrc - srcHeight;
  POINT origin(xSrc, SatCoord(top));
  TStretch s;
  if (!MakeStretch(dc, xDest, yDest, destWidth, destHeight, origin, srcWidth, srcHeight, s))
    return 0;
  if (!RasterBlit(dc, s, image, rop))
    return 0;
  return int(s.SrcY.Size);
}

} // namespace Win
