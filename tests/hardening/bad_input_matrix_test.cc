// Every key of the suite and of the settings file holding every kind of property-list value, and
// the settings file in every state it may be found in. Whatever the file holds, a process with
// the library neither crashes, hangs nor leaks, and every key reads its defined result: a gate
// off, a setting at its default, the fallback colour, 0; or, for a value with a reading of the
// key's kind, that reading. Each case loads the library into a child process of its own, since
// gates act only at load.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "device/foundation/values.h"
#include "device/plist/plist_reader.h"
#include "device/plist/plist_writer.h"
#include "device/runtime/object.h"
#include "tests/hardening/hardening_support.h"
#include "tests/integration/scenario.h"
#include "tests/support/child_process.h"
#include "tweak/load_sequence.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::testing {
namespace {

using Kind = settings::SettingDescription::Kind;

const char* const kColourKeys[] = {
    "3DTouch1a",          "3DTouch2a",         "iconcolor1a", "look1a",
    "Numberclor4",        "NumberPadButton3",  "call2",       "barxx",
    "colors7a",           "colors5a",          "colors4a",    "colors3a",
    "colors2a",           "colors1a",          "ORVIK2",      "ORVIK3",
    "YourCustomColour1m", "YourCustomColour2m"};
const char* const kNumberKeys[] = {"watchr", "User"};
constexpr const char* kFallback = "#010203";

// Two gates may share a key; each key is stored once.
std::vector<const char*> enableKeys() {
  std::vector<const char*> keys;
  for (const core::Constructor* constructor : loadSequence()) {
    const char* key = constructor->enableKey;
    if (key != nullptr && std::none_of(keys.begin(), keys.end(),
                                       [&](const char* k) { return std::string(k) == key; })) {
      keys.push_back(key);
    }
  }
  return keys;
}

// What the keys of each kind read. An empty optional stands for the setting's default or the
// fallback colour.
struct Readings {
  bool on = false;  // enable keys and boolean settings
  std::optional<double> real = {};
  std::optional<std::string> text = {};
  long long number = 0;
  std::optional<std::string> colour = {};
};

plist::Dictionary everyKeyHolding(const plist::Value& value) {
  plist::Dictionary settings;
  for (const char* key : enableKeys()) settings.push_back({key, value});
  for (const auto& setting : settings::kSettings) settings.push_back({setting.key, value});
  for (const char* key : kColourKeys) settings.push_back({key, value});
  for (const char* key : kNumberKeys) settings.push_back({key, value});
  return settings;
}

// Every key holding a value its kind reads, for the file states that must still be read.
const Readings kStored{
    .on = true, .real = 5.5, .text = "stored", .number = 77, .colour = "#0a0b0c"};

plist::Dictionary storedSettings() {
  plist::Dictionary settings;
  for (const char* key : enableKeys()) settings.push_back({key, boolean(true)});
  for (const auto& setting : settings::kSettings) {
    settings.push_back({setting.key, setting.kind == Kind::kBool     ? boolean(true)
                                     : setting.kind == Kind::kDouble ? real(5.5)
                                                                     : text("stored")});
  }
  for (const char* key : kColourKeys) settings.push_back({key, text("#0a0b0c")});
  for (const char* key : kNumberKeys) settings.push_back({key, integer(77)});
  return settings;
}

struct GatedHook {
  const char* enableKey;
  Class target;  // the metaclass for a class method
  SEL selector;
  IMP before;
};

// Every gated hook whose target method exists in this process, with its implementation now.
std::vector<GatedHook> gatedHooks() {
  std::vector<GatedHook> hooks;
  for (const core::Constructor* constructor : loadSequence()) {
    if (constructor->enableKey == nullptr) continue;
    for (const core::Hook& hook : constructor->hooks) {
      Class target = objc_getClass(hook.className);
      if (target != Nil && hook.kind == core::MethodKind::kClass) {
        target = object_getClass(reinterpret_cast<id>(target));
      }
      SEL selector = sel_registerName(hook.selector);
      Method method = target != Nil ? class_getInstanceMethod(target, selector) : nullptr;
      if (method != nullptr) {
        hooks.push_back(
            {constructor->enableKey, target, selector, method_getImplementation(method)});
      }
    }
  }
  return hooks;
}

bool sameReal(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

void expectLookups(const Readings& expected) {
  for (const char* key : kColourKeys) {
    EXPECT_EQ(colourLookup(key, kFallback), expected.colour.value_or(kFallback)) << key;
  }
  for (const char* key : kNumberKeys) EXPECT_EQ(numberLookup(key), expected.number) << key;
}

// Loads the library into this process, with the settings file as it now is, and checks every key.
void loadAndExpect(const Readings& expected) {
  registerEveryHookedClass();
  const std::vector<GatedHook> hooks = gatedHooks();
  ASSERT_FALSE(hooks.empty());
  void* library = loadLibrary();
  ASSERT_NE(library, nullptr);

  for (const GatedHook& hook : hooks) {
    IMP now = method_getImplementation(class_getInstanceMethod(hook.target, hook.selector));
    EXPECT_EQ(now != hook.before, expected.on)
        << hook.enableKey << " " << sel_getName(hook.selector);
  }
  for (const auto& setting : settings::kSettings) {
    switch (setting.kind) {
      case Kind::kBool:
        EXPECT_EQ(settingOf<BOOL>(library, setting.key) != NO, expected.on) << setting.key;
        break;
      case Kind::kDouble: {
        const double value = settingOf<double>(library, setting.key);
        EXPECT_TRUE(sameReal(value, expected.real.value_or(setting.defaultNumber)))
            << setting.key << " reads " << value;
        break;
      }
      case Kind::kObject:
        EXPECT_EQ(device::stringOf(settingOf<id>(library, setting.key)), expected.text.value_or(""))
            << setting.key;
        break;
    }
  }

  // The first round makes the lookups' constant texts and keeps the file's parse; later rounds
  // must leave nothing behind.
  expectLookups(expected);
  const long live = vorla_device_live_objects();
  for (int round = 0; round < 3; ++round) expectLookups(expected);
  EXPECT_EQ(vorla_device_live_objects(), live);
}

// Every kind of property-list value, and what every key reads while holding it.
struct ValueCase {
  const char* name;
  plist::Value value;
  Readings readings;
};

const std::string kLongText(50'000, '9');

const ValueCase kValueCases[] = {
    {"Text", text("42"), {.on = true, .real = 42.0, .text = "42", .number = 42}},
    {"ColourText", text(" #0A0B0C "), {.text = " #0A0B0C ", .colour = "#0a0b0c"}},
    {"Integer", integer(7), {.on = true, .real = 7.0, .number = 7}},
    {"NegativeInteger", integer(-7), {.on = true, .real = -7.0, .number = -7}},
    {"Int64Max", integer(LLONG_MAX), {.on = true, .real = 0x1p63, .number = LLONG_MAX}},
    {"Int64Min", integer(LLONG_MIN), {.on = true, .real = -0x1p63, .number = LLONG_MIN}},
    {"Uint64Max",
     plist::Value{plist::Integer{UINT64_MAX}},
     {.on = true, .real = 0x1p64, .number = LLONG_MAX}},
    {"Real", real(-2.75), {.on = true, .real = -2.75, .number = -2}},
    {"NaN", real(NAN), {.on = true, .real = NAN, .number = 0}},
    {"Infinity", real(INFINITY), {.on = true, .real = INFINITY, .number = LLONG_MAX}},
    {"NegativeInfinity", real(-INFINITY), {.on = true, .real = -INFINITY, .number = LLONG_MIN}},
    {"True", boolean(true), {.on = true, .real = 1.0, .number = 1}},
    {"False", boolean(false), {.real = 0.0}},
    {"Date", plist::Value{plist::Date{1e9}}, {}},
    {"Data", plist::Value{plist::Data{'4', '2'}}, {}},
    {"Array", plist::Value{plist::Array{text("42")}}, {}},
    {"Dictionary", plist::Value{plist::Dictionary{{"User", integer(42)}}}, {}},
    {"EmptyText", text(""), {.text = ""}},
    {"VeryLongText",
     text(kLongText.c_str()),
     {.on = true, .real = INFINITY, .text = kLongText, .number = LLONG_MAX}},
};

// Test names and CTest's listing show each case by its name.
void PrintTo(const ValueCase* valueCase, std::ostream* out) { *out << valueCase->name; }

class EveryKeyHolding : public ::testing::TestWithParam<std::tuple<const ValueCase*, bool>> {};

TEST_P(EveryKeyHolding, ReadsItsDefinedResult) {
  const auto [valueCase, xml] = GetParam();
  EXPECT_IN_CHILD([&] {
    DeviceRoot root;
    root.writeSettings(everyKeyHolding(valueCase->value), xml);
    loadAndExpect(valueCase->readings);
  });
}

std::vector<const ValueCase*> valueCases() {
  std::vector<const ValueCase*> cases;
  for (const ValueCase& valueCase : kValueCases) cases.push_back(&valueCase);
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Values, EveryKeyHolding,
                         ::testing::Combine(::testing::ValuesIn(valueCases()), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param)->name) +
                                  (std::get<1>(info.param) ? "Xml" : "Binary");
                         });

std::string bytesOf(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

std::string storedXmlPaddedTo(std::size_t size) {
  std::string xml = plist::writeXml(plist::Value{storedSettings()});
  xml.resize(size, ' ');
  return xml;
}

std::string garbage() {
  std::mt19937 random(7);
  std::string bytes(4096, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

// The settings file in each state; only the states marked readable are read at all.
struct FileState {
  const char* name;
  bool readable;
  void (*prepare)(const DeviceRoot& root);
};

const FileState kFileStates[] = {
    {"Stored", true, [](const DeviceRoot& root) { root.writeSettings(storedSettings()); }},
    {"Missing", false, [](const DeviceRoot& root) { root.removeSettings(); }},
    {"Empty", false, [](const DeviceRoot& root) { root.writeSettingsBytes(""); }},
    {"TruncatedBinary", false,
     [](const DeviceRoot& root) {
       std::string bytes = bytesOf(plist::writeBinary(plist::Value{storedSettings()}));
       root.writeSettingsBytes(bytes.substr(0, bytes.size() - 1));
     }},
    {"TruncatedXml", false,
     [](const DeviceRoot& root) {
       std::string xml = plist::writeXml(plist::Value{storedSettings()});
       root.writeSettingsBytes(xml.substr(0, xml.rfind("</dict>")));
     }},
    {"Garbage", false, [](const DeviceRoot& root) { root.writeSettingsBytes(garbage()); }},
    {"BinaryHeaderThenGarbage", false,
     [](const DeviceRoot& root) { root.writeSettingsBytes("bplist00" + garbage()); }},
    {"TopLevelArray", false,
     [](const DeviceRoot& root) {
       root.writeSettingsBytes(
           bytesOf(plist::writeBinary(plist::Value{plist::Array{plist::Value{storedSettings()}}})));
     }},
    {"Directory", false,
     [](const DeviceRoot& root) { std::filesystem::create_directory(root.settingsPath()); }},
    {"Fifo", false, [](const DeviceRoot& root) { mkfifo(root.settingsPath().c_str(), 0644); }},
    {"SymbolicLinkToADevice", false,
     [](const DeviceRoot& root) {
       std::filesystem::create_symlink("/dev/zero", root.settingsPath());
     }},
    {"SymbolicLinkLoop", false,
     [](const DeviceRoot& root) {
       std::filesystem::create_symlink(root.settingsPath() + ".other", root.settingsPath());
       std::filesystem::create_symlink(root.settingsPath(), root.settingsPath() + ".other");
     }},
    // Root reads a file whatever its mode, as the device's root would; anyone else is refused.
    {"NoPermissions", geteuid() == 0,
     [](const DeviceRoot& root) {
       root.writeSettings(storedSettings());
       chmod(root.settingsPath().c_str(), 0);
     }},
    {"AtTheCap", true,
     [](const DeviceRoot& root) {
       root.writeSettingsBytes(storedXmlPaddedTo(plist::kMaxFileBytes));
     }},
    {"LargerThanTheCap", false,
     [](const DeviceRoot& root) {
       root.writeSettingsBytes(storedXmlPaddedTo(plist::kMaxFileBytes + 1));
     }},
};

void PrintTo(const FileState* state, std::ostream* out) { *out << state->name; }

class SettingsFileState : public ::testing::TestWithParam<const FileState*> {};

TEST_P(SettingsFileState, GivesTheStoredReadingsOrTheDefaults) {
  const FileState* state = GetParam();
  EXPECT_IN_CHILD([&] {
    DeviceRoot root;
    state->prepare(root);
    loadAndExpect(state->readable ? kStored : Readings{});
  });
}

std::vector<const FileState*> fileStates() {
  std::vector<const FileState*> states;
  for (const FileState& state : kFileStates) states.push_back(&state);
  return states;
}

INSTANTIATE_TEST_SUITE_P(States, SettingsFileState, ::testing::ValuesIn(fileStates()),
                         [](const auto& info) { return std::string(info.param->name); });

// A file replaced atomically, deleted, rewritten in place and replaced in the other format while
// lookups run: each reading is one of the values written, or the fallback while there is none.
TEST(SettingsFileChangedWhileRead, EveryReadingIsAWrittenValueOrTheFallback) {
  EXPECT_TRUE(runInChild(
      [] {
        DeviceRoot root;
        const plist::Dictionary first{{"barxx", text("#0a0b0c")}, {"User", integer(77)}};
        const plist::Dictionary second{
            {"barxx", text("#0d0e0f")}, {"User", integer(88)}, {"other", text("a longer file")}};
        root.writeSettings(first);
        ASSERT_NE(loadLibrary(), nullptr);
        colourLookup("barxx", kFallback);
        numberLookup("User");
        const long live = vorla_device_live_objects();

        std::atomic<bool> stop{false};
        std::thread writer([&] {
          for (int i = 0; !stop.load(); ++i) {
            switch (i % 4) {
              case 0:
                root.writeSettings(second);
                break;
              case 1:
                root.removeSettings();
                break;
              case 2: {
                std::ofstream inPlace(root.settingsPath(), std::ios::binary | std::ios::trunc);
                inPlace << bytesOf(plist::writeBinary(plist::Value{first}));
                break;
              }
              case 3:
                root.writeSettings(second, /*xml=*/true);
                break;
            }
          }
        });
        std::set<std::string> colours;
        std::set<long long> numbers;
        for (int i = 0; i < 5000; ++i) {
          colours.insert(colourLookup("barxx", kFallback));
          numbers.insert(numberLookup("User"));
        }
        stop = true;
        writer.join();
        const std::set<std::string> written{"#0a0b0c", "#0d0e0f", kFallback};
        const std::set<long long> writtenNumbers{77, 88, 0};
        EXPECT_TRUE(std::includes(written.begin(), written.end(), colours.begin(), colours.end()));
        EXPECT_TRUE(std::includes(writtenNumbers.begin(), writtenNumbers.end(), numbers.begin(),
                                  numbers.end()));
        EXPECT_GT(colours.size(), 1u) << "the file never changed under the lookups";

        // Once the file settles, so do the objects: the watcher drops what it held meanwhile.
        root.writeSettings(first);
        EXPECT_TRUE(eventually(
            [&] {
              return colourLookup("barxx", kFallback) == "#0a0b0c" &&
                     vorla_device_live_objects() == live;
            },
            std::chrono::seconds(1)))
            << vorla_device_live_objects() - live << " objects more than before";
      },
      120));
}

// The watcher keeps following the suite's file when its directory goes away and comes back.
TEST(PreferencesDirectory, RemovedAndRecreatedWhileTheWatcherRuns) {
  EXPECT_IN_CHILD([] {
    DeviceRoot root;
    root.writeSettings({{"tweakEnabled", boolean(true)}, {"features", real(4)}});
    void* library = loadLibrary();
    ASSERT_NE(library, nullptr);
    const std::filesystem::path directory =
        std::filesystem::path(root.settingsPath()).parent_path();
    auto reads = [&](bool on, double features) {
      return eventually(
          [&] {
            return (settingOf<BOOL>(library, "tweakEnabled") != NO) == on &&
                   settingOf<double>(library, "features") == features;
          },
          std::chrono::seconds(1));
    };
    ASSERT_TRUE(reads(true, 4));
    for (int cycle = 1; cycle <= 3; ++cycle) {
      std::filesystem::remove_all(directory);
      EXPECT_TRUE(reads(false, 1.0)) << "cycle " << cycle << ": the defaults once it is gone";
      EXPECT_EQ(numberLookup("User"), 0);
      EXPECT_EQ(colourLookup("barxx", kFallback), kFallback);

      std::filesystem::create_directories(directory);
      root.writeSettings({{"tweakEnabled", boolean(true)},
                          {"features", real(4 + cycle)},
                          {"User", integer(cycle)}});
      EXPECT_TRUE(reads(true, 4 + cycle)) << "cycle " << cycle << ": the new file once it is back";
      EXPECT_EQ(numberLookup("User"), cycle);
    }
  });
}

}  // namespace
}  // namespace vorla::testing
