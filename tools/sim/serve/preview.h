// The live preview beside the settings: every app in a host process of its own, kept running,
// and brought up to date when the settings change, as vorla-sim --watch does for one app.
#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tools/sim/host_process.h"
#include "tools/sim/settings_follower.h"
#include "tools/sim/simulation.h"

namespace vorla::sim {

class Preview {
 public:
  Preview(const Programs& programs, std::string deviceRoot);

  // Starts every app and takes its first round. Returns "" or the first failure.
  std::string start();

  // Shows the settings after `changes`, each app catching them as the settings follower says
  // (restarted, or driven again in the same process). Rows whose outcome changed are marked.
  // Returns "" or the first failure.
  std::string update(const std::vector<KeyChange>& changes);

  // The report's sections as the page shows them: each row's texts, and whether it changed.
  nlohmann::json json() const;

 private:
  struct App {
    std::string name;
    std::unique_ptr<HostProcess> host;
    std::vector<HookOutcome> outcomes;
    std::vector<HookOutcome> previous;  // before the last update; empty at first
    std::string note;                   // why the app was restarted
    bool broken = false;                // its last round failed: it starts afresh next time
  };

  std::string takeRounds();

  Programs programs_;
  std::string deviceRoot_;
  std::vector<App> apps_;
};

}  // namespace vorla::sim
