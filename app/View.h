// What the Configurator asks of its front end. The window implements it with widgets, the
// command line prints, tests record the calls. Every call has a harmless default.
#pragma once

#include "core/Colour.h"
#include "core/Enabling.h"
#include "core/FormValues.h"
#include "link/Transfer.h"

#include <string>

namespace zentrola {

// The status label with its transfer gauge.
struct StatusLine {
    std::string text;
    Colour colour = Colour::Face;
    bool visible = false;
    int gauge = 0;
    int gaugeMax = kTransferGaugeMax; // one step a page
    bool gaugeVisible = false;
};

enum class Answer { Yes, No, Cancel };

class View {
  public:
    virtual ~View() = default;
    // The controls were written from the image.
    virtual void showControls(const FormValues&) {}
    // What the controls show, enable and colour now.
    virtual void showEnabling(const Enabling&) {}
    // A modal message box; detail is the informative text (the system's reason), if any.
    virtual void showMessage(const std::string& /*text*/, const std::string& /*detail*/) {}
    virtual Answer ask(const std::string& /*question*/) { return Answer::Cancel; }
    // A status message was set (the label may already show the same text).
    virtual void statusPosted(const StatusLine&) {}
    // A monitor frame was decoded.
    virtual void monitorUpdated() {}
    // The graph should draw: bit 0 redraw, bit 1 rescale and redraw. The Configurator has
    // just rebuilt what to paint, graph().displayList().
    virtual void drawGraph(int /*request*/) {}
    // Moves the mouse pointer to a position in the graph image's pixels while a point is
    // dragged; false when the platform cannot move it.
    virtual bool movePointer(int /*x*/, int /*y*/) { return false; }
};

} // namespace zentrola
