// Hostile settings files, and values of a kind no key reads in every key the library reads (its
// key catalogue), in the simulator's host process with every hooked class: each run must give
// every hook the outcome of the run without them. Whatever the file holds, the host neither
// crashes nor hangs. Which texts and numbers read as what is the readers' tests' business.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "tests/support/device_root.h"
#include "tools/common/key_catalogue.h"
#include "tools/common/plist_writer.h"
#include "tools/sim/host_process.h"
#include "tools/sim/report.h"
#include "tools/sim/simulation.h"

namespace vorla::testing {
namespace {

using Prepare = std::function<void(const DeviceRoot&)>;

// Each hook's name and outcome, one text per hook.
std::vector<std::string> outcomesWith(const Prepare& prepare) {
  DeviceRoot root;
  prepare(root);
  // Per scenario: the plan carries the enable keys as the library reads them from its file.
  const std::vector<sim::PlannedHook> hooks = sim::plannedHooks();
  sim::HostProcess host(VORLA_SIM_HOST, VORLA_LIBRARY_PATH, "all-hooked", root.path(), hooks);
  sim::Round round = host.next();
  EXPECT_EQ(round.error, "");
  EXPECT_EQ(host.finish(), "");
  std::vector<std::string> rows;
  for (const sim::HookOutcome& outcome : round.outcomes) {
    std::ostringstream row;
    sim::writeOutcomes(row, {outcome}, {});
    rows.push_back(sim::hookName(hooks[outcome.index]) + "\n" + row.str());
  }
  return rows;
}

void expectOutcomesOf(const Prepare& prepare, const Prepare& reference) {
  std::vector<std::string> seen = outcomesWith(prepare), expected = outcomesWith(reference);
  ASSERT_EQ(seen.size(), expected.size());
  for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], expected[i]);
}

// Every key holding `value`, or, with `enableKeysOn`, the enable keys on instead; no value stores
// nothing.
plist::Dictionary everyKey(const std::optional<plist::Value>& value, bool enableKeysOn) {
  plist::Dictionary settings;
  for (const tools::KeyInfo& key : tools::keyCatalogue()) {
    if (enableKeysOn && key.source == tools::KeySource::kEnableKey) {
      settings.push_back({key.key, boolean(true)});
    } else if (value) {
      settings.push_back({key.key, *value});
    }
  }
  return settings;
}

const plist::Value kNoKindAnyKeyReads[] = {
    {plist::Array{text("#00ff00"), integer(1)}},
    {plist::Dictionary{{"value", boolean(true)}}},
    {plist::Data{0x31, 0xff}},
    {plist::Date{1.0}},
};

class WrongKind : public ::testing::TestWithParam<std::size_t> {};

TEST_P(WrongKind, InEveryKeyReadsAsAbsent) {
  const plist::Value& value = kNoKindAnyKeyReads[GetParam()];
  for (bool enableKeysOn : {false, true}) {
    SCOPED_TRACE(enableKeysOn ? "enable keys on" : "every key");
    expectOutcomesOf(
        [&](const DeviceRoot& root) { root.writeSettings(everyKey(value, enableKeysOn)); },
        [&](const DeviceRoot& root) { root.writeSettings(everyKey(std::nullopt, enableKeysOn)); });
  }
}
INSTANTIATE_TEST_SUITE_P(Values, WrongKind, ::testing::Values(0, 1, 2, 3));

std::string exampleBytes() {
  std::ifstream in(VORLA_EXAMPLE_SETTINGS, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::pair<const char*, Prepare> kFileStates[] = {
    {"Empty", [](const DeviceRoot& root) { root.writeSettingsBytes(""); }},
    {"NotAPropertyList", [](const DeviceRoot& root) { root.writeSettingsBytes("TabBariPad=1"); }},
    {"Truncated",
     [](const DeviceRoot& root) {
       std::string bytes = exampleBytes();
       root.writeSettingsBytes(bytes.substr(0, bytes.size() / 2));
     }},
    {"ArrayAtTheTop",
     [](const DeviceRoot& root) {
       auto bytes = plist::writeBinary(plist::Value{plist::Array{text("TabBariPad")}});
       root.writeSettingsBytes(std::string(bytes.begin(), bytes.end()));
     }},
    {"LargerThanTheCap",
     [](const DeviceRoot& root) {
       std::string bytes = exampleBytes();
       bytes.insert(bytes.rfind("</dict>"), std::string(9 << 20, ' '));
       root.writeSettingsBytes(bytes);
     }},
    {"Directory",
     [](const DeviceRoot& root) { std::filesystem::create_directory(root.settingsPath()); }},
    {"Fifo", [](const DeviceRoot& root) { mkfifo(root.settingsPath().c_str(), 0600); }},
    {"LinkToItself",
     [](const DeviceRoot& root) {
       std::filesystem::create_symlink(root.settingsPath(), root.settingsPath());
     }},
};

class FileState : public ::testing::TestWithParam<std::size_t> {};

TEST_P(FileState, ReadsAsNoFile) {
  expectOutcomesOf(kFileStates[GetParam()].second, [](const DeviceRoot&) {});
}
INSTANTIATE_TEST_SUITE_P(States, FileState, ::testing::Range<std::size_t>(0, 8),
                         [](const auto& info) { return kFileStates[info.param].first; });

}  // namespace
}  // namespace vorla::testing
