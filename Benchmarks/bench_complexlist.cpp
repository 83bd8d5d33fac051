// The complex list with 10 000 rows of varying height, 500 x 600: a page
// scrolled and painted, and the mouse swept down a screen of rows (each
// step opens the new hot row and closes the old one, which moves the rows
// below, and paints), beside Pango and Cairo drawing the same visible rows
// with the same texts; the time ratios are printed after the runs.
#include <Quorex.Vcl.ComplexList.hpp>
#include <Vcl.Forms.hpp>
#include <Win.Gdi.Guards.hpp>
#include <Winapi.Windows.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <pango/pangocairo.h>

#include <string>
#include <vector>

namespace {

using namespace Quorex;
using namespace Vcl;

constexpr int kRows = 10000, kWidth = 500, kHeight = 600, kHotGrowth = 24;

int RowHeight(int Index)
{
  return 24 + (Index % 5) * 6;
}

std::string RowText(int Index)
{
  return "Task " + std::to_string(Index + 1) + " - waiting for review";
}

// The host's editor: a row filled and captioned in the canvas's font.
class TRowEditor : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  String Text;

protected:
  void Paint() override
  {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
    Canvas()->TextOut(8, 4, Text);
  }
};

struct TListHost {
  TListHost()
  {
    Form = new TForm(Application);
    Form->SetBounds(0, 0, kWidth + 40, kHeight + 40);
    Editor = new TRowEditor(Form);
    Editor->SetColor(clWindow);
    List = new TQxComplexList(Form);
    List->SetBounds(0, 0, kWidth, kHeight);
    List->OnGetItemHeight = [](TComplexItem* Item, TComplexListItemState State) {
      int index = int(reinterpret_cast<std::intptr_t>(Item->Data()));
      return RowHeight(index) + (State == isHot ? kHotGrowth : 0);
    };
    List->OnGetEditor = [this](TComplexItem* Item, TComplexListItemState) -> TWinControl* {
      Editor->Text = RowText(int(reinterpret_cast<std::intptr_t>(Item->Data())));
      return Editor;
    };
    List->BeginUpdate();
    for (std::intptr_t i = 0; i < kRows; ++i)
      List->Add(reinterpret_cast<TObject*>(i));
    List->EndUpdate();
    List->SetParent(Form);
    Form->Show();
    Application->ProcessMessages();
  }
  ~TListHost() { delete Form; }
  void Paint(Win::HDC DC) { List->Perform(Win::WM_PAINT, Win::WPARAM(DC), 0); }
  TForm* Form;
  TRowEditor* Editor;
  TQxComplexList* List;
};

void ScrollPageQx(benchmark::State& State)
{
  TListHost host;
  Win::TMemoryDC target(nullptr, kWidth, kHeight);
  for (auto _ : State) {
    TControlScrollBar* bar = host.List->VScrollBar();
    int next = bar->Position() + bar->PageSize();
    bar->DoScroll(next > bar->Max() - bar->PageSize() ? 0 : next);
    host.Paint(target.DC());
  }
}
BENCHMARK(ScrollPageQx)->Unit(benchmark::kMicrosecond);

void HotSweepQx(benchmark::State& State)
{
  TListHost host;
  Win::TMemoryDC target(nullptr, kWidth, kHeight);
  host.List->VScrollBar()->DoScroll(kRows * 12); // somewhere in the middle
  for (auto _ : State) {
    for (int y = 5; y < kHeight; y += 24) {
      host.List->Perform(Win::WM_MOUSEMOVE, 0, Win::MAKELPARAM(100, y));
      host.Paint(target.DC());
    }
  }
}
BENCHMARK(HotSweepQx)->Unit(benchmark::kMicrosecond);

// The peer: the same visible rows filled and captioned by Cairo and Pango.
struct TPangoRows {
  TPangoRows()
  {
    Layout = pango_cairo_create_layout(Context);
    PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans");
    pango_font_description_set_absolute_size(font, 11 * PANGO_SCALE);
    pango_layout_set_font_description(Layout, font);
    pango_font_description_free(font);
    int top = 1;
    for (int i = 0; i < kRows; ++i) {
      Tops.push_back(top);
      top += RowHeight(i);
    }
  }
  ~TPangoRows()
  {
    g_object_unref(Layout);
    cairo_destroy(Context);
    cairo_surface_destroy(Surface);
  }
  // The rows from the offset down, as the list shows them.
  void Draw(int Offset, int HotRow)
  {
    cairo_set_source_rgb(Context, 1, 1, 1);
    cairo_paint(Context);
    auto first = std::upper_bound(Tops.begin(), Tops.end(), Offset) - Tops.begin();
    int y = Tops[size_t(std::max<std::ptrdiff_t>(first - 1, 0))] - Offset;
    for (auto i = std::max<std::ptrdiff_t>(first - 1, 0); i < kRows && y < kHeight; ++i) {
      int h = RowHeight(int(i)) + (i == HotRow ? kHotGrowth : 0);
      cairo_rectangle(Context, 1, y, kWidth - 2, h);
      cairo_set_source_rgb(Context, 1, 1, 1);
      cairo_fill(Context);
      cairo_set_source_rgb(Context, 0, 0, 0);
      cairo_move_to(Context, 9, y + 4);
      pango_layout_set_text(Layout, RowText(int(i)).c_str(), -1);
      pango_cairo_show_layout(Context, Layout);
      y += h;
    }
    cairo_surface_flush(Surface);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(Surface)[0]);
  }
  cairo_surface_t* Surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
  cairo_t* Context = cairo_create(Surface);
  PangoLayout* Layout = nullptr;
  std::vector<int> Tops;
};

void ScrollPageCairo(benchmark::State& State)
{
  TPangoRows rows;
  int offset = 0;
  for (auto _ : State) {
    offset = offset + kHeight > rows.Tops.back() ? 0 : offset + kHeight;
    rows.Draw(offset, -1);
  }
}
BENCHMARK(ScrollPageCairo)->Unit(benchmark::kMicrosecond);

void HotSweepCairo(benchmark::State& State)
{
  TPangoRows rows;
  const int offset = kRows * 12;
  for (auto _ : State)
    for (int y = 5; y < kHeight; y += 24) {
      auto hot = std::upper_bound(rows.Tops.begin(), rows.Tops.end(), offset + y) - rows.Tops.begin() - 1;
      rows.Draw(offset, int(hot));
    }
}
BENCHMARK(HotSweepCairo)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
  const QxBench::TPairs pairs{{"ScrollPageQx", "ScrollPageCairo"}, {"HotSweepQx", "HotSweepCairo"}};
  return QxBench::RunWithRatios(argc, argv, pairs);
}
