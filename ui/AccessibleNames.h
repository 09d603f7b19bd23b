// The names a screen reader announces for controls without a caption of their own. They
// are the same in every language, so that scripts and tests can find the controls.
#pragma once

#include <QString>

namespace zentrola::accessible {

inline QString rpmRow(int row) {
    return QStringLiteral("RPM %1").arg(row);
}
inline QString advanceRow(int row) {
    return QStringLiteral("Advance %1").arg(row);
}
inline const QString kGraph = QStringLiteral("Advance curve graph");
inline const QString kTestRpm = QStringLiteral("Test rpm");
inline const QString kBikeList = QStringLiteral("Bike type");
inline const QString kLobes = QStringLiteral("Ignitions per revolution");
inline const QString kCurveLetter = QStringLiteral("Shown curve");
inline const QString kStatus = QStringLiteral("Status");
inline const QString kTransferGauge = QStringLiteral("Transfer progress");
inline const QString kRpmGauge = QStringLiteral("Engine speed of the limiter");

} // namespace zentrola::accessible
