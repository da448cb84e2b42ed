// The last constructor: no enable key. The settings are registered before its hooks are
// installed; each row follows its registered switch or value at every call.
#include "tweak/core/replacements.h"
#include "tweak/features/appearance/keyboard_background.h"
#include "tweak/features/apps/about_texts.h"
#include "tweak/features/features.h"
#include "tweak/features/phone_messages/phone_tabs.h"
#include "tweak/features/setting_shapes.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::features {

using namespace core;

const Constructor& lastConstructor() {
  static const Constructor constructor{
      nullptr,
      nullptr,
      "the settings registration, then the hooks without an enable key",
      settings::SettingsRegistry,
      {
          // Settings: the About page's version and model by code, from fixed tables.
          hook<"PSGAboutDataSource", "_productVersionString",
               CodedTextAnswer<Enableversion, IPhoneversion, kVersionTexts>>(),
          hook<"PSGAboutDataSource", "_modelNameString",
               CodedTextAnswer<Enabledmodel, ::model, kModelTexts>>(),
          // Phone: which tabs are shown.
          hook<"PhoneTabBarController",
               "showFavoritesTab:recentsTab:contactsTab:keypadTab:voicemailTab:", PhoneTabs>(),
          // Every app: the keyboard's background by code, at every layout pass.
          hook<"UIKeyboardImpl", "layoutSubviews", KeyboardBackground>(),
          // SpringBoard: the home indicator's size.
          hook<"MTLumaDodgePillSettings",
               "setHeight:", SettingArgument<void(double), sliderSwitch, sliderKeya>>(),
          hook<"MTLumaDodgePillSettings",
               "setMinWidth:", SettingArgument<void(double), sliderSwitchs, sliderKeys>>(),
          // Messages: the conversation list's title and cell height.
          hook<"CKConversationListController",
               "setTitle:", SettingArgument<void(id), Enablemsg, texstmsg>>(),
          hook<"CKConversationListController", "setConversationCellHeight:",
               SettingArgument<BOOL(double), slidermsg, sliderKeymsg>>(),
          // Settings: one user title for every list controller.
          hook<"PSListController", "setTitle:", SettingArgument<void(id), Enablesteng, texstst>>(),
          // SpringBoard: the SIM status the status bar's text is made from (the host still makes
          // the display string from it), and the app switcher's style and card shadow, under one
          // switch.
          hook<"SBStatusBarStateAggregator",
               "_displayStringForSIMStatus:", SettingArgument<id(id), EnableNoSIM, NoSIM>>(),
          hook<"SBAppSwitcherSettings",
               "setSwitcherStyle:", SwitchedArgument<void(long long), sliderSwitchww, 2>>(),
          hook<"SBAppSwitcherSettings", "setSwitcherCardShadowOpacity:",
               SettingArgument<void(double), sliderSwitchww, sliderKeyaww>>(),
          hook<"SBAppSwitcherSettings", "setSwitcherCardShadowOffset:",
               SettingArgument<void(double), sliderSwitchww, sliderKeysww>>(),
          hook<"SBAppSwitcherSettings", "setSwitcherCardShadowRadius:",
               SettingArgument<void(double), sliderSwitchww, sliderKeyrww>>(),
          // SpringBoard: the grid switcher's page scale.
          hook<"SBAppSwitcherSettings", "setGridSwitcherPageScale:",
               SettingArgument<void(double), sliderScale, sliderKeyScale>>(),
          // Social app: the nested action button.
          hook<"T1TFNUIConfiguration", "isNestedActionButtonEnabled",
               SwitchedAnswer<BOOL(), appearanceTint, YES>>(),
          // SpringBoard: the lock screen's teachable-moments text.
          hook<"CSTeachableMomentsContainerViewController",
               "_updateText:", SettingArgument<void(id), EnableHello, Hello>>(),
          // Photos: video muting, delete confirmation, library tabs, asset queries and debug
          // displays. The forced values differ between like rows on purpose: reframe debugging is
          // switched off while the two other debug displays are switched on, and the underscored
          // asset query answers NO while the plain one answers YES.
          hook<"PUBrowsingVideoPlayer", "setMuted:", SwitchedArgument<BOOL(BOOL), Slideshow, NO>>(),
          hook<"PUBrowsingVideoPlayer", "isMuted", SwitchedAnswer<BOOL(), Slideshow, NO>>(),
          classHook<"PUBrowsingViewModel", "autoplayVideoMuted",
                    SwitchedAnswer<BOOL(), Slideshow, NO>>(),
          classHook<"PUBrowsingViewModel",
                    "setAutoplayVideoMuted:", SwitchedArgument<BOOL(BOOL), Slideshow, NO>>(),
          hook<"PUBrowsingViewModel", "isAutoplayVideoMuted",
               SwitchedAnswer<BOOL(), Slideshow, NO>>(),
          hook<"PUDeletePhotosActionController",
               "setShouldSkipDeleteConfirmation:", SwitchedArgument<BOOL(BOOL), SkipDelete, YES>>(),
          hook<"PUTabbedLibrarySettings",
               "setEnableSearchTab:", SwitchedArgument<BOOL(BOOL), a1, NO>>(),
          hook<"PUTabbedLibrarySettings",
               "setEnableForYouTab:", SwitchedArgument<BOOL(BOOL), a1, NO>>(),
          hook<"PXPhotoKitCollectionsDataSourceManager",
               "_containsAnyAssets:", SwitchedAnswer<BOOL(id), a2, NO>>(),
          hook<"PXPhotoKitCollectionsDataSourceManager",
               "containsAnyAssets:", SwitchedAnswer<BOOL(id), a2, YES>>(),
          hook<"PUPhotoEditProtoSettings",
               "setEnablePerfDebugHUD:", SwitchedArgument<BOOL(BOOL), DebugHUD, YES>>(),
          hook<"PUPhotoEditProtoSettings",
               "setEnableReframeDebugHUD:", SwitchedArgument<BOOL(BOOL), DebugHUD, NO>>(),
          hook<"PUPhotoEditProtoSettings", "setPerspectiveViewDebugCropEnabled:",
               SwitchedArgument<BOOL(BOOL), DebugHUD, YES>>(),
      }};
  return constructor;
}

}  // namespace vorla::features
