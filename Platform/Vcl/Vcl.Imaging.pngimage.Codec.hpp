// The libpng side of TPngImage: whole images in and out of the pixel model.
#pragma once

#include "Vcl.Imaging.pngimage.hpp"

namespace Vcl::PngCodec {

// Reads one PNG from the stream's position up to and including IEND into a
// fresh image. Raises EPngError for anything that is not a valid PNG within
// the size limits; nothing is allocated for the pixels before the header has
// passed the limits.
TPngImageData Decode(TStream* Stream);

// One sample of a packed row (the leftmost pixel in the high bits).
unsigned GetSample(const Byte* Row, Integer X, Byte BitDepth);
void SetSample(Byte* Row, Integer X, Byte BitDepth, unsigned Value);

// The palette size that covers every index in the pixels: files and callers
// may give fewer entries than the pixels use.
size_t UsedPaletteSize(const TPngImageData& Data);

struct TEncodeSettings {
  Integer CompressionLevel = 7;
  TFilters Filters;
};

// The complete file. Raises EPngError when libpng refuses the image.
TBytes Encode(const TPngImageData& Data, const TEncodeSettings& Settings);

} // namespace Vcl::PngCodec
