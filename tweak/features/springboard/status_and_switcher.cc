// The home indicator's size, the SIM status the status bar's text is made from, and the app
// switcher's style, card shadow and grid page scale, each following its registered switch at
// every call. All are rows of the last constructor: no enable key.
#include "tweak/features/features.h"
#include "tweak/features/setting_shapes.h"

namespace vorla::features {

using namespace core;

Hook homeIndicatorHeight() {
  return hook<"MTLumaDodgePillSettings",
              "setHeight:", SettingArgument<void(double), sliderSwitch, sliderKeya>>();
}

Hook homeIndicatorMinWidth() {
  return hook<"MTLumaDodgePillSettings",
              "setMinWidth:", SettingArgument<void(double), sliderSwitchs, sliderKeys>>();
}

// The host still makes the display string, from the status it is handed.
Hook simStatusString() {
  return hook<"SBStatusBarStateAggregator",
              "_displayStringForSIMStatus:", SettingArgument<id(id), EnableNoSIM, NoSIM>>();
}

// One switch governs the style and the whole card shadow.
Hook switcherStyle() {
  return hook<"SBAppSwitcherSettings",
              "setSwitcherStyle:", SwitchedArgument<void(long long), sliderSwitchww, 2>>();
}

Hook switcherCardShadowOpacity() {
  return hook<"SBAppSwitcherSettings", "setSwitcherCardShadowOpacity:",
              SettingArgument<void(double), sliderSwitchww, sliderKeyaww>>();
}

Hook switcherCardShadowOffset() {
  return hook<"SBAppSwitcherSettings", "setSwitcherCardShadowOffset:",
              SettingArgument<void(double), sliderSwitchww, sliderKeysww>>();
}

Hook switcherCardShadowRadius() {
  return hook<"SBAppSwitcherSettings", "setSwitcherCardShadowRadius:",
              SettingArgument<void(double), sliderSwitchww, sliderKeyrww>>();
}

Hook gridSwitcherPageScale() {
  return hook<"SBAppSwitcherSettings", "setGridSwitcherPageScale:",
              SettingArgument<void(double), sliderScale, sliderKeyScale>>();
}

}  // namespace vorla::features
