// The runtime's types (id, SEL, Class, IMP, Method, BOOL) for the code above host/, which names
// them but reaches the runtime only through host/'s routines.
#pragma once

#include <objc/runtime.h>
