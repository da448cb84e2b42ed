// The C library's mathematics, as far as libc++'s <cmath> needs it: the classification macros
// (as the compiler's builtins, which libc++ turns into overloads) and the functions its inline
// code calls. The library itself calls none of the functions.
#pragma once

#define FP_NAN 1
#define FP_INFINITE 2
#define FP_ZERO 3
#define FP_NORMAL 4
#define FP_SUBNORMAL 5

#define HUGE_VAL __builtin_huge_val()
#define HUGE_VALF __builtin_huge_valf()
#define HUGE_VALL __builtin_huge_vall()
#define INFINITY __builtin_inff()
#define NAN __builtin_nanf("")

#define fpclassify(x) \
  __builtin_fpclassify(FP_NAN, FP_INFINITE, FP_NORMAL, FP_SUBNORMAL, FP_ZERO, (x))
#define signbit(x) __builtin_signbit(x)
#define isfinite(x) __builtin_isfinite(x)
#define isinf(x) __builtin_isinf(x)
#define isnan(x) __builtin_isnan(x)
#define isnormal(x) __builtin_isnormal(x)
#define isgreater(x, y) __builtin_isgreater((x), (y))
#define isgreaterequal(x, y) __builtin_isgreaterequal((x), (y))
#define isless(x, y) __builtin_isless((x), (y))
#define islessequal(x, y) __builtin_islessequal((x), (y))
#define islessgreater(x, y) __builtin_islessgreater((x), (y))
#define isunordered(x, y) __builtin_isunordered((x), (y))

typedef float float_t;
typedef double double_t;

#ifdef __cplusplus
extern "C" {
#endif

// Every function in its double, float and long double forms: libc++'s <math.h> names them all
// in its overloads for the other arithmetic types.
// clang-format off
#define VORLA_MATH_FUNCTION(result, name, ...)            \
  result(double) name(__VA_ARGS__(double));               \
  result(float) name##f(__VA_ARGS__(float));              \
  result(long double) name##l(__VA_ARGS__(long double));
#define VORLA_SAME(type) type
#define VORLA_ONE(type) type
#define VORLA_TWO(type) type, type
#define VORLA_THREE(type) type, type, type
#define VORLA_INT(type) int
#define VORLA_LONG(type) long
#define VORLA_LONG_LONG(type) long long

#define VORLA_UNARY(name) VORLA_MATH_FUNCTION(VORLA_SAME, name, VORLA_ONE)
#define VORLA_BINARY(name) VORLA_MATH_FUNCTION(VORLA_SAME, name, VORLA_TWO)
VORLA_UNARY(acos) VORLA_UNARY(asin) VORLA_UNARY(atan) VORLA_UNARY(ceil) VORLA_UNARY(cos)
VORLA_UNARY(cosh) VORLA_UNARY(exp) VORLA_UNARY(fabs) VORLA_UNARY(floor) VORLA_UNARY(log)
VORLA_UNARY(log10) VORLA_UNARY(sin) VORLA_UNARY(sinh) VORLA_UNARY(sqrt) VORLA_UNARY(tan)
VORLA_UNARY(tanh) VORLA_UNARY(acosh) VORLA_UNARY(asinh) VORLA_UNARY(atanh) VORLA_UNARY(cbrt)
VORLA_UNARY(erf) VORLA_UNARY(erfc) VORLA_UNARY(exp2) VORLA_UNARY(expm1) VORLA_UNARY(lgamma)
VORLA_UNARY(log1p) VORLA_UNARY(log2) VORLA_UNARY(logb) VORLA_UNARY(nearbyint) VORLA_UNARY(rint)
VORLA_UNARY(round) VORLA_UNARY(tgamma) VORLA_UNARY(trunc)
VORLA_BINARY(atan2) VORLA_BINARY(fmod) VORLA_BINARY(pow) VORLA_BINARY(copysign)
VORLA_BINARY(fdim) VORLA_BINARY(fmax) VORLA_BINARY(fmin) VORLA_BINARY(hypot)
VORLA_BINARY(nextafter) VORLA_BINARY(remainder)
VORLA_MATH_FUNCTION(VORLA_SAME, fma, VORLA_THREE)
VORLA_MATH_FUNCTION(VORLA_INT, ilogb, VORLA_ONE)
VORLA_MATH_FUNCTION(VORLA_LONG, lrint, VORLA_ONE)
VORLA_MATH_FUNCTION(VORLA_LONG, lround, VORLA_ONE)
VORLA_MATH_FUNCTION(VORLA_LONG_LONG, llrint, VORLA_ONE)
VORLA_MATH_FUNCTION(VORLA_LONG_LONG, llround, VORLA_ONE)

#define VORLA_WITH_INT_POINTER(type) type, int*
#define VORLA_WITH_INT(type) type, int
#define VORLA_WITH_LONG(type) type, long
#define VORLA_WITH_OWN_POINTER(type) type, type*
#define VORLA_WITH_LONG_DOUBLE(type) type, long double
#define VORLA_TWO_WITH_INT_POINTER(type) type, type, int*
VORLA_MATH_FUNCTION(VORLA_SAME, frexp, VORLA_WITH_INT_POINTER)
VORLA_MATH_FUNCTION(VORLA_SAME, ldexp, VORLA_WITH_INT)
VORLA_MATH_FUNCTION(VORLA_SAME, scalbn, VORLA_WITH_INT)
VORLA_MATH_FUNCTION(VORLA_SAME, scalbln, VORLA_WITH_LONG)
VORLA_MATH_FUNCTION(VORLA_SAME, modf, VORLA_WITH_OWN_POINTER)
VORLA_MATH_FUNCTION(VORLA_SAME, nexttoward, VORLA_WITH_LONG_DOUBLE)
VORLA_MATH_FUNCTION(VORLA_SAME, remquo, VORLA_TWO_WITH_INT_POINTER)
    // clang-format on
    double nan(const char*);
float nanf(const char*);
long double nanl(const char*);

#ifdef __cplusplus
}
#endif
