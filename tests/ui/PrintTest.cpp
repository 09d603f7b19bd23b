// The parameter sheet, the manual and the About box.
#include "WindowFixture.h"

#include "ui/AboutBox.h"

#include "app/Manual.h"

#include <QAction>
#include <QLabel>
#include <QProcess>
#include <QStatusBar>

#include <fstream>

using namespace zentrola;
using namespace zentrola::uitest;

namespace {

struct PrintTest : ::testing::Test {
    Scratch dir;
    Window win;
    QString label(const std::string& name) { return win.get<QLabel>(name)->text(); }
};

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST_F(PrintTest, PrintLineKeepsTheBlanksOfEachLanguage) {
    win.start(dir.path);
    struct Case {
        int language;
        QString start;
    };
    for (const Case& c :
         {Case{0, "Date and time of printing:  "}, Case{1, "Zeitpunkt des Ausdruckes   "},
          Case{3, "Datum a čas tisku:  "}}) {
        win.w->commandLanguage(c.language);
        const QString line = win.w->printLine();
        EXPECT_TRUE(line.startsWith(c.start)) << line.toStdString();
        EXPECT_NE(line.mid(c.start.size(), 1), " ") << "the date follows directly";
        EXPECT_TRUE(line.contains("    ")) << "four blanks before the time";
    }
}

TEST_F(PrintTest, SheetInThePrintLookThenTheNormalLookAgain) {
    win.start(dir.path, false);
    win.ticks(20);
    ASSERT_FALSE(win.get("LabelSpojeni")->isHidden());
    win.type(Spin::Points, "3");
    const auto pdf = dir.path / "sheet.pdf";
    ASSERT_TRUE(win.w->printSheet(QString::fromStdString(pdf.string())));
    EXPECT_TRUE(std::filesystem::file_size(pdf) > 1000);

    // Afterwards: the normal look, the print line still in the status label.
    EXPECT_FALSE(win.cfg().printing);
    EXPECT_FALSE(win.get("GroupBoxToolBar")->isHidden());
    EXPECT_FALSE(win.get("StatusBar1")->isHidden());
    EXPECT_TRUE(win.spin(Spin::Rpm)->spinnerVisible());
    EXPECT_FALSE(win.get("CheckBoxProgHned")->isHidden());
    EXPECT_FALSE(win.w->form()->autoFillBackground());
    EXPECT_TRUE(label("LabelHlaseni").startsWith("Date and time of printing:  "));
    EXPECT_FALSE(win.get("LabelHlaseni")->isHidden());
    win.ticks(1);
    EXPECT_FALSE(win.get("LabelSpojeni")->isHidden()) << "the tick shows it again";

    // On paper: the print line and the values, three rows without spinners, no
    // no-connection label, one page with its fonts embedded.
    const QString text = run("pdftotext", {"-layout", QString::fromStdString(pdf.string()), "-"});
    EXPECT_TRUE(text.contains("Date and time of printing:")) << text.toStdString();
    EXPECT_TRUE(text.contains("15,000")); // the limiter
    EXPECT_TRUE(text.contains("3,000"));  // row 3
    EXPECT_FALSE(text.contains("4,000")) << "row 4 is not in use";
    EXPECT_FALSE(text.contains("No connection with PC"));
    EXPECT_TRUE(run("pdfinfo", {QString::fromStdString(pdf.string())})
                    .contains(QRegularExpression("Pages: +1\\b")));
    const QStringList fonts = run("pdffonts", {QString::fromStdString(pdf.string())}).split('\n');
    EXPECT_GE(fonts.filter(QRegularExpression("\\byes\\b")).size(), 1)
        << fonts.join('\n').toStdString();
}

TEST_F(PrintTest, PrintCommandWritesThePdfNamedInTheEnvironment) {
    win.start(dir.path);
    const auto pdf = dir.path / "env.pdf";
    qputenv("ZENTROLA_PRINT_PDF", QByteArray::fromStdString(pdf.string()));
    win.key(QKeySequence("Ctrl+P"));
    qunsetenv("ZENTROLA_PRINT_PDF");
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_TRUE(
        win.w->statusBar()->currentMessage().contains(QString::fromStdString(pdf.string())));
    // A sheet that cannot be written is said so, not reported as printed.
    qputenv("ZENTROLA_PRINT_PDF",
            QByteArray::fromStdString((dir.path / "no" / "such" / "x.pdf").string()));
    win.w->commandPrint();
    qunsetenv("ZENTROLA_PRINT_PDF");
    ASSERT_EQ(win.messages.size(), 1);
    EXPECT_TRUE(win.messages.front().startsWith("Open file error!"));
    EXPECT_FALSE(win.cfg().printing);
    EXPECT_FALSE(win.get("GroupBoxToolBar")->isHidden());
}

TEST_F(PrintTest, ManualIsLookedForInThreePlaces) {
    Scratch here, program;
    const std::string name = "manual_zentrola_de.pdf";
    const auto places = manualCandidates(name, here.path, program.path / "bin");
    ASSERT_EQ(places.size(), 3u);
    EXPECT_EQ(places[0], here.path / name);
    EXPECT_EQ(places[1], program.path / "bin" / name);
    EXPECT_EQ(places[2], program.path / "share" / "doc" / "zentrola" / name);
    EXPECT_FALSE(findManual(name, here.path, program.path / "bin"));
    for (auto it = places.rbegin(); it != places.rend(); ++it) {
        std::filesystem::create_directories(it->parent_path());
        std::ofstream(*it) << "%PDF";
        EXPECT_EQ(findManual(name, here.path, program.path / "bin"), *it);
    }
}

TEST_F(PrintTest, ContentsOpensTheManualOfTheLanguageOrSaysItIsMissing) {
    win.start(dir.path);
    win.w->commandLanguage(1);
    QStringList opened;
    win.w->openDocumentHook = [&](const QString& path) {
        opened << path;
        return true;
    };
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.path);
    win.w->commandContents(); // nowhere to be found
    std::ofstream(dir.path / "manual_zentrola_de.pdf") << "%PDF";
    win.key(QKeySequence("F1"));
    std::filesystem::current_path(old);
    ASSERT_EQ(win.messages.size(), 1);
    EXPECT_EQ(win.messages.front(), "Fehler beim öffnen der Datei manual_zentrola_de.pdf !");
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened.front().endsWith("/manual_zentrola_de.pdf"));

    // The manual is there but no program opens PDF files: the same message, and the full
    // path with the reason beside it.
    win.w->openDocumentHook = [](const QString&) { return false; };
    std::filesystem::current_path(dir.path);
    win.key(QKeySequence("F1"));
    std::filesystem::current_path(old);
    ASSERT_EQ(win.messages.size(), 2);
    const QString full = QString::fromStdString((dir.path / "manual_zentrola_de.pdf").string());
    EXPECT_TRUE(win.messages.back().startsWith(
        "Fehler beim öffnen der Datei manual_zentrola_de.pdf ! | " + full + "\n"))
        << win.messages.back().toStdString();
    EXPECT_TRUE(win.messages.back().contains("PDF-Dateien"));
}

TEST_F(PrintTest, AboutBoxTitleFollowsTheLanguage) {
    win.start(dir.path);
    const QStringList titles{"About ZENTROLA", "Über Programm ZENTROLA", "Information ZENTROLA",
                             "O programu ZENTROLA"};
    for (int language = 0; language < 4; ++language) {
        win.w->commandLanguage(language);
        win.w->aboutBox()->setTitle(QString::fromStdString(win.cfg().texts().TextAboutTitle));
        EXPECT_EQ(win.w->aboutBox()->windowTitle(), titles[language]);
    }
    EXPECT_EQ(win.w->aboutBox()->findChild<QLabel*>("LabelRsKey")->text(), "Version - 92");
    EXPECT_EQ(win.w->aboutBox()->findChild<QLabel*>("LabelDate")->text().size(), 11);
}

TEST_F(PrintTest, ExitSavesTheSettings) {
    win.start(dir.path);
    win.type(Spin::BaseAdvance, "12");
    win.w->action("MenuExit")->trigger();
    EXPECT_FALSE(win.w->isVisible());
    EXPECT_TRUE(std::filesystem::exists(dir.path / "ZENTROLA_v92.ini"));
    Window again;
    again.start(dir.path);
    EXPECT_EQ(again.cfg().image()[Offset::BaseAdvance], 12);
}
