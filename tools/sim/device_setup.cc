#include "tools/sim/device_setup.h"

#include <cstdlib>
#include <filesystem>

#include "tools/common/settings_store.h"

namespace vorla::sim {
namespace {

// Makes the settings file at `path` hold `entries`; with `onlyIntoEmpty`, only when it holds
// nothing yet, so that a file another writer made in the meantime is kept.
std::string copyInto(const std::string& path, const plist::Dictionary& entries,
                     bool onlyIntoEmpty) {
  tools::SettingsUpdate update =
      tools::updateSettings(path, false, [&](plist::Dictionary& current) {
        if (current == entries || (onlyIntoEmpty && !current.empty())) return false;
        current = entries;
        return true;
      });
  return update.outcome == tools::SettingsUpdate::Outcome::kRefused ||
                 update.outcome == tools::SettingsUpdate::Outcome::kFailed
             ? update.problem
             : "";
}

}  // namespace

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
    } else if (std::string problem = copyInto(watched_, example.entries, true); !problem.empty()) {
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
  return copyInto(tools::settingsPathUnder(root_), read.entries, false);
}

}  // namespace vorla::sim
