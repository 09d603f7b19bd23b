// zentrola: the window. zentrola [ENGLISH|DEUTSCH|FRANCE|CESKY] [--port DEV] [--demo]
// [--quit-after-start]
#include "ui/MainWindow.h"

#include "files/Settings.h"
#include "link/LoopbackPort.h"
#include "link/QtSerialPort.h"
#include "sim/VirtualUnit.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QTimer>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kUsageExit = 2;
constexpr int kFailureExit = 70;
constexpr std::string_view kDemoDevice = zentrola::kVirtualUnitDevice;

// Whatever escapes an event handler ends the program with a message, never silently.
class Application : public QApplication {
  public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            fail(e.what());
        } catch (...) {
            fail(std::string());
        }
        return false;
    }

    [[noreturn]] static void fail(const std::string& what) {
        std::cerr << "zentrola: " << what << '\n';
        // Without a screen nobody could close the box: the line on stderr must do.
        const QString platform = QGuiApplication::platformName();
        if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
            QMessageBox::critical(nullptr, QString::fromUtf8(zentrola::kProgramName.data()),
                                  QString::fromStdString(what));
        std::exit(kFailureExit);
    }
};

struct Arguments {
    zentrola::StartOptions start;
    bool demo = false;
    bool quitAfterStart = false;
    std::string screenshot; // render the window after a few seconds of ticks into this file
    int screenshotTicks = 60;
};

std::optional<Arguments> parse(const std::vector<std::string>& args) {
    Arguments a;
    // Only the first argument can choose the language, compared exactly.
    if (!args.empty())
        a.start.languageArgument = args[0];
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--demo") {
            a.demo = true;
        } else if (arg == "--quit-after-start") {
            a.quitAfterStart = true;
        } else if (arg == "--screenshot" && i + 1 < args.size()) {
            a.screenshot = args[++i];
        } else if (arg == "--ticks" && i + 1 < args.size()) {
            a.screenshotTicks = std::atoi(args[++i].c_str());
        } else if (arg == "--port" && i + 1 < args.size()) {
            a.start.port = args[++i];
        } else if (i == 0 && zentrola::languageFromArgument(arg)) {
            continue;
        } else if (i == 0 && !arg.starts_with("--")) {
            continue; // an unknown first word leaves the language as it was
        } else {
            return std::nullopt;
        }
    }
    return a;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    Application app(argc, argv);
    // The installed theme icon, else the one built beside the program.
    QApplication::setWindowIcon(QIcon::fromTheme(
        QStringLiteral("zentrola"),
        QIcon(QCoreApplication::applicationDirPath() + QStringLiteral("/zentrola.png"))));
    std::optional<Arguments> parsed = parse(args);
    if (!parsed) {
        std::cerr << "usage: zentrola [ENGLISH|DEUTSCH|FRANCE|CESKY] [--port DEV] [--demo] "
                     "[--quit-after-start]\n";
        return kUsageExit;
    }
    try {
        zentrola::VirtualUnit unit;
        zentrola::LoopbackPort loopback(unit, std::string(kDemoDevice));
        zentrola::QtSerialPort serial;
        zentrola::SerialPort& port = parsed->demo ? static_cast<zentrola::SerialPort&>(loopback)
                                                  : static_cast<zentrola::SerialPort&>(serial);
        if (parsed->demo)
            parsed->start.port = std::string(kDemoDevice);
        parsed->start.programDir = QCoreApplication::applicationDirPath().toStdString();
        parsed->start.configDir = zentrola::configDir();

        zentrola::MainWindow window(port);
        window.start(parsed->start);
        window.show();
        if (!parsed->screenshot.empty()) {
            // Time passes by ticks alone, so the picture is the same on every machine.
            for (int i = 0; i < parsed->screenshotTicks; ++i)
                window.tick();
            QCoreApplication::processEvents();
            const bool saved = window.grab().save(QString::fromStdString(parsed->screenshot));
            window.close();
            return saved ? 0 : 1;
        }
        if (parsed->quitAfterStart) {
            QTimer::singleShot(0, &window, [&window] {
                window.repaint();
                window.close();
            });
        }
        return app.exec();
    } catch (const std::exception& e) {
        Application::fail(e.what());
    }
}
