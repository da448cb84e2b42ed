// The C library's time types, as far as libc++'s <chrono> and <ctime> need them; the library
// reads no clock. Widths are the platform's 64-bit ones.
#pragma once

typedef long time_t;
typedef unsigned long clock_t;

struct timespec {
  time_t tv_sec;
  long tv_nsec;
};

#ifdef __cplusplus
extern "C" {
#endif
int nanosleep(const struct timespec* duration, struct timespec* remaining);
#ifdef __cplusplus
}
#endif
