// A control's action: the link that makes the control show and run it, the
// properties taken from it and the storing rules they bring.
#include "Vcl.ActnList.hpp"

namespace Vcl {

TBasicAction* TControl::Action() const
{
  return FActionLink ? FActionLink->Action() : nullptr;
}

void TControl::SetAction(TBasicAction* Value)
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
    FActionLink = GetActionLinkClass()(this);
  FActionLink->SetAction(Value);
  Value->FreeNotification(this);
  // A control or action being read keeps what the resource gave it.
  ActionChange(Value, (Value->ComponentState() + ComponentState()).Contains(csLoading));
}

TControlActionLinkClass TControl::GetActionLinkClass() const
{
  return ActionLinkClassOf<TControlActionLink>;
}

TControlActionLinkClass TWinControl::GetActionLinkClass() const
{
  return ActionLinkClassOf<TWinControlActionLink>;
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults)
{
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (!action)
    return;
  if (!CheckDefaults || Caption().empty() || Caption() == Name())
    SetCaption(action->Caption());
  if (!CheckDefaults || Enabled())
    SetEnabled(action->Enabled());
  if (!CheckDefaults || Hint().empty())
    SetHint(action->Hint());
  if (!CheckDefaults || Visible())
    SetVisible(action->Visible());
}

bool TControl::IsCaptionStored() const
{
  return !FActionLink || !FActionLink->IsCaptionLinked();
}

bool TControl::IsEnabledStored() const
{
  return !FActionLink || !FActionLink->IsEnabledLinked();
}

bool TControl::IsHintStored() const
{
  return !FActionLink || !FActionLink->IsHintLinked();
}

bool TControl::IsVisibleStored() const
{
  return !FActionLink || !FActionLink->IsVisibleLinked();
}

} // namespace Vcl
