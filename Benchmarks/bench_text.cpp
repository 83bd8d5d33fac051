// Text measuring and drawing through the GDI text calls beside Cairo's own
// text API on the same strings, the same font file (DejaVu Sans) and size;
// wrapped paragraphs beside Pango, which wraps where Cairo's text API cannot.
#include <Win.Gdi.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace Win;

namespace {

constexpr int EmPixels = 13;
constexpr int SurfaceWidth = 400, SurfaceHeight = 200;

const char* const Paragraph =
    "The quick brown fox jumps over the lazy dog. Markup labels measure every word on its own, "
    "so measuring must be fast: links, bold and italic spans, line breaks and separators all "
    "become chunks that are laid out with word wrapping before the label paints them.";

std::vector<std::string> Words()
{
  std::vector<std::string> words;
  std::istringstream in(Paragraph);
  for (std::string word; in >> word;)
    words.push_back(word + " ");
  return words;
}

class TGdiText {
public:
  TGdiText()
  {
    FDC = CreateCompatibleDC(nullptr);
    FBitmap = CreateBitmap32(SurfaceWidth, SurfaceHeight);
    FOldBitmap = SelectObject(FDC, FBitmap);
    LOGFONT lf;
    lf.lfHeight = -EmPixels;
    std::strcpy(lf.lfFaceName, "DejaVu Sans");
    FFont = CreateFontIndirect(lf);
    FOldFont = SelectObject(FDC, FFont);
    SetBkMode(FDC, TRANSPARENT);
  }
  ~TGdiText()
  {
    SelectObject(FDC, FOldFont);
    SelectObject(FDC, FOldBitmap);
    DeleteObject(FFont);
    DeleteObject(FBitmap);
    DeleteDC(FDC);
  }
  HDC DC() const { return FDC; }

private:
  HDC FDC;
  HBITMAP FBitmap;
  HFONT FFont;
  HGDIOBJ FOldBitmap, FOldFont;
};

class TCairoText {
public:
  TCairoText()
  {
    FSurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, SurfaceWidth, SurfaceHeight);
    FCairo = cairo_create(FSurface);
    cairo_select_font_face(FCairo, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(FCairo, EmPixels);
    cairo_set_source_rgb(FCairo, 0, 0, 0);
  }
  ~TCairoText()
  {
    cairo_destroy(FCairo);
    cairo_surface_destroy(FSurface);
  }
  cairo_t* Cairo() const { return FCairo; }

private:
  cairo_surface_t* FSurface;
  cairo_t* FCairo;
};

void BM_Gdi_MeasureWords(benchmark::State& state)
{
  TGdiText gdi;
  const auto words = Words();
  for (auto _ : state)
    for (const std::string& word : words) {
      SIZE size;
      GetTextExtentPoint32(gdi.DC(), word.data(), int(word.size()), &size);
      benchmark::DoNotOptimize(size);
    }
  state.SetItemsProcessed(state.iterations() * std::int64_t(words.size()));
}

void BM_Cairo_MeasureWords(benchmark::State& state)
{
  TCairoText cairo;
  const auto words = Words();
  for (auto _ : state)
    for (const std::string& word : words) {
      cairo_text_extents_t extents;
      cairo_text_extents(cairo.Cairo(), word.c_str(), &extents);
      benchmark::DoNotOptimize(extents);
    }
  state.SetItemsProcessed(state.iterations() * std::int64_t(words.size()));
}

void BM_Gdi_DrawWords(benchmark::State& state)
{
  TGdiText gdi;
  const auto words = Words();
  for (auto _ : state)
    for (const std::string& word : words) {
      RECT rect(4, 4, SurfaceWidth, SurfaceHeight);
      DrawText(gdi.DC(), word.data(), int(word.size()), &rect, DT_SINGLELINE | DT_NOPREFIX);
    }
  state.SetItemsProcessed(state.iterations() * std::int64_t(words.size()));
}

void BM_Cairo_DrawWords(benchmark::State& state)
{
  TCairoText cairo;
  const auto words = Words();
  for (auto _ : state)
    for (const std::string& word : words) {
      cairo_move_to(cairo.Cairo(), 4, 4 + EmPixels);
      cairo_show_text(cairo.Cairo(), word.c_str());
    }
  state.SetItemsProcessed(state.iterations() * std::int64_t(words.size()));
}

constexpr int WrapWidth = 300;

void BM_Gdi_WrapParagraph(benchmark::State& state)
{
  TGdiText gdi;
  for (auto _ : state) {
    RECT rect(0, 0, WrapWidth, SurfaceHeight);
    DrawText(gdi.DC(), Paragraph, -1, &rect, DT_WORDBREAK | DT_NOPREFIX);
  }
}

void BM_Pango_WrapParagraph(benchmark::State& state)
{
  TCairoText cairo;
  PangoLayout* layout = pango_cairo_create_layout(cairo.Cairo());
  PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans");
  pango_font_description_set_absolute_size(font, EmPixels * PANGO_SCALE);
  pango_layout_set_font_description(layout, font);
  pango_layout_set_width(layout, WrapWidth * PANGO_SCALE);
  pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
  for (auto _ : state) {
    pango_layout_set_text(layout, Paragraph, -1); // lays out afresh, as DrawText does
    cairo_move_to(cairo.Cairo(), 0, 0);
    pango_cairo_show_layout(cairo.Cairo(), layout);
  }
  pango_font_description_free(font);
  g_object_unref(layout);
}



} // namespace

BENCHMARK(BM_Gdi_MeasureWords);
BENCHMARK(BM_Cairo_MeasureWords);
BENCHMARK(BM_Gdi_DrawWords);
BENCHMARK(BM_Cairo_DrawWords);
BENCHMARK(BM_Gdi_WrapParagraph);
BENCHMARK(BM_Pango_WrapParagraph);

int main(int argc, char** argv)
{
  return QxBench::RunWithRatios(argc, argv,
                                {{"BM_Gdi_MeasureWords", "BM_Cairo_MeasureWords"},
                                 {"BM_Gdi_DrawWords", "BM_Cairo_DrawWords"},
                                 {"BM_Gdi_WrapParagraph", "BM_Pango_WrapParagraph"}});
}
