// The settings pane as vorla-pane writes it, read back with the project's property-list reader
// and held to the key catalogue: every key the library reads, once, each with the control and the
// default its kind and the library call for.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "ios/pane/pane_specifiers.h"
#include "standin/plist/plist_reader.h"
#include "standin/text/colour_text.h"
#include "tools/common/key_catalogue.h"
#include "tools/common/plist_writer.h"

namespace vorla::pane {
namespace {

using plist::Array;
using plist::Dictionary;
using plist::Value;
using tools::KeyInfo;
using tools::KeyKind;

std::string textOf(const Dictionary& specifier, const char* name) {
  const Value* value = plist::find(specifier, name);
  return value && value->is<std::string>() ? *value->get_if<std::string>() : "";
}

// A key's control, the group it stands in, and the line beneath it.
struct Row {
  const Dictionary* control;
  std::string group;
  std::string explanation;
};

class WrittenPane : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string path = ::testing::TempDir() + "pane_test." + std::to_string(::getpid()) + ".plist";
    {
      std::ofstream out(path, std::ios::binary);
      out << plist::writeXml(settingsPane(tools::keyCatalogue()));
      ASSERT_TRUE(out.flush()) << path;
    }
    auto read = plist::readFile(path.c_str());
    std::filesystem::remove(path);
    ASSERT_TRUE(read) << "the pane is not a property list";
    pane_ = new Value(std::move(*read));
  }
  static void TearDownTestSuite() { delete pane_; }
  void SetUp() override { ASSERT_NE(pane_, nullptr); }

  static const Dictionary& top() { return *pane_->get_if<Dictionary>(); }
  static const Array& items() { return *plist::find(top(), "items")->get_if<Array>(); }

  // Every keyed specifier by its key, as often as it occurs.
  static std::multimap<std::string, Row> rows() {
    std::multimap<std::string, Row> found;
    std::string group;
    for (std::size_t i = 0; i < items().size(); ++i) {
      const Dictionary& specifier = *items()[i].get_if<Dictionary>();
      if (textOf(specifier, "cell") == "PSGroupCell") group = textOf(specifier, "label");
      if (!plist::find(specifier, "key")) continue;
      std::string explanation;
      if (i + 1 < items().size()) {
        const Dictionary& next = *items()[i + 1].get_if<Dictionary>();
        if (textOf(next, "cell") == "PSStaticTextCell") explanation = textOf(next, "label");
      }
      found.emplace(textOf(specifier, "key"), Row{&specifier, group, explanation});
    }
    return found;
  }

  static const Value* pane_;
};

const Value* WrittenPane::pane_ = nullptr;

TEST_F(WrittenPane, IsAPaneTheLoaderReads) {
  ASSERT_TRUE(pane_->is<Dictionary>());
  const Value* entry = plist::find(top(), "entry");
  ASSERT_TRUE(entry && entry->is<Dictionary>());
  EXPECT_EQ(textOf(*entry->get_if<Dictionary>(), "cell"), "PSLinkCell");
  EXPECT_EQ(textOf(*entry->get_if<Dictionary>(), "label"), "VorlaPro");
  EXPECT_EQ(textOf(top(), "title"), "VorlaPro");
  ASSERT_TRUE(plist::find(top(), "items") && plist::find(top(), "items")->is<Array>());
  for (const Value& item : items()) {
    ASSERT_TRUE(item.is<Dictionary>());
    EXPECT_NE(textOf(*item.get_if<Dictionary>(), "cell"), "");
  }
}

TEST_F(WrittenPane, OffersEveryKeyOfTheCatalogueOnceAndNoOther) {
  auto found = rows();
  std::set<std::string> catalogued;
  for (const KeyInfo& key : tools::keyCatalogue()) {
    catalogued.insert(key.key);
    EXPECT_EQ(found.count(key.key), 1u) << key.key;
  }
  for (const auto& [key, row] : found) {
    EXPECT_TRUE(catalogued.count(key)) << key << " is not a key the library reads";
    EXPECT_EQ(textOf(*row.control, "defaults"), "com.pellobrast.vorla") << key;
  }
}

TEST_F(WrittenPane, GroupsKeysByAppUnderOneGroupEach) {
  std::multiset<std::string> groups;
  for (const Value& item : items()) {
    const Dictionary& specifier = *item.get_if<Dictionary>();
    if (textOf(specifier, "cell") == "PSGroupCell") groups.insert(textOf(specifier, "label"));
  }
  auto found = rows();
  std::set<std::string> apps;
  for (const KeyInfo& key : tools::keyCatalogue()) {
    std::string title = tools::appTitle(key.app);
    apps.insert(title);
    EXPECT_EQ(groups.count(title), 1u) << title;
    if (auto row = found.find(key.key); row != found.end()) {
      EXPECT_EQ(row->second.group, title) << key.key;
    }
  }
  EXPECT_EQ(groups.size(), apps.size());
}

// Titles read as Settings' own do; the line beneath a control says what it does and when a
// change applies: the library reads an enable key once, as its app starts, and every other key at
// each use.
TEST_F(WrittenPane, TitlesAndExplanationsArePlainToAPerson) {
  auto found = rows();
  std::map<std::string, std::set<std::string>> titlesByGroup;
  for (const KeyInfo& key : tools::keyCatalogue()) {
    auto row = found.find(key.key);
    ASSERT_NE(row, found.end()) << key.key;
    std::string title = textOf(*row->second.control, "label");
    EXPECT_FALSE(title.empty() || title == key.key) << key.key << ": " << title;
    EXPECT_FALSE(title.starts_with("The ") || title.starts_with("A ")) << key.key << ": " << title;
    EXPECT_FALSE(!title.empty() && std::islower(static_cast<unsigned char>(title[0])) &&
                 !title.starts_with("iP"))
        << key.key << ": " << title;
    EXPECT_TRUE(titlesByGroup[row->second.group].insert(title).second)
        << "two rows of " << row->second.group << " are both titled " << title;
    const std::string& explanation = row->second.explanation;
    EXPECT_NE(explanation.find(key.meaning), std::string::npos) << key.key;
    std::string atStart = key.app == "every" ? "each app when it next starts"
                                             : tools::appTitle(key.app) + " next starts";
    EXPECT_EQ(explanation.find(atStart) != std::string::npos,
              key.source == tools::KeySource::kEnableKey)
        << key.key << ": " << explanation;
    // A settings-file key's meaning names the hooks that read it, which no title should.
    if (key.source == tools::KeySource::kSettingsFile) {
      std::string hookClass = key.meaning.substr(key.meaning.find(" of ") + 4);
      hookClass = hookClass.substr(0, hookClass.find(' '));
      EXPECT_EQ(title.find(hookClass), std::string::npos) << key.key << ": " << title;
    }
  }
}

// How often `name` stands as a whole word in `text`, as a key's name stands in a meaning.
std::size_t timesNamed(const std::string& text, const std::string& name) {
  std::size_t times = 0;
  std::string word;
  for (char c : text + ' ') {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
      word += c;
    } else {
      times += word == name;
      word.clear();
    }
  }
  return times;
}

// A switch whose meaning names the values it applies ("home indicator height set to
// sliderKeya") stands right above their controls, and its title says so instead of naming them.
TEST_F(WrittenPane, ASwitchStandsAboveTheValuesItNamesAndSaysSo) {
  std::vector<std::string> order;
  std::map<std::string, std::string> titles;
  for (const Value& item : items()) {
    const Dictionary& specifier = *item.get_if<Dictionary>();
    if (!plist::find(specifier, "key")) continue;
    order.push_back(textOf(specifier, "key"));
    titles[order.back()] = textOf(specifier, "label");
  }
  const auto& catalogue = tools::keyCatalogue();
  std::size_t switchesNamingValues = 0;
  for (const KeyInfo& key : catalogue) {
    if (key.kind != KeyKind::kBoolean) continue;
    std::set<std::string> named;
    for (const KeyInfo& value : catalogue) {
      if (value.app == key.app && value.source != tools::KeySource::kEnableKey &&
          value.key != key.key && timesNamed(key.meaning, value.key) > 0) {
        named.insert(value.key);
      }
    }
    const std::string& title = titles[key.key];
    if (named.empty()) {
      EXPECT_EQ(title.find(" below"), std::string::npos) << key.key << ": " << title;
      continue;
    }
    ++switchesNamingValues;
    auto at = std::find(order.begin(), order.end(), key.key);
    ASSERT_LE(named.size(), static_cast<std::size_t>(order.end() - at - 1)) << key.key;
    EXPECT_EQ(std::set<std::string>(at + 1, at + 1 + named.size()), named) << key.key;
    EXPECT_NE(title.find(" below"), std::string::npos) << key.key << ": " << title;
    for (const std::string& value : named) {
      EXPECT_LT(timesNamed(title, value), timesNamed(key.meaning, value))
          << key.key << "'s title names " << value << ": " << title;
    }
  }
  EXPECT_GT(switchesNamingValues, 0u);
}

const Value& valueOf(const Dictionary& specifier, const char* name) {
  static const Value kAbsent{std::string("(absent)")};
  const Value* value = plist::find(specifier, name);
  return value ? *value : kAbsent;
}

// Numbers and punctuation for every number; the number pad, which has neither a decimal point
// nor a minus sign, for whole numbers only.
void expectNumericEntry(const Dictionary& control, KeyKind kind) {
  EXPECT_EQ(textOf(control, "cell"), "PSEditTextCell");
  EXPECT_EQ(textOf(control, "keyboard"), "numbers");
  EXPECT_EQ(plist::find(control, "isNumeric") != nullptr, kind == KeyKind::kInteger);
  if (kind == KeyKind::kInteger) {
    EXPECT_EQ(valueOf(control, "isNumeric"), Value{true});
  }
}

// A colour is typed as the text the library reads, with the forms shown, never corrected.
void expectColourEntry(const Dictionary& control, const KeyInfo& key) {
  EXPECT_EQ(textOf(control, "cell"), "PSEditTextCell") << key.key;
  EXPECT_EQ(plist::find(control, "cellClass"), nullptr) << key.key;
  EXPECT_TRUE(textOf(control, "placeholder").starts_with("#rrggbb")) << key.key;
  EXPECT_EQ(textOf(control, "autoCaps"), "none") << key.key;
  EXPECT_EQ(valueOf(control, "noAutoCorrect"), Value{true}) << key.key;
}

void expectChoices(const Dictionary& control, const KeyInfo& key, double unset) {
  EXPECT_EQ(textOf(control, "cell"), "PSLinkListCell");
  EXPECT_EQ(textOf(control, "detail"), "PSListItemsController");
  const Value* values = plist::find(control, "validValues");
  const Value* titles = plist::find(control, "validTitles");
  ASSERT_TRUE(values && values->is<Array>() && titles && titles->is<Array>()) << key.key;
  const Array& codes = *values->get_if<Array>();
  const Array& names = *titles->get_if<Array>();
  ASSERT_EQ(codes.size(), names.size()) << key.key;
  std::size_t next = 0;  // the choices in the library's order, the default possibly before them
  for (const features::CodeChoice& choice : key.choices) {
    while (next < codes.size() && codes[next] != Value{choice.code}) ++next;
    ASSERT_LT(next, codes.size()) << key.key << " lacks code " << choice.code;
    EXPECT_EQ(names[next].get_if<std::string>()->find(choice.meaning), 0u) << key.key;
  }
  EXPECT_LE(codes.size(), key.choices.size() + 1) << key.key;
  EXPECT_NE(std::find(codes.begin(), codes.end(), Value{unset}), codes.end())
      << key.key << ": its default is not in its list";
}

TEST_F(WrittenPane, EachControlAndDefaultFollowsTheKeysKind) {
  auto found = rows();
  for (const KeyInfo& key : tools::keyCatalogue()) {
    auto row = found.find(key.key);
    ASSERT_NE(row, found.end()) << key.key;
    const Dictionary& control = *row->second.control;
    const Value* unset = plist::find(control, "default");
    ASSERT_TRUE(unset) << key.key;
    std::string cell = textOf(control, "cell");
    SCOPED_TRACE(key.key + " (" + std::string(tools::kindName(key.kind)) + ")");
    switch (key.kind) {
      case KeyKind::kBoolean:
        EXPECT_EQ(cell, "PSSwitchCell");
        EXPECT_EQ(*unset, Value{key.defaultText == "on"});
        break;
      case KeyKind::kDouble:
        ASSERT_TRUE(unset->is<double>());
        EXPECT_EQ(*unset->get_if<double>(), std::strtod(key.defaultText.c_str(), nullptr));
        if (key.choices.empty()) {
          expectNumericEntry(control, key.kind);
        } else {
          expectChoices(control, key, *unset->get_if<double>());
        }
        break;
      case KeyKind::kInteger:
        expectNumericEntry(control, key.kind);
        EXPECT_EQ(*unset, Value{plist::Integer{std::stoll(key.defaultText)}});
        break;
      case KeyKind::kText:
        EXPECT_EQ(cell, "PSEditTextCell");
        EXPECT_EQ(textOf(control, "autoCaps"), "sentences");
        ASSERT_TRUE(unset->is<std::string>());
        EXPECT_EQ('"' + *unset->get_if<std::string>() + '"', key.defaultText);
        break;
      case KeyKind::kColour: {
        expectColourEntry(control, key);
        ASSERT_TRUE(unset->is<std::string>());
        const std::string& colour = *unset->get_if<std::string>();
        EXPECT_TRUE(text::parseColourText(colour))
            << colour << " is not a colour the library reads";
        // The fallback of the first hook that reads the key.
        EXPECT_TRUE(key.defaultText.starts_with(colour)) << colour << " vs " << key.defaultText;
        break;
      }
    }
    // The preferences service rereads the suite on this notification, which Settings posts
    // once it has stored a control's value.
    EXPECT_EQ(textOf(control, "PostNotification"), "com.pellobrast.vorla/ReloadPrefs");
  }
}

TEST(UnsetValue, RefusesADefaultTheLibraryCouldNotHave) {
  KeyInfo colour{"c", tools::KeySource::kSettingsFile, KeyKind::kColour, "#12345", "every", "", {}};
  EXPECT_THROW(unsetValue(colour), std::logic_error);
  KeyInfo text{"t", tools::KeySource::kRegistered, KeyKind::kText, "unquoted", "every", "", {}};
  EXPECT_THROW(unsetValue(text), std::logic_error);
  KeyInfo count{"n", tools::KeySource::kSettingsFile, KeyKind::kInteger, "1.5", "every", "", {}};
  EXPECT_THROW(unsetValue(count), std::logic_error);
}

}  // namespace
}  // namespace vorla::pane
