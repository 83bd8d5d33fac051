// A menu item's action: the link that makes the item show and run it, the
// properties taken from it and the storing rules they bring.
#include "Vcl.Menus.hpp"

namespace Vcl {

// ---- TMenuActionLink -------------------------------------------------------------------------

void TMenuActionLink::AssignClient(TObject* AClient)
{
  FClient = dynamic_cast<TMenuItem*>(AClient);
  QX_ASSERT(FClient, "Vcl.Menus");
}

namespace {

// Does the item still show the action's value of a property?
template <class I, class A>
bool Shows(const TMenuItem* Item, I (TMenuItem::*ItemValue)() const, const TCustomAction* Action,
           A (TCustomAction::*ActionValue)() const)
{
  return (Item->*ItemValue)() == (Action->*ActionValue)();
}

} // namespace

bool TMenuActionLink::IsAutoCheckLinked() const
{
  return inherited::IsAutoCheckLinked() && Shows(FClient, &TMenuItem::AutoCheck, CustomAction(), &TCustomAction::AutoCheck);
}

bool TMenuActionLink::IsCaptionLinked() const
{
  return inherited::IsCaptionLinked() && Shows(FClient, &TMenuItem::Caption, CustomAction(), &TCustomAction::Caption);
}

bool TMenuActionLink::IsCheckedLinked() const
{
  return inherited::IsCheckedLinked() && Shows(FClient, &TMenuItem::Checked, CustomAction(), &TCustomAction::Checked);
}

bool TMenuActionLink::IsEnabledLinked() const
{
  return inherited::IsEnabledLinked() && Shows(FClient, &TMenuItem::Enabled, CustomAction(), &TCustomAction::Enabled);
}

bool TMenuActionLink::IsGroupIndexLinked() const
{
  return inherited::IsGroupIndexLinked() && Shows(FClient, &TMenuItem::GroupIndex, CustomAction(), &TCustomAction::GroupIndex);
}

bool TMenuActionLink::IsHintLinked() const
{
  return inherited::IsHintLinked() && Shows(FClient, &TMenuItem::Hint, CustomAction(), &TCustomAction::Hint);
}

bool TMenuActionLink::IsImageIndexLinked() const
{
  return inherited::IsImageIndexLinked() && Shows(FClient, &TMenuItem::ImageIndex, CustomAction(), &TCustomAction::ImageIndex);
}

bool TMenuActionLink::IsShortCutLinked() const
{
  return inherited::IsShortCutLinked() && Shows(FClient, &TMenuItem::ShortCut, CustomAction(), &TCustomAction::ShortCut);
}

bool TMenuActionLink::IsVisibleLinked() const
{
  return inherited::IsVisibleLinked() && Shows(FClient, &TMenuItem::Visible, CustomAction(), &TCustomAction::Visible);
}

bool TMenuActionLink::IsOnExecuteLinked() const
{
  return inherited::IsOnExecuteLinked() && !FClient->OnClick;
}

void TMenuActionLink::SetAutoCheck(bool Value)
{
  if (IsAutoCheckLinked())
    FClient->SetAutoCheck(Value);
}

void TMenuActionLink::SetCaption(const String& Value)
{
  if (IsCaptionLinked())
    FClient->SetCaption(Value);
}

void TMenuActionLink::SetChecked(bool Value)
{
  if (IsCheckedLinked())
    FClient->SetChecked(Value);
}

void TMenuActionLink::SetEnabled(bool Value)
{
  if (IsEnabledLinked())
    FClient->SetEnabled(Value);
}

void TMenuActionLink::SetGroupIndex(Integer Value)
{
  if (IsGroupIndexLinked())
    FClient->SetGroupIndex(Byte(Value));
}

void TMenuActionLink::SetHint(const String& Value)
{
  if (IsHintLinked())
    FClient->SetHint(Value);
}

void TMenuActionLink::SetImageIndex(Integer Value)
{
  if (IsImageIndexLinked())
    FClient->SetImageIndex(Value);
}

void TMenuActionLink::SetShortCut(TShortCut Value)
{
  if (IsShortCutLinked())
    FClient->SetShortCut(Value);
}

void TMenuActionLink::SetVisible(bool Value)
{
  if (IsVisibleLinked())
    FClient->SetVisible(Value);
}

// ---- TMenuItem ----------------------------------------------------------------------------------

TBasicAction* TMenuItem::Action() const
{
  return FActionLink ? FActionLink->Action() : nullptr;
}

void TMenuItem::SetAction(TBasicAction* Value)
{
  TBasicAction* old = Action();
  if (old == Value)
    return;
  if (old)
    RemoveFreeNotification(old);
  if (!Value) {
    FActionLink.reset();
    return;
  }
  if (!FActionLink)
    FActionLink = CreateActionLink<TMenuActionLink>(this);
  FActionLink->SetAction(Value);
  Value->FreeNotification(this);
  // An item or action being read keeps what the resource gave it.
  ActionChange(Value, (Value->ComponentState() + ComponentState()).Contains(csLoading));
}

void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults)
{
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (!action)
    return;
  if (!CheckDefaults || !FAutoCheck)
    SetAutoCheck(action->AutoCheck());
  if (!CheckDefaults || FCaption.empty())
    SetCaption(action->Caption());
  if (!CheckDefaults || !FChecked)
    SetChecked(action->Checked());
  if (!CheckDefaults || FEnabled)
    SetEnabled(action->Enabled());
  if (!CheckDefaults || FGroupIndex == 0)
    SetGroupIndex(Byte(action->GroupIndex()));
  if (!CheckDefaults || FHint.empty())
    SetHint(action->Hint());
  if (!CheckDefaults || FImageIndex == -1)
    SetImageIndex(action->ImageIndex());
  if (!CheckDefaults || FShortCut == scNone)
    SetShortCut(action->ShortCut());
  if (!CheckDefaults || FVisible)
    SetVisible(action->Visible());
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  // A freed action let go of the link before it told us.
  if (Operation == opRemove && FActionLink && !FActionLink->Action())
    FActionLink.reset();
}

bool TMenuItem::IsCaptionStored() const
{
  return !FActionLink || !FActionLink->IsCaptionLinked();
}

bool TMenuItem::IsCheckedStored() const
{
  return !FActionLink || !FActionLink->IsCheckedLinked();
}

bool TMenuItem::IsEnabledStored() const
{
  return !FActionLink || !FActionLink->IsEnabledLinked();
}

bool TMenuItem::IsHintStored() const
{
  return !FActionLink || !FActionLink->IsHintLinked();
}

bool TMenuItem::IsImageIndexStored() const
{
  return !FActionLink || !FActionLink->IsImageIndexLinked();
}

bool TMenuItem::IsShortCutStored() const
{
  return !FActionLink || !FActionLink->IsShortCutLinked();
}

bool TMenuItem::IsVisibleStored() const
{
  return !FActionLink || !FActionLink->IsVisibleLinked();
}

} // namespace Vcl
