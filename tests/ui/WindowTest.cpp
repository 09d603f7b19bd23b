// The window over the Configurator: what the controls show, enable and say, and the edit
// loop driven through real keys and clicks.
#include "WindowFixture.h"

#include "core/BikeTypes.h"
#include "files/Settings.h"
#include "link/Monitor.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>

using namespace zentrola;
using namespace zentrola::uitest;

namespace {

struct WindowTest : ::testing::Test {
    Scratch dir;
    Window win;
    ParameterImage& image() { return win.cfg().image(); }
    QString text(const std::string& name) {
        if (auto* l = win.get<QLabel>(name))
            return l->text();
        if (auto* b = win.get<QAbstractButton>(name))
            return b->text();
        if (auto* g = win.get<QGroupBox>(name))
            return g->title();
        if (auto* m = win.get<QMenu>(name))
            return m->title();
        if (auto* a = win.w->action(name))
            return a->text();
        return "<no " + QString::fromStdString(name) + ">";
    }
};

} // namespace

TEST_F(WindowTest, MonitorWithoutConnectionHidesTheCurve) {
    win.start(dir.path, false);
    const int clutch = win.spin(Spin::ClutchTime)->value();
    const QString startLimiter = win.spin(Spin::StartLimiter)->shownText();
    win.pick("RadioGroupAB", 2);
    EXPECT_EQ(image()[Offset::CurveSelect], 2);
    EXPECT_EQ(text("LabelAB"), "?");
    EXPECT_EQ(win.get<QLabel>("LabelAB")->palette().color(QPalette::WindowText),
              QColor(128, 128, 128));
    for (std::size_t k = 0; k < kCurvePoints; ++k) {
        EXPECT_TRUE(win.spin(Spin::Rpm + k)->isHidden()) << k;
        EXPECT_EQ(win.spin(Spin::Advance + k)->shownText(), "") << k;
    }
    for (std::size_t id : {Spin::Limiter, Spin::Points, Spin::ShiftLight})
        EXPECT_EQ(win.spin(id)->shownText(), "") << id;
    EXPECT_FALSE(win.spin(Spin::Limiter)->isEnabled());
    EXPECT_FALSE(win.spin(Spin::Points)->isEnabled());
    EXPECT_EQ(win.spin(Spin::ClutchTime)->value(), clutch);
    EXPECT_EQ(win.spin(Spin::StartLimiter)->shownText(), startLimiter);
}

TEST_F(WindowTest, NumberOfPointsShowsTheRowsInUse) {
    win.start(dir.path);
    win.type(Spin::Points, "3");
    EXPECT_EQ(image()[Offset::PointsA], 3);
    for (std::size_t k = 0; k < kCurvePoints; ++k)
        EXPECT_EQ(win.spin(Spin::Rpm + k)->isHidden(), k >= 3) << k;
    win.spin(Spin::Points)->stepUp();
    EXPECT_EQ(image()[Offset::PointsA], 4);
    EXPECT_FALSE(win.spin(Spin::Rpm + 3)->isHidden());
    EXPECT_EQ(win.spin(Spin::Rpm + 3)->value(), image().rpm(Curve::A, 3) * 100);
    EXPECT_EQ(win.spin(Spin::Advance + 3)->value(), image().advance(Curve::A, 3));
}

TEST_F(WindowTest, InputFunctionsEnableTheirFields) {
    win.start(dir.path);
    struct Case {
        const char* group;
        int item;
        bool startLimiter, clutch;
    };
    for (const Case& c :
         {Case{"RadioGroupInput1", 4, true, false}, Case{"RadioGroupInput1", 2, false, true},
          Case{"RadioGroupInput2", 2, false, true}, Case{"RadioGroupInput1", 0, false, true},
          Case{"RadioGroupInput2", 4, true, false}, Case{"RadioGroupInput2", 0, false, false}}) {
        win.pick(c.group, c.item);
        SCOPED_TRACE(std::string(c.group) + " " + std::to_string(c.item));
        EXPECT_EQ(win.spin(Spin::StartLimiter)->isEnabled(), c.startLimiter);
        EXPECT_EQ(win.get("LabelOmez1")->isEnabled(), c.startLimiter);
        EXPECT_EQ(win.spin(Spin::StartLimiter)->spinnerVisible(), c.startLimiter);
        for (std::size_t id : {Spin::ClutchTime, Spin::ClutchPause}) {
            EXPECT_EQ(win.spin(id)->isEnabled(), c.clutch);
            EXPECT_EQ(win.spin(id)->spinnerVisible(), c.clutch);
        }
        EXPECT_EQ(win.get("LabelClutch1")->isEnabled(), c.clutch);
    }
}

TEST_F(WindowTest, BikeTypeDecidesThePolarityGroup) {
    win.start(dir.path);
    struct Case {
        std::uint8_t code;
        int items;
        bool visible, enabled, measuredPolarity, lobes;
    };
    for (const Case& c :
         {Case{3, 2, false, false, false, false}, Case{0, 3, true, true, true, true},
          Case{4, 3, true, false, false, false}, Case{8, 2, true, true, false, true}}) {
        SCOPED_TRACE(c.code);
        auto* bikes = win.get<QComboBox>("ComboBoxBike");
        const int item = *itemFromBikeType(c.code);
        bikes->setCurrentIndex(item);
        emit bikes->activated(item);
        auto* polarity = win.get<RadioGroup>("RadioGroupPolarita");
        EXPECT_EQ(image()[Offset::BikeType], c.code);
        EXPECT_EQ(polarity->itemCount(), c.items);
        EXPECT_EQ(polarity->isHidden(), !c.visible);
        EXPECT_EQ(polarity->isEnabled(), c.enabled);
        EXPECT_EQ(win.get("LabelPolaritaMer")->isHidden(), !c.measuredPolarity);
        EXPECT_EQ(win.get("ComboBoxPocPalcu")->isEnabled(), c.lobes);
    }
    EXPECT_EQ(win.questions.size(), 4);
    EXPECT_EQ(win.questions.front(), "Do you want default setting?");
}

TEST_F(WindowTest, TypedTextThatIsNoNumberLeavesTheValue) {
    win.start(dir.path);
    const std::uint8_t before = image().advance(Curve::A, 1);
    win.type(Spin::Advance + 1, "ab");
    EXPECT_EQ(image().advance(Curve::A, 1), before);
    EXPECT_EQ(win.spin(Spin::Advance + 1)->shownText(), QString::number(before));
    EXPECT_EQ(QApplication::focusWidget(), win.spin(Spin::Rpm + 2)); // the next row's rpm
    win.type(Spin::Advance + 1, "99");                               // beyond the range
    EXPECT_EQ(image().advance(Curve::A, 1), before);
    win.type(Spin::Rpm + 1, "2,345"); // off the step: the image's unit truncates it
    EXPECT_EQ(image().rpm(Curve::A, 1), 23);
    EXPECT_EQ(win.spin(Spin::Rpm + 1)->shownText(), "2,300");
}

TEST_F(WindowTest, ControlsShowTheImage) {
    win.start(dir.path);
    struct Case {
        std::size_t offset;
        std::uint8_t byte;
        std::size_t spin;
        QString shown;
    };
    for (const Case& c : {Case{Offset::RpmCorrection, 100, Spin::RpmCorrection, "0"},
                          Case{Offset::RpmCorrection, 40, Spin::RpmCorrection, "-60"},
                          Case{Offset::LimiterA, 125, Spin::Limiter, "12,500"},
                          Case{Offset::ClutchTimeA, 3, Spin::ClutchTime, "15"},
                          Case{Offset::Pwm, 5, Spin::Pwm, "50"}}) {
        image()[c.offset] = c.byte;
        win.cfg().refreshControls();
        EXPECT_EQ(win.spin(c.spin)->shownText(), c.shown) << c.offset;
    }
    // The no-reading box is red exactly while the image's byte is set.
    for (std::uint8_t byte : {1, 0}) {
        image()[Offset::NoReading] = byte;
        win.cfg().refreshControls();
        auto* box = win.get<QCheckBox>("CheckBoxZakazCteni");
        EXPECT_EQ(box->isChecked(), byte != 0);
        EXPECT_EQ(box->autoFillBackground(), byte != 0);
        if (byte) {
            EXPECT_EQ(box->palette().color(QPalette::Window), QColor(255, 0, 0));
        }
    }
}

TEST_F(WindowTest, SwitchingToCurveBShowsItsValues) {
    win.start(dir.path);
    image()[Offset::LimiterB] = 111;
    image()[Offset::StartLimiterB] = 55;
    image()[Offset::ShiftLightB] = 99;
    image()[Offset::ClutchTimeB] = 7;
    image().advance(Curve::B, 0) = 4;
    win.pick("RadioGroupAB", 1);
    EXPECT_EQ(text("LabelAB"), "B");
    EXPECT_EQ(win.get<QLabel>("LabelAB")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(win.spin(Spin::Limiter)->value(), 11100);
    EXPECT_EQ(win.spin(Spin::StartLimiter)->value(), 5500);
    EXPECT_EQ(win.spin(Spin::ShiftLight)->value(), 9900);
    EXPECT_EQ(win.spin(Spin::ClutchTime)->value(), 35);
    EXPECT_EQ(win.spin(Spin::Advance)->value(), 4);
    win.pick("RadioGroupAB", 0);
    EXPECT_EQ(text("LabelAB"), "A");
}

TEST_F(WindowTest, PrintLookHidesTheEditingAids) {
    win.start(dir.path);
    win.cfg().printing = true;
    win.cfg().runEnablingPass();
    for (const char* name :
         {"GroupBoxToolBar", "StatusBar1", "CheckBoxProgHned", "CheckBoxZakazCteni",
          "BitBtnAdvMinus", "BitBtnAdvPlus", "CheckBoxIgnAll", "CGaugeRpm"})
        EXPECT_TRUE(win.get(name)->isHidden()) << name;
    for (std::size_t id : {Spin::Rpm, Spin::Advance, Spin::Points, Spin::BaseAdvance, Spin::Limiter,
                           Spin::ShiftLight, Spin::StartLimiter, Spin::ClutchTime})
        EXPECT_FALSE(win.spin(id)->spinnerVisible()) << id;
    for (std::size_t id : {Spin::Pwm, Spin::RpmPulses, Spin::TestRpm})
        EXPECT_TRUE(win.spin(id)->spinnerVisible()) << id;
    EXPECT_EQ(win.w->form()->palette().color(QPalette::Window), QColor(255, 255, 255));
    win.cfg().printing = false;
    win.cfg().runEnablingPass();
    EXPECT_FALSE(win.get("GroupBoxToolBar")->isHidden());
    EXPECT_TRUE(win.spin(Spin::Rpm)->spinnerVisible());
    EXPECT_FALSE(win.w->form()->autoFillBackground());
}

TEST_F(WindowTest, LanguagesGiveTheirTexts) {
    win.start(dir.path, false);
    win.ticks(20); // without a connection the monitor labels show their empty form
    struct Case {
        int language;
        const char* control;
        QString text;
    };
    for (const Case& c : {
             Case{0, "MenuProgram", "&Programing"},
             Case{0, "ButtonProgram", "&Programing"},
             Case{0, "MenuAdvanceMinus", "Advance -"},
             Case{0, "RadioGroupInput1", "Input 1"},
             Case{1, "MenuOpen", "&Öffnen"},
             Case{1, "LabelClutchMon", "Schaltautomat: ---"},
             Case{1, "LabelBlocking", "Motor off: ---"},
             Case{1, "LabelClutch1", "Clutch master time [ms]"},
             Case{2, "MenuVerify", "&Vérifier"},
             Case{2, "MenuOpenExeDir", "Open from exe dir"},
             Case{2, "MenuSaveExeDir", "Save to exe dir"},
             Case{2, "GroupBoxRpm", "Tachometer output"},
             Case{2, "LabelRpmPulsu", "Pulses per revolution"},
             Case{2, "LabelRpmKorekce", "Correction [%]"},
             Case{2, "CheckBoxRevOutLedRazeni", "Reverse otput polarity"},
             Case{2, "ButtonTestIgn1", "Ignition"},
             Case{2, "LabelChan", "Kanal: ---"},
             Case{3, "MenuRead", "&Čtení"},
             Case{3, "LabelClutchMon", "Clutch master: ---"},
             Case{3, "MenuCzech", "Če&sky"},
             Case{3, "MenuZnovu", "Znovu"},
         }) {
        win.w->commandLanguage(c.language);
        EXPECT_EQ(text(c.control), c.text) << c.control << " in " << c.language;
    }
    win.w->commandLanguage(2);
    EXPECT_EQ(win.get<QComboBox>("ComboBoxPocPalcu")->itemText(3),
              "1 ignition per 2 revolutions (camshaft)");
    EXPECT_TRUE(win.w->action("MenuFrench")->isChecked());
    EXPECT_FALSE(win.w->action("MenuEnglish")->isChecked());
    EXPECT_EQ(win.w->action("MenuFrench")->statusTip(), "Installer en Francais ");
}

TEST_F(WindowTest, LanguageChangeWithoutConnectionRewritesThePlaceholders) {
    win.start(dir.path, false);
    win.ticks(20); // the connection counts as lost
    ASSERT_TRUE(win.cfg().connectionLost());
    EXPECT_FALSE(win.get("LabelSpojeni")->isHidden());
    win.w->commandLanguage(1);
    EXPECT_EQ(text("LabelMon_Advance"), "Vorzündung= --- [°]");
    EXPECT_EQ(text("LabelPocetProgramovani"), "Programmierungsanzahl=  ---");
    EXPECT_EQ(text("LabelSpojeni"), "Keine Verbindung zum PC");
    win.w->commandLanguage(0);
    EXPECT_EQ(text("LabelMon_Advance"), "Advance= --- [°]");
    EXPECT_EQ(text("LabelPocetProgramovani"), "Number of Programing=  ---");
}

TEST_F(WindowTest, CaptionWithoutFileAndTheStatusBarHint) {
    win.start(dir.path);
    EXPECT_EQ(win.w->windowTitle(), "  ZENTROLA       ");
    EXPECT_EQ(win.get("LabelRpm1")->toolTip(), "Round per Minute");
    EXPECT_EQ(win.get("LabelRpm1")->statusTip(), "Speed - Round per Minute");
    EXPECT_EQ(win.w->action("MenuRead")->statusTip(), "Reading parametrs from ignition");
    EXPECT_EQ(win.get("ComboBoxBike")->toolTip(), "Type of keying");
}

TEST_F(WindowTest, EveryControlHasAName) {
    win.start(dir.path);
    for (int row = 1; row <= 15; ++row) {
        EXPECT_EQ(win.spin(Spin::Rpm + row - 1)->accessibleName(), QString("RPM %1").arg(row));
        EXPECT_EQ(win.spin(Spin::Advance + row - 1)->accessibleName(),
                  QString("Advance %1").arg(row));
    }
    struct Case {
        std::size_t id;
        QString name;
    };
    for (const Case& c :
         {Case{Spin::Points, "Number of items"}, Case{Spin::Limiter, "Limiter [rpm]"},
          Case{Spin::BaseAdvance, "Base advance [°]"},
          Case{Spin::ClutchPause, "Clutch master pause [ms]"}})
        EXPECT_EQ(win.spin(c.id)->accessibleName(), c.name);
    EXPECT_EQ(win.get("GrafAdv")->accessibleName(), "Advance curve graph");
    // Labels say their text: the status label is the status message, the letter the curve.
    EXPECT_TRUE(win.get("LabelHlaseni")->accessibleName().isEmpty());
    EXPECT_TRUE(win.get("LabelAB")->accessibleName().isEmpty());
    // Every focusable control of the window can be named by a screen reader.
    for (QWidget* child : win.w->findChildren<QWidget*>()) {
        if (child->focusPolicy() == Qt::NoFocus || !child->isVisibleTo(win.w.get()) ||
            child->inherits("QLineEdit") || child->inherits("QMenu"))
            continue;
        const bool named = !child->accessibleName().isEmpty() ||
                           (qobject_cast<QAbstractButton*>(child) &&
                            !qobject_cast<QAbstractButton*>(child)->text().isEmpty()) ||
                           !child->toolTip().isEmpty();
        EXPECT_TRUE(named) << child->objectName().toStdString() << " "
                           << child->metaObject()->className();
    }
}

TEST_F(WindowTest, MenusCarryTheirKeys) {
    win.start(dir.path);
    struct Case {
        const char* action;
        QKeySequence key;
    };
    for (const Case& c :
         {Case{"MenuNew", QKeySequence("Ctrl+N")}, Case{"MenuOpen", QKeySequence("F3")},
          Case{"MenuOpenExeDir", QKeySequence("Ctrl+F3")}, Case{"MenuSave", QKeySequence("F2")},
          Case{"MenuSaveExeDir", QKeySequence("Ctrl+F2")},
          Case{"MenuPrint", QKeySequence("Ctrl+P")}, Case{"MenuRead", QKeySequence("F7")},
          Case{"MenuVerify", QKeySequence("F8")}, Case{"MenuProgram", QKeySequence("F9")},
          Case{"MenuAdvanceMinus", QKeySequence("F4")}, Case{"MenuAdvancePlus", QKeySequence("F5")},
          Case{"MenuZpet", QKeySequence("Ctrl+Z")}, Case{"MenuZnovu", QKeySequence("Ctrl+Alt+Z")},
          Case{"MenuContens", QKeySequence("F1")}})
        EXPECT_EQ(win.w->action(c.action)->shortcut(), c.key) << c.action;
}

TEST_F(WindowTest, TheWindowFitsASmallLaptopScreen) {
    win.start(dir.path);
    const QSize least = win.w->minimumSizeHint();
    EXPECT_LE(least.width(), 1366);
    EXPECT_LE(least.height(), 768 - 80); // title bar and task bar
    const QSize designed = win.w->sizeHint();
    EXPECT_LE(designed.width(), 1366);
    EXPECT_LE(designed.height(), 768 - 80);
}

TEST_F(WindowTest, ReadEditProgramUndoRedoWithTheUnit) {
    win.start(dir.path);
    win.ticks(10);
    win.unit.eeprom()[Offset::AdvanceA + 1] = 17;
    win.key(QKeySequence("F7"));
    win.ticks(40);
    EXPECT_EQ(win.cfg().lastResult(), TransferResult::VerifyOk);
    EXPECT_EQ(image().advance(Curve::A, 1), 17);
    EXPECT_EQ(win.spin(Spin::Advance + 1)->value(), 17);

    win.type(Spin::Advance + 1, "23");
    EXPECT_EQ(image().advance(Curve::A, 1), 23);
    win.key(QKeySequence("F9"));
    win.ticks(40);
    EXPECT_EQ(win.cfg().lastResult(), TransferResult::ProgramOk);
    EXPECT_EQ(win.unit.eeprom()[Offset::AdvanceA + 1], 23);

    // The read took a history step of its own: one Undo goes back to what was read, the
    // next to before the Read. The field's own undo must not take the key.
    win.spin(Spin::Rpm)->setFocus();
    win.key(QKeySequence("Ctrl+Z"));
    EXPECT_EQ(image().advance(Curve::A, 1), 17);
    win.key(QKeySequence("Ctrl+Z"));
    EXPECT_EQ(image().advance(Curve::A, 1), 10);
    EXPECT_EQ(win.spin(Spin::Advance + 1)->shownText(), "10");
    win.key(QKeySequence("Ctrl+Alt+Z"));
    win.key(QKeySequence("Ctrl+Alt+Z"));
    EXPECT_EQ(image().advance(Curve::A, 1), 23);
    EXPECT_EQ(win.spin(Spin::Advance + 1)->shownText(), "23");
}

TEST_F(WindowTest, LiveDataReachesTheLabels) {
    win.start(dir.path);
    win.ticks(30);
    EXPECT_TRUE(win.get("LabelSpojeni")->isHidden());
    EXPECT_TRUE(text("LabelRpm").startsWith("RPM = "));
    EXPECT_TRUE(text("LabelNapeti").startsWith("U = "));
    EXPECT_EQ(text("LabelChan"), "Channel: A");
    EXPECT_EQ(text("LabelCom"), "COM= virtual-un");
    win.port.setUnplugged(true);
    win.ticks(20);
    EXPECT_FALSE(win.get("LabelSpojeni")->isHidden());
}

TEST_F(WindowTest, PortThatCannotBeOpenedSaysWhy) {
    win.start(dir.path, false);
    ASSERT_EQ(win.messages.size(), 1);
    EXPECT_TRUE(win.messages.front().startsWith("Com opening error! | "))
        << win.messages.front().toStdString();
}

TEST_F(WindowTest, OpenAndSaveThroughTheDialogs) {
    win.start(dir.path);
    const auto file = dir.path / "mine.ign";
    win.chosenFile = QString::fromStdString(file.string());
    win.type(Spin::Limiter, "12000");
    win.w->commandSave(false);
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(win.w->windowTitle(), "  ZENTROLA       " + win.chosenFile);
    win.type(Spin::Limiter, "9000");
    win.w->commandOpen(false);
    EXPECT_EQ(image()[Offset::LimiterA], 120);
    EXPECT_EQ(win.spin(Spin::Limiter)->shownText(), "12,000");
    EXPECT_EQ(win.dialogStart, win.chosenFile); // the last file is where the dialog opens
    win.w->commandOpen(true);
    EXPECT_EQ(win.dialogStart.toStdString(), (dir.path / "data.ign").string());
    win.chosenFile.clear(); // cancelled: nothing changes
    win.w->commandOpen(false);
    EXPECT_EQ(image()[Offset::LimiterA], 120);
    EXPECT_TRUE(win.messages.empty());
}

TEST_F(WindowTest, ClosingAndStartingAgainKeepsEditsAndPlace) {
    win.start(dir.path);
    win.type(Spin::Advance + 4, "33");
    win.w->move(40, 30);
    win.w->resize(win.w->minimumSizeHint() + QSize(0, 10));
    const QSize size = win.w->size();
    win.get<QCheckBox>("CheckBoxIgnAll")->setChecked(true);
    win.w->close();

    Window again;
    again.start(dir.path);
    EXPECT_EQ(again.cfg().image().advance(Curve::A, 4), 33);
    EXPECT_EQ(again.spin(Spin::Advance + 4)->shownText(), "33");
    EXPECT_EQ(again.w->pos(), QPoint(40, 30));
    EXPECT_EQ(again.w->size(), size);
    EXPECT_TRUE(again.get<QCheckBox>("CheckBoxIgnAll")->isChecked());
}
