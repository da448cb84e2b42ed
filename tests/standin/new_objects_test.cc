// Every platform class answers its selectors for an object made with `new`, or `alloc` and
// `init`: the empty value of its kind, as the platform gives it.
#include <gtest/gtest.h>

#include "standin/foundation/values.h"
#include "standin/runtime/message.h"
#include "standin/runtime/object.h"

namespace vorla::standin {
namespace {

id key() { return sendToClass<id>("NSString", "stringWithUTF8String:", "key"); }

struct Row {
  const char* className;
  const char* described;
  double (*reading)(id object);
  double expected;
};

const Row kRows[] = {
    {"NSString", "\"\"", [](id s) -> double { return send<unsigned long>(s, "length"); }, 0},
    {"NSNumber", "0", [](id n) -> double { return send<long long>(n, "longLongValue"); }, 0},
    {"NSDictionary", "{}", [](id d) -> double { return send<unsigned long>(d, "count"); }, 0},
    {"NSArray", "()", [](id a) -> double { return send<unsigned long>(a, "count"); }, 0},
    {"NSData", "<0 bytes>", [](id d) -> double { return send<unsigned long>(d, "length"); }, 0},
    // Made now, which is well after 2023 (seven hundred million seconds after 2001).
    {"NSDate", "<date>",
     [](id d) -> double { return send<double>(d, "timeIntervalSinceReferenceDate") > 7e8; }, 1},
    {"UIColor", "#00000000",
     [](id c) -> double {
       CGFloat alpha = -1;
       return send<BOOL>(c, "getRed:green:blue:alpha:", nullptr, nullptr, nullptr, &alpha) + alpha;
     },
     1},
    {"HBPreferences", "<HBPreferences>",
     [](id p) {
       static double number;  // registered variables live as long as the process
       number = -1;
       send(p, "registerDouble:default:forKey:", &number, 2.5, key());
       return number + (send<id>(p, "objectForKey:", key()) != nil);
     },
     2.5},
};

TEST(NewObjects, AnswerWithTheEmptyValueOfTheirKind) {
  for (bool viaNew : {true, false}) {
    for (const Row& row : kRows) {
      long before = liveObjectCount();
      pushAutoreleasePool();
      id object = viaNew ? sendToClass<id>(row.className, "new")
                         : send<id>(sendToClass<id>(row.className, "alloc"), "init");
      EXPECT_EQ(describe(object), row.described) << row.className;
      EXPECT_EQ(row.reading(object), row.expected) << row.className << (viaNew ? " new" : "");
      send(object, "release");
      popAutoreleasePool();
      EXPECT_EQ(liveObjectCount(), before) << row.className;
    }
  }
}

}  // namespace
}  // namespace vorla::standin
