// The keyboard's background, a named colour chosen by a registered code at every layout pass. A
// row of the last constructor; the coded setting's choices are listed from the same table.
#pragma once

#include "tweak/core/replacements.h"
#include "tweak/host/services.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::features {

using core::HookSlot;

struct KeyboardColour {
  double code;
  host::NamedColour colour;
};

// Codes compare by exact equality: 11.5 or NaN choose no colour.
inline constexpr KeyboardColour kKeyboardColours[] = {
    {11.0, host::NamedColour::kOrange}, {12.0, host::NamedColour::kRed},
    {13.0, host::NamedColour::kWhite},  {14.0, host::NamedColour::kGray},
    {15.0, host::NamedColour::kBlack},  {16.0, host::NamedColour::kCyan},
    {17.0, host::NamedColour::kBlue},   {18.0, host::NamedColour::kYellow},
};

// Sets the keyboard's background to the named colour of `features2` while `tweakEnabled2` is
// on, then lays the keyboard out as the host would.
struct KeyboardBackground {
  template <HookSlot& Slot>
  static void replacement(id self, SEL cmd) {
    for (const KeyboardColour& row : kKeyboardColours) {
      // Read afresh for each code: the preferences service may change them meanwhile.
      if (settings::isOn(tweakEnabled2) && settings::valueOf(features2) == row.code) {
        host::Held colour(host::namedColour(row.colour));
        // Sent as a message, so that whatever replaces the keyboard's setter applies too.
        host::send(self, VORLA_SEL("setBackgroundColor:"), colour.get());
      }
    }
    // After every colour, yellow included: without it the keyboard misses its layout pass.
    callPrevious<void>(Slot, self, cmd);
  }
};

}  // namespace vorla::features
