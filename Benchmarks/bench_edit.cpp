// The single-line edit on long lines: placing the caret by a click in a
// line of N characters, and typing 1 000 characters at its end, beside
// Pango doing the same work on the same text in the same face and size
// (pango_layout_xy_to_index for the click; setting the grown text and
// asking for the caret's position, which lays the line out again, for
// each typed character). Two line lengths show how each grows with N.
#include <Win.Desktop.hpp>
#include <Win.Edit.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstdio>
#include <cstring>
#include <string>

using namespace Win;

namespace {

constexpr int EmPixels = 13;
constexpr int Typed = 1000;
constexpr int EditWidth = 400, EditHeight = 24;

std::string LineOf(std::int64_t chars)
{
  static const std::string words = "lorem ipsum dolor sit amet, consectetur adipiscing elit ";
  std::string line;
  while (std::int64_t(line.size()) < chars)
    line += words;
  line.resize(std::size_t(chars));
  return line;
}

// An edit in a window on a fresh desktop, in DejaVu Sans at 13 pixels.
class TEditDesk {
public:
  TEditDesk()
  {
    ResetWindowSystem();
    UseVirtualClock(true);
    WNDCLASS wc;
    wc.lpfnWndProc = &DefWindowProc;
    wc.lpszClassName = "BenchEditHost";
    RegisterClass(wc);
    FHost = CreateWindowEx(0, "BenchEditHost", "", WS_POPUP | WS_VISIBLE, 0, 0, EditWidth + 20, 60, nullptr,
                           nullptr, nullptr, nullptr);
    Edit = CreateWindowEx(WS_EX_CLIENTEDGE, WC_EDIT, "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, EditWidth,
                          EditHeight, FHost, nullptr, nullptr, nullptr);
    LOGFONT lf;
    lf.lfHeight = -EmPixels;
    std::strcpy(lf.lfFaceName, "DejaVu Sans");
    FFont = CreateFontIndirect(lf);
    SendMessage(Edit, WM_SETFONT, WPARAM(FFont), 0);
    SetFocus(Edit);
  }
  ~TEditDesk()
  {
    ResetWindowSystem();
    DeleteObject(FFont);
  }
  // The text, with the caret at its end.
  void Reset(const std::string& text)
  {
    SetWindowText(Edit, text.c_str());
    SendMessage(Edit, EM_SETSEL, WPARAM(-1), -1);
    SendMessage(Edit, WM_KEYDOWN, VK_END, 0);
  }
  HWND Edit = nullptr;

private:
  HWND FHost = nullptr;
  HFONT FFont = nullptr;
};

class TPangoLine {
public:
  TPangoLine()
  {
    FSurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, EditWidth, EditHeight);
    FCairo = cairo_create(FSurface);
    Layout = pango_cairo_create_layout(FCairo);
    PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans");
    pango_font_description_set_absolute_size(font, EmPixels * PANGO_SCALE);
    pango_layout_set_font_description(Layout, font);
    pango_font_description_free(font);
  }
  ~TPangoLine()
  {
    g_object_unref(Layout);
    cairo_destroy(FCairo);
    cairo_surface_destroy(FSurface);
  }
  PangoLayout* Layout;

private:
  cairo_surface_t* FSurface;
  cairo_t* FCairo;
};

// Clicks spread over the visible part of the line scrolled to its end.
void BM_ClickCaret_qx(benchmark::State& state)
{
  TEditDesk desk;
  desk.Reset(LineOf(state.range(0)));
  int x = 20;
  for (auto _ : state) {
    x = x % (EditWidth - 40) + 17;
    SendMessage(desk.Edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, EditHeight / 2));
    SendMessage(desk.Edit, WM_LBUTTONUP, 0, MAKELPARAM(x, EditHeight / 2));
    benchmark::DoNotOptimize(SendMessage(desk.Edit, EM_CHARFROMPOS, 0, MAKELPARAM(x, EditHeight / 2)));
  }
}

// The same points of the line's end, in Pango's layout coordinates.
void BM_ClickCaret_pango(benchmark::State& state)
{
  TPangoLine pango;
  const std::string line = LineOf(state.range(0));
  pango_layout_set_text(pango.Layout, line.c_str(), int(line.size()));
  int width = 0, height = 0;
  pango_layout_get_pixel_size(pango.Layout, &width, &height);
  int x = 20;
  for (auto _ : state) {
    x = x % (EditWidth - 40) + 17;
    int index = 0, trailing = 0;
    pango_layout_xy_to_index(pango.Layout, (width - EditWidth + x) * PANGO_SCALE, height / 2 * PANGO_SCALE, &index,
                             &trailing);
    benchmark::DoNotOptimize(index);
  }
}

void BM_Type1000_qx(benchmark::State& state)
{
  TEditDesk desk;
  const std::string line = LineOf(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    desk.Reset(line);
    state.ResumeTiming();
    for (int i = 0; i < Typed; ++i)
      SendMessage(desk.Edit, WM_CHAR, WPARAM('a' + i % 26), 0);
  }
  state.SetItemsProcessed(state.iterations() * Typed);
}

void BM_Type1000_pango(benchmark::State& state)
{
  TPangoLine pango;
  const std::string line = LineOf(state.range(0));
  for (auto _ : state) {
    std::string text = line;
    for (int i = 0; i < Typed; ++i) {
      text += char('a' + i % 26);
      pango_layout_set_text(pango.Layout, text.c_str(), int(text.size()));
      PangoRectangle caret;
      pango_layout_index_to_pos(pango.Layout, int(text.size()), &caret);
      benchmark::DoNotOptimize(caret);
    }
  }
  state.SetItemsProcessed(state.iterations() * Typed);
}

} // namespace

BENCHMARK(BM_ClickCaret_qx)->Arg(1000)->Arg(10000);
BENCHMARK(BM_ClickCaret_pango)->Arg(1000)->Arg(10000);
BENCHMARK(BM_Type1000_qx)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Type1000_pango)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
  return QxBench::RunWithRatios(argc, argv, {}, [](const QxBench::TTimes& times) {
    QxBench::PrintRatios(times, {{"BM_ClickCaret_qx/1000", "BM_ClickCaret_pango/1000"},
                                 {"BM_ClickCaret_qx/10000", "BM_ClickCaret_pango/10000"},
                                 {"BM_Type1000_qx/1000", "BM_Type1000_pango/1000"},
                                 {"BM_Type1000_qx/10000", "BM_Type1000_pango/10000"}});
    for (const char* name : {"BM_Type1000_qx/10000", "BM_Type1000_pango/10000"})
      if (auto typing = times.find(name); typing != times.end())
        std::printf("%-24s CPU time per keystroke: %.3f us\n", name, typing->second * 1e6 / Typed);
    std::printf("\nGrowth from 1 000 to 10 000 characters (10 would be linear)\n");
    for (const char* op : {"BM_ClickCaret_qx", "BM_ClickCaret_pango", "BM_Type1000_qx", "BM_Type1000_pango"}) {
      auto a = times.find(std::string(op) + "/1000"), b = times.find(std::string(op) + "/10000");
      if (a != times.end() && b != times.end() && a->second > 0)
        std::printf("%-22s %.2f\n", op, b->second / a->second);
    }
  });
}
