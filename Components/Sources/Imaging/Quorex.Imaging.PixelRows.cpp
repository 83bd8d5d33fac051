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

// Grey levels of 16-bit lanes: Round((30 R + 59 G + 11 B) / 100) half to
// even. q = sum div 100 by multiplying (exact up to 25500); the remainder
// rounds up above 50, and at 50 when q is odd.
template <class D16, class V8>
hn::Vec<D16> GreyOf(D16 d16, V8 b, V8 g, V8 r)
{
  const hn::RebindToSigned<D16> di16;
  const auto sum = hn::Add(hn::Add(hn::Mul(hn::PromoteTo(d16, r), hn::Set(d16, 30)),
                                   hn::Mul(hn::PromoteTo(d16, g), hn::Set(d16, 59))),
                           hn::Mul(hn::PromoteTo(d16, b), hn::Set(d16, 11)));
  const auto q = hn::ShiftRight<3>(hn::MulHigh(sum, hn::Set(d16, 5243)));
  const auto remainder = hn::Sub(sum, hn::Mul(q, hn::Set(d16, 100)));
  const auto odd = hn::And(q, hn::Set(d16, 1));
  const auto up = hn::Gt(hn::BitCast(di16, hn::Add(remainder, odd)), hn::Set(di16, 50));
  return hn::Sub(q, hn::BitCast(d16, hn::VecFromMask(di16, up)));
}

// Whole byte vectors are deinterleaved at once; their halves are widened to
// 16 bits for the sums.
std::size_t GrayVector(Byte* pixels, std::size_t count)
{
  const hn::ScalableTag<std::uint8_t> d8;
  const hn::Half<decltype(d8)> dh8;
  const hn::Rebind<std::uint16_t, decltype(dh8)> d16;
  const hn::RebindToSigned<decltype(d16)> di16;
  const std::size_t n = hn::Lanes(d8);
  std::size_t i = 0;
  for (; i + n <= count; i += n) {
    hn::Vec<decltype(d8)> b, g, r;
    hn::LoadInterleaved3(d8, pixels + 3 * i, b, g, r);
    const auto low = GreyOf(d16, hn::LowerHalf(dh8, b), hn::LowerHalf(dh8, g), hn::LowerHalf(dh8, r));
    const auto high = GreyOf(d16, hn::UpperHalf(dh8, b), hn::UpperHalf(dh8, g), hn::UpperHalf(dh8, r));
    const auto level =
      hn::Combine(d8, hn::DemoteTo(dh8, hn::BitCast(di16, high)), hn::DemoteTo(dh8, hn::BitCast(di16, low)));
    hn::StoreInterleaved3(level, level, level, d8, pixels + 3 * i);
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
