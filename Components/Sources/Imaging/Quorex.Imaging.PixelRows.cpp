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

#include <algorithm>


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

// x div 255 for 0 <= x <= 255 * 255, in 16-bit lanes: x * 32897 >> 23
// (32897 / 2^23 exceeds 1/255 by less than the gap between x / 255 and the
// next integer).
template <class D16>
hn::Vec<D16> Div255(D16 d16, hn::Vec<D16> x)
{
  return hn::ShiftRight<7>(hn::MulHigh(x, hn::Set(d16, 32897)));
}

// Round(sum / 100) half to even for 0 <= sum <= 25500 in 16-bit lanes.
// Quotients by multiplying are exact up to 25550: (sum + 50) div 100 is the
// rounded one, and a half (sum + 50 a multiple of 100) is where it exceeds
// (sum + 49) div 100; there an odd quotient steps down to the even one.
template <class D16>
hn::Vec<D16> RoundDiv100(D16 d16, hn::Vec<D16> sum)
{
  const auto quotient = [&](int bias) {
    return hn::ShiftRight<3>(hn::MulHigh(hn::Add(sum, hn::Set(d16, std::uint16_t(bias))), hn::Set(d16, 5243)));
  };
  const auto q = quotient(50);
  return hn::Sub(q, hn::And(hn::Sub(q, quotient(49)), q));
}

// Three copies of each of a vector's bytes, in order, from P on. The spread
// stays within 16-byte blocks: block k of spread j holds bytes 16 j .. 16 j
// + 15 of block k's triples, which the stores put back in order.
template <class D8>
void StoreTriples(D8 d8, hn::Vec<D8> bytes, Byte* p)
{
  alignas(16) static constexpr std::uint8_t kSpread[3][16] = {
    {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5},
    {5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10},
    {10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15}};
  const auto s0 = hn::TableLookupBytes(bytes, hn::LoadDup128(d8, kSpread[0]));
  const auto s1 = hn::TableLookupBytes(bytes, hn::LoadDup128(d8, kSpread[1]));
  const auto s2 = hn::TableLookupBytes(bytes, hn::LoadDup128(d8, kSpread[2]));
  if constexpr (hn::MaxLanes(D8()) == 32) {
    hn::StoreU(hn::ConcatLowerLower(d8, s1, s0), d8, p);
    hn::StoreU(hn::ConcatUpperLower(d8, s0, s2), d8, p + 32);
    hn::StoreU(hn::ConcatUpperUpper(d8, s2, s1), d8, p + 64);
  } else {
    static_assert(hn::MaxLanes(D8()) == 16);
    hn::StoreU(s0, d8, p);
    hn::StoreU(s1, d8, p + 16);
    hn::StoreU(s2, d8, p + 32);
  }
}

// Only targets whose vectors are x86 registers have the byte-pair
// multiply-add (not the emulated 128-bit target some compilers build too);
// the AVX-512 ones run the AVX2 code on their 256-bit registers.
#if HWY_ARCH_X86 && HWY_TARGET <= HWY_SSSE3
// Grey levels take 16 pixels a block: the block's 48 bytes are three 16-byte
// parts, and byte shuffles within each part pick the pixels' (blue, green)
// and (red, 0) byte pairs for pixels 0 .. 7 (from parts 0 and 1) and 8 .. 15
// (from parts 1 and 2), which x86's multiply-add of byte pairs weighs into
// 16-bit sums (at most 25500). kGreyPairs[half][pair][part] picks them; 0x80
// is a zero byte.
struct TGreyPairs {
  std::uint8_t Table[2][2][2][16];
};

constexpr TGreyPairs MakeGreyPairs()
{
  TGreyPairs t{};
  constexpr int kOffsets[2][2] = {{0, 1}, {2, -1}}; // blue, green; red, none
  for (int half = 0; half < 2; ++half)
    for (int pair = 0; pair < 2; ++pair)
      for (int part = 0; part < 2; ++part)
        for (int lane = 0; lane < 16; ++lane) {
          const int offset = kOffsets[pair][lane % 2];
          const int at = 3 * (8 * half + lane / 2) + offset - 16 * (half + part);
          t.Table[half][pair][part][lane] = offset >= 0 && at >= 0 && at < 16 ? std::uint8_t(at) : 0x80;
        }
  return t;
}

// Weighted sums of byte pairs (unsigned bytes, signed weights) in 16-bit
// lanes, and two vectors of 16-bit lanes narrowed to bytes block by block.
template <class D16, class V8>
hn::Vec<D16> PairSums(D16, V8 pairs, V8 weights)
{
  if constexpr (hn::MaxLanes(D16()) == 16)
    return hn::Vec<D16>{_mm256_maddubs_epi16(pairs.raw, weights.raw)};
  else
    return hn::Vec<D16>{_mm_maddubs_epi16(pairs.raw, weights.raw)};
}

template <class D8, class V16>
hn::Vec<D8> NarrowBlocks(D8, V16 low, V16 high)
{
  if constexpr (hn::MaxLanes(D8()) == 32)
    return hn::Vec<D8>{_mm256_packus_epi16(low.raw, high.raw)};
  else
    return hn::Vec<D8>{_mm_packus_epi16(low.raw, high.raw)};
}

std::size_t GrayVector(Byte* pixels, std::size_t count)
{
  const hn::CappedTag<std::uint8_t, 32> d8;
  const hn::Repartition<std::uint16_t, decltype(d8)> d16;
  alignas(16) static constexpr TGreyPairs kGreyPairs = MakeGreyPairs();
  alignas(16) static constexpr std::uint8_t kWeights[2][16] = {
    {11, 59, 11, 59, 11, 59, 11, 59, 11, 59, 11, 59, 11, 59, 11, 59},
    {30, 0, 30, 0, 30, 0, 30, 0, 30, 0, 30, 0, 30, 0, 30, 0}};
  const std::size_t n = hn::Lanes(d8);
  std::size_t i = 0;
  for (; i + n <= count; i += n) {
    Byte* p = pixels + 3 * i;
    hn::Vec<decltype(d8)> parts[3];
    if constexpr (hn::MaxLanes(d8) == 32) {
      // Block 0 is pixels 0 .. 15, block 1 pixels 16 .. 31.
      const auto v0 = hn::LoadU(d8, p), v1 = hn::LoadU(d8, p + 32), v2 = hn::LoadU(d8, p + 64);
      parts[0] = hn::ConcatUpperLower(d8, v1, v0);
      parts[1] = hn::ConcatLowerUpper(d8, v2, v0);
      parts[2] = hn::ConcatUpperLower(d8, v2, v1);
    } else {
      for (std::size_t k = 0; k < 3; ++k)
        parts[k] = hn::LoadU(d8, p + 16 * k);
    }
    auto levels = [&](int half) {
      auto sum = hn::Zero(d16);
      for (int pair = 0; pair < 2; ++pair) {
        const auto bytes =
          hn::Or(hn::TableLookupBytesOr0(parts[half], hn::LoadDup128(d8, kGreyPairs.Table[half][pair][0])),
                 hn::TableLookupBytesOr0(parts[half + 1], hn::LoadDup128(d8, kGreyPairs.Table[half][pair][1])));
        sum = hn::Add(sum, PairSums(d16, bytes, hn::LoadDup128(d8, kWeights[pair])));
      }
      return RoundDiv100(d16, sum);
    };
    StoreTriples(d8, NarrowBlocks(d8, levels(0), levels(1)), p);
  }
  return i;
}
#else
// Built on x86's byte-pair multiply-add: elsewhere the plain code does whole rows.
std::size_t GrayVector(Byte*, std::size_t)
{
  return 0;
}
#endif // x86 register targets

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
// rounding it up gives the exact ceiling.
template <class D16>
hn::Vec<D16> ReciprocalOf(D16 d16, hn::Vec<D16> d)
{
  const hn::Half<D16> dh;
  const hn::Repartition<std::int32_t, D16> di;
  const hn::Rebind<float, decltype(di)> df;
  const auto half = [&](hn::Vec<decltype(dh)> part) {
    const auto divisor = hn::ConvertTo(df, hn::PromoteTo(di, part));
    const auto r = hn::Ceil(hn::Div(hn::Set(df, 65536.0f), divisor));
    // Whole and below 2^23: adding 2^23 is exact and leaves it in the low
    // mantissa bits, a shorter way to an integer than a range-checked one.
    const auto bits = hn::BitCast(di, hn::Add(r, hn::Set(df, 8388608.0f)));
    return hn::DemoteTo(dh, hn::Sub(bits, hn::Set(di, 0x4B000000)));
  };
  return hn::Combine(d16, half(hn::UpperHalf(dh, d)), half(hn::LowerHalf(dh, d)));
}

// (c1 w1 + c2 w2) div (w1 + w2) for bytes c1, c2, w1, w2 with 2 <= w1 + w2
// = d <= 510, given R = ceil(2^16 / d). The sum is min(c1, c2) d plus the
// difference of the colours times the higher colour's weight, so the
// quotient is min(c1, c2) plus that product's, a division whose dividend
// (below 255 * 255) fits 16 bits. Its high half by R exceeds the true
// quotient by y (R - 2^16 / d) / 2^16 < y / 2^16 < 1: it is the quotient or
// one more, and the remainder, worked modulo 2^16, is negative only then.
template <class D16>
hn::Vec<D16> MixColours(D16 d16, hn::Vec<D16> c1, hn::Vec<D16> c2, hn::Vec<D16> w1, hn::Vec<D16> w2,
                        hn::Vec<D16> reciprocal)
{
  const hn::RebindToSigned<D16> di16;
  const auto low = hn::Min(c1, c2);
  const auto y = hn::Mul(hn::Sub(hn::Max(c1, c2), low), hn::IfThenElse(hn::Eq(low, c1), w2, w1));
  const auto q = hn::MulHigh(y, reciprocal);
  const auto r = hn::BitCast(di16, hn::Sub(y, hn::Mul(q, hn::Add(w1, w2))));
  return hn::Add(low, hn::Add(q, hn::BitCast(d16, hn::ShiftRight<15>(r))));
}

// The blend's weights for a run of pixels, worked out before its colours: the
// division's long chain (alpha, divisor, reciprocal) then overlaps from vector
// to vector instead of stalling each one's colours. Whole vectors of opaque
// or clear source pixels are common (icons are mostly both): they need no
// weights, as their colours are one row's as it is.
using TBlendLanes = hn::CappedTag<std::uint16_t, 32>;
constexpr std::size_t kBlendRun = 128;
enum class TBlendKind : std::uint8_t { Mixed, Opaque, Clear };
struct TBlendWeights {
  alignas(64) std::uint16_t Weight1[kBlendRun];
  alignas(64) std::uint16_t Weight2[kBlendRun];
  alignas(64) std::uint16_t Reciprocal[kBlendRun];
  TBlendKind Kind[kBlendRun / 8]; // a vector's
};

// Stores the blended alpha of pixels From .. To (whole vectors) and their
// colours' weights (from the base's alpha before that store, which may
// overwrite it).
void BlendAlpha(const TBlendRows& rows, std::size_t from, std::size_t to, Byte factor, TBlendWeights& weights)
{
  const TBlendLanes d16;
  const hn::RebindToSigned<decltype(d16)> di16;
  const hn::Rebind<std::uint8_t, decltype(d16)> d8;
  const std::size_t n = hn::Lanes(d16);
  const auto f = hn::Set(d16, factor);
  const auto full = hn::Set(d16, 255);
  for (std::size_t i = from; i < to; i += n) {
    const auto a1 = hn::PromoteTo(d16, hn::LoadU(d8, rows.Alpha1 + i));
    const auto s = hn::PromoteTo(d16, hn::LoadU(d8, rows.Alpha2 + i));
    const auto a2 = hn::Sub(full, Div255(d16, hn::Mul(hn::Sub(full, s), f)));
    TBlendKind& kind = weights.Kind[(i - from) / n];
    kind = hn::AllTrue(d16, hn::Eq(a2, full))           ? TBlendKind::Opaque
           : hn::AllTrue(d16, hn::Eq(a2, hn::Zero(d16))) ? TBlendKind::Clear
                                                         : TBlendKind::Mixed;
    if (kind == TBlendKind::Clear && rows.Alpha == rows.Alpha1)
      continue;
    if (kind == TBlendKind::Mixed) {
      // The plain code keeps the base's colour under a clear source and
      // takes the source's when it is opaque or the base clear: weights of
      // 255 and 0 give those in the one formula, and keep the divisor at 2
      // or more.
      const auto clearSource = hn::Eq(a2, hn::Zero(d16));
      const auto takeSource = hn::AndNot(clearSource, hn::Or(hn::Eq(a2, full), hn::Eq(a1, hn::Zero(d16))));
      const auto w1 = hn::IfThenElse(clearSource, full, hn::IfThenZeroElse(takeSource, a1));
      const auto w2 = hn::IfThenElse(takeSource, full, a2);
      hn::Store(w1, d16, weights.Weight1 + (i - from));
      hn::Store(w2, d16, weights.Weight2 + (i - from));
      hn::Store(ReciprocalOf(d16, hn::Add(w1, w2)), d16, weights.Reciprocal + (i - from));
    }
    const auto alpha = hn::Add(a1, Div255(d16, hn::Mul(hn::Sub(full, a1), a2)));
    hn::StoreU(hn::DemoteTo(d8, hn::BitCast(di16, alpha)), d8, rows.Alpha + i);
  }
}

// Colours blend with their channels side by side as they lie in the row: N
// pixels are three vectors of N channel bytes, each lane taking its pixel's
// weights, spread from the pixel lanes. Vector j's lanes need pixels (N j +
// lane) / 3. AVX-512 moves 16-bit lanes anywhere in the register; elsewhere
// byte shuffles do, within 16-byte blocks, which holds as those pixels lie
// in one 8-pixel block of the pixel lanes (the low block, both, or the high
// one for N = 16). The table holds a lane's pixel or that pixel's two bytes
// in its block.
template <std::size_t N>
struct TChannelSpread {
  std::uint16_t Table[3][N];
};

template <std::size_t N, bool WholeLanes>
constexpr TChannelSpread<N> MakeChannelSpread()
{
  TChannelSpread<N> t{};
  for (std::size_t j = 0; j < 3; ++j)
    for (std::size_t lane = 0; lane < N; ++lane) {
      const std::size_t pixel = (N * j + lane) / 3, low = 2 * (pixel % 8);
      t.Table[j][lane] = std::uint16_t(WholeLanes ? pixel : (low + 1) << 8 | low);
    }
  return t;
}

#if HWY_ARCH_X86 && HWY_TARGET <= HWY_AVX3
using D16x32 = hn::Full512<std::uint16_t>;
HWY_INLINE hn::Vec<D16x32> SpreadToChannels(D16x32 d16, hn::Vec<D16x32> v, std::size_t j)
{
  alignas(64) static constexpr TChannelSpread<32> kLanes = MakeChannelSpread<32, true>();
  return hn::Vec<D16x32>{_mm512_permutexvar_epi16(hn::Load(d16, kLanes.Table[j]).raw, v.raw)};
}
#endif

template <class D16>
hn::Vec<D16> SpreadToChannels(D16 d16, hn::Vec<D16> v, std::size_t j)
{
  constexpr std::size_t N = hn::MaxLanes(d16);
  static_assert(N == 8 || N == 16);
  const hn::Repartition<std::uint8_t, D16> dBytes;
  alignas(32) static constexpr TChannelSpread<N> kBytes = MakeChannelSpread<N, false>();
  if constexpr (N == 16)
    v = j == 0 ? hn::ConcatLowerLower(d16, v, v) : j == 2 ? hn::ConcatUpperUpper(d16, v, v) : v;
  const auto table = hn::BitCast(dBytes, hn::Load(d16, kBytes.Table[j]));
  return hn::BitCast(d16, hn::TableLookupBytes(hn::BitCast(dBytes, v), table));
}

void BlendColour(const TBlendRows& rows, std::size_t from, std::size_t to, const TBlendWeights& weights)
{
  const TBlendLanes d16;
  const hn::RebindToSigned<decltype(d16)> di16;
  const hn::Rebind<std::uint8_t, decltype(d16)> d8;
  constexpr std::size_t N = hn::MaxLanes(d16);
  for (std::size_t i = from; i < to; i += N) {
    const Byte* c1 = rows.Colour1 + 3 * i;
    const Byte* c2 = rows.Colour2 + 3 * i;
    Byte* out = rows.Colour + 3 * i;
    const TBlendKind kind = weights.Kind[(i - from) / N];
    if (kind != TBlendKind::Mixed) {
      const Byte* taken = kind == TBlendKind::Opaque ? c2 : c1;
      if (taken != out)
        for (std::size_t j = 0; j < 3; ++j)
          hn::StoreU(hn::LoadU(d8, taken + N * j), d8, out + N * j);
      continue;
    }
    const auto w1 = hn::Load(d16, weights.Weight1 + (i - from)), w2 = hn::Load(d16, weights.Weight2 + (i - from));
    const auto reciprocal = hn::Load(d16, weights.Reciprocal + (i - from));
    for (std::size_t j = 0; j < 3; ++j) {
      const auto spread = [&](hn::Vec<decltype(d16)> v) { return SpreadToChannels(d16, v, j); };
      const auto x1 = hn::PromoteTo(d16, hn::LoadU(d8, c1 + N * j));
      const auto x2 = hn::PromoteTo(d16, hn::LoadU(d8, c2 + N * j));
      const auto colour = MixColours(d16, x1, x2, spread(w1), spread(w2), spread(reciprocal));
      hn::StoreU(hn::DemoteTo(d8, hn::BitCast(di16, colour)), d8, out + N * j);
    }
  }
}

std::size_t BlendVector(const TBlendRows& rows, std::size_t count, Byte factor)
{
  const std::size_t n = hn::Lanes(TBlendLanes()), whole = count / n * n;
  TBlendWeights weights;
  for (std::size_t from = 0; from < whole; from += kBlendRun) {
    const std::size_t to = std::min(from + kBlendRun, whole);
    BlendAlpha(rows, from, to, factor, weights);
    BlendColour(rows, from, to, weights);
  }
  return whole;
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
