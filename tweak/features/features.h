// The constructors of each feature group, and the rows each group adds to the last constructor.
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

// System appearance: the keyboard, and its background row of the last constructor.
const Constructor& ribbon();
const Constructor& keyboard1();
Hook keyboardBackground();
// Phone and Contacts: keypad, contact header and bottom-bar colours, call history, snapshots.
const Constructor& numberclor();
const Constructor& numberPadButton();
const Constructor& call();
const Constructor& hedncall();
const Constructor& hidenames();
// Row of the last constructor: which Phone tabs are shown.
Hook phoneTabs();

// Messages (rows of the last constructor): the conversation list's title and cell height.
Hook conversationListTitle();
Hook conversationCellHeight();

// Camera: zoom limit and capabilities.
const Constructor& camera3();
const Constructor& camera1();

// Photos (rows of the last constructor): video muting, delete confirmation, library tabs,
// asset queries and debug displays.
Hook videoPlayerSetMuted();
Hook videoPlayerIsMuted();
Hook viewModelAutoplayVideoMuted();
Hook viewModelSetAutoplayVideoMuted();
Hook viewModelIsAutoplayVideoMuted();
Hook skipDeleteConfirmation();
Hook searchTab();
Hook forYouTab();
Hook underscoredContainsAnyAssets();
Hook containsAnyAssets();
Hook perfDebugHUD();
Hook reframeDebugHUD();
Hook perspectiveViewDebugCrop();

// Settings app: list layout; rows of the last constructor: the About page's version and model,
// and list titles.
const Constructor& editWatchq();
Hook aboutVersion();
Hook aboutModelName();
Hook listTitle();

// Social apps: viewer and follower counts; row of the last constructor: the nested action
// button.
const Constructor& editWatchr();
const Constructor& enableUser();
Hook nestedActionButton();

}  // namespace vorla::features
