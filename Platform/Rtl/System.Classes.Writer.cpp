// Writing form resources: the filer handed to DefineProperties while a
// resource is written, and the writer that turns a live component tree
// (against its ancestor, for a descendant) into the text's syntax tree.
#include "System.Classes.Streaming.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>

namespace Vcl {

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
  // A frame with no ancestor here whose class creates components of its own
  // is written against a fresh one of its class, so that what the
  // constructor creates is written 'inherited' and found again when read,
  // not created a second time.
  TDfmObject WriteComponent(TComponent* c, TComponent* Ancestor)
  {
    TDepth depth(FDepth);
    TComponent* outerLookupRoot = FLookupRoot;
    TComponent* outerAncestorLookupRoot = FAncestorLookupRoot;
    const bool isInline = c != FRoot && c->ComponentState().Contains(csInline);
    TDfmObject obj;
    obj.Kind = Ancestor ? okInherited : isInline ? okInline : okObject;
    std::unique_ptr<TComponent> fresh;
    if (isInline && !Ancestor) {
      fresh.reset(CreateComponent(c->ClassType(), nullptr));
      if (fresh->ComponentCount() > 0)
        Ancestor = fresh.get();
    }
    if (isInline) {
      FLookupRoot = c;
      FAncestorLookupRoot = Ancestor;
    }
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

String WriteComponentRes(TComponent* Instance)
{
  return FormatDfm(TFormWriter().Write(Instance, nullptr));
}

String WriteDescendentRes(TComponent* Instance, TComponent* Ancestor)
{
  return FormatDfm(TFormWriter().Write(Instance, Ancestor));
}

void WriteComponent(TStream* Stream, TComponent* Instance)
{
  String text = WriteComponentRes(Instance);
  Stream->WriteBuffer(text.data(), Int64(text.size()));
}

void WriteComponentResFile(const String& FileName, TComponent* Instance)
{
  String text = WriteComponentRes(Instance);
  TFileStream file(FileName, fmCreate);
  file.WriteBuffer(text.data(), Int64(text.size()));
}

} // namespace Vcl
