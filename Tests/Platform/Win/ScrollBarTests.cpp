#include "TestWindows.hpp"

#include <QxStyleSupport.hpp>
#include <Win.ScrollBars.hpp>

using namespace Win;

namespace QxTest {

namespace {

constexpr COLORREF kGray = RGB(128, 128, 128);

struct TScrollReport {
  WORD Code;
  int Pos;
  int TrackPos;
};

// A window with a vertical bar that scrolls the way an application does:
// every report moves the position, and each report is kept.
class ScrollBarTest : public WindowTest {
protected:
  HWND Top = nullptr;
  HWND Scroller = nullptr;
  std::vector<TScrollReport> Reports;
  int Bar = 17;

  void SetUp() override
  {
    WindowTest::SetUp();
    Bar = GetSystemMetrics(SM_CXVSCROLL);
    Top = Make(nullptr, 0, 0, 300, 300, kGray);
    Scroller = Make(Top, 20, 20, 200, 200, RGB(255, 255, 255), WS_VSCROLL);
    Of(Scroller).Hook = [this](HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& answer) {
      if (msg == WM_NCHITTEST) {
        answer = DefWindowProc(hWnd, msg, wParam, lParam);
        return true;
      }
      if (msg != WM_VSCROLL)
        return false;
      SCROLLINFO si;
      si.fMask = SIF_ALL;
      GetScrollInfo(hWnd, SB_VERT, &si);
      Reports.push_back({LOWORD(wParam), std::int16_t(HIWORD(wParam)), si.nTrackPos});
      int pos = si.nPos;
      switch (LOWORD(wParam)) {
      case SB_LINEUP: pos -= 1; break;
      case SB_LINEDOWN: pos += 1; break;
      case SB_PAGEUP: pos -= int(si.nPage); break;
      case SB_PAGEDOWN: pos += int(si.nPage); break;
      case SB_THUMBTRACK: pos = si.nTrackPos; break;
      default: break;
      }
      SetScrollPos(hWnd, SB_VERT, pos, TRUE);
      return true;
    };
    SetRange(0, 99, 10, 0);
    RunUntilIdle();
  }

  int SetRange(int min, int max, UINT page, int pos, UINT extra = 0)
  {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | extra;
    si.nMin = min;
    si.nMax = max;
    si.nPage = page;
    si.nPos = pos;
    return SetScrollInfo(Scroller, SB_VERT, &si, TRUE);
  }

  SCROLLBARINFO Info()
  {
    SCROLLBARINFO info;
    GetScrollBarInfo(Scroller, OBJID_VSCROLL, &info);
    return info;
  }

  // A point of the bar: across its middle, `along` pixels from its top.
  POINT OnBar(int along)
  {
    SCROLLBARINFO info = Info();
    return POINT(info.rcScrollBar.Left + Bar / 2, info.rcScrollBar.Top + along);
  }

  std::vector<WORD> Codes() const
  {
    std::vector<WORD> out;
    for (const TScrollReport& r : Reports)
      out.push_back(r.Code);
    return out;
  }
};

} // namespace

TEST_F(ScrollBarTest, ThePositionIsHeldWhereThePageStillFits)
{
  EXPECT_EQ(SetRange(0, 99, 10, 200), 90) << "max - page + 1";
  EXPECT_EQ(SetRange(0, 99, 10, -5), 0);
  EXPECT_EQ(SetScrollPos(Scroller, SB_VERT, 95, TRUE), 0) << "answers the old position";
  EXPECT_EQ(GetScrollPos(Scroller, SB_VERT), 90);
  EXPECT_EQ(SetRange(-20, 20, 0, 25), 20) << "without a page the whole range is open";

  SCROLLINFO si;
  si.fMask = SIF_PAGE;
  si.nPage = 500;
  SetScrollInfo(Scroller, SB_VERT, &si, TRUE);
  si.fMask = SIF_ALL;
  GetScrollInfo(Scroller, SB_VERT, &si);
  EXPECT_EQ(si.nPage, 41u) << "a page never exceeds the range";
  EXPECT_EQ(si.nPos, -20);

  EXPECT_EQ(SetScrollInfo(nullptr, SB_VERT, &si, TRUE), 0);
  EXPECT_FALSE(GetScrollInfo(Scroller, SB_CTL, &si));
  EXPECT_FALSE(GetScrollInfo(Scroller, SB_VERT, nullptr));
}

TEST_F(ScrollBarTest, TheBarComesAndGoesWithTheNeedToScrollAndNarrowsTheClient)
{
  RECT client;
  GetClientRect(Scroller, &client);
  EXPECT_EQ(client, RECT(0, 0, 200 - Bar, 200));
  Log.clear();
  SetRange(0, 99, 100, 0);
  EXPECT_FALSE(GetWindowLongPtr(Scroller, GWL_STYLE) & WS_VSCROLL) << "the page shows everything";
  GetClientRect(Scroller, &client);
  EXPECT_EQ(client, RECT(0, 0, 200, 200));
  EXPECT_EQ(Messages(Scroller, {WM_SIZE}).size(), 1u);
  SetRange(0, 99, 100, 0, SIF_DISABLENOSCROLL);
  EXPECT_TRUE(GetWindowLongPtr(Scroller, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(Info().rgstate[SBI_SELF], STATE_SYSTEM_UNAVAILABLE);
  SetRange(0, 99, 10, 0);
  EXPECT_EQ(Info().rgstate[SBI_SELF], 0u);
  RunUntilIdle();

  // The strip belongs to the window, not to its client or its children.
  HWND child = Make(Scroller, 0, 0, 200, 50, kGray);
  Settle();
  Click(20 + 200 - Bar / 2, 20 + 25);
  EXPECT_TRUE(Messages(child, {WM_LBUTTONDOWN}).empty());
  EXPECT_EQ(Messages(Scroller, {WM_NCLBUTTONDOWN}).size(), 1u);
  EXPECT_EQ(SendMessage(Scroller, WM_NCHITTEST, 0, MAKELPARAM(20 + 200 - 1, 20 + 100)), HTVSCROLL);
  EXPECT_EQ(SendMessage(Scroller, WM_NCHITTEST, 0, MAKELPARAM(20 + 10, 20 + 100)), HTCLIENT);

  // Both bars: each takes its edge and the corner between them is neither.
  ShowScrollBar(Scroller, SB_HORZ, TRUE);
  GetClientRect(Scroller, &client);
  EXPECT_EQ(client, RECT(0, 0, 200 - Bar, 200 - Bar));
  EXPECT_EQ(SendMessage(Scroller, WM_NCHITTEST, 0, MAKELPARAM(20 + 100, 20 + 200 - 1)), HTHSCROLL);
  EXPECT_EQ(SendMessage(Scroller, WM_NCHITTEST, 0, MAKELPARAM(20 + 200 - 1, 20 + 200 - 1)), HTNOWHERE);
  EXPECT_EQ(Info().rcScrollBar.Bottom, 20 + 200 - Bar) << "the vertical bar stops above the corner";
}

TEST_F(ScrollBarTest, ArrowsAndTrackRepeatOnTheClockWhileHeld)
{
  POINT down = OnBar(200 - Bar / 2);
  MoveTo(down.X, down.Y);
  Press();
  EXPECT_EQ(Codes(), std::vector<WORD>{SB_LINEDOWN});
  AdvanceBy(kScrollRepeatDelay - 1);
  EXPECT_EQ(Reports.size(), 1u);
  AdvanceBy(1 + 2 * kScrollRepeatInterval);
  EXPECT_EQ(Reports.size(), 4u) << "one at the delay, then one each interval";
  EXPECT_EQ(Info().rgstate[SBI_LINEDOWN], STATE_SYSTEM_PRESSED);
  MoveTo(down.X - 100, down.Y); // off the arrow: it pops up and stops repeating
  AdvanceBy(5 * kScrollRepeatInterval);
  EXPECT_EQ(Reports.size(), 4u);
  EXPECT_EQ(Info().rgstate[SBI_LINEDOWN], 0u);
  Release();
  EXPECT_EQ(Reports.back().Code, SB_ENDSCROLL);
  EXPECT_EQ(GetScrollPos(Scroller, SB_VERT), 4);

  // The track pages towards the pointer and stops once the thumb is under it.
  Reports.clear();
  SCROLLBARINFO info = Info();
  POINT page = OnBar(info.xyThumbBottom + 40);
  MoveTo(page.X, page.Y);
  Press();
  AdvanceBy(2000);
  Release();
  ASSERT_GE(Reports.size(), 2u);
  EXPECT_EQ(Reports.front().Code, SB_PAGEDOWN);
  EXPECT_LT(Reports.size(), 8u);
  info = Info();
  EXPECT_LE(info.rcScrollBar.Top + info.xyThumbTop, page.Y);
  EXPECT_GT(info.rcScrollBar.Top + info.xyThumbBottom, page.Y);

  // A disabled arrow does nothing; nothing of a held arrow outlives its window.
  Reports.clear();
  EnableScrollBar(Scroller, SB_VERT, ESB_DISABLE_RTDN);
  MoveTo(down.X, down.Y);
  Press();
  Release();
  EXPECT_TRUE(Reports.empty());
  EnableScrollBar(Scroller, SB_VERT, ESB_ENABLE_BOTH);
  Press();
  DestroyWindow(Scroller);
  AdvanceBy(1000);
  Release();
  EXPECT_EQ(Reports.size(), 1u);
}

TEST_F(ScrollBarTest, DraggingTheThumbTracksThenSettles)
{
  SCROLLBARINFO info = Info();
  int track = 200 - 2 * Bar, thumb = info.xyThumbBottom - info.xyThumbTop;
  EXPECT_EQ(info.dxyLineButton, Bar);
  EXPECT_EQ(thumb, track * 10 / 100);
  POINT grab = OnBar(info.xyThumbTop + 2);
  MoveTo(grab.X, grab.Y);
  Press();
  MoveTo(grab.X, grab.Y + (track - thumb) / 2);
  SCROLLINFO si;
  si.fMask = SIF_TRACKPOS | SIF_POS;
  GetScrollInfo(Scroller, SB_VERT, &si);
  EXPECT_NEAR(si.nTrackPos, 45, 1) << "half the travel is half the open range";
  EXPECT_EQ(Reports.back().Code, SB_THUMBTRACK);
  EXPECT_EQ(Reports.back().Pos, si.nTrackPos);
  MoveTo(grab.X, grab.Y + 1000);
  EXPECT_EQ(Reports.back().TrackPos, 90) << "the end of the travel is the last position";
  MoveTo(grab.X + 200, grab.Y + 40);
  EXPECT_EQ(Reports.back().TrackPos, 0) << "far from the bar the thumb goes back to where it started";
  MoveTo(grab.X + 20, grab.Y + (track - thumb) / 2);
  Release();
  ASSERT_GE(Reports.size(), 2u);
  EXPECT_EQ(Reports[Reports.size() - 2].Code, SB_THUMBPOSITION);
  EXPECT_NEAR(Reports[Reports.size() - 2].Pos, 45, 1);
  EXPECT_EQ(Reports.back().Code, SB_ENDSCROLL);
  info = Info();
  EXPECT_NEAR(info.xyThumbTop - Bar, (track - thumb) / 2, 1);
}

TEST_F(ScrollBarTest, TheStripIsDrawnInBothLooksBesideTheClient)
{
  auto look = [this]() {
    RedrawWindow(Top, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    RunUntilIdle();
    SCROLLBARINFO info = Info();
    int x = info.rcScrollBar.Left + Bar / 2;
    return std::tuple{ScreenPixel(x - Bar, 100), ScreenPixel(x, info.rcScrollBar.Top + info.xyThumbTop + 3),
                      ScreenPixel(x, info.rcScrollBar.Top + info.xyThumbBottom + 20)};
  };
  auto [client, thumb, track] = look();
  EXPECT_EQ(client, RGB(255, 255, 255));
  EXPECT_NE(thumb, track);
  EXPECT_NE(track, RGB(255, 255, 255));
  {
    TVisualStyles off(false);
    auto [classicClient, classicThumb, classicTrack] = look();
    EXPECT_EQ(classicClient, RGB(255, 255, 255));
    EXPECT_EQ(classicThumb, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(classicTrack, GetSysColor(COLOR_SCROLLBAR));
  }
}

} // namespace QxTest
