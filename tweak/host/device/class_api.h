// The device runtime's public functions on classes and methods, as its C API documents them, for
// methods.cc alone: GCC's runtime header defines object_getClass inline, so a file that includes
// it (the tests do, beside the library's headers) could not have this declaration too.
#pragma once

#include "tweak/host/device/objc_api.h"

extern "C" {

Class object_getClass(id object);
Class class_getSuperclass(Class cls);
const char* class_getName(Class cls);
BOOL class_isMetaClass(Class cls);
// The methods `cls` defines itself (none inherited), *count of them; null when there are none.
// The caller frees the array.
Method* class_copyMethodList(Class cls, unsigned int* count);
SEL method_getName(Method method);
IMP method_getImplementation(Method method);
const char* method_getTypeEncoding(Method method);
// Makes `implementation` current for every class that runs the method, and returns the one it
// replaced; the runtime flushes its method caches itself.
IMP method_setImplementation(Method method, IMP implementation);
// Refused (NO) when `cls` defines a method of that name itself.
BOOL class_addMethod(Class cls, SEL selector, IMP implementation, const char* types);

}  // extern "C"
