// A thread that never pushes an autorelease pool keeps only the latest objects it autoreleases,
// and releases them all when it ends, with whatever those releases autorelease in turn.
#include <gtest/gtest.h>

#include <thread>

#include "standin/runtime/object.h"

namespace vorla::standin {
namespace {

Class plainClass() { return objc_getClass("NSObject"); }

// A dealloc that autoreleases, as many do.
struct AutoreleasingBody : Body {
  ~AutoreleasingBody() override { autoreleaseObject(createObject(plainClass())); }
};

TEST(PoolLessThread, KeepsTheLatestAndReleasesEverythingWhenItEnds) {
  struct Row {
    std::size_t count;
    bool autoreleasingDealloc;
  };
  // Powers of two fill a growing array exactly, so an autorelease at its end must grow it.
  for (auto [count, autoreleasing] :
       {Row{3 * kPoolLessAutoreleaseLimit, false}, Row{1, true}, Row{64, true}, Row{1024, true}}) {
    long before = liveObjectCount();
    long alive = 0;
    std::thread([&] {
      for (std::size_t i = 0; i < count; ++i) {
        auto body = autoreleasing ? std::make_unique<AutoreleasingBody>() : nullptr;
        autoreleaseObject(createObject(plainClass(), std::move(body)));
      }
      alive = liveObjectCount() - before;
    }).join();
    EXPECT_EQ(alive, static_cast<long>(std::min(count, kPoolLessAutoreleaseLimit))) << count;
    EXPECT_EQ(liveObjectCount(), before) << count << " left alive after the thread ended";
  }
}

}  // namespace
}  // namespace vorla::standin
