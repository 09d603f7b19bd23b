// What the chart, the recorder and the viewer must not mislead about, from the user's side: a
// lost connection, a stretch without frames, retarded ignition, a full disk, states, and the
// file a viewer shows.
#include "WindowFixture.h"

#include "ui/ChartParts.h"
#include "ui/LiveChart.h"
#include "ui/RecordingPlot.h"
#include "ui/RecordingViewer.h"

#include "app/Recording.h"

#include <QAction>
#include <QLabel>
#include <QTableWidget>

#include <qcustomplot.h>

#include <cmath>
#include <csignal>
#include <fstream>
#include <sys/resource.h>

using namespace zentrola;
using namespace zentrola::uitest;

namespace {

struct LiveMendsTest : ::testing::Test {
    Scratch dir;
    Window win;

    QString file(const std::string& name) {
        return QString::fromStdString((dir.path / name).string());
    }
    RecordingViewer* view(const std::string& name, const std::string& text) {
        std::ofstream(file(name).toStdString(), std::ios::binary) << text;
        win.chosenFile = file(name);
        win.w->action("MenuViewRecording")->trigger();
        QApplication::processEvents();
        return win.w->recordingViewer();
    }
};

// The points of a line, a missing value where it breaks.
std::vector<QPointF> points(const QCPGraph* line) {
    std::vector<QPointF> out;
    for (auto it = line->data()->constBegin(); it != line->data()->constEnd(); ++it)
        out.emplace_back(it->key, it->value);
    return out;
}

// The breaks of a line: the time on each side of each.
std::vector<std::pair<double, double>> breaks(const QCPGraph* line) {
    const std::vector<QPointF> p = points(line);
    std::vector<std::pair<double, double>> out;
    for (std::size_t i = 1; i + 1 < p.size(); ++i)
        if (std::isnan(p[i].y()))
            out.emplace_back(p[i - 1].x(), p[i + 1].x());
    return out;
}

// Pixels of one colour in a picture, and their mean height.
struct Ink {
    int count = 0;
    double meanY = 0;
};
Ink ink(const QImage& image, const QColor& colour, QRect within = {}) {
    Ink out;
    const QRect area = within.isNull() ? image.rect() : within;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y).rgb() == colour.rgb()) {
                ++out.count;
                out.meanY += y;
            }
    if (out.count > 0)
        out.meanY /= out.count;
    return out;
}

// Writes no file beyond `bytes` in this process while it lives: a disk that is full.
struct FullDisk {
    rlimit before{};
    explicit FullDisk(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of ending us
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit limit = before;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk() { setrlimit(RLIMIT_FSIZE, &before); }
};

} // namespace

TEST_F(LiveMendsTest, ChartShowsALostConnectionAndAGapInTime) {
    win.start(dir.path);
    win.key(QKeySequence(Qt::CTRL | Qt::Key_L));
    LiveChart* chart = win.w->liveChart();
    win.ticks(200);
    const QColor text = chart->palette().color(QPalette::WindowText);
    EXPECT_EQ(chart->readoutColour(), text);
    const QRect band(0, 0, chart->width(), chart->height() / 8);
    QApplication::processEvents(); // the queued redraw
    EXPECT_GT(ink(chart->grab().toImage(), text, band).count, 50) << "the readout in black";

    // The unit is unplugged: the frames stop, time goes on, the readout is greyed.
    win.port.setUnplugged(true);
    win.ticks(182); // ten seconds
    ASSERT_TRUE(win.cfg().connectionLost());
    const std::vector<QPointF> rpm = points(chart->rpmLine());
    ASSERT_FALSE(rpm.empty());
    EXPECT_NEAR(rpm.back().x(), -10, 0.5) << "the trace ends where the frames stopped";
    EXPECT_NE(chart->readoutColour(), text);
    QApplication::processEvents();
    const QImage lost = chart->grab().toImage();
    EXPECT_EQ(ink(lost, text, band).count, 0) << "no figure in black: it is not today's";
    EXPECT_GT(ink(lost, chart->readoutColour(), band).count, 50) << "the last figure, greyed";
    lost.save(QString::fromStdString((dir.path / "lost.png").string()));

    // Back again: the line starts anew, not drawn across the ten seconds nobody saw.
    win.port.setUnplugged(false);
    win.ticks(120);
    EXPECT_EQ(chart->readoutColour(), text);
    auto gaps = breaks(chart->rpmLine());
    ASSERT_EQ(gaps.size(), 1u);
    EXPECT_GT(gaps[0].second - gaps[0].first, 9);

    // The program stood still for five seconds (a long file read in the same thread): the
    // ticks it missed are not squeezed out of the time; a gap shows as a gap.
    win.clock += 5;
    win.ticks(60);
    gaps = breaks(chart->rpmLine());
    ASSERT_EQ(gaps.size(), 2u);
    EXPECT_NEAR(gaps[1].second - gaps[1].first, 5 + 0.33, 0.4);
}

TEST_F(LiveMendsTest, RecordingStopsAtOnceWhenTheDiskIsFull) {
    win.start(dir.path);
    win.chosenFile = file("ride.csv");
    win.w->action("MenuRecord")->trigger();
    ASSERT_TRUE(win.w->recorder().recording());
    win.messages.clear();
    {
        FullDisk full(4096);
        win.ticks(18 * 20); // twenty seconds: far more than 4 kB of rows
    }
    EXPECT_FALSE(win.w->recorder().recording()) << "no rows counted into a file that is gone";
    EXPECT_FALSE(win.w->action("MenuRecord")->isChecked());
    EXPECT_TRUE(win.get("LabelRecording")->isHidden());
    ASSERT_EQ(win.messages.size(), 1);
    EXPECT_TRUE(win.messages[0].startsWith("Open file error!")) << win.messages[0].toStdString();
    EXPECT_TRUE(win.messages[0].contains("ride.csv"));
    // What did reach the disk reads back up to the failure.
    const Recording kept = readRecordingFile(file("ride.csv").toStdString());
    EXPECT_GT(kept.rows, 10u);
}

TEST_F(LiveMendsTest, ViewerKeepsGapsNegativeAdvanceStatesInLanesAndNamesItsFile) {
    win.start(dir.path, false);
    win.messages.clear();
    std::string text = recordingCsvHeader();
    for (int i = 0; i < 120; ++i) {
        LiveSample s;
        // Ten seconds without frames after row 59.
        s.timeS = i * 0.33 + (i >= 60 ? 10 : 0);
        s.rpm = 2000 + 50 * i;
        s.pickup = true;
        if (i % 20 < 15)
            s.advanceDeg = -8 + i % 20;
        s.baseAdvance = i % 20 >= 15;
        s.limiter = i % 4 == 0;
        s.killSwitch = i % 30 < 10;
        s.version = 92;
        text += recordingCsvRow(s);
    }
    RecordingViewer* v = view("retard.csv", text);
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(win.messages.isEmpty());
    EXPECT_EQ(v->windowTitle(), "retard.csv - Recording viewer");
    v->resize(1180, 680);
    QApplication::processEvents();

    // Retarded ignition is on the scale and on the plot of operating points, not cut at 0.
    EXPECT_LE(v->plot()->scaleRange(Scale::Degrees).lower, -8);
    EXPECT_LE(v->pointsPlot()->yAxis->range().lower, -8);

    // Two states ticked in the list: each its colour, each in its own lane.
    for (Channel c : {Channel::Limiter, Channel::KillSwitch})
        v->channelTable()->item(static_cast<int>(c) - 1, 0)->setCheckState(Qt::Checked);
    v->plot()->replot();
    const QImage picture = v->plot()->grab().toImage();
    const Ink limiter = ink(picture, chart::colourOf(Channel::Limiter));
    const Ink kill = ink(picture, chart::colourOf(Channel::KillSwitch));
    EXPECT_GT(limiter.count, 100);
    EXPECT_GT(kill.count, 100);
    picture.save(QString::fromStdString((dir.path / "lanes.png").string()));
}
