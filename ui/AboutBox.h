// The About box: the program, its licence, the build's date and time and the version, on
// white; its title follows the language each time it is shown.
#pragma once

#include <QDialog>

class QLabel;

namespace zentrola {

class AboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit AboutBox(QWidget* parent = nullptr);
    // The title of the language; then shown modally until OK or the close box.
    void showFor(const QString& title);
    // For tests: the title is set without showing the box.
    void setTitle(const QString& title) { setWindowTitle(title); }
};

} // namespace zentrola
