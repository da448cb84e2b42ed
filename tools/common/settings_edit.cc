#include "tools/common/settings_edit.h"

#include <algorithm>
#include <optional>
#include <variant>

#include "tools/common/key_catalogue.h"
#include "tools/common/key_values.h"
#include "tools/common/settings_store.h"

namespace vorla::tools {
namespace {

const char* whenItApplies(KeySource source) {
  switch (source) {
    case KeySource::kEnableKey:
      return "applies when an app next starts";
    case KeySource::kRegistered:
      return "applies at the next call, once the preferences service has carried it";
    case KeySource::kSettingsFile:
      return "applies at the next call";
  }
  return "";
}

// The file's entries, or why they must not be replaced.
std::variant<plist::Dictionary, std::string> entriesToChange(const std::string& path, bool force) {
  SettingsRead read = readSettings(path);
  if (read.outcome == SettingsRead::Outcome::kUnreadable && !force) {
    return "cannot read " + path + " (" + read.problem +
           "), so it is left alone: --force replaces it";
  }
  return std::move(read.entries);
}

// Writes `entries` with the value of `key` changed to `value`, or removed when there is none.
EditResult change(const std::string& path, const std::string& key,
                  std::optional<plist::Value> value, bool force) {
  const KeyInfo* info = findKey(key);
  if (info == nullptr && !force) return {false, unknownKey(key)};
  auto entries = entriesToChange(path, force);
  if (auto* refusal = std::get_if<std::string>(&entries)) return {false, *refusal};
  auto& dictionary = std::get<plist::Dictionary>(entries);
  auto position = std::find_if(dictionary.begin(), dictionary.end(),
                               [&](const auto& entry) { return entry.first == key; });
  std::string report;
  if (value) {
    report = key + " = " + showValue(*value);
    if (position != dictionary.end()) {
      position->second = std::move(*value);
    } else {
      dictionary.emplace_back(key, std::move(*value));
    }
  } else {
    if (position == dictionary.end()) return {true, key + " was not set"};
    dictionary.erase(position);
    report = key + " unset" + (info ? " (the library uses " + info->defaultText + ")" : "");
  }
  if (std::string problem = writeSettings(path, dictionary); !problem.empty()) {
    return {false, problem};
  }
  if (info != nullptr) report += std::string(": ") + whenItApplies(info->source);
  return {true, report};
}

}  // namespace

std::string unknownKey(const std::string& key) {
  return "unknown key \"" + key +
         "\": the library does not read it (vorla-prefs list shows every key; --force uses it)";
}

EditResult setKey(const std::string& path, const std::string& key, const std::string& text,
                  bool force) {
  const KeyInfo* info = findKey(key);
  if (info == nullptr && !force) return {false, unknownKey(key)};
  ParsedValue parsed = parseValue(info ? info->kind : KeyKind::kText, text);
  if (auto* refusal = std::get_if<std::string>(&parsed)) {
    return {false, "cannot set " + key + " to \"" + text + "\": " + *refusal};
  }
  return change(path, key, std::get<plist::Value>(std::move(parsed)), force);
}

EditResult unsetKey(const std::string& path, const std::string& key, bool force) {
  return change(path, key, std::nullopt, force);
}

}  // namespace vorla::tools
