// Reading dictionaries from property-list files, shared by NSDictionary and the preferences
// stores so that one file is parsed once however many readers it has.
#pragma once

#include <objc/runtime.h>

#include <string>

namespace vorla::standin {

// The top-level dictionary of the file at `path` (already under the device root), or nil when
// the file is missing, not a regular file, too large, malformed or not a dictionary. The result
// is owned by the caller (+1). While the file's bytes stay identical the same object is returned.
id readDictionaryFile(const std::string& path);

}  // namespace vorla::standin

// For benchmarks and tests: how many times a property-list file has been parsed in this process.
extern "C" __attribute__((visibility("default"))) long vorla_device_plist_parses();
