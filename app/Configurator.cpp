#include "app/Configurator.h"

#include "core/BikeTypes.h"
#include "files/AtomicFile.h"
#include "files/ParameterFile.h"
#include "files/Utf8Path.h"
#include "link/Frame.h"
#include "link/PortNames.h"
#include "link/UnitInfo.h"

#include <algorithm>

namespace zentrola {

namespace {
constexpr const char* kDefaultFileName = "data.ign";
} // namespace

Configurator::Configurator(SerialPort& port, View& view)
    : port_(port), view_(view), unitTexts_{"", "", ""} {
    // Empty until a unit sends its information page: the layout's sample names no unit.
    rules_.clearDisplacement();
}

// ---------------------------------------------------------------- start and stop

void Configurator::start(const StartOptions& options) {
    portIndex_ = kAutoPortIndex;
    image_[Offset::BikeType] = 0;
    loadDefaults(image_);
    defaultFilePath_ =
        options.programDir.empty()
            ? std::string(kDefaultFileName)
            : utf8FromPath((pathFromUtf8(options.programDir) / kDefaultFileName).make_preferred());
    configDir_ = options.configDir;
    if (configDir_)
        loadSettingsFiles();
    if (options.languageArgument) {
        if (auto lang = languageFromArgument(*options.languageArgument))
            language_ = static_cast<std::uint8_t>(*lang);
    }
    if (options.port)
        forcedDevice_ = options.port;

    applyRules();
    applyLanguage(texts_, language_);
    // No unit has answered yet: the monitor shows its empty form.
    monitor_.placeholders(texts_);
    refreshControls();
    history_.start(image_);
    // The file named from the last run holds what it holds, not necessarily the kept settings.
    if (!texts_.TextFileName.empty())
        fileImage_ = openedOverImage(texts_.TextFileName);
    openPort();
    refreshControls();
    status_.visible = false;
    status_.gaugeVisible = false;
    testMode_ = configDir_ && testModeEnabled(*configDir_ / testModeFileName());
    for (std::size_t i = static_cast<std::size_t>(MonLabel::Test1); i < kMonLabelCount; ++i)
        monitor_.display().labels[i].visible = testMode_;
}

void Configurator::shutdown() {
    transfer_.abandon();
    closePort();
    capture(form_, image_, shown(), rules_.marker);
    applyRules();
    if (configDir_)
        saveSettingsFiles();
}

void Configurator::loadSettingsFiles() {
    settings_.portIndex = portIndex_;
    settings_.scanPosition = scanPosition_;
    settings_.language = language_;
    settings_.file = texts_.TextFileName;
    loadSettings(*configDir_ / settingsFileName(), settings_);
    portIndex_ = settings_.portIndex;
    scanPosition_ = settings_.scanPosition;
    language_ = settings_.language;
    texts_.TextFileName = settings_.file;
    loadBackup(*configDir_ / backupFileName(), image_);
    // A damaged backup may hold a curve out of order anywhere; the first rules put both in
    // order, as after opening a file. A backup this program wrote is in order already.
    rules_.forgetAnchor();
}

void Configurator::saveSettingsFiles() {
    settings_.portIndex = portIndex_;
    settings_.scanPosition = scanPosition_;
    settings_.language = language_;
    settings_.file = texts_.TextFileName;
    // Both files are skipped silently when they cannot be written.
    std::error_code ec;
    std::filesystem::create_directories(*configDir_, ec);
    saveSettings(*configDir_ / settingsFileName(), settings_);
    saveBackup(*configDir_ / backupFileName(), image_);
}

// ---------------------------------------------------------------- the tick

void Configurator::tick() {
    poll();

    // No speed line from an old frame while none is coming.
    const int liveRpm = monitor_.live() ? monitor_.displayedRpm() : 0;
    if (liveRpm != lastDrawnRpm_) {
        lastDrawnRpm_ = liveRpm;
        redrawRequest |= 1; // a rescale asked for in the same tick must not be lost
    }
    if (redrawRequest != 0) {
        graph_.draw(image_, shown(), liveRpm, redrawRequest);
        view_.drawGraph(redrawRequest);
        redrawRequest = 0;
    }

    transferStep();
    messageStep();
    watchdogStep();
    if (connectionLabel_)
        monitor_.display()[MonLabel::Version].visible = false;
    monitor_.highlight(image_);
}

void Configurator::poll() {
    if (!port_.isOpen() || port_.queued() < kFrameSize)
        return;
    const std::size_t n = port_.read(rx_);
    if (n < kFrameSize)
        return;
    // Only the first frame of a block counts; the rest of it is dropped.
    const std::span<const std::uint8_t> frame(rx_.data(), kFrameSize);
    if (frame[FrameByte::Lead] == Lead::MonitorFrame)
        onMonitorFrame(frame);
    else
        onPageReply(frame);
}

void Configurator::transferStep() {
    if (!transfer_.idle()) {
        switch (transfer_.tick()) {
        case TimeoutEffect::Resend:
            sendPage();
            break;
        case TimeoutEffect::Failed: {
            const TransferMode m = transfer_.failedMode();
            postStatus(m == TransferMode::Program  ? texts_.TextProgramError
                       : m == TransferMode::Verify ? texts_.TextVerifyError
                                                   : texts_.TextReadError,
                       Colour::Red);
            lastResult_ = TransferResult::Failed;
            break;
        }
        case TimeoutEffect::None:
            break;
        }
        return;
    }
    if (transfer_.idleTick())
        sendMonitorRequest();
    const int saving = monitor_.savingCountdown();
    if (saving != 0) {
        postStatus(texts_.TextSaving, Colour::Face);
        status_.gauge = std::max(0, status_.gaugeMax * (kSavingCountdownStart - saving) /
                                        kSavingCountdownStart);
    } else if (transfer_.transferOk()) {
        if (status_.text != texts_.TextProgramming + ": OK") {
            status_.text = texts_.TextProgramming + ": OK";
            view_.statusPosted(status_);
        }
        status_.gauge = status_.gaugeMax;
    }
}

void Configurator::messageStep() {
    if (messageCountdown_ > 0) {
        --messageCountdown_;
        if (!printing)
            status_.visible = true;
    } else {
        status_.visible = false;
        status_.gaugeVisible = false;
        transfer_.clearTransferOk();
    }
}

void Configurator::watchdogStep() {
    if (silence_ < kSilenceTicks) {
        ++silence_;
        connectionLabel_ = false;
        return;
    }
    forgetLostUnit();
    if (!printing)
        connectionLabel_ = true;
    if (++reopenCounter_ >= kReopenTicks) {
        reopenCounter_ = 0;
        closePort();
        reopenFlag_ = true;
        scanPosition_ = static_cast<std::uint8_t>((scanPosition_ + 1) % kScanCyclePositions);
        openPort();
    }
}

// Every lost tick: nothing this unit said holds for what may be plugged in next.
void Configurator::forgetLostUnit() {
    if (monitor_.forgetChannel())
        refreshControls();
    transfer_.forgetUnit();
    monitor_.lost();
    unitAnswered_ = false;
    unitTexts_ = UnitTexts{"", "", ""};
    if (savePending_ || monitor_.savingCountdown() != 0) {
        // The unit may have been cut off while writing its memory: no later frame, from this
        // unit or another, may end this as a programming that went well.
        savePending_ = false;
        monitor_.forgetSaving();
        transfer_.clearTransferOk();
        postStatus(texts_.TextSavingInterrupted, Colour::Red);
    }
}

// ---------------------------------------------------------------- status line

void Configurator::postStatus(std::string text, Colour colour) {
    const bool changed = text != status_.text || colour != status_.colour;
    status_.text = std::move(text);
    status_.colour = colour;
    messageCountdown_ = kMessageTicks;
    if (changed)
        view_.statusPosted(status_);
}

void Configurator::startTransferStatus(const std::string& text) {
    postStatus(text, Colour::Face);
    status_.visible = true;
    status_.gauge = 0;
    status_.gaugeVisible = true;
    lastResult_ = TransferResult::None;
}

// ---------------------------------------------------------------- commands

void Configurator::read() {
    transfer_.startRead();
    startTransferStatus(texts_.TextRead + ":");
    texts_.TextFileName.clear();
}

void Configurator::verify() {
    if (refreshGuard_)
        return;
    takeControls();
    transfer_.startVerify();
    startTransferStatus(texts_.TextVerify + ":");
}

void Configurator::program() {
    if (refreshGuard_)
        return;
    takeControls();
    transfer_.startProgram();
    startTransferStatus(texts_.TextProgramming + ":");
}

// What leaves the program (to the unit or a file) is what the controls show, made consistent.
void Configurator::takeControls() {
    capture(form_, image_, shown(), rules_.marker);
    applyRules();
    refreshControls();
}

void Configurator::startProgramAfterChange() {
    // A transfer already running starts again from page 0.
    transfer_.startProgram();
    startTransferStatus(texts_.TextProgramming);
}

// ---------------------------------------------------------------- files

FileResult Configurator::openFile(const std::string& path) {
    FileResult result = FileResult::Done;
    // Read whole before anything is taken: a read that fails part-way (a folder, an I/O
    // error) is a file that cannot be opened, and the set on screen stays as it was.
    const auto text = readWholeFile(pathFromUtf8(path));
    if (!text) {
        view_.showMessage(texts_.TextFileError, {});
        result = FileResult::FileError;
    } else {
        ParameterImage read = image_;
        const FileOutcome outcome = readParameterFile(*text, read);
        if (outcome == FileOutcome::NotAFile) {
            view_.showMessage(texts_.TextFileMismatch, {});
            result = FileResult::NotAFile;
        } else {
            image_ = read;
            // A damaged file may hold a curve out of order anywhere, not only around the
            // point last edited: put both curves in order.
            rules_.forgetAnchor();
            afterChange();
            texts_.TextFileName = path;
            settings_.iniDir = path;
            rememberFile();
            if (outcome == FileOutcome::Older) {
                view_.showMessage(texts_.TextOlderFile, {});
                result = FileResult::Older;
            }
        }
    }
    status_.visible = false;
    status_.gaugeVisible = false;
    return result;
}

std::string Configurator::parameterFileText() const {
    return zentrola::parameterFileText(image_, unitTexts_, buildDate(), buildTime());
}

FileResult Configurator::saveFile(const std::string& path) {
    if (refreshGuard_)
        return FileResult::Ignored;
    takeControls();
    // Written beside the old file and renamed over it, so a failed save leaves it whole; a
    // file the user may not write is not replaced.
    if (!writeFileAtomically(pathFromUtf8(path), parameterFileText())) {
        view_.showMessage(texts_.TextFileError, {});
        return FileResult::FileError;
    }
    texts_.TextFileName = path;
    settings_.iniDir = path;
    rememberFile();
    return FileResult::Done;
}

void Configurator::beginPrint(const std::string& printLine) {
    status_.text = printLine;
    status_.colour = Colour::White;
    status_.visible = true;
    status_.gaugeVisible = false;
    messageCountdown_ = kMessageTicks;
    connectionLabel_ = false;
    printing = true;
    runEnablingPass();
}

void Configurator::endPrint() {
    printing = false;
    runEnablingPass();
    status_.colour = Colour::Face;
}

void Configurator::bikeLanguageApplied() {
    if (connectionLabel_)
        monitor_.placeholders(texts_);
}

void Configurator::setLanguage(int index) {
    language_ = static_cast<std::uint8_t>(std::clamp(index, 0, kLanguageCount - 1));
    applyLanguage(texts_, language_);
    if (connectionLabel_)
        monitor_.placeholders(texts_);
    refreshControls();
}

} // namespace zentrola
