#include <cstdio>

#include "tools/common/key_catalogue.h"
#include "tools/sim/formats.h"

namespace vorla::sim {
namespace {

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string orNull(const std::string& text) { return text.empty() ? "null" : quoted(text); }

std::string list(const std::vector<std::string>& values) {
  std::string out = "[";
  for (const std::string& value : values) out += (out.size() > 1 ? ", " : "") + quoted(value);
  return out + "]";
}

std::string measurement(const Measurement& m) {
  return "{\"hostCalled\": " + std::string(m.hostCalled ? "true" : "false") +
         ", \"hostGot\": " + list(m.hostGot) +
         ", \"callerGot\": " + (m.callerGot ? quoted(*m.callerGot) : "null") +
         ", \"also\": " + list(m.also) + ", \"note\": " + orNull(m.note) + "}";
}

std::string counts(const Counts& c) {
  return "{\"hooks\": " + std::to_string(c.hooks) +
         ", \"installed\": " + std::to_string(c.installed) +
         ", \"notInstalled\": " + std::to_string(c.hooks - c.installed) + "}";
}

void writeRow(std::ostream& out, const HookRow& row) {
  const PlanEntry& entry = *row.entry;
  const char* indent = "        ";
  out << "      {\n"
      << indent << "\"constructor\": " << entry.constructor << ",\n"
      << indent << "\"enableKey\": " << orNull(entry.hook.enableKey) << ",\n"
      << indent << "\"class\": " << quoted(entry.hook.className) << ",\n"
      << indent << "\"selector\": " << quoted(entry.hook.selector) << ",\n"
      << indent << "\"kind\": \"" << (entry.hook.classMethod ? "class" : "instance") << "\",\n"
      << indent << "\"settingsFileKey\": " << orNull(entry.fileKey) << ",\n"
      << indent << "\"installed\": " << (isInstalled(row.outcome) ? "true" : "false") << ",\n"
      << indent << "\"status\": " << quoted(row.outcome.status) << ",\n"
      << indent << "\"reason\": " << orNull(reasonOf(row)) << ",\n"
      << indent << "\"passed\": " << list(row.outcome.passed) << ",\n"
      << indent << "\"without\": " << measurement(row.outcome.without) << ",\n"
      << indent << "\"with\": " << measurement(row.outcome.with) << "\n"
      << "      }";
}

}  // namespace

void writeJson(std::ostream& out, const Report& report) {
  out << "{\n  \"settingsFile\": " << quoted(report.settingsFile)
      << ",\n  \"deviceRoot\": " << quoted(report.deviceRoot)
      << ",\n  \"library\": " << quoted(report.library) << ",\n  \"sections\": [";
  for (std::size_t s = 0; s < report.sections.size(); ++s) {
    const Section& section = report.sections[s];
    out << (s ? "," : "") << "\n    {\n      \"app\": " << quoted(section.app)
        << ",\n      \"title\": " << quoted(section.title)
        << ",\n      \"measuredIn\": " << orNull(section.measuredIn)
        << ",\n      \"summary\": " << counts(countsOf(section)) << ",\n      \"hooks\": [";
    for (std::size_t r = 0; r < section.rows.size(); ++r) {
      out << (r ? ",\n" : "\n");
      writeRow(out, section.rows[r]);
    }
    out << "\n      ]\n    }";
  }
  out << "\n  ],\n  \"summary\": " << counts(countsOf(report)) << "\n}\n";
}

}  // namespace vorla::sim
