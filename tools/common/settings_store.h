// The settings file of a device root, as the tools read and write it: the device's own path
// under the root, read in either property-list format, written in the binary format atomically.
#pragma once

#include <string>

#include "device/plist/plist_value.h"

namespace vorla::tools {

// `--root` when given, else VORLA_DEVICE_ROOT, else the tools' own default root in the build
// tree, so that vorla-prefs and vorla-sim agree without any set-up.
std::string chooseDeviceRoot(const std::string& rootOption);

std::string settingsPathUnder(const std::string& root);

struct SettingsRead {
  enum class Outcome { kRead, kMissing, kUnreadable } outcome;
  plist::Dictionary entries;  // empty unless read
  std::string problem;        // why it could not be read
};

SettingsRead readSettings(const std::string& path);

// Replaces the file with `entries` in the binary format: a temporary file in the same directory,
// flushed to disk, then renamed over the old one, so that a reader sees the old file or the new
// one and never a part. Creates the directories on the way. Returns why it failed, or "".
std::string writeSettings(const std::string& path, const plist::Dictionary& entries);

}  // namespace vorla::tools
