#include "tweak/core/load_sequence.h"

#include "tweak/features/features.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::core {
namespace {

// The last constructor: no gate; the settings are registered before its hooks are installed.
const Constructor& lastConstructor() {
  static const Constructor constructor{43,
                                       nullptr,
                                       settings::SettingsRegistry,
                                       {
                                           features::homeIndicatorHeight(),        // 5
                                           features::homeIndicatorMinWidth(),      // 6
                                           features::simStatusString(),            // 10
                                           features::switcherStyle(),              // 11
                                           features::switcherCardShadowOpacity(),  // 12
                                           features::switcherCardShadowOffset(),   // 13
                                           features::switcherCardShadowRadius(),   // 14
                                           features::gridSwitcherPageScale(),      // 15
                                           features::teachableMomentsText(),       // 17
                                       }};
  return constructor;
}

}  // namespace

std::span<const Constructor* const> loadSequence() {
  static const Constructor* const sequence[] = {
      &features::tabBariPad(),      // 1
      &features::bookmarksBar(),    // 2
      &features::safariSwitcher(),  // 3
      &features::lok(),             // 6
      &features::time(),            // 10
      &features::flash(),           // 11
      &features::camera(),          // 12
      &features::dot(),             // 13
      &features::cydiadark(),       // 16
      &features::cydia(),           // 17
      &features::sfare(),           // 18
      &features::vv3(),             // 37
      &features::dock(),            // 38
      &lastConstructor(),           // 43
  };
  return sequence;
}

}  // namespace vorla::core
