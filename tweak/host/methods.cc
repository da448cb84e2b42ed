#include "tweak/host/methods.h"

#include <objc/thr.h>

#include <cstdlib>

#include "tweak/host/runtime.h"

// The runtime's own routine that rebuilds the dispatch tables of a class and its subclasses, and
// the lock it changes classes and methods under; it exports both without declaring them.
extern "C" void __objc_update_dispatch_table_for_class(Class cls);
extern "C" objc_mutex_t __objc_runtime_mutex;

namespace {

// A method as the compiler lays it out in every class it emits (the GNU runtime's ABI), so the
// layout cannot change without breaking every compiled class.
struct MethodRecord {
  SEL name;
  const char* types;
  IMP implementation;
};

}  // namespace

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

IMP setImplementationUnpublished(Method method, IMP replacement) {
  auto* record = reinterpret_cast<MethodRecord*>(method);
  // Under the runtime's lock, as the runtime reads methods when it builds a class's first table.
  objc_mutex_lock(__objc_runtime_mutex);
  IMP previous = record->implementation;
  record->implementation = replacement;
  objc_mutex_unlock(__objc_runtime_mutex);
  return previous;
}

void rebuildDispatch(Class cls) { __objc_update_dispatch_table_for_class(cls); }

}  // namespace vorla::host
