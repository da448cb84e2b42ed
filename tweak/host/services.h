// The platform services the library calls: preferences, numbers, dictionaries from files and
// colours. Results follow the platform's rules: `new...` is owned by the caller (+1); the rest
// are borrowed and must be held (host::Held) to be kept beyond the next autorelease drain.
#pragma once

#include "tweak/host/runtime.h"

namespace vorla::host {

// The preferences suite every enable key and registered setting lives in.
inline constexpr const char* kSuite = "com.pellobrast.vorla";

// A new preferences object for the suite (+1), or nil when the service is unavailable.
id newSuitePreferences();

id preferencesValue(id preferences, id key);
void registerBool(id preferences, BOOL* variable, BOOL fallback, id key);
void registerDouble(id preferences, double* variable, double fallback, id key);
void registerObject(id preferences, id* variable, id fallback, id key);

id numberWithBool(BOOL value);

// Readings of a stored value. A value that has no such reading (an array, a dictionary, data or
// a date) would raise on the device; here it reads as NO or 0.
bool boolReading(id value);
long long longLongReading(id value);

id dictionaryWithContentsOfFile(id path);
id dictionaryValue(id dictionary, id key);

id colourWithString(id value, id fallback);
id colourWithComponents(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);

// The platform's named colours.
enum class NamedColour { kOrange, kRed, kWhite, kGray, kBlack, kCyan, kBlue, kYellow };
id namedColour(NamedColour colour);

}  // namespace vorla::host
