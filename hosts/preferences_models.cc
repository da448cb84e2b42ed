// The Settings app's classes. A list controller's title is its view controller's.
#include "hosts/host_apps.h"
#include "hosts/model.h"

namespace vorla::hosts {

void registerPreferencesModels() {
  Model("PSGAboutDataSource", "NSObject")
      .method<id()>("_productVersionString", hostText("12.4"))
      .method<id()>("_modelNameString", hostText("iPhone SE"))
      .build();
  Model("PSViewController", "UIViewController").build();
  Model("PSListController", "PSViewController")
      .method<void(id)>("setTextColor:")
      .method<BOOL()>("_isRegularWidth", 0LL)
      .method<void(BOOL)>("setEdgeToEdgeCells:")
      .build();
}

}  // namespace vorla::hosts
