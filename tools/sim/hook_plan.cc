#include "tools/sim/hook_plan.h"

#include "tweak/load_sequence.h"

namespace vorla::sim {

const std::vector<PlanEntry>& hookPlan() {
  static const std::vector<PlanEntry> plan = [] {
    std::vector<PlanEntry> entries;
    int number = 0;
    for (const core::Constructor* constructor : loadSequence()) {
      ++number;
      for (const core::Hook& hook : constructor->hooks) {
        PlannedHook planned{static_cast<int>(entries.size()),
                            constructor->enableKey ? constructor->enableKey : "", hook.className,
                            hook.selector, hook.kind == core::MethodKind::kClass};
        entries.push_back({std::move(planned), number, hook.fileKey.key ? hook.fileKey.key : ""});
      }
    }
    return entries;
  }();
  return plan;
}

}  // namespace vorla::sim
