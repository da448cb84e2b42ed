// The Phone app and the contacts framework: keypad, contact header and bottom-bar colours from
// the settings file, a call history that never creates its store, contact snapshots that never
// get a filter or a data source, and Phone tabs hidden by a registered setting.
#include "tweak/core/replacements.h"
#include "tweak/features/coded_settings.h"
#include "tweak/features/features.h"
#include "tweak/features/setting_shapes.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::features {

using namespace core;

const Constructor& numberclor() {
  static const Constructor constructor{"Numberclor",
                                       "phone",
                                       "Phone keypad buttons in colour Numberclor4",
                                       nullptr,
                                       {
                                           hook<"PHHandsetDialerNumberPadButton", "setColor:",
                                                ColourArgument<"Numberclor4", "#ff0000">>(),
                                       }};
  return constructor;
}

const Constructor& numberPadButton() {
  static const Constructor constructor{
      "NumberPadButton",
      "phone",
      "contact header background in colour NumberPadButton3",
      nullptr,
      {
          hook<"CNContactStyle",
               "setContactHeaderBackgroundColor:", ColourArgument<"NumberPadButton3", "#ff0000">>(),
      }};
  return constructor;
}

const Constructor& call() {
  static const Constructor constructor{
      "call",
      "phone",
      "Phone bottom-bar buttons in colour call2",
      nullptr,
      {
          hook<"PHBottomBarButton", "setBackgroundColor:", ColourArgument<"call2", "#ff0000">>(),
      }};
  return constructor;
}

const Constructor& hedncall() {
  static const Constructor constructor{
      "hedncall",
      "phone",
      "the call history never creates its store",
      nullptr,
      {
          hook<"CallDBManager", "createDataStore", Nothing<void()>>(),
      }};
  return constructor;
}

const Constructor& hidenames() {
  static const Constructor constructor{
      "Hidenames",
      "phone",
      "contact snapshots get no filter and no data source",
      nullptr,
      {
          hook<"CNContactStoreSnapshot", "setFilter:", Nothing<void(id)>>(),
          hook<"CNContactStoreSnapshot", "setDataSource:", Nothing<void(id)>>(),
      }};
  return constructor;
}

namespace {

// A cell of the tab table either hands on the flag the host passed or hides the tab, so a tab
// the host hides stays hidden.
enum Cell { kGiven, kHidden };

struct Tabs {
  Cell favorites, recents, contacts, keypad, voicemail;
};

struct TabRow {
  double features;
  Tabs tabs;
};

constexpr TabRow kTabRows[] = {
    // features  favorites recents  contacts keypad  voicemail
    {0, {kGiven, kGiven, kGiven, kGiven, kHidden}},
    {1, {kHidden, kHidden, kGiven, kGiven, kGiven}},
    {2, {kGiven, kGiven, kHidden, kGiven, kHidden}},
    {3, {kHidden, kGiven, kGiven, kGiven, kHidden}},
    {4, {kHidden, kGiven, kGiven, kGiven, kGiven}},
    {5, {kGiven, kHidden, kGiven, kGiven, kGiven}},
    {6, {kGiven, kGiven, kHidden, kGiven, kGiven}},
    {7, {kGiven, kGiven, kGiven, kGiven, kHidden}},
};
constexpr Tabs kAnyOtherValue{kGiven, kGiven, kGiven, kGiven, kGiven};

// Codes are compared exactly: a fraction, a negative number or 8 and above select no row.
const Tabs& tabsFor(double code) {
  for (const TabRow& row : kTabRows) {
    if (row.features == code) return row.tabs;
  }
  return kAnyOtherValue;
}

BOOL pass(Cell cell, BOOL flag) { return cell == kGiven ? flag : NO; }

struct PhoneTabs {
  template <HookSlot& Slot>
  static BOOL replacement(id self, SEL cmd, BOOL favorites, BOOL recents, BOOL contacts,
                          BOOL keypad, BOOL voicemail) {
    const Tabs& tabs =
        settings::isOn(tweakEnabled) ? tabsFor(settings::valueOf(::features)) : kAnyOtherValue;
    return callPrevious<BOOL>(Slot, self, cmd, pass(tabs.favorites, favorites),
                              pass(tabs.recents, recents), pass(tabs.contacts, contacts),
                              pass(tabs.keypad, keypad), pass(tabs.voicemail, voicemail));
  }
};

}  // namespace

CodedSetting phoneTabCodes() {
  CodedSetting coded{&::features, {}};
  for (const TabRow& row : kTabRows) {
    const std::pair<Cell, const char*> cells[] = {{row.tabs.favorites, "Favorites"},
                                                  {row.tabs.recents, "Recents"},
                                                  {row.tabs.contacts, "Contacts"},
                                                  {row.tabs.keypad, "Keypad"},
                                                  {row.tabs.voicemail, "Voicemail"}};
    std::string hidden;
    for (const auto& [cell, name] : cells) {
      if (cell == kHidden) hidden += (hidden.empty() ? "" : ", ") + std::string(name);
    }
    coded.choices.push_back({row.features, hidden + " hidden"});
  }
  return coded;
}

Hook phoneTabs() {
  return hook<"PhoneTabBarController",
              "showFavoritesTab:recentsTab:contactsTab:keypadTab:voicemailTab:", PhoneTabs>();
}

}  // namespace vorla::features
