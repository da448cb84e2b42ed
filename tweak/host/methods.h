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
// inherit one). Selectors are compared as the runtime compares them (sameSelector). Sends no
// message, so no host class is initialised or asked to resolve a method it lacks.
//
// The runtime's class_copyMethodList copies every method of the class at each call, most of a
// load with every key on, where a host class has hundreds of methods and a constructor looks for
// several; one walk in place answers for all of them.
void findOwnMethods(Class cls, std::span<const SEL> selectors, std::span<Method> found);

IMP implementationOf(Method method);

// Gives `cls` a method of its own for `selector`, with the type encoding of `inherited`, the
// ancestor's method it takes the place of.
void addMethod(Class cls, SEL selector, IMP implementation, Method inherited);

// The implementation a message `selector` to an instance of `cls` runs at this moment. Inline, as
// it runs at every call of a hook whose class only inherits the method.
inline IMP resolve(Class cls, SEL selector) { return class_getMethodImplementation(cls, selector); }

// Gives `method` the implementation `replacement`, and returns the one it had. No dispatch table
// sees the change yet: it takes effect, for the class that defines the method and every
// subclass, on every thread, once rebuildDispatch has run for that class or an ancestor.
//
// The runtime's method_setImplementation is not used: it walks every method of every class in the
// process to patch each table that holds the method (most of a load with every key on, in a host
// of a few hundred classes), misses subclasses that already have tables, and, while the class has
// no table of its own, patches the one table that every class which has not received a message
// yet shares, so that all of them would run the replacement. Writing the method alone touches no
// table; the rebuild then gives each class that has one the new implementation, and a class that
// has none yet builds it from its methods when it receives its first message.
IMP setImplementationUnpublished(Method method, IMP replacement);

// Rebuilds the dispatch tables of `cls` and all its subclasses from their methods, so that every
// change made with setImplementationUnpublished to them takes effect. A class that has received no
// message yet has no table to rebuild, nor has any of its subclasses.
void rebuildDispatch(Class cls);

}  // namespace vorla::host
