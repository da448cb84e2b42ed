// An invariant a fuzz target checks beyond "no crash". A broken one aborts, which libFuzzer
// reports as a finding and saves the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace vorla::fuzz {

inline void require(bool holds, const char* invariant) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", invariant);
  std::abort();
}

}  // namespace vorla::fuzz
