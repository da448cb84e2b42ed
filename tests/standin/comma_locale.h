#pragma once

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

namespace vorla::testing {

// Puts the process in a locale whose decimal separator is a comma while it lives, so a test
// can show that a reading ignores the locale. Minimal systems install no such locale, so the
// build generates one under $VORLA_BUILD_DIR/locale as a fallback.
class CommaDecimalLocale {
 public:
  CommaDecimalLocale() {
    active_ = switchToAny();
    if (active_) return;
    const char* buildDir = std::getenv("VORLA_BUILD_DIR");
    if (buildDir == nullptr) return;
    const std::string path = std::string(buildDir) + "/locale";
    setenv("LOCPATH", path.c_str(), 1);
    active_ = switchToAny();
  }
  ~CommaDecimalLocale() { std::setlocale(LC_ALL, "C"); }
  CommaDecimalLocale(const CommaDecimalLocale&) = delete;
  CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

  bool active() const { return active_; }

 private:
  static bool switchToAny() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
      if (std::setlocale(LC_ALL, name) != nullptr &&
          std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
        return true;
      }
    }
    std::setlocale(LC_ALL, "C");
    return false;
  }

  bool active_ = false;
};

}  // namespace vorla::testing
