// Icon files from outside through TIconEx: loading, every description, every
// search and every extraction must load or reject cleanly; a rejected file
// leaves the previous image.
#include <Quorex.Imaging.IconEx.hpp>

#include <cstdlib>

namespace {

template <class F>
void Tolerate(F f)
{
  try {
    f();
  } catch (const Vcl::EInvalidGraphic&) {
  } catch (const Vcl::EReadError&) {
  } catch (const Vcl::EOutOfResources&) {
  } catch (const Vcl::EPngError&) {
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  using namespace Vcl;
  Quorex::TIconEx icon;
  TBytesStream stream(TBytes(data, data + size));
  try {
    icon.LoadFromStream(&stream);
  } catch (const EInvalidGraphic&) {
    if (!icon.Empty())
      std::abort();
    return 0;
  }
  TBytesStream saved;
  icon.SaveToStream(&saved);
  if (saved.Bytes() != TBytes(data, data + size))
    std::abort();
  const Integer count = icon.GetIconCount();
  for (Integer i = 0; i < count && i < 8; ++i) {
    Tolerate([&] { (void)icon.GetIconDescriptions(i); });
    TIcon platformIcon;
    Tolerate([&] { icon.ExtractIcon(i, &platformIcon); });
    TBitmap bitmap;
    Tolerate([&] { icon.ExtractIcon(i, &bitmap); });
    TPngImage png;
    Tolerate([&] { icon.ExtractIcon(i, &png); });
  }
  const TSize wanted(size > 0 ? 1 + data[0] % 64 : 16, size > 1 ? 1 + data[1] % 64 : 16);
  Tolerate([&] { (void)icon.FindNearestBiggerSize(wanted); });
  TIcon bySize;
  Tolerate([&] { icon.ExtractIcon(wanted, &bySize); });
  TPngImage resized;
  Tolerate([&] { icon.ExtractIcon(wanted, &resized, true); });
  Tolerate([&] { icon.ExtractIcon(wanted, &resized, false); });
  Tolerate([&] { (void)icon.Handle(); });
  TBitmap assigned;
  Tolerate([&] { assigned.Assign(&icon); });
  return 0;
}

