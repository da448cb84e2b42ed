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

// What --force would do where it was refused, in the words the refusal ends with: exactly what it
// does, no more.
std::string forceAdvice(const SettingsUpdate& update) {
  switch (update.force) {
    case SettingsUpdate::Force::kNothing:
      return "";
    case SettingsUpdate::Force::kWrite:
      return ", so it is left alone (--force writes it all the same)";
    case SettingsUpdate::Force::kReplace:
      return ", so it is left alone (--force replaces it and keeps the old one as " +
             update.keptAs + ")";
  }
  return "";
}

// Gives `key` the value `value`, or removes it when there is none; every other entry of the file
// is kept as it is.
EditResult change(const std::string& path, const std::string& key,
                  const std::optional<plist::Value>& value, bool force, const LockWait& wait) {
  const KeyInfo* info = findKey(key);
  if (info == nullptr && !force) return {false, unknownKey(key), ""};
  auto edit = [&](plist::Dictionary& entries) {
    auto position = std::find_if(entries.begin(), entries.end(),
                                 [&](const auto& entry) { return entry.first == key; });
    if (!value) {
      if (position == entries.end()) return false;
      entries.erase(position);
    } else if (position != entries.end()) {
      position->second = *value;
    } else {
      entries.push_back({key, *value});
    }
    return true;
  };
  SettingsUpdate update = updateSettings(path, force, edit, wait);
  switch (update.outcome) {
    case SettingsUpdate::Outcome::kRefused:
      return {false, update.problem + forceAdvice(update), ""};
    case SettingsUpdate::Outcome::kFailed:
      return {false, update.problem, ""};
    case SettingsUpdate::Outcome::kBusy:
      return {false, update.problem, "", true};
    case SettingsUpdate::Outcome::kUnchanged:
      return {true, keyText(key) + " was not set", ""};
    case SettingsUpdate::Outcome::kWritten:
      break;
  }
  std::string report = value ? keyText(key) + " = " + showValue(*value)
                             : keyText(key) + " unset" +
                                   (info ? " (the library uses " + info->defaultText + ")" : "");
  if (info != nullptr) report += std::string(": ") + whenItApplies(info->source);
  return {true, report, update.keptAs};
}

}  // namespace

std::string unknownKey(const std::string& key) {
  return "unknown key " + quotedText(key) +
         ": the library does not read it (vorla-prefs list shows every key; --force uses it)";
}

EditResult setKey(const std::string& path, const std::string& key, const std::string& text,
                  bool force, const LockWait& wait) {
  const KeyInfo* info = findKey(key);
  if (info == nullptr && !force) return {false, unknownKey(key), ""};
  ParsedValue parsed = valueForKey(key, info ? info->kind : KeyKind::kText, text);
  if (auto* refusal = std::get_if<std::string>(&parsed)) return {false, *refusal, ""};
  return change(path, key, std::get<plist::Value>(std::move(parsed)), force, wait);
}

EditResult unsetKey(const std::string& path, const std::string& key, bool force,
                    const LockWait& wait) {
  return change(path, key, std::nullopt, force, wait);
}

}  // namespace vorla::tools
