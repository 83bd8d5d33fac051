#include "System.Classes.hpp"
#include "System.ScopeGuards.hpp"

namespace Vcl {

// ---- TStrings ---------------------------------------------------------------------

void TStrings::Error(const String& Msg, Integer Data) const
{
  throw EStringListError(Format(Msg, {Data}));
}

void TStrings::Put(Integer Index, const String& S)
{
  TObject* obj = GetObject(Index);
  const TUpdateScope update(*this);
  Delete(Index);
  InsertObject(Index, S, obj);
}

TObject* TStrings::GetObject(Integer Index) const
{
  (void)Index;
  return nullptr;
}

void TStrings::PutObject(Integer Index, TObject* AObject)
{
  (void)Index;
  (void)AObject;
}

void TStrings::InsertObject(Integer Index, const String& S, TObject* AObject)
{
  Insert(Index, S);
  PutObject(Index, AObject);
}

Integer TStrings::Add(const String& S)
{
  Integer index = Count();
  Insert(index, S);
  return index;
}

Integer TStrings::AddObject(const String& S, TObject* AObject)
{
  Integer index = Add(S);
  PutObject(index, AObject);
  return index;
}

void TStrings::AddStrings(const TStrings* Strings)
{
  const TUpdateScope update(*this);
  for (Integer i = 0; i < Strings->Count(); ++i)
    AddObject(Strings->Get(i), Strings->GetObject(i));
}

int TStrings::CompareStrings(const String& S1, const String& S2) const
{
  return FCaseSensitive ? CompareStr(S1, S2) : CompareText(S1, S2);
}

Integer TStrings::IndexOf(const String& S) const
{
  for (Integer i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), S) == 0)
      return i;
  return -1;
}

Integer TStrings::IndexOfName(const String& Name) const
{
  for (Integer i = 0; i < Count(); ++i)
    if (CompareStrings(Names(i), Name) == 0 && Get(i).find('=') != String::npos)
      return i;
  return -1;
}

Integer TStrings::IndexOfObject(const TObject* AObject) const
{
  for (Integer i = 0; i < Count(); ++i)
    if (GetObject(i) == AObject)
      return i;
  return -1;
}

void TStrings::Move(Integer CurIndex, Integer NewIndex)
{
  if (CurIndex == NewIndex)
    return;
  const TUpdateScope update(*this);
  String s = Get(CurIndex);
  TObject* obj = GetObject(CurIndex);
  Delete(CurIndex);
  InsertObject(NewIndex, s, obj);
}

void TStrings::Exchange(Integer Index1, Integer Index2)
{
  const TUpdateScope update(*this);
  String s1 = Get(Index1);
  TObject* o1 = GetObject(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, s1);
  PutObject(Index2, o1);
}

String TStrings::Text() const
{
  String r;
  for (Integer i = 0; i < Count(); ++i) {
    r += Get(i);
    r += '\n';
  }
  return r;
}

void TStrings::SetText(const String& Value)
{
  const TUpdateScope update(*this);
  Clear();
  size_t i = 0;
  while (i < Value.size()) {
    size_t start = i;
    while (i < Value.size() && Value[i] != '\r' && Value[i] != '\n')
      ++i;
    Add(Value.substr(start, i - start));
    if (i < Value.size() && Value[i] == '\r')
      ++i;
    if (i < Value.size() && Value[i] == '\n')
      ++i;
  }
}

String TStrings::DelimitedText(char Delimiter, char QuoteChar) const
{
  String r;
  for (Integer i = 0; i < Count(); ++i) {
    const String s = Get(i);
    bool quote = s.empty() && Count() == 1;
    for (char c : s)
      if (static_cast<unsigned char>(c) <= ' ' || c == Delimiter || c == QuoteChar)
        quote = true;
    if (i > 0)
      r += Delimiter;
    if (!quote) {
      r += s;
      continue;
    }
    r += QuoteChar;
    for (char c : s) {
      r += c;
      if (c == QuoteChar)
        r += QuoteChar;
    }
    r += QuoteChar;
  }
  return r;
}

void TStrings::SetDelimitedText(const String& Value, char Delimiter, char QuoteChar)
{
  const TUpdateScope update(*this);
  Clear();
  size_t i = 0;
  auto skipBlanks = [&] {
    while (i < Value.size() && static_cast<unsigned char>(Value[i]) <= ' ' && Value[i] != Delimiter)
      ++i;
  };
  skipBlanks();
  while (i < Value.size()) {
    String item;
    if (Value[i] == QuoteChar) {
      ++i;
      while (i < Value.size()) {
        if (Value[i] == QuoteChar) {
          if (i + 1 < Value.size() && Value[i + 1] == QuoteChar) {
            item += QuoteChar;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += Value[i++];
      }
    } else {
      while (i < Value.size() && static_cast<unsigned char>(Value[i]) > ' ' && Value[i] != Delimiter)
        item += Value[i++];
    }
    Add(item);
    skipBlanks();
    if (i < Value.size() && Value[i] == Delimiter) {
      ++i;
      skipBlanks();
      if (i >= Value.size())
        Add(String());
    }
  }
}

String TStrings::CommaText() const
{
  return DelimitedText(',', '"');
}

void TStrings::SetCommaText(const String& Value)
{
  SetDelimitedText(Value, ',', '"');
}

String TStrings::Names(Integer Index) const
{
  String s = Get(Index);
  size_t eq = s.find('=');
  return eq == String::npos ? String() : s.substr(0, eq);
}

String TStrings::ValueFromIndex(Integer Index) const
{
  String s = Get(Index);
  size_t eq = s.find('=');
  return eq == String::npos ? String() : s.substr(eq + 1);
}

String TStrings::Values(const String& Name) const
{
  Integer i = IndexOfName(Name);
  return i < 0 ? String() : ValueFromIndex(i);
}

void TStrings::SetValues(const String& Name, const String& Value)
{
  Integer i = IndexOfName(Name);
  if (Value.empty()) {
    if (i >= 0)
      Delete(i);
    return;
  }
  if (i < 0)
    Add(Name + "=" + Value);
  else
    Put(i, Name + "=" + Value);
}

void TStrings::BeginUpdate()
{
  if (FUpdateCount++ == 0)
    SetUpdateState(true);
}

void TStrings::EndUpdate()
{
  if (FUpdateCount == 0)
    return;
  if (--FUpdateCount == 0)
    SetUpdateState(false);
}

void TStrings::Assign(const TPersistent* Source)
{
  const auto* src = dynamic_cast<const TStrings*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  if (src == this)
    return;
  const TUpdateScope update(*this);
  Clear();
  AddStrings(src);
}

bool TStrings::Equals(const TStrings* Strings) const
{
  if (Count() != Strings->Count())
    return false;
  for (Integer i = 0; i < Count(); ++i)
    if (Get(i) != Strings->Get(i))
      return false;
  return true;
}

void TStrings::LoadFromStream(TStream* Stream)
{
  TBytes bytes = Stream->ReadAll();
  String text(bytes.begin(), bytes.end());
  if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
    text.erase(0, 3);
  SetText(text);
}

void TStrings::SaveToStream(TStream* Stream) const
{
  String text = Text();
  Stream->WriteBuffer(text.data(), Int64(text.size()));
}

void TStrings::LoadFromFile(const String& FileName)
{
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TStrings::SaveToFile(const String& FileName) const
{
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

// ---- TStringList ---------------------------------------------------------------------

TStringList::~TStringList()
{
  OnChange = nullptr;
  OnChanging = nullptr;
  Clear();
}

void TStringList::CheckIndex(Integer Index) const
{
  if (Index < 0 || Index >= Count())
    Error("List index out of bounds (%d)", Index);
}

void TStringList::Changed()
{
  if (UpdateCount() == 0 && OnChange)
    OnChange(this);
}

void TStringList::Changing()
{
  if (UpdateCount() == 0 && OnChanging)
    OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating)
{
  if (Updating)
    Changing();
  else
    Changed();
}

String TStringList::Get(Integer Index) const
{
  CheckIndex(Index);
  return FList[size_t(Index)].S;
}

void TStringList::Put(Integer Index, const String& S)
{
  if (FSorted)
    throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(Index);
  Changing();
  FList[size_t(Index)].S = S;
  Changed();
}

TObject* TStringList::GetObject(Integer Index) const
{
  CheckIndex(Index);
  return FList[size_t(Index)].Object;
}

void TStringList::PutObject(Integer Index, TObject* AObject)
{
  CheckIndex(Index);
  Changing();
  FList[size_t(Index)].Object = AObject;
  Changed();
}

void TStringList::Clear()
{
  if (FList.empty())
    return;
  Changing();
  std::vector<TItem> old;
  old.swap(FList);
  if (FOwnsObjects)
    for (auto& item : old)
      delete item.Object;
  Changed();
}

void TStringList::Delete(Integer Index)
{
  CheckIndex(Index);
  Changing();
  TObject* obj = FList[size_t(Index)].Object;
  FList.erase(FList.begin() + Index);
  if (FOwnsObjects)
    delete obj;
  Changed();
}

void TStringList::Insert(Integer Index, const String& S)
{
  InsertObject(Index, S, nullptr);
}

void TStringList::InsertObject(Integer Index, const String& S, TObject* AObject)
{
  if (FSorted)
    throw EStringListError("Operation not allowed on sorted list");
  if (Index < 0 || Index > Count())
    Error("List index out of bounds (%d)", Index);
  InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(Integer Index, const String& S, TObject* AObject)
{
  Changing();
  FList.insert(FList.begin() + Index, TItem{S, AObject});
  Changed();
}

Integer TStringList::AddObject(const String& S, TObject* AObject)
{
  if (!FSorted) {
    Integer index = Count();
    InsertItem(index, S, AObject);
    return index;
  }
  Integer index;
  if (Find(S, index)) {
    if (FDuplicates == dupIgnore)
      return index;
    if (FDuplicates == dupError)
      throw EStringListError("String list does not allow duplicates");
  }
  InsertItem(index, S, AObject);
  return index;
}

bool TStringList::Find(const String& S, Integer& Index) const
{
  Integer lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    Integer mid = lo + (hi - lo) / 2;
    int c = CompareStrings(FList[size_t(mid)].S, S);
    if (c < 0) {
      lo = mid + 1;
      continue;
    }
    hi = mid - 1;
    if (c == 0) {
      found = true;
      if (FDuplicates != dupAccept)
        lo = mid;
    }
  }
  Index = lo;
  return found;
}

Integer TStringList::IndexOf(const String& S) const
{
  if (!FSorted)
    return TStrings::IndexOf(S);
  Integer index;
  return Find(S, index) ? index : -1;
}

void TStringList::Exchange(Integer Index1, Integer Index2)
{
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(FList[size_t(Index1)], FList[size_t(Index2)]);
  Changed();
}

void TStringList::Move(Integer CurIndex, Integer NewIndex)
{
  if (FSorted)
    throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  if (CurIndex == NewIndex)
    return;
  Changing();
  TItem item = std::move(FList[size_t(CurIndex)]);
  FList.erase(FList.begin() + CurIndex);
  FList.insert(FList.begin() + NewIndex, std::move(item));
  Changed();
}

void TStringList::SortRange(Integer L, Integer R, const std::function<int(Integer, Integer)>& Compare)
{
  // Stable, so equal strings keep their order.
  std::vector<Integer> order(size_t(R - L + 1));
  for (Integer i = L; i <= R; ++i)
    order[size_t(i - L)] = i;
  std::stable_sort(order.begin(), order.end(), [&](Integer a, Integer b) { return Compare(a, b) < 0; });
  std::vector<TItem> sorted;
  sorted.reserve(order.size());
  for (Integer i : order)
    sorted.push_back(std::move(FList[size_t(i)]));
  std::move(sorted.begin(), sorted.end(), FList.begin() + L);
}

void TStringList::CustomSort(const std::function<int(TStringList*, Integer, Integer)>& Compare)
{
  if (Count() < 2)
    return;
  Changing();
  SortRange(0, Count() - 1, [&](Integer a, Integer b) { return Compare(this, a, b); });
  Changed();
}

void TStringList::Sort()
{
  if (Count() < 2)
    return;
  Changing();
  SortRange(0, Count() - 1,
            [&](Integer a, Integer b) { return CompareStrings(FList[size_t(a)].S, FList[size_t(b)].S); });
  Changed();
}

void TStringList::SetSorted(bool Value)
{
  if (FSorted == Value)
    return;
  if (Value)
    Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
  if (FCaseSensitive == Value)
    return;
  FCaseSensitive = Value;
  if (FSorted)
    Sort();
}

} // namespace Vcl
