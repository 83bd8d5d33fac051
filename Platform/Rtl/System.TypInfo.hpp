// Published properties: per class, the properties a form resource stores,
// with their kind, accessors, default and stored predicate, declared in a
// few lines beside the class:
//
//   QX_PUBLISHED(TMyPanel)
//   {
//     Property("Caption", &T::Caption, &T::SetCaption);
//     Property("Width", &T::Width, &T::SetWidth).Default(100);
//     Property("Color", &T::Color, &T::SetColor).As(pkColor).Default(clBtnFace);
//     Property("Font", &T::Font, &T::SetFont);
//     Event("OnClick", &T::OnClick);
//   }
//
// A base class may declare properties it leaves unpublished (.Protected());
// a descendant then publishes them by name, optionally with its own
// default: Publish("Color").Default(clWindow).
//
// Names of enumeration values come from QX_ENUM_NAMES beside the enum;
// colour and cursor identifiers from the mappings registered with
// RegisterIntegerConsts under "TColor" and "TCursor".
#pragma once

#include "System.Classes.hpp"

#include <any>
#include <concepts>
#include <deque>
#include <limits>
#include <optional>
#include <span>
#include <variant>

namespace Vcl {

enum class TPropKind {
  pkInteger, pkInt64, pkFloat, pkBoolean, pkEnumeration, pkSet, pkString, pkColor, pkCursor,
  pkClass, pkComponent, pkCollection, pkEvent, pkBinary
};
using enum TPropKind;

// ---- enumeration names -------------------------------------------------------------
struct TEnumTypeInfo {
  String Name;
  std::vector<String> Names; // by ordinal
  // The ordinal of Ident (case-insensitive), or -1.
  Integer IndexOf(const String& Ident) const;
};

// Splits "a, b, c" (the stringised value list of QX_ENUM_NAMES).
TEnumTypeInfo MakeEnumTypeInfo(const char* TypeName, const char* CommaSeparatedNames);

// Names the values of an enumeration, in ordinal order; write it in the
// enumeration's namespace.
#define QX_ENUM_NAMES(Enum, ...)                                                               \
  inline const ::Vcl::TEnumTypeInfo& QxEnumTypeInfo(Enum*)                                     \
  {                                                                                            \
    static const ::Vcl::TEnumTypeInfo info = ::Vcl::MakeEnumTypeInfo(#Enum, #__VA_ARGS__);     \
    return info;                                                                               \
  }

QX_ENUM_NAMES(TAlignment, taLeftJustify, taRightJustify, taCenter)
QX_ENUM_NAMES(TVerticalAlignment, taAlignTop, taAlignBottom, taVerticalCenter)

template <class E>
concept NamedEnum = std::is_enum_v<E> && requires(E* e) {
  { QxEnumTypeInfo(e) } -> std::same_as<const TEnumTypeInfo&>;
};

template <NamedEnum E>
const TEnumTypeInfo& EnumTypeInfo()
{
  return QxEnumTypeInfo(static_cast<E*>(nullptr));
}

// ---- identifiers of integer values (colours, cursors) ---------------------------------
using TIdentToInt = std::function<bool(const String& Ident, Integer& Value)>;
using TIntToIdent = std::function<bool(Integer Value, String& Ident)>;

// Colour properties use the mapping registered as "TColor", cursor properties
// the one registered as "TCursor"; a later registration replaces an earlier.
void RegisterIntegerConsts(const String& TypeName, TIdentToInt IdentToInt, TIntToIdent IntToIdent);

// A fixed table of identifiers (names matched case-insensitively); the table
// must outlive the registration (a constant array does).
struct TIdentMapEntry {
  Integer Value;
  const char* Name;
};
void RegisterIntegerConsts(const String& TypeName, std::span<const TIdentMapEntry> Map);
bool IdentToIntOf(const String& TypeName, const String& Ident, Integer& Value);
bool IntToIdentOf(const String& TypeName, Integer Value, String& Ident);

// ---- methods bound by name -----------------------------------------------------------------
// A handler that remembers the method name it was bound by, so that the
// writer can store the event; handlers assigned as plain callables are not
// stored.
template <class Sig>
struct TNamedMethod;
template <class R, class... A>
struct TNamedMethod<R(A...)> {
  String Name;
  std::function<R(A...)> Handler;
  R operator()(A... args) const { return Handler(std::forward<A>(args)...); }
};

template <class Sig>
std::function<Sig> MethodBind(const String& Name, std::function<Sig> Handler)
{
  return TNamedMethod<Sig>{Name, std::move(Handler)};
}

// The host's methods by name, which events in a form resource refer to.
class TMethodTable {
public:
  template <class Sig>
  void Add(const String& Name, std::function<Sig> Handler)
  {
    FMethods.push_back({Name, std::any(std::move(Handler))});
  }
  const std::any* Find(const String& Name) const;

private:
  struct TEntry {
    String Name;
    std::any Handler;
  };
  std::vector<TEntry> FMethods;
};

// ---- property records ------------------------------------------------------------------
// Ordinal kinds travel as Int64 (sets as their bit mask), floats as double,
// strings, object references and binary data as themselves; events as the
// bound method's name.
using TPropValue = std::variant<Int64, double, String, TObject*, TBytes>;

struct TPropInfo {
  String Name;
  TPropKind Kind = pkInteger;
  String TypeName;                          // for integer identifiers, enumerations and sets
  const TEnumTypeInfo* EnumInfo = nullptr;  // enumerations and set elements
  const TClassInfo* PropClass = nullptr;    // class, component and collection kinds
  Int64 MinValue = 0;                       // ordinal range
  Int64 MaxValue = 0;
  std::function<TPropValue(const TObject*)> Get;
  std::function<void(TObject*, const TPropValue&)> Set; // empty: changed in place only
  // Events: false when Handler is not of the event's type.
  std::function<bool(TObject*, const String& MethodName, const std::any* Handler)> BindMethod;
  // Events: the handler itself (a std::function of the event's type), named
  // or not, to be put back as it was.
  std::function<std::any(const TObject*)> GetHandler;
  std::function<void(TObject*, const std::any& Handler)> SetHandler;
  std::optional<TPropValue> Default;
  std::function<bool(const TObject*)> Stored;
  bool Published = true;
  // A place among the siblings (a tab order): a read sets it once the
  // parent's children are all read, lowest first, so that the result does
  // not depend on the order they were created in.
  bool SiblingOrder = false;

  bool IsStored(const TObject* Instance) const { return !Stored || Stored(Instance); }
  bool IsDefault(const TObject* Instance) const { return Default && Get(Instance) == *Default; }
};

class TPropertyTable {
public:
  std::deque<TPropInfo> Props; // stable addresses
};

// Published properties of the class and its ancestors, ancestors' first; a
// redeclaration replaces the ancestor's record in its place.
std::vector<const TPropInfo*> GetPropList(const TClassInfo& Class);
// Nearest published declaration of Name (case-insensitive) along the class
// chain, or nullptr.
const TPropInfo* GetPropInfo(const TClassInfo& Class, const String& Name);
// Nearest declaration, published or not.
const TPropInfo* FindPropDeclaration(const TClassInfo& Class, const String& Name);
void LinkPropertyTable(const TClassInfo& Class, const TPropertyTable* Table);

// ---- declaring properties ----------------------------------------------------------------
namespace TypInfoDetail {

template <class V>
struct IsSet : std::false_type {};
template <class E>
struct IsSet<TSet<E>> : std::true_type {
  using Element = E;
};

template <class>
inline constexpr bool AlwaysFalse = false;

template <class V>
constexpr TPropKind KindOf()
{
  if constexpr (std::is_same_v<V, bool>)
    return pkBoolean;
  else if constexpr (IsSet<V>::value)
    return pkSet;
  else if constexpr (NamedEnum<V>)
    return pkEnumeration;
  else if constexpr (std::is_enum_v<V> || std::is_integral_v<V>)
    return sizeof(V) > sizeof(Integer) ? pkInt64 : pkInteger;
  else if constexpr (std::is_floating_point_v<V>)
    return pkFloat;
  else if constexpr (std::is_same_v<V, String>)
    return pkString;
  else if constexpr (std::is_same_v<V, TBytes>)
    return pkBinary;
  else if constexpr (std::is_pointer_v<V> && std::is_base_of_v<TCollection, std::remove_pointer_t<V>>)
    return pkCollection;
  else if constexpr (std::is_pointer_v<V> && std::is_base_of_v<TComponent, std::remove_pointer_t<V>>)
    return pkComponent;
  else if constexpr (std::is_pointer_v<V> && std::is_base_of_v<TPersistent, std::remove_pointer_t<V>>)
    return pkClass;
  else
    static_assert(AlwaysFalse<V>, "type cannot be published");
}

template <class V>
TPropValue ToValue(const V& v)
{
  if constexpr (IsSet<V>::value)
    return Int64(v.Bits());
  else if constexpr (std::is_enum_v<V> || std::is_integral_v<V>)
    return Int64(v);
  else if constexpr (std::is_floating_point_v<V>)
    return double(v);
  else if constexpr (std::is_pointer_v<V>)
    return static_cast<TObject*>(const_cast<std::remove_const_t<std::remove_pointer_t<V>>*>(v));
  else
    return v;
}

template <class V>
V FromValue(const TPropValue& value)
{
  if constexpr (IsSet<V>::value)
    return V::FromBits(std::uint64_t(std::get<Int64>(value)));
  else if constexpr (std::is_same_v<V, bool>)
    return std::get<Int64>(value) != 0;
  else if constexpr (std::is_enum_v<V> || std::is_integral_v<V>)
    return static_cast<V>(std::get<Int64>(value));
  else if constexpr (std::is_floating_point_v<V>)
    return static_cast<V>(std::get<double>(value));
  else if constexpr (std::is_pointer_v<V>)
    return dynamic_cast<V>(std::get<TObject*>(value));
  else
    return std::get<V>(value);
}

// Fills in what the value type tells: kind, names, class and range.
template <class V>
void Describe(TPropInfo& info)
{
  info.Kind = KindOf<V>();
  if constexpr (IsSet<V>::value) {
    info.EnumInfo = &EnumTypeInfo<typename IsSet<V>::Element>();
    info.TypeName = info.EnumInfo->Name;
    info.MaxValue = (Int64(1) << info.EnumInfo->Names.size()) - 1;
  } else if constexpr (NamedEnum<V>) {
    info.EnumInfo = &EnumTypeInfo<V>();
    info.TypeName = info.EnumInfo->Name;
    info.MaxValue = Int64(info.EnumInfo->Names.size()) - 1;
  } else if constexpr (std::is_same_v<V, bool>) {
    info.MaxValue = 1;
  } else if constexpr (std::is_enum_v<V> || std::is_integral_v<V>) {
    using U = std::conditional_t<std::is_enum_v<V>, std::underlying_type<V>, std::type_identity<V>>;
    using N = typename U::type;
    info.MinValue = Int64(std::numeric_limits<N>::min());
    if constexpr (sizeof(N) >= sizeof(Int64) && std::is_unsigned_v<N>)
      info.MaxValue = std::numeric_limits<Int64>::max();
    else
      info.MaxValue = Int64(std::numeric_limits<N>::max());
  } else if constexpr (std::is_pointer_v<V>) {
    info.PropClass = &std::remove_pointer_t<V>::StaticClass();
  }
  // Strings, floats, references and binary data have the framework's implicit
  // defaults; ordinals are always stored unless a default is given.
  if constexpr (std::is_same_v<V, String> || std::is_floating_point_v<V> || std::is_same_v<V, TBytes> ||
                std::is_base_of_v<TComponent, std::remove_pointer_t<V>>)
    info.Default = ToValue(V{});
}

} // namespace TypInfoDetail

// Refines the property just declared.
class TPropBuilder {
public:
  explicit TPropBuilder(TPropInfo& Info) : FInfo(Info) {}

  template <class V>
  TPropBuilder& Default(const V& Value)
  {
    if constexpr (std::is_convertible_v<V, String> && !std::is_same_v<V, std::nullptr_t>)
      FInfo.Default = String(Value);
    else
      FInfo.Default = TypInfoDetail::ToValue(Value);
    if (FInfo.Kind == pkFloat && std::holds_alternative<Int64>(*FInfo.Default))
      FInfo.Default = double(std::get<Int64>(*FInfo.Default));
    return *this;
  }
  // An integer property shown by identifiers: pkColor or pkCursor.
  TPropBuilder& As(TPropKind Kind);
  // An integer property whose values may have the identifiers registered
  // under TypeName (RegisterIntegerConsts).
  TPropBuilder& Idents(const String& TypeName);
  TPropBuilder& Stored(bool Value);
  TPropBuilder& StoredWhen(std::function<bool(const TObject*)> Predicate);
  // Declared for descendants to publish, not published here.
  TPropBuilder& Protected();
  TPropBuilder& SiblingOrder();
  template <class B>
  TPropBuilder& Stored(bool (B::*Predicate)() const)
  {
    FInfo.Stored = [Predicate](const TObject* o) { return (static_cast<const B*>(o)->*Predicate)(); };
    return *this;
  }

private:
  TPropInfo& FInfo;
};

template <class C>
class TPublisher {
protected:
  using T = C;
  TPublisher()
  {
    LinkPropertyTable(C::StaticClass(), &FTable);
    RegisterClass(C::StaticClass());
  }
  TPublisher(const TPublisher&) = delete;
  TPublisher& operator=(const TPublisher&) = delete;

  // Setter may be nullptr for a sub-object that is changed in place.
  template <class B, class R, class S>
  TPropBuilder Property(const char* Name, R (B::*Getter)() const, S Setter)
  {
    using V = std::remove_cvref_t<R>;
    TPropInfo& info = FTable.Props.emplace_back();
    info.Name = Name;
    TypInfoDetail::Describe<V>(info);
    info.Get = [Getter](const TObject* o) { return TypInfoDetail::ToValue<V>((static_cast<const B*>(o)->*Getter)()); };
    if constexpr (!std::is_same_v<S, std::nullptr_t>)
      info.Set = [Setter](TObject* o, const TPropValue& v) { SetThrough(static_cast<C*>(o), Setter, v); };
    return TPropBuilder(info);
  }

  // Publishes a property an ancestor declared.
  TPropBuilder Publish(const char* Name)
  {
    const TPropInfo* declared = C::StaticClass().Parent ? FindPropDeclaration(*C::StaticClass().Parent, Name) : nullptr;
    QX_ASSERT(declared, "System.TypInfo");
    TPropInfo& info = FTable.Props.emplace_back(*declared);
    info.Published = true;
    return TPropBuilder(info);
  }

  template <class B, class Sig>
  TPropBuilder Event(const char* Name, std::function<Sig> B::*Member)
  {
    return AddEvent<Sig>(
      Name, [Member](const TObject* o) { return static_cast<const B*>(o)->*Member; },
      [Member](TObject* o, std::function<Sig> handler) { static_cast<B*>(o)->*Member = std::move(handler); });
  }

  // An event behind a getter and a setter.
  template <class B, class Sig, class B2>
  TPropBuilder Event(const char* Name, std::function<Sig> (B::*Getter)() const,
                     void (B2::*Setter)(std::function<Sig>))
  {
    return AddEvent<Sig>(
      Name, [Getter](const TObject* o) { return (static_cast<const B*>(o)->*Getter)(); },
      [Setter](TObject* o, std::function<Sig> handler) { (static_cast<C*>(o)->*Setter)(std::move(handler)); });
  }

private:
  template <class Sig>
  TPropBuilder AddEvent(const char* Name, std::function<std::function<Sig>(const TObject*)> Get,
                        std::function<void(TObject*, std::function<Sig>)> Set)
  {
    TPropInfo& info = FTable.Props.emplace_back();
    info.Name = Name;
    info.Kind = pkEvent;
    info.Default = String();
    info.Get = [Get](const TObject* o) -> TPropValue {
      std::function<Sig> event = Get(o);
      const auto* named = event.template target<TNamedMethod<Sig>>();
      return named ? named->Name : String();
    };
    info.BindMethod = [Set](TObject* o, const String& MethodName, const std::any* Handler) {
      if (!Handler) {
        Set(o, nullptr);
        return true;
      }
      const auto* fn = std::any_cast<std::function<Sig>>(Handler);
      if (!fn)
        return false;
      Set(o, MethodBind<Sig>(MethodName, *fn));
      return true;
    };
    info.GetHandler = [Get](const TObject* o) { return std::any(Get(o)); };
    info.SetHandler = [Set](TObject* o, const std::any& Handler) { Set(o, std::any_cast<std::function<Sig>>(Handler)); };
    return TPropBuilder(info);
  }

  template <class B, class A>
  static void SetThrough(C* o, void (B::*Setter)(A), const TPropValue& v)
  {
    (o->*Setter)(TypInfoDetail::FromValue<std::remove_cvref_t<A>>(v));
  }

  TPropertyTable FTable;
};

// Declares the published properties of Class; follow it with a body of
// Property(...) and Event(...) lines. Also registers the class by name.
#define QX_PUBLISHED(Class)                                                                    \
  namespace {                                                                                  \
  struct QxPublished_##Class : ::Vcl::TPublisher<Class> {                                      \
    QxPublished_##Class();                                                                     \
  };                                                                                           \
  const QxPublished_##Class QxPublishedInstance_##Class;                                       \
  }                                                                                            \
  QxPublished_##Class::QxPublished_##Class()

} // namespace Vcl
