#include "System.Classes.hpp"

#include <map>
#include <mutex>

namespace Vcl {

void ListIndexError(Integer Index)
{
  throw EListError(Format("List index out of bounds (%d)", {Index}));
}

// ---- TPersistent -------------------------------------------------------------

void TPersistent::Assign(const TPersistent* Source)
{
  if (!Source)
    AssignError(nullptr);
  Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) const
{
  Dest->AssignError(this);
}

void TPersistent::AssignError(const TPersistent* Source) const
{
  String sourceName = Source ? Source->ClassName() : String("nil");
  throw EConvertError(Format("Cannot assign a %s to a %s", {sourceName, ClassName()}));
}

// ---- TComponent ----------------------------------------------------------------

TComponent::TComponent(TComponent* AOwner)
{
  if (AOwner)
    AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
  Destroying();
  // Everyone who asked to be told hears of our removal and drops references.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    other->RemoveNotification(this);
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner)
    FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(Integer Index) const
{
  if (Index < 0 || Index >= ComponentCount())
    ListIndexError(Index);
  return FComponents[size_t(Index)];
}

Integer TComponent::ComponentIndex() const
{
  if (!FOwner)
    return -1;
  const auto& siblings = FOwner->FComponents;
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i] == this)
      return Integer(i);
  return -1;
}

TComponent* TComponent::FindComponent(const String& AName) const
{
  if (AName.empty())
    return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, AName))
      return c;
  return nullptr;
}

void TComponent::SetName(const String& NewName)
{
  if (FName == NewName)
    return;
  if (!NewName.empty() && !IsValidIdent(NewName))
    throw EComponentError(Format("'%s' is not a valid component name", {NewName}));
  if (FOwner)
    FOwner->ValidateRename(this, FName, NewName);
  else
    ValidateRename(nullptr, FName, NewName);
  FName = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName)
{
  (void)CurName;
  if (!AComponent || NewName.empty())
    return;
  TComponent* existing = FindComponent(NewName);
  if (existing && existing != AComponent)
    throw EComponentError(Format("A component named %s already exists", {NewName}));
}

void TComponent::InsertComponent(TComponent* AComponent)
{
  if (AComponent->FOwner)
    AComponent->FOwner->RemoveComponent(AComponent);
  ValidateRename(AComponent, String(), AComponent->FName);
  Insert(AComponent);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
  Notification(AComponent, opRemove);
  Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent)
{
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent)
{
  std::erase(FComponents, AComponent);
  AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents()
{
  // Last created goes first, as the framework does. Siblings hear of each
  // removal so that references between them are cleared before the delete.
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    RemoveComponent(c);
    delete c;
  }
}

void TComponent::Destroying()
{
  if (FComponentState.Contains(csDestroying))
    return;
  FComponentState.Include(csDestroying);
  for (TComponent* c : FComponents)
    c->Destroying();
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
  if (Operation == opRemove && AComponent)
    RemoveFreeNotification(AComponent);
  // Owned components hear about siblings coming and going; iterate by index
  // from the end since a handler may free components.
  for (size_t i = FComponents.size(); i-- > 0;) {
    if (i >= FComponents.size())
      continue;
    FComponents[i]->Notification(AComponent, Operation);
  }
}

void TComponent::FreeNotification(TComponent* AComponent)
{
  if (!AComponent || AComponent == this)
    return;
  if (FOwner && AComponent->FOwner == FOwner)
    return; // the common owner relays removals already
  if ((FComponentState + AComponent->FComponentState).Contains(csDestroying))
    return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(AComponent);
    AComponent->FreeNotification(this);
  }
  FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveNotification(TComponent* AComponent)
{
  std::erase(FFreeNotifies, AComponent);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
  RemoveNotification(AComponent);
  AComponent->RemoveNotification(this);
}

void TComponent::Loaded()
{
  FComponentState.Exclude(csLoading);
}

void TComponent::SetLoading(bool value)
{
  if (value)
    FComponentState.Include(csLoading);
  else
    FComponentState.Exclude(csLoading);
}

void TComponent::SetReading(bool value)
{
  if (value)
    FComponentState.Include(csReading);
  else
    FComponentState.Exclude(csReading);
}

void TComponent::SetDesigning(bool value, bool setChildren)
{
  if (value)
    FComponentState.Include(csDesigning);
  else
    FComponentState.Exclude(csDesigning);
  if (!setChildren)
    return;
  for (TComponent* c : FComponents)
    c->SetDesigning(value, true);
}

// ---- class registry ------------------------------------------------------------

namespace {

struct TRegistry {
  std::mutex Lock;
  std::map<String, const TClassInfo*> Classes; // upper-cased name -> class
};

TRegistry& Registry()
{
  static TRegistry registry;
  return registry;
}

} // namespace

void RegisterClassAlias(const TClassInfo& AClass, const String& Alias)
{
  auto& r = Registry();
  std::lock_guard guard(r.Lock);
  r.Classes[UpperCase(Alias)] = &AClass;
}

void RegisterClass(const TClassInfo& AClass)
{
  RegisterClassAlias(AClass, AClass.Name);
}

void UnRegisterClass(const TClassInfo& AClass)
{
  auto& r = Registry();
  std::lock_guard guard(r.Lock);
  std::erase_if(r.Classes, [&](const auto& entry) { return entry.second == &AClass; });
}

TClass GetClass(const String& AClassName)
{
  auto& r = Registry();
  std::lock_guard guard(r.Lock);
  auto it = r.Classes.find(UpperCase(AClassName));
  return it == r.Classes.end() ? nullptr : it->second;
}

TClass FindClass(const String& AClassName)
{
  TClass c = GetClass(AClassName);
  if (!c)
    throw EClassNotFound(Format("Class %s not found", {AClassName}));
  return c;
}

TComponent* CreateComponent(const TClassInfo& AClass, TComponent* AOwner)
{
  if (!AClass.CreateComponent)
    throw EClassNotFound(Format("Class %s is not a creatable component class", {String(AClass.Name)}));
  return static_cast<TComponent*>(AClass.CreateComponent(AOwner));
}

} // namespace Vcl
