// Reading form resources: the filer handed to DefineProperties while a
// resource is read, and the reader that builds a component tree from the
// parsed text and takes back everything it did when the text is bad.
#include "System.Classes.Streaming.hpp"
#include "System.ScopeGuards.hpp"

#include <algorithm>
#include <limits>
#include <utility>

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
  TFormReader(const TMethodTable* Methods, TFormReadOptions* Options) : FMethods(Methods), FOptions(Options) {}

  TComponent* Read(const TDfmObject& Tree, TComponent* Instance)
  {
    try {
      TComponent* root = Instance ? Instance : CreateRoot(Tree);
      if (Instance)
        RenameRoot(Instance, Tree);
      FReader.FRoot = root;
      StartLoading(root);
      ReadBody(root, Tree, root, Instance != nullptr);
      ApplySiblingOrders();
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

  // A place among siblings read, set once the siblings are all read.
  struct TSiblingOrder {
    TPersistent* Instance;
    const TPropInfo* Prop;
    Int64 Value;
    int Line;
  };

  // Under SkipUnknown, notes what is left out and returns true; otherwise
  // false, and the caller fails.
  bool Skip(bool IsClass, const String& Name, int Line)
  {
    if (!FOptions || !FOptions->SkipUnknown)
      return false;
    FOptions->Skipped.push_back({IsClass, Name, Line});
    return true;
  }

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

  // Reading into an existing instance gives it the resource's name, as a
  // form created from its resource has; a second form of that resource in
  // the same owner is told apart as Name_1, Name_2...
  void RenameRoot(TComponent* Root, const TDfmObject& Tree)
  {
    if (Tree.Name.empty() || Root->Name() == Tree.Name)
      return;
    TDfmObject named;
    named.Name = Tree.Name;
    named.Line = Tree.Line;
    for (int n = 1; Root->Owner() && Root->Owner()->FindComponent(named.Name); ++n)
      named.Name = Tree.Name + "_" + IntToStr(n);
    const String old = Root->Name();
    SetComponentName(Root, named);
    FUndo.push_back([Root, old] { Root->SetName(old); });
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
      if (!GetClass(Node.ClassName) && Skip(true, Node.ClassName, Node.Line))
        return;
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
    // A control put in what cannot hold it (a timer, a label) would be
    // left without a parent and never shown.
    if (child->HasParent() && child->GetParentComponent() != Parent)
      Error(Format("%s cannot hold %s", {Parent->GetNamePath(), Node.Name.empty() ? Node.ClassName : Node.Name}),
            Node.Line);
    ReadBody(child, Node, Node.Kind == okInline ? child : LookupRoot, Node.Kind == okInherited);
  }

  // Existing: the component was there before the read, which notes what it
  // changes on it so that a failure can put it back.
  void ReadBody(TComponent* c, const TDfmObject& Node, TComponent* LookupRoot, bool Existing)
  {
    for (const TDfmProp& p : Node.Props)
      ReadProperty(c, p, LookupRoot, Existing);
    std::vector<TSiblingOrder> outer = std::exchange(FSiblingOrders, {});
    for (const TDfmObject& child : Node.Children)
      ReadChild(c, child, LookupRoot);
    ApplySiblingOrders();
    FSiblingOrders = std::move(outer);
  }

  // Lowest first, each at its place: every sibling ends where it was read
  // to be, whatever order they were created in.
  void ApplySiblingOrders()
  {
    std::stable_sort(FSiblingOrders.begin(), FSiblingOrders.end(),
                     [](const TSiblingOrder& a, const TSiblingOrder& b) { return a.Value < b.Value; });
    for (const TSiblingOrder& order : FSiblingOrders)
      try {
        Set(order.Instance, *order.Prop, order.Value);
      } catch (const Exception& e) {
        Error(Format("Error setting %s: %s", {order.Prop->Name, e.Message()}), order.Line);
      }
    FSiblingOrders.clear();
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
      // Data a class stores under a dotted name of its own (PngImage.Data).
      if (!info && target == Instance && FReader.ReadDefined(target, Prop.Name, Prop.Value))
        return;
      if (!info && Skip(false, Instance->GetNamePath() + "." + Prop.Name, Prop.Line))
        return;
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
    if (!FReader.ReadDefined(target, rest, Prop.Value) && !Skip(false, Instance->GetNamePath() + "." + Prop.Name, Prop.Line))
      Error(Format("Property %s does not exist in %s", {rest, target->ClassName()}), Prop.Line);
  }

  void ReadValue(TPersistent* Instance, const TPropInfo& Info, const TDfmValue& V, TComponent* LookupRoot)
  {
    switch (Info.Kind) {
    case pkInteger:
      if (Info.SiblingOrder) {
        FSiblingOrders.push_back({Instance, &Info, IdentOrInteger(Info, V), V.Line});
        return;
      }
      Set(Instance, Info, IdentOrInteger(Info, V));
      return;
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
      // Resources written before the object was published may hold its data
      // under its name, which the instance still reads as data of its own.
      if (FReader.ReadDefined(Instance, Info.Name, V))
        return;
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
    if (V.Kind == vkIdent && !SameText(V.Text, "nil") && !(FMethods && FMethods->Find(V.Text)) &&
        Skip(false, Format("%s.%s", {NamePathOf(Instance), Info.Name}), V.Line))
      return;
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

  static String NamePathOf(TObject* Instance)
  {
    auto* persistent = dynamic_cast<TPersistent*>(Instance);
    return persistent ? persistent->GetNamePath() : Instance->ClassName();
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
      if (!target && Skip(false, Format("%s.%s", {NamePathOf(f.Instance), f.Prop->Name}), f.Line))
        continue;
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
  TFormReadOptions* FOptions;
  TReader FReader;
  std::vector<TSiblingOrder> FSiblingOrders; // of the children being read
  std::vector<TComponent*> FCreated;
  std::vector<TComponent*> FLoaded;
  std::vector<TFixup> FFixups;
  std::vector<const TCollection*> FContainers;
  std::vector<std::function<void()>> FUndo;
};

// ---- host calls ----------------------------------------------------------------------------------

namespace {

TComponent* ReadTree(const TDfmObject& Tree, TComponent* Instance, const TMethodTable* Methods,
                     TFormReadOptions* Options)
{
  const size_t skipped = Options ? Options->Skipped.size() : 0;
  try {
    return TFormReader(Methods, Options).Read(Tree, Instance);
  } catch (...) {
    if (Options)
      Options->Skipped.resize(skipped);
    throw;
  }
}

} // namespace

TComponent* ReadComponentRes(const String& Text, TComponent* Instance, const TMethodTable* Methods)
{
  return ReadTree(ParseDfm(Text), Instance, Methods, nullptr);
}

TComponent* ReadComponentRes(const String& Text, TComponent* Instance, const TMethodTable* Methods,
                             TFormReadOptions& Options)
{
  return ReadTree(ParseDfm(Text, Options.CodePage), Instance, Methods, &Options);
}

TComponent* ReadComponent(TStream* Stream, TComponent* Instance, const TMethodTable* Methods,
                          TFormReadOptions* Options)
{
  return ReadTree(ParseDfmStream(Stream, Options ? Options->CodePage : 0), Instance, Methods, Options);
}

TComponent* ReadComponentResFile(const String& FileName, TComponent* Instance, const TMethodTable* Methods)
{
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  return ReadComponent(&file, Instance, Methods);
}

} // namespace Vcl
