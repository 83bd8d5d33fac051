// The PNG helper's pixel rows in vector code. The file is compiled once per
// instruction set by Highway's foreach_target (the vector part), the rest once.
// The arithmetic is the plain code's, lane by lane: the same single-precision
// products and sums in the same order (no contraction), round half to even,
// truncating divisions.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "Quorex.Imaging.PixelRows.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <hwy/highway.h>

#include "Quorex.Imaging.PixelRows.hpp"


HWY_BEFORE_NAMESPACE();
namespace Quorex::PixelRows::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using Vcl::Byte;

#if HWY_TARGET == HWY_SCALAR
// One lane is no vector: the plain code does whole rows.
std::size_t GrayVector(Byte*, std::size_t)
{
  return 0;
}
std::size_t ScaleAlphaVector(Byte*, std::size_t, Byte)
{
  return 0;
}
std::size_t BlendVector(const TBlendRows&, std::size_t, Byte)
{
  return 0;
}
#else

// x div 255 for 0 <= x <= 255 * 255, in 16- or 32-bit lanes:
// x * 32897 >> 23 (32897 / 2^23 exceeds 1/255 by less than the gap
// between x / 255 and the next integer).
template <class D>
hn::Vec<D> Div255(D d, hn::Vec<D> x)
{
  if constexpr (sizeof(hn::TFromD<D>) == 2)
    return hn::ShiftRight<7>(hn::MulHigh(x, hn::Set(d, 32897)));
  else
    return hn::ShiftRight<23>(hn::Mul(x, hn::Set(d, 32897)));
}

// Grey levels work on 16-byte blocks of four 3-byte pixels (12 bytes; the
// last four bytes of a block are the next pixels), so that the byte shuffles
// stay inside a block; up to two blocks a vector. Sixteen pixels' levels are
// then gathered into one block and spread into three whole 16-byte stores.
using TPixelBlocks = hn::CappedTag<std::uint8_t, 32>;
constexpr std::size_t kBlockPixels = 4, kStepPixels = 16;

template <class D8>
hn::Vec<D8> LoadBlocks(D8 d8, const Byte* pixels)
{
  if constexpr (hn::MaxLanes(D8()) == 32) {
    const hn::Half<D8> dh;
    return hn::Combine(d8, hn::LoadU(dh, pixels + 3 * kBlockPixels), hn::LoadU(dh, pixels));
  } else {
    return hn::LoadU(d8, pixels);
  }
}

// The bytes of a vector's blocks or-ed into one block.
template <class D8>
hn::Vec<hn::Full128<std::uint8_t>> FoldBlocks(D8, hn::Vec<D8> v)
{
  if constexpr (hn::MaxLanes(D8()) == 32)
    return hn::Or(hn::LowerHalf(v), hn::UpperHalf(hn::Full128<std::uint8_t>(), v));
  else
    return v;
}

// Round((30 R + 59 G + 11 B) / 100) half to even: the sums are pairwise
// products of the bytes spread into 16-bit lanes, summed into 32-bit lanes;
// below 2^16, each is one 16-bit lane beside a zero one, where the rest goes
// on: q = sum div 100 by multiplying (exact up to 25500); the remainder
// rounds up above 50, and at 50 when q is odd. A zero lane stays zero.
template <class D16>
hn::Vec<D16> GreyOfBlocks(D16 d16, hn::Vec<D16> blueGreen, hn::Vec<D16> red)
{
  const hn::Repartition<std::int32_t, D16> d32;
  const hn::RebindToUnsigned<D16> du16;
  const auto weightsBlueGreen = hn::BitCast(d16, hn::Set(d32, 11 | 59 << 16));
  const auto weightsRed = hn::BitCast(d16, hn::Set(d32, 30));
  auto unused = hn::Zero(d32);
  const auto sum = hn::BitCast(du16, hn::ReorderWidenMulAccumulate(
    d32, blueGreen, weightsBlueGreen, hn::ReorderWidenMulAccumulate(d32, red, weightsRed, hn::Zero(d32), unused),
    unused));
  const auto q = hn::ShiftRight<3>(hn::MulHigh(sum, hn::Set(du16, 5243)));
  const auto remainder = hn::Sub(sum, hn::Mul(q, hn::Set(du16, 100)));
  const auto up = hn::Gt(hn::BitCast(d16, hn::Add(remainder, hn::And(q, hn::Set(du16, 1)))), hn::Set(d16, 50));
  return hn::Sub(hn::BitCast(d16, q), hn::VecFromMask(d16, up));
}

std::size_t GrayVector(Byte* pixels, std::size_t count)
{
  const TPixelBlocks d8;
  const hn::Repartition<std::int16_t, decltype(d8)> d16;
  const hn::Full128<std::uint8_t> dBlock;
  constexpr std::uint8_t Z = 0x80; // a zero byte
  alignas(16) static constexpr std::uint8_t kBlueGreen[16] = {0, Z, 1, Z, 3, Z, 4, Z, 6, Z, 7, Z, 9, Z, 10, Z};
  alignas(16) static constexpr std::uint8_t kRed[16] = {2, Z, Z, Z, 5, Z, Z, Z, 8, Z, Z, Z, 11, Z, Z, Z};
  alignas(16) static constexpr std::uint8_t kSpread[3][16] = {
    {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5},
    {5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10},
    {10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15}};
  const auto blueGreen = hn::LoadDup128(d8, kBlueGreen), red = hn::LoadDup128(d8, kRed);
  // Vector j's block b holds pixels 4 (blocks j + b) on: its levels (bytes
  // 0, 4, 8, 12 of the block) go to those bytes of the gathered block.
  constexpr std::size_t kBlocks = hn::MaxLanes(TPixelBlocks()) / 16, kVectors = kStepPixels / kBlockPixels / kBlocks;
  alignas(32) std::uint8_t gather[kVectors][16 * kBlocks];
  for (std::size_t j = 0; j < kVectors; ++j)
    for (std::size_t b = 0; b < kBlocks; ++b)
      for (std::size_t k = 0; k < 16; ++k) {
        const std::size_t first = kBlockPixels * (kBlocks * j + b);
        gather[j][16 * b + k] = k >= first && k < first + kBlockPixels ? std::uint8_t(4 * (k - first)) : Z;
      }
  std::size_t i = 0;
  // The last block reads four bytes past its pixels: the last pixels are
  // left to the plain code.
  for (; i + kStepPixels + 2 <= count; i += kStepPixels) {
    Byte* p = pixels + 3 * i;
    auto levels = hn::Zero(d8);
    for (std::size_t j = 0; j < kVectors; ++j) {
      const auto v = LoadBlocks(d8, p + 3 * kBlockPixels * kBlocks * j);
      const auto grey = GreyOfBlocks(d16, hn::BitCast(d16, hn::TableLookupBytesOr0(v, blueGreen)),
                                     hn::BitCast(d16, hn::TableLookupBytesOr0(v, red)));
      levels = hn::Or(levels, hn::TableLookupBytesOr0(hn::BitCast(d8, grey), hn::Load(d8, gather[j])));
    }
    const auto block = FoldBlocks(d8, levels);
    for (std::size_t k = 0; k < 3; ++k)
      hn::StoreU(hn::TableLookupBytes(block, hn::Load(dBlock, kSpread[k])), dBlock, p + 16 * k);
  }
  return i;
}

std::size_t ScaleAlphaVector(Byte* alpha, std::size_t count, Byte value)
{
  const hn::ScalableTag<std::uint16_t> d16;
  const hn::Rebind<std::uint8_t, decltype(d16)> d8;
  const hn::RebindToSigned<decltype(d16)> di16;
  const std::size_t n = hn::Lanes(d16);
  const auto v = hn::Set(d16, value);
  std::size_t i = 0;
  for (; i + n <= count; i += n) {
    const auto a = hn::PromoteTo(d16, hn::LoadU(d8, alpha + i));
    hn::StoreU(hn::DemoteTo(d8, hn::BitCast(di16, Div255(d16, hn::Mul(a, v)))), d8, alpha + i);
  }
  return i;
}

// n div d for whole numbers 0 <= n <= 255 d, 0 < d <= 510, held in floats
// (exactly): the single-precision estimate n * (1 / d) is off by far less
// than 1 / d, so truncated it is the quotient or, when d divides n, one below
// it; one step up settles which.
template <class DF>
hn::Vec<DF> DivideSmall(DF df, hn::Vec<DF> n, hn::Vec<DF> d, hn::Vec<DF> inverse)
{
  const auto q = hn::Trunc(hn::Mul(n, inverse));
  const auto next = hn::Add(q, hn::Set(df, 1.0f));
  return hn::IfThenElse(hn::Le(hn::Mul(next, d), n), next, q);
}

std::size_t BlendVector(const TBlendRows& rows, std::size_t count, Byte factor)
{
  const hn::ScalableTag<std::int32_t> di;
  const hn::Rebind<float, decltype(di)> df;
  const hn::Rebind<std::uint8_t, decltype(di)> d8;
  const std::size_t n = hn::Lanes(di);
  const auto f = hn::Set(di, factor);
  const auto full = hn::Set(di, 255);
  std::size_t i = 0;
  for (; i + n <= count; i += n) {
    hn::Vec<decltype(d8)> b1, g1, r1, b2, g2, r2;
    hn::LoadInterleaved3(d8, rows.Colour1 + 3 * i, b1, g1, r1);
    hn::LoadInterleaved3(d8, rows.Colour2 + 3 * i, b2, g2, r2);
    const auto a1 = hn::PromoteTo(di, hn::LoadU(d8, rows.Alpha1 + i));
    const auto s = hn::PromoteTo(di, hn::LoadU(d8, rows.Alpha2 + i));
    const auto a2 = hn::Sub(full, Div255(di, hn::Mul(hn::Sub(full, s), f)));
    hn::StoreU(hn::DemoteTo(d8, hn::Add(a1, Div255(di, hn::Mul(hn::Sub(full, a1), a2)))), d8, rows.Alpha + i);
    // The colour in floats, which hold every value here exactly.
    const auto a1f = hn::ConvertTo(df, a1), a2f = hn::ConvertTo(df, a2);
    const auto opaque = hn::Eq(a2f, hn::Set(df, 255.0f)), clear = hn::Eq(a2f, hn::Zero(df));
    const auto total = hn::Max(hn::Add(a1f, a2f), hn::Set(df, 1.0f)); // 0 only where a2 is 0
    const auto inverse = hn::Div(hn::Set(df, 1.0f), total);
    auto channel = [&](hn::Vec<decltype(d8)> c1, hn::Vec<decltype(d8)> c2) {
      const auto x1 = hn::ConvertTo(df, hn::PromoteTo(di, c1)), x2 = hn::ConvertTo(df, hn::PromoteTo(di, c2));
      const auto mixed = DivideSmall(df, hn::Add(hn::Mul(x1, a1f), hn::Mul(x2, a2f)), total, inverse);
      return hn::DemoteTo(d8, hn::ConvertTo(di, hn::IfThenElse(opaque, x2, hn::IfThenElse(clear, x1, mixed))));
    };
    hn::StoreInterleaved3(channel(b1, b2), channel(g1, g2), channel(r1, r2), d8, rows.Colour + 3 * i);
  }
  return i;
}

#endif // HWY_TARGET == HWY_SCALAR

} // namespace Quorex::PixelRows::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "Quorex.Imaging.PngHelper.Reference.hpp"

#include <Quorex.Imaging.PngHelper.hpp>

namespace Quorex::PixelRows {

using Vcl::Byte;

HWY_EXPORT(GrayVector);
HWY_EXPORT(ScaleAlphaVector);
HWY_EXPORT(BlendVector);

void GrayRow(Byte* Pixels, std::size_t Count)
{
  for (std::size_t i = HWY_DYNAMIC_DISPATCH(GrayVector)(Pixels, Count); i < Count; ++i) {
    Byte* p = Pixels + 3 * i;
    p[0] = p[1] = p[2] = PngMath::GrayLevel(p[2], p[1], p[0]);
  }
}

void ScaleAlphaRow(Byte* Alpha, std::size_t Count, Byte Value)
{
  for (std::size_t i = HWY_DYNAMIC_DISPATCH(ScaleAlphaVector)(Alpha, Count, Value); i < Count; ++i)
    Alpha[i] = Byte(unsigned(Alpha[i]) * Value / 255u);
}

void BlendRow(const TBlendRows& Rows, std::size_t Count, Byte Factor)
{
  for (std::size_t i = HWY_DYNAMIC_DISPATCH(BlendVector)(Rows, Count, Factor); i < Count; ++i)
    TPngImageHelper::Reference::BlendPixel(Rows.Colour1 + 3 * i, Rows.Alpha1[i], Rows.Colour2 + 3 * i,
                                           Rows.Alpha2[i], Factor, Rows.Colour + 3 * i, Rows.Alpha[i]);
}

} // namespace Quorex::PixelRows
#endif // HWY_ONCE
