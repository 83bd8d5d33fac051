// Form resources in the text form format: reading arbitrary text must end in
// a component tree or a clean EParserError/EReadError, never a crash, a hang
// or a leak; whatever was read must write back and read again to the same text.
// Read into an existing form instead, a failure must leave that form as it
// was. The framework controls and the library's components are registered
// too, so resources may name them.
#include "../Tests/Support/QxFormClasses.hpp"

#include <Win.Desktop.hpp>

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

// A form of every kind of component the fuzzer's resources may touch.
const String HostForm = "object Host: TTestForm\n"
                        "  Caption = 'host'\n"
                        "  Font.Style = [fsBold]\n"
                        "  OnClick = ButtonClick\n"
                        "  object Timer1: TTestTimer\n    Interval = 250\n  end\n"
                        "  object Panel1: TTestPanel\n"
                        "    Anchors = [akLeft]\n"
                        "    Buddy = Label1\n"
                        "    Items = <\n      item\n        Caption = 'one'\n        Target = Label1\n      end>\n"
                        "    Lines.Strings = (\n      'a')\n"
                        "    Data = {0102}\n"
                        "    Picture.Data = {085454657374506E670100000007}\n"
                        "    OnSelect = PanelSelect\n"
                        "    object Label1: TTestLabel\n      Caption = 'label'\n    end\n"
                        "  end\n"
                        "end\n";

void ReadIntoExistingForm(const String& Text)
{
  QxFormTest::TTestForm host(nullptr);
  ReadComponentRes(HostForm, &host, &Methods());
  const String before = WriteComponentRes(&host);
  try {
    ReadComponentRes(Text, &host, &Methods());
  } catch (const EParserError&) {
  } catch (const EReadError&) {
    if (WriteComponentRes(&host) != before)
      __builtin_trap();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  QxFormTest::EnsureIdentMaps();
  static const bool clockSet = (Win::UseVirtualClock(true), true);
  (void)clockSet;
  const String text(reinterpret_cast<const char*>(Data), Size);
  ReadIntoExistingForm(text);
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
