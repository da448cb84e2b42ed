// The scheduler's yield, which libc++'s threading support wraps.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif
int sched_yield(void);
#ifdef __cplusplus
}
#endif
