// How long a registered setting takes to follow the settings file: from an atomic replace of the
// file to the new value in the bound variable.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "standin/foundation/values.h"
#include "standin/runtime/message.h"

namespace vorla::bench {
namespace {

double bound = 0;

void BM_RegisteredSettingLatency(benchmark::State& state) {
  BenchRoot root;
  root.use();
  root.writeSettings({{"features", plist::Value{0.0}}}, false);
  id key = standin::newString("features");
  id preferences =
      standin::send<id>(standin::sendToClass<id>("HBPreferences", "alloc"),
                        "initWithIdentifier:", standin::newString("com.pellobrast.vorla"));
  standin::send(preferences, "registerDouble:default:forKey:", &bound, 1.0, key);
  double next = 1;
  std::vector<double> samples;
  for (auto _ : state) {
    next += 1;
    auto start = std::chrono::steady_clock::now();
    root.writeSettings({{"features", plist::Value{next}}}, false);
    auto deadline = start + std::chrono::seconds(2);
    while (std::atomic_ref(bound).load(std::memory_order_relaxed) != next &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::yield();
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    if (std::atomic_ref(bound).load(std::memory_order_relaxed) != next) {
      state.SkipWithError("the variable did not follow the file within 2 s");
      break;
    }
    samples.push_back(std::chrono::duration<double, std::milli>(elapsed).count());
    state.SetIterationTime(samples.back() / 1000);
  }
  if (!samples.empty()) {
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    state.counters["median_ms"] = samples[samples.size() / 2];
  }
}

BENCHMARK(BM_RegisteredSettingLatency)
    ->UseManualTime()
    ->Iterations(50)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorla::bench
