#include "tweak/host/runtime.h"

namespace vorla::host {

id retain(id object) { return send<id>(object, VORLA_SEL("retain")); }

void release(id object) { send(object, VORLA_SEL("release")); }

id makeConstantString(const char* text) { return retain(temporaryString(text)); }

id temporaryString(const char* text) {
  return send<id>(VORLA_CLASS("NSString"), VORLA_SEL("stringWithUTF8String:"), text);
}

}  // namespace vorla::host
