// Realigning a layout panel with n children (one in ten a dynamic spacer)
// beside a plain loop that computes the same positions from the same
// widths, heights and Left order: sort by Left, share the free width,
// place left to right. Both scale as n log n; the ratio is the cost of
// going through the controls.
#include <Quorex.Vcl.LayoutPanel.hpp>
#include <Winapi.Windows.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

using namespace Vcl;
using namespace Quorex;

namespace {

constexpr int Spacing = 10, PanelWidth = 100000, PanelHeight = 40;

class TBlock : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
};

bool IsSpacer(int i) { return i % 10 == 9; }
int WidthOf(int i) { return 20 + i % 7; }
int HeightOf(int i) { return 10 + i % 5; }
// Left positions in a scrambled order, so that the sort has work to do.
int LeftOf(int i, int n) { return int((long long)(i) * 7919 % n) * 30; }

void Realign_qx(benchmark::State& state)
{
  Win::ResetWindowSystem();
  const int n = int(state.range(0));
  auto panel = std::make_unique<TQxLayoutPanel>(nullptr);
  panel->SetBounds(0, 0, PanelWidth, PanelHeight);
  panel->DisableAlign();
  for (int i = 0; i < n; ++i) {
    TControl* child = IsSpacer(i) ? static_cast<TControl*>(new TQxDynamicSpacer(panel.get()))
                                  : static_cast<TControl*>(new TBlock(panel.get()));
    child->SetBounds(LeftOf(i, n), 0, WidthOf(i), HeightOf(i));
    child->SetParent(panel.get());
  }
  panel->EnableAlign();
  for (auto _ : state) {
    panel->Realign();
    benchmark::DoNotOptimize(panel->Controls(n - 1)->Left());
  }
  state.SetComplexityN(n);
  panel.reset();
  Win::ResetWindowSystem();
}

struct TItem {
  int Left, Width, Height, Top;
  bool Spacer;
};

void Realign_loop(benchmark::State& state)
{
  const int n = int(state.range(0));
  std::vector<TItem> items;
  for (int i = 0; i < n; ++i)
    items.push_back({LeftOf(i, n), WidthOf(i), HeightOf(i), 0, IsSpacer(i)});
  std::vector<int> order(size_t(n), 0);
  for (auto _ : state) {
    long long total = 0, spacers = 0;
    for (const TItem& item : items) {
      spacers += item.Spacer;
      total += item.Spacer ? 0 : item.Width;
    }
    total += (long long)(n - 1) * Spacing;
    const int share = int(std::max<long long>((PanelWidth - total) / std::max<long long>(spacers, 1), 0));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return items[size_t(a)].Left < items[size_t(b)].Left; });
    long long x = 0;
    for (int i : order) {
      TItem& item = items[size_t(i)];
      if (item.Spacer)
        item.Width = share;
      item.Left = int(x);
      item.Top = (PanelHeight - item.Height) / 2;
      x += item.Width + Spacing;
    }
    benchmark::DoNotOptimize(items.data());
  }
  state.SetComplexityN(n);
}

BENCHMARK(Realign_qx)->Arg(250)->Arg(1000)->Arg(4000)->Complexity(benchmark::oNLogN);
BENCHMARK(Realign_loop)->Arg(250)->Arg(1000)->Arg(4000)->Complexity(benchmark::oNLogN);

} // namespace

int main(int argc, char** argv)
{
  QxBench::TPairs pairs;
  for (int n : {250, 1000, 4000})
    pairs.emplace_back("Realign_qx/" + std::to_string(n), "Realign_loop/" + std::to_string(n));
  return QxBench::RunWithRatios(argc, argv, pairs);
}
