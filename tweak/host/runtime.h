// The library's only contact with the object runtime: message sending, selectors, classes,
// constant strings and reference counting. Each runtime has its own runtime_api.h and methods.cc
// in a directory of its own (gnu/, device/), chosen by the build (docs/device.md).
#pragma once

#include <atomic>
#include <type_traits>

#include "tweak/host/types.h"

namespace vorla::host {

// Sends `selector` with the exact C signature R(id, SEL, A...). A nil receiver gives R's zero
// value here without a call, on every runtime alike (GCC's answers no zero double for one).
template <class R = void, class... A>
R send(id receiver, SEL selector, A... args) {
  if (receiver == nil) {
    if constexpr (std::is_void_v<R>) {
      return;
    } else {
      return R{};
    }
  }
  return sendNonNil<R>(receiver, selector, args...);
}

template <class R = void, class... A>
R send(Class receiver, SEL selector, A... args) {
  return send<R>(reinterpret_cast<id>(receiver), selector, args...);
}

// "Same selector", as the runtime compares them: GCC's types its selectors, so two of one name
// may differ as pointers.
inline bool sameSelector(SEL a, SEL b) { return sel_isEqual(a, b); }

// The selector of that name, registered if new.
inline SEL selectorNamed(const char* name) { return sel_registerName(name); }

// The class of that name, or Nil while none is registered.
inline Class classNamed(const char* name) { return objc_getClass(name); }

id retain(id object);
void release(id object);

// An immortal NSString for a constant text: made once, never released.
id makeConstantString(const char* text);

// An NSString for one use, borrowed (autoreleased): gone when the caller's pool drains.
id temporaryString(const char* text);

// Holds an object for the duration of a call: a reference is taken when the holder is made and
// dropped when it goes out of scope, as the platform's rules ask of a received object.
class Held {
 public:
  explicit Held(id object) : object_(retain(object)) {}
  ~Held() { release(object_); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

  id get() const { return object_; }
  explicit operator bool() const { return object_ != nil; }

 private:
  id object_;
};

}  // namespace vorla::host

// A selector looked up once per call site.
#define VORLA_SEL(name)                                             \
  ([]() -> SEL {                                                    \
    static const SEL selector = ::vorla::host::selectorNamed(name); \
    return selector;                                                \
  }())

// A platform class looked up once per call site. Classes are never unloaded, so a class once
// found stays valid; one not found yet is looked up again at the next call.
#define VORLA_CLASS(name)                              \
  ([]() -> Class {                                     \
    static std::atomic<Class> found{Nil};              \
    Class cls = found.load(std::memory_order_acquire); \
    if (cls == Nil) {                                  \
      cls = ::vorla::host::classNamed(name);           \
      found.store(cls, std::memory_order_release);     \
    }                                                  \
    return cls;                                        \
  }())

// A constant NSString made once per call site and kept for the life of the process.
#define VORLA_STR(text)                                               \
  ([]() -> id {                                                       \
    static const id string = ::vorla::host::makeConstantString(text); \
    return string;                                                    \
  }())
