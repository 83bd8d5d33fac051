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
std::size_t ResizeVector(const TResizeColumns&, const TResizeRow&, std::size_t)
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
std::size_t GrayVector(Byte* pixels, std::size_t count)
{
  const hn::ScalableTag<std::uint16_t> d16;
  const hn::Rebind<std::uint8_t, decltype(d16)> d8;
  const hn::RebindToSigned<decltype(d16)> di16;
  const std::size_t n = hn::Lanes(d16);
  std::size_t i = 0;
  for (; i + n <= count; i += n) {
    hn::Vec<decltype(d8)> b, g, r;
    hn::LoadInterleaved3(d8, pixels + 3 * i, b, g, r);
    const auto sum = hn::Add(hn::Add(hn::Mul(hn::PromoteTo(d16, r), hn::Set(d16, 30)),
                                     hn::Mul(hn::PromoteTo(d16, g), hn::Set(d16, 59))),
                             hn::Mul(hn::PromoteTo(d16, b), hn::Set(d16, 11)));
    const auto q = hn::ShiftRight<3>(hn::MulHigh(sum, hn::Set(d16, 5243)));
    const auto remainder = hn::Sub(sum, hn::Mul(q, hn::Set(d16, 100)));
    const auto odd = hn::And(q, hn::Set(d16, 1));
    const auto up = hn::Gt(hn::BitCast(di16, hn::Add(remainder, odd)), hn::Set(di16, 50));
    const auto grey = hn::Sub(q, hn::BitCast(d16, hn::VecFromMask(di16, up)));
    const auto level = hn::DemoteTo(d8, hn::BitCast(di16, grey));
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

// n div d for 0 <= n <= 255 d, 0 < d <= 510: the single-precision estimate
// n * (1 / d) is off by far less than 1 / d, so truncated it is the quotient
// or, when d divides n, one below it; one step up settles which.
template <class DI, class DF>
hn::Vec<DI> DivideSmall(DI di, DF df, hn::Vec<DI> n, hn::Vec<DI> d, hn::Vec<DF> inverse)
{
  const auto q = hn::ConvertTo(di, hn::Mul(hn::ConvertTo(df, n), inverse));
  const auto next = hn::Add(q, hn::Set(di, 1));
  return hn::IfThenElse(hn::Gt(hn::Mul(next, d), n), q, next);
}

std::size_t BlendVector(const TBlendRows& rows, std::size_t count, Byte factor)
{
  const hn::ScalableTag<std::int32_t> di;
  const hn::Rebind<float, decltype(di)> df;
  const hn::Rebind<std::uint8_t, decltype(di)> d8;
  const std::size_t n = hn::Lanes(di);
  const auto f = hn::Set(di, factor);
  const auto full = hn::Set(di, 255);
  const auto zero = hn::Zero(di);
  std::size_t i = 0;
  for (; i + n <= count; i += n) {
    hn::Vec<decltype(d8)> b1, g1, r1, b2, g2, r2;
    hn::LoadInterleaved3(d8, rows.Colour1 + 3 * i, b1, g1, r1);
    hn::LoadInterleaved3(d8, rows.Colour2 + 3 * i, b2, g2, r2);
    const auto a1 = hn::PromoteTo(di, hn::LoadU(d8, rows.Alpha1 + i));
    const auto s = hn::PromoteTo(di, hn::LoadU(d8, rows.Alpha2 + i));
    const auto a2 = hn::Sub(full, Div255(di, hn::Mul(hn::Sub(full, s), f)));
    const auto alpha = hn::Add(a1, Div255(di, hn::Mul(hn::Sub(full, a1), a2)));
    const auto opaque = hn::Eq(a2, full), clear = hn::Eq(a2, zero);
    const auto total = hn::Max(hn::Add(a1, a2), hn::Set(di, 1)); // 0 only where a2 is 0
    const auto inverse = hn::Div(hn::Set(df, 1.0f), hn::ConvertTo(df, total));
    auto channel = [&](hn::Vec<decltype(d8)> c1, hn::Vec<decltype(d8)> c2) {
      const auto x1 = hn::PromoteTo(di, c1), x2 = hn::PromoteTo(di, c2);
      const auto mixed = DivideSmall(di, df, hn::Add(hn::Mul(x1, a1), hn::Mul(x2, a2)), total, inverse);
      return hn::DemoteTo(d8, hn::IfThenElse(opaque, x2, hn::IfThenElse(clear, x1, mixed)));
    };
    hn::StoreInterleaved3(channel(b1, b2), channel(g1, g2), channel(r1, r2), d8, rows.Colour + 3 * i);
    hn::StoreU(hn::DemoteTo(d8, alpha), d8, rows.Alpha + i);
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

std::size_t ResizeVector(const TResizeColumns& columns, const TResizeRow& row, std::size_t count)
{
  const hn::ScalableTag<float> df;
  const hn::RebindToSigned<decltype(df)> di;
  const hn::RebindToUnsigned<decltype(df)> du;
  const hn::Rebind<std::uint8_t, decltype(di)> d8;
  const std::size_t n = hn::Lanes(df);
  const auto wy0 = hn::Set(df, row.Weight0), wy1 = hn::Set(df, row.Weight1);
  std::size_t i = 0;
  for (; i + n <= count; i += n) {
    const auto x0 = hn::LoadU(di, columns.Index0 + i), x1 = hn::LoadU(di, columns.Index1 + i);
    const auto wx0 = hn::LoadU(df, columns.Weight0 + i), wx1 = hn::LoadU(df, columns.Weight1 + i);
    const auto w00 = hn::Mul(wx0, wy0), w01 = hn::Mul(wx0, wy1);
    const auto w10 = hn::Mul(wx1, wy0), w11 = hn::Mul(wx1, wy1);
    const auto p00 = hn::GatherIndex(du, row.Top, x0), p01 = hn::GatherIndex(du, row.Bottom, x0);
    const auto p10 = hn::GatherIndex(du, row.Top, x1), p11 = hn::GatherIndex(du, row.Bottom, x1);
    // Summed as the plain code sums: column 0 (top, bottom), then column 1.
    auto channel = [&](auto shift) {
      constexpr int kShift = decltype(shift)::value;
      auto total = hn::Mul(ChannelOf<kShift>(df, du, p00), w00);
      total = hn::Add(total, hn::Mul(ChannelOf<kShift>(df, du, p01), w01));
      total = hn::Add(total, hn::Mul(ChannelOf<kShift>(df, du, p10), w10));
      total = hn::Add(total, hn::Mul(ChannelOf<kShift>(df, du, p11), w11));
      return hn::DemoteTo(d8, hn::NearestInt(total));
    };
    hn::StoreInterleaved3(channel(std::integral_constant<int, 0>()), channel(std::integral_constant<int, 8>()),
                          channel(std::integral_constant<int, 16>()), d8, row.Colour + 3 * i);
    if (row.Alpha)
      hn::StoreU(channel(std::integral_constant<int, 24>()), d8, row.Alpha + i);
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

void ResizeRow(const TResizeColumns& Columns, const TResizeRow& Row, std::size_t Count)
{
  for (std::size_t i = HWY_DYNAMIC_DISPATCH(ResizeVector)(Columns, Row, Count); i < Count; ++i) {
    const float w00 = Columns.Weight0[i] * Row.Weight0, w01 = Columns.Weight0[i] * Row.Weight1;
    const float w10 = Columns.Weight1[i] * Row.Weight0, w11 = Columns.Weight1[i] * Row.Weight1;
    const std::uint32_t p00 = Row.Top[Columns.Index0[i]], p01 = Row.Bottom[Columns.Index0[i]];
    const std::uint32_t p10 = Row.Top[Columns.Index1[i]], p11 = Row.Bottom[Columns.Index1[i]];
    auto channel = [&](int shift) {
      auto at = [&](std::uint32_t p) { return float((p >> shift) & 0xFF); };
      const float total = at(p00) * w00 + at(p01) * w01 + at(p10) * w10 + at(p11) * w11;
      return Byte(std::clamp(TPngImageHelper::Reference::RoundFloat(total), 0, 255));
    };
    for (int ch = 0; ch < 3; ++ch)
      Row.Colour[3 * i + size_t(ch)] = channel(8 * ch);
    if (Row.Alpha)
      Row.Alpha[i] = channel(24);
  }
}

} // namespace Quorex::PixelRows
#endif // HWY_ONCE
