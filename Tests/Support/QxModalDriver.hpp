// Drives the modal forms a test causes, as a user would: while a modal form
// runs its loop, the action is called each time the loop falls idle, with
// the form and how many times it was called for that form before. An
// action answers with input (clicks, keys), which also keeps a virtual
// clock from running on to the next timer while the form waits.
#pragma once

#include <Vcl.Forms.hpp>
#include <Winapi.Windows.hpp>

#include <functional>

namespace QxTest {

class QxModalDriver {
public:
  using TAction = std::function<void(Vcl::TCustomForm* Form, int Step)>;

  explicit QxModalDriver(TAction Action) : FAction(std::move(Action))
  {
    Vcl::Application->OnIdle = [this](Vcl::TObject*) { Idle(); };
  }
  ~QxModalDriver() { Vcl::Application->OnIdle = nullptr; }
  QxModalDriver(const QxModalDriver&) = delete;
  QxModalDriver& operator=(const QxModalDriver&) = delete;

  // Modal forms seen so far.
  int Shown() const { return FShown; }

  // A click in the middle of a control.
  static void ClickOn(Vcl::TControl* Control)
  {
    const Vcl::TPoint p = Control->ClientToScreen(Vcl::TPoint(Control->Width() / 2, Control->Height() / 2));
    Win::InjectClick(p.X, p.Y);
  }

private:
  void Idle()
  {
    Vcl::TCustomForm* form = Vcl::Screen->ActiveForm();
    if (!form || !form->FormState().Contains(Vcl::fsModal))
      return;
    if (form != FForm) {
      FForm = form;
      FStep = 0;
      ++FShown;
      form->OnDestroy = [this](Vcl::TObject*) { FForm = nullptr; };
    }
    FAction(form, FStep++);
  }

  TAction FAction;
  Vcl::TCustomForm* FForm = nullptr;
  int FStep = 0;
  int FShown = 0;
};

} // namespace QxTest
