// DrawText and the measuring calls on arbitrary bytes: the first four bytes
// are the format flags, the next two the rectangle's width, the rest is text.
#include <Win.Gdi.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace Win;

namespace {

struct TTarget {
  HDC DC = CreateCompatibleDC(nullptr);
  HBITMAP Bitmap = CreateBitmap32(64, 48);
  HFONT Font;
  TTarget()
  {
    LOGFONT lf;
    lf.lfHeight = -11;
    std::strcpy(lf.lfFaceName, "Tahoma");
    Font = CreateFontIndirect(lf);
    SelectObject(DC, Bitmap);
    SelectObject(DC, Font);
  }
};

} // namespace

// fontconfig leaks a few bytes once while it parses its configuration.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  static TTarget target;
  if (size < 6)
    return 0;
  UINT format = 0;
  std::memcpy(&format, data, 4);
  const int width = data[4] | (data[5] << 8);
  const char* text = reinterpret_cast<const char*>(data + 6);
  const int count = int(size - 6);
  RECT rect(-3, 2, -3 + width % 200, 40);
  DrawText(target.DC, text, count, &rect, format);
  RECT calc(0, 0, width % 200, 0);
  DrawText(target.DC, text, count, &calc, format | DT_CALCRECT);
  SIZE extent;
  GetTextExtentPoint32(target.DC, text, count, &extent);
  TextOut(target.DC, 1, 1, text, count);
  return 0;
}
