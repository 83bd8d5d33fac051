// Painting a button in every theme, style and state, as its paint message
// does (the painter draws frame, text and arrow on the canvas), beside plain
// Cairo drawing the same number of rounded gradient frames with their text
// and arrow; the time ratio is printed after the runs.
#include <Quorex.Vcl.Button.FlatPainter.hpp>
#include <Quorex.Vcl.Button.GlassPainter.hpp>
#include <Quorex.Vcl.Button.SolidPainter.hpp>
#include <Quorex.Vcl.Button.StandardPainter.hpp>
#include <Quorex.Vcl.Button.StaticPainter.hpp>
#include <Vcl.Graphics.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <array>
#include <memory>
#include <numbers>

namespace {

using namespace Quorex;

constexpr int kWidth = 120, kHeight = 28, kThemes = 5, kStyles = 3, kStates = 4;
constexpr int kButtons = kThemes * kStyles * kStates;
constexpr const char* kCaption = "Button";

std::array<std::unique_ptr<TQxButtonPainter>, kThemes> Painters()
{
  return {std::make_unique<TQxButtonStandardPainter>(), std::make_unique<TQxButtonFlatPainter>(),
          std::make_unique<TQxButtonGlassPainter>(), std::make_unique<TQxButtonSolidPainter>(),
          std::make_unique<TQxButtonStaticPainter>()};
}

void QxButtons(benchmark::State& State)
{
  Vcl::TBitmap bitmap;
  bitmap.SetPixelFormat(Vcl::pf32bit);
  bitmap.SetSize(kWidth, kHeight);
  Vcl::TFont font;
  font.SetName("DejaVu Sans");
  font.SetHeight(-12);
  Vcl::TImageMargins margins;
  auto painters = Painters();
  for (auto& p : painters) {
    p->FCanvas = bitmap.Canvas();
    p->FRect = Vcl::TRect(0, 0, kWidth, kHeight);
    p->FCaption = kCaption;
    p->FFont = &font;
    p->FImageMargins = &margins;
    p->FColor = Vcl::TColor(0x00F2BC00);
  }
  for (auto _ : State) {
    for (auto& p : painters)
      for (int style = 0; style < kStyles; ++style)
        for (int state = 0; state < kStates; ++state) {
          bitmap.Canvas()->Brush()->SetColor(Vcl::clWhite);
          bitmap.Canvas()->FillRect(p->FRect);
          p->FStyle = TQxButtonViewStyle(style);
          p->FState = p->FSplitState = TUIControlState(state);
          p->Paint();
        }
    benchmark::DoNotOptimize(bitmap.Canvas()->Pixels(1, 1));
  }
  State.SetItemsProcessed(State.iterations() * kButtons);
}
BENCHMARK(QxButtons)->Unit(benchmark::kMicrosecond);

void RoundedFrame(cairo_t* cr, double x, double y, double w, double h, double r)
{
  cairo_new_path(cr);
  cairo_arc(cr, x + r, y + r, r, std::numbers::pi, 1.5 * std::numbers::pi);
  cairo_arc(cr, x + w - r, y + r, r, 1.5 * std::numbers::pi, 2 * std::numbers::pi);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, 0.5 * std::numbers::pi);
  cairo_arc(cr, x + r, y + h - r, r, 0.5 * std::numbers::pi, std::numbers::pi);
  cairo_close_path(cr);
}

// Per button: a white clear, a rounded frame with a vertical two-stop
// gradient and a one-pixel border, the caption centred, a small arrow.
void CairoButtons(benchmark::State& State)
{
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 12);
  cairo_set_line_width(cr, 1);
  for (auto _ : State) {
    for (int i = 0; i < kButtons; ++i) {
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_paint(cr);
      RoundedFrame(cr, 0.5, 0.5, kWidth - 1, kHeight - 1, 3);
      cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, kHeight);
      const double shade = 0.85 + 0.03 * (i % kStates);
      cairo_pattern_add_color_stop_rgb(gradient, 0, shade, shade, 1);
      cairo_pattern_add_color_stop_rgb(gradient, 1, shade - 0.15, shade - 0.1, 0.95);
      cairo_set_source(cr, gradient);
      cairo_pattern_destroy(gradient);
      cairo_fill_preserve(cr);
      cairo_set_source_rgb(cr, 0.44, 0.44, 0.44);
      cairo_stroke(cr);
      cairo_text_extents_t extents;
      cairo_text_extents(cr, kCaption, &extents);
      cairo_set_source_rgb(cr, 0, 0, 0);
      cairo_move_to(cr, (kWidth - extents.width) / 2 - extents.x_bearing, (kHeight - extents.height) / 2 - extents.y_bearing);
      cairo_show_text(cr, kCaption);
      cairo_move_to(cr, kWidth - 12, 12);
      cairo_line_to(cr, kWidth - 5, 12);
      cairo_line_to(cr, kWidth - 8.5, 16);
      cairo_close_path(cr);
      cairo_fill(cr);
    }
    cairo_surface_flush(surface);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(surface)[0]);
  }
  State.SetItemsProcessed(State.iterations() * kButtons);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(CairoButtons)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
  return QxBench::RunWithRatios(argc, argv, {{"QxButtons", "CairoButtons"}});
}
