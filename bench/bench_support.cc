#include "bench/bench_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "standin/foundation/device_paths.h"
#include "standin/runtime/message.h"
#include "tools/common/plist_writer.h"
#include "tweak/load_sequence.h"

namespace vorla::bench {

BenchRoot::BenchRoot() {
  char pattern[] = "/tmp/vorla-bench-XXXXXX";
  root_ = mkdtemp(pattern);
  std::filesystem::create_directories(root_ + "/var/mobile/Library/Preferences");
}

void BenchRoot::use() const { standin::useDeviceRoot(root_); }

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
  // Every settings-file key the hooks read, as their rows name it: a colour where the row has a
  // fallback colour, a count otherwise.
  unsigned char shade = 0;
  long long count = 250;
  for (const core::Constructor* constructor : loadSequence()) {
    for (const core::Hook& hook : constructor->hooks) {
      const char* key = hook.fileKey.key;
      if (key == nullptr || plist::find(settings, key) != nullptr) continue;
      if (hook.fileKey.fallback != nullptr) {
        char text[8];
        std::snprintf(text, sizeof text, "#%02x%02x%02x", shade, 255 - shade, 128);
        settings.emplace_back(key, plist::Value{std::string(text)});
        shade = static_cast<unsigned char>(shade + 13);
      } else {
        settings.emplace_back(key, plist::Value{plist::Integer{count}});
        count *= 4;
      }
    }
  }
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
  return standin::send<id>(standin::send<id>(reinterpret_cast<id>(cls), "alloc"), "init");
}

}  // namespace vorla::bench
