// The parameter sheet: the window itself in its print look, fitted to one page, on the
// default printer or into a PDF file; and the Help menu's manual and About box.
#include "ui/AboutBox.h"
#include "ui/GraphView.h"
#include "ui/Jazyk2.h"
#include "ui/MainWindow.h"
#include "ui/QtText.h"
#include "ui/RadioGroup.h"

#include "app/Manual.h"
#include "files/Utf8Path.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>
#include <QUrl>

namespace zentrola {

namespace {

// Draws the widget onto the page, as large as the page allows with its proportions kept.
bool renderFitted(QWidget* area, QPaintDevice& page) {
    QPainter painter;
    if (!painter.begin(&page))
        return false;
    const QRect target = painter.viewport();
    const double scale = std::min(static_cast<double>(target.width()) / area->width(),
                                  static_cast<double>(target.height()) / area->height());
    painter.scale(scale, scale);
    area->render(&painter, QPoint(), QRegion(),
                 QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return painter.end();
}

} // namespace

QString MainWindow::printLine() const {
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    // The long time format of some systems carries the zone ("14:03:22 CET"): the sheet
    // gives hours, minutes and seconds only, in the order the system's format has them.
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*\\(?t+\\)?")));
    return q(cfg_.texts().TextPrintDate) + locale.toString(now.date(), QLocale::ShortFormat) +
           QStringLiteral("    ") + locale.toString(now.time(), format.trimmed());
}

QString MainWindow::fallbackPdfPath() const {
    return documentsFile(QStringLiteral("zentrola-sheet-%1.pdf"));
}

bool MainWindow::printSheet(const QString& pdfPath) {
    cfg_.beginPrint(printLine().toStdString());
    // Whatever happens while printing, the window gets its normal look back.
    struct NormalLook {
        MainWindow* w;
        ~NormalLook() {
            w->cfg_.endPrint();
            w->updateFromConfigurator();
        }
    } normalLook{this};
    updateFromConfigurator();
    // No number field may show a caret or a selection on paper.
    if (QRadioButton* b = input1_->button(std::max(0, input1_->selected())))
        b->setFocus(Qt::OtherFocusReason);
    QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    graph_->draw(1);

    // The groups, all of them, also where the window scrolls them.
    QWidget* area = form();
    if (!pdfPath.isEmpty()) {
        // A PDF writer keeps text as text and lines as lines.
        QPdfWriter pdf(pdfPath);
        pdf.setCreator(q(kAboutProgram));
        pdf.setTitle(windowTitle().trimmed());
        pdf.setResolution(300);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(area->width() > area->height() ? QPageLayout::Landscape
                                                              : QPageLayout::Portrait);
        pdf.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        return renderFitted(area, pdf);
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(area->width() > area->height() ? QPageLayout::Landscape
                                                              : QPageLayout::Portrait);
    return renderFitted(area, printer);
}

void MainWindow::commandPrint() {
    const QString forced = qEnvironmentVariable("ZENTROLA_PRINT_PDF");
    const bool noPrinter = QPrinterInfo::defaultPrinter().isNull();
    const QString pdf = !forced.isEmpty() ? forced : noPrinter ? fallbackPdfPath() : QString();
    const Language language = languageFromIndex(cfg_.language());
    if (!printSheet(pdf)) {
        if (!pdf.isEmpty()) {
            showMessage(cfg_.texts().TextFileError, pdf.toStdString());
        } else {
            // A printer that fails is no file error: say what failed and where.
            const QString printer = QPrinterInfo::defaultPrinter().printerName();
            showMessage(q(windowtexts::PrintFailed[language]).toStdString(),
                        q(windowtexts::PrintFailedDetail[language]).arg(printer).toStdString());
        }
        return;
    }
    statusBar()->showMessage(
        pdf.isEmpty() ? q(windowtexts::SentToPrinter[language])
                            .arg(QPrinterInfo::defaultPrinter().printerName())
                      : q(windowtexts::SavedAsPdf[language]).arg(QDir::toNativeSeparators(pdf)));
}

void MainWindow::commandExportPdf() {
    QString path = chooseFile(true, fallbackPdfPath(), kPdfFilter, kPdfSuffix);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    if (!printSheet(path)) {
        showMessage(cfg_.texts().TextFileError, path.toStdString());
        return;
    }
    statusBar()->showMessage(q(windowtexts::SavedAsPdf[languageFromIndex(cfg_.language())])
                                 .arg(QDir::toNativeSeparators(path)));
}

void MainWindow::commandContents() {
    const std::string& name = cfg_.texts().TextManualFile;
    // Folder names are UTF-8 in the program's strings, whatever the system's own encoding.
    const auto found =
        findManual(name, pathFromUtf8(QDir::currentPath().toStdString()),
                   pathFromUtf8(QCoreApplication::applicationDirPath().toStdString()));
    if (!found) {
        showMessage(cfg_.texts().TextManualError, {});
        return;
    }
    const QString path = QString::fromStdString(utf8FromPath(*found));
    const bool opened = openDocumentHook ? openDocumentHook(path)
                                         : QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    // The manual is there but nothing opens it: say where it is and why it did not open.
    if (!opened)
        showMessage(cfg_.texts().TextManualError,
                    q(windowtexts::NoPdfViewer[languageFromIndex(cfg_.language())])
                        .arg(QDir::toNativeSeparators(path))
                        .toStdString());
}

void MainWindow::commandAbout() {
    about_->showFor(q(cfg_.texts().TextAboutTitle));
}

} // namespace zentrola
