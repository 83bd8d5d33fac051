// The ring progress indicator painted at 64 and 256 pixels (the faint track
// and a three-quarter value arc, anti-aliased, over a white background),
// beside Cairo filling the same two ring paths on a surface of the same
// size.
#include <Quorex.Vcl.RingProgress.hpp>
#include <Win.Gdi.Guards.hpp>
#include <Winapi.Windows.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <numbers>

namespace {

using namespace Vcl;
using namespace Quorex;

constexpr int kPosition = 75;

void Ring_qx(benchmark::State& State)
{
  const int size = int(State.range(0));
  TQxRingProgress ring(nullptr);
  ring.SetBounds(0, 0, size, size);
  ring.SetPosition(kPosition);
  Win::TMemoryDC memory(nullptr, size, size);
  const Win::RECT all(0, 0, size, size);
  for (auto _ : State) {
    Win::FillRect(memory.DC(), &all, Win::HBRUSH(Win::GetStockObject(Win::WHITE_BRUSH)));
    ring.Perform(Win::WM_PAINT, Win::WPARAM(memory.DC()), 0);
  }
}
BENCHMARK(Ring_qx)->Arg(64)->Arg(256)->Unit(benchmark::kMicrosecond);

// An arc on the outer circle from 0 sweeping Sweep, back along the inner
// circle: the path the ring fills.
void RingPath(cairo_t* Cr, double Size, double Width, double Sweep)
{
  const double c = (Size - 1) / 2, outer = (Size - 1) / 2, inner = outer - Width;
  const double end = Sweep * std::numbers::pi / 180;
  cairo_new_path(Cr);
  cairo_arc(Cr, c, c, outer, 0, end);
  cairo_arc_negative(Cr, c, c, inner, end, 0);
  cairo_close_path(Cr);
}

void Ring_cairo(benchmark::State& State)
{
  const int size = int(State.range(0));
  const double width = (size / 2.0 - 2) * 30 / 100;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size, size);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  for (auto _ : State) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgba(cr, 0x30 / 255.0, 0x73 / 255.0, 0xCD / 255.0, 40 / 255.0);
    RingPath(cr, size, width, 360);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 0x30 / 255.0, 0x73 / 255.0, 0xCD / 255.0, 1);
    RingPath(cr, size, width, kPosition * 360.0 / 100);
    cairo_fill(cr);
    cairo_surface_flush(surface);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(surface)[0]);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(Ring_cairo)->Arg(64)->Arg(256)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
  return QxBench::RunWithRatios(argc, argv, {{"Ring_qx/64", "Ring_cairo/64"}, {"Ring_qx/256", "Ring_cairo/256"}});
}
