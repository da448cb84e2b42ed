#include "tools/sim/serve/preview.h"

#include <algorithm>
#include <thread>

#include "hosts/host_apps.h"
#include "tools/common/key_catalogue.h"

namespace vorla::sim {
namespace {

bool sameMeasurement(const Measurement& a, const Measurement& b) {
  return a.hostCalled == b.hostCalled && a.hostGot == b.hostGot && a.callerGot == b.callerGot &&
         a.also == b.also && a.note == b.note;
}

// Whether the row's outcome differs from the last round's; no last round: it did not change.
bool changed(const HookOutcome& now, const std::vector<HookOutcome>& previous) {
  auto index = static_cast<std::size_t>(now.index);
  if (index >= previous.size()) return false;
  const HookOutcome& before = previous[index];
  return now.status != before.status || !sameMeasurement(now.with, before.with);
}

std::string joined(const std::vector<std::string>& values) {
  std::string out;
  for (const std::string& value : values) out += (out.empty() ? "" : ", ") + value;
  return out.empty() ? "-" : out;
}

// The call's values one by one, as the texts show them, for the page's picture of the app.
nlohmann::json measurementJson(const Measurement& m) {
  return {{"hostCalled", m.hostCalled},
          {"hostGot", m.hostGot},
          {"callerGot", m.callerGot ? nlohmann::json(*m.callerGot) : nlohmann::json(nullptr)},
          {"also", m.also}};
}

}  // namespace

Preview::Preview(const Programs& programs, std::string deviceRoot)
    : programs_(programs), deviceRoot_(std::move(deviceRoot)) {}

std::string Preview::start() {
  for (const hosts::HostApp& app : hosts::hostApps()) {
    apps_.push_back({app.name,
                     std::make_unique<HostProcess>(programs_.helper, programs_.library, app.name,
                                                   deviceRoot_, plannedHooks()),
                     {},
                     {},
                     "",
                     false});
  }
  return takeRounds();
}

// The apps run their rounds side by side; their reports are read one after another.
std::string Preview::takeRounds() {
  std::string failure;
  for (App& app : apps_) {
    Round round = app.host->next();
    app.broken = !round.error.empty();
    if (app.broken) {
      if (failure.empty()) failure = tools::appTitle(app.name) + ": " + round.error;
      continue;
    }
    app.previous = std::move(app.outcomes);
    app.outcomes = std::move(round.outcomes);
  }
  return failure;
}

std::string Preview::update(const std::vector<KeyChange>& changes) {
  bool waitForPreferences = false;
  for (App& app : apps_) {
    Catching catching = sim::catching(changes, app.name);
    waitForPreferences |= catching.restartedBy.empty() && catching.waitsForPreferences;
    std::string keys;
    for (const std::string& key : catching.restartedBy) keys += (keys.empty() ? "" : ", ") + key;
    app.note = keys.empty() ? ""
                            : "Restarted, since " + keys +
                                  " changed: enable keys are read when the library loads, so on "
                                  "the device this applies at the app's next launch.";
  }
  if (waitForPreferences) std::this_thread::sleep_for(kPreferencesCarry);
  for (App& app : apps_) {
    if (!app.note.empty() || app.broken) {
      app.host = std::make_unique<HostProcess>(programs_.helper, programs_.library, app.name,
                                               deviceRoot_, plannedHooks());
    } else {
      app.host->driveAgain();
    }
  }
  return takeRounds();
}

nlohmann::json Preview::json() const {
  Report report;
  std::vector<std::vector<HookOutcome>> everyApp;
  for (const App& app : apps_) {
    addApp(report, app.name, app.outcomes);
    everyApp.push_back(app.outcomes);
  }
  if (std::none_of(everyApp.begin(), everyApp.end(), [](const auto& app) { return app.empty(); })) {
    addHooksOfNoApp(report, everyApp);
  }
  nlohmann::json sections = nlohmann::json::array();
  for (const Section& section : report.sections) {
    auto measuredIn = std::find_if(apps_.begin(), apps_.end(),
                                   [&](const App& app) { return app.name == section.measuredIn; });
    const App* source = measuredIn == apps_.end() ? &apps_.front() : &*measuredIn;
    nlohmann::json rows = nlohmann::json::array();
    for (const HookRow& row : section.rows) {
      bool hasArguments = !row.outcome.passed.empty();
      rows.push_back({{"hook", hookName(row.entry->hook)},
                      {"enableKey", row.entry->hook.enableKey},
                      {"fileKey", row.entry->fileKey},
                      {"installed", isInstalled(row.outcome)},
                      {"status", statusText(row)},
                      {"passed", joined(row.outcome.passed)},
                      {"without", measurementText(row.outcome.without, hasArguments)},
                      {"with", measurementText(row.outcome.with, hasArguments)},
                      {"changed", changed(row.outcome, source->previous)},
                      {"values",
                       {{"without", measurementJson(row.outcome.without)},
                        {"with", measurementJson(row.outcome.with)}}}});
    }
    sections.push_back({{"app", section.app},
                        {"title", section.title},
                        {"summary", summaryLine(section)},
                        {"note", section.app == section.measuredIn ? source->note : ""},
                        {"rows", std::move(rows)}});
  }
  return sections;
}

}  // namespace vorla::sim
