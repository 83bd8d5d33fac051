// Device-independent bitmap data as BMP files and icon frames store it:
// header parsing with validation, decoding to 32-bit pixels and encoding.
// Shared by TBitmap and TIcon; not meant for hosts.
#pragma once

#include <System.SysUtils.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Vcl::Dib {

// The largest picture accepted from outside data, in pixels.
constexpr std::uint64_t MaxPixels = std::uint64_t(1) << 26;

struct TDibInfo {
  std::uint32_t HeaderSize = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0; // rows of the pixel data (icon frames: both halves)
  bool TopDown = false;
  std::uint16_t BitCount = 0;
  std::uint32_t Compression = 0;
  std::uint32_t ColorsUsed = 0;
  bool HasMasks = false;         // bit fields read from the header
  std::uint32_t Masks[4] = {};   // red, green, blue, alpha
  bool HasAlphaMask = false;
};

// Reads and checks a core, info, V2, V3, V4 or V5 header (Data holds at least
// the size field); raises EInvalidGraphic(Error) when it is unusable.
TDibInfo ParseInfo(const std::uint8_t* Data, std::size_t Size, const String& Error);
// Bytes after the header before the pixel rows: bit-field masks that follow
// an info header, and the colour table.
std::size_t TableBytes(const TDibInfo& Info);
std::size_t PaletteCount(const TDibInfo& Info);

// Decodes Rows rows of pixel data (Table follows the header; Bits the rows)
// into Width * Rows top-down 0xAARRGGBB pixels. Without an alpha channel in
// the data the alpha is 255; 32-bit BI_RGB data keeps its fourth byte.
void Decode(const TDibInfo& Info, std::int32_t Rows, const std::uint8_t* Table, const std::uint8_t* Bits,
            std::uint32_t* Pixels);
// Bottom-up rows of 1 (white where Bit(pixel)), 24 or 32 bits per pixel.
std::vector<std::uint8_t> EncodeRows(const std::uint32_t* Pixels, std::int32_t Width, std::int32_t Height,
                                     unsigned BitCount);
// Whether a pixel counts as white in 1-bit data.
bool IsLight(std::uint32_t Pixel);
// A 40-byte info header.
std::vector<std::uint8_t> InfoHeader(std::int32_t Width, std::int32_t Height, unsigned BitCount,
                                     std::uint32_t ImageSize, std::uint32_t ColorsUsed);

void PutU16(std::vector<std::uint8_t>& Out, std::uint16_t Value);
void PutU32(std::vector<std::uint8_t>& Out, std::uint32_t Value);
std::uint16_t GetU16(const std::uint8_t* Data);
std::uint32_t GetU32(const std::uint8_t* Data);

} // namespace Vcl::Dib
