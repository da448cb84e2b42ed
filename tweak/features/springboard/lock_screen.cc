// The cover sheet: icons that fly in without tension, the date aligned to one side, neither
// flashlight nor camera among the quick actions or on the lock screen, and the user's own
// teachable-moments text.
#include "tweak/core/replacements.h"
#include "tweak/features/features.h"
#include "tweak/features/setting_shapes.h"

namespace vorla::features {

using namespace core;

const Constructor& lok() {
  static const Constructor constructor{
      "lok",
      "springboard",
      "lock-screen icons fly in without tension",
      nullptr,
      {
          hook<"CSCoverSheetFlyInSettings",
               "setIconsFlyInTension:", ForcedArgument<void(host::CGFloat), Real{0.0}>>(),
      }};
  return constructor;
}

const Constructor& time() {
  static const Constructor constructor{"Time",
                                       "springboard",
                                       "the lock-screen date aligned to one side",
                                       nullptr,
                                       {
                                           hook<"SBFLockScreenDateView", "setAlignmentPercent:",
                                                ForcedArgument<void(double), Real{1.0}>>(),
                                       }};
  return constructor;
}

// The quick-actions controller bears one name or the other depending on the system's version:
// both are hooked, and the one this SpringBoard lacks is skipped.
const Constructor& flash() {
  static const Constructor constructor{
      "flash",
      "springboard",
      "no flashlight among the lock screen's quick actions",
      nullptr,
      {
          hook<"SBDashBoardQuickActionsViewController", "hasFlashlight", Answer<BOOL(), NO>>(),
          hook<"CSQuickActionsViewController", "hasFlashlight", Answer<BOOL(), NO>>(),
      }};
  return constructor;
}

// The explanation of a capability query is an out-argument of the host's: left as the caller
// passed it.
const Constructor& camera() {
  static const Constructor constructor{
      "Camera",
      "springboard",
      "no camera among the quick actions or on the lock screen",
      nullptr,
      {
          hook<"SBDashBoardQuickActionsViewController", "hasCamera", Answer<BOOL(), NO>>(),
          hook<"CSQuickActionsViewController", "hasCamera", Answer<BOOL(), NO>>(),
          hook<"SpringBoard", "lockScreenCameraSupported", Answer<BOOL(), NO>>(),
          hook<"SBMainDisplayPolicyAggregator",
               "_allowsCapabilityLockScreenCameraSupportedWithExplanation:",
               Answer<BOOL(id*), NO>>(),
          hook<"SBMainDisplayPolicyAggregator",
               "_allowsCapabilityLockScreenCameraWithExplanation:", Answer<BOOL(id*), NO>>(),
      }};
  return constructor;
}

}  // namespace vorla::features
