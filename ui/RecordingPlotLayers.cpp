// What the recording plot draws over its channels: the lines from each channel's min/max
// pyramid, a second cursor, the strip of event marks along the time axis, and a second
// recording laid over the first.
#include "ui/ChartParts.h"
#include "ui/RecordingPlot.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zentrola {

namespace {

// The strip takes the lowest twentieth of the plot; marks stand from its foot to its top.
constexpr double kStripShare = 20;
constexpr int kOverlayAlpha = 150;
constexpr int kLineWidth = 2;

} // namespace

QColor RecordingPlot::eventColour(EventKind kind) {
    switch (kind) {
    case EventKind::Limiter:
        return chart::kLimiterColour;
    case EventKind::StartLimiter:
        return {255, 0, 255}; // as the monitor label colours it
    case EventKind::KillSwitch:
        return {140, 0, 0};
    case EventKind::MotorOff:
        return {90, 40, 0};
    case EventKind::LostConnection:
        return {120, 120, 120};
    case EventKind::CurveSwitch:
        return chart::kCurveBColour;
    case EventKind::Mark:
        return {0, 150, 0};
    case EventKind::OffCurve:
        return {255, 140, 0};
    case EventKind::Count:
        break;
    }
    return Qt::black;
}

void RecordingPlot::makeLayers() {
    cursorLine2_ = new QCPItemStraightLine(this);
    cursorLine2_->setPen(QPen(QColor(0, 0, 0), 2, Qt::DashLine));
    cursorLine2_->setVisible(false);

    eventAxis_ = axisRect()->addAxis(QCPAxis::atLeft);
    eventAxis_->setVisible(false);
    eventAxis_->setRange(0, kStripShare);
    for (std::size_t k = 0; k < eventGraphs_.size(); ++k) {
        QCPGraph* g = addGraph(xAxis, eventAxis_);
        QColor colour = eventColour(static_cast<EventKind>(k));
        g->setPen(QPen(colour, kLineWidth));
        colour.setAlpha(90);
        g->setBrush(colour); // a stretch is a filled band, a moment a line
        g->removeFromLegend();
        g->setAdaptiveSampling(false);
        eventGraphs_[k] = g;
    }
}

void RecordingPlot::drawChannel(QCPGraph* graph, const Recording& recording,
                                std::array<std::unique_ptr<MinMaxPyramid>, kChannelCount>& pyramids,
                                Channel channel, double shiftS, int columns) {
    const auto c = static_cast<std::size_t>(channel);
    if (!pyramids[c])
        pyramids[c] =
            std::make_unique<MinMaxPyramid>(recording[Channel::Time], recording.columns[c], kGapS);
    const PlotLine points = pyramids[c]->points(from_ - shiftS, to_ - shiftS, columns);
    QVector<QCPGraphData> data;
    data.reserve(static_cast<qsizetype>(points.size()));
    for (const PlotPoint& p : points)
        data.append(QCPGraphData(p.x + shiftS, p.y));
    graph->data()->set(data, true);
}

void RecordingPlot::setSecondCursorTime(double timeS) {
    if (!recording_)
        return;
    cursor2_ = rowAt((*recording_)[Channel::Time], timeS);
    drawSecondCursor();
    emit cursorMoved();
    emit stretchChanged();
}

void RecordingPlot::stepSecondCursor(int rows) {
    if (!recording_ || recording_->rows == 0)
        return;
    if (!cursor2_) {
        setSecondCursorTime((from_ + to_) / 2);
        return;
    }
    const long last = static_cast<long>(recording_->rows) - 1;
    cursor2_ = static_cast<std::size_t>(std::clamp(static_cast<long>(*cursor2_) + rows, 0L, last));
    const double t = (*recording_)[Channel::Time][*cursor2_];
    if (t < from_ || t > to_)
        showRange(t - (to_ - from_) / 2, t + (to_ - from_) / 2);
    drawSecondCursor();
    emit cursorMoved();
    emit stretchChanged();
}

void RecordingPlot::clearCursors() {
    cursor_.reset();
    cursor2_.reset();
    cursorLine_->setVisible(false);
    drawSecondCursor();
    emit cursorMoved();
    emit stretchChanged();
}

void RecordingPlot::drawSecondCursor() {
    const bool shown = cursor2_ && recording_ && *cursor2_ < recording_->rows;
    cursorLine2_->setVisible(shown);
    if (shown) {
        const double t = (*recording_)[Channel::Time][*cursor2_];
        cursorLine2_->point1->setCoords(t, 0);
        cursorLine2_->point2->setCoords(t, 1);
    }
    replot(rpQueuedReplot);
}

void RecordingPlot::setEvents(const std::vector<RecordingEvent>& events) {
    std::array<QVector<QCPGraphData>, kEventKindCount> data;
    const double none = std::numeric_limits<double>::quiet_NaN();
    for (const RecordingEvent& e : events) {
        auto& d = data[static_cast<std::size_t>(e.kind)];
        if (!d.isEmpty())
            d.append(QCPGraphData(e.startS, none));
        d.append(QCPGraphData(e.startS, 0));
        d.append(QCPGraphData(e.startS, 1));
        d.append(QCPGraphData(e.endS, 1));
        d.append(QCPGraphData(e.endS, 0));
    }
    for (std::size_t k = 0; k < kEventKindCount; ++k)
        eventGraphs_[k]->data()->set(data[k], true);
    replot(rpQueuedReplot);
}

std::size_t RecordingPlot::eventMarks() const {
    std::size_t n = 0;
    for (const QCPGraph* g : eventGraphs_)
        n += static_cast<std::size_t>((g->data()->size() + 1) / 5);
    return n;
}

void RecordingPlot::setOverlay(const Recording* second, double shiftS) {
    overlay_ = second;
    overlayShift_ = shiftS;
    overlayPyramids_ = {};
    for (QCPGraph*& g : overlayLines_) {
        if (g)
            removeGraph(g);
        g = nullptr;
    }
    rebuild();
}

void RecordingPlot::rebuildOverlay(int columns) {
    if (!overlay_)
        return;
    for (std::size_t c = 1; c < kChannelCount; ++c) {
        QCPGraph*& g = overlayLines_[c];
        const bool wanted = traces_[c].shown && !overlay_->columns[c].empty();
        if (!wanted) {
            if (g)
                g->data()->clear();
            if (g)
                g->setVisible(false);
            continue;
        }
        if (!g) {
            g = addGraph(xAxis, traces_[c].line->valueAxis());
            QColor colour = chart::colourOf(static_cast<Channel>(c));
            colour.setAlpha(kOverlayAlpha);
            g->setPen(QPen(colour, kLineWidth, Qt::DashLine));
            g->setName(traces_[c].line->name() + QStringLiteral(" (2)"));
        }
        g->setVisible(true);
        drawChannel(g, *overlay_, overlayPyramids_, static_cast<Channel>(c), overlayShift_,
                    columns);
    }
}

} // namespace zentrola
