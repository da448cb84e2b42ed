#include "tools/common/tool_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace vorla::tools {

int finishOutput(const char* tool, int status) {
  // The output's last failed write is the last call to fail, so errno still says why.
  std::cout.flush();
  bool failed = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout);
  if (!failed) return status;
  std::cerr << tool
            << ": cannot write the output: " << (errno != 0 ? std::strerror(errno) : "write error")
            << '\n';
  return 1;
}

}  // namespace vorla::tools
