#include "cli/Cli.h"

#include "app/Configurator.h"
#include "app/LiveSample.h"
#include "app/MonitorLines.h"
#include "app/Recording.h"
#include "cli/CliView.h"
#include "cli/CommandLine.h"
#include "core/Differences.h"
#include "core/Jazyk1.h"
#include "files/AtomicFile.h"
#include "link/NullSerialPort.h"

#include <algorithm>
#include <array>
#include <exception>
#include <iomanip>

namespace zentrola {

namespace {

constexpr std::size_t kNumbersPerLine = 10;
constexpr int kNumberWidth = 5;

enum class Outcome { Done, TimedOut, NoFrames, Interrupted };

// One run of the Configurator, as the window would hold it.
class Session {
  public:
    Session(SerialPort& port, std::ostream& err, TickDriver& driver)
        : view(err), c(port, view), port_(port), driver_(driver) {}

    // False when the port did not open; the Configurator has shown why.
    bool start(const CliRequest& r) {
        StartOptions options;
        if (r.language)
            options.languageArgument = std::string(kLanguageKeywords[*r.language]);
        options.port = r.port;
        // No configDir: the command line neither reads nor touches the window's settings.
        c.start(options);
        return port_.isOpen();
    }

    // Ticks until done() holds after a tick; at most `limit` ticks (0: no limit). With
    // `needFrames` it also ends when no monitor frame came for kNoFrameTicks.
    Outcome run(const std::function<bool()>& done, int limit, bool needFrames) {
        Outcome outcome = Outcome::TimedOut;
        int ticks = 0;
        int quiet = 0;
        int frames = view.frames();
        const bool finished = driver_.run([&] {
            c.tick();
            ++ticks;
            quiet = view.frames() != frames ? 0 : quiet + 1;
            frames = view.frames();
            if (done()) {
                outcome = Outcome::Done;
                return false;
            }
            if (needFrames && quiet >= kNoFrameTicks) {
                outcome = Outcome::NoFrames;
                return false;
            }
            return limit == 0 || ticks < limit;
        });
        return finished ? outcome : Outcome::Interrupted;
    }

    int noConnection() {
        view.line(texts::NoConnection[languageFromIndex(c.language())]);
        return ExitCode::PortError;
    }
    int interrupted() {
        view.line("Interrupted");
        return ExitCode::TransferFailed;
    }

    CliView view;
    Configurator c;

  private:
    SerialPort& port_;
    TickDriver& driver_;
};

int exitFor(TransferResult result, TransferResult expected) {
    if (result == expected)
        return ExitCode::Done;
    switch (result) {
    case TransferResult::VersionMismatch:
        return ExitCode::VersionMismatch;
    case TransferResult::NoReading:
        return ExitCode::NoReading;
    default:
        return ExitCode::TransferFailed;
    }
}

// The command has been started; the first frame goes out within four ticks.
int finishTransfer(Session& s, TransferResult expected) {
    switch (s.run([&] { return s.c.transfer().idle(); }, kTransferTicks, false)) {
    case Outcome::Interrupted:
        return s.interrupted();
    case Outcome::Done:
        return exitFor(s.c.lastResult(), expected);
    default:
        s.view.line("The transfer did not end within " + std::to_string(kTransferTicks) + " ticks");
        return ExitCode::TransferFailed;
    }
}

int openInput(Session& s, const std::string& path) {
    switch (s.c.openFile(path)) {
    case FileResult::Done:
    case FileResult::Older: // the notice has been shown; the set is loaded
        return ExitCode::Done;
    default:
        return ExitCode::FileError;
    }
}

std::string_view trimmedLabel(const Label& label) {
    std::string_view t = label.text;
    while (!t.empty() && t.back() == ' ')
        t.remove_suffix(1);
    return t;
}

int info(Session& s, std::ostream& out) {
    s.c.read();
    int code = finishTransfer(s, TransferResult::VerifyOk);
    // A unit that refuses reading has sent its information page before refusing.
    if (code == ExitCode::NoReading)
        code = ExitCode::Done;
    if (code != ExitCode::Done && code != ExitCode::VersionMismatch)
        return code;
    const UnitTexts& unit = s.c.unitTexts();
    out << unit.name << '\n'
        << unit.date << '\n'
        << unit.time << '\n'
        << "PC-" << kVersion << ", IGN-" << static_cast<int>(s.c.transfer().unitVersion()) << '\n'
        << std::flush;
    // The programming counter comes only with the monitor frames that follow the transfer.
    const int before = s.view.frames();
    switch (s.run([&] { return s.view.frames() != before; }, 0, true)) {
    case Outcome::Interrupted:
        return s.interrupted();
    case Outcome::Done:
        break;
    default:
        return s.noConnection();
    }
    out << trimmedLabel(s.c.monitor().display()[MonLabel::ProgramCount]) << '\n';
    return code;
}

void printSpan(std::ostream& out, const ParameterImage& image) {
    std::size_t column = 0;
    for (const std::uint8_t byte : image.span()) {
        out << std::setw(kNumberWidth) << static_cast<int>(byte);
        if (++column == kNumbersPerLine) {
            out << '\n';
            column = 0;
        }
    }
    if (column != 0)
        out << '\n';
}

int read(Session& s, const CliRequest& r, std::ostream& out) {
    s.c.read();
    if (const int code = finishTransfer(s, TransferResult::VerifyOk); code != ExitCode::Done)
        return code;
    if (r.output)
        return s.c.saveFile(*r.output) == FileResult::Done ? ExitCode::Done : ExitCode::FileError;
    printSpan(out, s.c.image());
    return ExitCode::Done;
}

int program(Session& s, const CliRequest& r) {
    if (const int code = openInput(s, r.files[0]); code != ExitCode::Done)
        return code;
    s.c.program();
    if (const int code = finishTransfer(s, TransferResult::ProgramOk); code != ExitCode::Done) {
        // "Program error!" alone would leave the user thinking the unit kept its old set.
        if (s.c.transfer().unsettled())
            s.view.line(texts::ProgramUnfinished[languageFromIndex(s.c.language())]);
        return code;
    }
    // The unit now writes the settings into its memory. Ending here would let the user
    // switch it off in the middle, so wait until a frame reports the saving done.
    const int before = s.view.frames();
    const auto saved = [&] {
        return s.view.frames() != before && s.c.monitor().savingCountdown() == 0;
    };
    switch (s.run(saved, kSavingTicks, true)) {
    case Outcome::Done:
        return ExitCode::Done;
    case Outcome::Interrupted:
        return s.interrupted();
    case Outcome::NoFrames:
        return s.noConnection();
    case Outcome::TimedOut:
        break;
    }
    s.view.line("The unit did not finish saving within " + std::to_string(kSavingTicks) + " ticks");
    return ExitCode::TransferFailed;
}

// One line per differing setting; false when none differs.
bool printDifferences(std::ostream& out, int language, const ParameterImage& first,
                      const ParameterImage& second) {
    const auto list = differences(first, second, {languageFromIndex(language), ","});
    for (const Difference& d : list)
        out << differenceLine(d) << '\n';
    out << std::flush;
    return !list.empty();
}

int verify(Session& s, const CliRequest& r, std::ostream& out) {
    if (const int code = openInput(s, r.files[0]); code != ExitCode::Done)
        return code;
    s.c.verify();
    const int code = finishTransfer(s, TransferResult::VerifyOk);
    // "Verify error!" does not say what differs; the pages the unit sent do, together with
    // the page read after a failure on page 1.
    if (s.c.lastResult() == TransferResult::Failed &&
        s.c.transfer().failedMode() == TransferMode::Verify) {
        // None when the unit fell silent on the way: then nothing is known of it.
        if (const std::optional<KnownUnit> unit = s.c.knownUnit())
            printDifferences(out, s.c.language(), s.c.image(), unit->image);
    }
    return code;
}

int monitor(Session& s, const CliRequest& r, std::ostream& out) {
    // The whole file is written again at the end, through a temporary file like every file
    // this program saves; the header now, so that an unwritable name is known at once.
    std::string csv = recordingCsvHeader();
    const auto writeCsv = [&] {
        if (!r.csv || writeFileAtomically(*r.csv, csv))
            return true;
        s.view.showMessage(s.c.texts().TextFileError, *r.csv);
        return false;
    };
    if (!writeCsv())
        return ExitCode::FileError;

    int seen = s.view.frames();
    int printed = 0;
    long ticks = 0; // the time column: ticks since the monitor began, as in the window
    const auto frame = [&] {
        const long now = ticks++;
        if (s.view.frames() == seen)
            return false;
        seen = s.view.frames();
        const MonitorDisplay& display = s.c.monitor().display();
        out << monitorLine(display) << '\n' << std::flush;
        if (r.csv)
            csv += recordingCsvRow(liveSample(s.c.monitor().lastFrame(), now));
        ++printed;
        return r.frames && printed >= *r.frames;
    };
    int code = ExitCode::Done;
    // Ctrl+C is the ordinary end of an endless monitor: it counts as done.
    if (s.run(frame, 0, true) == Outcome::NoFrames)
        code = s.noConnection();
    if (!writeCsv() && code == ExitCode::Done)
        code = ExitCode::FileError;
    return code;
}

int unitCommand(Session& s, const CliRequest& r, std::ostream& out) {
    switch (r.command) {
    case CliCommand::Info:
        return info(s, out);
    case CliCommand::Read:
        return read(s, r, out);
    case CliCommand::Program:
        return program(s, r);
    case CliCommand::Verify:
        return verify(s, r, out);
    case CliCommand::Monitor:
        return monitor(s, r, out);
    case CliCommand::Convert:
    case CliCommand::Diff:
        break;
    }
    return ExitCode::Usage;
}

// Open and Save in a fresh program that has no unit and reads no settings or backup.
int convert(const CliRequest& r, std::ostream& err, TickDriver& driver) {
    NullSerialPort none;
    Session s(none, err, driver);
    s.start(r);
    int code = openInput(s, r.files[0]);
    if (code == ExitCode::Done && s.c.saveFile(r.files[1]) != FileResult::Done)
        code = ExitCode::FileError;
    s.c.shutdown();
    return code;
}

// Each file is opened as Open does in a fresh program of its own: a file without some keys
// keeps what the program held, so the first file must not reach the second.
int diff(const CliRequest& r, std::ostream& out, std::ostream& err, TickDriver& driver) {
    std::array<ParameterImage, 2> images;
    for (std::size_t i = 0; i < images.size(); ++i) {
        NullSerialPort none;
        Session s(none, err, driver);
        s.start(r);
        const int code = openInput(s, r.files[i]);
        images[i] = s.c.image();
        s.c.shutdown();
        if (code != ExitCode::Done)
            return code;
    }
    return printDifferences(out, r.language.value_or(0), images[0], images[1])
               ? ExitCode::SettingsDiffer
               : ExitCode::Done;
}

int runCommandLine(const std::vector<std::string>& args, SerialPort& port, std::ostream& out,
                   std::ostream& err, TickDriver& driver) {
    const ParsedCommandLine parsed = parseCommandLine(args);
    if (parsed.help) {
        out << usageText();
        return ExitCode::Done;
    }
    if (!parsed.request) {
        err << "zentrola-cli: " << parsed.error << "\n\n" << usageText();
        return ExitCode::Usage;
    }
    const CliRequest& r = *parsed.request;
    if (r.command == CliCommand::Convert)
        return convert(r, err, driver);
    if (r.command == CliCommand::Diff)
        return diff(r, out, err, driver);

    Session s(port, err, driver);
    int code = ExitCode::PortError;
    if (s.start(r))
        code = unitCommand(s, r, out);
    s.c.shutdown();
    out << std::flush;
    return code;
}

} // namespace

int runCli(const std::vector<std::string>& args, SerialPort& port, std::ostream& out,
           std::ostream& err, TickDriver& driver) {
    // Nothing in the commands throws on purpose; whatever still does (memory exhausted, a
    // fault of the platform) ends the run with a line that says so, never with an abort.
    try {
        return runCommandLine(args, port, out, err, driver);
    } catch (...) {
        return reportUnexpected(err);
    }
}

int reportUnexpected(std::ostream& err) {
    err << "zentrola-cli: ";
    try {
        throw;
    } catch (const std::exception& e) {
        std::string what = e.what();
        std::replace(what.begin(), what.end(), '\n', ' ');
        err << what;
    } catch (...) {
        err << "unknown exception";
    }
    err << '\n' << std::flush;
    return ExitCode::Unexpected;
}

} // namespace zentrola
