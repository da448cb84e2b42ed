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
                                           features::aboutVersion(),                    // 1
                                           features::aboutModelName(),                  // 2
                                           features::phoneTabs(),                       // 3
                                           features::conversationListTitle(),           // 7
                                           features::conversationCellHeight(),          // 8
                                           features::listTitle(),                       // 9
                                           features::nestedActionButton(),              // 16
                                           features::videoPlayerSetMuted(),             // 18
                                           features::videoPlayerIsMuted(),              // 19
                                           features::viewModelAutoplayVideoMuted(),     // 20
                                           features::viewModelSetAutoplayVideoMuted(),  // 21
                                           features::viewModelIsAutoplayVideoMuted(),   // 22
                                           features::skipDeleteConfirmation(),          // 23
                                           features::searchTab(),                       // 24
                                           features::forYouTab(),                       // 25
                                           features::underscoredContainsAnyAssets(),    // 26
                                           features::containsAnyAssets(),               // 27
                                           features::perfDebugHUD(),                    // 28
                                           features::reframeDebugHUD(),                 // 29
                                           features::perspectiveViewDebugCrop(),        // 30
                                       }};
  return constructor;
}

}  // namespace

std::span<const Constructor* const> loadSequence() {
  static const Constructor* const sequence[] = {
      &features::tabBariPad(),       // 1
      &features::bookmarksBar(),     // 2
      &features::safariSwitcher(),   // 3
      &features::cydiadark(),        // 16
      &features::cydia(),            // 17
      &features::sfare(),            // 18
      &features::numberclor(),       // 20
      &features::numberPadButton(),  // 21
      &features::call(),             // 22
      &features::hedncall(),         // 23
      &features::hidenames(),        // 24
      &features::camera3(),          // 34
      &features::camera1(),          // 35
      &features::editWatchq(),       // 40
      &features::editWatchr(),       // 41
      &features::enableUser(),       // 42
      &lastConstructor(),            // 43
  };
  return sequence;
}

}  // namespace vorla::core
