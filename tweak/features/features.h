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

// SpringBoard: lock screen and home screen.
const Constructor& lok();
const Constructor& time();
const Constructor& flash();
const Constructor& camera();
const Constructor& dot();
const Constructor& vv3();
const Constructor& dock();

// SpringBoard, rows of the last constructor: the teachable-moments text, the home indicator,
// the SIM status and the app switcher.
core::Hook teachableMomentsText();
core::Hook homeIndicatorHeight();
core::Hook homeIndicatorMinWidth();
core::Hook simStatusString();
core::Hook switcherStyle();
core::Hook switcherCardShadowOpacity();
core::Hook switcherCardShadowOffset();
core::Hook switcherCardShadowRadius();
core::Hook gridSwitcherPageScale();

}  // namespace vorla::features
