#include "tools/sim/enable_keys.h"

#include "tweak/core/feature_gate.h"
#include "tweak/host/autorelease_pool.h"
#include "tweak/host/services.h"
#include "tweak/load_sequence.h"
#include "tweak/settings/settings_file.h"

namespace vorla::sim {

std::map<std::string, bool> enableKeyStates() {
  host::AutoreleasePool pool;
  // The suite's values are its file's: the file's dictionary answers objectForKey: as the
  // preferences object does, without the preferences service's delay in following the file.
  host::Held suite(
      host::dictionaryWithContentsOfFile(host::temporaryString(settings::kSettingsFile)));
  std::map<std::string, bool> states;
  for (const core::Constructor* constructor : loadSequence()) {
    if (constructor->enableKey == nullptr) continue;
    states[constructor->enableKey] =
        core::readEnableFlag(suite.get(), host::temporaryString(constructor->enableKey));
  }
  return states;
}

}  // namespace vorla::sim
