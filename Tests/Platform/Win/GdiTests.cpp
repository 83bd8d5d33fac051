#include <QxSurface.hpp>

#include <Win.Gdi.Guards.hpp>
#include <Win.Gdi.Internal.hpp>

#include <climits>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace Win;
using QxTest::FillSolid;
using QxTest::TSurface;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = 0, kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

} // namespace

// The live-handle set answers as an ordinary set does through growth and
// removals from the middle of colliding runs.
TEST(GdiObjects, LiveHandleSetAgreesWithAReferenceSet)
{
  std::mt19937 rng(15);
  std::vector<char> arena(4096 * 16);
  TPointerSet set;
  std::set<const void*> reference;
  for (int i = 0; i < 40000; ++i) {
    const void* p = &arena[std::size_t(rng() % 4096) * 16];
    if (rng() % 3) {
      set.Insert(p);
      reference.insert(p);
    } else {
      set.Erase(p);
      reference.erase(p);
    }
    const void* q = &arena[std::size_t(rng() % 4096) * 16];
    ASSERT_EQ(set.Contains(q), reference.count(q) != 0) << i;
  }
  for (const void* p : reference)
    ASSERT_TRUE(set.Contains(p));
  EXPECT_FALSE(set.Contains(nullptr));
}

TEST(GdiObjects, SelectionStockAndDeletion)
{
  TSurface c(4, 4);
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  HGDIOBJ old = SelectObject(c.DC, pen);
  EXPECT_EQ(old, GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(c.DC, OBJ_PEN), pen);
  EXPECT_FALSE(DeleteObject(pen)) << "a selected object stays alive";
  EXPECT_FALSE(DeleteObject(GetStockObject(WHITE_BRUSH)));
  EXPECT_FALSE(DeleteObject(GetSysColorBrush(COLOR_BTNFACE)));
  SelectObject(c.DC, old);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_FALSE(DeleteObject(pen)) << "a stale handle is recognised";
  EXPECT_EQ(GetObjectType(pen), 0);

  // Saved states keep their objects alive until they are discarded.
  HBRUSH brush = CreateSolidBrush(kBlue);
  SelectObject(c.DC, brush);
  int level = SaveDC(c.DC);
  SelectObject(c.DC, GetStockObject(WHITE_BRUSH));
  EXPECT_FALSE(DeleteObject(brush));
  EXPECT_TRUE(RestoreDC(c.DC, level));
  EXPECT_EQ(GetCurrentObject(c.DC, OBJ_BRUSH), brush);
  SelectObject(c.DC, GetStockObject(WHITE_BRUSH));
  EXPECT_TRUE(DeleteObject(brush));
}

// A thread remembers handles it found live; deleting them elsewhere, among
// other deletions or more of them than it can follow, still makes them stale.
TEST(GdiObjects, AHandleFoundLiveIsStaleOnceDeletedByAnyThread)
{
  HBRUSH kept = CreateSolidBrush(kRed);
  for (int others : {1, 500}) {
    HBRUSH doomed = CreateSolidBrush(kBlue);
    std::vector<HBRUSH> unrelated;
    for (int i = 0; i < others; ++i)
      unrelated.push_back(CreateSolidBrush(kBlack));
    EXPECT_EQ(GetObjectType(doomed), int(OBJ_BRUSH));
    EXPECT_EQ(GetObjectType(kept), int(OBJ_BRUSH));
    std::thread([&] {
      for (HBRUSH b : unrelated)
        DeleteObject(b);
      DeleteObject(doomed);
    }).join();
    EXPECT_EQ(GetObjectType(doomed), 0) << others;
    EXPECT_FALSE(DeleteObject(doomed)) << others;
    EXPECT_EQ(GetObjectType(kept), int(OBJ_BRUSH)) << others;
  }
  EXPECT_TRUE(DeleteObject(kept));
}

TEST(GdiObjects, DeletingADcReleasesItsObjects)
{
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateBitmap32(2, 2);
  HPEN pen = CreatePen(PS_DASH, 1, kRed);
  SelectObject(dc, bm);
  SelectObject(dc, pen);
  SaveDC(dc);
  EXPECT_FALSE(DeleteObject(bm));
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_TRUE(DeleteObject(bm));
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_FALSE(DeleteDC(dc));
}

// The guards put back what a block changed, also when it ends by an exception.
TEST(GdiGuards, SavedStateSelectionAndMemoryDCAreUndoneOnUnwind)
{
  TSurface c(4, 4);
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  HBITMAP bitmap = CreateBitmap32(2, 2);
  HBITMAP own = nullptr;
  const auto paint = [&] {
    TSavedDC saved(c.DC);
    SetWindowOrgEx(c.DC, 5, 5, nullptr);
    TSelectedObject selected(c.DC, pen);
    TMemoryDC over(c.DC, bitmap);
    TMemoryDC ownBitmap(c.DC, 3, 3);
    own = ownBitmap.Bitmap();
    ASSERT_TRUE(over.Valid() && ownBitmap.Valid());
    EXPECT_EQ(GetCurrentObject(c.DC, OBJ_PEN), ToGdiObject(pen));
    EXPECT_EQ(GetCurrentObject(over.DC(), OBJ_BITMAP), ToGdiObject(bitmap));
    EXPECT_EQ(BitmapWidth(own), 3);
    throw std::runtime_error("painting failed");
  };
  EXPECT_THAT(paint, testing::ThrowsMessage<std::runtime_error>("painting failed"));
  EXPECT_EQ(GetCurrentObject(c.DC, OBJ_PEN), GetStockObject(BLACK_PEN));
  POINT origin;
  GetWindowOrgEx(c.DC, &origin);
  EXPECT_EQ(origin.X, 0);
  EXPECT_EQ(GetObjectType(ToGdiObject(own)), 0) << "a memory DC's own bitmap goes with it";
  EXPECT_TRUE(DeleteObject(pen)) << "no longer selected";
  EXPECT_TRUE(DeleteObject(bitmap)) << "the caller's bitmap is released, not deleted";

  TMemoryDC empty(nullptr, 0, 0);
  EXPECT_FALSE(empty.Valid());
}

TEST(GdiObjects, GetObjectAndStockFont)
{
  LOGFONT lf;
  ASSERT_EQ(GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf), int(sizeof lf));
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  EXPECT_EQ(lf.lfHeight, -11);
  HBITMAP bm = CreateBitmap32(7, 3);
  BITMAP info;
  EXPECT_EQ(GetObject(bm, 0, nullptr), int(sizeof info));
  ASSERT_EQ(GetObject(bm, sizeof info, &info), int(sizeof info));
  EXPECT_EQ(info.bmWidth, 7);
  EXPECT_EQ(info.bmHeight, 3);
  EXPECT_EQ(info.bmWidthBytes, 28);
  EXPECT_EQ(info.bmBitsPixel, 32);
  EXPECT_EQ(info.bmBits, BitmapBits(bm));
  EXPECT_EQ(GetObject(bm, 4, &info), 0) << "too small a buffer";
  DeleteObject(bm);
}

TEST(GdiObjects, BadRequestsFailCleanly)
{
  EXPECT_EQ(CreateBitmap32(100000, 100000), nullptr);
  EXPECT_EQ(CreateBitmap32(-1, 5), nullptr);
  EXPECT_EQ(CreateBitmap32(INT_MAX, INT_MAX), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 5, -5), nullptr);
  HBITMAP empty = CreateCompatibleBitmap(nullptr, 0, 0);
  EXPECT_EQ(BitmapWidth(empty), 1);
  DeleteObject(empty);
  EXPECT_EQ(CreatePen(42, 1, 0), nullptr);
  EXPECT_EQ(CreateHatchBrush(17, 0), nullptr);
  EXPECT_EQ(GetStockObject(-1), nullptr);
  EXPECT_EQ(GetSysColorBrush(COLOR_MAX + 1), nullptr);

  // Handles that were never made are not dereferenced.
  auto bogusDC = reinterpret_cast<HDC>(std::uintptr_t(0x1000));
  auto bogusObj = reinterpret_cast<HGDIOBJ>(std::uintptr_t(0x2000));
  RECT r(0, 0, 1, 1);
  EXPECT_EQ(SelectObject(bogusDC, bogusObj), nullptr);
  EXPECT_EQ(FillRect(bogusDC, &r, GetSysColorBrush(COLOR_WINDOW)), 0);
  EXPECT_EQ(GetPixel(bogusDC, 0, 0), CLR_INVALID);
  EXPECT_EQ(SaveDC(bogusDC), 0);
  EXPECT_EQ(BitmapBits(reinterpret_cast<HBITMAP>(bogusObj)), nullptr);

  BITMAPINFO bi;
  bi.bmiHeader.biWidth = 100000;
  bi.bmiHeader.biHeight = -100000;
  bi.bmiHeader.biBitCount = 32;
  void* bits = &bi;
  EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(bits, nullptr);
}

TEST(GdiObjects, DibSectionsGiveTheTopRowAndPadRowsToWholeWords)
{
  BITMAPINFO bi;
  bi.bmiHeader.biWidth = 3;
  bi.bmiHeader.biHeight = -2;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bm = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(bits, BitmapBits(bm));
  EXPECT_EQ(BitmapWidth(bm), 3);
  EXPECT_EQ(BitmapHeight(bm), 2);
  EXPECT_EQ(BitmapBits(bm)[5], 0u) << "pixels start cleared";
  DeleteObject(bm);

  EXPECT_EQ(DibStride(1, 1), 4u);
  EXPECT_EQ(DibStride(32, 1), 4u);
  EXPECT_EQ(DibStride(33, 1), 8u);
  EXPECT_EQ(DibStride(3, 24), 12u);
  EXPECT_EQ(DibStride(5, 4), 4u);
  EXPECT_EQ(DibStride(0, 32), 0u);
  // The widest rows a header can describe do not wrap around.
  EXPECT_EQ(DibStride(INT_MAX, 32), std::uint64_t(INT_MAX) * 4);
  EXPECT_EQ(DibStride(UINT_MAX, 0xFFFF), (std::uint64_t(UINT_MAX) * 0xFFFF + 31) / 32 * 4);
}

TEST(GdiSysColors, ClassicSchemeAndOverrides)
{
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), kWhite);
  EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), kBlack);
  EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), kWhite);
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(10, 36, 106));
  EXPECT_EQ(GetSysColor(-1), 0u);
  EXPECT_EQ(GetSysColor(1000), 0u);

  TSurface c(2, 1);
  SetSysColor(COLOR_BTNFACE, kRed);
  RECT r(0, 0, 1, 1);
  FillRect(c.DC, &r, GetSysColorBrush(COLOR_BTNFACE));
  ResetSysColors();
  r = RECT(1, 0, 2, 1);
  FillRect(c.DC, &r, GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(c.At(0, 0), kRed) << "the brush follows the scheme";
  EXPECT_EQ(c.At(1, 0), RGB(212, 208, 200));
}

TEST(GdiFill, RectanglesAreHalfOpenAndOpaque)
{
  TSurface c(6, 4, kBlack);
  FillSolid(c.DC, RECT(1, 1, 4, 3), kRed);
  EXPECT_EQ(c.Row(0, kRed), "......");
  EXPECT_EQ(c.Row(1, kRed), ".###..");
  EXPECT_EQ(c.Row(2, kRed), ".###..");
  EXPECT_EQ(c.Row(3, kRed), "......");
  EXPECT_EQ(c.Raw(1, 1), 0xFFFF0000u) << "GDI writes alpha 255";
  // Inverted rectangles fill the same pixels; empty ones nothing.
  FillSolid(c.DC, RECT(4, 3, 1, 1), kBlue);
  EXPECT_EQ(c.Row(1, kBlue), ".###..");
  FillSolid(c.DC, RECT(2, 2, 2, 4), kWhite);
  EXPECT_EQ(c.Count(kWhite), 0);
}

TEST(GdiFill, PixelsAndBounds)
{
  TSurface c(3, 3);
  EXPECT_EQ(SetPixel(c.DC, 1, 2, kRed), kRed);
  EXPECT_EQ(GetPixel(c.DC, 1, 2), kRed);
  EXPECT_EQ(c.Raw(1, 2), 0xFFFF0000u);
  EXPECT_EQ(SetPixel(c.DC, 3, 0, kRed), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.DC, -1, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.DC, INT_MAX, INT_MIN), CLR_INVALID);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetPixel(screen, 0, 0), CLR_INVALID) << "the screen DC has no pixels";
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
  ReleaseDC(nullptr, screen);
}

TEST(GdiFill, HatchAndPatternBrushesFollowTheBrushOrigin)
{
  TSurface c(16, 16, kWhite);
  HBRUSH hatch = CreateHatchBrush(HS_CROSS, kRed);
  SetBkColor(c.DC, kBlue);
  RECT r(0, 0, 16, 16);
  FillRect(c.DC, &r, hatch);
  EXPECT_EQ(c.Count(kRed), 2 * (2 * 16) - 4);
  EXPECT_EQ(c.Count(kBlue), 256 - c.Count(kRed));
  SetBkMode(c.DC, TRANSPARENT);
  c.Clear(kWhite);
  SetBrushOrgEx(c.DC, 3, 0, nullptr);
  FillRect(c.DC, &r, hatch);
  EXPECT_EQ(c.Count(kBlue), 0) << "transparent mode leaves the gaps";
  EXPECT_EQ(c.At(10, 0), kRed) << "vertical line at origin + 7";
  DeleteObject(hatch);

  HBITMAP tile = CreateBitmap32(2, 1);
  BitmapBits(tile)[0] = 0xFF00FF00u;
  BitmapBits(tile)[1] = 0xFF000000u;
  HBRUSH pattern = CreatePatternBrush(tile);
  DeleteObject(tile);
  SetBrushOrgEx(c.DC, 0, 0, nullptr);
  FillRect(c.DC, &r, pattern);
  EXPECT_EQ(c.Row(0, RGB(0, 255, 0)), "#.#.#.#.#.#.#.#.");
  DeleteObject(pattern);
}

TEST(GdiClip, ClippingAndWindowOrigin)
{
  TSurface c(8, 4, kBlack);
  IntersectClipRect(c.DC, 2, 0, 6, 4);
  ExcludeClipRect(c.DC, 3, 0, 4, 4);
  FillSolid(c.DC, RECT(0, 0, 8, 1), kRed);
  EXPECT_EQ(c.Row(0, kRed), "..#.##..");
  RECT box;
  EXPECT_EQ(GetClipBox(c.DC, &box), COMPLEXREGION);
  EXPECT_EQ(box, RECT(2, 0, 6, 4));
  EXPECT_FALSE(PtVisible(c.DC, 3, 0));
  EXPECT_TRUE(PtVisible(c.DC, 4, 0));

  // The window origin moves logical coordinates; clip regions stay in
  // device coordinates.
  SetWindowOrgEx(c.DC, 2, -1, nullptr);
  FillSolid(c.DC, RECT(2, 0, 8, 1), kBlue);
  EXPECT_EQ(c.Row(1, kBlue), "..#.##..");
  EXPECT_EQ(GetClipBox(c.DC, &box), COMPLEXREGION);
  EXPECT_EQ(box, RECT(4, -1, 8, 3));
  EXPECT_EQ(GetPixel(c.DC, 4, 0), kBlue);

  SelectClipRgn(c.DC, nullptr);
  HRGN none = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c.DC, none), 0);
  HRGN rgn = CreateRectRgn(0, 3, 2, 4);
  EXPECT_EQ(ExtSelectClipRgn(c.DC, rgn, RGN_OR), SIMPLEREGION) << "no clip is the whole surface";
  EXPECT_EQ(ExtSelectClipRgn(c.DC, rgn, RGN_DIFF), COMPLEXREGION);
  EXPECT_EQ(GetClipRgn(c.DC, none), 1);
  EXPECT_FALSE(PtInRegion(none, 1, 3));
  EXPECT_TRUE(PtInRegion(none, 3, 3));
  EXPECT_EQ(ExtSelectClipRgn(c.DC, nullptr, RGN_AND), ERROR);
  DeleteObject(rgn);
  DeleteObject(none);
}

TEST(GdiClip, SurfaceOffsetAndVisibleRegion)
{
  // What a window DC looks like: device (0, 0) at the client origin on the
  // backing surface, drawing limited to the visible part.
  TSurface backing(10, 6, kBlack);
  auto* dc = new TDC();
  DCSetSurface(dc, backing.Bitmap);
  dc->SurfaceOffset = POINT(3, 2);
  dc->HasVisible = true;
  dc->Visible = TRegion(RECT(0, 0, 4, 3));
  FillSolid(dc, RECT(-3, -2, 20, 20), kRed);
  EXPECT_EQ(backing.Row(1, kRed), "..........");
  EXPECT_EQ(backing.Row(2, kRed), "...####...");
  EXPECT_EQ(backing.Row(4, kRed), "...####...");
  EXPECT_EQ(backing.Row(5, kRed), "..........");
  RECT box;
  GetClipBox(dc, &box);
  EXPECT_EQ(box, RECT(0, 0, 4, 3));
  DCFillDeviceRect(dc, RECT(3, 0, 9, 1), kBlue);
  EXPECT_EQ(backing.Row(2, kBlue), "......#...");
  ReleaseDC(nullptr, dc);
  EXPECT_TRUE(DeleteObject(backing.Bitmap) == FALSE) << "still selected in the test canvas";
}

TEST(GdiState, RestoreDCRestoresWhatItShould)
{
  TSurface c(4, 4);
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  SetTextColor(c.DC, kBlue);
  SetBkColor(c.DC, kRed);
  SetBkMode(c.DC, TRANSPARENT);
  int first = SaveDC(c.DC);
  EXPECT_EQ(first, 1);
  SelectObject(c.DC, pen);
  SetTextColor(c.DC, kWhite);
  SetBkColor(c.DC, kWhite);
  SetBkMode(c.DC, OPAQUE);
  SetROP2(c.DC, R2_XORPEN);
  SetWindowOrgEx(c.DC, 5, 6, nullptr);
  IntersectClipRect(c.DC, 5, 6, 6, 7);
  EXPECT_EQ(SaveDC(c.DC), 2);
  SetTextColor(c.DC, kBlack);
  EXPECT_TRUE(RestoreDC(c.DC, -1));
  EXPECT_EQ(GetTextColor(c.DC), kWhite);
  EXPECT_TRUE(RestoreDC(c.DC, first));
  EXPECT_EQ(GetTextColor(c.DC), kBlue);
  EXPECT_EQ(GetBkColor(c.DC), kRed);
  EXPECT_EQ(GetBkMode(c.DC), TRANSPARENT);
  EXPECT_EQ(SetROP2(c.DC, R2_COPYPEN), R2_COPYPEN);
  POINT org;
  GetWindowOrgEx(c.DC, &org);
  EXPECT_EQ(org, POINT(0, 0));
  RECT box;
  EXPECT_EQ(GetClipBox(c.DC, &box), SIMPLEREGION);
  EXPECT_EQ(box, RECT(0, 0, 4, 4));
  EXPECT_EQ(GetCurrentObject(c.DC, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_FALSE(RestoreDC(c.DC, 1)) << "that level is gone";
  EXPECT_FALSE(RestoreDC(c.DC, 0));
  EXPECT_FALSE(RestoreDC(c.DC, INT_MIN));
  EXPECT_TRUE(DeleteObject(pen));
}

TEST(GdiState, AttributeSettersRejectBadValues)
{
  TSurface c(1, 1);
  EXPECT_EQ(SetBkMode(c.DC, 3), 0);
  EXPECT_EQ(SetROP2(c.DC, 0), 0);
  EXPECT_EQ(SetROP2(c.DC, 17), 0);
  EXPECT_EQ(SetPolyFillMode(c.DC, 9), 0);
  EXPECT_EQ(SetStretchBltMode(c.DC, COLORONCOLOR), BLACKONWHITE);
  EXPECT_EQ(SetTextColor(nullptr, 0), CLR_INVALID);
  POINT old;
  EXPECT_TRUE(OffsetWindowOrgEx(c.DC, INT_MAX, INT_MAX, &old));
  EXPECT_TRUE(OffsetWindowOrgEx(c.DC, INT_MAX, INT_MAX, &old));
  EXPECT_EQ(GetPixel(c.DC, INT_MIN, 0), CLR_INVALID);
}

TEST(GdiText, BlendMaskIsCoverageOverTheSurface)
{
  TSurface c(3, 1, kWhite);
  const std::uint8_t coverage[] = {0, 128, 255};
  DCBlendMask(c.DC, 0, 0, coverage, 3, 1, 3, kBlack);
  EXPECT_EQ(c.At(0, 0), kWhite);
  EXPECT_EQ(c.At(1, 0), RGB(127, 127, 127));
  EXPECT_EQ(c.At(2, 0), kBlack);
  EXPECT_EQ(c.Raw(1, 0) >> 24, 255u);

  // Over a transparent pixel the result stays premultiplied.
  HBITMAP clear = CreateBitmap32(1, 1);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, clear);
  const std::uint8_t half[] = {128};
  DCBlendMask(dc, 0, 0, half, 1, 1, 1, kWhite);
  EXPECT_EQ(BitmapBits(clear)[0], 0x80808080u);
  DeleteDC(dc);
  DeleteObject(clear);
}

TEST(GdiFill, FocusRectTwiceRestoresTheCanvas)
{
  TSurface c(12, 9);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 12; ++x)
      SetPixel(c.DC, x, y, RGB(x * 20, y * 25, 90));
  auto before = c.Pixels();
  RECT r(1, 1, 11, 8);
  ASSERT_TRUE(DrawFocusRect(c.DC, &r));
  auto drawn = c.Pixels();
  EXPECT_NE(drawn, before);
  // Dotted: alternate pixels of the frame change with the default colours
  // (black text, white background); the inside is untouched.
  EXPECT_EQ(c.At(1, 1), RGB(255 - 20, 255 - 25, 255 - 90));
  EXPECT_EQ(c.At(2, 1), RGB(2 * 20, 25, 90));
  EXPECT_NE(c.At(3, 1), RGB(3 * 20, 25, 90));
  EXPECT_EQ(c.At(5, 4), RGB(5 * 20, 4 * 25, 90));
  DrawFocusRect(c.DC, &r);
  EXPECT_EQ(c.Pixels(), before);
  // Degenerate rectangles too.
  RECT line(2, 2, 9, 3);
  DrawFocusRect(c.DC, &line);
  DrawFocusRect(c.DC, &line);
  EXPECT_EQ(c.Pixels(), before);
}

TEST(GdiFill, FrameInvertAndPatBlt)
{
  TSurface c(6, 5, kWhite);
  RECT r(1, 1, 5, 4);
  FrameRect(c.DC, &r, GetSysColorBrush(COLOR_WINDOWTEXT));
  EXPECT_EQ(c.Row(0, kBlack), "......");
  EXPECT_EQ(c.Row(1, kBlack), ".####.");
  EXPECT_EQ(c.Row(2, kBlack), ".#..#.");
  EXPECT_EQ(c.Row(3, kBlack), ".####.");
  InvertRect(c.DC, &r);
  EXPECT_EQ(c.Row(2, kBlack), "..##..");
  EXPECT_EQ(c.Row(1, kWhite), "######");

  c.Clear(kWhite);
  EXPECT_TRUE(PatBlt(c.DC, 0, 0, 3, 1, BLACKNESS));
  EXPECT_TRUE(PatBlt(c.DC, 5, 1, -2, 1, DSTINVERT)) << "negative sizes extend left";
  SelectObject(c.DC, GetStockObject(GRAY_BRUSH));
  EXPECT_TRUE(PatBlt(c.DC, 0, 2, 6, 1, PATCOPY));
  EXPECT_TRUE(PatBlt(c.DC, 0, 2, 1, 1, PATINVERT));
  EXPECT_FALSE(PatBlt(c.DC, 0, 0, 1, 1, SRCCOPY)) << "no source here";
  EXPECT_EQ(c.Row(0, kBlack), "###...");
  EXPECT_EQ(c.Row(1, kBlack), "...##.");
  EXPECT_EQ(c.Row(2, RGB(128, 128, 128)), ".#####");
  EXPECT_EQ(c.At(0, 2), kBlack);

  HRGN rgn = CreateEllipticRgn(0, 0, 6, 5);
  c.Clear(kWhite);
  EXPECT_TRUE(FrameRgn(c.DC, rgn, GetSysColorBrush(COLOR_WINDOWTEXT), 1, 1));
  EXPECT_EQ(c.At(3, 2), kWhite);
  EXPECT_EQ(c.At(0, 2), kBlack);
  EXPECT_EQ(c.At(0, 0), kWhite);
  EXPECT_TRUE(FillRgn(c.DC, rgn, GetSysColorBrush(COLOR_WINDOWTEXT)));
  EXPECT_EQ(c.At(3, 2), kBlack);
  DeleteObject(rgn);
}
