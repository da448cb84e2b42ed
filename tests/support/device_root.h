// A device root of its own for a test: VORLA_DEVICE_ROOT points at a fresh directory holding the
// preferences directory, where the settings file can be written, replaced or removed.
#pragma once

#include <string>

#include "standin/plist/plist_value.h"

namespace vorla::testing {

class DeviceRoot {
 public:
  DeviceRoot();
  ~DeviceRoot();
  DeviceRoot(const DeviceRoot&) = delete;
  DeviceRoot& operator=(const DeviceRoot&) = delete;

  const std::string& path() const { return root_; }
  // The settings file under this root.
  std::string settingsPath() const;

  // Replaces the settings file atomically (temporary file, then rename), in the binary format
  // unless `xml` is set.
  void writeSettings(const plist::Dictionary& settings, bool xml = false) const;
  void writeSettingsBytes(const std::string& bytes) const;
  void removeSettings() const;

 private:
  std::string root_;
};

// Shorthands for building settings.
plist::Value text(const char* value);
plist::Value integer(long long value);
plist::Value real(double value);
plist::Value boolean(bool value);

}  // namespace vorla::testing
