// A benchmark main that prints, after the usual table, our time over the
// peer's for named pairs of benchmarks (below 1: faster than the peer).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace QxBench {

using TPairs = std::vector<std::pair<std::string, std::string>>; // ours, peer

class TRatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override
  {
    // The machine is shared: CPU time is steadier than wall time.
    for (const Run& run : runs)
      FTimes[run.benchmark_name()] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatio(const std::string& ours, const std::string& peer) const
  {
    const auto a = FTimes.find(ours), b = FTimes.find(peer);
    if (a == FTimes.end() || b == FTimes.end() || b->second <= 0)
      return;
    std::printf("%-32s / %-32s = %.2f\n", ours.c_str(), peer.c_str(), a->second / b->second);
  }

private:
  std::map<std::string, double> FTimes;
};

inline int RunWithRatios(int argc, char** argv, const TPairs& pairs)
{
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const auto& [ours, peer] : pairs)
    reporter.PrintRatio(ours, peer);
  benchmark::Shutdown();
  return 0;
}

} // namespace QxBench
