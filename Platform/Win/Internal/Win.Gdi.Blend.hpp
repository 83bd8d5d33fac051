// AlphaBlend's and text's arithmetic on runs of 32-bit pixels: the plain
// per-pixel code, which is the reference, and the vector code the blits and
// glyphs use (run-time dispatch to the best instruction set of the CPU; bit
// for bit the same).
#pragma once

#include <Win.Gdi.hpp>

#include <cstddef>
#include <cstdint>

namespace Win {

// One destination pixel blended with one source pixel.
std::uint32_t BlendPixel(std::uint32_t src, std::uint32_t dst, const BLENDFUNCTION& blend);
// Count pixels of dst blended with as many of src, one pixel at a time.
void BlendRunReference(std::uint32_t* dst, const std::uint32_t* src, std::size_t count, const BLENDFUNCTION& blend);
// The same with vectors; src and dst do not overlap.
void BlendRun(std::uint32_t* dst, const std::uint32_t* src, std::size_t count, const BLENDFUNCTION& blend);

// Count pixels of dst covered by the colour src, each by its coverage byte
// (0 leaves the pixel, 255 puts the colour): BlendOver pixel by pixel.
void CoverageRunReference(std::uint32_t* dst, const std::uint8_t* coverage, std::size_t count, std::uint32_t src);
// The same with vectors.
void CoverageRun(std::uint32_t* dst, const std::uint8_t* coverage, std::size_t count, std::uint32_t src);

} // namespace Win
