// Which hooks the library installs, app by app and for the whole library: each enable key alone,
// none, all together, readings of the key's value, and processes that lack some classes.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "hosts/host_apps.h"
#include "hosts/model.h"
#include "tests/integration/scenario.h"
#include "tests/support/child_process.h"
#include "tests/support/expected_load_sequence.h"

namespace vorla::testing {
namespace {

using plist::Dictionary;

// One kind of host process and its share of the load sequence.
struct AppGroup {
  const char* name;
  std::function<void()> classes;
  std::vector<HookRow> rows;
  // Keys that are not the group's, or not spelled as its keys are: they install only the last
  // constructor's rows.
  std::vector<const char*> foreignKeys;
};

std::function<void()> springBoard(hosts::QuickActions quickActions) {
  return [quickActions] {
    hosts::registerInterfaceModels();
    hosts::registerSpringBoardModels(quickActions);
  };
}

const std::vector<HookRow> kSpringBoardRows =
    expectedRows({"lok", "Time", "flash", "Camera", "Dot", "vv3", "dock"},
                 {"MTLumaDodgePillSettings", "SBStatusBarStateAggregator", "SBAppSwitcherSettings",
                  "CSTeachableMomentsContainerViewController"});

std::vector<HookRow> without(std::vector<HookRow> rows, std::string_view absentClass) {
  std::erase_if(rows, [&](const HookRow& row) { return row.className == absentClass; });
  return rows;
}

const std::vector<AppGroup>& groups() {
  static const std::vector<AppGroup> all = {
      {"SafariAndCydia",
       appsNamed({"safari", "cydia"}),
       expectedRows({"TabBariPad", "BookmarksBar", "SafariSwitcher", "sfare", "cydiadark", "cydia"},
                    {}),
       {"tabbaripad", "CYDIA"}},
      {"SpringBoard", springBoard(hosts::QuickActions::kBoth), kSpringBoardRows, {"TIME"}},
      {"SpringBoardWithOnlyDashBoardQuickActions",
       springBoard(hosts::QuickActions::kDashBoardOnly),
       without(kSpringBoardRows, "CSQuickActionsViewController"),
       {"TIME"}},
      {"SpringBoardWithOnlyCoverSheetQuickActions",
       springBoard(hosts::QuickActions::kCoverSheetOnly),
       without(kSpringBoardRows, "SBDashBoardQuickActionsViewController"),
       {"TIME"}},
      {"PhoneAndMessages",
       appsNamed({"phone", "messages"}),
       expectedRows({"Numberclor", "NumberPadButton", "call", "hedncall", "Hidenames"},
                    {"PhoneTabBarController", "CKConversationListController"}),
       {}},
      {"CameraAndPhotos",
       appsNamed({"camera", "photos"}),
       expectedRows({"Camera3", "Camera1"},
                    {"PUBrowsingVideoPlayer", "PUBrowsingViewModel",
                     "PUDeletePhotosActionController", "PUTabbedLibrarySettings",
                     "PXPhotoKitCollectionsDataSourceManager", "PUPhotoEditProtoSettings"}),
       {"Camera"}},
      {"SettingsAndSocialApps",
       appsNamed({"preferences", "messages", "feed", "social"}),
       expectedRows({"editWatchq", "editWatchr", "EnableUser"},
                    {"PSGAboutDataSource", "PSListController", "T1TFNUIConfiguration"}),
       {}},
      {"Appearance",
       [] {
         hosts::registerApp("preferences");
         hosts::registerLegibilitySecondaryColourSetter();
       },
       expectedRows({"Chargingrate", "BatteryIcon", "ribbon", "3DTouch", "UI", "iconcolor",
                     "keyboard1", "look", "Hidebar", "bar1", "colors7", "colors5", "colors4",
                     "colors3", "colors2", "colors1", "vv2", "vvm"},
                    {"UIKeyboardImpl"}),
       {}},
  };
  return all;
}

// A group with the keys on; no key stands for none, and "*" for all of the group's.
struct KeysCase {
  const AppGroup* group;
  std::set<std::string> on;
};

void PrintTo(const KeysCase& keys, std::ostream* out) {
  *out << keys.group->name << " with";
  for (const std::string& key : keys.on) *out << " " << key;
  if (keys.on.empty()) *out << " no key";
}

std::vector<KeysCase> keysCases() {
  std::vector<KeysCase> cases;
  for (const AppGroup& group : groups()) {
    std::set<std::string> all;
    for (const HookRow& row : group.rows) {
      if (row.enableKey) all.insert(row.enableKey);
    }
    cases.push_back({&group, {}});
    for (const std::string& key : all) cases.push_back({&group, {key}});
    for (const char* key : group.foreignKeys) cases.push_back({&group, {key}});
    cases.push_back({&group, all});
  }
  return cases;
}

std::string caseName(const ::testing::TestParamInfo<KeysCase>& info) {
  std::string name = info.param.group->name;
  name += info.param.on.empty() ? "_none" : info.param.on.size() > 1 ? "_all" : "";
  if (info.param.on.size() == 1) name += "_" + *info.param.on.begin();
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name + "_" + std::to_string(info.index);
}

class InstallationTest : public ::testing::TestWithParam<KeysCase> {};

TEST_P(InstallationTest, KeysInstallExactlyTheirOwnRowsBesideTheLastConstructors) {
  EXPECT_IN_CHILD([] {
    const KeysCase& keys = GetParam();
    Dictionary settings;
    for (const std::string& key : keys.on) settings.emplace_back(key, boolean(true));
    Scenario scenario(settings, keys.group->classes, keys.group->rows);
    EXPECT_EQ(scenario.installed(), rowsInstalledBy(keys.group->rows, keys.on));
  });
}

INSTANTIATE_TEST_SUITE_P(EveryApp, InstallationTest, ::testing::ValuesIn(keysCases()), caseName);

// An enable key's value, and whether it turns the key on as Foundation reads a boolean.
struct Reading {
  plist::Value value;
  bool on;
};

TEST(Installation, EnableKeysAreReadAsFoundationReadsABoolean) {
  const Reading readings[] = {
      {boolean(false), false},
      {integer(0), false},
      {text("NO"), false},
      {text("0"), false},
      {text(""), false},
      {plist::Value{plist::Array{boolean(true)}}, false},
      {plist::Value{Dictionary{{"on", boolean(true)}}}, false},
      {plist::Value{plist::Data{1}}, false},
      {plist::Value{plist::Date{1000}}, false},
      {text("YES"), true},
      {text("true"), true},
      {text("1"), true},
      {integer(2), true},
      {integer(-1), true},
      {real(0.5), true},
  };
  const AppGroup& safari = groups().front();
  for (const Reading& reading : readings) {
    EXPECT_IN_CHILD([&] {
      Scenario scenario({{"BookmarksBar", reading.value}}, safari.classes, safari.rows);
      EXPECT_EQ(scenario.installed(),
                rowsInstalledBy(safari.rows, reading.on ? std::set<std::string>{"BookmarksBar"}
                                                        : std::set<std::string>{}));
    });
  }
}

// A process that lacks some hooked classes or selectors, and the rows installed all the same.
struct PartialProcess {
  const char* name;
  Dictionary settings;
  std::function<void()> classes;
  std::vector<HookRow> rows;
  std::set<std::string> installed;
};

TEST(Installation, ClassesOrSelectorsMissingFromTheProcessSkipOnlyTheirRows) {
  const PartialProcess processes[] = {
      {"Safari without its tab bar style",
       {{"TabBariPad", boolean(true)}},
       [] {
         hosts::registerInterfaceModels();
         hosts::Model("Application", "UIApplication")
             .method<long long()>("_maximumTabCount", 5LL)
             .build();
         hosts::Model("BrowserController", "UIResponder")
             .method<BOOL()>("_shouldShowTabBar", 0LL)
             .method<BOOL()>("_shouldUseTabBar", 0LL)
             .build();
       },
       expectedRows({"TabBariPad"}, {}),
       {"Application _maximumTabCount", "BrowserController _shouldShowTabBar",
        "BrowserController _shouldUseTabBar"}},
      {"Safari without Cydia's classes",
       {{"cydiadark", boolean(true)}, {"cydia", boolean(true)}},
       appsNamed({"safari"}),
       expectedRows({"cydiadark", "cydia"}, {}),
       {"UITableConstants_IOS defaultBackgroundColorForTableViewStyle:",
        "UITableConstants_IOS defaultHeaderFooterBackgroundColorForView:inTableView:",
        "UITableViewCell _usesRoundedGroups", "UIApplication _applicationDidEnterBackground"}},
      {"a status bar without its wifi item",
       {{"bar1", boolean(true)}},
       [] {
         hosts::Model("_UIStatusBarStyleAttributes", "NSObject").method<id()>("textColor").build();
         hosts::Model("_UIBatteryView", "NSObject").method<id()>("fillColor").build();
         hosts::Model("_UIStatusBar", "NSObject").method<void(id)>("setForegroundColor:").build();
         hosts::Model("_UIStatusBarWifiSignalView", "NSObject")
             .method<void(id)>("setActiveColor:")
             .build();
       },
       expectedRows({"bar1"}, {}),
       {"_UIStatusBarStyleAttributes textColor", "_UIBatteryView fillColor",
        "_UIStatusBar setForegroundColor:", "_UIStatusBarWifiSignalView setActiveColor:"}},
      // The shared legibility settings have no `secondaryColor:`; this list controller no
      // `setTextColor:` anywhere in its chain.
      {"legibility settings and a list controller without the hooked selectors",
       {{"look", boolean(true)}, {"colors5", boolean(true)}},
       [] {
         hosts::registerInterfaceModels();
         hosts::Model("PSListController", "UIViewController").build();
       },
       expectedRows({"look", "colors5"}, {"UIKeyboardImpl"}),
       {"_UILegibilitySettings setPrimaryColor:", "UIKeyboardImpl layoutSubviews"}},
  };
  for (const PartialProcess& process : processes) {
    EXPECT_IN_CHILD([&] {
      Scenario scenario(process.settings, process.classes, process.rows);
      EXPECT_EQ(scenario.installed(), process.installed) << process.name;
    });
  }
}

std::vector<HookRow> wholeSequence() {
  std::vector<HookRow> rows;
  for (const ExpectedConstructor& constructor : expectedLoadSequence()) {
    for (const ExpectedHook& hook : constructor.hooks) {
      rows.push_back({constructor.enableKey, hook.className, hook.selector, hook.classMethod});
    }
  }
  return rows;
}

// How many hooks of each constructor the load installed.
std::map<int, int> installedPerConstructor(const Dictionary& settings) {
  const std::vector<HookRow> rows = wholeSequence();
  Scenario scenario(settings, registerEveryHookedClass, rows);
  std::map<int, int> installed;
  for (const ExpectedConstructor& constructor : expectedLoadSequence()) {
    for (const ExpectedHook& hook : constructor.hooks) {
      Class cls = objc_getClass(hook.className);
      SEL selector = sel_registerName(hook.selector);
      EXPECT_TRUE(cls != Nil && (hook.classMethod ? class_getClassMethod(cls, selector)
                                                  : class_getInstanceMethod(cls, selector)))
          << "no model for " << hook.className << " " << hook.selector;
      if (scenario.installed().contains(
              nameOf({nullptr, hook.className, hook.selector, hook.classMethod}))) {
        ++installed[constructor.number];
      }
    }
  }
  return installed;
}

TEST(WholeLibrary, WithNoEnableKeyOnlyTheLastConstructorsThirtyHooksAreInstalled) {
  EXPECT_IN_CHILD([] { EXPECT_EQ(installedPerConstructor({}), (std::map<int, int>{{43, 30}})); });
}

TEST(WholeLibrary, WithEveryEnableKeyOnAllHooksAreInstalled) {
  EXPECT_IN_CHILD([] {
    Dictionary settings;
    std::map<int, int> expected;
    for (const ExpectedConstructor& constructor : expectedLoadSequence()) {
      if (constructor.enableKey) settings.emplace_back(constructor.enableKey, boolean(true));
      expected[constructor.number] = static_cast<int>(constructor.hooks.size());
    }
    auto installed = installedPerConstructor(settings);
    EXPECT_EQ(installed, expected);
    int total = 0;
    for (auto [number, count] : installed) total += count;
    EXPECT_EQ(total, 107);
  });
}

}  // namespace
}  // namespace vorla::testing
