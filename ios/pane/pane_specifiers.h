// The device's settings pane for the suite, as the Settings app's preference loader reads it
// from /Library/PreferenceLoader/Preferences/VorlaPro.plist, built from the key catalogue so
// that the pane offers exactly the keys the library reads, with the library's own defaults.
#pragma once

#include <string>
#include <vector>

#include "standin/plist/plist_value.h"
#include "tools/common/key_catalogue.h"

namespace vorla::pane {

// The pane's name in Settings and on its page.
inline constexpr const char* kPaneTitle = "VorlaPro";

// The value a key's control shows while the key is unset: what the library uses then, as the
// property-list value the pane stores for it. Throws std::logic_error for a default the library
// could not have (the catalogue and the pane would disagree).
plist::Value unsetValue(const tools::KeyInfo& key);

// The pane: `entry` (its row in Settings), `title` and `items`, one group per app and, per key,
// its control followed by a line saying what it does, what applies while it is unset and when a
// change applies. The values a switch's meaning names follow the switch at once.
plist::Value settingsPane(const std::vector<tools::KeyInfo>& catalogue);

}  // namespace vorla::pane
