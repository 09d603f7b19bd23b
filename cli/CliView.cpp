#include "cli/CliView.h"

namespace zentrola {

std::string oneLine(std::string_view text) {
    std::string out;
    bool pendingBreak = false;
    for (const char ch : text) {
        if (ch == '\n' || ch == '\r') {
            pendingBreak = true;
            continue;
        }
        if (pendingBreak && !out.empty() && out.back() != ' ')
            out.push_back(' ');
        pendingBreak = false;
        out.push_back(ch);
    }
    return out;
}

void CliView::line(std::string_view text) {
    err_ << oneLine(text) << '\n' << std::flush;
}

void CliView::showMessage(const std::string& text, const std::string& detail) {
    line(detail.empty() ? text : text + ": " + detail);
}

void CliView::statusPosted(const StatusLine& status) {
    if (status.text == lastStatus_)
        return;
    lastStatus_ = status.text;
    line(status.text);
}

} // namespace zentrola
