// Safari's tab bar, bookmarks bar and tab overview, and web content views that are never told
// their app left the foreground. Every replacement answers alone.
#include "tweak/core/replacements.h"
#include "tweak/features/features.h"

namespace vorla::features {

using namespace core;

// The tab bar's colours: the nearest colour components to these decimals, not n/255. (Each
// double here rounds to the same single-precision component as its decimal does.)
using TabBarItemTitleColour = FixedColour<0.015686, 0.003921, 0.0, 1.0>;
using TabBarBackgroundColour = FixedColour<0.858823, 0.043137, 0.098039, 1.0>;

const Constructor& tabBariPad() {
  static const Constructor constructor{
      "TabBariPad",
      "safari",
      "Safari shows the iPad tab bar in its own colours, with at most 9 tabs",
      nullptr,
      {
          hook<"TabBarStyle", "itemTitleColor", TabBarItemTitleColour>(),
          hook<"TabBarStyle", "backgroundColor", TabBarBackgroundColour>(),
          hook<"Application", "_maximumTabCount", Answer<long long(), 9>>(),
          hook<"BrowserController", "_shouldShowTabBar", Answer<BOOL(), YES>>(),
          hook<"BrowserController", "_shouldUseTabBar", Answer<BOOL(), YES>>(),
      }};
  return constructor;
}

const Constructor& bookmarksBar() {
  static const Constructor constructor{
      "BookmarksBar",
      "safari",
      "Safari always shows the bookmarks bar",
      nullptr,
      {
          hook<"BrowserController", "_shouldShowBookmarksBar", Answer<BOOL(), YES>>(),
      }};
  return constructor;
}

const Constructor& safariSwitcher() {
  static const Constructor constructor{
      "SafariSwitcher",
      "safari",
      "Safari uses the tab overview, 3 tabs per row",
      nullptr,
      {
          hook<"TabOverview", "_tabsPerRow", Answer<long long(), 3>>(),
          hook<"BrowserController", "_shouldUseTabOverview", Answer<BOOL(), YES>>(),
      }};
  return constructor;
}

const Constructor& sfare() {
  static const Constructor constructor{
      "sfare",
      "safari",
      "web content is never told its app left the foreground",
      nullptr,
      {
          hook<"WKContentView", "_applicationWillResignActive:", Nothing<void(id)>>(),
          hook<"WKContentView", "_applicationDidEnterBackground", Nothing<void()>>(),
      }};
  return constructor;
}

}  // namespace vorla::features
