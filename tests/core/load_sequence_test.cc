// The library's load sequence, row by row, against the sequence written out independently.
#include "tweak/core/load_sequence.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "tests/support/expected_load_sequence.h"

namespace vorla::core {
namespace {

std::string nameOf(const char* text) { return text ? text : "(none)"; }

TEST(LoadSequence, EveryConstructorAndHookInOrder) {
  auto actual = loadSequence();
  const auto& expected = testing::expectedLoadSequence();
  ASSERT_EQ(actual.size(), expected.size());
  std::size_t hooks = 0;
  for (std::size_t c = 0; c < expected.size(); ++c) {
    const Constructor& constructor = *actual[c];
    const auto& want = expected[c];
    SCOPED_TRACE("constructor " + std::to_string(want.number));
    EXPECT_EQ(constructor.number, want.number);
    EXPECT_EQ(nameOf(constructor.enableKey), nameOf(want.enableKey));
    EXPECT_EQ(constructor.prepare != nullptr, want.enableKey == nullptr)
        << "only the last constructor registers the settings";
    ASSERT_EQ(constructor.hooks.size(), want.hooks.size());
    for (std::size_t h = 0; h < want.hooks.size(); ++h) {
      const Hook& hook = constructor.hooks[h];
      EXPECT_STREQ(hook.className, want.hooks[h].className) << "hook " << h + 1;
      EXPECT_STREQ(hook.selector, want.hooks[h].selector) << "hook " << h + 1;
      EXPECT_EQ(hook.kind == MethodKind::kClass, want.hooks[h].classMethod) << "hook " << h + 1;
    }
    hooks += constructor.hooks.size();
  }
  EXPECT_EQ(hooks, 107u);
}

TEST(LoadSequence, EveryHookHasASlotOfItsOwn) {
  std::set<const HookSlot*> slots;
  std::set<std::pair<std::string, std::string>> pairs;
  for (const Constructor* constructor : loadSequence()) {
    for (const Hook& hook : constructor->hooks) {
      EXPECT_TRUE(slots.insert(hook.slot).second) << hook.className << " " << hook.selector;
      EXPECT_TRUE(pairs.insert({hook.className, hook.selector}).second)
          << "hooked twice: " << hook.className << " " << hook.selector;
    }
  }
  EXPECT_EQ(slots.size(), 107u);
}

}  // namespace
}  // namespace vorla::core
