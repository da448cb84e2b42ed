// The whole library loaded into a process that has every host app's classes.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "hosts/host_apps.h"
#include "tests/integration/host_process.h"
#include "tests/support/child_process.h"
#include "tests/support/expected_load_sequence.h"

namespace vorla::testing {
namespace {

IMP currentImplementation(const ExpectedHook& hook) {
  Class cls = objc_getClass(hook.className);
  if (cls == Nil) return nullptr;
  if (hook.classMethod) cls = object_getClass(reinterpret_cast<id>(cls));
  Method method = class_getInstanceMethod(cls, sel_registerName(hook.selector));
  return method ? method_getImplementation(method) : nullptr;
}

// Loads the library with `settings` into a process with every app, and counts the hooks of each
// constructor whose implementation changed.
std::map<int, int> installedPerConstructor(const plist::Dictionary& settings) {
  DeviceRoot root;
  root.writeSettings(settings);
  for (const hosts::HostApp& app : hosts::hostApps()) hosts::registerApp(app.name);
  // The one hooked method some systems lack, present here so that every hook can be installed.
  hosts::registerLegibilitySecondaryColourSetter();
  std::map<const ExpectedHook*, IMP> before;
  for (const auto& constructor : expectedLoadSequence()) {
    for (const auto& hook : constructor.hooks) {
      before[&hook] = currentImplementation(hook);
      EXPECT_NE(before[&hook], nullptr)
          << "no model for " << hook.className << " " << hook.selector;
    }
  }
  loadLibrary();
  std::map<int, int> installed;
  for (const auto& constructor : expectedLoadSequence()) {
    for (const auto& hook : constructor.hooks) {
      if (currentImplementation(hook) != before[&hook]) ++installed[constructor.number];
    }
  }
  return installed;
}

TEST(WholeLibrary, WithNoEnableKeyOnlyTheLastConstructorsThirtyHooksAreInstalled) {
  EXPECT_IN_CHILD([] { EXPECT_EQ(installedPerConstructor({}), (std::map<int, int>{{43, 30}})); });
}

TEST(WholeLibrary, WithEveryEnableKeyOnAllHooksAreInstalled) {
  EXPECT_IN_CHILD([] {
    plist::Dictionary settings;
    std::map<int, int> expected;
    for (const auto& constructor : expectedLoadSequence()) {
      if (constructor.enableKey) settings.emplace_back(constructor.enableKey, boolean(true));
      expected[constructor.number] = static_cast<int>(constructor.hooks.size());
    }
    auto installed = installedPerConstructor(settings);
    EXPECT_EQ(installed, expected);
    int total = 0;
    for (auto [number, count] : installed) total += count;
    EXPECT_EQ(total, 107);
  });
}

}  // namespace
}  // namespace vorla::testing
