// The load-time constructors: a gate that reads one enable key and installs a constructor's
// hooks when it is on, and the sequence that runs all of them in order.
#pragma once

#include <span>

#include "tweak/core/hook_table.h"
#include "tweak/core/method_directory.h"

namespace vorla::core {

// The value stored under `key`, read as a boolean. Absent means off, and so does a value that
// has no boolean reading at all (an array, a dictionary, data or a date).
bool readEnableFlag(id preferences, id key);

// Installs rows of a constructor's table (installHook puts one replacement of one method in
// place; this adds what a table row needs around it): looks up each target class in table order,
// saves its superclass just before its first hook, and installs its hooks, each in place on every thread when this returns. A class-method row
// targets the metaclass, with a saved superclass of its own. A slot is filled once: a row whose
// slot an earlier install filled changes nothing.
void installTableRows(const std::vector<Hook>& hooks);

// installTableRows with the methods found through `directory`, which a whole load shares.
void installTableRows(const std::vector<Hook>& hooks, MethodDirectory& directory);

// Constructors 1 to 42: a preferences object of its own, one key read, hooks installed only
// when it is on.
void FeatureGate(const Constructor& constructor);
void FeatureGate(const Constructor& constructor, MethodDirectory& directory);

// Runs every constructor once, in load order, with one directory of methods for all of them.
void runLoadSequence(std::span<const Constructor* const> sequence);

}  // namespace vorla::core
