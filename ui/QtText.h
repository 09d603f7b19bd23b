// The program's texts are UTF-8 standard strings; the widgets take QStrings.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace zentrola {

inline QString q(const std::string& s) {
    return QString::fromStdString(s);
}

inline QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A new file in the user's documents folder (the home folder when there is none), named
// from a pattern with %1 for the date and time, so that no earlier file is overwritten.
QString documentsFile(const QString& pattern);

} // namespace zentrola
