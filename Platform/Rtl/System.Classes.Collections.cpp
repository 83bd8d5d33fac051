#include "System.Classes.hpp"
#include "System.ScopeGuards.hpp"

namespace Vcl {

// ---- TCollectionItem ---------------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* Collection)
{
  SetCollection(Collection);
}

TCollectionItem::~TCollectionItem()
{
  if (FCollection)
    FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value)
{
  if (FCollection == Value)
    return;
  if (FCollection)
    FCollection->RemoveItem(this);
  if (Value)
    Value->InsertItem(this);
}

Integer TCollectionItem::Index() const
{
  if (!FCollection)
    return -1;
  const auto& items = FCollection->FItems;
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i] == this)
      return Integer(i);
  return -1;
}

void TCollectionItem::SetIndex(Integer Value)
{
  if (FCollection && Value != Index())
    FCollection->MoveItem(this, Value);
}

String TCollectionItem::DisplayName() const
{
  return ClassName();
}

TPersistent* TCollectionItem::GetOwner() const
{
  return FCollection;
}

String TCollectionItem::GetNamePath() const
{
  if (!FCollection)
    return ClassName();
  return Format("%s[%d]", {FCollection->GetNamePath(), Index()});
}

void TCollectionItem::Changed(bool AllItems)
{
  if (!FCollection || FCollection->FUpdateCount != 0)
    return;
  FCollection->ItemChanged(AllItems ? nullptr : this);
}

// ---- TCollection ------------------------------------------------------------------------

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(ItemClass)
{
  if (!FItemClass || !FItemClass->CreateItem)
    throw EInvalidOperation("Collection item class cannot be created");
}

TCollection::~TCollection()
{
  FUpdateCount = 1; // no change notifications while tearing down
  while (!FItems.empty())
    delete FItems.back();
}

TCollectionItem* TCollection::Add()
{
  return static_cast<TCollectionItem*>(FItemClass->CreateItem(this));
}

TCollectionItem* TCollection::Insert(Integer Index)
{
  if (Index < 0 || Index > Count())
    ListIndexError(Index);
  TCollectionItem* item = Add();
  item->SetIndex(Index);
  return item;
}

void TCollection::Delete(Integer Index)
{
  TCollectionItem* item = Items(Index);
  Notify(item, cnDeleting);
  delete item;
}

void TCollection::Clear()
{
  if (FItems.empty())
    return;
  const TUpdateScope update(*this);
  while (!FItems.empty())
    delete FItems.back();
}

void TCollection::Exchange(Integer Index1, Integer Index2)
{
  Items(Index1);
  Items(Index2);
  std::swap(FItems[size_t(Index1)], FItems[size_t(Index2)]);
  Changed();
}

TCollectionItem* TCollection::FindItemID(Integer ID) const
{
  for (TCollectionItem* item : FItems)
    if (item->FID == ID)
      return item;
  return nullptr;
}

TCollectionItem* TCollection::Items(Integer Index) const
{
  if (Index < 0 || Index >= Count())
    ListIndexError(Index);
  return FItems[size_t(Index)];
}

void TCollection::BeginUpdate()
{
  ++FUpdateCount;
}

void TCollection::EndUpdate()
{
  if (FUpdateCount == 0)
    return;
  if (--FUpdateCount == 0)
    Changed();
}

void TCollection::Changed()
{
  if (FUpdateCount == 0)
    Update(nullptr);
}

void TCollection::ItemChanged(TCollectionItem* Item)
{
  if (FUpdateCount == 0)
    Update(Item);
}

void TCollection::InsertItem(TCollectionItem* Item)
{
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
  Notify(Item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item)
{
  Notify(Item, cnExtracting);
  std::erase(FItems, Item);
  Item->FCollection = nullptr;
  Changed();
}

void TCollection::MoveItem(TCollectionItem* Item, Integer NewIndex)
{
  Integer cur = Item->Index();
  if (NewIndex < 0)
    NewIndex = 0;
  if (NewIndex >= Count())
    NewIndex = Count() - 1;
  if (cur == NewIndex)
    return;
  FItems.erase(FItems.begin() + cur);
  FItems.insert(FItems.begin() + NewIndex, Item);
  Changed();
}

void TCollection::Assign(const TPersistent* Source)
{
  const auto* src = dynamic_cast<const TCollection*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  if (src == this)
    return;
  const TUpdateScope update(*this);
  Clear();
  for (TCollectionItem* item : src->FItems)
    Add()->Assign(item);
}

String TCollection::GetNamePath() const
{
  TPersistent* owner = GetOwner();
  if (!owner)
    return ClassName();
  String path = owner->GetNamePath();
  if (path.empty() || FPropName.empty())
    return ClassName();
  return path + "." + FPropName;
}

} // namespace Vcl
