// Which Phone tabs are shown: a registered code chooses a row of the tab table while the switch
// is on. A row of the last constructor; the coded setting's choices are listed from the same table.
#pragma once

#include "tweak/core/replacements.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::features {

using core::HookSlot;

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

inline constexpr TabRow kTabRows[] = {
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
inline constexpr Tabs kAnyOtherValue{kGiven, kGiven, kGiven, kGiven, kGiven};

// Codes are compared exactly: a fraction, a negative number or 8 and above select no row.
inline const Tabs& tabsFor(double code) {
  for (const TabRow& row : kTabRows) {
    if (row.features == code) return row.tabs;
  }
  return kAnyOtherValue;
}

inline BOOL pass(Cell cell, BOOL flag) { return cell == kGiven ? flag : NO; }

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

}  // namespace vorla::features
