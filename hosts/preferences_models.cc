// The Settings app's classes.
#include "hosts/host_apps.h"
#include "hosts/model.h"

namespace vorla::hosts {

void registerPreferencesModels() {
  Model("PSViewController", "UIViewController").build();
  Model("PSListController", "PSViewController").method<void(id)>("setTextColor:").build();
}

}  // namespace vorla::hosts
