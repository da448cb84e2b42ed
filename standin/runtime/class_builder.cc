#include "standin/runtime/class_builder.h"

namespace vorla::standin {

ClassBuilder::ClassBuilder(const char* name, Class superclass) {
  cls_ = objc_getClass(name);
  fresh_ = cls_ == Nil;
  if (fresh_) cls_ = objc_allocateClassPair(superclass, name, 0);
}

ClassBuilder::ClassBuilder(const char* name, const char* superclassName)
    : ClassBuilder(name, superclassName ? objc_getClass(superclassName) : Nil) {}

void ClassBuilder::add(Class target, const char* selector, IMP imp, const std::string& types) {
  // A class registered again keeps the methods it already defines: registration is idempotent.
  class_addMethod(target, sel_registerTypedName(selector, types.c_str()), imp, types.c_str());
}

Class ClassBuilder::build() {
  if (fresh_) {
    objc_registerClassPair(cls_);
    fresh_ = false;
  }
  return cls_;
}

}  // namespace vorla::standin
