#include "standin/plist/plist_value.h"

namespace vorla::plist {

const Value* find(const Dictionary& dictionary, std::string_view key) {
  for (const auto& [entryKey, value] : dictionary) {
    if (entryKey == key) return &value;
  }
  return nullptr;
}

}  // namespace vorla::plist
