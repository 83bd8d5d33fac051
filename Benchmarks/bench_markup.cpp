// Markup parse + layout beside Pango (pango_layout_set_markup and
// pango_layout_get_pixel_size) on the same documents, font and width.
#include <Quorex.Vcl.HtmlLabel.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <pango/pangocairo.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

constexpr const char* FaceName = "DejaVu Sans";
constexpr int PointSize = 9;
constexpr int Width = 400;

// One document in both markup languages.
struct TDocument {
  std::string Ours;
  std::string Pango;
};

TDocument Caption()
{
  return {"Click <a href=\"1\">here</a> to <b>continue</b>.",
          "Click <span foreground=\"#0000FF\">here</span> to <b>continue</b>."};
}

// About 10 KB of running text with links, bold, italic and font changes.
TDocument Paragraph()
{
  TDocument d;
  for (int i = 0; d.Ours.size() < 10 * 1024; ++i) {
    std::string n = std::to_string(i);
    d.Ours += "The quick brown fox <b>jumps</b> over the <i>lazy</i> dog near <a href=\"" + n +
              "\">link " + n + "</a>, then <font color=\"$0000FF\" size=\"12\">rests a while</font> "
              "before running on. ";
    d.Pango += "The quick brown fox <b>jumps</b> over the <i>lazy</i> dog near "
               "<span foreground=\"#0000FF\">link " + n + "</span>, then "
               "<span foreground=\"#FF0000\" size=\"12288\">rests a while</span> before running on. ";
  }
  return d;
}

// Nothing but "<" without any ">": plain text to both.
TDocument LessThans(std::size_t count)
{
  TDocument d;
  d.Ours.assign(count, '<');
  d.Pango.reserve(count * 4);
  for (std::size_t i = 0; i < count; ++i)
    d.Pango += "&lt;";
  return d;
}

const std::map<std::string, TDocument>& Documents()
{
  static const std::map<std::string, TDocument> docs = {
    {"caption", Caption()},
    {"paragraph_10k", Paragraph()},
    {"lt_64k", LessThans(64 * 1024)},
    {"lt_256k", LessThans(256 * 1024)},
    {"lt_1m", LessThans(1024 * 1024)},
  };
  return docs;
}

void Ours(benchmark::State& state, const std::string& name)
{
  const std::string& text = Documents().at(name).Ours;
  Vcl::TFont font;
  font.SetName(FaceName);
  font.SetSize(PointSize);
  Quorex::THtmlParser parser;
  parser.RegisterTags();
  parser.SetDefaultFont(&font);
  Quorex::THtmlRenderer renderer;
  renderer.SetHtml(parser.Root());
  renderer.SetWordBreak(true);
  Vcl::TSize size;
  for (auto _ : state) {
    parser.Parse(text);
    size = renderer.Reparse(Vcl::TRect(0, 0, Width, 100000));
    benchmark::DoNotOptimize(size);
  }
  state.counters["height"] = size.cy;
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}

void Pango(benchmark::State& state, const std::string& name)
{
  const std::string& text = Documents().at(name).Pango;
  PangoFontMap* map = pango_cairo_font_map_get_default();
  PangoContext* context = pango_font_map_create_context(map);
  pango_cairo_context_set_resolution(context, 96);
  PangoFontDescription* desc = pango_font_description_new();
  pango_font_description_set_family(desc, FaceName);
  pango_font_description_set_size(desc, PointSize * PANGO_SCALE);
  int width = 0, height = 0;
  for (auto _ : state) {
    PangoLayout* layout = pango_layout_new(context);
    pango_layout_set_font_description(layout, desc);
    pango_layout_set_width(layout, Width * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
    pango_layout_set_markup(layout, text.c_str(), int(text.size()));
    pango_layout_get_pixel_size(layout, &width, &height);
    benchmark::DoNotOptimize(height);
    g_object_unref(layout);
  }
  state.counters["height"] = height;
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(Documents().at(name).Ours.size()));
  pango_font_description_free(desc);
  g_object_unref(context);
}



} // namespace

int main(int argc, char** argv)
{
  for (const auto& [name, doc] : Documents()) {
    auto* ours = benchmark::RegisterBenchmark(("markup/" + name).c_str(), Ours, name);
    auto* pango = benchmark::RegisterBenchmark(("pango/" + name).c_str(), Pango, name);
    for (auto* b : {ours, pango}) {
      b->Unit(benchmark::kMicrosecond);
      if (name.rfind("lt_", 0) == 0)
        b->Iterations(5);
    }
  }
  QxBench::TPairs pairs;
  for (const auto& [name, doc] : Documents())
    pairs.emplace_back("markup/" + name, "pango/" + name);
  return QxBench::RunWithRatios(argc, argv, pairs, [](const QxBench::TTimes& times) {
    std::printf("\nCPU time per document\n%-16s %14s %14s\n", "document", "markup (us)", "pango (us)");
    for (const auto& [name, doc] : Documents()) {
      auto ours = times.find("markup/" + name);
      auto pango = times.find("pango/" + name);
      if (ours == times.end() || pango == times.end())
        continue;
      std::printf("%-16s %14.1f %14.1f\n", name.c_str(), ours->second * 1e6, pango->second * 1e6);
    }
  });
}
