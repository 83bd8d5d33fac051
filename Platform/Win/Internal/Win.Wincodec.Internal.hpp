// The imaging component's pixel model: every supported format is read into
// and written from one intermediate, straight RGBA with 16 bits a channel.
#pragma once

#include <Winapi.Wincodec.hpp>

#include <cstdint>
#include <vector>

namespace Win::Wincodec {

struct TRgba16 {
  std::uint16_t R = 0, G = 0, B = 0, A = 0;
};

enum class TLayout { Indexed, Gray, BGR555, BGR565, BGRA5551, Channels8, Channels16 };

struct TFormatInfo {
  const GUID* Guid;
  UINT Bits;
  TLayout Layout;
  // Byte (or word) offsets of R, G, B, A within a pixel; -1 for none.
  int R, G, B, A;
  bool Premultiplied;
};

// nullptr for a format the component does not handle.
const TFormatInfo* FindFormat(const GUID& Format);
inline std::uint64_t RowBytes(const TFormatInfo& Info, std::uint64_t Width)
{
  return (Width * Info.Bits + 7) / 8;
}

// Pixels X .. X+Count-1 of a row into the intermediate; Palette is needed for
// indexed formats (indexes past its end read as transparent black).
void ReadRow(const TFormatInfo& Info, const BYTE* Row, UINT X, UINT Count, const std::vector<WICColor>& Palette,
             TRgba16* Out);
// Count pixels from the intermediate into a row starting at pixel 0; indexed
// formats take the nearest palette entry (the palette must not be empty).
void WriteRow(const TFormatInfo& Info, const TRgba16* In, UINT Count, const std::vector<WICColor>& Palette, BYTE* Row);

std::vector<WICColor> PredefinedPalette(WICBitmapPaletteType Type);
std::vector<WICColor> MedianCut(const std::vector<TRgba16>& Pixels, UINT Count);

} // namespace Win::Wincodec

namespace Win::Wincodec {

// The pixels resampled to Width x Height: straight in, straight out, the
// colours weighted in premultiplied space.
std::vector<TRgba16> Resample(const std::vector<TRgba16>& Source, UINT SourceWidth, UINT SourceHeight, UINT Width,
                              UINT Height, WICBitmapInterpolationMode Mode);
// The plain code, one pixel at a time: what the vector rows Resample takes
// where it can must give to the bit.
std::vector<TRgba16> ResampleReference(const std::vector<TRgba16>& Source, UINT SourceWidth, UINT SourceHeight,
                                       UINT Width, UINT Height, WICBitmapInterpolationMode Mode);

} // namespace Win::Wincodec
