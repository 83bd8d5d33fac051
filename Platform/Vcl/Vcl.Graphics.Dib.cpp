#include "Vcl.Graphics.Dib.hpp"

#include <Win.Gdi.hpp>

#include <bit>
#include <climits>
#include <cstring>

namespace Vcl::Dib {

namespace {

constexpr std::uint32_t BI_ALPHABITFIELDS = 6;

bool KnownHeaderSize(std::uint32_t size)
{
  return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool KnownBitCount(unsigned bits)
{
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// One channel of a bit-field pixel scaled to 0..255.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask)
{
  if (mask == 0)
    return 0;
  const int shift = std::countr_zero(mask);
  const std::uint64_t range = mask >> shift;
  const std::uint64_t value = (pixel & mask) >> shift;
  return std::uint32_t(value * 255 / range);
}

std::uint32_t Opaque(std::uint8_t b, std::uint8_t g, std::uint8_t r)
{
  return 0xFF000000u | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}

void DecodeIndexed(const TDibInfo& info, const std::uint8_t* row, const std::vector<std::uint32_t>& palette,
                   std::uint32_t* out)
{
  const unsigned bits = info.BitCount;
  const unsigned perByte = 8 / bits;
  const unsigned mask = (1u << bits) - 1;
  for (std::int32_t x = 0; x < info.Width; ++x) {
    const unsigned shift = 8 - bits * (unsigned(x) % perByte + 1);
    const unsigned index = (row[unsigned(x) / perByte] >> shift) & mask;
    out[x] = index < palette.size() ? palette[index] : 0xFF000000u;
  }
}

void DecodeMasked(const TDibInfo& info, const std::uint8_t* row, std::uint32_t* out)
{
  const unsigned bytes = info.BitCount / 8;
  for (std::int32_t x = 0; x < info.Width; ++x) {
    const std::uint8_t* p = row + std::size_t(x) * bytes;
    const std::uint32_t px = bytes == 2 ? GetU16(p) : GetU32(p);
    const std::uint32_t a = info.HasAlphaMask ? Channel(px, info.Masks[3]) : 255;
    out[x] = (a << 24) | (Channel(px, info.Masks[0]) << 16) | (Channel(px, info.Masks[1]) << 8) |
             Channel(px, info.Masks[2]);
  }
}

void DecodeRow(const TDibInfo& info, const std::uint8_t* row, const std::vector<std::uint32_t>& palette,
               std::uint32_t* out)
{
  if (info.BitCount <= 8) {
    DecodeIndexed(info, row, palette, out);
  } else if (info.BitCount == 24) {
    for (std::int32_t x = 0; x < info.Width; ++x, row += 3)
      out[x] = Opaque(row[0], row[1], row[2]);
  } else if (info.BitCount == 32 && !info.HasMasks) {
    for (std::int32_t x = 0; x < info.Width; ++x)
      out[x] = GetU32(row + std::size_t(x) * 4);
  } else {
    DecodeMasked(info, row, out);
  }
}

std::vector<std::uint32_t> ReadPalette(const TDibInfo& info, const std::uint8_t* table)
{
  const std::size_t entry = info.HeaderSize == 12 ? 3 : 4;
  const std::uint8_t* p = table + (TableBytes(info) - PaletteCount(info) * entry);
  std::vector<std::uint32_t> palette(PaletteCount(info));
  for (std::size_t i = 0; i < palette.size(); ++i, p += entry)
    palette[i] = Opaque(p[0], p[1], p[2]);
  return palette;
}

void ReadMasks(TDibInfo& info, const std::uint8_t* data, std::size_t size)
{
  const bool bitFields = info.Compression == Win::BI_BITFIELDS || info.Compression == BI_ALPHABITFIELDS;
  if (info.BitCount == 16 && !bitFields) {
    info.Masks[0] = 0x7C00, info.Masks[1] = 0x03E0, info.Masks[2] = 0x001F;
    info.HasMasks = true;
    return;
  }
  if (!bitFields)
    return;
  info.HasMasks = true;
  const unsigned count = info.Compression == BI_ALPHABITFIELDS || size >= 56 ? 4 : 3;
  if (size >= 52) {
    for (unsigned i = 0; i < count; ++i)
      info.Masks[i] = GetU32(data + 40 + 4 * i);
    info.HasAlphaMask = count == 4 && info.Masks[3] != 0;
  }
}

} // namespace

std::uint16_t GetU16(const std::uint8_t* Data)
{
  return std::uint16_t(Data[0] | (Data[1] << 8));
}

std::uint32_t GetU32(const std::uint8_t* Data)
{
  return std::uint32_t(Data[0]) | (std::uint32_t(Data[1]) << 8) | (std::uint32_t(Data[2]) << 16) |
         (std::uint32_t(Data[3]) << 24);
}

void PutU16(std::vector<std::uint8_t>& Out, std::uint16_t Value)
{
  Out.push_back(std::uint8_t(Value));
  Out.push_back(std::uint8_t(Value >> 8));
}

void PutU32(std::vector<std::uint8_t>& Out, std::uint32_t Value)
{
  for (int i = 0; i < 4; ++i)
    Out.push_back(std::uint8_t(Value >> (8 * i)));
}

TDibInfo ParseInfo(const std::uint8_t* Data, std::size_t Size, const String& Error)
{
  TDibInfo info;
  if (Size < 4)
    throw EInvalidGraphic(Error);
  info.HeaderSize = GetU32(Data);
  if (!KnownHeaderSize(info.HeaderSize) || Size < info.HeaderSize)
    throw EInvalidGraphic(Error);
  std::int64_t height;
  unsigned planes;
  if (info.HeaderSize == 12) {
    info.Width = GetU16(Data + 4);
    height = GetU16(Data + 6);
    planes = GetU16(Data + 8);
    info.BitCount = GetU16(Data + 10);
  } else {
    info.Width = std::int32_t(GetU32(Data + 4));
    height = std::int32_t(GetU32(Data + 8));
    planes = GetU16(Data + 12);
    info.BitCount = GetU16(Data + 14);
    info.Compression = GetU32(Data + 16);
    info.ColorsUsed = GetU32(Data + 32);
  }
  info.TopDown = height < 0;
  height = height < 0 ? -height : height;
  if (info.Width <= 0 || height <= 0 || height > INT_MAX || planes != 1 || !KnownBitCount(info.BitCount))
    throw EInvalidGraphic(Error);
  info.Height = std::int32_t(height);
  const bool bitFields = info.Compression == Win::BI_BITFIELDS || info.Compression == BI_ALPHABITFIELDS;
  if (info.Compression != Win::BI_RGB && !(bitFields && (info.BitCount == 16 || info.BitCount == 32)))
    throw EInvalidGraphic(Error);
  if (info.BitCount <= 8 ? info.ColorsUsed > (1u << info.BitCount) : info.ColorsUsed > 256)
    throw EInvalidGraphic(Error);
  if (std::uint64_t(info.Width) * std::uint64_t(info.Height) > MaxPixels)
    throw EInvalidGraphic(Error);
  ReadMasks(info, Data, info.HeaderSize);
  return info;
}

std::size_t PaletteCount(const TDibInfo& Info)
{
  if (Info.ColorsUsed)
    return Info.ColorsUsed;
  return Info.BitCount <= 8 ? std::size_t(1) << Info.BitCount : 0;
}

std::size_t TableBytes(const TDibInfo& Info)
{
  const std::size_t entry = Info.HeaderSize == 12 ? 3 : 4;
  std::size_t masks = 0;
  if (Info.HeaderSize == 40 && Info.Compression == Win::BI_BITFIELDS)
    masks = 12;
  else if (Info.HeaderSize == 40 && Info.Compression == BI_ALPHABITFIELDS)
    masks = 16;
  return masks + PaletteCount(Info) * entry;
}

void Decode(const TDibInfo& Info, std::int32_t Rows, const std::uint8_t* Table, const std::uint8_t* Bits,
            std::uint32_t* Pixels)
{
  TDibInfo info = Info;
  if (info.HeaderSize == 40 && info.HasMasks && info.Compression != Win::BI_RGB) {
    const unsigned count = info.Compression == BI_ALPHABITFIELDS ? 4 : 3;
    for (unsigned i = 0; i < count; ++i)
      info.Masks[i] = GetU32(Table + 4 * i);
    info.HasAlphaMask = count == 4 && info.Masks[3] != 0;
  }
  const std::vector<std::uint32_t> palette = ReadPalette(info, Table);
  const std::size_t stride = Win::DibStride(info.Width, info.BitCount);
  for (std::int32_t y = 0; y < Rows; ++y) {
    const std::int32_t fileRow = info.TopDown ? y : Rows - 1 - y;
    DecodeRow(info, Bits + std::size_t(fileRow) * stride, palette, Pixels + std::size_t(y) * info.Width);
  }
}

bool IsLight(std::uint32_t Pixel)
{
  const std::uint32_t r = (Pixel >> 16) & 0xFF, g = (Pixel >> 8) & 0xFF, b = Pixel & 0xFF;
  return r * 77 + g * 151 + b * 28 >= 128 * 256;
}

std::vector<std::uint8_t> EncodeRows(const std::uint32_t* Pixels, std::int32_t Width, std::int32_t Height,
                                     unsigned BitCount)
{
  const std::size_t stride = Win::DibStride(Width, BitCount);
  std::vector<std::uint8_t> out(stride * std::size_t(Height));
  for (std::int32_t y = 0; y < Height; ++y) {
    const std::uint32_t* src = Pixels + std::size_t(Height - 1 - y) * Width;
    std::uint8_t* row = out.data() + std::size_t(y) * stride;
    if (BitCount == 32) {
      std::memcpy(row, src, std::size_t(Width) * 4);
      continue;
    }
    for (std::int32_t x = 0; x < Width; ++x) {
      const std::uint32_t px = src[x];
      if (BitCount == 1) {
        if (IsLight(px))
          row[x / 8] |= std::uint8_t(0x80 >> (x % 8));
        continue;
      }
      std::uint8_t* p = row + std::size_t(x) * 3;
      p[0] = std::uint8_t(px);
      p[1] = std::uint8_t(px >> 8);
      p[2] = std::uint8_t(px >> 16);
    }
  }
  return out;
}

std::vector<std::uint8_t> InfoHeader(std::int32_t Width, std::int32_t Height, unsigned BitCount,
                                     std::uint32_t ImageSize, std::uint32_t ColorsUsed)
{
  constexpr std::uint32_t PixelsPerMeterAt96Dpi = 3780;
  std::vector<std::uint8_t> out;
  PutU32(out, 40);
  PutU32(out, std::uint32_t(Width));
  PutU32(out, std::uint32_t(Height));
  PutU16(out, 1);
  PutU16(out, std::uint16_t(BitCount));
  PutU32(out, Win::BI_RGB);
  PutU32(out, ImageSize);
  PutU32(out, PixelsPerMeterAt96Dpi);
  PutU32(out, PixelsPerMeterAt96Dpi);
  PutU32(out, ColorsUsed);
  PutU32(out, 0);
  return out;
}

} // namespace Vcl::Dib
