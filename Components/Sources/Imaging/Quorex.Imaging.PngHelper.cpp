#include "Quorex.Imaging.PngHelper.hpp"
#include "Quorex.Imaging.PixelRows.hpp"
#include "Quorex.Imaging.PngHelper.Reference.hpp"
#include "Quorex.Imaging.ResizeRows.hpp"

#include <Win.Gdi.Guards.hpp>
#include <Win.Gdi.hpp>
#include <Win.Icon.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace Quorex {

using namespace Vcl;
using namespace TPngImageHelper::Reference;

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

bool IsRGB8(const TPngImage& Png)
{
  return IsRGBFamily(Png) && Png.Header().BitDepth == 8;
}

// The alpha the pixels of a row count with: the alpha plane where there is
// one, else 0 on the single transparent colour and 255 elsewhere.
class TAlphaRows {
public:
  explicit TAlphaRows(const TPngImage& Png) : FPng(Png)
  {
    FKeyed = SingleTransparentColor(Png, FKey);
    if (!HasAlphaPlane(Png))
      FRow.assign(size_t(Png.Width()), 255);
  }

  const Byte* Row(int Y)
  {
    if (const Byte* alpha = FPng.AlphaScanline(Y))
      return alpha;
    if (FKeyed) {
      const Byte* p = FPng.Scanline(Y);
      for (size_t x = 0; x < FRow.size(); ++x, p += 3)
        FRow[x] = (TColor(p[2]) | (TColor(p[1]) << 8) | (TColor(p[0]) << 16)) == FKey ? 0 : 255;
    }
    return FRow.data();
  }

private:
  const TPngImage& FPng;
  std::vector<Byte> FRow;
  bool FKeyed = false;
  TColor FKey = 0;
};

// Two source rows sampled at the destination columns, a ring: a row is
// sampled once however often it is read, and growing rows reuse the lower
// row as the next upper one.
class TSampledRows {
public:
  TSampledRows(const TPngImage& Png, bool WithAlpha, const ResizeRows::TColumns& Columns)
    : FPng(Png), FWithAlpha(WithAlpha), FColumns(Columns)
  {
    for (auto& planes : FPlanes)
      planes.resize(ResizeRows::kPlanes * Columns.Stride);
  }

  // Whether the planes hold both rows of a step already.
  bool Holds(int Top, int Bottom) const { return FLoaded[0] == Top && (Top == Bottom || FLoaded[1] == Bottom); }

  // The planes of the top and the bottom row of a step.
  std::pair<const float*, const float*> Rows(int Top, int Bottom)
  {
    if (FLoaded[0] != Top && FLoaded[1] == Top) {
      std::swap(FPlanes[0], FPlanes[1]);
      std::swap(FLoaded[0], FLoaded[1]);
    }
    const int wanted[2] = {Top, Bottom};
    ResizeRows::TSourceRow missing[2];
    std::size_t count = 0;
    for (int slot = 0; slot < (Top == Bottom ? 1 : 2); ++slot)
      if (FLoaded[slot] != wanted[slot]) {
        const int y = wanted[slot];
        missing[count++] = {FPng.Scanline(y), FWithAlpha ? FPng.AlphaScanline(y) : nullptr, FPlanes[slot].data()};
        FLoaded[slot] = y;
      }
    ResizeRows::SampleRows(missing, count, FColumns);
    return {FPlanes[0].data(), FPlanes[Top == Bottom ? 0 : 1].data()};
  }

private:
  const TPngImage& FPng;
  bool FWithAlpha;
  const ResizeRows::TColumns& FColumns;
  std::vector<float> FPlanes[2];
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
  const size_t width = size_t(Png.Width());
  if (Intensity == 255) {
    // At full intensity the channel part is 0 and the grey part the grey
    // itself: every channel becomes the grey.
    for (int y = 0; y < Png.Height(); ++y)
      PixelRows::GrayRow(Png.Scanline(y), width);
    return;
  }
  const TGrayTables tables(Intensity);
  const Byte* grayOfSum = GrayOfSum().data();
  for (int y = 0; y < Png.Height(); ++y) {
    Byte* p = Png.Scanline(y);
    for (Byte* const end = p + width * 3; p != end; p += 3) {
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
  for (int y = 0; y < Self.Height(); ++y)
    PixelRows::ScaleAlphaRow(Self.AlphaScanline(y), size_t(Self.Width()), Value);
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
  const bool withAlpha = CheckResize(Self, NewWidth, NewHeight);
  const int w = Self.Width(), h = Self.Height();
  TPngImage result;
  result.CreateForOverwrite(Self.Header().ColorType, 8, NewWidth, NewHeight);

  // Single precision, step by step: the scale divides by the source size
  // minus one while the destination size is taken whole.
  const float sx = float(NewWidth) / float(w - 1);
  const float sy = float(NewHeight) / float(h - 1);
  const ResizeRows::TColumns columns(NewWidth, sx, w);
  TSampledRows rows(Self, withAlpha, columns);
  ResizeRows::TDirectStage stage(columns);
  TSample sample = SampleAt(0, sy, h);
  for (int ty = 0; ty < NewHeight; ++ty) {
    const TSample next = SampleAt(ty + 1, sy, h);
    const auto [top, bottom] = sample.Index;
    const ResizeRows::TResizeRow row{sample.Weight[0], sample.Weight[1], result.Scanline(ty),
                                     result.AlphaScanline(ty)};
    // Rows that the next step reads too are sampled once into planes; the
    // others are read where they lie.
    if (rows.Holds(top, bottom) || (ty + 1 < NewHeight && next.Index[0] <= bottom)) {
      const auto [topPlanes, bottomPlanes] = rows.Rows(top, bottom);
      ResizeRows::ResizeRow(columns, topPlanes, bottomPlanes, row);
    } else {
      const TPngImage& source = Self;
      ResizeRows::ResizeRowDirect(columns,
                                  {{source.Scanline(top), source.Scanline(bottom)},
                                   {source.AlphaScanline(top), source.AlphaScanline(bottom)}},
                                  stage, row);
    }
    sample = next;
  }
  Self.Assign(std::move(result));
}

namespace {

// The columns or rows of an image Limit wide or high that a source Size wide
// or high placed at From covers, as [first, last).
std::pair<int, int> Covered(int From, int Size, int Limit)
{
  return {int(std::clamp<std::int64_t>(From, 0, Limit)),
          int(std::clamp<std::int64_t>(std::int64_t(From) + Size, 0, Limit))};
}

// Blends Source over the part of Base it covers, into the same pixels of Out
// (which may be Base itself: each pixel is read before it is written).
void BlendCovered(const TPngImage& Base, TAlphaRows& BaseAlpha, const TPngImage& Source, TPoint Position,
                  Byte Factor, TPngImage& Out)
{
  const auto [left, right] = Covered(Position.X, Source.Width(), Base.Width());
  const auto [top, bottom] = Covered(Position.Y, Source.Height(), Base.Height());
  if (left >= right)
    return;
  TAlphaRows sourceAlpha(Source);
  for (int y = top; y < bottom; ++y) {
    const int sourceY = y - Position.Y, sourceX = left - Position.X;
    const PixelRows::TBlendRows rows{Base.Scanline(y) + size_t(left) * 3,
                                     BaseAlpha.Row(y) + left,
                                     Source.Scanline(sourceY) + size_t(sourceX) * 3,
                                     sourceAlpha.Row(sourceY) + sourceX,
                                     Out.Scanline(y) + size_t(left) * 3,
                                     Out.AlphaScanline(y) + left};
    PixelRows::BlendRow(rows, size_t(right - left), Factor);
  }
}

// An image with an alpha plane is drawn on where it lies: the pixels the
// source leaves alone are neither copied nor cleared first. It ends as a
// newly made image would: fresh settings, no interlacing and no gamma.
void DrawInPlace(TPngImage& Self, const TPngImage& Source, TPoint Position, Byte Factor)
{
  TAlphaRows selfAlpha(Self);
  BlendCovered(Self, selfAlpha, Source, Position, Factor, Self);
  const TPngImage fresh;
  Self.SetCompressionLevel(fresh.CompressionLevel());
  Self.SetFilters(fresh.Filters());
  Self.SetInterlaceMethod(imNone);
  Self.SetGamma(0); // and tells the image's users that it changed
}

} // namespace

void DrawPng(TPngImage& Self, const TPngImage* Source, TPoint Position, Byte Factor)
{
  QX_ASSERT(Source != nullptr, kUnit);
  if (!IsRGB8(Self) || !IsRGB8(*Source)) {
    Reference::DrawPng(Self, Source, Position, Factor);
    return;
  }
  if (HasAlphaPlane(Self)) {
    // Drawn onto itself, the source is read as it was.
    TPngImage snapshot;
    if (Source == &Self)
      snapshot.Assign(Source);
    DrawInPlace(Self, Source == &Self ? snapshot : *Source, Position, Factor);
    return;
  }
  const int w = Self.Width(), h = Self.Height();
  TPngImage result;
  result.CreateForOverwrite(COLOR_RGBALPHA, 8, w, h);
  const TPngImage& base = Self;
  TAlphaRows selfAlpha(base);
  for (int y = 0; y < h; ++y) {
    std::memcpy(result.Scanline(y), base.Scanline(y), size_t(w) * 3);
    std::memcpy(result.AlphaScanline(y), selfAlpha.Row(y), size_t(w));
  }
  BlendCovered(base, selfAlpha, *Source, Position, Factor, result);
  Self.Assign(std::move(result));
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
