// The scaler's arithmetic. The file is compiled once per instruction set by
// Highway's foreach_target (the vector rows), the plain part once.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "Win.Wincodec.Scale.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <hwy/highway.h>

#include "Internal/Win.Wincodec.Internal.hpp"

HWY_BEFORE_NAMESPACE();
namespace Win::Wincodec::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
// One lane is no vector: the plain code does the whole image.
bool HasVectorRows()
{
  return false;
}
void PremultiplyRowVector(const TRgba16*, std::size_t, float*) {}
void ColumnsRowVector(const float*, const std::uint32_t*, const std::uint32_t*, const float*, std::size_t, float*) {}
void AccumulateRowVector(const float*, float, std::size_t, float*) {}
void StraightRowVector(const float*, std::size_t, TRgba16*) {}
#else
// A pixel is one vector of its four channels, in the order the plain code
// keeps them, and every lane takes the plain code's operations in its order
// (no fused multiply-add), so the results are the same to the bit.
using DPixel = hn::FixedTag<float, 4>;

bool HasVectorRows()
{
  return true;
}

hn::Mask<DPixel> ColourLanes()
{
  return hn::FirstN(DPixel(), 3);
}

void PremultiplyRowVector(const TRgba16* In, std::size_t Count, float* Out)
{
  const DPixel d;
  const hn::Rebind<std::uint16_t, DPixel> d16;
  const hn::Rebind<std::int32_t, DPixel> d32;
  const auto max = hn::Set(d, 65535.0f);
  const auto colour = ColourLanes();
  for (std::size_t i = 0; i < Count; ++i) {
    const auto v = hn::ConvertTo(d, hn::PromoteTo(d32, hn::LoadU(d16, &In[i].R)));
    const auto alpha = hn::Div(hn::Broadcast<3>(v), max);
    hn::StoreU(hn::IfThenElse(colour, hn::Mul(v, alpha), v), d, Out + 4 * i);
  }
}

// Output pixel x sums the taps Starts[x] .. Starts[x + 1] - 1.
void ColumnsRowVector(const float* In, const std::uint32_t* Starts, const std::uint32_t* Index, const float* Weight,
                      std::size_t Width, float* Out)
{
  const DPixel d;
  for (std::size_t x = 0; x < Width; ++x) {
    auto sum = hn::Zero(d);
    for (std::uint32_t t = Starts[x]; t < Starts[x + 1]; ++t)
      sum = hn::Add(sum, hn::Mul(hn::LoadU(d, In + 4 * std::size_t(Index[t])), hn::Set(d, Weight[t])));
    hn::StoreU(sum, d, Out + 4 * x);
  }
}

void AccumulateRowVector(const float* In, float Weight, std::size_t Count, float* Out)
{
  const DPixel d;
  const auto weight = hn::Set(d, Weight);
  for (std::size_t i = 0; i < 4 * Count; i += 4)
    hn::StoreU(hn::Add(hn::LoadU(d, Out + i), hn::Mul(hn::LoadU(d, In + i), weight)), d, Out + i);
}

void StraightRowVector(const float* In, std::size_t Count, TRgba16* Out)
{
  const DPixel d;
  const hn::Rebind<std::int32_t, DPixel> d32;
  const hn::Rebind<std::uint16_t, DPixel> d16;
  const auto zero = hn::Zero(d), max = hn::Set(d, 65535.0f);
  const auto colour = ColourLanes();
  for (std::size_t i = 0; i < Count; ++i) {
    const auto v = hn::LoadU(d, In + 4 * i);
    const auto alpha = hn::Min(hn::Max(hn::Broadcast<3>(v), zero), max);
    const auto scaled = hn::Mul(hn::Min(hn::Max(v, zero), alpha), hn::Div(max, alpha));
    const auto words = hn::Round(hn::Min(hn::Max(hn::IfThenElse(colour, scaled, alpha), zero), max));
    // A pixel whose alpha rounds to 0 is transparent black (its colour lanes
    // divided by 0 are not used).
    const auto kept = hn::IfThenZeroElse(hn::Eq(hn::Broadcast<3>(words), zero), words);
    hn::StoreU(hn::DemoteTo(d16, hn::ConvertTo(d32, kept)), d16, &Out[i].R);
  }
}
#endif

} // namespace Win::Wincodec::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include <algorithm>
#include <cmath>

namespace Win::Wincodec {

HWY_EXPORT(HasVectorRows);
HWY_EXPORT(PremultiplyRowVector);
HWY_EXPORT(ColumnsRowVector);
HWY_EXPORT(AccumulateRowVector);
HWY_EXPORT(StraightRowVector);

namespace {

struct TTap {
  UINT Index;
  float Weight;
};

// For each output coordinate, the source coordinates it reads and their
// weights (summing to 1).
using TTaps = std::vector<std::vector<TTap>>;

UINT Clamped(long long Index, UINT Size)
{
  return UINT(std::clamp<long long>(Index, 0, (long long)Size - 1));
}

void AddTap(std::vector<TTap>& Taps, UINT Index, float Weight)
{
  for (TTap& tap : Taps)
    if (tap.Index == Index) {
      tap.Weight += Weight;
      return;
    }
  Taps.push_back({Index, Weight});
}

float Cubic(double x)
{
  // Catmull-Rom (a = -0.5).
  x = std::fabs(x);
  if (x < 1)
    return float(1.5 * x * x * x - 2.5 * x * x + 1);
  if (x < 2)
    return float(-0.5 * x * x * x + 2.5 * x * x - 4 * x + 2);
  return 0;
}

std::vector<TTap> KernelTaps(UINT Out, UINT From, UINT To, WICBitmapInterpolationMode Mode)
{
  const double scale = double(From) / To;
  const double center = (Out + 0.5) * scale - 0.5;
  std::vector<TTap> taps;
  if (Mode == WICBitmapInterpolationModeNearestNeighbor) {
    taps.push_back({Clamped((long long)std::floor((Out + 0.5) * scale), From), 1});
    return taps;
  }
  if (Mode == WICBitmapInterpolationModeLinear) {
    const double base = std::floor(center);
    const float t = float(center - base);
    AddTap(taps, Clamped((long long)base, From), 1 - t);
    AddTap(taps, Clamped((long long)base + 1, From), t);
    return taps;
  }
  const double base = std::floor(center);
  for (int k = -1; k <= 2; ++k)
    AddTap(taps, Clamped((long long)base + k, From), Cubic(center - (base + k)));
  return taps;
}

// Each output pixel is the mean of the source area it covers.
std::vector<TTap> AreaTaps(UINT Out, UINT From, UINT To)
{
  const double scale = double(From) / To;
  const double start = Out * scale, end = (Out + 1) * scale;
  std::vector<TTap> taps;
  for (UINT i = UINT(start); i < From && i < end; ++i) {
    const double covered = std::min<double>(end, i + 1) - std::max<double>(start, i);
    if (covered > 0)
      taps.push_back({i, float(covered / scale)});
  }
  return taps;
}

TTaps Taps(UINT From, UINT To, WICBitmapInterpolationMode Mode)
{
  TTaps taps(To);
  for (UINT i = 0; i < To; ++i)
    taps[i] = Mode == WICBitmapInterpolationModeFant ? AreaTaps(i, From, To) : KernelTaps(i, From, To, Mode);
  return taps;
}

struct TPremultiplied {
  float R = 0, G = 0, B = 0, A = 0;
};

TPremultiplied Premultiplied(const TRgba16& p)
{
  const float a = p.A / 65535.0f;
  return {p.R * a, p.G * a, p.B * a, float(p.A)};
}

std::uint16_t ToWord(float v)
{
  return std::uint16_t(std::nearbyint(std::clamp(v, 0.0f, 65535.0f)));
}

TRgba16 Straight(const TPremultiplied& p)
{
  const std::uint16_t a = ToWord(p.A);
  if (a == 0)
    return {};
  const float scale = 65535.0f / p.A;
  return {ToWord(p.R * scale), ToWord(p.G * scale), ToWord(p.B * scale), a};
}

// The column taps one after the other, with where each column's begin.
struct TFlatTaps {
  explicit TFlatTaps(const TTaps& Taps)
  {
    Starts.push_back(0);
    for (const std::vector<TTap>& column : Taps) {
      for (const TTap& tap : column) {
        Index.push_back(tap.Index);
        Weight.push_back(tap.Weight);
      }
      Starts.push_back(std::uint32_t(Index.size()));
    }
  }
  std::vector<std::uint32_t> Starts, Index;
  std::vector<float> Weight;
};

// What the plain code computes, by rows of vectors; source rows that no
// output row reads are left out.
std::vector<TRgba16> ResampleRows(const std::vector<TRgba16>& Source, UINT SourceWidth, UINT SourceHeight, UINT Width,
                                  UINT Height, WICBitmapInterpolationMode Mode)
{
  const TFlatTaps columns(Taps(SourceWidth, Width, Mode));
  const TTaps rows = Taps(SourceHeight, Height, Mode);
  std::vector<bool> read(SourceHeight);
  for (const std::vector<TTap>& row : rows)
    for (const TTap& tap : row)
      read[tap.Index] = true;
  std::vector<float> premultiplied(std::size_t(SourceWidth) * 4);
  std::vector<float> across(std::size_t(Width) * 4 * SourceHeight);
  for (UINT y = 0; y < SourceHeight; ++y) {
    if (!read[y])
      continue;
    HWY_DYNAMIC_DISPATCH(PremultiplyRowVector)(&Source[std::size_t(y) * SourceWidth], SourceWidth,
                                               premultiplied.data());
    HWY_DYNAMIC_DISPATCH(ColumnsRowVector)(premultiplied.data(), columns.Starts.data(), columns.Index.data(),
                                           columns.Weight.data(), Width, &across[std::size_t(y) * Width * 4]);
  }
  std::vector<TRgba16> result(std::size_t(Width) * Height);
  std::vector<float> row(std::size_t(Width) * 4);
  for (UINT y = 0; y < Height; ++y) {
    std::fill(row.begin(), row.end(), 0.0f);
    for (const TTap& tap : rows[y])
      HWY_DYNAMIC_DISPATCH(AccumulateRowVector)(&across[std::size_t(tap.Index) * Width * 4], tap.Weight, Width,
                                                row.data());
    HWY_DYNAMIC_DISPATCH(StraightRowVector)(row.data(), Width, &result[std::size_t(y) * Width]);
  }
  return result;
}

} // namespace

std::vector<TRgba16> Resample(const std::vector<TRgba16>& Source, UINT SourceWidth, UINT SourceHeight, UINT Width,
                              UINT Height, WICBitmapInterpolationMode Mode)
{
  if (!HWY_DYNAMIC_DISPATCH(HasVectorRows)())
    return ResampleReference(Source, SourceWidth, SourceHeight, Width, Height, Mode);
  return ResampleRows(Source, SourceWidth, SourceHeight, Width, Height, Mode);
}

std::vector<TRgba16> ResampleReference(const std::vector<TRgba16>& Source, UINT SourceWidth, UINT SourceHeight,
                                       UINT Width, UINT Height, WICBitmapInterpolationMode Mode)
{
  const TTaps columns = Taps(SourceWidth, Width, Mode), rows = Taps(SourceHeight, Height, Mode);
  std::vector<TPremultiplied> source(Source.size());
  std::transform(Source.begin(), Source.end(), source.begin(), Premultiplied);
  std::vector<TPremultiplied> across(std::size_t(Width) * SourceHeight);
  for (UINT y = 0; y < SourceHeight; ++y) {
    const TPremultiplied* in = &source[std::size_t(y) * SourceWidth];
    TPremultiplied* out = &across[std::size_t(y) * Width];
    for (UINT x = 0; x < Width; ++x)
      for (const TTap& tap : columns[x]) {
        out[x].R += in[tap.Index].R * tap.Weight;
        out[x].G += in[tap.Index].G * tap.Weight;
        out[x].B += in[tap.Index].B * tap.Weight;
        out[x].A += in[tap.Index].A * tap.Weight;
      }
  }
  std::vector<TRgba16> result(std::size_t(Width) * Height);
  std::vector<TPremultiplied> row(Width);
  for (UINT y = 0; y < Height; ++y) {
    std::fill(row.begin(), row.end(), TPremultiplied{});
    for (const TTap& tap : rows[y]) {
      const TPremultiplied* in = &across[std::size_t(tap.Index) * Width];
      for (UINT x = 0; x < Width; ++x) {
        row[x].R += in[x].R * tap.Weight;
        row[x].G += in[x].G * tap.Weight;
        row[x].B += in[x].B * tap.Weight;
        row[x].A += in[x].A * tap.Weight;
      }
    }
    for (UINT x = 0; x < Width; ++x) {
      // Cubic overshoot: a colour can be no more than its alpha.
      TPremultiplied p = row[x];
      p.A = std::clamp(p.A, 0.0f, 65535.0f);
      p.R = std::clamp(p.R, 0.0f, p.A);
      p.G = std::clamp(p.G, 0.0f, p.A);
      p.B = std::clamp(p.B, 0.0f, p.A);
      result[std::size_t(y) * Width + x] = Straight(p);
    }
  }
  return result;
}

} // namespace Win::Wincodec
#endif // HWY_ONCE
