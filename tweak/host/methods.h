// Classes and their methods, as the hook installer reads and changes them.
#pragma once

#include "tweak/host/types.h"

namespace vorla::host {

// Where a class's class methods live.
Class metaclassOf(Class cls);

// Nil for a root class.
Class superclassOf(Class cls);

// The method `cls` defines itself for `selector`, or null when it has none of its own (it may
// still inherit one). Selectors are compared as the runtime compares them (sameSelector).
Method ownMethod(Class cls, SEL selector);

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
