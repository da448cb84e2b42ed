// The C library's error number, as libc++'s threading support names it.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif
extern int* __error(void);
#ifdef __cplusplus
}
#endif
#define errno (*__error())

#define EINTR 4
#define EBUSY 16
#define EINVAL 22
#define ETIMEDOUT 60
