#include "tweak/settings/settings_file.h"

#include "tweak/host/services.h"

namespace vorla::settings {

id colourSetting(id key, id fallback) {
  host::Held dictionary(host::dictionaryWithContentsOfFile(VORLA_STR(kSettingsFile)));
  host::Held value(host::dictionaryValue(dictionary.get(), key));
  return host::colourWithString(value.get(), fallback);
}

long long numberSetting(id key) {
  host::Held dictionary(host::dictionaryWithContentsOfFile(VORLA_STR(kSettingsFile)));
  host::Held value(host::dictionaryValue(dictionary.get(), key));
  return host::longLongReading(value.get());
}

}  // namespace vorla::settings
