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

// A source row for resizing: pixel x as blue | green << 8 | red << 16 |
// alpha << 24 (alpha 0 when there is no alpha row).
void PackRow(const Vcl::Byte* Colour, const Vcl::Byte* Alpha, std::uint32_t* Packed, std::size_t Count);

// The pixels of a packed row at Index[0 .. Count-1], as floats channel by
// channel (blue, green, red, alpha); Channels[3] is nullptr when alpha is not
// wanted.
void SampleRow(const std::uint32_t* Packed, const std::int32_t* Index, float* const Channels[4], std::size_t Count);

// One destination row of SmoothResize: for each destination column, the
// source samples it weighs in the top and the bottom source row (Top0,
// Bottom0 from the left source column, Top1, Bottom1 from the right one, each
// channel by channel as SampleRow gives them), the weights of the two columns
// and of the two rows. Alpha is nullptr when there is none.
struct TResizeRow {
  const float* const* Top0;
  const float* const* Top1;
  const float* const* Bottom0;
  const float* const* Bottom1;
  const float* ColumnWeight0;
  const float* ColumnWeight1;
  float RowWeight0;
  float RowWeight1;
  Vcl::Byte* Colour;
  Vcl::Byte* Alpha;
};
void ResizeRow(const TResizeRow& Row, std::size_t Count);

} // namespace Quorex::PixelRows
