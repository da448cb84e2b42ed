// Safari and Cydia hooks, loaded into host processes as the device's loader would.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "device/foundation/values.h"
#include "device/runtime/message.h"
#include "device/runtime/object.h"
#include "hosts/host_apps.h"
#include "hosts/model.h"
#include "tests/integration/scenario.h"
#include "tests/support/child_process.h"
#include "tests/support/leak_check.h"

namespace vorla::testing {
namespace {

using device::send;
using hosts::callCount;
using hosts::newInstance;
using plist::Dictionary;

// Loads the library into a process with Safari's and Cydia's classes.
Scenario safariAndCydia(const Dictionary& settings) {
  return Scenario(settings, appsNamed({"safari", "cydia"}));
}

TEST(Safari, TabBarAnswersAloneWhateverTheHostWouldSay) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = safariAndCydia({{"TabBariPad", boolean(true)}});
    id style = newInstance("TabBarStyle");
    id first = send<id>(style, "itemTitleColor");
    id second = send<id>(style, "itemTitleColor");
    EXPECT_NE(first, second) << "a new colour at every call";
    auto title = device::colourOf(first);
    ASSERT_TRUE(title);
    EXPECT_EQ(title->red, 0.015686);
    EXPECT_EQ(title->green, 0.003921);
    EXPECT_EQ(title->blue, 0.0);
    EXPECT_EQ(title->alpha, 1.0);
    EXPECT_EQ(device::colourOf(second)->red, 0.015686);
    auto background = device::colourOf(send<id>(style, "backgroundColor"));
    ASSERT_TRUE(background);
    EXPECT_EQ(background->red, 0.858823);
    EXPECT_EQ(background->green, 0.043137);
    EXPECT_EQ(background->blue, 0.098039);
    EXPECT_NE(background->red, 219.0 / 255) << "the decimal, not the fraction it is close to";

    hosts::setAnswer("Application", "_maximumTabCount", 3LL);
    id application = newInstance("Application");
    EXPECT_EQ(send<long long>(application, "_maximumTabCount"), 9);
    EXPECT_EQ(send<long long>(application, "_maximumTabCount"), 9);
    id browser = newInstance("BrowserController");
    EXPECT_EQ(send<BOOL>(browser, "_shouldShowTabBar"), YES);
    EXPECT_EQ(send<BOOL>(browser, "_shouldUseTabBar"), YES);
    for (const char* selector : {"itemTitleColor", "backgroundColor"}) {
      EXPECT_EQ(callCount(style, selector), 0) << selector;
    }
    EXPECT_EQ(callCount(application, "_maximumTabCount"), 0);
    EXPECT_EQ(callCount(browser, "_shouldShowTabBar"), 0);

    // The other keys are off: the host answers for itself.
    EXPECT_EQ(send<BOOL>(browser, "_shouldShowBookmarksBar"), NO);
    EXPECT_EQ(send<BOOL>(browser, "_shouldUseTabOverview"), NO);
    EXPECT_EQ(send<long long>(newInstance("TabOverview"), "_tabsPerRow"), 2);
  });
}

TEST(Safari, TabOverviewAndBookmarksBar) {
  EXPECT_IN_CHILD([] {
    Scenario scenario =
        safariAndCydia({{"SafariSwitcher", boolean(true)}, {"BookmarksBar", boolean(true)}});
    hosts::setAnswer("TabOverview", "_tabsPerRow", 7LL);
    id overview = newInstance("TabOverview");
    EXPECT_EQ(send<long long>(overview, "_tabsPerRow"), 3);
    EXPECT_EQ(callCount(overview, "_tabsPerRow"), 0);
    id browser = newInstance("BrowserController");
    EXPECT_EQ(send<BOOL>(browser, "_shouldUseTabOverview"), YES);
    EXPECT_EQ(send<BOOL>(browser, "_shouldShowBookmarksBar"), YES);
    EXPECT_EQ(send<BOOL>(browser, "_shouldShowTabBar"), NO) << "TabBariPad is off";
  });
}

TEST(Safari, WebContentIsNeverToldItLeftTheForeground) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = safariAndCydia({{"sfare", boolean(true)}});
    id view = newInstance("WKContentView");
    send(view, "_applicationWillResignActive:", static_cast<id>(nil));
    send(view, "_applicationWillResignActive:", view);
    send(view, "_applicationDidEnterBackground");
    EXPECT_EQ(callCount(view, "_applicationWillResignActive:"), 0);
    EXPECT_EQ(callCount(view, "_applicationDidEnterBackground"), 0);
  });
}

TEST(Safari, ManyHookedCallsLeaveNoObjectBehind) {
  EXPECT_IN_CHILD([] {
    Scenario scenario =
        safariAndCydia({{"TabBariPad", boolean(true)}, {"cydiadark", boolean(true)}});
    id style = newInstance("TabBarStyle");
    id constants = newInstance("UITableConstants_IOS");
    expectNothingLeftBehind(
        [&] {
          send<id>(style, "itemTitleColor");
          send<id>(style, "backgroundColor");
          send<id>(constants, "defaultBackgroundColorForTableViewStyle:", 1LL);
        },
        10000);
  });
}

TEST(Cydia, TableColoursAreNullAndCellsUseRoundedGroups) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = safariAndCydia({{"cydiadark", boolean(true)}});
    id constants = newInstance("UITableConstants_IOS");
    for (long long style : {0LL, 1LL, 2LL, -1LL, LLONG_MAX}) {
      EXPECT_EQ(send<id>(constants, "defaultBackgroundColorForTableViewStyle:", style), nil);
    }
    id view = newInstance("UIView");
    EXPECT_EQ(send<id>(constants, "defaultHeaderFooterBackgroundColorForView:inTableView:",
                       static_cast<id>(nil), static_cast<id>(nil)),
              nil);
    EXPECT_EQ(
        send<id>(constants, "defaultHeaderFooterBackgroundColorForView:inTableView:", view, view),
        nil);
    EXPECT_EQ(send<id>(newInstance("CyteViewController"), "pageColor"), nil);
    EXPECT_EQ(send<BOOL>(newInstance("UITableViewCell"), "_usesRoundedGroups"), YES);
    EXPECT_EQ(callCount(constants, "defaultBackgroundColorForTableViewStyle:"), 0);
  });
}

TEST(Cydia, BackgroundHandlingIsSkippedAlsoInSubclassesOfTheApplication) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = safariAndCydia({{"cydia", boolean(true)}});
    id cydia = newInstance("Cydia");
    send(cydia, "applicationDidEnterBackground:", cydia);
    send(cydia, "applicationWillResignActive:", static_cast<id>(nil));
    send(cydia, "_applicationDidEnterBackground");
    id safari = newInstance("Application");
    send(safari, "_applicationDidEnterBackground");
    EXPECT_EQ(callCount(cydia, "applicationDidEnterBackground:"), 0);
    EXPECT_EQ(callCount(cydia, "applicationWillResignActive:"), 0);
    EXPECT_EQ(callCount(cydia, "_applicationDidEnterBackground"), 0);
    EXPECT_EQ(callCount(safari, "_applicationDidEnterBackground"), 0);
  });
}

}  // namespace
}  // namespace vorla::testing
