#include "standin/foundation/registration.h"

namespace vorla::standin {
namespace {

// Runs when libvorla-standin.so is mapped, before any host class or the library is set up.
__attribute__((constructor)) void registerPlatformClasses() {
  registerRootClasses();
  registerValueClasses();
  registerCollectionClasses();
  registerColourClasses();
  registerPreferencesClass();
}

}  // namespace
}  // namespace vorla::standin
