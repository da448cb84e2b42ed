// The battery indicator and the status bar, in every app: the percentage always shown, one
// size category, and the user's one colour for status-bar text, battery fill, foreground and
// Wi-Fi signal.
#include "tweak/core/replacements.h"
#include "tweak/features/features.h"
#include "tweak/features/setting_shapes.h"

namespace vorla::features {

using namespace core;

const Constructor& chargingrate() {
  static const Constructor constructor{
      "Chargingrate",
      kEveryApp,
      "the battery always shows its percentage",
      nullptr,
      {
          hook<"_UIBatteryView", "setShowsPercentage:", ForcedArgument<void(BOOL), YES>>(),
      }};
  return constructor;
}

const Constructor& batteryIcon() {
  static const Constructor constructor{
      "BatteryIcon",
      kEveryApp,
      "the battery icon keeps size category 2",
      nullptr,
      {
          hook<"_UIBatteryView", "internalSizeCategory", Answer<host::NSInteger(), 2>>(),
          hook<"_UIBatteryView",
               "setInternalSizeCategory:", ForcedArgument<void(host::NSInteger), 2>>(),
      }};
  return constructor;
}

const Constructor& bar1() {
  static const Constructor constructor{
      "bar1",
      kEveryApp,
      "status-bar text, battery fill, foreground and Wi-Fi in colour barxx",
      nullptr,
      {
          hook<"_UIStatusBarStyleAttributes", "textColor", ColourResult<"barxx", "#000000">>(),
          hook<"_UIBatteryView", "fillColor", ColourResult<"barxx", "#000000">>(),
          hook<"_UIStatusBar", "setForegroundColor:", ColourArgument<"barxx", "#000000">>(),
          hook<"_UIStatusBarWifiItem",
               "_fillColorForUpdate:", ColourResult<"barxx", "#000000", id(id)>>(),
          hook<"_UIStatusBarWifiSignalView",
               "setActiveColor:", ColourArgument<"barxx", "#000000">>(),
      }};
  return constructor;
}

}  // namespace vorla::features
