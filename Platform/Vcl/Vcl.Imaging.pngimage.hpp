// TPngImage: a PNG picture decoded and encoded with libpng.
//
// Pixel model (what the imaging code builds on):
// - Header().ColorType is the PNG colour type: COLOR_GRAYSCALE 0, COLOR_RGB 2,
//   COLOR_PALETTE 3, COLOR_GRAYSCALEALPHA 4, COLOR_RGBALPHA 6.
// - Header().BitDepth is 1, 2, 4 or 8. Files with 16 bits per sample are
//   reduced to 8 bits on load (and so are their tRNS colours); the image never
//   holds 16-bit samples.
// - Scanline(y) is row y of the colour plane, rows tightly packed (no padding):
//     COLOR_RGB, COLOR_RGBALPHA        3 bytes per pixel: blue, green, red;
//     COLOR_GRAYSCALE, COLOR_GRAYSCALEALPHA, COLOR_PALETTE at 8 bits
//                                      1 byte per pixel: the grey level or the
//                                      palette index;
//     COLOR_GRAYSCALE, COLOR_PALETTE at 1, 2 or 4 bits
//                                      packed as in the file: the leftmost
//                                      pixel in the most significant bits,
//                                      (Width * BitDepth + 7) div 8 bytes a row.
//   There is never a fourth byte in a colour row. Row pointers stay valid
//   until the image is loaded, assigned, resized or converted.
// - AlphaScanline(y) is row y of the alpha plane, one byte per pixel, straight
//   (not premultiplied; 0 transparent, 255 opaque), present exactly for
//   COLOR_GRAYSCALEALPHA and COLOR_RGBALPHA; nullptr for the other types.
// - Without an alpha plane an image may carry a tRNS chunk: one transparent
//   colour for grayscale and RGB images, an alpha per entry for palette images.
// - Pixels(X, Y) reads and writes a colour 0x00BBGGRR whatever the colour type:
//   grey samples of fewer than 8 bits are scaled to 0..255; writing a grey
//   image stores the colour's luma (0.299 R + 0.587 G + 0.114 B, rounded) and
//   writing a palette image stores the index of the nearest entry. Writing
//   never changes the alpha plane.
// - Canvas() draws on the colour plane through a 32-bit surface kept in step
//   with the rows: drawing reaches the rows before they are next read, and
//   row writes reach the surface before the canvas next draws. Grey and
//   palette images take the drawn colours as SetPixels does. Drawing never
//   touches the alpha plane.
// - Draw and StretchDraw composite the straight colour and alpha over the
//   destination (a tRNS colour or palette alpha counts as alpha).
//
// Errors: unreadable data raises EPngError (an EInvalidGraphic) and leaves the
// image as it was.
#pragma once

#include <System.Classes.hpp>
#include <System.Types.hpp>
#include <Vcl.Graphics.hpp>

#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace Vcl {

QX_EXCEPTION(EPngError, EInvalidGraphic);

constexpr Byte COLOR_GRAYSCALE = 0;
constexpr Byte COLOR_RGB = 2;
constexpr Byte COLOR_PALETTE = 3;
constexpr Byte COLOR_GRAYSCALEALPHA = 4;
constexpr Byte COLOR_RGBALPHA = 6;

// The image header (the IHDR chunk) as the image holds it.
struct TChunkIHDR {
  Integer Width = 0;
  Integer Height = 0;
  Byte BitDepth = 8;
  Byte ColorType = COLOR_RGB;
  Byte CompressionMethod = 0;
  Byte FilterMethod = 0;
  Byte InterlaceMethod = 0; // 0 none, 1 Adam7
  constexpr bool operator==(const TChunkIHDR&) const = default;
};

// A palette entry with its tRNS alpha (255 where the file gives none).
struct TPngPaletteEntry {
  Byte Red = 0;
  Byte Green = 0;
  Byte Blue = 0;
  Byte Alpha = 255;
  constexpr bool operator==(const TPngPaletteEntry&) const = default;
};

enum class TPNGTransparencyMode { ptmNone, ptmBit, ptmPartial };
using enum TPNGTransparencyMode;

enum class TFilter { pfNone, pfSub, pfUp, pfAverage, pfPaeth };
using enum TFilter;
using TFilters = TSet<TFilter>;

enum class TInterlaceMethod { imNone, imAdam7 };
using enum TInterlaceMethod;

// Growing a plane leaves its new bytes unset: a plane is either filled
// with zeros on purpose or written whole by its maker (a decoder, an image
// made for overwriting), and writing it twice would cost a pass over memory.
template <class T>
struct TUnsetAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = TUnsetAllocator<U>;
  };
  TUnsetAllocator() = default;
  template <class U>
  TUnsetAllocator(const TUnsetAllocator<U>&) noexcept
  {
  }
  template <class U>
  void construct(U* P) noexcept
  {
    ::new (static_cast<void*>(P)) U;
  }
  template <class U, class... A>
  void construct(U* P, A&&... Args)
  {
    ::new (static_cast<void*>(P)) U(std::forward<A>(Args)...);
  }
};
using TPixelPlane = std::vector<Byte, TUnsetAllocator<Byte>>;

// Sizes a plane whose every byte the caller writes before anything reads
// it. Debug builds fill it with a pattern that shows any byte left out.
void SizeForOverwrite(TPixelPlane& Plane, size_t Size);

// The pixels and chunks of one image; the decoder fills a fresh one and the
// image takes it only when decoding succeeded.
struct TPngImageData {
  TChunkIHDR Header;
  Integer RowBytes = 0;
  TPixelPlane Colour; // Height rows of RowBytes
  TPixelPlane Alpha;  // Height rows of Width bytes, or empty
  std::vector<TPngPaletteEntry> Palette;
  // tRNS of a grayscale or RGB image: the transparent sample values at the
  // image's bit depth (grey in Red).
  bool HasTransparentSample = false;
  std::array<Word, 3> TransparentSample{}; // red or grey, green, blue
  bool HasGamma = false;
  Cardinal Gamma = 0; // gAMA: gamma times 100000
};

class TPngImage : public TGraphic {
  QX_CLASS(TPngImage, TGraphic)
public:
  // Decoding stops before allocating pixels for larger images.
  static constexpr Integer MaxDimension = 65535;
  static constexpr Int64 MaxPixels = Int64(64) << 20;

  TPngImage();
  ~TPngImage() override;

  // ---- header and pixels -------------------------------------------------------
  const TChunkIHDR& Header() const { return FData.Header; }
  Integer Width() const override { return FData.Header.Width; }
  Integer Height() const override { return FData.Header.Height; }
  bool Empty() const override { return Width() == 0 || Height() == 0; }
  // A canvas on the colour plane (see above); owned by the image.
  TCanvas* Canvas();
  // Composites the image stretched into Rect (see above).
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  Byte* Scanline(Integer Row);
  const Byte* Scanline(Integer Row) const;
  Byte* AlphaScanline(Integer Row);
  const Byte* AlphaScanline(Integer Row) const;
  // Outside the image: reads 0, writes are ignored. System colours are
  // resolved.
  TColor Pixels(Integer X, Integer Y) const;
  void SetPixels(Integer X, Integer Y, TColor Value);

  // ---- transparency ----------------------------------------------------------------
  TPNGTransparencyMode TransparencyMode() const;
  // The tRNS colour of a grayscale or RGB image, or the first fully
  // transparent palette entry; 0 when there is none.
  TColor TransparentColor() const;
  // Marks one colour transparent (tRNS). A palette image makes the entries of
  // that colour transparent (the nearest entry when none matches) and all
  // others opaque. An image with an alpha plane raises EPngError.
  void SetTransparentColor(TColor Value);
  // Adds an alpha plane: RGB becomes RGBA, grayscale grayscale+alpha (8 bits),
  // a palette image RGBA; the tRNS transparency becomes alpha 0 and the
  // chunk goes. Images that have alpha are left as they are.
  void CreateAlpha();
  // Drops the alpha plane (the colour stays) and the tRNS chunk.
  void RemoveTransparency();

  // ---- palette ---------------------------------------------------------------------
  // Palette images only; empty otherwise.
  const std::vector<TPngPaletteEntry>& Palette() const { return FData.Palette; }
  // 1 to 2^BitDepth entries; the alphas become the tRNS chunk. Indexes in the
  // pixels beyond the palette read as black.
  void SetPalette(const std::vector<TPngPaletteEntry>& Value);

  // ---- chunks -------------------------------------------------------------------------
  // "IHDR", "PLTE", "tRNS", "gAMA", "IDAT", "IEND": whether a save writes it.
  // Other ancillary chunks are not kept.
  bool HasChunk(const String& Name) const;
  // Removes "tRNS" (palette alphas become 255) or "gAMA"; other names raise
  // EPngError.
  void RemoveChunk(const String& Name);
  // gAMA is kept and written back, never applied to the pixels.
  Cardinal Gamma() const { return FData.HasGamma ? FData.Gamma : 0; }
  void SetGamma(Cardinal Value);

  // ---- shape -----------------------------------------------------------------------
  // A zero-filled image (alpha 0 where there is an alpha plane; a palette
  // image gets a grey ramp of 2^BitDepth entries). BitDepth 16 is held as 8.
  // Bad combinations or sizes raise EPngError.
  void CreateBlank(Byte ColorType, Byte BitDepth, Integer AWidth, Integer AHeight);
  // CreateBlank for a caller that writes every byte of the colour rows (and
  // of the alpha rows) before anything reads them: the pixels are left unset,
  // which saves a pass over the image's memory.
  void CreateForOverwrite(Byte ColorType, Byte BitDepth, Integer AWidth, Integer AHeight);
  // Keeps the top-left content; new pixels are zero (transparent with alpha).
  void Resize(Integer AWidth, Integer AHeight);
  // Resize; an empty image becomes a blank RGB one, a zero size empties it.
  void SetSize(Integer AWidth, Integer AHeight) override;

  // ---- copying ---------------------------------------------------------------------
  // From another PNG: a deep copy. From a TBitmap: RGB, or RGBA for a 32-bit
  // bitmap whose alpha is defined or premultiplied; a transparent bitmap
  // without alpha gives its transparent colour as tRNS. nullptr empties.
  void Assign(const TPersistent* Source) override;
  // From a PNG that is done with: its pixels are taken, not copied, and it is
  // left empty.
  void Assign(TPngImage&& Source);

  // ---- file IO -----------------------------------------------------------------------
  // Reads one PNG from the stream's position up to its IEND chunk.
  void LoadFromStream(TStream* Stream) override;
  // An empty image raises EPngError: a PNG file cannot be empty.
  void SaveToStream(TStream* Stream) override;
  // Form data: the PNG file, or nothing for an empty image.
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;

  // ---- encoder settings -----------------------------------------------------------------
  Integer CompressionLevel() const { return FCompressionLevel; }
  void SetCompressionLevel(Integer Value);     // 0..9
  TFilters Filters() const { return FFilters; } // the empty set saves without filters
  void SetFilters(TFilters Value) { FFilters = Value; }
  TInterlaceMethod InterlaceMethod() const;
  void SetInterlaceMethod(TInterlaceMethod Value);

protected:
  // A TBitmap gets pf32bit with straight alpha for partial transparency, else
  // pf24bit, transparent with the image's colour in the one-colour mode.
  void AssignTo(TPersistent* Dest) const override;
  void DrawTransparent(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) override;

private:
  class TPngCanvas;
  friend class TPngCanvas;
  // Which side of the canvas holds the newer colours.
  enum class TSync { InStep, SurfaceAhead, RowsAhead };

  // The pixels for reading, with canvas drawing brought in.
  const TPngImageData& Data() const;
  // The pixels for writing in place: the canvas surface is refreshed before
  // it next draws. Callers end with Changed().
  TPngImageData& MutableData();
  // Takes new pixels whole (the canvas surface is made anew).
  void Replace(TPngImageData&& Data);
  void SurfaceNeeded();
  void CreatePlanes(Byte ColorType, Byte BitDepth, Integer AWidth, Integer AHeight, bool Zeroed);
  void AssignBitmap(TBitmap& Bitmap);
  void Blend(TCanvas* ACanvas, const TRect& Rect, Byte Opacity) const;

  mutable TPngImageData FData;
  mutable TSync FSync = TSync::InStep;
  std::unique_ptr<TPngCanvas> FCanvas;
  Integer FCompressionLevel = 7;
  TFilters FFilters{pfSub};
};

} // namespace Vcl
