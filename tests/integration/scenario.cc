#include "tests/integration/scenario.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>
#include <variant>

#include "device/foundation/values.h"
#include "hosts/host_apps.h"
#include "hosts/model.h"
#include "tests/support/expected_load_sequence.h"

namespace vorla::testing {
namespace {

Class classOf(const HookRow& row) {
  Class cls = objc_getClass(row.className);
  return cls != Nil && row.classMethod ? object_getClass(reinterpret_cast<id>(cls)) : cls;
}

// The class's own implementation: a hook on an inherited method adds one, while a hook on an
// ancestor's leaves the subclass without one.
IMP ownImplementation(const HookRow& row) {
  Class cls = classOf(row);
  if (cls == Nil) return nullptr;
  unsigned int count = 0;
  Method* methods = class_copyMethodList(cls, &count);
  IMP own = nullptr;
  for (unsigned int i = 0; i < count; ++i) {
    if (sel_isEqual(method_getName(methods[i]), sel_registerName(row.selector))) {
      own = method_getImplementation(methods[i]);
    }
  }
  std::free(methods);
  return own;
}

}  // namespace

std::vector<HookRow> expectedRows(std::initializer_list<const char*> enableKeys,
                                  std::initializer_list<const char*> lastConstructorClasses) {
  std::vector<HookRow> rows;
  for (const ExpectedConstructor& constructor : expectedLoadSequence()) {
    for (const ExpectedHook& hook : constructor.hooks) {
      const auto& wanted = constructor.enableKey ? enableKeys : lastConstructorClasses;
      const char* name = constructor.enableKey ? constructor.enableKey : hook.className;
      for (const char* each : wanted) {
        if (std::string(each) == name) {
          rows.push_back({constructor.enableKey, hook.className, hook.selector, hook.classMethod});
        }
      }
    }
  }
  return rows;
}

const char* enableKeyOf(const char* className, const char* selector) {
  for (const ExpectedConstructor& constructor : expectedLoadSequence()) {
    for (const ExpectedHook& hook : constructor.hooks) {
      if (std::string(hook.className) == className && std::string(hook.selector) == selector) {
        return constructor.enableKey;
      }
    }
  }
  ADD_FAILURE() << "no hook on " << className << " " << selector;
  return "";
}

std::string nameOf(const HookRow& row) {
  return std::string(row.classMethod ? "+" : "") + row.className + " " + row.selector;
}

std::set<std::string> rowsInstalledBy(std::span<const HookRow> rows,
                                      const std::set<std::string>& enableKeys) {
  std::set<std::string> names;
  for (const HookRow& row : rows) {
    if (row.enableKey == nullptr || enableKeys.contains(row.enableKey)) names.insert(nameOf(row));
  }
  return names;
}

IMP implementationOf(const char* className, const char* selector) {
  Class cls = objc_getClass(className);
  if (cls == Nil) return nullptr;
  Method method = class_getInstanceMethod(cls, sel_registerName(selector));
  return method ? method_getImplementation(method) : nullptr;
}

void* loadLibrary() {
  void* handle = dlopen(libraryPath(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) ADD_FAILURE() << dlerror();
  return handle;
}

std::function<void()> appsNamed(std::initializer_list<const char*> apps) {
  return [names = std::vector<const char*>(apps)] {
    for (const char* app : names) {
      if (!hosts::registerApp(app)) ADD_FAILURE() << "no host app " << app;
    }
  };
}

void registerEveryHookedClass() {
  for (const hosts::HostApp& app : hosts::hostApps()) hosts::registerApp(app.name);
  hosts::registerLegibilitySecondaryColourSetter();
}

Scenario::Scenario(const plist::Dictionary& settings, const std::function<void()>& registerClasses,
                   std::span<const HookRow> rows) {
  root_.writeSettings(settings);
  registerClasses();
  std::map<std::string, IMP> before;
  for (const HookRow& row : rows) before[nameOf(row)] = ownImplementation(row);
  library_ = loadLibrary();
  for (const HookRow& row : rows) {
    if (ownImplementation(row) != before[nameOf(row)]) installed_.insert(nameOf(row));
  }
}

std::string argumentOf(id receiver, const char* selector) {
  hosts::MethodRecord record = hosts::recordOf(receiver, selector);
  if (record.calls == 0 || record.lastArguments.empty()) return "<no call>";
  const hosts::Value& value = record.lastArguments.front();
  if (auto* object = std::get_if<id>(&value)) return device::describe(*object);
  if (auto* integer = std::get_if<long long>(&value)) return std::to_string(*integer);
  if (auto* real = std::get_if<double>(&value)) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", *real);
    return text;
  }
  return "<unreadable>";
}

bool eventually(const std::function<bool()>& done, std::chrono::milliseconds deadline) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace vorla::testing
