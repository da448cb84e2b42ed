// The feed app's classes.
#include "hosts/host_apps.h"
#include "hosts/model.h"

namespace vorla::hosts {

void registerFeedModels() {
  Model("IGFeedItem", "NSObject").method<long long()>("viewerCount", 1234LL).build();
}

}  // namespace vorla::hosts
