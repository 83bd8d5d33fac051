// The notification area's text cut: a tooltip or balloon text of mixed
// scripts (accents, CJK, emoji) into its UTF-16 field at a code-point
// boundary, beside GLib's UTF-8 to UTF-16 conversion followed by the same cut.
#include <Win.Shell.NotifyIcon.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <glib.h>

#include <algorithm>
#include <string>

namespace {

std::string MixedText()
{
  std::string text;
  while (text.size() < 900)
    text += "Sauvegarde terminée \xE5\x82\x99\xE4\xBB\xBD\xE5\xAE\x8C\xE6\x88\x90 \xF0\x9F\x98\x80 files copied, ";
  return text;
}

void BM_Qx_CutBalloonText(benchmark::State& state)
{
  const std::string text = MixedText();
  Win::NOTIFYICONDATAW data;
  for (auto _ : state) {
    Win::CopyToWide(text, data.szInfo, std::size(data.szInfo));
    benchmark::DoNotOptimize(data.szInfo);
  }
}

void BM_Glib_CutBalloonText(benchmark::State& state)
{
  const std::string text = MixedText();
  Win::NOTIFYICONDATAW data;
  constexpr glong capacity = glong(std::size(data.szInfo)) - 1;
  for (auto _ : state) {
    glong units = 0;
    gunichar2* wide = g_utf8_to_utf16(text.c_str(), glong(text.size()), nullptr, &units, nullptr);
    glong used = std::min(units, capacity);
    if (used > 0 && used < units && wide[used - 1] >= 0xD800 && wide[used - 1] <= 0xDBFF)
      --used; // do not split a surrogate pair
    std::copy(wide, wide + used, data.szInfo);
    data.szInfo[used] = 0;
    g_free(wide);
    benchmark::DoNotOptimize(data.szInfo);
  }
}

} // namespace

BENCHMARK(BM_Qx_CutBalloonText);
BENCHMARK(BM_Glib_CutBalloonText);

int main(int argc, char** argv)
{
  return QxBench::RunWithRatios(argc, argv, {{"BM_Qx_CutBalloonText", "BM_Glib_CutBalloonText"}});
}
