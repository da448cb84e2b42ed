#include "tests/integration/scenario.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <thread>
#include <variant>

#include "device/foundation/values.h"
#include "hosts/host_apps.h"
#include "hosts/model.h"
#include "tests/integration/host_process.h"

namespace vorla::testing {
namespace {

IMP currentImplementation(const HookRow& row) {
  Class cls = objc_getClass(row.className);
  if (cls == Nil) return nullptr;
  SEL selector = sel_registerName(row.selector);
  Method method = row.classMethod ? class_getClassMethod(cls, selector)
                                  : class_getInstanceMethod(cls, selector);
  return method ? method_getImplementation(method) : nullptr;
}

}  // namespace

std::string nameOf(const HookRow& row) {
  return std::string(row.classMethod ? "+" : "") + row.className + " " + row.selector;
}

std::set<std::string> rowsInstalledBy(std::span<const HookRow> rows, const char* enableKey) {
  std::set<std::string> names;
  for (const HookRow& row : rows) {
    if (row.enableKey == nullptr || std::string(row.enableKey) == enableKey) {
      names.insert(nameOf(row));
    }
  }
  return names;
}

Scenario::Scenario(const plist::Dictionary& settings, std::initializer_list<const char*> apps,
                   std::span<const HookRow> rows) {
  root_.writeSettings(settings);
  for (const char* app : apps) {
    if (!hosts::registerApp(app)) ADD_FAILURE() << "no host app " << app;
  }
  std::map<std::string, IMP> before;
  for (const HookRow& row : rows) before[nameOf(row)] = currentImplementation(row);
  loadLibrary();
  for (const HookRow& row : rows) {
    if (currentImplementation(row) != before[nameOf(row)]) installed_.insert(nameOf(row));
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

bool eventually(const std::function<bool()>& done) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace vorla::testing
