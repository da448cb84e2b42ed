// Every absolute path the stand-in opens is taken under VORLA_DEVICE_ROOT (unset: "/"), so a
// test or a tool can give each simulated device a directory of its own. The variable is read when
// the stand-in loads; a process that moves to another root says so with useDeviceRoot.
#pragma once

#include <string>
#include <string_view>

namespace vorla::standin {

// The path under the root; valid until the thread's next call.
const std::string& devicePath(std::string_view absolutePath);

// Makes `root` the device root of this process and of the processes it starts (it is also put in
// VORLA_DEVICE_ROOT).
void useDeviceRoot(const std::string& root);

// Where the preferences suite `suite` is stored on the device (before the root is applied).
std::string suitePath(std::string_view suite);

}  // namespace vorla::standin
