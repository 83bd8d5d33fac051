#include "Quorex.Vcl.PngFunctions.hpp"

#include "Quorex.Imaging.PngHelper.hpp"
#include "Quorex.Vcl.PngImageList.hpp"

#include <cstring>
#include <memory>

namespace Quorex {

using namespace Vcl;

namespace {

const char* const kUnit = "Quorex.Vcl.PngFunctions";

// Registers the legacy class name while the library is loaded.
struct TPngObjectRegistration {
  TPngObjectRegistration() { TPicture::RegisterFileFormat("", "", &TPNGObject::StaticClass()); }
  ~TPngObjectRegistration() { TPicture::UnregisterGraphicClass(&TPNGObject::StaticClass()); }
} gPngObjectRegistration;

// A 24- or 32-bit view of any bitmap, converting the others.
std::unique_ptr<TBitmap> TrueColourCopy(TBitmap* Bitmap)
{
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(Bitmap);
  if (copy->PixelFormat() != pf24bit && copy->PixelFormat() != pf32bit)
    copy->SetPixelFormat(pf24bit);
  return copy;
}

// A new RGB image of the bitmap's colours with an alpha plane that Alpha
// fills pixel by pixel from the bitmap's colour.
template <class AlphaOf>
TPngImage* PngWithAlpha(TBitmap* Bitmap, AlphaOf Alpha)
{
  auto colour = TrueColourCopy(Bitmap);
  auto png = std::make_unique<TPngImage>();
  png->Assign(colour.get());
  png->RemoveTransparency();
  png->CreateAlpha();
  for (int y = 0; y < png->Height(); ++y) {
    Byte* alpha = png->AlphaScanline(y);
    const Byte* rgb = png->Scanline(y);
    for (int x = 0; x < png->Width(); ++x, rgb += 3)
      alpha[x] = Alpha(x, y, TColor(rgb[2]) | (TColor(rgb[1]) << 8) | (TColor(rgb[0]) << 16));
  }
  return png.release();
}

} // namespace

void DrawPNG(TPngImage* Png, TCanvas* Canvas, const TRect& Rect, TPngOptions Options)
{
  QX_ASSERT(Png != nullptr && Canvas != nullptr, kUnit);
  if (Options.Empty()) {
    Canvas->StretchDraw(Rect, Png);
    return;
  }
  TPngImage copy;
  copy.Assign(Png);
  if (Options.Contains(pngBlendOnDisabled))
    MakeImageBlended(&copy, 127);
  if (Options.Contains(pngGrayscaleOnDisabled))
    MakeImageGrayscale(&copy, 255);
  Canvas->StretchDraw(Rect, &copy);
}

void MakeImageBlended(TPngImage* Png, Byte Amount)
{
  QX_ASSERT(Png != nullptr, kUnit);
  TPngImageHelper::AlphaBlend(*Png, Amount);
}

void MakeImageGrayscale(TPngImage* Png, Byte Amount)
{
  QX_ASSERT(Png != nullptr, kUnit);
  PngMath::GrayscaleImage(*Png, Amount);
}

void ConvertToPNG(TGraphic* Source, TPngImage*& Dest)
{
  QX_ASSERT(Source != nullptr, kUnit);
  auto png = std::make_unique<TPngImage>();
  TPngImageHelper::AssignGraphic(*png, Source);
  Dest = png.release();
}

void CreatePNG(TBitmap* Color, TBitmap* Mask, TPngImage*& Dest, bool Inverse)
{
  QX_ASSERT(Color != nullptr, kUnit);
  if (!Mask) {
    Dest = PngWithAlpha(Color, [](int, int, TColor) { return Byte(255); });
    return;
  }
  if (Mask->Width() != Color->Width() || Mask->Height() != Color->Height())
    throw EInvalidOperation("The mask and the colour bitmap differ in size");
  auto mask = TrueColourCopy(Mask);
  TCanvas* maskCanvas = mask->Canvas();
  Dest = PngWithAlpha(Color, [&](int x, int y, TColor) {
    const Byte red = Byte(ColorToRGB(maskCanvas->Pixels(x, y)));
    return Inverse ? Byte(255 - red) : red;
  });
}

void CreatePNGMasked(TBitmap* Bitmap, TColor TransparentColor, TPngImage*& Dest)
{
  QX_ASSERT(Bitmap != nullptr, kUnit);
  const TColor key = ColorToRGB(TransparentColor);
  Dest = PngWithAlpha(Bitmap, [key](int, int, TColor c) { return c == key ? Byte(0) : Byte(255); });
}

void CopyImageFromImageList(TPngImage* Png, TCustomImageList* ImageList, int Index)
{
  QX_ASSERT(Png != nullptr && ImageList != nullptr, kUnit);
  if (auto* pngList = dynamic_cast<TPngImageList*>(ImageList)) {
    if (TPngImageCollectionItem* item = pngList->PngImages()->Items(Index); item && item->PngImage())
      Png->Assign(item->PngImage());
    return;
  }
  TIcon icon;
  ImageList->GetIcon(Index, &icon);
  Win::ICONINFO info;
  if (icon.Empty() || !Win::GetIconInfo(icon.Handle(), &info))
    return;
  const int w = Win::BitmapWidth(info.hbmColor), h = Win::BitmapHeight(info.hbmColor);
  const std::uint32_t* colour = Win::BitmapBits(info.hbmColor);
  const std::uint32_t* mask = Win::BitmapBits(info.hbmMask);
  TPngImage result;
  result.CreateBlank(COLOR_RGBALPHA, 8, w, h);
  for (int y = 0; y < h; ++y) {
    Byte* rgb = result.Scanline(y);
    Byte* alpha = result.AlphaScanline(y);
    for (int x = 0; x < w; ++x, rgb += 3) {
      const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
      rgb[0] = Byte(colour[i]);
      rgb[1] = Byte(colour[i] >> 8);
      rgb[2] = Byte(colour[i] >> 16);
      alpha[x] = (mask[i] & 0x00FFFFFF) == 0 ? 255 : 0;
    }
  }
  Win::DeleteObject(info.hbmColor);
  Win::DeleteObject(info.hbmMask);
  Png->Assign(&result);
}

void SlicePNG(TPngImage* Png, int Columns, int Rows, TObjectList<TPngImage>*& SliceList)
{
  QX_ASSERT(Png != nullptr, kUnit);
  if (Columns < 1 || Rows < 1)
    throw EInvalidOperation("Slicing needs at least one column and one row");
  const int w = Png->Width() / Columns, h = Png->Height() / Rows;
  if (w < 1 || h < 1)
    throw EInvalidOperation("The slices would be smaller than a pixel");
  const bool withAlpha = Png->AlphaScanline(0) != nullptr;
  auto list = std::make_unique<TObjectList<TPngImage>>(false);
  try {
    for (int row = 0; row < Rows; ++row)
      for (int column = 0; column < Columns; ++column) {
        auto slice = std::make_unique<TPngImage>();
        slice->CreateBlank(withAlpha ? COLOR_RGBALPHA : COLOR_RGB, 8, w, h);
        for (int y = 0; y < h; ++y) {
          Byte* colour = slice->Scanline(y);
          for (int x = 0; x < w; ++x, colour += 3) {
            const TColor c = ColorToRGB(Png->Pixels(column * w + x, row * h + y));
            colour[0] = Byte(c >> 16);
            colour[1] = Byte(c >> 8);
            colour[2] = Byte(c);
          }
          if (withAlpha)
            std::memcpy(slice->AlphaScanline(y), Png->AlphaScanline(row * h + y) + column * w, size_t(w));
        }
        list->Add(slice.release());
      }
  } catch (...) {
    for (TPngImage* slice : *list)
      delete slice;
    throw;
  }
  SliceList = list.release();
}

} // namespace Quorex
