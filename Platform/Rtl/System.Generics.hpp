// Typed lists with the framework's index checks: TList<T> holds values,
// TObjectList<T> holds pointers and may own (delete) them.
#pragma once

#include "System.SysUtils.hpp"

#include <algorithm>
#include <memory>

namespace Vcl {

[[noreturn]] void ListIndexError(Integer Index);

template <class T>
class TList {
public:
  TList() = default;
  virtual ~TList() = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;

  Integer Count() const { return Integer(FItems.size()); }
  const T& operator[](Integer Index) const { return FItems[Check(Index)]; }
  T& operator[](Integer Index) { return FItems[Check(Index)]; }
  const T& Items(Integer Index) const { return (*this)[Index]; }
  void SetItem(Integer Index, T Value) { FItems[Check(Index)] = std::move(Value); }
  const T& First() const { return (*this)[0]; }
  const T& Last() const { return (*this)[Count() - 1]; }

  Integer Add(T Value)
  {
    FItems.push_back(std::move(Value));
    return Count() - 1;
  }
  void Insert(Integer Index, T Value)
  {
    if (Index < 0 || Index > Count())
      ListIndexError(Index);
    FItems.insert(FItems.begin() + Index, std::move(Value));
  }
  virtual void Delete(Integer Index) { FItems.erase(FItems.begin() + Check(Index)); }
  Integer IndexOf(const T& Value) const
  {
    auto it = std::find(FItems.begin(), FItems.end(), Value);
    return it == FItems.end() ? -1 : Integer(it - FItems.begin());
  }
  bool Contains(const T& Value) const { return IndexOf(Value) >= 0; }
  Integer Remove(const T& Value)
  {
    Integer i = IndexOf(Value);
    if (i >= 0)
      Delete(i);
    return i;
  }
  // Takes the value out without the owning list deleting it.
  T Extract(const T& Value)
  {
    Integer i = IndexOf(Value);
    if (i < 0)
      return T();
    T v = std::move(FItems[i]);
    FItems.erase(FItems.begin() + i);
    return v;
  }
  void Exchange(Integer Index1, Integer Index2) { std::swap(FItems[Check(Index1)], FItems[Check(Index2)]); }
  void Move(Integer CurIndex, Integer NewIndex)
  {
    Check(CurIndex);
    Check(NewIndex);
    if (CurIndex == NewIndex)
      return;
    T v = std::move(FItems[CurIndex]);
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, std::move(v));
  }
  virtual void Clear()
  {
    while (Count() > 0)
      Delete(Count() - 1);
  }
  template <class Less>
  void Sort(Less less) { std::stable_sort(FItems.begin(), FItems.end(), less); }

  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

protected:
  Integer Check(Integer Index) const
  {
    if (Index < 0 || Index >= Count())
      ListIndexError(Index);
    return Index;
  }
  std::vector<T> FItems;
};

template <class T>
class TObjectList : public TList<T*> {
public:
  explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
  ~TObjectList() override { TObjectList::Clear(); }

  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  void Delete(Integer Index) override
  {
    T* item = this->FItems[this->Check(Index)];
    this->FItems.erase(this->FItems.begin() + Index);
    if (FOwnsObjects)
      delete item;
  }
  void Clear() override
  {
    while (this->Count() > 0)
      Delete(this->Count() - 1);
  }

private:
  bool FOwnsObjects;
};

} // namespace Vcl
