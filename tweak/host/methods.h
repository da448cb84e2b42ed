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

// The implementation a message `selector` to an instance of `cls` runs at this moment.
IMP resolve(Class cls, SEL selector);

// method_setImplementation for a method that `owner` defines itself, with the effect it has on
// the device: every class that runs the method, the owner and its subclasses, runs the new
// implementation from the next message on. This runtime needs two things done by hand for it:
// - it keeps one shared dispatch table for every class that has not received a message yet, and
//   changing an implementation before the owner has a table of its own writes into that shared
//   one, so every such class would run the replacement: the owner's table is installed first;
// - it updates the owner's table only, while subclasses that already have tables keep the old
//   implementation: the tables of the owner and its subclasses are rebuilt afterwards.
// Returns the implementation the method had.
IMP setImplementation(Class owner, Method method, IMP replacement);

}  // namespace vorla::host
