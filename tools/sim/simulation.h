// Runs simulated host apps, each in a process of its own, and gathers what they report.
#pragma once

#include <string>
#include <vector>

#include "tools/sim/report.h"

namespace vorla::sim {

struct Programs {
  std::string helper;   // vorla-sim-host
  std::string library;  // VorlaPro.so
};

// The planned hooks, as the host processes are told them, with their enable keys as the library
// reads them now from the settings file of this process's device root, which is theirs.
std::vector<PlannedHook> plannedHooks();

// Adds one app's section, made of the rows whose class is the app's own, and, when the report has
// none yet, the interface framework's section as measured in this app.
void addApp(Report& report, const std::string& app, const std::vector<HookOutcome>& outcomes);

// Adds a section for the hooks whose class no app of the report had; only meaningful when every
// app was run.
void addHooksOfNoApp(Report& report, const std::vector<std::vector<HookOutcome>>& everyApp);

// Runs `apps` one after another. Returns the first failure of a host process, or "".
std::string simulate(const std::vector<std::string>& apps, const Programs& programs,
                     const std::string& deviceRoot, Report& report);

}  // namespace vorla::sim
