// Qt's own texts in the window's language: the buttons of message boxes and questions
// ("Yes", "No", "Cancel", "OK") and the file dialogs, from the translations Qt ships.
#pragma once

#include <QString>

#include <memory>

class QTranslator;

namespace zentrola {

class QtTranslations {
  public:
    QtTranslations();
    ~QtTranslations();
    // Switches Qt's texts to the language of the index (0 English .. 3 Czech); English, or a
    // language whose translation is not installed, leaves Qt's own English.
    void use(int languageIndex);
    // The locale name of the translation in use; empty for Qt's English.
    const QString& loaded() const { return loaded_; }

  private:
    std::unique_ptr<QTranslator> translator_;
    QString loaded_;
};

} // namespace zentrola
