#include "Vcl.Imaging.pngimage.hpp"

#include "Vcl.Imaging.pngimage.Codec.hpp"

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

// A zero-filled image of the given format with the planes sized for it.
TPngImageData BlankData(Byte colorType, Byte bitDepth, Integer width, Integer height)
{
  TPngImageData data;
  data.Header.Width = width;
  data.Header.Height = height;
  data.Header.ColorType = colorType;
  data.Header.BitDepth = bitDepth;
  data.RowBytes = RowBytesOf(data.Header);
  data.Colour.assign(size_t(data.RowBytes) * size_t(height), 0);
  if (HasAlphaPlane(colorType))
    data.Alpha.assign(size_t(width) * size_t(height), 0);
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

} // namespace

TPngImage::~TPngImage() = default;

void TPngImage::Changed() {}

// ---- header and pixels ---------------------------------------------------------------------

const Byte* TPngImage::Scanline(Integer Row) const
{
  if (Row < 0 || Row >= Height())
    throw ERangeError(Format("Scanline index out of range (%d)", {Row}));
  return FData.Colour.data() + size_t(Row) * size_t(FData.RowBytes);
}

Byte* TPngImage::Scanline(Integer Row) { return const_cast<Byte*>(std::as_const(*this).Scanline(Row)); }

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
  const Byte* row = Scanline(Y);
  const TChunkIHDR& h = FData.Header;
  if (HasColour(h.ColorType))
    return MakeColour(row[3 * X + 2], row[3 * X + 1], row[3 * X]);
  unsigned sample = GetSample(row, X, h.BitDepth);
  if (h.ColorType == COLOR_PALETTE)
    return sample < FData.Palette.size() ? EntryColour(FData.Palette[sample]) : 0;
  Byte grey = GreyTo8(sample, h.BitDepth);
  return MakeColour(grey, grey, grey);
}

void TPngImage::SetPixels(Integer X, Integer Y, TColor Value)
{
  if (X < 0 || Y < 0 || X >= Width() || Y >= Height())
    return;
  Byte* row = Scanline(Y);
  const TChunkIHDR& h = FData.Header;
  if (HasColour(h.ColorType)) {
    Byte* p = row + 3 * X;
    p[0] = BlueOf(Value);
    p[1] = GreenOf(Value);
    p[2] = RedOf(Value);
  } else if (h.ColorType == COLOR_PALETTE)
    SetSample(row, X, h.BitDepth, unsigned(NearestEntry(FData.Palette, Value)));
  else
    SetSample(row, X, h.BitDepth, GreyFrom8(Luma(Value), h.BitDepth));
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
  if (h.ColorType == COLOR_PALETTE) {
    bool any = false;
    for (TPngPaletteEntry& e : FData.Palette) {
      e.Alpha = EntryColour(e) == (Value & 0xFFFFFF) ? 0 : 255;
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
  const TChunkIHDR& h = FData.Header;
  if (Empty() || HasAlphaPlane(h.ColorType))
    return;
  Byte target = h.ColorType == COLOR_GRAYSCALE ? COLOR_GRAYSCALEALPHA : COLOR_RGBALPHA;
  TPngImageData data = BlankData(target, 8, h.Width, h.Height);
  data.HasGamma = FData.HasGamma;
  data.Gamma = FData.Gamma;
  data.Header.InterlaceMethod = h.InterlaceMethod;
  for (Integer y = 0; y < h.Height; ++y) {
    const Byte* src = Scanline(y);
    Byte* colour = data.Colour.data() + size_t(y) * size_t(data.RowBytes);
    Byte* alpha = data.Alpha.data() + size_t(y) * size_t(h.Width);
    for (Integer x = 0; x < h.Width; ++x) {
      if (h.ColorType == COLOR_RGB)
        std::memcpy(colour + 3 * x, src + 3 * x, 3);
      else if (h.ColorType == COLOR_GRAYSCALE)
        colour[x] = GreyTo8(GetSample(src, x, h.BitDepth), h.BitDepth);
      else {
        unsigned index = GetSample(src, x, h.BitDepth);
        TPngPaletteEntry e = index < FData.Palette.size() ? FData.Palette[index] : TPngPaletteEntry{};
        Byte* p = colour + 3 * x;
        p[0] = e.Blue;
        p[1] = e.Green;
        p[2] = e.Red;
        alpha[x] = e.Alpha;
        continue;
      }
      alpha[x] = IsTransparentSample(FData, src, x) ? 0 : 255;
    }
  }
  FData = std::move(data);
  Changed();
}

void TPngImage::RemoveTransparency()
{
  FData.HasTransparentSample = false;
  FData.TransparentSample = {};
  for (TPngPaletteEntry& e : FData.Palette)
    e.Alpha = 255;
  if (!FData.Alpha.empty()) {
    FData.Alpha.clear();
    FData.Alpha.shrink_to_fit();
    FData.Header.ColorType = FData.Header.ColorType == COLOR_RGBALPHA ? COLOR_RGB : COLOR_GRAYSCALE;
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
  FData.Palette = Value;
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
  if (!ValidFormat(ColorType, BitDepth))
    throw EPngError(Format("Invalid PNG format: colour type %d with bit depth %d", {int(ColorType), int(BitDepth)}));
  CheckSize(AWidth, AHeight);
  TPngImageData data = BlankData(ColorType, BitDepth == 16 ? 8 : BitDepth, AWidth, AHeight);
  if (ColorType == COLOR_PALETTE) {
    unsigned max = MaxSample(BitDepth);
    for (unsigned i = 0; i <= max; ++i) {
      Byte grey = Byte(i * 255 / max);
      data.Palette.push_back({grey, grey, grey, 255});
    }
  }
  FData = std::move(data);
  Changed();
}

void TPngImage::Resize(Integer AWidth, Integer AHeight)
{
  if (Empty())
    throw EPngError("Cannot resize an empty PNG image");
  CheckSize(AWidth, AHeight);
  const TChunkIHDR& h = FData.Header;
  TPngImageData data = BlankData(h.ColorType, h.BitDepth, AWidth, AHeight);
  data.Header = h;
  data.Header.Width = AWidth;
  data.Header.Height = AHeight;
  data.Palette = FData.Palette;
  data.HasTransparentSample = FData.HasTransparentSample;
  data.TransparentSample = FData.TransparentSample;
  data.HasGamma = FData.HasGamma;
  data.Gamma = FData.Gamma;
  Integer width = std::min(AWidth, h.Width);
  Integer colourBytes = HasColour(h.ColorType) ? 3 : 1;
  for (Integer y = 0; y < std::min(AHeight, h.Height); ++y) {
    const Byte* src = Scanline(y);
    Byte* dst = data.Colour.data() + size_t(y) * size_t(data.RowBytes);
    if (h.BitDepth == 8)
      std::memcpy(dst, src, size_t(width * colourBytes));
    else
      for (Integer x = 0; x < width; ++x)
        SetSample(dst, x, h.BitDepth, GetSample(src, x, h.BitDepth));
    if (!FData.Alpha.empty())
      std::memcpy(data.Alpha.data() + size_t(y) * size_t(AWidth), AlphaScanline(y), size_t(width));
  }
  FData = std::move(data);
  Changed();
}

// ---- copying ---------------------------------------------------------------------------------

void TPngImage::Assign(const TPersistent* Source)
{
  if (!Source) {
    FData = TPngImageData{};
    Changed();
    return;
  }
  if (const auto* png = dynamic_cast<const TPngImage*>(Source)) {
    if (png == this)
      return;
    FData = png->FData;
    FCompressionLevel = png->FCompressionLevel;
    FFilters = png->FFilters;
    Changed();
    return;
  }
  inherited::Assign(Source);
}

// ---- file IO ------------------------------------------------------------------------------------

void TPngImage::LoadFromStream(TStream* Stream)
{
  FData = PngCodec::Decode(Stream);
  Changed();
}

void TPngImage::SaveToStream(TStream* Stream)
{
  TBytes bytes = PngCodec::Encode(FData, {FCompressionLevel, FFilters});
  Stream->WriteBuffer(bytes.data(), Int64(bytes.size()));
}

void TPngImage::LoadFromFile(const String& FileName)
{
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TPngImage::SaveToFile(const String& FileName) const
{
  // Encoded first, so that a failure leaves an existing file untouched.
  TBytes bytes = PngCodec::Encode(FData, {FCompressionLevel, FFilters});
  TFileStream stream(FileName, fmCreate);
  stream.WriteBuffer(bytes.data(), Int64(bytes.size()));
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

} // namespace Vcl
