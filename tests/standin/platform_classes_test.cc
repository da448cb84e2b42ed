// The stand-in's platform classes through the runtime: nil and missing answers, the settings
// file's parse kept while its bytes stay, reference counting and the colour utility.
#include <gtest/gtest.h>

#include "standin/foundation/values.h"
#include "standin/runtime/message.h"
#include "standin/runtime/object.h"
#include "tests/support/device_root.h"

namespace vorla::standin {
namespace {

using testing::DeviceRoot;

// Everything autoreleased inside a test body is released at its end.
class Pool {
 public:
  Pool() { pushAutoreleasePool(); }
  ~Pool() { popAutoreleasePool(); }
};

id string(const char* text) { return sendToClass<id>("NSString", "stringWithUTF8String:", text); }

TEST(Foundation, NilAndMissingAnswersAreZero) {
  Pool pool;
  EXPECT_EQ(send<double>(nil, "doubleValue"), 0.0);
  EXPECT_EQ(sendToClass<id>("NSString", "stringWithUTF8String:", static_cast<const char*>(nullptr)),
            nil);
  EXPECT_EQ(send<BOOL>(string("x"), "respondsToSelector:", sel_registerName("count")), NO);
  EXPECT_EQ(send<BOOL>(string("x"), "respondsToSelector:", sel_registerName("boolValue")), YES);
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
  CGFloat red = -1, alpha = -1;
  id colourObject = sendToClass<id>("UIColor", "colorWithRed:green:blue:alpha:", CGFloat{0.25},
                                    CGFloat{0.5}, CGFloat{0.75}, CGFloat{1});
  EXPECT_EQ(send<BOOL>(colourObject, "getRed:green:blue:alpha:", &red,
                       static_cast<CGFloat*>(nullptr), static_cast<CGFloat*>(nullptr), &alpha),
            YES);
  EXPECT_EQ(red, 0.25);
  EXPECT_EQ(alpha, 1.0);
}

}  // namespace
}  // namespace vorla::standin
