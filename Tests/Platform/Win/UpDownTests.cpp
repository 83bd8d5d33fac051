// The up-down control through its messages and injected input, with a test
// window as parent and another as buddy.
#include "TestWindows.hpp"

#include <Win.Desktop.hpp>
#include <Win.UpDown.hpp>

#include <climits>

using namespace Win;

namespace QxTest {

namespace {

class UpDownTest : public WindowTest {
protected:
  void SetUp() override
  {
    WindowTest::SetUp();
    Parent = Make(nullptr, 0, 0, 200, 100, RGB(255, 255, 255));
    Buddy = Make(Parent, 10, 10, 60, 24, RGB(255, 255, 255));
    Of(Parent).Hook = [this](HWND, UINT m, WPARAM, LPARAM l, LRESULT& result) {
      if (m == WM_NOTIFY && reinterpret_cast<const NMHDR*>(l)->code == UDN_DELTAPOS) {
        Deltas.push_back(reinterpret_cast<const NMUPDOWN*>(l)->iDelta);
        result = Refuse ? 1 : 0;
        return true;
      }
      if (m == WM_VSCROLL)
        ++Scrolls;
      return false;
    };
  }
  HWND MakeUpDown(DWORD style, int low, int high)
  {
    HWND u = Make(Parent, 100, 10, 16, 30, RGB(0, 0, 0), style, 0, UPDOWN_CLASS);
    SendMessage(u, UDM_SETRANGE32, WPARAM(low), LPARAM(high));
    return u;
  }
  static int Pos(HWND u, BOOL* error = nullptr) { return int(SendMessage(u, UDM_GETPOS32, 0, LPARAM(error))); }
  static void SetIncrement(HWND u, UINT inc)
  {
    UDACCEL accel{0, inc};
    SendMessage(u, UDM_SETACCEL, 1, LPARAM(&accel));
  }
  // Presses an arrow (screen point of its middle) and keeps it held.
  void PressArrow(HWND u, bool up)
  {
    RECT r;
    GetWindowRect(u, &r);
    MoveTo(r.Left + (r.Right - r.Left) / 2, up ? r.Top + 3 : r.Bottom - 3);
    Press();
  }
  void ClickArrow(HWND u, bool up)
  {
    PressArrow(u, up);
    Release();
  }

  HWND Parent = nullptr, Buddy = nullptr;
  std::vector<int> Deltas;
  int Scrolls = 0;
  bool Refuse = false;
};

} // namespace

TEST_F(UpDownTest, PositionsStayInTheRangeAndTheBuddyShowsPlainDecimals)
{
  HWND u = MakeUpDown(UDS_SETBUDDYINT, 0, 100000);
  SendMessage(u, UDM_SETBUDDY, WPARAM(Buddy), 0);
  EXPECT_EQ(GetWindowTextString(Buddy), "0");
  EXPECT_EQ(SendMessage(u, UDM_SETPOS32, 0, 25000), 0);
  EXPECT_EQ(GetWindowTextString(Buddy), "25000") << "no thousands separator";
  SendMessage(u, UDM_SETPOS32, 0, 200000);
  EXPECT_EQ(Pos(u), 100000);
  SendMessage(u, UDM_SETPOS32, 0, LPARAM(-5));
  EXPECT_EQ(Pos(u), 0);
  // A number typed into the buddy is the position (clamped); anything else
  // reports an error and keeps the last one.
  BOOL error = TRUE;
  SetWindowText(Buddy, " 42 ");
  EXPECT_EQ(Pos(u, &error), 42);
  EXPECT_FALSE(error);
  for (const char* text : {"1,000", "abc", "", "12x", "99999999999999999999"}) {
    SetWindowText(Buddy, text);
    EXPECT_EQ(Pos(u, &error), 42) << text;
    EXPECT_TRUE(error) << text;
  }
  SetWindowText(Buddy, "123456");
  EXPECT_EQ(Pos(u), 100000);
  int low = 1, high = 1;
  SendMessage(u, UDM_GETRANGE32, WPARAM(&low), LPARAM(&high));
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 100000);
  EXPECT_EQ(HWND(SendMessage(u, UDM_GETBUDDY, 0, 0)), Buddy);
}

TEST_F(UpDownTest, ArrowsStepAskTheParentAndStopAtTheBoundsWithoutOverflow)
{
  HWND u = MakeUpDown(UDS_SETBUDDYINT, INT_MIN, INT_MAX);
  SendMessage(u, UDM_SETBUDDY, WPARAM(Buddy), 0);
  SetIncrement(u, 1000);
  SendMessage(u, UDM_SETPOS32, 0, INT_MAX - 10);
  ClickArrow(u, true);
  EXPECT_EQ(Pos(u), INT_MAX);
  EXPECT_EQ(GetWindowTextString(Buddy), std::to_string(INT_MAX));
  ClickArrow(u, true);
  EXPECT_EQ(Pos(u), INT_MAX);
  EXPECT_EQ(Deltas, std::vector<int>{10}) << "no step asked for at the bound";
  SendMessage(u, UDM_SETPOS32, 0, INT_MIN + 10);
  ClickArrow(u, false);
  EXPECT_EQ(Pos(u), INT_MIN);
  EXPECT_EQ(Scrolls, 3);
  // A refused step changes nothing; a typed text over the range is pulled
  // back on the next step.
  Refuse = true;
  ClickArrow(u, true);
  EXPECT_EQ(Pos(u), INT_MIN);
  Refuse = false;
  SendMessage(u, UDM_SETRANGE32, 0, 100);
  SetWindowText(Buddy, "150");
  ClickArrow(u, true);
  EXPECT_EQ(GetWindowTextString(Buddy), "100");
}

TEST_F(UpDownTest, WrapGoesRoundAndTheArrowKeysOfTheBuddyStep)
{
  HWND u = MakeUpDown(UDS_SETBUDDYINT | UDS_WRAP | UDS_ARROWKEYS, 1, 3);
  SendMessage(u, UDM_SETBUDDY, WPARAM(Buddy), 0);
  SendMessage(u, UDM_SETPOS32, 0, 3);
  ClickArrow(u, true);
  EXPECT_EQ(Pos(u), 1);
  ClickArrow(u, false);
  EXPECT_EQ(Pos(u), 3);
  SetFocus(Buddy);
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(GetWindowTextString(Buddy), "1");
  Key(VK_UP);
  EXPECT_EQ(Pos(u), 2);
  // Without the style the keys reach the buddy untouched.
  HWND other = Make(Parent, 10, 50, 60, 24, RGB(255, 255, 255));
  HWND plain = MakeUpDown(UDS_SETBUDDYINT, 0, 9);
  SendMessage(plain, UDM_SETBUDDY, WPARAM(other), 0);
  SetFocus(other);
  Log.clear();
  Key(VK_UP);
  EXPECT_EQ(Pos(plain), 0);
  EXPECT_EQ(Messages(other, {WM_KEYDOWN}).size(), 1u);
}

TEST_F(UpDownTest, AHeldArrowRepeatsOnTheClockAndAccelerates)
{
  HWND u = MakeUpDown(0, 0, 1000);
  UDACCEL accel[] = {{0, 1}, {2, 10}};
  SendMessage(u, UDM_SETACCEL, 2, LPARAM(accel));
  PressArrow(u, true);
  EXPECT_EQ(Pos(u), 1);
  AdvanceBy(kUpDownRepeatDelay - 1);
  EXPECT_EQ(Pos(u), 1);
  AdvanceBy(1);
  EXPECT_EQ(Pos(u), 2);
  AdvanceBy(5 * kUpDownRepeatInterval);
  EXPECT_EQ(Pos(u), 7);
  // After two seconds held, the second entry's step.
  AdvanceBy(2000 - kUpDownRepeatDelay - 5 * kUpDownRepeatInterval);
  const int at2s = Pos(u);
  AdvanceBy(kUpDownRepeatInterval);
  EXPECT_EQ(Pos(u), at2s + 10);
  // Off the arrow the repeat pauses; released, it stops.
  RECT r;
  GetWindowRect(u, &r);
  MoveTo(r.Right + 20, r.Top + 3);
  const int away = Pos(u);
  AdvanceBy(5 * kUpDownRepeatInterval);
  EXPECT_EQ(Pos(u), away);
  Release();
  AdvanceBy(1000);
  EXPECT_EQ(Pos(u), away);
}

TEST_F(UpDownTest, ItSitsBesideItsBuddyFollowsItAndLetsItGo)
{
  HWND u = MakeUpDown(UDS_ALIGNRIGHT, 0, 10);
  SendMessage(u, UDM_SETBUDDY, WPARAM(Buddy), 0);
  RECT r;
  GetWindowRect(u, &r);
  EXPECT_EQ(r, RECT(70, 10, 86, 34));
  MoveWindow(Buddy, 20, 40, 100, 30, TRUE);
  GetWindowRect(u, &r);
  EXPECT_EQ(r, RECT(120, 40, 136, 70));
  DestroyWindow(Buddy);
  EXPECT_EQ(HWND(SendMessage(u, UDM_GETBUDDY, 0, 0)), nullptr);
  DestroyWindow(u);
}

TEST_F(UpDownTest, APressedArrowLooksPushedAndADisabledControlDoesNotStep)
{
  HWND u = MakeUpDown(0, 0, 10);
  RunUntilIdle();
  const COLORREF idle = WindowPixel(u, 1, 1);
  PressArrow(u, true);
  RunUntilIdle();
  EXPECT_NE(WindowPixel(u, 1, 1), idle);
  Release();
  EXPECT_EQ(WindowPixel(u, 1, 1), idle);
  EnableWindow(u, FALSE);
  ClickArrow(u, true);
  EXPECT_EQ(Pos(u), 1);
}

} // namespace QxTest
