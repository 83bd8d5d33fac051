#include "TestWindows.hpp"

using namespace Win;

namespace QxTest {

namespace {
constexpr COLORREF kGray = RGB(128, 128, 128);

std::vector<POINT> Points(const std::vector<TRecord>& log, HWND hWnd, UINT msg)
{
  std::vector<POINT> out;
  for (const TRecord& r : log)
    if (r.Window == hWnd && r.Message == msg)
      out.emplace_back(GET_X_LPARAM(r.LParam), GET_Y_LPARAM(r.LParam));
  return out;
}
} // namespace

TEST_F(WindowTest, MouseGoesToTheDeepestVisibleEnabledWindow)
{
  HWND top = Make(nullptr, 100, 100, 200, 200, kGray);
  HWND child = Make(top, 10, 10, 100, 100, kGray);
  HWND grandchild = Make(child, 20, 20, 30, 30, kGray);
  HWND disabled = Make(child, 60, 60, 30, 30, kGray);
  EnableWindow(disabled, FALSE);
  Settle();
  Click(100 + 10 + 25, 100 + 10 + 25);
  EXPECT_EQ(Points(Log, grandchild, WM_LBUTTONDOWN), std::vector<POINT>{POINT(5, 5)});
  Log.clear();
  Click(100 + 10 + 65, 100 + 10 + 65);
  EXPECT_EQ(Points(Log, child, WM_LBUTTONDOWN), std::vector<POINT>{POINT(65, 65)}) << "a disabled child is passed over";
  EXPECT_TRUE(Points(Log, disabled, WM_LBUTTONDOWN).empty());
  Log.clear();
  ShowWindow(grandchild, SW_HIDE);
  Click(100 + 10 + 25, 100 + 10 + 25);
  EXPECT_EQ(Points(Log, child, WM_LBUTTONDOWN).size(), 1u);
  EXPECT_EQ(WindowFromPoint(POINT(5, 5)), nullptr);
}

TEST_F(WindowTest, TransparentHitTestPassesTheClickToTheWindowBeneath)
{
  HWND top = Make(nullptr, 0, 0, 200, 200, kGray);
  HWND beneath = Make(top, 10, 10, 100, 100, kGray);
  HWND glass = Make(top, 0, 0, 150, 150, kGray);
  Of(glass).HitTest = HTTRANSPARENT;
  Settle();
  Click(20, 20);
  EXPECT_EQ(Points(Log, beneath, WM_LBUTTONDOWN), std::vector<POINT>{POINT(10, 10)});
  EXPECT_TRUE(Points(Log, glass, WM_LBUTTONDOWN).empty());
  Log.clear();
  Click(120, 120); // only the glass and the top window lie here
  EXPECT_EQ(Points(Log, top, WM_LBUTTONDOWN), std::vector<POINT>{POINT(120, 120)});

  // A transparent top-level window lets the point through to the one below.
  HWND overlay = Make(nullptr, 0, 0, 300, 300, kGray, 0, WS_EX_TOPMOST);
  Of(overlay).HitTest = HTTRANSPARENT;
  Log.clear();
  Click(20, 20);
  EXPECT_EQ(Points(Log, beneath, WM_LBUTTONDOWN).size(), 1u);
}

TEST_F(WindowTest, CaptureKeepsTheMouseDuringADrag)
{
  HWND top = Make(nullptr, 0, 0, 300, 100, kGray);
  HWND source = Make(top, 0, 0, 100, 100, kGray);
  HWND other = Make(top, 200, 0, 100, 100, kGray);
  Of(source).Hook = [](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_LBUTTONDOWN)
      SetCapture(h);
    if (m == WM_LBUTTONUP)
      ReleaseCapture();
    return false;
  };
  Settle();
  MoveTo(50, 50);
  Press();
  EXPECT_EQ(GetCapture(), source);
  MoveTo(250, 60);
  EXPECT_EQ(Points(Log, source, WM_MOUSEMOVE).back(), POINT(250, 60));
  EXPECT_TRUE(Points(Log, other, WM_MOUSEMOVE).empty());
  Release();
  EXPECT_EQ(Points(Log, source, WM_LBUTTONUP), std::vector<POINT>{POINT(250, 60)});
  EXPECT_EQ(Messages(source, {WM_CAPTURECHANGED}).size(), 1u);
  EXPECT_EQ(GetCapture(), nullptr);
  MoveTo(251, 60);
  EXPECT_EQ(Points(Log, other, WM_MOUSEMOVE), std::vector<POINT>{POINT(51, 60)});
}

TEST_F(WindowTest, MouseLeaveArrivesOnceWhenThePointerLeaves)
{
  HWND top = Make(nullptr, 0, 0, 300, 100, kGray);
  HWND tracked = Make(top, 0, 0, 100, 100, kGray);
  Of(tracked).TrackLeave = true;
  Settle();
  MoveTo(10, 10);
  MoveTo(20, 20);
  EXPECT_TRUE(Messages(tracked, {WM_MOUSELEAVE}).empty());
  MoveTo(150, 20);
  MoveTo(160, 20);
  EXPECT_EQ(Messages(tracked, {WM_MOUSELEAVE}), std::vector<UINT>{WM_MOUSELEAVE});
  EXPECT_EQ(WM_MOUSELEAVE, 675u);
  // Leaving the desktop's windows altogether counts as leaving too.
  MoveTo(50, 50);
  MoveTo(900, 700);
  EXPECT_EQ(Messages(tracked, {WM_MOUSELEAVE}).size(), 2u);
}

TEST_F(WindowTest, SetCursorChoosesTheCursorOfTheWindowUnderTheMouse)
{
  HWND top = Make(nullptr, 0, 0, 200, 100, kGray);
  HWND hand = Make(top, 100, 0, 100, 100, kGray, 0, 0, "QxHandWindow");
  RunUntilIdle();
  MoveTo(150, 50);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
  MoveTo(50, 50);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
  // A parent that answers WM_SETCURSOR decides for its children.
  Of(top).Hook = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_SETCURSOR)
      return false;
    SetCursor(LoadCursor(nullptr, IDC_CROSS));
    r = TRUE;
    return true;
  };
  MoveTo(150, 40);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_CROSS));
  EXPECT_EQ(CursorId(GetCursor()), IDC_CROSS);
  (void)hand;
}

TEST_F(WindowTest, DoubleClicksNeedTheClassStyleTimeAndDistance)
{
  HWND plain = Make(nullptr, 0, 0, 100, 100, kGray);
  HWND dbl = Make(nullptr, 200, 0, 100, 100, kGray, 0, 0, "QxDblClkWindow");
  Settle();
  Click(50, 50);
  Click(50, 50);
  EXPECT_EQ(Messages(plain, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
  Click(250, 50);
  Click(251, 51);
  Click(251, 51);
  EXPECT_EQ(Messages(dbl, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}));
  AdvanceBy(GetDoubleClickTime() + 1);
  Log.clear();
  Click(250, 50);
  AdvanceBy(GetDoubleClickTime() + 1);
  Click(250, 50);
  Click(250, 50);
  Click(260, 50); // too far
  EXPECT_EQ(Messages(dbl, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}));
}

TEST_F(WindowTest, WheelGoesToTheWindowUnderThePointerAndUpItsParents)
{
  HWND top = Make(nullptr, 0, 0, 200, 200, kGray);
  HWND child = Make(top, 0, 0, 100, 100, kGray);
  RunUntilIdle();
  MoveTo(50, 50);
  Log.clear();
  Wheel(-WHEEL_DELTA);
  ASSERT_EQ(Messages(child, {WM_MOUSEWHEEL}).size(), 1u);
  ASSERT_EQ(Messages(top, {WM_MOUSEWHEEL}).size(), 1u) << "DefWindowProc hands it to the parent";
  for (const TRecord& r : Log)
    if (r.Message == WM_MOUSEWHEEL) {
      EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(r.WParam), -WHEEL_DELTA);
    }
}

TEST_F(WindowTest, KeyboardGoesToTheFocusWithCharactersAndKeyState)
{
  HWND top = Make(nullptr, 0, 0, 200, 200, kGray);
  HWND a = Make(top, 0, 0, 50, 50, kGray);
  HWND b = Make(top, 60, 0, 50, 50, kGray);
  Settle();
  EXPECT_EQ(GetFocus(), top) << "an activated window takes the focus";
  EXPECT_EQ(SetFocus(a), top);
  EXPECT_EQ(SetFocus(b), a);
  ASSERT_EQ(Messages(a, {WM_SETFOCUS, WM_KILLFOCUS}), (std::vector<UINT>{WM_SETFOCUS, WM_KILLFOCUS}));
  EXPECT_EQ(Messages(b, {WM_SETFOCUS}).size(), 1u);
  Log.clear();
  KeyDown(VK_SHIFT);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  Key('A');
  KeyUp(VK_SHIFT);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  Key('B');
  Type("\xC3\xA9!\xE2\x82x\xFF"); // a cut-off sequence and a byte that starts none
  std::vector<WPARAM> chars;
  for (const TRecord& r : Log)
    if (r.Window == b && r.Message == WM_CHAR)
      chars.push_back(r.WParam);
  EXPECT_EQ(chars, (std::vector<WPARAM>{'A', 'b', 0xE9, '!', 0xFFFD, 'x', 0xFFFD}));
  EXPECT_TRUE(Messages(a, {WM_KEYDOWN, WM_CHAR}).empty());
}

TEST_F(WindowTest, ActivationMovesBetweenTopLevelWindowsAndPressesActivate)
{
  HWND first = Make(nullptr, 0, 0, 100, 100, kGray);
  HWND second = Make(nullptr, 200, 0, 100, 100, kGray);
  RunUntilIdle();
  EXPECT_EQ(GetActiveWindow(), second);
  Log.clear();
  Click(50, 50);
  EXPECT_EQ(GetActiveWindow(), first);
  EXPECT_EQ(Messages(second, {WM_ACTIVATE}).size(), 1u);
  EXPECT_EQ(Messages(first, {WM_MOUSEACTIVATE, WM_ACTIVATE, WM_LBUTTONDOWN}),
            (std::vector<UINT>{WM_MOUSEACTIVATE, WM_ACTIVATE, WM_LBUTTONDOWN}));
  // A window that does not activate keeps the active one.
  HWND popup = Make(nullptr, 400, 0, 100, 100, kGray, 0, WS_EX_NOACTIVATE | WS_EX_TOPMOST);
  Click(450, 50);
  EXPECT_EQ(GetActiveWindow(), first);
  // Destroying the active window passes activation on.
  DestroyWindow(first);
  EXPECT_NE(GetActiveWindow(), nullptr);
  EXPECT_NE(GetActiveWindow(), popup);
}

namespace {
HWND gPopup = nullptr;
HHOOK gHook = nullptr;
std::vector<std::pair<UINT, POINT>> gHookSaw;

LRESULT PopupHook(int code, WPARAM wParam, LPARAM lParam)
{
  auto* info = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam);
  gHookSaw.emplace_back(UINT(wParam), info->pt);
  RECT r;
  GetWindowRect(gPopup, &r);
  if (wParam == WM_LBUTTONDOWN && !r.Contains(info->pt)) {
    // A press outside closes the popup, which removes the hook from inside it.
    ShowWindow(gPopup, SW_HIDE);
    UnhookWindowsHookEx(gHook);
  }
  return CallNextHookEx(gHook, code, wParam, lParam);
}
} // namespace

TEST_F(WindowTest, MouseHooksSeeAPressBeforeTheWindowAndMayDiscardIt)
{
  HWND form = Make(nullptr, 0, 0, 300, 300, kGray);
  gPopup = Make(nullptr, 50, 50, 100, 100, kGray, 0, WS_EX_TOPMOST | WS_EX_NOACTIVATE);
  gHookSaw.clear();
  gHook = SetWindowsHookEx(WH_MOUSE, &PopupHook, nullptr, GetCurrentThreadId());
  ASSERT_NE(gHook, nullptr);
  Settle();
  Click(100, 100); // inside the popup: it stays
  EXPECT_TRUE(IsWindowVisible(gPopup));
  Of(form).Hook = [](HWND, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (m == WM_LBUTTONDOWN) {
      EXPECT_FALSE(IsWindowVisible(gPopup)) << "the hook ran first";
    }
    return false;
  };
  Click(250, 250);
  EXPECT_FALSE(IsWindowVisible(gPopup));
  EXPECT_EQ(Points(Log, form, WM_LBUTTONDOWN), std::vector<POINT>{POINT(250, 250)});
  ASSERT_FALSE(gHookSaw.empty());
  EXPECT_EQ(gHookSaw.back().second, POINT(250, 250));
  size_t seen = gHookSaw.size();
  Click(10, 10);
  EXPECT_EQ(gHookSaw.size(), seen) << "unhooked";
  EXPECT_FALSE(UnhookWindowsHookEx(gHook));

  // A hook that answers non-zero discards the message.
  HHOOK discard = SetWindowsHookEx(
    WH_MOUSE, [](int, WPARAM w, LPARAM) -> LRESULT { return w == WM_LBUTTONDOWN ? 1 : 0; }, nullptr, 0);
  Settle();
  Click(10, 10);
  EXPECT_TRUE(Messages(form, {WM_LBUTTONDOWN}).empty());
  EXPECT_EQ(Messages(form, {WM_LBUTTONUP}).size(), 1u);
  UnhookWindowsHookEx(discard);
}

TEST_F(WindowTest, DestroyedWindowsLoseTheirMessagesAndHandles)
{
  HWND top = Make(nullptr, 0, 0, 100, 100, kGray);
  HWND child = Make(top, 0, 0, 50, 50, kGray);
  SetFocus(child);
  SetCapture(child);
  PostMessage(child, WM_USER, 1, 2);
  Log.clear();
  DestroyWindow(top);
  EXPECT_EQ(Messages(nullptr, {WM_DESTROY, WM_NCDESTROY}),
            (std::vector<UINT>{WM_DESTROY, WM_DESTROY, WM_NCDESTROY, WM_NCDESTROY}));
  Log.clear();
  RunUntilIdle();
  EXPECT_TRUE(Log.empty());
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(SendMessage(child, WM_USER, 0, 0), 0);
  EXPECT_FALSE(SetWindowPos(child, nullptr, 0, 0, 1, 1, 0));
  EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(CreateWindowEx(0, "QxTestWindow", "", WS_CHILD, 0, 0, 1, 1, child, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(WindowTest, CoordinatesMapBetweenClientsAndTheScreen)
{
  HWND top = Make(nullptr, 100, 50, 200, 200, kGray);
  HWND child = Make(top, 10, 20, 50, 50, kGray);
  POINT p(1, 2);
  ClientToScreen(child, &p);
  EXPECT_EQ(p, POINT(111, 72));
  ScreenToClient(top, &p);
  EXPECT_EQ(p, POINT(11, 22));
  POINT q(0, 0);
  MapWindowPoints(child, top, &q, 1);
  EXPECT_EQ(q, POINT(10, 20));
  RECT r;
  GetWindowRect(child, &r);
  EXPECT_EQ(r, RECT(110, 70, 160, 120));
  MoveWindow(child, 0, 0, 10, 10, TRUE);
  GetClientRect(child, &r);
  EXPECT_EQ(r, RECT(0, 0, 10, 10));
}

} // namespace QxTest

namespace QxTest {

TEST_F(WindowTest, SwitchingToAnotherApplicationDeactivatesAndComesBack)
{
  HWND first = Make(nullptr, 0, 0, 100, 100, RGB(1, 2, 3));
  HWND hidden = Make(nullptr, 0, 0, 0, 0, RGB(1, 2, 3));
  ShowWindow(hidden, SW_HIDE);
  Settle();
  InjectAppSwitch();
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(Messages(first, {WM_ACTIVATE, WM_ACTIVATEAPP}), (std::vector<UINT>{WM_ACTIVATE, WM_ACTIVATEAPP}));
  EXPECT_EQ(Messages(hidden, {WM_ACTIVATEAPP}).size(), 1u) << "hidden windows hear it too";
  Log.clear();
  Click(50, 50);
  EXPECT_EQ(GetActiveWindow(), first);
  ASSERT_EQ(Messages(hidden, {WM_ACTIVATEAPP}).size(), 1u);
  for (const TRecord& r : Log)
    if (r.Message == WM_ACTIVATEAPP) {
      EXPECT_EQ(r.WParam, WPARAM(TRUE));
    }
}

} // namespace QxTest
