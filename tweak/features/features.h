// The constructors of each feature group, in the order of the load sequence's groups.
#pragma once

#include "tweak/core/hook_table.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::features {

using core::Constructor;
using core::Hook;
using settings::kEveryApp;

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

// System appearance: battery and status bar.
const Constructor& chargingrate();
const Constructor& batteryIcon();
const Constructor& bar1();

// System appearance: labels, tables and search fields.
const Constructor& colors7();
const Constructor& colors5();
const Constructor& colors4();
const Constructor& colors3Tables();
const Constructor& colors3Cells();
const Constructor& colors2();
const Constructor& colors1();

// System appearance: legibility, context menus, tab bars, bars and switches.
const Constructor& threeDTouch();
const Constructor& ui();
const Constructor& iconcolor();
const Constructor& look();
const Constructor& hidebar();
const Constructor& vv2();
const Constructor& vvm();

// System appearance: the keyboard.
const Constructor& ribbon();
const Constructor& keyboard1();

// Phone and Contacts: keypad, contact header and bottom-bar colours, call history, snapshots.
const Constructor& numberclor();
const Constructor& numberPadButton();
const Constructor& call();
const Constructor& hedncall();
const Constructor& hidenames();

// Camera: zoom limit and capabilities.
const Constructor& camera3();
const Constructor& camera1();

// Settings app: list layout.
const Constructor& editWatchq();

// Social apps: viewer and follower counts.
const Constructor& editWatchr();
const Constructor& enableUser();

// The last constructor, without an enable key: the settings registration, then the rows of every
// app that follow a registered switch or value (tweak/features/last_constructor.cc).
const Constructor& lastConstructor();

}  // namespace vorla::features
