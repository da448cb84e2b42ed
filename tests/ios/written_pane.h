// The settings pane as vorla-pane writes it, read back once per test suite with the project's
// property-list reader, and its keyed rows as a person sees them.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "ios/pane/pane_specifiers.h"
#include "standin/plist/plist_reader.h"
#include "tools/common/key_catalogue.h"
#include "tools/common/plist_writer.h"

namespace vorla::pane {

using plist::Array;
using plist::Dictionary;
using plist::Value;
using tools::KeyInfo;
using tools::KeyKind;

inline std::string textOf(const Dictionary& specifier, const char* name) {
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

  inline static const Value* pane_ = nullptr;
};

}  // namespace vorla::pane
