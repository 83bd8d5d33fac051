#include <System.Classes.Streaming.hpp>
#include <Vcl.Graphics.hpp>
#include <Vcl.Imaging.pngimage.hpp>

#include <QxFormCompare.hpp>
#include <QxSolidImages.hpp>
#include <QxTestSupport.hpp>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace Vcl;

namespace {

// A white 32-bit bitmap to draw on.
std::unique_ptr<TBitmap> WhiteSheet(int width, int height)
{
  return QxTest::SolidBitmap(width, height, clWhite, pfDevice);
}

// A 3 x 1 RGBA image: opaque red, half-transparent blue, transparent green.
void MakeRgba(TPngImage& png)
{
  png.CreateBlank(COLOR_RGBALPHA, 8, 3, 1);
  png.SetPixels(0, 0, clRed);
  png.SetPixels(1, 0, clBlue);
  png.SetPixels(2, 0, clLime);
  Byte* alpha = png.AlphaScanline(0);
  alpha[0] = 255;
  alpha[1] = 128;
  alpha[2] = 0;
}

void ExpectNear(TColor actual, TColor expected, int tolerance = 1)
{
  for (int shift = 0; shift < 24; shift += 8)
    EXPECT_LE(std::abs(((actual >> shift) & 0xFF) - ((expected >> shift) & 0xFF)), tolerance)
      << std::hex << actual << " vs " << expected;
}

} // namespace

TEST(PngDraw, DrawCompositesStraightAlphaOverTheCanvas)
{
  TPngImage png;
  MakeRgba(png);
  auto sheet = WhiteSheet(5, 2);
  sheet->Canvas()->Draw(1, 1, &png);
  TCanvas* c = sheet->Canvas();
  EXPECT_EQ(c->Pixels(0, 1), clWhite);
  EXPECT_EQ(c->Pixels(1, 1), clRed);
  ExpectNear(c->Pixels(2, 1), TColor(0xFF7F7F)); // blue at 128 over white
  EXPECT_EQ(c->Pixels(3, 1), clWhite);
  EXPECT_EQ(c->Pixels(1, 0), clWhite);

  // With a constant opacity on top of the per-pixel alpha.
  sheet = WhiteSheet(5, 2);
  sheet->Canvas()->Draw(0, 0, &png, 128);
  ExpectNear(sheet->Canvas()->Pixels(0, 0), TColor(0x7F7FFF));
  ExpectNear(sheet->Canvas()->Pixels(1, 0), TColor(0xFFBFBF), 2);
  EXPECT_EQ(sheet->Canvas()->Pixels(2, 0), clWhite);
}

TEST(PngDraw, StretchDrawScalesAndHonoursTheTransparentColour)
{
  TPngImage png;
  png.CreateBlank(COLOR_RGB, 8, 2, 2);
  png.SetPixels(0, 0, clNavy);
  png.SetPixels(1, 0, clLime);
  png.SetPixels(0, 1, clLime);
  png.SetPixels(1, 1, clMaroon);
  png.SetTransparentColor(clLime);
  auto sheet = WhiteSheet(8, 8);
  sheet->Canvas()->StretchDraw(TRect(2, 2, 6, 6), &png);
  TCanvas* c = sheet->Canvas();
  for (auto [x, y, colour] : {std::tuple{2, 2, clNavy}, {3, 3, clNavy}, {4, 2, clWhite}, {5, 3, clWhite},
                              {2, 5, clWhite}, {5, 5, clMaroon}, {4, 4, clMaroon}, {6, 6, clWhite},
                              {1, 2, clWhite}})
    EXPECT_EQ(c->Pixels(x, y), colour) << x << "," << y;

  // Palette alphas work the same way.
  png.CreateBlank(COLOR_PALETTE, 1, 2, 1);
  png.SetPalette({{255, 0, 0, 0}, {0, 0, 255, 255}});
  png.SetPixels(1, 0, clBlue);
  sheet = WhiteSheet(2, 1);
  sheet->Canvas()->Draw(0, 0, &png);
  EXPECT_EQ(sheet->Canvas()->Pixels(0, 0), clWhite);
  EXPECT_EQ(sheet->Canvas()->Pixels(1, 0), clBlue);
}

TEST(PngDraw, CanvasDrawingAndRowWritesMeetEachOther)
{
  TPngImage png;
  MakeRgba(png);
  png.Canvas()->Brush()->SetColor(clYellow);
  png.Canvas()->FillRect(TRect(1, 0, 2, 1));
  EXPECT_EQ(png.Pixels(1, 0), clYellow); // drawing reached the rows
  EXPECT_EQ(png.AlphaScanline(0)[1], 128); // and left the alpha alone
  Byte* row = png.Scanline(0);
  row[0] = 0x11; // blue of pixel 0
  row[1] = 0x22;
  row[2] = 0x33;
  EXPECT_EQ(png.Canvas()->Pixels(0, 0), TColor(0x112233)); // row writes reached the surface
  EXPECT_EQ(png.Canvas()->Pixels(1, 0), clYellow);

  // Copying between two images' canvases with raw GDI, as region copies do.
  TPngImage target;
  target.CreateBlank(COLOR_RGBALPHA, 8, 2, 1);
  Win::BitBlt(target.Canvas()->Handle(), 0, 0, 2, 1, png.Canvas()->Handle(), 0, 0, Win::SRCCOPY);
  EXPECT_EQ(target.Pixels(0, 0), TColor(0x112233));
  EXPECT_EQ(target.Pixels(1, 0), clYellow);

  // A new size makes a new surface.
  target.Resize(3, 2);
  target.Canvas()->Brush()->SetColor(clAqua);
  target.Canvas()->FillRect(TRect(2, 1, 3, 2));
  EXPECT_EQ(target.Pixels(2, 1), clAqua);
  EXPECT_EQ(target.Pixels(0, 0), TColor(0x112233));

  // Palette entries of the same colour stay apart when the canvas was only
  // looked at.
  png.CreateBlank(COLOR_PALETTE, 1, 2, 1);
  png.SetPalette({{9, 9, 9, 0}, {9, 9, 9, 255}});
  png.Scanline(0)[0] = 0x40; // pixel 1 uses entry 1
  EXPECT_EQ(png.Canvas()->Pixels(1, 0), TColor(0x090909));
  EXPECT_EQ(png.Scanline(0)[0], 0x40);

  // Grey images take the drawn colour's grey level.
  png.CreateBlank(COLOR_GRAYSCALE, 8, 2, 1);
  png.Canvas()->Brush()->SetColor(clWhite);
  png.Canvas()->FillRect(TRect(0, 0, 1, 1));
  EXPECT_EQ(png.Scanline(0)[0], 255);
  EXPECT_EQ(png.Scanline(0)[1], 0);
}

TEST(PngDraw, AssignFromAndToBitmaps)
{
  TBitmap bitmap(2, 1);
  bitmap.SetPixelFormat(pf24bit);
  bitmap.Canvas()->SetPixels(0, 0, clRed);
  bitmap.Canvas()->SetPixels(1, 0, clTeal);
  TPngImage png;
  png.Assign(&bitmap);
  EXPECT_EQ(png.Header().ColorType, COLOR_RGB);
  EXPECT_EQ(png.Pixels(0, 0), clRed);
  EXPECT_EQ(png.Pixels(1, 0), clTeal);
  EXPECT_EQ(png.TransparencyMode(), ptmNone);

  bitmap.SetTransparentColor(clTeal);
  bitmap.SetTransparent(true);
  png.Assign(&bitmap);
  EXPECT_EQ(png.TransparencyMode(), ptmBit);
  EXPECT_EQ(png.TransparentColor(), clTeal);

  TBitmap alpha(2, 1);
  alpha.SetPixelFormat(pf32bit);
  alpha.SetAlphaFormat(afPremultiplied);
  auto* p = reinterpret_cast<std::uint32_t*>(alpha.ScanLine(0));
  p[0] = 0x80400000; // red 0x80 at alpha 0x80, premultiplied
  p[1] = 0xFF00FF00;
  png.Assign(&alpha);
  EXPECT_EQ(png.Header().ColorType, COLOR_RGBALPHA);
  EXPECT_EQ(png.AlphaScanline(0)[0], 0x80);
  EXPECT_EQ(png.Pixels(0, 0), TColor(0x000080)); // straight again
  EXPECT_EQ(png.Pixels(1, 0), clLime);

  TPngImage rgba;
  MakeRgba(rgba);
  TBitmap out;
  out.Assign(&rgba);
  EXPECT_EQ(out.PixelFormat(), pf32bit);
  EXPECT_EQ(out.AlphaFormat(), afDefined);
  const Byte* row = out.ScanLine(0);
  EXPECT_EQ(row[4 + 0], 0xFF); // blue, straight
  EXPECT_EQ(row[4 + 3], 128);
  EXPECT_EQ(row[8 + 3], 0);

  png.CreateBlank(COLOR_RGB, 8, 2, 1);
  png.SetPixels(1, 0, clOlive);
  png.SetTransparentColor(clOlive);
  out.Assign(&png);
  EXPECT_EQ(out.PixelFormat(), pf24bit);
  EXPECT_TRUE(out.Transparent());
  EXPECT_EQ(out.TransparentColor(), clOlive);
  EXPECT_EQ(out.Canvas()->Pixels(1, 0), clOlive);
}

TEST(PngDraw, PicturesKnowPngFilesAndFormData)
{
  std::string path = QxTest::TempDir() + "/picture.png";
  TPngImage png;
  MakeRgba(png);
  png.SaveToFile(path);
  TPicture picture;
  picture.LoadFromFile(path);
  auto* loaded = dynamic_cast<TPngImage*>(picture.Graphic());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->AlphaScanline(0)[1], 128);

  TMemoryStream data;
  picture.WriteData(&data);
  data.SetPosition(0);
  TPicture copy;
  copy.ReadData(&data);
  ASSERT_NE(dynamic_cast<TPngImage*>(copy.Graphic()), nullptr);
  EXPECT_EQ(copy.Graphic()->Width(), 3);
}

namespace {

// A component that publishes a PNG and a picture, as image lists and
// buttons do.
class TPngHolder : public TComponent {
  QX_CLASS(TPngHolder, TComponent)
public:
  explicit TPngHolder(TComponent* AOwner) : TComponent(AOwner) {}
  TPngImage* PngImage() const { return FPng.get(); }
  void SetPngImage(TPngImage* v) { FPng->Assign(v); }
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* v) { FPicture->Assign(v); }

private:
  std::unique_ptr<TPngImage> FPng = std::make_unique<TPngImage>();
  std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
};

} // namespace

QX_PUBLISHED(TPngHolder)
{
  Property("PngImage", &T::PngImage, &T::SetPngImage);
  Property("Picture", &T::Picture, &T::SetPicture);
}

TEST(PngDraw, FormResourcesStoreThePngFileAndNothingForAnEmptyImage)
{
  TPngHolder holder(nullptr);
  holder.SetName("Holder");
  String text = WriteComponentRes(&holder);
  EXPECT_EQ(text.find("PngImage"), String::npos) << text;

  MakeRgba(*holder.PngImage());
  TPngImage empty;
  holder.Picture()->SetGraphic(&empty);
  text = WriteComponentRes(&holder);
  EXPECT_NE(text.find("PngImage.Data = {\n    89504E470D0A1A0A"), String::npos) << text;
  auto h = QxTest::ReadAs<TPngHolder>(text);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->PngImage()->AlphaScanline(0)[1], 128);
  EXPECT_EQ(h->PngImage()->Pixels(0, 0), clRed);
  auto* png = dynamic_cast<TPngImage*>(h->Picture()->Graphic());
  ASSERT_NE(png, nullptr);
  EXPECT_TRUE(png->Empty());
}
