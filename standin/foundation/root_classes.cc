// NSObject, the root of every class here, and NSAutoreleasePool.
#include <objc/message.h>

#include "standin/foundation/registration.h"
#include "standin/runtime/class_builder.h"
#include "standin/runtime/object.h"

namespace vorla::standin {
namespace {

id allocInstance(id cls, SEL) { return createObject(reinterpret_cast<Class>(cls)); }

// As Foundation does, `new` is `alloc` then `init`, so a class that gives its instances a body
// in `alloc` gives one to those made with `new` too.
id newInstance(id cls, SEL) {
  SEL alloc = sel_registerName("alloc");
  id object = reinterpret_cast<id (*)(id, SEL)>(objc_msg_lookup(cls, alloc))(cls, alloc);
  SEL init = sel_registerName("init");
  return reinterpret_cast<id (*)(id, SEL)>(objc_msg_lookup(object, init))(object, init);
}

id self(id object, SEL) { return object; }
void nothing(id, SEL) {}
id retain(id object, SEL) { return retainObject(object); }
void release(id object, SEL) { releaseObject(object); }
id autorelease(id object, SEL) { return autoreleaseObject(object); }
Class classOf(id object, SEL) { return object_getClass(object); }
Class classItself(id cls, SEL) { return reinterpret_cast<Class>(cls); }
BOOL isEqual(id object, SEL, id other) { return object == other; }

BOOL respondsToSelector(id object, SEL, SEL selector) {
  return selector != nullptr && class_respondsToSelector(object_getClass(object), selector);
}

BOOL isKindOfClass(id object, SEL, Class wanted) {
  for (Class c = object_getClass(object); c != Nil; c = class_getSuperclass(c)) {
    if (c == wanted) return YES;
  }
  return NO;
}

id poolInit(id pool, SEL) {
  pushAutoreleasePool();
  return pool;
}

void poolDrain(id pool, SEL) {
  popAutoreleasePool();
  releaseObject(pool);
}

}  // namespace

void registerRootClasses() {
  ClassBuilder("NSObject", Nil)
      .classMethod("alloc", allocInstance)
      .classMethod("new", newInstance)
      .classMethod("class", classItself)
      .classMethod("retain", self)
      .classMethod("release", nothing)
      .classMethod("autorelease", self)
      .classMethod("respondsToSelector:", respondsToSelector)
      .instanceMethod("init", self)
      .instanceMethod("retain", retain)
      .instanceMethod("release", release)
      .instanceMethod("autorelease", autorelease)
      .instanceMethod("class", classOf)
      .instanceMethod("isEqual:", isEqual)
      .instanceMethod("respondsToSelector:", respondsToSelector)
      .instanceMethod("isKindOfClass:", isKindOfClass)
      .build();
  ClassBuilder("NSAutoreleasePool", "NSObject")
      .instanceMethod("init", poolInit)
      .instanceMethod("drain", poolDrain)
      .instanceMethod("release", poolDrain)
      .build();
}

}  // namespace vorla::standin
