// Each key's control in the settings pane, with the default its kind and the library call for.
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "standin/text/colour_text.h"
#include "tests/ios/written_pane.h"

namespace vorla::pane {
namespace {

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
