// Shared by the hardening tests: the library's settings-file lookups called as its replacements
// call them, the registered settings read as its replacements read them, and waiting for the
// preferences watcher.
#pragma once

#include <objc/runtime.h>

#include <chrono>
#include <functional>
#include <string>

namespace vorla::testing {

// Registers every host app's classes, so that every hook has its target.
void registerEveryApp();

// The colour the settings file gives `key`, as "#rrggbb" or "#rrggbbaa".
std::string colourLookup(const char* key, const char* fallback);
long long numberLookup(const char* key);

// The exported setting variable `name` of the loaded library, read atomically: the watcher
// writes it from its own thread.
template <class T>
T settingOf(void* library, const char* name);

// True once `done` holds; false if it still does not after `deadline`.
bool eventually(const std::function<bool()>& done,
                std::chrono::milliseconds deadline = std::chrono::milliseconds(1000));

// The entries of a /proc directory: open descriptors, threads.
int entriesOf(const char* directory);

// The threads of this process with the given name. Sanitizers start threads of their own, so
// a thread of ours is counted by its name.
int threadsNamed(const std::string& name);

}  // namespace vorla::testing
