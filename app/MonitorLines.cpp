#include "app/MonitorLines.h"

namespace zentrola {

namespace {

constexpr std::string_view kSeparator = " | ";

// The labels carry blanks for the window's layout; they mean nothing in a line or a cell.
std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::string monitorLine(const MonitorDisplay& display) {
    std::string line;
    for (const Label& label : display.labels) {
        if (!label.visible)
            continue;
        if (!line.empty())
            line += kSeparator;
        line += trimmed(label.text);
    }
    return line;
}

} // namespace zentrola
