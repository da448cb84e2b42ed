// The Messages app's classes. The conversation list's title is its view controller's.
#include "hosts/host_apps.h"
#include "hosts/model.h"

namespace vorla::hosts {

void registerMessagesModels() {
  Model("CKConversationListController", "UIViewController")
      .method<BOOL(double)>("setConversationCellHeight:", 1LL)
      .build();
}

}  // namespace vorla::hosts
