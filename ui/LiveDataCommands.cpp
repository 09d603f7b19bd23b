// Live data as pictures: the live chart in its own window beside the main window, fed by
// every monitor frame, and the recording viewer opened on a recording.
#include "ui/ChartParts.h"
#include "ui/Jazyk2.h"
#include "ui/LiveChart.h"
#include "ui/LiveTexts.h"
#include "ui/MainWindow.h"
#include "ui/QtText.h"
#include "ui/RecordingViewer.h"

#include "app/LiveSample.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QScreen>

namespace zentrola {

namespace {

const QSize kChartSize(720, 420);

} // namespace

void MainWindow::buildLiveData() {
    liveChartDock_ = new LiveChartDock(this);
    add("DockLiveChart", liveChartDock_);
    liveChartDock_->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::RightDockWidgetArea);
    liveChart_ = new LiveChart(liveChartDock_);
    add("LiveChart", liveChart_);
    liveChartDock_->setWidget(liveChart_);
    addDockWidget(Qt::RightDockWidgetArea, liveChartDock_);
    // A window of its own, so that the main window keeps its size on a small screen; it can
    // still be docked where there is room.
    liveChartDock_->setFloating(true);
    liveChartDock_->resize(kChartSize);
    liveChartDock_->hide();
    // The menu command is the one switch; the dock's own would not be remembered. Its key
    // works in the chart's window as well, and showing the chart leaves the focus where it is.
    liveChartDock_->toggleViewAction()->setVisible(false);
    liveChartDock_->addAction(action("MenuLiveChart"));
    liveChartDock_->setAttribute(Qt::WA_ShowWithoutActivating);
    connect(liveChartDock_, &LiveChartDock::closedByUser, this, [this] { showLiveChart(false); });
}

void MainWindow::applyLiveDataTexts() {
    const int language = cfg_.language();
    liveChartDock_->setWindowTitle(lt(livetexts::ChartTitle, language));
    liveChart_->setLanguage(language);
    if (viewer_)
        viewer_->setLanguage(language);
}

void MainWindow::commandLiveChart() {
    showLiveChart(liveChartDock_->isHidden());
}

void MainWindow::showLiveChart(bool shown) {
    cfg_.settings().liveChart = shown;
    action("MenuLiveChart")->setChecked(shown);
    if (shown && !liveChartPlaced_ && liveChartDock_->isFloating()) {
        // The lower right corner of the screen: beside a window centred on a wide screen.
        if (const QScreen* s = screen()) {
            const QRect area = s->availableGeometry();
            const QSize size = kChartSize.boundedTo(area.size());
            liveChartDock_->setGeometry(
                QRect(area.bottomRight() - QPoint(size.width(), size.height()), size));
        }
        liveChartPlaced_ = true;
    }
    if (liveChartDock_->isHidden() == shown)
        liveChartDock_->setVisible(shown);
}

void MainWindow::feedLiveChart() {
    // Fed while hidden too: shown again, it has the last minute at once.
    const std::optional<Curve> shown = cfg_.shown();
    const ParameterImage& image = cfg_.image();
    liveChart_->setSpeeds(shown ? image.at(*shown, &CurveOffsets::limiter) * chart::kRpmUnit : 0,
                          shown ? image.at(*shown, &CurveOffsets::shiftLight) * chart::kRpmUnit
                                : 0);
    liveChart_->addSample(liveSample(cfg_.monitor().lastFrame(), liveChart_->ticks()));
}

RecordingViewer* MainWindow::recordingViewer() const {
    return viewer_;
}

void MainWindow::commandViewRecording() {
    const QString last = q(recorder_.path());
    const QString start =
        last.isEmpty() ? QFileInfo(documentsFile(QStringLiteral("%1"))).path() : last;
    const QString path = chooseFile(false, start, kCsvFilter, kCsvSuffix);
    if (path.isEmpty())
        return;
    if (!viewer_) {
        viewer_ = new RecordingViewer(cfg_.image(), cfg_.language(), this);
        viewer_->setAttribute(Qt::WA_DeleteOnClose);
        if (messageHook)
            viewer_->messageHook = [this](const QString& text) { messageHook(text, {}); };
        if (fileDialogHook)
            viewer_->fileDialogHook = [this](bool save, const QString& from) {
                return fileDialogHook(save, from);
            };
    } else {
        // The curves of the window as they are now.
        viewer_->setCurves(cfg_.image());
        viewer_->setLanguage(cfg_.language());
    }
    viewer_->openFile(path);
    viewer_->show();
    viewer_->raise();
    viewer_->activateWindow();
}

} // namespace zentrola
