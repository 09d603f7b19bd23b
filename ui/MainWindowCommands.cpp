// The window's handlers of its controls and the commands of its menus, keys and toolbar.
#include "ui/MainWindow.h"

#include "ui/QtText.h"

#include "ui/AboutBox.h"
#include "ui/Colours.h"
#include "ui/GraphView.h"
#include "ui/Jazyk2.h"
#include "ui/RadioGroup.h"
#include "ui/SpinField.h"

#include "core/BikeTypes.h"
#include "link/Monitor.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <tuple>

namespace zentrola {

// ---------------------------------------------------------------- handlers

// A spinner click or a field left.
void MainWindow::onControlEdited() {
    if (!started_ || closed_)
        return;
    // A field left by a click on "Programming after change": the box is still as it was, but
    // the user's act is about programming itself. Unticking it must not program.
    const auto* field = qobject_cast<SpinField*>(sender());
    const bool forProgramBox = field && field->leftBy() == Qt::MouseFocusReason &&
                               QApplication::focusWidget() == programAfterChange_;
    takeWidgets();
    cfg_.controlEdited(!forProgramBox);
    updateFromConfigurator();
}

void MainWindow::onCheckBoxReleased() {
    if (!started_ || closed_)
        return;
    takeWidgets();
    cfg_.checkBoxReleased();
    updateFromConfigurator();
}

void MainWindow::onRadio(std::size_t offset, int index) {
    if (!started_ || closed_)
        return;
    cfg_.choiceMade(offset, index);
    updateFromConfigurator();
}

void MainWindow::onCurveSelected(int index) {
    if (!started_ || closed_)
        return;
    takeWidgets();
    cfg_.curveSelected(index);
    updateFromConfigurator();
}

void MainWindow::onBikeChosen(int item) {
    if (!started_ || closed_ || item < 0)
        return;
    cfg_.bikeChanged(item);
    updateFromConfigurator();
}

void MainWindow::onEnter() {
    // Moving on runs the exit handler of the field left, if it has one.
    focusNextChild();
    takeWidgets();
    cfg_.enterPressed();
    updateFromConfigurator();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!started_ || closed_)
        return QMainWindow::eventFilter(watched, event);
    const auto type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return QMainWindow::eventFilter(watched, event);
    QWidget* focus = QApplication::focusWidget();
    if (!focus || watched != focus || focus->window() != this || QApplication::activePopupWidget())
        return QMainWindow::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::ShortcutOverride) {
        // A field's own undo must not hide the window's Undo and Redo.
        const QKeyCombination k = key->keyCombination();
        if (k == QKeyCombination(Qt::ControlModifier, Qt::Key_Z) ||
            k == QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_Z)) {
            event->ignore();
            return true;
        }
        return QMainWindow::eventFilter(watched, event);
    }
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !cfg_.refreshing()) {
        onEnter();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- commands

QString MainWindow::chooseFile(bool save, const QString& start, std::string_view filter,
                               std::string_view suffix, const QString& title) {
    if (fileDialogHook)
        return fileDialogHook(save, start);
    const bool parameters = filter.empty();
    QFileDialog dialog(this, title, start,
                       q(!parameters ? filter
                         : save      ? kSaveFilter
                                     : kOpenFilter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(q(parameters ? kFileSuffix : suffix));
    if (save)
        dialog.setFileMode(QFileDialog::AnyFile);
    else
        dialog.setFileMode(QFileDialog::ExistingFile);
    if (!start.isEmpty())
        dialog.selectFile(start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void MainWindow::commandOpen(bool exeDir) {
    const QString start = q(exeDir ? cfg_.defaultFilePath() : cfg_.lastFilePath());
    const QString path = chooseFile(false, start);
    if (path.isEmpty())
        cfg_.hideStatus();
    else
        cfg_.openFile(path.toStdString());
    updateFromConfigurator();
}

void MainWindow::commandSave(bool exeDir) {
    if (cfg_.refreshing())
        return;
    const QString start = q(exeDir ? cfg_.defaultFilePath() : cfg_.lastFilePath());
    const QString path = chooseFile(true, start);
    if (path.isEmpty())
        return;
    takeWidgets();
    cfg_.saveFile(path.toStdString());
    updateFromConfigurator();
}

void MainWindow::commandNew() {
    takeWidgets();
    cfg_.newSet();
    updateFromConfigurator();
}

void MainWindow::commandRead() {
    cfg_.read();
    updateFromConfigurator();
}

void MainWindow::commandVerify() {
    takeWidgets();
    cfg_.verify();
    updateFromConfigurator();
}

void MainWindow::commandProgram() {
    takeWidgets();
    cfg_.program();
    updateFromConfigurator();
}

void MainWindow::commandUndo() {
    takeWidgets();
    cfg_.undo();
    updateFromConfigurator();
}

void MainWindow::commandRedo() {
    takeWidgets();
    cfg_.redo();
    updateFromConfigurator();
}

void MainWindow::commandLanguage(int index) {
    takeWidgets();
    cfg_.setLanguage(index);
    applyControlTexts();
    updateFromConfigurator();
}

void MainWindow::commandCom(int index) {
    cfg_.chooseCom(index);
    updateComMenu();
    updateFromConfigurator();
}

void MainWindow::commandAdvanceMinus() {
    takeWidgets();
    cfg_.advanceMinus();
    updateFromConfigurator();
}

void MainWindow::commandAdvancePlus() {
    takeWidgets();
    cfg_.advancePlus();
    updateFromConfigurator();
}

} // namespace zentrola
