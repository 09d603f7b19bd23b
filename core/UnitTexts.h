// The three texts the window shows for the unit's program: name, build date, build time.
// They come from the unit information page and also go into parameter files. Until a unit
// has answered they are the window's design-time texts.
#pragma once

#include <string>

namespace zentrola {

struct UnitTexts {
    std::string name = "KVR13";
    std::string date = "25.01.2003";
    std::string time = "16:21";
};

} // namespace zentrola
