#include "tests/hardening/hardening_support.h"

#include <dirent.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "device/foundation/values.h"
#include "device/runtime/object.h"
#include "hosts/host_apps.h"
#include "tweak/host/autorelease_pool.h"
#include "tweak/settings/settings_file.h"

namespace vorla::testing {

void registerEveryApp() {
  for (const hosts::HostApp& app : hosts::hostApps()) hosts::registerApp(app.name);
}

std::string colourLookup(const char* key, const char* fallback) {
  host::AutoreleasePool pool;
  id keyText = device::newString(key);
  id fallbackText = device::newString(fallback);
  auto colour = device::colourOf(settings::colourSetting(keyText, fallbackText));
  device::releaseObject(keyText);
  device::releaseObject(fallbackText);
  return colour ? text::formatColourText(*colour) : "<not a colour>";
}

long long numberLookup(const char* key) {
  host::AutoreleasePool pool;
  id keyText = device::newString(key);
  long long number = settings::numberSetting(keyText);
  device::releaseObject(keyText);
  return number;
}

template <class T>
T settingOf(void* library, const char* name) {
  auto* variable = static_cast<T*>(dlsym(library, name));
  EXPECT_NE(variable, nullptr) << name;
  return variable ? std::atomic_ref(*variable).load(std::memory_order_acquire) : T{};
}
template BOOL settingOf<BOOL>(void*, const char*);
template double settingOf<double>(void*, const char*);
template id settingOf<id>(void*, const char*);

bool eventually(const std::function<bool()>& done, std::chrono::milliseconds deadline) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

int entriesOf(const char* directory) {
  DIR* listing = opendir(directory);
  if (listing == nullptr) return -1;
  int count = 0;
  while (const dirent* entry = readdir(listing)) {
    if (entry->d_name[0] != '.') ++count;
  }
  closedir(listing);
  return count;
}

int threadsNamed(const std::string& name) {
  int count = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::string comm;
    std::getline(std::ifstream(task.path() / "comm"), comm);
    if (comm == name) ++count;
  }
  return count;
}

}  // namespace vorla::testing
