// The component model of the runtime: persistent objects, components with
// owners and free notifications, the class registry, lists, string lists,
// collections and streams.
#pragma once

#include "System.SysUtils.hpp"
#include "System.Generics.hpp"
#include "System.Streams.hpp"
#include "System.Classes.Thread.hpp"

#include <memory>

namespace Vcl {

class TFiler;

class TPersistent : public TObject {
  QX_CLASS(TPersistent, TObject)
public:
  // Copies Source into this object; when this class does not know the source,
  // the source is asked to AssignTo this object; failing both, EConvertError.
  virtual void Assign(const TPersistent* Source);
  virtual TPersistent* GetOwner() const { return nullptr; }
  virtual String GetNamePath() const { return ClassName(); }
  // Lets a class stream data that is not a plain published property.
  virtual void DefineProperties(TFiler* Filer) { (void)Filer; }

protected:
  virtual void AssignTo(TPersistent* Dest) const;
  [[noreturn]] void AssignError(const TPersistent* Source) const;
};

enum class TComponentStateFlag {
  csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating,
  csFixups, csFreeNotification, csInline, csDesignInstance
};
using TComponentState = TSet<TComponentStateFlag>;
using enum TComponentStateFlag;

enum class TOperation { opInsert, opRemove };
using enum TOperation;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
using enum TAlignment;
enum class TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
using enum TVerticalAlignment;

class TComponent : public TPersistent {
  QX_CLASS(TComponent, TPersistent)
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  TPersistent* GetOwner() const override { return FOwner; }
  const String& Name() const { return FName; }
  virtual void SetName(const String& NewName);
  TComponentState ComponentState() const { return FComponentState; }
  Integer Tag() const { return FTag; }
  void SetTag(Integer value) { FTag = value; }
  String GetNamePath() const override { return FName; }

  Integer ComponentCount() const { return Integer(FComponents.size()); }
  TComponent* Components(Integer Index) const;
  Integer ComponentIndex() const;
  TComponent* FindComponent(const String& AName) const;
  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  void DestroyComponents();

  // Asks to be told (Notification with opRemove) when AComponent is destroyed.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  // Marks the component as going away; derived destructors may call it first
  // so that their own teardown already sees csDestroying.
  void Destroying();

  // Loading state, driven by the form reader.
  virtual void Loaded();
  void SetLoading(bool value);
  void SetReading(bool value);
  // Marks a component read as 'inline' (a frame): it is the owner of what is
  // nested in it and is written back the same way.
  void SetInline(bool value);
  void SetDesigning(bool value, bool setChildren = true);

  // Owned components in creation order, for form writing and queries.
  const std::vector<TComponent*>& ComponentList() const { return FComponents; }

  // Form streaming: GetChildren names the components written nested inside
  // this one (by default, for the root, the owned components without a
  // parent); the reader hands each component the object it was nested in.
  using TGetChildProc = std::function<void(TComponent* Child)>;
  virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* Value) { (void)Value; }
  // Where a form designer shows a non-visual component: Left in the low and
  // Top in the high 16 bits, stored as "Left" and "Top".
  Integer DesignInfo() const { return FDesignInfo; }
  void SetDesignInfo(Integer Value) { FDesignInfo = Value; }
  void DefineProperties(TFiler* Filer) override;

protected:
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  virtual void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName);
  TComponentState FComponentState;

private:
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);
  void RemoveNotification(TComponent* AComponent);

  TComponent* FOwner = nullptr;
  String FName;
  Integer FTag = 0;
  Integer FDesignInfo = 0;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
};

using TComponentClass = const TClassInfo*;

// ---- class registry ----------------------------------------------------------------
// Registering makes a class creatable by name, as the form reader needs.
void RegisterClass(const TClassInfo& AClass);
void RegisterClassAlias(const TClassInfo& AClass, const String& Alias);
void UnRegisterClass(const TClassInfo& AClass);
TClass GetClass(const String& AClassName);   // nullptr when unknown
TClass FindClass(const String& AClassName);  // EClassNotFound when unknown
// Creates a registered component class with its owner.
TComponent* CreateComponent(const TClassInfo& AClass, TComponent* AOwner);

// ---- TStrings / TStringList -----------------------------------------------------------
enum class TDuplicates { dupIgnore, dupAccept, dupError };
using enum TDuplicates;

class TStrings : public TPersistent {
  QX_CLASS(TStrings, TPersistent)
public:
  virtual Integer Count() const = 0;
  virtual String Get(Integer Index) const = 0;
  virtual void Put(Integer Index, const String& S);
  virtual TObject* GetObject(Integer Index) const;
  virtual void PutObject(Integer Index, TObject* AObject);
  virtual void Clear() = 0;
  virtual void Delete(Integer Index) = 0;
  virtual void Insert(Integer Index, const String& S) = 0;
  virtual void InsertObject(Integer Index, const String& S, TObject* AObject);
  virtual Integer Add(const String& S);
  virtual Integer AddObject(const String& S, TObject* AObject);
  void AddStrings(const TStrings* Strings);
  virtual Integer IndexOf(const String& S) const;
  Integer IndexOfName(const String& Name) const;
  Integer IndexOfObject(const TObject* AObject) const;
  virtual void Move(Integer CurIndex, Integer NewIndex);
  virtual void Exchange(Integer Index1, Integer Index2);

  String operator[](Integer Index) const { return Get(Index); }
  String Strings(Integer Index) const { return Get(Index); }
  TObject* Objects(Integer Index) const { return GetObject(Index); }

  // Lines joined with line feeds (each line terminated); setting splits on
  // CR, LF or CR LF.
  virtual String Text() const;
  virtual void SetText(const String& Value);
  // Comma-separated, items with blanks, commas or quotes double-quoted.
  String CommaText() const;
  void SetCommaText(const String& Value);
  String DelimitedText(char Delimiter, char QuoteChar) const;
  void SetDelimitedText(const String& Value, char Delimiter, char QuoteChar);
  String Names(Integer Index) const;
  String ValueFromIndex(Integer Index) const;
  String Values(const String& Name) const;
  void SetValues(const String& Name, const String& Value);

  void BeginUpdate();
  void EndUpdate();
  Integer UpdateCount() const { return FUpdateCount; }
  void Assign(const TPersistent* Source) override;
  bool Equals(const TStrings* Strings) const;
  // Streams the lines as the list property "Strings".
  void DefineProperties(TFiler* Filer) override;

  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream) const;
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName) const;

  bool CaseSensitive() const { return FCaseSensitive; }
  virtual void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }

protected:
  virtual void SetUpdateState(bool Updating) { (void)Updating; }
  virtual int CompareStrings(const String& S1, const String& S2) const;
  [[noreturn]] void Error(const String& Msg, Integer Data) const;
  bool FCaseSensitive = false;

private:
  Integer FUpdateCount = 0;
};

class TStringList : public TStrings {
  QX_CLASS(TStringList, TStrings)
public:
  TStringList() = default;
  explicit TStringList(bool OwnsObjects) : FOwnsObjects(OwnsObjects) {}
  ~TStringList() override;

  Integer Count() const override { return Integer(FList.size()); }
  String Get(Integer Index) const override;
  void Put(Integer Index, const String& S) override;
  TObject* GetObject(Integer Index) const override;
  void PutObject(Integer Index, TObject* AObject) override;
  void Clear() override;
  void Delete(Integer Index) override;
  void Insert(Integer Index, const String& S) override;
  void InsertObject(Integer Index, const String& S, TObject* AObject) override;
  Integer Add(const String& S) override { return AddObject(S, nullptr); }
  Integer AddObject(const String& S, TObject* AObject) override;
  Integer IndexOf(const String& S) const override;
  void Exchange(Integer Index1, Integer Index2) override;
  void Move(Integer CurIndex, Integer NewIndex) override;
  // Binary search of a sorted list: true and the index when found, else false
  // and the insertion index.
  bool Find(const String& S, Integer& Index) const;
  void Sort();
  void CustomSort(const std::function<int(TStringList*, Integer, Integer)>& Compare);

  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }
  void SetCaseSensitive(bool Value) override;

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  void SetUpdateState(bool Updating) override;
  virtual void Changed();
  virtual void Changing();

private:
  struct TItem {
    String S;
    TObject* Object = nullptr;
  };
  void CheckIndex(Integer Index) const;
  void InsertItem(Integer Index, const String& S, TObject* AObject);
  void SortRange(Integer L, Integer R, const std::function<int(Integer, Integer)>& Compare);

  std::vector<TItem> FList;
  bool FSorted = false;
  bool FOwnsObjects = false;
  TDuplicates FDuplicates = dupIgnore;
};

// ---- collections -----------------------------------------------------------------------
class TCollection;

enum class TCollectionNotification { cnAdded, cnExtracting, cnDeleting };
using enum TCollectionNotification;

class TCollectionItem : public TPersistent {
  QX_CLASS(TCollectionItem, TPersistent)
public:
  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return FCollection; }
  void SetCollection(TCollection* Value);
  Integer ID() const { return FID; }
  Integer Index() const;
  virtual void SetIndex(Integer Value);
  virtual String DisplayName() const;
  virtual void SetDisplayName(const String& Value) { (void)Value; Changed(false); }
  TPersistent* GetOwner() const override;
  String GetNamePath() const override;

protected:
  // Tells the collection that this item (or, with AllItems, all) changed.
  void Changed(bool AllItems);

private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  Integer FID = 0;
};

using TCollectionItemClass = const TClassInfo*;

class TCollection : public TPersistent {
  QX_CLASS(TCollection, TPersistent)
public:
  explicit TCollection(TCollectionItemClass ItemClass);
  ~TCollection() override;

  TCollectionItem* Add();
  TCollectionItem* Insert(Integer Index);
  void Delete(Integer Index);
  void Clear();
  void Exchange(Integer Index1, Integer Index2);
  TCollectionItem* FindItemID(Integer ID) const;
  Integer Count() const { return Integer(FItems.size()); }
  TCollectionItem* Items(Integer Index) const;
  TCollectionItem* operator[](Integer Index) const { return Items(Index); }
  TCollectionItemClass ItemClass() const { return FItemClass; }
  Integer NextID() const { return FNextID; }

  virtual void BeginUpdate();
  virtual void EndUpdate();
  Integer UpdateCount() const { return FUpdateCount; }
  void Assign(const TPersistent* Source) override;
  String GetNamePath() const override;
  // The property name under which the owner publishes this collection.
  String PropName() const { return FPropName; }
  void SetPropName(const String& Value) { FPropName = Value; }

protected:
  // Called after a change: Item is the changed item, or nullptr for the whole
  // collection. Owners override it (or Notify) to react.
  virtual void Update(TCollectionItem* Item) { (void)Item; }
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action) { (void)Item; (void)Action; }
  void Changed();

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);
  void MoveItem(TCollectionItem* Item, Integer NewIndex);
  void ItemChanged(TCollectionItem* Item);

  TCollectionItemClass FItemClass;
  std::vector<TCollectionItem*> FItems;
  Integer FUpdateCount = 0;
  Integer FNextID = 0;
  String FPropName;
};

// A collection that reports its owner persistent (for name paths and
// form streaming).
class TOwnedCollection : public TCollection {
  QX_CLASS(TOwnedCollection, TCollection)
public:
  TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
    : TCollection(ItemClass), FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }

private:
  TPersistent* FOwner;
};

} // namespace Vcl
