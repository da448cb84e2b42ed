#include "tools/sim/protocol.h"

#include <array>
#include <ostream>
#include <sstream>
#include <utility>

#include "tweak/settings/settings_registry.h"

namespace vorla::sim {
namespace {

// Values may hold any text: backslashes and line ends are escaped.
std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string unescaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      out += text[++i] == 'n' ? '\n' : text[i];
    } else {
      out += text[i];
    }
  }
  return out;
}

void writeMeasurement(std::ostream& out, const char* name, const Measurement& m) {
  out << name << ".called " << (m.hostCalled ? 1 : 0) << '\n';
  for (const std::string& value : m.hostGot) out << name << ".got " << escaped(value) << '\n';
  if (m.callerGot) out << name << ".answer " << escaped(*m.callerGot) << '\n';
  for (const std::string& value : m.also) out << name << ".also " << escaped(value) << '\n';
  if (!m.note.empty()) out << name << ".note " << escaped(m.note) << '\n';
}

bool readMeasurementField(Measurement& m, const std::string& field, const std::string& value) {
  if (field == "called") {
    m.hostCalled = value == "1";
  } else if (field == "got") {
    m.hostGot.push_back(value);
  } else if (field == "answer") {
    m.callerGot = value;
  } else if (field == "also") {
    m.also.push_back(value);
  } else if (field == "note") {
    m.note = value;
  } else {
    return false;
  }
  return true;
}

template <class E, std::size_t N>
using Names = std::array<std::pair<E, std::string_view>, N>;

constexpr Names<Scope, 3> kScopeNames{{
    {Scope::kApp, "app"},
    {Scope::kEvery, settings::kEveryApp},
    {Scope::kAbsent, "absent"},
}};
constexpr Names<Status, 6> kStatusNames{{
    {Status::kReplaced, "replaced"},
    {Status::kAdded, "added"},
    {Status::kKeyOff, "key-off"},
    {Status::kClassAbsent, "class-absent"},
    {Status::kMethodAbsent, "method-absent"},
    {Status::kUnchanged, "unchanged"},
}};

template <class E, std::size_t N>
std::string_view nameIn(const Names<E, N>& names, E value) {
  for (const auto& [each, name] : names) {
    if (each == value) return name;
  }
  return "?";
}

template <class E, std::size_t N>
std::optional<E> valueIn(const Names<E, N>& names, std::string_view name) {
  for (const auto& [each, eachName] : names) {
    if (eachName == name) return each;
  }
  return std::nullopt;
}

}  // namespace

std::string_view scopeName(Scope scope) { return nameIn(kScopeNames, scope); }
std::string_view statusName(Status status) { return nameIn(kStatusNames, status); }
std::optional<Scope> scopeNamed(std::string_view name) { return valueIn(kScopeNames, name); }
std::optional<Status> statusNamed(std::string_view name) { return valueIn(kStatusNames, name); }

void writePlan(std::ostream& out, const std::vector<PlannedHook>& hooks) {
  for (const PlannedHook& hook : hooks) {
    out << "hook " << hook.index << ' ' << (hook.enableKey.empty() ? "-" : hook.enableKey) << ' '
        << (hook.enableKeyOn ? "on" : "off") << ' ' << hook.className << ' ' << hook.selector << ' '
        << (hook.classMethod ? 'c' : 'i') << '\n';
  }
  out << "run\n";
}

std::optional<std::vector<PlannedHook>> readPlan(const LineSource& in) {
  std::vector<PlannedHook> hooks;
  while (std::optional<std::string> line = in()) {
    if (*line == "run") return hooks;
    std::istringstream fields(*line);
    std::string word, state, kind;
    PlannedHook hook;
    if (!(fields >> word >> hook.index >> hook.enableKey >> state >> hook.className >>
          hook.selector >> kind) ||
        word != "hook") {
      return std::nullopt;
    }
    if (hook.enableKey == "-") hook.enableKey.clear();
    hook.enableKeyOn = state == "on";
    hook.classMethod = kind == "c";
    hooks.push_back(std::move(hook));
  }
  return std::nullopt;
}

void writeOutcomes(std::ostream& out, const std::vector<HookOutcome>& outcomes, const Holdings& held) {
  for (const HookOutcome& outcome : outcomes) {
    out << "outcome " << outcome.index << ' ' << scopeName(outcome.scope) << ' '
        << statusName(outcome.status) << '\n';
    for (const std::string& value : outcome.passed) out << "passed " << escaped(value) << '\n';
    writeMeasurement(out, "without", outcome.without);
    writeMeasurement(out, "with", outcome.with);
  }
  out << "held " << held.objects << ' ' << held.descriptors << '\n' << "done" << std::endl;
}

void writeError(std::ostream& out, const std::string& message) {
  out << "error " << escaped(message) << std::endl;
}

Round readRound(const LineSource& in) {
  Round round;
  while (std::optional<std::string> line = in()) {
    if (*line == "done") return round;
    std::size_t space = line->find(' ');
    std::string word = line->substr(0, space);
    std::string value = space == std::string::npos ? "" : unescaped(line->substr(space + 1));
    if (word == "error") {
      round.error = value;
      return round;
    }
    if (word == "outcome") {
      HookOutcome outcome;
      std::string scope;
      std::string status;
      std::istringstream fields(value);
      fields >> outcome.index >> scope >> status;
      std::optional<Scope> knownScope = scopeNamed(scope);
      std::optional<Status> knownStatus = statusNamed(status);
      if (!fields || !knownScope || !knownStatus) {
        round.error = "the host process sent an unreadable line: " + *line;
        return round;
      }
      outcome.scope = *knownScope;
      outcome.status = *knownStatus;
      round.outcomes.push_back(std::move(outcome));
      continue;
    }
    if (word == "held") {
      std::istringstream(value) >> round.held.objects >> round.held.descriptors;
      continue;
    }
    if (round.outcomes.empty()) break;
    HookOutcome& current = round.outcomes.back();
    std::size_t dot = word.find('.');
    bool known = false;
    if (word == "passed") {
      current.passed.push_back(value);
      known = true;
    } else if (dot != std::string::npos) {
      std::string which = word.substr(0, dot);
      Measurement* m = which == "without" ? &current.without
                       : which == "with"  ? &current.with
                                          : nullptr;
      known = m != nullptr && readMeasurementField(*m, word.substr(dot + 1), value);
    }
    if (!known) {
      round.error = "the host process sent an unreadable line: " + *line;
      return round;
    }
  }
  if (round.error.empty()) round.error = kEndedEarly;
  return round;
}

}  // namespace vorla::sim
