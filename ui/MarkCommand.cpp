// The mark a mechanic sets while recording: a key in the window, the mark's number in the
// recording's row, a word in the status bar that it was set.
#include "ui/MainWindow.h"
#include "ui/QtText.h"
#include "ui/ViewerTexts.h"

#include <QStatusBar>

namespace zentrola {

namespace {
constexpr int kShownMs = 4000;
} // namespace

void MainWindow::commandMark() {
    const Language language = languageFromIndex(cfg_.language());
    // Without a recording a mark would be lost: say so instead of doing nothing.
    if (!recorder_.recording()) {
        statusBar()->showMessage(q(viewertexts::MarkNeedsRecording[language]), kShownMs);
        return;
    }
    const int mark = recorder_.mark();
    statusBar()->showMessage(q(viewertexts::MarkSet[language]).arg(mark), kShownMs);
}

} // namespace zentrola
