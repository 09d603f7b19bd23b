// The window claims only what it knows: of a unit swapped on the same port, of live values
// while no frame comes, of what a failed verify found, of a Read in the history and of the
// file named in the caption.
#include "WindowFixture.h"

#include "app/GraphModel.h"
#include "link/Monitor.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QTableWidget>

#include <algorithm>

using namespace zentrola;
using namespace zentrola::uitest;

namespace {

const QString kNotKnown =
    "The unit's settings are not known yet: read, program or verify the unit first.";

struct TruthTest : ::testing::Test {
    Scratch dir;
    Window win;
    bool shown(const std::string& name) { return !win.get(name)->isHidden(); }
    QString text(const std::string& name) { return win.get<QLabel>(name)->text(); }
    // What Ignition > Differences... shows: its note (when shown), then one line per row.
    QStringList differences() {
        QStringList lines;
        win.w->dialogHook = [&](QDialog& d) {
            auto* note = d.findChild<QLabel*>("LabelDifferencesNote");
            if (!note->isHidden())
                lines << note->text();
            auto* t = d.findChild<QTableWidget*>("TableDifferences");
            for (int r = 0; !t->isHidden() && r < t->rowCount(); ++r)
                lines << t->item(r, 0)->text() + " | " + t->item(r, 1)->text() + " | " +
                             t->item(r, 2)->text();
        };
        win.w->commandDifferences();
        return lines;
    }
    bool speedLine() {
        const DisplayList& list = win.cfg().graph().displayList();
        return std::any_of(list.begin(), list.end(), [](const GraphItem& item) {
            const auto* line = std::get_if<LineItem>(&item);
            return line && line->colour == GraphColour::Lime;
        });
    }
    // The rows whose fields are painted lime.
    int highlightedRows() {
        int n = 0;
        for (std::size_t k = 0; k < kCurvePoints; ++k)
            n += win.spin(Spin::Rpm + k)->palette().color(QPalette::Base) == QColor(0, 255, 0);
        return n;
    }
    void unplug() {
        win.port.setUnplugged(true);
        win.ticks(25);
        ASSERT_TRUE(shown("LabelSpojeni"));
    }
    void plugIn() {
        win.port.setUnplugged(false);
        // The port is tried again every 30 lost ticks; then the first frame comes.
        for (int i = 0; i < 80 && shown("LabelSpojeni"); ++i)
            win.ticks(1);
        win.ticks(8);
        ASSERT_FALSE(shown("LabelSpojeni"));
    }
    std::size_t programFrames() { return win.unit.received(VirtualUnit::RequestKind::Program); }
};

} // namespace

TEST_F(TruthTest, AnotherUnitOnTheSamePortIsNotTakenForTheFirst) {
    win.start(dir.path);
    win.ticks(10);
    win.key(QKeySequence("F7"));
    win.ticks(40);
    win.type(Spin::Limiter, "11500");
    win.ticks(1);
    ASSERT_TRUE(shown("LabelNotProgrammed"));
    ASSERT_EQ(differences(), QStringList{"Limiter [rpm], curve A | 11,500 | 15,000"});

    unplug();
    EXPECT_FALSE(shown("LabelNotProgrammed")) << "nothing is known of what is plugged in next";
    EXPECT_EQ(differences(), QStringList{kNotKnown});

    VirtualUnit other;
    other.eeprom()[Offset::LimiterA] = 115; // the window's limiter, by chance
    other.eeprom()[Offset::BaseAdvance] = 14;
    other.setProgrammings(7);
    win.unit = other;
    plugIn();
    EXPECT_EQ(text("LabelPocetProgramovani"), "Number of Programing= 7");
    EXPECT_FALSE(shown("LabelNotProgrammed"));
    EXPECT_EQ(differences(), QStringList{kNotKnown});

    // A passed transfer makes it known again.
    win.key(QKeySequence("F9"));
    win.ticks(40);
    ASSERT_EQ(win.cfg().lastResult(), TransferResult::ProgramOk);
    EXPECT_EQ(differences(), QStringList{"No differences."});
}

TEST_F(TruthTest, MonitorGreyedWhileNoFrameComes) {
    win.start(dir.path);
    win.ticks(40);
    const std::vector<std::string> names(kMonLabelNames.begin(), kMonLabelNames.end());
    const std::vector<std::string> live{"LabelRpm", "LabelNapeti", "LabelSnimac", "LabelChan"};
    for (const std::string& name : live)
        EXPECT_TRUE(win.get(name)->isEnabled()) << name;
    EXPECT_TRUE(speedLine());
    EXPECT_EQ(highlightedRows(), 1);
    ASSERT_TRUE(text("LabelRpm").startsWith("RPM = "));

    win.port.setUnplugged(true);
    win.ticks(10);
    const QString rpm = text("LabelRpm");
    win.ticks(15);
    ASSERT_TRUE(shown("LabelSpojeni"));
    for (const std::string& name : names)
        EXPECT_FALSE(win.get(name)->isEnabled()) << name;
    EXPECT_EQ(text("LabelRpm"), rpm) << "the last text stays";
    EXPECT_TRUE(text("LabelSnimac").endsWith(" is running"));
    EXPECT_FALSE(speedLine());
    EXPECT_EQ(highlightedRows(), 0);
    EXPECT_EQ(win.cfg().monitor().highlightedRow(), kNoHighlight);

    plugIn();
    for (const std::string& name : live)
        EXPECT_TRUE(win.get(name)->isEnabled()) << name;
    EXPECT_TRUE(speedLine());
    EXPECT_EQ(highlightedRows(), 1);
}

TEST_F(TruthTest, FailedVerifyShowsWhatTheUnitHolds) {
    win.start(dir.path);
    win.ticks(10);
    win.key(QKeySequence("F7"));
    win.ticks(40);
    ASSERT_EQ(differences(), QStringList{"No differences."});
    const ParameterImage window = win.cfg().image();
    // Someone else set the unit: a difference on each page; the verify stops at the first.
    win.unit.eeprom()[Offset::LimiterB] = 115;
    win.unit.eeprom()[Offset::AdvanceA + 1] = 11;
    const std::size_t programmed = programFrames();

    win.key(QKeySequence("F8"));
    win.ticks(60);
    EXPECT_EQ(text("LabelHlaseni"), "Verify error!");
    EXPECT_EQ(differences(),
              (QStringList{"The last verify failed: the unit holds these settings differently, as "
                           "it sent them during the verify and right after it.",
                           "Curve A, point 2, advance [°] | 10 | 11",
                           "Limiter [rpm], curve B | 15,000 | 11,500"}));
    EXPECT_TRUE(shown("LabelNotProgrammed"));
    EXPECT_EQ(programFrames(), programmed) << "the unit is only read";
    EXPECT_EQ(win.cfg().image(), window) << "the window keeps its own";
    win.w->commandLanguage(1);
    EXPECT_TRUE(differences().front().startsWith("Der letzte Vergleich ist fehlgeschlagen"));
}

TEST_F(TruthTest, FailedVerifyOfAUnitThatFallsSilentKnowsNothing) {
    win.start(dir.path);
    win.ticks(10);
    win.key(QKeySequence("F7"));
    win.ticks(40);
    win.unit.eeprom()[Offset::LimiterB] = 115;
    win.key(QKeySequence("F8"));
    // Page 1 comes and differs; the unit falls silent before page 2 is read.
    for (int i = 0; i < 60 && win.cfg().transfer().pageIndexByte() != 0x42; ++i)
        win.ticks(1);
    win.unit.options().silent = true;
    win.ticks(30);
    EXPECT_EQ(text("LabelHlaseni"), "Verify error!");
    EXPECT_TRUE(shown("LabelSpojeni"));
    EXPECT_EQ(differences(), QStringList{kNotKnown});
    EXPECT_FALSE(shown("LabelNotProgrammed"));
}

TEST_F(TruthTest, ReadIsAHistoryStepThatNeverPrograms) {
    win.start(dir.path);
    win.ticks(10);
    win.get<QCheckBox>("CheckBoxProgHned")->click();
    QApplication::processEvents();
    ASSERT_TRUE(win.get<QCheckBox>("CheckBoxProgHned")->isChecked());
    win.ticks(40); // whatever the tick of the box started has ended
    win.unit.eeprom()[Offset::BaseAdvance] = 21;
    const std::size_t programmed = programFrames();
    const int programmings = win.unit.programmings();

    win.key(QKeySequence("F7"));
    win.ticks(60);
    ASSERT_EQ(win.cfg().lastResult(), TransferResult::VerifyOk);
    EXPECT_EQ(win.spin(Spin::BaseAdvance)->shownText(), "21");
    EXPECT_EQ(programFrames(), programmed) << "the Read's step wrote nothing to the unit";
    EXPECT_EQ(win.unit.programmings(), programmings);

    win.spin(Spin::Rpm)->setFocus();
    win.key(QKeySequence("Ctrl+Z"));
    EXPECT_EQ(win.spin(Spin::BaseAdvance)->shownText(), "10") << "back to before the Read";
    win.key(QKeySequence("Ctrl+Alt+Z"));
    EXPECT_EQ(win.spin(Spin::BaseAdvance)->shownText(), "21") << "the unit's settings again";
    EXPECT_FALSE(win.cfg().canRedo());
}

TEST_F(TruthTest, NotSavedWhileTheWindowDiffersFromItsFile) {
    win.start(dir.path, false);
    EXPECT_FALSE(shown("LabelNotSaved")) << "no file named";
    win.type(Spin::BaseAdvance, "12");
    EXPECT_FALSE(shown("LabelNotSaved"));

    const auto file = dir.path / "bike1.ign";
    win.chosenFile = QString::fromStdString(file.string());
    win.w->commandSave(false);
    EXPECT_FALSE(shown("LabelNotSaved"));
    win.type(Spin::Limiter, "11500");
    EXPECT_TRUE(shown("LabelNotSaved"));
    EXPECT_EQ(text("LabelNotSaved"), "Not saved");
    EXPECT_TRUE(win.w->windowTitle().endsWith("bike1.ign")) << "the caption stays";
    win.key(QKeySequence("Ctrl+Z"));
    EXPECT_FALSE(shown("LabelNotSaved")) << "undone back to the file";
    win.key(QKeySequence("Ctrl+Alt+Z"));
    EXPECT_TRUE(shown("LabelNotSaved"));
    win.w->commandLanguage(3);
    EXPECT_EQ(text("LabelNotSaved"), "Neuloženo");
    win.w->commandSave(false);
    EXPECT_FALSE(shown("LabelNotSaved"));

    // The next run names the file again and knows what it holds.
    win.type(Spin::BaseAdvance, "13");
    ASSERT_TRUE(shown("LabelNotSaved"));
    win.w->close();
    Window again;
    again.start(dir.path, false);
    EXPECT_FALSE(again.get("LabelNotSaved")->isHidden()) << "closed with an edit not saved";
    again.type(Spin::BaseAdvance, "12");
    EXPECT_TRUE(again.get("LabelNotSaved")->isHidden());

    again.answer = Answer::Yes;
    again.w->commandNew();
    again.type(Spin::BaseAdvance, "15");
    EXPECT_TRUE(again.get("LabelNotSaved")->isHidden()) << "New names no file";
}
