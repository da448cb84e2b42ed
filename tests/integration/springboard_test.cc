// SpringBoard hooks, loaded into a model SpringBoard as the device's loader would.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
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

using device::send;
using hosts::callCount;
using hosts::newInstance;
using hosts::QuickActions;
using plist::Dictionary;

// A model SpringBoard with the library loaded on `settings`.
Scenario springBoard(const Dictionary& settings, QuickActions quickActions = QuickActions::kBoth) {
  return Scenario(settings, [quickActions] {
    hosts::registerInterfaceModels();
    hosts::registerSpringBoardModels(quickActions);
  });
}

template <class T>
T last(id receiver, const char* selector) {
  hosts::Value value = hosts::lastArgument(receiver, selector);
  auto* held = std::get_if<T>(&value);
  EXPECT_NE(held, nullptr) << selector << " received nothing of that type";
  return held ? *held : T{};
}

std::string textOf(id object) {
  auto text = device::stringOf(object);
  return text ? std::string(*text) : "<not a text>";
}

// Each key on alone: its setter hands on exactly its constant, once per call, whatever it was
// given; the others hand on what they were given.
TEST(LockAndHomeScreen, ForcedNumbersReachTheHostExactly) {
  struct Forced {
    const char* className;
    const char* selector;
    double constant;
  };
  const Forced forced[] = {
      {"CSCoverSheetFlyInSettings", "setIconsFlyInTension:", 0.0},
      {"SBFLockScreenDateView", "setAlignmentPercent:", 1.0},
      {"SBDockView", "setBackgroundAlpha:", 0.0},
  };
  for (const Forced& on : forced) {
    EXPECT_IN_CHILD([&] {
      const char* key = enableKeyOf(on.className, on.selector);
      Scenario scenario = springBoard({{key, boolean(true)}});
      for (const Forced& row : forced) {
        id receiver = newInstance(row.className);
        long calls = 0;
        for (double given : {0.0, -0.0, 0.5, 1.0, -2.5, 1e300, -HUGE_VAL}) {
          send(receiver, row.selector, given);
          double received = last<double>(receiver, row.selector);
          EXPECT_EQ(callCount(receiver, row.selector), ++calls) << row.selector;
          if (&row == &on) {
            EXPECT_EQ(received, on.constant) << on.selector << " given " << given;
            EXPECT_FALSE(std::signbit(received)) << on.selector << " given " << given;
          } else {
            EXPECT_EQ(received, given) << row.selector << " while only " << key << " is on";
          }
        }
      }
    });
  }
}

TEST(LockAndHomeScreen, FloatingDockGetsNoBackgroundViewAndPageControlsNoIndicators) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = springBoard({{"dock", boolean(true)}, {"Dot", boolean(true)}});
    id platter = newInstance("SBFloatingDockPlatterView");
    id view = newInstance("UIView");
    send(platter, "setBackgroundView:", view);
    EXPECT_EQ(last<id>(platter, "setBackgroundView:"), nil);
    EXPECT_EQ(callCount(platter, "setBackgroundView:"), 1);

    id control = newInstance("SBIconListPageControl");
    send(control, "_setIndicatorImage:toEnabled:index:", view, YES, 0ULL);
    send(control, "_setIndicatorImage:toEnabled:index:", static_cast<id>(nil), NO, ULLONG_MAX);
    EXPECT_EQ(callCount(control, "_setIndicatorImage:toEnabled:index:"), 0);
  });
}

// `flash` and `Camera` each on alone and together, on a SpringBoard with both quick-actions
// controllers or with one of them.
TEST(LockScreen, FlashlightAndCameraAnswersFollowTheirOwnKeys) {
  struct Keys {
    bool flash;
    bool camera;
    QuickActions quickActions = QuickActions::kBoth;
  };
  const Keys scenarios[] = {{true, false},
                            {false, true},
                            {true, true},
                            {true, true, QuickActions::kDashBoardOnly},
                            {true, true, QuickActions::kCoverSheetOnly}};
  for (const Keys& keys : scenarios) {
    EXPECT_IN_CHILD([&] {
      bool flash = keys.flash;
      bool camera = keys.camera;
      Scenario scenario =
          springBoard({{"flash", boolean(flash)}, {"Camera", boolean(camera)}}, keys.quickActions);
      int controllers = 0;
      for (const char* name :
           {"SBDashBoardQuickActionsViewController", "CSQuickActionsViewController"}) {
        if (objc_getClass(name) == Nil) continue;
        ++controllers;
        id controller = newInstance(name);
        EXPECT_EQ(send<BOOL>(controller, "hasFlashlight"), flash ? NO : YES) << name;
        EXPECT_EQ(callCount(controller, "hasFlashlight"), flash ? 0 : 1) << name;
        EXPECT_EQ(send<BOOL>(controller, "hasCamera"), camera ? NO : YES) << name;
        EXPECT_EQ(callCount(controller, "hasCamera"), camera ? 0 : 1) << name;
      }
      EXPECT_EQ(controllers, keys.quickActions == QuickActions::kBoth ? 2 : 1);
      id springBoardApp = newInstance("SpringBoard");
      EXPECT_EQ(send<BOOL>(springBoardApp, "lockScreenCameraSupported"), camera ? NO : YES);
      EXPECT_EQ(callCount(springBoardApp, "lockScreenCameraSupported"), camera ? 0 : 1);

      id policy = newInstance("SBMainDisplayPolicyAggregator");
      id callers = newInstance("NSObject");
      for (const char* query : {"_allowsCapabilityLockScreenCameraSupportedWithExplanation:",
                                "_allowsCapabilityLockScreenCameraWithExplanation:"}) {
        id explanation = callers;
        EXPECT_EQ(send<BOOL>(policy, query, &explanation), camera ? NO : YES) << query;
        EXPECT_EQ(explanation, callers) << query;
        EXPECT_EQ(send<BOOL>(policy, query, static_cast<id*>(nullptr)), camera ? NO : YES);
        EXPECT_EQ(callCount(policy, query), camera ? 0 : 2) << query;
      }
    });
  }
}

TEST(HomeScreen, IconLabelColourComesFromTheFileAtEveryCall) {
  struct Step {
    const char* stored;  // null: no settings file
    text::Rgba expected;
  };
  const text::Rgba fallback{1.0, 159 / 255.0, 0.0, 1.0};
  const Step steps[] = {{nullptr, fallback},
                        {"#123456", {0x12 / 255.0, 0x34 / 255.0, 0x56 / 255.0, 1.0}},
                        {"#ffffff", {1.0, 1.0, 1.0, 1.0}},
                        {"no colour", fallback}};
  EXPECT_IN_CHILD([&] {
    Scenario scenario = springBoard({{"vv3", boolean(true)}});
    scenario.root().removeSettings();
    id parameters = newInstance("SBMutableIconLabelImageParameters");
    id hostColour = hosts::hostColour(0.2, 0.2, 0.2);
    long calls = 0;
    for (const Step& step : steps) {
      if (step.stored) scenario.root().writeSettings({{"ORVIK3", text(step.stored)}});
      send(parameters, "setTextColor:", hostColour);
      EXPECT_EQ(callCount(parameters, "setTextColor:"), ++calls);
      auto received = device::colourOf(last<id>(parameters, "setTextColor:"));
      ASSERT_TRUE(received);
      EXPECT_EQ(*received, step.expected) << (step.stored ? step.stored : "no file");
    }
  });
}

// The seven switched setters, with the host's argument and the value each hands on while on.
struct Setter {
  const char* className;
  const char* selector;
  const char* switchKey;
  const char* valueKey;  // null: the constant 2
  double stored;         // handed on while on: out of any sensible range, different for each
};
const Setter kSetters[] = {
    {"MTLumaDodgePillSettings", "setHeight:", "sliderSwitch", "sliderKeya", -40.5},
    {"MTLumaDodgePillSettings", "setMinWidth:", "sliderSwitchs", "sliderKeys", 1e12},
    {"SBAppSwitcherSettings", "setSwitcherStyle:", "sliderSwitchww", nullptr, 2},
    {"SBAppSwitcherSettings", "setSwitcherCardShadowOpacity:", "sliderSwitchww", "sliderKeyaww",
     7.25},
    {"SBAppSwitcherSettings", "setSwitcherCardShadowOffset:", "sliderSwitchww", "sliderKeysww",
     -3.0},
    {"SBAppSwitcherSettings", "setSwitcherCardShadowRadius:", "sliderSwitchww", "sliderKeyrww",
     1e-300},
    {"SBAppSwitcherSettings", "setGridSwitcherPageScale:", "sliderScale", "sliderKeyScale", 0.5},
};

double hostValue(const Setter& setter) { return setter.valueKey ? 0.37 : 0; }

// Calls `setter` once with the host's value and returns what reached the host.
double handedOn(const Setter& setter) {
  id receiver = newInstance(setter.className);
  if (setter.valueKey) {
    send(receiver, setter.selector, hostValue(setter));
  } else {
    send(receiver, setter.selector, static_cast<long long>(hostValue(setter)));
  }
  EXPECT_EQ(callCount(receiver, setter.selector), 1) << setter.selector;
  return setter.valueKey ? last<double>(receiver, setter.selector)
                         : static_cast<double>(last<long long>(receiver, setter.selector));
}

Dictionary storedValues() {
  Dictionary values;
  for (const Setter& setter : kSetters) {
    if (setter.valueKey) values.emplace_back(setter.valueKey, real(setter.stored));
  }
  return values;
}

// One switch on at a time with every value stored, then all on with none stored.
TEST(Switcher, EachSwitchGovernsExactlyItsSettersAndHandsOnItsValue) {
  struct Switches {
    std::vector<std::string> on;
    bool valuesStored;
  };
  const Switches scenarios[] = {
      {{}, true},
      {{"sliderSwitch"}, true},
      {{"sliderSwitchs"}, true},
      {{"sliderSwitchww"}, true},
      {{"sliderScale"}, true},
      {{"sliderSwitch", "sliderSwitchs", "sliderSwitchww", "sliderScale"}, false}};
  for (const Switches& switches : scenarios) {
    EXPECT_IN_CHILD([&] {
      Dictionary settings = switches.valuesStored ? storedValues() : Dictionary{};
      for (const std::string& key : switches.on) settings.emplace_back(key, boolean(true));
      Scenario scenario = springBoard(settings);
      for (const Setter& setter : kSetters) {
        bool on = std::ranges::count(switches.on, setter.switchKey) > 0;
        double whileOn = switches.valuesStored || !setter.valueKey ? setter.stored : 1.0;
        EXPECT_EQ(handedOn(setter), on ? whileOn : hostValue(setter))
            << setter.selector << " with " << switches.on.size() << " switches on";
      }
    });
  }
}

// The SIM status and the teachable-moments text: a switch and a text each.
struct TextSetter {
  const char* className;
  const char* selector;
  const char* switchKey;
  const char* textKey;
  bool answers;  // the display string, which the caller gets back
};
const TextSetter kTexts[] = {
    {"SBStatusBarStateAggregator", "_displayStringForSIMStatus:", "EnableNoSIM", "NoSIM", true},
    {"CSTeachableMomentsContainerViewController", "_updateText:", "EnableHello", "Hello", false},
};

// What reached the host as the text, sent once.
id handedOn(const TextSetter& setter, id given) {
  id receiver = newInstance(setter.className);
  if (setter.answers) {
    send<id>(receiver, setter.selector, given);
  } else {
    send(receiver, setter.selector, given);
  }
  EXPECT_EQ(callCount(receiver, setter.selector), 1) << setter.selector;
  return last<id>(receiver, setter.selector);
}

TEST(Texts, SwitchOffPassesTheHostsObjectOnTheStoredOrTheEmptyText) {
  struct TextCase {
    bool on;
    const char* stored;  // null: never set
    const char* expected;
  };
  for (TextCase textCase : {TextCase{false, "Carrier", nullptr}, TextCase{true, nullptr, ""},
                            TextCase{true, "Carrier", "Carrier"}}) {
    EXPECT_IN_CHILD([textCase] {
      Dictionary settings;
      for (const TextSetter& setter : kTexts) {
        settings.emplace_back(setter.switchKey, boolean(textCase.on));
        if (textCase.stored) settings.emplace_back(setter.textKey, text(textCase.stored));
      }
      Scenario scenario = springBoard(settings);
      id given = device::newString("kCTSIMSupportSIMStatusNotInserted");
      for (const TextSetter& setter : kTexts) {
        id received = handedOn(setter, given);
        if (textCase.expected) {
          EXPECT_EQ(textOf(received), textCase.expected) << setter.selector;
        } else {
          EXPECT_EQ(received, given) << setter.selector;
        }
      }
      id display = device::newString("No SIM");
      hosts::setAnswer("SBStatusBarStateAggregator", "_displayStringForSIMStatus:", display);
      id aggregator = newInstance("SBStatusBarStateAggregator");
      EXPECT_EQ(send<id>(aggregator, "_displayStringForSIMStatus:", given), display);
      EXPECT_EQ(callCount(aggregator, "_displayStringForSIMStatus:"), 1);
    });
  }
}

TEST(SpringBoardSettings, AChangeOnDiskReachesTheNextCallWithoutARestart) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = springBoard({});
    for (const Setter& setter : kSetters) EXPECT_EQ(handedOn(setter), hostValue(setter));
    id given = device::newString("status");
    for (const TextSetter& setter : kTexts) EXPECT_EQ(handedOn(setter, given), given);

    Dictionary settings = storedValues();
    for (const char* key : {"sliderSwitch", "sliderSwitchs", "sliderSwitchww", "sliderScale",
                            "EnableNoSIM", "EnableHello"}) {
      settings.emplace_back(key, boolean(true));
    }
    settings.emplace_back("NoSIM", text("No service"));
    settings.emplace_back("Hello", text("Hello"));
    scenario.root().writeSettings(settings);
    ASSERT_TRUE(eventually([&] {
      for (const Setter& setter : kSetters) {
        if (!scenario.setting<BOOL>(setter.switchKey)) return false;
        if (setter.valueKey && scenario.setting<double>(setter.valueKey) != setter.stored)
          return false;
      }
      return scenario.setting<BOOL>("EnableNoSIM") && scenario.setting<BOOL>("EnableHello") &&
             textOf(scenario.setting<id>("NoSIM")) == "No service" &&
             textOf(scenario.setting<id>("Hello")) == "Hello";
    }));
    for (const Setter& setter : kSetters) EXPECT_EQ(handedOn(setter), setter.stored);
    EXPECT_EQ(textOf(handedOn(kTexts[0], given)), "No service");
    EXPECT_EQ(textOf(handedOn(kTexts[1], given)), "Hello");

    scenario.root().writeSettings({{"sliderScale", boolean(true)}, {"sliderKeyScale", real(4.0)}});
    ASSERT_TRUE(eventually([&] {
      return scenario.setting<double>("sliderKeyScale") == 4.0 &&
             !scenario.setting<BOOL>("sliderSwitch") && !scenario.setting<BOOL>("EnableHello");
    }));
    EXPECT_EQ(handedOn(kSetters[6]), 4.0);
    EXPECT_EQ(handedOn(kSetters[0]), 0.37) << "sliderSwitch went with the file";
    EXPECT_EQ(handedOn(kTexts[1], given), given) << "EnableHello went with the file";
  });
}

TEST(SpringBoardSettings, ManyCallsLeaveNoObjectBehind) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = springBoard({{"vv3", boolean(true)},
                                     {"EnableNoSIM", boolean(true)},
                                     {"EnableHello", boolean(true)},
                                     {"Hello", text("Hi")}});
    id parameters = newInstance("SBMutableIconLabelImageParameters");
    id aggregator = newInstance("SBStatusBarStateAggregator");
    id container = newInstance("CSTeachableMomentsContainerViewController");
    id given = device::newString("status");
    expectNothingLeftBehind(
        [&] {
          send(parameters, "setTextColor:", given);
          send<id>(aggregator, "_displayStringForSIMStatus:", given);
          send(container, "_updateText:", given);
        },
        10000);
  });
}

}  // namespace
}  // namespace vorla::testing
