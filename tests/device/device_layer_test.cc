// The device layer's platform classes through the runtime: Foundation's readings, files that are
// no settings file, reference counting and the preferences service.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "device/foundation/values.h"
#include "device/runtime/message.h"
#include "device/runtime/object.h"
#include "tests/support/device_root.h"

namespace vorla::device {
namespace {

using testing::DeviceRoot;

// Everything autoreleased inside a test body is released at its end.
class Pool {
 public:
  Pool() { pushAutoreleasePool(); }
  ~Pool() { popAutoreleasePool(); }
};

id string(const char* text) { return sendToClass<id>("NSString", "stringWithUTF8String:", text); }

TEST(Foundation, TextReadings) {
  Pool pool;
  EXPECT_EQ(send<BOOL>(string("  +007"), "boolValue"), YES);
  EXPECT_EQ(send<BOOL>(string("no"), "boolValue"), NO);
  EXPECT_EQ(send<long long>(string("99999999999999999999"), "longLongValue"), LLONG_MAX);
  EXPECT_EQ(send<double>(string("2.5e1x"), "doubleValue"), 25.0);
  EXPECT_EQ(send<unsigned long>(string("a😀"), "length"), 3u) << "UTF-16 units";
  EXPECT_EQ(send<BOOL>(string("abc"), "isEqual:", string("abc")), YES);
  EXPECT_EQ(send<BOOL>(string("abc"), "isEqualToString:", string("abd")), NO);
}

TEST(Foundation, NumberReadings) {
  Pool pool;
  id big = sendToClass<id>("NSNumber", "numberWithDouble:", 1e300);
  EXPECT_EQ(send<long long>(big, "longLongValue"), LLONG_MAX);
  id nan = sendToClass<id>("NSNumber", "numberWithDouble:", std::nan(""));
  EXPECT_EQ(send<long long>(nan, "longLongValue"), 0);
  id negative = sendToClass<id>("NSNumber", "numberWithDouble:", -3.99);
  EXPECT_EQ(send<long long>(negative, "longLongValue"), -3);
  id no = sendToClass<id>("NSNumber", "numberWithBool:", NO);
  EXPECT_EQ(send<BOOL>(no, "boolValue"), NO);
  EXPECT_EQ(send<BOOL>(sendToClass<id>("NSNumber", "numberWithLongLong:", -1LL), "boolValue"), YES);
}

TEST(Foundation, NilAndMissingAnswersAreZero) {
  Pool pool;
  EXPECT_EQ(send<double>(nil, "doubleValue"), 0.0);
  EXPECT_EQ(sendToClass<id>("NSString", "stringWithUTF8String:", static_cast<const char*>(nullptr)),
            nil);
  EXPECT_EQ(send<BOOL>(string("x"), "respondsToSelector:", sel_registerName("count")), NO);
  EXPECT_EQ(send<BOOL>(string("x"), "respondsToSelector:", sel_registerName("boolValue")), YES);
}

TEST(Files, ThingsThatAreNoSettingsFileReadAsNone) {
  Pool pool;
  DeviceRoot root;
  auto read = [] {
    return sendToClass<id>("NSDictionary", "dictionaryWithContentsOfFile:",
                           string("/var/mobile/Library/Preferences/com.pellobrast.vorla.plist"));
  };
  EXPECT_EQ(read(), nil) << "missing";
  root.writeSettingsBytes("");
  EXPECT_EQ(read(), nil) << "empty";
  root.writeSettings({{"a", testing::text("b")}});
  EXPECT_NE(read(), nil);
  root.writeSettingsBytes(std::string(100, '\0'));
  EXPECT_EQ(read(), nil) << "garbage";

  root.removeSettings();
  ASSERT_EQ(mkfifo(root.settingsPath().c_str(), 0600), 0);
  EXPECT_EQ(read(), nil) << "a FIFO with no writer must not block";
  std::filesystem::remove(root.settingsPath());
  std::filesystem::create_directory(root.settingsPath());
  EXPECT_EQ(read(), nil) << "a directory";
  std::filesystem::remove(root.settingsPath());
  std::filesystem::create_symlink("/dev/zero", root.settingsPath());
  EXPECT_EQ(read(), nil) << "a device";
  std::filesystem::remove(root.settingsPath());
  {
    std::ofstream huge(root.settingsPath(), std::ios::binary);
    huge.seekp(64 * 1024 * 1024);
    huge.put('\0');
  }
  EXPECT_EQ(read(), nil) << "over the size cap";
  std::filesystem::remove(root.settingsPath());
  root.writeSettingsBytes(
      "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>x</string></array></plist>");
  EXPECT_EQ(read(), nil) << "top level not a dictionary";
}

TEST(Files, AnUnchangedFileKeepsItsParseAndAChangedOneIsReadAgain) {
  Pool pool;
  DeviceRoot root;
  id path = string("/var/mobile/Library/Preferences/com.pellobrast.vorla.plist");
  root.writeSettings({{"k", testing::text("one")}});
  id first = sendToClass<id>("NSDictionary", "dictionaryWithContentsOfFile:", path);
  id again = sendToClass<id>("NSDictionary", "dictionaryWithContentsOfFile:", path);
  EXPECT_EQ(first, again);
  root.writeSettings({{"k", testing::text("two")}});
  id changed = sendToClass<id>("NSDictionary", "dictionaryWithContentsOfFile:", path);
  EXPECT_EQ(describe(send<id>(changed, "objectForKey:", string("k"))), "\"two\"");
  EXPECT_EQ(describe(send<id>(first, "objectForKey:", string("k"))), "\"one\"")
      << "a dictionary already handed out never changes";
}

TEST(ReferenceCounting, PoolsReleaseWhatWasAutoreleased) {
  long before = liveObjectCount();
  {
    Pool pool;
    for (int i = 0; i < 100; ++i) string("transient");
    EXPECT_EQ(liveObjectCount(), before + 100);
  }
  EXPECT_EQ(liveObjectCount(), before);
  id kept = newString("kept");
  retainObject(kept);
  releaseObject(kept);
  EXPECT_EQ(liveObjectCount(), before + 1);
  releaseObject(kept);
  EXPECT_EQ(liveObjectCount(), before);
}

TEST(Colours, ColourUtilityTakesTheValueOrTheFallback) {
  Pool pool;
  auto colour = [](id value, const char* fallback) {
    id result = sendToClass<id>("SparkColourPickerUtils", "colourWithString:withFallback:", value,
                                string(fallback));
    return describe(result);
  };
  EXPECT_EQ(colour(string("#abcdef"), "#000000"), "#abcdef");
  EXPECT_EQ(colour(nil, "#ff9f00"), "#ff9f00");
  EXPECT_EQ(colour(sendToClass<id>("NSNumber", "numberWithLongLong:", 5LL), "#ff9f00"), "#ff9f00");
  EXPECT_EQ(describe(sendToClass<id>("UIColor", "yellowColor")), "#ffff00");
  double red = -1, alpha = -1;
  id colourObject =
      sendToClass<id>("UIColor", "colorWithRed:green:blue:alpha:", 0.25, 0.5, 0.75, 1.0);
  EXPECT_EQ(send<BOOL>(colourObject, "getRed:green:blue:alpha:", &red,
                       static_cast<double*>(nullptr), static_cast<double*>(nullptr), &alpha),
            YES);
  EXPECT_EQ(red, 0.25);
  EXPECT_EQ(alpha, 1.0);
}

}  // namespace
}  // namespace vorla::device
