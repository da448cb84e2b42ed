// The constructors of each feature group, and the rows each group adds to the last constructor.
#pragma once

#include "tweak/core/hook_table.h"

namespace vorla::features {

using core::Constructor;

// Safari: tab bar, bookmarks bar, tab overview, web content in the background.
const Constructor& tabBariPad();
const Constructor& bookmarksBar();
const Constructor& safariSwitcher();
const Constructor& sfare();

// Cydia: appearance and background behaviour.
const Constructor& cydiadark();
const Constructor& cydia();

}  // namespace vorla::features
