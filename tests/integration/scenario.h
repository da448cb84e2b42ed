// One scenario of a host process, for the tests that run each in a child process: a device root
// of its own holding the settings file, the host's classes, then the library loaded as the
// device's loader would, and which of the given hook rows it installed.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <objc/runtime.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "device/plist/plist_value.h"
#include "tests/support/device_root.h"

namespace vorla::testing {

struct HookRow {
  const char* enableKey;  // null: installed by the last constructor, whatever the settings
  const char* className;
  const char* selector;
  bool classMethod = false;
};

// The rows of the expected load sequence under `enableKeys`, then those of the last constructor
// that target one of `lastConstructorClasses`: one app's share of the sequence.
std::vector<HookRow> expectedRows(std::initializer_list<const char*> enableKeys,
                                  std::initializer_list<const char*> lastConstructorClasses);

// The enable key of the constructor that hooks the row in the expected load sequence.
const char* enableKeyOf(const char* className, const char* selector);

// "Class selector", or "+Class selector" for a class method.
std::string nameOf(const HookRow& row);

// The rows a load with `enableKeys` on installs: theirs and the last constructor's.
std::set<std::string> rowsInstalledBy(std::span<const HookRow> rows,
                                      const std::set<std::string>& enableKeys);

// The implementation `selector` resolves to on the class, inherited ones included.
IMP implementationOf(const char* className, const char* selector);

// dlopens the library and returns its handle; a failure to load fails the test.
void* loadLibrary();

// A registered setting as the library holds it now. The preferences service writes it from its
// own thread, so it is read atomically as the library's replacements read it.
template <class T>
T settingOf(void* library, const char* name) {
  auto* variable = static_cast<T*>(library ? dlsym(library, name) : nullptr);
  if (variable == nullptr) ADD_FAILURE() << "no setting " << name;
  return variable ? std::atomic_ref(*variable).load(std::memory_order_acquire) : T{};
}

// Registers the named host apps' classes; an unknown name fails the test.
std::function<void()> appsNamed(std::initializer_list<const char*> apps);

// Every host app's classes, and the one hooked method some systems lack, so that every hook has
// its target.
void registerEveryHookedClass();

// Kept for the length of the scenario: the settings file goes with its device root, and the
// preferences service would then reset the registered settings.
class [[nodiscard]] Scenario {
 public:
  Scenario(const plist::Dictionary& settings, const std::function<void()>& registerClasses,
           std::span<const HookRow> rows = {});

  // The rows that run an implementation of their class's own other than before the load: a hook
  // on an ancestor's method leaves its subclasses' rows as they were.
  const std::set<std::string>& installed() const { return installed_; }
  // The settings file can be rewritten or removed while the scenario runs.
  const DeviceRoot& root() const { return root_; }
  template <class T>
  T setting(const char* name) const {
    return settingOf<T>(library_, name);
  }

 private:
  DeviceRoot root_;
  void* library_ = nullptr;
  std::set<std::string> installed_;
};

// What the last call of `selector` on `receiver` (an instance or a class) passed as its first
// argument: objects as device::describe renders them, numbers in decimal, "<no call>" when no
// call reached it.
std::string argumentOf(id receiver, const char* selector);

// Polls `done` until it holds or `deadline` has passed: the preferences service carries a
// change on disk into the registered settings within a second.
bool eventually(const std::function<bool()>& done,
                std::chrono::milliseconds deadline = std::chrono::seconds(2));

}  // namespace vorla::testing
