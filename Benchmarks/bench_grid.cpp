// The graph grid at 800 x 300 with four series: one tick (the plot scrolled
// one pixel and one new anti-aliased segment per series) and a full rebuild
// of the plot from 1000 stored values per series, each beside plain Cairo
// doing the same scroll and drawing the same anti-aliased gradient lines; the
// time ratios are printed after the runs.
#include <Quorex.Vcl.Grid.hpp>
#include <Vcl.Forms.hpp>
#include <Win.Gdi.Guards.hpp>
#include <Winapi.Windows.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using namespace Quorex;

constexpr int kWidth = 800, kHeight = 300, kSeries = 4, kValues = 1000;
// The plot of a grid without labels: the client less 7 pixels at the top
// and the bottom.
constexpr int kPlotHeight = kHeight - 14;
constexpr std::array<std::uint32_t, kSeries> kTop = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFF00};
constexpr std::array<std::uint32_t, kSeries> kBottom = {0xFF0000, 0x0000FF, 0x00FF00, 0x00FFFF};

// Percent readings of series S at step N, the same for both.
double Reading(int S, int N)
{
  return 50 + 40 * std::sin(N * 0.05 * (S + 1) + S);
}

std::array<double, kSeries> Readings(int N)
{
  std::array<double, kSeries> values{};
  for (int s = 0; s < kSeries; ++s)
    values[size_t(s)] = Reading(s, N);
  return values;
}

// A shown form with a grid of four series that holds 1000 values and has
// painted once, so that both of its bitmaps exist.
struct TGridHost {
  TGridHost()
  {
    Form = new Vcl::TForm(Vcl::Application);
    Form->SetBounds(0, 0, kWidth + 40, kHeight + 40);
    Grid = new TQxGrid(Form);
    Grid->SetBounds(0, 0, kWidth, kHeight);
    Grid->SetShowLabel(false);
    for (int s = 0; s < kSeries; ++s) {
      TQxGridGraph* graph = Grid->Graphs()->Add();
      graph->SetMinColor(Vcl::TColor(kTop[size_t(s)]));
      graph->SetMaxColor(Vcl::TColor(kBottom[size_t(s)]));
    }
    Grid->SetParent(Form);
    Form->Show();
    for (int n = 0; n < kValues; ++n) {
      const auto values = Readings(n);
      Grid->AddValues(std::span<const double>(values));
    }
    Vcl::Application->ProcessMessages();
  }
  ~TGridHost() { delete Form; }
  Vcl::TForm* Form;
  TQxGrid* Grid;
};

void TickQx(TGridHost& Host, int N)
{
  const auto values = Readings(N);
  Host.Grid->AddValues(std::span<const double>(values));
}

void GridTickQx(benchmark::State& State)
{
  TGridHost host;
  int n = kValues;
  for (auto _ : State)
    TickQx(host, n++);
  State.SetItemsProcessed(State.iterations());
}
BENCHMARK(GridTickQx)->Unit(benchmark::kMicrosecond);

// Drops the graph bitmap and paints the plot into a memory DC: the bitmap is
// drawn again from every stored value and blended over the grid.
void GridRebuildQx(benchmark::State& State)
{
  TGridHost host;
  Win::TMemoryDC target(nullptr, kWidth, kHeight);
  for (auto _ : State) {
    host.Grid->Reset(false, true, false);
    host.Grid->Perform(Win::WM_PAINT, Win::WPARAM(target.DC()), 0);
  }
  State.SetItemsProcessed(State.iterations() * kSeries * kValues);
}
BENCHMARK(GridRebuildQx)->Unit(benchmark::kMillisecond);

// The same picture in plain Cairo: a transparent plot surface, one vertical
// gradient source per series, lines one pixel wide through the centres of
// the pixels, where the grid puts its points.
struct TCairoPlot {
  TCairoPlot()
  {
    for (int s = 0; s < kSeries; ++s) {
      cairo_pattern_t* p = cairo_pattern_create_linear(0, 0.5, 0, kPlotHeight + 0.5);
      for (auto [offset, c] : {std::pair{0.0, kTop[size_t(s)]}, std::pair{1.0, kBottom[size_t(s)]}})
        cairo_pattern_add_color_stop_rgb(p, offset, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                         ((c >> 16) & 0xFF) / 255.0);
      Sources[size_t(s)] = p;
    }
    cairo_set_antialias(Context, CAIRO_ANTIALIAS_GRAY);
    cairo_set_line_width(Context, 1.0);
  }
  ~TCairoPlot()
  {
    for (cairo_pattern_t* p : Sources)
      cairo_pattern_destroy(p);
    cairo_destroy(Context);
    cairo_surface_destroy(Surface);
  }
  static double X(int Column) { return Column + 0.5; }
  // A reading as the grid keeps it, a percentage of the range 0 to 100, and
  // placed as the grid places it: a single-precision pixel row.
  static double Stored(double Reading) { return Reading / 100 * 100; }
  static double Y(double Value) { return double(float(kPlotHeight - Value * (0.01 * kPlotHeight))) + 0.5; }
  // The stored values.
  std::array<std::vector<double>, kSeries> Values = [] {
    std::array<std::vector<double>, kSeries> values;
    for (int s = 0; s < kSeries; ++s)
      for (int n = 0; n < kValues; ++n)
        values[size_t(s)].push_back(Stored(Reading(s, n)));
    return values;
  }();

  cairo_surface_t* Surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kPlotHeight);
  cairo_t* Context = cairo_create(Surface);
  std::array<cairo_pattern_t*, kSeries> Sources{};
};

void TickCairo(TCairoPlot& Plot, int N)
{
  cairo_surface_flush(Plot.Surface);
  unsigned char* data = cairo_image_surface_get_data(Plot.Surface);
  const int stride = cairo_image_surface_get_stride(Plot.Surface);
  for (int y = 0; y < kPlotHeight; ++y) {
    unsigned char* row = data + std::ptrdiff_t(y) * stride;
    std::memmove(row, row + 4, size_t(kWidth - 1) * 4);
    std::memset(row + (kWidth - 1) * 4, 0, 4);
  }
  cairo_surface_mark_dirty(Plot.Surface);
  for (int s = 0; s < kSeries; ++s) {
    cairo_move_to(Plot.Context, TCairoPlot::X(kWidth - 1), TCairoPlot::Y(TCairoPlot::Stored(Reading(s, N))));
    cairo_line_to(Plot.Context, TCairoPlot::X(kWidth - 2), TCairoPlot::Y(TCairoPlot::Stored(Reading(s, N - 1))));
    cairo_set_source(Plot.Context, Plot.Sources[size_t(s)]);
    cairo_stroke(Plot.Context);
  }
}

void GridTickCairo(benchmark::State& State)
{
  TCairoPlot plot;
  int n = kValues;
  for (auto _ : State)
    TickCairo(plot, n++);
  State.SetItemsProcessed(State.iterations());
}
BENCHMARK(GridTickCairo)->Unit(benchmark::kMicrosecond);

// The plot cleared and drawn as one polyline per series, then blended over
// a window-sized surface.
void GridRebuildCairo(benchmark::State& State)
{
  TCairoPlot plot;
  cairo_surface_t* window = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_t* windowContext = cairo_create(window);
  for (auto _ : State) {
    cairo_set_operator(plot.Context, CAIRO_OPERATOR_CLEAR);
    cairo_paint(plot.Context);
    cairo_set_operator(plot.Context, CAIRO_OPERATOR_OVER);
    for (int s = 0; s < kSeries; ++s) {
      for (int i = kValues - 1, x = kWidth - 1; i >= 0 && x >= 0; --i, --x)
        cairo_line_to(plot.Context, TCairoPlot::X(x), TCairoPlot::Y(plot.Values[size_t(s)][size_t(i)]));
      cairo_set_source(plot.Context, plot.Sources[size_t(s)]);
      cairo_stroke(plot.Context);
    }
    cairo_set_source_surface(windowContext, plot.Surface, 0, 7);
    cairo_paint(windowContext);
    cairo_surface_flush(window);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(window)[0]);
  }
  cairo_destroy(windowContext);
  cairo_surface_destroy(window);
  State.SetItemsProcessed(State.iterations() * kSeries * kValues);
}
BENCHMARK(GridRebuildCairo)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
  const QxBench::TPairs pairs{{"GridTickQx", "GridTickCairo"}, {"GridRebuildQx", "GridRebuildCairo"}};
  return QxBench::RunWithRatios(argc, argv, pairs);
}
