// Settings app and social app hooks, loaded into host processes as the device's loader would.
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

Scenario apps(const Dictionary& settings) {
  return Scenario(settings, appsNamed({"preferences", "messages", "feed", "social"}));
}

// One About-page query with its switch on and a code stored; `text` null: the host's own text.
struct AboutCase {
  const char* selector;
  double code;
  const char* text;
};

void PrintTo(const AboutCase& about, std::ostream* out) {
  *out << about.selector << " " << about.code;
}

class AboutPageTest : public ::testing::TestWithParam<AboutCase> {};

// The other query's switch is off with the same code stored: it stays the host's.
TEST_P(AboutPageTest, ATableTextOnlyWhenTheCodeHasARowAndTheHostsCodeOnlyWhenNot) {
  EXPECT_IN_CHILD([] {
    const AboutCase& about = GetParam();
    bool version = std::string(about.selector) == "_productVersionString";
    Scenario scenario = apps({{version ? "Enableversion" : "Enabledmodel", boolean(true)},
                              {"IPhoneversion", real(about.code)},
                              {"model", real(about.code)}});
    id source = newInstance("PSGAboutDataSource");
    const char* other = version ? "_modelNameString" : "_productVersionString";
    std::string hostText = version ? "\"12.4\"" : "\"iPhone SE\"";
    for (int call = 0; call < 2; ++call) {
      EXPECT_EQ(describe(send<id>(source, about.selector)),
                about.text ? '"' + std::string(about.text) + '"' : hostText);
      send<id>(source, other);
    }
    EXPECT_EQ(callCount(source, about.selector), about.text ? 0 : 2);
    EXPECT_EQ(callCount(source, other), 2);
  });
}

INSTANTIATE_TEST_SUITE_P(Versions, AboutPageTest,
                         ::testing::ValuesIn(std::vector<AboutCase>{
                             {"_productVersionString", 110, "7.1"},
                             {"_productVersionString", 111, "8.1"},
                             {"_productVersionString", 112, "9.1"},
                             {"_productVersionString", 213, "10.2.4"},
                             {"_productVersionString", 214, "11.1"},
                             {"_productVersionString", 215, "11.5"},
                             {"_productVersionString", 216, "13.1"},
                             {"_productVersionString", 217, "13.3"},
                             {"_productVersionString", 218, "13.5"},
                             {"_productVersionString", 219, "13.5.1"},
                             {"_productVersionString", 2110, "14.4.1"},
                             {"_productVersionString", 2112, "14.5"},
                             {"_productVersionString", 2111, nullptr},
                             {"_productVersionString", 220, nullptr},
                             {"_productVersionString", 110.5, nullptr},
                             {"_productVersionString", 1.0, nullptr},
                         }));

INSTANTIATE_TEST_SUITE_P(Models, AboutPageTest,
                         ::testing::ValuesIn(std::vector<AboutCase>{
                             {"_modelNameString", 110, "iPhone 6 Plus"},
                             {"_modelNameString", 111, "iPhone 7"},
                             {"_modelNameString", 112, "iPhone 7 Plus"},
                             {"_modelNameString", 113, "iPhone 8"},
                             {"_modelNameString", 114, "iPhone 8 Plus"},
                             {"_modelNameString", 115, "iPhone X"},
                             {"_modelNameString", 116, "iPhone XS"},
                             {"_modelNameString", 117, "iPhone XS Max"},
                             {"_modelNameString", 118, "iPhone 11 Pro"},
                             {"_modelNameString", 119, "IPhone 11 Pro Max"},
                             {"_modelNameString", 1110, "iPhone 12 Pro"},
                             {"_modelNameString", 1112, "iPhone 12 Pro Max"},
                             {"_modelNameString", 1111, nullptr},
                             {"_modelNameString", 110.5, nullptr},
                             {"_modelNameString", 1.0, nullptr},
                         }));

TEST(AboutPage, WithBothSwitchesOffTheHostAnswersWhateverTheCodes) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = apps({{"IPhoneversion", real(110)}, {"model", real(119)}});
    id source = newInstance("PSGAboutDataSource");
    EXPECT_EQ(describe(send<id>(source, "_productVersionString")), "\"12.4\"");
    EXPECT_EQ(describe(send<id>(source, "_modelNameString")), "\"iPhone SE\"");
  });
}

struct ListTitleCase {
  const char* name;
  Dictionary settings;
  const char* title;  // what reaches the host for any title, null or not; null: the one given
};

void PrintTo(const ListTitleCase& titleCase, std::ostream* out) { *out << titleCase.name; }

class ListTitleTest : public ::testing::TestWithParam<ListTitleCase> {};

TEST_P(ListTitleTest, EveryListControllerGetsTheTitleTheSwitchSays) {
  EXPECT_IN_CHILD([] {
    const ListTitleCase& expected = GetParam();
    Scenario scenario = apps(expected.settings);
    for (id title : {hosts::hostText("General"), static_cast<id>(nil)}) {
      id list = newInstance("PSListController");
      send(list, "setTitle:", title);
      EXPECT_EQ(callCount(list, "setTitle:"), 1);
      EXPECT_EQ(argumentOf(list, "setTitle:"), expected.title ? expected.title : describe(title));
      // The conversation list's own hook follows its own switch, which is off.
      id conversations = newInstance("CKConversationListController");
      send(conversations, "setTitle:", title);
      EXPECT_EQ(argumentOf(conversations, "setTitle:"), describe(title));
    }
  });
}

INSTANTIATE_TEST_SUITE_P(
    SettingsApp, ListTitleTest,
    ::testing::Values(ListTitleCase{"switch off", {{"texstst", text("Mine")}}, nullptr},
                      ListTitleCase{"switch on, no text", {{"Enablesteng", boolean(true)}}, "\"\""},
                      ListTitleCase{"switch on, a text",
                                    {{"Enablesteng", boolean(true)}, {"texstst", text("Réglages")}},
                                    "\"Réglages\""}));

TEST(SettingsAppLayout, ListControllersAreRegularWidthAndKeepTheirCellsOnlyUnderTheKey) {
  for (bool on : {true, false}) {
    EXPECT_IN_CHILD([on] {
      Scenario scenario = apps({{"editWatchq", boolean(on)}});
      id list = newInstance("PSListController");
      EXPECT_EQ(send<BOOL>(list, "_isRegularWidth"), on ? YES : NO);
      send(list, "setEdgeToEdgeCells:", YES);
      send(list, "setEdgeToEdgeCells:", NO);
      EXPECT_EQ(callCount(list, "_isRegularWidth"), on ? 0 : 1);
      EXPECT_EQ(callCount(list, "setEdgeToEdgeCells:"), on ? 0 : 2);
    });
  }
}

TEST(SocialCounts, EveryItemReportsTheFilesNumberAsItIsAtEachCall) {
  EXPECT_IN_CHILD([] {
    const Dictionary keys = {{"editWatchr", boolean(true)}, {"EnableUser", boolean(true)}};
    Scenario scenario = apps(keys);
    id items[] = {newInstance("IGFeedItem"), newInstance("IGFeedItem")};
    id user = newInstance("TFNTwitterUser");
    auto expectCounts = [&](long long viewers, long long followers, const char* stored) {
      for (id item : items) EXPECT_EQ(send<long long>(item, "viewerCount"), viewers) << stored;
      EXPECT_EQ(send<long long>(user, "numberOfFollowers"), followers) << stored;
    };
    expectCounts(0, 0, "no key");
    struct {
      plist::Value value;
      long long count;
      const char* stored;
    } values[] = {{integer(250), 250, "250"},
                  {integer(-17), -17, "a negative number"},
                  {text("42"), 42, "a numeric text"},
                  {integer(5'000'000'000LL), 5'000'000'000LL, "beyond 32 bits"},
                  {plist::Value{plist::Array{integer(3)}}, 0, "an array"}};
    for (const auto& value : values) {
      Dictionary settings = keys;
      settings.emplace_back("watchr", value.value);
      settings.emplace_back("User", value.value);
      scenario.root().writeSettings(settings);
      expectCounts(value.count, value.count, value.stored);
    }
    scenario.root().writeSettings({{"watchr", integer(1)}});
    expectCounts(1, 0, "only watchr");
    scenario.root().removeSettings();
    expectCounts(0, 0, "no file");
    for (id item : items) EXPECT_EQ(callCount(item, "viewerCount"), 0);
    EXPECT_EQ(callCount(user, "numberOfFollowers"), 0);
  });
}

TEST(SocialNestedActionButton, YesWhileTheSwitchIsOnOtherwiseTheHostsAnswer) {
  for (bool on : {true, false}) {
    EXPECT_IN_CHILD([on] {
      Scenario scenario = apps({{"appearanceTint", boolean(on)}});
      id configuration = newInstance("T1TFNUIConfiguration");
      for (long long answer : {0LL, 1LL}) {
        hosts::setAnswer("T1TFNUIConfiguration", "isNestedActionButtonEnabled", answer);
        EXPECT_EQ(send<BOOL>(configuration, "isNestedActionButtonEnabled"), on ? YES : answer);
      }
      EXPECT_EQ(callCount(configuration, "isNestedActionButtonEnabled"), on ? 0 : 2);
    });
  }
}

TEST(SettingsAndSocialApps, ManyHookedCallsLeaveNoObjectBehind) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = apps({{"EnableUser", boolean(true)},
                              {"User", integer(9)},
                              {"Enableversion", boolean(true)},
                              {"IPhoneversion", real(219)}});
    id source = newInstance("PSGAboutDataSource");
    id list = newInstance("PSListController");
    id user = newInstance("TFNTwitterUser");
    // A title of each round's own, so that one kept or released once too often shows.
    expectNothingLeftBehind(
        [&] {
          id title = device::newString("General");
          send<id>(source, "_productVersionString");
          send<id>(source, "_modelNameString");
          send(list, "setTitle:", title);
          send<long long>(user, "numberOfFollowers");
          device::releaseObject(title);
        },
        2000);
  });
}

}  // namespace
}  // namespace vorla::testing
