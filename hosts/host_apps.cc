#include "hosts/host_apps.h"

#include "standin/foundation/values.h"
#include "standin/runtime/message.h"
#include "standin/runtime/object.h"

namespace vorla::hosts {

const std::vector<HostApp>& hostApps() {
  static const std::vector<HostApp> apps = {
      {"safari", "Safari", registerSafariModels},
      {"cydia", "Cydia", registerCydiaModels},
      {"springboard", "SpringBoard", [] { registerSpringBoardModels(); }},
      {"preferences", "Settings", registerPreferencesModels},
      {"phone", "Phone", registerPhoneModels},
      {"messages", "Messages", registerMessagesModels},
      {"camera", "Camera", registerCameraModels},
      {"photos", "Photos", registerPhotosModels},
      {"feed", "Feed", registerFeedModels},
      {"social", "Social", registerSocialModels},
  };
  return apps;
}

bool registerApp(std::string_view name) {
  for (const HostApp& app : hostApps()) {
    if (name == app.name) {
      registerInterfaceModels();
      app.registerModels();
      return true;
    }
  }
  return false;
}

id newInstance(const char* className) {
  return standin::send<id>(standin::sendToClass<id>(className, "alloc"), "init");
}

id hostColour(standin::CGFloat red, standin::CGFloat green, standin::CGFloat blue,
              standin::CGFloat alpha) {
  id colour = standin::newColour({red, green, blue, alpha});
  standin::makeImmortal(colour);
  return colour;
}

id hostText(const char* text) {
  id string = standin::newString(text);
  standin::makeImmortal(string);
  return string;
}

}  // namespace vorla::hosts
