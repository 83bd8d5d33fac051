// PNG pixel operations beside peers on the same pixels: bilinear resizing
// beside Cairo/pixman and gdk-pixbuf, compositing beside Cairo OVER, and the
// per-pixel operations beside a plain copy of the same bytes.
#include <Quorex.Imaging.PngHelper.hpp>
#include <Quorex.Vcl.PngFunctions.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstring>
#include <memory>

using namespace Vcl;
using namespace Quorex;

namespace {

constexpr int kSide = 1024;

std::unique_ptr<TPngImage> Source()
{
  auto png = std::make_unique<TPngImage>();
  png->CreateBlank(COLOR_RGBALPHA, 8, kSide, kSide);
  for (int y = 0; y < kSide; ++y) {
    Byte* c = png->Scanline(y);
    Byte* a = png->AlphaScanline(y);
    for (int x = 0; x < kSide; ++x) {
      c[x * 3] = Byte(x);
      c[x * 3 + 1] = Byte(y);
      c[x * 3 + 2] = Byte(x ^ y);
      a[x] = Byte(x + y);
    }
  }
  return png;
}

cairo_surface_t* CairoSource()
{
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSide, kSide);
  unsigned char* data = cairo_image_surface_get_data(s);
  std::memset(data, 0x80, size_t(cairo_image_surface_get_stride(s)) * kSide);
  cairo_surface_mark_dirty(s);
  return s;
}

// Like an icon: an opaque disc on a clear ground, with a thin soft edge.
Byte SpotAlpha(int X, int Y)
{
  const int inner = 400 * 400, outer = 402 * 402;
  const int d = (X - kSide / 2) * (X - kSide / 2) + (Y - kSide / 2) * (Y - kSide / 2);
  return d <= inner ? 255 : d >= outer ? 0 : Byte(255 * (outer - d) / (outer - inner));
}

std::unique_ptr<TPngImage> Spot()
{
  auto png = Source();
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x)
      png->AlphaScanline(y)[x] = SpotAlpha(x, y);
  return png;
}

cairo_surface_t* CairoSpot()
{
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSide, kSide);
  unsigned char* data = cairo_image_surface_get_data(s);
  for (int y = 0; y < kSide; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + size_t(y) * size_t(cairo_image_surface_get_stride(s)));
    for (int x = 0; x < kSide; ++x) {
      const std::uint32_t a = SpotAlpha(x, y), c = 0x80 * a / 255;
      row[x] = a << 24 | c << 16 | c << 8 | c;
    }
  }
  cairo_surface_mark_dirty(s);
  return s;
}

void BM_SmoothResize(benchmark::State& state)
{
  auto source = Source();
  const int side = int(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    TPngImage png;
    png.Assign(source.get());
    state.ResumeTiming();
    TPngImageHelper::SmoothResize(png, side, side);
    benchmark::DoNotOptimize(png.Scanline(0));
  }
}

void BM_CairoBilinear(benchmark::State& state)
{
  cairo_surface_t* source = CairoSource();
  const int side = int(state.range(0));
  for (auto _ : state) {
    cairo_surface_t* dest = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, side, side);
    cairo_t* cr = cairo_create(dest);
    cairo_scale(cr, double(side) / kSide, double(side) / kSide);
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(dest);
  }
  cairo_surface_destroy(source);
}

void BM_PixbufBilinear(benchmark::State& state)
{
  GdkPixbuf* source = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, kSide, kSide);
  gdk_pixbuf_fill(source, 0x80808080);
  const int side = int(state.range(0));
  for (auto _ : state) {
    GdkPixbuf* scaled = gdk_pixbuf_scale_simple(source, side, side, GDK_INTERP_BILINEAR);
    g_object_unref(scaled);
  }
  g_object_unref(source);
}

// Arg 0: every pixel's alpha differs from its neighbours'; arg 1: an icon.
void BM_DrawPng(benchmark::State& state)
{
  auto base = Source();
  auto over = state.range(0) ? Spot() : Source();
  for (auto _ : state)
    TPngImageHelper::DrawPng(*base, over.get(), TPoint(0, 0), 255);
}

void BM_CairoOver(benchmark::State& state)
{
  cairo_surface_t* base = CairoSource();
  cairo_surface_t* over = state.range(0) ? CairoSpot() : CairoSource();
  for (auto _ : state) {
    cairo_t* cr = cairo_create(base);
    cairo_set_source_surface(cr, over, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
  }
  cairo_surface_destroy(base);
  cairo_surface_destroy(over);
}

void BM_Grayscale(benchmark::State& state)
{
  auto png = Source();
  for (auto _ : state)
    MakeImageGrayscale(png.get(), 255);
}

void BM_SetTransparent(benchmark::State& state)
{
  auto png = Source();
  for (auto _ : state)
    TPngImageHelper::SetTransparent(*png, 250);
}

// The physical limit: the bytes of one image (colour and alpha) copied once.
void BM_MemoryCopy(benchmark::State& state)
{
  std::vector<Byte> from(size_t(kSide) * kSide * 4, 1), to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::DoNotOptimize(to.data());
  }
}

} // namespace

BENCHMARK(BM_SmoothResize)->Arg(256)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CairoBilinear)->Arg(256)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixbufBilinear)->Arg(256)->Arg(2048)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawPng)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CairoOver)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Grayscale)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetTransparent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryCopy)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
  return QxBench::RunWithRatios(argc, argv,
                                {{"BM_SmoothResize/256", "BM_CairoBilinear/256"},
                                 {"BM_SmoothResize/256", "BM_PixbufBilinear/256"},
                                 {"BM_SmoothResize/2048", "BM_CairoBilinear/2048"},
                                 {"BM_SmoothResize/2048", "BM_PixbufBilinear/2048"},
                                 {"BM_DrawPng/0", "BM_CairoOver/0"},
                                 {"BM_DrawPng/1", "BM_CairoOver/1"},
                                 {"BM_Grayscale", "BM_MemoryCopy"},
                                 {"BM_SetTransparent", "BM_MemoryCopy"}});
}
