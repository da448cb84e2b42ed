// The interface framework's status bar, labels, tables, search fields, legibility, context
// menus, tab bars, bars, switches and keyboard, as every app has them.
#include "hosts/host_apps.h"
#include "hosts/model.h"

namespace vorla::hosts {
namespace {

void registerStatusBarModels() {
  Model("_UIBatteryView", "UIView")
      .method<void(BOOL)>("setShowsPercentage:")
      .method<standin::NSInteger()>("internalSizeCategory", 0LL)
      .method<void(standin::NSInteger)>("setInternalSizeCategory:")
      .method<id()>("fillColor", hostColour(1, 1, 1))
      .build();
  Model("_UIStatusBarStyleAttributes", "NSObject")
      .method<id()>("textColor", hostColour(1, 1, 1))
      .build();
  Model("_UIStatusBar", "UIView").method<void(id)>("setForegroundColor:").build();
  Model("_UIStatusBarItem", "NSObject").build();
  Model("_UIStatusBarWifiItem", "_UIStatusBarItem")
      .method<id(id)>("_fillColorForUpdate:", hostColour(1, 1, 1))
      .build();
  // The Wi-Fi and cellular signal views share their colour setter.
  Model("_UIStatusBarSignalView", "UIView").method<void(id)>("setActiveColor:").build();
  Model("_UIStatusBarWifiSignalView", "_UIStatusBarSignalView").build();
  Model("_UIStatusBarCellularSignalView", "_UIStatusBarSignalView").build();
}

void registerTextAndTableModels() {
  Model("UILabel", "UIView").method<void(id)>("setTextColor:").build();
  Model("UISearchBarTextFieldLabel", "UILabel").build();
  Model("UIControl", "UIView").build();
  Model("UITextField", "UIControl").build();
  Model("UISearchBarTextField", "UITextField").build();
  Model("UIScrollView", "UIView").build();
  Model("UITableView", "UIScrollView").build();
}

void registerEffectAndBarModels() {
  Model("_UIVisualEffectContentView", "UIView").build();
  Model("_UIContextMenuActionView", "UIView")
      .method<id()>("_imageTintColor", hostColour(0, 0, 0))
      .build();
  Model("_UILegibilityView", "UIView").method<BOOL()>("usesSecondaryColor", 0LL).build();
  Model("_UILegibilitySettings", "NSObject")
      .method<void(id)>("setPrimaryColor:")
      .method<void(id)>("setSecondaryColor:")
      .build();
  Model("UITabBar", "UIView").method<id()>("unselectedItemTintColor", nil).build();
  Model("_UIBarBackgroundLayout", "NSObject").build();
  Model("_UIBarBackgroundLayoutLegacy", "_UIBarBackgroundLayout")
      .method<void(standin::NSInteger, id, BOOL)>(
          "configureEffectForStyle:backgroundTintColor:forceOpaque:")
      .build();
  Model("UISwitchVisualElement", "UIView").build();
  Model("UISwitchModernVisualElement", "UISwitchVisualElement")
      .method<id()>("_effectiveTintColor", hostColour(0.898, 0.898, 0.918))
      .method<id()>("_effectiveOnTintColor", hostColour(0.204, 0.78, 0.349))
      .build();
}

void registerKeyboardModels() {
  Model("UIPredictionViewController", "UIViewController")
      .method<BOOL(id, id)>("isVisibleForInputDelegate:inputViews:", 0LL)
      .build();
  Model("UITextInputTraits", "NSObject")
      .method<standin::NSInteger()>("keyboardAppearance", 0LL)
      .build();
  // Its background colour is UIView's.
  Model("UIKeyboardImpl", "UIView").method<void()>("layoutSubviews").build();
}

}  // namespace

void registerAppearanceModels() {
  registerStatusBarModels();
  registerTextAndTableModels();
  registerEffectAndBarModels();
  registerKeyboardModels();
}

void registerLegibilitySecondaryColourSetter() {
  Model("_UILegibilitySettings", "NSObject").method<void(id)>("secondaryColor:").build();
}

}  // namespace vorla::hosts
