// The settings file of a device root, as the tools read and write it: the device's own path
// under the root, read in either property-list format, written in the binary format atomically.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "standin/plist/plist_value.h"
#include "tools/common/writer_lock.h"

namespace vorla::tools {

// `--root` when given, else VORLA_DEVICE_ROOT, else the tools' own default root in the build
// tree, so that vorla-prefs and vorla-sim agree without any set-up.
std::string chooseDeviceRoot(const std::string& rootOption);

// Whether the tools' own default root is the one chosen: only that one is made when missing.
bool isDefaultDeviceRoot(const std::string& root);

// Why `root` cannot hold a settings file to be written, or "". A root that does not exist is
// refused unless `create`, so that a mistyped root never becomes a new device tree.
std::string deviceRootProblem(const std::string& root, bool create);

std::string settingsPathUnder(const std::string& root);

struct SettingsRead {
  enum class Outcome { kRead, kMissing, kUnreadable } outcome;
  plist::Dictionary entries;  // empty unless read
  std::string problem;        // why it could not be read
};

// What a settings file holding `bytes` gives readSettings: read, or unreadable and why.
SettingsRead parseSettings(std::span<const std::uint8_t> bytes);

// Needs no lock: writers replace the file by a rename, so a reader sees a whole file. A file larger
// than the reader takes is unreadable, and the problem names the limit.
SettingsRead readSettings(const std::string& path);

struct SettingsUpdate {
  // kBusy: not done, the lock not free by the wait's deadline; nothing read or written.
  enum class Outcome { kWritten, kUnchanged, kRefused, kFailed, kBusy } outcome;
  std::string problem;  // why it was refused, failed or not done
  // What asking again with `force` would do where it was refused: nothing more (kNothing), write
  // the file the user cannot write (kWrite), or replace the file that cannot be read, keeping it
  // as `keptAs` (kReplace).
  enum class Force { kNothing, kWrite, kReplace } force = Force::kNothing;
  // Where the unreadable file is kept: by this forced write (even one that then failed), or by
  // the forced write that kReplace offers.
  std::string keptAs;
};

// Edits the settings file at `path` with `change`, which gets every entry the file holds (keys it
// does not know included) and returns whether it changed anything. Writers queue on an exclusive
// lock on a file beside the settings file (its name and `.lock`, removed afterwards), held from
// the read to the rename, so concurrent changes all land. A lock kept by one holder for
// kLockPatience is given up on as a failure, and `wait` may tell of a long wait or set a deadline.
//
// The new content is written in the binary format to a temporary file beside the file, flushed,
// renamed over it, and the folder flushed; temporary files that killed writers left are removed
// first. A link is written through: the rename replaces its final target, in the target's
// folder, which must exist. Missing folders of the path are made, but never where a link stands
// for one. The file keeps its mode, and its owner when run as root. Refused unless `force`: a file
// the user cannot write, and one that cannot be read as settings, which is then kept beside the
// new one (one copy, of the latest such file). Never forced: a path that is a folder or another
// non-regular file, whose folders cannot be made, or content the reader would refuse (past
// plist::kMaxFileBytes, or past its other bounds).
SettingsUpdate updateSettings(const std::string& path, bool force,
                              const std::function<bool(plist::Dictionary&)>& change,
                              const LockWait& wait = {});

}  // namespace vorla::tools
