// The C library's multibyte conversion state, as the platform's ABI lays it out. libc++ names it
// in its stream position type even without wide characters; the library never uses one.
#pragma once

typedef union {
  char __mbstate8[128];
  long long _mbstateL;
} __mbstate_t;
typedef __mbstate_t mbstate_t;
