// Settings app and social app hooks, loaded into host processes as the device's loader would.
#include <gtest/gtest.h>

#include <optional>
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

const HookRow kRows[] = {
    {nullptr, "PSGAboutDataSource", "_productVersionString"},
    {nullptr, "PSGAboutDataSource", "_modelNameString"},
    {nullptr, "PSListController", "setTitle:"},
    {nullptr, "T1TFNUIConfiguration", "isNestedActionButtonEnabled"},
    {"editWatchq", "PSListController", "_isRegularWidth"},
    {"editWatchq", "PSListController", "setEdgeToEdgeCells:"},
    {"editWatchr", "IGFeedItem", "viewerCount"},
    {"EnableUser", "TFNTwitterUser", "numberOfFollowers"},
};

Scenario apps(const Dictionary& settings) {
  return Scenario(settings, {"preferences", "messages", "feed", "social"}, kRows);
}

class AppsEnableKeyTest : public ::testing::TestWithParam<const char*> {};

TEST_P(AppsEnableKeyTest, EachKeyAddsExactlyItsOwnHooksToTheUnconditionalOnes) {
  const char* key = GetParam();
  EXPECT_IN_CHILD([key] {
    auto expected = rowsOfKey(kRows, nullptr);
    expected.merge(rowsOfKey(kRows, key));
    EXPECT_EQ(apps({{key, boolean(true)}}).installed(), expected);
  });
}

INSTANTIATE_TEST_SUITE_P(SettingsAndSocialApps, AppsEnableKeyTest,
                         ::testing::Values("editWatchq", "editWatchr", "EnableUser"));

TEST(AppsEnableKeys, WithEveryKeyAbsentOnlyTheLastConstructorsRowsAreInstalled) {
  EXPECT_IN_CHILD([] {
    auto installed = apps({}).installed();
    EXPECT_EQ(installed, rowsOfKey(kRows, nullptr));
    EXPECT_EQ(installed.size(), 4u);
  });
}

// The About page with both switches and codes stored; nullopt: the host's own text.
struct AboutCase {
  const char* name;
  Dictionary settings;
  std::optional<const char*> version;
  std::optional<const char*> model;
};

class AboutPageTest : public ::testing::TestWithParam<AboutCase> {};

TEST_P(AboutPageTest, ATextOfTheTableOnlyWhileItsSwitchIsOnAndItsCodeHasARow) {
  const AboutCase& about = GetParam();
  EXPECT_IN_CHILD(([&] {
    Scenario scenario = apps(about.settings);
    id source = newInstance("PSGAboutDataSource");
    struct {
      const char* selector;
      std::optional<const char*> text;
      const char* hostText;
    } queries[] = {{"_productVersionString", about.version, "\"12.4\""},
                   {"_modelNameString", about.model, "\"iPhone SE\""}};
    for (const auto& query : queries) {
      for (int call = 1; call <= 2; ++call) {
        EXPECT_EQ(describe(send<id>(source, query.selector)),
                  query.text ? "\"" + std::string(*query.text) + "\"" : query.hostText)
            << query.selector;
      }
      EXPECT_EQ(callCount(source, query.selector), query.text ? 0 : 2) << query.selector;
    }
  }));
}

Dictionary version(double code) {
  return {{"Enableversion", boolean(true)}, {"IPhoneversion", real(code)}};
}
Dictionary model(double code) { return {{"Enabledmodel", boolean(true)}, {"model", real(code)}}; }

INSTANTIATE_TEST_SUITE_P(
    VersionTable, AboutPageTest,
    ::testing::Values(
        AboutCase{"V110", version(110), "7.1", {}}, AboutCase{"V111", version(111), "8.1", {}},
        AboutCase{"V112", version(112), "9.1", {}}, AboutCase{"V213", version(213), "10.2.4", {}},
        AboutCase{"V214", version(214), "11.1", {}}, AboutCase{"V215", version(215), "11.5", {}},
        AboutCase{"V216", version(216), "13.1", {}}, AboutCase{"V217", version(217), "13.3", {}},
        AboutCase{"V218", version(218), "13.5", {}}, AboutCase{"V219", version(219), "13.5.1", {}},
        AboutCase{"V2110", version(2110), "14.4.1", {}},
        AboutCase{"V2112", version(2112), "14.5", {}},
        AboutCase{"NoRowFor2111", version(2111), {}, {}},
        AboutCase{"NoRowFor220", version(220), {}, {}},
        AboutCase{"NoRowFor110Point5", version(110.5), {}, {}},
        AboutCase{"TheDefaultHasNoRow", {{"Enableversion", boolean(true)}}, {}, {}},
        AboutCase{"SwitchOff", {{"IPhoneversion", real(110)}}, {}, {}},
        AboutCase{"ModelCodeDoesNotSelectAVersion",
                  {{"Enableversion", boolean(true)}, {"model", real(219)}},
                  {},
                  {}}),
    [](const ::testing::TestParamInfo<AboutCase>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    ModelTable, AboutPageTest,
    ::testing::Values(AboutCase{"M110", model(110), {}, "iPhone 6 Plus"},
                      AboutCase{"M111", model(111), {}, "iPhone 7"},
                      AboutCase{"M112", model(112), {}, "iPhone 7 Plus"},
                      AboutCase{"M113", model(113), {}, "iPhone 8"},
                      AboutCase{"M114", model(114), {}, "iPhone 8 Plus"},
                      AboutCase{"M115", model(115), {}, "iPhone X"},
                      AboutCase{"M116", model(116), {}, "iPhone XS"},
                      AboutCase{"M117", model(117), {}, "iPhone XS Max"},
                      AboutCase{"M118", model(118), {}, "iPhone 11 Pro"},
                      AboutCase{"M119KeepsItsCapitalI", model(119), {}, "IPhone 11 Pro Max"},
                      AboutCase{"M1110", model(1110), {}, "iPhone 12 Pro"},
                      AboutCase{"M1112", model(1112), {}, "iPhone 12 Pro Max"},
                      AboutCase{"NoRowFor1111", model(1111), {}, {}},
                      AboutCase{"NoRowFor110Point5", model(110.5), {}, {}},
                      AboutCase{"TheDefaultHasNoRow", {{"Enabledmodel", boolean(true)}}, {}, {}},
                      AboutCase{"SwitchOff", {{"model", real(119)}}, {}, {}},
                      AboutCase{"StoredAsAnInteger",
                                {{"Enabledmodel", boolean(true)}, {"model", integer(115)}},
                                {},
                                "iPhone X"}),
    [](const ::testing::TestParamInfo<AboutCase>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(Both, AboutPageTest,
                         ::testing::Values(AboutCase{"SwitchesAreIndependent",
                                                     {{"Enableversion", boolean(true)},
                                                      {"IPhoneversion", real(2112)},
                                                      {"Enabledmodel", boolean(false)},
                                                      {"model", real(2112)}},
                                                     "14.5",
                                                     {}},
                                           AboutCase{"BothOn",
                                                     {{"Enableversion", boolean(true)},
                                                      {"IPhoneversion", real(112)},
                                                      {"Enabledmodel", boolean(true)},
                                                      {"model", real(112)}},
                                                     "9.1",
                                                     "iPhone 7 Plus"}),
                         [](const ::testing::TestParamInfo<AboutCase>& info) {
                           return info.param.name;
                         });

struct ListTitleCase {
  const char* name;
  Dictionary settings;
  const char* received;  // nullptr: the host passes no title
  const char* reached;   // as device::describe renders it
};

class ListTitleTest : public ::testing::TestWithParam<ListTitleCase> {};

TEST_P(ListTitleTest, EveryListControllerGetsTheTitleTheSwitchSays) {
  const ListTitleCase& titleCase = GetParam();
  EXPECT_IN_CHILD([&] {
    Scenario scenario = apps(titleCase.settings);
    id title = titleCase.received ? hosts::hostText(titleCase.received) : nil;
    for (int controller = 0; controller < 2; ++controller) {
      id list = newInstance("PSListController");
      send(list, "setTitle:", title);
      EXPECT_EQ(callCount(list, "setTitle:"), 1);
      EXPECT_EQ(argumentOf(list, "setTitle:"), titleCase.reached);
    }
    // The conversation list has a hook of its own with its own switch, which is off.
    id conversations = newInstance("CKConversationListController");
    send(conversations, "setTitle:", title);
    EXPECT_EQ(argumentOf(conversations, "setTitle:"), describe(title));
  });
}

INSTANTIATE_TEST_SUITE_P(
    SettingsApp, ListTitleTest,
    ::testing::Values(
        ListTitleCase{"OffPassesTheTitle", {{"texstst", text("Mine")}}, "General", "\"General\""},
        ListTitleCase{"OffPassesNoTitle", {{"texstst", text("Mine")}}, nullptr, "nil"},
        ListTitleCase{
            "OnWithoutTextGivesEmpty", {{"Enablesteng", boolean(true)}}, "General", "\"\""},
        ListTitleCase{"OnGivesTheText",
                      {{"Enablesteng", boolean(true)}, {"texstst", text("Réglages")}},
                      nullptr,
                      "\"Réglages\""}),
    [](const ::testing::TestParamInfo<ListTitleCase>& info) { return info.param.name; });

TEST(SettingsAppLayout, ListControllersAreRegularWidthAndKeepTheirCells) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = apps({{"editWatchq", boolean(true)}});
    id list = newInstance("PSListController");
    EXPECT_EQ(send<BOOL>(list, "_isRegularWidth"), YES);
    send(list, "setEdgeToEdgeCells:", YES);
    send(list, "setEdgeToEdgeCells:", NO);
    EXPECT_EQ(callCount(list, "_isRegularWidth"), 0);
    EXPECT_EQ(callCount(list, "setEdgeToEdgeCells:"), 0);
  });
  EXPECT_IN_CHILD([] {
    Scenario scenario = apps({});
    id list = newInstance("PSListController");
    EXPECT_EQ(send<BOOL>(list, "_isRegularWidth"), NO);
    send(list, "setEdgeToEdgeCells:", YES);
    EXPECT_EQ(argumentOf(list, "setEdgeToEdgeCells:"), "1");
  });
}

TEST(SocialCounts, EveryItemReportsTheFilesNumberAsItIsAtEachCall) {
  EXPECT_IN_CHILD(([] {
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
                  {real(7.9), 7, "a real, truncated"},
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
  }));
}

TEST(SocialNestedActionButton, YesWhileTheSwitchIsOnOtherwiseTheHostsAnswer) {
  EXPECT_IN_CHILD([] {
    Scenario scenario = apps({{"appearanceTint", boolean(true)}});
    id configuration = newInstance("T1TFNUIConfiguration");
    EXPECT_EQ(send<BOOL>(configuration, "isNestedActionButtonEnabled"), YES);
    EXPECT_EQ(callCount(configuration, "isNestedActionButtonEnabled"), 0);
  });
  EXPECT_IN_CHILD([] {
    Scenario scenario = apps({});
    id configuration = newInstance("T1TFNUIConfiguration");
    for (long long answer : {0LL, 1LL}) {
      hosts::setAnswer("T1TFNUIConfiguration", "isNestedActionButtonEnabled", answer);
      EXPECT_EQ(send<BOOL>(configuration, "isNestedActionButtonEnabled"), answer);
    }
    EXPECT_EQ(callCount(configuration, "isNestedActionButtonEnabled"), 2);
  });
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
    auto round = [&] {
      device::pushAutoreleasePool();
      id title = device::newString("General");
      send<id>(source, "_productVersionString");
      send<id>(source, "_modelNameString");
      send(list, "setTitle:", title);
      send<long long>(user, "numberOfFollowers");
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
