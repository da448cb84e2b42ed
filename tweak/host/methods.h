// Classes and their methods, as the hook installer reads and changes them.
#pragma once

#include <span>

#include "tweak/host/types.h"

namespace vorla::host {

// Where a class's class methods live.
Class metaclassOf(Class cls);

// Nil for a root class.
Class superclassOf(Class cls);

// The name a class was registered under; a metaclass has its class's name.
const char* nameOf(Class cls);

bool isMetaclass(Class cls);

// Changes whenever `cls` gains methods, and only then: what was found among its methods holds as
// long as this stays the same.
const void* methodsVersion(Class cls);

// The methods `cls` defines itself for each of `selectors`, found in one pass over its methods:
// found[i] is the method for selectors[i], or null when it has none of its own (it may still
// inherit one); of two of one name, the one that runs. Selectors are compared as the runtime
// compares them (sameSelector). Sends no message, so no host class is initialised or asked to
// resolve a method it lacks.
void findOwnMethods(Class cls, std::span<const SEL> selectors, std::span<Method> found);

IMP implementationOf(Method method);

// Gives `cls` a method of its own for `selector`, with the type encoding of `inherited`, the
// ancestor's method it takes the place of.
void addMethod(Class cls, SEL selector, IMP implementation, Method inherited);

// The implementation a message `selector` to an instance of `cls` runs at this moment. Inline, as
// it runs at every call of a hook whose class only inherits the method.
inline IMP resolve(Class cls, SEL selector) { return class_getMethodImplementation(cls, selector); }

// Gives `method` the implementation `replacement`, and returns the one it had. The change may not
// be seen yet: it is in place, for the class that defines the method and every subclass, on every
// thread, at the latest once rebuildDispatch has run for that class or an ancestor.
IMP setImplementationUnpublished(Method method, IMP replacement);

// Puts every change made with setImplementationUnpublished to `cls` and its subclasses in place.
// Changing the implementations of several methods first and then rebuilding once is cheaper where
// the runtime would otherwise rebuild at each change.
void rebuildDispatch(Class cls);

}  // namespace vorla::host
