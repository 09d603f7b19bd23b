// The monitor as text: a line of the shown labels for the terminal. Recordings hold numbers,
// not these texts (app/Recording.h).
#pragma once

#include "link/Monitor.h"

#include <string>
#include <string_view>

namespace zentrola {

// The shown labels in their order, joined by " | ".
std::string monitorLine(const MonitorDisplay& display);

} // namespace zentrola
