// The window acts on what the user did and on nothing else: the advance shift by its keys and
// buttons against a running engine; no edit from a menu, a message box, another window or
// the wheel over a field; choices made by any means (mouse, keys, accessibility) taken once,
// and a re-pick of the chosen item taken as nothing.
#include "WindowFixture.h"

#include "core/BikeTypes.h"
#include "link/Monitor.h"
#include "support/Unprivileged.h"
#include "ui/PortAccess.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>

#if !defined(_WIN32)
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace zentrola;
using namespace zentrola::uitest;

namespace {

using Kind = VirtualUnit::RequestKind;

struct UserActions : ::testing::Test {
    Scratch dir;
    Window win;
    ParameterImage& image() { return win.cfg().image(); }
    std::size_t programs() const { return win.unit.received(Kind::Program); }

    // Connected, the engine at idle (about 1200 rpm: the first row of the default curve is
    // highlighted), "Programming after change" ticked when asked.
    void startRunning(bool programAfterChange = false) {
        win.start(dir.path);
        win.ticks(30);
        ASSERT_GT(win.cfg().monitor().displayedRpm(), 1000);
        ASSERT_EQ(win.cfg().monitor().highlightedRow(), 0);
        if (programAfterChange) {
            win.get<QCheckBox>("CheckBoxProgHned")->click();
            win.ticks(60); // a programming the tick itself may start is over
        }
    }

    std::array<int, kCurvePoints> advances(Curve c) {
        std::array<int, kCurvePoints> a{};
        for (std::size_t k = 0; k < kCurvePoints; ++k)
            a[k] = image().advance(c, k);
        return a;
    }

    void wheel(QWidget* target, int clicks) {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent e(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120 * clicks), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &e);
        QApplication::processEvents();
    }

    // The accessibility action a screen reader or voice control would run on the control.
    static void accessibleAction(QWidget* w, const QString& action) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_TRUE(a && a->actionInterface()) << w->objectName().toStdString();
        ASSERT_TRUE(a->actionInterface()->actionNames().contains(action))
            << a->actionInterface()->actionNames().join(',').toStdString();
        a->actionInterface()->doAction(action);
        QApplication::processEvents();
    }
};

} // namespace

TEST_F(UserActions, AdvanceShiftMovesTheHighlightedRowOrTheWholeCurveAndUndoTakesItBack) {
    startRunning();
    const auto before = advances(Curve::A);
    const auto b = advances(Curve::B);

    // F5 without "All": exactly the highlighted row, one degree, in the image and the field.
    win.key(QKeySequence(Qt::Key_F5));
    auto raised = before;
    ++raised[0];
    EXPECT_EQ(advances(Curve::A), raised);
    EXPECT_EQ(win.spin(Spin::Advance)->shownText(), QString::number(raised[0]));
    win.key(QKeySequence("Ctrl+Z"));
    EXPECT_EQ(advances(Curve::A), before);

    // F4 with "All": every row of the shown curve, none of the other.
    win.get<QCheckBox>("CheckBoxIgnAll")->click();
    win.key(QKeySequence(Qt::Key_F4));
    for (std::size_t k = 0; k < kCurvePoints; ++k)
        EXPECT_EQ(image().advance(Curve::A, k), before[k] - 1) << k;
    EXPECT_EQ(advances(Curve::B), b);
    win.key(QKeySequence("Ctrl+Z"));
    EXPECT_EQ(advances(Curve::A), before);

    // The buttons run the same commands.
    win.get<QPushButton>("BitBtnAdvPlus")->click();
    for (std::size_t k = 0; k < kCurvePoints; ++k)
        EXPECT_EQ(image().advance(Curve::A, k), before[k] + 1) << k;
    win.key(QKeySequence("Ctrl+Z"));

    // The engine standing: no row is highlighted, and the shift without "All" does nothing.
    win.get<QCheckBox>("CheckBoxIgnAll")->click();
    win.unit.setEngineRunning(false);
    win.ticks(12);
    win.key(QKeySequence(Qt::Key_F5));
    win.get<QPushButton>("BitBtnAdvMinus")->click();
    EXPECT_EQ(advances(Curve::A), before);
    EXPECT_EQ(advances(Curve::B), b);
}

TEST_F(UserActions, FocusLostToAMenuABoxOrAnotherWindowEditsNothing) {
    startRunning(true);
    const std::size_t before = programs();
    SpinField* limiter = win.spin(Spin::Limiter);
    limiter->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(limiter->hasFocus());

    // The File menu opened and closed again.
    auto* file = win.get<QMenu>("MenuFile");
    file->popup(win.w->mapToGlobal(QPoint(10, 10)));
    QApplication::processEvents();
    file->close();
    QApplication::processEvents();
    win.ticks(40);
    EXPECT_EQ(programs(), before);

    // A message box over the window.
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    QMessageBox::information(win.w.get(), "ZENTROLA Configurator", "A message");
    win.ticks(40);
    EXPECT_EQ(programs(), before);

    // Another program's window taking the focus, then giving it back.
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QApplication::processEvents();
    QApplication::setActiveWindow(win.w.get());
    QApplication::processEvents();
    win.ticks(40);
    EXPECT_EQ(programs(), before);
    EXPECT_EQ(image()[Offset::LimiterA], 150);

    // A value typed and the field left for another field of the window: that is an edit.
    limiter->setFocus(Qt::MouseFocusReason);
    limiter->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(limiter, "9000");
    QTest::keyClick(limiter, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(image()[Offset::LimiterA], 90);
    win.ticks(60);
    EXPECT_EQ(programs(), before + 3); // pages 0, 1 and 2, once
}

TEST_F(UserActions, WheelStepsOnlyTheFocusedField) {
    startRunning(true);
    const std::size_t before = programs();
    SpinField* advance4 = win.spin(Spin::Advance + 3);
    win.spin(Spin::Limiter)->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();

    // The pointer passing over a field on its way down the window.
    wheel(advance4, 2);
    EXPECT_EQ(image().advance(Curve::A, 3), 10);
    EXPECT_EQ(advance4->shownText(), "10");
    EXPECT_FALSE(advance4->hasFocus());
    win.ticks(40);
    EXPECT_EQ(programs(), before);

    // A field the user clicked into takes the wheel, and the Up key, as its arrows.
    advance4->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    wheel(advance4, 1);
    EXPECT_EQ(image().advance(Curve::A, 3), 11);
    QTest::keyClick(advance4, Qt::Key_Up);
    EXPECT_EQ(image().advance(Curve::A, 3), 12);
    EXPECT_EQ(advance4->shownText(), "12");
}

TEST_F(UserActions, ChoicesMadeThroughAccessibilityAreActedOnOnce) {
    startRunning();
    // The "B" of "A/B" toggled as a screen reader does: the window shows curve B.
    auto* ab = win.get<RadioGroup>("RadioGroupAB");
    accessibleAction(ab->button(1), QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(image()[Offset::CurveSelect], 1);
    EXPECT_EQ(win.get<QLabel>("LabelAB")->text(), "B");
    EXPECT_EQ(win.spin(Spin::Advance)->shownText(), QString::number(image().advance(Curve::B, 0)));

    // A check box.
    accessibleAction(win.get<QCheckBox>("CheckBoxZakazCteni"),
                     QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(image()[Offset::NoReading], 1);

    // An input group by keyboard: the arrow moves the choice.
    auto* input1 = win.get<RadioGroup>("RadioGroupInput1");
    input1->button(0)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(input1->button(0), Qt::Key_Down);
    EXPECT_EQ(image()[Offset::Input1], 1);

    // The bike list changed without a click (keys, an assistive technology): asked once.
    auto* bikes = win.get<QComboBox>("ComboBoxBike");
    win.answer = Answer::Yes;
    bikes->setCurrentIndex(9); // "Start of lobe"
    QApplication::processEvents();
    EXPECT_EQ(win.questions.size(), 1);
    EXPECT_EQ(image()[Offset::BikeType], 8);
    EXPECT_EQ(image()[Offset::BaseAdvance], 22);
}

TEST_F(UserActions, RePickingTheChosenItemIsNoChange) {
    startRunning(true);
    const std::size_t before = programs();
    const bool couldUndo = win.cfg().canUndo();

    // The chosen radio item clicked again: no history step, no programming.
    win.pick("RadioGroupAB", 0);
    win.pick("RadioGroupPolarita", image()[Offset::Polarity]);
    win.ticks(40);
    EXPECT_EQ(win.cfg().canUndo(), couldUndo);
    EXPECT_EQ(programs(), before);

    // The shown bike picked again from the open list: no question, the keying stays.
    image()[Offset::Lobes] = 2;
    image()[Offset::Polarity] = 1;
    win.cfg().refreshControls();
    auto* bikes = win.get<QComboBox>("ComboBoxBike");
    bikes->showPopup();
    QApplication::processEvents();
    QAbstractItemView* list = bikes->view();
    const QRect item = list->visualRect(list->model()->index(bikes->currentIndex(), 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    QApplication::processEvents();
    EXPECT_TRUE(win.questions.empty());
    EXPECT_EQ(image()[Offset::Lobes], 2);
    EXPECT_EQ(image()[Offset::Polarity], 1);
}

TEST_F(UserActions, NoCurveShownLeavesTheShiftLightFieldEmptyAndOff) {
    win.start(dir.path, false);
    win.pick("RadioGroupAB", 2); // "Monitor" without a connection: no curve
    SpinField* light = win.spin(Spin::ShiftLight);
    EXPECT_FALSE(light->isEnabled());
    // Tabbing along the window passes it by and brings no number back.
    win.spin(Spin::StartLimiter)->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 12; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(light->shownText(), "");
}

TEST_F(UserActions, BikeChangeWithoutConnectionShowsThePlaceholders) {
    startRunning();
    win.port.setUnplugged(true);
    win.ticks(20);
    auto* rpm = win.get<QLabel>("LabelChan");
    const QString live = rpm->text();
    win.w->commandLanguage(0);
    const QString placeholder = rpm->text();
    ASSERT_NE(live, placeholder);
    win.port.setUnplugged(false);
    win.ticks(40);
    ASSERT_EQ(rpm->text().left(5), live.left(5));
    win.port.setUnplugged(true);
    win.ticks(20);
    win.answer = Answer::No;
    win.get<QComboBox>("ComboBoxBike")->setCurrentIndex(4);
    EXPECT_EQ(rpm->text(), placeholder);
}

TEST_F(UserActions, QuestionsAndMessagesNameTheProgramAndSpeakTheLanguage) {
    win.start(dir.path, true, "DEUTSCH");
    win.w->askHook = nullptr;
    QString title;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        for (QAbstractButton* b : box->buttons())
            buttons << b->text().remove('&');
        box->button(QMessageBox::No)->click();
    });
    win.w->commandNew();
    EXPECT_EQ(title, "ZENTROLA Configurator");
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({"Abbrechen", "Ja", "Nein"}));

    // And back to English with the language menu.
    win.w->action("MenuEnglish")->trigger();
    buttons.clear();
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QAbstractButton* b : box->buttons())
            buttons << b->text().remove('&');
        box->button(QMessageBox::Cancel)->click();
    });
    win.w->commandNew();
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({"Cancel", "No", "Yes"}));
}

TEST_F(UserActions, TheToolbarButtonsAreNamedAsTheirCommands) {
    win.start(dir.path, true, "FRANCE");
    for (const char* button : {"SpeedButton6", "SpeedButtonOpen", "SpeedButtonSave",
                               "SpeedButtonPrint", "SpeedButtonZpet", "SpeedButtonZnovu"}) {
        const QString name = win.get(button)->accessibleName();
        EXPECT_FALSE(name.isEmpty()) << button;
        EXPECT_FALSE(name.contains('&')) << button;
    }
    EXPECT_EQ(win.get("SpeedButtonZpet")->accessibleName(),
              win.w->action("MenuZpet")->text().remove('&'));
}

TEST_F(UserActions, ThePrintLineCarriesNoTimeZone) {
    win.start(dir.path);
    const QString line = win.w->printLine();
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("\\d{1,2}:\\d\\d:\\d\\d$")).match(line).hasMatch())
        << line.toStdString();
}

TEST_F(UserActions, StatusLineHasItsRoomBeforeTheFirstRead) {
    win.start(dir.path);
    win.w->adjustSize();
    const int before = win.w->sizeHint().height();
    win.key(QKeySequence(Qt::Key_F7));
    win.ticks(40);
    ASSERT_TRUE(win.get("LabelHlaseni")->isVisible());
    EXPECT_EQ(win.w->sizeHint().height(), before);
}

TEST_F(UserActions, ComMenuTicksTheDeviceInUse) {
    win.start(dir.path);
    auto* forced = win.w->findChild<QAction*>("MenuComForced");
    ASSERT_TRUE(forced);
    EXPECT_TRUE(forced->isVisible());
    EXPECT_TRUE(forced->isChecked());
    EXPECT_FALSE(win.w->findChild<QAction*>("MenuComAuto")->isChecked());
    win.w->findChild<QAction*>("MenuComAuto")->trigger();
    EXPECT_FALSE(forced->isVisible());
    EXPECT_TRUE(win.w->findChild<QAction*>("MenuComAuto")->isChecked());
}

#if !defined(_WIN32) // device groups are a Unix matter
TEST(PortAccess, ADeviceOfAnotherGroupNamesTheGroupAndTheUser) {
    // A stand-in for /dev/ttyUSB0: read and write for its owner and group only.
    const group* g = ::getgrnam("dialout");
    if (!g)
        g = ::getgrnam("tty");
    if (!g)
        GTEST_SKIP() << "no group to hand the device to";
    const std::string device = "/tmp/zentrola-port-" + std::to_string(::getpid());
    { std::ofstream(device) << ""; }
    const gid_t gid = g->gr_gid;
    const std::string name = g->gr_name;
    ASSERT_EQ(::chown(device.c_str(), 0, gid), 0);
    ASSERT_EQ(::chmod(device.c_str(), 0660), 0);
    const auto result = zentrola::testing::asUnprivilegedUser([&] {
        const auto missing = missingPortGroup(device);
        return missing && missing->group.toStdString() == name && !missing->user.isEmpty();
    });
    std::filesystem::remove(device);
    if (!result)
        GTEST_SKIP() << "cannot run as another user here";
    EXPECT_TRUE(*result);
    EXPECT_FALSE(missingPortGroup("/nonexistent/ttyUSB9"));
}
#endif
