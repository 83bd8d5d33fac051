#include "System.Classes.Streaming.hpp"

#include <cmath>
#include <utility>

namespace Vcl {

QX_PUBLISHED(TComponent)
{
  Property("Tag", &T::Tag, &T::SetTag).Default(0);
}

void TComponent::SetInline(bool value)
{
  if (value)
    FComponentState.Include(csInline);
  else
    FComponentState.Exclude(csInline);
}

void TComponent::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
  if (Root != this)
    return;
  for (size_t i = 0; i < FComponents.size(); ++i)
    if (!FComponents[i]->HasParent())
      Proc(FComponents[i]);
}

void TComponent::DefineProperties(TFiler* Filer)
{
  auto half = [this](int Shift) {
    auto read = [this, Shift](TReader* Reader) {
      const Integer value = Reader->ReadInteger();
      const auto word = std::uint32_t(std::uint16_t(value)) << Shift;
      FDesignInfo = Integer((std::uint32_t(FDesignInfo) & ~(0xFFFFu << Shift)) | word);
    };
    auto write = [this, Shift](TWriter* Writer) {
      Writer->WriteInteger(std::int16_t(std::uint16_t(std::uint32_t(FDesignInfo) >> Shift)));
    };
    return std::pair{read, write};
  };
  auto [readLeft, writeLeft] = half(0);
  auto [readTop, writeTop] = half(16);
  Filer->DefineProperty("Left", readLeft, writeLeft, (FDesignInfo & 0xFFFF) != 0);
  Filer->DefineProperty("Top", readTop, writeTop, (std::uint32_t(FDesignInfo) >> 16) != 0);
}

void TStrings::DefineProperties(TFiler* Filer)
{
  auto read = [this](TReader* Reader) {
    BeginUpdate();
    try {
      Clear();
      Reader->ReadListBegin();
      while (!Reader->EndOfList())
        Add(Reader->ReadString());
      Reader->ReadListEnd();
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
  };
  auto write = [this](TWriter* Writer) {
    Writer->WriteListBegin();
    for (Integer i = 0; i < Count(); ++i)
      Writer->WriteString(Get(i));
    Writer->WriteListEnd();
  };
  Filer->DefineProperty("Strings", read, write, Count() > 0);
}

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

// ---- TWriter -----------------------------------------------------------------------------

void TWriter::WriteDefined(TPersistent* Instance, const String& Prefix, std::vector<TDfmProp>& Props, bool AllData)
{
  FPrefix = Prefix;
  FProps = &Props;
  FAllData = AllData;
  Instance->DefineProperties(this);
  FProps = nullptr;
}

void TWriter::DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                             bool HasData)
{
  (void)ReadData;
  if (!Writes(HasData, bool(WriteData)))
    return;
  FValues.clear();
  FLists.clear();
  WriteData(this);
  if (FValues.size() != 1 || !FLists.empty())
    throw EWriteError(Format("Property %s%s must write exactly one value", {FPrefix, Name}));
  FProps->push_back({FPrefix + Name, 0, std::move(FValues[0])});
}

void TWriter::DefineBinaryProperty(const String& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                                   bool HasData)
{
  (void)ReadData;
  if (!Writes(HasData, bool(WriteData)))
    return;
  TBytesStream stream;
  WriteData(&stream);
  TDfmValue v;
  v.Kind = vkBinary;
  v.Bytes = stream.Bytes();
  FProps->push_back({FPrefix + Name, 0, std::move(v)});
}

void TWriter::Append(TDfmValue Value)
{
  if (FLists.empty())
    FValues.push_back(std::move(Value));
  else
    FLists.back()->List.push_back(std::move(Value));
}

void TWriter::WriteInteger(Int64 Value)
{
  TDfmValue v;
  v.Int = Value;
  Append(std::move(v));
}

void TWriter::WriteBoolean(bool Value)
{
  WriteIdent(Value ? "True" : "False");
}

void TWriter::WriteFloat(double Value)
{
  if (!std::isfinite(Value))
    throw EWriteError("Cannot write a floating-point value that is not finite");
  TDfmValue v;
  v.Kind = vkFloat;
  v.Float = Value;
  Append(std::move(v));
}

void TWriter::WriteString(const String& Value)
{
  TDfmValue v;
  v.Kind = vkString;
  v.Text = Value;
  Append(std::move(v));
}

void TWriter::WriteIdent(const String& Ident)
{
  TDfmValue v;
  v.Kind = vkIdent;
  v.Text = Ident;
  Append(std::move(v));
}

void TWriter::WriteListBegin()
{
  TDfmValue v;
  v.Kind = vkList;
  Append(std::move(v));
  TDfmValue* list = FLists.empty() ? &FValues.back() : &FLists.back()->List.back();
  FLists.push_back(list);
}

void TWriter::WriteListEnd()
{
  if (FLists.empty())
    throw EWriteError("No list open");
  FLists.pop_back();
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
          collection->BeginUpdate();
          collection->Clear();
          for (const TSavedObject& item : Saved.Objects)
            RestoreObject(collection->Add(), item);
          collection->EndUpdate();
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
    collection->BeginUpdate();
    try {
      collection->Clear();
      for (const TDfmItem& item : V.Items) {
        TCollectionItem* added = collection->Add();
        for (const TDfmProp& p : item.Props)
          ReadProperty(added, p, LookupRoot);
      }
    } catch (...) {
      FContainers.pop_back();
      collection->EndUpdate();
      throw;
    }
    FContainers.pop_back();
    collection->EndUpdate();
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

// ---- writing a component tree -------------------------------------------------------------------

class TFormWriter {
public:
  // With an ancestor, what the ancestor has too is written 'inherited',
  // with only the properties that differ from the ancestor's.
  TDfmObject Write(TComponent* Root, TComponent* Ancestor)
  {
    FRoot = Root;
    FLookupRoot = Root;
    FAncestorRoot = Ancestor;
    FAncestorLookupRoot = Ancestor;
    FWriter.FRoot = Root;
    return WriteComponent(Root, Ancestor);
  }

private:
  struct TDepth {
    int& Depth;
    explicit TDepth(int& d) : Depth(d)
    {
      if (++Depth > MaxFormNesting)
        throw EWriteError(Format("Components nested deeper than %d levels", {MaxFormNesting}));
    }
    ~TDepth() { --Depth; }
  };

  // An inline component (a frame) is the lookup root of what it holds, as
  // when it was read.
  TDfmObject WriteComponent(TComponent* c, TComponent* Ancestor)
  {
    TDepth depth(FDepth);
    TComponent* outerLookupRoot = FLookupRoot;
    TComponent* outerAncestorLookupRoot = FAncestorLookupRoot;
    if (c != FRoot && c->ComponentState().Contains(csInline)) {
      FLookupRoot = c;
      FAncestorLookupRoot = Ancestor;
    }
    TDfmObject obj;
    obj.Kind = Ancestor ? okInherited : FLookupRoot == c && c != FRoot ? okInline : okObject;
    obj.Name = c->Name();
    obj.ClassName = c->ClassName();
    WriteProperties(c, Ancestor, String(), obj.Props);
    c->GetChildren([&](TComponent* child) { obj.Children.push_back(WriteComponent(child, AncestorOf(child))); },
                   FLookupRoot);
    FLookupRoot = outerLookupRoot;
    FAncestorLookupRoot = outerAncestorLookupRoot;
    return obj;
  }

  // The ancestor's component of the same name and class, if any.
  TComponent* AncestorOf(const TComponent* c) const
  {
    if (!FAncestorLookupRoot || c->Name().empty())
      return nullptr;
    TComponent* found = FAncestorLookupRoot->FindComponent(c->Name());
    return found && &found->ClassType() == &c->ClassType() ? found : nullptr;
  }

  void WriteProperties(TPersistent* Instance, TPersistent* Ancestor, const String& Prefix,
                       std::vector<TDfmProp>& Props)
  {
    for (const TPropInfo* info : GetPropList(Instance->ClassType())) {
      if (!info->IsStored(Instance))
        continue;
      if (info->Kind == pkClass) {
        if (auto* sub = dynamic_cast<TPersistent*>(std::get<TObject*>(info->Get(Instance)))) {
          TDepth depth(FDepth);
          auto* ancestorSub = Ancestor ? dynamic_cast<TPersistent*>(std::get<TObject*>(info->Get(Ancestor))) : nullptr;
          WriteProperties(sub, ancestorSub, Prefix + info->Name + ".", Props);
        }
        continue;
      }
      if (Ancestor ? SameAsAncestor(Instance, Ancestor, *info) : info->IsDefault(Instance))
        continue;
      std::optional<TDfmValue> v = ValueOf(Instance, *info);
      // A reference or handler the ancestor has and this one dropped.
      if (!v && Ancestor && (info->Kind == pkComponent || info->Kind == pkEvent))
        v = Ident("nil");
      if (v)
        Props.push_back({Prefix + info->Name, 0, std::move(*v)});
    }
    WriteDefined(Instance, Ancestor, Prefix, Props);
  }

  bool SameAsAncestor(TPersistent* Instance, TPersistent* Ancestor, const TPropInfo& Info)
  {
    switch (Info.Kind) {
    case pkComponent: {
      auto* mine = static_cast<TComponent*>(std::get<TObject*>(Info.Get(Instance)));
      auto* theirs = static_cast<TComponent*>(std::get<TObject*>(Info.Get(Ancestor)));
      return mine == theirs || (mine && theirs && mine->Name() == theirs->Name());
    }
    case pkCollection:
      return ValueOf(Instance, Info) == AncestorValueOf(Ancestor, Info);
    default:
      return Info.Get(Instance) == Info.Get(Ancestor);
    }
  }

  // The ancestor's value as its own resource holds it: references named
  // from the ancestor's roots. (A failure ends the whole write, so the roots
  // need no restoring then.)
  std::optional<TDfmValue> AncestorValueOf(TPersistent* Ancestor, const TPropInfo& Info)
  {
    TComponent* root = std::exchange(FRoot, FAncestorRoot);
    TComponent* lookupRoot = std::exchange(FLookupRoot, FAncestorLookupRoot);
    std::optional<TDfmValue> v = ValueOf(Ancestor, Info);
    FRoot = root;
    FLookupRoot = lookupRoot;
    return v;
  }

  // Against an ancestor, data either side has is compared, so that data the
  // ancestor has and the descendant dropped is written too.
  void WriteDefined(TPersistent* Instance, TPersistent* Ancestor, const String& Prefix, std::vector<TDfmProp>& Props)
  {
    if (!Ancestor) {
      FWriter.WriteDefined(Instance, Prefix, Props);
      return;
    }
    std::vector<TDfmProp> mine, theirs;
    FWriter.WriteDefined(Instance, Prefix, mine, true);
    FWriter.WriteDefined(Ancestor, Prefix, theirs, true);
    for (TDfmProp& p : mine)
      if (std::find(theirs.begin(), theirs.end(), p) == theirs.end())
        Props.push_back(std::move(p));
  }

  std::optional<TDfmValue> ValueOf(TPersistent* Instance, const TPropInfo& Info)
  {
    TPropValue value = Info.Get(Instance);
    TDfmValue v;
    switch (Info.Kind) {
    case pkInteger:
    case pkInt64:
    case pkColor:
    case pkCursor:
      return IdentOrInteger(Info, std::get<Int64>(value));
    case pkBoolean:
      return Ident(std::get<Int64>(value) ? "True" : "False");
    case pkEnumeration:
      return Ident(EnumName(Info, std::get<Int64>(value)));
    case pkSet:
      return SetOf(Info, std::get<Int64>(value));
    case pkFloat:
      if (!std::isfinite(std::get<double>(value)))
        throw EWriteError(Format("Property %s is not a finite number", {Info.Name}));
      v.Kind = vkFloat;
      v.Float = std::get<double>(value);
      return v;
    case pkString:
      v.Kind = vkString;
      v.Text = std::get<String>(value);
      return v;
    case pkBinary:
      v.Kind = vkBinary;
      v.Bytes = std::get<TBytes>(value);
      return v;
    case pkComponent:
      return Reference(static_cast<TComponent*>(std::get<TObject*>(value)));
    case pkEvent:
      return std::get<String>(value).empty() ? std::nullopt : std::optional(Ident(std::get<String>(value)));
    case pkCollection:
      return Collection(static_cast<TCollection*>(std::get<TObject*>(value)));
    case pkClass:
      break;
    }
    return std::nullopt;
  }

  static TDfmValue Ident(const String& Text)
  {
    TDfmValue v;
    v.Kind = vkIdent;
    v.Text = Text;
    return v;
  }

  static TDfmValue IdentOrInteger(const TPropInfo& Info, Int64 Value)
  {
    String ident;
    if (!Info.TypeName.empty() && Value >= std::numeric_limits<Integer>::min() &&
        Value <= std::numeric_limits<Integer>::max() && IntToIdentOf(Info.TypeName, Integer(Value), ident))
      return Ident(ident);
    TDfmValue v;
    v.Int = Value;
    return v;
  }

  static String EnumName(const TPropInfo& Info, Int64 Ordinal)
  {
    if (Ordinal < 0 || Ordinal >= Int64(Info.EnumInfo->Names.size()))
      throw EWriteError(Format("Property %s holds %d, which is not a value of %s", {Info.Name, Ordinal, Info.TypeName}));
    return Info.EnumInfo->Names[size_t(Ordinal)];
  }

  static TDfmValue SetOf(const TPropInfo& Info, Int64 Bits)
  {
    TDfmValue v;
    v.Kind = vkSet;
    for (size_t i = 0; i < 64; ++i)
      if (std::uint64_t(Bits) & (std::uint64_t(1) << i))
        v.Names.push_back(EnumName(Info, Int64(i)));
    return v;
  }

  // Components of the lookup root are named plainly, others by their path
  // of owners from the root; components outside the root, or unnamed ones,
  // cannot be referred to.
  std::optional<TDfmValue> Reference(TComponent* c) const
  {
    if (!c || c->Name().empty())
      return std::nullopt;
    if (c == FRoot || c == FLookupRoot || c->Owner() == FLookupRoot)
      return Ident(c->Name());
    String path = c->Name();
    for (TComponent* o = c->Owner(); o != FRoot; o = o->Owner()) {
      if (!o || o->Name().empty())
        return std::nullopt;
      path = o->Name() + "." + path;
    }
    if (FLookupRoot != FRoot && !FRoot->Name().empty())
      path = FRoot->Name() + "." + path;
    return Ident(path);
  }

  std::optional<TDfmValue> Collection(TCollection* c)
  {
    if (!c || c->Count() == 0)
      return std::nullopt;
    TDepth depth(FDepth);
    TDfmValue v;
    v.Kind = vkCollection;
    for (Integer i = 0; i < c->Count(); ++i) {
      TDfmItem item;
      WriteProperties(c->Items(i), nullptr, String(), item.Props);
      v.Items.push_back(std::move(item));
    }
    return v;
  }

  TComponent* FRoot = nullptr;
  TComponent* FLookupRoot = nullptr;
  TComponent* FAncestorRoot = nullptr;
  TComponent* FAncestorLookupRoot = nullptr;
  TWriter FWriter;
  int FDepth = 0;
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

String WriteComponentRes(TComponent* Instance)
{
  return FormatDfm(TFormWriter().Write(Instance, nullptr));
}

String WriteDescendentRes(TComponent* Instance, TComponent* Ancestor)
{
  return FormatDfm(TFormWriter().Write(Instance, Ancestor));
}

void WriteComponentResFile(const String& FileName, TComponent* Instance)
{
  String text = WriteComponentRes(Instance);
  TFileStream file(FileName, fmCreate);
  file.WriteBuffer(text.data(), Int64(text.size()));
}

// ---- stored graphics ---------------------------------------------------------------------------------

void WriteGraphicClassName(TStream* Stream, const String& ClassName)
{
  if (ClassName.empty() || ClassName.size() > 255)
    throw EWriteError(Format("Invalid graphic class name '%s'", {ClassName}));
  Byte length = Byte(ClassName.size());
  Stream->WriteBuffer(&length, 1);
  Stream->WriteBuffer(ClassName.data(), length);
}

String ReadGraphicClassName(TStream* Stream)
{
  Byte length = 0;
  if (Stream->Read(&length, 1) != 1 || length == 0)
    throw EReadError("Picture data without a graphic class name");
  String name(length, '\0');
  if (Stream->Read(name.data(), length) != length)
    throw EReadError("Picture data ends inside the graphic class name");
  if (!IsValidIdent(name))
    throw EReadError(Format("Invalid graphic class name '%s'", {name}));
  return name;
}

Cardinal ReadLengthField(TStream* Stream)
{
  Byte b[4] = {};
  if (Stream->Read(b, 4) != 4)
    throw EReadError("Data ends inside a length field");
  Cardinal length = Cardinal(b[0]) | Cardinal(b[1]) << 8 | Cardinal(b[2]) << 16 | Cardinal(b[3]) << 24;
  Int64 left = Stream->Size() - Stream->Position();
  if (Int64(length) > left)
    throw EReadError(Format("Length field of %u bytes exceeds the %d bytes left", {length, left}));
  return length;
}

void WriteLengthField(TStream* Stream, Cardinal Length)
{
  Byte b[4] = {Byte(Length), Byte(Length >> 8), Byte(Length >> 16), Byte(Length >> 24)};
  Stream->WriteBuffer(b, 4);
}

} // namespace Vcl
