// What a process keeps after many calls into the loaded library: no more descriptors, objects or
// threads than before. The device layer's preferences watcher is one thread per process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "device/foundation/values.h"
#include "device/runtime/message.h"
#include "device/runtime/object.h"
#include "hosts/host_apps.h"
#include "tests/hardening/hardening_support.h"
#include "tests/integration/scenario.h"
#include "tests/support/child_process.h"
#include "tweak/features/features.h"
#include "tweak/host/autorelease_pool.h"

namespace vorla::testing {
namespace {

using device::send;

// The method's type encoding reduced to its result and its arguments after self and _cmd: "@q"
// takes an integer and answers an object.
std::string shapeOf(Method method) {
  auto first = [](char* type) {
    std::string letter(1, type[std::strspn(type, "rnNoORV")]);
    std::free(type);
    return letter;
  };
  std::string shape = first(method_copyReturnType(method));
  for (unsigned i = 2; i < method_getNumberOfArguments(method); ++i) {
    shape += first(method_copyArgumentType(method, i));
  }
  return shape;
}

struct HookedCall {
  id receiver;
  const char* selector;
  std::string shape;
};

// Calls the method through its exact C signature, with zero and nil arguments. The Safari and
// Cydia hooks take and answer objects, integers and booleans only.
void call(const HookedCall& hooked) {
  const std::string& shape = hooked.shape;
  if (shape == "@") {
    send<id>(hooked.receiver, hooked.selector);
  } else if (shape == "q") {
    send<long long>(hooked.receiver, hooked.selector);
  } else if (shape == "C") {
    send<BOOL>(hooked.receiver, hooked.selector);
  } else if (shape == "v") {
    send(hooked.receiver, hooked.selector);
  } else if (shape == "v@") {
    send(hooked.receiver, hooked.selector, id{nil});
  } else if (shape == "@q") {
    send<id>(hooked.receiver, hooked.selector, 0LL);
  } else if (shape == "@@@") {
    send<id>(hooked.receiver, hooked.selector, id{nil}, id{nil});
  } else {
    ADD_FAILURE() << hooked.selector << ": no caller for the shape " << shape;
  }
}

// Every hook of the Safari and Cydia constructors, on a receiver of its class.
std::vector<HookedCall> safariAndCydiaCalls() {
  std::vector<HookedCall> calls;
  for (const core::Constructor* constructor :
       {&features::tabBariPad(), &features::bookmarksBar(), &features::safariSwitcher(),
        &features::sfare(), &features::cydiadark(), &features::cydia()}) {
    for (const core::Hook& hook : constructor->hooks) {
      const bool classMethod = hook.kind == core::MethodKind::kClass;
      id receiver = classMethod ? reinterpret_cast<id>(objc_getClass(hook.className))
                                : hosts::newInstance(hook.className);
      Class target = object_getClass(receiver);
      Method method = class_getInstanceMethod(target, sel_registerName(hook.selector));
      EXPECT_NE(method, nullptr) << hook.className << " " << hook.selector;
      if (method != nullptr) calls.push_back({receiver, hook.selector, shapeOf(method)});
    }
  }
  return calls;
}

struct Resources {
  int descriptors = entriesOf("/proc/self/fd");
  int threads = entriesOf("/proc/self/task");
  long objects = vorla_device_live_objects();
};

TEST(Resources, UnchangedAfterAHundredThousandHookedCallsAndLookups) {
  EXPECT_TRUE(runInChild(
      [] {
        DeviceRoot root;
        root.writeSettings({{"TabBariPad", boolean(true)},
                            {"BookmarksBar", boolean(true)},
                            {"SafariSwitcher", boolean(true)},
                            {"sfare", boolean(true)},
                            {"cydiadark", boolean(true)},
                            {"cydia", boolean(true)},
                            {"barxx", text("#0a0b0c")},
                            {"User", integer(77)}});
        hosts::registerApp("safari");
        hosts::registerApp("cydia");
        ASSERT_NE(loadLibrary(), nullptr);
        const std::vector<HookedCall> calls = safariAndCydiaCalls();
        ASSERT_EQ(calls.size(), 17u);
        auto round = [&](int count) {
          for (int i = 0; i < count; ++i) {
            host::AutoreleasePool pool;
            call(calls[i % calls.size()]);
            if (i % 2 == 0) {
              EXPECT_EQ(colourLookup("barxx", "#000000"), "#0a0b0c");
            } else {
              EXPECT_EQ(numberLookup("User"), 77);
            }
          }
        };
        round(static_cast<int>(calls.size()));
        const Resources before;
        round(100'000);
        const Resources after;
        EXPECT_EQ(after.descriptors, before.descriptors);
        EXPECT_EQ(after.threads, before.threads);
        EXPECT_EQ(after.objects, before.objects);
      },
      300));
}

id newPreferences(const std::string& suite) {
  id identifier = device::newString(suite);
  id preferences = send<id>(device::sendToClass<id>("HBPreferences", "alloc"),
                            "initWithIdentifier:", identifier);
  device::releaseObject(identifier);
  return preferences;
}

TEST(Resources, OneWatcherThreadPerProcessHoweverManyPreferences) {
  EXPECT_IN_CHILD([] {
    DeviceRoot root;
    const Resources start;
    ASSERT_EQ(threadsNamed("vorla-watcher"), 0);
    std::vector<id> made;
    for (int i = 0; i < 100; ++i) {
      made.push_back(newPreferences(i % 2 ? "com.pellobrast.vorla" : "suite" + std::to_string(i)));
      EXPECT_EQ(threadsNamed("vorla-watcher"), 1) << "after " << i + 1;
    }
    ASSERT_NE(loadLibrary(), nullptr);  // each gate makes a preferences object of its own
    EXPECT_EQ(threadsNamed("vorla-watcher"), 1);
    EXPECT_EQ(entriesOf("/proc/self/fd"), start.descriptors + 1)
        << "one descriptor, for change notifications, and no other";
    for (id preferences : made) device::releaseObject(preferences);
  });
}

}  // namespace
}  // namespace vorla::testing
