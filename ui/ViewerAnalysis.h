// The recording viewer's analysis of a ride: the figures of the stretch shown or between the
// two cursors with a histogram of time per engine-speed band, what lies between the cursors,
// the list of events that jumps to each, the check against the curves the unit held, and a
// second recording laid over the first, aligned at the starts or at a chosen event.
#pragma once

#include "app/CurveCheck.h"
#include "app/RecordingEvents.h"
#include "app/RecordingStatistics.h"
#include "core/Jazyk1.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class QCPBars;
class QCustomPlot;
class QLabel;
class QMenu;
class QTableWidget;
class QTimer;
class QWidget;

namespace zentrola {

class RecordingPlot;
class RecordingViewer;

class ViewerAnalysis : public QObject {
    Q_OBJECT
  public:
    ViewerAnalysis(RecordingViewer* viewer, RecordingPlot* plot);
    ~ViewerAnalysis() override;

    QWidget* statisticsPage() const { return statisticsPage_; }
    QWidget* eventsPage() const { return eventsPage_; }
    // The Compare menu, and the cursor and event commands into the View menu.
    void buildMenus(QMenu* view, QMenu* compare);
    void applyTexts(int language);

    // A recording was opened into the viewer (it stays the viewer's).
    void recordingOpened(const Recording* recording);
    // The settings known to be in the unit during the ride: the curve check uses them.
    void setUnitSettings(std::vector<SettingsAt> settings);

    // Commands.
    void commandCompare();
    bool openSecond(const QString& path);
    void commandStopComparing();
    void commandAlignStarts();
    void commandAlignEvent();
    void jumpToEvent(int index);
    void stepEvent(int direction);

    // The rows of the stretch whose figures are shown: the operating points follow it.
    std::size_t firstRow() const { return stretch_.firstRow; }
    std::size_t endRow() const { return stretch_.firstRow + stretch_.rows; }
    const StretchStatistics& statistics() const { return stretch_; }
    const std::vector<RecordingEvent>& events() const { return events_; }
    const Recording& second() const { return second_; }
    // At once, not at the next pause of zooming and panning.
    void updateNow();

    QTableWidget* statisticsTable() const { return statsTable_; }
    QTableWidget* eventTable() const { return eventTable_; }
    QCustomPlot* bandPlot() const { return bands_; }
    QLabel* stretchLabel() const { return heading_; }
    QLabel* cursorLabel() const { return span_; }
    QLabel* compareLabel() const { return compared_; }

  signals:
    void stretchUpdated();

  private:
    void fillStatistics();
    void fillEvents();
    void updateCursorSpan();
    void findAllEvents();
    void alignAt(std::optional<EventKind> kind, std::size_t ordinal);
    QString eventName(const RecordingEvent& e) const;
    QString eventDetail(const RecordingEvent& e) const;
    QString say(const TextRow& row) const;

    RecordingViewer* viewer_;
    RecordingPlot* plot_;
    const Recording* recording_ = nullptr;
    int language_ = 0;
    StatisticsIndex index_;
    StretchStatistics stretch_;
    bool betweenCursors_ = false;
    std::vector<SettingsAt> settings_;
    std::vector<RecordingEvent> events_;
    Recording second_;
    std::vector<RecordingEvent> secondEvents_;
    QString secondPath_;

    QWidget* statisticsPage_ = nullptr;
    QWidget* eventsPage_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* span_ = nullptr;
    QLabel* stopped_ = nullptr;
    QLabel* compared_ = nullptr;
    QLabel* curvesNote_ = nullptr;
    QTableWidget* statsTable_ = nullptr;
    QTableWidget* eventTable_ = nullptr;
    QCustomPlot* bands_ = nullptr;
    QCPBars* bandBars_ = nullptr;
    QTimer* pause_ = nullptr;
};

} // namespace zentrola
