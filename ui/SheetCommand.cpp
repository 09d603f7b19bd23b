// The parameter sheet command: the mechanic's lines asked for in a small dialog and kept for
// the next sheet, then the sheet on the default printer or into a PDF file.
#include "ui/Jazyk2.h"
#include "ui/MainWindow.h"
#include "ui/QtText.h"
#include "ui/SheetPage.h"

#include "core/SheetTexts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace zentrola {

namespace {

namespace sheet = texts::sheet;

// How the dialog was left.
enum SheetChoice { Cancelled = 0, ToPrinter = 1, ToPdf = 2 };

// Paper as the system's locale has it: Letter where the US measures, A4 elsewhere.
QPageSize localPaper() {
    return QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize(QPageSize::Letter)
                                                                      : QPageSize(QPageSize::A4);
}

} // namespace

ParameterSheet MainWindow::parameterSheet() {
    const Language language = languageFromIndex(cfg_.language());
    // The print line without its caption: the date and the time in the system's formats.
    const QString printed = printLine().mid(q(cfg_.texts().TextPrintDate).size());
    return makeSheet(cfg_.image(), sheetFacts(cfg_, cfg_.settings().sheet, printed.toStdString()),
                     language, QLocale().groupSeparator().toStdString());
}

// The sheet shows the settings the program holds: a value typed into a field counts once the
// field has taken it (Enter, an arrow or the next edit); printing itself changes nothing.
bool MainWindow::writeParameterSheet(const QString& pdfPath) {
    const ParameterSheet s = parameterSheet();
    if (!pdfPath.isEmpty())
        return writeSheetPdf(s, pdfPath, localPaper());
    QPrinter printer(QPrinter::HighResolution);
    return printSheetOn(s, printer);
}

void MainWindow::commandParameterSheet() {
    const Language language = languageFromIndex(cfg_.language());
    auto tr = [language](const TextRow& row) { return q(row[language]); };
    SheetLines& lines = cfg_.settings().sheet;

    QDialog dialog(this);
    dialog.setObjectName("DialogSheet");
    dialog.setWindowTitle(tr(sheet::Title));
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    auto* customer = new QLineEdit(q(lines.customer), &dialog);
    customer->setObjectName("EditSheetCustomer");
    auto* bike = new QLineEdit(q(lines.bike), &dialog);
    bike->setObjectName("EditSheetBike");
    auto* notes = new QPlainTextEdit(q(lines.notes), &dialog);
    notes->setObjectName("EditSheetNotes");
    notes->setTabChangesFocus(true);
    notes->setFixedHeight(notes->fontMetrics().lineSpacing() * 5 + 12);
    for (auto [caption, field] : {std::pair<const TextRow*, QWidget*>{&sheet::Customer, customer},
                                  {&sheet::Bike, bike},
                                  {&sheet::Notes, notes}}) {
        auto* label = new QLabel(tr(*caption), &dialog);
        label->setBuddy(field);
        field->setAccessibleName(tr(*caption));
        form->addRow(label, field);
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* print = buttons->addButton(tr(sheet::PrintButton), QDialogButtonBox::AcceptRole);
    print->setObjectName("ButtonSheetPrint");
    print->setDefault(true);
    QPushButton* pdf = buttons->addButton(tr(sheet::PdfButton), QDialogButtonBox::ActionRole);
    pdf->setObjectName("ButtonSheetPdf");
    QPushButton* cancel = buttons->addButton(tr(sheet::Cancel), QDialogButtonBox::RejectRole);
    cancel->setObjectName("ButtonSheetCancel");
    connect(print, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(ToPrinter); });
    connect(pdf, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(ToPdf); });
    connect(cancel, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(Cancelled); });
    layout->addWidget(buttons);
    dialog.resize(520, dialog.sizeHint().height());
    customer->setFocus();
    if (dialogHook)
        dialogHook(dialog);
    else
        dialog.exec();
    const int choice = dialog.result();
    if (choice != ToPrinter && choice != ToPdf)
        return;
    lines = {customer->text().trimmed().toStdString(), bike->text().trimmed().toStdString(),
             notes->toPlainText().trimmed().toStdString()};

    QString path;
    if (choice == ToPdf) {
        path = chooseFile(true, documentsFile(QStringLiteral("zentrola-parameters-%1.pdf")),
                          kPdfFilter, kPdfSuffix);
        if (path.isEmpty())
            return;
        if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
            path += QStringLiteral(".pdf");
    } else {
        // As Print does: the file the environment names, or a PDF when there is no printer.
        const QString forced = qEnvironmentVariable("ZENTROLA_PRINT_PDF");
        if (!forced.isEmpty())
            path = forced;
        else if (QPrinterInfo::defaultPrinter().isNull())
            path = documentsFile(QStringLiteral("zentrola-parameters-%1.pdf"));
    }
    if (!writeParameterSheet(path)) {
        if (!path.isEmpty())
            showMessage(cfg_.texts().TextFileError, path.toStdString());
        else
            showMessage(q(windowtexts::PrintFailed[language]).toStdString(),
                        q(windowtexts::PrintFailedDetail[language])
                            .arg(QPrinterInfo::defaultPrinter().printerName())
                            .toStdString());
        return;
    }
    statusBar()->showMessage(
        path.isEmpty() ? q(windowtexts::SentToPrinter[language])
                             .arg(QPrinterInfo::defaultPrinter().printerName())
                       : q(windowtexts::SavedAsPdf[language]).arg(QDir::toNativeSeparators(path)));
}

} // namespace zentrola
