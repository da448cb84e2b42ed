// The Phone app's classes and the contacts framework's. The bottom-bar button takes its
// background colour from the view it is.
#include "hosts/host_apps.h"
#include "hosts/model.h"

namespace vorla::hosts {

void registerPhoneModels() {
  Model("PHHandsetDialerNumberPadButton", "UIView").method<void(id)>("setColor:").build();
  Model("PHBottomBarButton", "UIView").build();
  Model("CallDBManager", "NSObject").method<void()>("createDataStore").build();
  Model("PhoneTabBarController", "UIViewController")
      .method<BOOL(BOOL, BOOL, BOOL, BOOL, BOOL)>(
          "showFavoritesTab:recentsTab:contactsTab:keypadTab:voicemailTab:", 1LL)
      .build();
  Model("CNContactStyle", "NSObject").method<void(id)>("setContactHeaderBackgroundColor:").build();
  Model("CNContactStoreSnapshot", "NSObject")
      .method<void(id)>("setFilter:")
      .method<void(id)>("setDataSource:")
      .build();
}

}  // namespace vorla::hosts
