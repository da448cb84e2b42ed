#include "hosts/host_apps.h"

#include "device/foundation/values.h"
#include "device/runtime/message.h"
#include "device/runtime/object.h"

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
  return device::send<id>(device::sendToClass<id>(className, "alloc"), "init");
}

id hostColour(device::CGFloat red, device::CGFloat green, device::CGFloat blue,
              device::CGFloat alpha) {
  id colour = device::newColour({red, green, blue, alpha});
  device::makeImmortal(colour);
  return colour;
}

id hostText(const char* text) {
  id string = device::newString(text);
  device::makeImmortal(string);
  return string;
}

}  // namespace vorla::hosts
