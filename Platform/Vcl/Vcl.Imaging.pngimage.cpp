#include "Vcl.Imaging.pngimage.hpp"

#include "Vcl.Imaging.pngimage.Codec.hpp"

#include <Win.Gdi.Guards.hpp>

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace Vcl {

namespace {

// ---- samples -------------------------------------------------------------------------------

bool HasColour(Byte colorType) { return colorType == COLOR_RGB || colorType == COLOR_RGBALPHA; }
bool HasAlphaPlane(Byte colorType) { return colorType == COLOR_GRAYSCALEALPHA || colorType == COLOR_RGBALPHA; }
Integer BitsPerPixel(const TChunkIHDR& h) { return HasColour(h.ColorType) ? 24 : h.BitDepth; }
Integer RowBytesOf(const TChunkIHDR& h) { return Integer((Int64(h.Width) * BitsPerPixel(h) + 7) / 8); }
unsigned MaxSample(Byte bitDepth) { return (1u << bitDepth) - 1; }
using PngCodec::GetSample;
using PngCodec::SetSample;

Byte GreyTo8(unsigned sample, Byte bitDepth) { return Byte(sample * 255 / MaxSample(bitDepth)); }
unsigned GreyFrom8(unsigned grey, Byte bitDepth) { return (grey * MaxSample(bitDepth) + 127) / 255; }

// ---- colours -------------------------------------------------------------------------------

Byte RedOf(TColor c) { return Byte(c); }
Byte GreenOf(TColor c) { return Byte(c >> 8); }
Byte BlueOf(TColor c) { return Byte(c >> 16); }
TColor MakeColour(Byte r, Byte g, Byte b) { return TColor(r | (g << 8) | (b << 16)); }
Byte Luma(TColor c) { return Byte((299 * RedOf(c) + 587 * GreenOf(c) + 114 * BlueOf(c) + 500) / 1000); }
TColor EntryColour(const TPngPaletteEntry& e) { return MakeColour(e.Red, e.Green, e.Blue); }

size_t NearestEntry(const std::vector<TPngPaletteEntry>& palette, TColor c)
{
  size_t best = 0;
  int bestDistance = std::numeric_limits<int>::max();
  for (size_t i = 0; i < palette.size(); ++i) {
    int dr = palette[i].Red - RedOf(c), dg = palette[i].Green - GreenOf(c), db = palette[i].Blue - BlueOf(c);
    int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

// ---- validation ----------------------------------------------------------------------------

bool ValidFormat(Byte colorType, Byte bitDepth)
{
  switch (colorType) {
  case COLOR_GRAYSCALE: return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
  case COLOR_PALETTE: return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
  case COLOR_RGB:
  case COLOR_GRAYSCALEALPHA:
  case COLOR_RGBALPHA: return bitDepth == 8 || bitDepth == 16;
  default: return false;
  }
}

void CheckSize(Integer width, Integer height)
{
  if (width < 1 || height < 1 || width > TPngImage::MaxDimension || height > TPngImage::MaxDimension ||
      Int64(width) * height > TPngImage::MaxPixels)
    throw EPngError(Format("Invalid PNG image size: %d x %d", {width, height}));
}

void SizePlane(TPixelPlane& plane, size_t size, bool zeroed)
{
  if (zeroed)
    plane.assign(size, 0);
  else
    SizeForOverwrite(plane, size);
}

// An image of the given format with the planes sized for it, zero-filled or
// left for the caller to write.
TPngImageData BlankData(Byte colorType, Byte bitDepth, Integer width, Integer height, bool zeroed = true)
{
  TPngImageData data;
  data.Header.Width = width;
  data.Header.Height = height;
  data.Header.ColorType = colorType;
  data.Header.BitDepth = bitDepth;
  data.RowBytes = RowBytesOf(data.Header);
  SizePlane(data.Colour, size_t(data.RowBytes) * size_t(height), zeroed);
  if (HasAlphaPlane(colorType))
    SizePlane(data.Alpha, size_t(width) * size_t(height), zeroed);
  return data;
}

bool IsTransparentSample(const TPngImageData& d, const Byte* row, Integer x)
{
  if (!d.HasTransparentSample)
    return false;
  const auto& t = d.TransparentSample;
  if (d.Header.ColorType == COLOR_GRAYSCALE)
    return GetSample(row, x, d.Header.BitDepth) == t[0];
  const Byte* p = row + 3 * x;
  return p[2] == t[0] && p[1] == t[1] && p[0] == t[2];
}

const Byte* RowOf(const TPngImageData& d, Integer y) { return d.Colour.data() + size_t(y) * size_t(d.RowBytes); }
Byte* RowOf(TPngImageData& d, Integer y) { return d.Colour.data() + size_t(y) * size_t(d.RowBytes); }

TColor ReadPixel(const TPngImageData& d, Integer x, Integer y)
{
  const Byte* row = RowOf(d, y);
  const TChunkIHDR& h = d.Header;
  if (HasColour(h.ColorType))
    return MakeColour(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
  unsigned sample = GetSample(row, x, h.BitDepth);
  if (h.ColorType == COLOR_PALETTE)
    return sample < d.Palette.size() ? EntryColour(d.Palette[sample]) : 0;
  Byte grey = GreyTo8(sample, h.BitDepth);
  return MakeColour(grey, grey, grey);
}

void WritePixel(TPngImageData& d, Integer x, Integer y, TColor c)
{
  Byte* row = RowOf(d, y);
  const TChunkIHDR& h = d.Header;
  if (HasColour(h.ColorType)) {
    Byte* p = row + 3 * x;
    p[0] = BlueOf(c);
    p[1] = GreenOf(c);
    p[2] = RedOf(c);
  } else if (h.ColorType == COLOR_PALETTE)
    SetSample(row, x, h.BitDepth, unsigned(NearestEntry(d.Palette, c)));
  else
    SetSample(row, x, h.BitDepth, GreyFrom8(Luma(c), h.BitDepth));
}

// The alpha a pixel is shown with: its alpha plane, its palette entry's
// alpha, or 0 for the tRNS colour.
Byte EffectiveAlpha(const TPngImageData& d, Integer x, Integer y)
{
  if (!d.Alpha.empty())
    return d.Alpha[size_t(y) * size_t(d.Header.Width) + size_t(x)];
  const Byte* row = RowOf(d, y);
  if (d.Header.ColorType == COLOR_PALETTE) {
    unsigned index = GetSample(row, x, d.Header.BitDepth);
    return index < d.Palette.size() ? d.Palette[index].Alpha : 255;
  }
  return IsTransparentSample(d, row, x) ? 0 : 255;
}

// Cairo's ARGB32 word of an opaque colour, and back.
std::uint32_t SurfacePixel(TColor c) { return 0xFF000000u | RedOf(c) << 16 | GreenOf(c) << 8 | BlueOf(c); }
TColor SurfaceColour(std::uint32_t p) { return MakeColour(Byte(p >> 16), Byte(p >> 8), Byte(p)); }
Byte Premultiply(Byte c, Byte a) { return Byte((c * a + 127) / 255); }
Byte Unpremultiply(Byte c, Byte a) { return a ? Byte(std::min(255, (c * 255 + a / 2) / a)) : 0; }

// A 32-bit surface of its own in a memory DC; EOutOfResources when the system
// cannot make them.
std::unique_ptr<Win::TMemoryDC> NewSurface(Integer width, Integer height)
{
  auto surface = std::make_unique<Win::TMemoryDC>(nullptr, width, height);
  if (!surface->Valid())
    throw EOutOfResources("Out of system resources");
  return surface;
}

} // namespace

void SizeForOverwrite(TPixelPlane& Plane, size_t Size)
{
  Plane.resize(Size);
#ifndef NDEBUG
  std::fill(Plane.begin(), Plane.end(), Byte(0xA5));
#endif
}

// ---- the canvas ---------------------------------------------------------------------------

// Draws on a 32-bit copy of the colour plane; the image moves colours between
// the copy and its rows when the other side is next used.
class TPngImage::TPngCanvas : public TCanvas {
public:
  explicit TPngCanvas(TPngImage* Image) : FImage(Image) {}
  ~TPngCanvas() override { FreeContext(); }

  std::uint32_t* Surface() const { return FSurface ? Win::BitmapBits(FSurface->Bitmap()) : nullptr; }

  void FreeContext()
  {
    if (!FSurface)
      return;
    SetHandle(nullptr);
    FSurface.reset();
  }

protected:
  void CreateHandle() override
  {
    FSurface = NewSurface(std::max(FImage->Width(), 1), std::max(FImage->Height(), 1));
    FImage->FSync = TSync::RowsAhead;
    FImage->SurfaceNeeded();
    SetHandle(FSurface->DC());
  }
  void SurfaceNeeded() override { FImage->SurfaceNeeded(); }
  void Changed() override
  {
    TCanvas::Changed();
    FImage->Changed();
  }

private:
  TPngImage* FImage;
  std::unique_ptr<Win::TMemoryDC> FSurface;
};

TPngImage::TPngImage() = default;

TPngImage::~TPngImage() = default;

TCanvas* TPngImage::Canvas()
{
  if (!FCanvas)
    FCanvas = std::make_unique<TPngCanvas>(this);
  return FCanvas.get();
}

void TPngImage::SurfaceNeeded()
{
  std::uint32_t* bits = FCanvas ? FCanvas->Surface() : nullptr;
  if (bits && FSync == TSync::RowsAhead)
    for (Integer y = 0; y < Height(); ++y)
      for (Integer x = 0; x < Width(); ++x)
        *bits++ = SurfacePixel(ReadPixel(FData, x, y));
  FSync = TSync::SurfaceAhead;
}

const TPngImageData& TPngImage::Data() const
{
  // Only pixels whose colour changed are stored: storing an unchanged
  // palette colour could pick another entry of that colour.
  std::uint32_t* bits = FCanvas ? FCanvas->Surface() : nullptr;
  if (bits && FSync == TSync::SurfaceAhead)
    for (Integer y = 0; y < Height(); ++y)
      for (Integer x = 0; x < Width(); ++x) {
        TColor c = SurfaceColour(*bits++);
        if (c != ReadPixel(FData, x, y))
          WritePixel(FData, x, y, c);
      }
  FSync = TSync::InStep;
  return FData;
}

TPngImageData& TPngImage::MutableData()
{
  Data();
  if (FCanvas && FCanvas->Surface())
    FSync = TSync::RowsAhead;
  return FData;
}

void TPngImage::Replace(TPngImageData&& Data)
{
  if (FCanvas)
    FCanvas->FreeContext();
  FData = std::move(Data);
  FSync = TSync::InStep;
  Changed();
}

// ---- header and pixels ---------------------------------------------------------------------

const Byte* TPngImage::Scanline(Integer Row) const
{
  if (Row < 0 || Row >= Height())
    throw ERangeError(Format("Scanline index out of range (%d)", {Row}));
  return RowOf(Data(), Row);
}

Byte* TPngImage::Scanline(Integer Row)
{
  if (Row < 0 || Row >= Height())
    throw ERangeError(Format("Scanline index out of range (%d)", {Row}));
  return RowOf(MutableData(), Row);
}

const Byte* TPngImage::AlphaScanline(Integer Row) const
{
  if (FData.Alpha.empty())
    return nullptr;
  if (Row < 0 || Row >= Height())
    throw ERangeError(Format("Scanline index out of range (%d)", {Row}));
  return FData.Alpha.data() + size_t(Row) * size_t(Width());
}

Byte* TPngImage::AlphaScanline(Integer Row) { return const_cast<Byte*>(std::as_const(*this).AlphaScanline(Row)); }

TColor TPngImage::Pixels(Integer X, Integer Y) const
{
  if (X < 0 || Y < 0 || X >= Width() || Y >= Height())
    return 0;
  return ReadPixel(Data(), X, Y);
}

void TPngImage::SetPixels(Integer X, Integer Y, TColor Value)
{
  if (X < 0 || Y < 0 || X >= Width() || Y >= Height())
    return;
  WritePixel(MutableData(), X, Y, ColorToRGB(Value));
  Changed();
}

// ---- transparency -----------------------------------------------------------------------------

TPNGTransparencyMode TPngImage::TransparencyMode() const
{
  if (!FData.Alpha.empty())
    return ptmPartial;
  if (FData.HasTransparentSample)
    return ptmBit;
  TPNGTransparencyMode mode = ptmNone;
  for (const TPngPaletteEntry& e : FData.Palette) {
    if (e.Alpha != 0 && e.Alpha != 255)
      return ptmPartial;
    if (e.Alpha == 0)
      mode = ptmBit;
  }
  return mode;
}

TColor TPngImage::TransparentColor() const
{
  const auto& t = FData.TransparentSample;
  if (FData.HasTransparentSample && FData.Header.ColorType == COLOR_GRAYSCALE) {
    Byte grey = GreyTo8(t[0], FData.Header.BitDepth);
    return MakeColour(grey, grey, grey);
  }
  if (FData.HasTransparentSample)
    return MakeColour(Byte(t[0]), Byte(t[1]), Byte(t[2]));
  for (const TPngPaletteEntry& e : FData.Palette)
    if (e.Alpha == 0)
      return EntryColour(e);
  return 0;
}

void TPngImage::SetTransparentColor(TColor Value)
{
  const TChunkIHDR& h = FData.Header;
  if (Empty())
    throw EPngError("Cannot set a transparent colour on an empty PNG image");
  if (HasAlphaPlane(h.ColorType))
    throw EPngError("Cannot set a transparent colour on a PNG image with an alpha channel");
  Value = ColorToRGB(Value);
  if (h.ColorType == COLOR_PALETTE) {
    bool any = false;
    for (TPngPaletteEntry& e : FData.Palette) {
      e.Alpha = EntryColour(e) == Value ? 0 : 255;
      any = any || e.Alpha == 0;
    }
    if (!any && !FData.Palette.empty())
      FData.Palette[NearestEntry(FData.Palette, Value)].Alpha = 0;
  } else {
    FData.HasTransparentSample = true;
    FData.TransparentSample = h.ColorType == COLOR_GRAYSCALE
                                ? std::array<Word, 3>{Word(GreyFrom8(Luma(Value), h.BitDepth)), 0, 0}
                                : std::array<Word, 3>{RedOf(Value), GreenOf(Value), BlueOf(Value)};
  }
  Changed();
}

void TPngImage::CreateAlpha()
{
  const TPngImageData& d = Data();
  const TChunkIHDR& h = d.Header;
  if (Empty() || HasAlphaPlane(h.ColorType))
    return;
  Byte target = h.ColorType == COLOR_GRAYSCALE ? COLOR_GRAYSCALEALPHA : COLOR_RGBALPHA;
  TPngImageData data = BlankData(target, 8, h.Width, h.Height);
  data.HasGamma = d.HasGamma;
  data.Gamma = d.Gamma;
  data.Header.InterlaceMethod = h.InterlaceMethod;
  for (Integer y = 0; y < h.Height; ++y)
    for (Integer x = 0; x < h.Width; ++x) {
      WritePixel(data, x, y, ReadPixel(d, x, y));
      data.Alpha[size_t(y) * size_t(h.Width) + size_t(x)] = EffectiveAlpha(d, x, y);
    }
  Replace(std::move(data));
}

void TPngImage::RemoveTransparency()
{
  TPngImageData& d = MutableData();
  d.HasTransparentSample = false;
  d.TransparentSample = {};
  for (TPngPaletteEntry& e : d.Palette)
    e.Alpha = 255;
  if (!d.Alpha.empty()) {
    d.Alpha.clear();
    d.Alpha.shrink_to_fit();
    d.Header.ColorType = d.Header.ColorType == COLOR_RGBALPHA ? COLOR_RGB : COLOR_GRAYSCALE;
  }
  Changed();
}

// ---- palette ---------------------------------------------------------------------------------

void TPngImage::SetPalette(const std::vector<TPngPaletteEntry>& Value)
{
  if (FData.Header.ColorType != COLOR_PALETTE || Empty())
    throw EPngError("Only a palette PNG image has a palette");
  if (Value.empty() || Value.size() > size_t(1) << FData.Header.BitDepth)
    throw EPngError(Format("A %d-bit PNG palette holds 1 to %d entries, not %d",
                           {int(FData.Header.BitDepth), 1 << FData.Header.BitDepth, int(Value.size())}));
  // The canvas shows palette colours: bring its drawing in first.
  MutableData().Palette = Value;
  Changed();
}

// ---- chunks -------------------------------------------------------------------------------------

bool TPngImage::HasChunk(const String& Name) const
{
  if (Empty())
    return false;
  if (Name == "IHDR" || Name == "IDAT" || Name == "IEND")
    return true;
  if (Name == "PLTE")
    return FData.Header.ColorType == COLOR_PALETTE;
  if (Name == "gAMA")
    return FData.HasGamma;
  if (Name != "tRNS")
    return false;
  if (FData.HasTransparentSample)
    return true;
  for (const TPngPaletteEntry& e : FData.Palette)
    if (e.Alpha != 255)
      return true;
  return false;
}

void TPngImage::RemoveChunk(const String& Name)
{
  if (Name == "IHDR" || Name == "PLTE" || Name == "IDAT" || Name == "IEND")
    throw EPngError("The critical PNG chunk " + Name + " cannot be removed");
  if (Name == "gAMA") {
    SetGamma(0);
  } else if (Name == "tRNS" && FData.Alpha.empty()) {
    RemoveTransparency();
  }
}

void TPngImage::SetGamma(Cardinal Value)
{
  FData.HasGamma = Value != 0;
  FData.Gamma = Value;
  Changed();
}

// ---- shape ----------------------------------------------------------------------------------

void TPngImage::CreateBlank(Byte ColorType, Byte BitDepth, Integer AWidth, Integer AHeight)
{
  CreatePlanes(ColorType, BitDepth, AWidth, AHeight, true);
}

void TPngImage::CreateForOverwrite(Byte ColorType, Byte BitDepth, Integer AWidth, Integer AHeight)
{
  CreatePlanes(ColorType, BitDepth, AWidth, AHeight, false);
}

void TPngImage::CreatePlanes(Byte ColorType, Byte BitDepth, Integer AWidth, Integer AHeight, bool Zeroed)
{
  if (!ValidFormat(ColorType, BitDepth))
    throw EPngError(Format("Invalid PNG format: colour type %d with bit depth %d", {int(ColorType), int(BitDepth)}));
  CheckSize(AWidth, AHeight);
  TPngImageData data = BlankData(ColorType, BitDepth == 16 ? 8 : BitDepth, AWidth, AHeight, Zeroed);
  if (ColorType == COLOR_PALETTE) {
    unsigned max = MaxSample(BitDepth);
    for (unsigned i = 0; i <= max; ++i) {
      Byte grey = Byte(i * 255 / max);
      data.Palette.push_back({grey, grey, grey, 255});
    }
  }
  Replace(std::move(data));
}

void TPngImage::Resize(Integer AWidth, Integer AHeight)
{
  if (Empty())
    throw EPngError("Cannot resize an empty PNG image");
  CheckSize(AWidth, AHeight);
  const TPngImageData& d = Data();
  const TChunkIHDR& h = d.Header;
  TPngImageData data = BlankData(h.ColorType, h.BitDepth, AWidth, AHeight);
  data.Header = h;
  data.Header.Width = AWidth;
  data.Header.Height = AHeight;
  data.Palette = d.Palette;
  data.HasTransparentSample = d.HasTransparentSample;
  data.TransparentSample = d.TransparentSample;
  data.HasGamma = d.HasGamma;
  data.Gamma = d.Gamma;
  Integer width = std::min(AWidth, h.Width);
  Integer colourBytes = HasColour(h.ColorType) ? 3 : 1;
  for (Integer y = 0; y < std::min(AHeight, h.Height); ++y) {
    const Byte* src = RowOf(d, y);
    Byte* dst = RowOf(data, y);
    if (h.BitDepth == 8)
      std::memcpy(dst, src, size_t(width * colourBytes));
    else
      for (Integer x = 0; x < width; ++x)
        SetSample(dst, x, h.BitDepth, GetSample(src, x, h.BitDepth));
    if (!d.Alpha.empty())
      std::memcpy(data.Alpha.data() + size_t(y) * size_t(AWidth), AlphaScanline(y), size_t(width));
  }
  Replace(std::move(data));
}

void TPngImage::SetSize(Integer AWidth, Integer AHeight)
{
  if (AWidth == 0 || AHeight == 0)
    Replace(TPngImageData{});
  else if (Empty())
    CreateBlank(COLOR_RGB, 8, AWidth, AHeight);
  else
    Resize(AWidth, AHeight);
}

// ---- copying ---------------------------------------------------------------------------------

void TPngImage::Assign(const TPersistent* Source)
{
  if (!Source) {
    Replace(TPngImageData{});
    return;
  }
  if (const auto* png = dynamic_cast<const TPngImage*>(Source)) {
    if (png == this)
      return;
    FCompressionLevel = png->FCompressionLevel;
    FFilters = png->FFilters;
    Replace(TPngImageData(png->Data()));
    return;
  }
  // Reading a bitmap's pixels settles its own row copy first, which changes
  // nothing a caller can see.
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(Source)) {
    AssignBitmap(*const_cast<TBitmap*>(bitmap));
    return;
  }
  inherited::Assign(Source);
}

void TPngImage::Assign(TPngImage&& Source)
{
  if (&Source == this)
    return;
  Source.Data(); // drawing on its canvas reaches its rows first
  FCompressionLevel = Source.FCompressionLevel;
  FFilters = Source.FFilters;
  TPngImageData data = std::move(Source.FData);
  Source.Replace(TPngImageData{});
  Replace(std::move(data));
}

void TPngImage::AssignBitmap(TBitmap& Bitmap)
{
  if (Bitmap.Empty()) {
    Replace(TPngImageData{});
    return;
  }
  CheckSize(Bitmap.Width(), Bitmap.Height());
  bool alpha = Bitmap.PixelFormat() == pf32bit && Bitmap.AlphaFormat() != afIgnored;
  bool premultiplied = alpha && Bitmap.AlphaFormat() == afPremultiplied;
  TPngImageData data = BlankData(alpha ? COLOR_RGBALPHA : COLOR_RGB, 8, Bitmap.Width(), Bitmap.Height());
  const std::uint32_t* bits = Win::BitmapBits(Bitmap.Handle());
  for (Integer y = 0; y < data.Header.Height; ++y) {
    Byte* row = RowOf(data, y);
    for (Integer x = 0; x < data.Header.Width; ++x) {
      std::uint32_t p = *bits++;
      Byte a = Byte(p >> 24);
      for (int c = 0; c < 3; ++c) {
        Byte v = Byte(p >> (8 * c));
        row[3 * x + c] = premultiplied ? Unpremultiply(v, a) : v;
      }
      if (alpha)
        data.Alpha[size_t(y) * size_t(data.Header.Width) + size_t(x)] = a;
    }
  }
  if (!alpha && Bitmap.Transparent()) {
    TColor key = ColorToRGB(Bitmap.TransparentColor());
    data.HasTransparentSample = true;
    data.TransparentSample = {RedOf(key), GreenOf(key), BlueOf(key)};
  }
  Replace(std::move(data));
}

void TPngImage::AssignTo(TPersistent* Dest) const
{
  auto* bitmap = dynamic_cast<TBitmap*>(Dest);
  if (!bitmap) {
    inherited::AssignTo(Dest);
    return;
  }
  const TPngImageData& d = Data();
  bool partial = TransparencyMode() == ptmPartial;
  bitmap->SetSize(0, 0);
  bitmap->SetPixelFormat(partial ? pf32bit : pf24bit);
  bitmap->SetAlphaFormat(partial ? afDefined : afIgnored);
  bitmap->SetSize(Width(), Height());
  Integer pixelBytes = partial ? 4 : 3;
  for (Integer y = 0; y < Height(); ++y) {
    Byte* row = bitmap->ScanLine(y);
    for (Integer x = 0; x < Width(); ++x) {
      TColor c = ReadPixel(d, x, y);
      Byte* p = row + pixelBytes * x;
      p[0] = BlueOf(c);
      p[1] = GreenOf(c);
      p[2] = RedOf(c);
      if (partial)
        p[3] = EffectiveAlpha(d, x, y);
    }
  }
  bool keyed = TransparencyMode() == ptmBit;
  if (keyed)
    bitmap->SetTransparentColor(TransparentColor());
  bitmap->SetTransparent(keyed);
}

// ---- drawing -----------------------------------------------------------------------------------

void TPngImage::Draw(TCanvas* ACanvas, const TRect& Rect) { Blend(ACanvas, Rect, 255); }

void TPngImage::DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity)
{
  Blend(ACanvas, Rect, Opacity);
}

// A premultiplied copy blended over the destination, stretched to Rect.
void TPngImage::Blend(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) const
{
  if (!ACanvas || Empty() || Rect.IsEmpty() || Opacity == 0)
    return;
  const TPngImageData& d = Data();
  Win::HDC target = ACanvas->Handle();
  const auto source = NewSurface(Width(), Height());
  std::uint32_t* bits = Win::BitmapBits(source->Bitmap());
  for (Integer y = 0; y < Height(); ++y)
    for (Integer x = 0; x < Width(); ++x) {
      TColor c = ReadPixel(d, x, y);
      Byte a = EffectiveAlpha(d, x, y);
      *bits++ = std::uint32_t(a) << 24 | std::uint32_t(Premultiply(RedOf(c), a)) << 16 |
                std::uint32_t(Premultiply(GreenOf(c), a)) << 8 | Premultiply(BlueOf(c), a);
    }
  Win::BLENDFUNCTION blend{Win::AC_SRC_OVER, 0, Opacity, Win::AC_SRC_ALPHA};
  Win::AlphaBlend(target, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), source->DC(), 0, 0, Width(), Height(),
                  blend);
}

// ---- file IO ------------------------------------------------------------------------------------

void TPngImage::LoadFromStream(TStream* Stream) { Replace(PngCodec::Decode(Stream)); }

void TPngImage::SaveToStream(TStream* Stream)
{
  TBytes bytes = PngCodec::Encode(Data(), {FCompressionLevel, FFilters});
  Stream->WriteBuffer(bytes.data(), Int64(bytes.size()));
}

void TPngImage::ReadData(TStream* Stream)
{
  if (Stream->Position() >= Stream->Size())
    Replace(TPngImageData{});
  else
    LoadFromStream(Stream);
}

void TPngImage::WriteData(TStream* Stream)
{
  if (!Empty())
    SaveToStream(Stream);
}

// ---- encoder settings --------------------------------------------------------------------------

void TPngImage::SetCompressionLevel(Integer Value)
{
  if (Value < 0 || Value > 9)
    throw EPngError(Format("PNG compression level %d is not in 0..9", {Value}));
  FCompressionLevel = Value;
}

TInterlaceMethod TPngImage::InterlaceMethod() const
{
  return FData.Header.InterlaceMethod ? imAdam7 : imNone;
}

void TPngImage::SetInterlaceMethod(TInterlaceMethod Value)
{
  FData.Header.InterlaceMethod = Value == imAdam7 ? 1 : 0;
}

namespace {

// Pictures open .png files with this class.
const struct TRegistration {
  TRegistration() { TPicture::RegisterFileFormat("png", "Portable Network Graphics", &TPngImage::StaticClass()); }
} Registration;

} // namespace

} // namespace Vcl
