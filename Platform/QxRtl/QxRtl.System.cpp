#include "QxRtl.System.hpp"

namespace QxRtl {

TSystemService gSystem;
TStringService gString;

String TStringService::Add(const String& List, const String& Item, const String& Separator) const
{
  return List.empty() ? Item : List + Separator + Item;
}

} // namespace QxRtl
