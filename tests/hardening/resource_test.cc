// Every hook driven through the simulator's host process, round after round, as a host calls
// them: after many rounds the process holds no more objects and descriptors than after the first.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/device_root.h"
#include "tools/sim/host_process.h"
#include "tools/sim/report.h"
#include "tools/sim/simulation.h"

namespace vorla::testing {
namespace {

TEST(Resources, EveryHookManyRoundsLeavesNothingBehind) {
  DeviceRoot root;
  std::filesystem::copy_file(VORLA_EXAMPLE_SETTINGS, root.settingsPath());
  std::vector<sim::PlannedHook> hooks = sim::plannedHooks();
  sim::HostProcess host(VORLA_SIM_HOST, VORLA_LIBRARY_PATH, "all-hooked", root.path(), hooks);
  sim::Round round = host.next();
  ASSERT_EQ(round.error, "");
  ASSERT_EQ(round.outcomes.size(), hooks.size());
  for (const sim::HookOutcome& outcome : round.outcomes) {
    EXPECT_TRUE(sim::isInstalled(outcome))
        << sim::hookName(hooks[outcome.index]) << ": " << sim::statusName(outcome.status);
    EXPECT_TRUE(outcome.with.note.empty()) << sim::hookName(hooks[outcome.index]);
  }
  // The first round made what is kept for the life of the process (constant texts, caches).
  host.driveAgain();
  const sim::Holdings settled = host.next().held;
  for (int i = 0; i < 300 && round.error.empty(); ++i) {
    host.driveAgain();
    round = host.next();
  }
  ASSERT_EQ(round.error, "");
  EXPECT_GT(settled.objects, 0);
  EXPECT_EQ(round.held.objects, settled.objects) << "objects left behind by 300 rounds";
  EXPECT_EQ(round.held.descriptors, settled.descriptors) << "descriptors left open";
  EXPECT_EQ(host.finish(), "");
}

}  // namespace
}  // namespace vorla::testing
