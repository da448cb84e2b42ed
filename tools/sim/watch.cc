#include "tools/sim/watch.h"

#include <errno.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <memory>

#include "tools/common/key_catalogue.h"
#include "tools/common/key_values.h"
#include "tools/common/settings_store.h"
#include "tools/sim/formats.h"
#include "tools/sim/host_process.h"
#include "tools/sim/settings_follower.h"

namespace vorla::sim {
namespace {

// Ctrl-C and SIGTERM stay blocked and are taken here, between rounds: a round in progress, or
// a write to the terminal, is never cut. Waiting for them is also the pause between looks at
// the file.
bool stopArrivesWithin(const sigset_t& stopSignals, std::chrono::milliseconds patience) {
  timespec wait{static_cast<time_t>(patience.count() / 1000),
                static_cast<long>(patience.count() % 1000) * 1'000'000};
  while (true) {
    if (::sigtimedwait(&stopSignals, nullptr, &wait) > 0) return true;
    if (errno != EINTR) return false;
  }
}

// Prints each changed key and when the app takes it up.
void showChanges(const std::vector<KeyChange>& changes, const std::string& title) {
  std::cout << "\nSettings changed:\n";
  for (const KeyChange& change : changes) {
    const tools::KeyInfo* info = tools::findKey(change.key);
    std::string effect = "not read by the library";
    if (info != nullptr && info->source == tools::KeySource::kEnableKey) {
      effect = "enable key: needs a restart of " + title;
    } else if (info != nullptr && info->source == tools::KeySource::kRegistered) {
      effect = "registered setting: applies at the next call";
    } else if (info != nullptr) {
      effect = "settings-file key: applies at the next call";
    }
    std::cout << "  " << tools::keyText(change.key) << ": "
              << (change.before.empty() ? "-" : change.before) << " -> "
              << (change.after.empty() ? "-" : change.after) << " (" << effect << ")\n";
  }
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
  SettingsFollower follower(setup.settingsFile());
  bool warned = false;
  while (true) {
    Round round = host->next();
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

    SettingsFollower::Look look;
    while (look.changes.empty()) {
      if (stopArrivesWithin(stopSignals, std::chrono::milliseconds(200))) return 0;
      look = follower.look();
      bool unreadable = follower.current().outcome == tools::SettingsRead::Outcome::kUnreadable;
      if (unreadable && !warned) {
        std::cerr << "vorla-sim: cannot read " << setup.settingsFile()
                  << " now; the app keeps the last settings it saw\n";
      }
      warned = unreadable;
    }

    showChanges(look.changes, title);
    if (std::string problem = setup.refresh(); !problem.empty()) {
      std::cerr << "vorla-sim: " << problem << '\n';
    }
    Catching catching = sim::catching(look.changes, app);
    if (!catching.restartedBy.empty()) {
      std::cout << "Restarting " << title << ": enable keys are read only when the library loads."
                << std::endl;
      host.reset();
      host = start();
    } else {
      if (catching.waitsForPreferences && stopArrivesWithin(stopSignals, kPreferencesCarry)) {
        return 0;
      }
      std::cout << "Driving " << title << " again in the same process, without a restart."
                << std::endl;
      host->driveAgain();
    }
  }
}

}  // namespace vorla::sim
