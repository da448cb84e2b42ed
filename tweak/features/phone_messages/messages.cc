// The Messages conversation list: a title and a cell height of the user's, each while its
// registered switch is on.
#include "tweak/features/features.h"
#include "tweak/features/setting_shapes.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::features {

using namespace core;

Hook conversationListTitle() {
  return hook<"CKConversationListController",
              "setTitle:", SettingArgument<void(id), Enablemsg, texstmsg>>();
}

Hook conversationCellHeight() {
  return hook<"CKConversationListController", "setConversationCellHeight:",
              SettingArgument<BOOL(double), slidermsg, sliderKeymsg>>();
}

}  // namespace vorla::features
