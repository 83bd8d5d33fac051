// SmoothResize's rows in vector code. The file is compiled once per
// instruction set by Highway's foreach_target (the vector part), the rest
// once. The arithmetic is the plain code's, lane by lane: the same
// single-precision products and sums in the same order (no contraction),
// rounded half to even.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "Quorex.Imaging.ResizeRows.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <hwy/highway.h>

#include "Quorex.Imaging.ResizeRows.hpp"

#include <algorithm>
#include <cstring>
#include <initializer_list>

HWY_BEFORE_NAMESPACE();
namespace Quorex::ResizeRows::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using Vcl::Byte;

#if HWY_TARGET == HWY_SCALAR
// One lane is no vector: the plain code does whole rows.
std::size_t SampleVector(const TSourceRow*, std::size_t, const TColumns&)
{
  return 0;
}
std::size_t ResizeVector(const TColumns&, const float*, const float*, const TResizeRow&)
{
  return 0;
}
std::size_t ResizeDirectVector(const TColumns&, const TSourcePair&, TDirectStage&, const TResizeRow&)
{
  return 0;
}
#else

// The sampled pixels are read straight from the source rows: a column's two
// colour pixels as the four bytes at 3 x and at 3 x + 3, its two alphas as
// the four at x. Only the sampled columns are touched, so shrinking costs
// what the destination needs, not what the source holds. The words are read
// one by one (faster here than vector gathers) into the planes they become,
// then spread into their channels as floats.
// Both rows of a step in one pass share the reading of the columns.
template <std::size_t Rows, bool WithAlpha>
void StageWords(const TSourceRow* rows, const TColumns& columns)
{
  const std::int32_t* const index = columns.Index[0].data();
  const std::size_t stride = columns.Stride, wide = columns.Wide;
  // Held here: the stores could otherwise change them for the compiler.
  const Byte *colour[Rows], *alpha[Rows];
  float *left[Rows], *right[Rows], *alphas[Rows];
  for (std::size_t r = 0; r < Rows; ++r) {
    colour[r] = rows[r].Colour;
    alpha[r] = rows[r].Alpha;
    left[r] = rows[r].Planes;
    right[r] = rows[r].Planes + 4 * stride;
    alphas[r] = rows[r].Planes + 3 * stride;
  }
  for (std::size_t i = 0; i < wide; ++i) {
    const std::size_t x = std::size_t(index[i]);
    for (std::size_t r = 0; r < Rows; ++r) {
      std::memcpy(left[r] + i, colour[r] + 3 * x, 4);
      std::memcpy(right[r] + i, colour[r] + 3 * x + 3, 4);
      if constexpr (WithAlpha)
        std::memcpy(alphas[r] + i, alpha[r] + x, 4);
    }
  }
}

std::size_t SampleVector(const TSourceRow* rows, std::size_t count, const TColumns& columns)
{
  const hn::ScalableTag<float> df;
  const hn::RebindToSigned<decltype(df)> di;
  const hn::RebindToUnsigned<decltype(df)> du;
  const std::size_t n = hn::Lanes(df), stride = columns.Stride, wide = columns.Wide;
  if (wide < n)
    return 0;
  const bool withAlpha = rows[0].Alpha != nullptr;
  if (count == 2)
    withAlpha ? StageWords<2, true>(rows, columns) : StageWords<2, false>(rows, columns);
  else
    withAlpha ? StageWords<1, true>(rows, columns) : StageWords<1, false>(rows, columns);
  const auto lowByte = hn::Set(du, 0xFF);
  auto spread = [&](float* planes, std::size_t from, std::size_t i, std::initializer_list<std::size_t> to) {
    const auto word = hn::BitCast(du, hn::LoadU(df, planes + from * stride + i));
    std::size_t shift = 0;
    for (std::size_t plane : to) {
      const auto byte = hn::And(hn::ShiftRightSame(word, int(shift)), lowByte);
      hn::StoreU(hn::ConvertTo(df, hn::BitCast(di, byte)), df, planes + plane * stride + i);
      shift += 8;
    }
  };
  // Spread in place, so the columns a last vector would spread again are
  // left to the plain code.
  const std::size_t whole = wide / n * n;
  for (std::size_t r = 0; r < count; ++r) {
    float* const planes = rows[r].Planes;
    for (std::size_t i = 0; i < whole; i += n) {
      spread(planes, 0, i, {0, 1, 2});
      spread(planes, 4, i, {4, 5, 6});
      if (withAlpha)
        spread(planes, 3, i, {3, 7});
    }
  }
  return whole;
}

// Four-byte pixels (blue, green, red, unused) stored as three-byte ones. Each
// 16-byte block is packed into its first 12 bytes and stored whole: its last
// 4 bytes land on the next pixels' places, which the next block overwrites,
// so the caller leaves room for them after the last block.
template <class D8>
void StoreThreeBytePixels(D8 d8, hn::Vec<D8> pixels, Byte* out)
{
  if constexpr (hn::MaxLanes(D8()) > 16) {
    const hn::Half<D8> dh;
    StoreThreeBytePixels(dh, hn::LowerHalf(dh, pixels), out);
    StoreThreeBytePixels(dh, hn::UpperHalf(dh, pixels), out + hn::MaxLanes(dh) / 4 * 3);
  } else {
    alignas(16) static constexpr std::uint8_t kPack[16] = {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 15, 15, 15, 15};
    hn::StoreU(hn::TableLookupBytes(pixels, hn::Load(d8, kPack)), d8, out);
  }
}

using DF = hn::ScalableTag<float>;
using VF = hn::Vec<DF>;

// One channel's four source pixels at a vector of columns, in the order the
// plain code sums them.
struct TTaps {
  VF TopLeft, BottomLeft, TopRight, BottomRight;
};

// Destination columns [0, End) in vectors, given Taps(i), which returns the
// taps of channel c at columns i.. as its own Taps(c). The arithmetic is the
// plain code's: left column (top, bottom), then right.
template <class Taps>
std::size_t WriteColumns(std::size_t end, const TColumns& columns, const TResizeRow& row, Taps taps)
{
  const DF df;
  const hn::RebindToSigned<DF> di;
  const hn::RebindToUnsigned<DF> du;
  const hn::Repartition<std::uint8_t, decltype(du)> dBytes;
  const hn::Rebind<std::uint8_t, decltype(du)> d8;
  const std::size_t n = hn::Lanes(df), count = columns.Count();
  if (end < n)
    return 0;
  const auto wy0 = hn::Set(df, row.RowWeight0), wy1 = hn::Set(df, row.RowWeight1);
  // Adding 1.5 x 2^23 leaves a sum whose unit is 1, so the addition itself
  // rounds half to even (as the plain code's conversion does) and the low
  // mantissa bits hold the whole number; that holds for totals from 0 to
  // 2^22, and these are never negative nor much above 255.
  const auto rounder = hn::Set(df, 12582912.0f);
  const auto rounderBits = hn::Set(di, 0x4B400000);
  const auto full = hn::Set(di, 255);
  const float* const weight0 = columns.Weight[0].data();
  const float* const weight1 = columns.Weight[1].data();
  Byte* const colour = row.Colour;
  Byte* const alpha = row.Alpha;
  auto pixelsAt = [&](std::size_t i, auto store) {
    const auto wx0 = hn::LoadU(df, weight0 + i), wx1 = hn::LoadU(df, weight1 + i);
    const auto w00 = hn::Mul(wx0, wy0), w01 = hn::Mul(wx0, wy1);
    const auto w10 = hn::Mul(wx1, wy0), w11 = hn::Mul(wx1, wy1);
    const auto channelTaps = taps(i);
    auto channel = [&](std::size_t c) {
      const TTaps t = channelTaps(c);
      auto total = hn::Mul(t.TopLeft, w00);
      total = hn::Add(total, hn::Mul(t.BottomLeft, w01));
      total = hn::Add(total, hn::Mul(t.TopRight, w10));
      total = hn::Add(total, hn::Mul(t.BottomRight, w11));
      const auto whole = hn::Sub(hn::BitCast(di, hn::Add(total, rounder)), rounderBits);
      return hn::BitCast(du, hn::Min(whole, full));
    };
    store(hn::BitCast(dBytes, hn::Or(channel(0), hn::Or(hn::ShiftLeft<8>(channel(1)), hn::ShiftLeft<16>(channel(2))))));
    // Not TruncateTo: Highway 1.0's AVX-512 byte-permute form of it moves
    // whole words and scrambles the bytes.
    if (alpha)
      hn::StoreU(hn::U8FromU32(channel(3)), d8, alpha + i);
  };
  std::size_t i = 0;
  // Room after each vector for the 4 bytes the colour store writes past it
  // (columns from End on are written afterwards).
  for (; i + n <= end && i + n + 2 <= count; i += n)
    pixelsAt(i, [&](hn::Vec<decltype(dBytes)> pixels) { StoreThreeBytePixels(dBytes, pixels, colour + 3 * i); });
  // The rest by way of a buffer with that room, the last vector ending at
  // End: the pixels done twice get the same values again.
  alignas(64) Byte last[3 * hn::MaxLanes(df) + 4];
  for (; i < end; i += n) {
    const std::size_t at = std::min(i, end - n);
    pixelsAt(at, [&](hn::Vec<decltype(dBytes)> pixels) { StoreThreeBytePixels(dBytes, pixels, last); });
    std::memcpy(colour + 3 * at, last, 3 * n);
  }
  return end;
}

std::size_t ResizeVector(const TColumns& columns, const float* top, const float* bottom, const TResizeRow& row)
{
  const std::size_t stride = columns.Stride, right = 4 * stride;
  // Everything the taps use is taken by value: the byte stores between them
  // could otherwise change it for the compiler.
  return WriteColumns(columns.Count(), columns, row, [top, bottom, stride, right](std::size_t i) {
    return [=](std::size_t c) {
      const DF df;
      const std::size_t at = c * stride + i;
      return TTaps{hn::LoadU(df, top + at), hn::LoadU(df, bottom + at), hn::LoadU(df, top + right + at),
                   hn::LoadU(df, bottom + right + at)};
    };
  });
}

// The sampled words are copied one by one (vector gathers are slower here),
// then taken a vector of columns at a time: the colour words split into the
// four bytes at 3 x (blue, green, red of the left pixel and blue of the right
// one) and the four at 3 x + 4 (green and red of the right pixel), spread
// into their channels in the registers.
template <bool WithAlpha>
void Stage(const TColumns& columns, const TSourcePair& source, TDirectStage& stage)
{
  const std::int32_t* const index = columns.Index[0].data();
  // Held here: the stores could otherwise change them for the compiler.
  const Byte *const colour0 = source.Colour[0], *const colour1 = source.Colour[1];
  const Byte *const alpha0 = source.Alpha[0], *const alpha1 = source.Alpha[1];
  std::uint64_t *const colours0 = stage.Colour[0].data(), *const colours1 = stage.Colour[1].data();
  std::uint32_t *const alphas0 = stage.Alpha[0].data(), *const alphas1 = stage.Alpha[1].data();
  const std::size_t wide = columns.Wide;
  for (std::size_t i = 0; i < wide; ++i) {
    const std::size_t x = std::size_t(index[i]);
    std::memcpy(colours0 + i, colour0 + 3 * x, 8);
    std::memcpy(colours1 + i, colour1 + 3 * x, 8);
    if constexpr (WithAlpha) {
      std::memcpy(alphas0 + i, alpha0 + x, 4);
      std::memcpy(alphas1 + i, alpha1 + x, 4);
    }
  }
}

std::size_t ResizeDirectVector(const TColumns& columns, const TSourcePair& source, TDirectStage& stage,
                               const TResizeRow& row)
{
  const DF df;
  const hn::RebindToUnsigned<DF> du;
  using VU = hn::Vec<decltype(du)>;
  const std::size_t n = hn::Lanes(df);
  if (columns.Wide < n)
    return 0;
  const bool withAlpha = row.Alpha != nullptr;
  withAlpha ? Stage<true>(columns, source, stage) : Stage<false>(columns, source, stage);
  const std::uint64_t* const colours[2] = {stage.Colour[0].data(), stage.Colour[1].data()};
  const std::uint32_t* const alphas[2] = {stage.Alpha[0].data(), stage.Alpha[1].data()};
  // Taken by value, as in ResizeVector.
  return WriteColumns(columns.Wide, columns, row, [=](std::size_t i) {
    const DF df;
    const hn::RebindToSigned<DF> di;
    const hn::RebindToUnsigned<DF> du;
    VU left[2], right[2], alpha[2];
    for (std::size_t r = 0; r < 2; ++r) {
      const auto* words = reinterpret_cast<const std::uint32_t*>(colours[r] + i);
      const auto low = hn::LoadU(du, words), high = hn::LoadU(du, words + n);
      left[r] = hn::ConcatEven(du, high, low);
      right[r] = hn::ConcatOdd(du, high, low);
      alpha[r] = withAlpha ? hn::LoadU(du, alphas[r] + i) : left[r];
    }
    auto channelOf = [=](VU word, int shift) {
      return hn::ConvertTo(df, hn::BitCast(di, hn::And(hn::ShiftRightSame(word, shift), hn::Set(du, 0xFF))));
    };
    // Blue, green, red and alpha of the left pixel; of the right one.
    return [=](std::size_t c) {
      static constexpr int kLeftShift[4] = {0, 8, 16, 0}, kRightShift[4] = {24, 0, 8, 8};
      const VU* leftWord = c == 3 ? alpha : left;
      const VU* rightWord = c == 3 ? alpha : c == 0 ? left : right;
      return TTaps{channelOf(leftWord[0], kLeftShift[c]), channelOf(leftWord[1], kLeftShift[c]),
                   channelOf(rightWord[0], kRightShift[c]), channelOf(rightWord[1], kRightShift[c])};
    };
  });
}

#endif // HWY_TARGET == HWY_SCALAR

} // namespace Quorex::ResizeRows::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "Quorex.Imaging.PngHelper.Reference.hpp"

#include <algorithm>
#include <array>
#include <span>

namespace Quorex::ResizeRows {

using Vcl::Byte;
using TPngImageHelper::Reference::RoundFloat;
using TPngImageHelper::Reference::SampleAt;
using TPngImageHelper::Reference::TSample;

HWY_EXPORT(SampleVector);
HWY_EXPORT(ResizeVector);
HWY_EXPORT(ResizeDirectVector);

namespace {

// The plain code's pixel at column I, given each channel's taps: top-left,
// bottom-left, top-right, bottom-right, summed in that order.
template <class Taps>
void PlainPixel(const TColumns& Columns, std::size_t I, const TResizeRow& Row, Taps TapsOf)
{
  const float wx0 = Columns.Weight[0][I], wx1 = Columns.Weight[1][I];
  const float w00 = wx0 * Row.RowWeight0, w01 = wx0 * Row.RowWeight1;
  const float w10 = wx1 * Row.RowWeight0, w11 = wx1 * Row.RowWeight1;
  auto channel = [&](std::size_t c) {
    const std::array<float, 4> t = TapsOf(c);
    const float total = t[0] * w00 + t[1] * w01 + t[2] * w10 + t[3] * w11;
    return Byte(std::clamp(RoundFloat(total), 0, 255));
  };
  for (std::size_t c = 0; c < 3; ++c)
    Row.Colour[3 * I + c] = channel(c);
  if (Row.Alpha)
    Row.Alpha[I] = channel(3);
}

} // namespace

TColumns::TColumns(int NewWidth, float Scale, int SourceWidth)
{
  for (int side = 0; side < 2; ++side) {
    Index[side].reserve(std::size_t(NewWidth));
    Weight[side].reserve(std::size_t(NewWidth));
  }
  for (int tx = 0; tx < NewWidth; ++tx) {
    const TSample c = SampleAt(tx, Scale, SourceWidth);
    for (int side = 0; side < 2; ++side) {
      Index[side].push_back(c.Index[side]);
      Weight[side].push_back(c.Weight[side]);
    }
  }
  // Four bytes of alpha from x stay in the row up to x = width - 4, and so do
  // the right pixel's four colour bytes.
  while (Wide < Count() && Index[0][Wide] <= SourceWidth - 4)
    ++Wide;
  constexpr std::size_t kLine = 64 / sizeof(float);
  Stride = (Count() + kLine - 1) / kLine * kLine + kLine;
}

void SampleRows(const TSourceRow* Rows, std::size_t Count, const TColumns& Columns)
{
  if (Count == 0)
    return;
  const std::size_t columns = Columns.Count(), stride = Columns.Stride;
  for (std::size_t i = HWY_DYNAMIC_DISPATCH(SampleVector)(Rows, Count, Columns); i < columns; ++i)
    for (std::size_t side = 0; side < 2; ++side) {
      const std::size_t x = std::size_t(Columns.Index[side][i]);
      for (const TSourceRow& row : std::span(Rows, Count)) {
        float* pixel = row.Planes + side * 4 * stride + i;
        for (std::size_t c = 0; c < 3; ++c)
          pixel[c * stride] = float(row.Colour[3 * x + c]);
        if (row.Alpha)
          pixel[3 * stride] = float(row.Alpha[x]);
      }
    }
}

void ResizeRow(const TColumns& Columns, const float* Top, const float* Bottom, const TResizeRow& Row)
{
  const std::size_t count = Columns.Count(), stride = Columns.Stride;
  for (std::size_t i = HWY_DYNAMIC_DISPATCH(ResizeVector)(Columns, Top, Bottom, Row); i < count; ++i)
    PlainPixel(Columns, i, Row, [&](std::size_t c) {
      const std::size_t left = c * stride + i, right = (4 + c) * stride + i;
      return std::array<float, 4>{Top[left], Bottom[left], Top[right], Bottom[right]};
    });
}

TDirectStage::TDirectStage(const TColumns& Columns)
{
  for (std::size_t r = 0; r < 2; ++r) {
    Colour[r].resize(Columns.Wide);
    Alpha[r].resize(Columns.Wide);
  }
}

void ResizeRowDirect(const TColumns& Columns, const TSourcePair& Source, TDirectStage& Stage, const TResizeRow& Row)
{
  const std::size_t count = Columns.Count();
  for (std::size_t i = HWY_DYNAMIC_DISPATCH(ResizeDirectVector)(Columns, Source, Stage, Row); i < count; ++i)
    PlainPixel(Columns, i, Row, [&](std::size_t c) {
      auto at = [&](std::size_t r, std::size_t side) {
        const std::size_t x = std::size_t(Columns.Index[side][i]);
        return float(c == 3 ? Source.Alpha[r][x] : Source.Colour[r][3 * x + c]);
      };
      return std::array<float, 4>{at(0, 0), at(1, 0), at(0, 1), at(1, 1)};
    });
}

} // namespace Quorex::ResizeRows
#endif // HWY_ONCE
