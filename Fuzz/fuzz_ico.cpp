// Icon files from outside: TIcon::LoadFromStream must reject or load them,
// never crash, and a rejected file must leave the icon as it was.
#include <Vcl.Graphics.hpp>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  Vcl::TIcon icon;
  Vcl::TBytesStream stream(Vcl::TBytes(data, data + size));
  try {
    icon.LoadFromStream(&stream);
  } catch (const Vcl::EInvalidGraphic&) {
    if (!icon.Empty())
      std::abort();
    return 0;
  }
  Vcl::TBytesStream saved;
  icon.SaveToStream(&saved);
  Vcl::TBitmap bitmap;
  bitmap.Assign(&icon);
  return 0;
}
