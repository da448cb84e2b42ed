// Host processes for the system-appearance scenarios: every class those hooks target, the
// library loaded as the device's loader would, and what reached the host.
#pragma once

#include <objc/runtime.h>

#include <string>

#include "device/plist/plist_value.h"
#include "tests/support/device_root.h"

namespace vorla::testing {

// The interface framework, with legibility settings that answer `secondaryColor:` so that every
// hooked selector exists, and the Settings app for `PSListController`.
void registerEveryHookedClass();

// Writes `settings`, registers every hooked class and loads the library; returns its handle.
// The caller keeps `root` for the scenario, so that the settings file can change meanwhile.
void* loadWith(const DeviceRoot& root, const plist::Dictionary& settings);

// The first argument of the last call of a model's method: a colour text, a number, "nil", or
// "<no call>".
std::string received(id receiver, const char* selector);

// A colour a host would pass, "#336699", unlike every colour the library falls back on.
id hostArgumentColour();

}  // namespace vorla::testing
