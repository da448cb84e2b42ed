// Forced and fixed answers of the system appearance: the battery indicator, legibility views,
// bar backgrounds, the prediction bar, the keyboard's appearance and its background colour.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>

#include "device/foundation/values.h"
#include "device/runtime/message.h"
#include "hosts/host_apps.h"
#include "hosts/model.h"
#include "tests/integration/appearance_host.h"
#include "tests/support/child_process.h"

namespace vorla::testing {
namespace {

using device::describe;
using device::send;
using hosts::callCount;
using hosts::newInstance;

TEST(Battery, ThreeKeysTogetherForceTheirValuesWhateverTheHostPasses) {
  EXPECT_IN_CHILD([] {
    DeviceRoot root;
    loadWith(root, {{"Chargingrate", boolean(true)},
                    {"BatteryIcon", boolean(true)},
                    {"bar1", boolean(true)},
                    {"barxx", text("#123456")}});
    hosts::setAnswer("_UIBatteryView", "internalSizeCategory", 3LL);
    id battery = newInstance("_UIBatteryView");
    for (BOOL shows : {NO, YES}) {
      send(battery, "setShowsPercentage:", shows);
      EXPECT_EQ(received(battery, "setShowsPercentage:"), "1");
    }
    for (long long category : {0LL, 1LL, 2LL, -1LL, LLONG_MAX}) {
      send(battery, "setInternalSizeCategory:", category);
      EXPECT_EQ(received(battery, "setInternalSizeCategory:"), "2");
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
    DeviceRoot root;
    loadWith(root, {{"UI", boolean(true)},
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
    DeviceRoot root;
    void* library =
        loadWith(root, {{"tweakEnabled2", boolean(enabled)}, {"features2", real(row.features2)}});
    auto* features2 = static_cast<double*>(dlsym(library, "features2"));
    ASSERT_NE(features2, nullptr);
    ASSERT_EQ(std::memcmp(features2, &row.features2, sizeof(double)), 0) << "the stored code";

    id keyboard = newInstance("UIKeyboardImpl");
    bool sets = enabled && row.namedColour != nullptr;
    for (long layouts = 1; layouts <= 2; ++layouts) {
      send(keyboard, "layoutSubviews");
      EXPECT_EQ(callCount(keyboard, "layoutSubviews"), layouts);
      EXPECT_EQ(callCount(keyboard, "setBackgroundColor:"), sets ? layouts : 0);
    }
    if (sets) {
      EXPECT_EQ(received(keyboard, "setBackgroundColor:"),
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
    DeviceRoot root;
    loadWith(root, {{"tweakEnabled2", boolean(true)}, {"features2", real(18.0)}});
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
