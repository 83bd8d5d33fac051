#include "GraphicsTestHelpers.hpp"

#include <QxSolidImages.hpp>
#include <gtest/gtest.h>

using namespace Vcl;
using GraphicsTest::Pixel;
using QxTest::SolidBitmap;

namespace {

int CountColor(TBitmap& bitmap, TColor color)
{
  int n = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      n += Pixel(bitmap, x, y) == color;
  return n;
}

} // namespace

TEST(GraphicsCanvas, FillFrameAndPixelsFollowBrushChanges)
{
  auto bitmap = SolidBitmap(20, 10, clRed);
  TCanvas* canvas = bitmap->Canvas();
  EXPECT_EQ(Pixel(*bitmap, 0, 0), clRed);
  EXPECT_EQ(Pixel(*bitmap, 19, 9), clRed);

  canvas->Brush()->SetColor(clBlue); // selected: the context follows at once
  canvas->FillRect(TRect(5, 5, 10, 10));
  EXPECT_EQ(Pixel(*bitmap, 5, 5), clBlue);
  EXPECT_EQ(Pixel(*bitmap, 9, 9), clBlue);
  EXPECT_EQ(Pixel(*bitmap, 10, 5), clRed);

  canvas->Brush()->SetColor(clLime);
  canvas->FrameRect(TRect(0, 0, 4, 4));
  EXPECT_EQ(Pixel(*bitmap, 0, 0), clLime);
  EXPECT_EQ(Pixel(*bitmap, 3, 3), clLime);
  EXPECT_EQ(Pixel(*bitmap, 1, 1), clRed);

  canvas->SetPixels(12, 2, clYellow);
  EXPECT_EQ(canvas->Pixels(12, 2), clYellow);
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(TRect(15, 0, 20, 2));
  EXPECT_EQ(Pixel(*bitmap, 15, 0), ColorToRGB(clBtnFace));

  canvas->Brush()->SetStyle(bsClear);
  canvas->FillRect(TRect(0, 0, 20, 10)); // a clear brush paints nothing
  EXPECT_EQ(Pixel(*bitmap, 12, 2), clYellow);
  EXPECT_EQ(canvas->ClipRect(), TRect(0, 0, 20, 10));
}

TEST(GraphicsCanvas, NotifiesAroundDrawing)
{
  auto bitmap = SolidBitmap(4, 4, clWhite);
  std::vector<std::string> events;
  bitmap->Canvas()->OnChanging = [&](TObject*) { events.push_back("changing"); };
  bitmap->Canvas()->OnChange = [&](TObject*) { events.push_back("change"); };
  bitmap->OnChange = [&](TObject*) { events.push_back("bitmap"); };
  bitmap->Canvas()->FillRect(TRect(0, 0, 2, 2));
  EXPECT_EQ(events, (std::vector<std::string>{"changing", "change", "bitmap"}));
}

TEST(GraphicsCanvas, DrawsOnAForeignContextWithoutOwningIt)
{
  Win::HDC dc = Win::CreateCompatibleDC(nullptr);
  Win::HBITMAP surface = Win::CreateBitmap32(8, 8);
  Win::HGDIOBJ old = Win::SelectObject(dc, surface);
  {
    TCanvas canvas;
    EXPECT_FALSE(canvas.HandleAllocated());
    EXPECT_THROW(canvas.FillRect(TRect(0, 0, 1, 1)), EInvalidOperation);
    canvas.SetHandle(dc);
    canvas.Brush()->SetColor(clTeal);
    canvas.FillRect(TRect(0, 0, 8, 8));
    canvas.Lock();
    EXPECT_TRUE(canvas.TryLock());
    EXPECT_EQ(canvas.LockCount(), 2);
    canvas.Unlock();
    canvas.Unlock();
  }
  EXPECT_EQ(Win::GetPixel(dc, 3, 3), Win::COLORREF(clTeal));
  Win::SelectObject(dc, old);
  EXPECT_TRUE(Win::DeleteObject(surface));
  Win::DeleteDC(dc);
}

TEST(GraphicsCanvas, ShapesAndLinesUsePenAndBrush)
{
  auto bitmap = SolidBitmap(12, 12, clWhite);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Pen()->SetColor(clBlack);
  canvas->Brush()->SetColor(clYellow);
  canvas->Rectangle(0, 0, 6, 6);
  EXPECT_EQ(Pixel(*bitmap, 0, 0), clBlack);
  EXPECT_EQ(Pixel(*bitmap, 5, 5), clBlack);
  EXPECT_EQ(Pixel(*bitmap, 2, 2), clYellow);
  EXPECT_EQ(Pixel(*bitmap, 6, 6), clWhite);

  canvas->Pen()->SetColor(clRed); // the new pen is selected at once
  canvas->MoveTo(0, 10);
  canvas->LineTo(8, 10);
  EXPECT_EQ(Pixel(*bitmap, 7, 10), clRed);
  EXPECT_EQ(Pixel(*bitmap, 8, 10), clWhite); // the end point is not drawn
  EXPECT_EQ(canvas->PenPos(), TPoint(8, 10));

  canvas->Brush()->SetColor(clGreen);
  canvas->Pen()->SetStyle(psClear);
  canvas->Polygon({TPoint(7, 0), TPoint(12, 0), TPoint(12, 5), TPoint(7, 5)});
  EXPECT_EQ(Pixel(*bitmap, 9, 2), clGreen);
}

TEST(GraphicsCanvas, TextLandsInTheFontColourAndMeasuresConsistently)
{
  auto bitmap = SolidBitmap(120, 40, clWhite);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Font()->SetName("DejaVu Sans");
  canvas->Font()->SetHeight(-24);
  canvas->Font()->SetStyle({fsBold});
  canvas->Font()->SetColor(clRed);
  canvas->Brush()->SetStyle(bsClear);
  canvas->TextOut(2, 2, "HH");
  EXPECT_GT(CountColor(*bitmap, clRed), 20);
  const TSize extent = canvas->TextExtent("HH");
  EXPECT_GT(extent.cx, 10);
  EXPECT_EQ(canvas->TextWidth(""), 0);
  EXPECT_EQ(canvas->PenPos(), TPoint(2 + extent.cx, 2));

  // The font colour change reaches the selected context.
  canvas->Font()->SetColor(clBlue);
  canvas->TextOut(60, 2, "HH");
  EXPECT_GT(CountColor(*bitmap, clBlue), 20);

  TRect measured(0, 0, 1000, 0);
  String text = "Hello";
  canvas->TextRect(measured, text, {tfCalcRect, tfSingleLine});
  EXPECT_EQ(measured.Width(), canvas->TextWidth("Hello"));
  EXPECT_EQ(measured.Height(), canvas->TextHeight("Hello"));

  canvas->Brush()->SetColor(clLime); // opaque: the clip rectangle takes the brush
  canvas->TextRect(TRect(0, 30, 10, 40), 0, 30, "");
  EXPECT_EQ(Pixel(*bitmap, 5, 35), clLime);
}

TEST(GraphicsBitmap, ScanLineAndCanvasAgreeInEveryFormat)
{
  for (TPixelFormat format : {pf24bit, pf32bit, pfDevice}) {
    SCOPED_TRACE(int(format));
    auto bitmap = SolidBitmap(6, 4, clRed, format);
    const int bytes = format == pf24bit ? 3 : 4;
    Byte* row = bitmap->ScanLine(1);
    EXPECT_EQ(row[3 * bytes + 0], 0);
    EXPECT_EQ(row[3 * bytes + 1], 0);
    EXPECT_EQ(row[3 * bytes + 2], 255);
    row[4 * bytes + 0] = 10; // blue
    row[4 * bytes + 1] = 20;
    row[4 * bytes + 2] = 30;
    EXPECT_EQ(Pixel(*bitmap, 4, 1), TColor(Win::RGB(30, 20, 10)));
    bitmap->Canvas()->Brush()->SetColor(clBlue);
    bitmap->Canvas()->FillRect(TRect(0, 3, 6, 4));
    EXPECT_EQ(bitmap->ScanLine(3)[0], 255);
    EXPECT_EQ(bitmap->ScanLine(3)[2], 0);
    EXPECT_EQ(bitmap->ScanLine(1)[4 * bytes + 2], 30);
    EXPECT_THROW(bitmap->ScanLine(4), EInvalidGraphicOperation);
    EXPECT_THROW(bitmap->ScanLine(-1), EInvalidGraphicOperation);
  }

  auto mono = SolidBitmap(10, 2, clWhite, pf1bit);
  EXPECT_TRUE(mono->Monochrome());
  mono->Canvas()->SetPixels(1, 0, clBlack);
  EXPECT_EQ(mono->ScanLine(0)[0], 0xBF);
  EXPECT_EQ(mono->ScanLine(0)[1], 0xC0);
  mono->ScanLine(1)[0] = 0x7F;
  EXPECT_EQ(Pixel(*mono, 0, 1), clBlack);
  EXPECT_EQ(Pixel(*mono, 1, 1), clWhite);
  mono->Canvas()->Brush()->SetColor(clSilver); // light: white once seen in 1 bit
  mono->Canvas()->FillRect(TRect(0, 0, 10, 2));
  EXPECT_EQ(mono->ScanLine(1)[0], 0xFF);
}

TEST(GraphicsBitmap, SizeFormatAndCopies)
{
  auto bitmap = SolidBitmap(4, 4, clRed);
  bitmap->SetSize(6, 2);
  EXPECT_EQ(Pixel(*bitmap, 3, 1), clRed);
  EXPECT_EQ(Pixel(*bitmap, 5, 1), clBlack);
  EXPECT_THROW(bitmap->SetPixelFormat(pf8bit), EInvalidGraphicOperation);
  EXPECT_EQ(bitmap->PixelFormat(), pf24bit);

  TBitmap copy;
  copy.Assign(bitmap.get());
  bitmap->Canvas()->Brush()->SetColor(clBlue);
  bitmap->Canvas()->FillRect(TRect(0, 0, 6, 2));
  EXPECT_EQ(Pixel(copy, 0, 0), clRed);
  EXPECT_EQ(copy.PixelFormat(), pf24bit);

  Win::HBITMAP handle = copy.ReleaseHandle();
  EXPECT_TRUE(copy.Empty());
  TBitmap adopted;
  adopted.SetHandle(handle);
  EXPECT_EQ(adopted.Width(), 6);
  EXPECT_EQ(adopted.PixelFormat(), pf32bit);
  EXPECT_EQ(Pixel(adopted, 0, 0), clRed);
}

TEST(GraphicsBitmap, TransparentColourAndModes)
{
  auto bitmap = SolidBitmap(4, 4, clRed);
  bitmap->Canvas()->SetPixels(0, 3, clLime);
  EXPECT_EQ(bitmap->TransparentMode(), tmAuto);
  EXPECT_EQ(bitmap->TransparentColor(), clLime);
  bitmap->SetTransparentColor(clRed);
  EXPECT_EQ(bitmap->TransparentMode(), tmFixed);
  EXPECT_EQ(bitmap->TransparentColor(), clRed);
  bitmap->SetTransparent(true);

  auto target = SolidBitmap(4, 4, clWhite);
  target->Canvas()->Draw(0, 0, bitmap.get());
  EXPECT_EQ(Pixel(*target, 1, 1), clWhite);
  EXPECT_EQ(Pixel(*target, 0, 3), clLime);
}

TEST(GraphicsBitmap, AlphaFormatsBlendAndOpacityFades)
{
  TBitmap straight;
  straight.SetPixelFormat(pf32bit);
  straight.SetSize(2, 1);
  auto* px = reinterpret_cast<std::uint32_t*>(straight.ScanLine(0));
  px[0] = 0x80FF0000; // red at alpha 128, straight
  px[1] = 0x00000000;
  straight.SetAlphaFormat(afDefined);
  auto target = SolidBitmap(2, 1, clWhite);
  target->Canvas()->Draw(0, 0, &straight);
  const TColor blended = Pixel(*target, 0, 0);
  EXPECT_EQ(Win::GetRValue(blended), 255);
  EXPECT_NEAR(Win::GetGValue(blended), 127, 1);
  EXPECT_EQ(Pixel(*target, 1, 0), clWhite);

  TBitmap premultiplied;
  premultiplied.Assign(&straight);
  reinterpret_cast<std::uint32_t*>(premultiplied.ScanLine(0))[0] = 0x80800000;
  premultiplied.SetAlphaFormat(afPremultiplied);
  auto second = SolidBitmap(2, 1, clWhite);
  second->Canvas()->Draw(0, 0, &premultiplied);
  EXPECT_EQ(Pixel(*second, 0, 0), blended);

  auto red = SolidBitmap(2, 2, clRed);
  auto faded = SolidBitmap(2, 2, clWhite);
  faded->Canvas()->Draw(0, 0, red.get(), 128);
  EXPECT_NEAR(Win::GetGValue(Pixel(*faded, 1, 1)), 127, 1);
  EXPECT_EQ(Win::GetRValue(Pixel(*faded, 1, 1)), 255);
}

TEST(GraphicsBitmap, StretchDrawCopyRectAndBrushCopy)
{
  TBitmap quad;
  quad.SetPixelFormat(pf24bit);
  quad.SetSize(2, 2);
  quad.Canvas()->SetPixels(0, 0, clRed);
  quad.Canvas()->SetPixels(1, 0, clLime);
  quad.Canvas()->SetPixels(0, 1, clBlue);
  quad.Canvas()->SetPixels(1, 1, clWhite);
  auto target = SolidBitmap(4, 4, clBlack);
  target->Canvas()->StretchDraw(TRect(0, 0, 4, 4), &quad);
  EXPECT_EQ(Pixel(*target, 1, 1), clRed);
  EXPECT_EQ(Pixel(*target, 2, 1), clLime);
  EXPECT_EQ(Pixel(*target, 1, 2), clBlue);
  EXPECT_EQ(Pixel(*target, 3, 3), clWhite);

  auto copy = SolidBitmap(2, 2, clBlack);
  copy->Canvas()->CopyRect(TRect(0, 0, 1, 1), target->Canvas(), TRect(2, 0, 3, 1));
  EXPECT_EQ(Pixel(*copy, 0, 0), clLime);
  EXPECT_EQ(Pixel(*copy, 1, 1), clBlack);

  // A brush copy shows the canvas's brush through the key colour.
  auto keyed = SolidBitmap(8, 8, clWhite);
  keyed->Canvas()->Brush()->SetColor(clBlue);
  keyed->Canvas()->BrushCopy(TRect(0, 0, 2, 1), &quad, TRect(0, 0, 2, 1), clRed);
  EXPECT_EQ(Pixel(*keyed, 0, 0), clBlue);
  EXPECT_EQ(Pixel(*keyed, 1, 0), clLime);
  EXPECT_EQ(Pixel(*keyed, 2, 0), clWhite);
}
