#include "tests/hardening/hardening_support.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "device/foundation/values.h"
#include "device/runtime/object.h"
#include "tweak/host/autorelease_pool.h"
#include "tweak/settings/settings_file.h"

namespace vorla::testing {

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
