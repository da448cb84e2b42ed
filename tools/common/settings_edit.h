// The changes vorla-prefs makes to a settings file, shared with the simulator's page so that a
// value is refused, or written, in exactly the same way whichever tool is used.
#pragma once

#include <string>

#include "tools/common/writer_lock.h"

namespace vorla::tools {

struct EditResult {
  bool done;
  // What was done and when it applies ("barxx = \"#00ff00\": applies at the next call"), or why
  // nothing was written, in the words vorla-prefs prints.
  std::string message;
  // Where an unreadable settings file that `force` replaced was kept, or "".
  std::string keptAs;
  // Not done because another writer held the lock past the wait's deadline.
  bool busy = false;
};

// Sets `key` to the value `text` stands for as the key's kind (text for a key the library does
// not read, which needs `force`), through the settings store's locked read-modify-write. A file
// that cannot be read, or that the user cannot write, is replaced only with `force`. `wait` tells
// of a long wait for another writer's lock, or gives up at its deadline.
EditResult setKey(const std::string& path, const std::string& key, const std::string& text,
                  bool force, const LockWait& wait = {});
EditResult unsetKey(const std::string& path, const std::string& key, bool force,
                    const LockWait& wait = {});

// Why a key the library does not read is refused.
std::string unknownKey(const std::string& key);

}  // namespace vorla::tools
