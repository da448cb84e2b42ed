// The C library's streams, as far as libc++'s headers name them; the library writes to none.
// `remove` must be declared: otherwise libc++'s <cstdio> takes std::remove of <algorithm> for
// the C function it names.
#pragma once

#include <stddef.h>

typedef struct __sFILE FILE;
#define EOF (-1)

#ifdef __cplusplus
extern "C" {
#endif
int remove(const char* path);
#ifdef __cplusplus
}
#endif
