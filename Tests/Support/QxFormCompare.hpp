// Compares two component trees property by property, as a form resource
// would store them: published values, sub-objects, collections, references
// by name and each component's parent.
#pragma once

#include <System.Classes.Streaming.hpp>
#include <System.TypInfo.hpp>
#include <Vcl.Controls.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <type_traits>

namespace QxTest {

// Compares data a and b keep outside their published properties (a picture's
// graphic, say); returns false for classes it does not know.
using TSameData = std::function<bool(Vcl::TPersistent* a, Vcl::TPersistent* b, const Vcl::String& Path)>;

void ExpectSameProperties(Vcl::TPersistent* a, Vcl::TPersistent* b, const Vcl::String& Path,
                          const TSameData& SameData = {});
void ExpectSameTree(Vcl::TComponent* a, Vcl::TComponent* b, const TSameData& SameData = {});
// Text, which Original wrote, reads back to the same tree and writes the same text again.
void ExpectReadsBackTheSame(Vcl::TComponent* Original, const Vcl::String& Text,
                            const Vcl::TMethodTable* Methods = nullptr, const TSameData& SameData = {});

// The root a resource builds, when it is a T (none when it is not).
template <class T = Vcl::TComponent>
std::unique_ptr<T> ReadAs(const Vcl::String& Text, const Vcl::TMethodTable* Methods = nullptr)
{
  std::unique_ptr<Vcl::TComponent> read(Vcl::ReadComponentRes(Text, nullptr, Methods));
  auto* typed = dynamic_cast<T*>(read.get());
  if (typed)
    read.release();
  return std::unique_ptr<T>(typed);
}

// The component Root owns under Name, when it is a T; a failure when not.
template <class T>
T* FindIn(Vcl::TComponent* Root, const Vcl::String& Name)
{
  auto* found = dynamic_cast<T*>(Root->FindComponent(Name));
  EXPECT_NE(found, nullptr) << Name;
  return found;
}

// A new T that Root owns under Name, and a child of Parent (Root unless
// given) when it is a control, as a designer drops it on a form.
template <class T>
T* AddNamed(Vcl::TWinControl* Root, const Vcl::String& Name, Vcl::TWinControl* Parent = nullptr)
{
  auto* component = new T(Root);
  component->SetName(Name);
  if constexpr (std::is_base_of_v<Vcl::TControl, T>)
    component->SetParent(Parent ? Parent : Root);
  return component;
}

// Each piece stands in the resource text (ExpectHas) or none does (ExpectLacks).
void ExpectHas(const Vcl::String& Text, std::initializer_list<const char*> Pieces);
void ExpectLacks(const Vcl::String& Text, std::initializer_list<const char*> Pieces);

} // namespace QxTest
