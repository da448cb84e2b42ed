// Which rows of the system-appearance constructors each enable key installs, in processes that
// have every hooked class and in processes that lack some.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "device/foundation/values.h"
#include "device/runtime/message.h"
#include "hosts/host_apps.h"
#include "hosts/model.h"
#include "tests/integration/appearance_host.h"
#include "tests/integration/host_process.h"
#include "tests/support/child_process.h"

namespace vorla::testing {
namespace {

using device::describe;
using device::send;
using hosts::newInstance;
using plist::Dictionary;

// Every gated row, then the keyboard's row of the last constructor, which has no key.
const std::initializer_list<Row> kRows = {
    {"Chargingrate", "_UIBatteryView", "setShowsPercentage:"},
    {"BatteryIcon", "_UIBatteryView", "internalSizeCategory"},
    {"BatteryIcon", "_UIBatteryView", "setInternalSizeCategory:"},
    {"ribbon", "UIPredictionViewController", "isVisibleForInputDelegate:inputViews:"},
    {"3DTouch", "_UIVisualEffectContentView", "setBackgroundColor:"},
    {"3DTouch", "_UIContextMenuActionView", "_imageTintColor"},
    {"UI", "_UILegibilityView", "usesSecondaryColor"},
    {"iconcolor", "UITabBar", "unselectedItemTintColor"},
    {"keyboard1", "UITextInputTraits", "keyboardAppearance"},
    {"look", "_UILegibilitySettings", "secondaryColor:"},
    {"look", "_UILegibilitySettings", "setPrimaryColor:"},
    {"Hidebar", "_UIBarBackgroundLayoutLegacy",
     "configureEffectForStyle:backgroundTintColor:forceOpaque:"},
    {"bar1", "_UIStatusBarStyleAttributes", "textColor"},
    {"bar1", "_UIBatteryView", "fillColor"},
    {"bar1", "_UIStatusBar", "setForegroundColor:"},
    {"bar1", "_UIStatusBarWifiItem", "_fillColorForUpdate:"},
    {"bar1", "_UIStatusBarWifiSignalView", "setActiveColor:"},
    {"colors7", "UILabel", "setTextColor:"},
    {"colors5", "PSListController", "setTextColor:"},
    {"colors4", "UITableViewCell", "setSeparatorColor:"},
    {"colors3", "UITableView", "setBackgroundColor:"},
    {"colors3", "UITableViewCell", "setBackgroundColor:"},
    {"colors2", "UISearchBarTextFieldLabel", "setTextColor:"},
    {"colors1", "UISearchBarTextField", "setBackgroundColor:"},
    {"vv2", "_UILegibilitySettings", "setSecondaryColor:"},
    {"vvm", "UISwitchModernVisualElement", "_effectiveTintColor"},
    {"vvm", "UISwitchModernVisualElement", "_effectiveOnTintColor"},
    {nullptr, "UIKeyboardImpl", "layoutSubviews"},
};

// The implementation the class defines itself for the selector: hooks on an inherited method add
// one, while hooks on an ancestor leave the class without its own.
IMP ownImplementation(const char* className, const char* selector) {
  Class cls = objc_getClass(className);
  if (cls == Nil) return nullptr;
  unsigned int count = 0;
  Method* methods = class_copyMethodList(cls, &count);
  IMP own = nullptr;
  for (unsigned int i = 0; i < count; ++i) {
    if (sel_isEqual(method_getName(methods[i]), sel_registerName(selector))) {
      own = method_getImplementation(methods[i]);
    }
  }
  std::free(methods);
  return own;
}

// Loads the library with `settings` into a process whose classes `registerModels` defines, and
// returns the rows whose class now has another implementation of its own than before.
std::set<std::string> installedRows(const Dictionary& settings,
                                    void (*registerModels)() = registerEveryHookedClass) {
  DeviceRoot root;
  root.writeSettings(settings);
  registerModels();
  std::map<const Row*, IMP> before;
  for (const Row& row : kRows) before[&row] = ownImplementation(row.className, row.selector);
  loadLibrary();
  std::set<std::string> installed;
  for (const Row& row : kRows) {
    if (ownImplementation(row.className, row.selector) != before[&row]) {
      installed.insert(std::string(row.className) + " " + row.selector);
    }
  }
  return installed;
}

// The rows of `keys`, and those of the last constructor, which are always installed.
std::set<std::string> rowsOf(std::set<std::string> keys) {
  std::set<std::string> rows;
  for (const Row& row : kRows) {
    if (row.enableKey == nullptr || keys.contains(row.enableKey)) {
      rows.insert(std::string(row.className) + " " + row.selector);
    }
  }
  return rows;
}

const char* const kKeys[] = {"Chargingrate", "BatteryIcon", "ribbon",  "3DTouch", "UI",
                             "iconcolor",    "keyboard1",   "look",    "Hidebar", "bar1",
                             "colors7",      "colors5",     "colors4", "colors3", "colors2",
                             "colors1",      "vv2",         "vvm"};

class AppearanceKeyTest : public ::testing::TestWithParam<const char*> {};

TEST_P(AppearanceKeyTest, EachKeyInstallsExactlyItsOwnRows) {
  const char* key = GetParam();
  EXPECT_IN_CHILD([key] { EXPECT_EQ(installedRows({{key, boolean(true)}}), rowsOf({key})); });
}

INSTANTIATE_TEST_SUITE_P(Appearance, AppearanceKeyTest, ::testing::ValuesIn(kKeys),
                         [](const auto& info) { return "key_" + std::string(info.param); });

TEST(AppearanceKeys, NoneOnLeavesOnlyTheKeyboardBackgroundAllOnInstallEveryRow) {
  EXPECT_IN_CHILD([] { EXPECT_EQ(installedRows({}), rowsOf({})); });
  EXPECT_IN_CHILD([] {
    Dictionary all;
    std::set<std::string> keys;
    for (const char* key : kKeys) {
      all.emplace_back(key, boolean(true));
      keys.insert(key);
    }
    EXPECT_EQ(installedRows(all), rowsOf(keys));
    EXPECT_EQ(rowsOf(keys).size(), kRows.size());
  });
}

TEST(AppearanceKeys, ClassesOrSelectorsMissingFromTheProcessSkipOnlyTheirRows) {
  EXPECT_IN_CHILD([] {
    auto statusBarWithoutWifiItem = [] {
      hosts::Model("_UIStatusBarStyleAttributes", "NSObject").method<id()>("textColor").build();
      hosts::Model("_UIBatteryView", "NSObject").method<id()>("fillColor").build();
      hosts::Model("_UIStatusBar", "NSObject").method<void(id)>("setForegroundColor:").build();
      hosts::Model("_UIStatusBarWifiSignalView", "NSObject")
          .method<void(id)>("setActiveColor:")
          .build();
    };
    EXPECT_EQ(installedRows({{"bar1", boolean(true)}}, statusBarWithoutWifiItem),
              (std::set<std::string>{"_UIStatusBarStyleAttributes textColor",
                                     "_UIBatteryView fillColor", "_UIStatusBar setForegroundColor:",
                                     "_UIStatusBarWifiSignalView setActiveColor:"}));
    EXPECT_EQ(describe(send<id>(newInstance("_UIStatusBarStyleAttributes"), "textColor")),
              "#000000");
  });
  EXPECT_IN_CHILD([] {
    // The shared legibility settings have no `secondaryColor:`; this list controller no
    // `setTextColor:` anywhere in its chain.
    auto withoutTheSelectors = [] {
      hosts::registerInterfaceModels();
      hosts::Model("PSListController", "UIViewController").build();
    };
    std::set<std::string> expected = rowsOf({});
    expected.insert("_UILegibilitySettings setPrimaryColor:");
    EXPECT_EQ(
        installedRows({{"look", boolean(true)}, {"colors5", boolean(true)}}, withoutTheSelectors),
        expected);
    EXPECT_FALSE(send<BOOL>(newInstance("PSListController"),
                            "respondsToSelector:", sel_registerName("setTextColor:")));
  });
}

}  // namespace
}  // namespace vorla::testing
