// vorla-sim --serve: the settings page with a live preview of every app, on the loopback address.
#pragma once

#include "tools/sim/device_setup.h"
#include "tools/sim/simulation.h"

namespace vorla::sim {

// Starts every app, then serves the page on 127.0.0.1 at `port` (0: a free one), printing the
// address to open, which carries the run's token. Follows the settings file, from the page or
// from anywhere else, and pushes every change to the open pages. Runs until SIGINT or SIGTERM;
// returns the exit status.
int serve(DeviceSetup& setup, const Programs& programs, int port);

}  // namespace vorla::sim
