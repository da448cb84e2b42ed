// The device root a simulation runs in, and the settings file it watches.
#pragma once

#include <string>

namespace vorla::sim {

class DeviceSetup {
 public:
  // With `settingsOption`, a temporary root holding a copy of that file; otherwise the device
  // root that vorla-prefs uses too (--root, VORLA_DEVICE_ROOT, or the tools' default). The
  // default root gets a copy of the bundled example the first time.
  DeviceSetup(const std::string& settingsOption, const std::string& rootOption);
  ~DeviceSetup();
  DeviceSetup(const DeviceSetup&) = delete;
  DeviceSetup& operator=(const DeviceSetup&) = delete;

  const std::string& error() const { return error_; }
  const std::string& note() const { return note_; }
  const std::string& root() const { return root_; }
  // The file a person edits: the one given with --settings, or the root's own.
  const std::string& settingsFile() const { return watched_; }

  // Brings the root up to date with the file given with --settings (nothing to do otherwise).
  // Returns why it could not, or "".
  std::string refresh();

 private:
  std::string root_;
  std::string watched_;
  bool temporary_ = false;
  std::string error_;
  std::string note_;
};

}  // namespace vorla::sim
