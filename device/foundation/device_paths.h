// Every absolute path the device layer opens is taken under VORLA_DEVICE_ROOT (unset: "/"), so a
// test or a tool can give each simulated device a directory of its own.
#pragma once

#include <string>
#include <string_view>

namespace vorla::device {

std::string devicePath(std::string_view absolutePath);

// Where the preferences suite `suite` is stored on the device (before the root is applied).
std::string suitePath(std::string_view suite);

}  // namespace vorla::device
