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
#include "tests/support/leak_check.h"

namespace vorla::testing {
namespace {

using device::describe;
using device::send;
using hosts::callCount;
using hosts::newInstance;
using plist::Dictionary;

constexpr const char* kShowTabs = "showFavoritesTab:recentsTab:contactsTab:keypadTab:voicemailTab:";

Scenario phoneAndMessages(const Dictionary& settings) {
  return Scenario(settings, appsNamed({"phone", "messages"}));
}

Dictionary colourKeysOn(Dictionary colours = {}) {
  colours.insert(
      colours.end(),
      {{"Numberclor", boolean(true)}, {"NumberPadButton", boolean(true)}, {"call", boolean(true)}});
  return colours;
}

TEST(PhoneColours, EachSetterPassesItsKeysColourAsTheFileHoldsItOrRed) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = phoneAndMessages(colourKeysOn());
    const char* const rows[][4] = {
        {"PHHandsetDialerNumberPadButton", "setColor:", "Numberclor4", "#00ff00"},
        {"CNContactStyle", "setContactHeaderBackgroundColor:", "NumberPadButton3", "#0000ff"},
        {"PHBottomBarButton", "setBackgroundColor:", "call2", "#123456"},
    };
    auto expectEachGets = [&](auto colourOf) {
      for (const auto& [className, selector, key, stored] : rows) {
        id receiver = newInstance(className);
        for (id colour : {hosts::hostColour(1, 1, 1), static_cast<id>(nil)}) {
          send(receiver, selector, colour);
          EXPECT_EQ(argumentOf(receiver, selector), colourOf(stored)) << selector;
        }
        EXPECT_EQ(callCount(receiver, selector), 2) << selector;
      }
    };
    expectEachGets([](const char*) { return "#ff0000"; });
    Dictionary stored;
    for (const auto& [className, selector, key, colour] : rows)
      stored.emplace_back(key, text(colour));
    scenario.root().writeSettings(colourKeysOn(stored));
    expectEachGets([](const char* colour) { return colour; });

    id view = newInstance("UIView");
    send(view, "setBackgroundColor:", hosts::hostColour(0, 0, 1));
    EXPECT_EQ(argumentOf(view, "setBackgroundColor:"), "#0000ff") << "other views keep theirs";
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
    for (id argument : {static_cast<id>(nil), manager}) {
      send(snapshot, "setFilter:", argument);
      send(snapshot, "setDataSource:", argument);
    }
    EXPECT_EQ(callCount(snapshot, "setFilter:"), 0);
    EXPECT_EQ(callCount(snapshot, "setDataSource:"), 0);
  });
}

// The five flags that reached the host, "favorites recents contacts keypad voicemail" as Y or N.
std::string tabsShown(id controller) {
  std::string flags;
  for (const hosts::Value& value : hosts::recordOf(controller, kShowTabs).lastArguments) {
    flags += std::get<long long>(value) ? 'Y' : 'N';
  }
  return flags;
}

struct TabCase {
  Dictionary settings;
  const char* shown;  // what reaches the host when it asks for every tab
};
void PrintTo(const TabCase& tabCase, std::ostream* out) {
  *out << (plist::find(tabCase.settings, "tweakEnabled") ? "on" : "off") << ", features ";
  const plist::Value* features = plist::find(tabCase.settings, "features");
  if (features == nullptr) {
    *out << "unset";
  } else if (auto* integer = std::get_if<plist::Integer>(&features->content)) {
    *out << static_cast<long long>(integer->value) << " (an integer)";
  } else {
    *out << std::get<double>(features->content);
  }
}

class PhoneTabsTest : public ::testing::TestWithParam<TabCase> {};

TEST_P(PhoneTabsTest, OnlyHidesTabsTheRowHidesAndReturnsTheHostsResult) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = phoneAndMessages(GetParam().settings);
    id controller = newInstance("PhoneTabBarController");
    // Every combination the host may ask for: a tab it hides stays hidden.
    for (int asked = 0; asked < 32; ++asked) {
      BOOL flags[5];
      std::string expected;
      for (int tab = 0; tab < 5; ++tab) {
        flags[tab] = (asked >> tab) & 1;
        expected += flags[tab] && GetParam().shown[tab] == 'Y' ? 'Y' : 'N';
      }
      BOOL answer = asked % 2;
      hosts::setAnswer("PhoneTabBarController", kShowTabs, answer);
      EXPECT_EQ(send<BOOL>(controller, kShowTabs, flags[0], flags[1], flags[2], flags[3], flags[4]),
                answer);
      EXPECT_EQ(callCount(controller, kShowTabs), asked + 1);
      EXPECT_EQ(tabsShown(controller), expected) << asked;
    }
  });
}

Dictionary tabs(plist::Value features) {
  return {{"tweakEnabled", boolean(true)}, {"features", features}};
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, PhoneTabsTest,
    ::testing::Values(TabCase{tabs(real(0)), "YYYYN"}, TabCase{tabs(real(1)), "NNYYY"},
                      TabCase{tabs(real(2)), "YYNYN"}, TabCase{tabs(real(3)), "NYYYN"},
                      TabCase{tabs(real(4)), "NYYYY"}, TabCase{tabs(real(5)), "YNYYY"},
                      TabCase{tabs(real(6)), "YYNYY"}, TabCase{tabs(real(7)), "YYYYN"},
                      TabCase{tabs(real(6.5)), "YYYYY"}, TabCase{tabs(real(-0.5)), "YYYYY"},
                      TabCase{tabs(real(8)), "YYYYY"}, TabCase{tabs(integer(3)), "NYYYN"},
                      TabCase{{{"tweakEnabled", boolean(true)}}, "NNYYY"},
                      TabCase{{{"features", real(2)}}, "YYYYY"}));

TEST(PhoneTabs, ASettingChangedOnDiskAppliesFromTheNextCall) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = phoneAndMessages({{"features", real(4)}});
    id controller = newInstance("PhoneTabBarController");
    auto shown = [&] {
      send<BOOL>(controller, kShowTabs, YES, YES, YES, YES, YES);
      return tabsShown(controller);
    };
    EXPECT_EQ(shown(), "YYYYY");
    scenario.root().writeSettings(tabs(real(4)));
    EXPECT_TRUE(eventually([&] { return shown() == "NYYYY"; }));
  });
}

struct ConversationListCase {
  const char* name;
  Dictionary settings;
  const char* title;  // what reaches the host for any title, null or not; null: the one given
  const char* height;
};

void PrintTo(const ConversationListCase& listCase, std::ostream* out) { *out << listCase.name; }

class ConversationListTest : public ::testing::TestWithParam<ConversationListCase> {};

TEST_P(ConversationListTest, TitleAndHeightReachTheHostAsTheSwitchesSay) {
  EXPECT_IN_CHILD([] {
    const ConversationListCase& expected = GetParam();
    Scenario scenario = phoneAndMessages(expected.settings);
    id list = newInstance("CKConversationListController");
    for (id title : {hosts::hostText("Messages"), static_cast<id>(nil)}) {
      send(list, "setTitle:", title);
      EXPECT_EQ(argumentOf(list, "setTitle:"), expected.title ? expected.title : describe(title));
    }
    EXPECT_EQ(callCount(list, "setTitle:"), 2);
    for (long long answer : {0LL, 1LL}) {
      hosts::setAnswer("CKConversationListController", "setConversationCellHeight:", answer);
      EXPECT_EQ(send<BOOL>(list, "setConversationCellHeight:", 72.5), answer);
      EXPECT_EQ(argumentOf(list, "setConversationCellHeight:"), expected.height);
    }
    EXPECT_EQ(callCount(list, "setConversationCellHeight:"), 2);
    id other = newInstance("UIViewController");
    send(other, "setTitle:", hosts::hostText("Other"));
    EXPECT_EQ(argumentOf(other, "setTitle:"), "\"Other\"") << "other controllers keep theirs";
  });
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ConversationListTest,
    ::testing::Values(
        ConversationListCase{"switches off",
                             {{"texstmsg", text("Mine")}, {"sliderKeymsg", real(30)}},
                             nullptr,
                             "72.5"},
        ConversationListCase{"switches on, nothing else stored",
                             {{"Enablemsg", boolean(true)}, {"slidermsg", boolean(true)}},
                             "\"\"",
                             "90"},
        ConversationListCase{"switches on, a text and zero",
                             {{"Enablemsg", boolean(true)},
                              {"texstmsg", text("Chats")},
                              {"slidermsg", boolean(true)},
                              {"sliderKeymsg", real(0)}},
                             "\"Chats\"",
                             "0"},
        ConversationListCase{"height on, a negative number",
                             {{"slidermsg", boolean(true)}, {"sliderKeymsg", real(-12.25)}},
                             nullptr,
                             "-12.25"}));

TEST(PhoneAndMessages, ManyHookedCallsLeaveNoObjectBehind) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = phoneAndMessages(colourKeysOn({{"Enablemsg", boolean(true)}}));
    id button = newInstance("PHHandsetDialerNumberPadButton");
    id list = newInstance("CKConversationListController");
    // Objects of each round's own, so that one kept or released once too often shows.
    expectNothingLeftBehind(
        [&] {
          id colour = device::newColour({0, 0, 1, 1});
          id title = device::newString("Messages");
          send(button, "setColor:", colour);
          send(list, "setTitle:", title);
          device::releaseObject(colour);
          device::releaseObject(title);
        },
        2000);
  });
}

}  // namespace
}  // namespace vorla::testing
