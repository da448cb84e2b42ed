// What the benchmarks share: a device root of their own with a settings file, and host calls made
// the way compiled code makes them.
#pragma once

#include <objc/message.h>
#include <objc/runtime.h>

#include <string>

#include "standin/plist/plist_value.h"

namespace vorla::bench {

// A fresh directory for a device root, removed when the object ends.
class BenchRoot {
 public:
  BenchRoot();
  ~BenchRoot();
  // Makes this the device root of the process (VORLA_DEVICE_ROOT).
  void use() const;
  std::string settingsPath() const;
  void writeSettings(const plist::Dictionary& settings, bool xml) const;

 private:
  std::string root_;
};

// Settings like the example file: a few dozen colours, numbers, switches and texts.
plist::Dictionary exampleSettings();
// The example settings padded to `keys` entries.
plist::Dictionary largeSettings(int keys);

// A message sent as compiled code sends it: look the implementation up, then call it.
template <class R, class... A>
inline R message(id receiver, SEL selector, A... args) {
  return reinterpret_cast<R (*)(id, SEL, A...)>(objc_msg_lookup(receiver, selector))(
      receiver, selector, args...);
}

id newObject(Class cls);

}  // namespace vorla::bench
