#include "Vcl.ActnList.hpp"

#include <algorithm>

namespace Vcl {

namespace {

// Hears when the watched components go, so that code that ran their
// handlers knows which it may still touch.
class TFreeWatch final : public TComponent {
public:
  template <class C>
  explicit TFreeWatch(const std::vector<C*>& Watched) : TComponent(nullptr), FWatched(Watched.begin(), Watched.end())
  {
    for (TComponent* c : FWatched)
      FreeNotification(c);
  }
  Integer Count() const { return Integer(FWatched.size()); }
  // The component at Index, or nullptr once it went.
  template <class C>
  C* Alive(Integer Index) const
  {
    return static_cast<C*>(FWatched[size_t(Index)]);
  }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override
  {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove)
      std::replace(FWatched.begin(), FWatched.end(), AComponent, static_cast<TComponent*>(nullptr));
  }

private:
  std::vector<TComponent*> FWatched;
};

} // namespace

void UpdateActions(const std::vector<TBasicAction*>& Actions)
{
  TFreeWatch watch(Actions);
  for (Integer i = 0; i < watch.Count(); ++i)
    if (auto* action = watch.Alive<TBasicAction>(i))
      action->Update();
}

// ---- TBasicActionLink ------------------------------------------------------------------

TBasicActionLink::~TBasicActionLink()
{
  if (FAction)
    FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value)
{
  if (FAction == Value)
    return;
  if (FAction)
    FAction->UnRegisterChanges(this);
  if (Value)
    Value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent)
{
  if (!FAction)
    return false;
  TBasicAction* action = FAction;
  TFreeWatch watch(std::vector{action});
  action->SetActionComponent(AComponent);
  bool handled = action->Execute();
  if (watch.Alive<TBasicAction>(0))
    action->SetActionComponent(nullptr);
  return handled;
}

bool TBasicActionLink::Update()
{
  return FAction && FAction->Update();
}

// ---- TActionLink ------------------------------------------------------------------------

TCustomAction* TActionLink::CustomAction() const
{
  return dynamic_cast<TCustomAction*>(FAction);
}

// ---- TControlActionLink -------------------------------------------------------------------

void TControlActionLink::AssignClient(TObject* AClient)
{
  FClient = dynamic_cast<TControl*>(AClient);
  QX_ASSERT(FClient, "Vcl.ActnList");
}

bool TControlActionLink::IsCaptionLinked() const
{
  return inherited::IsCaptionLinked() && FClient->Caption() == CustomAction()->Caption();
}

bool TControlActionLink::IsEnabledLinked() const
{
  return inherited::IsEnabledLinked() && FClient->Enabled() == CustomAction()->Enabled();
}

bool TControlActionLink::IsHintLinked() const
{
  return inherited::IsHintLinked() && FClient->Hint() == CustomAction()->Hint();
}

bool TControlActionLink::IsVisibleLinked() const
{
  return inherited::IsVisibleLinked() && FClient->Visible() == CustomAction()->Visible();
}

bool TControlActionLink::IsOnExecuteLinked() const
{
  return inherited::IsOnExecuteLinked() && !FClient->OnClick;
}

void TControlActionLink::SetCaption(const String& Value)
{
  if (IsCaptionLinked())
    FClient->SetCaption(Value);
}

void TControlActionLink::SetEnabled(bool Value)
{
  if (IsEnabledLinked())
    FClient->SetEnabled(Value);
}

void TControlActionLink::SetHint(const String& Value)
{
  if (IsHintLinked())
    FClient->SetHint(Value);
}

void TControlActionLink::SetVisible(bool Value)
{
  if (IsVisibleLinked())
    FClient->SetVisible(Value);
}

// ---- TBasicAction ---------------------------------------------------------------------------

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction()
{
  Destroying();
  // The clients hear of the removal only once this object is half gone: the
  // links let go of it now, and the clients drop the empty links then.
  for (TBasicActionLink* link : FClients)
    link->FAction = nullptr;
  FClients.clear();
}

// The handlers run from copies: one may free the action, and with it the
// handler it runs.
bool TBasicAction::Execute()
{
  if (!FOnExecute)
    return false;
  TNotifyEvent handler = FOnExecute;
  handler(this);
  return true;
}

bool TBasicAction::Update()
{
  if (!OnUpdate)
    return false;
  TNotifyEvent handler = OnUpdate;
  handler(this);
  return true;
}

void TBasicAction::SetActionComponent(TComponent* Value)
{
  if (FActionComponent == Value)
    return;
  if (FActionComponent)
    RemoveFreeNotification(FActionComponent);
  FActionComponent = Value;
  if (Value)
    FreeNotification(Value);
}

void TBasicAction::SetOnExecute(TNotifyEvent Value)
{
  ForEachLink<TBasicActionLink>([&](TBasicActionLink* link) { link->SetOnExecute(Value); });
  FOnExecute = std::move(Value);
  Change();
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value)
{
  if (Value->FAction == this)
    return;
  if (Value->FAction)
    Value->FAction->UnRegisterChanges(Value);
  Value->FAction = this;
  FClients.push_back(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value)
{
  if (Value->FAction != this)
    return;
  std::erase(FClients, Value);
  Value->FAction = nullptr;
}

void TBasicAction::Change()
{
  if (OnChange)
    OnChange(this);
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActionComponent)
    FActionComponent = nullptr;
}

// ---- TContainedAction -------------------------------------------------------------------------

TContainedAction::TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TContainedAction::~TContainedAction()
{
  Destroying();
  SetActionList(nullptr);
}

void TContainedAction::SetActionList(TCustomActionList* Value)
{
  if (FActionList == Value)
    return;
  if (FActionList)
    std::erase(FActionList->FActions, this);
  FActionList = Value;
  if (Value)
    Value->FActions.push_back(this);
}

void TContainedAction::SetCategory(const String& Value)
{
  if (FCategory == Value)
    return;
  FCategory = Value;
  Change();
}

Integer TContainedAction::Index() const
{
  if (!FActionList)
    return -1;
  const auto& actions = FActionList->FActions;
  return Integer(std::find(actions.begin(), actions.end(), this) - actions.begin());
}

void TContainedAction::SetIndex(Integer Value)
{
  if (!FActionList)
    return;
  auto& actions = FActionList->FActions;
  std::erase(actions, this);
  Value = std::clamp(Value, 0, Integer(actions.size()));
  actions.insert(actions.begin() + Value, this);
}

bool TContainedAction::Execute()
{
  return (FActionList && FActionList->ExecuteAction(this)) || inherited::Execute();
}

bool TContainedAction::Update()
{
  return (FActionList && FActionList->UpdateAction(this)) || inherited::Update();
}

TComponent* TContainedAction::GetParentComponent() const
{
  return FActionList;
}

void TContainedAction::SetParentComponent(TComponent* Value)
{
  if (auto* list = dynamic_cast<TCustomActionList*>(Value))
    SetActionList(list);
}

void TContainedAction::Change()
{
  inherited::Change();
  if (FActionList)
    FActionList->Change();
}

// ---- TCustomAction ------------------------------------------------------------------------------

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

template <class V, class Hook>
void TCustomAction::Assign(V& Field, const V& Value, Hook LinkHook)
{
  if (Field == Value)
    return;
  ForEachLink<TActionLink>([&](TActionLink* link) { (link->*LinkHook)(Value); });
  Field = Value;
  Change();
}

bool TCustomAction::Execute()
{
  Update();
  if (!FEnabled)
    return false;
  if (FAutoCheck && (!FChecked || FGroupIndex == 0))
    SetChecked(!FChecked);
  return inherited::Execute();
}

void TCustomAction::SetCaption(const String& Value)
{
  Assign(FCaption, Value, &TActionLink::SetCaption);
}

void TCustomAction::SetChecked(bool Value)
{
  if (FChecked == Value)
    return;
  Assign(FChecked, Value, &TActionLink::SetChecked);
  if (!Value || FGroupIndex <= 0 || !ActionList())
    return;
  std::vector<TCustomAction*> others;
  for (Integer i = 0; i < ActionList()->ActionCount(); ++i)
    if (auto* other = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
        other && other != this && other->FGroupIndex == FGroupIndex)
      others.push_back(other);
  // A client's reaction to one of them may free another.
  TFreeWatch watch(others);
  for (Integer i = 0; i < watch.Count(); ++i)
    if (auto* other = watch.Alive<TCustomAction>(i))
      other->SetChecked(false);
}

void TCustomAction::SetEnabled(bool Value)
{
  Assign(FEnabled, Value, &TActionLink::SetEnabled);
}

void TCustomAction::SetVisible(bool Value)
{
  Assign(FVisible, Value, &TActionLink::SetVisible);
}

void TCustomAction::SetImageIndex(Integer Value)
{
  Assign(FImageIndex, Value, &TActionLink::SetImageIndex);
}

void TCustomAction::SetHint(const String& Value)
{
  Assign(FHint, Value, &TActionLink::SetHint);
}

void TCustomAction::SetShortCut(TShortCut Value)
{
  Assign(FShortCut, Value, &TActionLink::SetShortCut);
}

void TCustomAction::SetGroupIndex(Integer Value)
{
  Assign(FGroupIndex, Value, &TActionLink::SetGroupIndex);
}

void TCustomAction::SetAutoCheck(bool Value)
{
  Assign(FAutoCheck, Value, &TActionLink::SetAutoCheck);
}

TCustomImageList* TCustomAction::Images() const
{
  return ActionList() ? ActionList()->Images() : nullptr;
}

// ---- TCustomActionList ---------------------------------------------------------------------------

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomActionList::~TCustomActionList()
{
  Destroying();
  for (TContainedAction* action : FActions)
    action->FActionList = nullptr;
  FActions.clear();
}

void TCustomActionList::SetImages(TCustomImageList* Value)
{
  if (FImages == Value)
    return;
  if (FImages)
    RemoveFreeNotification(FImages);
  FImages = Value;
  if (Value)
    FreeNotification(Value);
  Change();
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action)
{
  bool handled = false;
  if (OnExecute)
    OnExecute(Action, handled);
  return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action)
{
  bool handled = false;
  if (OnUpdate)
    OnUpdate(Action, handled);
  return handled;
}

void TCustomActionList::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
  for (size_t i = 0; i < FActions.size(); ++i)
    if (FActions[i]->Owner() == Root)
      Proc(FActions[i]);
}

void TCustomActionList::Change()
{
  if (OnChange)
    OnChange(this);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages)
    SetImages(nullptr);
}

} // namespace Vcl
