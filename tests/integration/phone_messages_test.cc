// Phone, Contacts and Messages hooks, loaded into host processes as the device's loader would.
#include <gtest/gtest.h>

#include <string>

#include "device/foundation/values.h"
#include "device/runtime/message.h"
#include "device/runtime/object.h"
#include "hosts/host_apps.h"
#include "hosts/model.h"
#include "tests/integration/scenario.h"
#include "tests/support/child_process.h"

namespace vorla::testing {
namespace {

using device::describe;
using device::send;
using hosts::callCount;
using hosts::newInstance;
using plist::Dictionary;

constexpr const char* kShowTabs = "showFavoritesTab:recentsTab:contactsTab:keypadTab:voicemailTab:";

const HookRow kRows[] = {
    {"Numberclor", "PHHandsetDialerNumberPadButton", "setColor:"},
    {"NumberPadButton", "CNContactStyle", "setContactHeaderBackgroundColor:"},
    {"call", "PHBottomBarButton", "setBackgroundColor:"},
    {"hedncall", "CallDBManager", "createDataStore"},
    {"Hidenames", "CNContactStoreSnapshot", "setFilter:"},
    {"Hidenames", "CNContactStoreSnapshot", "setDataSource:"},
    {nullptr, "PhoneTabBarController", kShowTabs},
    {nullptr, "CKConversationListController", "setTitle:"},
    {nullptr, "CKConversationListController", "setConversationCellHeight:"},
};

Scenario phoneAndMessages(const Dictionary& settings) {
  return Scenario(settings, {"phone", "messages"}, kRows);
}

class PhoneEnableKeyTest : public ::testing::TestWithParam<const char*> {};

TEST_P(PhoneEnableKeyTest, EachKeyAddsExactlyItsOwnHooksToTheUnconditionalOnes) {
  const char* key = GetParam();
  EXPECT_IN_CHILD([key] {
    auto expected = rowsOfKey(kRows, nullptr);
    expected.merge(rowsOfKey(kRows, key));
    EXPECT_EQ(phoneAndMessages({{key, boolean(true)}}).installed(), expected);
  });
}

INSTANTIATE_TEST_SUITE_P(PhoneAndContacts, PhoneEnableKeyTest,
                         ::testing::Values("Numberclor", "NumberPadButton", "call", "hedncall",
                                           "Hidenames"));

TEST(PhoneEnableKeys, WithEveryKeyAbsentOnlyTheLastConstructorsRowsAreInstalled) {
  EXPECT_IN_CHILD([] {
    auto installed = phoneAndMessages({}).installed();
    EXPECT_EQ(installed, rowsOfKey(kRows, nullptr));
    EXPECT_EQ(installed.size(), 3u);
  });
}

struct ColourRow {
  const char* className;
  const char* selector;
  const char* colourKey;
};
const ColourRow kColourRows[] = {
    {"PHHandsetDialerNumberPadButton", "setColor:", "Numberclor4"},
    {"CNContactStyle", "setContactHeaderBackgroundColor:", "NumberPadButton3"},
    {"PHBottomBarButton", "setBackgroundColor:", "call2"},
};
const Dictionary kColourKeysOn = {
    {"Numberclor", boolean(true)}, {"NumberPadButton", boolean(true)}, {"call", boolean(true)}};

TEST(PhoneColours, EveryColourTheHostSetsIsReplacedByRedWithoutAStoredColour) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = phoneAndMessages(kColourKeysOn);
    for (const ColourRow& row : kColourRows) {
      id receiver = newInstance(row.className);
      for (id colour : {hosts::hostColour(0, 0, 1), static_cast<id>(nil)}) {
        send(receiver, row.selector, colour);
        EXPECT_EQ(argumentOf(receiver, row.selector), "#ff0000") << row.selector;
      }
      EXPECT_EQ(callCount(receiver, row.selector), 2) << row.selector;
    }
  });
}

Dictionary withColours(const char* numberPad, const char* contactHeader, const char* bottomBar) {
  Dictionary settings = kColourKeysOn;
  settings.insert(settings.end(), {{"Numberclor4", text(numberPad)},
                                   {"NumberPadButton3", text(contactHeader)},
                                   {"call2", text(bottomBar)}});
  return settings;
}

TEST(PhoneColours, EachSetterTakesItsOwnKeyAsTheFileHoldsItAtTheCall) {
  EXPECT_IN_CHILD(([] {
    Scenario scenario = phoneAndMessages(withColours("#00ff00", "#0000ff", "#123456"));
    const char* expected[] = {"#00ff00", "#0000ff", "#123456"};
    for (std::size_t i = 0; i < std::size(kColourRows); ++i) {
      id receiver = newInstance(kColourRows[i].className);
      send(receiver, kColourRows[i].selector, hosts::hostColour(1, 1, 1));
      EXPECT_EQ(argumentOf(receiver, kColourRows[i].selector), expected[i]);
    }

    scenario.root().writeSettings(withColours("#abcdef", "#0000ff", "#123456"));
    id button = newInstance("PHHandsetDialerNumberPadButton");
    send(button, "setColor:", hosts::hostColour(1, 1, 1));
    EXPECT_EQ(argumentOf(button, "setColor:"), "#abcdef");
  }));
}

TEST(PhoneColours, OtherViewsKeepTheBackgroundTheHostSets) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = phoneAndMessages(kColourKeysOn);
    id view = newInstance("UIView");
    send(view, "setBackgroundColor:", hosts::hostColour(0, 0, 1));
    EXPECT_EQ(argumentOf(view, "setBackgroundColor:"), "#0000ff");
  });
}

TEST(PhoneStoreAndSnapshots, NeverReachTheHostWhateverTheArgument) {
  EXPECT_IN_CHILD([] {
    Scenario scenario =
        phoneAndMessages({{"hedncall", boolean(true)}, {"Hidenames", boolean(true)}});
    id manager = newInstance("CallDBManager");
    send(manager, "createDataStore");
    EXPECT_EQ(callCount(manager, "createDataStore"), 0);
    id snapshot = newInstance("CNContactStoreSnapshot");
    for (id argument : {static_cast<id>(nil), manager, hosts::hostText("filter")}) {
      send(snapshot, "setFilter:", argument);
      send(snapshot, "setDataSource:", argument);
    }
    EXPECT_EQ(callCount(snapshot, "setFilter:"), 0);
    EXPECT_EQ(callCount(snapshot, "setDataSource:"), 0);
  });
}

// The five flags as "favorites recents contacts keypad voicemail", Y or N each.
std::string flagsOf(const hosts::MethodRecord& record) {
  std::string flags;
  for (const hosts::Value& value : record.lastArguments) {
    auto* flag = std::get_if<long long>(&value);
    flags += flag == nullptr ? '?' : *flag ? 'Y' : 'N';
  }
  return flags;
}

struct TabCase {
  const char* name;
  Dictionary settings;
  const char* shown;  // what reaches the host when it asks for every tab
};

class PhoneTabsTest : public ::testing::TestWithParam<TabCase> {};

TEST_P(PhoneTabsTest, OnlyHidesTabsTheRowHidesAndReturnsTheHostsResult) {
  const TabCase& tabCase = GetParam();
  EXPECT_IN_CHILD([&] {
    Scenario scenario = phoneAndMessages(tabCase.settings);
    id controller = newInstance("PhoneTabBarController");
    // Every combination of flags the host may pass: a tab it hides stays hidden, the keypad
    // flag is never changed.
    for (int asked = 0; asked < 32; ++asked) {
      BOOL flags[5];
      std::string expected;
      for (int tab = 0; tab < 5; ++tab) {
        flags[tab] = (asked >> tab) & 1;
        expected += flags[tab] && tabCase.shown[tab] == 'Y' ? 'Y' : 'N';
      }
      BOOL answer = asked % 2 ? YES : NO;
      hosts::setAnswer("PhoneTabBarController", kShowTabs, static_cast<long long>(answer));
      long before = callCount(controller, kShowTabs);
      EXPECT_EQ(send<BOOL>(controller, kShowTabs, flags[0], flags[1], flags[2], flags[3], flags[4]),
                answer);
      EXPECT_EQ(callCount(controller, kShowTabs), before + 1);
      EXPECT_EQ(flagsOf(hosts::recordOf(controller, kShowTabs)), expected) << asked;
    }
  });
}

Dictionary tabs(double features) {
  return {{"tweakEnabled", boolean(true)}, {"features", real(features)}};
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, PhoneTabsTest,
    ::testing::Values(
        TabCase{"Zero", tabs(0), "YYYYN"}, TabCase{"One", tabs(1), "NNYYY"},
        TabCase{"Two", tabs(2), "YYNYN"}, TabCase{"Three", tabs(3), "NYYYN"},
        TabCase{"Four", tabs(4), "NYYYY"}, TabCase{"Five", tabs(5), "YNYYY"},
        TabCase{"Six", tabs(6), "YYNYY"}, TabCase{"Seven", tabs(7), "YYYYN"},
        TabCase{"SixAndAHalf", tabs(6.5), "YYYYY"}, TabCase{"MinusAHalf", tabs(-0.5), "YYYYY"},
        TabCase{"Eight", tabs(8), "YYYYY"},
        TabCase{"StoredAsAnInteger",
                {{"tweakEnabled", boolean(true)}, {"features", integer(3)}},
                "NYYYN"},
        TabCase{"FeaturesNeverSet", {{"tweakEnabled", boolean(true)}}, "NNYYY"},
        TabCase{"SwitchOff", {{"tweakEnabled", boolean(false)}, {"features", real(2)}}, "YYYYY"},
        TabCase{"NothingStored", {}, "YYYYY"}),
    [](const ::testing::TestParamInfo<TabCase>& info) { return info.param.name; });

TEST(PhoneTabs, ASettingChangedOnDiskAppliesFromTheNextCall) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = phoneAndMessages({{"features", real(4)}});
    id controller = newInstance("PhoneTabBarController");
    auto shown = [&] {
      send<BOOL>(controller, kShowTabs, YES, YES, YES, YES, YES);
      return flagsOf(hosts::recordOf(controller, kShowTabs));
    };
    EXPECT_EQ(shown(), "YYYYY");
    scenario.root().writeSettings({{"features", real(4)}, {"tweakEnabled", boolean(true)}});
    EXPECT_TRUE(eventually([&] { return shown() == "NYYYY"; }));
  });
}

struct TitleCase {
  const char* name;
  Dictionary settings;
  const char* received;  // nullptr: the host passes no title
  const char* reached;   // as device::describe renders it
};

class MessagesTitleTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(MessagesTitleTest, ReachesTheInheritedSetterAsTheSwitchSays) {
  const TitleCase& titleCase = GetParam();
  EXPECT_IN_CHILD([&] {
    Scenario scenario = phoneAndMessages(titleCase.settings);
    id list = newInstance("CKConversationListController");
    id title = titleCase.received ? hosts::hostText(titleCase.received) : nil;
    send(list, "setTitle:", title);
    EXPECT_EQ(callCount(list, "setTitle:"), 1);
    EXPECT_EQ(argumentOf(list, "setTitle:"), titleCase.reached);
    id other = newInstance("UIViewController");
    send(other, "setTitle:", title);
    EXPECT_EQ(argumentOf(other, "setTitle:"), describe(title)) << "other controllers keep theirs";
  });
}

INSTANTIATE_TEST_SUITE_P(
    Messages, MessagesTitleTest,
    ::testing::Values(
        TitleCase{"OffPassesTheTitle", {{"texstmsg", text("Mine")}}, "Messages", "\"Messages\""},
        TitleCase{"OffPassesNoTitle", {{"texstmsg", text("Mine")}}, nullptr, "nil"},
        TitleCase{"OnWithoutTextGivesEmpty", {{"Enablemsg", boolean(true)}}, "Messages", "\"\""},
        TitleCase{"OnReplacesNoTitle", {{"Enablemsg", boolean(true)}}, nullptr, "\"\""},
        TitleCase{"OnGivesTheText",
                  {{"Enablemsg", boolean(true)}, {"texstmsg", text("Chats")}},
                  "Messages",
                  "\"Chats\""}),
    [](const ::testing::TestParamInfo<TitleCase>& info) { return info.param.name; });

struct HeightCase {
  const char* name;
  Dictionary settings;
  const char* reached;
};

class MessagesCellHeightTest : public ::testing::TestWithParam<HeightCase> {};

TEST_P(MessagesCellHeightTest, ReachesTheHostOnceAndReturnsItsResult) {
  const HeightCase& heightCase = GetParam();
  EXPECT_IN_CHILD([&] {
    Scenario scenario = phoneAndMessages(heightCase.settings);
    id list = newInstance("CKConversationListController");
    for (long long answer : {0LL, 1LL}) {
      hosts::setAnswer("CKConversationListController", "setConversationCellHeight:", answer);
      EXPECT_EQ(send<BOOL>(list, "setConversationCellHeight:", 72.5), answer);
      EXPECT_EQ(argumentOf(list, "setConversationCellHeight:"), heightCase.reached);
    }
    EXPECT_EQ(callCount(list, "setConversationCellHeight:"), 2);
  });
}

INSTANTIATE_TEST_SUITE_P(
    Messages, MessagesCellHeightTest,
    ::testing::Values(
        HeightCase{"OffPassesTheHeight", {{"sliderKeymsg", real(30)}}, "72.5"},
        HeightCase{"OnWithTheDefault", {{"slidermsg", boolean(true)}}, "90"},
        HeightCase{"OnWithZero", {{"slidermsg", boolean(true)}, {"sliderKeymsg", real(0)}}, "0"},
        HeightCase{"OnWithANegativeNumber",
                   {{"slidermsg", boolean(true)}, {"sliderKeymsg", real(-12.25)}},
                   "-12.25"}),
    [](const ::testing::TestParamInfo<HeightCase>& info) { return info.param.name; });

TEST(PhoneAndMessages, ManyHookedCallsLeaveNoObjectBehind) {
  EXPECT_IN_CHILD([] {
    Dictionary settings = kColourKeysOn;
    settings.emplace_back("Enablemsg", boolean(true));
    settings.emplace_back("texstmsg", text("Chats"));
    Scenario scenario = phoneAndMessages(settings);
    id button = newInstance("PHHandsetDialerNumberPadButton");
    id list = newInstance("CKConversationListController");
    // Objects of each round's own, so that one kept or released once too often shows.
    auto round = [&] {
      device::pushAutoreleasePool();
      id colour = device::newColour({0, 0, 1, 1});
      id title = device::newString("Messages");
      send(button, "setColor:", colour);
      send(list, "setTitle:", title);
      device::releaseObject(colour);
      device::releaseObject(title);
      device::popAutoreleasePool();
    };
    round();
    long before = vorla_device_live_objects();
    for (int i = 0; i < 2000; ++i) round();
    EXPECT_EQ(vorla_device_live_objects(), before);
  });
}

}  // namespace
}  // namespace vorla::testing
