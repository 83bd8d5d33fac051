#include "Quorex.Imaging.PngHelper.hpp"

#include <Win.Gdi.Guards.hpp>
#include <Win.Gdi.hpp>
#include <Win.Icon.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace Quorex {

using namespace Vcl;

namespace {

const char* const kUnit = "Quorex.Imaging.PngHelper";

// Integer division rounded half to even, for non-negative operands.
int RoundDiv(int Numerator, int Denominator)
{
  int q = Numerator / Denominator;
  int twiceRemainder = 2 * (Numerator % Denominator);
  if (twiceRemainder > Denominator || (twiceRemainder == Denominator && (q & 1)))
    ++q;
  return q;
}

bool HasAlphaPlane(const TPngImage& Png)
{
  return Png.Header().ColorType == COLOR_RGBALPHA || Png.Header().ColorType == COLOR_GRAYSCALEALPHA;
}

bool IsRGBFamily(const TPngImage& Png)
{
  return Png.Header().ColorType == COLOR_RGB || Png.Header().ColorType == COLOR_RGBALPHA;
}

// The single transparent colour of an image without alpha, if it has one.
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

std::unique_ptr<TPngImage> BlankRGBA(int Width, int Height)
{
  auto png = std::make_unique<TPngImage>();
  png->CreateBlank(COLOR_RGBALPHA, 8, Width, Height);
  return png;
}

void CheckRegion(const TPngImage& Source, const TRect& Rect)
{
  if (Rect.IsEmpty())
    throw EInvalidOperation("The region to copy is empty");
  if (Rect.Left < 0 || Rect.Top < 0 || Rect.Right > Source.Width() || Rect.Bottom > Source.Height())
    throw EInvalidOperation("The region to copy lies outside the source image");
}

void CopyRegionRows(TPngImage& Self, const TPngImage& Source, const TRect& Rect)
{
  const size_t w = size_t(Rect.Width());
  for (int y = 0; y < Rect.Height(); ++y) {
    std::memcpy(Self.Scanline(y), Source.Scanline(Rect.Top + y) + size_t(Rect.Left) * 3, w * 3);
    std::memcpy(Self.AlphaScanline(y), Source.AlphaScanline(Rect.Top + y) + Rect.Left, w);
  }
}

// Round-half-to-even of v in the default rounding mode, without a library call.
inline int RoundFloat(float v)
{
#if defined(__SSE__)
  return _mm_cvtss_si32(_mm_set_ss(v));
#else
  return int(std::nearbyint(v));
#endif
}

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

// Grey levels of every weighted sum 30 R + 59 G + 11 B (0 .. 25500).
const std::array<Byte, 25501>& GrayOfSum()
{
  static const auto table = [] {
    std::array<Byte, 25501> t{};
    for (int sum = 0; sum <= 25500; ++sum)
      t[size_t(sum)] = Byte(RoundDiv(sum, 100));
    return t;
  }();
  return table;
}

// The two rounded parts of the grey transform at one intensity.
struct TGrayTables {
  std::array<Byte, 256> Channel; // Round(c / 256 * (255 - v))
  std::array<Byte, 256> Gray;    // Round(gray / 256 * (v + 1))
  explicit TGrayTables(Byte Intensity)
  {
    for (int i = 0; i < 256; ++i) {
      Channel[size_t(i)] = PngMath::ScaleBy256(i, 255 - Intensity);
      Gray[size_t(i)] = PngMath::ScaleBy256(i, Intensity + 1);
    }
  }
  Byte Apply(Byte Channel_, Byte GrayPart) const { return Byte(std::min(Channel[Channel_] + GrayPart, 255)); }
};

// A byte mapping applied to every alpha byte.
template <class F>
void MapAlpha(TPngImage& Png, F Map)
{
  std::array<Byte, 256> table;
  for (int i = 0; i < 256; ++i)
    table[size_t(i)] = Map(i);
  for (int y = 0; y < Png.Height(); ++y) {
    Byte* alpha = Png.AlphaScanline(y);
    for (int x = 0; x < Png.Width(); ++x)
      alpha[x] = table[alpha[x]];
  }
}

// Bilinear resampling: where a destination coordinate samples the source.
struct TSample {
  int Index[2];    // the two source positions (the second held inside)
  float Weight[2]; // 1 - fraction, fraction
};

TSample SampleAt(int Destination, float Scale, int SourceSize)
{
  const float f = float(Destination) / Scale;
  const int i = int(f);
  const float w1 = f - float(i);
  return {{std::min(i, SourceSize - 1), std::min(i + 1, SourceSize - 1)}, {1.0f - w1, w1}};
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

// ---- arithmetic ------------------------------------------------------------------

namespace PngMath {

Byte ScaleBy256(int Value, int Multiplier)
{
  return Byte(RoundDiv(Value * Multiplier, 256));
}

Byte GrayLevel(Byte Red, Byte Green, Byte Blue)
{
  // 0.3, 0.59 and 0.11 in hundredths keep the sum exact.
  return GrayOfSum()[size_t(30 * Red + 59 * Green + 11 * Blue)];
}

void Grayscale(Byte& Red, Byte& Green, Byte& Blue, Byte Intensity)
{
  const TGrayTables tables(Intensity);
  const Byte grayPart = tables.Gray[GrayLevel(Red, Green, Blue)];
  Red = tables.Apply(Red, grayPart);
  Green = tables.Apply(Green, grayPart);
  Blue = tables.Apply(Blue, grayPart);
}

void GrayscaleImage(TPngImage& Png, Byte Intensity)
{
  const Byte type = Png.Header().ColorType;
  if (type == COLOR_GRAYSCALE || type == COLOR_GRAYSCALEALPHA)
    return; // already grey
  if (type == COLOR_PALETTE) {
    std::vector<TPngPaletteEntry> palette = Png.Palette();
    for (auto& e : palette)
      Grayscale(e.Red, e.Green, e.Blue, Intensity);
    Png.SetPalette(palette);
    return;
  }
  const TGrayTables tables(Intensity);
  const Byte* grayOfSum = GrayOfSum().data();
  // At full intensity the channel part is 0 and the grey part the grey
  // itself: every channel becomes the grey.
  const bool grayOnly = Intensity == 255;
  const size_t width = size_t(Png.Width());
  for (int y = 0; y < Png.Height(); ++y) {
    Byte* p = Png.Scanline(y);
    Byte* const end = p + width * 3;
    if (grayOnly) {
      for (; p != end; p += 3)
        p[0] = p[1] = p[2] = grayOfSum[30 * p[2] + 59 * p[1] + 11 * p[0]];
      continue;
    }
    for (; p != end; p += 3) {
      const Byte part = tables.Gray[grayOfSum[30 * p[2] + 59 * p[1] + 11 * p[0]]];
      p[0] = tables.Apply(p[0], part);
      p[1] = tables.Apply(p[1], part);
      p[2] = tables.Apply(p[2], part);
    }
  }
}

} // namespace PngMath

// ---- the helper --------------------------------------------------------------------

namespace TPngImageHelper {

std::unique_ptr<TPngImage> Create(const TPngImage* Source, const TRect& Rect)
{
  QX_ASSERT(Source != nullptr, kUnit);
  RequireRGBA8(*Source);
  CheckRegion(*Source, Rect);
  auto png = BlankRGBA(Rect.Width(), Rect.Height());
  CopyFrom(*png, Source, Rect);
  return png;
}

std::unique_ptr<TPngImage> Create(const TPngImage* Source, int Column, int Row, int ColumnCount, int RowCount)
{
  QX_ASSERT(Source != nullptr, kUnit);
  return Create(Source, FrameRect(*Source, Column, Row, ColumnCount, RowCount));
}

TRect FrameRect(const TPngImage& Source, int Column, int Row, int ColumnCount, int RowCount)
{
  if (ColumnCount < 1 || RowCount < 1)
    throw EInvalidOperation("The grid needs at least one column and one row");
  if (Column < 0 || Column >= ColumnCount || Row < 0 || Row >= RowCount)
    throw EInvalidOperation("The cell lies outside the grid");
  const int w = Source.Width() / ColumnCount;
  const int h = Source.Height() / RowCount;
  if (w < 1 || h < 1)
    throw EInvalidOperation("The grid's cells are smaller than a pixel");
  return TRect(Column * w, Row * h, (Column + 1) * w, (Row + 1) * h);
}

void CopyFrom(TPngImage& Self, const TPngImage* Source, const TRect& Rect)
{
  QX_ASSERT(Source != nullptr, kUnit);
  RequireRGBA8(*Source);
  CheckRegion(*Source, Rect);
  if (!Self.Empty())
    RequireRGBA8(Self);
  // Copying out of itself must read the pixels as they were.
  std::unique_ptr<TPngImage> snapshot;
  if (Source == &Self) {
    snapshot = std::make_unique<TPngImage>();
    snapshot->Assign(Source);
    Source = snapshot.get();
  }
  if (Self.Empty())
    Self.Assign(Source);
  if (Self.Width() != Rect.Width() || Self.Height() != Rect.Height())
    Self.Resize(Rect.Width(), Rect.Height());
  CopyRegionRows(Self, *Source, Rect);
}

void CopyFrame(TPngImage& Self, const TPngImage* Source, int Column, int Row, int ColumnCount, int RowCount)
{
  QX_ASSERT(Source != nullptr, kUnit);
  CopyFrom(Self, Source, FrameRect(*Source, Column, Row, ColumnCount, RowCount));
}

namespace {

// What importing a bitmap or icon builds: 24-bit colour and an alpha buffer
// that is only used when some pixel turned out transparent.
struct TImport {
  TBitmap Work;
  std::vector<Byte> Alpha;
  bool HasTransparency = false;

  TImport(int Width, int Height) : Alpha(size_t(Width) * size_t(Height), 255)
  {
    Work.SetPixelFormat(pf24bit);
    Work.SetSize(Width, Height);
  }

  void MakeTransparent(int X, int Y)
  {
    Alpha[size_t(Y) * size_t(Work.Width()) + size_t(X)] = 0;
    HasTransparency = true;
  }
};

void ImportBitmap(TImport& Import, TBitmap& Bitmap)
{
  if (!Bitmap.Transparent()) {
    Import.Work.Canvas()->Draw(0, 0, &Bitmap);
    return;
  }
  const int w = Bitmap.Width(), h = Bitmap.Height();
  TColor key = Bitmap.TransparentMode() == tmFixed ? Bitmap.TransparentColor() : Bitmap.Canvas()->Pixels(0, h - 1);
  key = ColorToRGB(key);
  for (int y = 0; y < h; ++y) {
    Byte* row = Import.Work.ScanLine(y);
    for (int x = 0; x < w; ++x) {
      const TColor c = Bitmap.Canvas()->Pixels(x, y);
      if (c == key)
        Import.MakeTransparent(x, y);
      row[x * 3] = Byte(c >> 16);
      row[x * 3 + 1] = Byte(c >> 8);
      row[x * 3 + 2] = Byte(c);
    }
  }
}

void ImportIcon(TImport& Import, TIcon& Icon)
{
  Win::ICONINFO info;
  if (!Win::GetIconInfo(Icon.Handle(), &info))
    return;
  struct TRelease {
    Win::ICONINFO& Info;
    ~TRelease()
    {
      Win::DeleteObject(Info.hbmColor);
      Win::DeleteObject(Info.hbmMask);
    }
  } release{info};
  const int w = std::min(Import.Work.Width(), Win::BitmapWidth(info.hbmColor));
  const int h = std::min(Import.Work.Height(), Win::BitmapHeight(info.hbmColor));
  {
    Win::TMemoryDC source(nullptr, info.hbmColor);
    Win::BitBlt(Import.Work.Canvas()->Handle(), 0, 0, w, h, source.DC(), 0, 0, Win::SRCCOPY);
  }

  const std::uint32_t* mask = Win::BitmapBits(info.hbmMask);
  const std::uint32_t* colour = Win::BitmapBits(info.hbmColor);
  const int maskWidth = Win::BitmapWidth(info.hbmMask), colourWidth = Win::BitmapWidth(info.hbmColor);
  bool anyAlpha = false;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (y < Win::BitmapHeight(info.hbmMask) && x < maskWidth && (mask[y * maskWidth + x] & 0xFFFFFF) != 0)
        Import.MakeTransparent(x, y);
      anyAlpha = anyAlpha || (colour[y * colourWidth + x] >> 24) != 0;
    }
  // Every surface here is 32 bits deep, so an icon's own alpha always counts;
  // an icon without any keeps the alpha its mask gave.
  Import.HasTransparency = true;
  if (!anyAlpha)
    return;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      Import.Alpha[size_t(y) * size_t(Import.Work.Width()) + size_t(x)] = Byte(colour[y * colourWidth + x] >> 24);
}

} // namespace

void AssignGraphic(TPngImage& Self, TGraphic* Graphic)
{
  QX_ASSERT(Graphic != nullptr, kUnit);
  if (auto* png = dynamic_cast<TPngImage*>(Graphic)) {
    Self.Assign(png);
    return;
  }
  TImport import(Graphic->Width(), Graphic->Height());
  if (auto* bitmap = dynamic_cast<TBitmap*>(Graphic))
    ImportBitmap(import, *bitmap);
  else if (auto* icon = dynamic_cast<TIcon*>(Graphic))
    ImportIcon(import, *icon);
  Self.Assign(&import.Work);
  if (!import.HasTransparency || Self.Empty())
    return;
  Self.CreateAlpha();
  for (int y = 0; y < Self.Height(); ++y)
    std::memcpy(Self.AlphaScanline(y), &import.Alpha[size_t(y) * size_t(Self.Width())], size_t(Self.Width()));
}

void AlphaBlend(TPngImage& Self, Byte Value)
{
  TColor key = 0;
  const bool keyed = SingleTransparentColor(Self, key);
  const Byte type = Self.Header().ColorType;
  if (type == COLOR_GRAYSCALE || type == COLOR_PALETTE) {
    ForceAlphaChannel(Self, keyed, key, Value);
    return;
  }
  if (type == COLOR_RGB)
    Self.CreateAlpha();
  MapAlpha(Self, [&](int a) { return PngMath::ScaleBy256(a, Value + 1); });
  if (!keyed)
    return;
  for (int y = 0; y < Self.Height(); ++y) {
    Byte* alpha = Self.AlphaScanline(y);
    for (int x = 0; x < Self.Width(); ++x)
      if (Self.Pixels(x, y) == key)
        alpha[x] = 0;
  }
}

void SetTransparent(TPngImage& Self, Byte Value)
{
  RequireRGBA8(Self);
  MapAlpha(Self, [&](int a) { return Byte(unsigned(a) * Value / 255u); });
}

void ForceAlphaChannel(TPngImage& Png, bool UseTransparentColor, TColor TransparentColor, Byte Alpha)
{
  const TColor key = ColorToRGB(TransparentColor);
  auto result = BlankRGBA(Png.Width(), Png.Height());
  for (int y = 0; y < Png.Height(); ++y) {
    Byte* colour = result->Scanline(y);
    Byte* alpha = result->AlphaScanline(y);
    for (int x = 0; x < Png.Width(); ++x, colour += 3) {
      const TColor c = Png.Pixels(x, y);
      colour[0] = Byte(c >> 16);
      colour[1] = Byte(c >> 8);
      colour[2] = Byte(c);
      alpha[x] = UseTransparentColor && c == key ? 0 : Alpha;
    }
  }
  Png.Assign(result.get());
}

void ConvertToGrayScale(TPngImage& Self)
{
  PngMath::GrayscaleImage(Self, 255);
}

void SmoothResize(TPngImage& Self, int NewWidth, int NewHeight)
{
  const Byte type = Self.Header().ColorType;
  if (type != COLOR_RGB && type != COLOR_RGBALPHA)
    throw Exception("Only COLOR_RGBALPHA and COLOR_RGB formats are supported");
  const int w = Self.Width(), h = Self.Height();
  if (w < 2 || h < 2)
    throw EInvalidOperation("Smooth resizing needs an image of at least 2 x 2 pixels");
  if (NewWidth < 1 || NewHeight < 1)
    throw EInvalidOperation("Smooth resizing needs a size of at least 1 x 1 pixels");
  const bool withAlpha = type == COLOR_RGBALPHA;
  TPngImage result;
  result.CreateBlank(type, 8, NewWidth, NewHeight);

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
  QX_ASSERT(Source != nullptr, kUnit);
  const int w = Self.Width(), h = Self.Height();
  auto result = BlankRGBA(w, h);
  TRowReader selfRows(Self), sourceRows(*Source);
  const auto& reciprocals = Reciprocals();
  const TRect area(Position.X, Position.Y, Position.X + Source->Width(), Position.Y + Source->Height());
  for (int y = 0; y < h; ++y) {
    const Byte* base = selfRows.Read(y);
    const Byte* over = (y >= area.Top && y < area.Bottom) ? sourceRows.Read(y - area.Top) : nullptr;
    Byte* colour = result->Scanline(y);
    Byte* alpha = result->AlphaScanline(y);
    for (int x = 0; x < w; ++x) {
      const Byte* c1 = base + size_t(x) * 4;
      const int a1 = c1[3];
      if (!over || x < area.Left || x >= area.Right) {
        std::memcpy(colour + size_t(x) * 3, c1, 3);
        alpha[x] = Byte(a1);
        continue;
      }
      const Byte* c2 = over + size_t(x - area.Left) * 4;
      const int a2 = 255 - ((255 - c2[3]) * Factor / 255);
      Byte* out = colour + size_t(x) * 3;
      alpha[x] = Byte(a1 + ((255 - a1) * a2 / 255));
      if (a2 == 255 || a2 == 0) {
        std::memcpy(out, a2 ? c2 : c1, 3);
        continue;
      }
      const std::uint64_t inverse = reciprocals[size_t(a1 + a2)];
      for (int ch = 0; ch < 3; ++ch)
        out[ch] = Byte((std::uint64_t(c1[ch] * a1 + c2[ch] * a2) * inverse) >> 32);
    }
  }
  Self.Assign(result.get());
}

void DrawCentered(TPngImage& Self, TCanvas* Canvas, const TRect& Rect)
{
  if (!Canvas)
    return;
  Canvas->Draw(Rect.Left + (Rect.Width() - Self.Width()) / 2, Rect.Top + (Rect.Height() - Self.Height()) / 2,
               &Self);
}

void DrawTransparent(TPngImage& Self, TCanvas* Canvas, const TRect& Rect, Byte Value)
{
  if (!Canvas)
    return;
  TPngImage copy;
  copy.Assign(&Self);
  SetTransparent(copy, Value);
  Canvas->StretchDraw(Rect, &copy);
}

void DrawFrame(TPngImage& Self, TCanvas* Canvas, const TRect& Rect, int Column, int Row, int ColumnCount,
               int RowCount)
{
  if (!Canvas)
    return;
  auto cell = Create(&Self, Column, Row, ColumnCount, RowCount);
  Canvas->StretchDraw(Rect, cell.get());
}

} // namespace TPngImageHelper

} // namespace Quorex
