// What is in the unit and how it differs from the window or a file, and what the engine did
// on a run: the differences table, the not-programmed marker and recording live data.
#include "ui/Jazyk2.h"
#include "ui/MainWindow.h"
#include "ui/QtText.h"

#include "core/Differences.h"
#include "link/NullSerialPort.h"

#include <QAction>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zentrola {

namespace {

// A program of its own that only opens the file, as Open would in a fresh start: a file
// without some keys must not take them from the window.
class QuietView : public View {
  public:
    std::string message;
    void showMessage(const std::string& text, const std::string&) override {
        if (message.empty())
            message = text;
    }
};

} // namespace

DifferenceFormat MainWindow::differenceFormat() const {
    thousands_ = QLocale().groupSeparator().toStdString();
    return {languageFromIndex(cfg_.language()), thousands_};
}

void MainWindow::updateNotProgrammed() {
    const UnitState state = cfg_.unitState();
    bool differs = state == UnitState::Unsettled;
    if (state == UnitState::Known) {
        const KnownUnit unit = *cfg_.knownUnit();
        // Compared again only when either side changed: the idle tick stays cheap.
        if (!comparedWindow_ || *comparedWindow_ != cfg_.image() || !comparedUnit_ ||
            *comparedUnit_ != unit.image) {
            comparedWindow_ = cfg_.image();
            comparedUnit_ = unit.image;
            windowDiffers_ = !sameSettings(cfg_.image(), unit.image);
        }
        differs = windowDiffers_;
    }
    if (notProgrammed_->isHidden() == differs)
        notProgrammed_->setVisible(differs);
    // Where "Not programmed" would stand: a unit answers, and nothing says what it holds.
    const bool unknown = state == UnitState::NotKnown;
    if (notKnown_->isHidden() == unknown)
        notKnown_->setVisible(unknown);
}

// Beside the marker above, and of the same kind: a claim the window makes about its settings.
void MainWindow::updateNotSaved() {
    const bool differs = cfg_.notSaved();
    if (notSaved_->isHidden() == differs)
        notSaved_->setVisible(differs);
}

void MainWindow::showDifferenceTable(const QString& title, const QString& other,
                                     const std::vector<Difference>* list, const QString& note) {
    const Language language = languageFromIndex(cfg_.language());
    QDialog dialog(this);
    dialog.setObjectName("DialogDifferences");
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* noteLabel = new QLabel(&dialog);
    noteLabel->setObjectName("LabelDifferencesNote");
    noteLabel->setWordWrap(true);
    layout->addWidget(noteLabel);
    auto* table = new QTableWidget(&dialog);
    table->setObjectName("TableDifferences");
    table->setColumnCount(3);
    table->setHorizontalHeaderLabels(
        {q(windowtexts::SettingColumn[language]), q(windowtexts::WindowColumn[language]), other});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->setAccessibleName(title);
    if (!list) {
        noteLabel->setText(note.isEmpty() ? q(windowtexts::NoneConfirmed[language]) : note);
        table->setVisible(false);
    } else if (list->empty()) {
        noteLabel->setText(note.isEmpty() ? q(windowtexts::NoDifferences[language]) : note);
        table->setVisible(false);
    } else {
        noteLabel->setText(note);
        noteLabel->setVisible(!note.isEmpty());
        table->setRowCount(static_cast<int>(list->size()));
        for (int row = 0; row < static_cast<int>(list->size()); ++row) {
            const Difference& d = (*list)[static_cast<std::size_t>(row)];
            table->setItem(row, 0, new QTableWidgetItem(q(d.name)));
            for (auto [column, value] : {std::pair{1, &d.first}, std::pair{2, &d.second}}) {
                auto* item = new QTableWidgetItem(q(*value));
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                table->setItem(row, column, item);
            }
        }
        table->resizeColumnsToContents();
    }
    layout->addWidget(table, 1);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(q(windowtexts::Close[language]), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(640, list && !list->empty() ? 480 : 160);
    if (dialogHook)
        dialogHook(dialog);
    else
        dialog.exec();
}

void MainWindow::commandDifferences() {
    const Language language = languageFromIndex(cfg_.language());
    const std::optional<KnownUnit> unit = cfg_.knownUnit();
    const QString title = q(windowtexts::DifferencesTitle[language]);
    const QString column = q(windowtexts::UnitColumn[language]);
    if (!unit) {
        showDifferenceTable(title, column, nullptr,
                            cfg_.unitState() == UnitState::Unsettled
                                ? q(texts::ProgramUnfinished[language])
                                : QString());
        return;
    }
    const std::vector<Difference> list = differences(cfg_.image(), unit->image, differenceFormat());
    QString note;
    if (unit->source == UnitSource::FailedVerify) {
        // Not the settings a verify confirmed: say where they come from.
        note = q(list.empty() ? windowtexts::FailedVerifyUnshown[language]
                              : windowtexts::FailedVerifyNote[language]);
    }
    showDifferenceTable(title, column, &list, note);
}

void MainWindow::commandCompareFile() {
    // Titled with its command: a dialog that says "Open" would promise to replace the window.
    QString title = action("MenuCompareFile")->text();
    title.remove(QLatin1Char('&'));
    if (title.endsWith(QStringLiteral("...")))
        title.chop(3);
    const QString path = chooseFile(false, q(cfg_.lastFilePath()), {}, {}, title);
    if (path.isEmpty())
        return;
    NullSerialPort noPort;
    QuietView quiet;
    Configurator fresh(noPort, quiet);
    fresh.start({});
    const FileResult result = fresh.openFile(path.toStdString());
    if (result == FileResult::FileError || result == FileResult::NotAFile) {
        // The same message Open would give, in the window's language.
        showMessage(result == FileResult::FileError ? cfg_.texts().TextFileError
                                                    : cfg_.texts().TextFileMismatch,
                    {});
        return;
    }
    const Language language = languageFromIndex(cfg_.language());
    const std::vector<Difference> list =
        differences(cfg_.image(), fresh.image(), differenceFormat());
    showDifferenceTable(
        q(windowtexts::FileDifferencesTitle[language]).arg(QFileInfo(path).fileName()),
        q(windowtexts::FileColumn[language]), &list);
}

void MainWindow::commandRecord() {
    QAction* item = action("MenuRecord");
    if (recorder_.recording()) {
        if (!recorder_.stop())
            showMessage(cfg_.texts().TextFileError, recorder_.path());
        item->setChecked(false);
        updateRecording();
        return;
    }
    const QString start = documentsFile(QStringLiteral("zentrola-live-%1.csv"));
    QString path = chooseFile(true, start, kCsvFilter, kCsvSuffix);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    if (path.isEmpty() || !recorder_.start(path.toStdString())) {
        if (!path.isEmpty())
            showMessage(cfg_.texts().TextFileError, path.toStdString());
        item->setChecked(false);
        updateRecording();
        return;
    }
    item->setChecked(true);
    updateRecording();
}

void MainWindow::updateRecording() {
    const bool on = recorder_.recording();
    if (on) {
        const QString text = q(windowtexts::Recording[languageFromIndex(cfg_.language())])
                                 .arg(static_cast<qulonglong>(recorder_.rows()));
        if (recording_->text() != text)
            recording_->setText(text);
    }
    if (recording_->isHidden() == on)
        recording_->setVisible(on);
}

} // namespace zentrola
