#include "tools/common/text_table.h"
#include "tools/sim/formats.h"

namespace vorla::sim {

void writeText(std::ostream& out, const Report& report) {
  out << "Settings file: " << report.settingsFile << "\nLibrary: " << report.library << '\n';
  for (const Section& section : report.sections) {
    out << "\n== " << section.title << " ==\n";
    tools::TextTable table;
    table.add(
        {"HOOK", "ENABLE KEY", "STATUS", "HOST PASSED", "WITHOUT THE LIBRARY", "WITH THE LIBRARY"});
    for (const HookRow& row : section.rows) {
      const PlanEntry& entry = *row.entry;
      bool hasArguments = !row.outcome.passed.empty();
      std::string passed;
      for (const std::string& value : row.outcome.passed) {
        passed += (passed.empty() ? "" : ", ") + value;
      }
      table.add({hookName(entry.hook), entry.hook.enableKey.empty() ? "-" : entry.hook.enableKey,
                 statusText(row), passed.empty() ? "-" : passed,
                 measurementText(row.outcome.without, hasArguments),
                 measurementText(row.outcome.with, hasArguments)});
    }
    table.print(out, "  ");
    out << summaryLine(section) << '\n';
  }
  out << '\n' << summaryLine(report) << '\n';
}

}  // namespace vorla::sim
