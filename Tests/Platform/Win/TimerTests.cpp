#include "TestWindows.hpp"

using namespace Win;

namespace QxTest {

TEST_F(WindowTest, TimersFireInOrderOnTheVirtualClock)
{
  HWND top = Make(nullptr, 0, 0, 10, 10, RGB(0, 0, 0));
  std::vector<std::pair<std::uint64_t, WPARAM>> fired;
  std::uint64_t start = ClockMilliseconds();
  Of(top).Hook = [&](HWND, UINT m, WPARAM w, LPARAM, LRESULT&) {
    if (m == WM_TIMER)
      fired.emplace_back(ClockMilliseconds() - start, w);
    return false;
  };
  SetTimer(top, 1, 30, nullptr);
  SetTimer(top, 2, 50, nullptr);
  AdvanceBy(29);
  EXPECT_TRUE(fired.empty());
  AdvanceBy(71);
  std::vector<std::pair<std::uint64_t, WPARAM>> expected{{30, 1}, {50, 2}, {60, 1}, {90, 1}, {100, 2}};
  EXPECT_EQ(fired, expected);
  KillTimer(top, 1);
  fired.clear();
  AdvanceBy(100);
  EXPECT_EQ(fired, (std::vector<std::pair<std::uint64_t, WPARAM>>{{150, 2}, {200, 2}}));
  EXPECT_FALSE(KillTimer(top, 1));
}

TEST_F(WindowTest, TheClockBehindTickCountAndCounterIsOne)
{
  DWORD t0 = GetTickCount();
  std::int64_t c0 = 0, c1 = 0, f = 0;
  QueryPerformanceCounter(&c0);
  QueryPerformanceFrequency(&f);
  AdvanceClock(1500);
  QueryPerformanceCounter(&c1);
  EXPECT_EQ(GetTickCount() - t0, 1500u);
  EXPECT_EQ((c1 - c0) * 1000 / f, 1500);
  Sleep(20);
  EXPECT_EQ(GetTickCount() - t0, 1520u);
}

namespace {
std::vector<UINT_PTR> gProcTimers;
void CALLBACKTimer(HWND, UINT, UINT_PTR id, DWORD) { gProcTimers.push_back(id); }
} // namespace

TEST_F(WindowTest, ATimerProcRunsInsteadOfTheWindowAndMinimumIntervalApplies)
{
  gProcTimers.clear();
  UINT_PTR id = SetTimer(nullptr, 0, 0, &CALLBACKTimer); // 0 ms becomes 10 ms
  ASSERT_NE(id, 0u);
  AdvanceBy(9);
  EXPECT_TRUE(gProcTimers.empty());
  AdvanceBy(21);
  EXPECT_EQ(gProcTimers, (std::vector<UINT_PTR>{id, id, id}));
  KillTimer(nullptr, id);
  // A window's timers go with it.
  HWND top = Make(nullptr, 0, 0, 10, 10, RGB(0, 0, 0));
  SetTimer(top, 7, 10, nullptr);
  DestroyWindow(top);
  std::uint64_t due = 0;
  EXPECT_FALSE(NextTimerDue(&due));
}

TEST_F(WindowTest, GetMessageLetsVirtualTimePassWhenNothingElseCanHappen)
{
  HWND top = Make(nullptr, 0, 0, 10, 10, RGB(0, 0, 0));
  RunUntilIdle();
  SetTimer(top, 3, 250, nullptr);
  std::uint64_t start = ClockMilliseconds();
  MSG msg;
  ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_EQ(ClockMilliseconds() - start, 250u);
  PostQuitMessage(3);
  EXPECT_FALSE(GetMessage(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.wParam, 3u);
}

} // namespace QxTest
