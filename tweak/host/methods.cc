#include "tweak/host/methods.h"

#include <cstdlib>

#include "tweak/host/runtime.h"

// The runtime's own routine that rebuilds the dispatch tables of a class and its subclasses; it
// exports it without declaring it.
extern "C" void __objc_update_dispatch_table_for_class(Class cls);

namespace vorla::host {

Class metaclassOf(Class cls) { return object_getClass(reinterpret_cast<id>(cls)); }

Class superclassOf(Class cls) { return class_getSuperclass(cls); }

Method ownMethod(Class cls, SEL selector) {
  unsigned int count = 0;
  Method* methods = class_copyMethodList(cls, &count);
  Method found = nullptr;
  for (unsigned int i = 0; i < count && found == nullptr; ++i) {
    if (sameSelector(method_getName(methods[i]), selector)) found = methods[i];
  }
  // The list is a copy; the methods it points to belong to the class.
  std::free(methods);
  return found;
}

IMP implementationOf(Method method) { return method_getImplementation(method); }

void addMethod(Class cls, SEL selector, IMP implementation, Method inherited) {
  class_addMethod(cls, selector, implementation, method_getTypeEncoding(inherited));
}

IMP resolve(Class cls, SEL selector) { return class_getMethodImplementation(cls, selector); }

IMP setImplementation(Class owner, Method method, IMP replacement) {
  class_getMethodImplementation(owner, method_getName(method));
  IMP previous = method_setImplementation(method, replacement);
  __objc_update_dispatch_table_for_class(owner);
  return previous;
}

}  // namespace vorla::host
