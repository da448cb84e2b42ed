#include "tests/support/device_root.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "standin/foundation/device_paths.h"
#include "tools/common/plist_writer.h"

namespace vorla::testing {

DeviceRoot::DeviceRoot() {
  char pattern[] = "/tmp/vorla-root-XXXXXX";
  root_ = mkdtemp(pattern);
  std::filesystem::create_directories(root_ + "/var/mobile/Library/Preferences");
  standin::useDeviceRoot(root_);
}

DeviceRoot::~DeviceRoot() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

std::string DeviceRoot::settingsPath() const {
  return root_ + "/var/mobile/Library/Preferences/com.pellobrast.vorla.plist";
}

void DeviceRoot::writeSettings(const plist::Dictionary& settings, bool xml) const {
  plist::Value top{settings};
  if (xml) {
    writeSettingsBytes(plist::writeXml(top));
  } else {
    auto bytes = plist::writeBinary(top);
    writeSettingsBytes(std::string(bytes.begin(), bytes.end()));
  }
}

void DeviceRoot::writeSettingsBytes(const std::string& bytes) const {
  std::string temporary = settingsPath() + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  std::filesystem::rename(temporary, settingsPath());
}

void DeviceRoot::removeSettings() const { std::filesystem::remove(settingsPath()); }

plist::Value text(const char* value) { return {std::string(value)}; }
plist::Value integer(long long value) { return {plist::Integer{value}}; }
plist::Value real(double value) { return {value}; }
plist::Value boolean(bool value) { return {value}; }

}  // namespace vorla::testing
