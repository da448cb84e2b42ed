// The runtime this build's tweak/host/ is written for, chosen by the build (VORLA_RUNTIME): GCC's,
// or the device's public C API. Each gives the runtime's types and `sendNonNil`.
#pragma once

#if defined(VORLA_DEVICE_RUNTIME)
#include "tweak/host/device/objc_api.h"
#else
#include "tweak/host/gnu/objc_api.h"
#endif
