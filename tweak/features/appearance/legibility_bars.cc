// Visual-effect backgrounds and context-menu icons, legibility colours, unselected tab-bar items,
// bar backgrounds and switches, in every app.
#include "tweak/core/replacements.h"
#include "tweak/features/features.h"
#include "tweak/features/setting_shapes.h"

namespace vorla::features {

using namespace core;

const Constructor& threeDTouch() {
  static const Constructor constructor{
      "3DTouch",
      kEveryApp,
      "visual-effect backgrounds and context-menu icons in colours 3DTouch1a and 3DTouch2a",
      nullptr,
      {
          hook<"_UIVisualEffectContentView",
               "setBackgroundColor:", ColourArgument<"3DTouch1a", "#ffdb00">>(),
          hook<"_UIContextMenuActionView", "_imageTintColor",
               ColourResult<"3DTouch2a", "#0042ff">>(),
      }};
  return constructor;
}

const Constructor& ui() {
  static const Constructor constructor{
      "UI",
      kEveryApp,
      "legibility views use their secondary colour",
      nullptr,
      {
          hook<"_UILegibilityView", "usesSecondaryColor", Answer<BOOL(), YES>>(),
      }};
  return constructor;
}

const Constructor& iconcolor() {
  static const Constructor constructor{
      "iconcolor",
      kEveryApp,
      "unselected tab-bar items in colour iconcolor1a",
      nullptr,
      {
          hook<"UITabBar", "unselectedItemTintColor", ColourResult<"iconcolor1a", "#8a0000">>(),
      }};
  return constructor;
}

// Not every interface framework answers `secondaryColor:`; where it does not, the row is skipped
// and `setPrimaryColor:` is hooked all the same.
const Constructor& look() {
  static const Constructor constructor{
      "look",
      kEveryApp,
      "legibility colours given as colour look1a",
      nullptr,
      {
          hook<"_UILegibilitySettings", "secondaryColor:", ColourArgument<"look1a", "#ff0000">>(),
          hook<"_UILegibilitySettings", "setPrimaryColor:", ColourArgument<"look1a", "#ff0000">>(),
      }};
  return constructor;
}

// With no effect configured, the bars this layout draws have no background.
const Constructor& hidebar() {
  static const Constructor constructor{
      "Hidebar",
      kEveryApp,
      "bars drawn without a background effect",
      nullptr,
      {
          hook<"_UIBarBackgroundLayoutLegacy",
               "configureEffectForStyle:backgroundTintColor:forceOpaque:",
               Nothing<void(host::NSInteger, id, BOOL)>>(),
      }};
  return constructor;
}

const Constructor& vv2() {
  static const Constructor constructor{"vv2",
                                       kEveryApp,
                                       "legibility secondary colour ORVIK2",
                                       nullptr,
                                       {
                                           hook<"_UILegibilitySettings", "setSecondaryColor:",
                                                ColourArgument<"ORVIK2", "#ff9f00">>(),
                                       }};
  return constructor;
}

const Constructor& vvm() {
  static const Constructor constructor{
      "vvm",
      kEveryApp,
      "switches in colours YourCustomColour1m (off) and YourCustomColour2m (on)",
      nullptr,
      {
          hook<"UISwitchModernVisualElement", "_effectiveTintColor",
               ColourResult<"YourCustomColour1m", "#ff0000">>(),
          hook<"UISwitchModernVisualElement", "_effectiveOnTintColor",
               ColourResult<"YourCustomColour2m", "#00ff0e">>(),
      }};
  return constructor;
}

}  // namespace vorla::features
