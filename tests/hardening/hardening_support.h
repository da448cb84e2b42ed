// Shared by the hardening tests: the library's settings-file lookups called as its replacements
// call them, and what the process holds.
#pragma once

#include <objc/runtime.h>

#include <string>

namespace vorla::testing {

// The colour the settings file gives `key`, as "#rrggbb" or "#rrggbbaa".
std::string colourLookup(const char* key, const char* fallback);
long long numberLookup(const char* key);

// The entries of a /proc directory: open descriptors, threads.
int entriesOf(const char* directory);

// The threads of this process with the given name. Sanitizers start threads of their own, so
// a thread of ours is counted by its name.
int threadsNamed(const std::string& name);

}  // namespace vorla::testing
