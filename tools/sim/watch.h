// vorla-sim --watch: one app kept running, driven again whenever its settings file changes.
#pragma once

#include <string>

#include "tools/sim/device_setup.h"
#include "tools/sim/simulation.h"

namespace vorla::sim {

// Shows the app's hooks, then polls the settings file. A change to registered settings or to
// settings-file keys is shown by driving the same process again (registered settings after the
// second the preferences service may take to carry them); a change to an enable key restarts the
// app, since enable keys are read only at load. Runs until SIGINT or SIGTERM; returns the exit
// status.
int watch(const std::string& app, DeviceSetup& setup, const Programs& programs);

}  // namespace vorla::sim
