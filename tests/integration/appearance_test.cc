// The system appearance: the colour replacements, each row's own key and fallback read from the
// settings file at every call; the battery indicator, legibility views, bar backgrounds, the
// prediction bar, the keyboard's appearance and its background colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

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

using device::describe;
using device::send;
using hosts::callCount;
using hosts::newInstance;
using plist::Dictionary;

// The interface framework, with legibility settings that answer `secondaryColor:` so that every
// hooked selector exists, and the Settings app for `PSListController`.
Scenario appearance(const Dictionary& settings) {
  return Scenario(settings, [] {
    hosts::registerApp("preferences");
    hosts::registerLegibilitySecondaryColourSetter();
  });
}

// A colour a host would pass, "#336699", unlike every colour the library falls back on.
id hostArgumentColour() { return hosts::hostColour(0.2, 0.4, 0.6); }

struct ColourRow {
  const char* className;
  const char* selector;
  const char* colourKey;
  const char* fallback;
  enum Use { kArgument, kResult } use;
};

void PrintTo(const ColourRow& row, std::ostream* out) {
  *out << row.className << " " << row.selector;
}

const ColourRow kColourRows[] = {
    {"_UIVisualEffectContentView", "setBackgroundColor:", "3DTouch1a", "#ffdb00",
     ColourRow::kArgument},
    {"_UIContextMenuActionView", "_imageTintColor", "3DTouch2a", "#0042ff", ColourRow::kResult},
    {"UITabBar", "unselectedItemTintColor", "iconcolor1a", "#8a0000", ColourRow::kResult},
    {"_UILegibilitySettings", "secondaryColor:", "look1a", "#ff0000", ColourRow::kArgument},
    {"_UILegibilitySettings", "setPrimaryColor:", "look1a", "#ff0000", ColourRow::kArgument},
    {"_UIStatusBarStyleAttributes", "textColor", "barxx", "#000000", ColourRow::kResult},
    {"_UIBatteryView", "fillColor", "barxx", "#000000", ColourRow::kResult},
    {"_UIStatusBar", "setForegroundColor:", "barxx", "#000000", ColourRow::kArgument},
    {"_UIStatusBarWifiItem", "_fillColorForUpdate:", "barxx", "#000000", ColourRow::kResult},
    {"_UIStatusBarWifiSignalView", "setActiveColor:", "barxx", "#000000", ColourRow::kArgument},
    {"UILabel", "setTextColor:", "colors7a", "#000000", ColourRow::kArgument},
    {"PSListController", "setTextColor:", "colors5a", "#ffb200", ColourRow::kArgument},
    {"UITableViewCell", "setSeparatorColor:", "colors4a", "#cd0000", ColourRow::kArgument},
    {"UITableView", "setBackgroundColor:", "colors3a", "#ffaa00", ColourRow::kArgument},
    {"UITableViewCell", "setBackgroundColor:", "colors3a", "#ffffff", ColourRow::kArgument},
    {"UISearchBarTextFieldLabel", "setTextColor:", "colors2a", "#000000", ColourRow::kArgument},
    {"UISearchBarTextField", "setBackgroundColor:", "colors1a", "#be0000", ColourRow::kArgument},
    {"_UILegibilitySettings", "setSecondaryColor:", "ORVIK2", "#ff9f00", ColourRow::kArgument},
    {"UISwitchModernVisualElement", "_effectiveTintColor", "YourCustomColour1m", "#ff0000",
     ColourRow::kResult},
    {"UISwitchModernVisualElement", "_effectiveOnTintColor", "YourCustomColour2m", "#00ff0e",
     ColourRow::kResult},
};

// Calls the row's method as the host would, `hostArgument` being the colour a setter is given
// or the update `_fillColorForUpdate:` is asked about, and returns the colour that reached the
// host (setters, whose host method must run once per call) or the caller (getters, whose host
// method must not run).
std::string colourThrough(const ColourRow& row, id receiver, id hostArgument) {
  long callsBefore = callCount(receiver, row.selector);
  if (row.use == ColourRow::kArgument) {
    send(receiver, row.selector, hostArgument);
    EXPECT_EQ(callCount(receiver, row.selector), callsBefore + 1) << row.selector;
    return argumentOf(receiver, row.selector);
  }
  bool takesArgument = std::strchr(row.selector, ':') != nullptr;
  id answer = takesArgument ? send<id>(receiver, row.selector, hostArgument)
                            : send<id>(receiver, row.selector);
  EXPECT_EQ(callCount(receiver, row.selector), 0) << row.selector;
  return describe(answer);
}

class ColourRowTest : public ::testing::TestWithParam<ColourRow> {};

TEST_P(ColourRowTest, FallbackUntilAColourIsStoredThenEachChangeAtTheNextCall) {
  const ColourRow row = GetParam();
  EXPECT_IN_CHILD([row] {
    Scenario scenario = appearance({{enableKeyOf(row.className, row.selector), boolean(true)}});
    id receiver = newInstance(row.className);
    id host = hostArgumentColour();
    EXPECT_EQ(colourThrough(row, receiver, host), row.fallback) << "no colour key";
    scenario.root().removeSettings();
    EXPECT_EQ(colourThrough(row, receiver, host), row.fallback) << "no settings file";
    scenario.root().writeSettings({{row.colourKey, text("#123456")}});
    EXPECT_EQ(colourThrough(row, receiver, host), "#123456");
    scenario.root().writeSettings({{row.colourKey, text("#FEDCBA")}});
    EXPECT_EQ(colourThrough(row, receiver, nil), "#fedcba");
    scenario.root().writeSettings({{row.colourKey, integer(0x123456)}});
    EXPECT_EQ(colourThrough(row, receiver, host), row.fallback) << "no colour text";
  });
}

INSTANTIATE_TEST_SUITE_P(Appearance, ColourRowTest, ::testing::ValuesIn(kColourRows),
                         [](const auto& info) {
                           std::string name =
                               std::string(info.param.className) + "_" + info.param.selector;
                           std::erase(name, ':');
                           return name;
                         });

TEST(Labels, ASearchFieldLabelInheritingItsSetterEndsWithTheLabelColour) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = appearance({{"colors7", boolean(true)},
                                    {"colors2", boolean(true)},
                                    {"colors7a", text("#123456")},
                                    {"colors2a", text("#abcdef")}});
    id label = newInstance("UISearchBarTextFieldLabel");
    send(label, "setTextColor:", hostArgumentColour());
    EXPECT_EQ(callCount(label, "setTextColor:"), 1);
    EXPECT_EQ(argumentOf(label, "setTextColor:"), "#123456");
  });
}

TEST(Appearance, ManyColoursAndLayoutsLeaveNoObjectBehind) {
  EXPECT_IN_CHILD(([] {
    Dictionary settings = {{"tweakEnabled2", boolean(true)}, {"features2", real(14.0)}};
    std::set<std::string> keys;
    for (const ColourRow& row : kColourRows) keys.insert(enableKeyOf(row.className, row.selector));
    for (const std::string& key : keys) settings.emplace_back(key, boolean(true));
    settings.emplace_back("barxx", text("#123456"));
    Scenario scenario = appearance(settings);
    std::vector<std::pair<const ColourRow*, id>> receivers;
    for (const ColourRow& row : kColourRows)
      receivers.emplace_back(&row, newInstance(row.className));
    id keyboard = newInstance("UIKeyboardImpl");
    id host = hostArgumentColour();
    expectNothingLeftBehind(
        [&] {
          for (auto& [row, receiver] : receivers) colourThrough(*row, receiver, host);
          send(keyboard, "layoutSubviews");
        },
        200);
  }));
}

TEST(Battery, ThreeKeysTogetherForceTheirValuesWhateverTheHostPasses) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = appearance({{"Chargingrate", boolean(true)},
                                    {"BatteryIcon", boolean(true)},
                                    {"bar1", boolean(true)},
                                    {"barxx", text("#123456")}});
    hosts::setAnswer("_UIBatteryView", "internalSizeCategory", 3LL);
    id battery = newInstance("_UIBatteryView");
    for (BOOL shows : {NO, YES}) {
      send(battery, "setShowsPercentage:", shows);
      EXPECT_EQ(argumentOf(battery, "setShowsPercentage:"), "1");
    }
    for (long long category : {0LL, 1LL, 2LL, -1LL, LLONG_MAX}) {
      send(battery, "setInternalSizeCategory:", category);
      EXPECT_EQ(argumentOf(battery, "setInternalSizeCategory:"), "2");
      EXPECT_EQ(send<long long>(battery, "internalSizeCategory"), 2);
    }
    EXPECT_EQ(describe(send<id>(battery, "fillColor")), "#123456");
    EXPECT_EQ(callCount(battery, "setShowsPercentage:"), 2);
    EXPECT_EQ(callCount(battery, "setInternalSizeCategory:"), 5);
    EXPECT_EQ(callCount(battery, "internalSizeCategory"), 0);
    EXPECT_EQ(callCount(battery, "fillColor"), 0);
  });
}

TEST(Appearance, FixedAnswersAndTheHiddenBarBackgroundNeverRunTheHost) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = appearance({{"UI", boolean(true)},
                                    {"Hidebar", boolean(true)},
                                    {"ribbon", boolean(true)},
                                    {"keyboard1", boolean(true)}});
    id legibility = newInstance("_UILegibilityView");
    EXPECT_EQ(send<BOOL>(legibility, "usesSecondaryColor"), YES);

    id layout = newInstance("_UIBarBackgroundLayoutLegacy");
    id tint = hostArgumentColour();
    for (long long style : {0LL, 1LL, 2LL, -1LL}) {
      for (id colour : {static_cast<id>(nil), tint}) {
        for (BOOL opaque : {NO, YES}) {
          send(layout, "configureEffectForStyle:backgroundTintColor:forceOpaque:", style, colour,
               opaque);
        }
      }
    }

    id prediction = newInstance("UIPredictionViewController");
    EXPECT_EQ(send<BOOL>(prediction, "isVisibleForInputDelegate:inputViews:", static_cast<id>(nil),
                         static_cast<id>(nil)),
              YES);
    EXPECT_EQ(send<BOOL>(prediction, "isVisibleForInputDelegate:inputViews:", tint, tint), YES);

    id traits = newInstance("UITextInputTraits");
    for (long long configured : {0LL, 2LL}) {  // default, light
      hosts::setAnswer("UITextInputTraits", "keyboardAppearance", configured);
      EXPECT_EQ(send<long long>(traits, "keyboardAppearance"), 1);
    }

    EXPECT_EQ(callCount(legibility, "usesSecondaryColor"), 0);
    EXPECT_EQ(callCount(layout, "configureEffectForStyle:backgroundTintColor:forceOpaque:"), 0);
    EXPECT_EQ(callCount(prediction, "isVisibleForInputDelegate:inputViews:"), 0);
    EXPECT_EQ(callCount(traits, "keyboardAppearance"), 0);
  });
}

struct KeyboardRow {
  double features2;
  const char* namedColour;  // null: no colour is set
};

void PrintTo(const KeyboardRow& row, std::ostream* out) { *out << "features2 " << row.features2; }

const KeyboardRow kKeyboardRows[] = {
    {11.0, "orangeColor"}, {12.0, "redColor"},  {13.0, "whiteColor"}, {14.0, "grayColor"},
    {15.0, "blackColor"},  {16.0, "cyanColor"}, {17.0, "blueColor"},  {18.0, "yellowColor"},
    {1.0, nullptr},        {10.0, nullptr},     {19.0, nullptr},      {11.5, nullptr},
    {NAN, nullptr},
};

class KeyboardTest : public ::testing::TestWithParam<std::tuple<bool, KeyboardRow>> {};

TEST_P(KeyboardTest, EachLayoutSetsTheCodesNamedColourThenLaysOutOnce) {
  auto [enabled, row] = GetParam();
  EXPECT_IN_CHILD(([=] {
    Scenario scenario =
        appearance({{"tweakEnabled2", boolean(enabled)}, {"features2", real(row.features2)}});
    double stored = scenario.setting<double>("features2");
    ASSERT_EQ(std::memcmp(&stored, &row.features2, sizeof(double)), 0) << "the stored code";

    id keyboard = newInstance("UIKeyboardImpl");
    bool sets = enabled && row.namedColour != nullptr;
    for (long layouts = 1; layouts <= 2; ++layouts) {
      send(keyboard, "layoutSubviews");
      EXPECT_EQ(callCount(keyboard, "layoutSubviews"), layouts);
      EXPECT_EQ(callCount(keyboard, "setBackgroundColor:"), sets ? layouts : 0);
    }
    if (sets) {
      EXPECT_EQ(argumentOf(keyboard, "setBackgroundColor:"),
                describe(device::sendToClass<id>("UIColor", row.namedColour)));
    }
  }));
}

std::string keyboardRowName(const ::testing::TestParamInfo<KeyboardTest::ParamType>& info) {
  auto [enabled, row] = info.param;
  char code[32];
  std::snprintf(code, sizeof code, "%g", row.features2);
  std::string name = std::string(enabled ? "on_" : "off_") + code;
  std::replace(name.begin(), name.end(), '.', '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(Keyboard, KeyboardTest,
                         ::testing::Combine(::testing::Bool(), ::testing::ValuesIn(kKeyboardRows)),
                         keyboardRowName);

// Stands in for another hook on the keyboard's background setter.
std::string backgroundSetByAnotherHook;
void recordBackground(id, SEL, id colour) { backgroundSetByAnotherHook = describe(colour); }

TEST(Keyboard, TheColourIsSetByMessageSoAnotherHookOnTheSetterApplies) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = appearance({{"tweakEnabled2", boolean(true)}, {"features2", real(18.0)}});
    Class keyboardClass = objc_getClass("UIKeyboardImpl");
    Method viewSetter =
        class_getInstanceMethod(keyboardClass, sel_registerName("setBackgroundColor:"));
    ASSERT_TRUE(class_addMethod(keyboardClass, sel_registerName("setBackgroundColor:"),
                                reinterpret_cast<IMP>(&recordBackground),
                                method_getTypeEncoding(viewSetter)));
    id keyboard = newInstance("UIKeyboardImpl");
    send(keyboard, "layoutSubviews");
    EXPECT_EQ(backgroundSetByAnotherHook,
              describe(device::sendToClass<id>("UIColor", "yellowColor")));
    EXPECT_EQ(callCount(keyboard, "setBackgroundColor:"), 0) << "UIView's setter is replaced";
    EXPECT_EQ(callCount(keyboard, "layoutSubviews"), 1);
  });
}

}  // namespace
}  // namespace vorla::testing
