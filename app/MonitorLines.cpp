#include "app/MonitorLines.h"

namespace zentrola {

namespace {

constexpr std::string_view kSeparator = " | ";
constexpr std::string_view kRowEnd = "\r\n";

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

std::string csvField(std::string_view text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote)
        return std::string(text);
    std::string out = "\"";
    for (const char ch : text) {
        if (ch == '"')
            out += '"';
        out += ch;
    }
    out += '"';
    return out;
}

std::string csvHeader() {
    std::string row;
    for (std::size_t i = 0; i < kMonLabelCount; ++i) {
        if (i != 0)
            row += ',';
        row += csvField(kMonLabelNames[i]);
    }
    return row.append(kRowEnd);
}

std::string csvRow(const MonitorDisplay& display) {
    std::string row;
    for (std::size_t i = 0; i < kMonLabelCount; ++i) {
        if (i != 0)
            row += ',';
        const Label& label = display.labels[i];
        if (label.visible)
            row += csvField(trimmed(label.text));
    }
    return row.append(kRowEnd);
}

} // namespace zentrola
