// Scenarios that load the library need a fresh process each: hooks are never removed. The body
// runs in a forked child; its test failures are printed there and make it exit non-zero.
#pragma once

#include <functional>
#include <string>

namespace vorla::testing {

// Runs `body` in a child process and returns true when it finished without a test failure
// within `timeoutSeconds`. Call before the parent starts any thread.
bool runInChild(const std::function<void()>& body, unsigned timeoutSeconds = 30);

}  // namespace vorla::testing

// Variadic, so that a body holding braced lists with commas needs no extra parentheses.
#define EXPECT_IN_CHILD(...) EXPECT_TRUE(::vorla::testing::runInChild(__VA_ARGS__))
