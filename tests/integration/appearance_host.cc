#include "tests/integration/appearance_host.h"

#include "device/foundation/values.h"
#include "hosts/host_apps.h"
#include "hosts/model.h"
#include "tests/integration/host_process.h"

namespace vorla::testing {

void registerEveryHookedClass() {
  hosts::registerApp("preferences");
  hosts::registerLegibilitySecondaryColourSetter();
}

void* loadWith(const DeviceRoot& root, const plist::Dictionary& settings) {
  root.writeSettings(settings);
  registerEveryHookedClass();
  return loadLibrary();
}

std::string received(id receiver, const char* selector) {
  hosts::Value value = hosts::lastArgument(receiver, selector);
  if (auto* object = std::get_if<id>(&value)) return device::describe(*object);
  if (auto* number = std::get_if<long long>(&value)) return std::to_string(*number);
  return "<no call>";
}

id hostArgumentColour() { return hosts::hostColour(0.2, 0.4, 0.6); }

}  // namespace vorla::testing
