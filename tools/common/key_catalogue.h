// Every key of the suite that the library reads, taken from the library's own tables (its load
// sequence and its settings registry), so that the tools can never disagree with the library.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tweak/features/coded_settings.h"

namespace vorla::tools {

enum class KeySource { kEnableKey, kRegistered, kSettingsFile };
enum class KeyKind { kBoolean, kDouble, kText, kColour, kInteger };

struct KeyInfo {
  std::string key;
  KeySource source;
  KeyKind kind;
  std::string defaultText;  // what the library uses while the key is absent
  std::string app;          // a host app's name, or "every" for the interface framework
  std::string meaning;
  // For a setting that holds a code: what each code chooses, in the library's own order.
  std::vector<features::CodeChoice> choices;
};

// Enable keys in load order, then registered settings in registration order, then the
// settings-file keys in the order of the hooks that first read them.
const std::vector<KeyInfo>& keyCatalogue();

// Null for a key the library does not read.
const KeyInfo* findKey(std::string_view key);

// The value the library uses while the key is absent, as it would be typed: "" for an empty
// text, and for a settings-file key the fallback of the first hook that reads it (the others may
// differ, which defaultText shows).
std::string defaultValueText(const KeyInfo& info);

// The enable key of the constructor whose hooks read a settings-file key: while it is off, the key
// changes nothing. "" for a key that no enable key gates.
std::string gatingEnableKey(const KeyInfo& info);

std::string_view sourceName(KeySource source);
std::string_view kindName(KeyKind kind);

// The apps the keys are grouped by, in the order a settings pane shows them: the host apps, then
// the interface framework's keys, which act in every app.
std::vector<std::string> keyGroupApps();

// "Safari", "SpringBoard", ... for a host app's name; "Every app" for the interface framework.
std::string appTitle(std::string_view app);

}  // namespace vorla::tools
