// One scenario of a host process, for the tests that run each in a child process: a device root
// of its own holding the settings file, the named apps' classes, then the library loaded as the
// device's loader would, and which of the given hook rows it installed.
#pragma once

#include <objc/runtime.h>

#include <functional>
#include <initializer_list>
#include <set>
#include <span>
#include <string>

#include "device/plist/plist_value.h"
#include "tests/support/device_root.h"

namespace vorla::testing {

struct HookRow {
  const char* enableKey;  // null: installed by the last constructor, whatever the settings
  const char* className;
  const char* selector;
  bool classMethod = false;
};

// "Class selector", or "+Class selector" for a class method.
std::string nameOf(const HookRow& row);

// The rows a load with only `enableKey` on installs: its own and the last constructor's.
std::set<std::string> rowsInstalledBy(std::span<const HookRow> rows, const char* enableKey);

// Kept for the length of the scenario: the settings file goes with its device root, and the
// preferences service would then reset the registered settings.
class [[nodiscard]] Scenario {
 public:
  Scenario(const plist::Dictionary& settings, std::initializer_list<const char*> apps,
           std::span<const HookRow> rows);

  // The rows that run another implementation than before the library was loaded.
  const std::set<std::string>& installed() const { return installed_; }
  // The settings file can be rewritten or removed while the scenario runs.
  const DeviceRoot& root() const { return root_; }

 private:
  DeviceRoot root_;
  std::set<std::string> installed_;
};

// What the last call of `selector` on `receiver` (an instance or a class) passed as its first
// argument: objects as device::describe renders them, numbers in decimal, "<no call>" when no
// call reached it.
std::string argumentOf(id receiver, const char* selector);

// Polls `done` until it holds or two seconds have passed: the preferences service carries a
// change on disk into the registered settings within a second.
bool eventually(const std::function<bool()>& done);

}  // namespace vorla::testing
