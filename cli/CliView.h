// The command line's View: the window's status and message texts as lines on stderr, and a
// count of the monitor frames. The Configurator never asks the command line a question.
#pragma once

#include "app/View.h"

#include <ostream>
#include <string>
#include <string_view>

namespace zentrola {

class CliView : public View {
  public:
    explicit CliView(std::ostream& err) : err_(err) {}

    // "text", or "text: detail" when the system gave a reason.
    void showMessage(const std::string& text, const std::string& detail) override;
    // Printed once per change of text: the label shows the same text for 200 ticks.
    void statusPosted(const StatusLine& status) override;
    void monitorUpdated() override { ++frames_; }

    // The command line's own lines go the same way.
    void line(std::string_view text);
    int frames() const { return frames_; }

  private:
    std::ostream& err_;
    std::string lastStatus_;
    int frames_ = 0;
};

// A message box text on one line: each run of line breaks becomes one blank.
std::string oneLine(std::string_view text);

} // namespace zentrola
