#include "ios/pane/pane_specifiers.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "hosts/host_apps.h"
#include "ios/pane/pane_labels.h"
#include "tools/common/key_values.h"
#include "tools/common/key_catalogue.h"
#include "tweak/host/services.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::pane {
namespace {

using plist::Array;
using plist::Dictionary;
using plist::Value;
using tools::KeyInfo;
using tools::KeyKind;

Value text(std::string_view content) { return Value{std::string(content)}; }

// A colour key read by several hooks has one fallback per hook ("#ffaa00 / #ffffff"); the field
// can show only one, and the line beneath it names them all.
std::string_view firstFallback(std::string_view defaults) {
  return defaults.substr(0, defaults.find(" / "));
}

// The catalogue shows a text's default quoted, as the tools show texts.
std::string unquotedText(std::string_view quoted) {
  if (quoted.size() >= 2 && quoted.front() == '"' && quoted.back() == '"') {
    std::string inner(quoted.substr(1, quoted.size() - 2));
    if (tools::quotedText(inner) == quoted) return inner;
  }
  throw std::logic_error("the default of a text is not a quoted text: " + std::string(quoted));
}

// The apps in the order the tools list them, then any other app a key names, so no key is left
// without a group.
std::vector<std::string> appsInOrder(const std::vector<KeyInfo>& catalogue) {
  std::vector<std::string> apps = tools::keyGroupApps();
  for (const KeyInfo& key : catalogue) {
    if (std::find(apps.begin(), apps.end(), key.app) == apps.end()) apps.push_back(key.app);
  }
  return apps;
}

// The preferences service rereads the suite when this is posted, and Settings posts a control's
// PostNotification once it has stored the control's value: the registered settings then take a
// change at once rather than when the service next happens to reread.
std::string reloadNotification() { return std::string(host::kSuite) + "/ReloadPrefs"; }

// Numbers and punctuation, for a fraction or a sign ("0.5", "-2"); a count is a whole number,
// typed on the number pad.
void addNumericEntry(Dictionary& specifier, KeyKind kind) {
  specifier.push_back({"keyboard", text("numbers")});
  if (kind == KeyKind::kInteger) specifier.push_back({"isNumeric", Value{true}});
}

// A colour is typed as the text the library reads it from, so that what is stored is exactly
// what the library takes; the empty field shows the commonest forms, the line beneath lists all.
void addColourEntry(Dictionary& specifier) {
  specifier.push_back({"placeholder", text("#rrggbb or #rrggbb:alpha")});
  specifier.push_back({"autoCaps", text("none")});
  specifier.push_back({"noAutoCorrect", Value{true}});
}

// A coded setting is chosen from its list. The library leaves the app as it is for a code that
// selects no choice, and the default is such a code for most lists: it is offered first, so that
// a person can go back to it.
void addChoices(Dictionary& specifier, const KeyInfo& key, const Value& unset) {
  Array values;
  Array titles;
  const double* unsetCode = unset.get_if<double>();
  bool unsetIsAChoice =
      unsetCode && std::any_of(key.choices.begin(), key.choices.end(),
                               [&](const auto& c) { return c.code == *unsetCode; });
  if (!unsetIsAChoice) {
    values.push_back(unset);
    titles.push_back(text("None (code " + tools::showValue(unset) + ")"));
  }
  for (const features::CodeChoice& choice : key.choices) {
    // Assigned in place: GCC 12 warns, wrongly, of a double moved into a new Value's variant.
    values.emplace_back().content = choice.code;
    // Two codes may choose alike (the Phone tabs' 0 and 7): their codes tell them apart.
    auto sameMeaning = [&](const auto& other) { return other.meaning == choice.meaning; };
    bool shared = std::count_if(key.choices.begin(), key.choices.end(), sameMeaning) > 1;
    titles.push_back(text(shared
                              ? choice.meaning + " (code " + tools::showValue(values.back()) + ")"
                              : choice.meaning));
  }
  specifier.push_back({"detail", text("PSListItemsController")});
  specifier.push_back({"validValues", Value{std::move(values)}});
  specifier.push_back({"validTitles", Value{std::move(titles)}});
}

const char* cellOf(const KeyInfo& key) {
  if (key.kind == KeyKind::kBoolean) return "PSSwitchCell";
  return key.choices.empty() ? "PSEditTextCell" : "PSLinkListCell";
}

Value control(const KeyInfo& key, const std::vector<KeyInfo>& catalogue) {
  Value unset = unsetValue(key);
  Dictionary specifier{{"cell", text(cellOf(key))},
                       {"label", text(rowTitle(key, catalogue))},
                       {"key", text(key.key)},
                       {"defaults", text(host::kSuite)},
                       {"default", unset}};
  specifier.push_back({"PostNotification", text(reloadNotification())});
  if (!key.choices.empty()) {
    addChoices(specifier, key, unset);
  } else if (key.kind == KeyKind::kDouble || key.kind == KeyKind::kInteger) {
    addNumericEntry(specifier, key.kind);
  } else if (key.kind == KeyKind::kText) {
    // A text is shown by the app as it is typed: a title, a hint, a status.
    specifier.push_back({"autoCaps", text("sentences")});
  } else if (key.kind == KeyKind::kColour) {
    addColourEntry(specifier);
  }
  return Value{std::move(specifier)};
}

// The forms a colour may be typed in, as the colour utilities read them.
std::string colourForms(const KeyInfo& key) {
  if (key.kind != KeyKind::kColour) return "";
  return "A colour is #rrggbb, #rgb, #rrggbbaa, #rrggbb:alpha (0 to 1), rgb(r, g, b), "
         "rgba(r, g, b, alpha) or a colour name. ";
}

// When a change reaches the app: the library reads its enable keys once, as the app starts, and
// every other key at each use.
std::string whenItApplies(const KeyInfo& key) {
  if (key.source != tools::KeySource::kEnableKey) return "Applies at its next use.";
  if (key.app == settings::kEveryApp) return "Applies in each app when it next starts.";
  return "Applies when " + tools::appTitle(key.app) + " next starts.";
}

// Beneath each control: its key, so that a meaning naming another key can be followed, what it
// does, what the library uses while it is unset, and when a change applies.
Value explanation(const KeyInfo& key) {
  return Value{
      Dictionary{{"cell", text("PSStaticTextCell")},
                 {"label", text(key.key + ": " + key.meaning + " (unset: " + key.defaultText +
                                "). " + colourForms(key) + whenItApplies(key))}}};
}

// An app's keys in the catalogue's order, each followed at once by the values its meaning names,
// which its title says are below.
std::vector<const KeyInfo*> keysInPaneOrder(const std::string& app,
                                            const std::vector<KeyInfo>& catalogue) {
  std::vector<const KeyInfo*> ordered;
  auto add = [&](auto& self, const KeyInfo& key) -> void {
    if (std::find(ordered.begin(), ordered.end(), &key) != ordered.end()) return;
    ordered.push_back(&key);
    for (const KeyInfo* value : valuesNamedBy(key, catalogue)) self(self, *value);
  };
  for (const KeyInfo& key : catalogue) {
    if (key.app == app) add(add, key);
  }
  return ordered;
}

}  // namespace

Value unsetValue(const KeyInfo& key) {
  std::string typed = key.kind == KeyKind::kText     ? unquotedText(key.defaultText)
                      : key.kind == KeyKind::kColour ? std::string(firstFallback(key.defaultText))
                                                     : key.defaultText;
  tools::ParsedValue parsed = tools::parseValue(key.kind, typed);
  if (auto* why = std::get_if<std::string>(&parsed)) {
    throw std::logic_error("the default of " + key.key + " is not a value of its kind: " + *why);
  }
  return std::get<Value>(std::move(parsed));
}

Value settingsPane(const std::vector<KeyInfo>& catalogue) {
  Array items;
  for (const std::string& app : appsInOrder(catalogue)) {
    auto inApp = [&](const KeyInfo& key) { return key.app == app; };
    if (std::none_of(catalogue.begin(), catalogue.end(), inApp)) continue;
    items.push_back(
        Value{Dictionary{{"cell", text("PSGroupCell")}, {"label", text(tools::appTitle(app))}}});
    for (const KeyInfo* key : keysInPaneOrder(app, catalogue)) {
      items.push_back(control(*key, catalogue));
      items.push_back(explanation(*key));
    }
  }
  return Value{Dictionary{
      {"entry", Value{Dictionary{{"cell", text("PSLinkCell")}, {"label", text(kPaneTitle)}}}},
      {"title", text(kPaneTitle)},
      {"items", Value{std::move(items)}}}};
}

}  // namespace vorla::pane
