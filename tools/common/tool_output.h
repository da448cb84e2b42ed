// How a tool ends once its output is written.
#pragma once

namespace vorla::tools {

// `status`, unless standard output could not be written (a full disk, a closed pipe): then the
// error is reported on standard error as `tool: ...` and the status is 1, so that a lost report
// never passes for a successful one.
int finishOutput(const char* tool, int status);

}  // namespace vorla::tools
