#include "Vcl.Dialogs.hpp"

#include "Vcl.StdCtrls.Label.hpp"
#include "Vcl.StdCtrls.hpp"

#include <algorithm>
#include <memory>

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
};

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

} // namespace

TForm* CreateMessageDialog(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons)
{
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBorderStyle(bsDialog);
  form->SetPosition(poScreenCenter);
  form->SetCaption(CaptionOf(DlgType));
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
  std::vector<const TButtonKind*> kinds;
  for (const TButtonKind& kind : ButtonKinds)
    if (Buttons.Contains(kind.Button))
      kinds.push_back(&kind);
  const Integer rowWidth = Integer(kinds.size()) * (kButtonWidth + kButtonGap) - kButtonGap;
  const Integer clientWidth = std::max(text->Width(), rowWidth) + 2 * kMargin;
  form->SetClientWidth(clientWidth);
  form->SetClientHeight(text->Top() + text->Height() + kMargin + kButtonHeight + 12);
  const bool hasDefault = Buttons.Contains(mbOK) || Buttons.Contains(mbYes);
  const TMsgDlgBtn defaultButton = Buttons.Contains(mbOK) ? mbOK : mbYes;
  const TMsgDlgBtn cancelButton = CancelButton(Buttons);
  Integer x = (clientWidth - rowWidth) / 2;
  for (const TButtonKind* kind : kinds) {
    auto* button = new TButton(form.get());
    button->SetName(kind->Name);
    button->SetCaption(kind->Caption);
    button->SetModalResult(kind->Result);
    button->SetDefault(hasDefault && kind->Button == defaultButton);
    button->SetCancel(kind->Button == cancelButton);
    button->SetBounds(x, form->ClientHeight() - kButtonHeight - 12, kButtonWidth, kButtonHeight);
    button->SetParent(form.get());
    x += kButtonWidth + kButtonGap;
  }
  return form.release();
}

Integer MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer)
{
  std::unique_ptr<TForm> form(CreateMessageDialog(Msg, DlgType, Buttons));
  return form->ShowModal();
}

} // namespace Vcl
