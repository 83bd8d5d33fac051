#include "System.TypInfo.hpp"

#include <algorithm>
#include <map>
#include <mutex>

namespace Vcl {

Integer TEnumTypeInfo::IndexOf(const String& Ident) const
{
  for (size_t i = 0; i < Names.size(); ++i)
    if (SameText(Names[i], Ident))
      return Integer(i);
  return -1;
}

TEnumTypeInfo MakeEnumTypeInfo(const char* TypeName, const char* CommaSeparatedNames)
{
  TEnumTypeInfo info{TypeName, {}};
  String name;
  for (const char* p = CommaSeparatedNames;; ++p) {
    if (*p == ',' || *p == '\0') {
      info.Names.push_back(Trim(name));
      name.clear();
      if (*p == '\0')
        break;
      continue;
    }
    name += *p;
  }
  return info;
}

// ---- integer identifiers -------------------------------------------------------------

namespace {

struct TIntegerConsts {
  TIdentToInt IdentToInt;
  TIntToIdent IntToIdent;
};

struct TIntegerConstsRegistry {
  std::mutex Lock;
  std::map<String, TIntegerConsts> Types; // upper-cased type name
};

TIntegerConstsRegistry& IntegerConsts()
{
  static TIntegerConstsRegistry registry;
  return registry;
}

std::optional<TIntegerConsts> FindIntegerConsts(const String& TypeName)
{
  auto& r = IntegerConsts();
  std::lock_guard guard(r.Lock);
  auto it = r.Types.find(UpperCase(TypeName));
  if (it == r.Types.end())
    return std::nullopt;
  return it->second;
}

} // namespace

void RegisterIntegerConsts(const String& TypeName, TIdentToInt IdentToInt, TIntToIdent IntToIdent)
{
  auto& r = IntegerConsts();
  std::lock_guard guard(r.Lock);
  r.Types[UpperCase(TypeName)] = {std::move(IdentToInt), std::move(IntToIdent)};
}

bool IdentToIntOf(const String& TypeName, const String& Ident, Integer& Value)
{
  auto consts = FindIntegerConsts(TypeName);
  return consts && consts->IdentToInt && consts->IdentToInt(Ident, Value);
}

bool IntToIdentOf(const String& TypeName, Integer Value, String& Ident)
{
  auto consts = FindIntegerConsts(TypeName);
  return consts && consts->IntToIdent && consts->IntToIdent(Value, Ident);
}

void RegisterIntegerConsts(const String& TypeName, std::span<const TIdentMapEntry> Map)
{
  RegisterIntegerConsts(
    TypeName,
    [Map](const String& Ident, Integer& Value) {
      for (const TIdentMapEntry& e : Map)
        if (SameText(e.Name, Ident)) {
          Value = e.Value;
          return true;
        }
      return false;
    },
    [Map](Integer Value, String& Ident) {
      for (const TIdentMapEntry& e : Map)
        if (e.Value == Value) {
          Ident = e.Name;
          return true;
        }
      return false;
    });
}

// ---- methods -------------------------------------------------------------------------------

const std::any* TMethodTable::Find(const String& Name) const
{
  for (const TEntry& e : FMethods)
    if (SameText(e.Name, Name))
      return &e.Handler;
  return nullptr;
}

// ---- property tables ---------------------------------------------------------------------

void LinkPropertyTable(const TClassInfo& Class, const TPropertyTable* Table)
{
  Class.Properties = Table;
}

std::vector<const TPropInfo*> GetPropList(const TClassInfo& Class)
{
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* c = &Class; c; c = c->Parent)
    chain.push_back(c);
  std::vector<const TPropInfo*> list;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!(*it)->Properties)
      continue;
    for (const TPropInfo& p : (*it)->Properties->Props) {
      if (!p.Published)
        continue;
      auto same = std::find_if(list.begin(), list.end(), [&](const TPropInfo* q) { return SameText(q->Name, p.Name); });
      if (same != list.end())
        *same = &p;
      else
        list.push_back(&p);
    }
  }
  return list;
}

namespace {

const TPropInfo* FindProp(const TClassInfo& Class, const String& Name, bool PublishedOnly)
{
  for (const TClassInfo* c = &Class; c; c = c->Parent) {
    if (!c->Properties)
      continue;
    for (const TPropInfo& p : c->Properties->Props)
      if ((p.Published || !PublishedOnly) && SameText(p.Name, Name))
        return &p;
  }
  return nullptr;
}

} // namespace

const TPropInfo* GetPropInfo(const TClassInfo& Class, const String& Name)
{
  return FindProp(Class, Name, true);
}

const TPropInfo* FindPropDeclaration(const TClassInfo& Class, const String& Name)
{
  return FindProp(Class, Name, false);
}

TPropBuilder& TPropBuilder::As(TPropKind Kind)
{
  QX_ASSERT(FInfo.Kind == pkInteger && (Kind == pkColor || Kind == pkCursor), "System.TypInfo");
  FInfo.Kind = Kind;
  FInfo.TypeName = Kind == pkColor ? "TColor" : "TCursor";
  return *this;
}

TPropBuilder& TPropBuilder::Idents(const String& TypeName)
{
  QX_ASSERT(FInfo.Kind == pkInteger, "System.TypInfo");
  FInfo.TypeName = TypeName;
  return *this;
}

TPropBuilder& TPropBuilder::Protected()
{
  FInfo.Published = false;
  return *this;
}

TPropBuilder& TPropBuilder::SiblingOrder()
{
  QX_ASSERT(FInfo.Kind == pkInteger, "System.TypInfo");
  FInfo.SiblingOrder = true;
  return *this;
}

TPropBuilder& TPropBuilder::Stored(bool Value)
{
  FInfo.Stored = [Value](const TObject*) { return Value; };
  return *this;
}

TPropBuilder& TPropBuilder::StoredWhen(std::function<bool(const TObject*)> Predicate)
{
  FInfo.Stored = std::move(Predicate);
  return *this;
}

} // namespace Vcl
