// The PNG helper's pixel rows in vector code, dispatched at run time to the
// best instruction set of the CPU. Each gives bit for bit what the plain code
// gives (the helper's reference code); what does not fill a whole vector is
// done by the plain per-pixel functions.
#pragma once

#include <System.hpp>

#include <cstddef>
#include <cstdint>

namespace Quorex::PixelRows {

// Every 3-byte pixel (blue, green, red) becomes its grey level.
void GrayRow(Vcl::Byte* Pixels, std::size_t Count);

// Every byte becomes Byte * Value div 255.
void ScaleAlphaRow(Vcl::Byte* Alpha, std::size_t Count, Vcl::Byte Value);

// DrawPng's composite of Count pixels: colour rows of 3-byte pixels, alpha
// rows of one byte a pixel (for an image without alpha plane, the alpha its
// pixels count with). The results may go to the first rows themselves.
struct TBlendRows {
  const Vcl::Byte* Colour1;
  const Vcl::Byte* Alpha1;
  const Vcl::Byte* Colour2;
  const Vcl::Byte* Alpha2;
  Vcl::Byte* Colour;
  Vcl::Byte* Alpha;
};
void BlendRow(const TBlendRows& Rows, std::size_t Count, Vcl::Byte Factor);

} // namespace Quorex::PixelRows
