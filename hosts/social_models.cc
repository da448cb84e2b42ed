// The social app's classes.
#include "hosts/host_apps.h"
#include "hosts/model.h"

namespace vorla::hosts {

void registerSocialModels() {
  Model("TFNTwitterUser", "NSObject").method<long long()>("numberOfFollowers", 5678LL).build();
  Model("T1TFNUIConfiguration", "NSObject")
      .method<BOOL()>("isNestedActionButtonEnabled", 0LL)
      .build();
}

}  // namespace vorla::hosts
