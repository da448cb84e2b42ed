// Host models: classes that stand in for the host apps' own, defined at run time with the
// host's class names, superclasses, selectors and type encodings. Each model method records
// what reached it; a setter keeps the value it received, a getter answers the host's own value.
#pragma once

#include <objc/runtime.h>

#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "standin/runtime/class_builder.h"

namespace vorla::hosts {

// One argument or answer as a model sees it. Integers of every width and BOOL are long long.
using Value = std::variant<std::monostate, long long, double, id, const void*>;

// What reached one method of one receiver (an instance, or a class for class methods).
struct MethodRecord {
  long calls = 0;
  std::vector<Value> lastArguments;
};

MethodRecord recordOf(id receiver, std::string_view selector);
// Every method that reached `receiver`, by selector, so that a caller can see what else a call
// did.
std::vector<std::pair<std::string, MethodRecord>> recordsOf(id receiver);
inline long callCount(id receiver, std::string_view selector) {
  return recordOf(receiver, selector).calls;
}
// The first argument of the last call, or monostate when there was none.
Value lastArgument(id receiver, std::string_view selector);

// Changes what a model's getter answers, for the class `className` and its subclasses.
void setAnswer(const char* className, const char* selector, Value answer);
void setClassAnswer(const char* className, const char* selector, Value answer);

class Model {
 public:
  Model(const char* name, const char* superclass) : builder_(name, superclass), name_(name) {}

  // A method that records its call and, when it takes arguments and returns nothing, keeps the
  // first as the value it was set to. `answer` is what a method with a result answers.
  template <class Signature>
  Model& method(const char* selector, Value answer = {});

  template <class Signature>
  Model& classMethod(const char* selector, Value answer = {});

  Class build() { return builder_.build(); }

 private:
  standin::ClassBuilder builder_;
  const char* name_;
};

namespace detail {

void record(id receiver, SEL selector, std::vector<Value> arguments);
Value answerFor(id receiver, SEL selector);

template <class T>
Value toValue(T value) {
  if constexpr (std::is_same_v<T, id>) {
    return value;
  } else if constexpr (std::is_floating_point_v<T>) {
    return static_cast<double>(value);
  } else if constexpr (std::is_integral_v<T>) {
    return static_cast<long long>(value);
  } else {
    return static_cast<const void*>(value);
  }
}

template <class R>
R fromValue(const Value& value) {
  if constexpr (std::is_same_v<R, id>) {
    auto* object = std::get_if<id>(&value);
    return object ? *object : nil;
  } else if constexpr (std::is_arithmetic_v<R>) {
    if (auto* integer = std::get_if<long long>(&value)) return static_cast<R>(*integer);
    if (auto* real = std::get_if<double>(&value)) return static_cast<R>(*real);
    return R{};
  } else {
    auto* pointer = std::get_if<const void*>(&value);
    return pointer ? reinterpret_cast<R>(const_cast<void*>(*pointer)) : R{};
  }
}

template <class R, class... A>
R modelMethod(id self, SEL cmd, A... args) {
  record(self, cmd, {toValue(args)...});
  if constexpr (!std::is_void_v<R>) return fromValue<R>(answerFor(self, cmd));
}

template <class Signature>
struct ModelMethod;
template <class R, class... A>
struct ModelMethod<R(A...)> {
  static constexpr R (*imp)(id, SEL, A...) = &modelMethod<R, A...>;
};

void setDefaultAnswer(const char* className, bool classMethod, const char* selector, Value answer);

}  // namespace detail

template <class Signature>
Model& Model::method(const char* selector, Value answer) {
  builder_.instanceMethod(selector, detail::ModelMethod<Signature>::imp);
  detail::setDefaultAnswer(name_, false, selector, std::move(answer));
  return *this;
}

template <class Signature>
Model& Model::classMethod(const char* selector, Value answer) {
  builder_.classMethod(selector, detail::ModelMethod<Signature>::imp);
  detail::setDefaultAnswer(name_, true, selector, std::move(answer));
  return *this;
}

}  // namespace vorla::hosts
