// Follows the settings file a simulation runs on, and says what a change of it asks of the apps
// running on it: the one policy of vorla-sim --watch and of the settings page's preview.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "tools/common/settings_store.h"

namespace vorla::sim {

// A key whose value differs between two reads, as the tools show values; "" where it is absent.
struct KeyChange {
  std::string key;
  std::string before;
  std::string after;
};

// The keys that differ from `before` to `after`, in the order of their names.
std::vector<KeyChange> keyChanges(const tools::SettingsRead& before,
                                  const tools::SettingsRead& after);

// How long the preferences service may take to carry a registered setting into a running app.
inline constexpr std::chrono::milliseconds kPreferencesCarry{1200};

// What a change of the file asks of one running app.
struct Catching {
  // Its enable keys that changed (the app's own or the interface framework's): the library reads
  // them only as it loads, so the app restarts.
  std::vector<std::string> restartedBy;
  // A registered setting changed: an app driven again waits kPreferencesCarry first.
  bool waitsForPreferences = false;
};
Catching catching(const std::vector<KeyChange>& changes, const std::string& app);

class SettingsFollower {
 public:
  // The file as it is now is the baseline of the first look.
  explicit SettingsFollower(std::string path);

  struct Look {
    std::vector<KeyChange> changes;   // since the last readable read; none while unreadable
    bool readabilityChanged = false;  // it became unreadable, or readable again
  };
  // Reads the file again. While it cannot be read, its last readable entries stay the baseline:
  // the apps keep the last settings they saw.
  Look look();

  const std::string& path() const { return path_; }
  const tools::SettingsRead& current() const { return current_; }    // the last read
  const tools::SettingsRead& lastGood() const { return lastGood_; }  // the last readable read

 private:
  std::string path_;
  tools::SettingsRead current_;
  tools::SettingsRead lastGood_;
};

}  // namespace vorla::sim
