#include "bench/bench_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "device/foundation/device_paths.h"
#include "device/plist/plist_writer.h"
#include "device/runtime/message.h"

namespace vorla::bench {

BenchRoot::BenchRoot() {
  char pattern[] = "/tmp/vorla-bench-XXXXXX";
  root_ = mkdtemp(pattern);
  std::filesystem::create_directories(root_ + "/var/mobile/Library/Preferences");
}

void BenchRoot::use() const { device::useDeviceRoot(root_); }

BenchRoot::~BenchRoot() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

std::string BenchRoot::settingsPath() const {
  return root_ + "/var/mobile/Library/Preferences/com.pellobrast.vorla.plist";
}

void BenchRoot::writeSettings(const plist::Dictionary& settings, bool xml) const {
  plist::Value top{settings};
  std::string temporary = settingsPath() + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (xml) {
      out << plist::writeXml(top);
    } else {
      auto bytes = plist::writeBinary(top);
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    }
  }
  std::filesystem::rename(temporary, settingsPath());
}

plist::Dictionary exampleSettings() {
  plist::Dictionary settings;
  const char* colours[] = {"3DTouch1a",          "3DTouch2a",         "iconcolor1a", "look1a",
                           "Numberclor4",        "NumberPadButton3",  "call2",       "barxx",
                           "colors7a",           "colors5a",          "colors4a",    "colors3a",
                           "colors2a",           "colors1a",          "ORVIK2",      "ORVIK3",
                           "YourCustomColour1m", "YourCustomColour2m"};
  int shade = 0;
  for (const char* key : colours) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", shade, 255 - shade, 128);
    settings.emplace_back(key, plist::Value{std::string(text)});
    shade += 13;
  }
  settings.emplace_back("watchr", plist::Value{plist::Integer{250}});
  settings.emplace_back("User", plist::Value{plist::Integer{1200}});
  for (const char* key : {"TabBariPad", "bar1", "colors7", "colors3", "sliderSwitch"}) {
    settings.emplace_back(key, plist::Value{true});
  }
  settings.emplace_back("sliderKeya", plist::Value{0.5});
  settings.emplace_back("NoSIM", plist::Value{std::string("No service")});
  return settings;
}

plist::Dictionary largeSettings(int keys) {
  plist::Dictionary settings = exampleSettings();
  for (int i = static_cast<int>(settings.size()); i < keys; ++i) {
    settings.emplace_back("padding" + std::to_string(i), plist::Value{std::string("#123456")});
  }
  return settings;
}

id newObject(Class cls) {
  return device::send<id>(device::send<id>(reinterpret_cast<id>(cls), "alloc"), "init");
}

}  // namespace vorla::bench
