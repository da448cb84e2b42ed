// The colour replacements of the system appearance: each row's own key and fallback, read from
// the settings file at every call, and the colour reaching the host or the caller.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "device/foundation/values.h"
#include "device/runtime/message.h"
#include "device/runtime/object.h"
#include "hosts/host_apps.h"
#include "hosts/model.h"
#include "tests/integration/appearance_host.h"
#include "tests/support/child_process.h"
#include "tests/support/leak_check.h"

namespace vorla::testing {
namespace {

using device::describe;
using device::send;
using hosts::callCount;
using hosts::newInstance;
using plist::Dictionary;

struct ColourRow {
  const char* enableKey;
  const char* className;
  const char* selector;
  const char* colourKey;
  const char* fallback;
  enum Use { kArgument, kResult } use;
};

void PrintTo(const ColourRow& row, std::ostream* out) {
  *out << row.className << " " << row.selector;
}

const ColourRow kColourRows[] = {
    {"3DTouch", "_UIVisualEffectContentView", "setBackgroundColor:", "3DTouch1a", "#ffdb00",
     ColourRow::kArgument},
    {"3DTouch", "_UIContextMenuActionView", "_imageTintColor", "3DTouch2a", "#0042ff",
     ColourRow::kResult},
    {"iconcolor", "UITabBar", "unselectedItemTintColor", "iconcolor1a", "#8a0000",
     ColourRow::kResult},
    {"look", "_UILegibilitySettings", "secondaryColor:", "look1a", "#ff0000", ColourRow::kArgument},
    {"look", "_UILegibilitySettings", "setPrimaryColor:", "look1a", "#ff0000",
     ColourRow::kArgument},
    {"bar1", "_UIStatusBarStyleAttributes", "textColor", "barxx", "#000000", ColourRow::kResult},
    {"bar1", "_UIBatteryView", "fillColor", "barxx", "#000000", ColourRow::kResult},
    {"bar1", "_UIStatusBar", "setForegroundColor:", "barxx", "#000000", ColourRow::kArgument},
    {"bar1", "_UIStatusBarWifiItem", "_fillColorForUpdate:", "barxx", "#000000",
     ColourRow::kResult},
    {"bar1", "_UIStatusBarWifiSignalView", "setActiveColor:", "barxx", "#000000",
     ColourRow::kArgument},
    {"colors7", "UILabel", "setTextColor:", "colors7a", "#000000", ColourRow::kArgument},
    {"colors5", "PSListController", "setTextColor:", "colors5a", "#ffb200", ColourRow::kArgument},
    {"colors4", "UITableViewCell", "setSeparatorColor:", "colors4a", "#cd0000",
     ColourRow::kArgument},
    {"colors3", "UITableView", "setBackgroundColor:", "colors3a", "#ffaa00", ColourRow::kArgument},
    {"colors3", "UITableViewCell", "setBackgroundColor:", "colors3a", "#ffffff",
     ColourRow::kArgument},
    {"colors2", "UISearchBarTextFieldLabel", "setTextColor:", "colors2a", "#000000",
     ColourRow::kArgument},
    {"colors1", "UISearchBarTextField", "setBackgroundColor:", "colors1a", "#be0000",
     ColourRow::kArgument},
    {"vv2", "_UILegibilitySettings", "setSecondaryColor:", "ORVIK2", "#ff9f00",
     ColourRow::kArgument},
    {"vvm", "UISwitchModernVisualElement", "_effectiveTintColor", "YourCustomColour1m", "#ff0000",
     ColourRow::kResult},
    {"vvm", "UISwitchModernVisualElement", "_effectiveOnTintColor", "YourCustomColour2m", "#00ff0e",
     ColourRow::kResult},
};

// Calls the row's method as the host would, `hostArgument` being the colour a setter is given
// or the update `_fillColorForUpdate:` is asked about, and returns the colour that reached the
// host (setters, whose host method must run once per call) or the caller (getters, whose host
// method must not run).
std::string colourThrough(const ColourRow& row, id receiver, id hostArgument) {
  long callsBefore = callCount(receiver, row.selector);
  if (row.use == ColourRow::kArgument) {
    send(receiver, row.selector, hostArgument);
    EXPECT_EQ(callCount(receiver, row.selector), callsBefore + 1) << row.selector;
    return received(receiver, row.selector);
  }
  bool takesArgument = std::strchr(row.selector, ':') != nullptr;
  id answer = takesArgument ? send<id>(receiver, row.selector, hostArgument)
                            : send<id>(receiver, row.selector);
  EXPECT_EQ(callCount(receiver, row.selector), 0) << row.selector;
  return describe(answer);
}

class ColourRowTest : public ::testing::TestWithParam<ColourRow> {};

TEST_P(ColourRowTest, FallbackUntilAColourIsStoredThenEachChangeAtTheNextCall) {
  const ColourRow row = GetParam();
  EXPECT_IN_CHILD([row] {
    DeviceRoot root;
    loadWith(root, {{row.enableKey, boolean(true)}});
    id receiver = newInstance(row.className);
    id host = hostArgumentColour();
    EXPECT_EQ(colourThrough(row, receiver, host), row.fallback) << "no colour key";
    root.removeSettings();
    EXPECT_EQ(colourThrough(row, receiver, host), row.fallback) << "no settings file";
    root.writeSettings({{row.colourKey, text("#123456")}});
    EXPECT_EQ(colourThrough(row, receiver, host), "#123456");
    root.writeSettings({{row.colourKey, text("#FEDCBA")}});
    EXPECT_EQ(colourThrough(row, receiver, nil), "#fedcba");
    root.writeSettings({{row.colourKey, integer(0x123456)}});
    EXPECT_EQ(colourThrough(row, receiver, host), row.fallback) << "no colour text";
  });
}

INSTANTIATE_TEST_SUITE_P(Appearance, ColourRowTest, ::testing::ValuesIn(kColourRows),
                         [](const auto& info) {
                           std::string name =
                               std::string(info.param.className) + "_" + info.param.selector;
                           std::erase(name, ':');
                           return name;
                         });

TEST(Labels, ASearchFieldLabelInheritingItsSetterEndsWithTheLabelColour) {
  EXPECT_IN_CHILD([] {
    DeviceRoot root;
    loadWith(root, {{"colors7", boolean(true)},
                    {"colors2", boolean(true)},
                    {"colors7a", text("#123456")},
                    {"colors2a", text("#abcdef")}});
    id label = newInstance("UISearchBarTextFieldLabel");
    send(label, "setTextColor:", hostArgumentColour());
    EXPECT_EQ(callCount(label, "setTextColor:"), 1);
    EXPECT_EQ(received(label, "setTextColor:"), "#123456");
  });
}

TEST(Appearance, ManyColoursAndLayoutsLeaveNoObjectBehind) {
  EXPECT_IN_CHILD(([] {
    DeviceRoot root;
    Dictionary settings = {{"tweakEnabled2", boolean(true)}, {"features2", real(14.0)}};
    std::set<std::string> keys;
    for (const ColourRow& row : kColourRows) keys.insert(row.enableKey);
    for (const std::string& key : keys) settings.emplace_back(key, boolean(true));
    settings.emplace_back("barxx", text("#123456"));
    loadWith(root, settings);
    std::vector<std::pair<const ColourRow*, id>> receivers;
    for (const ColourRow& row : kColourRows)
      receivers.emplace_back(&row, newInstance(row.className));
    id keyboard = newInstance("UIKeyboardImpl");
    id host = hostArgumentColour();
    expectNothingLeftBehind(
        [&] {
          for (auto& [row, receiver] : receivers) colourThrough(*row, receiver, host);
          send(keyboard, "layoutSubviews");
        },
        200);
  }));
}

}  // namespace
}  // namespace vorla::testing
