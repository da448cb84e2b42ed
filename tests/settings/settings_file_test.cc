// The per-call colour and number lookups, against the device layer's services.
#include "tweak/settings/settings_file.h"

#include <gtest/gtest.h>

#include <climits>

#include "device/foundation/values.h"
#include "device/runtime/object.h"
#include "tests/support/device_root.h"
#include "tweak/host/autorelease_pool.h"

namespace vorla::settings {
namespace {

using testing::boolean;
using testing::DeviceRoot;
using testing::integer;
using testing::real;
using testing::text;

// A string for one call, released afterwards.
struct Text {
  explicit Text(const char* text) : object(device::newString(text)) {}
  ~Text() { device::releaseObject(object); }
  id object;
};

std::string colour(const char* key, const char* fallback) {
  host::AutoreleasePool pool;
  Text k(key), f(fallback);
  auto rgba = device::colourOf(colourSetting(k.object, f.object));
  return rgba ? text::formatColourText(*rgba) : "<not a colour>";
}

long long number(const char* key) {
  host::AutoreleasePool pool;
  Text k(key);
  return numberSetting(k.object);
}

TEST(ColourSetting, FallbacksWithNoFileNoKeyOrNoColour) {
  DeviceRoot root;
  EXPECT_EQ(colour("colors3a", "#ffaa00"), "#ffaa00");
  EXPECT_EQ(colour("colors3a", "#ffffff"), "#ffffff");
  root.writeSettings({{"other", text("#123456")}});
  EXPECT_EQ(colour("colors3a", "#ffaa00"), "#ffaa00");
  for (const plist::Value& notAColour :
       {text("red-ish"), text(""), text("#12345"), integer(0xff0000), real(1.0), boolean(true),
        plist::Value{plist::Array{text("#00ff00")}}, plist::Value{plist::Data{0xff}}}) {
    root.writeSettings({{"colors3a", notAColour}});
    EXPECT_EQ(colour("colors3a", "#ffaa00"), "#ffaa00");
  }
}

TEST(ColourSetting, StoredColoursInEveryAcceptedForm) {
  DeviceRoot root;
  const std::pair<const char*, const char*> forms[] = {
      {"#00FF00", "#00ff00"},        {"#0f0", "#00ff00"},
      {"#00ff0080", "#00ff0080"},    {"#00ff00:0.5", "#00ff0080"},
      {"rgb(0, 255, 0)", "#00ff00"}, {"rgba(0,255,0,0.5)", "#00ff0080"},
      {"cyan", "#00ffff"},
  };
  for (auto [stored, expected] : forms) {
    root.writeSettings({{"barxx", text(stored)}});
    EXPECT_EQ(colour("barxx", "#000000"), expected) << stored;
  }
}

TEST(ColourSetting, BothFormatsAndAChangeOnDiskAtTheNextCall) {
  DeviceRoot root;
  root.writeSettings({{"colors7a", text("#010203")}}, /*xml=*/true);
  EXPECT_EQ(colour("colors7a", "#000000"), "#010203");
  root.writeSettings({{"colors7a", text("#040506")}});
  EXPECT_EQ(colour("colors7a", "#000000"), "#040506");
  root.removeSettings();
  EXPECT_EQ(colour("colors7a", "#000000"), "#000000");
}

TEST(NumberSetting, IntegerReadings) {
  DeviceRoot root;
  EXPECT_EQ(number("watchr"), 0) << "no file";
  root.writeSettings({{"User", integer(250)}});
  EXPECT_EQ(number("watchr"), 0) << "no key";
  EXPECT_EQ(number("User"), 250);
  const std::pair<plist::Value, long long> readings[] = {
      {integer(-42), -42},
      {integer(LLONG_MIN), LLONG_MIN},
      {text("1234"), 1234},
      {text("  -7 apples"), -7},
      {text("many"), 0},
      {real(2.9), 2},
      {real(-2.9), -2},
      {boolean(true), 1},
      {plist::Value{plist::Array{integer(5)}}, 0},
      {plist::Value{plist::Dictionary{{"n", integer(5)}}}, 0},
      {plist::Value{plist::Date{5}}, 0},
  };
  for (const auto& [stored, expected] : readings) {
    root.writeSettings({{"User", stored}});
    EXPECT_EQ(number("User"), expected);
  }
}

TEST(Lookups, NothingIsLeftAliveAfterManyCalls) {
  DeviceRoot root;
  root.writeSettings({{"barxx", text("#ff0000")}, {"User", integer(3)}});
  colour("barxx", "#000000");  // the first call makes the constant strings and the cached parse
  number("User");
  long before = vorla_device_live_objects();
  for (int i = 0; i < 2000; ++i) {
    colour("barxx", "#000000");
    number("User");
    colour("missing", "#123456");
  }
  EXPECT_EQ(vorla_device_live_objects(), before);
}

}  // namespace
}  // namespace vorla::settings
