// The constructors of each feature group, and the rows each group adds to the last constructor.
#pragma once

#include "tweak/core/hook_table.h"

namespace vorla::features {

using core::Constructor;
using core::Hook;

// Safari: tab bar, bookmarks bar, tab overview, web content in the background.
const Constructor& tabBariPad();
const Constructor& bookmarksBar();
const Constructor& safariSwitcher();
const Constructor& sfare();

// Cydia: appearance and background behaviour.
const Constructor& cydiadark();
const Constructor& cydia();

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
