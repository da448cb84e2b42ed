#include "tweak/load_sequence.h"

#include "tweak/features/features.h"

namespace vorla {

using core::Constructor;

std::span<const Constructor* const> loadSequence() {
  static const Constructor* const sequence[] = {
      &features::tabBariPad(),       // 1
      &features::bookmarksBar(),     // 2
      &features::safariSwitcher(),   // 3
      &features::chargingrate(),     // 4
      &features::batteryIcon(),      // 5
      &features::lok(),              // 6
      &features::ribbon(),           // 7
      &features::threeDTouch(),      // 8
      &features::ui(),               // 9
      &features::time(),             // 10
      &features::flash(),            // 11
      &features::camera(),           // 12
      &features::dot(),              // 13
      &features::iconcolor(),        // 14
      &features::keyboard1(),        // 15
      &features::cydiadark(),        // 16
      &features::cydia(),            // 17
      &features::sfare(),            // 18
      &features::look(),             // 19
      &features::numberclor(),       // 20
      &features::numberPadButton(),  // 21
      &features::call(),             // 22
      &features::hedncall(),         // 23
      &features::hidenames(),        // 24
      &features::hidebar(),          // 25
      &features::bar1(),             // 26
      &features::colors7(),          // 27
      &features::colors5(),          // 28
      &features::colors4(),          // 29
      &features::colors3Tables(),    // 30
      &features::colors3Cells(),     // 31
      &features::colors2(),          // 32
      &features::colors1(),          // 33
      &features::camera3(),          // 34
      &features::camera1(),          // 35
      &features::vv2(),              // 36
      &features::vv3(),              // 37
      &features::dock(),             // 38
      &features::vvm(),              // 39
      &features::editWatchq(),       // 40
      &features::editWatchr(),       // 41
      &features::enableUser(),       // 42
      &features::lastConstructor(),  // 43
  };
  return sequence;
}

}  // namespace vorla
