#include <QxSurface.hpp>

#include <gtest/gtest.h>

using namespace Win;
using QxTest::TSurface;

namespace {

// Gives every system colour a distinct value, so that a pixel tells which
// system colour painted it; the classic scheme comes back afterwards.
COLORREF Sys(int index)
{
  return RGB(BYTE(index * 8), 77, 99);
}

class DistinctScheme : public testing::Test {
protected:
  DistinctScheme()
  {
    for (int i = 0; i <= COLOR_MAX; ++i)
      SetSysColor(i, Sys(i));
  }
  ~DistinctScheme() override { ResetSysColors(); }
};
using GdiEdge = DistinctScheme;
using GdiFrameControl = DistinctScheme;

// The system colour index of a pixel, or -1.
int IndexAt(const TSurface& c, int x, int y)
{
  for (int i = 0; i <= COLOR_MAX; ++i)
    if (c.At(x, y) == Sys(i))
      return i;
  return -1;
}

} // namespace

TEST_F(GdiEdge, RaisedEdgeRingsAndCorners)
{
  TSurface c(8, 7);
  RECT r(1, 1, 7, 6);
  ASSERT_TRUE(DrawEdge(c.DC, &r, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MIDDLE));
  EXPECT_EQ(r, RECT(3, 3, 5, 4));
  // Outer ring: light top and left, dark bottom and right owning the
  // top-right and bottom-left corners.
  EXPECT_EQ(IndexAt(c, 1, 1), COLOR_3DLIGHT);
  EXPECT_EQ(IndexAt(c, 5, 1), COLOR_3DLIGHT);
  EXPECT_EQ(IndexAt(c, 6, 1), COLOR_3DDKSHADOW);
  EXPECT_EQ(IndexAt(c, 1, 4), COLOR_3DLIGHT);
  EXPECT_EQ(IndexAt(c, 1, 5), COLOR_3DDKSHADOW);
  EXPECT_EQ(IndexAt(c, 6, 5), COLOR_3DDKSHADOW);
  // Inner ring.
  EXPECT_EQ(IndexAt(c, 2, 2), COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(IndexAt(c, 5, 2), COLOR_BTNSHADOW);
  EXPECT_EQ(IndexAt(c, 2, 4), COLOR_BTNSHADOW);
  EXPECT_EQ(IndexAt(c, 5, 4), COLOR_BTNSHADOW);
  // Middle, and nothing outside.
  EXPECT_EQ(IndexAt(c, 3, 3), COLOR_BTNFACE);
  EXPECT_EQ(c.At(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(c.At(7, 6), RGB(255, 255, 255));
}

TEST_F(GdiEdge, SunkenSoftFlatMonoAndPartialSides)
{
  TSurface c(6, 6);
  RECT r(0, 0, 6, 6);
  DrawEdge(c.DC, &r, EDGE_SUNKEN, BF_RECT);
  EXPECT_EQ(r, RECT(0, 0, 6, 6)) << "no BF_ADJUST, no change";
  EXPECT_EQ(IndexAt(c, 0, 0), COLOR_BTNSHADOW);
  EXPECT_EQ(IndexAt(c, 5, 5), COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(IndexAt(c, 1, 1), COLOR_3DDKSHADOW);
  EXPECT_EQ(IndexAt(c, 4, 4), COLOR_3DLIGHT);

  DrawEdge(c.DC, &r, EDGE_SUNKEN, BF_RECT | BF_SOFT);
  EXPECT_EQ(IndexAt(c, 0, 0), COLOR_3DDKSHADOW);
  EXPECT_EQ(IndexAt(c, 1, 1), COLOR_BTNSHADOW);
  DrawEdge(c.DC, &r, EDGE_RAISED, BF_RECT | BF_SOFT);
  EXPECT_EQ(IndexAt(c, 0, 0), COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(IndexAt(c, 1, 1), COLOR_3DLIGHT);

  DrawEdge(c.DC, &r, EDGE_RAISED, BF_RECT | BF_FLAT);
  EXPECT_EQ(IndexAt(c, 0, 0), COLOR_BTNSHADOW);
  EXPECT_EQ(IndexAt(c, 5, 5), COLOR_BTNSHADOW);
  EXPECT_EQ(IndexAt(c, 1, 1), COLOR_BTNFACE);
  DrawEdge(c.DC, &r, EDGE_RAISED, BF_RECT | BF_MONO | BF_MIDDLE);
  EXPECT_EQ(IndexAt(c, 0, 0), COLOR_WINDOWFRAME);
  EXPECT_EQ(IndexAt(c, 1, 1), COLOR_WINDOW);
  EXPECT_EQ(IndexAt(c, 2, 2), COLOR_WINDOW);

  // A single ring; only the sides asked for, and only they are adjusted.
  c.Clear(RGB(255, 255, 255));
  DrawEdge(c.DC, &r, BDR_SUNKENINNER, BF_LEFT | BF_TOP | BF_ADJUST);
  EXPECT_EQ(r, RECT(1, 1, 6, 6));
  EXPECT_EQ(IndexAt(c, 0, 3), COLOR_3DDKSHADOW);
  EXPECT_EQ(IndexAt(c, 3, 0), COLOR_3DDKSHADOW);
  EXPECT_EQ(c.At(5, 3), RGB(255, 255, 255));
  EXPECT_EQ(c.At(1, 1), RGB(255, 255, 255));

  EXPECT_FALSE(DrawEdge(c.DC, &r, EDGE_RAISED, BF_RECT | BF_DIAGONAL));
  EXPECT_FALSE(DrawEdge(c.DC, nullptr, EDGE_RAISED, BF_RECT));
}

TEST_F(GdiFrameControl, PushButtonStates)
{
  TSurface c(10, 8);
  RECT r(0, 0, 10, 8);
  DrawFrameControl(c.DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
  EXPECT_EQ(r, RECT(2, 2, 8, 6));
  EXPECT_EQ(IndexAt(c, 0, 0), COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(IndexAt(c, 9, 7), COLOR_3DDKSHADOW);
  EXPECT_EQ(IndexAt(c, 1, 1), COLOR_3DLIGHT);
  EXPECT_EQ(IndexAt(c, 8, 6), COLOR_BTNSHADOW);
  EXPECT_EQ(IndexAt(c, 4, 4), COLOR_BTNFACE);

  r = RECT(0, 0, 10, 8);
  DrawFrameControl(c.DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  EXPECT_EQ(r, RECT(0, 0, 10, 8)) << "no DFCS_ADJUSTRECT";
  EXPECT_EQ(IndexAt(c, 0, 0), COLOR_3DDKSHADOW);
  EXPECT_EQ(IndexAt(c, 9, 7), COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(IndexAt(c, 4, 4), COLOR_BTNFACE);

  DrawFrameControl(c.DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_CHECKED);
  EXPECT_NE(IndexAt(c, 4, 4), IndexAt(c, 5, 4)) << "checked: a checker face";
  EXPECT_EQ(IndexAt(c, 4, 4) + IndexAt(c, 5, 4), COLOR_BTNHIGHLIGHT + COLOR_BTNFACE);

  // Hot and inactive keep the classic frame.
  TSurface hot(10, 8), plain(10, 8);
  DrawFrameControl(hot.DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_HOT | DFCS_INACTIVE);
  DrawFrameControl(plain.DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
  EXPECT_EQ(hot.Pixels(), plain.Pixels());

  c.Clear(RGB(255, 255, 255));
  DrawFrameControl(c.DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_TRANSPARENT);
  EXPECT_EQ(c.At(4, 4), RGB(255, 255, 255));
  DrawFrameControl(c.DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT);
  EXPECT_EQ(IndexAt(c, 0, 0), COLOR_BTNSHADOW);
}

TEST_F(GdiFrameControl, CheckBoxIsA13PixelSunkenBox)
{
  TSurface c(20, 20);
  RECT r(3, 3, 16, 16); // 13 x 13, as callers centre it
  DrawFrameControl(c.DC, &r, DFC_BUTTON, DFCS_BUTTONCHECK);
  EXPECT_EQ(IndexAt(c, 3, 3), COLOR_BTNSHADOW);
  EXPECT_EQ(IndexAt(c, 15, 15), COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(IndexAt(c, 4, 4), COLOR_3DDKSHADOW);
  EXPECT_EQ(IndexAt(c, 14, 14), COLOR_3DLIGHT);
  EXPECT_EQ(c.Count(Sys(COLOR_WINDOW)), 9 * 9);
  EXPECT_EQ(c.At(2, 2), RGB(255, 255, 255));
  EXPECT_EQ(c.At(16, 16), RGB(255, 255, 255));

  DrawFrameControl(c.DC, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  EXPECT_EQ(c.Count(Sys(COLOR_WINDOWTEXT)), 21) << "the 7 x 7 mark";
  EXPECT_EQ(IndexAt(c, 12, 6), COLOR_WINDOWTEXT) << "its top right";
  EXPECT_EQ(IndexAt(c, 6, 8), COLOR_WINDOWTEXT) << "its left arm";

  c.Clear(RGB(255, 255, 255));
  DrawFrameControl(c.DC, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE);
  // The outer ring's top and left (23 pixels) plus a grey mark.
  EXPECT_EQ(c.Count(Sys(COLOR_BTNSHADOW)), 23 + 21);
  EXPECT_EQ(IndexAt(c, 7, 6), COLOR_BTNFACE) << "an inactive box is face-coloured";

  c.Clear(RGB(255, 255, 255));
  DrawFrameControl(c.DC, &r, DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED);
  EXPECT_EQ(c.Count(Sys(COLOR_WINDOW)), 0);
  EXPECT_GT(c.Count(Sys(COLOR_BTNHIGHLIGHT)), 12 + 20) << "checker interior";

  // A larger rectangle gets a square box centred in it.
  c.Clear(RGB(255, 255, 255));
  RECT wide(0, 5, 20, 10);
  DrawFrameControl(c.DC, &wide, DFC_BUTTON, DFCS_BUTTONCHECK);
  EXPECT_EQ(IndexAt(c, 7, 5), COLOR_BTNSHADOW);
  EXPECT_EQ(IndexAt(c, 11, 9), COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(c.At(6, 7), RGB(255, 255, 255));
}

TEST_F(GdiFrameControl, RadioButton)
{
  TSurface c(12, 12);
  RECT r(0, 0, 12, 12);
  DrawFrameControl(c.DC, &r, DFC_BUTTON, DFCS_BUTTONRADIO);
  EXPECT_EQ(c.At(0, 0), RGB(255, 255, 255)) << "round: corners untouched";
  EXPECT_EQ(IndexAt(c, 0, 5), COLOR_BTNSHADOW);
  EXPECT_EQ(IndexAt(c, 11, 6), COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(IndexAt(c, 1, 5), COLOR_3DDKSHADOW);
  EXPECT_EQ(IndexAt(c, 10, 6), COLOR_3DLIGHT);
  EXPECT_EQ(IndexAt(c, 5, 5), COLOR_WINDOW);
  EXPECT_EQ(c.Count(Sys(COLOR_WINDOWTEXT)), 0);
  DrawFrameControl(c.DC, &r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  EXPECT_EQ(IndexAt(c, 5, 5), COLOR_WINDOWTEXT);
  EXPECT_EQ(IndexAt(c, 6, 6), COLOR_WINDOWTEXT);
  EXPECT_EQ(IndexAt(c, 3, 3), COLOR_WINDOW);
}

TEST_F(GdiFrameControl, ScrollArrows)
{
  TSurface c(16, 16);
  RECT r(0, 0, 16, 16);
  ASSERT_TRUE(DrawFrameControl(c.DC, &r, DFC_SCROLL, DFCS_SCROLLUP));
  EXPECT_EQ(c.Count(Sys(COLOR_BTNTEXT)), 16) << "a 7 x 4 triangle";
  EXPECT_EQ(IndexAt(c, 0, 0), COLOR_3DLIGHT);
  EXPECT_EQ(IndexAt(c, 1, 1), COLOR_BTNHIGHLIGHT);
  int tipRow = -1, baseRow = -1;
  for (int y = 0; y < 16; ++y) {
    int n = 0;
    for (int x = 0; x < 16; ++x)
      n += c.At(x, y) == Sys(COLOR_BTNTEXT);
    if (n == 1)
      tipRow = y;
    if (n == 7)
      baseRow = y;
  }
  EXPECT_EQ(baseRow - tipRow, 3) << "up: tip above base";

  DrawFrameControl(c.DC, &r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
  TSurface down(16, 16);
  DrawFrameControl(down.DC, &r, DFC_SCROLL, DFCS_SCROLLDOWN);
  EXPECT_EQ(c.Pixels(), down.Pixels()) << "the combo box arrow points down";

  DrawFrameControl(c.DC, &r, DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_INACTIVE);
  EXPECT_EQ(c.Count(Sys(COLOR_BTNTEXT)), 0);
  // The inner ring's bottom and right (27 pixels) plus a grey arrow.
  EXPECT_EQ(c.Count(Sys(COLOR_BTNSHADOW)), 27 + 16);

  DrawFrameControl(c.DC, &r, DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_PUSHED | DFCS_ADJUSTRECT);
  EXPECT_EQ(IndexAt(c, 0, 0), COLOR_BTNSHADOW) << "pushed: flat";
  EXPECT_EQ(r, RECT(2, 2, 14, 14));

  EXPECT_FALSE(DrawFrameControl(c.DC, &r, DFC_CAPTION, 0));
  EXPECT_FALSE(DrawFrameControl(c.DC, &r, DFC_BUTTON, 0x77));
  EXPECT_FALSE(DrawFrameControl(nullptr, &r, DFC_BUTTON, DFCS_BUTTONPUSH));
}
