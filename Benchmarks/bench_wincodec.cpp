// Scaling a 256 x 256 icon to 16, 32 and 48 pixels through the imaging
// component (Fant and linear) beside gdk-pixbuf (hyper and bilinear) and
// pixman (box-filtered separable convolution and bilinear) on the same
// pixels in the same run.
#include <Quorex.Imaging.WincodecAdapter.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <pixman.h>

#include <vector>

using namespace Vcl;
using namespace Quorex;

namespace {

constexpr int kSide = 256;

// Straight BGRA: a gradient with an alpha ramp.
const std::vector<Byte>& IconPixels()
{
  static const std::vector<Byte> pixels = [] {
    std::vector<Byte> p;
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x)
        p.insert(p.end(), {Byte(x), Byte(y), Byte(x ^ y), Byte((x + y) / 2)});
    return p;
  }();
  return pixels;
}

void Component(benchmark::State& state, TQxBitmapInterpolationMode Mode)
{
  auto factory = TQxImagingFactory::GetInstance();
  auto source = factory->CreateBitmapFromMemory(kSide, kSide, pf32bppBGRA, kSide * 4, kSide * kSide * 4,
                                                IconPixels().data());
  const int side = int(state.range(0));
  std::vector<Byte> out(std::size_t(side) * side * 4);
  for (auto _ : state) {
    auto scaler = factory->CreateBitmapScaler();
    scaler->Initialize(source.get(), side, side, Mode);
    scaler->CopyPixels(scaler->GetBoundsRect(), Cardinal(side) * 4, Cardinal(out.size()), out.data());
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_ScaleFant(benchmark::State& state)
{
  Component(state, bimFant);
}

void BM_ScaleLinear(benchmark::State& state)
{
  Component(state, bimLinear);
}

void Pixbuf(benchmark::State& state, GdkInterpType Mode)
{
  GdkPixbuf* source = gdk_pixbuf_new_from_data(IconPixels().data(), GDK_COLORSPACE_RGB, TRUE, 8, kSide, kSide,
                                               kSide * 4, nullptr, nullptr);
  const int side = int(state.range(0));
  for (auto _ : state) {
    GdkPixbuf* scaled = gdk_pixbuf_scale_simple(source, side, side, Mode);
    benchmark::DoNotOptimize(gdk_pixbuf_get_pixels(scaled));
    g_object_unref(scaled);
  }
  g_object_unref(source);
}

void BM_ScalePixbufHyper(benchmark::State& state)
{
  Pixbuf(state, GDK_INTERP_HYPER);
}

void BM_ScalePixbufBilinear(benchmark::State& state)
{
  Pixbuf(state, GDK_INTERP_BILINEAR);
}

void Pixman(benchmark::State& state, bool Box)
{
  std::vector<std::uint32_t> premultiplied(std::size_t(kSide) * kSide);
  const auto& p = IconPixels();
  for (std::size_t i = 0; i < premultiplied.size(); ++i) {
    const std::uint32_t a = p[i * 4 + 3];
    auto pm = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    premultiplied[i] = a << 24 | pm(p[i * 4 + 2]) << 16 | pm(p[i * 4 + 1]) << 8 | pm(p[i * 4]);
  }
  pixman_image_t* source =
    pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, premultiplied.data(), kSide * 4);
  const int side = int(state.range(0));
  const double scale = double(kSide) / side;
  pixman_transform_t transform;
  pixman_transform_init_scale(&transform, pixman_double_to_fixed(scale), pixman_double_to_fixed(scale));
  pixman_image_set_transform(source, &transform);
  if (Box) {
    int count = 0;
    pixman_fixed_t* params = pixman_filter_create_separable_convolution(
      &count, pixman_double_to_fixed(scale), pixman_double_to_fixed(scale), PIXMAN_KERNEL_IMPULSE,
      PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_BOX, PIXMAN_KERNEL_BOX, 1, 1);
    pixman_image_set_filter(source, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, count);
    free(params);
  } else {
    pixman_image_set_filter(source, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  }
  std::vector<std::uint32_t> out(std::size_t(side) * side);
  for (auto _ : state) {
    pixman_image_t* dest = pixman_image_create_bits(PIXMAN_a8r8g8b8, side, side, out.data(), side * 4);
    pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, dest, 0, 0, 0, 0, 0, 0, side, side);
    pixman_image_unref(dest);
    benchmark::DoNotOptimize(out.data());
  }
  pixman_image_unref(source);
}

void BM_ScalePixmanBox(benchmark::State& state)
{
  Pixman(state, true);
}

void BM_ScalePixmanBilinear(benchmark::State& state)
{
  Pixman(state, false);
}

} // namespace

BENCHMARK(BM_ScaleFant)->Arg(16)->Arg(32)->Arg(48);
BENCHMARK(BM_ScaleLinear)->Arg(16)->Arg(32)->Arg(48);
BENCHMARK(BM_ScalePixbufHyper)->Arg(16)->Arg(32)->Arg(48);
BENCHMARK(BM_ScalePixbufBilinear)->Arg(16)->Arg(32)->Arg(48);
BENCHMARK(BM_ScalePixmanBox)->Arg(16)->Arg(32)->Arg(48);
BENCHMARK(BM_ScalePixmanBilinear)->Arg(16)->Arg(32)->Arg(48);

int main(int argc, char** argv)
{
  QxBench::TPairs pairs;
  for (const char* side : {"16", "32", "48"}) {
    const std::string s = side;
    pairs.push_back({"BM_ScaleFant/" + s, "BM_ScalePixbufHyper/" + s});
    pairs.push_back({"BM_ScaleFant/" + s, "BM_ScalePixmanBox/" + s});
    pairs.push_back({"BM_ScaleLinear/" + s, "BM_ScalePixbufBilinear/" + s});
    pairs.push_back({"BM_ScaleLinear/" + s, "BM_ScalePixmanBilinear/" + s});
  }
  return QxBench::RunWithRatios(argc, argv, pairs);
}
