// zentrola: the window. zentrola [ENGLISH|DEUTSCH|FRANCE|CESKY] [FILE.ign] [--port DEV] [--demo]
// [--quit-after-start]; zentrola --view-recording FILE.csv opens the recording viewer alone.
#include "ui/LiveChart.h"
#include "ui/MainWindow.h"
#include "ui/RecordingPlot.h"
#include "ui/RecordingViewer.h"

#include "app/StartFile.h"
#include "files/Settings.h"
#include "link/LoopbackPort.h"
#include "link/NullSerialPort.h"
#include "link/SystemSerialPort.h"
#include "sim/VirtualUnit.h"

#include <QApplication>
#include <QFile>
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
    std::string screenshot;      // render the window after a few seconds of ticks into this file
    std::string chartScreenshot; // and the live chart into this one
    int screenshotTicks = 60;
    std::string recording; // --view-recording: this file in the viewer, no main window
    std::string sheetPdf;  // --sheet-pdf: read the unit, write its parameter sheet here, quit
    std::string file;      // a parameter file to open once the window is up
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
        } else if (arg == "--chart-screenshot" && i + 1 < args.size()) {
            a.chartScreenshot = args[++i];
        } else if (arg == "--view-recording" && i + 1 < args.size()) {
            a.recording = args[++i];
        } else if (arg == "--sheet-pdf" && i + 1 < args.size()) {
            a.sheetPdf = args[++i];
        } else if (arg == "--ticks" && i + 1 < args.size()) {
            a.screenshotTicks = std::atoi(args[++i].c_str());
        } else if (arg == "--port" && i + 1 < args.size()) {
            a.start.port = args[++i];
        } else if (zentrola::namesParameterFile(arg) && a.file.empty()) {
            a.file = arg;
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

bool headless() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

// The viewer alone, for scripts and file managers: the curves and the language are those the
// window had when it last closed (its settings and backup files), and nothing is written back.
int viewRecording(const Arguments& a) {
    zentrola::NullSerialPort noPort;
    zentrola::View quiet;
    zentrola::Configurator cfg(noPort, quiet);
    zentrola::StartOptions options = a.start;
    options.configDir = zentrola::configDir();
    cfg.start(options);
    zentrola::RecordingViewer viewer(cfg.image(), cfg.language());
    if (headless())
        viewer.messageHook = [](const QString& text) { std::cerr << text.toStdString() << '\n'; };
    viewer.openFile(QFile::decodeName(a.recording.c_str()));
    viewer.show();
    if (!a.screenshot.empty()) {
        // Two minutes of the run, with the cursor a third of the way in, so that the picture
        // shows single revs and the readout.
        constexpr double kShownSeconds = 120;
        zentrola::RecordingPlot* plot = viewer.plot();
        plot->showRange(plot->from(), plot->from() + kShownSeconds);
        plot->setCursorTime(plot->from() + (plot->to() - plot->from()) / 3);
        QCoreApplication::processEvents();
        return viewer.grab().save(QString::fromStdString(a.screenshot)) ? 0 : 1;
    }
    return QApplication::exec();
}

// The arguments in UTF-8. On Windows argv is in the ANSI code page, which loses the letters of
// a file name it lacks; Qt has them from the wide command line.
std::vector<std::string> utf8Arguments(std::vector<std::string> fromArgv) {
#if defined(_WIN32)
    fromArgv.clear();
    const QStringList list = QCoreApplication::arguments();
    for (qsizetype i = 1; i < list.size(); ++i)
        fromArgv.push_back(list[i].toStdString());
#endif
    return fromArgv;
}

} // namespace

int main(int argc, char* argv[]) {
    // Taken before Qt removes its own options from argv.
    const std::vector<std::string> fromArgv(argv + 1, argv + argc);
    Application app(argc, argv);
    const std::vector<std::string> args = utf8Arguments(fromArgv);
    // The installed theme icon, else the one built beside the program.
    QApplication::setWindowIcon(QIcon::fromTheme(
        QStringLiteral("zentrola"),
        QIcon(QCoreApplication::applicationDirPath() + QStringLiteral("/zentrola.png"))));
    std::optional<Arguments> parsed = parse(args);
    if (!parsed) {
        std::cerr
            << "usage: zentrola [ENGLISH|DEUTSCH|FRANCE|CESKY] [FILE.ign] [--port DEV] [--demo] "
               "[--quit-after-start] [--sheet-pdf FILE.pdf [--ticks N]]\n"
               "       zentrola --view-recording FILE.csv\n";
        return kUsageExit;
    }
    try {
        if (!parsed->recording.empty())
            return viewRecording(*parsed);
        zentrola::VirtualUnit unit;
        zentrola::LoopbackPort loopback(unit, std::string(kDemoDevice));
        zentrola::SystemSerialPort serial;
        zentrola::SerialPort& port = parsed->demo ? static_cast<zentrola::SerialPort&>(loopback)
                                                  : static_cast<zentrola::SerialPort&>(serial);
        if (parsed->demo)
            parsed->start.port = std::string(kDemoDevice);
        parsed->start.programDir = QCoreApplication::applicationDirPath().toStdString();
        parsed->start.configDir = zentrola::configDir();
        // Settings the program left in the Windows directory carry over on the first start.
        zentrola::takeOverOldSettings(*parsed->start.configDir, zentrola::oldSettingsFolders());

        zentrola::MainWindow window(port);
        // A script that drives the window by its keys reads here how each command ended.
        QFile statusLog(qEnvironmentVariable("ZENTROLA_STATUS_LOG"));
        if (!statusLog.fileName().isEmpty() &&
            statusLog.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
            window.statusHook = [&statusLog](const QString& text) {
                statusLog.write(text.toUtf8() + '\n');
                statusLog.flush();
            };
        window.start(parsed->start);
        window.show();
        if (!parsed->file.empty())
            window.commandOpenPath(QString::fromStdString(parsed->file));
        if (!parsed->screenshot.empty()) {
            if (!parsed->chartScreenshot.empty() && window.liveChartDock()->isHidden())
                window.commandLiveChart();
            // Time passes by ticks alone, so the picture is the same on every machine.
            for (int i = 0; i < parsed->screenshotTicks; ++i)
                window.tick();
            QCoreApplication::processEvents();
            bool saved = window.grab().save(QString::fromStdString(parsed->screenshot));
            if (!parsed->chartScreenshot.empty())
                saved = window.liveChartDock()->grab().save(
                            QString::fromStdString(parsed->chartScreenshot)) &&
                        saved;
            window.close();
            return saved ? 0 : 1;
        }
        if (!parsed->sheetPdf.empty()) {
            // The sheet of what the unit holds: read first, as many ticks as asked for.
            window.commandRead();
            for (int i = 0; i < parsed->screenshotTicks; ++i)
                window.tick();
            const bool written =
                window.writeParameterSheet(QFile::decodeName(parsed->sheetPdf.c_str()));
            window.close();
            return written ? 0 : 1;
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
