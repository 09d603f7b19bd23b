#include "ui/RecordingPlot.h"

#include "ui/LiveTexts.h"

#include "app/RecordingAnalysis.h"

#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QRubberBand>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace zentrola {

namespace {

// Where empty values break a line, this many lines are drawn before the shortest breaks close.
constexpr std::size_t kBrokenLines = 32;
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
    Scale::Number,                // mark, shown as events
};
static_assert(kScaleOf.size() == kChannelCount);

QColor colourOf(Channel c) {
    switch (c) {
    case Channel::Rpm:
        return {0, 70, 190};
    case Channel::Advance:
        return {215, 95, 0};
    case Channel::MaxAdvance:
        return {130, 80, 30};
    case Channel::Supply:
        return {130, 0, 160};
    case Channel::Limiter:
        return {220, 0, 0};
    case Channel::ShiftLight:
        return {0, 140, 0};
    default:
        break;
    }
    static const std::array<QColor, 8> others{
        QColor(0, 140, 140), QColor(200, 0, 140), QColor(120, 120, 0), QColor(90, 90, 90),
        QColor(0, 0, 120),   QColor(160, 60, 60), QColor(60, 160, 60), QColor(60, 60, 200)};
    return others[static_cast<std::size_t>(c) % others.size()];
}

bool mayBeEmpty(Channel c) {
    return c == Channel::Advance;
}

// A range that the scale's ticks divide evenly.
std::pair<double, double> niceRange(Scale scale, ChannelRange r) {
    switch (scale) {
    case Scale::Speed:
        return {0, std::max(1000.0, std::ceil((r.max + 1) / 1000) * 1000)};
    case Scale::Degrees:
        return {std::min(0.0, std::floor(r.min / 5) * 5), std::ceil(r.max / 5) * 5 + 5};
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

// 1, 2 or 5 times a power of ten, the nearest above `rough`.
double niceStep(double rough) {
    const double power = std::pow(10.0, std::floor(std::log10(std::max(rough, 1e-6))));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= rough)
            return m * power;
    return 10 * power;
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

// Built around its own chart: the plain constructor makes a chart of its own, which a later
// setChart releases and nobody deletes.
RecordingPlot::RecordingPlot(QWidget* parent) : QChartView(new QChart(), parent) {
    setObjectName(QStringLiteral("RecordingPlot"));
    setFrameShape(QFrame::NoFrame); // widget and viewport share their coordinates
    setFocusPolicy(Qt::StrongFocus);
    setRenderHint(QPainter::Antialiasing, false);
    QChart* c = chart();
    c->setAnimationOptions(QChart::NoAnimation);
    c->setBackgroundRoundness(0);
    c->setMargins(QMargins(4, 4, 4, 4));
    c->legend()->setAlignment(Qt::AlignBottom);

    QFont font = c->font();
    font.setPointSize(kFontPoints);
    time_ = new QValueAxis(c);
    time_->setLabelFormat(QStringLiteral("%g"));
    time_->setTickType(QValueAxis::TicksDynamic);
    time_->setTickAnchor(0);
    time_->setTruncateLabels(false);
    c->addAxis(time_, Qt::AlignBottom);
    for (std::size_t s = 0; s < scales_.size(); ++s) {
        auto* axis = new QValueAxis(c);
        axis->setLabelFormat(QStringLiteral("%g"));
        axis->setVisible(false);
        axis->setGridLineVisible(s == static_cast<std::size_t>(Scale::Speed));
        axis->setLabelsFont(font);
        axis->setTruncateLabels(false);
        c->addAxis(axis,
                   s == static_cast<std::size_t>(Scale::Speed) ? Qt::AlignLeft : Qt::AlignRight);
        scales_[s] = axis;
    }
    // The cursor's own scale, never shown: the line runs from bottom to top whatever is drawn.
    cursorScale_ = new QValueAxis(c);
    cursorScale_->setRange(0, 1);
    cursorScale_->setVisible(false);
    c->addAxis(cursorScale_, Qt::AlignRight);
    cursorLine_ = new QLineSeries(c);
    cursorLine_->setPen(QPen(QColor(0, 0, 0), 2, Qt::SolidLine));
    c->addSeries(cursorLine_);
    cursorLine_->attachAxis(time_);
    cursorLine_->attachAxis(cursorScale_);
    c->legend()->markers(cursorLine_).constFirst()->setVisible(false);

    // A line keeps a few points per pixel column: a wider plot needs them again.
    connect(c, &QChart::plotAreaChanged, this, [this](const QRectF& area) {
        if (std::abs(area.width() - builtWidth_) >= 1)
            rebuild();
    });
    band_ = new QRubberBand(QRubberBand::Rectangle, viewport());
    band_->hide();
    setLanguage(0);
}

void RecordingPlot::setLanguage(int languageIndex) {
    language_ = languageIndex;
    time_->setTitleText(lt(livetexts::TimeAxis, language_));
    for (std::size_t s = 0; s < scales_.size(); ++s)
        scales_[s]->setTitleText(lt(scaleTitle(static_cast<Scale>(s)), language_));
}

void RecordingPlot::makeTrace(Channel channel) {
    Trace& t = traces_[static_cast<std::size_t>(channel)];
    if (!t.lines.empty())
        return;
    const std::size_t count = mayBeEmpty(channel) ? kBrokenLines : 1;
    for (std::size_t i = 0; i < count; ++i) {
        auto* s = new QLineSeries(chart());
        s->setPen(QPen(colourOf(channel), kLineWidth));
        s->setName(QString::fromUtf8(kChannelNames[static_cast<std::size_t>(channel)].data()));
        chart()->addSeries(s);
        s->attachAxis(time_);
        s->attachAxis(scales_[static_cast<std::size_t>(scaleOf(channel))]);
        t.lines.push_back(s);
    }
}

void RecordingPlot::setRecording(const Recording* recording) {
    recording_ = recording;
    cursor_.reset();
    cursorLine_->clear();
    showAll();
    updateScales();
}

void RecordingPlot::setChannelShown(Channel channel, bool shown) {
    if (channel == Channel::Time || channelShown(channel) == shown)
        return;
    makeTrace(channel);
    Trace& t = traces_[static_cast<std::size_t>(channel)];
    t.shown = shown;
    for (std::size_t i = 0; i < t.lines.size(); ++i) {
        if (!shown)
            t.lines[i]->clear();
        t.lines[i]->setVisible(shown);
        chart()->legend()->markers(t.lines[i]).constFirst()->setVisible(shown && i == 0);
    }
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
    time_->setRange(from_, to_);
    // Ticks on round seconds, about eight across.
    constexpr int kTimeTicks = 8;
    time_->setTickInterval(niceStep(span / kTimeTicks));
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
        scales_[s]->setTickType(QValueAxis::TicksDynamic);
        scales_[s]->setTickAnchor(0);
        scales_[s]->setTickInterval(
            static_cast<Scale>(s) == Scale::State ? 1 : niceStep((high - low) / kValueTicks));
    }
}

void RecordingPlot::rebuild() {
    if (!recording_)
        return;
    builtWidth_ = chart()->plotArea().width();
    const int buckets = std::max(1, static_cast<int>(builtWidth_));
    const std::vector<double>& time = (*recording_)[Channel::Time];
    for (std::size_t c = 1; c < kChannelCount; ++c) {
        Trace& t = traces_[c];
        if (!t.shown)
            continue;
        const std::vector<PlotLine> lines =
            plotLines(time, recording_->columns[c], from_, to_, buckets, t.lines.size());
        for (std::size_t i = 0; i < t.lines.size(); ++i) {
            QList<QPointF> points;
            if (i < lines.size()) {
                points.reserve(static_cast<qsizetype>(lines[i].size()));
                for (const PlotPoint& p : lines[i])
                    points.append({p.x, p.y});
            }
            if (points.isEmpty() && t.lines[i]->count() == 0)
                continue;
            t.lines[i]->replace(points);
        }
    }
}

std::size_t RecordingPlot::drawnPoints() const {
    std::size_t n = 0;
    for (const Trace& t : traces_)
        for (const QLineSeries* s : t.lines)
            n += static_cast<std::size_t>(s->count());
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
    if (!cursor_ || !recording_ || *cursor_ >= (*recording_)[Channel::Time].size()) {
        cursorLine_->clear();
        return;
    }
    const double t = (*recording_)[Channel::Time][*cursor_];
    cursorLine_->replace(QList<QPointF>{{t, 0}, {t, 1}});
}

QPoint RecordingPlot::positionOf(double timeS) const {
    const QRectF area = chart()->plotArea();
    const double x = area.left() + (timeS - from_) / (to_ - from_) * area.width();
    return mapFromScene(chart()->mapToScene(QPointF(x, area.center().y())));
}

double RecordingPlot::timeAt(int x) const {
    const QRectF area = chart()->plotArea();
    const double sceneX = mapToScene(QPoint(x, 0)).x() - chart()->pos().x();
    return from_ + (sceneX - area.left()) / std::max(1.0, area.width()) * (to_ - from_);
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
        const QRectF area = chart()->plotArea();
        band_->setGeometry(QRect(QPoint(pressAt_.x(), static_cast<int>(area.top())),
                                 QPoint(at.x(), static_cast<int>(area.bottom())))
                               .normalized());
    } else if (pressed_ == Qt::RightButton || pressed_ == Qt::MiddleButton) {
        const double perPixel =
            (pressTo_ - pressFrom_) / std::max(1.0, chart()->plotArea().width());
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
