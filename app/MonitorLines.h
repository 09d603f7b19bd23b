// The monitor as text: a line of the shown labels for the terminal, and CSV rows with a fixed
// column per label for a file.
#pragma once

#include "link/Monitor.h"

#include <string>
#include <string_view>

namespace zentrola {

// The shown labels in their order, joined by " | ".
std::string monitorLine(const MonitorDisplay& display);

// A header of the label names, and a row with every label's text (empty when hidden), each
// ending in CR LF.
std::string csvHeader();
std::string csvRow(const MonitorDisplay& display);

// One field, quoted when it holds a comma, a quote, a line break or blanks at its ends.
std::string csvField(std::string_view text);

} // namespace zentrola
