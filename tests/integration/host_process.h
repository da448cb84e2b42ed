// Setting up a child process as a host: device root and settings file, host classes, then the
// library loaded with dlopen, as the device's loader would.
#pragma once

#include <objc/runtime.h>

#include <initializer_list>
#include <map>
#include <string>
#include <utility>

#include "tests/support/device_root.h"

namespace vorla::testing {

// The implementation every (class, selector) of `rows` has now, to compare after loading.
using Implementations = std::map<std::pair<std::string, std::string>, IMP>;

struct Row {
  const char* enableKey;
  const char* className;
  const char* selector;
};

Implementations implementationsOf(std::initializer_list<Row> rows);
IMP implementationOf(const char* className, const char* selector);

// dlopens the library and returns its handle; a failure to load fails the test.
void* loadLibrary();

}  // namespace vorla::testing
