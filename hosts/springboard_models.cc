// SpringBoard's classes: the cover sheet, the home screen and dock, the home indicator, the
// status bar's state and the app switcher.
#include "hosts/host_apps.h"
#include "hosts/model.h"
#include "standin/foundation/values.h"
#include "standin/runtime/object.h"

namespace vorla::hosts {
namespace {

id hostString(const char* text) {
  id string = standin::newString(text);
  standin::makeImmortal(string);
  return string;
}

// Both versions' controllers offer a flashlight and a camera.
void registerQuickActions(const char* className) {
  Model(className, "UIViewController")
      .method<BOOL()>("hasFlashlight", 1LL)
      .method<BOOL()>("hasCamera", 1LL)
      .build();
}

}  // namespace

void registerSpringBoardModels(QuickActions quickActions) {
  if (quickActions != QuickActions::kCoverSheetOnly) {
    registerQuickActions("SBDashBoardQuickActionsViewController");
  }
  if (quickActions != QuickActions::kDashBoardOnly) {
    registerQuickActions("CSQuickActionsViewController");
  }
  Model("SpringBoard", "UIApplication").method<BOOL()>("lockScreenCameraSupported", 1LL).build();
  Model("SBMainDisplayPolicyAggregator", "NSObject")
      .method<BOOL(id*)>("_allowsCapabilityLockScreenCameraSupportedWithExplanation:", 1LL)
      .method<BOOL(id*)>("_allowsCapabilityLockScreenCameraWithExplanation:", 1LL)
      .build();
  Model("CSCoverSheetFlyInSettings", "NSObject")
      .method<void(standin::CGFloat)>("setIconsFlyInTension:")
      .build();
  Model("SBFLockScreenDateView", "UIView").method<void(double)>("setAlignmentPercent:").build();
  Model("CSTeachableMomentsContainerViewController", "UIViewController")
      .method<void(id)>("_updateText:")
      .build();

  Model("SBIconListPageControl", "UIView")
      .method<void(id, BOOL, standin::NSUInteger)>("_setIndicatorImage:toEnabled:index:")
      .build();
  Model("SBIconLabelImageParameters", "NSObject").build();
  Model("SBMutableIconLabelImageParameters", "SBIconLabelImageParameters")
      .method<void(id)>("setTextColor:")
      .build();
  Model("SBDockView", "UIView").method<void(double)>("setBackgroundAlpha:").build();
  Model("SBFloatingDockPlatterView", "UIView").method<void(id)>("setBackgroundView:").build();

  Model("MTLumaDodgePillSettings", "NSObject")
      .method<void(double)>("setHeight:")
      .method<void(double)>("setMinWidth:")
      .build();
  Model("SBStatusBarStateAggregator", "NSObject")
      .method<id(id)>("_displayStringForSIMStatus:", hostString("No SIM"))
      .build();
  Model("SBAppSwitcherSettings", "NSObject")
      .method<void(long long)>("setSwitcherStyle:")
      .method<void(double)>("setSwitcherCardShadowOpacity:")
      .method<void(double)>("setSwitcherCardShadowOffset:")
      .method<void(double)>("setSwitcherCardShadowRadius:")
      .method<void(double)>("setGridSwitcherPageScale:")
      .build();
}

}  // namespace vorla::hosts
