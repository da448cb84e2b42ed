// Prints the library's coded tables as a host sees them, code by code: the About page's version
// and model texts, the Phone tabs each code hides and the keyboard's colour per code. Its output
// is the golden report tests/golden/coded-tables.txt (scripts/golden), so that every row of
// every table is reviewed once and any change to one shows.
#include <cstdio>
#include <string>
#include <vector>

#include "hosts/host_apps.h"
#include "hosts/model.h"
#include "standin/foundation/values.h"
#include "standin/runtime/message.h"
#include "standin/runtime/object.h"
#include "tweak/core/feature_gate.h"
#include "tweak/features/features.h"
#include "tweak/settings/settings_registry.h"

namespace vorla::testing {
namespace {

using standin::send;

// Integer codes from `first` to `last` and a few that no table may select.
std::vector<double> codes(int first, int last) {
  std::vector<double> all{-1.0, 0.5, 11.5, 2111.5};
  for (int code = first; code <= last; ++code) all.push_back(code);
  return all;
}

// Every code whose text differs from the host's own.
void textTable(const char* name, const char* selector, BOOL& on, double& code, int last) {
  id source = hosts::newInstance("PSGAboutDataSource");
  std::string host = standin::describe(send<id>(source, selector));
  std::printf("%s, switch off: %s\n", name, host.c_str());
  on = YES;
  for (double value : codes(0, last)) {
    code = value;
    std::string text = standin::describe(send<id>(source, selector));
    if (text != host) std::printf("%s %g: %s\n", name, value, text.c_str());
  }
  on = NO;
  standin::releaseObject(source);
}

std::string tabsReaching(BOOL given) {
  id controller = hosts::newInstance("PhoneTabBarController");
  send<BOOL>(controller, "showFavoritesTab:recentsTab:contactsTab:keypadTab:voicemailTab:", given,
             given, given, given, given);
  const char* names[] = {"favorites", "recents", "contacts", "keypad", "voicemail"};
  hosts::MethodRecord record = hosts::recordOf(
      controller, "showFavoritesTab:recentsTab:contactsTab:keypadTab:voicemailTab:");
  std::string shown;
  for (std::size_t i = 0; i < record.lastArguments.size(); ++i) {
    if (std::get<long long>(record.lastArguments[i]) != 0) shown += std::string(" ") + names[i];
  }
  standin::releaseObject(controller);
  return record.calls == 1 ? (shown.empty() ? " none" : shown)
                           : " (host called " + std::to_string(record.calls) + " times)";
}

void phoneTabs() {
  std::printf("phone tabs, switch off:%s\n", tabsReaching(YES).c_str());
  tweakEnabled = YES;
  for (double code : codes(0, 9)) {
    ::features = code;
    std::printf("phone tabs %g:%s; host hiding all:%s\n", code, tabsReaching(YES).c_str(),
                tabsReaching(NO).c_str());
  }
  tweakEnabled = NO;
}

std::string keyboardAfterLayout() {
  id keyboard = hosts::newInstance("UIKeyboardImpl");
  send(keyboard, "layoutSubviews");
  hosts::Value colour = hosts::lastArgument(keyboard, "setBackgroundColor:");
  std::string seen =
      std::holds_alternative<id>(colour) ? standin::describe(std::get<id>(colour)) : "unchanged";
  seen += ", layout passes " + std::to_string(hosts::callCount(keyboard, "layoutSubviews"));
  standin::releaseObject(keyboard);
  return seen;
}

void keyboardColours() {
  std::printf("keyboard, switch off: %s\n", keyboardAfterLayout().c_str());
  tweakEnabled2 = YES;
  for (double code : codes(9, 20)) {
    features2 = code;
    std::printf("keyboard %g: %s\n", code, keyboardAfterLayout().c_str());
  }
  tweakEnabled2 = NO;
}

}  // namespace
}  // namespace vorla::testing

int main() {
  using namespace vorla;
  for (const hosts::HostApp& app : hosts::hostApps()) hosts::registerApp(app.name);
  core::installTableRows(features::lastConstructor().hooks);
  standin::pushAutoreleasePool();
  testing::textTable("version", "_productVersionString", Enableversion, IPhoneversion, 2200);
  testing::textTable("model", "_modelNameString", Enabledmodel, model, 1200);
  testing::phoneTabs();
  testing::keyboardColours();
  standin::popAutoreleasePool();
  return 0;
}
