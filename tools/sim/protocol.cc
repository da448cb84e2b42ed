#include "tools/sim/protocol.h"

#include <array>
#include <nlohmann/json.hpp>
#include <ostream>
#include <stdexcept>
#include <utility>

#include "tweak/settings/settings_registry.h"

namespace vorla::sim {
namespace {

using Json = nlohmann::json;

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

// One message per line. A text the host could not give as UTF-8 arrives with U+FFFD in place of
// the bytes, rather than ending the round.
void writeLine(std::ostream& out, const Json& message) {
  out << message.dump(-1, ' ', false, Json::error_handler_t::replace) << std::endl;
}

Json measurementJson(const Measurement& m) {
  return {{"called", m.hostCalled},
          {"got", m.hostGot},
          {"answer", m.callerGot ? Json(*m.callerGot) : Json(nullptr)},
          {"also", m.also},
          {"note", m.note}};
}

// The readers below throw nlohmann's exceptions on a missing field or a field of another type;
// the line is then unreadable.
std::vector<std::string> texts(const Json& array) { return array.get<std::vector<std::string>>(); }

Measurement measurementOf(const Json& m) {
  Measurement measurement;
  measurement.hostCalled = m.at("called").get<bool>();
  measurement.hostGot = texts(m.at("got"));
  if (const Json& answer = m.at("answer"); !answer.is_null())
    measurement.callerGot = answer.get<std::string>();
  measurement.also = texts(m.at("also"));
  measurement.note = m.at("note").get<std::string>();
  return measurement;
}

template <class E, std::size_t N>
E namedIn(const Names<E, N>& names, const Json& name) {
  std::optional<E> value = valueIn(names, name.get<std::string>());
  if (!value) throw std::invalid_argument("an unknown name");
  return *value;
}

HookOutcome outcomeOf(const Json& o) {
  HookOutcome outcome;
  outcome.index = o.at("index").get<int>();
  outcome.scope = namedIn(kScopeNames, o.at("scope"));
  outcome.status = namedIn(kStatusNames, o.at("status"));
  outcome.passed = texts(o.at("passed"));
  outcome.without = measurementOf(o.at("without"));
  outcome.with = measurementOf(o.at("with"));
  return outcome;
}

// The message on the next line, or why there is none: the end of the input, or a line that is
// not a JSON object.
std::optional<Json> nextMessage(const LineSource& in, std::string& problem) {
  std::optional<std::string> line = in();
  if (!line) {
    problem = kEndedEarly;
    return std::nullopt;
  }
  Json message = Json::parse(*line, nullptr, false);
  if (message.is_discarded() || !message.is_object()) {
    problem = "the host process sent an unreadable line: " + *line;
    return std::nullopt;
  }
  return message;
}

}  // namespace

std::string_view scopeName(Scope scope) { return nameIn(kScopeNames, scope); }
std::string_view statusName(Status status) { return nameIn(kStatusNames, status); }
std::optional<Scope> scopeNamed(std::string_view name) { return valueIn(kScopeNames, name); }
std::optional<Status> statusNamed(std::string_view name) { return valueIn(kStatusNames, name); }

void writePlan(std::ostream& out, const std::vector<PlannedHook>& hooks) {
  Json plan = Json::array();
  for (const PlannedHook& hook : hooks) {
    plan.push_back({{"index", hook.index},
                    {"enableKey", hook.enableKey},
                    {"enableKeyOn", hook.enableKeyOn},
                    {"class", hook.className},
                    {"selector", hook.selector},
                    {"classMethod", hook.classMethod}});
  }
  writeLine(out, {{"plan", std::move(plan)}});
}

std::optional<std::vector<PlannedHook>> readPlan(const LineSource& in) {
  std::string problem;
  std::optional<Json> message = nextMessage(in, problem);
  if (!message) return std::nullopt;
  try {
    std::vector<PlannedHook> hooks;
    for (const Json& h : message->at("plan")) {
      hooks.push_back({h.at("index").get<int>(), h.at("enableKey").get<std::string>(),
                       h.at("class").get<std::string>(), h.at("selector").get<std::string>(),
                       h.at("classMethod").get<bool>(), h.at("enableKeyOn").get<bool>()});
    }
    return hooks;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

void writeDriveAgain(std::ostream& out) { writeLine(out, {{"drive", "again"}}); }

bool isDriveAgain(const std::optional<std::string>& line) {
  if (!line) return false;
  Json message = Json::parse(*line, nullptr, false);
  return message.is_object() && message.value("drive", Json()) == "again";
}

void writeOutcomes(std::ostream& out, const std::vector<HookOutcome>& outcomes,
                   const Holdings& held) {
  Json all = Json::array();
  for (const HookOutcome& outcome : outcomes) {
    all.push_back({{"index", outcome.index},
                   {"scope", scopeName(outcome.scope)},
                   {"status", statusName(outcome.status)},
                   {"passed", outcome.passed},
                   {"without", measurementJson(outcome.without)},
                   {"with", measurementJson(outcome.with)}});
  }
  writeLine(out, {{"outcomes", std::move(all)},
                  {"held", {{"objects", held.objects}, {"descriptors", held.descriptors}}}});
}

void writeError(std::ostream& out, const std::string& message) {
  writeLine(out, {{"error", message}});
}

Round readRound(const LineSource& in) {
  Round round;
  std::optional<Json> message = nextMessage(in, round.error);
  if (!message) return round;
  try {
    if (message->contains("error")) {
      round.error = message->at("error").get<std::string>();
      return round;
    }
    for (const Json& outcome : message->at("outcomes"))
      round.outcomes.push_back(outcomeOf(outcome));
    const Json& held = message->at("held");
    round.held = {held.at("objects").get<long>(), held.at("descriptors").get<long>()};
  } catch (const std::exception& unreadable) {
    round = Round{};
    round.error = std::string("the host process sent an unreadable round: ") + unreadable.what();
  }
  return round;
}

}  // namespace vorla::sim
