// A main window over the virtual unit in the same process, with the dialogs answered by
// the test and the settings in a scratch folder.
#pragma once

#include "ui/GraphView.h"
#include "ui/MainWindow.h"
#include "ui/RadioGroup.h"
#include "ui/SpinField.h"

#include "files/TestFiles.h"
#include "link/LoopbackPort.h"
#include "sim/VirtualUnit.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace zentrola::uitest {

// A fresh folder per test, removed afterwards.
struct Scratch {
    zentrola::test::ScratchDir dir;
    const std::filesystem::path& path = dir.path();
};

struct Window {
    VirtualUnit unit;
    LoopbackPort port{unit, "virtual-unit"};
    std::unique_ptr<MainWindow> w;
    QStringList messages;
    QStringList questions;
    Answer answer = Answer::No;
    QString chosenFile;
    QString dialogStart;
    int fileDialogs = 0;   // file dialogs the window opened
    int dialogs = 0;       // other dialogs (the differences table)
    QStringList documents; // what the system was asked to open
    double clock = 0;      // the monotonic clock the window reads, in seconds

    // Starts the window; connected: the unit answers on the port the window is told to use.
    void start(const std::filesystem::path& config, bool connected = true,
               std::optional<std::string> languageArgument = std::nullopt) {
        port.setUnplugged(!connected);
        w = std::make_unique<MainWindow>(port);
        w->messageHook = [this](const QString& text, const QString& detail) {
            messages << (detail.isEmpty() ? text : text + " | " + detail);
        };
        w->askHook = [this](const QString& q) {
            questions << q;
            return answer;
        };
        w->fileDialogHook = [this](bool, const QString& start) {
            ++fileDialogs;
            dialogStart = start;
            return chosenFile;
        };
        w->dialogHook = [this](QDialog&) { ++dialogs; };
        w->clockHook = [this] { return clock; };
        w->openDocumentHook = [this](const QString& path) {
            documents << path;
            return true;
        };
        StartOptions o;
        o.configDir = config;
        o.programDir = config.string();
        o.port = "virtual-unit";
        o.languageArgument = languageArgument;
        w->start(o);
        w->show();
        QApplication::setActiveWindow(w.get());
        w->activateWindow();
        QApplication::processEvents();
    }

    Configurator& cfg() { return w->configurator(); }
    SpinField* spin(std::size_t id) { return w->spin(id); }
    template <class T = QWidget> T* get(const std::string& name) {
        return qobject_cast<T*>(w->control(name));
    }
    // Ticks as the timer gives them, the clock going on 55 ms each.
    void ticks(int n) {
        for (int i = 0; i < n; ++i) {
            clock += 0.055;
            w->tick();
        }
    }
    // Types text into a field as a user would and presses Enter.
    void type(std::size_t id, const QString& text) {
        SpinField* f = spin(id);
        f->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        f->findChild<QLineEdit*>()->selectAll();
        QTest::keyClicks(f, text);
        QTest::keyClick(f, Qt::Key_Return);
        QApplication::processEvents();
    }
    void key(QKeySequence seq) {
        QTest::keySequence(w.get(), seq);
        QApplication::processEvents();
    }
    void pick(const std::string& group, int item) {
        auto* g = get<RadioGroup>(group);
        g->button(item)->click();
        QApplication::processEvents();
    }
};

} // namespace zentrola::uitest

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
