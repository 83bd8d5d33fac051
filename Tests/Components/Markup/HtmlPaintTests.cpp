#include <Quorex.Vcl.HtmlLabel.hpp>

#include <gtest/gtest.h>

using namespace Quorex;
using namespace Vcl;

namespace {

class HtmlPaintTest : public ::testing::Test {
protected:
  HtmlPaintTest() : Bitmap(240, 40)
  {
    Font.SetName("DejaVu Sans Mono");
    Font.SetSize(10);
    Font.SetColor(clBlack);
    Parser.RegisterTags();
    Parser.SetDefaultFont(&Font);
    Renderer.SetHtml(Parser.Root());
    Clear();
  }

  // Painting leaves the brush clear; a solid one wipes the area.
  void Clear()
  {
    Bitmap.Canvas()->Brush()->SetStyle(bsSolid);
    Bitmap.Canvas()->Brush()->SetColor(clWhite);
    Bitmap.Canvas()->FillRect(Area);
  }

  void Paint(const String& markup)
  {
    Parser.Parse(markup);
    Renderer.Reparse(Area);
    Renderer.PaintTo(Bitmap.Canvas(), Area);
  }

  TColor Pixel(Integer x, Integer y) { return Bitmap.Canvas()->Pixels(x, y); }

  // Every pixel of the area that is not white lies in the rectangle.
  bool InkOnlyIn(const TRect& rect)
  {
    for (Integer y = Area.Top; y < Area.Bottom; ++y)
      for (Integer x = Area.Left; x < Area.Right; ++x)
        if (Pixel(x, y) != clWhite && !rect.Contains(TPoint(x, y)))
          return false;
    return true;
  }

  int Count(const TRect& rect, const std::function<bool(TColor)>& test = [](TColor c) { return c != clWhite; })
  {
    int n = 0;
    for (Integer y = rect.Top; y < rect.Bottom; ++y)
      for (Integer x = rect.Left; x < rect.Right; ++x)
        n += test(Pixel(x, y));
    return n;
  }

  const TRect Area = TRect(0, 0, 240, 40);
  TFont Font;
  THtmlParser Parser;
  THtmlRenderer Renderer;
  TBitmap Bitmap;
};

bool IsReddish(TColor c)
{
  return (c & 0xFF) > 0xC0 && ((c >> 8) & 0xFF) < 0x80 && ((c >> 16) & 0xFF) < 0x80;
}

bool IsBluish(TColor c)
{
  return ((c >> 16) & 0xFF) > 0xC0 && (c & 0xFF) < 0x80;
}

} // namespace

TEST_F(HtmlPaintTest, BoldRedWordAndUnderlinedLinkLandWhereTheLayoutPutThem)
{
  Parser.SetLinkUnderline(true);
  Paint("<b><font color=$0000FF>Red</font></b> <a href=1>link</a>");
  const auto& chunks = Renderer.Chunks();
  ASSERT_EQ(chunks.size(), 3u);
  TRect red = chunks[0].BoundsRect();
  TRect link = chunks[2].BoundsRect();

  EXPECT_GT(Count(red, IsReddish), 20);
  EXPECT_EQ(Count(link, IsReddish), 0);
  EXPECT_EQ(Count(TRect(red.Right, 0, 240, 40), IsReddish), 0);
  EXPECT_GT(Count(link, IsBluish), 20);
  EXPECT_EQ(Count(TRect(0, 0, link.Left, 40), IsBluish), 0);

  // The underline: one row of the link cell is blue from end to end.
  int fullest = 0;
  for (Integer y = link.Top; y < link.Bottom; ++y)
    fullest = std::max(fullest, Count(TRect(link.Left, y, link.Right, y + 1), IsBluish));
  EXPECT_GE(fullest, link.Width() - 1);
  EXPECT_TRUE(InkOnlyIn(TRect(0, 0, link.Right, link.Bottom)));
  // Bold is heavier than the same word in regular type.
  const int boldInk = Count(red);
  Clear();
  Paint("<font color=$0000FF>Red</font>");
  EXPECT_GT(boldInk, Count(red));
}

TEST_F(HtmlPaintTest, BackgroundFillsOnlyTheChunkCell)
{
  Paint("<font bgcolor=$00FFFF>ab</font> cd <font bgcolor=0>ef</font>");
  const auto& chunks = Renderer.Chunks();
  ASSERT_EQ(chunks.size(), 4u);
  TRect cell = chunks[0].BoundsRect();
  auto yellow = [](TColor c) { return c == 0x00FFFF; };
  EXPECT_TRUE(yellow(Pixel(cell.Left, cell.Top)));
  EXPECT_TRUE(yellow(Pixel(cell.Right - 1, cell.Bottom - 1)));
  EXPECT_EQ(Count(Area, yellow), Count(cell, yellow));
  EXPECT_GT(Count(cell, yellow), cell.Width() * cell.Height() / 2);
  EXPECT_EQ(Pixel(cell.Right, cell.Top), clWhite);
  EXPECT_EQ(Pixel(cell.Left, cell.Bottom), clWhite);
  // A background colour of 0 is none.
  TRect last = chunks[3].BoundsRect();
  EXPECT_EQ(Pixel(last.Left, last.Top), clWhite);
}

TEST_F(HtmlPaintTest, EndEllipsisAtTheRightEdge)
{
  const String text = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  Parser.Parse(text);
  TRect narrow(0, 0, 0, 40);
  Renderer.Reparse(Area);
  Integer cw = Renderer.Chunks()[0].Width() / Integer(text.size());
  narrow.Right = 8 * cw;
  Renderer.SetEllipsisPosition(epEndEllipsis);
  Renderer.PaintTo(Bitmap.Canvas(), narrow);
  Integer h = Renderer.Chunks()[0].Height();

  EXPECT_TRUE(InkOnlyIn(narrow));
  // The last cells hold dots on the baseline, not capitals.
  TRect tail(narrow.Right - 2 * cw, 0, narrow.Right, h / 2);
  EXPECT_EQ(Count(tail), 0);
  EXPECT_GT(Count(TRect(narrow.Right - 2 * cw, h / 2, narrow.Right, h)), 0);

  // Without the ellipsis the capitals run to the edge.
  Clear();
  Renderer.SetEllipsisPosition(epNone);
  Renderer.PaintTo(Bitmap.Canvas(), narrow);
  EXPECT_GT(Count(tail), 0);
}

TEST_F(HtmlPaintTest, PaintToPlusDrawsEachWordAtItsChunkPlusTheOrigin)
{
  using namespace GdiPlus;
  Parser.Parse("<font color=$0000FF>Red</font> black");
  Renderer.Reparse(TRect(0, 0, 200, 30));
  auto bitmap = TGPBitmap::Create(240, 60);
  auto graphics = TGPGraphics::Create(bitmap);
  graphics->Clear(TGPColor::Create(255, 255, 255, 255));
  Renderer.PaintToPlus(graphics, TGPRectF(20, 10, 200, 30));

  TRect red = Renderer.Chunks()[0].BoundsRect();
  red.Offset(20, 10);
  int inside = 0, outside = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 240; ++x) {
      TGPColor c = bitmap->GetPixel(x, y);
      bool reddish = c.R() > 0xC0 && c.G() < 0x80 && c.B() < 0x80;
      (red.Contains(TPoint(x, y)) ? inside : outside) += reddish;
    }
  EXPECT_GT(inside, 10);
  EXPECT_EQ(outside, 0);
}
