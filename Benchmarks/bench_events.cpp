// Change notification beside libsigc++: one event to n subscribers, through
// the message's publisher (it walks a copy of its weak references and locks
// each) and through a sigc++ signal with n slots that each track a
// trackable object. The ratio is the price of weak subscribers that may
// come and go during the walk.
#include <Quorex.Vcl.Message.hpp>

#include "QxBenchRatio.hpp"

#include <benchmark/benchmark.h>
#include <sigc++/sigc++.h>

#include <memory>
#include <string>
#include <vector>

using namespace Quorex;

namespace {

void Notify_qx(benchmark::State& state)
{
  TQxMessage message(nullptr);
  const std::shared_ptr<IEventPublisher<TQxCustomMessage>>& publisher = message.OnChange();
  long long calls = 0;
  std::vector<std::shared_ptr<TMessageChangeSubscriber>> subscribers;
  for (int i = 0; i < state.range(0); ++i) {
    subscribers.push_back(std::make_shared<TMessageChangeSubscriber>([&calls](TQxCustomMessage*) { ++calls; }));
    publisher->Subscribe(subscribers.back().get());
  }
  for (auto _ : state)
    publisher->FireEvent(&message);
  benchmark::DoNotOptimize(calls);
}

struct TTrackedCounter : sigc::trackable {
  void Handle(TQxCustomMessage*) { ++Calls; }
  long long Calls = 0;
};

void Notify_sigc(benchmark::State& state)
{
  TQxMessage message(nullptr);
  sigc::signal<void(TQxCustomMessage*)> changed;
  std::vector<std::unique_ptr<TTrackedCounter>> subscribers;
  for (int i = 0; i < state.range(0); ++i) {
    subscribers.push_back(std::make_unique<TTrackedCounter>());
    changed.connect(sigc::mem_fun(*subscribers.back(), &TTrackedCounter::Handle));
  }
  for (auto _ : state)
    changed.emit(&message);
  benchmark::DoNotOptimize(subscribers.front()->Calls);
}

BENCHMARK(Notify_qx)->Arg(1)->Arg(16)->Arg(256);
BENCHMARK(Notify_sigc)->Arg(1)->Arg(16)->Arg(256);

} // namespace

int main(int argc, char** argv)
{
  QxBench::TPairs pairs;
  for (int n : {1, 16, 256})
    pairs.emplace_back("Notify_qx/" + std::to_string(n), "Notify_sigc/" + std::to_string(n));
  return QxBench::RunWithRatios(argc, argv, pairs);
}
