// The cost a hook adds to a host's call: a replacement that forces an argument and calls the
// previous implementation, for a method the class defines (previous in the slot) and for one it
// only inherits (the superclass looked up at each call), and a setter switched by a registered
// setting; each beside the same call of an unhooked method, and beside the smallest replacement of
// its kind installed on a class built the same way (the limit any hook of that kind can reach).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

#include "bench/bench_support.h"
#include "hosts/model.h"
#include "standin/runtime/class_builder.h"
#include "tweak/core/feature_gate.h"
#include "tweak/core/replacements.h"
#include "tweak/features/setting_shapes.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::bench {
namespace {

volatile double sink;
void storeValue(id, SEL, double value) { sink = value; }

using Setter = void (*)(id, SEL, double);

// The smallest replacements, as a hand-written hook would be: the previous implementation read
// with one acquire load and called; for an inherited method, the superclass's implementation
// looked up at each call; for a switched setter, two relaxed loads of the registered variables.
std::atomic<IMP> minimalOwnPrevious{nullptr};
[[gnu::aligned(64)]] void minimalOwn(id self, SEL cmd, double) {
  reinterpret_cast<Setter>(minimalOwnPrevious.load(std::memory_order_acquire))(self, cmd, 2.0);
}

std::atomic<Class> minimalSuperclass{Nil};
[[gnu::aligned(64)]] void minimalInherited(id self, SEL cmd, double) {
  Class superclass = minimalSuperclass.load(std::memory_order_acquire);
  reinterpret_cast<Setter>(class_getMethodImplementation(superclass, cmd))(self, cmd, 2.0);
}

std::atomic<IMP> minimalSwitchedPrevious{nullptr};
[[gnu::aligned(64)]] void minimalSwitched(id self, SEL cmd, double value) {
  double handed = std::atomic_ref(sliderSwitch).load(std::memory_order_relaxed)
                      ? std::atomic_ref(sliderKeya).load(std::memory_order_relaxed)
                      : value;
  reinterpret_cast<Setter>(minimalSwitchedPrevious.load(std::memory_order_acquire))(self, cmd,
                                                                                    handed);
}

using Forced = core::ForcedArgument<void(double), core::Real{2.0}>;
using Switched = features::SettingArgument<void(double), sliderSwitch, sliderKeya>;

struct Hosts {
  id plain, own, plainChild, hookedChild, switched;
  id minimalOwnHost, minimalChild, minimalSwitchedHost;
  // The same with the host models' setters, which record what reached them as a host keeps it.
  id modelPlain, modelOwn, modelPlainChild, modelHookedChild, modelSwitched;
  SEL setValue = sel_registerName("setValue:");

  Hosts() {
    using standin::ClassBuilder;
    auto setter = [](const char* name, const char* super) {
      return ClassBuilder(name, super).instanceMethod("setValue:", storeValue).build();
    };
    plain = newObject(setter("BenchPlain", "NSObject"));
    own = newObject(setter("BenchOwn", "NSObject"));
    switched = newObject(setter("BenchSwitched", "NSObject"));
    Class base = setter("BenchBase", "NSObject");
    plainChild = newObject(ClassBuilder("BenchPlainChild", base).build());
    hookedChild = newObject(ClassBuilder("BenchHookedChild", base).build());
    Class minimalOwnClass = setter("BenchMinimalOwn", "NSObject");
    Class minimalSwitchedClass = setter("BenchMinimalSwitched", "NSObject");
    Class minimalChildClass = ClassBuilder("BenchMinimalChild", base).build();
    minimalOwnHost = newObject(minimalOwnClass);
    minimalSwitchedHost = newObject(minimalSwitchedClass);
    minimalChild = newObject(minimalChildClass);
    auto model = [](const char* name, const char* super) {
      return hosts::Model(name, super).method<void(double)>("setValue:").build();
    };
    modelPlain = newObject(model("BenchModelPlain", "NSObject"));
    modelOwn = newObject(model("BenchModelOwn", "NSObject"));
    modelSwitched = newObject(model("BenchModelSwitched", "NSObject"));
    Class modelBase = model("BenchModelBase", "NSObject");
    modelPlainChild = newObject(ClassBuilder("BenchModelPlainChild", modelBase).build());
    modelHookedChild = newObject(ClassBuilder("BenchModelHookedChild", modelBase).build());
    core::installTableRows({
        core::hook<"BenchModelOwn", "setValue:", Forced>(),
        core::hook<"BenchModelHookedChild", "setValue:", Forced>(),
        core::hook<"BenchModelSwitched", "setValue:", Switched>(),
    });
    core::installTableRows({
        core::hook<"BenchOwn", "setValue:", Forced>(),
        core::hook<"BenchHookedChild", "setValue:", Forced>(),
        core::hook<"BenchSwitched", "setValue:", Switched>(),
    });
    // The minimal replacements go in through the same installer, so that only the replacements
    // themselves differ.
    core::installHook(minimalOwnClass, setValue, reinterpret_cast<IMP>(minimalOwn),
                      &minimalOwnPrevious);
    core::installHook(minimalSwitchedClass, setValue, reinterpret_cast<IMP>(minimalSwitched),
                      &minimalSwitchedPrevious);
    minimalSuperclass.store(base, std::memory_order_release);
    std::atomic<IMP> unused{nullptr};
    core::installHook(minimalChildClass, setValue, reinterpret_cast<IMP>(minimalInherited),
                      &unused);
    std::atomic_ref(sliderSwitch).store(YES, std::memory_order_relaxed);
  }
};

Hosts& hosts() {
  static Hosts shared;
  return shared;
}

void call(benchmark::State& state, id receiver) {
  SEL setValue = hosts().setValue;
  for (auto _ : state) message<void>(receiver, setValue, 1.0);
}

void BM_UnhookedOwnMethod(benchmark::State& state) { call(state, hosts().plain); }
void BM_HookedOwnMethod(benchmark::State& state) { call(state, hosts().own); }
void BM_UnhookedInheritedMethod(benchmark::State& state) { call(state, hosts().plainChild); }
void BM_HookedInheritedMethod(benchmark::State& state) { call(state, hosts().hookedChild); }
void BM_SwitchedSetter(benchmark::State& state) { call(state, hosts().switched); }

void BM_UnhookedModelSetter(benchmark::State& state) { call(state, hosts().modelPlain); }
void BM_HookedModelSetter(benchmark::State& state) { call(state, hosts().modelOwn); }
void BM_UnhookedInheritedModelSetter(benchmark::State& state) {
  call(state, hosts().modelPlainChild);
}
void BM_HookedInheritedModelSetter(benchmark::State& state) {
  call(state, hosts().modelHookedChild);
}
void BM_SwitchedModelSetter(benchmark::State& state) { call(state, hosts().modelSwitched); }

// The landed hook against the minimal one in the same iterations: each is a round of four blocks
// of calls, landed-minimal-minimal-landed, so that a change of the machine's speed during a round
// weighs on both alike. `landed_over_minimal` is the median of the rounds' ratios.
void landedOverMinimal(benchmark::State& state, id landed, id minimal) {
  constexpr int kCalls = 2000;
  SEL setValue = hosts().setValue;
  auto block = [setValue](id receiver) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kCalls; ++i) message<void>(receiver, setValue, 1.0);
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
        .count();
  };
  std::vector<double> ratios;
  double landedTotal = 0, minimalTotal = 0;
  for (auto _ : state) {
    double a = block(landed);
    double b = block(minimal);
    b += block(minimal);
    a += block(landed);
    ratios.push_back(a / b);
    landedTotal += a;
    minimalTotal += b;
  }
  auto middle = ratios.begin() + static_cast<long>(ratios.size() / 2);
  std::nth_element(ratios.begin(), middle, ratios.end());
  double calls = 2.0 * kCalls * static_cast<double>(ratios.size());
  state.counters["landed_over_minimal"] = *middle;
  state.counters["landed_ns"] = landedTotal / calls;
  state.counters["minimal_ns"] = minimalTotal / calls;
}

void BM_OwnAgainstMinimal(benchmark::State& state) {
  landedOverMinimal(state, hosts().own, hosts().minimalOwnHost);
}
void BM_InheritedAgainstMinimal(benchmark::State& state) {
  landedOverMinimal(state, hosts().hookedChild, hosts().minimalChild);
}
void BM_SwitchedAgainstMinimal(benchmark::State& state) {
  landedOverMinimal(state, hosts().switched, hosts().minimalSwitchedHost);
}

BENCHMARK(BM_UnhookedOwnMethod);
BENCHMARK(BM_HookedOwnMethod);
BENCHMARK(BM_UnhookedInheritedMethod);
BENCHMARK(BM_HookedInheritedMethod);
BENCHMARK(BM_SwitchedSetter);
BENCHMARK(BM_UnhookedModelSetter);
BENCHMARK(BM_HookedModelSetter);
BENCHMARK(BM_UnhookedInheritedModelSetter);
BENCHMARK(BM_HookedInheritedModelSetter);
BENCHMARK(BM_SwitchedModelSetter);
BENCHMARK(BM_OwnAgainstMinimal)->Iterations(500);
BENCHMARK(BM_InheritedAgainstMinimal)->Iterations(500);
BENCHMARK(BM_SwitchedAgainstMinimal)->Iterations(500);

}  // namespace
}  // namespace vorla::bench
