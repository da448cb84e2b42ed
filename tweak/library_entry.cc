// The library's one load-time constructor: the loader runs it when it maps the library
// (VorlaPro.so on Linux, VorlaPro.dylib on the device).
#include "tweak/core/feature_gate.h"
#include "tweak/host/autorelease_pool.h"
#include "tweak/load_sequence.h"

namespace {

__attribute__((constructor)) void loadVorlaPro() {
  // The loading thread may have no pool of its own; what the constructors autorelease is
  // released here rather than left to that thread.
  vorla::host::AutoreleasePool pool;
  vorla::core::runLoadSequence(vorla::loadSequence());
}

}  // namespace
