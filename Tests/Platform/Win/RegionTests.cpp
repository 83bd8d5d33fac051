#include <Win.Gdi.Internal.hpp>
#include <Win.Gdi.Raster.hpp>
#include <Winapi.Windows.hpp>

#include <climits>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace Win;

namespace {

// Owns a region handle for the length of a test.
struct TRgn {
  explicit TRgn(HRGN h) : H(h) {}
  ~TRgn() { DeleteObject(H); }
  HRGN H;
};

} // namespace

TEST(Region, RectanglesAreHalfOpenAndMoveOrResetWhole)
{
  TRgn r(CreateRectRgn(2, 3, 5, 7));
  EXPECT_TRUE(PtInRegion(r.H, 2, 3));
  EXPECT_TRUE(PtInRegion(r.H, 4, 6));
  EXPECT_FALSE(PtInRegion(r.H, 5, 6));
  EXPECT_FALSE(PtInRegion(r.H, 4, 7));
  RECT touching(5, 3, 9, 7);
  EXPECT_FALSE(RectInRegion(r.H, &touching));
  RECT box;
  EXPECT_EQ(GetRgnBox(r.H, &box), SIMPLEREGION);
  EXPECT_EQ(box, RECT(2, 3, 5, 7));
  // Inverted corners are put in order, as Win32 does.
  TRgn inverted(CreateRectRgn(5, 7, 2, 3));
  EXPECT_TRUE(EqualRgn(r.H, inverted.H));

  // Moved and reset as a whole.
  SetRectRgn(r.H, 0, 0, 4, 4);
  EXPECT_EQ(OffsetRgn(r.H, 10, -2), SIMPLEREGION);
  GetRgnBox(r.H, &box);
  EXPECT_EQ(box, RECT(10, -2, 14, 2));
  // Offsets far beyond any surface saturate instead of overflowing.
  EXPECT_NE(OffsetRgn(r.H, INT_MAX, INT_MAX), ERROR);
  EXPECT_NE(OffsetRgn(r.H, INT_MIN, INT_MIN), ERROR);
  EXPECT_TRUE(SetRectRgn(r.H, 1, 1, 3, 3));
  GetRgnBox(r.H, &box);
  EXPECT_EQ(box, RECT(1, 1, 3, 3));
}

TEST(Region, AlgebraAndCanonicalForm)
{
  TRgn a(CreateRectRgn(0, 0, 10, 10)), b(CreateRectRgn(5, 5, 15, 15)), out(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(CombineRgn(out.H, a.H, b.H, RGN_AND), SIMPLEREGION);
  RECT box;
  GetRgnBox(out.H, &box);
  EXPECT_EQ(box, RECT(5, 5, 10, 10));

  EXPECT_EQ(CombineRgn(out.H, a.H, b.H, RGN_OR), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(out.H, 14, 14));
  EXPECT_FALSE(PtInRegion(out.H, 14, 0));

  EXPECT_EQ(CombineRgn(out.H, a.H, b.H, RGN_XOR), COMPLEXREGION);
  EXPECT_FALSE(PtInRegion(out.H, 7, 7));
  EXPECT_TRUE(PtInRegion(out.H, 2, 2));
  EXPECT_TRUE(PtInRegion(out.H, 12, 12));

  EXPECT_EQ(CombineRgn(out.H, a.H, a.H, RGN_DIFF), NULLREGION);
  GetRgnBox(out.H, &box);
  EXPECT_EQ(box, RECT());

  // Two halves put together are the same region as the whole: equal pixel
  // sets compare equal whatever way they were built.
  TRgn left(CreateRectRgn(0, 0, 5, 10)), right(CreateRectRgn(5, 0, 10, 10));
  TRgn top(CreateRectRgn(0, 0, 10, 4)), bottom(CreateRectRgn(0, 4, 10, 10));
  TRgn u1(CreateRectRgn(0, 0, 0, 0)), u2(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(CombineRgn(u1.H, left.H, right.H, RGN_OR), SIMPLEREGION);
  EXPECT_EQ(CombineRgn(u2.H, top.H, bottom.H, RGN_OR), SIMPLEREGION);
  EXPECT_TRUE(EqualRgn(u1.H, a.H));
  EXPECT_TRUE(EqualRgn(u2.H, a.H));

  // (A | B) - B == A - B
  TRgn lhs(CreateRectRgn(0, 0, 0, 0)), rhs(CreateRectRgn(0, 0, 0, 0));
  CombineRgn(lhs.H, a.H, b.H, RGN_OR);
  CombineRgn(lhs.H, lhs.H, b.H, RGN_DIFF);
  CombineRgn(rhs.H, a.H, b.H, RGN_DIFF);
  EXPECT_TRUE(EqualRgn(lhs.H, rhs.H));
}

TEST(Region, TRegionFromOverlappingRects)
{
  TRegion r = TRegion::FromRects({RECT(0, 0, 4, 4), RECT(2, 2, 6, 6), RECT(0, 0, 4, 4), RECT(9, 9, 9, 12)});
  EXPECT_EQ(r.Box(), RECT(0, 0, 6, 6));
  int area = 0;
  for (const RECT& rc : r.Rects())
    area += rc.Width() * rc.Height();
  EXPECT_EQ(area, 16 + 16 - 4);
  for (std::size_t i = 1; i < r.Rects().size(); ++i) {
    const RECT &p = r.Rects()[i - 1], &c = r.Rects()[i];
    EXPECT_TRUE(c.Top > p.Top || (c.Top == p.Top && c.Left >= p.Right)) << "not banded";
  }
}

TEST(Region, EllipsesAreInscribedAndSymmetricRoundRectsCutOnlyCorners)
{
  TRgn e(CreateEllipticRgn(10, 20, 31, 36));
  RECT box;
  EXPECT_EQ(GetRgnBox(e.H, &box), COMPLEXREGION);
  EXPECT_EQ(box, RECT(10, 20, 31, 36));
  EXPECT_TRUE(PtInRegion(e.H, 20, 28));
  EXPECT_FALSE(PtInRegion(e.H, 10, 20));
  EXPECT_FALSE(PtInRegion(e.H, 30, 35));
  for (int y = 20; y < 36; ++y)
    for (int x = 10; x < 31; ++x) {
      bool in = PtInRegion(e.H, x, y);
      EXPECT_EQ(in, bool(PtInRegion(e.H, 10 + 30 - x, y))) << x << "," << y;
      EXPECT_EQ(in, bool(PtInRegion(e.H, x, 20 + 35 - y))) << x << "," << y;
    }

  // A round rectangle cuts only its corners.
  TRgn r(CreateRoundRectRgn(0, 0, 20, 10, 6, 6));
  EXPECT_FALSE(PtInRegion(r.H, 0, 0));
  EXPECT_FALSE(PtInRegion(r.H, 19, 9));
  EXPECT_TRUE(PtInRegion(r.H, 0, 5));
  EXPECT_TRUE(PtInRegion(r.H, 10, 0));
  EXPECT_TRUE(PtInRegion(r.H, 19, 5));
}

TEST(Region, PolygonFillModes)
{
  // A pentagram: its centre is enclosed twice, so ALTERNATE leaves it out
  // and WINDING fills it.
  const POINT star[] = {{50, 0}, {79, 90}, {2, 35}, {97, 35}, {21, 90}};
  TRgn alternate(CreatePolygonRgn(star, 5, ALTERNATE));
  TRgn winding(CreatePolygonRgn(star, 5, WINDING));
  EXPECT_FALSE(PtInRegion(alternate.H, 50, 50));
  EXPECT_TRUE(PtInRegion(winding.H, 50, 50));
  EXPECT_TRUE(PtInRegion(alternate.H, 50, 20));
  EXPECT_TRUE(PtInRegion(winding.H, 50, 20));

  // A triangle's right and bottom edges stay outside, like a rectangle's.
  const POINT square[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
  TRgn sq(CreatePolygonRgn(square, 4, ALTERNATE)), rect(CreateRectRgn(0, 0, 4, 4));
  EXPECT_TRUE(EqualRgn(sq.H, rect.H));
}

TEST(Region, BadHandlesAndArgumentsFail)
{
  HRGN stale = CreateRectRgn(0, 0, 1, 1);
  ASSERT_TRUE(DeleteObject(stale));
  TRgn ok(CreateRectRgn(0, 0, 1, 1));
  EXPECT_EQ(CombineRgn(stale, ok.H, ok.H, RGN_OR), ERROR);
  EXPECT_EQ(CombineRgn(ok.H, ok.H, ok.H, 99), ERROR);
  EXPECT_EQ(OffsetRgn(stale, 1, 1), ERROR);
  EXPECT_FALSE(PtInRegion(nullptr, 0, 0));
  EXPECT_EQ(GetRgnBox(ok.H, nullptr), ERROR);
  // A pen is not a region.
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  EXPECT_EQ(OffsetRgn(reinterpret_cast<HRGN>(pen), 1, 1), ERROR);
  DeleteObject(pen);
  EXPECT_EQ(CreatePolygonRgn(nullptr, 3, ALTERNATE), nullptr);
  const POINT pts[] = {{0, 0}, {1, 1}};
  EXPECT_EQ(CreatePolygonRgn(pts, 2, 7), nullptr);
  EXPECT_EQ(CreateEllipticRgn(0, 0, 100000000, 10), nullptr);
  const POINT far[] = {{INT_MIN, INT_MIN}, {INT_MAX, 0}, {0, INT_MAX}};
  EXPECT_EQ(CreatePolygonRgn(far, 3, WINDING), nullptr);
}

namespace {

// The pixels of a region on a small grid, as a bit per pixel.
constexpr int kGrid = 12;
using TPixels = std::vector<bool>;

TPixels PixelsOf(const TRegion& r)
{
  TPixels p(kGrid * kGrid);
  for (int y = 0; y < kGrid; ++y)
    for (int x = 0; x < kGrid; ++x)
      p[std::size_t(y * kGrid + x)] = r.Contains(x, y);
  return p;
}

// The canonical region of a pixel set, built one pixel at a time.
TRegion RegionOf(const TPixels& p)
{
  std::vector<RECT> rects;
  for (int y = 0; y < kGrid; ++y)
    for (int x = 0; x < kGrid; ++x)
      if (p[std::size_t(y * kGrid + x)])
        rects.emplace_back(x, y, x + 1, y + 1);
  return TRegion::FromRects(rects);
}

// Empty, one rectangle or a few, often inside or around one another.
TRegion RandomRegion(std::mt19937& rng)
{
  std::uniform_int_distribution<int> count(0, 3), coord(0, kGrid);
  std::vector<RECT> rects;
  for (int n = count(rng); n > 0; --n)
    rects.push_back(NormalizedRect(coord(rng), coord(rng), coord(rng), coord(rng)));
  return TRegion::FromRects(rects);
}

} // namespace

// The shortcuts for empty, disjoint and nested operands give the same
// rectangles as the general path does for the same pixels.
TEST(Region, OperationsAgreeWithPixelSets)
{
  std::mt19937 rng(15);
  for (int i = 0; i < 4000; ++i) {
    const TRegion a = RandomRegion(rng), b = RandomRegion(rng);
    const TPixels pa = PixelsOf(a), pb = PixelsOf(b);
    TPixels both(pa.size()), either(pa.size()), only(pa.size());
    for (std::size_t k = 0; k < pa.size(); ++k) {
      both[k] = pa[k] && pb[k];
      either[k] = pa[k] || pb[k];
      only[k] = pa[k] && !pb[k];
    }
    ASSERT_EQ(a.Intersect(b), RegionOf(both)) << i;
    ASSERT_EQ(a.Union(b), RegionOf(either)) << i;
    ASSERT_EQ(a.Subtract(b), RegionOf(only)) << i;
  }
}
