// The cost a hook adds to a host's call: a replacement that forces an argument and calls the
// previous implementation, for a method the class defines (previous in the slot) and for one it
// only inherits (the superclass looked up at each call), and a setter switched by a registered
// setting; each beside the same call of an unhooked method.
#include <benchmark/benchmark.h>

#include <atomic>

#include "bench/bench_support.h"
#include "device/runtime/class_builder.h"
#include "hosts/model.h"
#include "tweak/core/feature_gate.h"
#include "tweak/core/replacements.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::bench {
namespace {

volatile double sink;
void storeValue(id, SEL, double value) { sink = value; }

// Hands on `sliderKeya` while `sliderSwitch` is on, as the switched setters do.
struct Switched {
  template <core::HookSlot& Slot>
  static void replacement(id self, SEL cmd, double value) {
    double handed = settings::isOn(sliderSwitch) ? settings::valueOf(sliderKeya) : value;
    core::callPrevious<void>(Slot, self, cmd, handed);
  }
};

struct Hosts {
  id plain, own, plainChild, hookedChild, switched;
  // The same with the host models' setters, which record what reached them as a host keeps it.
  id modelPlain, modelOwn, modelPlainChild, modelHookedChild, modelSwitched;
  SEL setValue = sel_registerName("setValue:");

  Hosts() {
    using device::ClassBuilder;
    auto setter = [](const char* name, const char* super) {
      return ClassBuilder(name, super).instanceMethod("setValue:", storeValue).build();
    };
    plain = newObject(setter("BenchPlain", "NSObject"));
    own = newObject(setter("BenchOwn", "NSObject"));
    switched = newObject(setter("BenchSwitched", "NSObject"));
    Class base = setter("BenchBase", "NSObject");
    plainChild = newObject(ClassBuilder("BenchPlainChild", base).build());
    hookedChild = newObject(ClassBuilder("BenchHookedChild", base).build());
    auto model = [](const char* name, const char* super) {
      return hosts::Model(name, super).method<void(double)>("setValue:").build();
    };
    modelPlain = newObject(model("BenchModelPlain", "NSObject"));
    modelOwn = newObject(model("BenchModelOwn", "NSObject"));
    modelSwitched = newObject(model("BenchModelSwitched", "NSObject"));
    Class modelBase = model("BenchModelBase", "NSObject");
    modelPlainChild = newObject(ClassBuilder("BenchModelPlainChild", modelBase).build());
    modelHookedChild = newObject(ClassBuilder("BenchModelHookedChild", modelBase).build());
    core::installHooks({
        core::hook<"BenchModelOwn", "setValue:", core::ForcedArgument<void(double), 2.0>>(),
        core::hook<"BenchModelHookedChild", "setValue:", core::ForcedArgument<void(double), 2.0>>(),
        core::hook<"BenchModelSwitched", "setValue:", Switched>(),
    });
    core::installHooks({
        core::hook<"BenchOwn", "setValue:", core::ForcedArgument<void(double), 2.0>>(),
        core::hook<"BenchHookedChild", "setValue:", core::ForcedArgument<void(double), 2.0>>(),
        core::hook<"BenchSwitched", "setValue:", Switched>(),
    });
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

}  // namespace
}  // namespace vorla::bench
