#include "Internal/Win.Wincodec.Internal.hpp"

#include <algorithm>
#include <cmath>

namespace Win::Wincodec {

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

} // namespace

std::vector<TRgba16> Resample(const std::vector<TRgba16>& Source, UINT SourceWidth, UINT SourceHeight, UINT Width,
                              UINT Height, WICBitmapInterpolationMode Mode)
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
