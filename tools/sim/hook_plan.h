// The hooks the simulator drives, in load order, from the library's own load sequence.
#pragma once

#include <string>
#include <vector>

#include "tools/sim/protocol.h"

namespace vorla::sim {

struct PlanEntry {
  PlannedHook hook;
  int constructor = 0;
  std::string fileKey;  // the settings-file key its replacement reads, if any
};

const std::vector<PlanEntry>& hookPlan();

}  // namespace vorla::sim
