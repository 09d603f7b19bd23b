// Live data in pictures, from the user's side: the live chart filled by the virtual unit and
// switched by its key, and the recording viewer opened from the Tools menu on sound and
// broken recordings, read at the cursor, zoomed and exported.
#include "WindowFixture.h"

#include "ui/LiveChart.h"
#include "ui/RecordingPlot.h"
#include "ui/RecordingViewer.h"

#include "app/Recording.h"
#include "app/RecordingAnalysis.h"
#include "files/Settings.h"
#include "link/Monitor.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTableWidget>

#include <fstream>

#include <qcustomplot.h>

using namespace zentrola;
using namespace zentrola::uitest;

namespace {

struct LiveDataTest : ::testing::Test {
    Scratch dir;
    Window win;

    QString file(const std::string& name) {
        return QString::fromStdString((dir.path / name).string());
    }
    void write(const QString& path, const std::string& text) {
        std::ofstream(path.toStdString(), std::ios::binary) << text;
    }
    // Tools > View recording... on a file, as the dialog would return it.
    RecordingViewer* view(const QString& path) {
        win.chosenFile = path;
        win.w->action("MenuViewRecording")->trigger();
        QApplication::processEvents();
        RecordingViewer* v = win.w->recordingViewer();
        if (v)
            QApplication::setActiveWindow(v);
        return v;
    }
    // The viewer's table cell of a channel: "At cursor", "Minimum", "Maximum" are 1, 2, 3.
    static QString cell(RecordingViewer* v, Channel c, int column) {
        return v->channelTable()->item(static_cast<int>(c) - 1, column)->text();
    }
};

// Row i of the test recording: every channel different from the row before.
LiveSample sampleRow(int i) {
    LiveSample s;
    s.timeS = i * 0.33;
    s.rpm = 1000 + 100 * i;
    if (i % 10 != 9) // every tenth row under the base advance
        s.advanceDeg = 5 + i % 25;
    s.baseAdvance = i % 10 == 9;
    s.maxAdvanceDeg = 32;
    s.supplyV = 12.0 + 0.1 * (i % 20);
    s.limiter = i % 7 == 0;
    s.pickup = true;
    s.curve = i < 25 ? 'A' : 'B';
    s.programmings = 41;
    s.version = 92;
    s.test[0] = i;
    return s;
}

std::string recordingText(int rows) {
    std::string text = recordingCsvHeader();
    for (int i = 0; i < rows; ++i)
        text += recordingCsvRow(sampleRow(i));
    return text;
}

// Point i of a drawn line.
QPointF at(const QCPGraph* line, int i) {
    const auto point = line->data()->at(i);
    return {point->key, point->value};
}

} // namespace

TEST_F(LiveDataTest, ChartFollowsTheUnitAndItsKeyShowsAndHidesIt) {
    win.start(dir.path);
    LiveChart* chart = win.w->liveChart();
    QAction* item = win.w->action("MenuLiveChart");
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->accessibleName(), "Live data chart");
    EXPECT_TRUE(win.w->liveChartDock()->isHidden()) << "a first start keeps the window alone";
    EXPECT_FALSE(item->isChecked());

    win.key(QKeySequence(Qt::CTRL | Qt::Key_L));
    EXPECT_FALSE(win.w->liveChartDock()->isHidden());
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(win.cfg().settings().liveChart);

    // Twenty seconds of frames: a frame every six ticks, and a redraw for each at most.
    win.ticks(364);
    const int frames = static_cast<int>(chart->rpmLine()->dataCount());
    EXPECT_GE(frames, 55);
    EXPECT_LE(frames, 62);
    EXPECT_LE(chart->redraws(), frames + 3); // and on showing and on the language
    const QPointF newest = at(chart->rpmLine(), frames - 1);
    EXPECT_EQ(newest.x(), 0) << "the newest frame stands at the right edge";
    EXPECT_EQ(newest.y(), win.cfg().monitor().displayedRpm());
    EXPECT_NEAR(at(chart->rpmLine(), 0).x(), -(frames - 1) * 6 * 0.055, 0.01);
    EXPECT_GT(chart->advancePoints(), 0u);
    EXPECT_TRUE(chart->readout().startsWith(QString::number(newest.y()) + " rpm"))
        << chart->readout().toStdString();
    const ParameterImage& image = win.cfg().image();
    const Curve shown = win.cfg().shown().value_or(Curve::A);
    EXPECT_EQ(chart->limiterLine(), image.at(shown, &CurveOffsets::limiter) * 100);
    EXPECT_EQ(chart->shiftLightLine(), image.at(shown, &CurveOffsets::shiftLight) * 100);

    // More than a minute: the oldest frames leave on the left.
    win.ticks(1200);
    EXPECT_GE(at(chart->rpmLine(), 0).x(), -60);
    EXPECT_LE(chart->rpmLine()->dataCount(), 60 / (6 * 0.055) + 2);

    // Closed by its own window button it is hidden the same way, and the menu says so.
    win.w->liveChartDock()->close();
    QApplication::processEvents();
    EXPECT_FALSE(item->isChecked());
    EXPECT_FALSE(win.cfg().settings().liveChart);
    QApplication::setActiveWindow(win.w.get()); // the user comes back to the main window
    win.key(QKeySequence(Qt::CTRL | Qt::Key_L));
    EXPECT_TRUE(item->isChecked());

    // The next start shows it again.
    win.w->close();
    Window again;
    again.start(dir.path);
    EXPECT_FALSE(again.w->liveChartDock()->isHidden());
    EXPECT_TRUE(again.w->action("MenuLiveChart")->isChecked());
    again.key(QKeySequence(Qt::CTRL | Qt::Key_L));
    EXPECT_TRUE(again.w->liveChartDock()->isHidden());
}

TEST_F(LiveDataTest, ViewerSaysWhatIsWrongWithAFileAndShowsWhatItCouldRead) {
    win.start(dir.path, false);
    win.messages.clear(); // no unit on the port: not what these tests are about
    const std::string good = recordingText(3);
    const std::string header = recordingCsvHeader();
    std::string wordInRow = recordingText(2);
    std::string badRow = recordingCsvRow(sampleRow(2));
    badRow.replace(badRow.find(',') + 1, 4, "fast");
    wordInRow += badRow + recordingCsvRow(sampleRow(3));
    struct Case {
        const char* name;
        std::string text;
        const char* says;
        std::size_t rows;
    };
    const Case cases[] = {
        {"other.csv", "date,amount\r\n2024-01-01,12\r\n", "other.csv: this is not a recording", 0},
        {"empty.csv", "", "empty.csv: the file is empty.", 0},
        {"cut.csv", good + good.substr(header.size(), 40),
         "cut.csv, line 5: the last row ends early", 3},
        {"word.csv", wordInRow, "word.csv, line 4: a field holds text where a number belongs", 2},
        {"fields.csv", good + "1.0,2\r\n", "fields.csv, line 5: the row has more or fewer fields",
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        win.messages.clear();
        write(file(c.name), c.text);
        RecordingViewer* v = view(file(c.name));
        ASSERT_NE(v, nullptr);
        ASSERT_EQ(win.messages.size(), 1);
        EXPECT_TRUE(win.messages[0].contains(c.says)) << win.messages[0].toStdString();
        EXPECT_EQ(v->recording().rows, c.rows);
        if (c.rows > 0) {
            EXPECT_TRUE(win.messages[0].contains(QString("%1 rows could be read").arg(c.rows)));
            EXPECT_EQ(cell(v, Channel::Rpm, 2), "1000");
            EXPECT_EQ(cell(v, Channel::Rpm, 3), QString::number(1000 + 100 * (c.rows - 1)));
            EXPECT_GT(v->plot()->drawnPoints(), 0u);
        }
        EXPECT_TRUE(v->isVisible());
    }
    win.messages.clear();
    RecordingViewer* v = view(file("missing.csv"));
    ASSERT_EQ(win.messages.size(), 1);
    EXPECT_TRUE(win.messages[0].endsWith("missing.csv: the file cannot be opened."));
    EXPECT_EQ(v->plot()->drawnPoints(), 0u);

    // In the window's language.
    win.w->action("MenuGerman")->trigger();
    win.messages.clear();
    view(file("empty.csv"));
    ASSERT_EQ(win.messages.size(), 1);
    EXPECT_TRUE(win.messages[0].endsWith("empty.csv: die Datei ist leer."));
    EXPECT_EQ(v->windowTitle(), "Aufzeichnungs-Betrachter");
    EXPECT_EQ(v->accessibleName(), "Recording viewer");
}

TEST_F(LiveDataTest, MillionRowsOpenAndOnlyWhatThePixelsShowIsDrawn) {
    win.start(dir.path, false);
    win.messages.clear(); // no unit on the port: not what these tests are about
    std::string text = recordingCsvHeader();
    text.reserve(80'000'000);
    LiveSample s = sampleRow(3);
    for (int i = 0; i < 1'000'000; ++i) {
        s.timeS = i * 0.33;
        s.rpm = 1000 + (i * 37) % 9000;
        text += recordingCsvRow(s);
    }
    write(file("long.csv"), text);
    text.clear();
    text.shrink_to_fit();
    RecordingViewer* v = view(file("long.csv"));
    EXPECT_TRUE(win.messages.isEmpty());
    EXPECT_EQ(v->recording().rows, 1'000'000u);
    // Two lines shown; a few points per pixel column each, not a million.
    EXPECT_LT(v->plot()->drawnPoints(), 2u * 4u * 4000u);
    EXPECT_EQ(cell(v, Channel::Rpm, 3), "9999");
    v->plot()->zoom(0.001);
    EXPECT_NEAR(v->plot()->to() - v->plot()->from(), 330, 1);
}

TEST_F(LiveDataTest, CursorReadsTheRecordedRowAndThePlotZoomsAndExports) {
    win.start(dir.path, false);
    win.messages.clear(); // no unit on the port: not what these tests are about
    write(file("run.csv"), recordingText(50));
    RecordingViewer* v = view(file("run.csv"));
    ASSERT_TRUE(win.messages.isEmpty()) << win.messages.join("; ").toStdString();
    v->resize(1180, 680);
    QApplication::processEvents();
    RecordingPlot* plot = v->plot();
    EXPECT_EQ(v->windowTitle(), "Recording viewer");
    EXPECT_DOUBLE_EQ(plot->from(), 0);
    EXPECT_DOUBLE_EQ(plot->to(), 49 * 0.33);

    // A click on the plot at row 27's time, a little off it.
    QTest::mouseClick(plot, Qt::LeftButton, {}, plot->positionOf(27 * 0.33 + 0.05));
    struct Expect {
        Channel channel;
        const char* atCursor;
    };
    for (const Expect& e : {Expect{Channel::Rpm, "3700"}, Expect{Channel::Advance, "7"},
                            Expect{Channel::Supply, "12.7"}, Expect{Channel::Curve, "B"},
                            Expect{Channel::Limiter, "0"}, Expect{Channel::Test1, "27"},
                            Expect{Channel::Version, "92"}}) {
        EXPECT_EQ(cell(v, e.channel, 1), e.atCursor) << kChannelNames[static_cast<int>(e.channel)];
    }
    EXPECT_EQ(v->findChild<QLabel*>("LabelCursor")->text(), "Cursor at 8.91 s");
    // Row 29 is under the base advance: no advance in use.
    QTest::keyClick(v, Qt::Key_Right, Qt::AltModifier);
    QTest::keyClick(v, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(cell(v, Channel::Rpm, 1), "3900");
    EXPECT_EQ(cell(v, Channel::Advance, 1), "-");
    EXPECT_EQ(cell(v, Channel::BaseAdvance, 1), "1");
    // The range of each channel, empty advances left out.
    EXPECT_EQ(cell(v, Channel::Advance, 2), "5");
    EXPECT_EQ(cell(v, Channel::Advance, 3), "29");
    EXPECT_EQ(cell(v, Channel::Supply, 2), "12");
    EXPECT_EQ(cell(v, Channel::Supply, 3), "13.9");
    EXPECT_EQ(cell(v, Channel::Curve, 2), "A");

    // A channel ticked in the list is drawn.
    const std::size_t before = plot->drawnPoints();
    QTableWidgetItem* supply = v->channelTable()->item(static_cast<int>(Channel::Supply) - 1, 0);
    supply->setCheckState(Qt::Checked);
    EXPECT_TRUE(plot->channelShown(Channel::Supply));
    EXPECT_GT(plot->drawnPoints(), before);

    // The wheel zooms in around the pointer, the keys pan and show all again.
    QWheelEvent wheel(plot->positionOf(5), plot->mapToGlobal(plot->positionOf(5)), {}, {0, 240},
                      Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(plot, &wheel);
    const double span = plot->to() - plot->from();
    EXPECT_NEAR(span, 49 * 0.33 * 0.64, 0.01);
    EXPECT_LT(plot->from(), 5);
    EXPECT_GT(plot->to(), 5);
    const double from = plot->from();
    QTest::keyClick(v, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_NEAR(plot->from(), from + span / 4, 0.01);
    QTest::keyClick(v, Qt::Key_0, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(plot->to() - plot->from(), 49 * 0.33);
    // A drag across a stretch zooms to it.
    QTest::mousePress(plot, Qt::LeftButton, {}, plot->positionOf(2));
    QTest::mouseMove(plot, plot->positionOf(6));
    QTest::mouseRelease(plot, Qt::LeftButton, {}, plot->positionOf(6));
    EXPECT_NEAR(plot->from(), 2, 0.05);
    EXPECT_NEAR(plot->to(), 6, 0.05);

    // Where the engine ran, over the window's curves as they are now.
    EXPECT_GT(v->operatingPointCount(), 20u);
    const PlotLine a = advanceCurveLine(win.cfg().image(), Curve::A, 0);
    const auto first = v->curveLine(false)->data()->at(0);
    EXPECT_EQ(QPointF(first->key, first->value), QPointF(a[0].x, a[0].y));
    EXPECT_EQ(v->curveLine(false)->pen().color(), QColor(255, 0, 0));
    EXPECT_EQ(v->curveLine(true)->pen().color(), QColor(0, 0, 255));

    // Export as PNG and as PDF.
    for (const auto& [name, signature, command] :
         {std::tuple{"plot.png", QByteArray("\x89PNG"), "ExportPng"},
          std::tuple{"plot.pdf", QByteArray("%PDF"), "ExportPdf"}}) {
        win.chosenFile = file(name);
        v->action(command)->trigger();
        QFile out(file(name));
        ASSERT_TRUE(out.open(QIODevice::ReadOnly)) << name;
        EXPECT_TRUE(out.read(4).startsWith(signature)) << name;
    }
    EXPECT_TRUE(win.messages.isEmpty());
}
