// Markup from outside: parse it, lay it out, move the mouse over it, lay it
// out again in the hover fonts, and parse again under a live layout.
#include <Quorex.Vcl.HtmlLabel.hpp>

#include <cstddef>
#include <cstdint>

namespace {

struct TMarkupView {
  TMarkupView()
  {
    Font.SetName("DejaVu Sans");
    Font.SetSize(9);
    Parser.RegisterTags();
    Parser.SetDefaultFont(&Font);
    Renderer.SetHtml(Parser.Root());
  }
  Vcl::TFont Font;
  Quorex::THtmlParser Parser;
  Quorex::THtmlRenderer Renderer;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  static TMarkupView view;
  if (Size < 2)
    return 0;
  // Two option bytes: word breaking, link underline and the width.
  const std::uint8_t options = Data[0];
  const int width = 20 + Data[1] * 2;
  const Vcl::String markup(reinterpret_cast<const char*>(Data + 2), Size - 2);
  view.Renderer.SetWordBreak(options & 1);
  view.Parser.SetLinkUnderline(options & 2);

  view.Parser.Parse(markup);
  Vcl::TRect rect(0, 0, width, 400);
  Vcl::TSize size = view.Renderer.Reparse(rect);
  for (int step = 0; step < 8; ++step) {
    view.Renderer.TrackMouse(step * size.cx / 7, step * size.cy / 7);
    if (view.Renderer.GetNeedRepaint())
      view.Renderer.Reparse(rect);
  }
  // Parsing again without resetting: the old layout must not be used.
  view.Parser.Parse(markup.substr(markup.size() / 2));
  view.Renderer.TrackMouse(1, 1);
  view.Renderer.Reparse(rect);
  view.Renderer.TrackMouse(-1, -1);
  return 0;
}
