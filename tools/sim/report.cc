#include "tools/sim/report.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

namespace vorla::sim {
namespace {

std::string counted(const Counts& counts) {
  return fmt::format("{} {}, {} installed, {} not installed", counts.hooks,
                     counts.hooks == 1 ? "hook" : "hooks", counts.installed,
                     counts.hooks - counts.installed);
}

}  // namespace

Counts countsOf(const Section& section) {
  Counts counts;
  for (const HookRow& row : section.rows) {
    ++counts.hooks;
    if (isInstalled(row.outcome)) ++counts.installed;
  }
  return counts;
}

Counts countsOf(const Report& report) {
  Counts total;
  for (const Section& section : report.sections) {
    Counts counts = countsOf(section);
    total.hooks += counts.hooks;
    total.installed += counts.installed;
  }
  return total;
}

bool isInstalled(const HookOutcome& outcome) { return sim::isInstalled(outcome.status); }

std::string hookName(const PlannedHook& hook) {
  return (hook.classMethod ? "+" : "") + hook.className + " " + hook.selector;
}

std::string reasonOf(const HookRow& row) {
  switch (row.outcome.status) {
    case Status::kKeyOff:
      return "enable key " + row.entry->hook.enableKey + " is off";
    case Status::kClassAbsent:
      return "class absent in this app";
    case Status::kMethodAbsent:
      return "method absent in this app";
    case Status::kUnchanged:
      return "the implementation did not change";
    case Status::kReplaced:
    case Status::kAdded:
      break;
  }
  return "";
}

std::string statusText(const HookRow& row) {
  if (row.outcome.status == Status::kReplaced) return "installed (replaced)";
  if (row.outcome.status == Status::kAdded) return "installed (added)";
  return "not installed: " + reasonOf(row);
}

std::string measurementText(const Measurement& m, bool hasArguments) {
  if (!m.note.empty()) return m.note;
  std::string text;
  if (hasArguments || !m.callerGot) {
    if (!m.hostCalled) {
      text = "host not called";
    } else {
      text = m.hostGot.empty() ? "host called"
                               : fmt::format("host got {}", fmt::join(m.hostGot, ", "));
    }
  }
  if (m.callerGot) text += (text.empty() ? "" : "; ") + std::string("caller got ") + *m.callerGot;
  for (const std::string& other : m.also) text += "; also " + other;
  return text;
}

std::string summaryLine(const Section& section) {
  return section.title + ": " + counted(countsOf(section));
}

std::string summaryLine(const Report& report) { return "Total: " + counted(countsOf(report)); }

}  // namespace vorla::sim
