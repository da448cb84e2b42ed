#include "tools/sim/watch.h"

#include <errno.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <iostream>
#include <map>
#include <memory>

#include "tools/common/key_catalogue.h"
#include "tools/common/key_values.h"
#include "tools/common/settings_store.h"
#include "tools/sim/formats.h"
#include "tools/sim/host_process.h"

namespace vorla::sim {
namespace {

// Ctrl-C and SIGTERM stay blocked and are taken here, between rounds: a round in progress, or
// a write to the terminal, is never cut. Waiting for them is also the pause between looks at
// the file.
bool stopArrivesWithin(const sigset_t& stopSignals, long microseconds) {
  timespec wait{microseconds / 1'000'000, (microseconds % 1'000'000) * 1000};
  while (true) {
    if (::sigtimedwait(&stopSignals, nullptr, &wait) > 0) return true;
    if (errno != EINTR) return false;
  }
}

using Snapshot = std::map<std::string, std::string>;

// The file's entries as shown; nullopt while it cannot be read. A missing file has none.
std::optional<Snapshot> snapshotOf(const std::string& path) {
  tools::SettingsRead read = tools::readSettings(path);
  if (read.outcome == tools::SettingsRead::Outcome::kUnreadable) return std::nullopt;
  Snapshot snapshot;
  for (const auto& [key, value] : read.entries) snapshot[key] = tools::showValue(value);
  return snapshot;
}

struct Changes {
  bool enableKey = false;
  bool registered = false;
};

Changes showChanges(const Snapshot& before, const Snapshot& after, const std::string& title) {
  std::map<std::string, std::pair<std::string, std::string>> changed;
  for (const auto& [key, value] : before) changed[key].first = value;
  for (const auto& [key, value] : after) changed[key].second = value;
  Changes changes;
  std::cout << "\nSettings changed:\n";
  for (const auto& [key, values] : changed) {
    if (values.first == values.second) continue;
    const tools::KeyInfo* info = tools::findKey(key);
    std::string effect = "not read by the library";
    if (info != nullptr && info->source == tools::KeySource::kEnableKey) {
      changes.enableKey = true;
      effect = "enable key: needs a restart of " + title;
    } else if (info != nullptr && info->source == tools::KeySource::kRegistered) {
      changes.registered = true;
      effect = "registered setting: applies at the next call";
    } else if (info != nullptr) {
      effect = "settings-file key: applies at the next call";
    }
    std::cout << "  " << tools::keyText(key) << ": " << (values.first.empty() ? "-" : values.first)
              << " -> " << (values.second.empty() ? "-" : values.second) << " (" << effect << ")\n";
  }
  return changes;
}

}  // namespace

int watch(const std::string& app, DeviceSetup& setup, const Programs& programs) {
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  ::sigprocmask(SIG_BLOCK, &stopSignals, nullptr);

  std::string title = tools::appTitle(app);
  auto start = [&] {
    return std::make_unique<HostProcess>(programs.helper, programs.library, app, setup.root(),
                                         plannedHooks());
  };
  std::unique_ptr<HostProcess> host = start();
  std::optional<Snapshot> shown = snapshotOf(setup.settingsFile());
  bool warned = false;
  while (true) {
    Round round = host->next();
    if (round.error.empty()) round.error = unknownHooks(round);
    if (!round.error.empty()) {
      std::cerr << "vorla-sim: " << title << ": " << round.error << '\n';
      return 1;
    }
    Report report{setup.settingsFile(), setup.root(), programs.library, {}};
    addApp(report, app, round.outcomes);
    writeText(std::cout, report);
    std::cout << "\nWatching " << setup.settingsFile() << " (Ctrl-C stops)" << std::endl;
    // Nobody sees the output any more: the caller reports why.
    if (!std::cout) return 1;

    std::optional<Snapshot> now;
    while (true) {
      if (stopArrivesWithin(stopSignals, 200'000)) return 0;
      now = snapshotOf(setup.settingsFile());
      if (!now) {
        if (!warned) {
          std::cerr << "vorla-sim: cannot read " << setup.settingsFile()
                    << " now; the app keeps the last settings it saw\n";
        }
        warned = true;
        continue;
      }
      warned = false;
      if (now != shown) break;
    }

    Changes changes = showChanges(shown.value_or(Snapshot{}), *now, title);
    shown = now;
    if (std::string problem = setup.refresh(); !problem.empty()) {
      std::cerr << "vorla-sim: " << problem << '\n';
    }
    if (changes.enableKey) {
      std::cout << "Restarting " << title << ": enable keys are read only when the library loads."
                << std::endl;
      host.reset();
      host = start();
    } else {
      // The preferences service carries a change into the registered settings within a second.
      if (changes.registered && stopArrivesWithin(stopSignals, 1'200'000)) return 0;
      std::cout << "Driving " << title << " again in the same process, without a restart."
                << std::endl;
      host->driveAgain();
    }
  }
}

}  // namespace vorla::sim
