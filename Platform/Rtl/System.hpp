// Basic types of the runtime: integer aliases, UTF-8 strings, sets over
// enumerations, TObject and the metaclass record that lets a class be found
// and created by name.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

namespace Vcl {

using String = std::string;
using Integer = std::int32_t;
using Cardinal = std::uint32_t;
using Byte = std::uint8_t;
using Word = std::uint16_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using NativeInt = std::intptr_t;
using NativeUInt = std::uintptr_t;
using TBytes = std::vector<std::uint8_t>;

// A set over an enumeration whose ordinals are below 64, like a Pascal set.
template <class E>
class TSet {
public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> items)
  {
    for (E e : items)
      FBits |= Bit(e);
  }
  static constexpr TSet FromBits(std::uint64_t bits) { TSet s; s.FBits = bits; return s; }

  constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr std::uint64_t Bits() const { return FBits; }
  constexpr TSet& Include(E e) { FBits |= Bit(e); return *this; }
  constexpr TSet& Exclude(E e) { FBits &= ~Bit(e); return *this; }

  constexpr TSet operator+(TSet o) const { return FromBits(FBits | o.FBits); }
  constexpr TSet operator-(TSet o) const { return FromBits(FBits & ~o.FBits); }
  constexpr TSet operator*(TSet o) const { return FromBits(FBits & o.FBits); }
  constexpr TSet& operator+=(TSet o) { FBits |= o.FBits; return *this; }
  constexpr TSet& operator-=(TSet o) { FBits &= ~o.FBits; return *this; }
  constexpr bool operator==(const TSet&) const = default;

private:
  static constexpr std::uint64_t Bit(E e) { return std::uint64_t(1) << static_cast<unsigned>(e); }
  std::uint64_t FBits = 0;
};

class TObject;
class TComponent;
class TCollection;
class TPropertyTable;

// The metaclass: name, parent and, for concrete classes, a factory. Component
// classes are created with their owner, collection items with their collection,
// other classes with a default constructor (graphics) without arguments.
struct TClassInfo {
  const char* Name;
  const TClassInfo* Parent;
  TObject* (*CreateComponent)(TComponent* owner);
  TObject* (*CreateItem)(TCollection* collection);
  TObject* (*CreateObject)();
  // The published properties this class itself declares (ancestors keep
  // their own); filled in by the registration in System.TypInfo.
  mutable const TPropertyTable* Properties = nullptr;

  bool InheritsFrom(const TClassInfo& other) const
  {
    for (const TClassInfo* c = this; c; c = c->Parent)
      if (c == &other)
        return true;
    return false;
  }
};

using TClass = const TClassInfo*;

template <class T>
TClassInfo MakeClassInfo(const char* name, const TClassInfo* parent)
{
  TClassInfo info{name, parent, nullptr, nullptr, nullptr};
  if constexpr (!std::is_abstract_v<T> && std::is_base_of_v<TComponent, T> &&
                std::is_constructible_v<T, TComponent*>)
    info.CreateComponent = [](TComponent* owner) -> TObject* { return new T(owner); };
  if constexpr (!std::is_abstract_v<T> && !std::is_base_of_v<TComponent, T> &&
                std::is_constructible_v<T, TCollection*>)
    info.CreateItem = [](TCollection* collection) -> TObject* { return new T(collection); };
  if constexpr (!std::is_abstract_v<T> && !std::is_base_of_v<TComponent, T> &&
                std::is_default_constructible_v<T>)
    info.CreateObject = []() -> TObject* { return new T(); };
  return info;
}

// Declares the metaclass of a class; write it first in the class body.
#define QX_CLASS(Class, Parent)                                                              \
public:                                                                                     \
  using inherited = Parent;                                                                 \
  static const ::Vcl::TClassInfo& StaticClass()                                              \
  {                                                                                         \
    static const ::Vcl::TClassInfo info = ::Vcl::MakeClassInfo<Class>(#Class, &Parent::StaticClass()); \
    return info;                                                                            \
  }                                                                                         \
  const ::Vcl::TClassInfo& ClassType() const override { return StaticClass(); }             \
                                                                                            \
private:

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static const TClassInfo& StaticClass()
  {
    static const TClassInfo info{"TObject", nullptr, nullptr, nullptr, nullptr};
    return info;
  }
  virtual const TClassInfo& ClassType() const { return StaticClass(); }
  String ClassName() const { return ClassType().Name; }
  bool InheritsFrom(const TClassInfo& other) const { return ClassType().InheritsFrom(other); }
  template <class T>
  bool Is() const { return InheritsFrom(T::StaticClass()); }
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

} // namespace Vcl
