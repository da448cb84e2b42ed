#include "tests/integration/host_process.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace vorla::testing {

IMP implementationOf(const char* className, const char* selector) {
  Class cls = objc_getClass(className);
  if (cls == Nil) return nullptr;
  Method method = class_getInstanceMethod(cls, sel_registerName(selector));
  return method ? method_getImplementation(method) : nullptr;
}

Implementations implementationsOf(std::initializer_list<Row> rows) {
  Implementations result;
  for (const Row& row : rows) {
    result[{row.className, row.selector}] = implementationOf(row.className, row.selector);
  }
  return result;
}

void* loadLibrary() {
  void* handle = dlopen(libraryPath(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) ADD_FAILURE() << dlerror();
  return handle;
}

}  // namespace vorla::testing
