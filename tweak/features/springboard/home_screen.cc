// The home screen: page controls without indicator images, icon labels in the user's colour,
// and a dock without a background.
#include "tweak/core/replacements.h"
#include "tweak/features/features.h"
#include "tweak/features/setting_shapes.h"

namespace vorla::features {

using namespace core;

const Constructor& dot() {
  static const Constructor constructor{
      "Dot",
      "springboard",
      "home-screen page dots without indicator images",
      nullptr,
      {
          hook<"SBIconListPageControl",
               "_setIndicatorImage:toEnabled:index:", Nothing<void(id, BOOL, host::NSUInteger)>>(),
      }};
  return constructor;
}

const Constructor& vv3() {
  static const Constructor constructor{
      "vv3",
      "springboard",
      "home-screen icon labels in colour ORVIK3",
      nullptr,
      {
          hook<"SBMutableIconLabelImageParameters",
               "setTextColor:", ColourArgument<"ORVIK3", "#ff9f00">>(),
      }};
  return constructor;
}

const Constructor& dock() {
  static const Constructor constructor{
      "dock",
      "springboard",
      "a dock without background",
      nullptr,
      {
          hook<"SBDockView", "setBackgroundAlpha:", ForcedArgument<void(double), Real{0.0}>>(),
          hook<"SBFloatingDockPlatterView",
               "setBackgroundView:", ForcedArgument<void(id), nullptr>>(),
      }};
  return constructor;
}

}  // namespace vorla::features
