#include "QxRtl.Version.hpp"

namespace QxRtl {

TVersionService gVersion;

String TVersionValue::AsLongString() const
{
  return Vcl::Format("%d.%d.%d.%d", {Major, Minor, Release, Build});
}

TVersionValue TVersionService::GetAppVersion() const
{
  return FAppVersion;
}

void TVersionService::SetAppVersion(const TVersionValue& Value)
{
  FAppVersion = Value;
}

} // namespace QxRtl
