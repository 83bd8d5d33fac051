// Reading form resources: the filer handed to DefineProperties while a
// resource is read, and the reader that builds a component tree from the
// parsed text and takes back everything it did when the text is bad.
#include "System.Classes.Streaming.hpp"
#include "System.ScopeGuards.hpp"

#include <algorithm>
#include <limits>

namespace Vcl {

namespace {

const char* ValueKindName(TDfmValueKind kind)
{
  static const char* const names[] = {"integer", "floating-point number", "string", "identifier",
                                      "set", "list", "binary value", "collection"};
  return names[int(kind)];
}

[[noreturn]] void WrongValue(const TDfmValue& v, const char* expected)
{
  throw EReadError(Format("%s expected but %s found", {expected, ValueKindName(v.Kind)}));
}

void RequireKind(const TDfmValue& v, TDfmValueKind kind)
{
  if (v.Kind != kind)
    WrongValue(v, ValueKindName(kind));
}

// An integer within [Min, Max]; $hex up to $FFFFFFFF wraps into a signed
// 32-bit range as the framework writes colours.
Int64 IntegerIn(const TDfmValue& v, Int64 Min, Int64 Max)
{
  RequireKind(v, vkInteger);
  Int64 value = v.Int;
  if (v.Hex && Min == std::numeric_limits<Integer>::min() && value > Max && value <= 0xFFFFFFFFLL)
    value = Int64(Integer(std::uint32_t(value)));
  if (value < Min || value > Max)
    throw EReadError(Format("Value %d out of range (%d..%d)", {value, Min, Max}));
  return value;
}

bool BooleanOf(const TDfmValue& v)
{
  if (v.Kind == vkIdent && (SameText(v.Text, "True") || SameText(v.Text, "False")))
    return SameText(v.Text, "True");
  WrongValue(v, "True or False");
}

} // namespace

// ---- TReader --------------------------------------------------------------------------------

bool TReader::ReadDefined(TPersistent* Instance, const String& Name, const TDfmValue& Value)
{
  FPropName = Name;
  FValue = &Value;
  FValueTaken = false;
  FHandled = false;
  FLists.clear();
  Instance->DefineProperties(this);
  if (FHandled && !FLists.empty())
    throw EReadError("List not closed");
  return FHandled;
}

bool TReader::Claim(const String& Name, bool CanRead)
{
  if (FHandled || !CanRead || !SameText(Name, FPropName))
    return false;
  FHandled = true;
  return true;
}

void TReader::DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                             bool HasData)
{
  (void)WriteData;
  (void)HasData;
  if (Claim(Name, bool(ReadData)))
    ReadData(this);
}

void TReader::DefineBinaryProperty(const String& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                                   bool HasData)
{
  (void)WriteData;
  (void)HasData;
  if (!Claim(Name, bool(ReadData)))
    return;
  const TDfmValue& v = NextValue();
  RequireKind(v, vkBinary);
  TBytesStream stream(v.Bytes);
  ReadData(&stream);
}

const TDfmValue& TReader::NextValue()
{
  if (FLists.empty()) {
    if (FValueTaken || !FValue)
      throw EReadError("No more values to read");
    FValueTaken = true;
    return *FValue;
  }
  TListCursor& top = FLists.back();
  if (top.Index >= top.List->List.size())
    throw EReadError("Read past the end of a list");
  return top.List->List[top.Index++];
}

Integer TReader::ReadInteger()
{
  return Integer(IntegerIn(NextValue(), std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max()));
}

Int64 TReader::ReadInt64()
{
  return IntegerIn(NextValue(), std::numeric_limits<Int64>::min(), std::numeric_limits<Int64>::max());
}

bool TReader::ReadBoolean()
{
  return BooleanOf(NextValue());
}

double TReader::ReadFloat()
{
  const TDfmValue& v = NextValue();
  if (v.Kind == vkInteger)
    return double(v.Int);
  RequireKind(v, vkFloat);
  return v.Float;
}

String TReader::ReadString()
{
  const TDfmValue& v = NextValue();
  RequireKind(v, vkString);
  return v.Text;
}

String TReader::ReadIdent()
{
  const TDfmValue& v = NextValue();
  RequireKind(v, vkIdent);
  return v.Text;
}

void TReader::ReadListBegin()
{
  const TDfmValue& v = NextValue();
  RequireKind(v, vkList);
  FLists.push_back({&v, 0});
}

void TReader::ReadListEnd()
{
  if (!EndOfList())
    throw EReadError("End of list expected");
  FLists.pop_back();
}

bool TReader::EndOfList() const
{
  if (FLists.empty())
    throw EReadError("No list open");
  return FLists.back().Index >= FLists.back().List->List.size();
}

// ---- reading a component tree ------------------------------------------------------------------

// A property's value as it was before a read changed it: a plain value, an
// event's handler, a sub-object's or each collection item's own values, or
// data stored through DefineProperties (Info is nullptr).
struct TSavedValue {
  const TPropInfo* Info = nullptr;
  TPropValue Value;
  std::any Handler;
  std::vector<std::vector<TSavedValue>> Objects;
  TDfmProp Defined;
};
using TSavedObject = std::vector<TSavedValue>;

// Takes and puts back the state of objects that a read changes.
class TReadUndo {
public:
  static TSavedValue SaveValue(TPersistent* Instance, const TPropInfo& Info)
  {
    TSavedValue saved;
    saved.Info = &Info;
    switch (Info.Kind) {
    case pkEvent:
      saved.Handler = Info.GetHandler(Instance);
      break;
    case pkClass:
      if (auto* sub = dynamic_cast<TPersistent*>(std::get<TObject*>(Info.Get(Instance))))
        saved.Objects.push_back(SaveObject(sub));
      break;
    case pkCollection:
      if (auto* collection = static_cast<TCollection*>(std::get<TObject*>(Info.Get(Instance))))
        for (Integer i = 0; i < collection->Count(); ++i)
          saved.Objects.push_back(SaveObject(collection->Items(i)));
      break;
    default:
      saved.Value = Info.Get(Instance);
    }
    return saved;
  }

  // Defined data the instance cannot write (it has none to give, or it is
  // read-only) has nothing to put back.
  static std::vector<TDfmProp> SaveDefined(TPersistent* Instance)
  {
    std::vector<TDfmProp> props;
    try {
      TWriter writer;
      writer.WriteDefined(Instance, String(), props, true);
    } catch (const Exception&) {
      props.clear();
    }
    return props;
  }

  static TSavedObject SaveObject(TPersistent* Instance)
  {
    TSavedObject saved;
    for (const TPropInfo* info : GetPropList(Instance->ClassType()))
      if (info->IsStored(Instance))
        saved.push_back(SaveValue(Instance, *info));
    for (TDfmProp& p : SaveDefined(Instance))
      saved.push_back({nullptr, {}, {}, {}, std::move(p)});
    return saved;
  }

  // Best effort: putting back what a failed read changed must not fail in
  // turn, and one value that will not go back must not keep the rest.
  static void RestoreValue(TPersistent* Instance, const TSavedValue& Saved)
  {
    try {
      if (!Saved.Info) {
        TReader reader;
        reader.ReadDefined(Instance, Saved.Defined.Name, Saved.Defined.Value);
        return;
      }
      switch (Saved.Info->Kind) {
      case pkEvent:
        Saved.Info->SetHandler(Instance, Saved.Handler);
        return;
      case pkClass:
        if (auto* sub = dynamic_cast<TPersistent*>(std::get<TObject*>(Saved.Info->Get(Instance))); sub && !Saved.Objects.empty())
          RestoreObject(sub, Saved.Objects[0]);
        return;
      case pkCollection:
        if (auto* collection = static_cast<TCollection*>(std::get<TObject*>(Saved.Info->Get(Instance)))) {
          const TUpdateScope update(*collection);
          collection->Clear();
          for (const TSavedObject& item : Saved.Objects)
            RestoreObject(collection->Add(), item);
        }
        return;
      default:
        if (Saved.Info->Set)
          Saved.Info->Set(Instance, Saved.Value);
      }
    } catch (...) {
    }
  }

  static void RestoreObject(TPersistent* Instance, const TSavedObject& Saved)
  {
    for (const TSavedValue& value : Saved)
      RestoreValue(Instance, value);
  }
};

// Errors raised while reading carry the line; errors from setters and
// DefineProperties handlers get it added on the way out.
class EFormReadError : public EReadError {
public:
  using EReadError::EReadError;
};

class TFormReader {
public:
  explicit TFormReader(const TMethodTable* Methods) : FMethods(Methods) {}

  TComponent* Read(const TDfmObject& Tree, TComponent* Instance)
  {
    try {
      TComponent* root = Instance ? Instance : CreateRoot(Tree);
      FReader.FRoot = root;
      StartLoading(root);
      ReadBody(root, Tree, root, Instance != nullptr);
      ResolveFixups();
      for (TComponent* c : FLoaded)
        c->SetReading(false);
      for (TComponent* c : FLoaded)
        c->Loaded();
      return root;
    } catch (...) {
      Abandon();
      throw;
    }
  }

private:
  struct TFixup {
    TObject* Instance;
    const TPropInfo* Prop;
    String Name;
    TComponent* LookupRoot;
    int Line;
    std::vector<const TCollection*> Containers; // collections the instance lives in
  };

  [[noreturn]] static void Error(const String& Message, int Line)
  {
    throw EFormReadError(Format("%s on line %d", {Message, Line}));
  }

  static TClass ComponentClass(const TDfmObject& Node)
  {
    TClass cls = GetClass(Node.ClassName);
    if (!cls)
      Error(Format("Class %s not found", {Node.ClassName}), Node.Line);
    if (!cls->InheritsFrom(TComponent::StaticClass()) || !cls->CreateComponent)
      Error(Format("Class %s is not a component class", {Node.ClassName}), Node.Line);
    return cls;
  }

  TComponent* CreateRoot(const TDfmObject& Tree)
  {
    if (Tree.Kind != okObject)
      Error("A resource's root must be an 'object'", Tree.Line);
    TComponent* root = Track(CreateComponent(*ComponentClass(Tree), nullptr));
    SetComponentName(root, Tree);
    return root;
  }

  TComponent* Track(TComponent* Created)
  {
    FCreated.push_back(Created);
    return Created;
  }

  void StartLoading(TComponent* c)
  {
    c->SetLoading(true);
    c->SetReading(true);
    FLoaded.push_back(c);
  }

  static void SetComponentName(TComponent* c, const TDfmObject& Node)
  {
    try {
      c->SetName(Node.Name);
    } catch (const Exception& e) {
      Error(e.Message(), Node.Line);
    }
  }

  // Nested objects are owned by the lookup root (the resource's root, or an
  // inline frame for what is nested in it) and told what they were nested in.
  void ReadChild(TComponent* Parent, const TDfmObject& Node, TComponent* LookupRoot)
  {
    TComponent* child = nullptr;
    if (Node.Kind == okInherited) {
      child = LookupRoot->FindComponent(Node.Name);
      if (!child)
        Error(Format("Ancestor component %s not found", {Node.Name}), Node.Line);
      FUndo.push_back([child, parent = child->GetParentComponent()] { child->SetParentComponent(parent); });
    } else {
      child = Track(CreateComponent(*ComponentClass(Node), LookupRoot));
      SetComponentName(child, Node);
    }
    StartLoading(child);
    if (Node.Kind == okInline)
      child->SetInline(true);
    try {
      child->SetParentComponent(Parent);
    } catch (const Exception& e) {
      Error(e.Message(), Node.Line);
    }
    ReadBody(child, Node, Node.Kind == okInline ? child : LookupRoot, Node.Kind == okInherited);
  }

  // Existing: the component was there before the read, which notes what it
  // changes on it so that a failure can put it back.
  void ReadBody(TComponent* c, const TDfmObject& Node, TComponent* LookupRoot, bool Existing)
  {
    for (const TDfmProp& p : Node.Props)
      ReadProperty(c, p, LookupRoot, Existing);
    for (const TDfmObject& child : Node.Children)
      ReadChild(c, child, LookupRoot);
  }

  void ReadProperty(TPersistent* Instance, const TDfmProp& Prop, TComponent* LookupRoot, bool Existing = false)
  {
    try {
      ReadPath(Instance, Prop, LookupRoot, Existing);
    } catch (const EFormReadError&) {
      throw;
    } catch (const Exception& e) {
      Error(Format("Error reading %s.%s: %s", {Instance->GetNamePath(), Prop.Name, e.Message()}), Prop.Line);
    }
  }

  // Font.Style = ...: walks the sub-objects, then sets the last name as a
  // published property or offers it to DefineProperties.
  void ReadPath(TPersistent* Instance, const TDfmProp& Prop, TComponent* LookupRoot, bool Existing)
  {
    TPersistent* target = Instance;
    String rest = Prop.Name;
    for (size_t dot; (dot = rest.find('.')) != String::npos; rest = rest.substr(dot + 1)) {
      String part = rest.substr(0, dot);
      const TPropInfo* info = GetPropInfo(target->ClassType(), part);
      if (!info || info->Kind != pkClass)
        Error(Format("Property %s of %s is not an object", {part, target->ClassName()}), Prop.Line);
      target = static_cast<TPersistent*>(std::get<TObject*>(info->Get(target)));
      if (!target)
        Error(Format("Property %s is not assigned", {part}), Prop.Line);
    }
    if (const TPropInfo* info = GetPropInfo(target->ClassType(), rest)) {
      if (Existing)
        FUndo.push_back([target, saved = TReadUndo::SaveValue(target, *info)] { TReadUndo::RestoreValue(target, saved); });
      ReadValue(target, *info, Prop.Value, LookupRoot);
      return;
    }
    if (Existing)
      SaveDefinedValue(target, rest);
    if (!FReader.ReadDefined(target, rest, Prop.Value))
      Error(Format("Property %s does not exist in %s", {rest, target->ClassName()}), Prop.Line);
  }

  void ReadValue(TPersistent* Instance, const TPropInfo& Info, const TDfmValue& V, TComponent* LookupRoot)
  {
    switch (Info.Kind) {
    case pkInteger:
    case pkInt64:
    case pkColor:
    case pkCursor:
      Set(Instance, Info, IdentOrInteger(Info, V));
      return;
    case pkBoolean:
      Set(Instance, Info, Int64(BooleanOf(V)));
      return;
    case pkEnumeration:
      Set(Instance, Info, Int64(EnumOrdinal(Info, V)));
      return;
    case pkSet:
      Set(Instance, Info, SetBits(Info, V));
      return;
    case pkFloat:
      if (V.Kind != vkInteger)
        RequireKind(V, vkFloat);
      Set(Instance, Info, V.Kind == vkInteger ? double(V.Int) : V.Float);
      return;
    case pkString:
      RequireKind(V, vkString);
      Set(Instance, Info, V.Text);
      return;
    case pkBinary:
      RequireKind(V, vkBinary);
      Set(Instance, Info, V.Bytes);
      return;
    case pkComponent:
      ReadReference(Instance, Info, V, LookupRoot);
      return;
    case pkEvent:
      ReadEvent(Instance, Info, V);
      return;
    case pkCollection:
      ReadCollection(Instance, Info, V, LookupRoot);
      return;
    case pkClass:
      throw EReadError(Format("%s is an object; set its properties by name (%s.Name = ...)", {Info.Name, Info.Name}));
    }
  }

  static void Set(TPersistent* Instance, const TPropInfo& Info, const TPropValue& Value)
  {
    if (!Info.Set)
      throw EReadError(Format("Property %s is read-only", {Info.Name}));
    Info.Set(Instance, Value);
  }

  static Int64 IdentOrInteger(const TPropInfo& Info, const TDfmValue& V)
  {
    if (V.Kind != vkIdent || Info.TypeName.empty())
      return IntegerIn(V, Info.MinValue, Info.MaxValue);
    Integer value = 0;
    if (!IdentToIntOf(Info.TypeName, V.Text, value))
      throw EReadError(Format("Unknown %s identifier %s", {Info.TypeName, V.Text}));
    return value;
  }

  // Resources written before an enumeration had its names registered hold
  // its ordinal; they still load.
  static Integer EnumOrdinal(const TPropInfo& Info, const TDfmValue& V)
  {
    if (V.Kind == vkInteger)
      return Integer(IntegerIn(V, 0, Info.MaxValue));
    RequireKind(V, vkIdent);
    Integer ordinal = Info.EnumInfo->IndexOf(V.Text);
    if (ordinal < 0)
      throw EReadError(Format("%s is not a value of %s", {V.Text, Info.TypeName}));
    return ordinal;
  }

  static Int64 SetBits(const TPropInfo& Info, const TDfmValue& V)
  {
    RequireKind(V, vkSet);
    std::uint64_t bits = 0;
    for (const String& name : V.Names) {
      Integer ordinal = Info.EnumInfo->IndexOf(name);
      if (ordinal < 0)
        throw EReadError(Format("%s is not a value of %s", {name, Info.TypeName}));
      bits |= std::uint64_t(1) << ordinal;
    }
    return Int64(bits);
  }

  // References are resolved once the whole resource is read, so that they
  // may name components further down.
  void ReadReference(TPersistent* Instance, const TPropInfo& Info, const TDfmValue& V, TComponent* LookupRoot)
  {
    RequireKind(V, vkIdent);
    if (SameText(V.Text, "nil")) {
      Set(Instance, Info, static_cast<TObject*>(nullptr));
      return;
    }
    FFixups.push_back({Instance, &Info, V.Text, LookupRoot, V.Line, FContainers});
  }

  void ReadEvent(TPersistent* Instance, const TPropInfo& Info, const TDfmValue& V)
  {
    RequireKind(V, vkIdent);
    if (SameText(V.Text, "nil")) {
      Info.BindMethod(Instance, String(), nullptr);
      return;
    }
    const std::any* handler = FMethods ? FMethods->Find(V.Text) : nullptr;
    if (!handler)
      throw EReadError(Format("Method %s not found", {V.Text}));
    if (!Info.BindMethod(Instance, V.Text, handler))
      throw EReadError(Format("Method %s does not match event %s", {V.Text, Info.Name}));
  }

  void ReadCollection(TPersistent* Instance, const TPropInfo& Info, const TDfmValue& V, TComponent* LookupRoot)
  {
    RequireKind(V, vkCollection);
    auto* collection = static_cast<TCollection*>(std::get<TObject*>(Info.Get(Instance)));
    if (!collection)
      throw EReadError(Format("Collection %s is not assigned", {Info.Name}));
    // Items about to go must not be left with pending references.
    std::erase_if(FFixups, [&](const TFixup& f) {
      return std::find(f.Containers.begin(), f.Containers.end(), collection) != f.Containers.end();
    });
    FContainers.push_back(collection);
    const auto left = Finally([this] { FContainers.pop_back(); });
    const TUpdateScope update(*collection);
    collection->Clear();
    for (const TDfmItem& item : V.Items) {
      TCollectionItem* added = collection->Add();
      for (const TDfmProp& p : item.Props)
        ReadProperty(added, p, LookupRoot);
    }
  }

  // Name, or a path through owners: Frame1.Button1.
  static TComponent* FindReference(TComponent* LookupRoot, const String& Name)
  {
    TComponent* found = LookupRoot;
    size_t start = 0;
    for (;;) {
      size_t dot = Name.find('.', start);
      String part = Name.substr(start, dot == String::npos ? String::npos : dot - start);
      TComponent* next = found->FindComponent(part);
      if (!next && start == 0 && SameText(found->Name(), part))
        next = found;
      if (!next || dot == String::npos)
        return next;
      found = next;
      start = dot + 1;
    }
  }

  void ResolveFixups()
  {
    for (const TFixup& f : FFixups) {
      TComponent* target = FindReference(f.LookupRoot, f.Name);
      if (!target && f.LookupRoot != FReader.FRoot)
        target = FindReference(FReader.FRoot, f.Name);
      if (!target)
        Error(Format("Component %s referred to by %s not found", {f.Name, f.Prop->Name}), f.Line);
      if (f.Prop->PropClass && !target->InheritsFrom(*f.Prop->PropClass))
        Error(Format("%s is a %s, not a %s", {f.Name, target->ClassName(), String(f.Prop->PropClass->Name)}),
              f.Line);
      try {
        Set(static_cast<TPersistent*>(f.Instance), *f.Prop, static_cast<TObject*>(target));
      } catch (const Exception& e) {
        Error(Format("Error setting %s: %s", {f.Prop->Name, e.Message()}), f.Line);
      }
    }
    FFixups.clear();
  }

  void SaveDefinedValue(TPersistent* Target, const String& Name)
  {
    for (TDfmProp& p : TReadUndo::SaveDefined(Target))
      if (SameText(p.Name, Name))
        FUndo.push_back([Target, saved = TSavedValue{nullptr, {}, {}, {}, std::move(p)}] {
          TReadUndo::RestoreValue(Target, saved);
        });
  }

  // Puts back what changed on the components that were there before, then
  // frees what this read created, newest first, so the host is handed
  // nothing half-read.
  void Abandon()
  {
    for (auto it = FUndo.rbegin(); it != FUndo.rend(); ++it)
      (*it)();
    FUndo.clear();
    for (TComponent* c : FLoaded) {
      if (std::find(FCreated.begin(), FCreated.end(), c) != FCreated.end())
        continue;
      c->SetReading(false);
      c->SetLoading(false);
    }
    for (auto it = FCreated.rbegin(); it != FCreated.rend(); ++it)
      delete *it;
    FCreated.clear();
    FLoaded.clear();
    FFixups.clear();
  }

  const TMethodTable* FMethods;
  TReader FReader;
  std::vector<TComponent*> FCreated;
  std::vector<TComponent*> FLoaded;
  std::vector<TFixup> FFixups;
  std::vector<const TCollection*> FContainers;
  std::vector<std::function<void()>> FUndo;
};

// ---- host calls ----------------------------------------------------------------------------------

TComponent* ReadComponentRes(const String& Text, TComponent* Instance, const TMethodTable* Methods)
{
  TDfmObject tree = ParseDfm(Text);
  return TFormReader(Methods).Read(tree, Instance);
}

TComponent* ReadComponentResFile(const String& FileName, TComponent* Instance, const TMethodTable* Methods)
{
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  TBytes bytes = file.ReadAll();
  return ReadComponentRes(String(bytes.begin(), bytes.end()), Instance, Methods);
}

} // namespace Vcl
