// What each code of the four coded settings chooses, read from the very tables their
// replacements use, so that tools can name the codes without keeping a copy of the tables. The
// library's own hooks never call these.
#pragma once

#include <string>
#include <vector>

namespace vorla::features {

struct CodeChoice {
  double code;
  std::string meaning;  // "14.5", "iPhone 8", "Favorites and Recents hidden", "orange"
};

struct CodedSetting {
  const void* variable;  // the registered setting that holds the code
  std::vector<CodeChoice> choices;
};

// In the order the replacements test the codes.
CodedSetting aboutVersionCodes();
CodedSetting aboutModelCodes();
CodedSetting phoneTabCodes();
CodedSetting keyboardColourCodes();

}  // namespace vorla::features
