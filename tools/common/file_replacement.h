// Replacing a settings file whole, so that a reader always finds the old file or the new one:
// the new bytes go to a temporary file beside it, which is flushed, renamed over the file, and
// then the folder is flushed too. Only a writer holding the file's lock may do either of these:
// the lock is what tells a temporary file being written from one that a dead writer left.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorla::tools {

struct Ownership {
  uid_t user;
  gid_t group;
};

// Replaces `target` with a file holding `bytes`, of mode `mode` and, when given, of `owner`: ""
// once the rename is done and the folder synced, so that the change survives a power loss, else
// why not. A failure before the rename leaves `target` as it was and no temporary file behind.
std::string replaceFile(const std::string& target, const std::vector<std::uint8_t>& bytes,
                        mode_t mode, const std::optional<Ownership>& owner);

// Removes what writers of `target` that were killed before their rename left beside it: regular
// files named as replaceFile names its temporary files, and nothing else. REQUIRES: the lock of
// `target` held, since a live writer's temporary file exists only while it holds the lock.
void removeLeftoverTemporaries(const std::string& target);

}  // namespace vorla::tools
