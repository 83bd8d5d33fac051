#include "TestControls.hpp"

namespace QxTest {

namespace {

struct TDialog {
  TForm* Form;
  TTestControl* Field;
  TButton* Ok;
  TButton* Cancel;
  TButton* Other;
};

TDialog MakeDialog()
{
  TDialog d;
  d.Form = new TForm(Application);
  d.Form->SetBounds(100, 100, 300, 200);
  d.Field = new TTestControl(d.Form, "field");
  d.Field->SetBounds(10, 10, 100, 20);
  d.Field->SetParent(d.Form);
  d.Ok = new TButton(d.Form);
  d.Ok->SetName("ok");
  d.Ok->SetCaption("OK");
  d.Ok->SetBounds(10, 150, 75, 25);
  d.Ok->SetDefault(true);
  d.Ok->SetModalResult(mrOk);
  d.Ok->SetParent(d.Form);
  d.Cancel = new TButton(d.Form);
  d.Cancel->SetName("cancel");
  d.Cancel->SetCaption("Cancel");
  d.Cancel->SetBounds(100, 150, 75, 25);
  d.Cancel->SetCancel(true);
  d.Cancel->SetModalResult(mrCancel);
  d.Cancel->SetParent(d.Form);
  d.Other = new TButton(d.Form);
  d.Other->SetName("other");
  d.Other->SetBounds(190, 150, 75, 25);
  d.Other->SetParent(d.Form);
  return d;
}

} // namespace

TEST_F(ControlTest, TabMovesTheFocusInTabOrderSkippingWhatCannotTakeIt)
{
  TDialog d = MakeDialog();
  d.Form->Show();
  RunUntilIdle();
  d.Field->SetFocus();
  RunUntilIdle();
  EXPECT_TRUE(d.Field->Focused());
  EXPECT_EQ(d.Form->ActiveControl(), d.Field);
  Key(Win::VK_TAB);
  EXPECT_TRUE(d.Ok->Focused());
  Key(Win::VK_TAB);
  EXPECT_TRUE(d.Cancel->Focused());
  d.Other->SetEnabled(false);
  Key(Win::VK_TAB);
  EXPECT_TRUE(d.Field->Focused()) << "the disabled button is skipped and the order wraps";
  KeyDown(Win::VK_SHIFT);
  Key(Win::VK_TAB);
  KeyUp(Win::VK_SHIFT);
  EXPECT_TRUE(d.Cancel->Focused());
  d.Cancel->SetTabOrder(0);
  EXPECT_EQ(d.Field->TabOrder(), 1);
  Key(Win::VK_TAB);
  EXPECT_TRUE(d.Field->Focused());
  d.Ok->SetTabStop(false);
  Key(Win::VK_TAB);
  EXPECT_TRUE(d.Cancel->Focused()) << "no tab stop: skipped";
  d.Form->Hide();
  EXPECT_THROW(d.Field->SetFocus(), EInvalidOperation);
}

TEST_F(ControlTest, EnterAndExitFollowTheFocus)
{
  TDialog d = MakeDialog();
  auto* group = Place(new TTestControl(d.Form, "group"), d.Form, 10, 40, 200, 100);
  auto* inside = Place(new TTestControl(d.Form, "inside"), group, 5, 5, 50, 20);
  d.Form->Show();
  d.Field->SetFocus();
  RunUntilIdle();
  gEvents.clear();
  inside->SetFocus();
  RunUntilIdle();
  std::vector<std::string> focusEvents;
  for (const auto& e : gEvents)
    if (e.find("enter") != std::string::npos || e.find("exit") != std::string::npos)
      focusEvents.push_back(e);
  EXPECT_EQ(focusEvents, (std::vector<std::string>{"field:exit", "group:enter", "inside:enter"}));
  EXPECT_EQ(Screen->ActiveControl(), inside);
  EXPECT_EQ(Screen->ActiveForm(), d.Form);
  // Hiding the focused control's container moves the focus away from it.
  group->Hide();
  EXPECT_EQ(d.Form->ActiveControl(), nullptr);
}

TEST_F(ControlTest, DefaultAndCancelButtonsAnswerEnterAndEscape)
{
  TDialog d = MakeDialog();
  int ok = 0, cancel = 0;
  d.Ok->OnClick = [&](TObject*) { ++ok; };
  d.Cancel->OnClick = [&](TObject*) { ++cancel; };
  d.Form->Show();
  d.Field->SetFocus();
  RunUntilIdle();
  // The button Enter would press is framed.
  const auto frame = Win::GetSysColor(Win::COLOR_WINDOWFRAME);
  EXPECT_EQ(ControlPixel(d.Ok, 0, 0), frame);
  EXPECT_NE(ControlPixel(d.Cancel, 0, 0), frame);
  Key(Win::VK_RETURN);
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(d.Form->ModalResult(), mrOk);
  Key(Win::VK_ESCAPE);
  EXPECT_EQ(cancel, 1);
  EXPECT_EQ(d.Form->ModalResult(), mrCancel);
  // A focused button takes Enter for itself.
  int other = 0;
  d.Other->OnClick = [&](TObject*) { ++other; };
  d.Other->SetFocus();
  RunUntilIdle();
  EXPECT_FALSE(d.Ok->Active());
  EXPECT_NE(ControlPixel(d.Ok, 0, 0), frame);
  EXPECT_EQ(ControlPixel(d.Other, 0, 0), frame);
  Key(Win::VK_RETURN);
  EXPECT_EQ(other, 1);
  EXPECT_EQ(ok, 1);
  Key(Win::VK_SPACE);
  EXPECT_EQ(other, 2);
  // With a key held, Enter is not a dialog key for the default button.
  d.Field->SetFocus();
  RunUntilIdle();
  KeyDown(Win::VK_CONTROL);
  Key(Win::VK_RETURN);
  KeyUp(Win::VK_CONTROL);
  EXPECT_EQ(ok, 1);
}

TEST_F(ControlTest, AButtonClickComesBackAsACommandNotification)
{
  TDialog d = MakeDialog();
  d.Form->Show();
  RunUntilIdle();
  std::vector<Win::UINT> seen;
  d.Other->WindowProc = [&, proc = d.Other->WindowProc](TMessage& M) {
    if (M.Msg == CN_COMMAND || M.Msg == Win::WM_LBUTTONDOWN)
      seen.push_back(M.Msg);
    proc(M);
  };
  int clicks = 0;
  d.Other->OnClick = [&](TObject*) { ++clicks; };
  ClickOn(d.Other, 10, 10);
  EXPECT_EQ(seen, (std::vector<Win::UINT>{Win::WM_LBUTTONDOWN, CN_COMMAND}));
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(d.Other->Focused());
  // Pressed inside, released outside: no click.
  MoveOnto(d.Other, 10, 10);
  Press();
  EXPECT_TRUE(d.Other->Pressed());
  MoveOnto(d.Form, 5, 5);
  EXPECT_FALSE(d.Other->Pressed());
  Release();
  EXPECT_EQ(clicks, 1);
}

TEST_F(ControlTest, AModalFormRunsItsOwnLoopAndReturnsItsModalResult)
{
  TForm* owner = MakeForm(0, 0, 400, 300);
  TDialog d = MakeDialog();
  d.Form->SetPosition(poScreenCenter);
  int ownerClicks = 0;
  owner->OnClick = [&](TObject*) { ++ownerClicks; };
  // The input waits in the queue until the modal loop reads it.
  Win::InjectClick(20, 20);         // on the owner: disabled while the dialog runs
  Win::InjectKey(Win::VK_RETURN);   // the default button
  EXPECT_EQ(d.Form->ShowModal(), mrOk);
  EXPECT_EQ(ownerClicks, 0);
  EXPECT_FALSE(d.Form->Visible());
  EXPECT_TRUE(owner->Enabled());
  EXPECT_TRUE(Win::IsWindowEnabled(owner->Handle()));
  EXPECT_EQ(d.Form->Left(), (Screen->Width() - 300) / 2);

  // A timer closes it on the virtual clock; OnClose sees it.
  TTimer timer(nullptr);
  timer.SetInterval(500);
  timer.SetOnTimer([&](TObject*) { d.Form->SetModalResult(mrAbort); });
  bool closed = false;
  d.Form->OnClose = [&](TObject*, TCloseAction& action) {
    closed = true;
    EXPECT_EQ(action, caHide);
  };
  std::uint64_t start = Win::ClockMilliseconds();
  EXPECT_EQ(d.Form->ShowModal(), mrAbort);
  EXPECT_TRUE(closed);
  EXPECT_EQ(Win::ClockMilliseconds() - start, 500u);
  d.Form->Show();
  EXPECT_THROW(d.Form->ShowModal(), EInvalidOperation);
}

TEST_F(ControlTest, CloseAsksTheFormAndHidesOrFreesIt)
{
  TForm* form = MakeForm(0, 0, 100, 100);
  bool allow = false;
  form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = allow; };
  form->Close();
  EXPECT_TRUE(form->Visible());
  allow = true;
  form->Close();
  EXPECT_FALSE(form->Visible());
  bool destroyed = false;
  form->OnDestroy = [&](TObject*) { destroyed = true; };
  form->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
  form->Show();
  form->Close();
  EXPECT_FALSE(destroyed) << "freed from the loop, not from inside Close";
  RunUntilIdle();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(Screen->FormCount(), 0);
}

TEST_F(ControlTest, KeyPreviewLetsTheFormSeeKeysFirst)
{
  TDialog d = MakeDialog();
  d.Form->Show();
  d.Field->SetFocus();
  RunUntilIdle();
  std::vector<std::string> seen;
  d.Form->OnKeyDown = [&](TObject*, Word& key, TShiftState) {
    seen.push_back("form");
    if (key == 'X')
      key = 0;
  };
  d.Field->OnKeyDown = [&](TObject*, Word&, TShiftState) { seen.push_back("field"); };
  std::u32string typed;
  d.Field->OnKeyPress = [&](TObject*, char32_t& key) { typed += key; };
  Key('A');
  EXPECT_EQ(seen, (std::vector<std::string>{"field"}));
  d.Form->SetKeyPreview(true);
  seen.clear();
  Key('A');
  Key('X');
  EXPECT_EQ(seen, (std::vector<std::string>{"form", "field", "form"}));
  Type("hi");
  EXPECT_EQ(typed, U"aaxhi") << "a key the form took still sends its character";
}

TEST_F(ControlTest, TimersFireOnTheVirtualClock)
{
  TTimer timer(nullptr);
  int fired = 0;
  timer.SetInterval(100);
  timer.SetOnTimer([&](TObject*) { ++fired; });
  AdvanceBy(250);
  EXPECT_EQ(fired, 2);
  timer.SetEnabled(false);
  AdvanceBy(500);
  EXPECT_EQ(fired, 2);
  timer.SetEnabled(true);
  timer.SetInterval(20);
  AdvanceBy(100);
  EXPECT_EQ(fired, 7);
}

TEST_F(ControlTest, ApplicationRunsUntilTerminatedAndReportsDeactivation)
{
  TForm* main = nullptr;
  Application->CreateForm(main);
  EXPECT_EQ(Application->MainForm(), main);
  main->SetBounds(0, 0, 100, 100);
  bool deactivated = false;
  Application->OnDeactivate = [&](TObject*) { deactivated = true; };
  Application->Handle();
  Win::InjectAppSwitch();
  EXPECT_TRUE(deactivated);
  EXPECT_FALSE(Application->Active());
  Application->OnDeactivate = nullptr;
  Win::InjectClick(50, 50);
  main->OnClick = [&](TObject*) { main->Close(); }; // closing the main form ends the application
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_FALSE(Application->ExeName().empty());
  Application->Restart();
  // Exceptions from window procedures reach OnException, or the loop's caller.
  auto* boom = Place(new TBox(main), main, 0, 0, 100, 100);
  boom->OnClick = [](TObject*) { throw EConvertError("boom"); };
  String reported;
  Application->OnException = [&](TObject*, const std::exception& e) { reported = e.what(); };
  ClickOn(boom, 5, 5);
  EXPECT_EQ(reported, "boom");
  Application->OnException = nullptr;
  Win::InjectClick(5, 5);
  EXPECT_THROW(RunUntilIdle(), EConvertError);
  RunUntilIdle();
}

} // namespace QxTest

namespace QxTest {

namespace {

// A borderless, top-most form that does not take activation and closes
// when a mouse button goes down anywhere outside it.
class TTestPopup : public TForm {
public:
  explicit TTestPopup(TComponent* AOwner) : TForm(AOwner) { SetBorderStyle(bsNone); }
  ~TTestPopup() override { Release(); }
  void Popup()
  {
    Current = this;
    Hook = Win::SetWindowsHookEx(Win::WH_MOUSE, &HookProc, nullptr, Win::GetCurrentThreadId());
    Win::ShowWindow(Handle(), Win::SW_SHOWNOACTIVATE);
    SetVisible(true);
  }
  void Release()
  {
    if (Hook)
      Win::UnhookWindowsHookEx(Hook);
    Hook = nullptr;
    if (Current == this)
      Current = nullptr;
  }
  static inline TTestPopup* Current = nullptr;
  static inline Win::HHOOK Hook = nullptr;

protected:
  void CreateParams(TCreateParams& Params) override
  {
    TForm::CreateParams(Params);
    Params.Style = Win::WS_POPUP | Win::WS_CLIPCHILDREN;
    Params.ExStyle |= Win::WS_EX_TOPMOST | Win::WS_EX_NOACTIVATE;
  }

private:
  static Win::LRESULT HookProc(int code, Win::WPARAM wParam, Win::LPARAM lParam)
  {
    auto* info = reinterpret_cast<Win::MOUSEHOOKSTRUCT*>(lParam);
    Win::HHOOK hook = Hook;
    if (Current && (wParam == Win::WM_LBUTTONDOWN || wParam == Win::WM_RBUTTONDOWN || wParam == Win::WM_MBUTTONDOWN) &&
        !Current->BoundsRect().Contains(info->pt)) {
      TTestPopup* popup = Current;
      popup->Release();
      popup->Hide();
    }
    return Win::CallNextHookEx(hook, code, wParam, lParam);
  }
};

} // namespace

TEST_F(ControlTest, APopupFormClosesOnAPressOutsideWithoutTakingActivation)
{
  TForm* owner = MakeForm(0, 0, 400, 300);
  auto* edit = Place(new TTestControl(owner, "edit"), owner, 10, 10, 100, 20);
  edit->SetFocus();
  RunUntilIdle();
  auto* popup = new TTestPopup(owner);
  popup->SetBounds(50, 50, 100, 100);
  int popupClicks = 0;
  popup->OnClick = [&](TObject*) { ++popupClicks; };
  popup->Popup();
  RunUntilIdle();
  EXPECT_TRUE(popup->Visible());
  EXPECT_EQ(Win::GetActiveWindow(), owner->Handle());
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(ScreenPixel(100, 100), Ref(clBtnFace)) << "shown above the owner";
  Click(100, 100);
  EXPECT_TRUE(popup->Visible());
  EXPECT_EQ(popupClicks, 1);
  EXPECT_TRUE(edit->Focused()) << "a click on a no-activate window leaves the focus";
  Click(300, 250, Win::TInjectButton::Right);
  EXPECT_FALSE(popup->Visible());
  EXPECT_EQ(TTestPopup::Hook, nullptr);
}

TEST_F(ControlTest, PointsMapBetweenControlsParentsAndTheScreen)
{
  TForm* form = MakeForm(100, 50, 300, 200);
  auto* panel = Place(new TPanel(form), form, 10, 20, 100, 100);
  auto* box = Place(new TBox(form), panel, 5, 6, 10, 10);
  EXPECT_EQ(box->ClientToScreen(TPoint(1, 1)), TPoint(100 + 10 + 5 + 1, 50 + 20 + 6 + 1));
  EXPECT_EQ(box->ScreenToClient(TPoint(116, 77)), TPoint(1, 1));
  EXPECT_EQ(box->ClientToParent(TPoint(1, 1)), TPoint(6, 7));
  EXPECT_EQ(box->ClientToParent(TPoint(1, 1), form), TPoint(16, 27));
  auto* stranger = new TPanel(form);
  EXPECT_THROW(box->ClientToParent(TPoint(), stranger), EInvalidOperation);
  Mouse->SetCursorPos(TPoint(120, 80));
  RunUntilIdle();
  EXPECT_EQ(Mouse->CursorPos(), TPoint(120, 80));
  EXPECT_EQ(MouseControl(), box);
}

} // namespace QxTest
