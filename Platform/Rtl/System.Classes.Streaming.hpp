// Form resources in the framework's text form format: the syntax tree of
// the text, the filers that components use to store data beyond their
// published properties, and the host calls that read a component tree from
// a resource and write a live one back.
//
//   object Form1: TForm1
//     Caption = 'Hello'#13#10'world'
//     Anchors = [akLeft, akTop]
//     object Label1: TLabel
//       Font.Style = [fsBold]
//     end
//   end
#pragma once

#include "System.TypInfo.hpp"

namespace Vcl {

QX_EXCEPTION(EParserError, Exception);

// Objects, collections and lists nest at most this deep in a resource.
constexpr int MaxFormNesting = 200;

// ---- syntax tree ---------------------------------------------------------------------
enum class TDfmValueKind { vkInteger, vkFloat, vkString, vkIdent, vkSet, vkList, vkBinary, vkCollection };
using enum TDfmValueKind;

struct TDfmProp;

struct TDfmItem {
  int Line = 0;
  std::vector<TDfmProp> Props;
  bool operator==(const TDfmItem&) const = default;
};

struct TDfmValue {
  TDfmValueKind Kind = vkInteger;
  int Line = 0;
  Int64 Int = 0;
  bool Hex = false;           // written as $hex (may wrap into a negative 32-bit value)
  double Float = 0;
  char Suffix = 0;            // a float's type: 'd' date, 's' single, 'c' currency, or none
  String Text;                // string (UTF-8) or identifier
  std::vector<String> Names;  // set
  std::vector<TDfmValue> List;
  TBytes Bytes;
  std::vector<TDfmItem> Items;
  bool operator==(const TDfmValue&) const = default;
};

struct TDfmProp {
  String Name; // may be a path: Font.Name
  int Line = 0;
  TDfmValue Value;
  bool operator==(const TDfmProp&) const = default;
};

enum class TDfmObjectKind { okObject, okInherited, okInline };
using enum TDfmObjectKind;

struct TDfmObject {
  TDfmObjectKind Kind = okObject;
  String Name;
  String ClassName;
  int Line = 0;
  int Position = -1; // [n]: the place among the ancestor's children, or -1
  std::vector<TDfmProp> Props;
  std::vector<TDfmObject> Children;
};

// Quoted text that is not UTF-8 was written by a designer that stored the
// bytes of a Windows code page; it is decoded with CodePage, or, when that is
// 0, with the code page the root's Font.Charset names (Windows-1252 when it
// names none). EParserError with the line number on malformed text.
TDfmObject ParseDfm(const String& Text, int CodePage = 0);
// Bytes of a string that are not UTF-8 are written as the #nn codes of the
// lone surrogates U+DC80..U+DCFF, which read back as those bytes.
String FormatDfm(const TDfmObject& Root);
// The tree with its line numbers, for tools that read a resource without
// building it.
TDfmObject ParseDfmStream(TStream* Stream, int CodePage = 0);

// ---- filers ------------------------------------------------------------------------------
class TReader;
class TWriter;

class TFiler : public TObject {
public:
  using TReaderProc = std::function<void(TReader* Reader)>;
  using TWriterProc = std::function<void(TWriter* Writer)>;
  using TStreamProc = std::function<void(TStream* Stream)>;

  // Data stored under Name besides the published properties; written only
  // when HasData.
  virtual void DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                              bool HasData) = 0;
  virtual void DefineBinaryProperty(const String& Name, const TStreamProc& ReadData,
                                    const TStreamProc& WriteData, bool HasData) = 0;
  TComponent* Root() const { return FRoot; }

protected:
  TComponent* FRoot = nullptr;
};

// Handed to DefineProperties while a resource is read: the Read calls take
// the values of the property being read, in order.
class TReader : public TFiler {
public:
  void DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const String& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                            bool HasData) override;

  Integer ReadInteger();
  Int64 ReadInt64();
  bool ReadBoolean();
  double ReadFloat();
  String ReadString();
  String ReadIdent();
  void ReadListBegin();
  void ReadListEnd();
  bool EndOfList() const;

private:
  friend class TFormReader;
  friend class TReadUndo;
  const TDfmValue& NextValue();
  // Offers Value to Instance's defined properties; false when none took it.
  bool ReadDefined(TPersistent* Instance, const String& Name, const TDfmValue& Value);
  // Whether a defined property named Name takes the value being read.
  bool Claim(const String& Name, bool CanRead);

  struct TListCursor {
    const TDfmValue* List;
    size_t Index;
  };
  String FPropName;
  const TDfmValue* FValue = nullptr;
  bool FValueTaken = false;
  bool FHandled = false;
  std::vector<TListCursor> FLists;
};

// Handed to DefineProperties while a resource is written.
class TWriter : public TFiler {
public:
  void DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;
  void DefineBinaryProperty(const String& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                            bool HasData) override;

  void WriteInteger(Int64 Value);
  void WriteBoolean(bool Value);
  void WriteFloat(double Value);
  void WriteString(const String& Value);
  void WriteIdent(const String& Ident);
  void WriteListBegin();
  void WriteListEnd();

private:
  friend class TFormWriter;
  friend class TFormReader;
  friend class TReadUndo;
  void Append(TDfmValue Value);
  // Whether a defined property is written now.
  bool Writes(bool HasData, bool CanWrite) const { return (HasData || FAllData) && CanWrite && FProps; }
  // AllData: also what the component says it has no data for, as a read
  // that fails keeps what it must put back.
  void WriteDefined(TPersistent* Instance, const String& Prefix, std::vector<TDfmProp>& Props,
                    bool AllData = false);

  String FPrefix;
  bool FAllData = false;
  std::vector<TDfmProp>* FProps = nullptr;
  std::vector<TDfmValue> FValues;   // top-level values of the property being written
  std::vector<TDfmValue*> FLists;   // open lists, innermost last
};

// ---- host calls --------------------------------------------------------------------------
// What a read left out under TFormReadOptions::SkipUnknown.
struct TSkippedItem {
  bool IsClass = false; // an object of an unknown class, with all it holds
  String Name;          // the class name, or Component.Property
  int Line = 0;
  bool operator==(const TSkippedItem&) const = default;
};

struct TFormReadOptions {
  int CodePage = 0; // of legacy quoted text; 0: as the resource's font says (ParseDfm)
  // For bringing forms from elsewhere in step by step: objects of classes
  // that are not registered, properties the classes do not have, references
  // to what is missing and methods the host lacks are left out and listed
  // in Skipped instead of failing the read.
  bool SkipUnknown = false;
  std::vector<TSkippedItem> Skipped;
};

// Reads a form resource. Without Instance, the root's class is found by
// name (FindClass) and created without owner, and returned to the caller;
// with Instance, the root's properties and nested objects are read into it.
// Events are bound to the host's Methods by name. On any error (EParserError
// or EReadError, with the line number) every component created so far is
// freed and nothing is handed to the host.
TComponent* ReadComponentRes(const String& Text, TComponent* Instance = nullptr,
                             const TMethodTable* Methods = nullptr);
TComponent* ReadComponentResFile(const String& FileName, TComponent* Instance = nullptr,
                                 const TMethodTable* Methods = nullptr);
TComponent* ReadComponentRes(const String& Text, TComponent* Instance, const TMethodTable* Methods,
                             TFormReadOptions& Options);
// Reads the resource from the stream's position to its end.
TComponent* ReadComponent(TStream* Stream, TComponent* Instance = nullptr, const TMethodTable* Methods = nullptr,
                          TFormReadOptions* Options = nullptr);
// Writes Instance and the children it names (GetChildren), leaving out
// every property at its default or not stored.
String WriteComponentRes(TComponent* Instance);
// Writes Instance as a descendant of Ancestor (a form of the class it
// inherits from, as its own resource builds it): the root and the components
// the ancestor has too (by name and class) are written 'inherited', with
// only what differs from the ancestor's; reading the ancestor's resource and
// then this one into a form builds Instance again.
String WriteDescendentRes(TComponent* Instance, TComponent* Ancestor);
void WriteComponentResFile(const String& FileName, TComponent* Instance);
// Writes the resource at the stream's position.
void WriteComponent(TStream* Stream, TComponent* Instance);

} // namespace Vcl
