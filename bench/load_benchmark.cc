// Loading the library into a host process where every hooked class exists with a realistic number
// of methods (hundreds, several superclasses deep), with every enable key on against every key
// off, and how often the settings file is parsed meanwhile; then, with every key off, the floor
// (the same library whose constructor does nothing) and each part of that load alone. Each sample
// is a fresh process, as every load is.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "hosts/host_apps.h"
#include "standin/foundation/property_list_files.h"
#include "standin/runtime/type_encoding.h"
#include "tweak/load_sequence.h"

namespace vorla::bench {
namespace {

constexpr int kFillerMethods = 300;

void filler(id, SEL) {}

// Every class in the process gains methods of its own, as a real framework class has.
void addFillerMethods() {
  int count = objc_getClassList(nullptr, 0);
  std::vector<Class> classes(static_cast<std::size_t>(count));
  objc_getClassList(classes.data(), count);
  for (Class cls : classes) {
    for (int i = 0; i < kFillerMethods; ++i) {
      std::string name = std::string("_") + class_getName(cls) + "Filler" + std::to_string(i);
      class_addMethod(cls, sel_registerName(name.c_str()), reinterpret_cast<IMP>(filler), "v@:");
    }
  }
}

struct Sample {
  double seconds;
  long parses;
  long pageFaults;
};

long minorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

// In a child: the host process set up, then the library loaded and timed. `parts` is null for
// VorlaPro.so itself, else the parts its bench-only build runs.
Sample loadInChild(bool everyKeyOn, const char* parts) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return {-1, -1, -1};
  pid_t pid = fork();
  if (pid == 0) {
    close(pipeEnds[0]);
    BenchRoot root;
    root.use();
    plist::Dictionary settings = exampleSettings();
    for (const core::Constructor* constructor : loadSequence()) {
      if (constructor->enableKey) {
        settings.emplace_back(constructor->enableKey, plist::Value{everyKeyOn});
      }
    }
    root.writeSettings(settings, false);
    for (const hosts::HostApp& app : hosts::hostApps()) hosts::registerApp(app.name);
    hosts::registerLegibilitySecondaryColourSetter();
    addFillerMethods();
    if (parts != nullptr) setenv("VORLA_BENCH_LOAD_PARTS", parts, 1);
    const char* path = parts != nullptr ? VORLA_PARTS_LIBRARY_PATH : VORLA_LIBRARY_PATH;
    long parsesBefore = vorla_device_plist_parses();
    long faultsBefore = minorFaults();
    auto start = std::chrono::steady_clock::now();
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    auto elapsed = std::chrono::steady_clock::now() - start;
    Sample sample{library ? std::chrono::duration<double>(elapsed).count() : -1,
                  vorla_device_plist_parses() - parsesBefore, minorFaults() - faultsBefore};
    (void)!write(pipeEnds[1], &sample, sizeof sample);
    _exit(0);
  }
  close(pipeEnds[1]);
  Sample sample{-1, -1, -1};
  if (read(pipeEnds[0], &sample, sizeof sample) != sizeof sample) sample = {-1, -1, -1};
  close(pipeEnds[0]);
  waitpid(pid, nullptr, 0);
  return sample;
}

void load(benchmark::State& state, bool everyKeyOn, const char* parts = nullptr) {
  long parses = 0;
  long pageFaults = 0;
  for (auto _ : state) {
    Sample sample = loadInChild(everyKeyOn, parts);
    if (sample.seconds < 0) {
      state.SkipWithError("the library could not be loaded");
      break;
    }
    state.SetIterationTime(sample.seconds);
    parses = std::max(parses, sample.parses);
    pageFaults = std::max(pageFaults, sample.pageFaults);
  }
  state.counters["settings_file_parses"] = static_cast<double>(parses);
  state.counters["page_faults"] = static_cast<double>(pageFaults);
}

void BM_LoadEveryKeyOn(benchmark::State& state) { load(state, true); }
void BM_LoadEveryKeyOff(benchmark::State& state) { load(state, false); }

// Every key on against every key off in rounds of four loads (on, off, off, on), each round's
// ratio taken from its own loads: a slow spell of the machine weighs on both sides of a round
// alike. The figure is the median of the rounds' ratios; the time is that of the loads with every
// key on.
void BM_LoadEveryKeyOnOverOff(benchmark::State& state) {
  std::vector<double> ratios;
  for (auto _ : state) {
    double on = 0;
    double off = 0;
    for (bool everyKeyOn : {true, false, false, true}) {
      Sample sample = loadInChild(everyKeyOn, nullptr);
      if (sample.seconds < 0) {
        state.SkipWithError("the library could not be loaded");
        return;
      }
      (everyKeyOn ? on : off) += sample.seconds;
    }
    state.SetIterationTime(on / 2);
    ratios.push_back(on / off);
  }
  std::sort(ratios.begin(), ratios.end());
  state.counters["on_over_off"] = ratios.empty() ? 0 : ratios[ratios.size() / 2];
}

void BM_LoadFloor(benchmark::State& state) { load(state, false, ""); }
void BM_LoadGatesOnly(benchmark::State& state) { load(state, false, "g"); }
void BM_LoadRegistryOnly(benchmark::State& state) { load(state, false, "r"); }
void BM_LoadUnconditionalHooksOnly(benchmark::State& state) { load(state, false, "h"); }

// Interleaved with one another, so that the machine's load weighs on each alike.
#define VORLA_LOAD_BENCHMARK(name) \
  BENCHMARK(name)->UseManualTime()->Iterations(20)->Unit(benchmark::kMicrosecond)
VORLA_LOAD_BENCHMARK(BM_LoadEveryKeyOn);
VORLA_LOAD_BENCHMARK(BM_LoadEveryKeyOff);
BENCHMARK(BM_LoadEveryKeyOnOverOff)->UseManualTime()->Iterations(15)->Unit(benchmark::kMicrosecond);
VORLA_LOAD_BENCHMARK(BM_LoadFloor);
VORLA_LOAD_BENCHMARK(BM_LoadGatesOnly);
VORLA_LOAD_BENCHMARK(BM_LoadRegistryOnly);
VORLA_LOAD_BENCHMARK(BM_LoadUnconditionalHooksOnly);

}  // namespace
}  // namespace vorla::bench
