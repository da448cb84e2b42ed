// The state of the stand-in's value objects.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "standin/plist/plist_integer.h"
#include "standin/runtime/object.h"
#include "standin/text/colour_text.h"

namespace vorla::standin {

struct StringBody : Body {
  explicit StringBody(std::string t = {}) : text(std::move(t)) {}
  std::string text;
};

struct NumberBody : Body {
  enum class Kind { kBool, kInteger, kReal };
  Kind kind = Kind::kInteger;
  plist::Integer integer;  // kBool and kInteger
  double real = 0;         // kReal
};

struct ColourBody : Body {
  explicit ColourBody(text::Rgba c = {0, 0, 0, 0}) : rgba(c) {}
  text::Rgba rgba;
};

// Containers hold one reference to each element.
struct ArrayBody : Body {
  ~ArrayBody() override;
  std::vector<id> elements;
};

struct DictionaryBody : Body {
  ~DictionaryBody() override;
  std::vector<std::pair<id, id>> entries;  // keys are strings, unique, in file order
  // Each key's text to its entry, so a lookup in a large settings file costs no more than in a
  // small one. The views point into the key strings the entries hold.
  std::unordered_map<std::string_view, std::size_t> index;
};

struct DataBody : Body {
  std::vector<unsigned char> bytes;
};

struct DateBody : Body {
  double secondsSince2001 = 0;
};

// `+alloc` of a value class: the object holds the empty value of its kind from the start, so
// that one made with `new`, or `alloc` and `init`, answers every selector of its class.
template <class B>
id allocWithEmptyBody(id cls, SEL) {
  return createObject(reinterpret_cast<Class>(cls), std::make_unique<B>());
}

}  // namespace vorla::standin
