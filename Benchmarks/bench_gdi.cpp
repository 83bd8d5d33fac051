// GDI drawing beside Cairo (without anti-aliasing) doing the same work on
// the same kind of surface; prints our time over Cairo's for each pair.
#include <Winapi.Windows.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

using namespace Win;

namespace {

constexpr int kSize = 512;

struct TGdiSurface {
  TGdiSurface()
  {
    DC = CreateCompatibleDC(nullptr);
    Bitmap = CreateBitmap32(kSize, kSize);
    Old = SelectObject(DC, Bitmap);
    std::uint32_t* bits = BitmapBits(Bitmap);
    std::fill(bits, bits + kSize * kSize, 0x80336699u);
  }
  ~TGdiSurface()
  {
    SelectObject(DC, Old);
    DeleteObject(Bitmap);
    DeleteDC(DC);
  }
  HDC DC;
  HBITMAP Bitmap;
  HGDIOBJ Old;
};

struct TCairoSurface {
  // Painted, so that Cairo cannot skip work on a surface it knows is clear.
  TCairoSurface()
  {
    Surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSize, kSize);
    Cr = cairo_create(Surface);
    cairo_set_source_rgba(Cr, 0.2, 0.4, 0.6, 0.5);
    cairo_paint(Cr);
    cairo_set_antialias(Cr, CAIRO_ANTIALIAS_NONE);
  }
  ~TCairoSurface()
  {
    cairo_destroy(Cr);
    cairo_surface_destroy(Surface);
  }
  cairo_surface_t* Surface;
  cairo_t* Cr;
};

void FillRect_qx(benchmark::State& state)
{
  TGdiSurface s;
  HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
  RECT r(10, 10, 10 + 256, 10 + 256);
  for (auto _ : state)
    FillRect(s.DC, &r, brush);
  DeleteObject(brush);
}

void FillRect_cairo(benchmark::State& state)
{
  TCairoSurface s;
  cairo_set_source_rgb(s.Cr, 10 / 255.0, 20 / 255.0, 30 / 255.0);
  for (auto _ : state) {
    cairo_rectangle(s.Cr, 10, 10, 256, 256);
    cairo_fill(s.Cr);
  }
}

void BitBlt_qx(benchmark::State& state)
{
  TGdiSurface a, b;
  for (auto _ : state)
    BitBlt(b.DC, 0, 0, 256, 256, a.DC, 100, 100, SRCCOPY);
}

void BitBlt_cairo(benchmark::State& state)
{
  TCairoSurface a, b;
  cairo_set_operator(b.Cr, CAIRO_OPERATOR_SOURCE);
  for (auto _ : state) {
    cairo_set_source_surface(b.Cr, a.Surface, -100, -100);
    cairo_rectangle(b.Cr, 0, 0, 256, 256);
    cairo_fill(b.Cr);
  }
}

void AlphaBlend_qx(benchmark::State& state)
{
  TGdiSurface a, b;
  BLENDFUNCTION blend;
  blend.AlphaFormat = AC_SRC_ALPHA;
  for (auto _ : state)
    AlphaBlend(b.DC, 0, 0, 256, 256, a.DC, 0, 0, 256, 256, blend);
}

void AlphaBlend_cairo(benchmark::State& state)
{
  TCairoSurface a, b;
  for (auto _ : state) {
    cairo_set_source_surface(b.Cr, a.Surface, 0, 0);
    cairo_rectangle(b.Cr, 0, 0, 256, 256);
    cairo_fill(b.Cr);
  }
}

void Lines_qx(benchmark::State& state)
{
  TGdiSurface s;
  for (auto _ : state)
    for (int i = 0; i < 64; ++i) {
      MoveToEx(s.DC, 0, i * 8, nullptr);
      LineTo(s.DC, kSize - 1, kSize - 1 - i * 8);
    }
}

void Lines_cairo(benchmark::State& state)
{
  TCairoSurface s;
  cairo_set_line_width(s.Cr, 1);
  for (auto _ : state) {
    for (int i = 0; i < 64; ++i) {
      cairo_move_to(s.Cr, 0.5, i * 8 + 0.5);
      cairo_line_to(s.Cr, kSize - 0.5, kSize - i * 8 - 0.5);
    }
    cairo_stroke(s.Cr);
  }
}

void Ellipse_qx(benchmark::State& state)
{
  TGdiSurface s;
  for (auto _ : state)
    Ellipse(s.DC, 10, 10, 300, 200);
}

void Ellipse_cairo(benchmark::State& state)
{
  TCairoSurface s;
  for (auto _ : state) {
    cairo_save(s.Cr);
    cairo_translate(s.Cr, 155, 105);
    cairo_scale(s.Cr, 145, 95);
    cairo_arc(s.Cr, 0, 0, 1, 0, 6.283185307179586);
    cairo_restore(s.Cr);
    cairo_set_source_rgb(s.Cr, 1, 1, 1);
    cairo_fill_preserve(s.Cr);
    cairo_set_source_rgb(s.Cr, 0, 0, 0);
    cairo_stroke(s.Cr);
  }
}

BENCHMARK(FillRect_qx);
BENCHMARK(FillRect_cairo);
BENCHMARK(BitBlt_qx);
BENCHMARK(BitBlt_cairo);
BENCHMARK(AlphaBlend_qx);
BENCHMARK(AlphaBlend_cairo);
BENCHMARK(Lines_qx);
BENCHMARK(Lines_cairo);
BENCHMARK(Ellipse_qx);
BENCHMARK(Ellipse_cairo);



} // namespace

int main(int argc, char** argv)
{
  return QxBench::RunWithRatios(argc, argv, {}, [](const QxBench::TTimes& times) {
    QxBench::PrintRatios(times, QxBench::SuffixPairs(times, "_qx", "_cairo"));
  });
}
