#include "ui/LiveChart.h"

#include "ui/LiveTexts.h"

#include "app/Configurator.h"
#include "app/RecordingAnalysis.h"

#include <QCloseEvent>
#include <QGraphicsSimpleTextItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace zentrola {

namespace {

constexpr double kWindowSeconds = 60;
// Frames come every six ticks; one redraw per frame at most, and never closer than this.
constexpr long kRedrawTicks = 5;
constexpr std::size_t kAdvanceLines = 8;
constexpr int kLineWidth = 4;
constexpr int kMarkWidth = 3;
constexpr int kLabelPoints = 13;
constexpr int kReadoutPoints = 22;
constexpr int kSpeedStep = 1000;
constexpr int kLeastSpeedTop = 3000;
constexpr int kDegreeStep = 10;
constexpr int kLeastDegreeTop = 50;

const QColor kSpeedColour(0, 70, 190);
const QColor kAdvanceColour(215, 95, 0);
const QColor kLimiterColour(220, 0, 0);
const QColor kShiftColour(0, 140, 0);

QFont sized(QFont font, int points, bool bold = false) {
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

void styleAxis(QValueAxis* axis, const QColor& colour) {
    axis->setLabelsFont(sized(axis->labelsFont(), kLabelPoints));
    axis->setTitleFont(sized(axis->titleFont(), kLabelPoints, true));
    axis->setLabelsColor(colour);
    axis->setTitleBrush(colour);
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
}

QLineSeries* line(QChart* chart, const QColor& colour, int width, Qt::PenStyle style) {
    auto* s = new QLineSeries(chart);
    QPen pen(colour, width, style);
    pen.setCapStyle(Qt::FlatCap);
    s->setPen(pen);
    chart->addSeries(s);
    return s;
}

} // namespace

// Built around its own chart: the plain constructor makes a chart of its own, which a later
// setChart releases and nobody deletes.
LiveChart::LiveChart(QWidget* parent) : QChartView(new QChart(), parent) {
    setObjectName(QStringLiteral("LiveChart"));
    setAccessibleName(accessible::kLiveChart);
    QChart* c = chart();
    c->setAnimationOptions(QChart::NoAnimation);
    c->setBackgroundRoundness(0);
    c->setMargins(QMargins(4, 4, 4, 4));
    c->setTitleFont(sized(c->titleFont(), kReadoutPoints, true));
    c->legend()->setFont(sized(c->legend()->font(), kLabelPoints));
    c->legend()->setAlignment(Qt::AlignBottom);
    // A blank title keeps the readout's band; the figures go into a text item over it.
    c->setTitle(QStringLiteral(" "));
    readout_ = new QGraphicsSimpleTextItem(c);
    readout_->setFont(c->titleFont());
    readout_->setBrush(palette().color(QPalette::WindowText));
    // Thick lines read well without smoothing, and the redraws cost a third as much.
    setRenderHint(QPainter::Antialiasing, false);
    setMinimumSize(360, 240);

    time_ = new QValueAxis(c);
    time_->setRange(-kWindowSeconds, 0);
    styleAxis(time_, palette().color(QPalette::WindowText));
    time_->setTickInterval(10);
    speed_ = new QValueAxis(c);
    styleAxis(speed_, kSpeedColour);
    speed_->setTickInterval(kSpeedStep);
    degrees_ = new QValueAxis(c);
    styleAxis(degrees_, kAdvanceColour);
    degrees_->setTickInterval(kDegreeStep);
    degrees_->setRange(0, kLeastDegreeTop);
    degrees_->setGridLineVisible(false);
    c->addAxis(time_, Qt::AlignBottom);
    c->addAxis(speed_, Qt::AlignLeft);
    c->addAxis(degrees_, Qt::AlignRight);

    limiter_ = line(c, kLimiterColour, kMarkWidth, Qt::DashLine);
    shiftLight_ = line(c, kShiftColour, kMarkWidth, Qt::DashLine);
    rpm_ = line(c, kSpeedColour, kLineWidth, Qt::SolidLine);
    for (QLineSeries* s : {limiter_, shiftLight_, rpm_}) {
        s->attachAxis(time_);
        s->attachAxis(speed_);
    }
    for (std::size_t i = 0; i < kAdvanceLines; ++i) {
        QLineSeries* s = line(c, kAdvanceColour, kLineWidth, Qt::SolidLine);
        s->attachAxis(time_);
        s->attachAxis(degrees_);
        advance_.push_back(s);
        // One legend entry for all the stretches.
        if (i > 0)
            c->legend()->markers(s).constFirst()->setVisible(false);
    }
    updateSpeedAxis();
    setLanguage(0);
}

void LiveChart::setLanguage(int languageIndex) {
    language_ = languageIndex;
    time_->setTitleText(lt(livetexts::SecondsAgo, language_));
    speed_->setTitleText(lt(livetexts::EngineSpeed, language_));
    degrees_->setTitleText(lt(livetexts::Advance, language_));
    rpm_->setName(lt(livetexts::EngineSpeed, language_));
    advance_.front()->setName(lt(livetexts::Advance, language_));
    limiter_->setName(lt(livetexts::Limiter, language_));
    shiftLight_->setName(lt(livetexts::ShiftLight, language_));
    pending_ = true;
    if (isVisible())
        redraw();
}

void LiveChart::tick() {
    ++ticks_;
    if (pending_ && isVisible() && ticks_ - lastRedraw_ >= kRedrawTicks)
        redraw();
}

void LiveChart::addSample(const LiveSample& sample) {
    samples_.push_back(sample);
    while (samples_.size() > 1 && samples_.back().timeS - samples_.front().timeS > kWindowSeconds)
        samples_.pop_front();
    pending_ = true;
    if (isVisible() && ticks_ - lastRedraw_ >= kRedrawTicks)
        redraw();
}

void LiveChart::setSpeeds(int limiterRpm, int shiftLightRpm) {
    if (limiterRpm == limiterRpm_ && shiftLightRpm == shiftLightRpm_)
        return;
    limiterRpm_ = limiterRpm;
    shiftLightRpm_ = shiftLightRpm;
    for (auto [series, rpm] :
         {std::pair{limiter_, limiterRpm_}, std::pair{shiftLight_, shiftLightRpm_}}) {
        if (rpm > 0)
            series->replace(QList<QPointF>{{-kWindowSeconds, double(rpm)}, {0, double(rpm)}});
        else
            series->clear();
        chart()->legend()->markers(series).constFirst()->setVisible(rpm > 0);
    }
    updateSpeedAxis();
}

void LiveChart::showEvent(QShowEvent* event) {
    QChartView::showEvent(event);
    if (pending_)
        redraw();
}

void LiveChart::updateSpeedAxis() {
    int top = std::max({limiterRpm_, shiftLightRpm_, kLeastSpeedTop});
    for (const LiveSample& s : samples_)
        top = std::max(top, s.rpm);
    top = (top + kSpeedStep / 2 + kSpeedStep - 1) / kSpeedStep * kSpeedStep;
    if (speed_->max() != top || speed_->min() != 0)
        speed_->setRange(0, top);
    speed_->setTickInterval(top > 10 * kSpeedStep ? 2 * kSpeedStep : kSpeedStep);
}

void LiveChart::redraw() {
    pending_ = false;
    lastRedraw_ = ticks_;
    ++redraws_;
    const double now = samples_.empty() ? 0 : samples_.back().timeS;
    QList<QPointF> speeds;
    speeds.reserve(static_cast<qsizetype>(samples_.size()));
    std::vector<double> times, degrees;
    int topDegrees = kLeastDegreeTop;
    for (const LiveSample& s : samples_) {
        speeds.append({s.timeS - now, double(s.rpm)});
        times.push_back(s.timeS - now);
        degrees.push_back(s.advanceDeg ? *s.advanceDeg : std::numeric_limits<double>::quiet_NaN());
        if (s.advanceDeg)
            topDegrees = std::max(topDegrees, *s.advanceDeg);
    }
    rpm_->replace(speeds);
    // Every sample its own bucket: a minute holds fewer frames than this.
    constexpr int kBuckets = 1200;
    const std::vector<PlotLine> lines =
        plotLines(times, degrees, -kWindowSeconds, 0, kBuckets, kAdvanceLines);
    for (std::size_t i = 0; i < advance_.size(); ++i) {
        QList<QPointF> points;
        if (i < lines.size())
            for (const PlotPoint& p : lines[i])
                points.append({p.x, p.y});
        if (points.isEmpty() && advance_[i]->count() == 0)
            continue;
        advance_[i]->replace(points);
    }
    topDegrees = (topDegrees + kDegreeStep - 1) / kDegreeStep * kDegreeStep;
    if (degrees_->max() != topDegrees)
        degrees_->setRange(0, topDegrees);
    updateSpeedAxis();
    const QString text = readout();
    if (readout_->text() != text) {
        readout_->setText(text);
        placeReadout();
    }
}

void LiveChart::placeReadout() {
    const QRectF band = chart()->rect();
    readout_->setPos(band.left() + (band.width() - readout_->boundingRect().width()) / 2,
                     band.top() + chart()->margins().top());
}

void LiveChart::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    placeReadout();
}

std::size_t LiveChart::advancePoints() const {
    std::size_t n = 0;
    for (const QLineSeries* s : advance_)
        n += static_cast<std::size_t>(s->count());
    return n;
}

QString LiveChart::readout() const {
    if (samples_.empty())
        return {};
    const LiveSample& s = samples_.back();
    return lt(livetexts::Reading, language_)
        .arg(s.rpm)
        .arg(s.advanceDeg ? QString::number(*s.advanceDeg) : QStringLiteral("-"));
}

double LiveChart::limiterLine() const {
    return limiter_->count() > 0 ? limiter_->at(0).y() : 0;
}

double LiveChart::shiftLightLine() const {
    return shiftLight_->count() > 0 ? shiftLight_->at(0).y() : 0;
}

void LiveChartDock::closeEvent(QCloseEvent* event) {
    QDockWidget::closeEvent(event);
    if (event->isAccepted())
        emit closedByUser();
}

} // namespace zentrola
