// BMP files from outside: TBitmap::LoadFromStream must reject or load them,
// never crash, and a rejected file must leave the bitmap as it was.
#include <Vcl.Graphics.hpp>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  Vcl::TBitmap bitmap(2, 2);
  Vcl::TBytesStream stream(Vcl::TBytes(data, data + size));
  try {
    bitmap.LoadFromStream(&stream);
  } catch (const Vcl::EInvalidGraphic&) {
    if (bitmap.Width() != 2 || bitmap.Height() != 2)
      std::abort();
    return 0;
  }
  if (!bitmap.Empty()) {
    bitmap.ScanLine(bitmap.Height() - 1);
    Vcl::TBytesStream saved;
    bitmap.SaveToStream(&saved);
  }
  return 0;
}
