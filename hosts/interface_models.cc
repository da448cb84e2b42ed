// The interface framework's classes, as every app has them.
#include "hosts/host_apps.h"
#include "hosts/model.h"

namespace vorla::hosts {

void registerInterfaceModels() {
  Model("UIResponder", "NSObject").build();
  Model("UIView", "UIResponder").method<void(id)>("setBackgroundColor:").build();
  Model("UIViewController", "UIResponder").method<void(id)>("setTitle:").build();
  Model("UIApplication", "UIResponder").method<void()>("_applicationDidEnterBackground").build();
  Model("UITableViewCell", "UIView")
      .method<BOOL()>("_usesRoundedGroups", 0LL)
      .method<void(id)>("setSeparatorColor:")
      .build();
  Model("UITableConstants_IOS", "NSObject")
      .method<id(standin::NSInteger)>("defaultBackgroundColorForTableViewStyle:",
                                      hostColour(0.949, 0.949, 0.969))
      .method<id(id, id)>("defaultHeaderFooterBackgroundColorForView:inTableView:",
                          hostColour(0.949, 0.949, 0.969))
      .build();
  registerAppearanceModels();
}

}  // namespace vorla::hosts
