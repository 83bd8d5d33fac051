#include "Quorex.Imaging.PngHelper.Reference.hpp"

#include <Quorex.Imaging.PngHelper.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace Quorex::TPngImageHelper::Reference {

using namespace Vcl;

namespace {

// One row as 4-byte B, G, R, A pixels, whatever the colour type: the alpha
// plane where there is one, else 0 on the single transparent colour and 255
// elsewhere.
class TRowReader {
public:
  explicit TRowReader(const TPngImage& Png) : FPng(Png), FRow(size_t(Png.Width()) * 4)
  {
    FKeyed = SingleTransparentColor(Png, FKey);
  }

  const Byte* Read(int Y)
  {
    const int w = FPng.Width();
    const Byte* alpha = FPng.AlphaScanline(Y);
    if (IsRGBFamily(FPng))
      ReadRGB(Y, w);
    else
      ReadAny(Y, w);
    for (int x = 0; x < w; ++x)
      FRow[size_t(x) * 4 + 3] = alpha ? alpha[x] : AlphaOfColour(x);
    return FRow.data();
  }

private:
  void ReadRGB(int Y, int W)
  {
    const Byte* src = FPng.Scanline(Y);
    for (int x = 0; x < W; ++x)
      std::memcpy(&FRow[size_t(x) * 4], src + size_t(x) * 3, 3);
  }

  void ReadAny(int Y, int W)
  {
    for (int x = 0; x < W; ++x) {
      TColor c = FPng.Pixels(x, Y);
      Byte* p = &FRow[size_t(x) * 4];
      p[0] = Byte(c >> 16);
      p[1] = Byte(c >> 8);
      p[2] = Byte(c);
    }
  }

  Byte AlphaOfColour(int X) const
  {
    if (!FKeyed)
      return 255;
    const Byte* p = &FRow[size_t(X) * 4];
    TColor c = TColor(p[2]) | (TColor(p[1]) << 8) | (TColor(p[0]) << 16);
    return c == FKey ? 0 : 255;
  }

  const TPngImage& FPng;
  std::vector<Byte> FRow;
  bool FKeyed = false;
  TColor FKey = 0;
};

// ceil(2^32 / d) for d = 1 .. 510: multiplying by it and shifting right by 32
// divides exactly every dividend up to 255 * 510 (the blend's largest).
const std::array<std::uint64_t, 511>& Reciprocals()
{
  static const auto table = [] {
    std::array<std::uint64_t, 511> t{};
    for (std::uint64_t d = 1; d <= 510; ++d)
      t[d] = ((std::uint64_t(1) << 32) + d - 1) / d;
    return t;
  }();
  return table;
}

typedef float TPixel4 __attribute__((vector_size(16))); // blue, green, red, alpha

inline TPixel4 Splat(float v)
{
  return TPixel4{v, v, v, v};
}

// The samples of two source rows that the destination columns read, as
// floats in column order (a row is converted once however often it is read).
class TFloatRows {
public:
  TFloatRows(const TPngImage& Png, bool WithAlpha, const std::vector<TSample>& Columns)
    : FPng(Png), FWithAlpha(WithAlpha), FColumns(Columns)
  {
    for (auto& r : FRows)
      r.resize(Columns.size() * 2);
  }

  // Pixels 2 tx and 2 tx + 1 are the two samples of destination column tx.
  const TPixel4* Row(int Y, int Slot)
  {
    if (FLoaded[Slot] == Y)
      return FRows[Slot].data();
    if (FLoaded[1 - Slot] == Y) {
      std::swap(FRows[0], FRows[1]);
      std::swap(FLoaded[0], FLoaded[1]);
      return FRows[Slot].data();
    }
    const Byte* colour = FPng.Scanline(Y);
    const Byte* alpha = FPng.AlphaScanline(Y);
    TPixel4* out = FRows[Slot].data();
    for (const TSample& c : FColumns)
      for (int i : c.Index) {
        const Byte* p = colour + size_t(i) * 3;
        *out++ = TPixel4{float(p[0]), float(p[1]), float(p[2]), FWithAlpha ? float(alpha[i]) : 0.0f};
      }
    FLoaded[Slot] = Y;
    return FRows[Slot].data();
  }

private:
  const TPngImage& FPng;
  bool FWithAlpha;
  const std::vector<TSample>& FColumns;
  std::vector<TPixel4> FRows[2];
  int FLoaded[2] = {-1, -1};
};

} // namespace

int RoundFloat(float Value)
{
#if defined(__SSE__)
  return _mm_cvtss_si32(_mm_set_ss(Value));
#else
  return int(std::nearbyint(Value));
#endif
}

bool HasAlphaPlane(const TPngImage& Png)
{
  return Png.Header().ColorType == COLOR_RGBALPHA || Png.Header().ColorType == COLOR_GRAYSCALEALPHA;
}

bool IsRGBFamily(const TPngImage& Png)
{
  return Png.Header().ColorType == COLOR_RGB || Png.Header().ColorType == COLOR_RGBALPHA;
}

bool SingleTransparentColor(const TPngImage& Png, TColor& Key)
{
  if (HasAlphaPlane(Png) || Png.TransparencyMode() != ptmBit)
    return false;
  Key = Png.TransparentColor();
  return true;
}

void RequireRGBA8(const TPngImage& Png)
{
  if (Png.Header().BitDepth != 8)
    throw EInvalidOperation("BitDepth <> 8");
  if (Png.Header().ColorType != COLOR_RGBALPHA)
    throw EInvalidOperation("ColorType <> COLOR_RGBALPHA");
}

std::unique_ptr<TPngImage> BlankRGBA(int Width, int Height)
{
  auto png = std::make_unique<TPngImage>();
  png->CreateBlank(COLOR_RGBALPHA, 8, Width, Height);
  return png;
}

bool CheckResize(const TPngImage& Png, int NewWidth, int NewHeight)
{
  const Byte type = Png.Header().ColorType;
  if (type != COLOR_RGB && type != COLOR_RGBALPHA)
    throw Exception("Only COLOR_RGBALPHA and COLOR_RGB formats are supported");
  if (Png.Width() < 2 || Png.Height() < 2)
    throw EInvalidOperation("Smooth resizing needs an image of at least 2 x 2 pixels");
  if (NewWidth < 1 || NewHeight < 1)
    throw EInvalidOperation("Smooth resizing needs a size of at least 1 x 1 pixels");
  return type == COLOR_RGBALPHA;
}

TSample SampleAt(int Destination, float Scale, int SourceSize)
{
  const float f = float(Destination) / Scale;
  const int i = int(f);
  const float w1 = f - float(i);
  return {{std::min(i, SourceSize - 1), std::min(i + 1, SourceSize - 1)}, {1.0f - w1, w1}};
}

void BlendPixel(const Byte* C1, int A1, const Byte* C2, int S, Byte Factor, Byte* Colour, Byte& Alpha)
{
  const int a2 = 255 - ((255 - S) * Factor / 255);
  Alpha = Byte(A1 + ((255 - A1) * a2 / 255));
  if (a2 == 255 || a2 == 0) {
    std::memmove(Colour, a2 ? C2 : C1, 3); // the base may be the output
    return;
  }
  const std::uint64_t inverse = Reciprocals()[size_t(A1 + a2)];
  for (int ch = 0; ch < 3; ++ch)
    Colour[ch] = Byte((std::uint64_t(C1[ch] * A1 + C2[ch] * a2) * inverse) >> 32);
}

void SetTransparent(TPngImage& Self, Byte Value)
{
  RequireRGBA8(Self);
  std::array<Byte, 256> table;
  for (unsigned a = 0; a < 256; ++a)
    table[a] = Byte(a * Value / 255u);
  for (int y = 0; y < Self.Height(); ++y) {
    Byte* alpha = Self.AlphaScanline(y);
    for (int x = 0; x < Self.Width(); ++x)
      alpha[x] = table[alpha[x]];
  }
}

void ConvertToGrayScale(TPngImage& Self)
{
  for (int y = 0; y < Self.Height(); ++y) {
    Byte* p = Self.Scanline(y);
    for (Byte* const end = p + size_t(Self.Width()) * 3; p != end; p += 3)
      p[0] = p[1] = p[2] = PngMath::GrayLevel(p[2], p[1], p[0]);
  }
}

void SmoothResize(TPngImage& Self, int NewWidth, int NewHeight)
{
  const bool withAlpha = CheckResize(Self, NewWidth, NewHeight);
  const int w = Self.Width(), h = Self.Height();
  TPngImage result;
  result.CreateBlank(Self.Header().ColorType, 8, NewWidth, NewHeight);

  // Single precision, step by step: the scale divides by the source size
  // minus one while the destination size is taken whole.
  const float sx = float(NewWidth) / float(w - 1);
  const float sy = float(NewHeight) / float(h - 1);
  std::vector<TSample> columns(static_cast<size_t>(NewWidth));
  for (int tx = 0; tx < NewWidth; ++tx)
    columns[size_t(tx)] = SampleAt(tx, sx, w);
  TFloatRows rows(Self, withAlpha, columns);
  for (int ty = 0; ty < NewHeight; ++ty) {
    const TSample row = SampleAt(ty, sy, h);
    const TPixel4* top = rows.Row(row.Index[0], 0);
    const TPixel4* bottom = rows.Row(row.Index[1], 1);
    Byte* out = result.Scanline(ty);
    Byte* outAlpha = result.AlphaScanline(ty);
    for (int tx = 0; tx < NewWidth; ++tx) {
      const TSample& col = columns[size_t(tx)];
      // The four channels side by side: each lane does the scalar sum in the
      // same order (dx outer, dy inner), so the result is the same.
      TPixel4 total = {0, 0, 0, 0};
      const size_t at = size_t(tx) * 2;
      total = total + top[at] * Splat(col.Weight[0] * row.Weight[0]);
      total = total + bottom[at] * Splat(col.Weight[0] * row.Weight[1]);
      total = total + top[at + 1] * Splat(col.Weight[1] * row.Weight[0]);
      total = total + bottom[at + 1] * Splat(col.Weight[1] * row.Weight[1]);
      Byte* p = out + size_t(tx) * 3;
      for (int ch = 0; ch < 3; ++ch)
        p[ch] = Byte(std::clamp(RoundFloat(total[ch]), 0, 255));
      if (withAlpha)
        outAlpha[tx] = Byte(std::clamp(RoundFloat(total[3]), 0, 255));
    }
  }
  Self.Assign(&result);
}

void DrawPng(TPngImage& Self, const TPngImage* Source, TPoint Position, Byte Factor)
{
  const int w = Self.Width(), h = Self.Height();
  auto result = BlankRGBA(w, h);
  TRowReader selfRows(Self), sourceRows(*Source);
  // Counted in 64 bits: the far edges of a source placed far off must not
  // overflow.
  const std::int64_t left = Position.X, top = Position.Y;
  const std::int64_t right = left + Source->Width(), bottom = top + Source->Height();
  for (int y = 0; y < h; ++y) {
    const Byte* base = selfRows.Read(y);
    const Byte* over = (y >= top && y < bottom) ? sourceRows.Read(int(y - top)) : nullptr;
    Byte* colour = result->Scanline(y);
    Byte* alpha = result->AlphaScanline(y);
    for (int x = 0; x < w; ++x) {
      const Byte* c1 = base + size_t(x) * 4;
      if (!over || x < left || x >= right) {
        std::memcpy(colour + size_t(x) * 3, c1, 3);
        alpha[x] = c1[3];
        continue;
      }
      const Byte* c2 = over + size_t(x - left) * 4;
      BlendPixel(c1, c1[3], c2, c2[3], Factor, colour + size_t(x) * 3, alpha[x]);
    }
  }
  Self.Assign(result.get());
}

} // namespace Quorex::TPngImageHelper::Reference
