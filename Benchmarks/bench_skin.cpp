// A nine-piece PNG skin drawn into three sizes, beside Cairo drawing the same
// pieces as scaled surface patterns (nearest sampling, as the skin stretches).
#include <Quorex.Imaging.PngSkin.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <array>

using namespace Vcl;
using namespace Quorex;

namespace {

constexpr TRect kMargins(8, 8, 8, 8);
constexpr int kSkinSide = 32;
const std::array<TRect, 3> kTargets = {TRect(0, 0, 48, 24), TRect(0, 0, 200, 60), TRect(0, 0, 640, 200)};

void FillSkin(TPngImage& Png)
{
  Png.CreateBlank(COLOR_RGBALPHA, 8, kSkinSide, kSkinSide);
  for (int y = 0; y < kSkinSide; ++y)
    for (int x = 0; x < kSkinSide; ++x) {
      Png.SetPixels(x, y, TColor((x * 8) | (y * 8) << 8));
      Png.AlphaScanline(y)[x] = Byte(128 + x + y);
    }
}

// The piece as a premultiplied Cairo surface.
cairo_surface_t* CairoPiece(const TPngImage& Piece)
{
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, Piece.Width(), Piece.Height());
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < Piece.Height(); ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
    for (int x = 0; x < Piece.Width(); ++x) {
      const TColor c = Piece.Pixels(x, y);
      const unsigned a = Piece.Header().ColorType == COLOR_RGBALPHA ? Piece.AlphaScanline(y)[x] : 255;
      auto pre = [a](unsigned v) { return (v * a + 127) / 255; };
      row[x] = a << 24 | pre(c & 0xFF) << 16 | pre((c >> 8) & 0xFF) << 8 | pre((c >> 16) & 0xFF);
    }
  }
  cairo_surface_mark_dirty(s);
  return s;
}

// Where each of the nine pieces goes in Rect, in the skin's slot order.
std::array<std::array<TRect, 3>, 3> Places(const TRect& R)
{
  const TRect m(R.Left + kMargins.Left, R.Top + kMargins.Top, R.Right - kMargins.Right, R.Bottom - kMargins.Bottom);
  auto row = [&](int top, int bottom) {
    return std::array<TRect, 3>{TRect(R.Left, top, m.Left, bottom), TRect(m.Right, top, R.Right, bottom),
                                TRect(m.Left, top, m.Right, bottom)};
  };
  return {row(R.Top, m.Top), row(m.Top, m.Bottom), row(m.Bottom, R.Bottom)};
}

void BM_SkinQx(benchmark::State& state)
{
  TPngImageSkin skin;
  FillSkin(skin);
  skin.PrepareSkin(kMargins);
  TBitmap target;
  target.SetPixelFormat(pf32bit);
  target.SetSize(kTargets.back().Width(), kTargets.back().Height());
  for (auto _ : state)
    for (const TRect& r : kTargets)
      skin.DrawSkin(target.Canvas(), r);
}

void BM_SkinCairo(benchmark::State& state)
{
  TPngImageSkin skin;
  FillSkin(skin);
  skin.PrepareSkin(kMargins);
  std::array<std::array<cairo_surface_t*, 3>, 3> pieces{};
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      pieces[row][column] = CairoPiece(*skin.Piece(row, column));
  cairo_surface_t* target =
    cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kTargets.back().Width(), kTargets.back().Height());
  cairo_t* cr = cairo_create(target);
  for (auto _ : state)
    for (const TRect& r : kTargets) {
      const auto places = Places(r);
      for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
          const TRect& p = places[row][column];
          cairo_surface_t* piece = pieces[row][column];
          cairo_save(cr);
          cairo_rectangle(cr, p.Left, p.Top, p.Width(), p.Height());
          cairo_clip(cr);
          cairo_translate(cr, p.Left, p.Top);
          cairo_scale(cr, double(p.Width()) / cairo_image_surface_get_width(piece),
                      double(p.Height()) / cairo_image_surface_get_height(piece));
          cairo_set_source_surface(cr, piece, 0, 0);
          cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
          cairo_paint(cr);
          cairo_restore(cr);
        }
    }
  cairo_surface_flush(target);
  cairo_destroy(cr);
  cairo_surface_destroy(target);
  for (auto& row : pieces)
    for (cairo_surface_t* piece : row)
      cairo_surface_destroy(piece);
}

} // namespace

BENCHMARK(BM_SkinQx)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SkinCairo)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
  return QxBench::RunWithRatios(argc, argv, {{"BM_SkinQx", "BM_SkinCairo"}});
}
