// What the simulator found, app by app, and the words every output format shares.
#pragma once

#include <string>
#include <vector>

#include "tools/sim/hook_plan.h"
#include "tools/sim/protocol.h"

namespace vorla::sim {

struct HookRow {
  const PlanEntry* entry;
  HookOutcome outcome;
};

// The hooks of one app's own classes; or, for app "every", those of the interface framework, as
// measured in the app `measuredIn`; or, for app "none", hooks whose class no simulated app has.
struct Section {
  std::string app;
  std::string title;
  std::string measuredIn;
  std::vector<HookRow> rows;
};

struct Report {
  std::string settingsFile;
  std::string deviceRoot;
  std::string library;
  std::vector<Section> sections;
};

struct Counts {
  int hooks = 0;
  int installed = 0;
};
Counts countsOf(const Section& section);
Counts countsOf(const Report& report);

bool isInstalled(const HookOutcome& outcome);
// "Class selector", "+Class selector" for a class method.
std::string hookName(const PlannedHook& hook);
// Why a hook is not installed, in a phrase; empty when it is.
std::string reasonOf(const HookRow& row);
// "installed" or "added", or "not installed: " and the reason.
std::string statusText(const HookRow& row);
// What one call did, in a phrase: "host got #3366cc", "caller got YES", "host not called".
std::string measurementText(const Measurement& m, bool hasArguments);
// "Safari: 13 hooks, 13 installed, 0 not installed"
std::string summaryLine(const Section& section);
std::string summaryLine(const Report& report);

}  // namespace vorla::sim
