// The library's load sequence, row by row, against the sequence written out independently.
#include "tweak/load_sequence.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "tests/support/expected_load_sequence.h"

namespace vorla::core {
namespace {

std::string nameOf(const char* text) { return text ? text : "(none)"; }

TEST(LoadSequence, EveryConstructorAndHookInOrder) {
  auto actual = vorla::loadSequence();
  const auto& expected = testing::expectedLoadSequence();
  ASSERT_EQ(actual.size(), expected.size());
  std::size_t hooks = 0;
  for (std::size_t c = 0; c < expected.size(); ++c) {
    const Constructor& constructor = *actual[c];
    const auto& want = expected[c];
    SCOPED_TRACE("constructor " + std::to_string(want.number));
    EXPECT_EQ(static_cast<int>(c) + 1, want.number) << "a constructor's number is its position";
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
  for (const Constructor* constructor : vorla::loadSequence()) {
    for (const Hook& hook : constructor->hooks) {
      EXPECT_TRUE(slots.insert(hook.slot).second) << hook.className << " " << hook.selector;
      EXPECT_TRUE(pairs.insert({hook.className, hook.selector}).second)
          << "hooked twice: " << hook.className << " " << hook.selector;
    }
  }
  EXPECT_EQ(slots.size(), 107u);
}

// The settings-file keys, as the tools read them from the hooks: every colour row with its
// fallback and the two count rows, and no other hook.
TEST(LoadSequence, HooksNameTheSettingsFileKeysTheyRead) {
  const std::set<std::string> expected = {
      "_UIVisualEffectContentView setBackgroundColor: 3DTouch1a #ffdb00",
      "_UIContextMenuActionView _imageTintColor 3DTouch2a #0042ff",
      "UITabBar unselectedItemTintColor iconcolor1a #8a0000",
      "_UILegibilitySettings secondaryColor: look1a #ff0000",
      "_UILegibilitySettings setPrimaryColor: look1a #ff0000",
      "PHHandsetDialerNumberPadButton setColor: Numberclor4 #ff0000",
      "CNContactStyle setContactHeaderBackgroundColor: NumberPadButton3 #ff0000",
      "PHBottomBarButton setBackgroundColor: call2 #ff0000",
      "_UIStatusBarStyleAttributes textColor barxx #000000",
      "_UIBatteryView fillColor barxx #000000",
      "_UIStatusBar setForegroundColor: barxx #000000",
      "_UIStatusBarWifiItem _fillColorForUpdate: barxx #000000",
      "_UIStatusBarWifiSignalView setActiveColor: barxx #000000",
      "UILabel setTextColor: colors7a #000000",
      "PSListController setTextColor: colors5a #ffb200",
      "UITableViewCell setSeparatorColor: colors4a #cd0000",
      "UITableView setBackgroundColor: colors3a #ffaa00",
      "UITableViewCell setBackgroundColor: colors3a #ffffff",
      "UISearchBarTextFieldLabel setTextColor: colors2a #000000",
      "UISearchBarTextField setBackgroundColor: colors1a #be0000",
      "_UILegibilitySettings setSecondaryColor: ORVIK2 #ff9f00",
      "SBMutableIconLabelImageParameters setTextColor: ORVIK3 #ff9f00",
      "UISwitchModernVisualElement _effectiveTintColor YourCustomColour1m #ff0000",
      "UISwitchModernVisualElement _effectiveOnTintColor YourCustomColour2m #00ff0e",
      "IGFeedItem viewerCount watchr (count)",
      "TFNTwitterUser numberOfFollowers User (count)",
  };
  std::set<std::string> actual;
  for (const Constructor* constructor : vorla::loadSequence()) {
    for (const Hook& hook : constructor->hooks) {
      if (hook.fileKey.key == nullptr) {
        EXPECT_EQ(hook.fileKey.fallback, nullptr) << hook.className << " " << hook.selector;
        continue;
      }
      actual.insert(std::string(hook.className) + " " + hook.selector + " " + hook.fileKey.key +
                    " " + (hook.fileKey.fallback ? hook.fileKey.fallback : "(count)"));
    }
  }
  EXPECT_EQ(actual, expected);
}

}  // namespace
}  // namespace vorla::core
