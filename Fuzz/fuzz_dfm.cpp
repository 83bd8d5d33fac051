// Form resources in the text form format: reading arbitrary text must end in
// a component tree or a clean EParserError/EReadError, never a crash, a hang
// or a leak; whatever was read must write back and read again to the same text.
#include "../Tests/Support/QxFormClasses.hpp"

#include <cstdint>
#include <memory>

using namespace Vcl;

namespace {

const TMethodTable& Methods()
{
  static const TMethodTable methods = [] {
    TMethodTable m;
    m.Add<void(TObject*)>("ButtonClick", [](TObject*) {});
    m.Add<void(TObject*)>("TimerTick", [](TObject*) {});
    m.Add<void(TObject*, Integer)>("PanelSelect", [](TObject*, Integer) {});
    return m;
  }();
  return methods;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  QxFormTest::EnsureIdentMaps();
  const String text(reinterpret_cast<const char*>(Data), Size);
  std::unique_ptr<TComponent> root;
  try {
    root.reset(ReadComponentRes(text, nullptr, &Methods()));
  } catch (const EParserError&) {
    return 0;
  } catch (const EReadError&) {
    return 0;
  }
  // What was read is written, and the writing reads back to the same text;
  // an exception here escapes and is reported as a finding.
  const String written = WriteComponentRes(root.get());
  std::unique_ptr<TComponent> again(ReadComponentRes(written, nullptr, &Methods()));
  if (WriteComponentRes(again.get()) != written)
    __builtin_trap();
  return 0;
}
