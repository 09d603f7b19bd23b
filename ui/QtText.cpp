#include "ui/QtText.h"

#include <QDateTime>
#include <QDir>
#include <QStandardPaths>

namespace zentrola {

QString documentsFile(const QString& pattern) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    return QDir(folder).filePath(pattern.arg(stamp));
}

} // namespace zentrola
