// Decoding and encoding a 512 x 512 RGBA PNG with TPngImage beside
// gdk-pixbuf's PNG codec on the same bytes, both at compression level 6; the
// time ratios are printed after the runs.
#include <Vcl.Imaging.pngimage.hpp>

#include "QxBenchRatio.hpp"
#include "QxPixbufPeer.hpp"

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
  return QxBench::StreamBytes(stream);
}

const Vcl::TBytes& Sample()
{
  static const Vcl::TBytes bytes = SamplePng();
  return bytes;
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
  QxBench::PixbufDecode(state, "png", Sample());
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
  QxBench::PixbufEncode(state, "png", Sample(), "compression", "6");
}
BENCHMARK(PixbufEncode);

} // namespace

int main(int argc, char** argv)
{
  return QxBench::RunWithRatios(argc, argv, {{"QxDecode", "PixbufDecode"}, {"QxEncode", "PixbufEncode"}});
}
