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
std::size_t PackVector(const Byte*, const Byte*, std::uint32_t*, std::size_t)
{
  return 0;
}
std::size_t SampleVector(const std::uint32_t*, const std::int32_t*, float* const*, std::size_t)
{
  return 0;
}
std::size_t ResizeVector(const TResizeRow&, std::size_t)
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

// ceil(2^16 / d) for 2 <= d <= 510, in 16-bit lanes: the single-precision
// quotient lies within half an ulp (2^-9 at most here) of the true one, which
// is either whole or at least 1 / d away from the next whole number, so
// rounding it up gives the exact ceiling. Lanes with d below 2 get a value
// the caller throws away.
template <class D16>
hn::Vec<D16> ReciprocalOf(D16 d16, hn::Vec<D16> d)
{
  const hn::Half<D16> dh;
  const hn::Repartition<std::int32_t, D16> di;
  const hn::Rebind<float, decltype(di)> df;
  const auto half = [&](hn::Vec<decltype(dh)> part) {
    const auto divisor = hn::ConvertTo(df, hn::PromoteTo(di, part));
    const auto r = hn::Ceil(hn::Div(hn::Set(df, 65536.0f), hn::Max(divisor, hn::Set(df, 2.0f))));
    return hn::DemoteTo(dh, hn::ConvertTo(di, r));
  };
  return hn::Combine(d16, half(hn::UpperHalf(dh, d)), half(hn::LowerHalf(dh, d)));
}

// (x1 + x2) div d for products of two bytes x1, x2 with x1 + x2 <= 255 d and
// 2 <= d <= 510, given R = ceil(2^16 / d). Each product's high half by R is
// its own quotient or one more, and two truncated quotients add up to the
// sum's or one less: the estimate is one below to two above. Its remainder,
// worked modulo 2^16, is the true one as it lies within 3 d of zero, and says
// which.
template <class D16>
hn::Vec<D16> DivideSum(D16 d16, hn::Vec<D16> x1, hn::Vec<D16> x2, hn::Vec<D16> d, hn::Vec<D16> reciprocal)
{
  const hn::RebindToSigned<D16> di16;
  const auto q = hn::BitCast(di16, hn::Add(hn::MulHigh(x1, reciprocal), hn::MulHigh(x2, reciprocal)));
  const auto r = hn::BitCast(di16, hn::Sub(hn::Add(x1, x2), hn::Mul(hn::BitCast(d16, q), d)));
  const auto sd = hn::BitCast(di16, d);
  const auto below = hn::VecFromMask(di16, hn::Gt(r, hn::Sub(sd, hn::Set(di16, 1))));
  const auto over = hn::VecFromMask(di16, hn::Lt(r, hn::Zero(di16)));
  const auto twoOver = hn::VecFromMask(di16, hn::Lt(r, hn::Neg(sd)));
  return hn::BitCast(d16, hn::Add(hn::Add(hn::Sub(q, below), over), twoOver));
}

std::size_t BlendVector(const TBlendRows& rows, std::size_t count, Byte factor)
{
  const hn::ScalableTag<std::uint16_t> d16;
  const hn::RebindToSigned<decltype(d16)> di16;
  const hn::Rebind<std::uint8_t, decltype(d16)> d8;
  const std::size_t n = hn::Lanes(d16);
  const auto toBytes = [&](hn::Vec<decltype(d16)> v) { return hn::DemoteTo(d8, hn::BitCast(di16, v)); };
  const auto f = hn::Set(d16, factor);
  const auto full = hn::Set(d16, 255);
  std::size_t i = 0;
  for (; i + n <= count; i += n) {
    const auto a1 = hn::PromoteTo(d16, hn::LoadU(d8, rows.Alpha1 + i));
    const auto s = hn::PromoteTo(d16, hn::LoadU(d8, rows.Alpha2 + i));
    const auto a2 = hn::Sub(full, Div255(d16, hn::Mul(hn::Sub(full, s), f)));
    const auto opaque = hn::Eq(a2, full), clear = hn::Eq(a2, hn::Zero(d16));
    // Whole runs of opaque or clear source pixels are common: they take one
    // colour row as it is, and alpha 255 or the base's.
    const bool allOpaque = hn::AllTrue(d16, opaque);
    if (allOpaque || hn::AllTrue(d16, clear)) {
      const Byte* from = (allOpaque ? rows.Colour2 : rows.Colour1) + 3 * i;
      for (std::size_t k = 0; k < 3; ++k)
        hn::StoreU(hn::LoadU(d8, from + k * n), d8, rows.Colour + 3 * i + k * n);
      hn::StoreU(toBytes(allOpaque ? full : a1), d8, rows.Alpha + i);
      continue;
    }
    hn::Vec<decltype(d8)> b1, g1, r1, b2, g2, r2;
    hn::LoadInterleaved3(d8, rows.Colour1 + 3 * i, b1, g1, r1);
    hn::LoadInterleaved3(d8, rows.Colour2 + 3 * i, b2, g2, r2);
    hn::StoreU(toBytes(hn::Add(a1, Div255(d16, hn::Mul(hn::Sub(full, a1), a2)))), d8, rows.Alpha + i);
    // Over a clear base the mix is the source's colour, and the divisor may
    // be 1, which the division does not take.
    const auto second = hn::Or(opaque, hn::Eq(a1, hn::Zero(d16)));
    const auto d = hn::Add(a1, a2);
    const auto reciprocal = ReciprocalOf(d16, d);
    auto channel = [&](hn::Vec<decltype(d8)> c1, hn::Vec<decltype(d8)> c2) {
      const auto x1 = hn::PromoteTo(d16, c1), x2 = hn::PromoteTo(d16, c2);
      const auto mixed = DivideSum(d16, hn::Mul(x1, a1), hn::Mul(x2, a2), d, reciprocal);
      return toBytes(hn::IfThenElse(clear, x1, hn::IfThenElse(second, x2, mixed)));
    };
    hn::StoreInterleaved3(channel(b1, b2), channel(g1, g2), channel(r1, r2), d8, rows.Colour + 3 * i);
  }
  return i;
}

std::size_t PackVector(const Byte* colour, const Byte* alpha, std::uint32_t* packed, std::size_t count)
{
  const hn::ScalableTag<std::uint8_t> d8;
  const std::size_t n = hn::Lanes(d8);
  Byte* out = reinterpret_cast<Byte*>(packed);
  std::size_t i = 0;
  for (; i + n <= count; i += n) {
    hn::Vec<decltype(d8)> b, g, r;
    hn::LoadInterleaved3(d8, colour + 3 * i, b, g, r);
    const auto a = alpha ? hn::LoadU(d8, alpha + i) : hn::Zero(d8);
    hn::StoreInterleaved4(b, g, r, a, d8, out + 4 * i);
  }
  return i;
}

// Channel Shift of packed pixels as floats.
template <int Shift, class DF, class DU>
hn::Vec<DF> ChannelOf(DF df, DU du, hn::Vec<DU> pixels)
{
  const hn::RebindToSigned<DU> di;
  return hn::ConvertTo(df, hn::BitCast(di, hn::And(hn::ShiftRight<Shift>(pixels), hn::Set(du, 0xFF))));
}

std::size_t SampleVector(const std::uint32_t* packed, const std::int32_t* index, float* const* channels,
                         std::size_t count)
{
  const hn::ScalableTag<float> df;
  const hn::RebindToSigned<decltype(df)> di;
  const hn::RebindToUnsigned<decltype(df)> du;
  const std::size_t n = hn::Lanes(df);
  std::size_t i = 0;
  for (; i + n <= count; i += n) {
    const auto pixels = hn::GatherIndex(du, packed, hn::LoadU(di, index + i));
    hn::StoreU(ChannelOf<0>(df, du, pixels), df, channels[0] + i);
    hn::StoreU(ChannelOf<8>(df, du, pixels), df, channels[1] + i);
    hn::StoreU(ChannelOf<16>(df, du, pixels), df, channels[2] + i);
    if (channels[3])
      hn::StoreU(ChannelOf<24>(df, du, pixels), df, channels[3] + i);
  }
  return i;
}

std::size_t ResizeVector(const TResizeRow& row, std::size_t count)
{
  const hn::ScalableTag<float> df;
  const hn::RebindToSigned<decltype(df)> di;
  const hn::Rebind<std::uint8_t, decltype(di)> d8;
  const std::size_t n = hn::Lanes(df);
  const auto wy0 = hn::Set(df, row.RowWeight0), wy1 = hn::Set(df, row.RowWeight1);
  // The rows' channels held here: the stores cannot change them.
  const int channels = row.Alpha ? 4 : 3;
  const float *top0[4] = {}, *bottom0[4] = {}, *top1[4] = {}, *bottom1[4] = {};
  for (int c = 0; c < channels; ++c) {
    top0[c] = row.Top0[c];
    bottom0[c] = row.Bottom0[c];
    top1[c] = row.Top1[c];
    bottom1[c] = row.Bottom1[c];
  }
  Byte* const colour = row.Colour;
  Byte* const alpha = row.Alpha;
  std::size_t i = 0;
  for (; i + n <= count; i += n) {
    const auto wx0 = hn::LoadU(df, row.ColumnWeight0 + i), wx1 = hn::LoadU(df, row.ColumnWeight1 + i);
    const auto w00 = hn::Mul(wx0, wy0), w01 = hn::Mul(wx0, wy1);
    const auto w10 = hn::Mul(wx1, wy0), w11 = hn::Mul(wx1, wy1);
    // Summed as the plain code sums: column 0 (top, bottom), then column 1.
    auto channel = [&](int c) {
      auto total = hn::Mul(hn::LoadU(df, top0[c] + i), w00);
      total = hn::Add(total, hn::Mul(hn::LoadU(df, bottom0[c] + i), w01));
      total = hn::Add(total, hn::Mul(hn::LoadU(df, top1[c] + i), w10));
      total = hn::Add(total, hn::Mul(hn::LoadU(df, bottom1[c] + i), w11));
      return hn::DemoteTo(d8, hn::NearestInt(total));
    };
    hn::StoreInterleaved3(channel(0), channel(1), channel(2), d8, colour + 3 * i);
    if (alpha)
      hn::StoreU(channel(3), d8, alpha + i);
  }
  return i;
}

#endif // HWY_TARGET == HWY_SCALAR

} // namespace Quorex::PixelRows::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "Quorex.Imaging.PngHelper.Reference.hpp"

#include <Quorex.Imaging.PngHelper.hpp>

#include <algorithm>

namespace Quorex::PixelRows {

using Vcl::Byte;

HWY_EXPORT(GrayVector);
HWY_EXPORT(ScaleAlphaVector);
HWY_EXPORT(BlendVector);
HWY_EXPORT(PackVector);
HWY_EXPORT(SampleVector);
HWY_EXPORT(ResizeVector);

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

void PackRow(const Byte* Colour, const Byte* Alpha, std::uint32_t* Packed, std::size_t Count)
{
  for (std::size_t i = HWY_DYNAMIC_DISPATCH(PackVector)(Colour, Alpha, Packed, Count); i < Count; ++i) {
    const Byte* p = Colour + 3 * i;
    Packed[i] = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                std::uint32_t(Alpha ? Alpha[i] : 0) << 24;
  }
}

void SampleRow(const std::uint32_t* Packed, const std::int32_t* Index, float* const Channels[4], std::size_t Count)
{
  for (std::size_t i = HWY_DYNAMIC_DISPATCH(SampleVector)(Packed, Index, Channels, Count); i < Count; ++i)
    for (int c = 0; c < 4; ++c)
      if (Channels[c])
        Channels[c][i] = float((Packed[Index[i]] >> (8 * c)) & 0xFF);
}

void ResizeRow(const TResizeRow& Row, std::size_t Count)
{
  for (std::size_t i = HWY_DYNAMIC_DISPATCH(ResizeVector)(Row, Count); i < Count; ++i) {
    const float w00 = Row.ColumnWeight0[i] * Row.RowWeight0, w01 = Row.ColumnWeight0[i] * Row.RowWeight1;
    const float w10 = Row.ColumnWeight1[i] * Row.RowWeight0, w11 = Row.ColumnWeight1[i] * Row.RowWeight1;
    auto channel = [&](int c) {
      const float total =
        Row.Top0[c][i] * w00 + Row.Bottom0[c][i] * w01 + Row.Top1[c][i] * w10 + Row.Bottom1[c][i] * w11;
      return Byte(std::clamp(TPngImageHelper::Reference::RoundFloat(total), 0, 255));
    };
    for (int c = 0; c < 3; ++c)
      Row.Colour[3 * i + size_t(c)] = channel(c);
    if (Row.Alpha)
      Row.Alpha[i] = channel(3);
  }
}

} // namespace Quorex::PixelRows
#endif // HWY_ONCE
