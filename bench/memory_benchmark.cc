// A million hooked calls, through a replacement that reads the settings file and makes a colour at
// every call: neither live objects nor resident memory may grow.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "bench/bench_support.h"
#include "standin/runtime/class_builder.h"
#include "standin/runtime/object.h"
#include "tweak/core/feature_gate.h"
#include "tweak/features/setting_shapes.h"

namespace vorla::bench {
namespace {

id received;
void keepColour(id, SEL, id colour) { received = colour; }

long residentKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

void BM_MillionHookedCalls(benchmark::State& state) {
  BenchRoot root;
  root.use();
  root.writeSettings(exampleSettings(), false);
  Class cls = standin::ClassBuilder("MemoryLabel", "NSObject")
                  .instanceMethod("setTextColor:", keepColour)
                  .build();
  core::installTableRows({core::hook<"MemoryLabel", "setTextColor:",
                                 features::ColourArgument<"colors7a", "#000000">>()});
  id label = newObject(cls);
  SEL setTextColor = sel_registerName("setTextColor:");
  auto round = [&](int calls) {
    for (int i = 0; i < calls; ++i) {
      standin::pushAutoreleasePool();
      message<void>(label, setTextColor, static_cast<id>(nil));
      standin::popAutoreleasePool();
    }
  };
  round(10000);  // constants, caches and buffers reach their steady state
  long objectsBefore = standin::liveObjectCount();
  long residentBefore = residentKilobytes();
  for (auto _ : state) round(1000000);
  state.counters["live_object_growth"] = standin::liveObjectCount() - objectsBefore;
  state.counters["resident_growth_kb"] = residentKilobytes() - residentBefore;
}

BENCHMARK(BM_MillionHookedCalls)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorla::bench
