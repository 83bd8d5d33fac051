// AlphaBlend's and text's arithmetic. The file is compiled once per instruction set by
// Highway's foreach_target (the vector part), the plain part once.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "Win.Gdi.Blend.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <hwy/highway.h>

#include "Win.Gdi.Blend.hpp"

HWY_BEFORE_NAMESPACE();
namespace Win::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
// One lane is no vector: the plain code does the whole run.
std::size_t BlendRunVector(std::uint32_t*, const std::uint32_t*, std::size_t, BYTE, bool)
{
  return 0;
}
std::size_t CoverageRunVector(std::uint32_t*, const std::uint8_t*, std::size_t, std::uint32_t)
{
  return 0;
}
#else
// x * a / 255 rounded to nearest, in 16-bit lanes (x, a at most 255): the
// sums stay below 2^16.
template <class V>
V MulDiv255Lanes(V x, V a)
{
  const hn::DFromV<V> d;
  const V t = hn::Add(hn::Mul(x, a), hn::Set(d, 128));
  return hn::ShiftRight<8>(hn::Add(t, hn::ShiftRight<8>(t)));
}

// The even and the odd bytes of each 16-bit lane blended apart (blue and red,
// green and alpha), as the plain code does two channels at once; DstFactor
// holds each pixel's factor in both of its lanes.
template <class D16>
hn::Vec<D16> MixLanes(D16 d16, hn::Vec<D16> src, hn::Vec<D16> dst, hn::Vec<D16> factor, hn::Vec<D16> dstFactor)
{
  return hn::Min(hn::Add(MulDiv255Lanes(src, factor), MulDiv255Lanes(dst, dstFactor)), hn::Set(d16, 255));
}

// The source's own alpha at full constant alpha, the common case of drawing
// an image: x * 255 / 255 rounds back to x, so the source takes no product.
// Transparent pixels (all zero, premultiplied) leave the destination as it
// is, so a vector of them is passed over: a plot or an icon is mostly that.
std::size_t OverRunVector(std::uint32_t* dst, const std::uint32_t* src, std::size_t count)
{
  const hn::ScalableTag<std::uint32_t> d32;
  const hn::Repartition<std::uint16_t, decltype(d32)> d16;
  const std::size_t step = hn::Lanes(d32);
  const auto max = hn::Set(d16, 255), low = hn::Set(d16, 0x00FF);
  std::size_t i = 0;
  for (; i + step <= count; i += step) {
    const auto s = hn::LoadU(d32, src + i);
    if (hn::AllTrue(d32, hn::Eq(s, hn::Zero(d32))))
      continue;
    const auto d = hn::BitCast(d16, hn::LoadU(d32, dst + i));
    const auto alpha = hn::ShiftRight<24>(s);
    const auto dstFactor = hn::Sub(max, hn::BitCast(d16, hn::Or(alpha, hn::ShiftLeft<16>(alpha))));
    const auto s16 = hn::BitCast(d16, s);
    const auto even = hn::Min(hn::Add(hn::And(s16, low), MulDiv255Lanes(hn::And(d, low), dstFactor)), max);
    const auto odd = hn::Min(hn::Add(hn::ShiftRight<8>(s16), MulDiv255Lanes(hn::ShiftRight<8>(d), dstFactor)), max);
    hn::StoreU(hn::BitCast(d32, hn::Or(even, hn::ShiftLeft<8>(odd))), d32, dst + i);
  }
  return i;
}

// Returns how many pixels were blended (the whole vectors).
std::size_t BlendRunVector(std::uint32_t* dst, const std::uint32_t* src, std::size_t count, BYTE constant,
                           bool sourceAlpha)
{
  if (sourceAlpha && constant == 255)
    return OverRunVector(dst, src, count);
  const hn::ScalableTag<std::uint32_t> d32;
  const hn::Repartition<std::uint16_t, decltype(d32)> d16;
  const std::size_t step = hn::Lanes(d32);
  const auto factor = hn::Set(d16, constant);
  const auto max = hn::Set(d16, 255), low = hn::Set(d16, 0x00FF);
  std::size_t i = 0;
  for (; i + step <= count; i += step) {
    const auto s = hn::LoadU(d32, src + i);
    const auto d = hn::BitCast(d16, hn::LoadU(d32, dst + i));
    auto dstFactor = hn::Sub(max, factor);
    if (sourceAlpha) {
      const auto alpha = hn::ShiftRight<24>(s);
      dstFactor = hn::Sub(max, MulDiv255Lanes(hn::BitCast(d16, hn::Or(alpha, hn::ShiftLeft<16>(alpha))), factor));
    }
    const auto s16 = hn::BitCast(d16, s);
    const auto even = MixLanes(d16, hn::And(s16, low), hn::And(d, low), factor, dstFactor);
    const auto odd = MixLanes(d16, hn::ShiftRight<8>(s16), hn::ShiftRight<8>(d), factor, dstFactor);
    hn::StoreU(hn::BitCast(d32, hn::Or(even, hn::ShiftLeft<8>(odd))), d32, dst + i);
  }
  return i;
}

// Each pixel's coverage is its source factor, in both of its 16-bit lanes;
// a channel's two products sum to at most 255, so MixLanes never clamps.
std::size_t CoverageRunVector(std::uint32_t* dst, const std::uint8_t* coverage, std::size_t count,
                              std::uint32_t src)
{
  const hn::ScalableTag<std::uint32_t> d32;
  const hn::Repartition<std::uint16_t, decltype(d32)> d16;
  const hn::Rebind<std::uint8_t, decltype(d32)> d8;
  const std::size_t step = hn::Lanes(d32);
  const auto max = hn::Set(d16, 255), low = hn::Set(d16, 0x00FF);
  const auto s16 = hn::BitCast(d16, hn::Set(d32, src));
  const auto sEven = hn::And(s16, low), sOdd = hn::ShiftRight<8>(s16);
  std::size_t i = 0;
  for (; i + step <= count; i += step) {
    const auto c32 = hn::PromoteTo(d32, hn::LoadU(d8, coverage + i));
    const auto factor = hn::BitCast(d16, hn::Or(c32, hn::ShiftLeft<16>(c32)));
    const auto dstFactor = hn::Sub(max, factor);
    const auto d = hn::BitCast(d16, hn::LoadU(d32, dst + i));
    const auto even = MixLanes(d16, sEven, hn::And(d, low), factor, dstFactor);
    const auto odd = MixLanes(d16, sOdd, hn::ShiftRight<8>(d), factor, dstFactor);
    hn::StoreU(hn::BitCast(d32, hn::Or(even, hn::ShiftLeft<8>(odd))), d32, dst + i);
  }
  return i;
}
#endif

} // namespace Win::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "Win.Gdi.Raster.hpp"

namespace Win {

HWY_EXPORT(BlendRunVector);
HWY_EXPORT(CoverageRunVector);

namespace {

// x * a / 255, rounded to nearest, for x, a in 0..255.
constexpr std::uint32_t MulDiv255(std::uint32_t x, std::uint32_t a)
{
  std::uint32_t t = x * a + 128;
  return (t + (t >> 8)) >> 8;
}

// Two channels at once: the 0x00FF00FF lanes of x times a / 255, rounded
// exactly as MulDiv255 does (each lane stays below 2^16).
constexpr std::uint32_t MulLanes(std::uint32_t lanes, std::uint32_t a)
{
  std::uint32_t t = lanes * a + 0x00800080u;
  return ((t + ((t >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// Lane sums of up to 510 saturate at 255.
constexpr std::uint32_t SaturateLanes(std::uint32_t sum)
{
  std::uint32_t over = (sum >> 8) & 0x00010001u;
  return (sum | (over * 0xFF)) & 0x00FF00FFu;
}

// src * srcFactor + dst * dstFactor, per channel, over 255.
std::uint32_t Mix(std::uint32_t src, std::uint32_t srcFactor, std::uint32_t dst, std::uint32_t dstFactor)
{
  std::uint32_t rb = MulLanes(src & 0x00FF00FFu, srcFactor) + MulLanes(dst & 0x00FF00FFu, dstFactor);
  std::uint32_t ag = MulLanes((src >> 8) & 0x00FF00FFu, srcFactor) + MulLanes((dst >> 8) & 0x00FF00FFu, dstFactor);
  return SaturateLanes(rb) | (SaturateLanes(ag) << 8);
}

} // namespace

std::uint32_t BlendPixel(std::uint32_t src, std::uint32_t dst, const BLENDFUNCTION& blend)
{
  std::uint32_t constant = blend.SourceConstantAlpha;
  if (!(blend.AlphaFormat & AC_SRC_ALPHA))
    return Mix(src, constant, dst, 255 - constant);
  // Source premultiplied: Dst = Src * SCA + Dst * (1 - SrcAlpha * SCA).
  std::uint32_t alpha = MulDiv255(src >> 24, constant);
  return Mix(src, constant, dst, 255 - alpha);
}

void BlendRunReference(std::uint32_t* dst, const std::uint32_t* src, std::size_t count, const BLENDFUNCTION& blend)
{
  for (std::size_t i = 0; i < count; ++i)
    dst[i] = BlendPixel(src[i], dst[i], blend);
}

void BlendRun(std::uint32_t* dst, const std::uint32_t* src, std::size_t count, const BLENDFUNCTION& blend)
{
  const std::size_t done = HWY_DYNAMIC_DISPATCH(BlendRunVector)(dst, src, count, blend.SourceConstantAlpha,
                                                                (blend.AlphaFormat & AC_SRC_ALPHA) != 0);
  BlendRunReference(dst + done, src + done, count - done, blend);
}

void CoverageRunReference(std::uint32_t* dst, const std::uint8_t* coverage, std::size_t count, std::uint32_t src)
{
  for (std::size_t i = 0; i < count; ++i)
    dst[i] = BlendOver(src, dst[i], coverage[i]);
}

void CoverageRun(std::uint32_t* dst, const std::uint8_t* coverage, std::size_t count, std::uint32_t src)
{
  const std::size_t done = HWY_DYNAMIC_DISPATCH(CoverageRunVector)(dst, coverage, count, src);
  CoverageRunReference(dst + done, coverage + done, count - done, src);
}

} // namespace Win
#endif // HWY_ONCE
