#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <array>

namespace zentrola {

namespace {
// Qt's name of each of the four languages; Czech is "cs" there.
constexpr std::array<const char*, 4> kQtLanguage{"", "de", "fr", "cs"};
} // namespace

QtTranslations::QtTranslations() = default;

QtTranslations::~QtTranslations() {
    if (translator_)
        QCoreApplication::removeTranslator(translator_.get());
}

void QtTranslations::use(int languageIndex) {
    const QString wanted =
        languageIndex >= 0 && languageIndex < static_cast<int>(kQtLanguage.size())
            ? QString::fromLatin1(kQtLanguage[static_cast<std::size_t>(languageIndex)])
            : QString();
    if (wanted == loaded_)
        return;
    if (translator_) {
        QCoreApplication::removeTranslator(translator_.get());
        translator_.reset();
    }
    loaded_.clear();
    if (wanted.isEmpty())
        return;
    auto translator = std::make_unique<QTranslator>();
    // The distribution's folder first, then one beside the program (a Windows install).
    const QString name = QStringLiteral("qtbase_") + wanted;
    if (!translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        !translator->load(name,
                          QCoreApplication::applicationDirPath() + QStringLiteral("/translations")))
        return;
    QCoreApplication::installTranslator(translator.get());
    translator_ = std::move(translator);
    loaded_ = wanted;
}

} // namespace zentrola
