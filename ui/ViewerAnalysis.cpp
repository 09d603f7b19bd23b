#include "ui/ViewerAnalysis.h"

#include "ui/ChartParts.h"
#include "ui/Jazyk2.h"
#include "ui/LiveTexts.h"
#include "ui/QtText.h"
#include "ui/RecordingPlot.h"
#include "ui/RecordingViewer.h"
#include "ui/ViewerTexts.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <array>
#include <cmath>
#include <utility>

namespace zentrola {

namespace {

enum StatColumn { StatChannel, StatMin, StatMax, StatMean, StatColumns };
enum EventColumnIndex { EventTime, EventName, EventDetail, EventColumns };

// Zooming and panning redraw at once; the figures follow when the hand rests.
constexpr int kPauseMs = 80;
constexpr int kTableRowPad = 6;

QString number(Channel c, double v) {
    if (std::isnan(v))
        return QStringLiteral("-");
    if (c == Channel::Curve)
        return v == 0 ? QStringLiteral("A") : QStringLiteral("B");
    return QString::number(v, 'f', std::abs(v - std::round(v)) < 1e-9 ? 0 : 2);
}

QTableWidget* makeTable(QWidget* parent, const char* name, int columns) {
    auto* t = new QTableWidget(0, columns, parent);
    t->setObjectName(QLatin1String(name));
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->verticalHeader()->setVisible(false);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + kTableRowPad);
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

QTableWidgetItem* cell(const QString& text, bool right = true) {
    auto* item = new QTableWidgetItem(text);
    if (right)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

ViewerAnalysis::ViewerAnalysis(RecordingViewer* viewer, RecordingPlot* plot)
    : QObject(viewer), viewer_(viewer), plot_(plot) {
    statisticsPage_ = new QWidget(viewer);
    statisticsPage_->setObjectName(QStringLiteral("PageStatistics"));
    auto* stats = new QVBoxLayout(statisticsPage_);
    heading_ = new QLabel(statisticsPage_);
    heading_->setObjectName(QStringLiteral("LabelStretch"));
    span_ = new QLabel(statisticsPage_);
    span_->setObjectName(QStringLiteral("LabelCursorSpan"));
    span_->setWordWrap(true);
    statsTable_ = makeTable(statisticsPage_, "TableStatistics", StatColumns);
    bands_ = new QCustomPlot(statisticsPage_);
    bands_->setObjectName(QStringLiteral("PlotSpeedBands"));
    bands_->setMinimumHeight(160);
    chart::plainLook(bands_);
    bandBars_ = new QCPBars(bands_->xAxis, bands_->yAxis);
    bandBars_->setPen(QPen(chart::kSpeedColour));
    bandBars_->setBrush(chart::kSpeedColour.lighter(150));
    bands_->plotLayout()->insertRow(0);
    bands_->plotLayout()->addElement(0, 0, new QCPTextElement(bands_, QString()));
    stopped_ = new QLabel(statisticsPage_);
    stopped_->setObjectName(QStringLiteral("LabelStoppedMissing"));
    curvesNote_ = new QLabel(statisticsPage_);
    curvesNote_->setObjectName(QStringLiteral("LabelCurveCheck"));
    curvesNote_->setWordWrap(true);
    for (QWidget* w : std::initializer_list<QWidget*>{heading_, span_, statsTable_, bands_,
                                                      stopped_, curvesNote_})
        stats->addWidget(w, w == statsTable_ ? 3 : w == bands_ ? 2 : 0);

    eventsPage_ = new QWidget(viewer);
    eventsPage_->setObjectName(QStringLiteral("PageEvents"));
    auto* ev = new QVBoxLayout(eventsPage_);
    eventTable_ = makeTable(eventsPage_, "TableEvents", EventColumns);
    compared_ = new QLabel(eventsPage_);
    compared_->setObjectName(QStringLiteral("LabelCompared"));
    compared_->setWordWrap(true);
    ev->addWidget(eventTable_, 1);
    ev->addWidget(compared_);
    connect(eventTable_, &QTableWidget::cellActivated, this,
            [this](int row, int) { jumpToEvent(row); });
    connect(eventTable_, &QTableWidget::cellClicked, this,
            [this](int row, int) { jumpToEvent(row); });

    pause_ = new QTimer(this);
    pause_->setSingleShot(true);
    pause_->setInterval(kPauseMs);
    connect(pause_, &QTimer::timeout, this, &ViewerAnalysis::updateNow);
    connect(plot_, &RecordingPlot::stretchChanged, pause_, qOverload<>(&QTimer::start));
    connect(plot_, &RecordingPlot::cursorMoved, this, &ViewerAnalysis::updateCursorSpan);
}

ViewerAnalysis::~ViewerAnalysis() = default;

QString ViewerAnalysis::say(const TextRow& row) const {
    return lt(row, language_);
}

void ViewerAnalysis::buildMenus(QMenu* view, QMenu* compare) {
    view->addSeparator();
    view->addAction(viewer_->makeAction("SecondCursorBack",
                                        QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Left),
                                        [this] { plot_->stepSecondCursor(-1); }));
    view->addAction(viewer_->makeAction("SecondCursorOn",
                                        QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Right),
                                        [this] { plot_->stepSecondCursor(1); }));
    view->addAction(viewer_->makeAction("ClearCursors", QKeySequence(Qt::Key_Escape),
                                        [this] { plot_->clearCursors(); }));
    view->addSeparator();
    view->addAction(viewer_->makeAction("NextEvent", QKeySequence(Qt::CTRL | Qt::Key_J),
                                        [this] { stepEvent(1); }));
    view->addAction(viewer_->makeAction("PreviousEvent",
                                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J),
                                        [this] { stepEvent(-1); }));
    compare->addAction(viewer_->makeAction("CompareWith",
                                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
                                           [this] { commandCompare(); }));
    compare->addAction(viewer_->makeAction("AlignStarts", QKeySequence(Qt::CTRL | Qt::Key_B),
                                           [this] { commandAlignStarts(); }));
    compare->addAction(viewer_->makeAction("AlignEvent", QKeySequence(Qt::CTRL | Qt::Key_G),
                                           [this] { commandAlignEvent(); }));
    compare->addAction(viewer_->makeAction("StopComparing",
                                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W),
                                           [this] { commandStopComparing(); }));
}

void ViewerAnalysis::applyTexts(int language) {
    language_ = language;
    using Command = std::pair<const char*, const TextRow*>;
    for (const auto& [name, text] :
         std::array{Command{"SecondCursorBack", &viewertexts::SecondCursorBack},
                    Command{"SecondCursorOn", &viewertexts::SecondCursorOn},
                    Command{"ClearCursors", &viewertexts::ClearCursors},
                    Command{"NextEvent", &viewertexts::NextEvent},
                    Command{"PreviousEvent", &viewertexts::PreviousEvent},
                    Command{"CompareWith", &viewertexts::CompareWith},
                    Command{"AlignStarts", &viewertexts::AlignStarts},
                    Command{"AlignEvent", &viewertexts::AlignEvent},
                    Command{"StopComparing", &viewertexts::StopComparing}})
        if (QAction* a = viewer_->action(name))
            a->setText(say(*text));
    statsTable_->setHorizontalHeaderLabels({say(livetexts::ChannelColumn),
                                            say(livetexts::MinColumn), say(livetexts::MaxColumn),
                                            say(viewertexts::MeanColumn)});
    eventTable_->setHorizontalHeaderLabels({say(viewertexts::TimeColumn),
                                            say(viewertexts::EventColumn),
                                            say(viewertexts::DetailColumn)});
    bands_->xAxis->setLabel(say(livetexts::EngineSpeed));
    bands_->yAxis->setLabel(say(viewertexts::SecondsAxis));
    if (auto* title = qobject_cast<QCPTextElement*>(bands_->plotLayout()->element(0, 0)))
        title->setText(say(viewertexts::BandsTitle));
    curvesNote_->setText(settings_.empty() && recording_ ? say(viewertexts::NoCurvesKnown)
                                                         : QString());
    fillStatistics();
    fillEvents();
    updateCursorSpan();
}

void ViewerAnalysis::recordingOpened(const Recording* recording) {
    recording_ = recording;
    index_ = StatisticsIndex(*recording);
    commandStopComparing();
    findAllEvents();
    updateNow();
}

void ViewerAnalysis::setUnitSettings(std::vector<SettingsAt> settings) {
    settings_ = std::move(settings);
    findAllEvents();
    applyTexts(language_);
}

void ViewerAnalysis::findAllEvents() {
    events_.clear();
    if (recording_) {
        events_ = findEvents(*recording_);
        mergeEvents(events_, offCurveEvents(*recording_, settings_));
    }
    plot_->setEvents(events_);
    fillEvents();
}

void ViewerAnalysis::updateNow() {
    pause_->stop();
    const auto a = plot_->cursorRow(), b = plot_->secondCursorRow();
    betweenCursors_ = a && b && recording_;
    if (betweenCursors_)
        stretch_ = index_.rows(std::min(*a, *b), std::max(*a, *b) + 1);
    else
        stretch_ = index_.stretch(plot_->from(), plot_->to());
    fillStatistics();
    emit stretchUpdated();
}

void ViewerAnalysis::fillStatistics() {
    statsTable_->setRowCount(0);
    if (!recording_)
        return;
    const std::vector<double>& time = (*recording_)[Channel::Time];
    const double from = stretch_.rows ? time[stretch_.firstRow] : plot_->from();
    const double to = stretch_.rows ? time[stretch_.firstRow + stretch_.rows - 1] : plot_->to();
    heading_->setText(say(betweenCursors_ ? viewertexts::BetweenCursors : viewertexts::ShownStretch)
                          .arg(from, 0, 'f', 2)
                          .arg(to, 0, 'f', 2));
    for (std::size_t c = 1; c < kChannelCount; ++c) {
        const auto channel = static_cast<Channel>(c);
        if (channel == Channel::Mark || recording_->columns[c].empty())
            continue;
        const ChannelStatistics& s = stretch_.channels[c];
        const int row = statsTable_->rowCount();
        statsTable_->insertRow(row);
        statsTable_->setItem(row, StatChannel, cell(q(kChannelNames[c]), false));
        statsTable_->setItem(row, StatMin, cell(number(channel, s.min)));
        statsTable_->setItem(row, StatMax, cell(number(channel, s.max)));
        const double mean = channel == Channel::Curve ? std::nan("") : s.mean();
        statsTable_->setItem(row, StatMean, cell(number(Channel::Supply, mean)));
    }
    statsTable_->resizeColumnsToContents();

    QVector<double> keys, values;
    for (std::size_t k = 0; k < stretch_.bandSeconds.size(); ++k) {
        keys.append((static_cast<double>(k) + 0.5) * stretch_.bandRpm);
        values.append(stretch_.bandSeconds[k]);
    }
    bandBars_->setWidth(stretch_.bandRpm * 0.9);
    bandBars_->setData(keys, values, true);
    double top = 1;
    for (double v : values)
        top = std::max(top, v);
    bands_->xAxis->setRange(
        0, std::max<double>(1000, static_cast<double>(keys.size()) * stretch_.bandRpm));
    bands_->yAxis->setRange(0, chart::roundUp(top * 1.05, chart::niceStep(top / 4)));
    bands_->replot(QCustomPlot::rpQueuedReplot);
    stopped_->setText(say(viewertexts::StoppedMissing)
                          .arg(stretch_.stoppedS, 0, 'f', 1)
                          .arg(stretch_.missingS, 0, 'f', 1));
}

void ViewerAnalysis::updateCursorSpan() {
    const auto a = plot_->cursorRow(), b = plot_->secondCursorRow();
    if (!recording_ || !a || !b) {
        span_->setText(recording_ && a ? say(viewertexts::SetSecondCursor) : QString());
        return;
    }
    const auto s = cursorSpan(*recording_, *a, *b);
    if (!s)
        return;
    const std::vector<double>& time = (*recording_)[Channel::Time];
    span_->setText(say(viewertexts::CursorSpan)
                       .arg(time[s->fromRow], 0, 'f', 2)
                       .arg(time[s->toRow], 0, 'f', 2)
                       .arg(s->seconds, 0, 'f', 2)
                       .arg(s->rpmFrom, 0, 'f', 0)
                       .arg(s->rpmTo, 0, 'f', 0)
                       .arg(QString::asprintf("%+.0f", s->rpmChange))
                       .arg(s->rpmPerSecond ? QString::asprintf("%+.0f", *s->rpmPerSecond)
                                            : QStringLiteral("-")));
}

QString ViewerAnalysis::eventName(const RecordingEvent& e) const {
    static constexpr std::array<const TextRow*, kEventKindCount> kNames{
        &viewertexts::Limiter,  &viewertexts::StartLimiter,   &viewertexts::KillSwitch,
        &viewertexts::MotorOff, &viewertexts::LostConnection, &viewertexts::CurveSwitch,
        &viewertexts::Mark,     &viewertexts::OffCurve};
    return say(*kNames[static_cast<std::size_t>(e.kind)]);
}

QString ViewerAnalysis::eventDetail(const RecordingEvent& e) const {
    switch (e.kind) {
    case EventKind::CurveSwitch:
        return say(viewertexts::ToCurve)
            .arg(e.value == 0 ? QStringLiteral("A") : QStringLiteral("B"));
    case EventKind::Mark:
        return say(viewertexts::MarkNumber).arg(e.value, 0, 'f', 0);
    case EventKind::OffCurve:
        return say(viewertexts::DegreesOff).arg(QString::asprintf("%+.1f", e.value)) +
               QStringLiteral(", ") + say(viewertexts::Lasting).arg(e.endS - e.startS, 0, 'f', 2);
    default:
        break;
    }
    return say(viewertexts::Lasting).arg(e.endS - e.startS, 0, 'f', 2);
}

void ViewerAnalysis::fillEvents() {
    eventTable_->setRowCount(static_cast<int>(events_.size()));
    for (std::size_t i = 0; i < events_.size(); ++i) {
        const RecordingEvent& e = events_[i];
        const int row = static_cast<int>(i);
        eventTable_->setItem(row, EventTime, cell(QString::number(e.startS, 'f', 2)));
        auto* name = cell(eventName(e), false);
        name->setForeground(RecordingPlot::eventColour(e.kind));
        eventTable_->setItem(row, EventName, name);
        eventTable_->setItem(row, EventDetail, cell(eventDetail(e), false));
    }
    eventTable_->resizeColumnsToContents();
}

void ViewerAnalysis::jumpToEvent(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= events_.size())
        return;
    const RecordingEvent& e = events_[static_cast<std::size_t>(index)];
    if (eventTable_->currentRow() != index)
        eventTable_->setCurrentCell(index, EventName);
    // The event in the middle, with room around it to see what led to it.
    const double span = std::max(plot_->to() - plot_->from(), 0.0);
    const double middle = (e.startS + e.endS) / 2;
    const double wide = std::max(span, (e.endS - e.startS) * 2);
    if (e.startS < plot_->from() || e.endS > plot_->to() || wide > span)
        plot_->showRange(middle - wide / 2, middle + wide / 2);
    plot_->setCursorTime(e.startS);
}

void ViewerAnalysis::stepEvent(int direction) {
    if (events_.empty())
        return;
    const int n = static_cast<int>(events_.size());
    const int current = eventTable_->currentRow();
    const int next =
        current < 0 ? (direction > 0 ? 0 : n - 1) : std::clamp(current + direction, 0, n - 1);
    jumpToEvent(next);
}

void ViewerAnalysis::commandCompare() {
    const QString path = viewer_->chooseFile(
        false, secondPath_.isEmpty() ? viewer_->fileName() : secondPath_, q(kCsvFilter));
    if (!path.isEmpty())
        openSecond(path);
}

bool ViewerAnalysis::openSecond(const QString& path) {
    Recording second = readRecordingFile(path.toStdString());
    if (second.rows == 0) {
        viewer_->message(viewer_->problemTextFor(path, second));
        return false;
    }
    if (second.problem)
        viewer_->message(viewer_->problemTextFor(path, second));
    second_ = std::move(second);
    secondPath_ = path;
    secondEvents_ = findEvents(second_);
    alignAt(std::nullopt, 0);
    return true;
}

void ViewerAnalysis::commandStopComparing() {
    plot_->setOverlay(nullptr, 0);
    second_ = Recording{};
    secondEvents_.clear();
    secondPath_.clear();
    compared_->clear();
}

void ViewerAnalysis::commandAlignStarts() {
    alignAt(std::nullopt, 0);
}

void ViewerAnalysis::commandAlignEvent() {
    const int row = eventTable_->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= events_.size()) {
        viewer_->message(say(viewertexts::ChooseEventFirst));
        return;
    }
    const std::size_t index = static_cast<std::size_t>(row);
    alignAt(events_[index].kind, ordinalOf(events_, index));
}

void ViewerAnalysis::alignAt(std::optional<EventKind> kind, std::size_t ordinal) {
    if (!recording_ || second_.rows == 0)
        return;
    const auto shift = alignmentShift(*recording_, events_, second_, secondEvents_, kind, ordinal);
    if (!shift) {
        RecordingEvent wanted;
        wanted.kind = kind.value_or(EventKind::Mark);
        viewer_->message(say(viewertexts::NoSuchEvent).arg(eventName(wanted)));
        return;
    }
    plot_->setOverlay(&second_, *shift);
    compared_->setText(say(viewertexts::ComparedWith)
                           .arg(QDir::toNativeSeparators(QFileInfo(secondPath_).fileName()))
                           .arg(QString::asprintf("%+.2f", *shift)));
}

} // namespace zentrola
