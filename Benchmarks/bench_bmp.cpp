// Decoding and encoding a 24-bit BMP with TBitmap beside gdk-pixbuf's BMP
// codec on the same bytes; the ratios are printed after the runs.
#include <Vcl.Graphics.hpp>

#include "QxBenchRatio.hpp"
#include "QxPixbufPeer.hpp"

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
  return QxBench::StreamBytes(stream);
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
  QxBench::PixbufDecode(state, "bmp", Sample());
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
  QxBench::PixbufEncode(state, "bmp", Sample());
}
BENCHMARK(PixbufEncode);

} // namespace

int main(int argc, char** argv)
{
  return QxBench::RunWithRatios(argc, argv, {{"QxDecode", "PixbufDecode"}, {"QxEncode", "PixbufEncode"}});
}
