#include <nlohmann/json.hpp>

#include "tools/sim/formats.h"

namespace vorla::sim {
namespace {

using Json = nlohmann::ordered_json;

Json orNull(const std::string& text) { return text.empty() ? Json(nullptr) : Json(text); }

Json measurement(const Measurement& m) {
  return {{"hostCalled", m.hostCalled},
          {"hostGot", m.hostGot},
          {"callerGot", m.callerGot ? Json(*m.callerGot) : Json(nullptr)},
          {"also", m.also},
          {"note", orNull(m.note)}};
}

Json counts(const Counts& c) {
  return {{"hooks", c.hooks}, {"installed", c.installed}, {"notInstalled", c.hooks - c.installed}};
}

Json row(const HookRow& row) {
  const PlanEntry& entry = *row.entry;
  return {{"constructor", entry.constructor},
          {"enableKey", orNull(entry.hook.enableKey)},
          {"class", entry.hook.className},
          {"selector", entry.hook.selector},
          {"kind", entry.hook.classMethod ? "class" : "instance"},
          {"settingsFileKey", orNull(entry.fileKey)},
          {"installed", isInstalled(row.outcome)},
          {"status", statusName(row.outcome.status)},
          {"reason", orNull(reasonOf(row))},
          {"passed", row.outcome.passed},
          {"without", measurement(row.outcome.without)},
          {"with", measurement(row.outcome.with)}};
}

}  // namespace

void writeJson(std::ostream& out, const Report& report) {
  Json sections = Json::array();
  for (const Section& section : report.sections) {
    Json hooks = Json::array();
    for (const HookRow& hookRow : section.rows) hooks.push_back(row(hookRow));
    sections.push_back({{"app", section.app},
                        {"title", section.title},
                        {"measuredIn", orNull(section.measuredIn)},
                        {"summary", counts(countsOf(section))},
                        {"hooks", std::move(hooks)}});
  }
  Json document = {{"settingsFile", report.settingsFile},
                   {"deviceRoot", report.deviceRoot},
                   {"library", report.library},
                   {"sections", std::move(sections)},
                   {"summary", counts(countsOf(report))}};
  // A text from the settings file may hold bytes that are not UTF-8: they are shown as U+FFFD
  // rather than written out as JSON no reader accepts.
  out << document.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
}

}  // namespace vorla::sim
