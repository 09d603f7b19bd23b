// What the unit holds against the window: the not-programmed marker, the differences table,
// the comparison with a file; and recording live data.
#include "WindowFixture.h"

#include "app/LiveRecorder.h"
#include "app/LiveSample.h"
#include "app/Recording.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QTableWidget>

#include <fstream>
#include <sstream>

using namespace zentrola;
using namespace zentrola::uitest;

namespace {

struct UnitKnowledgeTest : ::testing::Test {
    Scratch dir;
    Window win;
    bool marked() { return !win.get("LabelNotProgrammed")->isHidden(); }
    // The rows of the next differences dialog, or its note when it has none.
    QStringList table(void (MainWindow::*command)()) {
        QStringList rows;
        win.w->dialogHook = [&](QDialog& d) {
            auto* t = d.findChild<QTableWidget*>("TableDifferences");
            if (t->isHidden()) {
                rows << d.findChild<QLabel*>("LabelDifferencesNote")->text();
                return;
            }
            for (int r = 0; r < t->rowCount(); ++r)
                rows << t->item(r, 0)->text() + " | " + t->item(r, 1)->text() + " | " +
                            t->item(r, 2)->text();
        };
        (win.w.get()->*command)();
        return rows;
    }
    void transfer(void (MainWindow::*command)()) {
        (win.w.get()->*command)();
        win.ticks(40);
    }
};

} // namespace

TEST_F(UnitKnowledgeTest, MarkerFollowsWhatTheUnitIsKnownToHold) {
    win.start(dir.path);
    win.ticks(10);
    EXPECT_FALSE(marked()) << "nothing known of the unit yet";
    EXPECT_EQ(table(&MainWindow::commandDifferences),
              QStringList{"The unit's settings are not known yet: read, program or verify the "
                          "unit first."});
    transfer(&MainWindow::commandRead);
    EXPECT_FALSE(marked());
    EXPECT_EQ(table(&MainWindow::commandDifferences), QStringList{"No differences."});

    win.type(Spin::Limiter, "11500");
    win.ticks(1);
    EXPECT_TRUE(marked());
    EXPECT_EQ(win.get<QLabel>("LabelNotProgrammed")->text(), "Not programmed");
    EXPECT_EQ(table(&MainWindow::commandDifferences),
              QStringList{"Limiter [rpm], curve A | 11,500 | 15,000"});

    transfer(&MainWindow::commandProgram);
    EXPECT_FALSE(marked());
    win.type(Spin::Advance + 1, "12");
    win.ticks(1);
    EXPECT_TRUE(marked());
    win.w->commandUndo();
    win.ticks(1);
    EXPECT_FALSE(marked()) << "back at what the unit holds";
    win.w->commandLanguage(1);
    EXPECT_EQ(win.get<QLabel>("LabelNotProgrammed")->text(), "Nicht programmiert");
}

TEST_F(UnitKnowledgeTest, CompareWithAFile) {
    win.start(dir.path, false);
    const auto file = dir.path / "other.ign";
    win.chosenFile = QString::fromStdString(file.string());
    win.type(Spin::BaseAdvance, "14");
    win.w->commandSave(false);
    win.type(Spin::BaseAdvance, "12");
    EXPECT_EQ(table(&MainWindow::commandCompareFile), QStringList{"Base advance [°] | 12 | 14"});
    EXPECT_EQ(win.cfg().image()[Offset::BaseAdvance], 12) << "the window keeps its own";
    std::ofstream(dir.path / "not.ign") << "hello";
    win.chosenFile = QString::fromStdString((dir.path / "not.ign").string());
    EXPECT_TRUE(table(&MainWindow::commandCompareFile).isEmpty());
    ASSERT_EQ(win.messages.size(), 2); // the port, then the file
    EXPECT_EQ(win.messages.back(), "Unmatched version of *.ign file!");
}

TEST_F(UnitKnowledgeTest, RecordingLiveDataReadsBackAsCsv) {
    win.start(dir.path);
    const auto csv = dir.path / "run.csv";
    win.chosenFile = QString::fromStdString(csv.string());
    win.w->commandRecord();
    ASSERT_TRUE(win.w->action("MenuRecord")->isChecked());
    win.ticks(60); // about three seconds: a frame every sixth tick
    const std::size_t rows = win.w->recorder().rows();
    EXPECT_GE(rows, 9u);
    EXPECT_EQ(win.get<QLabel>("LabelRecording")->text(), QString("Recording: %1 rows").arg(rows));
    win.port.setUnplugged(true);
    win.ticks(30);
    EXPECT_EQ(win.w->recorder().rows(), rows) << "rows pause while the unit is away";
    win.port.setUnplugged(false);
    win.ticks(80);
    EXPECT_GT(win.w->recorder().rows(), rows) << "and go on when it is back";
    win.w->commandRecord();
    EXPECT_FALSE(win.w->action("MenuRecord")->isChecked());
    EXPECT_TRUE(win.get("LabelRecording")->isHidden());

    std::ifstream in(csv, std::ios::binary);
    std::string header;
    std::getline(in, header);
    EXPECT_EQ(header + "\n", recordingCsvHeader());
    std::string line;
    std::size_t read = 0;
    double last = -1;
    while (std::getline(in, line)) {
        ++read;
        const double time = std::stod(line.substr(0, line.find(',')));
        EXPECT_GT(time, last);
        last = time;
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), long{kChannelCount - 1}) << line;
        EXPECT_EQ(line.back(), '\r');
    }
    EXPECT_EQ(read, win.w->recorder().rows());
}

TEST(LiveRecorder, TimeIsCountedInTicks) {
    struct Case {
        long ticks;
        const char* text;
    };
    for (const Case& c : {Case{0, "0.000,"}, Case{1, "0.055,"}, Case{18, "0.990,"},
                          Case{20, "1.100,"}, Case{65455, "3600.025,"}})
        EXPECT_TRUE(recordingCsvRow(liveSample({}, c.ticks)).starts_with(c.text)) << c.text;
    LiveRecorder r;
    EXPECT_FALSE(r.start("/no/such/folder/x.csv", 0));
    EXPECT_FALSE(r.recording());
}
