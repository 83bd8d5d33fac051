#include <QxSolidImages.hpp>
#include <Quorex.Imaging.PngHelper.hpp>
#include <Quorex.Vcl.PngButtonFunctions.hpp>
#include <Quorex.Vcl.PngFunctions.hpp>

#include <gtest/gtest.h>

using namespace Vcl;
using namespace Quorex;
using QxTest::SolidBitmap;
using QxTest::SolidPng;

TEST(PngFunctionsGrey, MakeImageGrayscaleAtZeroMiddleAndFull)
{
  auto at = [](TColor c, Byte v) {
    auto png = SolidPng(c, 1, 1);
    MakeImageGrayscale(png.get(), v);
    return png->Pixels(0, 0);
  };
  EXPECT_EQ(at(clWhite, 0), clWhite);            // 254 + 1
  EXPECT_EQ(at(TColor(0x0000C8), 0), TColor(0x0000C7)); // red 200: 199 + Round(60/256) = 199
  EXPECT_EQ(at(clWhite, 127), clWhite);          // 128 + 128 must not wrap to black
  EXPECT_EQ(at(clRed, 255), TColor(0x4C4C4C));
  EXPECT_EQ(at(clRed, 127), TColor(0x2626A6));   // red 128 + 38; the others 0 + 38
}

// Whole images take a shorter way than palette entries; both give the same
// greys at every intensity.
TEST(PngFunctionsGrey, ImagesAndPalettesGreyAlike)
{
  std::vector<TPngPaletteEntry> palette;
  for (int i = 0; i < 256; ++i)
    palette.push_back({Byte(i * 37), Byte(255 - i), Byte(i * i)});
  for (Byte v : {Byte(0), Byte(100), Byte(254), Byte(255)}) {
    TPngImage indexed, rgb;
    indexed.CreateBlank(COLOR_PALETTE, 8, 256, 1);
    indexed.SetPalette(palette);
    rgb.CreateBlank(COLOR_RGB, 8, 256, 1);
    for (int x = 0; x < 256; ++x) {
      indexed.Scanline(0)[x] = Byte(x);
      rgb.SetPixels(x, 0, indexed.Pixels(x, 0));
    }
    MakeImageGrayscale(&indexed, v);
    MakeImageGrayscale(&rgb, v);
    for (int x = 0; x < 256; ++x)
      ASSERT_EQ(rgb.Pixels(x, 0), indexed.Pixels(x, 0)) << "intensity " << int(v) << ", colour " << x;
  }
}

TEST(PngFunctionsGrey, DisabledLookOfAnOpaqueRedPixel)
{
  auto png = SolidPng(clRed, 1, 1);
  auto copy = std::make_unique<TPngImage>();
  copy->Assign(png.get());
  MakeImageBlended(copy.get(), 127);
  MakeImageGrayscale(copy.get(), 255);
  EXPECT_EQ(copy->Pixels(0, 0), TColor(0x4C4C4C));
  EXPECT_EQ(copy->AlphaScanline(0)[0], 128);

  // DrawPNG draws that look and leaves the caller's image alone.
  TBitmap normal, disabled, expected;
  for (TBitmap* b : {&normal, &disabled, &expected}) {
    b->SetPixelFormat(pf32bit);
    b->SetSize(4, 4);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->FillRect(TRect(0, 0, 4, 4));
  }
  DrawPNG(png.get(), normal.Canvas(), TRect(0, 0, 4, 4), {});
  DrawPNG(png.get(), disabled.Canvas(), TRect(0, 0, 4, 4), {pngBlendOnDisabled, pngGrayscaleOnDisabled});
  expected.Canvas()->StretchDraw(TRect(0, 0, 4, 4), copy.get());
  EXPECT_EQ(normal.Canvas()->Pixels(2, 2), clRed);
  EXPECT_EQ(disabled.Canvas()->Pixels(2, 2), expected.Canvas()->Pixels(2, 2));
  EXPECT_NE(disabled.Canvas()->Pixels(2, 2), clRed);
  EXPECT_EQ(png->Pixels(0, 0), clRed);
  EXPECT_EQ(png->AlphaScanline(0)[0], 255);
}

TEST(PngFunctionsGrey, PaletteImagesGreyTheirPalette)
{
  TPngImage png;
  png.CreateBlank(COLOR_PALETTE, 8, 2, 1);
  png.SetPalette({{255, 0, 0, 255}, {0, 0, 255, 255}});
  png.Scanline(0)[1] = 1;
  MakeImageGrayscale(&png, 255);
  EXPECT_EQ(png.Scanline(0)[1], 1); // the index data stays
  EXPECT_EQ(png.Palette()[0].Green, 76);
  EXPECT_EQ(png.Palette()[1].Red, 28); // Round(28.05)
}

TEST(PngFunctionsConvert, CreatePngTakesAlphaFromTheMask)
{
  auto colour = SolidBitmap(3, 2, clBlue);
  auto mask = SolidBitmap(3, 2, TColor(0x808080));
  TPngImage* png = nullptr;
  CreatePNG(colour.get(), mask.get(), png, false);
  std::unique_ptr<TPngImage> owned(png);
  EXPECT_EQ(png->AlphaScanline(1)[2], 128);
  EXPECT_EQ(png->Pixels(0, 0), clBlue);
  CreatePNG(colour.get(), mask.get(), png, true);
  owned.reset(png);
  EXPECT_EQ(png->AlphaScanline(0)[0], 127);
  CreatePNG(colour.get(), nullptr, png, false); // no mask: opaque
  owned.reset(png);
  EXPECT_EQ(png->AlphaScanline(0)[0], 255);
  auto small = SolidBitmap(2, 2, clWhite);
  png = nullptr;
  EXPECT_THROW(CreatePNG(colour.get(), small.get(), png, false), EInvalidOperation);
  EXPECT_EQ(png, nullptr);
}

TEST(PngFunctionsConvert, MaskedAndConvertedBitmaps)
{
  auto bmp = SolidBitmap(2, 1, clRed);
  bmp->Canvas()->SetPixels(1, 0, clBtnFace);
  TPngImage* png = nullptr;
  CreatePNGMasked(bmp.get(), clBtnFace, png);
  std::unique_ptr<TPngImage> owned(png);
  EXPECT_EQ(png->AlphaScanline(0)[0], 255);
  EXPECT_EQ(png->AlphaScanline(0)[1], 0);

  // A plain bitmap converts without an alpha plane; a transparent one gets alpha 0 on its key.
  ConvertToPNG(bmp.get(), png);
  owned.reset(png);
  EXPECT_EQ(png->Header().ColorType, COLOR_RGB);
  bmp->SetTransparent(true);
  bmp->SetTransparentMode(tmFixed);
  bmp->SetTransparentColor(clRed);
  ConvertToPNG(bmp.get(), png);
  owned.reset(png);
  ASSERT_EQ(png->Header().ColorType, COLOR_RGBALPHA);
  EXPECT_EQ(png->AlphaScanline(0)[0], 0);
  EXPECT_EQ(png->AlphaScanline(0)[1], 255);
}

TEST(PngFunctionsConvert, IconsBringTheirMaskOrAlpha)
{
  Win::HBITMAP colour = Win::CreateBitmap32(2, 1);
  Win::HBITMAP mask = Win::CreateBitmap32(2, 1);
  Win::BitmapBits(colour)[0] = 0x00FF0000; // red, no alpha byte
  Win::BitmapBits(colour)[1] = 0x0000FF00;
  Win::BitmapBits(mask)[0] = 0x00000000;   // opaque
  Win::BitmapBits(mask)[1] = 0x00FFFFFF;   // transparent
  Win::ICONINFO info;
  info.hbmColor = colour;
  info.hbmMask = mask;
  TIcon icon;
  icon.SetHandle(Win::CreateIconIndirect(&info));
  TPngImage png;
  TPngImageHelper::AssignGraphic(png, &icon);
  ASSERT_EQ(png.Header().ColorType, COLOR_RGBALPHA);
  EXPECT_EQ(png.Pixels(0, 0), clRed);
  EXPECT_EQ(png.AlphaScanline(0)[0], 255);
  EXPECT_EQ(png.AlphaScanline(0)[1], 0);

  Win::BitmapBits(colour)[0] = 0x80FF0000; // now with its own alpha
  TIcon alphaIcon;
  alphaIcon.SetHandle(Win::CreateIconIndirect(&info));
  TPngImageHelper::AssignGraphic(png, &alphaIcon);
  EXPECT_EQ(png.AlphaScanline(0)[0], 0x80);
  Win::DeleteObject(colour);
  Win::DeleteObject(mask);
}

TEST(PngFunctionsSlices, SlicesComeRowByRowAndDropTheRemainder)
{
  TPngImage png;
  png.CreateBlank(COLOR_RGBALPHA, 8, 50, 20);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 50; ++x) {
      png.SetPixels(x, y, TColor(x) | (TColor(y) << 8));
      png.AlphaScanline(y)[x] = Byte(x + y);
    }
  TObjectList<TPngImage>* slices = nullptr;
  SlicePNG(&png, 3, 2, slices);
  std::unique_ptr<TObjectList<TPngImage>> list(slices);
  ASSERT_EQ(list->Count(), 6);
  for (TPngImage* s : *list) {
    EXPECT_EQ(s->Width(), 16);
    EXPECT_EQ(s->Height(), 10);
  }
  EXPECT_EQ((*list)[1]->Pixels(0, 0), TColor(16));
  EXPECT_EQ((*list)[3]->Pixels(0, 0), TColor(10 << 8));
  EXPECT_EQ((*list)[5]->Pixels(15, 9), TColor(47 | (19 << 8)));
  EXPECT_EQ((*list)[5]->AlphaScanline(9)[15], 47 + 19);
  for (TPngImage* s : *list)
    delete s;
  EXPECT_THROW(SlicePNG(&png, 0, 1, slices), EInvalidOperation);
}

TEST(PngFunctionsLegacy, ThePngObjectClassLoadsByName)
{
  EXPECT_EQ(TPicture::FindGraphicClass("TPNGObject"), &TPNGObject::StaticClass());
}

namespace {

struct TLayoutCase {
  TButtonLayout Layout;
  TPoint Glyph;
  TPoint Text;
};

} // namespace

TEST(PngButtonLayout, EachLayoutWithAndWithoutText)
{
  TBitmap surface;
  surface.SetSize(10, 10);
  TCanvas* canvas = surface.Canvas();
  canvas->Font()->SetName("DejaVu Sans Mono");
  auto glyph = SolidPng(clRed);
  const TSize text = canvas->TextExtent("Go");
  const TRect client(0, 0, 100, 40);
  TPoint g, t;

  CalcButtonLayout(canvas, glyph.get(), client, false, false, "", blGlyphLeft, -1, 4, g, t, 0);
  EXPECT_EQ(g, TPoint(42, 12)); // no text: spacing 0, centred on both axes

  const int freeX = 100 - (16 + 4 + text.cx);
  CalcButtonLayout(canvas, glyph.get(), client, false, false, "Go", blGlyphLeft, -1, 4, g, t, 0);
  EXPECT_EQ(g, TPoint(freeX / 2, 12));
  EXPECT_EQ(t, TPoint(freeX / 2 + 16 + 4, (40 - text.cy) / 2));

  CalcButtonLayout(canvas, glyph.get(), client, false, false, "Go", blGlyphRight, 5, 4, g, t, 0);
  EXPECT_EQ(g, TPoint(100 - 5 - 16, 12));
  EXPECT_EQ(t, TPoint(100 - 5 - 16 - 4 - text.cx, (40 - text.cy) / 2));

  const TRect tall(0, 0, 40, 100);
  const int freeY = 100 - (16 + 4 + text.cy);
  CalcButtonLayout(canvas, glyph.get(), tall, false, false, "Go", blGlyphTop, -1, 4, g, t, 0);
  EXPECT_EQ(g, TPoint(12, freeY / 2));
  EXPECT_EQ(t, TPoint((40 - text.cx) / 2, freeY / 2 + 16 + 4));
  CalcButtonLayout(canvas, glyph.get(), tall, false, false, "Go", blGlyphBottom, 2, 4, g, t, 0);
  EXPECT_EQ(g, TPoint(12, 100 - 2 - 16));
  EXPECT_EQ(t.Y, 100 - 2 - 16 - 4 - text.cy);

  // Right-to-left flags swap left and right; pressed shifts both by one pixel.
  TPoint g2, t2;
  CalcButtonLayout(canvas, glyph.get(), client, false, false, "Go", blGlyphRight, 5, 4, g, t, 0);
  CalcButtonLayout(canvas, glyph.get(), TRect(10, 20, 110, 60), true, false, "Go",
                   blGlyphLeft, 5, 4, g2, t2, int(Win::DT_RIGHT));
  EXPECT_EQ(g2, g + TPoint(11, 21));
  EXPECT_EQ(t2.Y, t.Y + 21);

  // Automatic margin and spacing share the free space in thirds.
  CalcButtonLayout(canvas, glyph.get(), client, false, false, "Go", blGlyphLeft, -1, -1, g, t, 0);
  const int third = (100 - (16 + text.cx)) / 3;
  EXPECT_EQ(g.X, third);
  EXPECT_EQ(t.X, third + 16 + third);
  // No glyph at all.
  CalcButtonLayout(canvas, nullptr, client, false, false, "Go", blGlyphLeft, -1, 4, g, t, 0);
  EXPECT_EQ(t.X, (100 - text.cx) / 2);
}
