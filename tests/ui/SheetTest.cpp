// The parameter sheet on paper, the recent files under File and the other desktops' Redo keys.
#include "WindowFixture.h"

#include "ui/SheetPage.h"

#include "core/SheetTexts.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>

#include <fstream>

using namespace zentrola;
using namespace zentrola::uitest;

namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString path(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

// The text pdftotext finds inside a rectangle of the page, in points.
QString textIn(const std::filesystem::path& pdf, const QRectF& r) {
    auto n = [](double v) { return QString::number(static_cast<int>(v)); };
    return run("pdftotext", {"-layout", "-r", "72", "-x", n(r.left() - 2), "-y", n(r.top() - 2),
                             "-W", n(r.width() + 4), "-H", n(r.height() + 4), path(pdf), "-"});
}

QString grouped(int value) {
    QLocale locale;
    locale.setNumberOptions({});
    return locale.toString(value);
}

// Lines of the text, blanks between words folded into one.
QStringList lines(const QString& text) {
    QStringList out;
    for (QString line : text.split('\n')) {
        line = line.simplified();
        if (!line.isEmpty())
            out << line;
    }
    return out;
}

struct SheetTest : ::testing::Test {
    Scratch dir;
    Window win;

    // Keeps the sheets for a look when ZENTROLA_SHEET_KEEP names a folder.
    void keep(const std::filesystem::path& pdf) {
        const QString folder = qEnvironmentVariable("ZENTROLA_SHEET_KEEP");
        if (!folder.isEmpty())
            std::filesystem::copy_file(pdf, folder.toStdString() + "/" + pdf.filename().string(),
                                       std::filesystem::copy_options::overwrite_existing);
    }
};

} // namespace

TEST_F(SheetTest, SheetOfTheUnitsSettingsHoldsTheImagesNumbersInEveryLanguage) {
    win.start(dir.path);
    win.key(QKeySequence("F7"));
    win.ticks(120);
    ASSERT_TRUE(win.cfg().confirmedUnitImage()) << "the virtual unit was read";
    const ParameterImage& image = win.cfg().image();
    const std::array<QString, 4> limiter{"Limiter [rpm]", "Begrenzer [rpm]", "Limitateur [rpm]",
                                         "Omezovač [rpm]"};
    const std::array<QString, 4> holds{"yes, confirmed", "ja, vom letzten", "oui, confirmé",
                                       "ano, potvrzeno"};
    const std::array<const char*, 4> names{"en", "de", "fr", "cz"};
    for (int language = 0; language < 4; ++language) {
        win.w->commandLanguage(language);
        const auto pdf = dir.path / ("sheet-" + std::string(names[language]) + ".pdf");
        SheetRegions at;
        ASSERT_TRUE(
            writeSheetPdf(win.w->parameterSheet(), path(pdf), QPageSize(QPageSize::A4), &at));
        keep(pdf);

        // Each curve's table: point, rpm and advance of every point in use, nothing more.
        for (const Curve c : {Curve::A, Curve::B}) {
            const QStringList table = lines(textIn(pdf, c == Curve::A ? at.curveA : at.curveB));
            const int n = image.at(c, &CurveOffsets::points);
            QStringList expected;
            for (int k = 0; k < n; ++k) {
                const auto point = static_cast<std::size_t>(k);
                expected << QStringLiteral("%1 %2 %3")
                                .arg(k + 1)
                                .arg(grouped(image.rpm(c, point) * 100))
                                .arg(image.advance(c, point));
            }
            // Below the name and the headings, the rows that start with a number.
            EXPECT_EQ(table.filter(QRegularExpression("^\\d")), expected)
                << table.join('\n').toStdString();
        }
        // The settings: per-curve ones with both curves' values, the others once.
        const QStringList settings = lines(textIn(pdf, at.settings));
        const QString all = settings.join('\n');
        EXPECT_TRUE(settings.contains(QStringLiteral("%1 %2 %3")
                                          .arg(limiter[language])
                                          .arg(grouped(image[Offset::LimiterA] * 100))
                                          .arg(grouped(image[Offset::LimiterB] * 100))))
            << all.toStdString();
        for (const QString& expected : {QStringLiteral("PWM [%] %1").arg(image[Offset::Pwm] * 10),
                                        QStringLiteral("Clutch master time [ms] %1 %2")
                                            .arg(image[Offset::ClutchTimeA] * 5)
                                            .arg(image[Offset::ClutchTimeB] * 5),
                                        QStringLiteral("Clutch master pause [ms] %1 %2")
                                            .arg(grouped(image[Offset::ClutchPauseA] * 100))
                                            .arg(grouped(image[Offset::ClutchPauseB] * 100))})
            EXPECT_TRUE(settings.contains(expected)) << expected.toStdString() << "\n"
                                                     << all.toStdString();
        EXPECT_TRUE(all.contains(QString::number(image[Offset::RpmCorrection] - 100)));
        EXPECT_TRUE(all.contains(grouped(image[Offset::TestRpm] * 100)));
        // The head: the unit is known and holds these settings; nothing live on paper.
        const QString head = textIn(pdf, at.head);
        EXPECT_TRUE(head.contains(holds[language])) << head.toStdString();
        EXPECT_TRUE(head.contains(QString::fromStdString(win.cfg().unitTexts().name)));
        const QString page = run("pdftotext", {"-layout", path(pdf), "-"});
        EXPECT_FALSE(page.contains("COM")) << page.toStdString();
        EXPECT_FALSE(page.contains(QString::fromStdString(win.cfg().texts().TextProgramCount)));
    }
}

TEST_F(SheetTest, OnePageOfVectorsThatFitsA4AndLetter) {
    win.start(dir.path, false);
    ParameterImage& image = win.cfg().image();
    image[Offset::PointsA] = 15;
    image[Offset::PointsB] = 15;
    win.cfg().settings().sheet = {"Customer with a long name, a company and a street address, "
                                  "somewhere in a town",
                                  "Motorcycle", "Line\nLine\nLine\nLine\nLine\nLine\nLine\nLine"};
    struct Case {
        QPageSize::PageSizeId paper;
        const char* size;
    };
    for (const Case& c : {Case{QPageSize::A4, "Page size: +595(\\.\\d+)? x 842 pts"},
                          Case{QPageSize::Letter, "Page size: +612 x 792 pts"}}) {
        const auto pdf = dir.path / ("fit-" + std::to_string(c.paper) + ".pdf");
        SheetRegions at;
        ASSERT_TRUE(writeSheetPdf(win.w->parameterSheet(), path(pdf), QPageSize(c.paper), &at));
        keep(pdf);
        const QString info = run("pdfinfo", {path(pdf)});
        EXPECT_TRUE(info.contains(QRegularExpression("Pages: +1\\b"))) << info.toStdString();
        EXPECT_TRUE(info.contains(QRegularExpression(c.size))) << info.toStdString();
        // Within the page's margins of 10 mm (28.35 points), and filling its width.
        const QRectF page = QPageSize(c.paper).rect(QPageSize::Point);
        const QRectF inside = page.adjusted(28, 28, -28, -28);
        EXPECT_TRUE(inside.contains(at.all)) << c.size;
        EXPECT_GT(at.all.width(), inside.width() * 0.8) << c.size;
        // Nothing drawn as a picture, and the fonts go with the file.
        EXPECT_EQ(lines(run("pdfimages", {"-list", path(pdf)})).size(), 2) << "headings only";
        const QStringList fonts = lines(run("pdffonts", {path(pdf)})).mid(2);
        ASSERT_FALSE(fonts.isEmpty());
        for (const QString& f : fonts)
            EXPECT_TRUE(f.contains(" yes ")) << f.toStdString();
    }
}

TEST_F(SheetTest, TheMechanicsLinesAreAskedForPrintedAndKeptForTheNextSheet) {
    win.start(dir.path, false);
    const auto pdf = dir.path / "sheet.pdf";
    qputenv("ZENTROLA_PRINT_PDF", QByteArray::fromStdString(pdf.string()));
    QString shownCustomer;
    win.w->dialogHook = [&](QDialog& d) {
        auto* customer = d.findChild<QLineEdit*>("EditSheetCustomer");
        shownCustomer = customer->text();
        customer->clear();
        customer->insert(QString::fromUtf8("Moto Dvořák"));
        QTest::keyClicks(d.findChild<QLineEdit*>("EditSheetBike"), "Husaberg FE 501");
        d.findChild<QPlainTextEdit*>("EditSheetNotes")->setPlainText("Plug gap 0.7\nNew pick-up");
        QTest::mouseClick(d.findChild<QPushButton*>("ButtonSheetPrint"), Qt::LeftButton);
    };
    win.key(QKeySequence("Ctrl+Shift+P"));
    qunsetenv("ZENTROLA_PRINT_PDF");
    ASSERT_TRUE(std::filesystem::exists(pdf));
    const QString text = run("pdftotext", {"-layout", path(pdf), "-"});
    for (const char* expected : {"Moto Dvořák", "Husaberg FE 501", "Plug gap 0.7", "New pick-up",
                                 "not saved", "Parameter sheet"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_TRUE(shownCustomer.isEmpty());

    // Cancelled: no sheet, and the lines stay as they were.
    std::filesystem::remove(pdf);
    qputenv("ZENTROLA_PRINT_PDF", QByteArray::fromStdString(pdf.string()));
    win.w->dialogHook = [](QDialog& d) {
        d.findChild<QLineEdit*>("EditSheetCustomer")->setText("Someone else");
        QTest::mouseClick(d.findChild<QPushButton*>("ButtonSheetCancel"), Qt::LeftButton);
    };
    win.w->action("MenuParameterSheet")->trigger();
    qunsetenv("ZENTROLA_PRINT_PDF");
    EXPECT_FALSE(std::filesystem::exists(pdf));
    win.w->close();

    Window again;
    again.start(dir.path, false);
    QStringList shown;
    again.w->dialogHook = [&](QDialog& d) {
        shown << d.findChild<QLineEdit*>("EditSheetCustomer")->text()
              << d.findChild<QLineEdit*>("EditSheetBike")->text()
              << d.findChild<QPlainTextEdit*>("EditSheetNotes")->toPlainText();
    };
    again.w->commandParameterSheet();
    EXPECT_EQ(shown, (QStringList{"Moto Dvořák", "Husaberg FE 501", "Plug gap 0.7\nNew pick-up"}));
}

TEST_F(SheetTest, RedoAlsoOnTheKeysOfOtherDesktopPrograms) {
    win.start(dir.path, false);
    const int before = win.cfg().image()[Offset::BaseAdvance];
    win.type(Spin::BaseAdvance, QString::number(before - 3));
    const int edited = win.cfg().image()[Offset::BaseAdvance];
    ASSERT_NE(edited, before);
    for (const char* redo : {"Ctrl+Y", "Ctrl+Shift+Z", "Ctrl+Alt+Z"}) {
        // With the focus in a number field, whose own undo must not take the keys.
        win.spin(Spin::BaseAdvance)->setFocus();
        win.key(QKeySequence("Ctrl+Z"));
        ASSERT_EQ(win.cfg().image()[Offset::BaseAdvance], before) << redo;
        win.key(QKeySequence(redo));
        EXPECT_EQ(win.cfg().image()[Offset::BaseAdvance], edited) << redo;
        EXPECT_EQ(win.spin(Spin::BaseAdvance)->findChild<QLineEdit*>()->text(),
                  QString::number(edited))
            << redo;
    }
}

TEST_F(SheetTest, RecentFilesOfferTheLastSixNewestFirst) {
    win.start(dir.path, false);
    for (int i = 1; i <= 7; ++i) {
        win.type(Spin::BaseAdvance, QString::number(i));
        win.chosenFile = path(dir.path / ("bike" + std::to_string(i) + ".ign"));
        win.key(QKeySequence("F2"));
    }
    auto offered = [&](Window& w) {
        QStringList texts;
        for (int i = 1; i <= 7; ++i)
            if (QAction* a = w.w->action("MenuRecent" + std::to_string(i)); a && a->isVisible())
                texts << a->text();
        return texts;
    };
    EXPECT_EQ(offered(win), (QStringList{"&1 bike7.ign", "&2 bike6.ign", "&3 bike5.ign",
                                         "&4 bike4.ign", "&5 bike3.ign", "&6 bike2.ign"}));
    win.w->action("MenuRecent4")->trigger();
    EXPECT_EQ(win.cfg().image()[Offset::BaseAdvance], 4);
    EXPECT_TRUE(QString::fromStdString(win.cfg().fileName()).endsWith("bike4.ign"));
    EXPECT_EQ(offered(win).front(), "&1 bike4.ign") << "opened: to the head";
    win.w->close();

    // The next start offers the same; a file gone since is said so and offered no more.
    std::filesystem::remove(dir.path / "bike6.ign");
    Window again;
    again.start(dir.path, false);
    EXPECT_EQ(offered(again), (QStringList{"&1 bike4.ign", "&2 bike7.ign", "&3 bike6.ign",
                                           "&4 bike5.ign", "&5 bike3.ign", "&6 bike2.ign"}));
    const int shown = again.cfg().image()[Offset::BaseAdvance];
    const qsizetype before = again.messages.size(); // the port of an unplugged unit said so
    again.w->action("MenuRecent3")->trigger();
    ASSERT_EQ(again.messages.size(), before + 1);
    EXPECT_TRUE(again.messages.back().startsWith("Open file error! | "));
    EXPECT_TRUE(again.messages.back().endsWith("bike6.ign"));
    EXPECT_EQ(again.cfg().image()[Offset::BaseAdvance], shown);
    EXPECT_EQ(offered(again), (QStringList{"&1 bike4.ign", "&2 bike7.ign", "&3 bike5.ign",
                                           "&4 bike3.ign", "&5 bike2.ign"}));
}
