#include "standin/plist/xml_plist_parser.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "standin/plist/parse_budget.h"
#include "standin/plist/unique_keys.h"
#include "standin/plist/xml_scalar_text.h"

namespace vorla::plist::detail {
namespace {

enum class Element {
  kPlist,
  kDict,
  kArray,
  kKey,
  kString,
  kInteger,
  kReal,
  kTrue,
  kFalse,
  kDate,
  kData
};

std::optional<Element> elementNamed(std::string_view name) {
  static constexpr std::pair<std::string_view, Element> kNames[] = {
      {"plist", Element::kPlist}, {"dict", Element::kDict},     {"array", Element::kArray},
      {"key", Element::kKey},     {"string", Element::kString}, {"integer", Element::kInteger},
      {"real", Element::kReal},   {"true", Element::kTrue},     {"false", Element::kFalse},
      {"date", Element::kDate},   {"data", Element::kData},
  };
  for (const auto& [candidate, element] : kNames) {
    if (candidate == name) return element;
  }
  return std::nullopt;
}

bool holdsValues(Element element) {
  return element == Element::kPlist || element == Element::kDict || element == Element::kArray;
}

bool holdsText(Element element) {
  return element == Element::kKey || element == Element::kString || element == Element::kInteger ||
         element == Element::kReal || element == Element::kDate || element == Element::kData;
}

struct ParserDeleter {
  void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};
using ParserHandle = std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserDeleter>;

// Builds the value tree from expat's events. Any violation stops expat at once and marks the
// parse failed; expat may still deliver an event or two after that, so every handler checks.
class XmlPlistBuilder {
 public:
  std::optional<Value> run(std::span<const std::uint8_t> bytes) {
    ParserHandle parser(XML_ParserCreate(nullptr));
    if (!parser) return std::nullopt;
    parser_ = parser.get();
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &onStart, &onEnd);
    XML_SetCharacterDataHandler(parser_, &onText);
    // Entities are the one way an XML file can make its parser expand or fetch content.
    XML_SetEntityDeclHandler(parser_, &onEntityDeclaration);
    XML_SetSkippedEntityHandler(parser_, &onSkippedEntity);

    constexpr std::size_t kChunk = INT_MAX;
    const char* data = reinterpret_cast<const char*>(bytes.data());
    std::size_t done = 0;
    do {
      const std::size_t chunk = std::min(bytes.size() - done, kChunk);
      const bool last = done + chunk == bytes.size();
      if (XML_Parse(parser_, data + done, static_cast<int>(chunk), last) != XML_STATUS_OK) {
        return std::nullopt;
      }
      done += chunk;
    } while (done < bytes.size());
    if (failed_ || !result_) return std::nullopt;
    return std::move(result_);
  }

 private:
  struct Frame {
    Element element;
    Value container;                 // an Array (also for <plist>) or a Dictionary
    std::optional<std::string> key;  // a dictionary key still waiting for its value
  };

  static XmlPlistBuilder& self(void* userData) { return *static_cast<XmlPlistBuilder*>(userData); }

  static void XMLCALL onStart(void* userData, const XML_Char* name, const XML_Char**) {
    XmlPlistBuilder& builder = self(userData);
    if (!builder.failed_ && !builder.open(name)) builder.fail();
  }

  static void XMLCALL onEnd(void* userData, const XML_Char*) {
    XmlPlistBuilder& builder = self(userData);
    if (!builder.failed_ && !builder.close()) builder.fail();
  }

  static void XMLCALL onText(void* userData, const XML_Char* text, int length) {
    XmlPlistBuilder& builder = self(userData);
    if (!builder.failed_ && !builder.addText(std::string_view(text, length))) builder.fail();
  }

  static void XMLCALL onEntityDeclaration(void* userData, const XML_Char*, int, const XML_Char*,
                                          int, const XML_Char*, const XML_Char*, const XML_Char*,
                                          const XML_Char*) {
    self(userData).fail();
  }

  static void XMLCALL onSkippedEntity(void* userData, const XML_Char*, int) {
    self(userData).fail();
  }

  void fail() {
    failed_ = true;
    XML_StopParser(parser_, XML_FALSE);
  }

  bool open(std::string_view name) {
    const auto element = elementNamed(name);
    if (!element) return false;
    if (stack_.empty()) {
      if (*element != Element::kPlist) return false;
    } else {
      Frame& parent = stack_.back();
      if (!holdsValues(parent.element) || *element == Element::kPlist) return false;
      const bool isKey = *element == Element::kKey;
      if (parent.element == Element::kDict && isKey == parent.key.has_value()) return false;
      if (parent.element != Element::kDict && isKey) return false;
      if (parent.element == Element::kPlist && !parent.container.get_if<Array>()->empty()) {
        return false;
      }
    }
    if (*element == Element::kDict || *element == Element::kArray) {
      if (containerDepth_ == kMaxDepth) return false;
      ++containerDepth_;
    }
    Frame frame{*element, {}, std::nullopt};
    if (*element == Element::kDict) frame.container.content = Dictionary{};
    if (*element == Element::kArray || *element == Element::kPlist) {
      frame.container.content = Array{};
    }
    stack_.push_back(std::move(frame));
    text_.clear();
    return true;
  }

  bool addText(std::string_view text) {
    if (!stack_.empty() && holdsText(stack_.back().element)) {
      text_.append(text);
      return true;
    }
    return std::all_of(text.begin(), text.end(), isXmlWhitespace);
  }

  bool close() {
    Frame frame = std::move(stack_.back());
    stack_.pop_back();
    if (frame.element == Element::kDict || frame.element == Element::kArray) --containerDepth_;
    if (frame.element == Element::kKey) {
      if (!budget_.takeValue() || !budget_.takeBytes(text_.size())) return false;
      stack_.back().key = std::move(text_);
      return true;
    }
    if (frame.element == Element::kPlist) {
      auto* values = frame.container.get_if<Array>();
      if (values->size() != 1) return false;
      result_ = std::move(values->front());
      return true;
    }
    auto value = finish(frame);
    if (!value || !budget_.takeValue()) return false;
    attach(std::move(*value));
    return true;
  }

  std::optional<Value> finish(Frame& frame) {
    switch (frame.element) {
      case Element::kDict:
        if (frame.key) return std::nullopt;
        keepLastValuePerKey(*frame.container.get_if<Dictionary>());
        return std::move(frame.container);
      case Element::kArray:
        return std::move(frame.container);
      case Element::kString:
        if (!budget_.takeBytes(text_.size())) return std::nullopt;
        return Value{std::move(text_)};
      case Element::kInteger:
        return wrap(parseXmlInteger(text_));
      case Element::kReal:
        return wrap(parseXmlReal(text_));
      case Element::kDate:
        return wrap(parseXmlDate(text_));
      case Element::kData: {
        auto data = decodeBase64(text_);
        if (!data || !budget_.takeBytes(data->size())) return std::nullopt;
        return Value{std::move(*data)};
      }
      case Element::kTrue:
        return Value{true};
      case Element::kFalse:
        return Value{false};
      case Element::kPlist:
      case Element::kKey:
        break;
    }
    return std::nullopt;
  }

  template <typename T>
  static std::optional<Value> wrap(std::optional<T> scalar) {
    if (!scalar) return std::nullopt;
    return Value{*scalar};
  }

  void attach(Value value) {
    Frame& parent = stack_.back();
    if (auto* entries = parent.container.get_if<Dictionary>()) {
      entries->push_back({std::move(*parent.key), std::move(value)});
      parent.key.reset();
    } else {
      parent.container.get_if<Array>()->push_back(std::move(value));
    }
  }

  XML_Parser parser_ = nullptr;
  std::vector<Frame> stack_;
  std::size_t containerDepth_ = 0;
  std::string text_;  // of the one text element that can be open at a time
  std::optional<Value> result_;
  ParseBudget budget_;
  bool failed_ = false;
};

}  // namespace

std::optional<Value> parseXmlPlist(std::span<const std::uint8_t> bytes) {
  return XmlPlistBuilder().run(bytes);
}

}  // namespace vorla::plist::detail
