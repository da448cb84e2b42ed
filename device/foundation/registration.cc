#include "device/foundation/registration.h"

namespace vorla::device {
namespace {

// Runs when libvorla-device.so is mapped, before any host class or the library is set up.
__attribute__((constructor)) void registerPlatformClasses() {
  registerRootClasses();
  registerValueClasses();
  registerCollectionClasses();
  registerColourClasses();
  registerPreferencesClass();
}

}  // namespace
}  // namespace vorla::device
