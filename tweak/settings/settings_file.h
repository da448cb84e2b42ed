// Colours and counts read from the settings file afresh at every call.
#pragma once

#include "tweak/host/types.h"

namespace vorla::settings {

// The settings file, as the device names it.
inline constexpr const char* kSettingsFile =
    "/var/mobile/Library/Preferences/com.pellobrast.vorla.plist";

// The colour stored under `key`, or the colour of `fallback` ("#rrggbb") when the file, the key or
// a colour reading is missing. Always a colour, borrowed (autoreleased by the colour service).
id colourSetting(id key, id fallback);

// The integer stored under `key`; 0 when the file or the key is missing or the value has no
// integer reading.
long long numberSetting(id key);

}  // namespace vorla::settings
