#include "tools/sim/simulation.h"

#include <algorithm>
#include <map>

#include "hosts/host_apps.h"
#include "tools/common/key_catalogue.h"
#include "tools/sim/enable_keys.h"
#include "tools/sim/host_process.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::sim {

std::vector<PlannedHook> plannedHooks() {
  std::map<std::string, bool> states = enableKeyStates();
  std::vector<PlannedHook> hooks;
  for (const PlanEntry& entry : hookPlan()) {
    hooks.push_back(entry.hook);
    if (!entry.hook.enableKey.empty()) hooks.back().enableKeyOn = states.at(entry.hook.enableKey);
  }
  return hooks;
}

void addApp(Report& report, const std::string& app, const std::vector<HookOutcome>& outcomes) {
  Section own{app, tools::appTitle(app), app, {}};
  Section every{settings::kEveryApp,
                "Every app (interface framework, measured in " + tools::appTitle(app) + ")",
                app,
                {}};
  for (const HookOutcome& outcome : outcomes) {
    HookRow row{&hookPlan().at(static_cast<std::size_t>(outcome.index)), outcome};
    if (outcome.scope == Scope::kApp) own.rows.push_back(std::move(row));
    if (outcome.scope == Scope::kEvery) every.rows.push_back(std::move(row));
  }
  bool haveEvery =
      std::any_of(report.sections.begin(), report.sections.end(),
                  [](const Section& section) { return section.app == settings::kEveryApp; });
  report.sections.push_back(std::move(own));
  if (!haveEvery) report.sections.push_back(std::move(every));
}

void addHooksOfNoApp(Report& report, const std::vector<std::vector<HookOutcome>>& everyApp) {
  if (everyApp.empty()) return;
  Section none{"none", "In no simulated app", "", {}};
  for (const HookOutcome& outcome : everyApp.front()) {
    bool absentEverywhere = std::all_of(everyApp.begin(), everyApp.end(), [&](const auto& app) {
      return app.at(static_cast<std::size_t>(outcome.index)).scope == Scope::kAbsent;
    });
    if (absentEverywhere) {
      none.rows.push_back({&hookPlan().at(static_cast<std::size_t>(outcome.index)), outcome});
    }
  }
  if (!none.rows.empty()) report.sections.push_back(std::move(none));
}

std::string simulate(const std::vector<std::string>& apps, const Programs& programs,
                     const std::string& deviceRoot, Report& report) {
  std::vector<std::vector<HookOutcome>> everyApp;
  for (const std::string& app : apps) {
    HostProcess host(programs.helper, programs.library, app, deviceRoot, plannedHooks());
    Round round = host.next();
    if (round.error.empty()) round.error = host.finish();
    if (!round.error.empty()) return tools::appTitle(app) + ": " + round.error;
    addApp(report, app, round.outcomes);
    everyApp.push_back(std::move(round.outcomes));
  }
  if (apps.size() == hosts::hostApps().size()) addHooksOfNoApp(report, everyApp);
  return "";
}

}  // namespace vorla::sim
