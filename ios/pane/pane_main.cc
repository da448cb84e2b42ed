// vorla-pane: writes the device's settings pane, as XML, for the package to install.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include "ios/pane/pane_specifiers.h"
#include "tools/common/plist_writer.h"

namespace {

constexpr const char* kTool = "vorla-pane";

int fail(const std::string& message) {
  std::cerr << kTool << ": " << message << '\n';
  return 1;
}

// The whole pane or nothing: written beside the output and renamed over it, so that a package
// built after a failed run never takes half a pane.
int writeFile(const std::string& path, const std::string& content) {
  std::string partial = path + ".partial";
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) return fail("cannot create " + partial + ": " + std::strerror(errno));
  bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  int error = errno;
  if (std::fclose(file) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && std::rename(partial.c_str(), path.c_str()) == 0) return 0;
  if (written) error = errno;
  std::remove(partial.c_str());
  return fail("cannot write " + path + ": " + std::strerror(error));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '\0' || argv[1][0] == '-') {
    std::cerr << "usage: " << kTool << " OUTPUT.plist\n"
              << "Writes the settings pane for the preference loader, made from the library's "
                 "keys.\n";
    return 2;
  }
  try {
    using namespace vorla;
    return writeFile(argv[1], plist::writeXml(pane::settingsPane(tools::keyCatalogue())));
  } catch (const std::exception& error) {
    return fail(error.what());
  }
}
