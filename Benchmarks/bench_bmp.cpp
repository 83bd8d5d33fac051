// Decoding and encoding a 24-bit BMP with TBitmap beside gdk-pixbuf's BMP
// codec on the same bytes; the ratios are printed after the runs.
#include <Vcl.Graphics.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdio>
#include <map>

namespace {

Vcl::TBytes SampleBmp()
{
  Vcl::TBitmap bitmap;
  bitmap.SetPixelFormat(Vcl::pf24bit);
  bitmap.SetSize(512, 512);
  for (int y = 0; y < 512; ++y) {
    Vcl::Byte* row = bitmap.ScanLine(y);
    for (int x = 0; x < 512 * 3; ++x)
      row[x] = Vcl::Byte(x * 7 + y * 13);
  }
  Vcl::TBytesStream stream;
  bitmap.SaveToStream(&stream);
  return Vcl::TBytes(stream.Bytes().begin(), stream.Bytes().begin() + stream.Size());
}

const Vcl::TBytes& Sample()
{
  static const Vcl::TBytes bytes = SampleBmp();
  return bytes;
}

void QxDecode(benchmark::State& state)
{
  Vcl::TBitmap bitmap;
  Vcl::TBytesStream stream(Sample());
  for (auto _ : state) {
    stream.SetPosition(0);
    bitmap.LoadFromStream(&stream);
    benchmark::DoNotOptimize(bitmap.ScanLine(0));
  }
}
BENCHMARK(QxDecode);

void PixbufDecode(benchmark::State& state)
{
  for (auto _ : state) {
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("bmp", nullptr);
    gdk_pixbuf_loader_write(loader, Sample().data(), Sample().size(), nullptr);
    gdk_pixbuf_loader_close(loader, nullptr);
    benchmark::DoNotOptimize(gdk_pixbuf_get_pixels(gdk_pixbuf_loader_get_pixbuf(loader)));
    g_object_unref(loader);
  }
}
BENCHMARK(PixbufDecode);

void QxEncode(benchmark::State& state)
{
  Vcl::TBitmap bitmap;
  Vcl::TBytesStream source(Sample());
  bitmap.LoadFromStream(&source);
  for (auto _ : state) {
    Vcl::TBytesStream stream;
    bitmap.SaveToStream(&stream);
    benchmark::DoNotOptimize(stream.Size());
  }
}
BENCHMARK(QxEncode);

void PixbufEncode(benchmark::State& state)
{
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("bmp", nullptr);
  gdk_pixbuf_loader_write(loader, Sample().data(), Sample().size(), nullptr);
  gdk_pixbuf_loader_close(loader, nullptr);
  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
  for (auto _ : state) {
    gchar* buffer = nullptr;
    gsize size = 0;
    gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, "bmp", nullptr, nullptr);
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
