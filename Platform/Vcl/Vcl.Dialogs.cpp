#include "Vcl.Dialogs.hpp"

#include "Vcl.StdCtrls.Label.hpp"
#include "Vcl.StdCtrls.hpp"

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

namespace Vcl {

namespace {

struct TButtonKind {
  TMsgDlgBtn Button;
  const char* Name;
  const char* Caption;
  TModalResult Result;
};

constexpr TButtonKind ButtonKinds[] = {
  {mbYes, "Yes", "&Yes", mrYes},         {mbNo, "No", "&No", mrNo},
  {mbOK, "OK", "OK", mrOk},              {mbCancel, "Cancel", "Cancel", mrCancel},
  {mbAbort, "Abort", "&Abort", mrAbort}, {mbRetry, "Retry", "&Retry", mrRetry},
  {mbIgnore, "Ignore", "&Ignore", mrIgnore}, {mbAll, "All", "&All", mrAll},
  {mbNoToAll, "NoToAll", "N&o to All", mrNoToAll}, {mbYesToAll, "YesToAll", "Yes to &All", mrYesToAll},
  {mbHelp, "Help", "&Help", mrHelp},     {mbClose, "Close", "&Close", mrClose},
  {mbTryAgain, "TryAgain", "&Try Again", mrTryAgain}, {mbContinue, "Continue", "&Continue", mrContinue},
};

const TButtonKind& KindOf(TMsgDlgBtn Button)
{
  return *std::find_if(std::begin(ButtonKinds), std::end(ButtonKinds),
                       [Button](const TButtonKind& k) { return k.Button == Button; });
}

String CaptionOf(TMsgDlgType DlgType)
{
  switch (DlgType) {
  case mtWarning:
    return "Warning";
  case mtError:
    return "Error";
  case mtInformation:
    return "Information";
  case mtConfirmation:
    return "Confirmation";
  case mtCustom:
    break;
  }
  return Application->Title();
}

constexpr Integer kMargin = 16, kTextWidth = 360, kButtonWidth = 75, kButtonHeight = 25, kButtonGap = 8;

TMsgDlgBtn CancelButton(TMsgDlgButtons Buttons)
{
  for (TMsgDlgBtn b : {mbCancel, mbNo, mbClose})
    if (Buttons.Contains(b))
      return b;
  return mbOK;
}

// The dialog with the buttons in the order given; the default and the
// cancel button may be none.
TForm* BuildDialog(const String& Msg, const String& Caption, const std::vector<TMsgDlgBtn>& Buttons,
                   std::optional<TMsgDlgBtn> DefaultButton, std::optional<TMsgDlgBtn> CancelButton)
{
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBorderStyle(bsDialog);
  form->SetPosition(poScreenCenter);
  form->SetCaption(Caption);
  auto* text = new TLabel(form.get());
  text->SetName("Message");
  text->SetLeft(kMargin);
  text->SetTop(kMargin);
  text->SetParent(form.get());
  text->SetCaption(Msg);
  if (text->Width() > kTextWidth) {
    text->SetWordWrap(true);
    text->SetWidth(kTextWidth);
  }
  const Integer rowWidth = Integer(Buttons.size()) * (kButtonWidth + kButtonGap) - kButtonGap;
  const Integer clientWidth = std::max(text->Width(), rowWidth) + 2 * kMargin;
  form->SetClientWidth(clientWidth);
  form->SetClientHeight(text->Top() + text->Height() + kMargin + kButtonHeight + 12);
  Integer x = (clientWidth - rowWidth) / 2;
  for (TMsgDlgBtn b : Buttons) {
    const TButtonKind& kind = KindOf(b);
    auto* button = new TButton(form.get());
    button->SetName(kind.Name);
    button->SetCaption(kind.Caption);
    button->SetModalResult(kind.Result);
    button->SetDefault(DefaultButton == b);
    button->SetCancel(CancelButton == b);
    button->SetBounds(x, form->ClientHeight() - kButtonHeight - 12, kButtonWidth, kButtonHeight);
    button->SetParent(form.get());
    x += kButtonWidth + kButtonGap;
  }
  return form.release();
}

// The buttons of a message box's type, in the order Win32 shows them.
std::vector<TMsgDlgBtn> MessageBoxButtons(Win::UINT Type)
{
  switch (Type) {
  case Win::MB_OKCANCEL:
    return {mbOK, mbCancel};
  case Win::MB_ABORTRETRYIGNORE:
    return {mbAbort, mbRetry, mbIgnore};
  case Win::MB_YESNOCANCEL:
    return {mbYes, mbNo, mbCancel};
  case Win::MB_YESNO:
    return {mbYes, mbNo};
  case Win::MB_RETRYCANCEL:
    return {mbRetry, mbCancel};
  case Win::MB_CANCELTRYCONTINUE:
    return {mbCancel, mbTryAgain, mbContinue};
  default:
    return {mbOK};
  }
}

} // namespace

TForm* CreateMessageDialog(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons)
{
  std::vector<TMsgDlgBtn> buttons;
  for (const TButtonKind& kind : ButtonKinds)
    if (Buttons.Contains(kind.Button))
      buttons.push_back(kind.Button);
  std::optional<TMsgDlgBtn> defaultButton;
  if (Buttons.Contains(mbOK) || Buttons.Contains(mbYes))
    defaultButton = Buttons.Contains(mbOK) ? mbOK : mbYes;
  return BuildDialog(Msg, CaptionOf(DlgType), buttons, defaultButton, CancelButton(Buttons));
}

Integer MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer)
{
  std::unique_ptr<TForm> form(CreateMessageDialog(Msg, DlgType, Buttons));
  return form->ShowModal();
}

Integer TApplication::MessageBox(const String& Text, const String& Caption, Win::UINT Flags)
{
  const std::vector<TMsgDlgBtn> buttons = MessageBoxButtons(Flags & Win::MB_TYPEMASK);
  const size_t defaultIndex = (Flags & Win::MB_DEFMASK) >> 8;
  const TMsgDlgBtn defaultButton = buttons[defaultIndex < buttons.size() ? defaultIndex : 0];
  std::optional<TMsgDlgBtn> cancelButton;
  if (std::find(buttons.begin(), buttons.end(), mbCancel) != buttons.end())
    cancelButton = mbCancel;
  else if (buttons.size() == 1)
    cancelButton = mbOK;
  std::unique_ptr<TForm> form(
    BuildDialog(Text, Caption.empty() ? FTitle : Caption, buttons, defaultButton, cancelButton));
  const TModalResult result = form->ShowModal();
  // The modal results of the buttons are the IDs; closing a lone OK box
  // answers as its button, the way Escape does.
  return result == mrCancel && cancelButton == mbOK ? Win::IDOK : result;
}

} // namespace Vcl
