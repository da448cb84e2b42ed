#include "device/foundation/device_paths.h"

#include <cstdlib>

namespace vorla::device {

std::string devicePath(std::string_view absolutePath) {
  const char* root = std::getenv("VORLA_DEVICE_ROOT");
  std::string path = root != nullptr ? root : "";
  while (!path.empty() && path.back() == '/') path.pop_back();
  if (absolutePath.empty() || absolutePath.front() != '/') path += '/';
  path += absolutePath;
  return path;
}

std::string suitePath(std::string_view suite) {
  std::string path = "/var/mobile/Library/Preferences/";
  path += suite;
  path += ".plist";
  return path;
}

}  // namespace vorla::device
