// The port index as the COM menu and the settings file keep it: 0..19 stand for COM1..COM20,
// 20 for the automatic scan.
#pragma once

#include <cstdint>

namespace zentrola {

inline constexpr int kComPorts = 20;
inline constexpr std::uint8_t kAutoPortIndex = 20;

} // namespace zentrola
