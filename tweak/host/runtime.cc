#include "tweak/host/runtime.h"

// The runtime's own routine that rebuilds the dispatch tables of a class and its subclasses; it
// exports it without declaring it.
extern "C" void __objc_update_dispatch_table_for_class(Class cls);

namespace vorla::host {

IMP setImplementation(Class owner, Method method, IMP replacement) {
  class_getMethodImplementation(owner, method_getName(method));
  IMP previous = method_setImplementation(method, replacement);
  __objc_update_dispatch_table_for_class(owner);
  return previous;
}

id retain(id object) { return send<id>(object, VORLA_SEL("retain")); }

void release(id object) { send(object, VORLA_SEL("release")); }

id makeConstantString(const char* text) { return retain(temporaryString(text)); }

id temporaryString(const char* text) {
  return send<id>(VORLA_CLASS("NSString"), VORLA_SEL("stringWithUTF8String:"), text);
}

}  // namespace vorla::host
