// The enable keys as the library reads them when it loads, read in the simulator itself: its
// host processes contain none of the library's code, so they are told the outcome in the plan.
#pragma once

#include <map>
#include <string>

namespace vorla::sim {

// Every enable key of the load sequence, on or off, from the settings file of this process's
// device root. Read with the library's own routine, so that a value of any kind, or none, reads
// exactly as the library reads it.
std::map<std::string, bool> enableKeyStates();

}  // namespace vorla::sim
