// Forms, the application object (message loop, modal loops, exceptions),
// the screen and the mouse.
#pragma once

#include "Vcl.Controls.hpp"

#include <Win.User.MessageBox.hpp>

#include <memory>

namespace Vcl {

class TMainMenu;
namespace MenusInternal {
class TMenuBar;
}

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using enum TFormBorderStyle;
enum class TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
                       poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
using enum TPosition;
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
using enum TFormStyle;
enum class TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using enum TBorderIcon;
using TBorderIcons = TSet<TBorderIcon>;
QX_ENUM_NAMES(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
QX_ENUM_NAMES(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
QX_ENUM_NAMES(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter,
              poDesktopCenter, poMainFormCenter, poOwnerFormCenter)
QX_ENUM_NAMES(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
enum class TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using enum TFormStateItem;
using TFormState = TSet<TFormStateItem>;
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using enum TCloseAction;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
  QX_CLASS(TCustomForm, TWinControl)
public:
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  // Show makes the form visible and brings it to the front; Close asks
  // OnCloseQuery and OnClose, then hides it (or frees it, or, for the main
  // form, ends the application).
  void Show();
  void Hide() { SetVisible(false); }
  void Close();
  void Release(); // frees the form once the loop reaches the request
  virtual bool CloseQuery();
  void DefineProperties(TFiler* Filer) override;
  // Runs a nested loop, with the other windows disabled, until ModalResult
  // becomes non-zero; returns it. EInvalidOperation "Cannot make a visible
  // window modal" when the form is already showing.
  virtual TModalResult ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  TFormState FormState() const { return FFormState; }

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  // While the form is loading, showing waits until it is loaded, so that it
  // is placed with the size it was read to have.
  void SetVisible(bool Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  // The screen resolution the form's sizes are meant for; a Scaled form
  // read from a resource saved at another resolution is scaled to the
  // screen's when loaded. EInvalidOperation for a value below 1.
  Integer PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(Integer Value);
  bool Scaled() const { return FScaled; }
  void SetScaled(bool Value) { FScaled = Value; }
  void Loaded() override;
  bool Active() const { return FActive; }

  // The menu the form shows as its menu bar, above its client area (which
  // is that much smaller); nullptr for none. A menu shows on one form at a
  // time: EInvalidOperation when another form shows it. While the form is
  // read from a resource its client size stays as read.
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* Value);
  TRect ClientRect() const override;
  // A key message on its way to a control of the form: the menu bar's
  // shortcuts and keys; true when the bar took it.
  bool IsMenuKey(const Win::MSG& Msg);

  TWinControl* ActiveControl() const { return FActiveControl; }
  // EInvalidOperation "Cannot focus a disabled or invisible window".
  void SetActiveControl(TWinControl* Control);
  void FocusControl(TWinControl* Control) override;
  // Tells the form which control has the focus: CM_EXIT and CM_ENTER down
  // the chains and CM_FOCUSCHANGED to all controls.
  bool SetFocusedControl(TWinControl* Control) override;
  void DefocusControl(TWinControl* Control, bool Removing) override;
  void SetFocus() override;
  bool CanFocus() const override;

  void Dispatch(TMessage& Message) override;
  // Asks the actions of the form and its visible controls to update
  // themselves (each once), when the form is showing; the application does
  // it for every showing form when it falls idle.
  void UpdateActions();

  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  bool ShowsWithoutParent() const override { return true; }
  TCustomForm* AsForm() override { return this; }
  bool PreviewsKeys() const override { return FKeyPreview; }
  virtual void DoClose(TCloseAction& Action);
  virtual void DoShow();
  virtual void DoHide();
  virtual void Activate();
  virtual void Deactivate();
  void SetWindowFocus();

private:
  void CloseModal();
  void PlaceOnScreen();
  void WMActivate(TMessage& Message);
  void CMDialogKey(TMessage& Message);
  void CMShowingChanged(TMessage& Message);

  TModalResult FModalResult = mrNone;
  TFormState FFormState;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  bool FShowWhenLoaded = false;
  TPosition FPosition = poDesigned;
  TFormStyle FFormStyle = fsNormal;
  bool FKeyPreview = false;
  bool FScaled = true;
  Integer FPixelsPerInch = 96;
  bool FActive = false;
  bool FPlaced = false;
  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  TMainMenu* FMenu = nullptr;
  std::unique_ptr<MenusInternal::TMenuBar> FMenuBar;
};

class TForm : public TCustomForm {
  QX_CLASS(TForm, TCustomForm)
public:
  using TCustomForm::TCustomForm;
};

using TMessageEvent = std::function<void(Win::MSG& Msg, bool& Handled)>;
using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
  QX_CLASS(TApplication, TComponent)
public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  // The hidden window that hears application-wide messages (activation,
  // wake-ups from other threads).
  Win::HWND Handle();
  // Creates a form owned by the application; the first becomes the main form.
  template <class T>
  void CreateForm(T*& Reference)
  {
    Reference = new T(this);
    if (!FMainForm)
      FMainForm = Reference;
  }
  TCustomForm* MainForm() const { return FMainForm; }
  bool ShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool Value) { FShowMainForm = Value; }

  // Shows the main form and runs the loop until Terminate.
  void Run();
  // Handles every waiting message (and the calls of other threads), then returns.
  void ProcessMessages();
  // Handles one waiting message; false when there is none.
  bool ProcessMessage(Win::MSG& Msg);
  // Handles one message, or waits for one when there is none.
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Lets the loop run again after Terminate (hosts that start over, tests).
  void Restart() { FTerminated = false; }
  // Exceptions from window procedures: OnException when assigned,
  // otherwise raised again to the caller of the loop.
  void HandleException(TObject* Sender);

  // A modal message box with the Win32 flags' buttons (MB_OK ... MB_CANCELTRYCONTINUE)
  // and default button; the icon flags are accepted and not drawn. Caption
  // empty: the title. Answers the pressed button's ID (IDOK ...); Escape and
  // closing answer IDCANCEL where there is a Cancel button, IDOK for a lone OK.
  // Built by Vcl.Dialogs, like MessageDlg, and driven in tests the same way.
  Integer MessageBox(const String& Text, const String& Caption = String(), Win::UINT Flags = Win::MB_OK);
  const String& Title() const { return FTitle; }
  void SetTitle(const String& Value) { FTitle = Value; }
  String ExeName() const;
  TIcon* Icon() const { return FIcon.get(); }
  void SetIcon(const TIcon* Value) { FIcon->Assign(Value); }
  bool Active() const { return FActive; }

  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnIdle;
  TMessageEvent OnMessage;
  TExceptionEvent OnException;

private:
  friend class TCustomForm;
  bool IsKeyMsg(Win::MSG& Msg);
  bool IsPreProcessMessage(Win::MSG& Msg);
  void Idle();
  void DoActionIdle();
  void WndProc(TMessage& Message);
  void Notification(TComponent* AComponent, TOperation Operation) override;

  Win::HWND FHandle = nullptr;
  TCustomForm* FMainForm = nullptr;
  bool FShowMainForm = true;
  bool FTerminated = false;
  bool FActive = true;
  String FTitle;
  std::unique_ptr<TIcon> FIcon;
};

class TScreen : public TComponent {
  QX_CLASS(TScreen, TComponent)
public:
  explicit TScreen(TComponent* AOwner);

  Integer PixelsPerInch() const;
  Integer Width() const;
  Integer Height() const;
  // A cursor other than crDefault overrides every control's cursor.
  TCursor Cursor() const { return ScreenCursor(); }
  void SetCursor(TCursor Value);
  // The window-system cursor of a cursor value; hosts may add their own.
  Win::HCURSOR Cursors(TCursor Index) const;
  void SetCursors(TCursor Index, Win::HCURSOR Handle);

  Integer FormCount() const { return Integer(FForms.size()); }
  TCustomForm* Forms(Integer Index) const { return FForms.at(size_t(Index)); }
  TCustomForm* ActiveForm() const { return FActiveForm; }
  TWinControl* ActiveControl() const { return FActiveControl; }

private:
  friend class TCustomForm;
  std::vector<TCustomForm*> FForms;
  TCustomForm* FActiveForm = nullptr;
  TWinControl* FActiveControl = nullptr;
};

class TMouse {
public:
  TPoint CursorPos() const;
  void SetCursorPos(TPoint Value);
  TControl* Capture() const { return GetCaptureControl(); }
  Integer WheelScrollLines() const { return 3; }
};

extern TApplication* Application;
extern TScreen* Screen;
extern TMouse* Mouse;

} // namespace Vcl
