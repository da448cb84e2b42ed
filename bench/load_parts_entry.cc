// A bench-only build of VorlaPro.so: the same code, whose one constructor runs only the parts of
// the load named by VORLA_BENCH_LOAD_PARTS, so that the load benchmark can take the library apart.
// "g": the 42 gates (each a preferences object and one key read), "r": the settings registry,
// "h": the last constructor's hooks (those without an enable key). Unset or empty: the floor,
// mapping the library and nothing else.
#include <cstdlib>
#include <cstring>

#include "tweak/core/feature_gate.h"
#include "tweak/host/autorelease_pool.h"
#include "tweak/load_sequence.h"

namespace {

__attribute__((constructor)) void loadParts() {
  const char* parts = std::getenv("VORLA_BENCH_LOAD_PARTS");
  if (parts == nullptr || *parts == '\0') return;
  vorla::host::AutoreleasePool pool;
  for (const vorla::core::Constructor* constructor : vorla::loadSequence()) {
    if (constructor->enableKey != nullptr) {
      if (std::strchr(parts, 'g')) vorla::core::FeatureGate(*constructor);
      continue;
    }
    if (std::strchr(parts, 'r') && constructor->prepare) constructor->prepare();
    if (std::strchr(parts, 'h')) vorla::core::installTableRows(constructor->hooks);
  }
}

}  // namespace
