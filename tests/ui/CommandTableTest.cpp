// Every command the window offers, run as a user runs it (its key, or a click on the menu
// item or the button), must change something the user can see or the unit receives. A
// command the window offers without a row here fails, so a dead handler cannot ship again.
#include "WindowFixture.h"

#include "link/Monitor.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <set>

using namespace zentrola;
using namespace zentrola::uitest;

namespace {

using Kind = VirtualUnit::RequestKind;

struct Context {
    Window& win;
    const std::filesystem::path& dir;
    int modals = 0; // modal dialogs that opened (and were closed by the test)
};

struct Row {
    std::string command; // object name of the menu item or the button
    QKeySequence key;    // empty: a click
    std::function<void(Context&)> setUp;
    std::function<QString(Context&)> observe; // what must change
    const char* language = nullptr;           // the language argument of the start
};

QString imageText(Context& c) {
    QString s;
    const ParameterImage& image = c.win.cfg().image();
    for (std::size_t i = 0; i < kRecordSize; ++i)
        s += QString::number(image[i]) + ',';
    return s;
}
QString unitText(Context& c) {
    c.win.ticks(60);
    return QStringLiteral("%1 %2 %3")
        .arg(c.win.unit.received(Kind::Program))
        .arg(c.win.unit.received(Kind::Read))
        .arg(c.win.unit.ignitionTests());
}
QString dialogsText(Context& c) {
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(c.win.fileDialogs)
        .arg(c.win.dialogs)
        .arg(c.modals)
        .arg(c.win.messages.size())
        .arg(c.win.documents.size());
}
QString statusBarText(Context& c) {
    return c.win.w->statusBar()->currentMessage();
}
QString comText(Context& c) {
    return QStringLiteral("%1 %2 %3")
        .arg(c.win.cfg().forcedDevice().has_value())
        .arg(c.win.cfg().comChecked())
        .arg(QString::fromStdString(c.win.cfg().comLabel()));
}
QString languageText(Context& c) {
    return c.win.w->menuBar()->actions().front()->text();
}
QString monitorText(Context& c) {
    c.win.ticks(8);
    const auto& frame = c.win.cfg().monitor().lastFrame();
    return QStringLiteral("%1 %2")
        .arg(frame[MonitorByte::ShiftLight])
        .arg(c.win.cfg().monitor().displayedRpm() > 10000);
}

void nothing(Context&) {}
void edited(Context& c) {
    c.win.type(Spin::Advance + 2, "25");
}
void editedAndUndone(Context& c) {
    edited(c);
    c.win.w->commandUndo();
}
void engineRunning(Context& c) {
    c.win.ticks(30);
}
// "Programming after change" ticked, an edit programmed, the focus left in the next field.
void programmingAfterChange(Context& c) {
    QTest::mouseClick(c.win.get<QAbstractButton>("CheckBoxProgHned"), Qt::LeftButton);
    c.win.ticks(60);
    c.win.type(Spin::Limiter, "11500");
    c.win.ticks(60);
}
// Unticking the box shows it unticked and sends the unit nothing.
QString programmingBoxText(Context& c) {
    const bool checked = c.win.get<QAbstractButton>("CheckBoxProgHned")->isChecked();
    return QStringLiteral("%1 %2").arg(checked).arg(unitText(c));
}
void yes(Context& c) {
    edited(c);
    c.win.answer = Answer::Yes;
}

const std::vector<Row>& rows() {
    static const std::vector<Row> table = [] {
        std::vector<Row> t{
            {"MenuNew", QKeySequence("Ctrl+N"), yes, imageText},
            {"SpeedButton6", {}, yes, imageText},
            {"MenuOpen", QKeySequence("F3"), nothing, dialogsText},
            {"SpeedButtonOpen", {}, nothing, dialogsText},
            {"MenuOpenExeDir", QKeySequence("Ctrl+F3"), nothing, dialogsText},
            {"MenuSave", QKeySequence("F2"), nothing, dialogsText},
            {"SpeedButtonSave", {}, nothing, dialogsText},
            {"MenuSaveExeDir", QKeySequence("Ctrl+F2"), nothing, dialogsText},
            {"MenuPrint", QKeySequence("Ctrl+P"), nothing, statusBarText},
            {"SpeedButtonPrint", {}, nothing, statusBarText},
            {"MenuExportPdf", {}, nothing, dialogsText},
            {"MenuCompareFile", {}, nothing, dialogsText},
            {"MenuExit",
             {},
             nothing,
             [](Context& c) { return QString::number(c.win.w->isVisible()); }},
            {"MenuRead", QKeySequence("F7"), nothing, unitText},
            {"ButtonRead", {}, nothing, unitText},
            {"MenuVerify", QKeySequence("F8"), nothing, unitText},
            {"ButtonVerify", {}, nothing, unitText},
            {"MenuProgram", QKeySequence("F9"), nothing, unitText},
            {"ButtonProgram", {}, nothing, unitText},
            {"MenuDifferences", {}, nothing, dialogsText},
            {"MenuAdvanceMinus", QKeySequence("F4"), engineRunning, imageText},
            {"BitBtnAdvMinus", {}, engineRunning, imageText},
            {"MenuAdvancePlus", QKeySequence("F5"), engineRunning, imageText},
            {"BitBtnAdvPlus", {}, engineRunning, imageText},
            {"MenuZpet", QKeySequence("Ctrl+Z"), edited, imageText},
            {"SpeedButtonZpet", {}, edited, imageText},
            {"MenuZnovu", QKeySequence("Ctrl+Alt+Z"), editedAndUndone, imageText},
            {"SpeedButtonZnovu", {}, editedAndUndone, imageText},
            {"MenuRecord", {}, nothing, dialogsText},
            {"MenuLiveChart", QKeySequence("Ctrl+L"), nothing,
             [](Context& c) {
                 QWidget* dock = c.win.w->findChild<QWidget*>("DockLiveChart");
                 return QString::number(dock && dock->isVisible());
             }},
            {"MenuViewRecording", {}, nothing, dialogsText},
            {"MenuEnglish", {}, nothing, languageText, "DEUTSCH"},
            {"MenuGerman", {}, nothing, languageText},
            {"MenuFrench", {}, nothing, languageText},
            {"MenuCzech", {}, nothing, languageText},
            {"MenuContens", QKeySequence("F1"), nothing, dialogsText},
            {"MenuAbout", {}, nothing, dialogsText},
            {"ButtonTestIgn1", {}, engineRunning, unitText},
            {"ButtonTestPilotLight", {}, engineRunning, monitorText},
            {"ButtonTestRpm", {}, engineRunning, monitorText},
            {"MenuComAuto", {}, nothing, comText},
            {"CheckBoxProgHned", {}, programmingAfterChange, programmingBoxText},
        };
        for (int n = 1; n <= 20; ++n)
            t.push_back({"MenuCom" + std::to_string(n), {}, nothing, comText});
        return t;
    }();
    return table;
}

// What the window offers: every enabled menu item and every push or tool button.
std::set<std::string> offeredCommands(MainWindow& w) {
    std::set<std::string> names;
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        for (QAction* a : menu->actions()) {
            if (a->menu())
                walk(a->menu());
            else if (!a->isSeparator() && a->isEnabled() && !a->objectName().isEmpty())
                names.insert(a->objectName().toStdString());
            else if (!a->isSeparator() && a->isEnabled())
                names.insert("<unnamed item " + a->text().toStdString() + ">");
        }
    };
    for (QAction* a : w.menuBar()->actions())
        if (a->menu())
            walk(a->menu());
    for (QAbstractButton* b : w.findChildren<QAbstractButton*>()) {
        if (!qobject_cast<QPushButton*>(b) && !qobject_cast<QToolButton*>(b))
            continue;
        if (b->objectName().startsWith(QLatin1String("qt_")) || b->window() != &w)
            continue; // Qt's own (the toolbar's extension arrow), or another window's
        names.insert(b->objectName().toStdString());
    }
    return names;
}

void trigger(Window& win, const Row& row) {
    if (!row.key.isEmpty()) {
        win.key(row.key);
        return;
    }
    if (auto* b = win.get<QAbstractButton>(row.command)) {
        QTest::mouseClick(b, Qt::LeftButton);
        QApplication::processEvents();
        return;
    }
    // A menu item: its menu opened and the item clicked.
    auto* a = win.w->findChild<QAction*>(QString::fromStdString(row.command));
    ASSERT_TRUE(a) << row.command;
    QMenu* menu = nullptr;
    for (QObject* o : a->associatedObjects())
        if (auto* m = qobject_cast<QMenu*>(o))
            menu = m;
    ASSERT_TRUE(menu) << row.command;
    menu->popup(win.w->mapToGlobal(QPoint(20, 20)));
    QApplication::processEvents();
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
    QApplication::processEvents();
}

struct CommandTable : ::testing::TestWithParam<std::size_t> {};

} // namespace

TEST(CommandTableCoverage, EveryCommandTheWindowOffersHasARow) {
    Scratch dir;
    Window win;
    win.start(dir.path);
    std::set<std::string> inTable;
    for (const Row& r : rows())
        inTable.insert(r.command);
    for (const std::string& name : offeredCommands(*win.w))
        EXPECT_TRUE(inTable.count(name)) << name << " has no row in the command table";
}

TEST_P(CommandTable, RunAsAUserItChangesWhatItShows) {
    const Row& row = rows()[GetParam()];
    Scratch dir;
    Window win;
    qputenv("ZENTROLA_PRINT_PDF", QByteArray::fromStdString((dir.path / "sheet.pdf").string()));
    win.start(dir.path, true,
              row.language ? std::optional<std::string>(row.language) : std::nullopt);
    Context c{win, dir.path};
    // A modal dialog the command opens (the About box) is counted and closed.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ++c.modals;
            modal->close();
        }
    });
    closer.start(5);
    row.setUp(c);
    const QString before = row.observe(c);
    trigger(win, row);
    const QString after = row.observe(c);
    closer.stop();
    qunsetenv("ZENTROLA_PRINT_PDF");
    EXPECT_NE(before, after) << row.command << " changed nothing: " << before.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandTable, ::testing::Range<std::size_t>(0, rows().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return rows()[info.param].command;
                         });
