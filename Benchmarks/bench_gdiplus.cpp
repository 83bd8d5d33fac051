// Filling 10 000 rounded rectangles with vertical gradients through the
// graphics object layer, beside the same drawing in plain Cairo; the time
// ratio is printed after the runs.
#include <GdiPlus.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
#include <numbers>

namespace {

constexpr int kCount = 10000, kWidth = 800, kHeight = 600;

struct TBox {
  float X, Y, W, H, R;
};

// The same boxes for both: spread over the surface, sizes and corners varied.
TBox BoxAt(int I)
{
  return {float((I * 37) % (kWidth - 60)), float((I * 53) % (kHeight - 40)), float(20 + I % 40),
          float(12 + I % 28), float(4 + I % 8)};
}

void LayerFill(benchmark::State& State)
{
  using namespace GdiPlus;
  auto bitmap = TGPBitmap::Create(kWidth, kHeight);
  auto graphics = TGPGraphics::Create(bitmap);
  graphics->SetSmoothingMode(SmoothingModeAntiAlias);
  graphics->SetPixelOffsetMode(PixelOffsetModeHalf); // the same pixel grid as Cairo's
  for (auto _ : State) {
    for (int i = 0; i < kCount; ++i) {
      TBox b = BoxAt(i);
      auto path = TGPGraphicsPath::Create();
      path->AddArc(TGPRectF(b.X, b.Y, b.R, b.R), 180, 90);
      path->AddArc(TGPRectF(b.X + b.W - b.R, b.Y, b.R, b.R), 270, 90);
      path->AddArc(TGPRectF(b.X + b.W - b.R, b.Y + b.H - b.R, b.R, b.R), 0, 90);
      path->AddArc(TGPRectF(b.X, b.Y + b.H - b.R, b.R, b.R), 90, 90);
      auto brush = TGPLinearGradientBrush::Create(TGPRectF(b.X, b.Y, b.W, b.H), TGPColor(0xFF4080C0u | i),
                                                  TGPColor(0xFF102040u), LinearGradientModeVertical);
      graphics->FillPath(brush, path);
    }
    benchmark::DoNotOptimize(bitmap->GetPixel(0, 0));
  }
  State.SetItemsProcessed(State.iterations() * kCount);
}
BENCHMARK(LayerFill)->Unit(benchmark::kMillisecond);

void CairoFill(benchmark::State& State)
{
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
  for (auto _ : State) {
    for (int i = 0; i < kCount; ++i) {
      TBox b = BoxAt(i);
      double r = b.R / 2.0;
      cairo_new_path(cr);
      cairo_arc(cr, b.X + r, b.Y + r, r, std::numbers::pi, 1.5 * std::numbers::pi);
      cairo_arc(cr, b.X + b.W - r, b.Y + r, r, 1.5 * std::numbers::pi, 2 * std::numbers::pi);
      cairo_arc(cr, b.X + b.W - r, b.Y + b.H - r, r, 0, 0.5 * std::numbers::pi);
      cairo_arc(cr, b.X + r, b.Y + b.H - r, r, 0.5 * std::numbers::pi, std::numbers::pi);
      cairo_close_path(cr);
      cairo_pattern_t* gradient = cairo_pattern_create_linear(b.X, b.Y, b.X, b.Y + b.H);
      std::uint32_t c = 0xFF4080C0u | std::uint32_t(i);
      cairo_pattern_add_color_stop_rgb(gradient, 0, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                       (c & 0xFF) / 255.0);
      cairo_pattern_add_color_stop_rgb(gradient, 1, 0x10 / 255.0, 0x20 / 255.0, 0x40 / 255.0);
      cairo_pattern_set_extend(gradient, CAIRO_EXTEND_PAD);
      cairo_set_source(cr, gradient);
      cairo_pattern_destroy(gradient);
      cairo_fill(cr);
    }
    cairo_surface_flush(surface);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(surface)[0]);
  }
  State.SetItemsProcessed(State.iterations() * kCount);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(CairoFill)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
  return QxBench::RunWithRatios(argc, argv, {{"LayerFill", "CairoFill"}});
}
