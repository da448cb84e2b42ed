// The stand-in's object model: every object it creates, and every instance of a host model,
// has this layout, counts its own references and holds an optional C++ body for its state.
#pragma once

#include <objc/runtime.h>

#include <atomic>
#include <cstddef>
#include <memory>
#include <typeinfo>

namespace vorla::standin {

// The state an object carries beyond its class: a string's text, a number's value, a model's
// recorded calls. Destroyed with the object.
struct Body {
  virtual ~Body() = default;
};

struct Object {
  Class isa;  // first, where the runtime looks for the class
  std::atomic<long> extraReferences{0};
  Body* body = nullptr;
};

// A new object of `cls` holding one reference, owned by the caller (+1).
id createObject(Class cls, std::unique_ptr<Body> body = nullptr);

// The body of `object` when it has one of exactly type B, else null. Bodies are final types, so
// comparing types is enough, and cheaper than a cast that searches a hierarchy.
template <class B>
B* bodyOf(id object) {
  if (object == nil) return nullptr;
  Body* body = reinterpret_cast<Object*>(object)->body;
  return body != nullptr && typeid(*body) == typeid(B) ? static_cast<B*>(body) : nullptr;
}

// Installs `body` on an object that has none yet; returns the body the object then holds.
Body* attachBody(id object, std::unique_ptr<Body> body);

id retainObject(id object);
void releaseObject(id object);

// How many autoreleased objects a thread with no pool keeps. Such a thread has nothing that
// drains, so it keeps only the latest; a caller that needs an object longer retains it.
inline constexpr std::size_t kPoolLessAutoreleaseLimit = 4096;

// Hands `object` to the innermost autorelease pool of the calling thread. A thread with no pool
// keeps it until the thread ends or until kPoolLessAutoreleaseLimit later ones have come.
id autoreleaseObject(id object);

// Makes `object` outlive every release: for objects the process keeps until it ends.
void makeImmortal(id object);

// Autorelease pools, one stack per thread.
void pushAutoreleasePool();
void popAutoreleasePool();

long liveObjectCount();

}  // namespace vorla::standin

// For tests and tools that load the stand-in with dlopen: how many objects are alive.
extern "C" __attribute__((visibility("default"))) long vorla_device_live_objects();
