// A borderless, top-most form that shows without taking the activation and
// closes itself when the user presses a mouse button anywhere outside it or
// switches to another application. At most one popup listens for presses at
// a time: showing a second one hides the first.
#pragma once

#include <Vcl.Forms.hpp>

namespace Quorex {

using Vcl::Integer;

class TPopupForm : public Vcl::TCustomForm {
  QX_CLASS(TPopupForm, Vcl::TCustomForm)
public:
  explicit TPopupForm(Vcl::TComponent* AOwner);
  ~TPopupForm() override;

  // Installs the press watch and shows the window without activating it.
  void Show();
  // Lets go of the press watch and, when visible, hides the window. Every
  // way of hiding the form (this, Visible := False, the application losing
  // the activation, destruction) releases the watch.
  void Hide();

  // Presses inside this screen rectangle do not close the popup (the
  // control that opens it, typically). Empty at construction.
  const Vcl::TRect& InactiveRect() const { return FInactiveRect; }
  void SetInactiveRect(const Vcl::TRect& Value) { FInactiveRect = Value; }
  // The window that was active when the popup was activated anyway.
  Win::HWND PrevActiveWindow() const { return FPrevActiveWindow; }

  // Whether this popup holds the press watch now.
  bool IsHooked() const;

  void Dispatch(Vcl::TMessage& Message) override;

protected:
  void CreateParams(Vcl::TCreateParams& Params) override;
  void SetMouseHook();
  void ReleaseMouseHook();
  // A mouse message seen by the watch (Point in screen coordinates); a
  // button press outside the client area and outside FInactiveRect hides
  // the popup. Answers whether it closed.
  virtual bool ProcessHookedMouseMessages(Win::UINT Msg, Vcl::TPoint Point, Win::HWND Wnd);
  // Runs when the popup hides (after the window went), whatever the path.
  virtual void Closed() {}

  Win::HWND FPrevActiveWindow = nullptr;
  Vcl::TRect FInactiveRect;

private:
  static Win::LRESULT MouseHookProc(int Code, Win::WPARAM WParam, Win::LPARAM LParam);
  void WMActivate(Vcl::TMessage& Message);
  void WMActivateApp(Vcl::TMessage& Message);
  void AfterHidden();

  bool FOpen = false; // shown and not yet closed
};

} // namespace Quorex
