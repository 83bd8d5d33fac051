// Builders of BMP and icon bytes and pixel readers for the graphics tests.
#pragma once

#include <Vcl.Graphics.hpp>

#include <cstdint>
#include <vector>

namespace GraphicsTest {

using Bytes = std::vector<std::uint8_t>;

inline void U16(Bytes& b, std::uint32_t v)
{
  b.push_back(std::uint8_t(v));
  b.push_back(std::uint8_t(v >> 8));
}

inline void U32(Bytes& b, std::uint32_t v)
{
  for (int i = 0; i < 4; ++i)
    b.push_back(std::uint8_t(v >> (8 * i)));
}

struct TBmpLayout {
  std::uint32_t HeaderSize = 40;
  std::int32_t Width = 0;
  std::int32_t Height = 0; // negative: top-down
  std::uint16_t BitCount = 24;
  std::uint32_t Compression = 0;
  std::vector<std::uint32_t> Palette; // 0x00RRGGBB
  std::vector<std::uint32_t> Masks;   // written in the header (V4/V5) or after a 40-byte header
  Bytes Rows;                         // file order, already padded
  std::uint32_t ColorsUsed = 0;
};

// A BMP file of the layout.
inline Bytes MakeBmp(const TBmpLayout& s)
{
  Bytes info;
  if (s.HeaderSize == 12) {
    U32(info, 12);
    U16(info, std::uint32_t(s.Width));
    U16(info, std::uint32_t(s.Height));
    U16(info, 1);
    U16(info, s.BitCount);
  } else {
    U32(info, s.HeaderSize);
    U32(info, std::uint32_t(s.Width));
    U32(info, std::uint32_t(s.Height));
    U16(info, 1);
    U16(info, s.BitCount);
    U32(info, s.Compression);
    U32(info, std::uint32_t(s.Rows.size()));
    U32(info, 2835);
    U32(info, 2835);
    U32(info, s.ColorsUsed);
    U32(info, 0);
    if (s.HeaderSize > 40)
      for (std::uint32_t m : s.Masks)
        U32(info, m);
    info.resize(s.HeaderSize, 0);
  }
  if (s.HeaderSize == 40)
    for (std::uint32_t m : s.Masks)
      U32(info, m);
  for (std::uint32_t c : s.Palette) {
    info.push_back(std::uint8_t(c));
    info.push_back(std::uint8_t(c >> 8));
    info.push_back(std::uint8_t(c >> 16));
    if (s.HeaderSize != 12)
      info.push_back(0);
  }
  Bytes file{'B', 'M'};
  U32(file, std::uint32_t(14 + info.size() + s.Rows.size()));
  U32(file, 0);
  U32(file, std::uint32_t(14 + info.size()));
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), s.Rows.begin(), s.Rows.end());
  return file;
}

inline Vcl::TBytesStream StreamOf(const Bytes& bytes)
{
  return Vcl::TBytesStream(bytes);
}

inline Bytes BytesOf(Vcl::TBytesStream& stream)
{
  return Bytes(stream.Bytes().begin(), stream.Bytes().begin() + stream.Size());
}

// The surface word (0xAARRGGBB) of a bitmap pixel.
inline std::uint32_t Raw(Vcl::TBitmap& bitmap, int x, int y)
{
  Vcl::TBitmap copy;
  copy.Assign(&bitmap);
  copy.SetPixelFormat(Vcl::pf32bit);
  return reinterpret_cast<const std::uint32_t*>(copy.ScanLine(y))[x];
}

inline Vcl::TColor Pixel(Vcl::TBitmap& bitmap, int x, int y)
{
  return bitmap.Canvas()->Pixels(x, y);
}

} // namespace GraphicsTest
