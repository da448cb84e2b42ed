#include "tweak/core/load_sequence.h"

#include "tweak/features/features.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::core {
namespace {

// The last constructor: no gate; the settings are registered before its hooks are installed.
const Constructor& lastConstructor() {
  static const Constructor constructor{43, nullptr, settings::SettingsRegistry, {}};
  return constructor;
}

}  // namespace

std::span<const Constructor* const> loadSequence() {
  static const Constructor* const sequence[] = {
      &features::tabBariPad(),      // 1
      &features::bookmarksBar(),    // 2
      &features::safariSwitcher(),  // 3
      &features::cydiadark(),       // 16
      &features::cydia(),           // 17
      &features::sfare(),           // 18
      &lastConstructor(),           // 43
  };
  return sequence;
}

}  // namespace vorla::core
