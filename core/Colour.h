// The colours the window paints labels and fields with, named by role or by value.
#pragma once

#include <cstdint>

namespace zentrola {

enum class Colour : std::uint8_t {
    Face,   // the system button face
    Window, // the system window background
    White,
    Red,
    Blue,
    Grey,
    Yellow,
    Fuchsia,
    Aqua,
    Lime,
};

} // namespace zentrola
