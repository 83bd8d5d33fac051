// Form streaming shared by reading and writing: what the component and
// string list classes store beyond their published properties.
#include "System.Classes.Streaming.hpp"
#include "System.ScopeGuards.hpp"

#include <cstdint>
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
    const TUpdateScope update(*this);
    Clear();
    Reader->ReadListBegin();
    while (!Reader->EndOfList())
      Add(Reader->ReadString());
    Reader->ReadListEnd();
  };
  auto write = [this](TWriter* Writer) {
    Writer->WriteListBegin();
    for (Integer i = 0; i < Count(); ++i)
      Writer->WriteString(Get(i));
    Writer->WriteListEnd();
  };
  Filer->DefineProperty("Strings", read, write, Count() > 0);
}

} // namespace Vcl
