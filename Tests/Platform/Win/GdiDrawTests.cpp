#include <QxSurface.hpp>
#include <Win.Gdi.Raster.hpp>

#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

using namespace Win;
using QxTest::TSurface;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = 0, kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

// Selects a pen for the life of the object.
class TPenScope {
public:
  TPenScope(HDC dc, int style, int width, COLORREF color) : FDC(dc), FPen(CreatePen(style, width, color))
  {
    FOld = SelectObject(dc, FPen);
  }
  ~TPenScope()
  {
    SelectObject(FDC, FOld);
    DeleteObject(FPen);
  }

private:
  HDC FDC;
  HPEN FPen;
  HGDIOBJ FOld;
};

} // namespace

TEST(GdiLines, EndPointIsExcluded)
{
  TSurface c(8, 8);
  MoveToEx(c.DC, 1, 1, nullptr);
  LineTo(c.DC, 6, 1);
  EXPECT_EQ(c.Row(1, kBlack), ".#####..");
  POINT pos;
  MoveToEx(c.DC, 0, 0, &pos);
  EXPECT_EQ(pos, POINT(6, 1)) << "LineTo moves the current position";

  // Diagonal both ways; each covers its start and stops one short.
  c.Clear(kWhite);
  MoveToEx(c.DC, 0, 0, nullptr);
  LineTo(c.DC, 4, 4);
  LineTo(c.DC, 0, 8);
  EXPECT_EQ(c.Count(kBlack), 8);
  EXPECT_EQ(c.At(3, 3), kBlack);
  EXPECT_EQ(c.At(4, 4), kBlack) << "the second segment starts there";
  EXPECT_EQ(c.At(1, 7), kBlack);

  // A line to its own start draws nothing.
  c.Clear(kWhite);
  MoveToEx(c.DC, 3, 3, nullptr);
  LineTo(c.DC, 3, 3);
  EXPECT_EQ(c.Count(kBlack), 0);
}

TEST(GdiLines, ShallowLinesAreConnected)
{
  TSurface c(20, 6);
  MoveToEx(c.DC, 0, 0, nullptr);
  LineTo(c.DC, 19, 5);
  EXPECT_EQ(c.Count(kBlack), 19);
  for (int x = 0; x < 19; ++x) {
    int inColumn = 0;
    for (int y = 0; y < 6; ++y)
      inColumn += c.At(x, y) == kBlack;
    EXPECT_EQ(inColumn, 1) << "column " << x;
  }
}

// LineDDA hands out the very points LineTo lights, in order, end excluded.
TEST(GdiLines, LineDdaStepsLikeLineTo)
{
  for (POINT end : {POINT(19, 5), POINT(-7, 12), POINT(3, 3)}) {
    TSurface c(40, 40);
    MoveToEx(c.DC, 10, 10, nullptr);
    LineTo(c.DC, 10 + end.X, 10 + end.Y);
    std::vector<POINT> points;
    LineDDA(10, 10, 10 + end.X, 10 + end.Y,
            [](int x, int y, LPARAM data) { reinterpret_cast<std::vector<POINT>*>(data)->emplace_back(x, y); },
            LPARAM(&points));
    EXPECT_EQ(int(points.size()), c.Count(kBlack));
    for (POINT p : points)
      EXPECT_EQ(c.At(p.X, p.Y), kBlack) << p.X << "," << p.Y;
    EXPECT_EQ(points.front(), POINT(10, 10));
  }
  EXPECT_EQ(LineDDA(0, 0, 5, 5, nullptr, 0), FALSE);
}

TEST(GdiLines, PenStyles)
{
  TSurface c(40, 4);
  {
    TPenScope pen(c.DC, PS_DOT, 1, kRed);
    SetBkMode(c.DC, TRANSPARENT);
    MoveToEx(c.DC, 0, 0, nullptr);
    LineTo(c.DC, 12, 0);
  }
  EXPECT_EQ(c.Row(0, kRed).substr(0, 13), "###...###....");
  {
    TPenScope pen(c.DC, PS_DASH, 1, kRed);
    SetBkMode(c.DC, OPAQUE);
    SetBkColor(c.DC, kBlue);
    MoveToEx(c.DC, 0, 1, nullptr);
    LineTo(c.DC, 30, 1);
  }
  EXPECT_EQ(c.Row(1, kRed).substr(0, 31), std::string(18, '#') + std::string(6, '.') + "######.");
  EXPECT_EQ(c.Row(1, kBlue).substr(0, 31), std::string(18, '.') + std::string(6, '#') + ".......");
  {
    // The style runs on across the segments of a polyline.
    TPenScope pen(c.DC, PS_DOT, 1, kBlack);
    SetBkMode(c.DC, TRANSPARENT);
    const POINT pts[] = {{0, 2}, {4, 2}, {10, 2}};
    Polyline(c.DC, pts, 3);
  }
  EXPECT_EQ(c.Row(2, kBlack).substr(0, 11), "###...###..");
  {
    TPenScope pen(c.DC, PS_NULL, 1, kBlack);
    MoveToEx(c.DC, 0, 3, nullptr);
    LineTo(c.DC, 30, 3);
  }
  EXPECT_EQ(c.Row(3, kBlack), std::string(40, '.'));
}

TEST(GdiLines, WidePensAndRop2)
{
  TSurface c(12, 8);
  {
    TPenScope pen(c.DC, PS_SOLID, 3, kBlack);
    MoveToEx(c.DC, 2, 3, nullptr);
    LineTo(c.DC, 9, 3);
  }
  EXPECT_EQ(c.Row(1, kBlack), "............");
  // Points 2..8, each a 3 x 3 square.
  EXPECT_EQ(c.Row(2, kBlack), ".#########..");
  EXPECT_EQ(c.Row(3, kBlack), ".#########..");
  EXPECT_EQ(c.Row(4, kBlack), ".#########..");

  // XOR twice restores, even for a polyline doubling back on itself.
  c.Clear(RGB(10, 200, 30));
  auto before = c.Pixels();
  SetROP2(c.DC, R2_XORPEN);
  TPenScope pen(c.DC, PS_SOLID, 2, kRed);
  const POINT pts[] = {{1, 1}, {10, 6}, {1, 6}, {10, 1}};
  Polyline(c.DC, pts, 4);
  EXPECT_NE(c.Pixels(), before);
  Polyline(c.DC, pts, 4);
  EXPECT_EQ(c.Pixels(), before);
  SetROP2(c.DC, R2_NOT);
  MoveToEx(c.DC, 0, 0, nullptr);
  LineTo(c.DC, 3, 0);
  EXPECT_EQ(c.At(0, 0), RGB(245, 55, 225));
}

// Horizontal and vertical one-pixel lines walk the clip's runs instead of
// their pixels: the same pixels as the plain walk, whatever the clip, the
// style, the background mode, the raster operation, the direction and the
// length, and wherever the line starts and ends.
TEST(GdiLines, StraightLinesDrawThePixelsOfThePlainWalk)
{
  struct TLine {
    int X0, Y0, X1, Y1;
  };
  std::vector<TLine> lines = {{2, 3, 37, 3},   {37, 5, 2, 5},   {5, 7, 6, 7},    {5, 8, 5, 8},
                              {-10, 10, 50, 10}, {50, 12, -10, 12}, {4, -5, 4, 35}, {8, 28, 8, 1},
                              {-1, 0, -1, 20}, {1, 1, 30, 20}};
  for (int i = 0; i < 12; ++i) {
    lines.push_back({i, 14 + i, 3 * i + 7, 14 + i});
    lines.push_back({20 + i, 2 * i + 3, 20 + i, i});
  }
  // No clip; a rectangle; rectangles in several bands; a moved origin.
  const std::vector<std::function<void(HDC)>> clips = {
      [](HDC) {}, [](HDC dc) { IntersectClipRect(dc, 3, 2, 33, 25); },
      [](HDC dc) {
        ExcludeClipRect(dc, 10, 0, 14, 30);
        ExcludeClipRect(dc, 0, 12, 40, 15);
        ExcludeClipRect(dc, 25, 5, 28, 9);
      },
      [](HDC dc) {
        SetWindowOrgEx(dc, -3, 2, nullptr);
        IntersectClipRect(dc, 1, 4, 30, 22);
      }};
  for (const auto& clip : clips)
    for (int style : {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL})
      for (int mode : {OPAQUE, TRANSPARENT})
        for (int rop2 = R2_BLACK; rop2 <= R2_WHITE; ++rop2) {
          TSurface fast(40, 30), plain(40, 30);
          for (TSurface* c : {&fast, &plain}) {
            for (int x = 0; x < 40; ++x)
              QxTest::FillSolid(c->DC, RECT(x, 0, x + 1, 30), RGB(x * 6, 255 - x * 5, (x * 3) ^ 0x55));
            clip(c->DC);
            SetBkMode(c->DC, mode);
            SetBkColor(c->DC, kBlue);
            SetROP2(c->DC, rop2);
          }
          TPenScope fastPen(fast.DC, style, 1, RGB(200, 30, 90)), plainPen(plain.DC, style, 1, RGB(200, 30, 90));
          for (const TLine& l : lines) {
            MoveToEx(fast.DC, l.X0, l.Y0, nullptr);
            LineTo(fast.DC, l.X1, l.Y1);
            MoveToEx(plain.DC, l.X0, l.Y0, nullptr);
            LineToReference(plain.DC, l.X1, l.Y1);
          }
          ASSERT_EQ(fast.Pixels(), plain.Pixels()) << style << " " << mode << " " << rop2;
        }
}

TEST(GdiLines, HugeCoordinatesAreClippedNotWalked)
{
  TSurface c(10, 10);
  MoveToEx(c.DC, INT_MIN, 5, nullptr);
  LineTo(c.DC, INT_MAX, 5);
  EXPECT_EQ(c.Row(5, kBlack), "##########");
  const POINT pts[] = {{-2000000000, -2000000000}, {2000000000, 2000000000}};
  EXPECT_TRUE(Polyline(c.DC, pts, 2));
  EXPECT_EQ(c.At(3, 3), kBlack);
  EXPECT_FALSE(Polyline(c.DC, pts, 1));
  EXPECT_FALSE(Polyline(c.DC, nullptr, 2));
}

TEST(GdiShapes, RectangleOutlineInsideAndBrushInterior)
{
  TSurface c(7, 6);
  HBRUSH brush = CreateSolidBrush(kBlue);
  SelectObject(c.DC, brush);
  Rectangle(c.DC, 1, 1, 6, 5);
  EXPECT_EQ(c.Row(0, kBlack), ".......");
  EXPECT_EQ(c.Row(1, kBlack), ".#####.");
  EXPECT_EQ(c.Row(2, kBlack), ".#...#.");
  EXPECT_EQ(c.Row(2, kBlue), "..###..");
  EXPECT_EQ(c.Row(4, kBlack), ".#####.");
  EXPECT_EQ(c.Row(5, kBlack), ".......");

  // Without a pen the figure is a pixel smaller on the right and bottom.
  c.Clear(kWhite);
  SelectObject(c.DC, GetStockObject(NULL_PEN));
  Rectangle(c.DC, 1, 1, 6, 5);
  EXPECT_EQ(c.Row(1, kBlue), ".####..");
  EXPECT_EQ(c.Row(4, kBlue), ".......");

  // A null brush leaves the inside alone.
  c.Clear(kWhite);
  SelectObject(c.DC, GetStockObject(BLACK_PEN));
  SelectObject(c.DC, GetStockObject(NULL_BRUSH));
  Rectangle(c.DC, 0, 0, 7, 6);
  EXPECT_EQ(c.Count(kBlack), 2 * 7 + 2 * 4);
  EXPECT_EQ(c.Count(kWhite), 5 * 4);
  SelectObject(c.DC, GetStockObject(WHITE_BRUSH));
  DeleteObject(brush);
}

TEST(GdiShapes, InsideFrameAndWidePens)
{
  TSurface c(10, 10);
  {
    TPenScope pen(c.DC, PS_INSIDEFRAME, 2, kRed);
    Rectangle(c.DC, 1, 1, 9, 9);
  }
  EXPECT_EQ(c.Row(0, kRed), "..........");
  EXPECT_EQ(c.Row(1, kRed), ".########.");
  EXPECT_EQ(c.Row(2, kRed), ".########.");
  EXPECT_EQ(c.Row(3, kRed), ".##....##.");
  c.Clear(kWhite);
  {
    TPenScope pen(c.DC, PS_SOLID, 3, kRed);
    Rectangle(c.DC, 2, 2, 8, 8);
  }
  // Centred on the edge pixels (columns 2 and 7): one pixel out, one in.
  EXPECT_EQ(c.Row(0, kRed), "..........");
  EXPECT_EQ(c.Row(1, kRed), ".########.");
  EXPECT_EQ(c.Row(4, kRed), ".###..###.");
  EXPECT_EQ(c.Row(8, kRed), ".########.");
  EXPECT_EQ(c.Row(9, kRed), "..........");
}

TEST(GdiShapes, DashedRectangleOutline)
{
  TSurface c(30, 5);
  TPenScope pen(c.DC, PS_DOT, 1, kBlack);
  SetBkMode(c.DC, TRANSPARENT);
  SelectObject(c.DC, GetStockObject(NULL_BRUSH));
  Rectangle(c.DC, 0, 0, 30, 5);
  EXPECT_EQ(c.Row(0, kBlack).substr(0, 9), "###...###");
  EXPECT_EQ(c.At(15, 2), kWhite);
}

TEST(GdiShapes, EllipseAndRoundRect)
{
  TSurface c(21, 15);
  HBRUSH brush = CreateSolidBrush(kBlue);
  SelectObject(c.DC, brush);
  Ellipse(c.DC, 0, 0, 21, 15);
  EXPECT_EQ(c.At(0, 0), kWhite);
  EXPECT_EQ(c.At(20, 14), kWhite);
  EXPECT_EQ(c.At(10, 7), kBlue);
  EXPECT_EQ(c.At(0, 7), kBlack);
  EXPECT_EQ(c.At(20, 7), kBlack);
  EXPECT_EQ(c.At(10, 0), kBlack);
  EXPECT_EQ(c.At(10, 14), kBlack);
  // The outline is closed: no blue pixel touches a white one.
  for (int y = 1; y < 14; ++y)
    for (int x = 1; x < 20; ++x) {
      if (c.At(x, y) != kBlue)
        continue;
      for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
        EXPECT_NE(c.At(x + dx, y + dy), kWhite) << x << "," << y;
    }

  c.Clear(kWhite);
  RoundRect(c.DC, 0, 0, 21, 15, 8, 8);
  EXPECT_EQ(c.At(0, 0), kWhite);
  EXPECT_EQ(c.At(0, 7), kBlack);
  EXPECT_EQ(c.At(10, 0), kBlack);
  EXPECT_EQ(c.At(10, 7), kBlue);
  SelectObject(c.DC, GetStockObject(WHITE_BRUSH));
  DeleteObject(brush);
  EXPECT_FALSE(Ellipse(c.DC, 0, 0, 1 << 30, 10)) << "too large a shape fails";
}

TEST(GdiShapes, PolygonFillModesAndOutline)
{
  TSurface c(100, 100);
  SelectObject(c.DC, GetStockObject(NULL_PEN));
  SelectObject(c.DC, GetStockObject(BLACK_BRUSH));
  const POINT star[] = {{50, 0}, {79, 90}, {2, 35}, {97, 35}, {21, 90}};
  EXPECT_EQ(SetPolyFillMode(c.DC, ALTERNATE), ALTERNATE);
  Polygon(c.DC, star, 5);
  EXPECT_EQ(c.At(50, 50), kWhite);
  EXPECT_EQ(c.At(50, 20), kBlack);
  SetPolyFillMode(c.DC, WINDING);
  Polygon(c.DC, star, 5);
  EXPECT_EQ(c.At(50, 50), kBlack);

  c.Clear(kWhite);
  SelectObject(c.DC, GetStockObject(BLACK_PEN));
  SelectObject(c.DC, GetStockObject(WHITE_BRUSH));
  const POINT tri[] = {{10, 10}, {30, 10}, {10, 30}};
  Polygon(c.DC, tri, 3);
  EXPECT_EQ(c.At(10, 10), kBlack);
  EXPECT_EQ(c.At(29, 10), kBlack);
  EXPECT_EQ(c.At(10, 29), kBlack);
  EXPECT_EQ(c.At(20, 10), kBlack);
  EXPECT_EQ(c.At(20, 20), kBlack) << "the closing edge";
  EXPECT_EQ(c.At(15, 15), kWhite);
}

TEST(GdiShapes, WindowOriginAndClipApplyToShapes)
{
  TSurface c(10, 10);
  SetWindowOrgEx(c.DC, -2, -2, nullptr);
  IntersectClipRect(c.DC, 0, 0, 3, 10);
  Rectangle(c.DC, 0, 0, 6, 6);
  EXPECT_EQ(c.Row(2, kBlack), "..###.....");
  EXPECT_EQ(c.Row(7, kBlack), "..###.....");
  EXPECT_EQ(c.Row(8, kBlack), "..........");
}

// Text is blended two channels at a time; every channel value under every
// coverage comes out as the plain per-channel formula gives it.
TEST(GdiText, CoverageBlendEqualsThePlainFormula)
{
  for (std::uint32_t c = 0; c < 256; ++c)
    for (std::uint32_t s = 0; s < 256; ++s)
      for (std::uint32_t d = 0; d < 256; ++d) {
        // Each channel sees every (s, d) pair, each time beside other values.
        const std::uint32_t src = s | ((255 - s) << 8) | ((s ^ 0x5A) << 16) | (((s * 7) & 255) << 24);
        const std::uint32_t dst = d | ((d ^ 0xA5) << 8) | ((255 - d) << 16) | (((d * 11) & 255) << 24);
        if (BlendOver(src, dst, c) != BlendOverPlain(src, dst, c))
          FAIL() << "src " << src << " dst " << dst << " coverage " << c;
      }
}
