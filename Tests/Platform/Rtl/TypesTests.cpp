// Rectangles at the edges of the 32-bit range: a host may pass any edges,
// and sizes that do not fit are clamped, never wrapped (the UBSan build
// traps a wrapped one).
#include <System.Types.hpp>

#include <gtest/gtest.h>

#include <climits>

using namespace Vcl;

namespace {

TEST(Rect, SizesAndCentresOfTheWidestRectangles)
{
  const TRect all(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_EQ(all.Width(), INT_MAX);
  EXPECT_EQ(all.Height(), INT_MAX);
  EXPECT_EQ(all.Size(), TSize(INT_MAX, INT_MAX));
  EXPECT_EQ(all.CenterPoint(), TPoint(-1, -1)) << "half of 2^32 - 1, truncated, from INT_MIN";

  const TRect inverted(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
  EXPECT_EQ(inverted.Width(), INT_MIN);
  EXPECT_EQ(inverted.Height(), INT_MIN);
  EXPECT_EQ(inverted.CenterPoint(), TPoint(0, 0));
  EXPECT_TRUE(inverted.IsEmpty());

  // Ordinary rectangles keep their exact sizes and centres.
  EXPECT_EQ(TRect(10, 20, 110, 70).Size(), TSize(100, 50));
  EXPECT_EQ(TRect(-5, -5, 0, 0).CenterPoint(), TPoint(-3, -3));
  EXPECT_EQ(TRect(INT_MAX - 4, 0, INT_MAX, 3).CenterPoint(), TPoint(INT_MAX - 2, 1));
}

TEST(Rect, BoundsAndSettersClampAtTheEdges)
{
  EXPECT_EQ(Bounds(INT_MAX - 10, INT_MIN + 10, 100, -100), TRect(INT_MAX - 10, INT_MIN + 10, INT_MAX, INT_MIN));
  EXPECT_EQ(Bounds(1, 2, 3, 4), TRect(1, 2, 4, 6));
  TRect r(INT_MAX - 1, INT_MIN + 1, 0, 0);
  r.SetWidth(10);
  r.SetHeight(-10);
  EXPECT_EQ(r, TRect(INT_MAX - 1, INT_MIN + 1, INT_MAX, INT_MIN));

  const TRect outer(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_EQ(CenteredRect(outer, TRect(0, 0, 2, 2)), TRect(-2, -2, 0, 0));
  EXPECT_EQ(CenteredRect(TRect(0, 0, 2, 2), outer), TRect(INT_MIN + 2, INT_MIN + 2, INT_MAX, INT_MAX));
  EXPECT_EQ(CenteredRect(TRect(0, 0, 10, 10), TRect(0, 0, 4, 2)), TRect(3, 4, 7, 6));
}

} // namespace
