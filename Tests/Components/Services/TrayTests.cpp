// The tray icon as a host drives it: the record it hands the shell, the
// notification area's strip on the headless desktop, animation on the
// virtual clock, mouse and balloon notifications through the hidden
// window's messages, failures of the shell, and handlers or other owners
// that free what the icon refers to.
#include <QxDesktopFixture.hpp>
#include <QxFormCompare.hpp>
#include <QxSolidImages.hpp>

#include <Quorex.Vcl.Tray.hpp>
#include <System.Classes.Streaming.hpp>
#include <System.SysUtils.hpp>
#include <Vcl.Forms.hpp>
#include <Win.Shell.NotifyIcon.hpp>

#include <gmock/gmock.h>

#include <memory>
#include <string>
#include <vector>

using namespace Vcl;
using namespace Quorex;
using ::testing::ElementsAre;

namespace {

constexpr Win::COLORREF Red = Win::RGB(255, 0, 0), Lime = Win::RGB(0, 255, 0), Blue = Win::RGB(0, 0, 255),
                        Yellow = Win::RGB(255, 255, 0);

class TrayTest : public QxTest::QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Frames = new TImageList(nullptr);
    for (TColor c : {clRed, clLime, clBlue})
      QxTest::AddSolid(Frames, c);
    Tray = std::make_unique<TQxTrayIcon>(nullptr);
  }
  void TearDown() override
  {
    Tray.reset();
    delete Frames;
    Application->SetIcon(nullptr);
    Application->SetTitle(String());
    QxDesktopFixture::TearDown();
  }

  Win::HWND Window() const { return Tray->GetData().hWnd; }
  // The shell's entry for the tray icon; fails the test when it has none.
  Win::TNotifyIconInfo Shown() const
  {
    const auto icons = Win::NotifyIcons();
    EXPECT_EQ(icons.size(), 1u);
    return icons.empty() ? Win::TNotifyIconInfo() : icons.front();
  }
  // The colour in the middle of the icon in the strip.
  Win::COLORREF StripColour()
  {
    const Win::RECT r = Shown().Rect;
    return ScreenPixel((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }
  void UserDoes(Win::UINT Event)
  {
    ASSERT_TRUE(Win::InjectNotifyIconEvent(Window(), Tray->GetData().uID, Event));
    RunUntilIdle();
  }
  void Animated()
  {
    Tray->SetVisible(true);
    Tray->SetIconList(Frames);
    Tray->SetAnimate(true);
  }

  TImageList* Frames = nullptr;
  std::unique_ptr<TQxTrayIcon> Tray;
};

TEST_F(TrayTest, RecordAndShellEntryThroughAddModifyDelete)
{
  Application->SetTitle("Gallery");
  Tray.reset();
  const int calls = Win::ShellNotifyIconCalls();
  Tray = std::make_unique<TQxTrayIcon>(nullptr);
  const Win::NOTIFYICONDATAW data = Tray->GetData();
  EXPECT_EQ(data.cbSize, 956u);
  EXPECT_EQ(data.uCallbackMessage, 0x0401u);
  EXPECT_EQ(data.uTimeout, 10000u);
  EXPECT_EQ(data.uFlags, Win::NIF_ICON | Win::NIF_MESSAGE | Win::NIF_TIP);
  EXPECT_EQ(Win::WideToUtf8(data.szTip), "Gallery");
  EXPECT_EQ(data.uID, Win::UINT(reinterpret_cast<std::uintptr_t>(data.hWnd)));
  // Hidden: the shell has not been called.
  EXPECT_EQ(Win::ShellNotifyIconCalls(), calls);
  EXPECT_TRUE(Win::NotifyIcons().empty());

  // Neither an icon nor a list: the application's icon shows.
  Application->SetIcon(QxTest::SolidIcon(clYellow).get());
  Tray->SetVisible(true);
  Win::TNotifyIconInfo shown = Shown();
  EXPECT_EQ(shown.Window, data.hWnd);
  EXPECT_EQ(shown.CallbackMessage, 0x0401u);
  EXPECT_EQ(shown.Tip, "Gallery");
  EXPECT_EQ(StripColour(), Yellow);

  Tray->SetHint("Backups run");
  EXPECT_EQ(Shown().Tip, "Backups run");
  Tray->SetHint(String());
  EXPECT_EQ(Tray->GetData().uFlags & Win::NIF_TIP, 0u);
  EXPECT_EQ(Shown().Tip, "") << "the shell's tip is gone too";
  // The shell keeps its own copy: the host's icon may go.
  Tray->SetIcon(QxTest::SolidIcon(clBlue).get());
  EXPECT_EQ(StripColour(), Blue);

  Tray->SetVisible(false);
  EXPECT_TRUE(Win::NotifyIcons().empty());
  Tray->SetVisible(true);
  Tray.reset();
  EXPECT_TRUE(Win::NotifyIcons().empty());
}

TEST_F(TrayTest, ShellRulesPerWindowAndId)
{
  Tray->SetVisible(true);
  Win::NOTIFYICONDATAW data = Tray->GetData();
  EXPECT_FALSE(Win::Shell_NotifyIconW(Win::NIM_ADD, &data)); // a second add
  data.uID += 1;
  EXPECT_FALSE(Win::Shell_NotifyIconW(Win::NIM_MODIFY, &data));
  EXPECT_FALSE(Win::Shell_NotifyIconW(Win::NIM_DELETE, &data));
  EXPECT_FALSE(Win::Shell_NotifyIconW(Win::NIM_ADD, nullptr));
  EXPECT_TRUE(Win::Shell_NotifyIconW(Win::NIM_ADD, &data)); // the same window, another id
  EXPECT_EQ(Win::NotifyIcons().size(), 2u);
  EXPECT_TRUE(Win::Shell_NotifyIconW(Win::NIM_DELETE, &data));
}

TEST_F(TrayTest, TextsAreCutAtTheirLimitsWithoutSplittingACharacter)
{
  const std::string face = "\xF0\x9F\x98\x80"; // two UTF-16 units
  Tray->SetVisible(true);
  Tray->SetHint(std::string(200, 'a'));
  EXPECT_EQ(Shown().Tip, std::string(127, 'a'));
  Tray->SetHint(std::string(126, 'b') + face);
  EXPECT_EQ(Shown().Tip, std::string(126, 'b'));
  Tray->SetHint(std::string(125, 'c') + face);
  EXPECT_EQ(Shown().Tip, std::string(125, 'c') + face);

  Tray->SetBalloonTitle(std::string(62, 't') + face);
  Tray->SetBalloonHint(std::string(254, 'h') + face + "tail");
  Tray->ShowBalloonHint();
  EXPECT_EQ(Shown().BalloonTitle, std::string(62, 't'));
  EXPECT_EQ(Shown().BalloonText, std::string(254, 'h'));
  // An ill-formed byte is replaced, not carried over.
  Tray->SetHint("a\xFFz");
  EXPECT_EQ(Shown().Tip, "a\xEF\xBF\xBDz");
}

TEST_F(TrayTest, AnimationCyclesTheListOnTheClockAndLeavesTheLastFrame)
{
  std::vector<Integer> seen;
  Tray->OnAnimate = [&](TObject*) { seen.push_back(Tray->IconIndex()); };
  Animated();
  EXPECT_EQ(StripColour(), Red);
  std::vector<Win::COLORREF> colours;
  std::vector<Integer> indexes;
  for (int tick = 0; tick < 4; ++tick) {
    AdvanceBy(1000);
    indexes.push_back(Tray->IconIndex());
    colours.push_back(StripColour());
  }
  EXPECT_THAT(indexes, ElementsAre(1, 2, 0, 1));
  EXPECT_THAT(seen, ElementsAre(0, 1, 2, 0));
  EXPECT_THAT(colours, ElementsAre(Lime, Blue, Red, Lime));

  Tray->SetAnimate(false);
  EXPECT_FALSE(Win::NextTimerDue(nullptr));
  AdvanceBy(5000);
  EXPECT_EQ(Tray->IconIndex(), 1);
  // The last frame became the static icon.
  Tray->SetIconList(nullptr);
  EXPECT_EQ(StripColour(), Lime);
}

TEST_F(TrayTest, TheTimerRunsOnlyForAVisibleIconWithFrames)
{
  Tray->SetAnimate(true);
  EXPECT_FALSE(Win::NextTimerDue(nullptr)); // hidden, no list
  Tray->SetVisible(true);
  EXPECT_FALSE(Win::NextTimerDue(nullptr)); // no list
  TImageList empty(nullptr);
  Tray->SetIconList(&empty);
  EXPECT_FALSE(Win::NextTimerDue(nullptr)); // no frames
  Tray->SetIconList(Frames);
  EXPECT_TRUE(Win::NextTimerDue(nullptr));
  Tray->SetVisible(false);
  EXPECT_FALSE(Win::NextTimerDue(nullptr));
  Tray->SetVisible(true);
  // An index the list does not have leaves the picture and wraps on the tick.
  Tray->SetIconIndex(7);
  EXPECT_EQ(StripColour(), Red);
  AdvanceBy(1000);
  EXPECT_EQ(Tray->IconIndex(), 0);
  Tray->SetAnimate(false);
  EXPECT_FALSE(Win::NextTimerDue(nullptr));
}

TEST_F(TrayTest, ListOrMenuFreedElsewhereIsLetGo)
{
  Animated();
  auto* menu = new TPopupMenu(nullptr);
  Tray->SetPopupMenu(menu);
  delete Frames;
  Frames = nullptr;
  EXPECT_EQ(Tray->Icons(), nullptr);
  EXPECT_FALSE(Win::NextTimerDue(nullptr));
  AdvanceBy(3000);
  delete menu;
  EXPECT_EQ(Tray->PopupMenu(), nullptr);
  UserDoes(Win::WM_RBUTTONDOWN);
  UserDoes(Win::WM_RBUTTONUP);
}

TEST_F(TrayTest, MouseEventsInOrderAndAClickNeedsAPress)
{
  std::vector<std::string> log;
  const auto button = [](TMouseButton b) {
    return b == TMouseButton::mbLeft ? "L" : b == TMouseButton::mbRight ? "R" : "M";
  };
  Tray->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, Integer x, Integer y) {
    log.push_back(std::string("down ") + button(b) + (s.Contains(TShiftStateItem::ssShift) ? "+shift" : "") + " " +
                  std::to_string(x) + "," + std::to_string(y));
  };
  Tray->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, Integer, Integer) {
    log.push_back(std::string("up ") + button(b));
  };
  Tray->OnMouseMove = [&](TObject*, TShiftState, Integer x, Integer y) {
    log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  };
  Tray->OnClick = [&](TObject*) { log.push_back("click"); };
  Tray->OnDblClick = [&](TObject*) { log.push_back("dblclick"); };
  Tray->SetVisible(true);
  MoveTo(300, 200);
  UserDoes(Win::WM_MOUSEMOVE);
  UserDoes(Win::WM_LBUTTONUP); // no press before: no click
  KeyDown(Win::VK_SHIFT);
  UserDoes(Win::WM_LBUTTONDOWN);
  KeyUp(Win::VK_SHIFT);
  UserDoes(Win::WM_LBUTTONUP);
  UserDoes(Win::WM_LBUTTONUP); // the press was used up
  for (Win::UINT dbl : {Win::WM_LBUTTONDBLCLK, Win::WM_RBUTTONDBLCLK, Win::WM_MBUTTONDBLCLK})
    UserDoes(dbl);
  UserDoes(Win::WM_MBUTTONDOWN);
  UserDoes(Win::WM_MBUTTONUP);
  EXPECT_THAT(log, ElementsAre("move 300,200", "up L", "down L+shift 300,200", "click", "up L", "up L", "dblclick",
                               "dblclick", "dblclick", "down M 300,200", "up M"));
}

TEST_F(TrayTest, RightReleaseShowsTheMenuAtTheCursorAfterMouseUp)
{
  TForm owner(nullptr);
  auto* tray = new TQxTrayIcon(&owner);
  auto* menu = new TPopupMenu(&owner);
  menu->Items()->Add(new TMenuItem(menu));
  tray->SetPopupMenu(menu);
  tray->SetVisible(true);
  std::vector<std::string> log;
  tray->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { log.push_back("up"); };
  const TMenuLoopIdleHook old = SetMenuLoopIdleHook([&](TPopupMenu* open) {
    log.push_back(open == menu ? "menu open" : "other menu");
    Win::InjectKey(Win::VK_ESCAPE);
  });
  MoveTo(250, 180);
  Win::InjectNotifyIconEvent(tray->GetData().hWnd, tray->GetData().uID, Win::WM_RBUTTONUP);
  RunUntilIdle();
  SetMenuLoopIdleHook(old);
  EXPECT_THAT(log, ElementsAre("up", "menu open"));
  EXPECT_EQ(menu->PopupPoint(), TPoint(250, 180));
  EXPECT_EQ(menu->PopupComponent(), &owner);
  EXPECT_FALSE(menu->AutoPopup());
}

TEST_F(TrayTest, HandlersThatFreeTheIconEndTheirPath)
{
  auto* menu = new TPopupMenu(nullptr);
  std::unique_ptr<TPopupMenu> menuOwner(menu);
  Tray->SetPopupMenu(menu);
  Tray->SetVisible(true);
  const Win::HWND window = Window();
  const Win::UINT id = Tray->GetData().uID;
  int ups = 0;
  Tray->OnClick = [&](TObject*) { Tray.reset(); };
  Tray->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { ++ups; };
  Win::InjectNotifyIconEvent(window, id, Win::WM_LBUTTONDOWN);
  Win::InjectNotifyIconEvent(window, id, Win::WM_LBUTTONUP);
  RunUntilIdle();
  EXPECT_EQ(Tray, nullptr);
  EXPECT_EQ(ups, 0);

  Tray = std::make_unique<TQxTrayIcon>(nullptr);
  Tray->SetPopupMenu(menu);
  Tray->SetVisible(true);
  bool opened = false;
  const TMenuLoopIdleHook old = SetMenuLoopIdleHook([&](TPopupMenu*) {
    opened = true;
    Win::InjectKey(Win::VK_ESCAPE);
  });
  Tray->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { Tray.reset(); };
  UserDoes(Win::WM_RBUTTONUP);
  SetMenuLoopIdleHook(old);
  EXPECT_EQ(Tray, nullptr);
  EXPECT_FALSE(opened);
}

TEST_F(TrayTest, BalloonShowsOnRequestAndEndsByTimeoutOrClick)
{
  int clicks = 0;
  Tray->OnBalloonClick = [&](TObject*) { ++clicks; };
  Tray->SetVisible(true);
  Tray->SetBalloonTitle("Backup");
  Tray->SetBalloonHint("Finished in 3 minutes");
  Tray->SetBalloonFlags(bfWarning);
  EXPECT_FALSE(Shown().BalloonVisible);
  Tray->ShowBalloonHint();
  RunUntilIdle();
  Win::TNotifyIconInfo shown = Shown();
  EXPECT_TRUE(shown.BalloonVisible);
  EXPECT_EQ(shown.BalloonTitle, "Backup");
  EXPECT_EQ(shown.BalloonText, "Finished in 3 minutes");
  EXPECT_EQ(shown.BalloonFlags, Win::NIIF_WARNING);
  // Drawn above the strip in the tooltip colours.
  EXPECT_EQ(ScreenPixel(shown.Rect.Left, shown.Rect.Top - 20), Win::GetSysColor(Win::COLOR_INFOBK));
  // Changes while it shows do not restart it.
  AdvanceBy(6000);
  Tray->SetHint("still");
  AdvanceBy(4000);
  EXPECT_FALSE(Shown().BalloonVisible);
  EXPECT_EQ(Tray->GetData().uFlags & Win::NIF_INFO, 0u);
  Tray->SetHint("after");
  EXPECT_FALSE(Shown().BalloonVisible);

  Tray->ShowBalloonHint();
  EXPECT_TRUE(Win::ClickNotifyBalloon(Window(), Tray->GetData().uID));
  RunUntilIdle();
  EXPECT_EQ(clicks, 1);
  Tray->SetHint("later");
  EXPECT_FALSE(Shown().BalloonVisible);
}

TEST_F(TrayTest, FailedDeleteRaisesAndFailedAddIsIgnored)
{
  Win::FailNextShellNotifyIcon();
  EXPECT_NO_THROW(Tray->SetVisible(true));
  EXPECT_TRUE(Win::NotifyIcons().empty());
  // The shell never had it, so hiding it cannot remove it.
  EXPECT_THROW(Tray->SetVisible(false), EOutOfResources);

  Tray = std::make_unique<TQxTrayIcon>(nullptr);
  Tray->SetVisible(true);
  Win::FailNextShellNotifyIcon();
  EXPECT_THAT([&] { Tray->SetVisible(false); }, testing::ThrowsMessage<EOutOfResources>(STrayIconRemoveError));
  EXPECT_FALSE(Tray->Visible());
  EXPECT_EQ(Win::NotifyIcons().size(), 1u);
}

TEST_F(TrayTest, NoShellCallAtDesignTime)
{
  TForm form(nullptr);
  form.SetDesigning(true);
  auto* tray = new TQxTrayIcon(&form);
  tray->SetIconList(Frames);
  tray->SetHint("design");
  tray->SetBalloonHint("design");
  tray->SetAnimate(true);
  tray->SetVisible(true);
  tray->ShowBalloonHint();
  tray->SetVisible(false);
  EXPECT_EQ(tray->Hint(), "design");
  delete tray;
  EXPECT_EQ(Win::ShellNotifyIconCalls(), 0);
  EXPECT_FALSE(Win::NextTimerDue(nullptr));
}

TEST_F(TrayTest, EndOfSessionRemovesTheIcon)
{
  Tray->SetVisible(true);
  EXPECT_EQ(Win::SendMessage(Window(), Win::WM_QUERYENDSESSION, 0, 0), 1);
  Win::SendMessage(Window(), Win::WM_ENDSESSION, 0, 0);
  EXPECT_EQ(Win::NotifyIcons().size(), 1u);
  Win::SendMessage(Window(), Win::WM_ENDSESSION, 1, 0);
  EXPECT_TRUE(Win::NotifyIcons().empty());
}

} // namespace

namespace {

TEST_F(TrayTest, AFormResourceKeepsWhatDiffersFromTheDefaults)
{
  TForm form(nullptr);
  form.SetName("Host");
  auto* frames = QxTest::AddNamed<TImageList>(&form, "Frames");
  QxTest::AddSolid(frames, clRed);
  auto* menu = QxTest::AddNamed<TPopupMenu>(&form, "Menu");
  QxTest::AddNamed<TQxTrayIcon>(&form, "Plain");
  auto* custom = QxTest::AddNamed<TQxTrayIcon>(&form, "Custom");
  custom->SetHint("Sync");
  custom->SetBalloonTitle("Done");
  custom->SetBalloonHint("All files copied");
  custom->SetBalloonTimeout(5000);
  custom->SetBalloonFlags(bfError);
  custom->SetAnimateInterval(250);
  custom->SetIconList(frames);
  custom->SetPopupMenu(menu);
  custom->SetVisible(true);
  const String text = WriteComponentRes(&form);
  EXPECT_THAT(text, ::testing::HasSubstr("object Plain: TQxTrayIcon\n  end"));
  EXPECT_THAT(text, ::testing::HasSubstr("AnimateInterval = 250\n    Hint = 'Sync'\n"
                                         "    BalloonHint = 'All files copied'\n    BalloonTitle = 'Done'\n"
                                         "    BalloonTimeout = 5000\n    BalloonFlags = bfError\n"));
  EXPECT_THAT(text, ::testing::HasSubstr("Icons = Frames\n    PopupMenu = Menu\n    Visible = True\n"));
  delete custom;

  TForm copy(nullptr);
  ReadComponentRes(text, &copy);
  EXPECT_EQ(WriteComponentRes(&copy), text);
  auto* read = QxTest::FindIn<TQxTrayIcon>(&copy, "Custom");
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Icons(), copy.FindComponent("Frames"));
  EXPECT_EQ(read->PopupMenu(), copy.FindComponent("Menu"));
  // Loaded visible: in the notification area with the list's first frame.
  EXPECT_EQ(Shown().Tip, "Sync");
  EXPECT_EQ(StripColour(), Red);
}

} // namespace
