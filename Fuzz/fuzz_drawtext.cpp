// DrawText and the measuring calls on arbitrary bytes: the first four bytes
// are the format flags, the next two the rectangle's width, the next one
// picks a window origin (near or at the ends of the range), the rest is text.
#include <Win.Gdi.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>

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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  static TTarget target;
  constexpr int Origins[] = {0, 0, 0, 0, 5, -7, 1 << 27, -(1 << 27), std::numeric_limits<int>::max(),
                             std::numeric_limits<int>::min()};
  if (size < 7)
    return 0;
  UINT format = 0;
  std::memcpy(&format, data, 4);
  const int width = data[4] | (data[5] << 8);
  const int origin = Origins[data[6] % std::size(Origins)];
  SetWindowOrgEx(target.DC, origin, origin / -2, nullptr);
  const char* text = reinterpret_cast<const char*>(data + 7);
  const int count = int(size - 7);
  RECT rect(-3, 2, -3 + width % 200, 40);
  DrawText(target.DC, text, count, &rect, format);
  RECT calc(0, 0, width % 200, 0);
  DrawText(target.DC, text, count, &calc, format | DT_CALCRECT);
  SIZE extent;
  GetTextExtentPoint32(target.DC, text, count, &extent);
  TextOut(target.DC, 1, 1, text, count);
  return 0;
}
