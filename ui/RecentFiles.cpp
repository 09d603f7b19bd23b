// The last six parameter files opened or saved, under File: each opens as Open would.
#include "ui/MainWindow.h"
#include "ui/QtText.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace zentrola {

void MainWindow::buildRecentFiles(QMenu* file) {
    for (std::size_t i = 0; i < recentActions_.size(); ++i) {
        QAction* a = makeAction("MenuRecent" + std::to_string(i + 1), QKeySequence(), nullptr);
        a->setVisible(false);
        a->setEnabled(false);
        connect(a, &QAction::triggered, this, [this, i] { commandRecent(static_cast<int>(i)); });
        file->addAction(a);
        recentActions_[i] = a;
    }
}

void MainWindow::updateRecentMenu() {
    const std::vector<std::string>& list = cfg_.settings().recentFiles;
    for (std::size_t i = 0; i < recentActions_.size(); ++i) {
        QAction* a = recentActions_[i];
        const bool shown = i < list.size();
        if (shown) {
            const QString path = QDir::toNativeSeparators(q(list[i]));
            // "&1 name.ign": a digit to choose it by, the whole path in the status bar.
            QString name = QFileInfo(path).fileName();
            name.replace(QLatin1Char('&'), QStringLiteral("&&"));
            a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
            a->setStatusTip(path);
            a->setToolTip(path);
        }
        a->setVisible(shown);
        a->setEnabled(shown);
    }
}

void MainWindow::noteRecentFile(const QString& path, FileResult result) {
    if (result == FileResult::Done || result == FileResult::Older) {
        addRecentFile(cfg_.settings().recentFiles, path.toStdString());
        updateRecentMenu();
    }
}

void MainWindow::commandRecent(int index) {
    std::vector<std::string>& list = cfg_.settings().recentFiles;
    if (index < 0 || static_cast<std::size_t>(index) >= list.size())
        return;
    const std::string path = list[static_cast<std::size_t>(index)];
    if (!QFileInfo::exists(q(path))) {
        // Moved, deleted or on a stick not plugged in: say which, and offer it no more.
        showMessage(cfg_.texts().TextFileError, QDir::toNativeSeparators(q(path)).toStdString());
        std::erase(list, path);
        updateRecentMenu();
        return;
    }
    const FileResult result = cfg_.openFile(path);
    if (result == FileResult::FileError) {
        std::erase(list, path);
        updateRecentMenu();
    } else {
        noteRecentFile(q(path), result);
    }
    updateFromConfigurator();
}

} // namespace zentrola
