// The settings page's writes: one change, several at once (a reset of an app or of everything, an
// undo), or a whole imported file. Each reads, validates and writes the settings file once, as
// vorla-prefs does, and all of it or nothing; refusals speak of what the page can do.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "standin/plist/plist_value.h"
#include "tools/common/settings_edit.h"

namespace vorla::sim {

struct Change {
  std::string key;
  std::optional<std::string> value;  // none: unset
};

struct PageWrite {
  tools::EditResult result;
  // The batch body ({"set": ..., "unset": [...]}) that puts back what the write replaced, read
  // under the same lock as the write; "" when a replaced value is one the page cannot type.
  std::string undo;
};

// The text that, typed into the page or given to vorla-prefs set, stands for `value`; none for
// an array, a dictionary, data or a date, which the page cannot edit.
std::optional<std::string> typedText(const plist::Value& value);

// Makes every change in one write, or none when any value is refused or the key is unknown.
PageWrite applyChanges(const std::string& path, const std::vector<Change>& changes,
                       const tools::LockWait& wait);

// Replaces the file's entries with those of `bytes`, a settings file read as vorla-prefs reads
// one, whose keys the library reads must hold values of their kind.
PageWrite importSettings(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         const tools::LockWait& wait);

}  // namespace vorla::sim
