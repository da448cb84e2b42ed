// The simulated host apps: each registers the models of its own classes on top of the
// interface-framework classes every app has.
#pragma once

#include <objc/runtime.h>

#include <string_view>
#include <vector>

#include "standin/foundation/platform_types.h"

namespace vorla::hosts {

// The interface framework's classes, present in every app.
void registerInterfaceModels();
// Its status bar, text, table, legibility, bar, switch and keyboard classes; part of the above.
void registerAppearanceModels();
// An interface framework whose legibility settings also take a colour through `secondaryColor:`,
// which the shared models do not answer. Call after registerInterfaceModels().
void registerLegibilitySecondaryColourSetter();

void registerSafariModels();
void registerCydiaModels();
void registerPreferencesModels();

// SpringBoard names its quick-actions controller `SBDashBoardQuickActionsViewController` on
// older systems and `CSQuickActionsViewController` on newer ones; the model has both unless
// told to be one system or the other.
enum class QuickActions { kBoth, kDashBoardOnly, kCoverSheetOnly };
void registerSpringBoardModels(QuickActions quickActions = QuickActions::kBoth);
void registerPhoneModels();
void registerMessagesModels();
void registerCameraModels();
void registerPhotosModels();
void registerFeedModels();
void registerSocialModels();

// The host apps by name ("safari", "cydia", ...), each with what registers its classes.
struct HostApp {
  const char* name;
  const char* title;
  void (*registerModels)();
};
const std::vector<HostApp>& hostApps();

// Registers the interface framework and the named app's classes; false for an unknown app.
bool registerApp(std::string_view name);

// A host object for tests and tools: an instance of the named class (+1), or nil when the class
// is absent.
id newInstance(const char* className);

// A colour the host would use itself, kept for the life of the process.
id hostColour(standin::CGFloat red, standin::CGFloat green, standin::CGFloat blue,
              standin::CGFloat alpha = 1.0);

// A text the host would use itself, kept for the life of the process.
id hostText(const char* text);

}  // namespace vorla::hosts
