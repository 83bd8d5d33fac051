// A benchmark main shared by every benchmark: the usual table, then our time
// over the peer's for pairs of benchmarks (below 1: faster than the peer).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace QxBench {

// CPU seconds per iteration by benchmark name (the machine is shared: CPU
// time is steadier than wall time). Repeated benchmarks are known by their
// median, kept under the plain name, so pairs match with or without
// repetitions and whether or not only the aggregates are reported.
using TTimes = std::map<std::string, double>;
using TPairs = std::vector<std::pair<std::string, std::string>>; // ours, peer

class TTimesReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override
  {
    for (const Run& run : runs) {
      const bool aggregate = run.run_type == Run::RT_Aggregate;
      if (run.iterations > 0 && (!aggregate || run.aggregate_name == "median"))
        Times[run.run_name.str()] = run.cpu_accumulated_time / double(run.iterations);
    }
    ConsoleReporter::ReportRuns(runs);
  }
  TTimes Times;
};

// One line per pair, always ours over the peer, under one heading.
inline void PrintRatios(const TTimes& times, const TPairs& pairs)
{
  bool heading = false;
  for (const auto& [ours, peer] : pairs) {
    const auto a = times.find(ours), b = times.find(peer);
    if (a == times.end() || b == times.end() || b->second <= 0)
      continue;
    if (!heading)
      std::printf("\nCPU time ratio, ours / peer (below 1: ours is faster)\n");
    heading = true;
    std::printf("%-32s / %-32s = %.2f\n", ours.c_str(), peer.c_str(), a->second / b->second);
  }
}

// Every "<op><ours>" that has a "<op><peer>" beside it.
inline TPairs SuffixPairs(const TTimes& times, const std::string& ours, const std::string& peer)
{
  TPairs pairs;
  for (const auto& [name, time] : times) {
    if (name.size() <= ours.size() || name.compare(name.size() - ours.size(), ours.size(), ours) != 0)
      continue;
    const std::string op = name.substr(0, name.size() - ours.size());
    if (times.count(op + peer))
      pairs.emplace_back(name, op + peer);
  }
  return pairs;
}

// Runs the benchmarks, prints the ratios of the pairs, then lets Extra print
// more from the times.
inline int RunWithRatios(int argc, char** argv, const TPairs& pairs,
                         const std::function<void(const TTimes&)>& extra = {})
{
  benchmark::Initialize(&argc, argv);
  TTimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatios(reporter.Times, pairs);
  if (extra)
    extra(reporter.Times);
  benchmark::Shutdown();
  return 0;
}

} // namespace QxBench
