#include "tools/common/key_catalogue.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <charconv>
#include <map>

#include "hosts/host_apps.h"
#include "tweak/load_sequence.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::tools {
namespace {

std::string numberText(double value) {
  char buffer[32];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

std::string hookName(const core::Hook& hook) {
  return std::string(hook.kind == core::MethodKind::kClass ? "+" : "") + hook.className + " " +
         hook.selector;
}

void addEnableKeys(std::vector<KeyInfo>& keys) {
  std::map<std::string, std::size_t, std::less<>> seen;
  for (const core::Constructor* constructor : loadSequence()) {
    if (constructor->enableKey == nullptr) continue;
    // Two constructors may share a key: one row, both meanings.
    if (auto it = seen.find(constructor->enableKey); it != seen.end()) {
      keys[it->second].meaning += "; " + std::string(constructor->meaning);
      continue;
    }
    seen.emplace(constructor->enableKey, keys.size());
    keys.push_back({constructor->enableKey,
                    KeySource::kEnableKey,
                    KeyKind::kBoolean,
                    "off",
                    constructor->app,
                    constructor->meaning,
                    {}});
  }
}

void addRegisteredSettings(std::vector<KeyInfo>& keys) {
  using Kind = settings::SettingDescription::Kind;
  const features::CodedSetting coded[] = {features::aboutVersionCodes(),
                                          features::aboutModelCodes(), features::phoneTabCodes(),
                                          features::keyboardColourCodes()};
  for (const settings::SettingDescription& setting : settings::kSettings) {
    KeyInfo info{
        setting.key, KeySource::kRegistered, KeyKind::kBoolean, "off", setting.app, setting.meaning,
        {}};
    for (const features::CodedSetting& codes : coded) {
      if (codes.variable == setting.variable) info.choices = codes.choices;
    }
    if (setting.kind == Kind::kDouble) {
      info.kind = KeyKind::kDouble;
      info.defaultText = numberText(setting.defaultNumber);
    } else if (setting.kind == Kind::kObject) {
      info.kind = KeyKind::kText;
      info.defaultText = "\"\"";
    }
    keys.push_back(std::move(info));
  }
}

// A settings-file key is described by the hooks that read it: their fallbacks, and which hooks.
void addSettingsFileKeys(std::vector<KeyInfo>& keys) {
  struct Reader {
    std::vector<std::string> fallbacks;
    std::vector<std::string> hooks;
    const core::Constructor* constructor;
  };
  std::vector<std::pair<std::string, Reader>> readers;
  for (const core::Constructor* constructor : loadSequence()) {
    for (const core::Hook& hook : constructor->hooks) {
      if (hook.fileKey.key == nullptr) continue;
      auto it = std::find_if(readers.begin(), readers.end(),
                             [&](const auto& entry) { return entry.first == hook.fileKey.key; });
      if (it == readers.end()) {
        readers.push_back({hook.fileKey.key, {{}, {}, constructor}});
        it = std::prev(readers.end());
      }
      Reader& reader = it->second;
      reader.hooks.push_back(hookName(hook));
      std::string fallback = hook.fileKey.fallback ? hook.fileKey.fallback : "0";
      if (std::find(reader.fallbacks.begin(), reader.fallbacks.end(), fallback) ==
          reader.fallbacks.end()) {
        reader.fallbacks.push_back(fallback);
      }
    }
  }
  for (auto& [key, reader] : readers) {
    bool colour = reader.fallbacks.front().starts_with("#");
    std::string defaults = fmt::format("{}", fmt::join(reader.fallbacks, " / "));
    std::string meaning = std::string(colour ? "colour" : "count") + " of " + reader.hooks.front();
    if (reader.hooks.size() > 1) {
      meaning += fmt::format(" and {} more", reader.hooks.size() - 1);
    }
    meaning += ", while " + std::string(reader.constructor->enableKey) + " is on";
    keys.push_back({key,
                    KeySource::kSettingsFile,
                    colour ? KeyKind::kColour : KeyKind::kInteger,
                    defaults,
                    reader.constructor->app,
                    meaning,
                    {}});
  }
}

}  // namespace

const std::vector<KeyInfo>& keyCatalogue() {
  static const std::vector<KeyInfo> keys = [] {
    std::vector<KeyInfo> all;
    addEnableKeys(all);
    addRegisteredSettings(all);
    addSettingsFileKeys(all);
    return all;
  }();
  return keys;
}

const KeyInfo* findKey(std::string_view key) {
  for (const KeyInfo& info : keyCatalogue()) {
    if (info.key == key) return &info;
  }
  return nullptr;
}

namespace {

// The first hook that reads `key` from the settings file, with the constructor it belongs to.
std::pair<const core::Hook*, const core::Constructor*> firstReader(std::string_view key) {
  for (const core::Constructor* constructor : loadSequence()) {
    for (const core::Hook& hook : constructor->hooks) {
      if (hook.fileKey.key != nullptr && key == hook.fileKey.key) return {&hook, constructor};
    }
  }
  return {nullptr, nullptr};
}

}  // namespace

std::string defaultValueText(const KeyInfo& info) {
  switch (info.source) {
    case KeySource::kSettingsFile: {
      const core::Hook* hook = firstReader(info.key).first;
      return hook && hook->fileKey.fallback ? hook->fileKey.fallback : "0";
    }
    case KeySource::kRegistered:
      return info.kind == KeyKind::kText ? "" : info.defaultText;
    case KeySource::kEnableKey:
      break;
  }
  return info.defaultText;
}

std::string gatingEnableKey(const KeyInfo& info) {
  if (info.source != KeySource::kSettingsFile) return "";
  const core::Constructor* constructor = firstReader(info.key).second;
  return constructor && constructor->enableKey ? constructor->enableKey : "";
}

std::string_view sourceName(KeySource source) {
  switch (source) {
    case KeySource::kEnableKey:
      return "enable key";
    case KeySource::kRegistered:
      return "setting";
    case KeySource::kSettingsFile:
      return "file key";
  }
  return "";
}

std::string_view kindName(KeyKind kind) {
  switch (kind) {
    case KeyKind::kBoolean:
      return "boolean";
    case KeyKind::kDouble:
      return "double";
    case KeyKind::kText:
      return "text";
    case KeyKind::kColour:
      return "colour";
    case KeyKind::kInteger:
      return "integer";
  }
  return "";
}

std::vector<std::string> keyGroupApps() {
  std::vector<std::string> apps;
  for (const hosts::HostApp& app : hosts::hostApps()) apps.push_back(app.name);
  apps.push_back(settings::kEveryApp);
  return apps;
}

std::string appTitle(std::string_view app) {
  for (const hosts::HostApp& host : hosts::hostApps()) {
    if (app == host.name) return host.title;
  }
  return "Every app";
}

}  // namespace vorla::tools
