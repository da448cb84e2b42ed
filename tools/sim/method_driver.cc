#include "tools/sim/method_driver.h"

#include <ffi.h>

#include <charconv>
#include <cstring>
#include <optional>
#include <variant>

#include "hosts/host_apps.h"
#include "hosts/model.h"
#include "standin/foundation/values.h"
#include "standin/runtime/message.h"
#include "standin/runtime/object.h"

namespace vorla::sim {
namespace {

// One C type of a method, from its encoding: a code letter, or '^' with what it points to.
struct CType {
  char code;
  char pointee = 0;
  ffi_type* ffi;
};

std::optional<CType> typeOf(char code, char pointee) {
  switch (code) {
    case 'v':
      return CType{code, 0, &ffi_type_void};
    case 'c':
      return CType{code, 0, &ffi_type_sint8};
    case 'C':
    case 'B':
      return CType{code, 0, &ffi_type_uint8};
    case 's':
      return CType{code, 0, &ffi_type_sint16};
    case 'S':
      return CType{code, 0, &ffi_type_uint16};
    case 'i':
      return CType{code, 0, &ffi_type_sint32};
    case 'I':
      return CType{code, 0, &ffi_type_uint32};
    // long is as wide as a pointer: 32 bits in a 32-bit host.
    case 'l':
      return CType{code, 0, sizeof(long) == 8 ? &ffi_type_sint64 : &ffi_type_sint32};
    case 'L':
      return CType{code, 0, sizeof(long) == 8 ? &ffi_type_uint64 : &ffi_type_uint32};
    case 'q':
      return CType{code, 0, &ffi_type_sint64};
    case 'Q':
      return CType{code, 0, &ffi_type_uint64};
    case 'f':
      return CType{code, 0, &ffi_type_float};
    case 'd':
      return CType{code, 0, &ffi_type_double};
    case '@':
    case '#':
    case ':':
    case '*':
      return CType{code, 0, &ffi_type_pointer};
    case '^':
      return CType{code, pointee, &ffi_type_pointer};
    default:
      return std::nullopt;
  }
}

// The result type followed by the receiver, the selector and the arguments; nullopt for a type
// this driver cannot pass (structures, unions, arrays). Qualifiers and offsets are skipped.
std::optional<std::vector<CType>> parseEncoding(const char* encoding) {
  std::vector<CType> types;
  for (const char* p = encoding; *p != '\0';) {
    if (std::strchr("rnNoORV0123456789", *p) != nullptr) {
      ++p;
      continue;
    }
    char pointee = *p == '^' ? p[1] : 0;
    std::optional<CType> type = typeOf(*p, pointee);
    if (!type || (*p == '^' && pointee == '\0')) return std::nullopt;
    types.push_back(*type);
    p += *p == '^' ? 2 : 1;
  }
  if (types.size() < 3) return std::nullopt;
  return types;
}

bool isBoolean(char code) { return code == 'C' || code == 'c' || code == 'B'; }

std::string shortest(double value) {
  char buffer[32];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// The part of the selector naming argument `index`: "setTextColor:" -> "setTextColor".
std::string keywordOf(const std::string& selector, std::size_t index) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < index; ++i) start = selector.find(':', start) + 1;
  return selector.substr(start, selector.find(':', start) - start);
}

bool names(const std::string& keyword, std::initializer_list<const char*> words) {
  for (const char* word : words) {
    if (keyword.find(word) != std::string::npos) return true;
  }
  return false;
}

class Call {
 public:
  Call(const PlannedHook& hook, std::vector<CType> types, id receiver)
      : hook_(hook), types_(std::move(types)), receiver_(receiver) {}

  ~Call() {
    for (id object : owned_) standin::releaseObject(object);
  }

  Measurement run(std::vector<std::string>& passed) {
    SEL selector = sel_registerName(hook_.selector.c_str());
    std::vector<Argument> arguments(types_.size());
    std::vector<void*> pointers(types_.size());
    arguments[1].object = receiver_;
    arguments[2].selector = selector;
    passed.clear();
    for (std::size_t i = 3; i < types_.size(); ++i) {
      arguments[i] = representative(types_[i], keywordOf(hook_.selector, i - 3));
      passed.push_back(render(types_[i], arguments[i]));
    }
    for (std::size_t i = 1; i < types_.size(); ++i) pointers[i] = &arguments[i];

    std::vector<ffi_type*> ffiTypes;
    for (std::size_t i = 1; i < types_.size(); ++i) ffiTypes.push_back(types_[i].ffi);
    ffi_cif cif;
    Measurement m;
    if (ffi_prep_cif(&cif, FFI_DEFAULT_ABI, static_cast<unsigned>(ffiTypes.size()), types_[0].ffi,
                     ffiTypes.data()) != FFI_OK) {
      m.note = "cannot call a method of this type";
      return m;
    }
    long before = hosts::callCount(receiver_, hook_.selector);
    Argument result{};
    IMP imp = objc_msg_lookup(receiver_, selector);
    ffi_call(&cif, FFI_FN(imp), &result, pointers.data() + 1);

    hosts::MethodRecord record = hosts::recordOf(receiver_, hook_.selector);
    m.hostCalled = record.calls > before;
    if (m.hostCalled) {
      for (std::size_t i = 0; i < record.lastArguments.size() && i + 3 < types_.size(); ++i) {
        m.hostGot.push_back(render(types_[i + 3], record.lastArguments[i]));
      }
    }
    if (types_[0].code != 'v') m.callerGot = render(types_[0], result);
    if (!hook_.classMethod) {
      for (const auto& [other, otherRecord] : hosts::recordsOf(receiver_)) {
        if (other == hook_.selector || otherRecord.lastArguments.empty()) continue;
        // The selector's own type encoding is not at hand; objects and numbers show as such.
        m.also.push_back(other + " " + renderValue(otherRecord.lastArguments.front()));
      }
    }
    return m;
  }

 private:
  // Wide enough for every argument and result; ffi widens small integer results to ffi_arg.
  union Argument {
    ffi_arg integer;
    long long wide;
    double real;
    float single;
    id object;
    SEL selector;
    void* pointer;
  };

  Argument representative(const CType& type, const std::string& keyword) {
    Argument a{};
    switch (type.code) {
      case 'd':
        a.real = 0.5;
        break;
      case 'f':
        a.single = 0.5f;
        break;
      case '@':
        a.object = objectFor(keyword);
        break;
      case '^':
        a.pointer = type.pointee == '@' ? static_cast<void*>(&explanation_) : nullptr;
        break;
      case ':':
      case '#':
      case '*':
        a.pointer = nullptr;
        break;
      default:
        a.wide = 1;
        break;
    }
    return a;
  }

  id objectFor(const std::string& keyword) {
    static id colour = hosts::hostColour(0.2, 0.4, 0.8);
    static id text = hosts::hostText("Host text");
    if (names(keyword, {"Color", "Colour"})) return colour;
    if (names(keyword, {"Title", "Text", "Status"})) return text;
    id object = hosts::newInstance(names(keyword, {"View"}) ? "UIView" : "NSObject");
    owned_.push_back(object);
    return object;
  }

  std::string render(const CType& type, const Argument& a) const {
    switch (type.code) {
      case 'd':
        return shortest(a.real);
      case 'f':
        return shortest(a.single);
      case '@':
        return standin::describe(a.object);
      case '#':
        return a.pointer ? class_getName(static_cast<Class>(a.pointer)) : "Nil";
      case ':':
        return a.selector ? sel_getName(a.selector) : "NULL";
      case '^':
      case '*':
        return renderPointer(a.pointer);
      case 'c':
        return static_cast<signed char>(a.integer) ? "YES" : "NO";
      case 'C':
      case 'B':
        return static_cast<unsigned char>(a.integer) ? "YES" : "NO";
      case 's':
        return std::to_string(static_cast<short>(a.integer));
      case 'S':
        return std::to_string(static_cast<unsigned short>(a.integer));
      case 'i':
        return std::to_string(static_cast<int>(a.integer));
      case 'I':
        return std::to_string(static_cast<unsigned>(a.integer));
      // ffi widens results narrower than ffi_arg, which is as wide as long.
      case 'l':
        return std::to_string(static_cast<long>(a.integer));
      case 'L':
        return std::to_string(static_cast<unsigned long>(a.integer));
      case 'Q':
        return std::to_string(static_cast<unsigned long long>(a.wide));
      default:
        return std::to_string(a.wide);
    }
  }

  // What a model recorded, in the method's own types.
  std::string render(const CType& type, const hosts::Value& value) const {
    if (auto* object = std::get_if<id>(&value)) return standin::describe(*object);
    if (auto* pointer = std::get_if<const void*>(&value)) {
      return renderPointer(const_cast<void*>(*pointer));
    }
    if (auto* real = std::get_if<double>(&value)) return shortest(*real);
    if (auto* integer = std::get_if<long long>(&value)) {
      if (isBoolean(type.code)) return *integer ? "YES" : "NO";
      return std::to_string(*integer);
    }
    return "nothing";
  }

  std::string renderValue(const hosts::Value& value) const {
    return render(CType{'q', 0, &ffi_type_sint64}, value);
  }

  std::string renderPointer(void* pointer) const {
    if (pointer == nullptr) return "NULL";
    return pointer == &explanation_ ? "&explanation" : "a pointer";
  }

  const PlannedHook& hook_;
  std::vector<CType> types_;
  id receiver_;
  id explanation_ = nil;
  std::vector<id> owned_;
};

}  // namespace

Measurement drive(const PlannedHook& hook, std::vector<std::string>& passed) {
  Measurement m;
  Class cls = objc_getClass(hook.className.c_str());
  SEL selector = sel_registerName(hook.selector.c_str());
  Method method = cls == Nil         ? nullptr
                  : hook.classMethod ? class_getClassMethod(cls, selector)
                                     : class_getInstanceMethod(cls, selector);
  if (method == nullptr) {
    m.note = cls == Nil ? "no such class" : "no such method";
    return m;
  }
  std::optional<std::vector<CType>> types = parseEncoding(method_getTypeEncoding(method));
  if (!types) {
    m.note = std::string("cannot call a method of type ") + method_getTypeEncoding(method);
    return m;
  }
  // What the call autoreleases lives until its values are rendered.
  standin::pushAutoreleasePool();
  id receiver =
      hook.classMethod ? reinterpret_cast<id>(cls) : hosts::newInstance(hook.className.c_str());
  {
    Call call(hook, std::move(*types), receiver);
    m = call.run(passed);
  }
  if (!hook.classMethod) standin::releaseObject(receiver);
  standin::popAutoreleasePool();
  return m;
}

}  // namespace vorla::sim
