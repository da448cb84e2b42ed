// The home indicator's size, the SIM status the status bar's text is made from, and the app
// switcher's style, card shadow and grid page scale, each following its registered switch at
// every call. All are rows of the last constructor: no enable key.
#include "tweak/core/replacements.h"
#include "tweak/features/features.h"

namespace vorla::features {

using namespace core;

Hook homeIndicatorHeight() {
  return hook<"MTLumaDodgePillSettings",
              "setHeight:", SwitchedArgument<void(double), sliderSwitch, sliderKeya>>();
}

Hook homeIndicatorMinWidth() {
  return hook<"MTLumaDodgePillSettings",
              "setMinWidth:", SwitchedArgument<void(double), sliderSwitchs, sliderKeys>>();
}

// The host still makes the display string, from the status it is handed.
Hook simStatusString() {
  return hook<"SBStatusBarStateAggregator",
              "_displayStringForSIMStatus:", SwitchedArgument<id(id), EnableNoSIM, NoSIM>>();
}

// One switch governs the style and the whole card shadow.
Hook switcherStyle() {
  return hook<"SBAppSwitcherSettings",
              "setSwitcherStyle:", SwitchedConstant<void(long long), sliderSwitchww, 2>>();
}

Hook switcherCardShadowOpacity() {
  return hook<"SBAppSwitcherSettings", "setSwitcherCardShadowOpacity:",
              SwitchedArgument<void(double), sliderSwitchww, sliderKeyaww>>();
}

Hook switcherCardShadowOffset() {
  return hook<"SBAppSwitcherSettings", "setSwitcherCardShadowOffset:",
              SwitchedArgument<void(double), sliderSwitchww, sliderKeysww>>();
}

Hook switcherCardShadowRadius() {
  return hook<"SBAppSwitcherSettings", "setSwitcherCardShadowRadius:",
              SwitchedArgument<void(double), sliderSwitchww, sliderKeyrww>>();
}

Hook gridSwitcherPageScale() {
  return hook<"SBAppSwitcherSettings", "setGridSwitcherPageScale:",
              SwitchedArgument<void(double), sliderScale, sliderKeyScale>>();
}

}  // namespace vorla::features
