// The device's object runtime, as its public C API documents it: the types and the functions that
// inline code of tweak/host/ calls. No runtime header exists where the library is built, so these
// are the library's own declarations; the functions on classes and methods are in class_api.h.
//
// Every declaration here is also what GCC's runtime headers declare, so that a file may include
// both: the Linux build of this layer runs against GCC's runtime, beside tests that use its
// headers.
#pragma once

#include <type_traits>

extern "C" {

typedef struct objc_class* Class;
typedef struct objc_object* id;
typedef const struct objc_selector* SEL;
typedef struct objc_method* Method;
// Never called as it is declared: every implementation is cast to its method's exact signature.
typedef id (*IMP)(id, SEL, ...);

// One byte everywhere, with the target's own type: bool on 64-bit iOS, signed char on 32-bit
// iOS, and unsigned char with GCC's runtime.
#if defined(__APPLE__) && defined(__LP64__)
typedef bool BOOL;
#elif defined(__APPLE__)
typedef signed char BOOL;
#else
typedef unsigned char BOOL;
#endif

#define YES (BOOL)1
#define NO (BOOL)0
#define nil (id)0
#define Nil (Class)0

// Declared without arguments, as the runtime documents it: it is only ever called cast to the
// exact signature of the method it reaches. Called through a variadic declaration instead, a
// float argument would be promoted to double, and on arm64 every variadic argument would go on
// the stack, where the method does not look for it.
void objc_msgSend(void);

SEL sel_registerName(const char* name);
BOOL sel_isEqual(SEL a, SEL b);
Class objc_getClass(const char* name);
IMP class_getMethodImplementation(Class cls, SEL selector);

}  // extern "C"

namespace vorla::host {

// Sends `selector` to a receiver that is not nil with the exact C signature R(id, SEL, A...).
template <class R, class... A>
inline R sendNonNil(id receiver, SEL selector, A... args) {
  // A structure too large for registers comes back through objc_msgSend_stret on 32-bit ARM; no
  // message of the library returns one.
  static_assert(std::is_void_v<R> || std::is_scalar_v<R>, "a structure result needs _stret");
  return reinterpret_cast<R (*)(id, SEL, A...)>(objc_msgSend)(receiver, selector, args...);
}

}  // namespace vorla::host
