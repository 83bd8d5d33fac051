// Decoding and encoding a 512 x 512 RGBA PNG with TPngImage beside
// gdk-pixbuf's PNG codec on the same bytes, both at compression level 6; the
// time ratios are printed after the runs.
#include <Vcl.Imaging.pngimage.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdio>
#include <map>

namespace {

constexpr int Size = 512;

Vcl::TBytes SamplePng()
{
  Vcl::TPngImage png;
  png.CreateBlank(Vcl::COLOR_RGBALPHA, 8, Size, Size);
  for (int y = 0; y < Size; ++y) {
    Vcl::Byte* row = png.Scanline(y);
    Vcl::Byte* alpha = png.AlphaScanline(y);
    for (int x = 0; x < Size; ++x) {
      row[3 * x] = Vcl::Byte(x);
      row[3 * x + 1] = Vcl::Byte(y);
      row[3 * x + 2] = Vcl::Byte((x * y) >> 6);
      alpha[x] = Vcl::Byte(x + y);
    }
  }
  Vcl::TBytesStream stream;
  png.SaveToStream(&stream);
  return Vcl::TBytes(stream.Bytes().begin(), stream.Bytes().begin() + stream.Size());
}

const Vcl::TBytes& Sample()
{
  static const Vcl::TBytes bytes = SamplePng();
  return bytes;
}

GdkPixbufLoader* PixbufLoaded()
{
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
  gdk_pixbuf_loader_write(loader, Sample().data(), Sample().size(), nullptr);
  gdk_pixbuf_loader_close(loader, nullptr);
  return loader;
}

void QxDecode(benchmark::State& state)
{
  Vcl::TPngImage png;
  for (auto _ : state) {
    Vcl::TBytesStream stream(Sample());
    png.LoadFromStream(&stream);
    benchmark::DoNotOptimize(png.AlphaScanline(0));
  }
}
BENCHMARK(QxDecode);

void PixbufDecode(benchmark::State& state)
{
  for (auto _ : state) {
    GdkPixbufLoader* loader = PixbufLoaded();
    benchmark::DoNotOptimize(gdk_pixbuf_get_pixels(gdk_pixbuf_loader_get_pixbuf(loader)));
    g_object_unref(loader);
  }
}
BENCHMARK(PixbufDecode);

void QxEncode(benchmark::State& state)
{
  Vcl::TPngImage png;
  Vcl::TBytesStream source(Sample());
  png.LoadFromStream(&source);
  png.SetCompressionLevel(6);
  for (auto _ : state) {
    Vcl::TBytesStream stream;
    png.SaveToStream(&stream);
    benchmark::DoNotOptimize(stream.Size());
  }
}
BENCHMARK(QxEncode);

void PixbufEncode(benchmark::State& state)
{
  GdkPixbufLoader* loader = PixbufLoaded();
  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
  for (auto _ : state) {
    gchar* buffer = nullptr;
    gsize size = 0;
    gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, "png", nullptr, "compression", "6", nullptr);
    benchmark::DoNotOptimize(size);
    g_free(buffer);
  }
  g_object_unref(loader);
}
BENCHMARK(PixbufEncode);


} // namespace

int main(int argc, char** argv)
{
  return QxBench::RunWithRatios(argc, argv, {{"QxDecode", "PixbufDecode"}, {"QxEncode", "PixbufEncode"}});
}
