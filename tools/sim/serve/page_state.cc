#include "tools/sim/serve/page_state.h"

#include <optional>

#include "hosts/host_apps.h"
#include "standin/text/colour_text.h"
#include "tools/common/key_catalogue.h"
#include "tools/common/key_values.h"
#include "tools/sim/serve/page_edits.h"
#include "tools/sim/serve/routes.h"

namespace vorla::sim {
namespace {

using Json = nlohmann::json;

Json editableText(const plist::Value& value) {
  std::optional<std::string> text = typedText(value);
  return text ? Json(*text) : Json(nullptr);
}

// What a key of each kind accepts, said beside its field before anything is refused.
const char* acceptedText(tools::KeyKind kind) {
  switch (kind) {
    case tools::KeyKind::kBoolean:
      return "on or off";
    case tools::KeyKind::kDouble:
      return "a number, like 2.5";
    case tools::KeyKind::kInteger:
      return "a whole number, like 1234";
    case tools::KeyKind::kColour:
      return "#rrggbb, #rgb, #rrggbbaa, #rrggbb:alpha, rgb(r, g, b), rgba(r, g, b, a) or a "
             "colour name";
    case tools::KeyKind::kText:
      return "any text";
  }
  return "";
}

// The colour a text stands for, as the picker (#rrggbb) and the alpha control (0...1) show it,
// read by the same reader as the library's; null when the text is not a colour.
Json colourJson(const Json& text) {
  if (!text.is_string()) return nullptr;
  std::optional<text::Rgba> colour = text::parseColourText(text.get<std::string>());
  if (!colour) return nullptr;
  text::Rgba opaque = *colour;
  opaque.alpha = 1;
  return {{"hex", text::formatColourText(opaque)}, {"alpha", colour->alpha}};
}

// Whether an enable key is on in `entries`, as the library reads it at load.
bool isOn(const plist::Dictionary& entries, const std::string& key) {
  const plist::Value* stored = plist::find(entries, key);
  const bool* flag = stored ? stored->get_if<bool>() : nullptr;
  return flag && *flag;
}

Json keyJson(const tools::KeyInfo& info, const plist::Dictionary& entries) {
  Json choices = Json::array();
  for (const features::CodeChoice& choice : info.choices) {
    choices.push_back(
        {{"code", tools::showValue(plist::Value{choice.code})}, {"meaning", choice.meaning}});
  }
  const plist::Value* stored = plist::find(entries, info.key);
  Json defaultValue = tools::defaultValueText(info);
  // What the page's control shows: the stored value as it is typed, else the default's; null for
  // a stored value the page cannot edit (an array, a dictionary, data or a date).
  Json value = stored ? editableText(*stored) : defaultValue;
  std::string gate = tools::gatingEnableKey(info);
  return {{"key", info.key},
          {"source", tools::sourceName(info.source)},
          {"kind", tools::kindName(info.kind)},
          {"default", info.defaultText},
          {"defaultValue", std::move(defaultValue)},
          {"meaning", info.meaning},
          {"accepts", acceptedText(info.kind)},
          {"choices", std::move(choices)},
          {"stored", stored != nullptr},
          {"text", stored ? editableText(*stored) : Json(nullptr)},
          {"value", value},
          {"colour", info.kind == tools::KeyKind::kColour ? colourJson(value) : Json(nullptr)},
          {"gate", gate.empty() ? Json(nullptr) : Json(gate)},
          {"gateOn", gate.empty() || isOn(entries, gate)},
          {"shown", stored ? tools::showValue(*stored) : ""}};
}

Json settingsJson(const plist::Dictionary& entries) {
  Json groups = Json::array();
  for (const std::string& app : tools::keyGroupApps()) {
    Json keys = Json::array();
    for (const tools::KeyInfo& info : tools::keyCatalogue()) {
      if (info.app == app) keys.push_back(keyJson(info, entries));
    }
    groups.push_back({{"app", app}, {"title", tools::appTitle(app)}, {"keys", std::move(keys)}});
  }
  return groups;
}

const char* outcomeName(tools::SettingsRead::Outcome outcome) {
  switch (outcome) {
    case tools::SettingsRead::Outcome::kRead:
      return "read";
    case tools::SettingsRead::Outcome::kMissing:
      return "missing";
    case tools::SettingsRead::Outcome::kUnreadable:
      return "unreadable";
  }
  return "";
}

}  // namespace

std::string pageState(const std::string& settingsFile, const tools::SettingsRead& read,
                      const tools::SettingsRead& lastGood, const nlohmann::json& preview,
                      bool previewUpdating, const std::string& previewProblem) {
  Json others = Json::array();
  for (const auto& [key, value] : lastGood.entries) {
    if (tools::findKey(key) == nullptr) {
      others.push_back({{"key", key}, {"shown", tools::showValue(value)}});
    }
  }
  Json state = {
      {"settingsFile", settingsFile},
      {"file", {{"status", outcomeName(read.outcome)}, {"problem", read.problem}}},
      {"groups", settingsJson(lastGood.entries)},
      {"otherKeys", std::move(others)},
      {"bodyLimit", kBodyLimit},
      {"preview",
       {{"updating", previewUpdating}, {"problem", previewProblem}, {"sections", preview}}}};
  // Texts from the file may hold bytes that are not UTF-8: the page gets U+FFFD for them.
  return state.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace vorla::sim
