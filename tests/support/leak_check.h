// Whether hooked calls leave objects behind: `round` runs once to settle constants and caches,
// then `rounds` more times, each inside an autorelease pool as a host's run loop would drain it;
// the count of live objects must not move.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "device/runtime/object.h"

namespace vorla::testing {

inline void expectNothingLeftBehind(const std::function<void()>& round, int rounds) {
  auto pooled = [&] {
    device::pushAutoreleasePool();
    round();
    device::popAutoreleasePool();
  };
  pooled();
  long before = device::liveObjectCount();
  for (int i = 0; i < rounds; ++i) pooled();
  EXPECT_EQ(device::liveObjectCount(), before)
      << "objects left behind after " << rounds << " rounds";
}

}  // namespace vorla::testing
