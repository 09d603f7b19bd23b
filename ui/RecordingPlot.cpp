#include "ui/RecordingPlot.h"

#include "ui/ChartParts.h"
#include "ui/LiveTexts.h"

#include "app/RecordingAnalysis.h"

#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace zentrola {

namespace {

constexpr int kClickSlack = 4;     // pixels a click may move and still be a click
constexpr double kWheelZoom = 0.8; // per wheel step
constexpr double kWheelPan = 0.1;  // of the stretch per wheel step
constexpr double kLeastSpan = 0.5; // seconds
constexpr int kLineWidth = 2;
constexpr int kFontPoints = 10;

constexpr std::array kScaleOf{
    Scale::Number,  // time_s, never drawn
    Scale::Speed,   // rpm
    Scale::Degrees, // advance_deg
    Scale::State,   // base_advance
    Scale::Degrees, // max_advance_deg
    Scale::Volts,   // supply_v
    Scale::State, Scale::State, Scale::State, Scale::State, Scale::State, Scale::State,
    Scale::State, Scale::State, Scale::State, Scale::State, Scale::State, // ..
                                                                          // polarity_negative
    Scale::State,                                                         // curve
    Scale::Number,                                                        // programmings
    Scale::State,                                                         // data_error
    Scale::Number,                                                        // version
    Scale::Number, Scale::Number, Scale::Number, Scale::Number, Scale::Number, Scale::Number,
    Scale::Number, Scale::Number, // test1..8
};
static_assert(kScaleOf.size() == kChannelCount);

// A range that the scale's ticks divide evenly.
std::pair<double, double> niceRange(Scale scale, ChannelRange r) {
    switch (scale) {
    case Scale::Speed:
        return {0, std::max(1000.0, chart::roundUp(r.max + 1, 1000))};
    case Scale::Degrees:
        return {std::min(0.0, chart::roundDown(r.min, 5)), chart::roundUp(r.max, 5) + 5};
    case Scale::Volts:
        return {std::max(0.0, std::floor(r.min) - 1), std::ceil(r.max) + 1};
    case Scale::State:
        return {-0.1, 1.1};
    case Scale::Number:
    case Scale::Count:
        break;
    }
    return {std::floor(r.min) - 1, std::ceil(r.max) + 1};
}

const TextRow& scaleTitle(Scale s) {
    switch (s) {
    case Scale::Speed:
        return livetexts::EngineSpeed;
    case Scale::Degrees:
        return livetexts::Advance;
    case Scale::Volts:
        return livetexts::Supply;
    case Scale::State:
        return livetexts::StateAxis;
    case Scale::Number:
    case Scale::Count:
        break;
    }
    return livetexts::CountAxis;
}

} // namespace

Scale scaleOf(Channel channel) {
    return kScaleOf[static_cast<std::size_t>(channel)];
}

RecordingPlot::RecordingPlot(QWidget* parent) : QCustomPlot(parent) {
    setObjectName(QStringLiteral("RecordingPlot"));
    setFocusPolicy(Qt::StrongFocus);
    chart::plainLook(this);
    const QFont font = chart::sized(this->font(), kFontPoints);
    const QColor text = palette().color(QPalette::WindowText);

    chart::styleAxis(xAxis, text, font);
    xAxis->setNumberFormat(QStringLiteral("g"));
    for (std::size_t s = 0; s < scales_.size(); ++s) {
        const bool speed = s == static_cast<std::size_t>(Scale::Speed);
        QCPAxis* axis = speed ? yAxis : axisRect()->addAxis(QCPAxis::atRight);
        chart::styleAxis(axis, text, font);
        axis->setNumberFormat(QStringLiteral("g"));
        axis->setVisible(false);
        axis->grid()->setVisible(speed);
        scales_[s] = axis;
    }
    // The cursor runs from bottom to top whatever is drawn.
    cursorLine_ = new QCPItemStraightLine(this);
    cursorLine_->setPen(QPen(QColor(0, 0, 0), 2, Qt::SolidLine));
    cursorLine_->setVisible(false);

    legend->setVisible(true);
    legend->setFont(font);
    legend->setBorderPen(Qt::NoPen);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    axisRect()->insetLayout()->take(legend);
    plotLayout()->addElement(1, 0, legend);
    plotLayout()->setRowStretchFactor(1, 0.001);

    // A line keeps a few points per pixel column: a wider plot needs them again, drawn in the
    // same redraw.
    connect(this, &QCustomPlot::afterLayout, this, [this] {
        if (std::abs(axisRect()->width() - builtWidth_) >= 1)
            rebuildLines();
    });
    band_ = new QRubberBand(QRubberBand::Rectangle, this);
    band_->hide();
    setLanguage(0);
}

void RecordingPlot::setLanguage(int languageIndex) {
    language_ = languageIndex;
    xAxis->setLabel(lt(livetexts::TimeAxis, language_));
    for (std::size_t s = 0; s < scales_.size(); ++s)
        scales_[s]->setLabel(lt(scaleTitle(static_cast<Scale>(s)), language_));
    replot(rpQueuedReplot);
}

void RecordingPlot::makeTrace(Channel channel) {
    Trace& t = traces_[static_cast<std::size_t>(channel)];
    if (t.line)
        return;
    t.line = addGraph(xAxis, scales_[static_cast<std::size_t>(scaleOf(channel))]);
    t.line->setPen(QPen(chart::colourOf(channel), kLineWidth));
    t.line->setName(QString::fromUtf8(kChannelNames[static_cast<std::size_t>(channel)].data()));
}

void RecordingPlot::setRecording(const Recording* recording) {
    recording_ = recording;
    cursor_.reset();
    cursorLine_->setVisible(false);
    showAll();
    updateScales();
}

void RecordingPlot::setChannelShown(Channel channel, bool shown) {
    if (channel == Channel::Time || channelShown(channel) == shown)
        return;
    makeTrace(channel);
    Trace& t = traces_[static_cast<std::size_t>(channel)];
    t.shown = shown;
    if (!shown)
        t.line->data()->clear();
    t.line->setVisible(shown);
    if (shown)
        t.line->addToLegend();
    else
        t.line->removeFromLegend();
    updateScales();
    rebuild();
}

bool RecordingPlot::channelShown(Channel channel) const {
    return traces_[static_cast<std::size_t>(channel)].shown;
}

double RecordingPlot::firstTime() const {
    const auto& t = recording_ ? (*recording_)[Channel::Time] : std::vector<double>{};
    return t.empty() ? 0 : t.front();
}

double RecordingPlot::lastTime() const {
    const auto& t = recording_ ? (*recording_)[Channel::Time] : std::vector<double>{};
    return t.empty() ? 0 : t.back();
}

void RecordingPlot::showAll() {
    const double first = firstTime();
    showRange(first, std::max(lastTime(), first + kLeastSpan));
}

void RecordingPlot::showRange(double from, double to) {
    if (from > to)
        std::swap(from, to);
    const double first = firstTime();
    const double last = std::max(lastTime(), first + kLeastSpan);
    double span = std::clamp(to - from, kLeastSpan, last - first);
    from = std::clamp(from, first, last - span);
    from_ = from;
    to_ = from + span;
    xAxis->setRange(from_, to_);
    // Ticks on round seconds, about eight across.
    constexpr int kTimeTicks = 8;
    chart::fixedTicks(xAxis, chart::niceStep(span / kTimeTicks));
    rebuild();
}

void RecordingPlot::zoom(double factor, double centre) {
    const double span = (to_ - from_) * factor;
    const double from = centre - (centre - from_) * factor;
    showRange(from, from + span);
}

void RecordingPlot::pan(double share) {
    const double shift = (to_ - from_) * share;
    showRange(from_ + shift, to_ + shift);
}

void RecordingPlot::updateScales() {
    std::array<std::optional<ChannelRange>, static_cast<std::size_t>(Scale::Count)> ranges{};
    for (std::size_t c = 1; recording_ && c < kChannelCount; ++c) {
        if (!traces_[c].shown)
            continue;
        const auto r = channelRange(recording_->columns[c]);
        if (!r)
            continue;
        auto& range = ranges[static_cast<std::size_t>(scaleOf(static_cast<Channel>(c)))];
        range =
            range ? ChannelRange{std::min(range->min, r->min), std::max(range->max, r->max)} : *r;
    }
    for (std::size_t s = 0; s < scales_.size(); ++s) {
        scales_[s]->setVisible(ranges[s].has_value());
        if (!ranges[s])
            continue;
        const auto [low, high] = niceRange(static_cast<Scale>(s), *ranges[s]);
        scales_[s]->setRange(low, high);
        constexpr int kValueTicks = 6;
        chart::fixedTicks(scales_[s], static_cast<Scale>(s) == Scale::State
                                          ? 1
                                          : chart::niceStep((high - low) / kValueTicks));
    }
    replot(rpQueuedReplot);
}

void RecordingPlot::rebuild() {
    rebuildLines();
    replot(rpQueuedReplot);
}

void RecordingPlot::rebuildLines() {
    if (!recording_)
        return;
    builtWidth_ = axisRect()->width() > 0 ? axisRect()->width() : width();
    const int buckets = std::max(1, static_cast<int>(builtWidth_));
    const std::vector<double>& time = (*recording_)[Channel::Time];
    for (std::size_t c = 1; c < kChannelCount; ++c) {
        Trace& t = traces_[c];
        if (t.shown)
            chart::setLines(t.line,
                            plotLines(time, recording_->columns[c], from_, to_, buckets, 0));
    }
}

std::size_t RecordingPlot::drawnPoints() const {
    std::size_t n = 0;
    for (const Trace& t : traces_)
        if (t.line && t.shown)
            n += chart::pointCount(t.line);
    return n;
}

void RecordingPlot::setCursorTime(double timeS) {
    if (!recording_)
        return;
    cursor_ = rowAt((*recording_)[Channel::Time], timeS);
    drawCursor();
    emit cursorMoved();
}

void RecordingPlot::stepCursor(int rows) {
    if (!recording_ || recording_->rows == 0)
        return;
    if (!cursor_) {
        setCursorTime((from_ + to_) / 2);
        return;
    }
    const long last = static_cast<long>((*recording_)[Channel::Time].size()) - 1;
    cursor_ = static_cast<std::size_t>(std::clamp(static_cast<long>(*cursor_) + rows, 0L, last));
    const double t = (*recording_)[Channel::Time][*cursor_];
    // The cursor stays in sight.
    if (t < from_ || t > to_)
        showRange(t - (to_ - from_) / 2, t + (to_ - from_) / 2);
    drawCursor();
    emit cursorMoved();
}

void RecordingPlot::drawCursor() {
    const bool shown = cursor_ && recording_ && *cursor_ < (*recording_)[Channel::Time].size();
    cursorLine_->setVisible(shown);
    if (shown) {
        const double t = (*recording_)[Channel::Time][*cursor_];
        cursorLine_->point1->setCoords(t, 0);
        cursorLine_->point2->setCoords(t, 1);
    }
    replot(rpQueuedReplot);
}

QPoint RecordingPlot::positionOf(double timeS) const {
    return QPoint(static_cast<int>(std::lround(xAxis->coordToPixel(timeS))),
                  axisRect()->center().y());
}

double RecordingPlot::timeAt(int x) const {
    return xAxis->pixelToCoord(x);
}

void RecordingPlot::mousePressEvent(QMouseEvent* event) {
    pressAt_ = event->position().toPoint();
    pressed_ = event->button();
    pressFrom_ = from_;
    pressTo_ = to_;
    if (pressed_ == Qt::LeftButton) {
        band_->setGeometry(QRect(pressAt_, QSize()));
        band_->show();
    }
    event->accept();
}

void RecordingPlot::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (pressed_ == Qt::LeftButton) {
        const QRect area = axisRect()->rect();
        band_->setGeometry(
            QRect(QPoint(pressAt_.x(), area.top()), QPoint(at.x(), area.bottom())).normalized());
    } else if (pressed_ == Qt::RightButton || pressed_ == Qt::MiddleButton) {
        const double perPixel = (pressTo_ - pressFrom_) / std::max(1, axisRect()->width());
        const double shift = (at.x() - pressAt_.x()) * perPixel;
        showRange(pressFrom_ - shift, pressTo_ - shift);
    }
    event->accept();
}

void RecordingPlot::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (pressed_ == Qt::LeftButton && event->button() == Qt::LeftButton) {
        band_->hide();
        if (std::abs(at.x() - pressAt_.x()) <= kClickSlack)
            setCursorTime(timeAt(at.x()));
        else
            showRange(timeAt(pressAt_.x()), timeAt(at.x()));
    }
    pressed_ = Qt::NoButton;
    event->accept();
}

void RecordingPlot::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    const bool sideways = delta.x() != 0 || (event->modifiers() & Qt::ShiftModifier);
    const double steps = (delta.x() != 0 ? delta.x() : delta.y()) / 120.0;
    if (sideways)
        pan(-steps * kWheelPan);
    else
        zoom(std::pow(kWheelZoom, steps), timeAt(static_cast<int>(event->position().x())));
    event->accept();
}

} // namespace zentrola
