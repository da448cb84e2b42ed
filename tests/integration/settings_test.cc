// Registered settings, as the loaded library exports them and the preferences service keeps them.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <string>

#include "device/foundation/property_list_files.h"
#include "device/foundation/values.h"
#include "hosts/host_apps.h"
#include "tests/integration/scenario.h"
#include "tests/support/child_process.h"

namespace vorla::testing {
namespace {

void* library = nullptr;

template <class T>
T read(const char* name) {
  return settingOf<T>(library, name);
}

std::string textOf(const char* name) {
  auto text = device::stringOf(read<id>(name));
  return text ? std::string(*text) : "<not a string>";
}

const char* const kBooleans[] = {"sliderSwitch",
                                 "sliderSwitchs",
                                 "sliderSwitchww",
                                 "sliderScale",
                                 "slidermsg",
                                 "Enablesteng",
                                 "EnableNoSIM",
                                 "Enablemsg",
                                 "tweakEnabled",
                                 "tweakEnabled2",
                                 "Enabledmodel",
                                 "Enableversion",
                                 "appearanceTint",
                                 "EnableHello",
                                 "Slideshow",
                                 "SkipDelete",
                                 "a1",
                                 "a2",
                                 "DebugHUD"};
const char* const kDoubles[] = {"sliderKeya",   "sliderKeys",     "sliderKeyaww", "sliderKeysww",
                                "sliderKeyrww", "sliderKeyScale", "sliderKeymsg", "features",
                                "features2",    "model",          "IPhoneversion"};
const char* const kObjects[] = {"texstst", "NoSIM", "texstmsg", "Hello"};

TEST(Settings, ExactlyPreferencesAndTheSettingsAreExported) {
  std::string command = std::string("nm -D --defined-only ") + libraryPath();
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> exported;
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) {
    std::string entry(line);
    exported.insert(
        entry.substr(entry.rfind(' ') + 1, entry.find_last_not_of("\n") - entry.rfind(' ')));
  }
  ASSERT_EQ(pclose(pipe), 0);
  std::set<std::string> expected{"preferences"};
  for (const char* name : kBooleans) expected.insert(name);
  for (const char* name : kDoubles) expected.insert(name);
  for (const char* name : kObjects) expected.insert(name);
  EXPECT_EQ(expected.size(), 35u);
  EXPECT_EQ(exported, expected);
}

TEST(Settings, DefaultsWithNoSettingsFile) {
  EXPECT_IN_CHILD([] {
    DeviceRoot root;
    library = loadLibrary();
    EXPECT_NE(read<id>("preferences"), nil);
    for (const char* name : kBooleans) EXPECT_EQ(read<BOOL>(name), NO) << name;
    for (const char* name : kDoubles) {
      EXPECT_EQ(read<double>(name), std::string(name) == "sliderKeymsg" ? 90.0 : 1.0) << name;
    }
    for (const char* name : kObjects) EXPECT_EQ(textOf(name), "") << name;
  });
}

TEST(Settings, StoredValuesAndValuesOfTheWrongKind) {
  EXPECT_IN_CHILD([] {
    DeviceRoot root;
    root.writeSettings({
        {"sliderSwitch", boolean(true)},
        {"sliderSwitchs", text("YES")},
        {"sliderSwitchww", integer(1)},
        {"sliderScale", plist::Value{plist::Array{boolean(true)}}},  // no boolean reading
        {"sliderKeya", real(-2.5)},
        {"sliderKeys", integer(7)},
        {"sliderKeyaww", text("0.25")},
        {"sliderKeysww", text("wide")},  // not numeric: the default
        {"sliderKeymsg", plist::Value{plist::Data{1, 2}}},
        {"texstst", text("Réglages")},
        {"NoSIM", integer(5)},  // objects come from texts only
        {"Hello", text("")},
    });
    library = loadLibrary();
    EXPECT_EQ(read<BOOL>("sliderSwitch"), YES);
    EXPECT_EQ(read<BOOL>("sliderSwitchs"), YES);
    EXPECT_EQ(read<BOOL>("sliderSwitchww"), YES);
    EXPECT_EQ(read<BOOL>("sliderScale"), NO);
    EXPECT_EQ(read<double>("sliderKeya"), -2.5);
    EXPECT_EQ(read<double>("sliderKeys"), 7.0);
    EXPECT_EQ(read<double>("sliderKeyaww"), 0.25);
    EXPECT_EQ(read<double>("sliderKeysww"), 1.0);
    EXPECT_EQ(read<double>("sliderKeymsg"), 90.0);
    EXPECT_EQ(textOf("texstst"), "Réglages");
    EXPECT_EQ(textOf("NoSIM"), "");
    EXPECT_EQ(textOf("Hello"), "");
    EXPECT_EQ(read<BOOL>("EnableHello"), NO) << "absent beside stored ones";
  });
}

TEST(Settings, LoadingParsesTheSettingsFileOnce) {
  EXPECT_IN_CHILD([] {
    DeviceRoot root;
    root.writeSettings({{"TabBariPad", boolean(true)}, {"cydia", boolean(true)}});
    hosts::registerApp("safari");
    library = loadLibrary();
    EXPECT_EQ(vorla_device_plist_parses(), 1) << "every gate and the registry share one parse";
  });
}

// Without a preferences service no gate opens and the settings keep their initial values.
TEST(Settings, WithoutAPreferencesServiceNothingIsGatedAndNothingRegistered) {
  EXPECT_IN_CHILD([] {
    DeviceRoot root;
    root.writeSettings({{"BookmarksBar", boolean(true)}, {"tweakEnabled", boolean(true)}});
    hosts::registerApp("safari");
    Class service = objc_getClass("HBPreferences");
    Method init = class_getInstanceMethod(service, sel_registerName("initWithIdentifier:"));
    class_getMethodImplementation(service, sel_registerName("initWithIdentifier:"));
    method_setImplementation(init, reinterpret_cast<IMP>(+[](id, SEL, id) -> id { return nil; }));
    IMP before = implementationOf("BrowserController", "_shouldShowBookmarksBar");
    library = loadLibrary();
    EXPECT_EQ(implementationOf("BrowserController", "_shouldShowBookmarksBar"), before);
    EXPECT_EQ(read<id>("preferences"), nil);
    EXPECT_EQ(read<BOOL>("tweakEnabled"), NO);
    EXPECT_EQ(read<double>("sliderKeymsg"), 90.0);
    EXPECT_EQ(read<id>("texstst"), nil);
  });
}

TEST(Settings, AChangeOnDiskReachesTheVariablesWithinASecond) {
  EXPECT_IN_CHILD([] {
    DeviceRoot root;
    root.writeSettings({{"tweakEnabled", boolean(false)}});
    library = loadLibrary();
    auto enabled = [] { return read<BOOL>("tweakEnabled"); };
    auto features = [] { return read<double>("features"); };
    root.writeSettings(
        {{"tweakEnabled", boolean(true)}, {"features", real(4)}, {"NoSIM", text("No SIM")}});
    const std::chrono::seconds second(1);
    EXPECT_TRUE(eventually(
        [&] { return enabled() == YES && features() == 4.0 && textOf("NoSIM") == "No SIM"; },
        second));

    // Removing the file brings the defaults back; so does a corrupt file.
    root.removeSettings();
    EXPECT_TRUE(eventually([&] { return enabled() == NO && features() == 1.0; }, second));
    root.writeSettings({{"tweakEnabled", boolean(true)}});
    EXPECT_TRUE(eventually([&] { return enabled() == YES; }, second));
    root.writeSettingsBytes("bplist00 garbage");
    EXPECT_TRUE(eventually([&] { return enabled() == NO; }, second));
  });
}

}  // namespace
}  // namespace vorla::testing
