// Cydia's classes.
#include "hosts/host_apps.h"
#include "hosts/model.h"

namespace vorla::hosts {

void registerCydiaModels() {
  Model("CyteViewController", "UIViewController")
      .method<id()>("pageColor", hostColour(1, 1, 1))
      .build();
  Model("Cydia", "UIApplication")
      .method<void(id)>("applicationDidEnterBackground:")
      .method<void(id)>("applicationWillResignActive:")
      .build();
}

}  // namespace vorla::hosts
