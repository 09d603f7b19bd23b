// The window against a unit that is cut off or fails half-way: what it says afterwards about
// the unit's settings, the saving, the live values and the unit's name, and that it programs
// only when asked and keeps what a Read read.
#include "WindowFixture.h"

#include "app/GraphModel.h"
#include "link/Monitor.h"

#include <QCheckBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTableWidget>

using namespace zentrola;
using namespace zentrola::uitest;

namespace {

const QString kNotKnownYet =
    "The unit's settings are not known yet: read, program or verify the unit first.";
const QString kUnfinished = "The programming did not finish: the unit's settings are not known. "
                            "Read the unit, or program it again.";
const QString kInterrupted = "Saving interrupted! A Read will show what the unit holds.";

// The colours the monitor lights its labels with.
const std::vector<QColor> kLit{QColor(255, 0, 0), QColor(255, 255, 0), QColor(255, 0, 255),
                               QColor(0, 255, 255), QColor(0, 255, 0)};

QImage shot(QWidget* w) {
    QApplication::processEvents(); // the layout follows the texts, as the event loop would
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool anyPixel(const QImage& img, const QColor& c) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == c)
                return true;
    return false;
}

// The darkest grey level in the picture: the text's own colour where it is drawn solid.
int darkest(const QImage& img) {
    int least = 255;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            least = std::min(least, qGray(img.pixel(x, y)));
    return least;
}

struct UnitTruthTest : ::testing::Test {
    Scratch dir;
    Window win;
    bool shown(const std::string& name) { return !win.get(name)->isHidden(); }
    QString text(const std::string& name) { return win.get<QLabel>(name)->text(); }
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
    void unplug() {
        win.port.setUnplugged(true);
        win.ticks(25);
        ASSERT_TRUE(shown("LabelSpojeni"));
    }
    void plugIn() {
        win.port.setUnplugged(false);
        for (int i = 0; i < 80 && shown("LabelSpojeni"); ++i)
            win.ticks(1);
        win.ticks(8);
        ASSERT_FALSE(shown("LabelSpojeni"));
    }
    std::size_t programFrames() { return win.unit.received(VirtualUnit::RequestKind::Program); }
    // Screenshots for a person to look at, when asked for.
    void keep(QWidget* w, const char* name) {
        const QByteArray to = qgetenv("ZENTROLA_TEST_SHOTS");
        if (!to.isEmpty())
            shot(w).save(QString::fromLocal8Bit(to) + "/" + name + ".png");
    }
};

} // namespace

TEST_F(UnitTruthTest, FailedProgramLeavesTheUnitNotKnownAndNotProgrammed) {
    win.start(dir.path);
    win.ticks(10);
    win.key(QKeySequence("F7"));
    win.ticks(40);
    win.type(Spin::Limiter, "11500");
    win.ticks(1);
    ASSERT_TRUE(shown("LabelNotProgrammed"));

    // The unit stores page 1 (the limiter) and echoes page 2 wrong.
    win.unit.options().corruptEchoPage = 2;
    win.key(QKeySequence("F9"));
    for (int i = 0; i < 60 && text("LabelHlaseni") != "Program error!"; ++i)
        win.ticks(1);
    ASSERT_EQ(text("LabelHlaseni"), "Program error!");
    ASSERT_EQ(win.unit.eeprom()[Offset::LimiterA], 115) << "the unit took page 1";

    win.key(QKeySequence("Ctrl+Z"));
    win.ticks(1);
    EXPECT_EQ(win.spin(Spin::Limiter)->shownText(), "15,000");
    EXPECT_TRUE(shown("LabelNotProgrammed")) << "back at the Read's settings, not the unit's";
    EXPECT_FALSE(shown("LabelNotKnown"));
    EXPECT_EQ(differences(), QStringList{kUnfinished});
    // The unit writes what it took into its memory ("Saving:"), then the label goes.
    win.ticks(400);
    EXPECT_FALSE(shown("LabelHlaseni"));
    EXPECT_TRUE(shown("LabelNotProgrammed")) << "when the red text has gone";

    // A Read tells again: the unit holds the new limiter.
    win.unit.options().corruptEchoPage = 0;
    win.key(QKeySequence("F7"));
    win.ticks(60);
    EXPECT_EQ(win.spin(Spin::Limiter)->shownText(), "11,500");
    EXPECT_FALSE(shown("LabelNotProgrammed"));
    EXPECT_EQ(differences(), QStringList{"No differences."});
}

TEST_F(UnitTruthTest, FailedProgramWithoutAReadAndTheMarkersAroundIt) {
    win.start(dir.path);
    EXPECT_FALSE(shown("LabelNotKnown")) << "no unit has answered yet";
    EXPECT_EQ(text("LabelVerze1") + text("LabelVerze2") + text("LabelVerze3"), "")
        << "no unit's name before its information page";
    win.ticks(10);
    EXPECT_TRUE(shown("LabelNotKnown"));
    EXPECT_EQ(text("LabelNotKnown"), "Unit's settings not known");
    EXPECT_FALSE(shown("LabelNotProgrammed"));
    EXPECT_EQ(text("LabelVerze1") + text("LabelVerze2") + text("LabelVerze3"), "");

    win.unit.options().corruptEchoPage = 1;
    win.key(QKeySequence("F9"));
    win.ticks(60);
    ASSERT_EQ(text("LabelHlaseni"), "Program error!");
    EXPECT_EQ(text("LabelVerze1"), "ZEN13") << "page 0 came";
    EXPECT_EQ(text("LabelVerze2"), " 8.12.2026");
    EXPECT_EQ(text("LabelVerze3"), "12:00");
    EXPECT_TRUE(shown("LabelNotProgrammed"));
    EXPECT_FALSE(shown("LabelNotKnown"));
    EXPECT_EQ(differences(), QStringList{kUnfinished});
    keep(win.w.get(), "failed-program");

    // Gone: nothing is claimed about the port; back: a unit whose settings are not known.
    unplug();
    EXPECT_FALSE(shown("LabelNotProgrammed"));
    EXPECT_FALSE(shown("LabelNotKnown"));
    EXPECT_EQ(text("LabelVerze1"), "") << "it may be another unit next";
    EXPECT_EQ(differences(), QStringList{kNotKnownYet});
    plugIn();
    EXPECT_TRUE(shown("LabelNotKnown"));
    EXPECT_FALSE(shown("LabelNotProgrammed"));
    win.w->commandLanguage(1);
    EXPECT_EQ(text("LabelNotKnown"), "Einstellungen der Zündung unbekannt");
    win.w->commandLanguage(2);
    EXPECT_EQ(text("LabelNotKnown"), "Paramètres du boîtier inconnus");
    win.w->commandLanguage(3);
    EXPECT_EQ(text("LabelNotKnown"), "Nastavení zapalování neznámé");

    win.unit.options().corruptEchoPage = 0;
    win.key(QKeySequence("F7"));
    win.ticks(60);
    EXPECT_FALSE(shown("LabelNotKnown")) << "a Read tells";
    EXPECT_FALSE(shown("LabelNotProgrammed"));
}

TEST_F(UnitTruthTest, SavingCutByAnUnplugIsNeverTakenForAGoodProgramming) {
    win.start(dir.path);
    win.ticks(10);
    win.key(QKeySequence("F9"));
    for (int i = 0; i < 80 && text("LabelHlaseni") != "Saving:"; ++i)
        win.ticks(1);
    ASSERT_EQ(text("LabelHlaseni"), "Saving:");
    ASSERT_GT(win.cfg().monitor().savingCountdown(), 0);

    unplug();
    EXPECT_EQ(text("LabelHlaseni"), kInterrupted);
    EXPECT_TRUE(anyPixel(shot(win.get("LabelHlaseni")), QColor(255, 0, 0))) << "in red";
    EXPECT_EQ(win.cfg().monitor().savingCountdown(), 0);
    EXPECT_FALSE(win.cfg().transfer().transferOk());
    keep(win.w.get(), "saving-interrupted");

    // Another unit on the port: its frames must not end the saving as a good programming.
    VirtualUnit other;
    win.unit = other;
    win.port.setUnplugged(false);
    for (int i = 0; i < 150; ++i) {
        win.ticks(1);
        ASSERT_FALSE(text("LabelHlaseni").startsWith("Programing")) << "tick " << i;
        ASSERT_NE(text("LabelHlaseni"), "Saving:") << "tick " << i;
    }
    EXPECT_FALSE(shown("LabelSpojeni"));
    EXPECT_TRUE(shown("LabelNotKnown"));
}

TEST_F(UnitTruthTest, SavingThatEndsWhileConnectedStillEndsWell) {
    win.start(dir.path);
    win.ticks(10);
    win.key(QKeySequence("F9"));
    win.ticks(160); // the virtual unit saves for 103 ticks
    EXPECT_EQ(text("LabelHlaseni"), "Programing: OK");
    EXPECT_EQ(win.cfg().monitor().savingCountdown(), 0);
    win.port.setUnplugged(true);
    win.ticks(25);
    EXPECT_EQ(text("LabelHlaseni"), "Programing: OK") << "the saving had finished";
}

TEST_F(UnitTruthTest, UntickingProgrammingAfterChangeProgramsNothing) {
    win.start(dir.path);
    win.ticks(10);
    auto* box = win.get<QCheckBox>("CheckBoxProgHned");
    QTest::mouseClick(box, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_TRUE(box->isChecked());
    win.ticks(60);
    const std::size_t before = programFrames();

    // An edit, left with Enter: programmed, as asked.
    win.type(Spin::Limiter, "11500");
    win.ticks(60);
    ASSERT_GT(programFrames(), before);
    EXPECT_EQ(win.unit.eeprom()[Offset::LimiterA], 115);

    // The user clicks into another field, changes nothing, then clicks the box to untick it.
    win.spin(Spin::RpmPulses)->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    const std::size_t programmed = programFrames();
    QTest::mouseClick(box, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_FALSE(box->isChecked());
    win.ticks(60);
    EXPECT_EQ(programFrames(), programmed) << "the user stopped programming";

    // Tick it again, type a value and untick without Enter: the edit is kept, not programmed.
    QTest::mouseClick(box, Qt::LeftButton);
    win.ticks(60);
    const std::size_t again = programFrames();
    SpinField* field = win.spin(Spin::BaseAdvance);
    field->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    field->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(field, "14");
    QTest::mouseClick(box, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_FALSE(box->isChecked());
    win.ticks(60);
    EXPECT_EQ(programFrames(), again);
    EXPECT_EQ(win.cfg().image()[Offset::BaseAdvance], 14);
    EXPECT_NE(win.unit.eeprom()[Offset::BaseAdvance], 14);
    win.w->commandUndo();
    EXPECT_EQ(win.cfg().image()[Offset::BaseAdvance], 10) << "the edit is its own step";
}

TEST_F(UnitTruthTest, MonitorLabelsLookGreyedWhileNoFrameComes) {
    win.unit.setInputs(true, true);
    win.start(dir.path);
    win.ticks(40);
    std::vector<std::string> lit;
    for (const auto name : kMonLabelNames) {
        QWidget* label = win.get(std::string(name));
        if (label->isHidden())
            continue;
        const QImage img = shot(label);
        for (const QColor& c : kLit)
            if (anyPixel(img, c))
                lit.push_back(std::string(name));
    }
    // The pick-up runs (lime), both inputs are on (fuchsia, aqua).
    for (const char* name : {"LabelSnimac", "LabelMonInput1In", "LabelMonInput2In"})
        EXPECT_NE(std::find(lit.begin(), lit.end(), name), lit.end()) << name;
    EXPECT_LT(darkest(shot(win.get("LabelRpm"))), 60) << "black text while live";
    keep(win.w.get(), "monitor-live");

    win.port.setUnplugged(true);
    win.ticks(25);
    for (const auto name : kMonLabelNames) {
        QWidget* label = win.get(std::string(name));
        if (label->isHidden())
            continue;
        const QImage img = shot(label);
        for (const QColor& c : kLit)
            EXPECT_FALSE(anyPixel(img, c)) << name << " keeps a colour " << c.name().toStdString();
        if (!win.get<QLabel>(std::string(name))->text().isEmpty()) {
            EXPECT_GT(darkest(img), 90) << name << ": its text is not grey";
        }
    }
    EXPECT_TRUE(text("LabelSnimac").endsWith(" is running")) << "the last text stays";
    EXPECT_FALSE(win.get("CGaugeRpm")->isEnabled()) << "the speed gauge is greyed too";
    keep(win.w.get(), "monitor-lost");

    win.port.setUnplugged(false);
    win.ticks(60);
    EXPECT_TRUE(anyPixel(shot(win.get("LabelSnimac")), QColor(0, 255, 0))) << "colours back";
    EXPECT_LT(darkest(shot(win.get("LabelRpm"))), 60);
    EXPECT_TRUE(win.get("CGaugeRpm")->isEnabled());
}

TEST_F(UnitTruthTest, ReadTakesTheUnitsCurveAsItIs) {
    win.start(dir.path);
    win.ticks(10);
    // Point 3 dragged from 3,000 to 9,000 rpm: points 4 to 9 are pushed ahead of it.
    auto* graph = win.get<GraphView>("GrafAdv");
    const GraphModel& model = win.cfg().graph();
    const GraphPoint p = model.elementPosition(win.cfg().image(), Curve::A, 2);
    QPoint to(p.x, p.y);
    QTest::mouseMove(graph, to);
    QTest::mousePress(graph, Qt::LeftButton, {}, to);
    for (int hundreds : {50, 70, 90, 90}) {
        to = QPoint(model.geometry().x(hundreds * 100), to.y());
        QTest::mouseMove(graph, to);
    }
    QTest::mouseRelease(graph, Qt::LeftButton, {}, to);
    ASSERT_EQ(win.cfg().image().rpm(Curve::A, 2), 90);
    ASSERT_EQ(win.cfg().image().rpm(Curve::A, 3), 91);

    auto& unit = win.unit.eeprom();
    const std::vector<int> curve{12, 25, 33, 47, 61, 90};
    unit[Offset::PointsA] = 6;
    for (std::size_t k = 0; k < kCurvePoints; ++k)
        unit[Offset::RpmA + k] =
            static_cast<std::uint8_t>(k < curve.size() ? curve[k] : 100 + 10 * (k - curve.size()));
    win.key(QKeySequence("F7"));
    win.ticks(60);
    EXPECT_EQ(text("LabelHlaseni"), "Verify: OK");
    QStringList rows;
    for (std::size_t k = 0; k < curve.size(); ++k)
        rows << win.spin(Spin::Rpm + k)->shownText();
    EXPECT_EQ(rows.join(' '), "1,200 2,500 3,300 4,700 6,100 9,000");
    EXPECT_FALSE(shown("LabelNotProgrammed"));
    EXPECT_EQ(differences(), QStringList{"No differences."});
}
