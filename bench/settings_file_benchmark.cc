// A colour setter reading the settings file at every call, against the floor of opening, reading
// and closing that file, and against parsing it afresh at every call; for the example settings
// and for 2,000 keys, in both formats.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "bench/bench_support.h"
#include "standin/foundation/values.h"
#include "standin/plist/plist_reader.h"
#include "standin/runtime/class_builder.h"
#include "standin/runtime/object.h"
#include "tweak/core/feature_gate.h"
#include "tweak/features/setting_shapes.h"

namespace vorla::bench {
namespace {

id colourSink;
void storeColour(id, SEL, id colour) { colourSink = colour; }

struct Scenario {
  bool large;
  bool xml;
};

// One device root per scenario, with its settings file written once.
class Files {
 public:
  const BenchRoot& rootFor(Scenario scenario) {
    BenchRoot& root = roots_[scenario.large * 2 + scenario.xml];
    root.writeSettings(scenario.large ? largeSettings(2000) : exampleSettings(), scenario.xml);
    root.use();
    return root;
  }

 private:
  BenchRoot roots_[4];
};

Files& files() {
  static Files shared;
  return shared;
}

Scenario scenarioOf(const benchmark::State& state) {
  return {state.range(0) != 0, state.range(1) != 0};
}

id hookedLabel() {
  static id label = [] {
    Class cls = standin::ClassBuilder("BenchLabel", "NSObject")
                    .instanceMethod("setTextColor:", storeColour)
                    .build();
    core::installTableRows({core::hook<"BenchLabel", "setTextColor:",
                                   features::ColourArgument<"colors7a", "#000000">>()});
    return newObject(cls);
  }();
  return label;
}

void BM_ColourSetter(benchmark::State& state) {
  files().rootFor(scenarioOf(state));
  id label = hookedLabel();
  SEL setTextColor = sel_registerName("setTextColor:");
  for (auto _ : state) {
    standin::pushAutoreleasePool();
    message<void>(label, setTextColor, static_cast<id>(nil));
    standin::popAutoreleasePool();
  }
}

void BM_ReadFileFloor(benchmark::State& state) {
  std::string path = files().rootFor(scenarioOf(state)).settingsPath();
  std::vector<char> buffer(plist::kMaxFileBytes);
  for (auto _ : state) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
    ::close(fd);
  }
}

// The floor with the one check every safe reader needs: that what was opened is a regular file
// of bounded size, so that a FIFO, a device or a directory in the file's place is never read.
void BM_CheckedReadFloor(benchmark::State& state) {
  std::string path = files().rootFor(scenarioOf(state)).settingsPath();
  std::vector<char> buffer(plist::kMaxFileBytes);
  for (auto _ : state) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status;
    benchmark::DoNotOptimize(::fstat(fd, &status));
    benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
    ::close(fd);
  }
}

void BM_ParseEveryCall(benchmark::State& state) {
  std::string path = files().rootFor(scenarioOf(state)).settingsPath();
  for (auto _ : state) {
    auto value = plist::readFile(path.c_str());
    id dictionary = standin::newObjectFromPlist(*value);
    benchmark::DoNotOptimize(dictionary);
    standin::releaseObject(dictionary);
  }
}

// Arguments: large file, XML format.
#define VORLA_SCENARIOS ArgsProduct({{0, 1}, {0, 1}})->ArgNames({"large", "xml"})
BENCHMARK(BM_ColourSetter)->VORLA_SCENARIOS;
BENCHMARK(BM_ReadFileFloor)->VORLA_SCENARIOS;
BENCHMARK(BM_CheckedReadFloor)->VORLA_SCENARIOS;
BENCHMARK(BM_ParseEveryCall)->VORLA_SCENARIOS;

}  // namespace
}  // namespace vorla::bench
