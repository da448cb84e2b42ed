// The simulator's three ways of showing a report.
#pragma once

#include <ostream>

#include "tools/sim/report.h"

namespace vorla::sim {

// Aligned columns, one table per app with its summary line, then the summary of all.
void writeText(std::ostream& out, const Report& report);
// The schema is docs/vorla-sim.schema.json.
void writeJson(std::ostream& out, const Report& report);
// One self-contained page, grouped by app, with a swatch beside every colour value.
void writeHtml(std::ostream& out, const Report& report);

}  // namespace vorla::sim
