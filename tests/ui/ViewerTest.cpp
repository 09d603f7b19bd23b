// The recording viewer as a mechanic analyses a ride with it: the figures of the stretch shown
// and between two cursors, the events on the time axis and in a list that jumps to each, the
// check against the curve the unit held, a second ride laid over the first, and the mark set
// by a key in the main window while recording. Every viewer command has a row in its table.
#include "WindowFixture.h"

#include "ui/RecordingPlot.h"
#include "ui/RecordingViewer.h"
#include "ui/ViewerAnalysis.h"

#include "app/LiveSample.h"
#include "app/Recording.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>

#include <qcustomplot.h>

#include <fstream>
#include <functional>
#include <set>

using namespace zentrola;
using namespace zentrola::uitest;

namespace {

// A ride of 200 frames: revving from 1000 rpm up to the limiter at rows 50..55, a mark at rows
// 30 and 120, curve B from row 100, and the connection lost for five seconds after row 150.
LiveSample rideRow(int i, double rpmScale = 1) {
    LiveSample s;
    s.timeS = i * 0.33 + (i > 150 ? 5 : 0);
    s.rpm = static_cast<int>((1000 + 150 * (i % 80)) * rpmScale);
    s.pickup = true;
    s.advanceDeg = 10 + (i % 80) / 4;
    s.limiter = i >= 50 && i <= 55;
    s.curve = i >= 100 ? 'B' : 'A';
    s.supplyV = 13.5;
    s.version = 92;
    s.mark = i == 30 ? 1 : i == 120 ? 2 : 0;
    return s;
}

std::string rideText(int first, double rpmScale = 1) {
    std::string text = recordingCsvHeader();
    for (int i = first; i < 200; ++i)
        text += recordingCsvRow(rideRow(i, rpmScale));
    return text;
}

struct Viewer {
    Scratch dir;
    RecordingViewer v{ParameterImage{}, 0};
    QStringList messages;
    QString chosen;
    int dialogs = 0;

    Viewer() {
        v.messageHook = [this](const QString& t) { messages << t; };
        v.fileDialogHook = [this](bool, const QString&) {
            ++dialogs;
            return chosen;
        };
        v.show();
        QApplication::setActiveWindow(&v);
        QApplication::processEvents();
    }
    QString file(const std::string& name, const std::string& text) {
        const auto path = dir.path / name;
        std::ofstream(path, std::ios::binary) << text;
        return QString::fromStdString(path.string());
    }
    void open(const std::string& text = rideText(0)) {
        ASSERT_TRUE(v.openFile(file("ride.csv", text)));
        QApplication::processEvents();
    }
    void key(const QKeySequence& k) {
        QTest::keySequence(&v, k);
        QApplication::processEvents();
    }
    // Waits for the figures to follow a zoom, as a hand resting after a zoom would.
    void rest() {
        QTest::qWait(150);
        QApplication::processEvents();
    }
    void clickAt(double timeS, Qt::KeyboardModifiers modifiers = {}) {
        RecordingPlot* p = v.plot();
        p->replot();
        QTest::mouseClick(p, Qt::LeftButton, modifiers, p->positionOf(timeS));
        QApplication::processEvents();
    }
    ViewerAnalysis& analysis() { return *v.analysis(); }
    QString statistic(const char* channel, int column) {
        QTableWidget* t = analysis().statisticsTable();
        for (int r = 0; r < t->rowCount(); ++r)
            if (t->item(r, 0)->text() == QLatin1String(channel))
                return t->item(r, column)->text();
        return QStringLiteral("<none>");
    }
    QStringList eventRows() {
        QStringList rows;
        QTableWidget* t = analysis().eventTable();
        for (int r = 0; r < t->rowCount(); ++r)
            rows << t->item(r, 0)->text() + " " + t->item(r, 1)->text() + " " +
                        t->item(r, 2)->text();
        return rows;
    }
    // Pixels of `colour` in the plot's lowest twentieth at a time, a few pixels either side.
    int stripPixels(double timeS, const QColor& colour) {
        RecordingPlot* p = v.plot();
        p->replot();
        const QImage image = p->grab().toImage();
        const QRect area = p->axisRect()->rect();
        const int x = p->positionOf(timeS).x();
        int n = 0;
        for (int y = area.bottom() - area.height() / 20; y <= area.bottom(); ++y)
            for (int dx = -2; dx <= 2; ++dx) {
                const QColor c = image.pixelColor(x + dx, y);
                n += std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                                 std::abs(c.blue() - colour.blue()) <
                             40
                         ? 1
                         : 0;
            }
        return n;
    }
};

} // namespace

TEST(Viewer, FiguresOfTheStretchShownAndBetweenTwoCursors) {
    Viewer t;
    t.open();
    t.rest();
    EXPECT_TRUE(t.analysis().stretchLabel()->text().startsWith("Shown: 0.00 s"));
    EXPECT_EQ(t.statistic("rpm", 1), "1000");
    EXPECT_EQ(t.statistic("rpm", 2), "12850"); // 1000 + 150 * 79
    EXPECT_EQ(t.statistic("limiter", 2), "1");
    EXPECT_EQ(t.statistic("supply_v", 3), "13.50");
    EXPECT_EQ(t.statistic("curve", 1), "A");
    EXPECT_EQ(t.statistic("curve", 2), "B");
    EXPECT_EQ(t.statistic("mark", 1), "<none>"); // marks are events, not figures
    // Time per band: 13 bands of 1000 rpm, the bars add up to the ride less the gap.
    const QCPBars* bars = qobject_cast<QCPBars*>(t.analysis().bandPlot()->plottable(0));
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->dataCount(), 13);
    double seconds = 0;
    for (auto it = bars->data()->constBegin(); it != bars->data()->constEnd(); ++it)
        seconds += it->value;
    EXPECT_NEAR(seconds, 200 * 0.33, 0.01);
    // The five seconds without frames count as no data, not as time at the last speed.
    EXPECT_EQ(t.analysis().statisticsPage()->findChild<QLabel*>("LabelStoppedMissing")->text(),
              "Engine stopped 0.0 s, no data 5.0 s");
    const std::size_t allPoints = t.v.operatingPointCount();

    // Zoomed in by its key: the figures and the operating points follow the stretch.
    t.key(QKeySequence(Qt::CTRL | Qt::Key_Plus));
    t.key(QKeySequence(Qt::CTRL | Qt::Key_Plus));
    t.rest();
    const double from = t.v.plot()->from(), to = t.v.plot()->to();
    EXPECT_TRUE(t.analysis().stretchLabel()->text().startsWith("Shown: ")) << from << to;
    EXPECT_NE(t.statistic("rpm", 1), "1000");
    EXPECT_LT(t.v.operatingPointCount(), allPoints);

    // Two cursors, the second by Shift+click: what lies between them.
    t.key(QKeySequence(Qt::CTRL | Qt::Key_0));
    t.clickAt(10 * 0.33);
    EXPECT_EQ(t.analysis().cursorLabel()->text(), "Shift+click sets the second cursor");
    t.clickAt(30 * 0.33, Qt::ShiftModifier);
    t.rest();
    ASSERT_TRUE(t.v.plot()->cursorRow() && t.v.plot()->secondCursorRow());
    // Rows 10 and 30: 2500 and 5500 rpm, 6.6 s apart.
    EXPECT_EQ(t.analysis().cursorLabel()->text(),
              "Cursors 3.30 s to 9.90 s: 6.60 s, 2500 to 5500 rpm (+3000 rpm), +455 rpm/s");
    EXPECT_EQ(t.analysis().stretchLabel()->text(), "Between the cursors: 3.30 s to 9.90 s");
    EXPECT_EQ(t.statistic("rpm", 1), "2500");
    EXPECT_EQ(t.statistic("rpm", 2), "5500");
    EXPECT_EQ(t.statistic("rpm", 3), "4000");
    EXPECT_LT(t.v.operatingPointCount(), allPoints);
    // The second cursor moves by its keys; Escape takes both away and the figures go back.
    t.key(QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Right));
    EXPECT_EQ(*t.v.plot()->secondCursorRow(), 31u);
    t.key(QKeySequence(Qt::Key_Escape));
    t.rest();
    EXPECT_FALSE(t.v.plot()->cursorRow());
    EXPECT_TRUE(t.analysis().stretchLabel()->text().startsWith("Shown: "));
    EXPECT_EQ(t.statistic("rpm", 1), "1000");

    // In another language the same figures, in its words.
    t.v.setLanguage(1);
    EXPECT_TRUE(t.analysis().stretchLabel()->text().startsWith("Angezeigt: "));
    EXPECT_EQ(t.v.tabs()->tabText(1), "&Statistik");
}

TEST(Viewer, EventsOnTheTimeAxisAndAListThatJumpsToEach) {
    Viewer t;
    t.open();
    const QStringList rows = t.eventRows();
    EXPECT_EQ(rows, QStringList({"9.90 Mark No. 1", "16.50 Limiter for 1.65 s",
                                 "33.00 Curve switched to curve B", "39.60 Mark No. 2",
                                 "49.50 Connection lost for 5.33 s"}));
    // Marks in the strip along the time axis, each in its kind's colour.
    EXPECT_GT(t.stripPixels(16.5, RecordingPlot::eventColour(EventKind::Limiter)), 3);
    EXPECT_GT(t.stripPixels(9.9, RecordingPlot::eventColour(EventKind::Mark)), 3);
    EXPECT_EQ(t.stripPixels(25.0, RecordingPlot::eventColour(EventKind::Limiter)), 0);

    // Zoomed in far away, a click on the limiter in the list brings it into sight with the
    // cursor on it.
    t.v.plot()->showRange(55, 60);
    t.v.tabs()->setCurrentIndex(2);
    QTableWidget* list = t.analysis().eventTable();
    QApplication::processEvents();
    const QRect cell = list->visualItemRect(list->item(1, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QApplication::processEvents();
    EXPECT_LE(t.v.plot()->from(), 16.5);
    EXPECT_GE(t.v.plot()->to(), 16.5 + 1.65);
    ASSERT_TRUE(t.v.plot()->cursorRow());
    EXPECT_EQ(*t.v.plot()->cursorRow(), 50u);
    // Ctrl+J goes on to the next one, Ctrl+Shift+J back.
    t.key(QKeySequence(Qt::CTRL | Qt::Key_J));
    EXPECT_EQ(*t.v.plot()->cursorRow(), 100u);
    EXPECT_EQ(list->currentRow(), 2);
    t.key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J));
    EXPECT_EQ(*t.v.plot()->cursorRow(), 50u);
}

TEST(Viewer, WhereTheUnitDidNotRunItsCurveAndWhenThatIsNotKnown) {
    Viewer t;
    t.open();
    EXPECT_EQ(t.analysis().findChild<QLabel*>("LabelCurveCheck"), nullptr); // on the page
    QLabel* note = t.analysis().statisticsPage()->findChild<QLabel*>("LabelCurveCheck");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), "The settings in the unit during this ride are not known: no check "
                            "against the curve.");
    // The unit held a flat curve of 10 degrees on A and 29 on B; the ride's advance climbs
    // from 10 to 29 within every 80 rows, so it left curve A and curve B by turns.
    ParameterImage image;
    image.at(Curve::A, &CurveOffsets::points) = 1;
    image.rpm(Curve::A, 0) = 5, image.advance(Curve::A, 0) = 10;
    image.at(Curve::B, &CurveOffsets::points) = 1;
    image.rpm(Curve::B, 0) = 5, image.advance(Curve::B, 0) = 29;
    t.analysis().setUnitSettings({{0, image}});
    EXPECT_TRUE(note->text().isEmpty());
    QStringList off;
    for (const QString& r : t.eventRows())
        if (r.contains("the unit did not run its curve here"))
            off << r;
    ASSERT_FALSE(off.isEmpty());
    // From row 8 the advance climbs 2 degrees and more above the curve, up to 22 at row 49;
    // the limiter at rows 50..55 is not checked and ends the stretch. The list gives the
    // largest miss.
    EXPECT_EQ(off.front(),
              "2.64 the unit did not run its curve here +12.0° off the curve, for 13.53 s");
    EXPECT_GT(t.stripPixels(10.0, RecordingPlot::eventColour(EventKind::OffCurve)), 3);
}

TEST(Viewer, ASecondRideLaidOverTheFirstAtTheStartsOrAtAnEvent) {
    Viewer t;
    t.open();
    // The second ride starts 40 rows later, so its mark 2 comes 13.2 s earlier, and revs higher.
    t.chosen = t.file("after.csv", rideText(40, 1.1));
    t.key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    EXPECT_EQ(t.dialogs, 1);
    ASSERT_NE(t.v.plot()->overlay(), nullptr);
    EXPECT_DOUBLE_EQ(t.v.plot()->overlayShift(), 0 - 40 * 0.33);
    EXPECT_EQ(t.analysis().compareLabel()->text(),
              "Second recording (dashed): after.csv, moved by -13.20 s");
    // Its lines are drawn dashed in the channels' colours, on the same scales.
    int dashed = 0;
    for (int i = 0; i < t.v.plot()->graphCount(); ++i) {
        const QCPGraph* g = t.v.plot()->graph(i);
        if (g->pen().style() == Qt::DashLine && g->visible() && g->dataCount() > 0)
            ++dashed;
    }
    EXPECT_EQ(dashed, 2); // rpm and advance, the channels shown

    // At the selected event: the first limiter of the first ride over the second's first.
    t.analysis().eventTable()->setCurrentCell(1, 1);
    t.key(QKeySequence(Qt::CTRL | Qt::Key_G));
    EXPECT_NEAR(t.v.plot()->overlayShift(), 0, 1e-9); // the same row of the same ride
    // The second ride has one mark only: the first's second mark has no match; said, and the
    // alignment stays.
    t.analysis().eventTable()->setCurrentCell(3, 1);
    t.key(QKeySequence(Qt::CTRL | Qt::Key_G));
    ASSERT_EQ(t.messages.size(), 1);
    EXPECT_EQ(t.messages.front(), "The second recording has no event to match: Mark.");
    EXPECT_NEAR(t.v.plot()->overlayShift(), 0, 1e-9);
    t.key(QKeySequence(Qt::CTRL | Qt::Key_B));
    EXPECT_NEAR(t.v.plot()->overlayShift(), -13.2, 1e-9);
    t.key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W));
    EXPECT_EQ(t.v.plot()->overlay(), nullptr);
    EXPECT_TRUE(t.analysis().compareLabel()->text().isEmpty());
    // A file that is not a recording is refused with the reason.
    t.chosen = t.file("other.csv", "a,b\n1,2\n");
    t.key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    EXPECT_EQ(t.v.plot()->overlay(), nullptr);
    ASSERT_EQ(t.messages.size(), 2);
    EXPECT_TRUE(t.messages.back().contains("not a recording")) << t.messages.back().toStdString();
}

TEST(Viewer, AMarkSetByItsKeyWhileRecordingIsListedInTheViewer) {
    Scratch dir;
    Window win;
    win.start(dir.path);
    win.key(QKeySequence(Qt::CTRL | Qt::Key_M));
    EXPECT_EQ(win.w->statusBar()->currentMessage(),
              "Marks go into a recording: start one with Record live data first.");
    win.chosenFile = QString::fromStdString((dir.path / "ride.csv").string());
    win.w->action("MenuRecord")->trigger();
    ASSERT_TRUE(win.w->recorder().recording());
    win.ticks(40);
    win.key(QKeySequence(Qt::CTRL | Qt::Key_M));
    EXPECT_EQ(win.w->statusBar()->currentMessage(), "Mark 1 set");
    win.ticks(40);
    win.key(QKeySequence(Qt::CTRL | Qt::Key_M));
    EXPECT_EQ(win.w->statusBar()->currentMessage(), "Mark 2 set");
    win.ticks(20);
    win.w->action("MenuRecord")->trigger();
    ASSERT_FALSE(win.w->recorder().recording());

    win.w->action("MenuViewRecording")->trigger();
    QApplication::processEvents();
    RecordingViewer* v = win.w->recordingViewer();
    ASSERT_NE(v, nullptr);
    QStringList marks;
    QTableWidget* list = v->analysis()->eventTable();
    for (int r = 0; r < list->rowCount(); ++r)
        if (list->item(r, 1)->text() == "Mark")
            marks << list->item(r, 2)->text();
    EXPECT_EQ(marks, QStringList({"No. 1", "No. 2"}));
    // The first mark lies within a frame of the key: 40 ticks of 55 ms.
    for (const RecordingEvent& e : v->analysis()->events())
        if (e.kind == EventKind::Mark && e.value == 1) {
            EXPECT_NEAR(e.startS, 40 * 0.055, 0.34);
        }
}

// ---------------------------------------------------------------- the command table

namespace {

struct Row {
    std::string command;
    QKeySequence key;
    std::function<void(Viewer&)> setUp;
    std::function<QString(Viewer&)> observe;
};

QString range(Viewer& t) {
    return QStringLiteral("%1 %2").arg(t.v.plot()->from()).arg(t.v.plot()->to());
}
QString cursors(Viewer& t) {
    const auto a = t.v.plot()->cursorRow(), b = t.v.plot()->secondCursorRow();
    return QStringLiteral("%1 %2").arg(a ? long(*a) : -1).arg(b ? long(*b) : -1);
}
QString dialogCount(Viewer& t) {
    return QString::number(t.dialogs);
}
QString compared(Viewer& t) {
    return t.analysis().compareLabel()->text();
}
void none(Viewer&) {}
void zoomedIn(Viewer& t) {
    t.v.plot()->zoom(0.25);
}
void withCursors(Viewer& t) {
    t.v.plot()->setCursorTime(10);
    t.v.plot()->setSecondCursorTime(20);
}
void comparing(Viewer& t) {
    t.chosen = t.file("second.csv", rideText(40));
    t.analysis().openSecond(t.chosen);
}
void comparingAtLimiter(Viewer& t) {
    comparing(t);
    t.analysis().eventTable()->setCurrentCell(1, 1);
    t.analysis().commandAlignEvent();
}

const std::vector<Row>& rows() {
    static const std::vector<Row> table{
        {"Open", QKeySequence::Open, none, dialogCount},
        {"ExportPng", QKeySequence("Ctrl+E"), none, dialogCount},
        {"ExportPdf", QKeySequence("Ctrl+Shift+E"), none, dialogCount},
        {"Close", QKeySequence("Ctrl+W"), none,
         [](Viewer& t) { return QString::number(t.v.isVisible()); }},
        {"ZoomIn", QKeySequence("Ctrl++"), none, range},
        {"ZoomOut", QKeySequence("Ctrl+-"), zoomedIn, range},
        {"WholeRecording", QKeySequence("Ctrl+0"), zoomedIn, range},
        {"PanLeft", QKeySequence("Ctrl+Left"), [](Viewer& t) { zoomedIn(t), t.v.plot()->pan(1); },
         range},
        {"PanRight", QKeySequence("Ctrl+Right"), zoomedIn, range},
        {"CursorBack", QKeySequence("Alt+Left"), withCursors, cursors},
        {"CursorOn", QKeySequence("Alt+Right"), withCursors, cursors},
        {"SecondCursorBack", QKeySequence("Alt+Shift+Left"), withCursors, cursors},
        {"SecondCursorOn", QKeySequence("Alt+Shift+Right"), withCursors, cursors},
        {"ClearCursors", QKeySequence("Esc"), withCursors, cursors},
        {"NextEvent", QKeySequence("Ctrl+J"), none, cursors},
        {"PreviousEvent", QKeySequence("Ctrl+Shift+J"), none, cursors},
        {"CompareWith", QKeySequence("Ctrl+Shift+O"),
         [](Viewer& t) { t.chosen = t.file("second.csv", rideText(40)); }, compared},
        {"AlignStarts", QKeySequence("Ctrl+B"), comparingAtLimiter, compared},
        {"AlignEvent", QKeySequence("Ctrl+G"),
         [](Viewer& t) {
             comparing(t);
             t.analysis().eventTable()->setCurrentCell(1, 1);
         },
         compared},
        {"StopComparing", QKeySequence("Ctrl+Shift+W"), comparing, compared},
    };
    return table;
}

std::set<std::string> offered(RecordingViewer& v) {
    std::set<std::string> names;
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        for (QAction* a : menu->actions()) {
            if (a->menu())
                walk(a->menu());
            else if (!a->isSeparator())
                names.insert(a->objectName().isEmpty() ? "<unnamed " + a->text().toStdString() + ">"
                                                       : a->objectName().toStdString());
        }
    };
    for (QAction* a : v.menuBar()->actions())
        if (a->menu())
            walk(a->menu());
    return names;
}

struct ViewerCommands : ::testing::TestWithParam<std::size_t> {};

} // namespace

TEST(ViewerCommandCoverage, EveryCommandOfTheViewerHasARowAndItsKey) {
    Viewer t;
    std::set<std::string> inTable;
    for (const Row& r : rows()) {
        inTable.insert(r.command);
        ASSERT_NE(t.v.action(r.command), nullptr) << r.command;
        EXPECT_TRUE(t.v.action(r.command)->shortcuts().contains(r.key)) << r.command;
    }
    for (const std::string& name : offered(t.v))
        EXPECT_TRUE(inTable.count(name)) << name << " has no row in the viewer's command table";
}

TEST_P(ViewerCommands, ItsKeyChangesWhatTheViewerShows) {
    const Row& row = rows()[GetParam()];
    Viewer t;
    t.open();
    row.setUp(t);
    QApplication::processEvents();
    const QString before = row.observe(t);
    t.key(row.key);
    const QString after = row.observe(t);
    EXPECT_NE(before, after) << row.command << " changed nothing: " << before.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Commands, ViewerCommands, ::testing::Range<std::size_t>(0, rows().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return rows()[info.param].command;
                         });
