#include <regex>

#include "tools/common/plist_writer.h"
#include "tools/sim/formats.h"

namespace vorla::sim {
namespace {

constexpr const char* kStyle = R"(
body { font: 14px/1.4 system-ui, sans-serif; margin: 2em; color: #222; }
h1 { font-size: 1.4em; } h2 { font-size: 1.15em; margin-top: 2em; }
table { border-collapse: collapse; width: 100%; }
th, td { text-align: left; padding: 0.25em 0.6em; border-bottom: 1px solid #ddd;
         vertical-align: top; }
th { background: #f4f4f4; }
code { font-family: ui-monospace, monospace; }
.off { color: #999; }
.swatch { display: inline-block; width: 0.9em; height: 0.9em; margin: 0 0.25em -0.1em 0;
          border: 1px solid #888; }
.summary { color: #555; }
)";

// Escaped text with a swatch before every colour written as #rrggbb or #rrggbbaa.
std::string withSwatches(const std::string& text) {
  static const std::regex colour("#[0-9a-f]{6}(?:[0-9a-f]{2})?\\b");
  std::string out;
  auto last = text.cbegin();
  for (std::sregex_iterator it(text.begin(), text.end(), colour), end; it != end; ++it) {
    out += plist::markupEscaped(std::string(last, text.cbegin() + it->position()));
    out += "<span class=\"swatch\" style=\"background:" + it->str() + "\"></span>" + it->str();
    last = text.cbegin() + it->position() + it->length();
  }
  return out + plist::markupEscaped(std::string(last, text.cend()));
}

}  // namespace

void writeHtml(std::ostream& out, const Report& report) {
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      << "<title>VorlaPro simulation</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n"
      << "<h1>VorlaPro simulation</h1>\n<p>Settings file <code>"
      << plist::markupEscaped(report.settingsFile) << "</code>, library <code>"
      << plist::markupEscaped(report.library) << "</code>.</p>\n"
      << "<p class=\"summary\">" << plist::markupEscaped(summaryLine(report)) << "</p>\n";
  for (const Section& section : report.sections) {
    out << "<h2>" << plist::markupEscaped(section.title) << "</h2>\n<p class=\"summary\">"
        << plist::markupEscaped(summaryLine(section))
        << "</p>\n<table>\n<tr><th>Hook</th><th>Enable key</th>"
        << "<th>Status</th><th>Host passed</th><th>Without the library</th>"
        << "<th>With the library</th></tr>\n";
    for (const HookRow& row : section.rows) {
      const PlanEntry& entry = *row.entry;
      bool hasArguments = !row.outcome.passed.empty();
      std::string passed;
      for (const std::string& value : row.outcome.passed) {
        passed += (passed.empty() ? "" : ", ") + value;
      }
      out << "<tr" << (isInstalled(row.outcome) ? "" : " class=\"off\"") << "><td><code>"
          << plist::markupEscaped(hookName(entry.hook)) << "</code></td><td>"
          << plist::markupEscaped(entry.hook.enableKey.empty() ? "-" : entry.hook.enableKey)
          << "</td><td>" << plist::markupEscaped(statusText(row)) << "</td><td>"
          << withSwatches(passed.empty() ? "-" : passed) << "</td><td>"
          << withSwatches(measurementText(row.outcome.without, hasArguments)) << "</td><td>"
          << withSwatches(measurementText(row.outcome.with, hasArguments)) << "</td></tr>\n";
    }
    out << "</table>\n";
  }
  out << "</body>\n</html>\n";
}

}  // namespace vorla::sim
