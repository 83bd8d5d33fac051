// Cairo on a DC, as the visual styles and the graphics object layer draw.
#include <QxSurface.hpp>

#include <Win.Gdi.Cairo.hpp>

#include <cairo.h>
#include <gtest/gtest.h>

using namespace Win;
using TCanvas = QxTest::TSurface;

namespace {

const COLORREF kRed = RGB(255, 0, 0);

void FillRed(cairo_t* cr, double x, double y, double width, double height)
{
  cairo_set_source_rgb(cr, 1, 0, 0);
  cairo_rectangle(cr, x, y, width, height);
  cairo_fill(cr);
}

} // namespace

TEST(GdiCairo, DrawsInLogicalCoordinatesThroughTheClips)
{
  TCanvas c(8, 4);
  SetWindowOrgEx(c.DC, 2, 1, nullptr);
  IntersectClipRect(c.DC, 2, 1, 7, 3); // device (0, 0)-(5, 2)
  {
    TCairoDC cairo(c.DC);
    ASSERT_NE(cairo.Context(), nullptr);
    FillRed(cairo.Context(), 4, 2, 1, 1);
  }
  EXPECT_EQ(c.Row(0, kRed), "........");
  EXPECT_EQ(c.Row(1, kRed), "..#.....") << "logical (4, 2) is device (2, 1)";

  const RECT extra(3, 0, 20, 20); // device x from 1 on
  {
    TCairoDC cairo(c.DC, &extra);
    EXPECT_FALSE(cairo.ClipEmpty());
    FillRed(cairo.Context(), -100, -100, 200, 200);
  }
  EXPECT_EQ(c.Row(0, kRed), ".####...");
  EXPECT_EQ(c.Row(1, kRed), ".####...");
  EXPECT_EQ(c.Row(2, kRed), "........");

  const RECT outside(50, 50, 60, 60);
  EXPECT_TRUE(TCairoDC(c.DC, &outside).ClipEmpty());
}

TEST(GdiCairo, NoContextWithoutPixels)
{
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(TCairoDC(screen).Context(), nullptr);
  ReleaseDC(nullptr, screen);
  HDC stale = CreateCompatibleDC(nullptr);
  DeleteDC(stale);
  EXPECT_EQ(TCairoDC(stale).Context(), nullptr);
}
