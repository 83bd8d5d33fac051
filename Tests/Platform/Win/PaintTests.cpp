#include "TestWindows.hpp"
#include <QxSurface.hpp>
#include <Win.User.Internal.hpp>

#include <random>

using namespace Win;

namespace QxTest {

namespace {
constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0),
                   kYellow = RGB(255, 255, 0);
}

TEST_F(WindowTest, ErasesBeforePaintingAndPaintsParentsBeforeChildren)
{
  HWND top = Make(nullptr, 10, 10, 200, 100, kRed);
  HWND a = Make(top, 10, 10, 50, 50, kBlue);
  HWND b = Make(a, 5, 5, 10, 10, kGreen);
  Log.clear();
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  RunUntilIdle();
  std::vector<std::pair<HWND, UINT>> seen;
  for (const TRecord& r : Log)
    if (r.Message == WM_PAINT || r.Message == WM_ERASEBKGND)
      seen.emplace_back(r.Window, r.Message);
  std::vector<std::pair<HWND, UINT>> expected{{top, WM_PAINT}, {top, WM_ERASEBKGND}, {a, WM_PAINT},
                                              {a, WM_ERASEBKGND}, {b, WM_PAINT}, {b, WM_ERASEBKGND}};
  // WM_ERASEBKGND arrives from inside BeginPaint, so it is logged after the
  // WM_PAINT that called it but before anything is painted.
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(ScreenPixel(10 + 10 + 5, 10 + 10 + 5), kGreen);
  EXPECT_EQ(ScreenPixel(10 + 12, 10 + 12), kBlue);
  EXPECT_EQ(ScreenPixel(10 + 100, 10 + 50), kRed);
}

TEST_F(WindowTest, PaintIsClippedToTheUpdateRegion)
{
  HWND top = Make(nullptr, 0, 0, 100, 100, kRed);
  RunUntilIdle();
  Of(top).Fill = kBlue;
  RECT r(10, 10, 20, 20);
  InvalidateRect(top, &r, FALSE);
  RunUntilIdle();
  EXPECT_EQ(WindowPixel(top, 15, 15), kBlue);
  EXPECT_EQ(WindowPixel(top, 25, 15), kRed);
  EXPECT_EQ(WindowPixel(top, 9, 9), kRed);
}

TEST_F(WindowTest, ClipChildrenKeepsTheParentOffItsChildren)
{
  HWND clipped = Make(nullptr, 0, 0, 100, 100, kRed, WS_CLIPCHILDREN);
  HWND child = Make(clipped, 20, 20, 30, 30, kBlue);
  Settle();
  InvalidateRect(clipped, nullptr, TRUE);
  RunUntilIdle();
  EXPECT_TRUE(Messages(child, {WM_PAINT}).empty()) << "the child is not part of the parent's update";
  EXPECT_EQ(WindowPixel(clipped, 30, 30), kBlue);
  EXPECT_EQ(WindowPixel(clipped, 10, 10), kRed);

  // Without WS_CLIPCHILDREN the parent paints over the child, which is
  // invalidated with it and repaints afterwards.
  HWND plain = Make(nullptr, 200, 0, 100, 100, kRed);
  HWND over = Make(plain, 20, 20, 30, 30, kBlue);
  Settle();
  InvalidateRect(plain, nullptr, TRUE);
  RunUntilIdle();
  EXPECT_EQ(Messages(plain, {WM_PAINT}).size(), 1u);
  EXPECT_EQ(Messages(over, {WM_PAINT}).size(), 1u);
  EXPECT_EQ(WindowPixel(plain, 30, 30), kBlue);
}

TEST_F(WindowTest, SiblingsAboveClipWithClipSiblings)
{
  HWND top = Make(nullptr, 0, 0, 100, 100, kRed, WS_CLIPCHILDREN);
  HWND below = Make(top, 10, 10, 50, 50, kBlue, WS_CLIPSIBLINGS);
  HWND above = Make(top, 30, 30, 50, 50, kGreen, WS_CLIPSIBLINGS);
  RunUntilIdle();
  InvalidateRect(below, nullptr, TRUE);
  RunUntilIdle();
  EXPECT_EQ(WindowPixel(top, 40, 40), kGreen) << "the sibling above keeps its pixels";
  EXPECT_EQ(WindowPixel(top, 20, 20), kBlue);
  (void)above;
}

// Painting part of a frame, then reordering the children, leaves none of
// them unpainted.
TEST_F(WindowTest, ChildrenReorderedInTheMiddleOfAFrameAreStillPainted)
{
  HWND top = Make(nullptr, 0, 0, 100, 20, kRed);
  std::vector<HWND> kids;
  for (int i = 0; i < 5; ++i)
    kids.push_back(Make(top, i * 20, 0, 20, 20, kBlue));
  Settle();
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  MSG msg;
  for (int i = 0; i < 4; ++i) { // the top and the three bottom children
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessage(&msg);
  }
  SetWindowPos(kids.back(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  RunUntilIdle();
  for (HWND kid : kids)
    EXPECT_EQ(Messages(kid, {WM_PAINT}).size(), 1u);
}

// The clipping each window keeps between frames is what working it out
// afresh gives, whatever moves, restacks, hides, restyles, reparents,
// scrolls or destroys windows in between.
TEST_F(WindowTest, KeptClippingFollowsEveryLayoutChange)
{
  std::mt19937 rng(15);
  auto pick = [&](int n) { return int(rng() % unsigned(n)); };
  HWND top = Make(nullptr, 0, 0, 120, 90, kRed, WS_CLIPCHILDREN);
  std::vector<HWND> kids;
  auto add = [&] {
    HWND parent = kids.empty() || pick(3) ? top : kids[std::size_t(pick(int(kids.size())))];
    kids.push_back(Make(parent, pick(100), pick(70), 5 + pick(40), 5 + pick(40), kBlue,
                        pick(2) ? WS_CLIPSIBLINGS : WS_CLIPCHILDREN));
  };
  for (int i = 0; i < 8; ++i)
    add();
  for (int step = 0; step < 300; ++step) {
    HWND w = kids[std::size_t(pick(int(kids.size())))];
    switch (pick(7)) {
    case 0: SetWindowPos(w, nullptr, pick(100), pick(70), 5 + pick(40), 5 + pick(40), SWP_NOZORDER); break;
    case 1: {
      HWND after = pick(2) ? HWND_BOTTOM : kids[std::size_t(pick(int(kids.size())))];
      SetWindowPos(w, after == w ? HWND_TOP : after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      break;
    }
    case 2: ShowWindow(w, IsWindowVisible(w) ? SW_HIDE : SW_SHOW); break;
    case 3: SetWindowLongPtr(w, GWL_STYLE, GetWindowLongPtr(w, GWL_STYLE) ^ (pick(2) ? WS_CLIPSIBLINGS : WS_CLIPCHILDREN)); break;
    case 4: SetParent(w, pick(2) ? top : kids[std::size_t(pick(int(kids.size())))]); break;
    case 5: ScrollWindow(GetParent(w), pick(9) - 4, pick(9) - 4, nullptr, nullptr); break;
    default:
      DestroyWindow(w);
      std::erase_if(kids, [](HWND k) { return !IsWindow(k); });
      add();
    }
    if (pick(4) == 0)
      RunUntilIdle();
    for (HWND k : kids)
      for (bool clipChildren : {false, true})
        ASSERT_EQ(VisibleRegion(k, clipChildren), VisibleRegionPlain(k, clipChildren)) << "step " << step;
  }
}

TEST_F(WindowTest, SuspendedValidatedAndHiddenWindowsDoNotPaint)
{
  HWND top = Make(nullptr, 0, 0, 100, 100, kRed);
  HWND child = Make(top, 10, 10, 20, 20, kBlue);
  Settle();
  SendMessage(top, WM_SETREDRAW, FALSE, 0);
  EXPECT_TRUE(IsRedrawSuspended(child));
  Of(top).Fill = kYellow;
  InvalidateRect(top, nullptr, TRUE);
  InvalidateRect(child, nullptr, TRUE);
  RunUntilIdle();
  EXPECT_TRUE(Messages(nullptr, {WM_PAINT, WM_ERASEBKGND}).empty());
  EXPECT_EQ(WindowPixel(top, 50, 50), kRed);

  SendMessage(top, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  RunUntilIdle();
  EXPECT_EQ(Messages(top, {WM_PAINT}).size(), 1u);
  EXPECT_EQ(Messages(child, {WM_PAINT}).size(), 1u);
  EXPECT_EQ(WindowPixel(top, 50, 50), kYellow);

  // Validated and hidden windows do not paint.
  Settle();
  InvalidateRect(top, nullptr, TRUE);
  ValidateRect(top, nullptr);
  ValidateRect(child, nullptr);
  ShowWindow(child, SW_HIDE);
  InvalidateRect(child, nullptr, TRUE);
  RunUntilIdle();
  EXPECT_TRUE(Messages(child, {WM_PAINT}).empty());
  // Hiding the child exposed its area in the parent.
  EXPECT_EQ(Messages(top, {WM_PAINT}).size(), 1u);
  EXPECT_EQ(WindowPixel(top, 15, 15), kYellow);
  RECT update;
  EXPECT_FALSE(GetUpdateRect(top, &update, FALSE));
}

TEST_F(WindowTest, UpdateWindowPaintsAtOnceAndEndPaintReleasesTheDC)
{
  HWND top = Make(nullptr, 0, 0, 60, 60, kRed);
  RunUntilIdle();
  Of(top).Fill = kGreen;
  InvalidateRect(top, nullptr, FALSE);
  RECT update;
  EXPECT_TRUE(GetUpdateRect(top, &update, FALSE));
  EXPECT_EQ(update, RECT(0, 0, 60, 60));
  UpdateWindow(top);
  EXPECT_EQ(WindowPixel(top, 30, 30), kGreen);
  EXPECT_FALSE(GetUpdateRect(top, &update, FALSE));
}

TEST_F(WindowTest, ResizingInvalidatesWhatTheClassAsksFor)
{
  HWND top = Make(nullptr, 0, 0, 100, 100, kRed);
  Settle();
  SetWindowPos(top, nullptr, 0, 0, 150, 100, SWP_NOMOVE | SWP_NOZORDER);
  // The surface is new, so the whole top-level window repaints.
  RunUntilIdle();
  EXPECT_EQ(Messages(top, {WM_SIZE}).size(), 1u);
  EXPECT_EQ(WindowPixel(top, 140, 50), kRed);

  HWND child = Make(top, 0, 0, 40, 40, kBlue);
  Settle();
  Of(child).Hook = [](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_PAINT) {
      RECT r;
      GetUpdateRect(h, &r, FALSE);
      EXPECT_EQ(r, RECT(40, 0, 60, 40)) << "only the strip the child grew by";
    }
    return false;
  };
  SetWindowPos(child, nullptr, 0, 0, 60, 40, SWP_NOMOVE | SWP_NOZORDER);
  RunUntilIdle();
  EXPECT_EQ(Messages(child, {WM_PAINT}).size(), 1u);
}

TEST_F(WindowTest, ScrollWindowMovesPixelsAndInvalidatesTheUncoveredStrip)
{
  HWND top = Make(nullptr, 0, 0, 100, 100, kRed);
  RunUntilIdle();
  // Paint a blue bar at rows 0..9 directly.
  HDC dc = GetDC(top);
  FillSolid(dc, RECT(0, 0, 100, 10), kBlue);
  ReleaseDC(top, dc);
  Of(top).Fill = kGreen;
  ScrollWindow(top, 0, 20, nullptr, nullptr);
  EXPECT_EQ(WindowPixel(top, 50, 25), kBlue) << "moved down by 20";
  RECT update;
  ASSERT_TRUE(GetUpdateRect(top, &update, FALSE));
  EXPECT_EQ(update, RECT(0, 0, 100, 20));
  RunUntilIdle();
  EXPECT_EQ(WindowPixel(top, 50, 5), kGreen);
  EXPECT_EQ(WindowPixel(top, 50, 25), kBlue);
}

TEST_F(WindowTest, DesktopComposesTopmostWindowsAboveOthersAndSavesPng)
{
  HWND topmost = Make(nullptr, 0, 0, 50, 50, kBlue, 0, WS_EX_TOPMOST);
  HWND normal = Make(nullptr, 25, 25, 50, 50, kRed);
  RunUntilIdle();
  EXPECT_EQ(ScreenPixel(30, 30), kBlue) << "the later window stays below the topmost one";
  EXPECT_EQ(ScreenPixel(60, 60), kRed);
  EXPECT_EQ(ScreenPixel(200, 200), GetSysColor(COLOR_BACKGROUND));
  EXPECT_EQ(TopLevelWindows().front(), topmost);
  (void)normal;
  std::string path = SaveScreenshot("desktop");
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  unsigned char sig[8] = {};
  EXPECT_EQ(std::fread(sig, 1, 8, f), 8u);
  std::fclose(f);
  EXPECT_EQ(sig[1], 'P');
  EXPECT_THROW(SaveDesktopScreenshot("/nonexistent-dir/x.png"), Vcl::Exception);
}

TEST_F(WindowTest, ScreenSizeFollowsTheSettings)
{
  ScreenSettings().Width = 320;
  ScreenSettings().Height = 200;
  TImage image = ComposeDesktop();
  EXPECT_EQ(image.Width, 320);
  EXPECT_EQ(image.Height, 200);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 320);
}

} // namespace QxTest

namespace QxTest {

TEST_F(WindowTest, TransparentChildrenAreNotClippedOutOfTheirParentsPaint)
{
  HWND parent = Make(nullptr, 0, 0, 100, 100, kRed, WS_CLIPCHILDREN);
  // The transparent child paints nothing of its own: what shows through is
  // whatever its parent painted beneath it.
  HWND glass = Make(parent, 10, 10, 30, 30, kGreen, 0, WS_EX_TRANSPARENT);
  Of(glass).Hook = [](HWND h, UINT m, WPARAM, LPARAM, LRESULT& result) {
    if (m == WM_ERASEBKGND) {
      result = 1;
      return true;
    }
    if (m != WM_PAINT)
      return false;
    PAINTSTRUCT ps;
    BeginPaint(h, &ps);
    EndPaint(h, &ps);
    result = 0;
    return true;
  };
  Make(parent, 50, 10, 30, 30, kBlue); // opaque
  RunUntilIdle();
  Of(parent).Fill = kYellow;
  Log.clear();
  InvalidateRect(parent, nullptr, TRUE);
  RunUntilIdle();
  EXPECT_EQ(WindowPixel(parent, 20, 20), kYellow) << "the parent painted under its transparent child";
  EXPECT_EQ(WindowPixel(parent, 60, 20), kBlue) << "an opaque child still clips its parent";
  EXPECT_TRUE(Messages(glass, {WM_PAINT}).empty()) << "the parent's paint does not bring its children's";

  // The style is looked at as it is now: taken away, the child clips again.
  SetWindowLongPtr(glass, GWL_EXSTYLE, 0);
  Of(parent).Fill = kRed;
  InvalidateRect(parent, nullptr, TRUE);
  RunUntilIdle();
  EXPECT_EQ(WindowPixel(parent, 20, 20), kYellow);
  EXPECT_EQ(WindowPixel(parent, 5, 5), kRed);
}

TEST_F(WindowTest, ADeferredBatchMovesEverySiblingBeforeTellingAnyOfThem)
{
  HWND top = Make(nullptr, 0, 0, 200, 200, kRed, WS_CLIPCHILDREN);
  HWND a = Make(top, 0, 0, 50, 20, kBlue);
  HWND b = Make(top, 0, 20, 50, 20, kGreen);
  RunUntilIdle();
  // When a hears that it moved, b has moved already.
  RECT bSeenByA;
  Of(a).Hook = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_WINDOWPOSCHANGED) {
      GetWindowRect(b, &bSeenByA); // the parent sits at the screen's origin
    }
    return false;
  };
  Log.clear();
  HDWP batch = BeginDeferWindowPos(2);
  batch = DeferWindowPos(batch, a, nullptr, 0, 0, 50, 60, SWP_NOZORDER | SWP_NOACTIVATE);
  batch = DeferWindowPos(batch, b, nullptr, 0, 0, 99, 99, SWP_NOZORDER | SWP_NOACTIVATE);
  // The later position of a window already in the batch replaces the earlier.
  batch = DeferWindowPos(batch, b, nullptr, 0, 60, 50, 20, SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_NE(batch, nullptr);
  EXPECT_EQ(Messages(nullptr, {WM_WINDOWPOSCHANGING}).size(), 0u) << "nothing happens before the end";
  ASSERT_TRUE(EndDeferWindowPos(batch));
  EXPECT_EQ(bSeenByA.Top, 60);
  EXPECT_EQ(Messages(nullptr, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}),
            (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED,
                               WM_WINDOWPOSCHANGED}));
  RunUntilIdle();
  EXPECT_EQ(WindowPixel(top, 10, 50), kBlue);
  EXPECT_EQ(WindowPixel(top, 10, 70), kGreen);
  EXPECT_EQ(WindowPixel(top, 60, 70), kRed);
  EXPECT_FALSE(EndDeferWindowPos(batch)) << "an ended batch is gone";
}

TEST_F(WindowTest, ADeferredBatchRefusesWindowsOfAnotherParentAndMovesNothing)
{
  HWND top = Make(nullptr, 0, 0, 200, 200, kRed);
  HWND other = Make(nullptr, 300, 0, 100, 100, kRed);
  HWND a = Make(top, 0, 0, 50, 20, kBlue);
  HWND stranger = Make(other, 0, 0, 50, 20, kBlue);
  HDWP batch = DeferWindowPos(BeginDeferWindowPos(2), a, nullptr, 10, 10, 50, 20, SWP_NOZORDER);
  EXPECT_EQ(DeferWindowPos(batch, stranger, nullptr, 10, 10, 50, 20, SWP_NOZORDER), nullptr);
  EXPECT_FALSE(EndDeferWindowPos(batch)) << "the refused batch ended unapplied";
  RECT r;
  GetWindowRect(a, &r);
  EXPECT_EQ(r.Left, 0);
  EXPECT_EQ(DeferWindowPos(BeginDeferWindowPos(1), top, nullptr, 0, 0, 1, 1, 0), nullptr)
    << "top-level windows are not batched";
  EXPECT_EQ(BeginDeferWindowPos(-1), nullptr);
  EXPECT_FALSE(EndDeferWindowPos(nullptr));
}

} // namespace QxTest
