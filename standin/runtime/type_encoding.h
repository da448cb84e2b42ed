// Objective-C type encodings derived from C++ signatures, so that a method's encoding can never
// disagree with the function that implements it.
#pragma once

#include <objc/runtime.h>

#include <string>

namespace vorla::standin {

template <class T>
struct TypeCode;

#define VORLA_TYPE_CODE(type, code)            \
  template <>                                  \
  struct TypeCode<type> {                      \
    static constexpr const char* value = code; \
  }

VORLA_TYPE_CODE(void, "v");
VORLA_TYPE_CODE(id, "@");
VORLA_TYPE_CODE(Class, "#");
VORLA_TYPE_CODE(SEL, ":");
VORLA_TYPE_CODE(BOOL, "C");
VORLA_TYPE_CODE(char, "c");
VORLA_TYPE_CODE(int, "i");
VORLA_TYPE_CODE(unsigned, "I");
VORLA_TYPE_CODE(long, "l");
VORLA_TYPE_CODE(unsigned long, "L");
VORLA_TYPE_CODE(long long, "q");
VORLA_TYPE_CODE(unsigned long long, "Q");
VORLA_TYPE_CODE(float, "f");
VORLA_TYPE_CODE(double, "d");
VORLA_TYPE_CODE(const char*, "*");
VORLA_TYPE_CODE(BOOL*, "^C");
VORLA_TYPE_CODE(float*, "^f");
VORLA_TYPE_CODE(double*, "^d");
VORLA_TYPE_CODE(id*, "^@");

#undef VORLA_TYPE_CODE

// The encoding of a method implemented by `R f(id self, SEL cmd, A... args)`.
template <class R, class... A>
std::string methodEncoding(R (*)(id, SEL, A...)) {
  std::string encoding = TypeCode<R>::value;
  encoding += "@:";
  ((encoding += TypeCode<A>::value), ...);
  return encoding;
}

}  // namespace vorla::standin
