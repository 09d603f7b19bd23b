#include "ui/AboutBox.h"

#include "ui/Jazyk2.h"
#include "ui/QtText.h"

#include "core/ParameterImage.h"
#include "files/ParameterFile.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zentrola {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("FormAbout");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 16);
    layout->setSpacing(4);
    auto* logo = new QLabel(this);
    logo->setObjectName("Image1");
    logo->setPixmap(QApplication::windowIcon().pixmap(96, 96));
    logo->setAccessibleName(q(kAboutProgram));
    layout->addWidget(logo);
    layout->addSpacing(12);

    auto line = [&](const char* name, std::string_view text, int pixels) {
        auto* l = new QLabel(q(text), this);
        l->setObjectName(name);
        QFont f = l->font();
        f.setPixelSize(pixels);
        l->setFont(f);
        layout->addWidget(l);
        return l;
    };
    line("Label2", kAboutProgram, 16)->setStyleSheet("font-weight: bold");
    line("Label3", kAboutLicence1, 13);
    line("Label4", kAboutLicence2, 13);
    line("Label5", kAboutLicence3, 13);
    line("Label9", kAboutWarranty, 13);
    layout->addSpacing(16);
    line("LabelDate", buildDate(), 11);
    line("LabelTime", buildTime(), 11);
    line("LabelRsKey", std::string(kAboutVersion) + std::to_string(kVersion), 11);

    auto* ok = new QPushButton(q(kAboutOk), this);
    ok->setObjectName("LabelExit");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    layout->addLayout(row);
}

void AboutBox::showFor(const QString& title) {
    setWindowTitle(title);
    exec();
}

} // namespace zentrola
