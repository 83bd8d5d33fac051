#include "QxFormCompare.hpp"

#include <gtest/gtest.h>

namespace QxTest {

using namespace Vcl;

namespace {

String ValueText(const TPropValue& v)
{
  return std::visit(
    [](const auto& x) -> String {
      using X = std::decay_t<decltype(x)>;
      if constexpr (std::is_same_v<X, Int64>)
        return IntToStr(x);
      else if constexpr (std::is_same_v<X, double>)
        return Format("%g", {x});
      else if constexpr (std::is_same_v<X, String>)
        return x;
      else if constexpr (std::is_same_v<X, TBytes>)
        return Format("%d bytes", {Integer(x.size())});
      else
        return x ? static_cast<TObject*>(x)->ClassName() : String("nil");
    },
    v);
}

String NameOf(const TPropValue& v)
{
  auto* c = static_cast<TComponent*>(std::get<TObject*>(v));
  return c ? c->Name() : String("nil");
}

} // namespace

void ExpectSameProperties(TPersistent* a, TPersistent* b, const String& Path, const TSameData& SameData)
{
  ASSERT_EQ(a->ClassName(), b->ClassName()) << Path;
  if (auto* sa = dynamic_cast<TStrings*>(a)) {
    EXPECT_EQ(sa->Text(), static_cast<TStrings*>(b)->Text()) << Path;
    return;
  }
  if (SameData && SameData(a, b, Path))
    return;
  for (const TPropInfo* info : GetPropList(a->ClassType())) {
    String where = Path + "." + info->Name;
    TPropValue va = info->Get(a), vb = info->Get(b);
    switch (info->Kind) {
    case pkClass:
      if (!std::get<TObject*>(va) || !std::get<TObject*>(vb)) {
        EXPECT_EQ(ValueText(va), ValueText(vb)) << where;
        break;
      }
      ExpectSameProperties(static_cast<TPersistent*>(std::get<TObject*>(va)),
                           static_cast<TPersistent*>(std::get<TObject*>(vb)), where, SameData);
      break;
    case pkCollection: {
      auto* ca = static_cast<TCollection*>(std::get<TObject*>(va));
      auto* cb = static_cast<TCollection*>(std::get<TObject*>(vb));
      ASSERT_EQ(ca->Count(), cb->Count()) << where;
      for (Integer i = 0; i < ca->Count(); ++i)
        ExpectSameProperties(ca->Items(i), cb->Items(i), where + "[" + IntToStr(i) + "]", SameData);
      break;
    }
    case pkComponent:
      EXPECT_EQ(NameOf(va), NameOf(vb)) << where;
      break;
    default:
      EXPECT_EQ(ValueText(va), ValueText(vb)) << where;
    }
  }
}

void ExpectSameTree(TComponent* a, TComponent* b, const TSameData& SameData)
{
  ExpectSameProperties(a, b, a->Name(), SameData);
  ASSERT_EQ(a->ComponentCount(), b->ComponentCount());
  for (Integer i = 0; i < a->ComponentCount(); ++i) {
    TComponent* ca = a->Components(i);
    TComponent* cb = b->FindComponent(ca->Name());
    ASSERT_NE(cb, nullptr) << ca->Name();
    ExpectSameProperties(ca, cb, ca->Name(), SameData);
    TComponent* pa = ca->GetParentComponent();
    TComponent* pb = cb->GetParentComponent();
    EXPECT_EQ(pa ? pa->Name() : "", pb ? pb->Name() : "") << ca->Name();
  }
}

void ExpectReadsBackTheSame(TComponent* Original, const String& Text, const TMethodTable* Methods,
                            const TSameData& SameData)
{
  std::unique_ptr<TComponent> back(ReadComponentRes(Text, nullptr, Methods));
  ExpectSameTree(Original, back.get(), SameData);
  EXPECT_EQ(WriteComponentRes(back.get()), Text);
}

void ExpectHas(const String& Text, std::initializer_list<const char*> Pieces)
{
  for (const char* piece : Pieces)
    EXPECT_NE(Text.find(piece), String::npos) << "'" << piece << "' missing from\n" << Text;
}

void ExpectLacks(const String& Text, std::initializer_list<const char*> Pieces)
{
  for (const char* piece : Pieces)
    EXPECT_EQ(Text.find(piece), String::npos) << "'" << piece << "' found in\n" << Text;
}

} // namespace QxTest
