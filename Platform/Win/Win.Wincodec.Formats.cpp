#include "Internal/Win.Wincodec.Internal.hpp"

#include <algorithm>
#include <array>
#include <limits>

namespace Win::Wincodec {

namespace {

namespace F = WICPixelFormat;
using enum TLayout;

const std::array<TFormatInfo, 26> Formats{{
  {&F::Indexed1bpp, 1, Indexed, -1, -1, -1, -1, false},
  {&F::Indexed2bpp, 2, Indexed, -1, -1, -1, -1, false},
  {&F::Indexed4bpp, 4, Indexed, -1, -1, -1, -1, false},
  {&F::Indexed8bpp, 8, Indexed, -1, -1, -1, -1, false},
  {&F::BlackWhite, 1, Gray, -1, -1, -1, -1, false},
  {&F::Gray2bpp, 2, Gray, -1, -1, -1, -1, false},
  {&F::Gray4bpp, 4, Gray, -1, -1, -1, -1, false},
  {&F::Gray8bpp, 8, Gray, -1, -1, -1, -1, false},
  {&F::Gray16bpp, 16, Gray, -1, -1, -1, -1, false},
  {&F::BGR555_16bpp, 16, BGR555, -1, -1, -1, -1, false},
  {&F::BGR565_16bpp, 16, BGR565, -1, -1, -1, -1, false},
  {&F::BGRA5551_16bpp, 16, BGRA5551, -1, -1, -1, -1, false},
  {&F::BGR24bpp, 24, Channels8, 2, 1, 0, -1, false},
  {&F::RGB24bpp, 24, Channels8, 0, 1, 2, -1, false},
  {&F::BGR32bpp, 32, Channels8, 2, 1, 0, -1, false},
  {&F::BGRA32bpp, 32, Channels8, 2, 1, 0, 3, false},
  {&F::PBGRA32bpp, 32, Channels8, 2, 1, 0, 3, true},
  {&F::RGBA32bpp, 32, Channels8, 0, 1, 2, 3, false},
  {&F::PRGBA32bpp, 32, Channels8, 0, 1, 2, 3, true},
  {&F::RGB48bpp, 48, Channels16, 0, 1, 2, -1, false},
  {&F::BGR48bpp, 48, Channels16, 2, 1, 0, -1, false},
  {&F::RGBA64bpp, 64, Channels16, 0, 1, 2, 3, false},
  {&F::BGRA64bpp, 64, Channels16, 2, 1, 0, 3, false},
  {&F::PRGBA64bpp, 64, Channels16, 0, 1, 2, 3, true},
  {&F::PBGRA64bpp, 64, Channels16, 2, 1, 0, 3, true},
  {&F::Alpha8bpp, 8, Channels8, -1, -1, -1, 0, false},
}};

constexpr std::uint32_t Max16 = 65535;

std::uint16_t Expand(std::uint32_t Value, std::uint32_t Max)
{
  // For bytes the rounded quotient is exactly Value * 257.
  if (Max == 255)
    return std::uint16_t(Value * 257);
  return std::uint16_t((Value * Max16 + Max / 2) / Max);
}

std::uint32_t Reduce(std::uint16_t Value, std::uint32_t Max)
{
  return (std::uint32_t(Value) * Max + Max16 / 2) / Max16;
}

std::uint32_t Unpremultiply(std::uint32_t Value, std::uint32_t Alpha, std::uint32_t Max)
{
  if (Alpha == 0)
    return 0;
  return std::min<std::uint32_t>(Max, std::uint32_t((std::uint64_t(Value) * Max + Alpha / 2) / Alpha));
}

std::uint32_t Premultiply(std::uint32_t Value, std::uint32_t Alpha, std::uint32_t Max)
{
  return std::uint32_t((std::uint64_t(Value) * Alpha + Max / 2) / Max);
}

std::uint32_t SubBytePixel(const BYTE* Row, UINT X, UINT Bits)
{
  const std::uint64_t bit = std::uint64_t(X) * Bits;
  const UINT shift = 8 - Bits - UINT(bit % 8);
  return (Row[bit / 8] >> shift) & ((1u << Bits) - 1);
}

void SetSubBytePixel(BYTE* Row, UINT X, UINT Bits, std::uint32_t Value)
{
  const std::uint64_t bit = std::uint64_t(X) * Bits;
  const UINT shift = 8 - Bits - UINT(bit % 8);
  const BYTE mask = BYTE(((1u << Bits) - 1) << shift);
  Row[bit / 8] = BYTE((Row[bit / 8] & ~mask) | ((Value << shift) & mask));
}

std::uint32_t IndexAt(const BYTE* Row, UINT X, UINT Bits)
{
  return Bits == 8 ? Row[X] : SubBytePixel(Row, X, Bits);
}

TRgba16 FromColor(WICColor Color)
{
  return {Expand((Color >> 16) & 0xFF, 255), Expand((Color >> 8) & 0xFF, 255), Expand(Color & 0xFF, 255),
          Expand(Color >> 24, 255)};
}

std::uint16_t Word(const BYTE* p)
{
  return std::uint16_t(p[0] | (p[1] << 8));
}

void PutWord(BYTE* p, std::uint32_t v)
{
  p[0] = BYTE(v);
  p[1] = BYTE(v >> 8);
}

// Rec. 601 luma of the straight colour.
std::uint16_t Luma(const TRgba16& P)
{
  return std::uint16_t((299u * P.R + 587u * P.G + 114u * P.B + 500u) / 1000u);
}

TRgba16 ReadChannels(const TFormatInfo& Info, const BYTE* p, UINT Size, std::uint32_t Max)
{
  auto at = [&](int offset) -> std::uint32_t { return Size == 1 ? p[offset] : Word(p + 2 * offset); };
  const std::uint32_t a = Info.A >= 0 ? at(Info.A) : Max;
  std::uint32_t r = Info.R >= 0 ? at(Info.R) : 0, g = Info.G >= 0 ? at(Info.G) : 0, b = Info.B >= 0 ? at(Info.B) : 0;
  if (Info.Premultiplied) {
    r = Unpremultiply(r, a, Max);
    g = Unpremultiply(g, a, Max);
    b = Unpremultiply(b, a, Max);
  }
  return {Expand(r, Max), Expand(g, Max), Expand(b, Max), Expand(a, Max)};
}

void WriteChannels(const TFormatInfo& Info, const TRgba16& P, UINT Size, std::uint32_t Max, BYTE* p)
{
  const std::uint32_t a = Reduce(P.A, Max);
  std::uint32_t r = Reduce(P.R, Max), g = Reduce(P.G, Max), b = Reduce(P.B, Max);
  if (Info.Premultiplied) {
    r = Premultiply(r, a, Max);
    g = Premultiply(g, a, Max);
    b = Premultiply(b, a, Max);
  }
  auto put = [&](int offset, std::uint32_t v) {
    if (offset < 0)
      return;
    if (Size == 1)
      p[offset] = BYTE(v);
    else
      PutWord(p + 2 * offset, v);
  };
  put(Info.R, r);
  put(Info.G, g);
  put(Info.B, b);
  put(Info.A, a);
  // The unused byte of a 32-bit colour format without alpha is written opaque.
  if (Info.A < 0 && Info.Bits == 32)
    p[3] = 0xFF;
}

std::uint32_t ColorDistance(WICColor Color, const TRgba16& P)
{
  auto d = [](std::uint32_t c, std::uint16_t v) {
    const int diff = int(c) - int(Reduce(v, 255));
    return std::uint32_t(diff * diff);
  };
  return d((Color >> 16) & 0xFF, P.R) + d((Color >> 8) & 0xFF, P.G) + d(Color & 0xFF, P.B) + d(Color >> 24, P.A);
}

std::uint32_t NearestIndex(const std::vector<WICColor>& Palette, const TRgba16& P)
{
  std::uint32_t best = 0, bestDistance = std::numeric_limits<std::uint32_t>::max();
  for (std::uint32_t i = 0; i < Palette.size(); ++i) {
    const std::uint32_t distance = ColorDistance(Palette[i], P);
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

TRgba16 ReadPixel(const TFormatInfo& Info, const BYTE* Row, UINT X, const std::vector<WICColor>& Palette)
{
  const UINT bytes = Info.Bits / 8;
  switch (Info.Layout) {
  case Indexed: {
    const std::uint32_t index = IndexAt(Row, X, Info.Bits);
    return index < Palette.size() ? FromColor(Palette[index]) : TRgba16{};
  }
  case Gray: {
    const std::uint16_t v = Info.Bits == 16 ? Word(Row + 2 * std::size_t(X))
                                            : Expand(IndexAt(Row, X, Info.Bits), (1u << Info.Bits) - 1);
    return {v, v, v, std::uint16_t(Max16)};
  }
  case BGR555:
  case BGRA5551: {
    const std::uint16_t w = Word(Row + 2 * std::size_t(X));
    const std::uint16_t a = Info.Layout == BGRA5551 && !(w & 0x8000) ? 0 : std::uint16_t(Max16);
    return {Expand((w >> 10) & 31, 31), Expand((w >> 5) & 31, 31), Expand(w & 31, 31), a};
  }
  case BGR565: {
    const std::uint16_t w = Word(Row + 2 * std::size_t(X));
    return {Expand((w >> 11) & 31, 31), Expand((w >> 5) & 63, 63), Expand(w & 31, 31), std::uint16_t(Max16)};
  }
  case Channels8:
    return ReadChannels(Info, Row + std::size_t(X) * bytes, 1, 255);
  case Channels16:
    return ReadChannels(Info, Row + std::size_t(X) * bytes, 2, Max16);
  }
  return {};
}

void WritePixel(const TFormatInfo& Info, const TRgba16& P, UINT X, const std::vector<WICColor>& Palette, BYTE* Row)
{
  const UINT bytes = Info.Bits / 8;
  switch (Info.Layout) {
  case Indexed:
    if (Info.Bits == 8)
      Row[X] = BYTE(NearestIndex(Palette, P));
    else
      SetSubBytePixel(Row, X, Info.Bits, NearestIndex(Palette, P));
    return;
  case Gray:
    if (Info.Bits == 16)
      PutWord(Row + 2 * std::size_t(X), Luma(P));
    else if (Info.Bits == 8)
      Row[X] = BYTE(Reduce(Luma(P), 255));
    else
      SetSubBytePixel(Row, X, Info.Bits, Reduce(Luma(P), (1u << Info.Bits) - 1));
    return;
  case BGR555:
  case BGRA5551: {
    const std::uint32_t alpha = Info.Layout == BGRA5551 && P.A >= 0x8000 ? 0x8000 : 0;
    PutWord(Row + 2 * std::size_t(X), alpha | Reduce(P.R, 31) << 10 | Reduce(P.G, 31) << 5 | Reduce(P.B, 31));
    return;
  }
  case BGR565:
    PutWord(Row + 2 * std::size_t(X), Reduce(P.R, 31) << 11 | Reduce(P.G, 63) << 5 | Reduce(P.B, 31));
    return;
  case Channels8:
    WriteChannels(Info, P, 1, 255, Row + std::size_t(X) * bytes);
    return;
  case Channels16:
    WriteChannels(Info, P, 2, Max16, Row + std::size_t(X) * bytes);
    return;
  }
}

std::vector<WICColor> Cube(UINT Red, UINT Green, UINT Blue)
{
  std::vector<WICColor> colors;
  auto level = [](UINT i, UINT n) { return WICColor(n == 1 ? 0 : (i * 255 + (n - 1) / 2) / (n - 1)); };
  for (UINT b = 0; b < Blue; ++b)
    for (UINT g = 0; g < Green; ++g)
      for (UINT r = 0; r < Red; ++r)
        colors.push_back(0xFF000000u | level(r, Red) << 16 | level(g, Green) << 8 | level(b, Blue));
  return colors;
}

std::vector<WICColor> Grays(UINT Count)
{
  std::vector<WICColor> colors;
  for (UINT i = 0; i < Count; ++i) {
    const WICColor v = (i * 255 + (Count - 1) / 2) / (Count - 1);
    colors.push_back(0xFF000000u | v << 16 | v << 8 | v);
  }
  return colors;
}

struct TBox {
  std::vector<TRgba16> Pixels;
};

// The channel (0..3 = R, G, B, A) with the widest range, and that range.
std::pair<int, int> WidestChannel(const std::vector<TRgba16>& Pixels)
{
  std::array<int, 4> low{65535, 65535, 65535, 65535}, high{0, 0, 0, 0};
  for (const TRgba16& p : Pixels) {
    const std::array<int, 4> v{p.R, p.G, p.B, p.A};
    for (int c = 0; c < 4; ++c) {
      low[c] = std::min(low[c], v[c]);
      high[c] = std::max(high[c], v[c]);
    }
  }
  int best = 0;
  for (int c = 1; c < 4; ++c)
    if (high[c] - low[c] > high[best] - low[best])
      best = c;
  return {best, high[best] - low[best]};
}

int Channel(const TRgba16& p, int c)
{
  return c == 0 ? p.R : c == 1 ? p.G : c == 2 ? p.B : p.A;
}

WICColor Average(const std::vector<TRgba16>& Pixels)
{
  std::array<std::uint64_t, 4> sum{};
  for (const TRgba16& p : Pixels)
    for (int c = 0; c < 4; ++c)
      sum[c] += Channel(p, c);
  auto mean = [&](int c) { return Reduce(std::uint16_t((sum[c] + Pixels.size() / 2) / Pixels.size()), 255); };
  return mean(3) << 24 | mean(0) << 16 | mean(1) << 8 | mean(2);
}

} // namespace

const TFormatInfo* FindFormat(const GUID& Format)
{
  for (const TFormatInfo& info : Formats)
    if (*info.Guid == Format)
      return &info;
  return nullptr;
}

void ReadRow(const TFormatInfo& Info, const BYTE* Row, UINT X, UINT Count, const std::vector<WICColor>& Palette,
             TRgba16* Out)
{
  // Straight 32-bit colour: what ReadPixel gives, without its dispatch.
  if (Info.Layout == Channels8 && Info.Bits == 32 && Info.A >= 0 && Info.R >= 0 && !Info.Premultiplied) {
    const BYTE* p = Row + std::size_t(X) * 4;
    for (UINT i = 0; i < Count; ++i, p += 4)
      Out[i] = {std::uint16_t(p[Info.R] * 257), std::uint16_t(p[Info.G] * 257), std::uint16_t(p[Info.B] * 257),
                std::uint16_t(p[Info.A] * 257)};
    return;
  }
  for (UINT i = 0; i < Count; ++i)
    Out[i] = ReadPixel(Info, Row, X + i, Palette);
}

void WriteRow(const TFormatInfo& Info, const TRgba16* In, UINT Count, const std::vector<WICColor>& Palette, BYTE* Row)
{
  for (UINT i = 0; i < Count; ++i)
    WritePixel(Info, In[i], i, Palette, Row);
}

std::vector<WICColor> PredefinedPalette(WICBitmapPaletteType Type)
{
  switch (Type) {
  case WICBitmapPaletteTypeFixedBW:
    return Grays(2);
  case WICBitmapPaletteTypeFixedHalftone8:
    return Cube(2, 2, 2);
  case WICBitmapPaletteTypeFixedHalftone27:
    return Cube(3, 3, 3);
  case WICBitmapPaletteTypeFixedHalftone64:
    return Cube(4, 4, 4);
  case WICBitmapPaletteTypeFixedHalftone125:
    return Cube(5, 5, 5);
  case WICBitmapPaletteTypeFixedHalftone216:
    return Cube(6, 6, 6);
  case WICBitmapPaletteTypeFixedHalftone252:
    return Cube(6, 7, 6);
  case WICBitmapPaletteTypeFixedHalftone256:
    return Cube(8, 8, 4);
  case WICBitmapPaletteTypeFixedGray4:
    return Grays(4);
  case WICBitmapPaletteTypeFixedGray16:
    return Grays(16);
  case WICBitmapPaletteTypeFixedGray256:
    return Grays(256);
  default:
    return {};
  }
}

// Splits the box with the widest channel range at its median until there are
// Count boxes or no box can be split; each box gives its mean colour.
std::vector<WICColor> MedianCut(const std::vector<TRgba16>& Pixels, UINT Count)
{
  std::vector<TBox> boxes;
  if (!Pixels.empty())
    boxes.push_back({Pixels});
  while (boxes.size() < Count) {
    std::size_t pick = boxes.size();
    int pickRange = 0, pickChannel = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      const auto [channel, range] = WidestChannel(boxes[i].Pixels);
      if (range > pickRange) {
        pick = i;
        pickRange = range;
        pickChannel = channel;
      }
    }
    if (pick == boxes.size())
      break;
    std::vector<TRgba16>& pixels = boxes[pick].Pixels;
    std::sort(pixels.begin(), pixels.end(),
              [c = pickChannel](const TRgba16& a, const TRgba16& b) { return Channel(a, c) < Channel(b, c); });
    auto middle = pixels.begin() + std::ptrdiff_t(pixels.size() / 2);
    while (middle != pixels.begin() && Channel(*(middle - 1), pickChannel) == Channel(*middle, pickChannel))
      --middle;
    if (middle == pixels.begin())
      middle = std::upper_bound(pixels.begin(), pixels.end(), *pixels.begin(),
                                [c = pickChannel](const TRgba16& a, const TRgba16& b) { return Channel(a, c) < Channel(b, c); });
    TBox upper{std::vector<TRgba16>(middle, pixels.end())};
    pixels.erase(middle, pixels.end());
    boxes.push_back(std::move(upper));
  }
  std::vector<WICColor> colors;
  for (const TBox& box : boxes)
    colors.push_back(Average(box.Pixels));
  return colors;
}

} // namespace Win::Wincodec
