// Defines Objective-C classes at run time from plain C++ functions, each method with the type
// encoding of its own signature. Used by the stand-in for the platform classes and by the
// host models for the host apps' classes.
#pragma once

#include <objc/runtime.h>

#include "standin/runtime/type_encoding.h"

namespace vorla::standin {

class ClassBuilder {
 public:
  // Starts a class named `name` under `superclass` (Nil for a root class). If a class of that
  // name is already registered, the builder adds to it instead, so registration is idempotent.
  ClassBuilder(const char* name, Class superclass);
  ClassBuilder(const char* name, const char* superclassName);

  template <class R, class... A>
  ClassBuilder& instanceMethod(const char* selector, R (*imp)(id, SEL, A...)) {
    add(cls_, selector, reinterpret_cast<IMP>(imp), methodEncoding(imp));
    return *this;
  }

  // Class methods receive the class object as `self`.
  template <class R, class... A>
  ClassBuilder& classMethod(const char* selector, R (*imp)(id, SEL, A...)) {
    add(object_getClass(reinterpret_cast<id>(cls_)), selector, reinterpret_cast<IMP>(imp),
        methodEncoding(imp));
    return *this;
  }

  // Registers the class with the runtime (once) and returns it.
  Class build();

 private:
  static void add(Class target, const char* selector, IMP imp, const std::string& types);

  Class cls_;
  bool fresh_;
};

}  // namespace vorla::standin
