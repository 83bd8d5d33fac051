// Compares two component trees property by property, as a form resource
// would store them: published values, sub-objects, collections, references
// by name and each component's parent.
#pragma once

#include <System.TypInfo.hpp>

#include <functional>
#include <initializer_list>

namespace QxTest {

// Compares data a and b keep outside their published properties (a picture's
// graphic, say); returns false for classes it does not know.
using TSameData = std::function<bool(Vcl::TPersistent* a, Vcl::TPersistent* b, const Vcl::String& Path)>;

void ExpectSameProperties(Vcl::TPersistent* a, Vcl::TPersistent* b, const Vcl::String& Path,
                          const TSameData& SameData = {});
void ExpectSameTree(Vcl::TComponent* a, Vcl::TComponent* b, const TSameData& SameData = {});

// Each piece stands in the resource text (ExpectHas) or none does (ExpectLacks).
void ExpectHas(const Vcl::String& Text, std::initializer_list<const char*> Pieces);
void ExpectLacks(const Vcl::String& Text, std::initializer_list<const char*> Pieces);

} // namespace QxTest
