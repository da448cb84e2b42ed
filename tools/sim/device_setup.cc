#include "tools/sim/device_setup.h"

#include <cstdlib>
#include <filesystem>

#include "tools/common/settings_store.h"

namespace vorla::sim {

DeviceSetup::DeviceSetup(const std::string& settingsOption, const std::string& rootOption) {
  if (!settingsOption.empty()) {
    watched_ = settingsOption;
    char pattern[] = "/tmp/vorla-sim-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
      error_ = "cannot make a temporary device root";
      return;
    }
    root_ = pattern;
    temporary_ = true;
    error_ = refresh();
    return;
  }
  bool chosen = !rootOption.empty() || std::getenv("VORLA_DEVICE_ROOT") != nullptr;
  root_ = tools::chooseDeviceRoot(rootOption);
  watched_ = tools::settingsPathUnder(root_);
  tools::SettingsRead read = tools::readSettings(watched_);
  if (read.outcome == tools::SettingsRead::Outcome::kUnreadable) {
    error_ = "cannot read the settings file " + watched_ + ": " + read.problem;
  } else if (read.outcome == tools::SettingsRead::Outcome::kMissing && !chosen) {
    tools::SettingsRead example = tools::readSettings(VORLA_EXAMPLE_SETTINGS);
    if (example.outcome != tools::SettingsRead::Outcome::kRead) {
      error_ = "cannot read the bundled example " VORLA_EXAMPLE_SETTINGS ": " + example.problem;
    } else if (std::string problem = tools::writeSettings(watched_, example.entries);
               !problem.empty()) {
      error_ = problem;
    } else {
      note_ = "first run: the bundled example " VORLA_EXAMPLE_SETTINGS " was copied to " +
              watched_ + "; edit it with vorla-prefs";
    }
  } else if (read.outcome == tools::SettingsRead::Outcome::kMissing) {
    note_ = "no settings file at " + watched_ + ": every key is absent";
  }
}

DeviceSetup::~DeviceSetup() {
  if (temporary_) {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
}

std::string DeviceSetup::refresh() {
  if (!temporary_) return "";
  tools::SettingsRead read = tools::readSettings(watched_);
  if (read.outcome != tools::SettingsRead::Outcome::kRead) {
    return "cannot read the settings file " + watched_ + ": " + read.problem;
  }
  return tools::writeSettings(tools::settingsPathUnder(root_), read.entries);
}

}  // namespace vorla::sim
