// Safari's classes, and the web content view Safari shares with every app that shows web pages.
#include "hosts/host_apps.h"
#include "hosts/model.h"

namespace vorla::hosts {

void registerSafariModels() {
  Model("TabBarStyle", "NSObject")
      .method<id()>("itemTitleColor", hostColour(0, 0, 0))
      .method<id()>("backgroundColor", hostColour(0.97, 0.97, 0.97))
      .build();
  Model("Application", "UIApplication").method<long long()>("_maximumTabCount", 500LL).build();
  Model("BrowserController", "UIResponder")
      .method<BOOL()>("_shouldShowTabBar", 0LL)
      .method<BOOL()>("_shouldUseTabBar", 0LL)
      .method<BOOL()>("_shouldShowBookmarksBar", 0LL)
      .method<BOOL()>("_shouldUseTabOverview", 0LL)
      .build();
  Model("TabOverview", "UIView").method<long long()>("_tabsPerRow", 2LL).build();
  Model("WKContentView", "UIView")
      .method<void(id)>("_applicationWillResignActive:")
      .method<void()>("_applicationDidEnterBackground")
      .build();
}

}  // namespace vorla::hosts
